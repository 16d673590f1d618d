// The main window's property fields as the core computes them.

#include "present/PropertyFields.h"
#include "kit/PlanFixture.h"

namespace vidloom {
namespace {

class PropertyFieldsTest : public kit::PlanTest {};

TEST_F(PropertyFieldsTest, FollowTheFirstSegment) {
    EXPECT_FALSE(propertyFieldsOf(nullptr).videoShown);

    kit::AviBuilder b;
    b.width = 1920;
    b.height = 1080;
    b.formatTag = 65534;
    b.channels = 6;
    b.sampleRate = 48000;
    b.bytesPerSec = 0x80000000u; // read as a negative number
    b.addFrames(3);
    const std::string big = kit::writeTemp("fields-big.avi", b.build());
    SplicePlan p(big, cache);
    PropertyFields f = propertyFieldsOf(&p);
    EXPECT_TRUE(f.videoShown && f.audioShown);
    EXPECT_FALSE(f.navigationShown);
    EXPECT_EQ(f.frameSize, "1920x1080");
    EXPECT_EQ(f.audioFormat, "extensible");
    EXPECT_EQ(f.audioBitRate, "0 kbps");
    EXPECT_EQ(f.sampleRate, "48000Hz");
    EXPECT_EQ(f.channels, "6 channels");
    EXPECT_EQ(f.report, p.segments.at(0).header->Report);

    p.addSegment(segment("B"), 0); // a new first segment, and two of them
    f = propertyFieldsOf(&p);
    EXPECT_TRUE(f.navigationShown);
    EXPECT_EQ(f.frameSize, "320x240");
}

} // namespace
} // namespace vidloom
