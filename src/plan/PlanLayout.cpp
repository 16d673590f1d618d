// The panel logic of the plan: the view model of every panel, and the edits,
// deletions and moves the panels ask for.

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/TextFormat.h"
#include "plan/Preflight.h"
#include "plan/SplicePlan.h"
#include "present/PanelHints.h"

#include <algorithm>

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
} // namespace

std::vector<PanelState> SplicePlan::layoutPanels() {
    std::vector<PanelState> panels;
    panels.reserve(size_t(segments.count()));
    int32_t position = 0;
    for (int32_t i = 0; i < segments.count(); ++i) {
        Segment& seg = segments.at(i);
        if (!seg.laidOut) {
            // A panel made for the first time becomes the current one.
            seg.laidOut = true;
            currentSegment = seg.id();
        }
        PanelState panel;
        panel.id = seg.id();
        panel.index = i;
        panel.caption = "Clip #" + intToText(i);
        fillPathParts(seg.fileName(), panel);
        panel.internalStart = intToText(seg.start);
        panel.internalEnd = intToText(checkedAdd(seg.start, seg.length));
        panel.internalLength = intToText(seg.length);
        const int32_t end = checkedAdd(position, seg.length);
        panel.clipStart = intToText(position);
        panel.clipEnd = intToText(end);
        panel.clipLength = intToText(seg.length);
        panel.left = checkedAdd(checkedMul(i % 4, kPanelPitchX), kPanelLeft);
        panel.top = checkedAdd(checkedMul(i / 4, kPanelPitchY), kPanelTop);
        panel.report = seg.header->Report;
        panels.push_back(std::move(panel));
        position = end;
    }
    const AviHeaderCache::StampRound oneMoment(*cache_);
    for (PanelState& panel : panels) {
        const Segment& seg = segments.at(panel.index);
        panel.isCurrent = panel.id == currentSegment;
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
    addPanelHints(panels, segments, preflight(segments));
    if (panelView != nullptr) {
        panelView->showPanels(panels);
    }
    return panels;
}

void SplicePlan::setCurrent(SegmentId id) {
    if (id == kNoSegment || segments.indexOf(id) >= 0) {
        currentSegment = id;
    }
}

void SplicePlan::applyEdit(SegmentId id, const std::string& startText, const std::string& endText,
                           const std::string& lengthText) {
    const int32_t i = segments.indexOf(id);
    if (i < 0) {
        return; // an event of a panel whose segment has left the plan
    }
    Segment& seg = segments.at(i);
    const int32_t frames = std::max(seg.header->TotalFrames, 0);
    const int32_t oldEnd = checkedAdd(seg.start, seg.length);

    int32_t s = seg.start;
    if (const auto typed = textToInt32(startText)) {
        s = std::clamp(*typed, 0, frames);
    }
    int32_t e = oldEnd;
    if (const auto typed = textToInt32(endText)) {
        e = std::min(std::max(*typed, s), frames);
    }
    int32_t l = seg.length;
    if (const auto typed = textToInt32(lengthText)) {
        l = std::min(std::max(*typed, 0), checkedSub(e, s));
    }

    int32_t length = seg.length;
    if (s != seg.start) {
        // The start was edited: the end stays, and a start past the end
        // leaves an empty segment rather than a negative length.
        length = std::max(checkedSub(oldEnd, s), 0);
    } else if (oldEnd != e) {
        length = checkedSub(e, s);
    } else if (seg.length != l) {
        length = l;
    }
    // A segment that gets frames back must not carry the plan past 32 bits
    // of frames; such an edit is refused before anything changes.
    if (int64_t(liveLength()) - seg.length + length > INT32_MAX) {
        throw OverflowError(seg.fileName() + ": " + std::to_string(length) +
                            " frames in this segment would make the plan longer than " +
                            std::to_string(INT32_MAX) + " frames");
    }
    currentSegment = id;
    seg.start = s;
    seg.length = length;
    layoutPanels();
}

void SplicePlan::remove(SegmentId id) {
    const int32_t i = segments.indexOf(id);
    if (i < 0) {
        return;
    }
    segments.deleteAt(i); // destroyed here
    // The user's attention is where the deleted panel was: the panel that
    // moves into its place becomes current, whichever panel was current before.
    currentSegment = id;
    currentLeft(id, i);
    layoutPanels();
}

void SplicePlan::moveEarlier(SegmentId id) {
    const int32_t k = segments.indexOf(id);
    if (k > 0) {
        segments.exchange(k, k - 1);
    }
    layoutPanels();
}

void SplicePlan::moveLater(SegmentId id) {
    const int32_t k = segments.indexOf(id);
    if (k >= 0 && k < segments.count() - 1) {
        segments.exchange(k, k + 1);
    }
    layoutPanels();
}

} // namespace vidloom
