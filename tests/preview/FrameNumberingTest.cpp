// The frame numbering of the preview, as plain arithmetic: AviSource's frame
// numbers (video entries, empty ones repeating the frame before) against the
// pictures FFmpeg decodes (the non-empty entries), key frames, the range, and
// the scaled size.

#include "preview/FrameNumbering.h"
#include "avi/Errors.h"
#include "preview/Picture.h"

#include <gtest/gtest.h>

using namespace vidloom;
using namespace vidloom::preview;

TEST(FrameNumbering, DroppedFramesShowThePictureBeforeThem) {
    // Entries 1, 5 and 6 are empty, as in the dropped.avi fixture.
    const FrameNumbering n(EntryMap{10, {0, 7}, {1, 5, 6}});
    EXPECT_EQ(n.frames(), 10);
    EXPECT_EQ(n.pictures(), 7);
    const int32_t shows[10] = {0, 0, 1, 2, 3, 3, 3, 4, 5, 6};
    const int32_t holds[10] = {0, -1, 1, 2, 3, -1, -1, 4, 5, 6};
    for (int32_t f = 0; f < 10; ++f) {
        EXPECT_EQ(n.pictureOf(f), shows[f]) << "frame " << f;
        EXPECT_EQ(n.pictureAt(f), holds[f]) << "frame " << f;
        EXPECT_EQ(n.isEmpty(f), holds[f] < 0) << "frame " << f;
    }
    for (int32_t p = 0; p < n.pictures(); ++p) {
        EXPECT_EQ(n.pictureAt(n.entryOf(p)), p) << "picture " << p;
    }
    EXPECT_EQ(n.entryOf(4), 7);
    EXPECT_EQ(n.pictureAt(-1), -1);
    EXPECT_EQ(n.pictureAt(10), -1);
}

TEST(FrameNumbering, EmptyEntriesAtTheStartHaveNoPicture) {
    const FrameNumbering n(EntryMap{5, {2}, {0, 1, 4}});
    EXPECT_EQ(n.pictureOf(0), -1);
    EXPECT_EQ(n.pictureOf(1), -1);
    EXPECT_EQ(n.pictureOf(2), 0);
    EXPECT_EQ(n.pictureOf(4), 1); // the last frame, dropped, repeats frame 3
    EXPECT_EQ(n.entryOf(0), 2);
    EXPECT_EQ(n.entryOf(1), 3);
}

TEST(FrameNumbering, KeyFramesAtOrBefore) {
    // Entry 6 is an empty key frame: nothing to start decoding at, so left out;
    // entries past the end and repeated ones are left out too.
    const FrameNumbering n(EntryMap{12, {0, 4, 4, 6, 9, 30}, {6}});
    EXPECT_EQ(n.keyAtOrBefore(0), 0);
    EXPECT_EQ(n.keyAtOrBefore(3), 0);
    EXPECT_EQ(n.keyAtOrBefore(4), 4);
    EXPECT_EQ(n.keyAtOrBefore(8), 4);
    EXPECT_EQ(n.keyAtOrBefore(11), 9);
    EXPECT_EQ(n.keyBefore(9), 4);
    EXPECT_EQ(n.keyBefore(4), 0);
    EXPECT_EQ(n.keyBefore(0), -1);
    EXPECT_EQ(FrameNumbering(EntryMap{5, {3}, {}}).keyAtOrBefore(2), -1);
}

TEST(FrameNumbering, TheRangeIsTheVideoEntries) {
    const FrameNumbering n(EntryMap{30, {0}, {}});
    EXPECT_NO_THROW(n.checkRange("clip.avi", 0));
    EXPECT_NO_THROW(n.checkRange("clip.avi", 29));
    for (int32_t f : {-1, 30, INT32_MAX}) {
        try {
            n.checkRange("clip.avi", f);
            ADD_FAILURE() << "frame " << f << " passed";
        } catch (const RangeError& e) {
            EXPECT_EQ(std::string(e.what()), "clip.avi: frame " + std::to_string(f) +
                                                 " is out of range: the file has 30 frames "
                                                 "(0 to 29)");
        }
    }
    EXPECT_THROW(FrameNumbering(EntryMap{}).checkRange("empty.avi", 0), RangeError);
}

TEST(FrameNumbering, PicturesFitTheirBoxKeepingTheirAspect) {
    EXPECT_EQ(fitInto(640, 480, {}), (Size{640, 480}));
    EXPECT_EQ(fitInto(640, 480, {160, 0}), (Size{160, 120}));
    EXPECT_EQ(fitInto(640, 480, {0, 60}), (Size{80, 60}));
    EXPECT_EQ(fitInto(720, 576, {160, 90}), (Size{113, 90}));
    EXPECT_EQ(fitInto(4000, 2, {100, 0}), (Size{100, 1}));
}
