#include "avi/index/IndexEntries.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/FourCC.h"

namespace vidloom {

namespace {
uint32_t chunkId(int32_t streamNumber, const char* type) {
    const int32_t n = streamNumber < 0 ? 0 : streamNumber % 100;
    const char id[4] = {char('0' + n / 10), char('0' + n % 10), type[0], type[1]};
    return FourCC::fromBytes(id).word();
}
} // namespace

VideoChunkIds::VideoChunkIds(int32_t streamNumber, bool interleavedDv)
    : compressed(chunkId(streamNumber, "dc")),
      uncompressed(chunkId(streamNumber, interleavedDv ? "__" : "db")) {}

bool isVideoFrameEntry(const std::string& entryId, int32_t videoStreamNumber) {
    return entryId.size() == 4 && VideoChunkIds(videoStreamNumber).matches(FourCC(entryId).word());
}

bool isAudioEntry(const std::string& entryId) {
    return entryId.size() >= 3 && entryId[2] == 'w';
}

int32_t indexEntryPos(int32_t indexPos, int32_t k) {
    return checkedAdd(checkedAdd(indexPos, 8), checkedMul(16, k));
}

int32_t entryCountOf(int32_t sizeWord, const std::string& fileName, int32_t sizeWordPos) {
    if (sizeWord < 0) {
        throw RangeError(fileName + ": the idx1 index size at offset " +
                         std::to_string(sizeWordPos) + " is " + std::to_string(uint32_t(sizeWord)) +
                         " bytes, more than a file Vidloom can read holds");
    }
    return sizeWord / 16;
}

void throwNoUsableIndex(const std::string& fileName, int32_t indexPos) {
    throw IoError(fileName +
                  ": no usable index; the recording may have been interrupted (no idx1 "
                  "index at offset " +
                  std::to_string(indexPos) + ")");
}

} // namespace vidloom
