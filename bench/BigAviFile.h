#pragma once
// Generates, once, a large AVI file for the benchmarks: a first RIFF AVI part
// (headers, a small movi list, idx1) followed by an OpenDML RIFF AVIX part
// holding the rest of the movie data, as a capture program writes a file over
// 1 GiB. Nothing in it spells INFO, so the tag search after the index runs
// through every byte up to the end of the file. Payload bytes are below 0x40
// or from 0x80 up, so no letters appear in it by chance.

#include "kit/RiffWriter.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace vidloom::bench {

namespace detail {

using kit::chunk;
using kit::le16;
using kit::le32;
using kit::list;

// Pseudo-random payload without letters.
inline void fillPayload(std::string& data, uint64_t& state) {
    for (char& c : data) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        const auto b = uint8_t(state >> 24);
        c = char((b & 0x3F) | (b & 0x80));
    }
}

} // namespace detail

// The path of a file of about totalBytes under VIDLOOM_BENCH_DATA, made when
// it is missing or of another size.
inline std::string bigAviFile(int64_t totalBytes) {
    using namespace detail;
    constexpr uint32_t kFrame = 64 * 1024;
    constexpr uint32_t kFirstFrames = 64;
    const int64_t framesTotal = std::max<int64_t>(kFirstFrames + 1, totalBytes / (kFrame + 8));

    const std::filesystem::path dir(VIDLOOM_BENCH_DATA);
    const std::filesystem::path path = dir / ("big-" + std::to_string(totalBytes) + ".avi");

    // Headers: one video stream, one audio stream, no INFO list.
    const std::string avih = le32(40000) + le32(2000000) + le32(0) + le32(0x110) +
                             le32(uint32_t(framesTotal)) + le32(0) + le32(2) + le32(kFrame) +
                             le32(640) + le32(360) + std::string(16, '\0');
    const std::string vstrh = "vidsXVID" + le32(0) + le32(0) + le32(0) + le32(1) + le32(25) +
                              le32(0) + le32(uint32_t(framesTotal)) + le32(kFrame) + le32(10000) +
                              le32(0) + std::string(8, '\0');
    const std::string vstrf = le32(40) + le32(640) + le32(360) + le16(1) + le16(24) + "XVID" +
                              le32(640 * 360 * 3) + std::string(16, '\0');
    const std::string astrh = "auds" + std::string(4, '\0') + le32(0) + le32(0) + le32(0) +
                              le32(1) + le32(44100) + le32(0) + le32(0) + le32(4096) + le32(10000) +
                              le32(0) + std::string(8, '\0');
    const std::string astrf =
        le16(85) + le16(2) + le32(44100) + le32(16000) + le16(1) + le16(0) + le16(0);
    const std::string hdrl = list(
        "hdrl", chunk("avih", avih) + list("strl", chunk("strh", vstrh) + chunk("strf", vstrf)) +
                    list("strl", chunk("strh", astrh) + chunk("strf", astrf)));

    const int64_t frameBytes = 8 + kFrame;
    const int64_t firstMovi = 4 + kFirstFrames * frameBytes;
    const int64_t firstRiff = 4 + int64_t(hdrl.size()) + 8 + firstMovi + 8 + 16 * kFirstFrames;
    const int64_t restFrames = framesTotal - kFirstFrames;
    const int64_t restMovi = 4 + restFrames * frameBytes;
    const int64_t expected = 8 + firstRiff + 8 + 4 + 8 + restMovi;
    if (std::filesystem::exists(path) && int64_t(std::filesystem::file_size(path)) == expected) {
        return path.string();
    }
    std::filesystem::create_directories(dir);
    const std::filesystem::path partial = path.string() + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        uint64_t state = 0x9E3779B97F4A7C15ull;
        std::string data(kFrame, '\0');
        auto frame = [&] {
            fillPayload(data, state);
            out << "00dc" << le32(kFrame);
            out.write(data.data(), std::streamsize(data.size()));
        };
        out << "RIFF" << le32(uint32_t(firstRiff)) << "AVI " << hdrl;
        out << "LIST" << le32(uint32_t(firstMovi)) << "movi";
        std::string index;
        for (uint32_t i = 0; i < kFirstFrames; ++i) {
            frame();
            index += "00dc" + le32(i % 12 == 0 ? 0x10 : 0) + le32(4 + i * uint32_t(frameBytes)) +
                     le32(kFrame);
        }
        out << chunk("idx1", index);
        // The OpenDML continuation: sizes beyond 4 GiB are not needed here.
        out << "RIFF" << le32(uint32_t(4 + 8 + restMovi)) << "AVIX";
        out << "LIST" << le32(uint32_t(restMovi)) << "movi";
        for (int64_t i = 0; i < restFrames; ++i) {
            frame();
        }
        if (!out) {
            throw std::runtime_error("cannot write " + partial.string());
        }
    }
    std::filesystem::rename(partial, path);
    return path.string();
}

} // namespace vidloom::bench
