#pragma once
// Builds byte-exact AVI files for the tests: RIFF header, hdrl with the main
// header and stream headers, strf chunks, INFO lists before movi or after idx1,
// JUNK, movi chunks and idx1 entries. Each field is a plain member that a test
// sets before build(); offsets() tells where the structures landed so a test
// can patch or cut the bytes afterwards.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vidloom::kit {

using Tags = std::vector<std::pair<std::string, std::string>>;

// Little-endian helpers on a byte string.
std::string le16(uint16_t v);
std::string le32(uint32_t v);
void put32(std::string& bytes, size_t offset, uint32_t v);
void put16(std::string& bytes, size_t offset, uint16_t v);
uint32_t get32(const std::string& bytes, size_t offset);

// A RIFF chunk: id, size word, data, and a pad byte when the size is odd.
std::string chunk(const std::string& id, const std::string& data);
// A LIST chunk of the given type.
std::string list(const std::string& type, const std::string& body);
// An INFO list; with sizeCountsHeader the list size word includes its own
// 8-byte header (as some taggers write it) instead of the RIFF convention.
std::string infoList(const Tags& tags, bool sizeCountsHeader = false);

struct MovieChunk {
    std::string id;      // "00dc", "01wb", ...
    uint32_t flags = 0;  // idx1 dwFlags
    std::string data;    // chunk payload
};

struct Offsets {
    size_t hdrl = 0;     // the word "hdrl"
    size_t avih = 0;     // the word "avih"
    size_t vids = 0;     // the word "vids" (video strh fccType)
    size_t videoStrf = 0;
    size_t auds = 0;
    size_t audioStrf = 0;
    size_t moviSize = 0; // the movi list's size word
    size_t movi = 0;     // the word "movi"
    size_t idx1 = 0;     // the word "idx1"
    size_t nandubInfo = 0; // the word "INFO" of the list before movi (0 if none)
    size_t brandInfo = 0;  // the word "INFO" of the list after idx1 (0 if none)
    size_t end = 0;
};

class AviBuilder {
public:
    // Main header.
    uint32_t microSecPerFrame = 40000;
    int64_t totalFrames = -1; // -1: the number of video chunks
    int64_t streams = -1;     // -1: 2 with audio, 1 without
    uint32_t width = 320;
    uint32_t height = 240;
    uint32_t reserved0 = 0, reserved1 = 0;

    // Video stream.
    std::string handler = "XVID";     // strh fccHandler
    std::string compression = "XVID"; // strf biCompression
    uint16_t bitCount = 24;

    // Audio stream (written after the video stream unless audioFirst).
    bool audio = true;
    bool audioFirst = false;
    uint16_t formatTag = 85;
    uint16_t channels = 2;
    uint32_t sampleRate = 44100;
    uint32_t bytesPerSec = 16000;
    std::string audioFormatExtra; // bytes after the 16-byte WAVEFORMAT + cbSize

    // Tags and padding.
    bool nandub = false; // an INFO list inside hdrl's neighbourhood, before movi
    Tags nandubTags;
    bool brand = false;  // an INFO list after idx1
    Tags brandTags;
    bool infoSizeCountsHeader = false;
    std::string junkBeforeMovi; // payload of a JUNK chunk before the movi list

    // Movie data and index.
    std::vector<MovieChunk> movie;
    bool writeIndex = true;
    // idx1 offsets relative to the word "movi" (the usual way) or, when false,
    // absolute from the start of the file as some muxers write them.
    bool indexRelativeToMovi = true;

    // Appends n video frames (key frame every keyEvery frames, flag 0x10),
    // each followed by an audio chunk when audio is on.
    void addFrames(int n, int keyEvery = 1, uint32_t keyFlags = 0x10);
    void addVideo(uint32_t flags, const std::string& data = std::string(8, '\x01'));
    void addAudio(const std::string& data = std::string(4, '\x02'));

    std::string build();
    const Offsets& offsets() const { return offsets_; }

private:
    Offsets offsets_;
};

// A fresh folder for this test process, removed at exit.
std::string tempDir();
// Writes bytes to tempDir()/name and returns the full path.
std::string writeTemp(const std::string& name, const std::string& bytes);
// Reads a whole file (for checks that inputs are unchanged and script texts).
std::string readAll(const std::string& path);

} // namespace vidloom::kit
