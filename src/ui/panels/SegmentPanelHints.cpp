// The help a segment panel gives beyond its numbers: a bar when AviSynth will
// refuse the join before it, the key frames around its start in the tool tip,
// and a context menu that moves the start onto one of them.

#include "ui/panels/SegmentPanel.h"

#include "ui/UiText.h"

#include <QAction>
#include <QLabel>

namespace vidloom::ui {

void SegmentPanel::buildHints() {
    joinMarkBar = new QLabel(this);
    joinMarkBar->setObjectName(QStringLiteral("joinMarkBar"));
    joinMarkBar->setGeometry(2, 138, 240, 15);
    joinMarkBar->setAlignment(Qt::AlignCenter);
    joinMarkBar->setAutoFillBackground(true);
    joinMarkBar->hide();

    setContextMenuPolicy(Qt::ActionsContextMenu);
    auto snap = [this](QAction*& slot, const char* name, const QString& text, bool toNext) {
        slot = new QAction(text, this);
        slot->setObjectName(QString::fromLatin1(name));
        addAction(slot);
        connect(slot, &QAction::triggered, this, [this, toNext] {
            if (segment_ != kNoSegment) {
                emit snapRequested(this, toNext);
            }
        });
    };
    snap(snapPreviousAction, "snapPreviousAction",
         QStringLiteral("Start at the previous key frame\tCtrl+Left"), false);
    snap(snapNextAction, "snapNextAction",
         QStringLiteral("Start at the next key frame\tCtrl+Right"), true);
}

void SegmentPanel::showHints(const PanelState& state) {
    snapPreviousAction->setEnabled(state.canSnapPrevious);
    snapNextAction->setEnabled(state.canSnapNext);

    QString tip = toolTip();
    if (!state.keyFrameHint.empty()) {
        tip = toQt(state.keyFrameHint) + QStringLiteral("\n\n") + tip;
    }
    if (!state.joinProblem.empty()) {
        tip = toQt(state.joinProblem) + QStringLiteral("\n\n") + tip;
    }
    setToolTip(tip);

    if (state.joinMark == JoinMark::None) {
        joinMarkBar->hide();
        return;
    }
    const bool refused = state.joinMark == JoinMark::Refused;
    joinMarkBar->setText(refused ? QStringLiteral("AviSynth will refuse this join")
                                 : QStringLiteral("AviSynth may refuse this join"));
    QPalette p = joinMarkBar->palette();
    p.setColor(QPalette::Window, toQColor(refused ? kJoinRefusedColor : kJoinMayFailColor));
    p.setColor(QPalette::WindowText, refused ? Qt::white : Qt::black);
    joinMarkBar->setPalette(p);
    joinMarkBar->setToolTip(toQt(state.joinProblem));
    joinMarkBar->show();
}

} // namespace vidloom::ui
