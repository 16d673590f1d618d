// The information report, the aspect verdict and the search for the tag.

#include "avi/AviReport.h"
#include "avi/AviHeader.h"
#include "avi/Errors.h"
#include "avi/InfoTags.h"
#include "kit/AviBuilder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace vidloom;
using kit::AviBuilder;

namespace {

std::unique_ptr<AviHeader> read(const std::string& name, const std::string& bytes) {
    return std::make_unique<AviHeader>(kit::writeTemp(name, bytes));
}

// Lines of the report after the first (the file name).
std::vector<std::string> lines(const std::string& report) {
    std::vector<std::string> out;
    size_t from = 0;
    for (;;) {
        const size_t at = report.find("\r\n", from);
        out.push_back(report.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) {
            return out;
        }
        from = at + 2;
    }
}

// A file whose movi size word says moviSize; the tag before the movie data
// keeps the reader away from the index that the patched size misplaces.
std::string withMoviSize(AviBuilder& b, uint32_t moviSize) {
    b.nandub = true;
    b.nandubTags = {{"ISFT", "kit"}};
    std::string bytes = b.build();
    kit::put32(bytes, b.offsets().moviSize, moviSize);
    return bytes;
}

std::string ratioVerdict(int32_t w, int32_t h) {
    return aspectVerdict(static_cast<double>(static_cast<long double>(w) / h), w, h);
}

} // namespace

TEST(AviReport, TheWholeReportOfAFileWithAudio) {
    // The movi size word is patched, so the index is rebuilt from the frames.
    AviBuilder b;
    b.width = 640;
    b.height = 272;
    b.addFrames(1500);
    const std::string path = kit::writeTemp("report.avi", withMoviSize(b, 10000000));
    const AviHeader info(path);
    EXPECT_EQ(info.Report, path + "\r\nAVI Information :"
                                  "\r\n Length : 00:00:01:00.000"
                                  "\r\n Video :"
                                  "\r\n  Codec  : XVID @ ~1172 Kb/sec"
                                  "\r\n  Frames : 1500 @ 25.0fps"
                                  "\r\n  Index  : index rebuilt from the movie data: 1500 of "
                                  "1500 frames present"
                                  "\r\n  Image  : 640x272 24bit"
                                  "\r\n  Aspect Ratio : 2.35:1 is valid."
                                  "\r\n Audio :  85, 128kbps, 44100Hz stereo"
                                  "\r\nChecking for nandub tag..."
                                  "\r\nFound nandub tag.");
    EXPECT_EQ(info.AudioText, " Audio :  85, 128kbps, 44100Hz stereo");
    EXPECT_EQ(info.LengthMs, 60000);
}

TEST(AviReport, ShortFilesLengthAndBitRate) {
    // 25 frames of 20 ms: the Length line keeps 500 ms, the bit rate divides
    // by one second.
    AviBuilder b;
    b.audio = false;
    b.microSecPerFrame = 20000;
    b.addFrames(25);
    const auto info = read("short.avi", withMoviSize(b, 128 * 100 + 25 * 8));
    const auto l = lines(info->Report);
    EXPECT_EQ(l[2], " Length : 00:00:00:00.500");
    EXPECT_EQ(l[4], "  Codec  : XVID @ ~100 Kb/sec");
    EXPECT_EQ(l[5], "  Frames : 25 @ 50.0fps");
    EXPECT_EQ(l[8].rfind("  Aspect Ratio", 0), 0u);
    EXPECT_EQ(l[9], "Checking for nandub tag..."); // no audio line
    EXPECT_EQ(info->LengthMs, 1000);
    EXPECT_EQ(info->LengthMsUnclamped, 500);

    // A large audio term makes the video rate negative, written as 0.
    AviBuilder loud;
    loud.bytesPerSec = 1000000000;
    loud.addFrames(2);
    EXPECT_EQ(lines(read("loud.avi", loud.build())->Report)[4], "  Codec  : XVID @ ~0 Kb/sec");
}

TEST(AviReport, FrameRateThousandthsAndChannels) {
    struct Case {
        uint32_t microSec;
        uint16_t channels;
        std::string frames, audioEnd;
    };
    for (const Case& c :
         {Case{39936, 2, "25.040fps", "stereo"}, Case{41708, 1, "23.976fps", "mono"},
          Case{40000, 6, "25.0fps", "mono"}, Case{39998, 2, "25.001fps", "stereo"}}) {
        AviBuilder b;
        b.microSecPerFrame = c.microSec;
        b.channels = c.channels;
        b.addFrames(2);
        const auto l = lines(read("rate.avi", b.build())->Report);
        EXPECT_EQ(l[5], "  Frames : 2 @ " + c.frames) << c.microSec;
        EXPECT_EQ(l[8].substr(l[8].size() - c.audioEnd.size()), c.audioEnd);
    }
}

TEST(AviReport, AspectText) {
    EXPECT_EQ(aspectText(9.0 / 8.0), "1.13"); // a true half goes up
    EXPECT_EQ(aspectText(4.0 / 3.0), "1.33");
    EXPECT_EQ(aspectText(640.0 / 272.0), "2.35");
    EXPECT_EQ(aspectText(12.0), "12.00");
    EXPECT_EQ(aspectText(0.0), "0.00");
    EXPECT_EQ(aspectText(1.005), "1.00"); // the double lies below 1.005
    EXPECT_EQ(aspectText(0.375), "0.38");
    EXPECT_EQ(aspectText(-1.5), "-1.50");
}

TEST(AviReport, AspectVerdictPasses) {
    EXPECT_EQ(ratioVerdict(720, 576), "invalid.");
    EXPECT_EQ(ratioVerdict(720, 540), "valid.");
    EXPECT_EQ(ratioVerdict(640, 272), "valid.");
    EXPECT_EQ(ratioVerdict(352, 288), "valid (VCD stretch).");
    EXPECT_EQ(ratioVerdict(352, 240), "valid (VCD stretch).");
    EXPECT_EQ(ratioVerdict(352, 576), "invalid.");
    EXPECT_EQ(ratioVerdict(720, 400), "valid (overcropped + /16 rule).");
    EXPECT_EQ(ratioVerdict(680, 400), "valid (overcropped + /16 rule).");
    EXPECT_EQ(ratioVerdict(724, 400), "valid.");
    EXPECT_EQ(ratioVerdict(716, 400), "invalid.");
}

TEST(AviReport, AspectBoundsHeldInExtendedPrecision) {
    // A ratio written exactly like a bound: the double lies on one side of
    // the extended bound or the other.
    struct Case {
        int32_t w, h;
        bool inside;
    };
    for (const Case c :
         {Case{24675, 10000, true}, Case{20045, 10000, true}, Case{17575, 10000, true},
          Case{181, 100, true}, Case{162, 100, true}, Case{169, 100, true},
          Case{12633, 10000, true}, Case{22325, 10000, false}, Case{22155, 10000, false},
          Case{179, 100, false}, Case{187, 100, false}, Case{13966, 10000, false}}) {
        EXPECT_EQ(ratioVerdict(c.w, c.h), c.inside ? "valid." : "invalid.") << c.w << "/" << c.h;
    }
}

TEST(AviReport, ReportedAspectComesFromTheMainHeader) {
    AviBuilder b;
    b.width = 720;
    b.height = 400;
    b.addFrames(1);
    const auto info = read("crop.avi", b.build());
    EXPECT_DOUBLE_EQ(info->AspectRatio, 1.8);
    EXPECT_EQ(info->AspectText, "1.80");
    EXPECT_EQ(lines(info->Report)[7], "  Aspect Ratio : 1.80:1 is valid (overcropped + /16 rule).");
}

TEST(AviReport, NandubTagBeforeTheMovieDataWinsOverTheBrandTag) {
    AviBuilder b;
    b.nandub = true;
    b.nandubTags = {{"ISBJ", "first"}};
    b.brand = true;
    b.brandTags = {{"ISBJ", "second"}};
    b.addFrames(2);
    const auto info = read("both.avi", b.build());
    EXPECT_TRUE(info->NandubTagFound);
    EXPECT_FALSE(info->BrandTagFound);
    EXPECT_EQ(info->NandubTagPos, int32_t(b.offsets().nandubInfo));
    EXPECT_EQ(info->BrandInfo->value(0), "first");
    const auto l = lines(info->Report);
    EXPECT_EQ(l.back(), "Found nandub tag.");
    EXPECT_EQ(l[l.size() - 2], "Checking for nandub tag...");
}

TEST(AviReport, BrandTagAfterTheIndex) {
    AviBuilder b;
    b.brand = true;
    b.brandTags = {{"ISFT", "Sealmark"}, {"IDIT", "2004"}};
    b.addFrames(2);
    const auto info = read("brand.avi", b.build());
    EXPECT_FALSE(info->NandubTagFound);
    EXPECT_TRUE(info->BrandTagFound);
    EXPECT_EQ(info->BrandTagPos, int32_t(b.offsets().brandInfo));
    EXPECT_EQ(info->Report.substr(info->Report.find("\r\nChecking")),
              "\r\nChecking for nandub tag...\r\nnandub tag Not Found\r\nFound Sealmark tag.");
    ASSERT_EQ(info->BrandInfo->count(), 7);
    EXPECT_EQ(info->BrandInfo->value(5), "Sealmark");
    EXPECT_EQ(info->BrandInfo->id(6), "IDIT");
}

TEST(AviReport, InfoInsideTheMovieDataIsFoundByNeitherSearch) {
    AviBuilder b;
    b.addFrames(1);
    b.addVideo(0x10, "LIST\x10\0\0\0INFO");
    const auto info = read("moviinfo.avi", b.build());
    EXPECT_FALSE(info->NandubTagFound);
    EXPECT_FALSE(info->BrandTagFound);
    EXPECT_EQ(lines(info->Report).back(), "nandub tag Not Found");
    EXPECT_EQ(info->BrandInfo->idColumn(),
              "InfoTag\r\nISBJ\r\nIART\r\nICOP\r\nICMT\r\nISRC\r\nISFT");
    EXPECT_EQ(info->BrandInfo->toString(), "Contents\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST(AviReport, BrandSearchNeedsTheIndexHeader) {
    // No index at all, or one whose size runs past the end of the file:
    // nothing is looked for after an index that is not there.
    AviBuilder none;
    none.writeIndex = false;
    none.brand = true;
    none.addFrames(2);
    const auto noIndex = read("noindex.avi", none.build());
    EXPECT_FALSE(noIndex->BrandTagFound);
    EXPECT_EQ(noIndex->TotalFrames, 2);

    AviBuilder corrupt;
    corrupt.addFrames(2);
    std::string bytes = corrupt.build();
    kit::put32(bytes, corrupt.offsets().idx1 + 4, 4096);
    EXPECT_FALSE(read("badindex.avi", bytes)->BrandTagFound);

    // An index size pointing exactly at the last 4 bytes: probed, no error.
    kit::put32(bytes, corrupt.offsets().idx1 + 4,
               uint32_t(bytes.size() - 4 - corrupt.offsets().idx1 - 4));
    EXPECT_FALSE(read("lastindex.avi", bytes)->BrandTagFound);
}

TEST(AviReport, MoviAtTheVeryStartLeavesTheNandubSearchUnbounded) {
    // "movi" right after the form type puts MoviSizePos at 8: the nandub
    // search then goes through the whole file.
    AviBuilder b;
    b.brand = true;
    b.brandTags = {{"ICMT", "late"}};
    b.addFrames(1);
    std::string bytes = b.build();
    bytes.insert(12, "movi");
    const auto info = read("early.avi", bytes);
    EXPECT_EQ(info->MoviSizePos, 8);
    EXPECT_TRUE(info->NandubTagFound);
    EXPECT_EQ(info->NandubTagPos, int32_t(b.offsets().brandInfo + 4));
    EXPECT_EQ(info->BrandInfo->value(3), "late");

    AviBuilder untagged;
    untagged.addFrames(1);
    std::string plain = untagged.build();
    plain.insert(12, "movi");
    const std::string path = kit::writeTemp("early2.avi", plain);
    try {
        AviHeader tagless(path);
        FAIL();
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find("while looking for \"INFO\""), std::string::npos)
            << e.what();
    }
}

TEST(AviReport, BrandSearchInAFileOver2GiBStopsAtTheLastOffset) {
    // A sparse file: headers at the start, the index moved to just below
    // 2 GiB by the movi size word, the file ending beyond 2 GiB.
    AviBuilder b;
    b.addFrames(1);
    const std::string bytes = b.build();
    const int64_t indexPos = 0x7FFFFF00;
    const std::string idx = bytes.substr(b.offsets().idx1);
    std::string head = bytes.substr(0, b.offsets().idx1);
    kit::put32(head, b.offsets().moviSize, uint32_t(indexPos - b.offsets().moviSize - 4));

    for (const bool tagAtTheEdge : {false, true}) {
        const std::string path = kit::writeTemp("big.avi", head);
        {
            std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
            f.seekp(indexPos);
            f.write(idx.data(), std::streamsize(idx.size()));
            if (tagAtTheEdge) {
                // A tag just below the last offset the search can take.
                const std::string tag = kit::infoList({{"ISFT", "abc"}});
                f.seekp(0x7FFFFFFF - 40);
                f.write(tag.data(), std::streamsize(tag.size()));
            }
        }
        std::filesystem::resize_file(path, (int64_t(1) << 31) + 4096);
        const AviHeader info(path);
        EXPECT_EQ(info.IndexPos, indexPos);
        EXPECT_EQ(info.BrandTagFound, tagAtTheEdge);
        if (tagAtTheEdge) {
            EXPECT_EQ(info.BrandTagPos, 0x7FFFFFFF - 40 + 8);
            EXPECT_EQ(info.BrandInfo->value(5), "abc");
        }
        std::filesystem::remove(path);
    }
}
