#include "splice/IndexEntries.h"

#include "avi/CheckedInt.h"
#include "avi/Errors.h"

namespace vidloom {

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

} // namespace vidloom
