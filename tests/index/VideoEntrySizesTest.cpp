// The empty video frames the preview numbers dropped frames by: counted among
// the frames exactly as the key-frame index counts them (the video stream's
// data chunks of idx1, or the OpenDML standard indexes), to the end of a
// truncated index.

#include "avi/index/VideoEntrySizes.h"
#include "avi/AviHeader.h"
#include "avi/index/KeyFrameIndex.h"
#include "kit/AviBuilder.h"

#include <gtest/gtest.h>

using namespace vidloom;

TEST(VideoEntrySizes, EmptyFramesAmongTheFramesOfIdx1) {
    kit::AviBuilder b;
    b.addVideo(0x10);
    b.addAudio("");                     // an empty audio chunk is no dropped frame
    b.addVideo(0, "");                  // frame 1
    b.movie.push_back({"00pc", 0, ""}); // a palette change is no frame
    b.addAudio();
    b.addVideo(0);
    b.addVideo(0, ""); // frame 3
    b.addVideo(0, ""); // frame 4
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

TEST(VideoEntrySizes, EmptyFramesOfTheOpenDmlStandardIndexes) {
    kit::AviBuilder b;
    b.openDml = true;
    b.framesPerPart = 4;
    for (int i = 0; i < 10; ++i) {
        b.addVideo(i % 4 == 0 ? 0x10 : 0, i == 2 || i == 5 || i == 9 ? "" : "frame");
        b.addAudio();
    }
    const std::string path = kit::writeTemp("sizes-odml.avi", b.build());
    const AviHeader header(path);
    ASSERT_GT(header.VideoSuperIndexEntries, 0u);
    const VideoEntrySizes sizes = VideoEntrySizes::read(header);
    EXPECT_EQ(sizes.videoEntries(), 10); // every part, not idx1's first part only
    EXPECT_EQ(sizes.videoEntries(), KeyFrameIndex::read(header)->videoFrames());
    EXPECT_EQ(sizes.emptyEntries(), (std::vector<int32_t>{2, 5, 9}));
}
