// Real writers' files as AviSource meets them: whole, cut by a crash, without
// idx1, with headers that disagree, PNG, DV of both types. One differential
// test against what ffprobe read in each when the fixtures were made, and the
// same count from every command that asks, whether the file is the base clip
// or appended.

#include "kit/AviBuilder.h"
#include "kit/MiniJson.h"
#include "kit/Outcome.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using namespace vidloom;

namespace {

std::string folder() {
    return std::string(VIDLOOM_FIXTURES) + "/avisource/";
}

std::string keyLines(int32_t from, int32_t to) {
    std::string lines;
    for (int32_t n = from; n < to; ++n) {
        lines += std::to_string(n) + "\n";
    }
    return lines;
}

} // namespace

TEST(AviSourceFiles, AgreeWithFfprobeAndWithEachOther) {
    // Where Vidloom answers otherwise than ffprobe, and why:
    // - GStreamer's pngenc files flag no frame key; ffprobe then calls only
    //   frame 0 key, but every PNG frame stands alone.
    // - ffprobe counts a last frame that the end of the file cuts short;
    //   AviSource serves whole frames only. cut10 holds no whole frame.
    // - the codec of msmpeg4_cut has frame headers Vidloom does not read:
    //   its rebuilt key frames are unknown and `keyframes` says so.
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder())) {
        if (entry.path().extension() != ".probe") {
            continue;
        }
        const std::string name = entry.path().stem().string();
        const std::string avi = folder() + name + ".avi";
        SCOPED_TRACE(name);
        std::istringstream probe(kit::readAll(entry.path().string()));
        int32_t frames = 0, width = 0, height = 0, cut = 0;
        probe >> frames >> width >> height >> cut;
        frames -= cut;

        const kit::CliRun info = kit::cli("info", {"--json", avi});
        if (frames == 0) {
            EXPECT_EQ(info.status, 1);
            EXPECT_NE(info.out.find("no whole video frame in the movie data"), std::string::npos);
            continue;
        }
        ASSERT_EQ(info.status, 0) << info.err;
        const kit::JsonValue f = kit::parseJson(info.out)[0];
        EXPECT_EQ(f["totalFrames"].integer(), frames);
        EXPECT_EQ(f["width"].integer(), width);
        EXPECT_EQ(f["height"].integer(), height);
        const bool rebuilt = f["indexRebuilt"].flag;
        EXPECT_EQ(rebuilt, name.find("cut") != std::string::npos || name == "no_idx1");
        if (rebuilt) {
            EXPECT_NE(f["report"].text.find(
                          "index rebuilt from the movie data: " + std::to_string(frames) + " of "),
                      std::string::npos);
        }
        EXPECT_EQ(f["dvType"].isNull() ? 0 : f["dvType"].integer(),
                  name.rfind("dv_type", 0) == 0 ? name.back() - '0' : 0);

        const kit::CliRun keys = kit::cli("keyframes", {avi});
        if (name == "msmpeg4_cut") {
            EXPECT_FALSE(f["keyFramesKnown"].flag);
            EXPECT_EQ(keys.status, 1);
            EXPECT_NE(keys.err.find("cannot tell"), std::string::npos) << keys.err;
        } else {
            EXPECT_TRUE(f["keyFramesKnown"].flag);
            EXPECT_EQ(keys.status, 0) << keys.err;
            std::string expected = name == "png_gst" ? keyLines(0, frames)
                                                     : kit::readAll(folder() + name + ".keyframes");
            if (cut != 0 && expected.size() > 1) {
                // ffprobe's key flag on the frame cut short goes with it.
                const size_t last = expected.rfind('\n', expected.size() - 2);
                const std::string lastKey = expected.substr(last + 1);
                if (std::stoi(lastKey) >= frames) {
                    expected.erase(last + 1);
                }
            }
            EXPECT_EQ(keys.out, expected);
        }

        // One count for the file, as base clip and appended.
        const kit::CliRun plan = kit::cli("plan", {avi, "--append", avi, "--json"});
        ASSERT_EQ(plan.status, 0) << plan.err;
        const kit::JsonValue p = kit::parseJson(plan.out);
        EXPECT_EQ(p["totalLength"].integer(), 2 * frames);
        EXPECT_EQ(p["segments"][1]["length"].integer(), frames);
        const kit::CliRun past = kit::cli("keyframes", {avi, "--near", std::to_string(frames + 5)});
        if (keys.status == 0) {
            EXPECT_EQ(past.status, 1) << past.out;
        }
        ++checked;
    }
    EXPECT_GE(checked, 13);

    const std::string audio = folder() + "audio_only.avi";
    const kit::CliRun r = kit::cli("info", {audio});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(audio + ": no video stream (audio only)\n"), std::string::npos) << r.err;
}
