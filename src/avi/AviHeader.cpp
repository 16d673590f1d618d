#include "avi/AviHeader.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/InfoTags.h"
#include "avi/OffsetSum.h"
#include "avi/TextFormat.h"
#include "avi/colour/VideoColour.h"
#include "avi/index/FrameKeys.h"
#include "avi/index/IndexEntries.h"
#include "avi/index/MovieScan.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vidloom {

namespace {

constexpr int64_t kMaxOffset = std::numeric_limits<int32_t>::max();

// Truncates towards zero; a value outside 32 bits is the range error.
int32_t truncToInt32(long double value, const char* what) {
    const long double whole = std::trunc(value);
    if (!(whole >= INT32_MIN && whole <= INT32_MAX)) {
        throw RangeError(std::string(what) + " does not fit in a signed 32-bit integer");
    }
    return int32_t(whole);
}

// The header words that count frames or pixels are unsigned; one of 2^31 or
// more cannot be a real file's and would show as a negative number.
void refuseNegative(int32_t word, const char* field) {
    if (word < 0) {
        throw RangeError(std::string(field) + " is " + std::to_string(uint32_t(word)) +
                         ", 2^31 or more: not a value a real file holds");
    }
}

std::string quoted(const std::string& word) {
    return "\"" + word + "\"";
}

} // namespace

void readIndexEntry(BinaryFile& file, IndexEntry& entry) {
    char id[4];
    file.read(id, 4, "an index entry");
    entry.EntryId.assign(id, 4);
    entry.EntryFlags = file.readDword32("an index entry");
    // Muxers set other flag bits next to the key-frame bit (GStreamer writes
    // 0x12 on every key frame), so only bit 0x10 counts.
    entry.IsKeyFrame = (entry.EntryFlags & 0x10) != 0;
    entry.EntryOffset = file.readDword32("an index entry");
    entry.EntryLength = file.readDword32("an index entry");
    const int64_t after = file.position();

    // The look at the chunk's first data byte only feeds FirstDataBits, so it
    // never fails: an entry whose offset leads outside the file (offsets
    // counted from the file start, corrupt values) simply gives 0.
    entry.FirstDataBits = 0;
    const int64_t head = int64_t(entry.MoviBase) - 4 + int64_t(entry.EntryOffset);
    if (head >= 0 && head <= kMaxOffset && head + 9 <= file.size()) {
        file.seek(head + 4);
        const int32_t size = file.readDword32();
        if (size > 0) {
            const uint8_t first = file.readByte();
            entry.FirstDataBits = uint8_t((first >> 1) & 31);
        }
    }
    file.seek(after);
}

AviHeader::AviHeader(const std::string& fileName) : FileName(fileName) {
    try {
        // A local owner: the file is closed on every way out of here.
        BinaryFile file(FileName);
        if (file.size() == 0) {
            Report = "Empty file.";
        } else {
            IsAvi = checkRiff(file);
            if (!IsAvi) {
                Report = "Not an avi!";
            } else {
                readHeaders(file);
            }
        }
        file.close();
    } catch (VidloomError& e) {
        e.nameFile(FileName);
        throw;
    }
}

AviHeader::~AviHeader() = default;

bool AviHeader::checkRiff(BinaryFile& file) {
    // Byte by byte, stopping at the first mismatch, so a short file that
    // matches as far as it goes runs into its end (the I/O error).
    static const char kRiff[] = "RIFF";
    static const char kAvi[] = "AVI ";
    file.seek(0);
    for (int i = 0; i < 4; ++i) {
        if (file.readByte("the RIFF signature") != uint8_t(kRiff[i])) {
            return false;
        }
    }
    const int32_t riffSize = file.readDword32("the RIFF size");
    RiffEnd = offsetPlus(riffSize, 8, "end of the RIFF list (RIFF size + 8)");
    for (int i = 0; i < 4; ++i) {
        if (file.readByte("the RIFF form type") != uint8_t(kAvi[i])) {
            return false;
        }
    }
    return true;
}

int32_t AviHeader::scanFor(BinaryFile& file, const std::string& word, int32_t start,
                           const std::string& why) {
    // The same answer as probing every offset from start in turn, done block
    // by block. The probe offset is a 32-bit integer, so the search can go no
    // further than 2^31 - 1.
    const int64_t at = file.find(word, start, kMaxOffset + 1);
    if (at >= 0) {
        return int32_t(at);
    }
    const int64_t lastInFile = file.size() - int64_t(word.size());
    if (lastInFile >= kMaxOffset) {
        throw OverflowError("no " + quoted(word) + " between offset " + std::to_string(start) +
                            " and 2 GiB, the largest offset the reader can handle" +
                            (why.empty() ? "" : " (" + why + ")"));
    }
    const int64_t failing = std::max<int64_t>(start, lastInFile + 1);
    throw IoError("unexpected end of file at offset " + std::to_string(failing) +
                  " while looking for " + quoted(word) + (why.empty() ? "" : " (" + why + ")"));
}

void AviHeader::readHeaders(BinaryFile& file) {
    const RiffTree tree = walkRiffTree(file);
    const int32_t moviSize = readMovieListSize(file, tree);
    const int32_t h = locate(file, tree.hdrlWord, "hdrl", 1, "the header list");
    readMainHeader(file, h);
    const std::vector<StreamList> streams = readStreamLists(file, h);
    const int32_t v = findVideoStreamHeader(file, streams, h);
    readVideoStreamHeader(file, v);
    int64_t walkedFormat = -1;
    for (const StreamList& stream : streams) {
        if (stream.streamHeader == v) {
            walkedFormat = stream.format;
        }
    }
    const int32_t f = readVideoFormat(file, v, walkedFormat);
    if (NoAudio) {
        AudioBytesPerSec = 0;
    } else {
        int64_t audioFormat = -1;
        const int32_t a = findAudioStreamHeader(file, streams, v, f, audioFormat);
        readAudioFormat(file, a, audioFormat);
    }
    readOpenDml(file, streams, v);
    ColourFormat = readVideoColour(file, {VideoFourCC, f, MoviSizePos + 4,
                                          int64_t(MoviSizePos) + 4 + moviSize, VideoStreamNumber});
    MovieBytes += moviSize;

    MovieLists = tree.movieLists;
    if (MovieLists.empty() || tree.moviWord != int64_t(MoviSizePos) + 4) {
        // The movie list the search found, running to the end of the file
        // when its size was never written or leads past the end.
        const int64_t first = int64_t(MoviSizePos) + 8;
        const int64_t end = int64_t(MoviSizePos) + 4 + moviSize;
        MovieLists = {{first, moviSize <= 4 || end > file.size() ? file.size() : end}};
    }
    if (tree.idx1 >= 0 && tree.idx1 <= INT32_MAX && !holdsIndex(file)) {
        IndexPos = int32_t(tree.idx1); // idx1 after a JUNK chunk or other padding
    }
    chooseIndex(file);
    LengthMsUnclamped = LengthMs;

    writeReport(moviSize);
    searchTags(file);
}

int32_t AviHeader::locate(BinaryFile& file, int64_t walked, const std::string& word, int32_t start,
                          const std::string& why) {
    if (walked >= 0 && walked <= kMaxOffset - 4) {
        file.seek(walked + 4);
        return int32_t(walked);
    }
    const int32_t found = scanFor(file, word, start, why);
    if (WordSearchFrom < 0) {
        WordSearchFrom = found;
    }
    return found;
}

int32_t AviHeader::findVideoStreamHeader(BinaryFile& file, const std::vector<StreamList>& streams,
                                         int32_t h) {
    bool audioOnly = !streams.empty();
    for (const StreamList& stream : streams) {
        if (stream.type == "vids" || stream.type == "iavs") {
            DvType = stream.type == "iavs" ? 1 : 0;
            return locate(file, stream.streamHeader, "vids", h, "the video stream header");
        }
        audioOnly = audioOnly && stream.type == "auds";
    }
    if (audioOnly && int32_t(streams.size()) >= Streams) {
        throw IoError("no video stream (audio only)");
    }
    return locate(file, -1, "vids", h, "the video stream header");
}

int32_t AviHeader::readMovieListSize(BinaryFile& file, const RiffTree& tree) {
    const int32_t m = locate(file, tree.moviWord, "movi", 1, "the movie data list");
    MoviSizePos = m - 4;
    file.seek(MoviSizePos);
    const int32_t moviSize = file.readDword32("the movie data size");
    IndexPos = offsetPlus(offsetPlus(moviSize, MoviSizePos, "index position"), 4, "index position");
    return moviSize;
}

void AviHeader::readMainHeader(BinaryFile& file, int32_t h) {
    file.seek(offsetPlus(h, 12, "main header"));
    MicroSecPerFrame = file.readDword32("the main header");
    MaxBytesPerSec = file.readDword32("the main header");
    file.readDword32("the main header"); // dwPaddingGranularity
    MainFlags = file.readDword32("the main header");
    if (MicroSecPerFrame == 0) {
        MicroSecPerFrame = 41708;
    }

    const long double rate = 1000.0L / MicroSecPerFrame * 1000.0L;
    FpsInteger = truncToInt32(rate, "the frame rate");
    FpsThousandths =
        truncToInt32(rate * 1000.0L - checkedMul(FpsInteger, 1000), "the frame rate's thousandths");

    file.seek(offsetPlus(h, 28, "main header"));
    TotalFrames = file.readDword32("the main header");
    HeaderTotalFrames = TotalFrames;
    file.readDword32("the main header"); // dwInitialFrames
    Streams = file.readDword32("the main header");
    NoAudio = Streams == 1;
    computeLength();

    file.seek(offsetPlus(h, 44, "main header"));
    Width = file.readDword32("the main header");
    Height = file.readDword32("the main header");
    refuseNegative(TotalFrames, "the main header's frame count (dwTotalFrames)");
    refuseNegative(Streams, "the main header's stream count (dwStreams)");
    refuseNegative(Width, "the main header's frame width (dwWidth)");
    refuseNegative(Height, "the main header's frame height (dwHeight)");
    MainReserved0 = file.readDword32("the main header");
    MainReserved1 = file.readDword32("the main header");
}

void AviHeader::computeLength() {
    // Ties go to the even millisecond (the default rounding mode).
    const long double lengthMs =
        std::nearbyint(static_cast<long double>(TotalFrames) * (MicroSecPerFrame / 1000.0L));
    if (lengthMs < INT32_MIN || lengthMs > INT32_MAX) {
        throw RangeError("the play length of " + std::to_string(TotalFrames) + " frames at " +
                         std::to_string(MicroSecPerFrame) +
                         " microseconds each does not fit in 32 bits of milliseconds");
    }
    LengthMs = int32_t(lengthMs);
}

void AviHeader::readVideoStreamHeader(BinaryFile& file, int32_t v) {
    VideoHandlerPos = offsetPlus(v, 4, "video stream header");
    char code[4];
    file.read(code, 4, "the video stream header");
    VideoFourCC.assign(code, 4);
    int32_t* const streamWords[] = {
        &StreamFlags, &StreamPriority, &StreamInitialFrames, &StreamScale,   &StreamRate,
        &StreamStart, &StreamLength,   &StreamBufferSize,    &StreamQuality, &StreamSampleSize};
    for (int32_t* word : streamWords) {
        *word = file.readDword32("the video stream header");
    }
    refuseNegative(StreamLength, "the video stream header's length (dwLength)");
}

int32_t AviHeader::readVideoFormat(BinaryFile& file, int32_t v, int64_t walked) {
    const int32_t f =
        locate(file, walked >= 8 ? walked - 8 : -1, "strf", v, "the video stream format");
    if (DvType == 1) {
        // An interleaved DV stream's format is a DVINFO, not a bitmap header:
        // the codec is the stream's handler and the frames are 24-bit video.
        BitCount = 24;
        VideoCompression = VideoFourCC;
        VideoCompressionPos = VideoHandlerPos;
        return f;
    }
    file.seek(offsetPlus(f, 22, "video stream format"));
    BitCount = file.readWord16("the video format's bit count");
    VideoCompressionPos = offsetPlus(f, 24, "video stream format");
    char code[4];
    if (file.peek(VideoCompressionPos, code, 4)) {
        VideoCompression.assign(code, 4);
    }
    // DivX files name their real codec only in biCompression; so do files
    // whose stream header leaves the handler empty.
    if (VideoFourCC == std::string(4, '\0') || upperShort(VideoFourCC) == "DIVX") {
        file.read(code, 4, "the video format's compression code");
        VideoFourCC.assign(code, 4);
    }
    return f;
}

int32_t AviHeader::findAudioStreamHeader(BinaryFile& file, const std::vector<StreamList>& streams,
                                         int32_t /*vids*/, int32_t f, int64_t& walkedFormat) {
    // The first audio stream of the header list, before or after the video.
    for (const StreamList& stream : streams) {
        if (stream.type == "auds" && stream.streamHeader >= 0 &&
            stream.streamHeader <= kMaxOffset - 4) {
            walkedFormat = stream.format;
            file.seek(stream.streamHeader + 4);
            return int32_t(stream.streamHeader);
        }
    }
    const std::string why = "the main header declares " + std::to_string(Streams) + " streams";
    return scanFor(file, "auds", f, why);
}

void AviHeader::readAudioFormat(BinaryFile& file, int32_t a, int64_t walked) {
    const int32_t g =
        locate(file, walked >= 8 ? walked - 8 : -1, "strf", a, "the audio stream format");
    AudioFormatSize = file.readDword32("the audio format size");
    file.seek(offsetPlus(g, 8, "audio stream format"));
    AudioFormatTag = file.readWord16("the audio format");
    AudioChannels = file.readWord16("the audio format");
    AudioSampleRate = file.readDword32("the audio format");
    AudioBytesPerSec = file.readDword32("the audio format");
    // The block has room for the size word and 64 bytes of format data;
    // the size word is not trusted beyond that.
    const size_t data = size_t(std::clamp(AudioFormatSize, 0, 64));
    file.seek(offsetPlus(g, 4, "audio stream format"));
    file.read(AudioFormatBlock.data(), 4 + data, "the audio format");
}

void AviHeader::readOpenDml(BinaryFile& file, const std::vector<StreamList>& streams, int32_t v) {
    const vidloom::RiffParts parts = readRiffParts(file);
    RiffParts = parts.count;
    FirstRiffEnd = parts.firstEnd;
    MovieBytes = parts.extraMovieBytes;
    for (size_t i = 0; i < streams.size(); ++i) {
        const StreamList& stream = streams[i];
        if (stream.streamHeader != v) {
            continue;
        }
        VideoStreamNumber = int32_t(std::min<size_t>(i, 99));
        // wLongsPerEntry 4, bIndexType 0 (an index of indexes), then the
        // number of entries in use.
        uint8_t head[8];
        if (stream.superIndex >= 0 && stream.superIndexSize >= 24 &&
            file.peek(stream.superIndex, head, 8) && head[0] == 4 && head[1] == 0 && head[3] == 0) {
            VideoSuperIndexPos = stream.superIndex;
            VideoSuperIndexSize = stream.superIndexSize;
            VideoSuperIndexEntries = FourCC::fromBytes(head + 4).word();
        }
        break;
    }
    OpenDml = RiffParts > 1 || VideoSuperIndexEntries > 0;
    if (DvType == 0 && frameKeyRuleOf(VideoFourCC, VideoCompression) == FrameKeyRule::EveryFrame) {
        const std::string code =
            lowerShort(VideoCompression.empty() ? VideoFourCC : VideoCompression);
        if (code.rfind("dv", 0) == 0 || code == "cdvc" || code == "cdvh") {
            DvType = 2;
        }
    }
    if (OpenDml) {
        // The main header counts the first part only; the stream header
        // counts the whole file, as the frame-server does.
        TotalFrames = StreamLength;
        computeLength();
    }
}

void AviHeader::chooseIndex(BinaryFile& file) {
    const VideoIndexChoice choice = chooseVideoIndex(file, *this);
    IndexKind = choice.kind;
    FramesDeclared = StreamLength > 0 ? StreamLength : HeaderTotalFrames;
    if (indexRebuilt() && choice.frames == 0) {
        throw IoError("no usable index, and no whole video frame in the movie data from offset " +
                      std::to_string(MoviSizePos) +
                      "; the recording may have been interrupted before its first frame");
    }
    KeyFramesKnown =
        !indexRebuilt() || frameKeyRuleOf(VideoFourCC, VideoCompression) != FrameKeyRule::Unknown;
    if (DvType == 1) {
        readDvType1Frame(file);
    }
    if (choice.frames != TotalFrames) {
        TotalFrames = choice.frames;
        computeLength();
    }
}

void AviHeader::readDvType1Frame(BinaryFile& file) {
    // The first DIF block's header says 525 lines at 29.97 Hz or 625 lines at
    // 25 Hz (its DSF bit); where the main header leaves size or rate at 0,
    // that is what the camera recorded.
    const VideoChunkIds ids(VideoStreamNumber, true);
    int64_t frame = -1;
    scanMovieLists(file, MovieLists, [&](const MovieChunk& chunk) {
        if (ids.matches(chunk.id) && chunk.size >= 4) {
            frame = chunk.data;
            return false;
        }
        return true;
    });
    uint8_t dif[4];
    if (frame < 0 || !file.peek(frame, dif, 4)) {
        return;
    }
    const bool lines625 = (dif[3] & 0x80) != 0;
    if (Width == 0 || Height == 0) {
        Width = 720;
        Height = lines625 ? 576 : 480;
    }
    if (StreamRate == 0 || StreamScale == 0) {
        StreamRate = lines625 ? 25 : 30000;
        StreamScale = lines625 ? 1 : 1001;
    }
}

} // namespace vidloom
