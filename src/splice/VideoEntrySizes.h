#pragma once
// Which video entries of a file's index are empty (size 0). AviSource shows
// such an entry, a dropped frame, as the frame before it, so the preview needs
// them to number frames as AviSynth does. Kept apart from KeyFrameIndex: it
// counts video entries by the same rule (isAudioEntry) over the same entries,
// and reads the index only when a frame is decoded.

#include "avi/AviHeader.h"

#include <cstdint>
#include <vector>

namespace vidloom {

class VideoEntrySizes {
public:
    // Reads the index of aviInfo's file in large blocks. Raises the errors of
    // opening the file and of its index size word, naming the file; a
    // truncated index gives the entries it holds. A file that is not an AVI
    // file has no entries.
    static VideoEntrySizes read(const AviHeader& aviInfo);

    // The video entries read, counted from 0 in index order.
    int32_t videoEntries() const { return videoEntries_; }
    // The numbers of the video entries whose size is 0, ascending.
    const std::vector<int32_t>& emptyEntries() const { return empty_; }

private:
    int32_t videoEntries_ = 0;
    std::vector<int32_t> empty_;
};

} // namespace vidloom
