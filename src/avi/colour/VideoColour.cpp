#include "avi/colour/VideoColour.h"

#include "avi/colour/ColourFormat.h"
#include "avi/FourCC.h"
#include "avi/index/IndexEntries.h"

#include <algorithm>

namespace vidloom {

namespace {

// A stream format is a BITMAPINFOHEADER and the codec's extra data; more than
// this is no header.
constexpr uint32_t kMaxFormatBytes = 64 * 1024;
// The first video frame comes after the first few audio chunks of an
// interleaved file; a file that has none this far is left unknown.
constexpr int kMaxChunksBeforeVideo = 4096;

std::string bytesAt(BinaryFile& file, int64_t offset, size_t n) {
    if (offset < 0 || offset >= file.size()) {
        return {};
    }
    n = size_t(std::min<int64_t>(int64_t(n), file.size() - offset));
    std::string out(n, '\0');
    return file.peek(offset, out.data(), n) ? out : std::string();
}

} // namespace

std::string readFirstVideoFrame(BinaryFile& file, const VideoColourPlaces& at, size_t maxBytes) {
    const VideoChunkIds ids(at.streamNumber);
    // A recording stopped before its end leaves the list's size at 4 (just
    // the word "movi"): its chunks run to the end of the file.
    const int64_t declared = at.movieEnd - at.movieWord < 12 ? file.size() : at.movieEnd;
    const int64_t end = std::min(declared, file.size());
    int64_t pos = at.movieWord + 4;
    for (int chunks = 0; chunks < kMaxChunksBeforeVideo && pos >= 0 && pos + 8 <= end; ++chunks) {
        uint8_t head[12];
        if (!file.peek(pos, head, 8)) {
            break;
        }
        const FourCC id = FourCC::fromBytes(head);
        const uint32_t size = FourCC::fromBytes(head + 4).word();
        if (id == "LIST" && file.peek(pos + 8, head + 8, 4) &&
            FourCC::fromBytes(head + 8) == "rec ") {
            pos += 12; // the group's chunks follow
            continue;
        }
        if (ids.matches(id.word()) && size > 0) {
            return bytesAt(file, pos + 8, std::min<size_t>(size, maxBytes));
        }
        pos += 8 + int64_t(size) + (size & 1);
    }
    return {};
}

std::optional<std::string> readVideoColour(BinaryFile& file, const VideoColourPlaces& at) {
    if (at.formatWord < 0) {
        return std::nullopt;
    }
    uint8_t sizeWord[4];
    if (!file.peek(at.formatWord + 4, sizeWord, 4)) {
        return std::nullopt;
    }
    const uint32_t size = std::min(FourCC::fromBytes(sizeWord).word(), kMaxFormatBytes);
    const std::string format = bytesAt(file, at.formatWord + 8, size);
    return colourFormatOf(at.handler, format, [&file, &at](size_t maxBytes) {
        return at.movieWord < 0 ? std::string() : readFirstVideoFrame(file, at, maxBytes);
    });
}

} // namespace vidloom
