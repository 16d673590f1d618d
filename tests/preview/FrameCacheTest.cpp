// The frame cache holds no more than its bound, drops the least recently
// used frames first, and tells frames apart by file state, frame and size.

#include "preview/FrameCache.h"

#include <gtest/gtest.h>

using namespace vidloom::preview;

namespace {
std::shared_ptr<const Picture> picture(int32_t width, int32_t height) {
    auto p = std::make_shared<Picture>();
    p->width = width;
    p->height = height;
    p->rgb.assign(size_t(width) * size_t(height) * 3, 7);
    return p;
}

FrameKey key(int32_t frame, const std::string& file = "a.avi", Size box = {}) {
    return FrameKey{file, 1000, 5, frame, box};
}
} // namespace

TEST(FrameCache, StaysWithinItsBoundDroppingTheLeastRecentlyUsed) {
    const size_t one = picture(100, 100)->bytes(); // about 30 KB
    FrameCache cache(3 * one + one / 2);
    for (int32_t f = 0; f < 3; ++f) {
        cache.put(key(f), picture(100, 100));
    }
    ASSERT_NE(cache.find(key(0)), nullptr); // frame 0 is now the most recent
    for (int32_t f = 3; f < 20; ++f) {
        cache.put(key(f), picture(100, 100));
        EXPECT_LE(cache.bytes(), cache.maxBytes());
    }
    EXPECT_EQ(cache.count(), 3u);
    EXPECT_EQ(cache.bytes(), 3 * one);
    EXPECT_EQ(cache.find(key(0)), nullptr);
    EXPECT_NE(cache.find(key(19)), nullptr);
    EXPECT_NE(cache.find(key(17)), nullptr);

    // Putting a frame again replaces it rather than counting it twice.
    cache.put(key(17), picture(100, 100));
    EXPECT_EQ(cache.bytes(), 3 * one);
    // A picture larger than the whole bound is not kept, and evicts nothing.
    cache.put(key(99), picture(1000, 1000));
    EXPECT_EQ(cache.find(key(99)), nullptr);
    EXPECT_EQ(cache.count(), 3u);
}

TEST(FrameCache, KeysTellFilesStatesFramesAndSizesApart) {
    FrameCache cache(size_t(1) << 20);
    cache.put(key(1), picture(4, 4));
    EXPECT_EQ(cache.find(key(1, "b.avi")), nullptr);
    EXPECT_EQ(cache.find(key(1, "a.avi", {160, 0})), nullptr);
    EXPECT_EQ(cache.find(key(2)), nullptr);
    FrameKey changed = key(1);
    changed.fileMtimeNs = 6;
    EXPECT_EQ(cache.find(changed), nullptr);
    EXPECT_NE(cache.find(key(1)), nullptr);

    cache.put(key(1, "b.avi"), picture(4, 4));
    cache.forgetFile("a.avi");
    EXPECT_EQ(cache.find(key(1)), nullptr);
    EXPECT_NE(cache.find(key(1, "b.avi")), nullptr);
    EXPECT_EQ(cache.count(), 1u);
}
