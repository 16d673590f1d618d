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

// The file steps of "Generate AVS" once the plan may be written.
void write(const SplicePlan& p, const std::string& path) {
    writeFileAtomically(path, scriptFileText(p));
}

TEST_F(PlanTest, TheScriptFileIsTheScriptAndOneLineEnd) {
    auto p = plan();
    p->insertSplice(segment("S", 100));
    const std::string out = kit::tempDir() + "/gen-plain.avs";
    write(*p, out);
    const std::string text = kit::readAll(out);
    EXPECT_EQ(text, p->buildScript() + "\r\n");
    EXPECT_EQ(text.substr(text.size() - 12), "return src\r\n");
    EXPECT_EQ(scriptRefusal(plan("Z").get()), kMsgNoVideo);
    EXPECT_EQ(scriptRefusal(nullptr), kMsgNoVideo);
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
    auto p = plan();
    const fs::path folder = fs::path(kit::tempDir()) / "atomic";
    fs::create_directories(folder / "taken");

    // The target is a folder: the rename fails.
    EXPECT_THROW(write(*p, (folder / "taken").string()), IoError);
    EXPECT_TRUE(fs::is_directory(folder / "taken"));

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
    EXPECT_THROW(write(*p, old), IoError);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(kit::readAll(old), "previous script\r\n");
    EXPECT_EQ(leftovers(folder), 0);

    // A successful write keeps the replaced file's permissions.
    write(*p, old);
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
    EXPECT_THROW(write(*p, old), IoError);
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(kit::readAll(old), "previous\r\n");
    EXPECT_EQ(leftovers(folder), 0);
}

} // namespace
} // namespace vidloom
