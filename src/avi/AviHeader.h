#pragma once
// The header record of one AVI file: read once, when it is constructed from a
// file name, and read-only afterwards. The structures are found by walking the
// chunk tree from the start of the file; where the tree is broken, a structure
// the walk did not reach is found by searching for its four-character word.
// Fields are read at fixed distances from where each structure starts. The
// frame count is the one AviSource serves: the video index's frames, the
// index rebuilt from the movie data when it is missing or damaged.

#include "avi/BinaryFile.h"
#include "avi/RiffLayout.h"
#include "avi/RiffTree.h"
#include "avi/index/VideoIndexChoice.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vidloom {

class InfoTags;

// One 16-byte idx1 entry as read by readIndexEntry.
struct IndexEntry {
    std::string EntryId;       // the entry's ckid, 4 bytes as stored
    int32_t EntryFlags = 0;    // dwFlags
    int32_t EntryOffset = 0;   // dwChunkOffset, relative to the word "movi"
    int32_t EntryLength = 0;   // dwChunkLength
    uint8_t FirstDataBits = 0; // bits 1 to 5 of the chunk's first data byte
    bool IsKeyFrame = false;   // the key-frame bit (0x10) of dwFlags
    int32_t MoviBase = 0;      // set by the caller: offset just past the word "movi"
};

// Reads the 16-byte entry at the current position into entry (whose MoviBase
// the caller has set) and leaves the file just after it.
void readIndexEntry(BinaryFile& file, IndexEntry& entry);

class AviHeader {
public:
    explicit AviHeader(const std::string& fileName);
    ~AviHeader();
    AviHeader(const AviHeader&) = delete;
    AviHeader& operator=(const AviHeader&) = delete;

    std::string FileName;
    std::string Report;
    bool IsAvi = false;
    int32_t LengthMsUnclamped = 0;
    bool NoAudio = false;
    int32_t MoviSizePos = 0;
    int32_t IndexPos = 0;
    int32_t TotalFrames = 0;
    int32_t RiffEnd = 0;
    int32_t VideoHandlerPos = 0;
    int32_t VideoCompressionPos = 0;
    std::array<uint8_t, 68> AudioFormatBlock{};
    int32_t AudioFormatSize = 0;
    double AspectRatio = 0.0;
    std::string AspectText;
    int32_t MainFlags = 0;
    std::string VideoFourCC;
    int32_t AudioFormatTag = 0;
    int32_t StreamFlags = 0;
    int32_t StreamPriority = 0;
    int32_t StreamInitialFrames = 0;
    int32_t StreamScale = 0;
    int32_t StreamRate = 0;
    int32_t StreamStart = 0;
    int32_t StreamLength = 0;
    int32_t StreamBufferSize = 0;
    int32_t StreamQuality = 0;
    int32_t StreamSampleSize = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t MaxBytesPerSec = 0;
    std::string AspectVerdict;
    int32_t Streams = 0;
    std::string AudioText;
    int32_t LengthMs = 0;
    int32_t FpsInteger = 0;
    int32_t FpsThousandths = 0;
    int32_t MainReserved0 = 0;
    int32_t MainReserved1 = 0;
    int32_t MicroSecPerFrame = 0;
    int32_t BitCount = 0;
    int32_t AudioChannels = 0;
    int32_t AudioSampleRate = 0;
    int32_t AudioBytesPerSec = 0;
    std::unique_ptr<InfoTags> BrandInfo; // null for a rejected file
    bool NandubTagFound = false;
    bool BrandTagFound = false;
    int32_t NandubTagPos = 0;
    int32_t BrandTagPos = 0;

    // OpenDML (AVI 2.0): a file continued in RIFF AVIX parts, or whose video
    // stream has a super index in use. TotalFrames is then the video stream
    // header's length; HeaderTotalFrames is always the main header's count.
    bool OpenDml = false;
    int32_t RiffParts = 0; // 0 for a file that is not an AVI file
    int32_t HeaderTotalFrames = 0;
    int64_t MovieBytes = 0;          // the movie lists' sizes, all RIFF parts
    int64_t FirstRiffEnd = 0;        // where the first RIFF part ends
    int32_t VideoStreamNumber = 0;   // the two digits of the video's chunk ids
    std::string VideoCompression;    // strf biCompression, empty when cut off
    int64_t VideoSuperIndexPos = -1; // data of the video's "indx" chunk
    uint32_t VideoSuperIndexSize = 0;
    uint32_t VideoSuperIndexEntries = 0; // nEntriesInUse
    // What AviSource's decoder will output, in AviSynth's names (YV12,
    // RGB32...), from the codec's own headers; nullopt when they do not tell.
    std::optional<std::string> ColourFormat;

    // Where the video frames come from and how many the stream header
    // declares (its dwLength; the main header's count when it says 0).
    // TotalFrames is what the index gives; when it was rebuilt, the frames
    // whole in the file.
    VideoIndexKind IndexKind = VideoIndexKind::None;
    int32_t FramesDeclared = 0;
    // False when the index was rebuilt and the codec's frame headers do not
    // tell key frames (KeyFrameIndex then marks none).
    bool KeyFramesKnown = true;
    int32_t DvType = 0; // 1 (one interleaved stream) or 2 (a DV video stream), else 0
    std::vector<MovieList> MovieLists;
    // Where the chunk tree was broken when a structure had to be found by
    // searching for its word; -1 when the walk found them all.
    int64_t WordSearchFrom = -1;
    bool indexRebuilt() const { return IndexKind == VideoIndexKind::Rebuilt; }

private:
    // The signature test: "RIFF", the RIFF size (gives RiffEnd), "AVI ".
    bool checkRiff(BinaryFile& file);
    // The header scan, then the report, the aspect verdict and the tag search.
    void readHeaders(BinaryFile& file);
    // One reader per structure; each takes the offset of the word that
    // starts it and returns what the next one starts from.
    int32_t readMovieListSize(BinaryFile& file, const RiffTree& tree);
    // The offset of word: where the walk found it (walked, -1 when it did
    // not) or else the first one from start; the file is left after it.
    int32_t locate(BinaryFile& file, int64_t walked, const std::string& word, int32_t start,
                   const std::string& why);
    // The video stream's header: from the walked stream lists, else searched.
    int32_t findVideoStreamHeader(BinaryFile& file, const std::vector<StreamList>& streams,
                                  int32_t hdrl);
    void chooseIndex(BinaryFile& file);
    void readDvType1Frame(BinaryFile& file);
    void readMainHeader(BinaryFile& file, int32_t hdrl);
    void computeLength();
    void readVideoStreamHeader(BinaryFile& file, int32_t vids);
    int32_t readVideoFormat(BinaryFile& file, int32_t vids, int64_t walked);
    void readAudioFormat(BinaryFile& file, int32_t auds, int64_t walked);
    // Where the audio stream header lies: in its stream list when that comes
    // before the video's, else the first "auds" after the video format.
    int32_t findAudioStreamHeader(BinaryFile& file, const std::vector<StreamList>& streams,
                                  int32_t vids, int32_t videoFormat, int64_t& walkedFormat);
    void readOpenDml(BinaryFile& file, const std::vector<StreamList>& streams, int32_t vids);
    // The first offset from start at which word lies; the file is left just
    // after it. A missing word runs into the end of the file (IoError naming
    // the word and the reason it was looked for).
    int32_t scanFor(BinaryFile& file, const std::string& word, int32_t start,
                    const std::string& why = {});

    // The report and what goes with it (AviReport.cpp).
    void writeReport(int32_t moviSize);
    void writeIndexLines();
    int32_t videoKbPerSec(int32_t moviSize) const;
    void judgeAspect();
    void searchTags(BinaryFile& file);
    void searchNandubTag(BinaryFile& file);
    void searchBrandTag(BinaryFile& file);
    // Whether the word "idx1" lies at IndexPos.
    bool holdsIndex(BinaryFile& file) const;
    // Whether the idx1 chunk at IndexPos runs past the end of the file.
    bool indexCut(BinaryFile& file) const;
    void appendLine(const std::string& line);
};

} // namespace vidloom
