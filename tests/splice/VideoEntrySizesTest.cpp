// The empty video entries the preview numbers dropped frames by: counted
// among the video entries as the key-frame index counts them (audio entries
// and empty audio chunks left out), to the end of a truncated index.

#include "splice/VideoEntrySizes.h"
#include "avi/AviHeader.h"
#include "kit/AviBuilder.h"
#include "splice/KeyFrameIndex.h"

#include <gtest/gtest.h>

using namespace vidloom;

TEST(VideoEntrySizes, EmptyVideoEntriesAmongTheVideoEntries) {
    kit::AviBuilder b;
    b.addVideo(0x10);
    b.addAudio("");    // an empty audio chunk is no dropped frame
    b.addVideo(0, ""); // video entry 1
    b.addAudio();
    b.addVideo(0);
    b.addVideo(0, ""); // video entry 3
    b.addVideo(0, ""); // video entry 4
    b.addVideo(0x10);
    const std::string path = kit::writeTemp("sizes.avi", b.build());
    const AviHeader header(path);
    const VideoEntrySizes sizes = VideoEntrySizes::read(header);
    EXPECT_EQ(sizes.videoEntries(), 6);
    EXPECT_EQ(sizes.videoEntries(), KeyFrameIndex::read(header)->videoFrames());
    EXPECT_EQ(sizes.emptyEntries(), (std::vector<int32_t>{1, 3, 4}));

    // Cut inside the index after the header was read (as a file that
    // changes under the window): the entries still there are counted.
    std::string cut = b.build();
    cut.resize(b.offsets().idx1 + 8 + 16 * 4);
    kit::writeTemp("sizes.avi", cut);
    const VideoEntrySizes some = VideoEntrySizes::read(header);
    EXPECT_EQ(some.videoEntries(), 2);
    EXPECT_EQ(some.emptyEntries(), (std::vector<int32_t>{1}));
}
