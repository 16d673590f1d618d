#pragma once
// The clip file handler: finds the idx1 entry of video frame n by walking the
// index entry by entry, counting video and audio entries separately. It lives
// for one question (or a few questions on the same handler) and reads nothing
// but the index. KeyFrameIndex gives the same answers from one read of the
// whole index; this walker is kept as the reference they are tested against.
//
// An audio entry is one whose id has a lower-case 'w' as its third character
// (01wb); every other entry (00dc, 00db, 00pc, ix00, 01WB) counts as video.

#include "avi/BinaryFile.h"
#include "avi/UAviInfo.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vidloom {

bool isAudioEntry(const std::string& entryId);

// File offset of idx1 entry k: IndexPos + 8 + 16 * k, overflow-checked.
int32_t indexEntryPos(int32_t indexPos, int32_t k);

// The entry count that an idx1 size word gives (a remainder of 1 to 15 bytes
// is ignored). A size word of 2^31 or more raises RangeError naming the file.
int32_t entryCountOf(int32_t sizeWord, const std::string& fileName, int32_t sizeWordPos);

class TAviHandler {
public:
    // Opens the file and positions the walk on the first video entry and then
    // the first audio entry. A file that is not an AVI file is not opened: it
    // has an index without entries.
    explicit TAviHandler(const TAviInfo& aviInfo);
    // Closes the file if the walk left it open (closeFile was not reached).
    virtual ~TAviHandler();
    TAviHandler(const TAviHandler&) = delete;
    TAviHandler& operator=(const TAviHandler&) = delete;

    // The entry of video frame n. n <= 0 gives the first video entry; n at or
    // past the number of video entries gives the last one; an index without
    // video entries gives an empty entry (not a key frame). The answer does not
    // depend on earlier questions to the same handler.
    TIndexEntry seekVideoFrame(int32_t n);
    // Rewinds and gives the first video entry (an empty entry if there is none).
    TIndexEntry firstVideoFrame();
    // The next video entry after the current position; nothing at the end.
    std::optional<TIndexEntry> nextVideoFrame();
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
    int32_t EntryNo = -1;
    TIndexEntry Current;
    int32_t VideoNo = -1;
    TIndexEntry LastVideo;
    int32_t AudioNo = -1;
    TIndexEntry LastAudio;

private:
    void readEntry(int32_t k);
    int32_t MoviBase_ = 0;
};

// The key-frame test as a fresh walk: a handler for aviInfo, seekVideoFrame(n),
// closeFile. False without reading anything for a file that is not an AVI file.
bool keyFrameByWalk(const TAviInfo& aviInfo, int32_t n);

} // namespace vidloom
