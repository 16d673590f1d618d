#include "splice/SplicePlan.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/TextFormat.h"

#include <algorithm>
#include <climits>

namespace vidloom {

// ---- SplicePlan: construction, appending, inserting, listing

SplicePlan::SplicePlan(const std::string& fileName, IProgressBar* progressBar, ILogView* logMemo,
                       AviHeaderCache& cache)
    : progressBar(progressBar), logView(logMemo), cache_(&cache) {
    segments.add(std::make_unique<Segment>(fileName, cache));
    baseList.add(std::make_unique<Segment>(fileName, cache));
}

bool SplicePlan::addSegment(std::unique_ptr<Segment> segment, int32_t position) {
    const bool onKeyFrame = segment->startsOnKeyFrame();
    // Both the plan as it is now (edits included) and listedLength must still
    // fit 32 bits of frames with the segment added; otherwise nothing changes.
    const int64_t live = int64_t(liveLength()) + segment->length;
    const int64_t sum = int64_t(listedLength) + segment->length;
    if (live > INT32_MAX || sum > INT32_MAX) {
        throw OverflowError(segment->fileName() + ": its " + std::to_string(segment->length) +
                            " frames would make the plan longer than " + std::to_string(INT32_MAX) +
                            " frames");
    }
    const int32_t total = int32_t(sum);
    if (segments.count() == 0) {
        segments.add(std::move(segment));
    } else {
        segments.insert(position, std::move(segment));
    }
    listedLength = total;
    return onKeyFrame;
}

int32_t SplicePlan::liveLength() const {
    int32_t sum = 0;
    for (int32_t i = 0; i < segments.count(); ++i) {
        sum = checkedAdd(sum, segments.at(i).length);
    }
    return sum;
}

bool SplicePlan::hasFrames() const {
    for (int32_t i = 0; i < segments.count(); ++i) {
        if (segments.at(i).length > 0) {
            return true;
        }
    }
    return false;
}

bool SplicePlan::insertSplice(std::unique_ptr<Segment> splice) {
    // 1. Compatibility with whatever segment is first now.
    const AviHeader& first = *segments.at(0).header;
    const AviHeader& mine = *splice->header;
    if (!first.IsAvi || !mine.IsAvi || first.Width != mine.Width || first.Height != mine.Height ||
        first.VideoFourCC != mine.VideoFourCC) {
        return false;
    }
    const int32_t ref = splice->spliceRef;
    const int32_t len = splice->length;
    // Everything is checked and computed before the list changes, so a
    // refused insertion leaves the plan exactly as it was.
    if (ref < 0) {
        throw RangeError(splice->fileName() + ": the splice reference " + std::to_string(ref) +
                         " is negative");
    }
    const int64_t end = int64_t(ref) + len;
    const int32_t total = liveLength();
    if (end > total) {
        throw ListIndexError(splice->fileName() + ": the splice would end at frame " +
                             std::to_string(end) + ", past the end of the plan at frame " +
                             std::to_string(total));
    }

    // 2. Search: the first segment k whose end reaches the reference.
    int32_t k = 0;
    int32_t s = 0;
    while (checkedAdd(s, segments.at(k).length) < ref) {
        s = checkedAdd(s, segments.at(k).length);
        ++k;
    }
    Segment& head = segments.at(k);
    const int32_t cut = ref - s;

    // 3 and 4. The tail T after the cut, then the overwrite of len frames
    // from T on: `covered` whole pieces go, the next one loses its first
    // frames. Piece 0 is T, piece j > 0 is segment k + j.
    struct Piece {
        int32_t start, length, spliceRef;
    };
    auto piece = [&](int32_t j) {
        if (j == 0) {
            return Piece{checkedAdd(head.start, cut), head.length - cut,
                         checkedAdd(head.spliceRef, cut)};
        }
        const Segment& seg = segments.at(k + j);
        return Piece{seg.start, seg.length, seg.spliceRef};
    };
    int32_t removed = 0;
    int32_t covered = 0;
    Piece last = piece(0);
    while (checkedAdd(removed, last.length) < len) {
        removed += last.length;
        ++covered;
        last = piece(covered);
    }
    const int32_t trim = len - removed; // 0 only for a splice without frames
    const Piece kept{checkedAdd(last.start, trim), last.length - trim,
                     checkedAdd(last.spliceRef, trim)};
    // The piece left is of the same file as the segment it is cut from.
    const Segment& source = covered == 0 ? head : segments.at(k + covered);
    std::unique_ptr<Segment> rest(new Segment(source, kept.start, kept.length, kept.spliceRef));

    // Commit.
    const SegmentId current = currentSegment;
    bool currentGone = false;
    head.length = cut;
    segments.insert(k + 1, std::move(splice));
    if (covered == 0) {
        segments.insert(k + 2, std::move(rest));
    } else {
        // T itself is covered: segments k+1 .. k+covered-1 of the old list go
        // whole and segment k+covered is replaced by what is left of it.
        for (int32_t j = 1; j < covered; ++j) {
            currentGone = currentGone || segments.at(k + 2).id() == current;
            segments.deleteAt(k + 2);
        }
        currentGone = currentGone || segments.at(k + 2).id() == current;
        segments.replace(k + 2, std::move(rest));
    }
    if (currentGone) {
        currentLeft(current, k + 2);
    }
    return true;
}

void SplicePlan::currentLeft(SegmentId gone, int32_t at) {
    if (currentSegment != gone) {
        return;
    }
    if (at < segments.count()) {
        currentSegment = segments.at(at).id();
    } else if (segments.count() > 0) {
        currentSegment = segments.at(segments.count() - 1).id();
    } else {
        currentSegment = kNoSegment;
    }
}

namespace {
// The listing's lines without their ends, and the plan length they add up to.
std::vector<std::string> listingLines(const SegmentList& segments, int32_t& total) {
    std::vector<std::string> lines;
    total = 0;
    for (int32_t i = 0; i < segments.count(); ++i) {
        const Segment& seg = segments.at(i);
        const int32_t end = checkedAdd(total, seg.length);
        lines.push_back(intToText(total) + "-" + intToText(end) + " : " + seg.fileName());
        total = end;
    }
    return lines;
}
} // namespace

std::string SplicePlan::listing() {
    int32_t total = 0;
    std::string text;
    for (const std::string& line : listingLines(segments, total)) {
        text += line + "\r\n";
    }
    listedLength = total;
    return text;
}

std::vector<std::string> SplicePlan::listingBlock() {
    int32_t total = 0;
    std::vector<std::string> lines{"Future Content of", assembledName, ""};
    for (std::string& line : listingLines(segments, total)) {
        lines.push_back(std::move(line));
    }
    listedLength = total;
    return lines;
}

void SplicePlan::writeListingBlock(ILogView* log) {
    if (log == nullptr) {
        listedLength = liveLength(); // what the listing would add up to
        return;
    }
    const std::vector<std::string> lines = listingBlock();
    log->clear();
    for (const std::string& line : lines) {
        log->appendLine(line);
    }
}

} // namespace vidloom
