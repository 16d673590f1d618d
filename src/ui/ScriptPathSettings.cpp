#include "ui/ScriptPathSettings.h"

#include "ui/DialogSeam.h"
#include "ui/UiText.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSettings>

namespace vidloom::ui {

namespace {
// The settings of this part live in a group of their own.
const QString kGroup = QStringLiteral("scriptPaths");
const QString kWineKey = QStringLiteral("wine");
const QString kMappingsKey = QStringLiteral("mappings");
} // namespace

ScriptPathSettings::ScriptPathSettings(QWidget* window, std::function<DialogSeam&()> dialogs)
    : QObject(window), window_(window), dialogs_(std::move(dialogs)) {
    QSettings settings;
    settings.beginGroup(kGroup);
    mappings_ = settings.value(kMappingsKey).toStringList();

    wineBox = new QCheckBox(QStringLiteral("Windows paths for Wine"), window);
    wineBox->setObjectName(QStringLiteral("wineBox"));
    wineBox->setGeometry(216, 68, 160, 17);
    wineBox->setToolTip(QStringLiteral("The script names /home/ann/movie.avi as "
                                       "Z:\\home\\ann\\movie.avi, as Wine shows it"));
    wineBox->setChecked(settings.value(kWineKey, false).toBool());
    connect(wineBox, &QCheckBox::toggled, this, [this] { save(); });

    mappingsButton = new QPushButton(QStringLiteral("Paths..."), window);
    mappingsButton->setObjectName(QStringLiteral("mappingsButton"));
    mappingsButton->setGeometry(384, 64, 73, 25);
    mappingsButton->setToolTip(
        QStringLiteral("Folders and their names on the machine where AviSynth runs"));
    connect(mappingsButton, &QPushButton::clicked, this, &ScriptPathSettings::editMappings);
}

PathMap ScriptPathSettings::pathMap() const {
    std::vector<PathMap::Mapping> list;
    for (const QString& line : mappings_) {
        if (const auto mapping = PathMap::parse(pathBytes(line))) {
            list.push_back(*mapping);
        }
    }
    if (wineBox->isChecked()) {
        const PathMap wine = PathMap::wine();
        for (const PathMap::Mapping& m : wine.mappings()) {
            list.push_back(m);
        }
    }
    return PathMap(std::move(list));
}

void ScriptPathSettings::editMappings() {
    const std::optional<QString> answer = dialogs_().editLines(
        window_, QStringLiteral("Path mappings"),
        QStringLiteral("One folder a line, as FOLDER=NAME, the name being what the machine "
                       "where AviSynth runs calls it (/mnt/video=V:\\ or /=Z:\\). The first "
                       "folder that holds a file names it."),
        mappings_.join(QLatin1Char('\n')));
    if (!answer) {
        return;
    }
    QStringList lines;
    for (const QString& line : answer->split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            continue;
        }
        if (!PathMap::parse(pathBytes(trimmed))) {
            dialogs_().message(window_, QStringLiteral("Not a mapping (FOLDER=NAME): ") + trimmed);
            return;
        }
        lines.append(trimmed);
    }
    mappings_ = lines;
    save();
}

void ScriptPathSettings::save() const {
    QSettings settings;
    settings.beginGroup(kGroup);
    settings.setValue(kWineKey, wineBox->isChecked());
    settings.setValue(kMappingsKey, mappings_);
}

} // namespace vidloom::ui
