#include "splice/USplicer.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/TextFormat.h"

#include <algorithm>
#include <climits>

namespace vidloom {

std::string LastDirectory;

namespace {
SegmentId nextSegmentId() {
    static SegmentId last = kNoSegment;
    return ++last;
}
} // namespace

std::string splitPath(const std::string& path) {
    const size_t at = path.find_last_of("/\\");
    if (at == std::string::npos) {
        return {};
    }
    LastDirectory = path.substr(0, at + 1);
    return path.substr(at + 1);
}

int32_t spliceRefOf(const std::string& path) {
    const std::string name = splitPath(path);
    const size_t from = name.find_first_of("0123456789");
    if (from == std::string::npos) {
        return -1;
    }
    size_t to = from;
    int64_t value = 0;
    while (to < name.size() && name[to] >= '0' && name[to] <= '9') {
        value = value * 10 + (name[to] - '0');
        if (value > INT32_MAX) {
            size_t end = to;
            while (end < name.size() && name[end] >= '0' && name[end] <= '9') {
                ++end;
            }
            throw ConversionError(path + ": the number " + name.substr(from, end - from) +
                                  " in the file name is too large for a splice reference");
        }
        ++to;
    }
    return int32_t(value);
}

std::optional<int32_t> textToInt32(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
        if (value > int64_t(INT32_MAX) + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > INT32_MAX || value < INT32_MIN) {
        return std::nullopt;
    }
    return int32_t(value);
}

// ---- TClipSplice

TClipSplice::TClipSplice(const std::string& fileName, ILogView* logMemo, AviInfoCache& cache)
    : AviInfo(&cache.get(fileName)), LogMemo(logMemo), id_(nextSegmentId()), cache_(&cache) {
    // A frame count of 2^31 or more reads as negative: such a file has no
    // usable frames rather than a negative length.
    Length = std::max(AviInfo->TotalFrames, 0);
}

TClipSplice::TClipSplice(const TClipSplice& source, int32_t start, int32_t length,
                         int32_t spliceRef)
    : AviInfo(source.AviInfo), Start(start), Length(length), SpliceRef(spliceRef),
      id_(nextSegmentId()), cache_(source.cache_) {}

std::unique_ptr<TClipSplice> TClipSplice::splitAt(int32_t offset) {
    if (offset < 0 || offset > Length) {
        throw RangeError(fileName() + ": cannot cut a segment of " + std::to_string(Length) +
                         " frames at offset " + std::to_string(offset));
    }
    std::unique_ptr<TClipSplice> tail(new TClipSplice(*this, checkedAdd(Start, offset),
                                                      checkedSub(Length, offset),
                                                      checkedAdd(SpliceRef, offset)));
    Length = offset;
    return tail;
}

bool TClipSplice::isKeyFrame(int32_t frame) const {
    return cache_->isKeyFrame(*AviInfo, frame);
}

// ---- TMetaAviHandler

void TMetaAviHandler::check(int32_t i, int32_t limit) const {
    if (i < 0 || i >= limit) {
        throw ListIndexError("list index out of bounds (" + std::to_string(i) +
                             "): the list holds " + std::to_string(items_.size()) + " segments");
    }
}

TClipSplice& TMetaAviHandler::getSegment(int32_t i) const {
    check(i, count());
    return *items_[size_t(i)];
}

void TMetaAviHandler::add(std::unique_ptr<TClipSplice> segment) {
    items_.push_back(std::move(segment));
}

void TMetaAviHandler::insert(int32_t i, std::unique_ptr<TClipSplice> segment) {
    check(i, count() + 1);
    items_.insert(items_.begin() + i, std::move(segment));
}

std::unique_ptr<TClipSplice> TMetaAviHandler::deleteAt(int32_t i) {
    check(i, count());
    std::unique_ptr<TClipSplice> gone = std::move(items_[size_t(i)]);
    items_.erase(items_.begin() + i);
    return gone;
}

std::unique_ptr<TClipSplice> TMetaAviHandler::replace(int32_t i,
                                                      std::unique_ptr<TClipSplice> segment) {
    check(i, count());
    std::swap(items_[size_t(i)], segment);
    return segment;
}

void TMetaAviHandler::exchange(int32_t i, int32_t j) {
    check(i, count());
    check(j, count());
    std::swap(items_[size_t(i)], items_[size_t(j)]);
}

int32_t TMetaAviHandler::indexOf(const TClipSplice* segment) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == segment) {
            return int32_t(i);
        }
    }
    return -1;
}

int32_t TMetaAviHandler::indexOf(SegmentId id) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->id() == id) {
            return int32_t(i);
        }
    }
    return -1;
}

// ---- TClip: construction, appending, inserting, listing

TClip::TClip(const std::string& fileName, IProgressBar* progressBar, ILogView* logMemo,
             AviInfoCache& cache)
    : ProgressBar(progressBar), LogMemo(logMemo), cache_(&cache) {
    Segments.add(std::make_unique<TClipSplice>(fileName, logMemo, cache));
    BaseList.add(std::make_unique<TClipSplice>(fileName, logMemo, cache));
}

bool TClip::addClip(std::unique_ptr<TClipSplice> segment, int32_t position) {
    const bool onKeyFrame = segment->startsOnKeyFrame();
    // Both the plan as it is now (edits included) and TotalLength must still
    // fit 32 bits of frames with the segment added; otherwise nothing changes.
    const int64_t live = int64_t(liveLength()) + segment->Length;
    const int64_t sum = int64_t(TotalLength) + segment->Length;
    if (live > INT32_MAX || sum > INT32_MAX) {
        throw OverflowError(segment->fileName() + ": its " + std::to_string(segment->Length) +
                            " frames would make the plan longer than " + std::to_string(INT32_MAX) +
                            " frames");
    }
    const int32_t total = int32_t(sum);
    if (Segments.count() == 0) {
        Segments.add(std::move(segment));
    } else {
        Segments.insert(position, std::move(segment));
    }
    TotalLength = total;
    return onKeyFrame;
}

int32_t TClip::liveLength() const {
    int32_t sum = 0;
    for (int32_t i = 0; i < Segments.count(); ++i) {
        sum = checkedAdd(sum, Segments.getSegment(i).Length);
    }
    return sum;
}

bool TClip::hasFrames() const {
    for (int32_t i = 0; i < Segments.count(); ++i) {
        if (Segments.getSegment(i).Length > 0) {
            return true;
        }
    }
    return false;
}

bool TClip::insertSplice(std::unique_ptr<TClipSplice> splice) {
    // 1. Compatibility with whatever segment is first now.
    const TAviInfo& first = *Segments.getSegment(0).AviInfo;
    const TAviInfo& mine = *splice->AviInfo;
    if (!first.IsAvi || !mine.IsAvi || first.Width != mine.Width || first.Height != mine.Height ||
        first.VideoFourCC != mine.VideoFourCC) {
        return false;
    }
    const int32_t ref = splice->SpliceRef;
    const int32_t len = splice->Length;
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
    while (checkedAdd(s, Segments.getSegment(k).Length) < ref) {
        s = checkedAdd(s, Segments.getSegment(k).Length);
        ++k;
    }
    TClipSplice& head = Segments.getSegment(k);
    const int32_t cut = ref - s;

    // 3 and 4. The tail T after the cut, then the overwrite of len frames
    // from T on: `covered` whole pieces go, the next one loses its first
    // frames. Piece 0 is T, piece j > 0 is segment k + j.
    struct Piece {
        int32_t start, length, spliceRef;
    };
    auto piece = [&](int32_t j) {
        if (j == 0) {
            return Piece{checkedAdd(head.Start, cut), head.Length - cut,
                         checkedAdd(head.SpliceRef, cut)};
        }
        const TClipSplice& seg = Segments.getSegment(k + j);
        return Piece{seg.Start, seg.Length, seg.SpliceRef};
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
    const TClipSplice& source = covered == 0 ? head : Segments.getSegment(k + covered);
    std::unique_ptr<TClipSplice> rest(
        new TClipSplice(source, kept.start, kept.length, kept.spliceRef));

    // Commit.
    const SegmentId current = CurrentBox;
    bool currentGone = false;
    head.Length = cut;
    Segments.insert(k + 1, std::move(splice));
    if (covered == 0) {
        Segments.insert(k + 2, std::move(rest));
    } else {
        // T itself is covered: segments k+1 .. k+covered-1 of the old list go
        // whole and segment k+covered is replaced by what is left of it.
        for (int32_t j = 1; j < covered; ++j) {
            currentGone = currentGone || Segments.getSegment(k + 2).id() == current;
            Segments.deleteAt(k + 2);
        }
        currentGone = currentGone || Segments.getSegment(k + 2).id() == current;
        Segments.replace(k + 2, std::move(rest));
    }
    if (currentGone) {
        currentLeft(current, k + 2);
    }
    return true;
}

void TClip::currentLeft(SegmentId gone, int32_t at) {
    if (CurrentBox != gone) {
        return;
    }
    if (at < Segments.count()) {
        CurrentBox = Segments.getSegment(at).id();
    } else if (Segments.count() > 0) {
        CurrentBox = Segments.getSegment(Segments.count() - 1).id();
    } else {
        CurrentBox = kNoSegment;
    }
}

namespace {
// The listing's lines without their ends, and the plan length they add up to.
std::vector<std::string> listingLines(const TMetaAviHandler& segments, int32_t& total) {
    std::vector<std::string> lines;
    total = 0;
    for (int32_t i = 0; i < segments.count(); ++i) {
        const TClipSplice& seg = segments.getSegment(i);
        const int32_t end = checkedAdd(total, seg.Length);
        lines.push_back(intToText(total) + "-" + intToText(end) + " : " + seg.fileName());
        total = end;
    }
    return lines;
}
} // namespace

std::string TClip::listing() {
    int32_t total = 0;
    std::string text;
    for (const std::string& line : listingLines(Segments, total)) {
        text += line + "\r\n";
    }
    TotalLength = total;
    return text;
}

std::vector<std::string> TClip::listingBlock() {
    int32_t total = 0;
    std::vector<std::string> lines{"Future Content of", AssembledName, ""};
    for (std::string& line : listingLines(Segments, total)) {
        lines.push_back(std::move(line));
    }
    TotalLength = total;
    return lines;
}

void TClip::writeListingBlock(ILogView* log) {
    if (log == nullptr) {
        TotalLength = liveLength(); // what the listing would add up to
        return;
    }
    const std::vector<std::string> lines = listingBlock();
    log->clear();
    for (const std::string& line : lines) {
        log->appendLine(line);
    }
}

} // namespace vidloom
