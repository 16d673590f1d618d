#pragma once

#include "plan/Segment.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vidloom {

// The ordered list of segments. It owns them: deleteAt and replace hand the
// removed segment back to the caller. Indexes outside the list raise
// ListIndexError naming the index.
class SegmentList {
public:
    int32_t count() const { return int32_t(items_.size()); }
    // Inline: the plan's walks call it once per segment.
    Segment& at(int32_t i) const {
        check(i, count());
        return *items_[size_t(i)];
    }
    void add(std::unique_ptr<Segment> segment);
    void insert(int32_t i, std::unique_ptr<Segment> segment); // i == count appends
    std::unique_ptr<Segment> deleteAt(int32_t i);
    std::unique_ptr<Segment> replace(int32_t i, std::unique_ptr<Segment> segment);
    void exchange(int32_t i, int32_t j);
    int32_t indexOf(SegmentId id) const;           // -1 when absent

private:
    void check(int32_t i, int32_t limit) const {
        if (i < 0 || i >= limit) {
            outOfBounds(i);
        }
    }
    [[noreturn]] void outOfBounds(int32_t i) const;
    std::vector<std::unique_ptr<Segment>> items_;
};

} // namespace vidloom
