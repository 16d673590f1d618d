// vidloom-cli keyframes: the key frames of real ffmpeg files agree with
// ffprobe's flags, and broken inputs end with status 1.

#include "avi/AviHeader.h"
#include "cli/Commands.h"
#include "kit/AviBuilder.h"
#include "kit/Outcome.h"
#include "session/AviHeaderCache.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace vidloom;

namespace {

using kit::CliRun;

CliRun keyframes(const std::vector<std::string>& args) {
    return kit::cli("keyframes", args);
}

std::string fixture(const std::string& name) {
    return std::string(VIDLOOM_FIXTURES) + "/keyframes/" + name;
}

} // namespace

TEST(KeyframesCommand, AgreesWithFfprobe) {
    for (const std::string name : {"gop_mpeg4", "av_interleaved"}) {
        const CliRun r = keyframes({fixture(name + ".avi")});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, kit::readAll(fixture(name + ".keyframes"))) << name;
    }
}

// Files of other writers: the audio stream stored first, motion JPEG whose
// index flags no frame, and a recording killed before its index was written.
TEST(KeyframesCommand, AgreesWithFfprobeOnOtherWritersFiles) {
    const std::string writers = std::string(VIDLOOM_FIXTURES) + "/writers/";
    for (const std::string name : {"audio_first", "mjpeg_lav"}) {
        const std::string path = writers + name + ".avi";
        const CliRun r = keyframes({path});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, kit::readAll(writers + name + ".keyframes")) << name;
        EXPECT_EQ(AviHeader(path).TotalFrames, std::stoi(kit::readAll(writers + name + ".frames")))
            << name;
    }
    // Killed while recording: its index is rebuilt from the whole JPEG frames
    // it holds, every one of them a key frame.
    const std::string interrupted = writers + "interrupted.avi";
    const CliRun r = keyframes({interrupted});
    EXPECT_EQ(r.status, 0) << r.err;
    const int32_t frames = AviHeader(interrupted).TotalFrames;
    EXPECT_GT(frames, 0);
    std::string all;
    for (int32_t n = 0; n < frames; ++n) {
        all += std::to_string(n) + "\n";
    }
    EXPECT_EQ(r.out, all);
}

TEST(KeyframesCommand, CountsVideoEntriesOnly) {
    kit::AviBuilder b;
    b.addVideo(0x10);
    b.addAudio();
    b.addVideo(0);
    b.addAudio();
    b.addVideo(0x12);
    // Neither is a frame of the video: another stream's chunk, padding.
    b.movie.push_back({"01WB", 0x10, "x"});
    b.movie.push_back({"7Fxx", 0x10, "x"});
    b.addVideo(0x10);
    const std::string path = kit::writeTemp("kf-count.avi", b.build());
    const CliRun r = keyframes({path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0\n2\n3\n");
}

TEST(KeyframesCommand, ATruncatedIndexPrintsWhatItHoldsThenFails) {
    kit::AviBuilder b;
    b.addFrames(10, 2);
    std::string bytes = b.build();
    const std::string path = kit::writeTemp("kf-cut.avi", bytes);
    // The headers are read from the file as it is now, so cut after the
    // record exists: the command reads the record through the same cache.
    AviHeaderCache cache;
    std::ostringstream out, err;
    EXPECT_EQ(cli::runKeyframes({path}, out, err, cache), 0);
    kit::writeTemp("kf-cut.avi", bytes.substr(0, b.offsets().idx1 + 8 + 16 * 9));
    out.str("");
    EXPECT_EQ(cli::runKeyframes({path}, out, err, cache), 1);
    EXPECT_EQ(out.str(), "0\n2\n4\n");
    EXPECT_NE(err.str().find(path), std::string::npos);
}

TEST(KeyframesCommand, RefusesWhatItCannotRead) {
    const CliRun text = keyframes({kit::writeTemp("kf-text.avi", "text")});
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.err.find("Not an avi!"), std::string::npos);
    EXPECT_EQ(keyframes({"/no/such/file.avi"}).status, 1);
    EXPECT_EQ(keyframes({}).status, 2);
    EXPECT_EQ(keyframes({"a.avi", "b.avi"}).status, 2);
    EXPECT_EQ(keyframes({"--bogus"}).status, 2);
}

TEST(KeyframesCommand, TheProgramPrintsTheSame) {
    const std::string command =
        std::string(VIDLOOM_CLI_PATH) + " keyframes '" + fixture("gop_mpeg4.avi") + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[256];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
        out.append(buffer, n);
    }
    EXPECT_EQ(::pclose(pipe), 0);
    EXPECT_EQ(out, kit::readAll(fixture("gop_mpeg4.keyframes")));
}

TEST(KeyframesCommand, NearPrintsTheKeyFramesAroundAFrame) {
    // gop_mpeg4's key frames: 0 20 40 60.
    const std::string file = fixture("gop_mpeg4.avi");
    const std::pair<std::string, std::string> cases[] = {
        {"0", "0 20\n"}, {"19", "0 20\n"}, {"20", "20 40\n"}, {"-1", "- 0\n"}, {"74", "60 -\n"}};
    for (const auto& [n, expected] : cases) {
        const CliRun r = keyframes({file, "--near", n});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, expected) << "--near " << n;
    }
    EXPECT_EQ(keyframes({"--near", "x", file}).status, 2);
    EXPECT_EQ(keyframes({file, "--near"}).status, 2);
}
