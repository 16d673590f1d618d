#include "avi/BinaryFile.h"
#include "avi/Errors.h"
#include "kit/AviBuilder.h"
#include "script/ScriptPlan.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vidloom;

namespace {
// The naive search the buffered one must agree with.
int64_t naiveFind(const std::string& bytes, const std::string& word, int64_t from, int64_t until) {
    for (int64_t b = from; b < until && b + int64_t(word.size()) <= int64_t(bytes.size()); ++b) {
        if (bytes.compare(size_t(b), word.size(), word) == 0) {
            return b;
        }
    }
    return -1;
}
} // namespace

TEST(BinaryFile, FindAgreesWithTheByteByByteSearchAcrossBlocks) {
    // Words placed around the 256 KiB block boundaries, including straddling ones.
    std::string bytes(600 * 1024, 'x');
    for (size_t at : {size_t(3), size_t(262142), size_t(262144 * 2 - 1), bytes.size() - 4}) {
        bytes.replace(at, 4, "movi");
    }
    const std::string path = kit::writeTemp("find.bin", bytes);
    BinaryFile f(path);
    for (int64_t from : {int64_t(0), int64_t(4), int64_t(262000), int64_t(262143), int64_t(524286),
                         int64_t(524288), int64_t(bytes.size() - 4), int64_t(bytes.size())}) {
        for (int64_t until : {int64_t(bytes.size()), int64_t(262145), int64_t(1LL << 40)}) {
            EXPECT_EQ(f.find("movi", from, until), naiveFind(bytes, "movi", from, until))
                << "from " << from << " until " << until;
        }
    }
    EXPECT_EQ(f.find("INFO", 0, int64_t(bytes.size())), -1);
}

TEST(BinaryFile, FindSeesAWordThatStraddlesABlockEndCountedFromItsStart) {
    // The search reads blocks counted from `from`. One word, searched for from
    // every start that puts it 1-3 bytes before the end of the first or second
    // block, for any power-of-two block size from 4 KiB to 512 KiB.
    const int64_t at = (int64_t(1) << 20) + 100;
    std::string bytes(size_t(at) + 1000, 'x');
    bytes.replace(size_t(at), 4, "movi");
    const std::string path = kit::writeTemp("find-straddle.bin", bytes);
    BinaryFile f(path);
    for (int shift = 12; shift <= 19; ++shift) {
        for (int64_t blocks : {1, 2}) {
            for (int64_t before : {1, 2, 3}) {
                const int64_t from = at - ((blocks << shift) - before);
                EXPECT_EQ(f.find("movi", from, int64_t(bytes.size())), at)
                    << "from " << from << " (block size 2^" << shift << ")";
            }
        }
    }
}

TEST(BinaryFile, ShortReadNamesFileAndOffsetAndKeepsPosition) {
    const std::string path = kit::writeTemp("short.bin", "RIFF");
    BinaryFile f(path);
    char buf[8];
    f.seek(2);
    try {
        f.read(buf, 4, "the RIFF size");
        FAIL() << "no error";
    } catch (const IoError& e) {
        const std::string msg = e.what();
        EXPECT_NE(msg.find(path), std::string::npos) << msg;
        EXPECT_NE(msg.find("offset 2"), std::string::npos) << msg;
        EXPECT_NE(msg.find("the RIFF size"), std::string::npos) << msg;
    }
    EXPECT_EQ(f.position(), 2);
    f.read(buf, 2);
    EXPECT_EQ(std::string(buf, 2), "FF");
    f.seek(100);
    EXPECT_THROW(f.readByte(), IoError);
}

TEST(BinaryFile, MissingFileAndFolderAreIoErrors) {
    EXPECT_THROW(BinaryFile(kit::tempDir() + "/nope.avi"), IoError);
    EXPECT_THROW(BinaryFile(kit::tempDir()), IoError);
}

TEST(BinaryFile, RefusesWhatIsNotARegularFileWithoutWaiting) {
    // A FIFO with no writer would block an ordinary open for ever; a folder or
    // a device is no video. Each is refused at once, naming the path and why.
    const std::string fifo = kit::writeTemp("nowriter.fifo", "");
    std::remove(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = std::filesystem::path(fifo).parent_path().string();
    for (const auto& [path, why] : {std::pair<std::string, std::string>{fifo, "FIFO"},
                                    {folder, "folder"},
                                    {"/dev/null", "device"}}) {
        try {
            BinaryFile f(path);
            ADD_FAILURE() << path << " was opened";
        } catch (const IoError& e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << message;
            EXPECT_NE(message.find(why), std::string::npos) << message;
        }
    }
    // A script that is a FIFO is refused the same way instead of read.
    EXPECT_THROW(readScriptFile(fifo, {}), IoError);
    std::remove(fifo.c_str());
}
