#pragma once
// Which index a file's video frames come from, and how many frames it gives:
// the frames AviSource serves. idx1, or the OpenDML standard indexes when the
// video has a super index in use, each only when it is whole and points
// inside the file; otherwise the index is rebuilt from the movie data. Every
// reader of a file's frames (the header's count, the key frames, the entry
// sizes) follows the choice made here, so all of them count the same frames.

#include "avi/BinaryFile.h"

#include <cstdint>

namespace vidloom {

class AviHeader;

enum class VideoIndexKind { None, Idx1, OpenDml, Rebuilt };

struct VideoIndexChoice {
    VideoIndexKind kind = VideoIndexKind::None;
    int32_t frames = 0;
};

// Chooses from the header's positions (read so far) and counts the frames.
VideoIndexChoice chooseVideoIndex(BinaryFile& file, const AviHeader& header);

// The video frames a scan of the header's movie lists finds.
int32_t countMovieFrames(BinaryFile& file, const AviHeader& header);

} // namespace vidloom
