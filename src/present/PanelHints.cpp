#include "present/PanelHints.h"

#include "avi/Errors.h"
#include "plan/KeyFrameSnap.h"

namespace vidloom {

void addPanelHints(PanelState& panel, const Segment& seg,
                   const std::vector<const SpliceProblem*>& problems) {
    if (panel.keyFrameError.empty() && seg.header->IsAvi) {
        try {
            const NearKeyFrames around = keyFramesAround(seg);
            panel.canSnapPrevious = around.previous.has_value();
            panel.canSnapNext = around.next.has_value();
            if (!panel.startsOnKeyFrame) {
                panel.keyFrameHint = keyFrameHint(around, seg.start);
            }
        } catch (const VidloomError&) {
            // The key-frame test of the panel already reported this index.
        }
    }
    for (const SpliceProblem* problem : problems) {
        if (problem->certain) {
            panel.joinMark = JoinMark::Refused;
        } else if (panel.joinMark == JoinMark::None) {
            panel.joinMark = JoinMark::MayFail;
        }
        panel.joinProblem += (panel.joinProblem.empty() ? "" : "\n") + problem->text();
    }
}

} // namespace vidloom
