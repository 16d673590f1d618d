#pragma once
// The header record of one AVI file: read once, when it is constructed from a
// file name, and read-only afterwards. The reader finds each structure by
// searching for its four-character word and reads fields at fixed distances
// from it; it does not walk the RIFF chunk tree.

#include "avi/BinaryFile.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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

// 2 bytes at the current position, little-endian, 0 to 65535. what names the
// field in the end-of-file message.
int32_t readWord16(BinaryFile& file, std::string_view what = "a 16-bit value");
// 4 bytes at the current position, little-endian, as a two's-complement int32.
int32_t readDword32(BinaryFile& file, std::string_view what = "a 32-bit value");
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

private:
    // The signature test: "RIFF", the RIFF size (gives RiffEnd), "AVI ".
    bool checkRiff(BinaryFile& file);
    // The header scan, then the report, the aspect verdict and the tag search.
    void readHeaders(BinaryFile& file);
    // The first offset from start at which word lies; the file is left just
    // after it. A missing word runs into the end of the file (IoError naming
    // the word and the reason it was looked for).
    int32_t scanFor(BinaryFile& file, const std::string& word, int32_t start,
                    const std::string& why = {});

    // The report and what goes with it (AviReport.cpp).
    void writeReport(int32_t moviSize);
    void judgeAspect();
    void searchTags(BinaryFile& file);
    void appendLine(const std::string& line);
};

} // namespace vidloom
