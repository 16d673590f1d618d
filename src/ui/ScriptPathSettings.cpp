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
    QString text = mappings_.join(QLatin1Char('\n'));
    // A wrong line keeps the good ones and brings the editor back with what
    // was typed, so no mapping is lost to one typing slip.
    for (;;) {
        const std::optional<QString> answer = dialogs_().editLines(
            window_, QStringLiteral("Path mappings"),
            QStringLiteral("One folder a line, as FOLDER=NAME, the name being what the machine "
                           "where AviSynth runs calls it (/mnt/video=V:\\ or /=Z:\\). The "
                           "first folder that holds a file names it."),
            text);
        if (!answer) {
            return;
        }
        QStringList lines;
        QString wrong;
        int wrongLine = 0;
        const QStringList typed = answer->split(QLatin1Char('\n'));
        for (int i = 0; i < typed.size(); ++i) {
            const QString trimmed = typed[i].trimmed();
            if (trimmed.isEmpty()) {
                continue;
            }
            if (PathMap::parse(pathBytes(trimmed))) {
                lines.append(trimmed);
            } else if (wrongLine == 0) {
                wrong = trimmed;
                wrongLine = i + 1;
            }
        }
        mappings_ = lines;
        save();
        if (wrongLine == 0) {
            return;
        }
        dialogs_().message(window_, QStringLiteral("Line %1 is not a mapping (FOLDER=NAME): %2\n"
                                                   "The other lines are kept.")
                                        .arg(wrongLine)
                                        .arg(wrong));
        text = *answer;
    }
}

void ScriptPathSettings::save() const {
    QSettings settings;
    settings.beginGroup(kGroup);
    settings.setValue(kWineKey, wineBox->isChecked());
    settings.setValue(kMappingsKey, mappings_);
}

} // namespace vidloom::ui
