#pragma once
// The clip file handler: finds the idx1 entry of video frame n by walking the
// index entry by entry, counting video and audio entries separately. It lives
// for one question (or a few questions on the same handler) and reads nothing
// but the index. KeyFrameIndex gives the same answers from one read of the
// whole index; this walker is kept as the reference they are tested against.

#include "avi/AviHeader.h"
#include "avi/BinaryFile.h"
#include "avi/index/IndexEntries.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vidloom {

class ReferenceIndexWalk {
public:
    // Opens the file and positions the walk on the first video entry and then
    // the first audio entry. A file that is not an AVI file is not opened: it
    // has an index without entries.
    explicit ReferenceIndexWalk(const AviHeader& aviInfo);
    // Closes the file if the walk left it open (closeFile was not reached).
    virtual ~ReferenceIndexWalk();
    ReferenceIndexWalk(const ReferenceIndexWalk&) = delete;
    ReferenceIndexWalk& operator=(const ReferenceIndexWalk&) = delete;

    // The entry of video frame n. n <= 0 gives the first video entry; n at or
    // past the number of video entries gives the last one; an index without
    // video entries gives an empty entry (not a key frame). The answer does not
    // depend on earlier questions to the same handler.
    IndexEntry seekVideoFrame(int32_t n);
    // Rewinds and gives the first video entry (an empty entry if there is none).
    IndexEntry firstVideoFrame();
    // The next video entry after the current position; nothing at the end.
    std::optional<IndexEntry> nextVideoFrame();
    // Rewinds and walks to the first audio entry (only rewinds when NoAudio).
    void firstAudioChunk();
    // The two steps every walk is made of. Neither reads past the last entry.
    void readFirstEntry();
    void readNextEntry();
    void closeFile();

    bool atEnd() const { return EntryNo >= EntryCount; }

    std::string FileName;
    std::unique_ptr<BinaryFile> AviFile; // null for a file that is not an AVI file
    int32_t MoviSizePos = 0;
    int32_t IndexPos = 0;
    int32_t EntryCount = 0;
    bool NoAudio = false;
    int32_t VideoStream = 0; // the two digits of the video's chunk ids
    int32_t EntryNo = -1;
    IndexEntry Current;
    int32_t VideoNo = -1;
    IndexEntry LastVideo;
    int32_t AudioNo = -1;
    IndexEntry LastAudio;

private:
    void readEntry(int32_t k);
    bool isVideo() const; // the current entry is a frame of the video
    int32_t MoviBase_ = 0;
};

// The key-frame test as a fresh walk: a handler for aviInfo, seekVideoFrame(n),
// closeFile; or, when the video has an OpenDML super index in use, its
// standard indexes entry by entry. A codec that stores only whole frames has
// every frame key when the index marks none. False without reading anything
// for a file that is not an AVI file.
bool keyFrameByWalk(const AviHeader& aviInfo, int32_t n);

} // namespace vidloom
