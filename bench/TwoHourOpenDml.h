#pragma once
// The OpenDML twin of the two-hour file, under VIDLOOM_BENCH_DATA/twohour: the
// same 180,000 frames at 25 fps (a key frame every 250, each frame followed by
// its audio chunk) in a file of about 4.4 GiB, as capture programs and ffmpeg
// write one: a first RIFF "AVI " part of about 1 GiB with idx1, then RIFF
// "AVIX" parts, each movie list ending in the video's standard index (ix00),
// and the video's super index in its stream list. The frames' bytes are holes
// (a sparse file): only the headers, the chunk headers and the indexes are
// written, and the first group of pictures is real MPEG-4, so ffprobe reads a
// file it can decode.

#include "TwoHourAvi.h"
#include "kit/RiffWriter.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vidloom::bench {

struct OpenDmlSet {
    std::string path;
    int32_t frames = 0;
    int32_t keyInterval = 0;
    // Where the standard indexes lie and how many bytes each takes.
    std::vector<std::pair<int64_t, int64_t>> standardIndexes;
};

namespace odml {

inline constexpr int32_t kFramesPerPart = 40000;
inline constexpr uint32_t kHoleFrame = 24000; // bytes of a frame after the first group
inline constexpr size_t kSuperCapacity = 32;

inline uint32_t frameBytes(const twohour::Gop& gop, int32_t i) {
    return i < twohour::kGop ? uint32_t(gop.frames[size_t(i)].size()) : kHoleFrame;
}

inline std::string openDmlHeaders(int32_t frames, int32_t firstPart,
                                  const std::vector<kit::SuperIndexEntry>& supers) {
    using kit::chunk;
    using kit::le16;
    using kit::le32;
    using kit::list;
    using twohour::kAudioBytes;
    using twohour::kHeight;
    using twohour::kWidth;
    const std::string avih = le32(40000) + le32((kHoleFrame + kAudioBytes + 16) * 25) + le32(0) +
                             le32(0x110) + le32(uint32_t(firstPart)) + le32(0) + le32(2) +
                             le32(kHoleFrame) + le32(kWidth) + le32(kHeight) +
                             std::string(16, '\0');
    const std::string rect = le16(0) + le16(0) + le16(kWidth) + le16(kHeight);
    const std::string vstrh = "vidsXVID" + le32(0) + le32(0) + le32(0) + le32(1) + le32(25) +
                              le32(0) + le32(uint32_t(frames)) + le32(kHoleFrame) +
                              le32(0xFFFFFFFF) + le32(0) + rect;
    const std::string vstrf = le32(40) + le32(kWidth) + le32(kHeight) + le16(1) + le16(24) +
                              "XVID" + le32(kWidth * kHeight * 3) + std::string(16, '\0');
    const std::string astrh = "auds" + std::string(4, '\0') + le32(0) + le32(0) + le32(0) +
                              le32(2) + le32(16000) + le32(0) +
                              le32(uint32_t(frames) * (kAudioBytes / 2)) + le32(kAudioBytes) +
                              le32(0xFFFFFFFF) + le32(2) + std::string(8, '\0');
    const std::string astrf =
        le16(1) + le16(1) + le32(8000) + le32(16000) + le16(2) + le16(16) + le16(0);
    const std::string indx = kit::superIndex("00dc", supers, kSuperCapacity);
    return list("hdrl", chunk("avih", avih) +
                            list("strl", chunk("strh", vstrh) + chunk("strf", vstrf) +
                                             chunk("indx", indx)) +
                            list("strl", chunk("strh", astrh) + chunk("strf", astrf)));
}

// Writes the file (sparse); returns where its standard indexes went.
inline std::vector<std::pair<int64_t, int64_t>> write(const std::filesystem::path& path,
                                                      const twohour::Gop& gop, int32_t frames) {
    using kit::le32;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<kit::SuperIndexEntry> supers;
    std::vector<std::pair<int64_t, int64_t>> placed;
    const int32_t firstPart = std::min(frames, kFramesPerPart);
    const int64_t hdrlBytes = int64_t(openDmlHeaders(frames, firstPart, {}).size());
    int64_t at = 12 + hdrlBytes; // the first part's movie list
    for (int32_t first = 0, part = 0; first < frames; first += kFramesPerPart, ++part) {
        const int32_t count = std::min(kFramesPerPart, frames - first);
        const int64_t partStart = part == 0 ? 0 : at;
        if (part > 0) {
            at += 12; // RIFF size AVIX
        }
        const int64_t moviWord = at + 8;
        int64_t pos = moviWord + 4;
        std::string entries;
        std::string idx1;
        entries.reserve(size_t(count) * 8);
        for (int32_t i = first; i < first + count; ++i) {
            const uint32_t size = frameBytes(gop, i);
            out.seekp(pos);
            out << "00dc" << le32(size);
            if (i < twohour::kGop) {
                out << gop.frames[size_t(i)];
            }
            const bool key = i % twohour::kGop == 0;
            entries += le32(uint32_t(pos + 8 - moviWord)) + le32(size | (key ? 0 : 0x80000000u));
            idx1 += "00dc" + le32(key ? 0x10 : 0) + le32(uint32_t(pos - moviWord)) + le32(size);
            pos += 8 + size + (size & 1); // chunks are padded to an even size
            out.seekp(pos);
            out << "01wb" << le32(twohour::kAudioBytes);
            idx1 +=
                "01wb" + le32(0x10) + le32(uint32_t(pos - moviWord)) + le32(twohour::kAudioBytes);
            pos += 8 + twohour::kAudioBytes;
        }
        const std::string ix =
            kit::standardIndexHead("ix00", "00dc", uint64_t(moviWord), uint32_t(count), false) +
            entries;
        out.seekp(pos);
        out << ix;
        supers.push_back({uint64_t(pos), uint32_t(ix.size() - 8), uint32_t(count)});
        placed.emplace_back(pos, int64_t(ix.size()));
        pos += int64_t(ix.size());
        out.seekp(at);
        out << "LIST" << le32(uint32_t(pos - moviWord)) << "movi";
        if (part == 0) {
            out.seekp(pos);
            out << kit::chunk("idx1", idx1);
            pos += 8 + int64_t(idx1.size());
        }
        out.seekp(partStart);
        out << "RIFF" << le32(uint32_t(pos - partStart - 8)) << (part == 0 ? "AVI " : "AVIX");
        at = pos;
    }
    out.seekp(12);
    out << openDmlHeaders(frames, firstPart, supers);
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
    return placed;
}

} // namespace odml

// The OpenDML twin, written afresh on the first call of a run (a few seconds:
// the movie data is holes).
inline const OpenDmlSet& openDmlSet() {
    static const OpenDmlSet set = [] {
        const std::filesystem::path dir = std::filesystem::path(VIDLOOM_BENCH_DATA) / "twohour";
        std::filesystem::create_directories(dir);
        const twohour::Gop gop = twohour::loadGop(dir);
        OpenDmlSet s;
        s.path = (dir / "twohour-opendml.avi").string();
        s.frames = twohour::kFrames;
        s.keyInterval = twohour::kGop;
        const std::filesystem::path partial = s.path + ".part";
        s.standardIndexes = odml::write(partial, gop, s.frames);
        std::filesystem::rename(partial, s.path);
        return s;
    }();
    return set;
}

} // namespace vidloom::bench
