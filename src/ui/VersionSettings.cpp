#include "ui/VersionSettings.h"

#include "avi/Version.h"
#include "ui/FormReelforge.h"
#include "ui/UiText.h"

namespace vidloom::ui {

void SetVersionTitle(TForm1& form) {
    form.setWindowTitle(toQt(titleLine()));
    form.Update();
}

} // namespace vidloom::ui
