#pragma once
// The start-up step that names the main window: the program's title line
// (name, version number, build number) as its caption, then a refresh.

namespace vidloom::ui {

class TForm1;

void SetVersionTitle(TForm1& form);

} // namespace vidloom::ui
