#pragma once
// Builds byte-exact AVI files for the tests: RIFF header, hdrl with the main
// header and stream headers, strf chunks, INFO lists before movi or after idx1,
// JUNK, movi chunks and idx1 entries. Each field is a plain member that a test
// sets before build(); offsets() tells where the structures landed so a test
// can patch or cut the bytes afterwards.

#include "kit/RiffWriter.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vidloom::kit {

using Tags = std::vector<std::pair<std::string, std::string>>;

// An INFO list; with sizeCountsHeader the list size word includes its own
// 8-byte header (as some taggers write it) instead of the RIFF convention.
std::string infoList(const Tags& tags, bool sizeCountsHeader = false);

struct MovieChunk {
    std::string id;     // "00dc", "01wb", ...
    uint32_t flags = 0; // idx1 dwFlags
    std::string data;   // chunk payload
};

struct Offsets {
    size_t hdrl = 0; // the word "hdrl"
    size_t avih = 0; // the word "avih"
    size_t vids = 0; // the word "vids" (video strh fccType)
    size_t videoStrf = 0;
    size_t auds = 0;
    size_t audioStrf = 0;
    size_t moviSize = 0;   // the movi list's size word
    size_t movi = 0;       // the word "movi"
    size_t idx1 = 0;       // the word "idx1"
    size_t nandubInfo = 0; // the word "INFO" of the list before movi (0 if none)
    size_t brandInfo = 0;  // the word "INFO" of the list after idx1 (0 if none)
    size_t end = 0;
    // OpenDML: the video's super index (its data), each RIFF part's start,
    // each standard index chunk's start.
    size_t superIndex = 0;
    std::vector<size_t> riffParts;
    std::vector<size_t> standardIndexes;
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
    bool brand = false; // an INFO list after idx1
    Tags brandTags;
    bool infoSizeCountsHeader = false;
    std::string junkBeforeMovi; // payload of a JUNK chunk before the movi list

    // Movie data and index.
    std::vector<MovieChunk> movie;
    bool writeIndex = true;
    // idx1 offsets relative to the word "movi" (the usual way) or, when false,
    // absolute from the start of the file as some muxers write them.
    bool indexRelativeToMovi = true;

    // OpenDML: the movie is split into RIFF parts of framesPerPart video
    // frames (an "AVI " part, then "AVIX" parts), each ending its movie list
    // with a standard index of the video; the video's stream list has a super
    // index, idx1 and the main header's count cover the first part only.
    bool openDml = false;
    int framesPerPart = 0;     // 0: one part
    bool fieldIndex = false;   // standard indexes of 3 longs per entry
    int64_t streamLength = -1; // strh dwLength; -1: every video frame
    size_t superIndexRoom = 0; // at least this many super index slots

    // The chunk ids of the video and audio streams: 00dc and 01wb, or 01dc
    // and 00wb when the audio is the first stream.
    std::string videoId() const { return audio && audioFirst ? "01dc" : "00dc"; }
    std::string audioId() const { return audio && audioFirst ? "00wb" : "01wb"; }

    // Appends n video frames (key frame every keyEvery frames, flag 0x10),
    // each followed by an audio chunk when audio is on.
    void addFrames(int n, int keyEvery = 1, uint32_t keyFlags = 0x10);
    void addVideo(uint32_t flags, const std::string& data = std::string(8, '\x01'));
    void addAudio(const std::string& data = std::string(4, '\x02'));

    std::string build();
    const Offsets& offsets() const { return offsets_; }

private:
    // The movie lists, idx1 and the AVIX parts of an OpenDML file.
    void buildOpenDml(std::string& out);
    Offsets offsets_;
};

// A fresh folder for this test process, removed at exit.
std::string tempDir();
// Writes bytes to tempDir()/name and returns the full path.
std::string writeTemp(const std::string& name, const std::string& bytes);
// Reads a whole file (for checks that inputs are unchanged and script texts).
std::string readAll(const std::string& path);

} // namespace vidloom::kit
