// The panel logic of the plan: the view model of every panel, and the edits,
// deletions and moves the panels ask for.

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/TextFormat.h"
#include "splice/USplicer.h"

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
    panel.fileName = splitPath(path);
    panel.directory = LastDirectory;
}
} // namespace

std::vector<PanelState> TClip::layoutBoxes() {
    std::vector<PanelState> panels;
    panels.reserve(size_t(Segments.count()));
    int32_t position = 0;
    for (int32_t i = 0; i < Segments.count(); ++i) {
        TClipSplice& seg = Segments.getSegment(i);
        if (!seg.HasInfoBox) {
            // A panel made for the first time becomes the current one.
            seg.HasInfoBox = true;
            CurrentBox = seg.id();
        }
        PanelState panel;
        panel.id = seg.id();
        panel.index = i;
        panel.caption = "Clip #" + intToText(i);
        fillPathParts(seg.fileName(), panel);
        panel.internalStart = intToText(seg.Start);
        panel.internalEnd = intToText(checkedAdd(seg.Start, seg.Length));
        panel.internalLength = intToText(seg.Length);
        const int32_t end = checkedAdd(position, seg.Length);
        panel.clipStart = intToText(position);
        panel.clipEnd = intToText(end);
        panel.clipLength = intToText(seg.Length);
        panel.left = checkedAdd(checkedMul(i % 4, kPanelPitchX), kPanelLeft);
        panel.top = checkedAdd(checkedMul(i / 4, kPanelPitchY), kPanelTop);
        panel.report = seg.AviInfo->Report;
        panels.push_back(std::move(panel));
        position = end;
    }
    const AviInfoCache::StampRound oneMoment(*cache_);
    for (PanelState& panel : panels) {
        const TClipSplice& seg = Segments.getSegment(panel.index);
        panel.isCurrent = panel.id == CurrentBox;
        panel.cellColor = panel.isCurrent ? kCurrentPanelColor : kPanelColor;
        try {
            panel.startsOnKeyFrame = seg.startsOnKeyFrame();
        } catch (const VidloomError& e) {
            // A broken index marks its own panel and no other.
            panel.startsOnKeyFrame = false;
            panel.keyFrameError = e.what();
        }
        panel.groupColor = panel.startsOnKeyFrame ? panel.cellColor : kNotKeyFrameColor;
    }
    if (PanelView != nullptr) {
        PanelView->showPanels(panels);
    }
    return panels;
}

void TClip::setCurrent(SegmentId id) {
    if (id == kNoSegment || Segments.indexOf(id) >= 0) {
        CurrentBox = id;
    }
}

void TClip::onSelected(SegmentId id, const std::string& startText, const std::string& endText,
                       const std::string& lengthText) {
    const int32_t i = Segments.indexOf(id);
    if (i < 0) {
        return; // an event of a panel whose segment has left the plan
    }
    TClipSplice& seg = Segments.getSegment(i);
    const int32_t frames = std::max(seg.AviInfo->TotalFrames, 0);
    const int32_t oldEnd = checkedAdd(seg.Start, seg.Length);

    int32_t s = seg.Start;
    if (const auto typed = textToInt32(startText)) {
        s = std::clamp(*typed, 0, frames);
    }
    int32_t e = oldEnd;
    if (const auto typed = textToInt32(endText)) {
        e = std::min(std::max(*typed, s), frames);
    }
    int32_t l = seg.Length;
    if (const auto typed = textToInt32(lengthText)) {
        l = std::min(std::max(*typed, 0), checkedSub(e, s));
    }

    int32_t length = seg.Length;
    if (s != seg.Start) {
        // The start was edited: the end stays, and a start past the end
        // leaves an empty segment rather than a negative length.
        length = std::max(checkedSub(oldEnd, s), 0);
    } else if (oldEnd != e) {
        length = checkedSub(e, s);
    } else if (seg.Length != l) {
        length = l;
    }
    // A segment that gets frames back must not carry the plan past 32 bits
    // of frames; such an edit is refused before anything changes.
    if (int64_t(liveLength()) - seg.Length + length > INT32_MAX) {
        throw OverflowError(seg.fileName() + ": " + std::to_string(length) +
                            " frames in this segment would make the plan longer than " +
                            std::to_string(INT32_MAX) + " frames");
    }
    CurrentBox = id;
    seg.Start = s;
    seg.Length = length;
    layoutBoxes();
}

void TClip::del(SegmentId id) {
    const int32_t i = Segments.indexOf(id);
    if (i < 0) {
        return;
    }
    Segments.deleteAt(i); // destroyed here
    // The user's attention is where the deleted panel was: the panel that
    // moves into its place becomes current, whichever panel was current before.
    CurrentBox = id;
    currentLeft(id, i);
    layoutBoxes();
}

void TClip::prev(SegmentId id) {
    const int32_t k = Segments.indexOf(id);
    if (k > 0) {
        Segments.exchange(k, k - 1);
    }
    layoutBoxes();
}

void TClip::next(SegmentId id) {
    const int32_t k = Segments.indexOf(id);
    if (k >= 0 && k < Segments.count() - 1) {
        Segments.exchange(k, k + 1);
    }
    layoutBoxes();
}

} // namespace vidloom
