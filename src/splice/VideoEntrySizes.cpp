#include "splice/VideoEntrySizes.h"

#include "avi/BinaryFile.h"
#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/OffsetSum.h"
#include "splice/IndexEntries.h"

#include <algorithm>
#include <climits>
#include <string>

namespace vidloom {

namespace {
constexpr int32_t kEntriesPerBlock = 32768; // 512 KiB of entries per read

int32_t le32(const uint8_t* p) {
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                   uint32_t(p[3]) << 24);
}
} // namespace

VideoEntrySizes VideoEntrySizes::read(const AviHeader& aviInfo) {
    VideoEntrySizes sizes;
    if (!aviInfo.IsAvi) {
        return sizes;
    }
    const std::string& fileName = aviInfo.FileName;
    try {
        BinaryFile file(fileName);
        const int32_t sizeWordPos = offsetPlus(aviInfo.IndexPos, 4, "index size");
        file.seek(sizeWordPos);
        const int32_t count =
            entryCountOf(readDword32(file, "the idx1 index size"), fileName, sizeWordPos);
        // The entries that lie wholly inside the file, as KeyFrameIndex reads them.
        const int64_t first = int64_t(aviInfo.IndexPos) + 8;
        int64_t fitting = 0;
        if (first <= INT32_MAX) {
            fitting = std::max<int64_t>(0, (file.size() - first) / 16);
        }
        const int32_t readable = int32_t(std::min<int64_t>(count, fitting));
        std::vector<uint8_t> block(size_t(std::min(kEntriesPerBlock, std::max(readable, 1))) * 16);
        file.seek(first);
        for (int32_t done = 0; done < readable;) {
            const int32_t n = std::min(kEntriesPerBlock, readable - done);
            file.read(block.data(), size_t(n) * 16, "the idx1 index");
            for (int32_t i = 0; i < n; ++i) {
                const uint8_t* entry = block.data() + size_t(i) * 16;
                if (isAudioEntry(std::string(reinterpret_cast<const char*>(entry), 4))) {
                    continue;
                }
                if (le32(entry + 12) == 0) {
                    sizes.empty_.push_back(sizes.videoEntries_);
                }
                sizes.videoEntries_ = checkedAdd(sizes.videoEntries_, 1);
            }
            done += n;
        }
    } catch (VidloomError& e) {
        e.nameFile(fileName);
        throw;
    }
    return sizes;
}

} // namespace vidloom
