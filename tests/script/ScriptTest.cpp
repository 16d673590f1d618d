// The script text of a plan and the "Generate AVS" file steps.

#include "avi/Errors.h"
#include "kit/PlanFixture.h"
#include "plan/PlanActions.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace vidloom {
namespace {

using kit::PlanTest;
namespace fs = std::filesystem;

std::string src(const std::string& p) {
    return "src = aviSource(\"" + p + "\")";
}
std::string spliced(const std::string& p, const std::string& trim) {
    return "src = alignedsplice( src , aviSource(\"" + p + "\").trim(" + trim + ") )";
}

TEST_F(PlanTest, EachLineTrimsItsSegmentsOwnFrames) {
    auto p = plan();
    p->insertSplice(segment("S", 100));
    EXPECT_EQ(p->buildScript(), src(path("B")) + ".trim(0,-100)\r\n" + spliced(path("S"), "0,-50") +
                                    "\r\n" + spliced(path("B"), "150,-850") + "\r\nreturn src");
}

TEST_F(PlanTest, EmptySegmentsWriteNoLineAndAWholeFirstFileIsTrimmedToo) {
    // A first line trimmed to its frames means the same frames whatever
    // count AviSource finds in the file.
    auto p = plan();
    p->insertSplice(segment("S", 0)); // B(0,0) S(0,50) B(50,950)
    EXPECT_EQ(p->buildScript(), src(path("S")) + ".trim(0,-50)\r\n" +
                                    spliced(path("B"), "50,-950") + "\r\nreturn src");
    p->addSegment(segment("T"), 3); // an appended whole file is trimmed like any later line
    EXPECT_NE(p->buildScript().find(spliced(path("T"), "0,-30")), std::string::npos);

    auto whole = plan();
    EXPECT_EQ(whole->buildScript(), src(path("B")) + ".trim(0,-1000)\r\nreturn src");
}

TEST_F(PlanTest, GenerateAvsWritesTheScriptAndLogsIt) {
    kit::RecordingLog log;
    auto p = std::make_unique<SplicePlan>(path("B"), nullptr, &log, cache);
    p->insertSplice(segment("S", 100));
    const std::string out = kit::tempDir() + "/gen-plain.avs";
    ASSERT_TRUE(generateAvs(*p, out, nullptr));
    const std::string text = kit::readAll(out);
    EXPECT_EQ(text, p->buildScript() + "\r\n");
    EXPECT_EQ(text.substr(text.size() - 12), "return src\r\n");
    EXPECT_EQ(log.lines, (std::vector<std::string>{"Creating " + out, "Done"}));

    const std::string debug = kit::tempDir() + "/gen-debug.avs";
    ASSERT_TRUE(generateAvs(*p, debug, nullptr));
    EXPECT_EQ(kit::readAll(debug), text);
    EXPECT_EQ(log.lines.size(), 4u) << "the log is not cleared";
}

TEST_F(PlanTest, APlanWithoutFramesWritesNothing) {
    kit::RecordingLog log;
    kit::RecordingMessages messages;
    auto p = std::make_unique<SplicePlan>(path("Z"), nullptr, &log, cache);
    EXPECT_EQ(scriptRefusal(p.get()), kMsgNoVideo);
    EXPECT_EQ(scriptRefusal(nullptr), kMsgNoVideo);
    const std::string out = kit::tempDir() + "/gen-none.avs";
    EXPECT_FALSE(generateAvs(*p, out, &messages));
    EXPECT_EQ(messages.shown, std::vector<std::string>{kMsgNoVideo});
    EXPECT_FALSE(fs::exists(out));
    EXPECT_TRUE(log.lines.empty());
}

// Entries of a folder whose names start as the temporary script files do.
int leftovers(const fs::path& folder) {
    int n = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        n += entry.path().filename().string().find(".vidloom-") != std::string::npos;
    }
    return n;
}

TEST_F(PlanTest, AFailedWriteLeavesThePreviousFileAndNoTemporaryFile) {
    kit::RecordingLog log;
    auto p = std::make_unique<SplicePlan>(path("B"), nullptr, &log, cache);
    const fs::path folder = fs::path(kit::tempDir()) / "atomic";
    fs::create_directories(folder / "taken");

    // The target is a folder: the rename fails.
    EXPECT_THROW(generateAvs(*p, (folder / "taken").string(), nullptr), IoError);
    EXPECT_TRUE(fs::is_directory(folder / "taken"));
    EXPECT_EQ(log.lines, std::vector<std::string>{"Creating " + (folder / "taken").string()});

    // The folder does not exist: nothing can be created.
    EXPECT_THROW(writeFileAtomically((folder / "missing" / "x.avs").string(), "text"), IoError);

    // A write that fails half-way (the file size limit) keeps the old script.
    const std::string old = (folder / "old.avs").string();
    writeFileAtomically(old, "previous script\r\n");
    ::chmod(old.c_str(), 0640);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 8;
    ::setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(generateAvs(*p, old, nullptr), IoError);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(kit::readAll(old), "previous script\r\n");
    EXPECT_EQ(log.lines.back(), "Creating " + old) << "no Done after a failure";
    EXPECT_EQ(leftovers(folder), 0);

    // A successful write keeps the replaced file's permissions.
    ASSERT_TRUE(generateAvs(*p, old, nullptr));
    struct stat st {};
    ::stat(old.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(leftovers(folder), 0);
}

TEST_F(PlanTest, AReadOnlyFolderKeepsItsScript) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    auto p = plan();
    const fs::path folder = fs::path(kit::tempDir()) / "readonly";
    fs::create_directories(folder);
    const std::string old = (folder / "keep.avs").string();
    writeFileAtomically(old, "previous\r\n");
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(generateAvs(*p, old, nullptr), IoError);
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(kit::readAll(old), "previous\r\n");
    EXPECT_EQ(leftovers(folder), 0);
}

} // namespace
} // namespace vidloom
