#include "present/PanelLayout.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/TextFormat.h"
#include "plan/FileNames.h"
#include "present/PanelHints.h"

namespace vidloom {

namespace {
// Directory (separator kept) and file-name parts of a path. A name without
// separator is all file name, with an empty directory.
void fillPathParts(const std::string& path, PanelState& panel) {
    if (path.find_first_of("/\\") == std::string::npos) {
        panel.fileName = path;
        panel.directory.clear();
        return;
    }
    PathParts parts = splitPath(path);
    panel.fileName = std::move(parts.name);
    panel.directory = std::move(parts.directory);
}

void fillKeyFrameColours(PanelState& panel, const Segment& seg) {
    panel.cellColor = panel.isCurrent ? kCurrentPanelColor : kPanelColor;
    try {
        panel.startsOnKeyFrame = seg.startsOnKeyFrame();
    } catch (const VidloomError& e) {
        // A broken index marks its own panel and no other.
        panel.startsOnKeyFrame = false;
        panel.keyFrameError = e.what();
    }
    panel.groupColor = panel.startsOnKeyFrame ? panel.cellColor : kNotKeyFrameColor;
    panel.keyFramesKnown = seg.header->KeyFramesKnown;
    if (!panel.keyFramesKnown) {
        panel.groupColor = kKeyFramesUnknownColor;
    }
}
} // namespace

PanelState panelOf(const SplicePlan& plan, int32_t index, int32_t position,
                   const std::vector<const SpliceProblem*>& problems) {
    const Segment& seg = plan.segments.at(index);
    PanelState panel;
    panel.id = seg.id();
    panel.index = index;
    panel.caption = "Clip #" + intToText(index);
    fillPathParts(seg.fileName(), panel);
    panel.internalStart = intToText(seg.start);
    panel.internalEnd = intToText(checkedAdd(seg.start, seg.length));
    panel.internalLength = intToText(seg.length);
    panel.clipStart = intToText(position);
    panel.clipEnd = intToText(checkedAdd(position, seg.length));
    panel.clipLength = intToText(seg.length);
    panel.report = seg.header->Report;
    panel.isCurrent = panel.id == plan.currentSegment;
    const AviHeaderCache::StampRound oneMoment(seg.cache());
    fillKeyFrameColours(panel, seg);
    addPanelHints(panel, seg, problems);
    return panel;
}

std::vector<PanelState> panelsOf(const SplicePlan& plan) {
    const std::vector<SpliceProblem> problems = preflight(plan.segments);
    std::vector<std::vector<const SpliceProblem*>> byPanel(size_t(plan.segments.count()));
    for (const SpliceProblem& problem : problems) {
        if (problem.segment >= 0 && problem.segment < plan.segments.count()) {
            byPanel[size_t(problem.segment)].push_back(&problem);
        }
    }
    const AviHeaderCache::StampRound oneMoment(plan.cache());
    std::vector<PanelState> panels;
    panels.reserve(byPanel.size());
    int32_t position = 0;
    for (int32_t i = 0; i < plan.segments.count(); ++i) {
        panels.push_back(panelOf(plan, i, position, byPanel[size_t(i)]));
        position = checkedAdd(position, plan.segments.at(i).length);
    }
    return panels;
}

} // namespace vidloom
