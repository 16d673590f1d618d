#include "present/FileFrames.h"

#include "avi/Errors.h"
#include "avi/index/VideoEntrySizes.h"
#include "session/AviHeaderCache.h"

#include <algorithm>

namespace vidloom {

std::shared_ptr<const FileFrames> FileFrames::read(const AviHeader& header, AviHeaderCache& cache) {
    if (!header.IsAvi) {
        return std::make_shared<const FileFrames>(std::vector<int32_t>{}, std::vector<int32_t>{},
                                                  header.FileName + ": " + header.Report);
    }
    try {
        const std::shared_ptr<const KeyFrameIndex> keys = cache.keyFrames(header);
        if (!keys->fileError().empty()) {
            keys->fileError().raise();
        }
        return std::make_shared<const FileFrames>(
            keys->keyFrameNumbers(), VideoEntrySizes::read(header).emptyEntries(), std::string());
    } catch (const VidloomError& e) {
        return std::make_shared<const FileFrames>(std::vector<int32_t>{}, std::vector<int32_t>{},
                                                  e.what());
    }
}

FileFrames::FileFrames(std::vector<int32_t> keyFrames, std::vector<int32_t> dropped,
                       std::string error)
    : keys_(std::move(keyFrames)), dropped_(std::move(dropped)), error_(std::move(error)) {}

bool FileFrames::isKeyFrame(int32_t frame) const {
    return std::binary_search(keys_.begin(), keys_.end(), frame);
}

bool FileFrames::isDropped(int32_t frame) const {
    return std::binary_search(dropped_.begin(), dropped_.end(), frame);
}

std::optional<int32_t> FileFrames::keyBefore(int32_t frame) const {
    const auto it = std::lower_bound(keys_.begin(), keys_.end(), frame);
    if (it == keys_.begin()) {
        return std::nullopt;
    }
    return *(it - 1);
}

std::optional<int32_t> FileFrames::keyAfter(int32_t frame) const {
    const auto it = std::upper_bound(keys_.begin(), keys_.end(), frame);
    if (it == keys_.end()) {
        return std::nullopt;
    }
    return *it;
}

std::vector<int32_t> FileFrames::keysIn(int32_t first, int32_t last) const {
    const auto from = std::lower_bound(keys_.begin(), keys_.end(), first);
    const auto to = std::upper_bound(from, keys_.end(), last);
    return std::vector<int32_t>(from, to);
}

} // namespace vidloom
