#pragma once
// Which video frames of a file's index are empty (size 0). AviSource shows
// such a frame, a dropped one, as the frame before it, so the preview needs
// them to number frames as AviSynth does. Kept apart from KeyFrameIndex: it
// counts the same frames from the same index (the video stream's data chunks
// in idx1, or the OpenDML standard indexes when the video has a super index
// in use), and reads the index only when a frame is decoded.

#include "avi/AviHeader.h"
#include "avi/BinaryFile.h"

#include <cstdint>
#include <vector>

namespace vidloom {

class VideoEntrySizes {
public:
    // Reads the index of the header's file in large blocks. Raises the errors
    // of opening the file and of its index size word, naming the file; a
    // truncated index gives the entries it holds. A file that is not an AVI
    // file has no entries.
    static VideoEntrySizes read(const AviHeader& header);

    // The video entries read, counted from 0 in index order.
    int32_t videoEntries() const { return videoEntries_; }
    // The numbers of the video entries whose size is 0, ascending.
    const std::vector<int32_t>& emptyEntries() const { return empty_; }

private:
    void readIdx1(BinaryFile& file, const AviHeader& header);
    void readStandardIndexes(BinaryFile& file, const AviHeader& header);
    void add(uint32_t size);

    int32_t videoEntries_ = 0;
    std::vector<int32_t> empty_;
};

} // namespace vidloom
