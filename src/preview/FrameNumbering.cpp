#include "preview/FrameNumbering.h"

#include "avi/Errors.h"

#include <algorithm>

namespace vidloom::preview {

FrameNumbering::FrameNumbering(EntryMap map) : frames_(std::max(map.frames, 0)) {
    const auto inRange = [this](int32_t e) { return e >= 0 && e < frames_; };
    for (int32_t e : map.emptyEntries) {
        if (inRange(e) && (empty_.empty() || e > empty_.back())) {
            empty_.push_back(e);
        }
    }
    for (int32_t k : map.keyFrames) {
        if (inRange(k) && !isEmpty(k) && (keys_.empty() || k > keys_.back())) {
            keys_.push_back(k);
        }
    }
}

int32_t FrameNumbering::emptyUpTo(int32_t entry) const {
    return int32_t(std::upper_bound(empty_.begin(), empty_.end(), entry) - empty_.begin());
}

bool FrameNumbering::isEmpty(int32_t entry) const {
    return std::binary_search(empty_.begin(), empty_.end(), entry);
}

int32_t FrameNumbering::pictureOf(int32_t n) const {
    return n - emptyUpTo(n);
}

int32_t FrameNumbering::pictureAt(int32_t entry) const {
    if (entry < 0 || entry >= frames_ || isEmpty(entry)) {
        return -1;
    }
    return entry - emptyUpTo(entry);
}

int32_t FrameNumbering::entryOf(int32_t picture) const {
    // Before the i-th empty entry lie empty_[i] - i pictures; the entry of
    // picture p is p plus the empty entries that lie before it.
    int32_t lo = 0;
    int32_t hi = int32_t(empty_.size());
    while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        if (empty_[size_t(mid)] - mid <= picture) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return picture + lo;
}

int32_t FrameNumbering::keyAtOrBefore(int32_t entry) const {
    const auto it = std::upper_bound(keys_.begin(), keys_.end(), entry);
    return it == keys_.begin() ? -1 : *(it - 1);
}

int32_t FrameNumbering::keyBefore(int32_t entry) const {
    return entry <= 0 ? -1 : keyAtOrBefore(entry - 1);
}

void FrameNumbering::checkRange(const std::string& fileName, int32_t n) const {
    if (n >= 0 && n < frames_) {
        return;
    }
    if (frames_ == 0) {
        throw RangeError(fileName + ": frame " + std::to_string(n) +
                         " is out of range: the file has no video frames");
    }
    throw RangeError(fileName + ": frame " + std::to_string(n) + " is out of range: the file has " +
                     std::to_string(frames_) + " frames (0 to " + std::to_string(frames_ - 1) +
                     ")");
}

} // namespace vidloom::preview
