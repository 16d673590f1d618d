#include "plan/SegmentList.h"

#include "avi/Errors.h"

#include <algorithm>

namespace vidloom {

void SegmentList::outOfBounds(int32_t i) const {
    throw ListIndexError("list index out of bounds (" + std::to_string(i) +
                         "): the list holds " + std::to_string(items_.size()) + " segments");
}

void SegmentList::add(std::unique_ptr<Segment> segment) {
    items_.push_back(std::move(segment));
}

void SegmentList::insert(int32_t i, std::unique_ptr<Segment> segment) {
    check(i, count() + 1);
    items_.insert(items_.begin() + i, std::move(segment));
}

std::unique_ptr<Segment> SegmentList::deleteAt(int32_t i) {
    check(i, count());
    std::unique_ptr<Segment> gone = std::move(items_[size_t(i)]);
    items_.erase(items_.begin() + i);
    return gone;
}

std::unique_ptr<Segment> SegmentList::replace(int32_t i, std::unique_ptr<Segment> segment) {
    check(i, count());
    std::swap(items_[size_t(i)], segment);
    return segment;
}

void SegmentList::exchange(int32_t i, int32_t j) {
    check(i, count());
    check(j, count());
    std::swap(items_[size_t(i)], items_[size_t(j)]);
}

int32_t SegmentList::indexOf(SegmentId id) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->id() == id) {
            return int32_t(i);
        }
    }
    return -1;
}

} // namespace vidloom
