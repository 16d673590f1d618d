// Files over 1 GiB as capture programs and ffmpeg write them (OpenDML): the
// frame count of the whole file, key frames from the standard indexes, parts
// that are cut off, positions past 4 GiB; and the recording whose index was
// never written.

#include "avi/Errors.h"
#include "avi/index/KeyFrameIndex.h"
#include "kit/Outcome.h"
#include "kit/ReferenceIndexWalk.h"
#include "kit/SpliceKit.h"
#include "plan/Segment.h"
#include "session/AviHeaderCache.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace vidloom {
namespace {

struct Built {
    std::string bytes;
    kit::Offsets at;
    std::vector<int32_t> keys; // what the flags of the video chunks say
    int32_t frames = 0;
    int32_t firstPartFrames = 0;
};

Built randomOpenDml(std::mt19937& rng) {
    kit::AviBuilder b;
    b.openDml = true;
    b.audio = rng() % 3 != 0;
    b.audioFirst = rng() % 3 == 0;
    b.fieldIndex = rng() % 4 == 0;
    b.framesPerPart = 1 + int(rng() % 40);
    b.handler = b.compression = rng() % 6 == 0 ? "dvsd" : "XVID";
    Built built;
    const int frames = int(rng() % 150);
    for (int i = 0; i < frames; ++i) {
        const bool key = rng() % 7 == 0;
        b.addVideo(key ? 0x10 : 0, std::string(rng() % 5, 'v'));
        if (key) {
            built.keys.push_back(i);
        }
        if (b.audio && rng() % 2) {
            b.addAudio();
        }
    }
    built.bytes = b.build();
    built.at = b.offsets();
    built.frames = frames;
    built.firstPartFrames = std::min(frames, b.framesPerPart);
    return built;
}

TEST(OpenDml, FramesAndKeyFramesComeFromTheWholeFileAsItsIndexesSay) {
    std::mt19937 rng(1103);
    int cut = 0;
    for (int round = 0; round < 160; ++round) {
        Built f = randomOpenDml(rng);
        const std::string name = "odml-" + std::to_string(round) + ".avi";
        const AviHeader info(kit::writeTemp(name, f.bytes));
        ASSERT_TRUE(info.OpenDml) << round;
        EXPECT_EQ(info.RiffParts, int32_t(f.at.riffParts.size())) << round;
        EXPECT_EQ(info.TotalFrames, f.frames) << round;
        EXPECT_EQ(info.HeaderTotalFrames, f.firstPartFrames) << round;
        const bool intraOnlyWithoutKeys = info.VideoFourCC == "dvsd" && f.keys.empty();
        if (!intraOnlyWithoutKeys) {
            EXPECT_EQ(KeyFrameIndex::read(info)->keyFrameNumbers(), f.keys) << round;
        }

        // Damage after the headers were read: a part cut off, a standard
        // index pointed past the end or at something else.
        switch (rng() % 4) {
        case 0:
            f.bytes.resize(f.at.riffParts.back() +
                           rng() % (f.bytes.size() - f.at.riffParts.back()));
            ++cut;
            break;
        case 1:
            kit::put32(f.bytes, f.at.superIndex + 24 + 16 * (rng() % f.at.riffParts.size()),
                       uint32_t(f.bytes.size() + rng() % 64));
            break;
        case 2:
            f.bytes[f.at.standardIndexes[rng() % f.at.standardIndexes.size()] + 11] = 0;
            break;
        default:
            break;
        }
        kit::writeTemp(name, f.bytes);
        const auto index = KeyFrameIndex::read(info);
        for (int32_t n : {-1, 0, 1, f.frames / 2, f.frames - 1, f.frames, f.frames + 3}) {
            const auto walked = kit::outcomeOf([&] { (void)keyFrameByWalk(info, n); });
            const auto fast = kit::outcomeOf([&] { (void)index->isKeyFrame(n); });
            ASSERT_EQ(fast, walked) << "round " << round << ", frame " << n;
            if (walked.first == kit::ErrorKind::None) {
                ASSERT_EQ(index->isKeyFrame(n), keyFrameByWalk(info, n)) << round << ", " << n;
            } else {
                ASSERT_NE(walked.second.find(info.FileName), std::string::npos);
            }
        }
        // The frames before the damage keep their answers.
        for (int32_t n = 0; n < index->videoFrames() && !intraOnlyWithoutKeys; ++n) {
            ASSERT_EQ(index->bit(n), std::count(f.keys.begin(), f.keys.end(), n) == 1);
        }
    }
    EXPECT_GT(cut, 25);
}

TEST(OpenDml, AStandardIndexPast4GiBIsReadWithItsWholePosition) {
    kit::AviBuilder b;
    b.openDml = true;
    b.framesPerPart = 5;
    b.addFrames(12, 4);
    const std::string bytes = b.build();
    const kit::Offsets at = b.offsets();
    const std::string path = kit::writeTemp("odml-far.avi", bytes);
    // A copy of the last standard index beyond 4 GiB (a sparse file), with
    // the super index pointing at it.
    const uint64_t far = (uint64_t(1) << 32) + 1000;
    std::string patched = bytes;
    patched.replace(at.superIndex + 24 + 16 * 2, 8, kit::le64(far));
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(patched.data(), std::streamsize(patched.size()));
        out.seekp(std::streamoff(far));
        out.write(bytes.data() + at.standardIndexes[2],
                  std::streamsize(bytes.size() - at.standardIndexes[2]));
    }
    const AviHeader info(path);
    EXPECT_EQ(KeyFrameIndex::read(info)->keyFrameNumbers(), (std::vector<int32_t>{0, 4, 8}));
    std::filesystem::remove(path);
}

TEST(OpenDml, ASuperIndexNamingOneStandardIndexManyTimesListsItsFramesOnce) {
    for (const uint32_t slots : {8u, 21000u}) {
        kit::AviBuilder b;
        b.openDml = true;
        b.framesPerPart = 15;
        b.superIndexRoom = slots;
        b.addFrames(120, 4);
        std::string bytes = b.build();
        const size_t super = b.offsets().superIndex;
        // Every slot in use names the first part's standard index.
        const std::string first = bytes.substr(super + 24, 16);
        kit::put32(bytes, super + 4, slots);
        for (size_t k = 0; k < slots; ++k) {
            bytes.replace(super + 24 + 16 * k, 16, first);
        }
        const std::string path =
            kit::writeTemp("odml-same-" + std::to_string(slots) + ".avi", bytes);
        const AviHeader info(path);
        const auto index = KeyFrameIndex::read(info);
        const std::vector<int32_t> keys = index->keyFrameNumbers();
        EXPECT_EQ(info.TotalFrames, b.framesPerPart) << slots;
        EXPECT_EQ(index->videoFrames(), info.TotalFrames) << slots;
        EXPECT_EQ(keys, (std::vector<int32_t>{0, 4, 8, 12})) << slots;
        // The answers take memory in proportion to the file, not to the slots.
        EXPECT_LE(index->memoryBytes(), bytes.size() / 64) << slots;
        const kit::CliRun run = kit::cli({"keyframes", path, "--near", "14"});
        EXPECT_EQ(run.out, "12 -\n") << slots << run.err;
    }
}

TEST(OpenDml, TheReportAndPlanCountEveryPartAndTheTagSearchStaysInTheFirst) {
    kit::AviBuilder b;
    b.openDml = true;
    b.framesPerPart = 10;
    b.brand = true;
    b.brandTags = {{"ISFT", "capture tool"}};
    b.addFrames(25, 5);
    // Movie data of a later part that spells INFO: not a tag list.
    b.addVideo(0x10, "INFO" + kit::le32(0x7FFFFFF0u));
    AviHeaderCache cache;
    const AviHeader& info = cache.get(kit::writeTemp("odml-report.avi", b.build()));
    EXPECT_EQ(info.TotalFrames, 26);
    EXPECT_EQ(info.RiffParts, 3);
    EXPECT_TRUE(info.BrandTagFound);
    EXPECT_EQ(info.BrandTagPos, int32_t(b.offsets().brandInfo));
    EXPECT_NE(info.Report.find("Frames : 26 @"), std::string::npos) << info.Report;
    EXPECT_EQ(Segment(info.FileName, cache).length, 26);

    const kit::CliRun run = kit::cli({"info", "--json", info.FileName});
    EXPECT_NE(run.out.find("\"openDml\": true"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"riffParts\": 3"), std::string::npos);
    EXPECT_NE(run.out.find("\"headerTotalFrames\": 10"), std::string::npos);
    EXPECT_EQ(kit::cli({"keyframes", info.FileName}).out, "0\n5\n10\n15\n20\n25\n");
}

TEST(InterruptedRecording, TheFramesAreFoundInTheMovieData) {
    kit::AviBuilder b;
    b.addFrames(8, 2);
    std::string bytes = b.build();
    // The movie list's size word as a recorder writes it before the first frame.
    kit::put32(bytes, b.offsets().moviSize, 4);
    const std::string path = kit::writeTemp("interrupted.avi", bytes);
    const AviHeader info(path);
    EXPECT_TRUE(info.indexRebuilt());
    EXPECT_EQ(info.TotalFrames, 8);
    EXPECT_EQ(KeyFrameIndex::read(info)->videoFrames(), 8);
    EXPECT_NE(info.Report.find("index rebuilt from the movie data: 8 of 8 frames present"),
              std::string::npos)
        << info.Report;
    EXPECT_EQ(kit::cli({"keyframes", path}).status, 0);
}

TEST(IntraOnlyCodecs, EveryFrameIsKeyWhenTheWriterMarkedNone) {
    for (const std::string codec : {"MJPG", "dvsd", "XVID"}) {
        kit::ClipOptions options;
        options.frames = 6;
        options.keyEvery = 0;
        options.fourcc = codec;
        const AviHeader info(kit::makeClip("intra-" + codec + ".avi", options));
        EXPECT_EQ(KeyFrameIndex::read(info)->keyFrameNumbers().size(), codec == "XVID" ? 0u : 6u)
            << codec;
    }
}

} // namespace
} // namespace vidloom
