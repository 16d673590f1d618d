// The tag record and the INFO-list reader.

#include "avi/InfoTags.h"
#include "avi/AviHeader.h"
#include "avi/Errors.h"
#include "kit/AviBuilder.h"

#include <gtest/gtest.h>

using namespace vidloom;
using kit::le32;

namespace {

// An INFO list at offset 8 of a small file (a few bytes of lead-in so that
// the list's size word is not at offset 0), followed by tail.
struct ListFile {
    std::string path;
    int32_t infoPos;
};

ListFile writeList(const std::string& body, uint32_t listSize, const std::string& tail = "") {
    const std::string bytes = "lead" + std::string("LIST") + le32(listSize) + "INFO" + body + tail;
    return {kit::writeTemp("list.bin", bytes), 12};
}

// A list whose size word follows the RIFF convention (type word + body).
ListFile writeList(const std::string& body) {
    return writeList(body, uint32_t(body.size() + 4));
}

std::unique_ptr<InfoTags> readList(const ListFile& list) {
    BinaryFile file(list.path);
    return readInfoTags(file, list.infoPos);
}

std::string sub(const std::string& id, uint32_t n, const std::string& data) {
    return id + le32(n) + data;
}

} // namespace

TEST(BrandInfo, NewRecordHoldsTheSixStandardTags) {
    const InfoTags record;
    EXPECT_EQ(record.idColumn(), "InfoTag\r\nISBJ\r\nIART\r\nICOP\r\nICMT\r\nISRC\r\nISFT");
    EXPECT_EQ(record.toString(), "Contents\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST(BrandInfo, AddInfoUpdatesInPlaceIgnoringCase) {
    InfoTags record;
    EXPECT_EQ(record.addInfo("icmt", "comment"), 3);
    EXPECT_EQ(record.id(3), "ICMT"); // the key keeps its first spelling
    EXPECT_EQ(record.addInfo("IDIT", "2004"), 6);
    EXPECT_EQ(record.addInfo("idit", "2005"), 6);
    EXPECT_EQ(record.count(), 7);
    EXPECT_EQ(record.indexOf("IdIt"), 6);
    EXPECT_EQ(record.indexOf("INAM"), -1);
    EXPECT_EQ(record.toString(), "Contents\r\n\r\n\r\n\r\ncomment\r\n\r\n\r\n2005");
}

TEST(BrandInfo, ReadsSubChunksInOrderAfterTheStandardOnes) {
    const auto record = readList(writeList(kit::chunk("ISFT", "Lavf") + kit::chunk("IDIT", "Mon")));
    ASSERT_EQ(record->count(), 7);
    EXPECT_EQ(record->value(5), "Lavf");
    EXPECT_EQ(record->id(6), "IDIT");
    EXPECT_EQ(record->value(6), "Mon"); // odd length: pad byte skipped
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(record->value(i), "");
    }

    // A lower-case id updates the standard entry.
    EXPECT_EQ(readList(writeList(kit::chunk("isbj", "subject")))->value(0), "subject");
}

TEST(BrandInfo, TrailingNulsAndPadding) {
    // Length 5 "ABCD\0": four letters, and the next sub-chunk 14 bytes on.
    const auto padded = readList(
        writeList(sub("ICMT", 5, std::string("ABCD\0", 5)) + "p" + kit::chunk("ISRC", "next")));
    EXPECT_EQ(padded->value(3), "ABCD");
    EXPECT_EQ(padded->value(4), "next");

    struct Case {
        std::string stored, value;
    };
    for (const Case& c : {Case{std::string("\0", 1), ""}, Case{std::string("abc\0\0", 5), "abc"},
                          Case{std::string("ab\0\0\0", 5), std::string("ab\0", 3)}, Case{"", ""},
                          Case{std::string("a\0b", 3), std::string("a\0b", 3)}}) {
        const auto record = readList(writeList(kit::chunk("ICMT", c.stored)));
        EXPECT_EQ(record->value(3), c.value) << c.stored.size();
    }
}

TEST(BrandInfo, ListSizeBoundsTheWalk) {
    const std::string body =
        kit::chunk("ISBJ", "a") + kit::chunk("IART", "b") + kit::chunk("ICOP", "");
    // The RIFF convention skips an empty sub-chunk at the very end.
    const auto riff = readList(writeList(body, uint32_t(body.size() + 4), kit::chunk("ICMT", "x")));
    EXPECT_EQ(riff->value(1), "b");
    EXPECT_EQ(riff->value(3), "");
    // A size that counts the list header reads every sub-chunk.
    const auto whole =
        readList(writeList(body + kit::chunk("ICMT", "x"), uint32_t(body.size() + 22)));
    EXPECT_EQ(whole->value(3), "x");
    // The first sub-chunk is read even when the size says there is none.
    EXPECT_EQ(readList(writeList(kit::chunk("ISBJ", "one"), 0))->value(0), "one");
}

TEST(BrandInfo, LongValuesKeepTheirFirst255BytesAndTheWalkGoesOn) {
    std::string longValue;
    for (int i = 0; i < 301; ++i) {
        longValue += char('a' + i % 26);
    }
    const auto record =
        readList(writeList(kit::chunk("ICMT", longValue) + kit::chunk("ISFT", "after")));
    EXPECT_EQ(record->value(3), longValue.substr(0, 255));
    EXPECT_EQ(record->value(5), "after");
}

TEST(BrandInfo, UntrustedLengthWords) {
    // A length of -8 would leave the walk where it is; any negative length
    // ends it with an error instead of a hang.
    for (const uint32_t n : {uint32_t(-8), uint32_t(-1), 0x80000000u}) {
        const ListFile list =
            writeList(sub("ICMT", n, "") + kit::chunk("ISFT", "x") + std::string(64, '\0'), 1000);
        try {
            readList(list);
            FAIL() << n;
        } catch (const IoError& e) {
            const std::string msg = e.what();
            EXPECT_EQ(msg.rfind(list.path + ": ", 0), 0u) << msg;
            EXPECT_NE(msg.find("negative length"), std::string::npos) << msg;
        }
    }
    // A length far beyond the file is not allocated: the end-of-file error.
    const ListFile huge = writeList(sub("ICMT", 0x7FFFFFF0u, "tiny"));
    try {
        readList(huge);
        FAIL();
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("unexpected end of file at offset 24"),
                  std::string::npos)
            << e.what();
    }
    // A list size larger than the file: the walk runs into the end.
    EXPECT_THROW(readList(writeList(kit::chunk("ICMT", "x"), 100000)), IoError);
}

TEST(BrandInfo, ReachedThroughTheHeaderReader) {
    kit::AviBuilder b;
    b.brand = true;
    b.infoSizeCountsHeader = true;
    b.brandTags = {{"ISFT", "Sealmark"}, {"IDIT", std::string("2004\0", 5)}, {"ICMT", ""}};
    b.addFrames(2);
    const AviHeader info(kit::writeTemp("tagged.avi", b.build()));
    ASSERT_NE(info.BrandInfo, nullptr);
    EXPECT_EQ(info.BrandInfo->idColumn(),
              "InfoTag\r\nISBJ\r\nIART\r\nICOP\r\nICMT\r\nISRC\r\nISFT\r\nIDIT");
    EXPECT_EQ(info.BrandInfo->value(6), "2004");
}
