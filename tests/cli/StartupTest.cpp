// What a vidloom-cli process loads at start, seen by the dynamic loader
// (LD_DEBUG=files names every object it opens, dlopen'ed ones included, and
// works the same under the sanitizers): FFmpeg's libraries only for frame, Qt
// never. And where the decoding module is looked for: beside the program or
// in ../lib/vidloom/, with the reason named when it cannot be loaded.

#include "kit/AviBuilder.h"
#include "preview/FileDecoder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace vidloom;

namespace {

struct ShellRun {
    int status = -1;
    std::string out;
};

// The command's status and what it writes on stdout and stderr, unless it
// redirects them itself.
ShellRun shell(const std::string& command, const std::string& redirect = " 2>&1") {
    ShellRun run;
    FILE* pipe = ::popen((command + redirect).c_str(), "r");
    if (!pipe) {
        return run;
    }
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string quoted(const std::string& s) {
    return "'" + s + "'";
}

const std::string kFixture = std::string(VIDLOOM_FIXTURES) + "/preview/bframes.avi";

std::string frameArgs() {
    return " frame " + quoted(kFixture) + " 11 -o " + quoted(kit::tempDir() + "/startup.png");
}

} // namespace

TEST(Startup, OnlyFrameLoadsFfmpegAndNothingLoadsQt) {
    const std::string cli = quoted(VIDLOOM_CLI_PATH);
    const std::string file = quoted(kFixture);
    const std::vector<std::string> commands{" --version", " info " + file, " keyframes " + file,
                                            " plan " + file, frameArgs()};
    for (const std::string& command : commands) {
        const ShellRun run = shell("LD_DEBUG=files " + cli + command, " 2>&1 >/dev/null");
        ASSERT_NE(run.out.find("file=libc.so.6"), std::string::npos)
            << "no loader trace: " << run.out;
        const bool decodes = command == frameArgs() && preview::previewsBuiltIn();
        EXPECT_EQ(run.out.find("libavcodec") != std::string::npos, decodes) << command;
        EXPECT_EQ(run.out.find("libavformat") != std::string::npos, decodes) << command;
        EXPECT_EQ(run.out.find("libQt"), std::string::npos) << command;
    }
}

#ifdef VIDLOOM_PREVIEW_MODULE_PATH
TEST(Startup, TheModuleIsFoundBesideTheProgramOrInLibVidloom) {
    const fs::path module = VIDLOOM_PREVIEW_MODULE_PATH;
    const fs::path root = fs::path(kit::tempDir()) / "startup-layouts";
    fs::remove_all(root);
    // Each layout gets a copy of the program: /proc/self/exe of a link would
    // name the build tree's program, which has the module beside it.
    const auto program = [&](const fs::path& folder) {
        fs::create_directories(folder);
        fs::copy_file(VIDLOOM_CLI_PATH, folder / "vidloom-cli");
        return quoted((folder / "vidloom-cli").string());
    };

    const std::string installed = program(root / "installed/bin");
    fs::create_directories(root / "installed/lib/vidloom");
    fs::copy_file(module, root / "installed/lib/vidloom" / module.filename());
    ShellRun run = shell(installed + frameArgs());
    EXPECT_EQ(run.status, 0) << run.out;

    // Without the module everything but frame works; frame says where it looked.
    const std::string alone = program(root / "alone/bin");
    EXPECT_EQ(shell(alone + " info " + quoted(kFixture), " >/dev/null").status, 0);
    run = shell(alone + frameArgs());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Previews cannot be loaded: there is no " +
                           (root / "alone/bin" / module.filename()).string() + " or " +
                           (root / "alone/lib/vidloom" / module.filename()).string() + "\n");

    // A module that cannot be loaded: its path and the loader's reason.
    const std::string broken = program(root / "broken");
    const fs::path fake = root / "broken" / module.filename();
    kit::writeTemp("startup-layouts/broken/" + module.filename().string(), "not a module");
    run = shell(broken + frameArgs());
    EXPECT_EQ(run.status, 1);
    const std::string prefix = "Previews cannot be loaded: " + fake.string() + ": ";
    EXPECT_EQ(run.out.rfind(prefix, 0), 0u) << run.out;
    EXPECT_GT(run.out.size(), prefix.size() + 1) << run.out;
}
#endif
