// vidloom-cli plan --from: a plan started from a script, its operations going
// on from there, and every script Vidloom writes read back byte for byte.

#include "kit/AviBuilder.h"
#include "kit/Outcome.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vidloom;

namespace {

std::string fixture(const std::string& name) {
    return std::string(VIDLOOM_FIXTURES) + "/" + name;
}

kit::CliRun plan(std::vector<std::string> args) {
    args.insert(args.begin(), "plan");
    return kit::cli(args);
}

} // namespace

TEST(PlanFrom, ScriptsOfTheFixturesComeBackByteForByte) {
    const std::string files[] = {fixture("xvid_mp3.avi"),
                                 fixture("tagged_pcm.avi"),
                                 fixture("divx_adpcm.avi"),
                                 fixture("mjpeg_silent.avi"),
                                 fixture("keyframes/gop_mpeg4.avi"),
                                 fixture("keyframes/av_interleaved.avi")};
    const size_t n = std::size(files);
    for (size_t i = 0; i < n; ++i) {
        const std::string& base = files[i];
        const std::string& other = files[(i + 1) % n];
        const std::vector<std::vector<std::string>> plans = {
            {base},
            {base, "--append", other, "--splice-at", "2", base, "--splice-at", "1", base},
        };
        for (size_t k = 0; k < plans.size(); ++k) {
            const std::string a =
                kit::tempDir() + "/from-" + std::to_string(i) + "-" + std::to_string(k) + ".avs";
            const std::string b = a + ".again.avs";
            std::vector<std::string> write = plans[k];
            write.insert(write.end(), {"--script", a});
            const kit::CliRun first = plan(write);
            ASSERT_EQ(first.status, 0) << first.err;
            const kit::CliRun again = plan({"--from", a, "--script", b});
            ASSERT_EQ(again.status, 0) << again.err;
            EXPECT_EQ(kit::readAll(b), kit::readAll(a)) << a;
            EXPECT_EQ(again.out, first.out);

            // The operations go on from the plan the script describes.
            std::vector<std::string> more = plans[k];
            more.insert(more.end(), {"--append", other, "--splice-at", "0", base, "--script", "-"});
            EXPECT_EQ(
                plan({"--from", a, "--append", other, "--splice-at", "0", base, "--script", "-"})
                    .out,
                plan(more).out);
        }
    }
}

TEST(PlanFrom, AScriptItCannotReadExitsOneAndWritesNothing) {
    const std::string bad =
        kit::writeTemp("from-bad.avs", "src = aviSource(\"" + fixture("xvid_mp3.avi") + "\")\r\n" +
                                           "src = src.Blur(1.0)\r\nreturn src\r\n");
    const std::string out = kit::tempDir() + "/from-bad-out.avs";
    const kit::CliRun r = plan({"--from", bad, "--script", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind(bad + ": line 2: not understood", 0), 0u) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(std::filesystem::exists(out));

    EXPECT_EQ(plan({"--from", bad, fixture("xvid_mp3.avi")}).status, 2);
    EXPECT_EQ(plan({"--from", bad, "--from", bad}).status, 2);
}
