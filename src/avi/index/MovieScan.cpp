#include "avi/index/MovieScan.h"

#include "avi/FourCC.h"

#include <algorithm>
#include <cstring>

namespace vidloom {

namespace {

// Chunk headers read through a window of a few KB: small frames share one
// read, a large frame costs one small read of the header after it.
class HeaderWindow {
public:
    explicit HeaderWindow(BinaryFile& file) : file_(file), bytes_(kWindow) {}

    // The 12 bytes at offset (fewer at the end of the file); false when not
    // even 8 lie inside the file.
    bool at(int64_t offset, uint8_t* out) {
        if (offset < 0 || offset + 8 > file_.size()) {
            return false;
        }
        if (offset < start_ || offset + 12 > start_ + length_) {
            start_ = offset;
            length_ = std::min<int64_t>(kWindow, file_.size() - offset);
            file_.readDirect(offset, bytes_.data(), size_t(length_), "a movie chunk header");
        }
        const int64_t have = std::min<int64_t>(12, start_ + length_ - offset);
        std::memset(out, 0, 12);
        std::memcpy(out, bytes_.data() + (offset - start_), size_t(have));
        return true;
    }

private:
    static constexpr int64_t kWindow = 16 * 1024;
    BinaryFile& file_;
    std::vector<uint8_t> bytes_;
    int64_t start_ = 0;
    int64_t length_ = 0;
};

} // namespace

void scanMovieLists(BinaryFile& file, const std::vector<MovieList>& lists,
                    const std::function<bool(const MovieChunk&)>& visit) {
    HeaderWindow window(file);
    uint8_t head[12];
    for (const MovieList& list : lists) {
        const int64_t end = std::min(list.end, file.size());
        for (int64_t at = list.first; at + 8 <= end;) {
            if (!window.at(at, head) || !isChunkId(head)) {
                return; // damaged or never written: nothing after it can be trusted
            }
            const FourCC id = FourCC::fromBytes(head);
            const uint32_t size = FourCC::fromBytes(head + 4).word();
            const FourCC type = FourCC::fromBytes(head + 8);
            if (id == "LIST" && size >= 4 && (type == "rec " || type == "movi")) {
                // A group's chunks follow, its end theirs; so do a movie
                // list's, where a damaged tree put the scan in front of it.
                at += 12;
                continue;
            }
            const int64_t data = at + 8;
            if (int64_t(size) > file.size() - data) {
                return; // cut by the end of the file
            }
            if (!visit({id.word(), data, size})) {
                return;
            }
            at = data + int64_t(size) + (size & 1);
        }
    }
}

} // namespace vidloom
