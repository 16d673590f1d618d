#pragma once
// Frame numbers as AviSynth's AviSource counts them, turned into positions in
// the stream of pictures FFmpeg's decoder gives. Frame n is the n-th video
// entry of the file's index; an entry of size 0 is a dropped frame, which
// AviSource shows as the frame before it and FFmpeg does not decode at all.
// So the pictures the decoder gives, counted from 0 in the order it gives
// them, are the non-empty entries, and frame n shows picture
// n - (empty entries up to n). No FFmpeg here: this is plain arithmetic on the
// core's answers, so it is tested on its own.

#include <cstdint>
#include <string>
#include <vector>

namespace vidloom::preview {

// What the core says about the video entries of one file.
struct EntryMap {
    int32_t frames = 0;                // video entries, numbered 0 to frames - 1
    std::vector<int32_t> keyFrames;    // entries with the key-frame bit, ascending
    std::vector<int32_t> emptyEntries; // entries of size 0, ascending
};

class FrameNumbering {
public:
    FrameNumbering() = default;
    // Key frames and empty entries outside 0 to frames - 1 are left out, and
    // so are empty key frames (FFmpeg cannot start decoding at nothing).
    explicit FrameNumbering(EntryMap map);

    int32_t frames() const { return frames_; }
    // The pictures the decoder gives for the whole file: the non-empty entries.
    int32_t pictures() const { return frames_ - int32_t(empty_.size()); }

    // The picture frame n shows: the position among the non-empty entries of n,
    // or of the last non-empty entry before n when n is empty; -1 when n and
    // every entry before it are empty. n must be in range.
    int32_t pictureOf(int32_t n) const;
    // The entry holding picture p (0 <= p < pictures()).
    int32_t entryOf(int32_t picture) const;
    // The picture an entry holds; -1 for an empty entry or one out of range.
    int32_t pictureAt(int32_t entry) const;
    bool isEmpty(int32_t entry) const;

    // The last key frame at or before entry e, -1 if there is none.
    int32_t keyAtOrBefore(int32_t entry) const;
    // The last key frame before entry e, -1 if there is none.
    int32_t keyBefore(int32_t entry) const;

    // Raises RangeError naming the file unless 0 <= n < frames().
    void checkRange(const std::string& fileName, int32_t n) const;

private:
    int32_t emptyUpTo(int32_t entry) const; // empty entries <= entry

    int32_t frames_ = 0;
    std::vector<int32_t> keys_;
    std::vector<int32_t> empty_;
};

} // namespace vidloom::preview
