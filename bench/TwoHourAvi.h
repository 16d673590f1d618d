#pragma once
// Generates, once, the inputs of the two-hour benchmarks under
// VIDLOOM_BENCH_DATA/twohour: a feature-length 25 fps AVI file (180,000 video
// frames, each followed by its audio chunk, so 360,000 idx1 entries, a key
// frame every 250 frames) and 100 one-second splice files of the same frame
// size and codec, named by their splice reference.
//
// The files play: the video is one 250-frame group of pictures of real
// MPEG-4 (FourCC XVID, 64x48) encoded once by ffmpeg and repeated; the audio
// is 16-bit mono PCM silence at 8 kHz (640 bytes a frame). So ffprobe, which
// the command-line benchmark compares with, reads a file it can decode rather
// than one it would keep probing. The chunks are small so the movie stays
// about 150 MB. The layout is the usual one of capture programs: hdrl, an
// INFO list naming the writer, movi with the chunks interleaved, then idx1.
//
// A file is made when it is missing or its size differs from what the writer
// would make, written beside its place and renamed in, so an interrupted run
// leaves no half file behind.

#include "kit/RiffWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace vidloom::bench {

struct TwoHourSet {
    std::string base;                 // the two-hour file
    int32_t baseFrames = 0;           // its video frames
    int32_t keyInterval = 0;          // a key frame every this many frames
    int64_t indexOffset = 0;          // where its idx1 entries start
    int64_t indexBytes = 0;           // and how many bytes they take
    std::vector<std::string> splices; // one-second splice files
    std::vector<int32_t> spliceRefs;  // the reference in each one's name
    int32_t spliceFrames = 0;
};

namespace twohour {

inline constexpr int32_t kFrames = 180000; // 2 h at 25 fps
inline constexpr int32_t kGop = 250;       // a key frame every 10 s
inline constexpr int32_t kWidth = 64;
inline constexpr int32_t kHeight = 48;
inline constexpr int32_t kAudioBytes = 640; // 8 kHz, 16-bit, mono, per 40 ms
inline constexpr int32_t kSpliceCount = 100;
inline constexpr int32_t kSpliceFrames = 25;
// References spread over the whole movie, none on a key frame, none touching.
inline int32_t spliceRef(int32_t i) {
    return 137 + 1799 * i;
}

using kit::chunk;
using kit::le16;
using kit::le32;
using kit::list;
inline uint32_t getLe32(const std::string& s, size_t at) {
    return kit::get32(s, at);
}
inline int64_t padded(size_t n) {
    return int64_t(n + n % 2);
}

// The video chunks of one group of pictures; only the first is a key frame.
struct Gop {
    std::vector<std::string> frames;
    size_t largest = 0;
};

inline std::string readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Encodes the group with ffmpeg (once; the result is kept beside the data)
// and takes its video chunks out of the AVI file ffmpeg wrote.
inline Gop loadGop(const std::filesystem::path& dir) {
    const std::filesystem::path path = dir / "gop-xvid-64x48.avi";
    if (!std::filesystem::exists(path)) {
        const std::filesystem::path partial = dir / "gop-partial.avi";
        const std::string command =
            "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=25 -frames:v 250 "
            "-c:v mpeg4 -vtag XVID -g 250 -bf 0 -sc_threshold 1000000000 -an -f avi '" +
            partial.string() + "'";
        if (std::system(command.c_str()) != 0) {
            throw std::runtime_error("ffmpeg could not encode " + path.string() +
                                     " (is ffmpeg installed?)");
        }
        std::filesystem::rename(partial, path);
    }
    const std::string avi = readWhole(path);
    const size_t movi = avi.find("movi");
    const size_t idx1 = avi.rfind("idx1");
    if (movi == std::string::npos || idx1 == std::string::npos || idx1 < movi) {
        throw std::runtime_error(path.string() + ": no movi list or idx1 index");
    }
    Gop gop;
    std::vector<bool> keys;
    const size_t entries = getLe32(avi, idx1 + 4) / 16;
    for (size_t e = 0; e < entries; ++e) {
        const size_t at = idx1 + 8 + 16 * e;
        if (avi.compare(at, 2, "00") != 0 || (avi[at + 2] != 'd')) {
            continue; // not a video frame
        }
        const size_t chunkAt = movi + getLe32(avi, at + 8);
        const size_t length = getLe32(avi, at + 12);
        if (chunkAt + 8 + length > avi.size()) {
            throw std::runtime_error(path.string() + ": index entry past the end");
        }
        gop.frames.push_back(avi.substr(chunkAt + 8, length));
        gop.largest = std::max(gop.largest, length);
        keys.push_back((getLe32(avi, at + 4) & 0x10) != 0);
    }
    if (gop.frames.size() != size_t(kGop) || !keys[0] ||
        std::count(keys.begin(), keys.end(), true) != 1) {
        throw std::runtime_error(path.string() + ": expected 250 frames with one key frame");
    }
    return gop;
}

// Everything before the movi list's frames: RIFF header, hdrl, INFO, and the
// movi list head. The sizes of RIFF and movi are filled in by the caller.
inline std::string headers(const Gop& gop, int32_t frames, uint32_t riffSize, uint32_t moviSize) {
    const uint32_t maxChunk = uint32_t(std::max<size_t>(gop.largest, kAudioBytes));
    const std::string avih = le32(40000) + le32(uint32_t((gop.largest + kAudioBytes + 16) * 25)) +
                             le32(0) + le32(0x110) + le32(uint32_t(frames)) + le32(0) + le32(2) +
                             le32(maxChunk) + le32(kWidth) + le32(kHeight) + std::string(16, '\0');
    const std::string rect = le16(0) + le16(0) + le16(kWidth) + le16(kHeight);
    const std::string vstrh = "vidsXVID" + le32(0) + le32(0) + le32(0) + le32(1) + le32(25) +
                              le32(0) + le32(uint32_t(frames)) + le32(uint32_t(gop.largest)) +
                              le32(0xFFFFFFFF) + le32(0) + rect;
    const std::string vstrf = le32(40) + le32(kWidth) + le32(kHeight) + le16(1) + le16(24) +
                              "XVID" + le32(kWidth * kHeight * 3) + std::string(16, '\0');
    const std::string astrh = "auds" + std::string(4, '\0') + le32(0) + le32(0) + le32(0) +
                              le32(2) + le32(16000) + le32(0) +
                              le32(uint32_t(frames) * (kAudioBytes / 2)) + le32(kAudioBytes) +
                              le32(0xFFFFFFFF) + le32(2) + std::string(8, '\0');
    const std::string astrf =
        le16(1) + le16(1) + le32(8000) + le32(16000) + le16(2) + le16(16) + le16(0);
    const std::string hdrl = list(
        "hdrl", chunk("avih", avih) + list("strl", chunk("strh", vstrh) + chunk("strf", vstrf)) +
                    list("strl", chunk("strh", astrh) + chunk("strf", astrf)));
    const std::string info =
        list("INFO", chunk("ISFT", std::string("Vidloom two-hour benchmark") + '\0'));
    return "RIFF" + le32(riffSize) + "AVI " + hdrl + info + "LIST" + le32(moviSize) + "movi";
}

// The bytes the file of `frames` frames takes: headers, the movi chunks, idx1.
struct Layout {
    int64_t headerBytes = 0;
    int64_t moviBytes = 0; // the chunks after the word movi
    int64_t total = 0;
};

inline Layout layoutOf(const Gop& gop, int32_t frames) {
    Layout l;
    l.headerBytes = int64_t(headers(gop, frames, 0, 0).size());
    int64_t gopBytes = 0;
    for (const std::string& f : gop.frames) {
        gopBytes += 8 + padded(f.size());
    }
    const int64_t wholeGops = frames / kGop;
    l.moviBytes = wholeGops * gopBytes + int64_t(frames) * (8 + kAudioBytes);
    for (int32_t i = 0; i < frames % kGop; ++i) {
        l.moviBytes += 8 + padded(gop.frames[size_t(i)].size());
    }
    l.total = l.headerBytes + l.moviBytes + 8 + int64_t(frames) * 2 * 16;
    return l;
}

inline void writeAvi(const std::filesystem::path& path, const Gop& gop, int32_t frames) {
    const Layout l = layoutOf(gop, frames);
    if (std::filesystem::exists(path) && int64_t(std::filesystem::file_size(path)) == l.total) {
        return;
    }
    const std::filesystem::path partial = path.string() + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << headers(gop, frames, uint32_t(l.total - 8), uint32_t(4 + l.moviBytes));
        std::string index;
        index.reserve(size_t(frames) * 32);
        const std::string silence(kAudioBytes, '\0');
        uint32_t offset = 4; // chunk offsets count from the word movi
        for (int32_t i = 0; i < frames; ++i) {
            const std::string& frame = gop.frames[size_t(i % kGop)];
            out << chunk("00dc", frame);
            index += "00dc" + le32(i % kGop == 0 ? 0x10 : 0) + le32(offset) +
                     le32(uint32_t(frame.size()));
            offset += uint32_t(8 + padded(frame.size()));
            out << chunk("01wb", silence);
            index += "01wb" + le32(0x10) + le32(offset) + le32(kAudioBytes);
            offset += 8 + kAudioBytes;
        }
        out << "idx1" << le32(uint32_t(index.size())) << index;
        if (!out) {
            throw std::runtime_error("cannot write " + partial.string());
        }
    }
    if (int64_t(std::filesystem::file_size(partial)) != l.total) {
        throw std::runtime_error(partial.string() + ": written size differs from the layout");
    }
    std::filesystem::rename(partial, path);
}

} // namespace twohour

// The benchmark inputs, made on the first call and reused afterwards.
inline const TwoHourSet& twoHourSet() {
    static const TwoHourSet set = [] {
        using namespace twohour;
        const std::filesystem::path dir = std::filesystem::path(VIDLOOM_BENCH_DATA) / "twohour";
        std::filesystem::create_directories(dir / "splices");
        const Gop gop = loadGop(dir);
        TwoHourSet s;
        s.base = (dir / "twohour.avi").string();
        s.baseFrames = kFrames;
        s.keyInterval = kGop;
        const Layout l = layoutOf(gop, kFrames);
        s.indexOffset = l.headerBytes + l.moviBytes + 8;
        s.indexBytes = int64_t(kFrames) * 2 * 16;
        writeAvi(s.base, gop, kFrames);
        s.spliceFrames = kSpliceFrames;
        for (int32_t i = 0; i < kSpliceCount; ++i) {
            std::string digits = std::to_string(spliceRef(i));
            digits.insert(0, 6 - digits.size(), '0');
            const std::filesystem::path path = dir / "splices" / ("splice_" + digits + ".avi");
            writeAvi(path, gop, kSpliceFrames);
            s.splices.push_back(path.string());
            s.spliceRefs.push_back(spliceRef(i));
        }
        return s;
    }();
    return set;
}

} // namespace vidloom::bench
