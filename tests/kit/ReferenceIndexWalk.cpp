#include "kit/ReferenceIndexWalk.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/OffsetSum.h"

#include <algorithm>

namespace vidloom {

namespace {
// Runs a step of the walk so that any error it raises names the clip file.
template <typename Step> auto namingFile(const std::string& fileName, Step&& step) {
    try {
        return step();
    } catch (VidloomError& e) {
        e.nameFile(fileName);
        throw;
    }
}
} // namespace

ReferenceIndexWalk::ReferenceIndexWalk(const AviHeader& aviInfo) : FileName(aviInfo.FileName) {
    MoviSizePos = aviInfo.MoviSizePos;
    IndexPos = aviInfo.IndexPos;
    NoAudio = aviInfo.NoAudio;
    if (!aviInfo.IsAvi) {
        // No index to read: every question gets the empty entry.
        EntryCount = 0;
        readFirstEntry();
        return;
    }
    namingFile(FileName, [&] {
        AviFile = std::make_unique<BinaryFile>(FileName);
        const int32_t sizeWordPos = offsetPlus(IndexPos, 4, "index size");
        AviFile->seek(sizeWordPos);
        EntryCount =
            entryCountOf(readDword32(*AviFile, "the idx1 index size"), FileName, sizeWordPos);
        MoviBase_ = checkedAdd(MoviSizePos, 8);
        firstVideoFrame();
        firstAudioChunk();
        return 0;
    });
}

ReferenceIndexWalk::~ReferenceIndexWalk() = default; // the BinaryFile closes a file still open

void ReferenceIndexWalk::readEntry(int32_t k) {
    const int32_t pos = indexEntryPos(IndexPos, k);
    AviFile->seek(pos);
    Current.MoviBase = MoviBase_;
    readIndexEntry(*AviFile, Current);
}

void ReferenceIndexWalk::readFirstEntry() {
    if (EntryNo == 0) {
        return; // already on entry 0, in the state a rewind gives
    }
    if (EntryCount == 0) {
        // Nothing to read: the walk stands at the end of an empty index.
        EntryNo = 0;
        VideoNo = -1;
        AudioNo = -1;
        return;
    }
    readEntry(0);
    if (isAudioEntry(Current.EntryId)) {
        LastAudio = Current;
        AudioNo = 0;
        VideoNo = -1;
    } else {
        LastVideo = Current;
        VideoNo = 0;
        AudioNo = -1;
    }
    EntryNo = 0;
}

void ReferenceIndexWalk::readNextEntry() {
    if (EntryNo >= EntryCount - 1) {
        // The last entry has been read: stay at the end, read nothing more.
        EntryNo = EntryCount;
        return;
    }
    EntryNo = EntryNo + 1;
    readEntry(EntryNo);
    if (isAudioEntry(Current.EntryId)) {
        if (AudioNo != EntryNo) {
            AudioNo = checkedAdd(AudioNo, 1);
        }
        LastAudio = Current;
    } else {
        if (VideoNo != EntryNo) {
            VideoNo = checkedAdd(VideoNo, 1);
        }
        LastVideo = Current;
    }
}

IndexEntry ReferenceIndexWalk::firstVideoFrame() {
    return namingFile(FileName, [&] {
        readFirstEntry();
        while (!atEnd() && isAudioEntry(Current.EntryId)) {
            readNextEntry();
        }
        // Without any video entry LastVideo was never filled: the empty entry.
        return LastVideo;
    });
}

std::optional<IndexEntry> ReferenceIndexWalk::nextVideoFrame() {
    return namingFile(FileName, [&]() -> std::optional<IndexEntry> {
        readNextEntry();
        while (!atEnd() && isAudioEntry(Current.EntryId)) {
            readNextEntry();
        }
        if (atEnd()) {
            // The frame counter moves on without a new entry.
            VideoNo = checkedAdd(VideoNo, 1);
            return std::nullopt;
        }
        return LastVideo;
    });
}

void ReferenceIndexWalk::firstAudioChunk() {
    namingFile(FileName, [&] {
        readFirstEntry();
        if (!NoAudio) {
            while (!atEnd() && !isAudioEntry(Current.EntryId)) {
                readNextEntry();
            }
        }
        return 0;
    });
}

IndexEntry ReferenceIndexWalk::seekVideoFrame(int32_t n) {
    return namingFile(FileName, [&] {
        n = std::max(n, 0);
        if (n < VideoNo) {
            firstVideoFrame(); // an earlier frame: the walk restarts from entry 0
        }
        while (n > VideoNo) {
            if (atEnd()) {
                // Past the last video entry: the answer stays the last one read,
                // so the counter may jump straight to n.
                VideoNo = n;
                break;
            }
            nextVideoFrame();
        }
        return LastVideo;
    });
}

void ReferenceIndexWalk::closeFile() {
    if (AviFile) {
        AviFile->close();
    }
}

bool keyFrameByWalk(const AviHeader& aviInfo, int32_t n) {
    ReferenceIndexWalk handler(aviInfo);
    const IndexEntry entry = handler.seekVideoFrame(n);
    handler.closeFile();
    return entry.IsKeyFrame;
}

} // namespace vidloom
