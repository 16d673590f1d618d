// Every operation of the program, in the core and on the command line, run
// over copies of the real fixture files whose times are set to a known past
// moment: afterwards every input has the same bytes, the same inode, the same
// modification and change times to the nanosecond, and the only new files in
// its folder are the scripts that were asked for.

#include "avi/AviHeader.h"
#include "cli/Commands.h"
#include "kit/Outcome.h"
#include "kit/ReferenceIndexWalk.h"
#include "kit/SpliceKit.h"
#include "session/PlanSession.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

namespace vidloom {
namespace {

namespace fs = std::filesystem;

// 2001-09-09 01:46:40.123456789 UTC: old, and with nanoseconds that a rewrite
// or a copy with second precision would lose.
constexpr timespec kOldTime{1000000000, 123456789};

const char* const kFixtures[] = {
    "xvid_mp3.avi",   "mjpeg_silent.avi",        "tagged_pcm.avi",
    "divx_adpcm.avi", "keyframes/gop_mpeg4.avi", "keyframes/av_interleaved.avi"};

struct FileState {
    ino_t inode = 0;
    int64_t size = -1;
    int64_t mtimeNs = 0;
    int64_t ctimeNs = 0;
    mode_t mode = 0;
    friend bool operator==(const FileState&, const FileState&) = default;
};

std::ostream& operator<<(std::ostream& os, const FileState& s) {
    return os << "{inode " << s.inode << ", size " << s.size << ", mtime " << s.mtimeNs
              << ", ctime " << s.ctimeNs << ", mode " << std::oct << s.mode << std::dec << "}";
}

FileState stateOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return {};
    }
    return {st.st_ino, int64_t(st.st_size),
            int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec, st.st_mode};
}

std::set<std::string> namesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

using kit::cli;
using kit::CliRun;

class InputsUnchanged : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = kit::tempDir() + "/inputs-" + test->name();
        fs::create_directories(dir);
        for (const char* fixture : kFixtures) {
            const std::string original = std::string(VIDLOOM_FIXTURES) + "/" + fixture;
            const std::string copy = dir + "/" + fs::path(fixture).filename().string();
            fs::copy_file(original, copy, fs::copy_options::overwrite_existing);
            const timespec times[2] = {kOldTime, kOldTime};
            ASSERT_EQ(::utimensat(AT_FDCWD, copy.c_str(), times, 0), 0) << copy;
            inputs.push_back({copy, kit::readAll(original), stateOf(copy)});
            ASSERT_EQ(inputs.back().state.mtimeNs, 1000000000123456789) << copy;
            ASSERT_EQ(inputs.back().bytes.size(), size_t(inputs.back().state.size));
        }
    }

    void TearDown() override {
        for (const Input& input : inputs) {
            EXPECT_EQ(stateOf(input.path), input.state) << input.path;
            EXPECT_TRUE(kit::readAll(input.path) == input.bytes) << input.path << " changed";
        }
        std::set<std::string> expected = scripts;
        for (const Input& input : inputs) {
            expected.insert(fs::path(input.path).filename().string());
        }
        EXPECT_EQ(namesIn(dir), expected);
    }

    std::string in(const std::string& name) const { return dir + "/" + name; }
    // A script this test asks for in the inputs' folder.
    std::string script(const std::string& name) {
        scripts.insert(name);
        return in(name);
    }

    struct Input {
        std::string path;
        std::string bytes;
        FileState state;
    };
    std::string dir;
    std::vector<Input> inputs;
    std::set<std::string> scripts;
};

TEST_F(InputsUnchanged, EveryCoreOperation) {
    AviHeaderCache cache;

    // Header records, and the key-frame questions both from the cached index
    // and by the entry-by-entry walk, over every frame and a little beyond.
    for (const Input& input : inputs) {
        const AviHeader& info = cache.get(input.path);
        ASSERT_TRUE(info.IsAvi) << input.path;
        const AviHeader again(input.path);
        EXPECT_EQ(again.Report, info.Report);
        const auto index = cache.keyFrames(info);
        for (int32_t n = -1; n <= index->videoFrames() + 1; ++n) {
            EXPECT_EQ(cache.isKeyFrame(info, n), keyFrameByWalk(info, n)) << input.path << " " << n;
        }
        ReferenceIndexWalk walker(info);
        walker.seekVideoFrame(7);
        walker.seekVideoFrame(2);
        walker.nextVideoFrame();
        walker.firstAudioChunk();
        walker.closeFile();
    }

    // The plan as the window builds it: a base clip without digits in its
    // name, appends of every file, splices by name, by the prompt, refused
    // ones, then every panel operation.
    PlanSession session;
    session.addFiles({in("av_interleaved.avi")});
    std::vector<std::string> appended;
    for (const char* name : {"gop_mpeg4.avi", "xvid_mp3.avi", "mjpeg_silent.avi", "tagged_pcm.avi",
                             "divx_adpcm.avi"}) {
        appended.push_back(in(name));
    }
    EXPECT_EQ(session.addFiles(appended).added, 5);
    const std::vector<SpliceResult> spliced =
        session.addSplices({{in("gop_mpeg4.avi"), std::nullopt}, // reference 4 from the name
                            {in("av_interleaved.avi"), 60},
                            {in("xvid_mp3.avi"), std::nullopt},
                            {in("gop_mpeg4.avi"), 100000},
                            {in("gop_mpeg4.avi"), -3}});
    std::vector<SpliceOutcome> outcomes;
    for (const SpliceResult& r : spliced) {
        outcomes.push_back(r.outcome);
    }
    EXPECT_EQ(outcomes,
              (std::vector<SpliceOutcome>{SpliceOutcome::Inserted, SpliceOutcome::Inserted,
                                          SpliceOutcome::Incompatible, SpliceOutcome::ExceedsEnd,
                                          SpliceOutcome::NegativeReference}));

    auto idAt = [&](int32_t i) { return session.plan()->segments.at(i).id(); };
    session.edit(idAt(1), {}, {"3", "40", ""});
    session.edit(idAt(2), {}, {"", "", "5"});
    session.edit(idAt(3), {}, {"999", "", ""});
    session.select(idAt(2));
    session.moveEarlier();
    session.select(idAt(0));
    session.moveLater();
    session.remove(idAt(4));
    session.snap(idAt(1), SnapDirection::Next);
    session.split(idAt(2), session.plan()->segments.at(2).start + 1);
    for (int32_t i = 0; i < session.panelCount(); ++i) {
        session.panel(i);
    }
    EXPECT_GT(session.listingBlock().size(), 3u);
    session.undo();
    session.redo();
    EXPECT_EQ(session.spliceRefusal(), "");

    // "Generate AVS" into the inputs' own folder, twice: the second replaces
    // the first, and neither leaves its temporary file behind.
    const std::string text = session.scriptText();
    const std::string avs = script("plan.avs");
    EXPECT_TRUE(session.writeScript(avs).written);
    EXPECT_TRUE(session.writeScript(avs).written);
    EXPECT_EQ(kit::readAll(avs), text);
    session.openScript(avs);
    EXPECT_EQ(session.scriptText(), text);
}

TEST_F(InputsUnchanged, EveryCommandLineOperation) {
    std::vector<std::string> all{"info"};
    for (const Input& input : inputs) {
        all.push_back(input.path);
    }
    EXPECT_EQ(cli(all).status, 0);
    all.insert(all.begin() + 1, "--json");
    EXPECT_EQ(cli(all).status, 0);
    for (const Input& input : inputs) {
        EXPECT_EQ(cli({"keyframes", input.path}).status, 0) << input.path;
    }

    const std::string base = in("av_interleaved.avi");
    const std::string gop = in("gop_mpeg4.avi");
    // The name without digits is refused (there is no prompt): status 3.
    const CliRun withScript =
        cli({"plan", base, "--append", gop, "--splice", gop, "--splice-at", "10", base, "--splice",
             base, "--append", in("xvid_mp3.avi"), "--script", script("cli.avs")});
    EXPECT_EQ(withScript.status, 3) << withScript.err;
    EXPECT_EQ(cli({"plan", base, "--append", gop, "--splice-at", "20", gop, "--json"}).status, 0);
    const CliRun toStdout = cli({"plan", base, "--splice-at", "0", gop, "--script", "-"});
    EXPECT_EQ(toStdout.status, 3) << "75 frames do not fit into 52";
    EXPECT_EQ(toStdout.out.rfind("src = aviSource(", 0), 0u) << toStdout.out;

    // The built program, once, with a script of its own.
    const std::string command = std::string(VIDLOOM_CLI_PATH) + " plan '" + base + "' --append '" +
                                gop + "' --splice '" + gop + "' --script '" +
                                script("program.avs") + "' >/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(kit::readAll(in("program.avs")).rfind("src = aviSource(\"" + base + "\")", 0), 0u);
}

} // namespace
} // namespace vidloom
