#include "kit/ReferenceIndexWalk.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/OffsetSum.h"

#include "avi/IntraOnlyCodecs.h"
#include "avi/index/OpenDmlIndex.h"

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
    VideoStream = aviInfo.VideoStreamNumber;
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
            entryCountOf(AviFile->readDword32("the idx1 index size"), FileName, sizeWordPos);
        AviFile->seek(IndexPos);
        char word[4];
        if (AviFile->size() - IndexPos < 4 ||
            (AviFile->read(word, 4), std::string(word, 4) != "idx1")) {
            throwNoUsableIndex(FileName, IndexPos);
        }
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
    VideoNo = -1;
    AudioNo = -1;
    if (isAudioEntry(Current.EntryId)) {
        LastAudio = Current;
        AudioNo = 0;
    } else if (isVideo()) {
        LastVideo = Current;
        VideoNo = 0;
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
    } else if (isVideo()) {
        if (VideoNo != EntryNo) {
            VideoNo = checkedAdd(VideoNo, 1);
        }
        LastVideo = Current;
    }
}

IndexEntry ReferenceIndexWalk::firstVideoFrame() {
    return namingFile(FileName, [&] {
        readFirstEntry();
        while (!atEnd() && !isVideo()) {
            readNextEntry();
        }
        // Without any video entry LastVideo was never filled: the empty entry.
        return LastVideo;
    });
}

std::optional<IndexEntry> ReferenceIndexWalk::nextVideoFrame() {
    return namingFile(FileName, [&]() -> std::optional<IndexEntry> {
        readNextEntry();
        while (!atEnd() && !isVideo()) {
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

bool ReferenceIndexWalk::isVideo() const {
    return isVideoFrameEntry(Current.EntryId, VideoStream);
}

namespace {

bool idx1KeyFrame(const AviHeader& aviInfo, int32_t n) {
    ReferenceIndexWalk handler(aviInfo);
    const IndexEntry entry = handler.seekVideoFrame(n);
    handler.closeFile();
    return entry.IsKeyFrame;
}

// Whether the readable video entries hold a frame and none is marked key.
bool idx1MarksNoKeyFrame(const AviHeader& aviInfo) {
    bool frames = false;
    try {
        ReferenceIndexWalk handler(aviInfo);
        for (auto e = std::optional(handler.firstVideoFrame()); e && !handler.atEnd();
             e = handler.nextVideoFrame()) {
            if (e->IsKeyFrame) {
                return false;
            }
            frames = true;
        }
    } catch (const VidloomError&) {
        // The rest of a truncated index cannot be read.
    }
    return frames;
}

// The frames of the standard indexes, entry by entry; visit gets each frame's
// key bit and stops the walk by returning true.
template <typename Visit> void walkStandardIndexes(const AviHeader& aviInfo, Visit&& visit) {
    namingFile(aviInfo.FileName, [&] {
        BinaryFile file(aviInfo.FileName);
        for (const uint64_t chunk : videoStandardIndexes(file, aviInfo)) {
            const StandardIndex index = readStandardIndex(file, chunk);
            for (uint32_t k = 0; k < index.count; ++k) {
                file.seek(index.sizeWordOf(k));
                if (visit(isKeyEntry(uint32_t(file.readDword32("a standard index entry"))))) {
                    return 0;
                }
            }
        }
        return 0;
    });
}

bool openDmlKeyFrame(const AviHeader& aviInfo, int32_t n) {
    n = std::max(n, 0);
    int32_t frame = 0;
    bool key = false;
    walkStandardIndexes(aviInfo, [&](bool isKey) {
        key = isKey;
        return frame++ == n;
    });
    return key;
}

bool openDmlMarksNoKeyFrame(const AviHeader& aviInfo) {
    bool frames = false;
    bool anyKey = false;
    try {
        walkStandardIndexes(aviInfo, [&](bool isKey) {
            frames = true;
            anyKey = anyKey || isKey;
            return anyKey;
        });
    } catch (const VidloomError&) {
    }
    return frames && !anyKey;
}

} // namespace

bool keyFrameByWalk(const AviHeader& aviInfo, int32_t n) {
    if (!aviInfo.IsAvi) {
        return idx1KeyFrame(aviInfo, n);
    }
    const bool openDml = aviInfo.VideoSuperIndexEntries > 0;
    if (openDml ? openDmlKeyFrame(aviInfo, n) : idx1KeyFrame(aviInfo, n)) {
        return true;
    }
    return isIntraOnlyCodec(aviInfo.VideoFourCC, aviInfo.VideoCompression) &&
           (openDml ? openDmlMarksNoKeyFrame(aviInfo) : idx1MarksNoKeyFrame(aviInfo));
}

} // namespace vidloom
