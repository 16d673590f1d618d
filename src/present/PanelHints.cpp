#include "present/PanelHints.h"

#include "avi/Errors.h"
#include "plan/KeyFrameSnap.h"

namespace vidloom {

void addPanelHints(std::vector<PanelState>& panels, const SegmentList& segments,
                   const std::vector<SpliceProblem>& problems) {
    for (PanelState& panel : panels) {
        const Segment& seg = segments.at(panel.index);
        if (!panel.keyFrameError.empty() || !seg.header->IsAvi) {
            continue;
        }
        try {
            const NearKeyFrames around = keyFramesAround(seg);
            panel.canSnapPrevious = around.previous.has_value();
            panel.canSnapNext = around.next.has_value();
            if (!panel.startsOnKeyFrame) {
                panel.keyFrameHint = keyFrameHint(around, seg.start);
            }
        } catch (const VidloomError&) {
            // The key-frame test of the layout already reported this index.
        }
    }
    for (const SpliceProblem& problem : problems) {
        if (problem.segment < 0 || size_t(problem.segment) >= panels.size()) {
            continue;
        }
        PanelState& panel = panels[size_t(problem.segment)]; // panels are in plan order
        if (problem.certain) {
            panel.joinMark = JoinMark::Refused;
        } else if (panel.joinMark == JoinMark::None) {
            panel.joinMark = JoinMark::MayFail;
        }
        panel.joinProblem += (panel.joinProblem.empty() ? "" : "\n") + problem.text();
    }
}

} // namespace vidloom
