#pragma once
// What the Viewer says about the frames of one file: which are key frames
// (the index's key-frame bit, the rule of the panels' red) and which are
// dropped (a zero-size entry, which AviSource shows as the frame before it).
// Read once per file from its index; the questions are binary searches.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vidloom {

class AviHeader;
class AviHeaderCache;

class FileFrames {
public:
    // The key frames through the cache's key-frame answers, the dropped
    // frames from the entry sizes. An index that cannot be read gives no key
    // frames and no dropped frames, and error() says why.
    static std::shared_ptr<const FileFrames> read(const AviHeader& header, AviHeaderCache& cache);
    FileFrames(std::vector<int32_t> keyFrames, std::vector<int32_t> dropped, std::string error);

    bool isKeyFrame(int32_t frame) const;
    bool isDropped(int32_t frame) const;
    // The last key frame before `frame`, the first one after it.
    std::optional<int32_t> keyBefore(int32_t frame) const;
    std::optional<int32_t> keyAfter(int32_t frame) const;
    // The key frames from `first` to `last`, both included, ascending.
    std::vector<int32_t> keysIn(int32_t first, int32_t last) const;
    const std::string& error() const { return error_; }

private:
    std::vector<int32_t> keys_;    // ascending
    std::vector<int32_t> dropped_; // ascending
    std::string error_;
};

} // namespace vidloom
