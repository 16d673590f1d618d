#pragma once
// The splice plan: the ordered segments of the assembled video, the frame
// arithmetic of appending and inserting, the listing, the AviSynth script and
// the panel logic (layout view model, edits, delete, move, current panel).
//
// How the window drives it (vidloom-cli does the same without a window; the
// command-level flows are in splice/PlanActions.h):
//  - "Add File" and "Add Splice" call addFile / addSplice for each chosen file.
//  - Every change ends with layoutBoxes(), which computes one PanelState per
//    segment and hands the list to the attached IPanelView. The window keys
//    its panel widgets by PanelState::id: it reuses the widget of a known id,
//    creates one for a new id, and hides the widgets of ids that are gone.
//  - Panel events call onSelected(id, start text, end text, length text) (a
//    click, Enter, or leaving an editable cell), del(id) (the "del" button,
//    followed by the window's own refresh), and F5/F6 call prev(CurrentBox) /
//    next(CurrentBox) when CurrentBox is not kNoSegment.
//  - "Generate AVS": scriptRefusal() before the save dialog, then generateAvs().

#include "avi/UAviInfo.h"
#include "splice/AviInfoCache.h"
#include "splice/PanelState.h"
#include "splice/WindowSeams.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vidloom {

// The directory part left by the last splitPath of a path with a separator.
extern std::string LastDirectory;

// The file-name part of path (after the last '/' or '\'); sets LastDirectory
// to the part before it, separator included. A path without separator gives
// an empty name and leaves LastDirectory as it was.
std::string splitPath(const std::string& path);

// The first run of decimal digits in the file-name part of path, or -1 when it
// has none. A run too large for a signed 32-bit value raises ConversionError.
int32_t spliceRefOf(const std::string& path);

// A signed decimal integer as the user typed it (optional sign, digits, no
// blanks), or nullopt when the text is not one or does not fit 32 bits.
std::optional<int32_t> textToInt32(const std::string& text);

class TClipSplice {
public:
    // A whole-file segment of fileName: Start 0, Length the file's frame count.
    // The header record comes from cache (read there on the first use).
    explicit TClipSplice(const std::string& fileName, ILogView* logMemo = nullptr,
                         AviInfoCache& cache = AviInfoCache::shared());
    virtual ~TClipSplice() = default;
    TClipSplice(const TClipSplice&) = delete;
    TClipSplice& operator=(const TClipSplice&) = delete;

    // Keeps the first `offset` frames and gives the rest as a new segment
    // (Start + offset, Length - offset, SpliceRef + offset).
    std::unique_ptr<TClipSplice> splitAt(int32_t offset);
    // Whether video frame `frame` of the file counts as a key frame (the idx1
    // entry's key-frame bit). False, with nothing read, for a non-AVI file.
    bool isKeyFrame(int32_t frame) const;
    bool startsOnKeyFrame() const { return isKeyFrame(Start); }

    SegmentId id() const { return id_; }
    const std::string& fileName() const { return AviInfo->FileName; }
    AviInfoCache& cache() const { return *cache_; }

    const TAviInfo* AviInfo = nullptr; // shared, owned by the cache; never null
    int32_t Start = 0;
    int32_t Length = 0;
    int32_t SpliceRef = 0;
    ILogView* LogMemo = nullptr; // kept; nothing reads it
    bool HasInfoBox = false;     // laid out at least once (its panel exists)

private:
    friend class TClip; // insertSplice makes the piece left after an overwrite
    TClipSplice(const TClipSplice& source, int32_t start, int32_t length, int32_t spliceRef);
    SegmentId id_;
    AviInfoCache* cache_;
};

// The ordered list of segments. It owns them: deleteAt and replace hand the
// removed segment back to the caller. Indexes outside the list raise
// ListIndexError naming the index.
class TMetaAviHandler {
public:
    int32_t count() const { return int32_t(items_.size()); }
    TClipSplice& getSegment(int32_t i) const;
    void add(std::unique_ptr<TClipSplice> segment);
    void insert(int32_t i, std::unique_ptr<TClipSplice> segment); // i == count appends
    std::unique_ptr<TClipSplice> deleteAt(int32_t i);
    std::unique_ptr<TClipSplice> replace(int32_t i, std::unique_ptr<TClipSplice> segment);
    void exchange(int32_t i, int32_t j);
    int32_t indexOf(const TClipSplice* segment) const; // -1 when absent
    int32_t indexOf(SegmentId id) const;               // -1 when absent

private:
    void check(int32_t i, int32_t limit) const;
    std::vector<std::unique_ptr<TClipSplice>> items_;
};

class TClip {
public:
    // A plan whose only segment is the whole base file. BaseList keeps a
    // second whole-file segment of the base file for the brand window.
    explicit TClip(const std::string& fileName, IProgressBar* progressBar = nullptr,
                   ILogView* logMemo = nullptr, AviInfoCache& cache = AviInfoCache::shared());
    TClip(const TClip&) = delete;
    TClip& operator=(const TClip&) = delete;

    // The panels' view; every layoutBoxes hands it the new view model.
    void attachView(IPanelView* view) { PanelView = view; }
    AviInfoCache& cache() const { return *cache_; }

    // Runs the segment's key-frame test (an error propagates and the segment
    // is not added), then inserts it at position (appends when the plan is
    // empty) and adds its length to TotalLength. Gives the key-frame result.
    bool addClip(std::unique_ptr<TClipSplice> segment, int32_t position);

    // Inserts the splice at its SpliceRef: the segment holding the reference
    // is cut there, the splice goes in after the cut, and the frames after it
    // are overwritten for the splice's length. False (plan unchanged, splice
    // discarded) when its file differs from segment 0's in frame size or
    // codec or either is not an AVI file. All or nothing: a reference below 0
    // raises RangeError and one whose splice runs past the live end raises
    // ListIndexError, both before anything changes.
    bool insertSplice(std::unique_ptr<TClipSplice> splice);

    // One line per segment, "from-to : path" CR LF; recomputes TotalLength.
    std::string listing();
    // The log's plan-listing block: "Future Content of", AssembledName, an
    // empty line, then one line per segment (without line ends).
    std::vector<std::string> listingBlock();
    // Clears log and writes listingBlock into it (nothing when log is null).
    void writeListingBlock(ILogView* log);

    // The live sum of the segment lengths (overflow-checked).
    int32_t liveLength() const;
    bool hasFrames() const;

    // The AviSynth script: each segment with frames on one line, trimmed to
    // its own frames, then "return src" without line end. Sets the progress
    // bar's maximum to TotalLength.
    std::string buildScript();

    // The panel view model, one PanelState per segment in plan order; also
    // handed to the attached view. A segment laid out for the first time
    // becomes current. A key-frame test that fails only marks its panel.
    std::vector<PanelState> layoutBoxes();

    // Panel operations. Each lays the panels out again at its end.
    void setCurrent(SegmentId id); // no layout; kNoSegment clears
    void onSelected(SegmentId id, const std::string& startText, const std::string& endText,
                    const std::string& lengthText);
    void del(SegmentId id);
    void prev(SegmentId id);
    void next(SegmentId id);

    std::string AssembledName;
    TMetaAviHandler Segments;
    TMetaAviHandler BaseList;
    int32_t TotalLength = 0;
    IProgressBar* ProgressBar = nullptr;
    ILogView* LogMemo = nullptr;
    IPanelView* PanelView = nullptr;
    // The current segment, or kNoSegment. Never names a segment that left
    // the plan: when the current segment goes, the one that takes its place
    // becomes current, else the new last one, else none.
    SegmentId CurrentBox = kNoSegment;
    bool DebugFlag = false;

private:
    // Keeps CurrentBox valid after the segment at index `at` left the plan.
    void currentLeft(SegmentId gone, int32_t at);
    AviInfoCache* cache_;
};

} // namespace vidloom
