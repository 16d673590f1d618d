// The entry-by-entry index walk: which entry answers for which video frame,
// when the walk restarts, and that it never reads past the last entry.

#include "kit/ReferenceIndexWalk.h"
#include "avi/Errors.h"
#include "kit/SpliceKit.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vidloom {
namespace {

using Entries = std::vector<std::pair<std::string, uint32_t>>;

// Entry k of the index gets a chunk of k + 1 bytes, so EntryLength - 1 tells
// which entry a walk returned. `after` is appended behind the whole file.
std::string indexFile(const std::string& name, const Entries& entries, bool audioStream = true,
                      const std::string& after = {}) {
    kit::AviBuilder b;
    b.audio = audioStream;
    for (size_t k = 0; k < entries.size(); ++k) {
        b.movie.push_back({entries[k].first, entries[k].second, std::string(k + 1, 'x')});
    }
    return kit::writeTemp(name, b.build() + after);
}

// Bytes that look like a video key-frame entry of a chunk of 999 bytes.
const std::string kFakeEntry = "00dc" + kit::le32(0x10) + kit::le32(4) + kit::le32(999);

int entryOf(const IndexEntry& e) {
    return e.EntryLength - 1;
}

TEST(AviHandler, AudioEntriesAreNotCounted) {
    const AviHeader info(indexFile("h-audio-first.avi", {{"01wb", 0}, {"00dc", 0}, {"00dc", 0}}));
    ReferenceIndexWalk h(info);
    EXPECT_EQ(entryOf(h.seekVideoFrame(0)), 1);
    EXPECT_EQ(entryOf(h.seekVideoFrame(1)), 2);
    EXPECT_EQ(entryOf(h.seekVideoFrame(-7)), 1); // anything below 0 is the first video entry
}

TEST(AviHandler, TheConstructorsAudioSearchPassesEarlyFrames) {
    const AviHeader info(indexFile("h-audio-third.avi", {{"00dc", 0}, {"00dc", 0}, {"01wb", 0}}));
    ReferenceIndexWalk h(info);
    EXPECT_EQ(h.EntryNo, 2); // stands on the first audio entry
    EXPECT_EQ(entryOf(h.seekVideoFrame(1)), 1);
    EXPECT_EQ(h.EntryNo, 2) << "frame 1 was already passed: no walk";
    EXPECT_EQ(entryOf(h.seekVideoFrame(0)), 0);
    EXPECT_EQ(h.EntryNo, 0) << "an earlier frame restarts from entry 0";
}

TEST(AviHandler, EarlierFramesRestartLaterFramesWalkOn) {
    Entries entries;
    for (int i = 0; i < 10; ++i) {
        entries.push_back({"00dc", 0});
        entries.push_back({"01wb", 0});
    }
    const AviHeader info(indexFile("h-restart.avi", entries));
    ReferenceIndexWalk h(info);
    EXPECT_EQ(entryOf(h.seekVideoFrame(5)), 10);
    EXPECT_EQ(entryOf(h.seekVideoFrame(2)), 4);
    EXPECT_EQ(h.EntryNo, 4);
    EXPECT_EQ(entryOf(h.seekVideoFrame(7)), 14);
    EXPECT_EQ(h.VideoNo, 7);
}

TEST(AviHandler, OnlyDataChunksOfTheVideoStreamAreFrames) {
    EXPECT_TRUE(isAudioEntry("01wb"));
    EXPECT_TRUE(isAudioEntry("02wx"));
    EXPECT_FALSE(isAudioEntry("01WB"));
    EXPECT_FALSE(isAudioEntry("ix01"));
    const AviHeader info(indexFile("h-ids.avi", {{"00dc", 0},
                                                 {"01WB", 0},
                                                 {"ix00", 0},
                                                 {"00pc", 0},
                                                 {"7Fxx", 0},
                                                 {"01dc", 0},
                                                 {"01wb", 0},
                                                 {"00db", 0}}));
    ReferenceIndexWalk h(info);
    const int expected[] = {0, 7, 7};
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(entryOf(h.seekVideoFrame(n)), expected[n]) << "frame " << n;
    }
}

TEST(AviHandler, ASingleStreamFileDoesNotLookForAudio) {
    const Entries entries{{"00dc", 0}, {"01wb", 0}, {"00dc", 0}};
    const AviHeader single(indexFile("h-single.avi", entries, false));
    ASSERT_TRUE(single.NoAudio);
    EXPECT_EQ(ReferenceIndexWalk(single).EntryNo, 0);
    const AviHeader two(indexFile("h-two.avi", entries, true));
    EXPECT_EQ(ReferenceIndexWalk(two).EntryNo, 1);
}

TEST(AviHandler, AnIndexSizeNotAMultipleOf16DropsTheRest) {
    kit::AviBuilder b;
    b.audio = false;
    for (int k = 0; k < 63; ++k) {
        b.movie.push_back({"00dc", 0, std::string(size_t(k + 1), 'x')});
    }
    std::string bytes = b.build();
    kit::put32(bytes, b.offsets().idx1 + 4, 1000);
    const AviHeader info(kit::writeTemp("h-1000.avi", bytes));
    ReferenceIndexWalk h(info);
    EXPECT_EQ(h.EntryCount, 62);
    EXPECT_EQ(entryOf(h.seekVideoFrame(62)), 61) << "entry 62 is outside the index";
}

TEST(AviHandler, RequestsPastTheLastVideoEntryGiveTheLastOne) {
    // A key-frame look-alike right after the index must never be read.
    const AviHeader endsVideo(
        indexFile("h-end-video.avi", {{"00dc", 0x10}, {"00dc", 0}}, true, kFakeEntry));
    const AviHeader endsAudio(
        indexFile("h-end-audio.avi", {{"00dc", 0x10}, {"00dc", 0}, {"01wb", 0x10}, {"01wb", 0x10}},
                  true, kFakeEntry));
    for (const AviHeader* info : {&endsVideo, &endsAudio}) {
        for (int32_t n : {2, 3, 50, INT32_MAX}) {
            ReferenceIndexWalk h(*info);
            const IndexEntry e = h.seekVideoFrame(n);
            EXPECT_EQ(entryOf(e), 1) << info->FileName << " frame " << n;
            EXPECT_FALSE(e.IsKeyFrame);
            EXPECT_LE(h.EntryNo, h.EntryCount);
        }
    }
    // On one handler too, in any order.
    ReferenceIndexWalk h(endsAudio);
    EXPECT_EQ(entryOf(h.seekVideoFrame(9)), 1);
    EXPECT_EQ(entryOf(h.seekVideoFrame(4)), 1);
    EXPECT_EQ(entryOf(h.seekVideoFrame(0)), 0);
    EXPECT_EQ(entryOf(h.seekVideoFrame(1)), 1);
}

TEST(AviHandler, IndexesWithoutVideoEntriesGiveNoKeyFrame) {
    const AviHeader audioOnly(
        indexFile("h-audio-only.avi", {{"01wb", 0x10}, {"01wb", 0x10}}, true, kFakeEntry));
    const AviHeader empty(indexFile("h-empty-index.avi", {}, true, kFakeEntry));
    for (const AviHeader* info : {&audioOnly, &empty}) {
        for (int32_t n : {0, 1, 5}) {
            ReferenceIndexWalk h(*info);
            const IndexEntry e = h.seekVideoFrame(n);
            EXPECT_FALSE(e.IsKeyFrame) << info->FileName;
            EXPECT_TRUE(e.EntryId.empty());
            EXPECT_FALSE(keyFrameByWalk(*info, n));
        }
    }
    EXPECT_EQ(ReferenceIndexWalk(empty).EntryCount, 0);
}

TEST(AviHandler, OnlyTheKeyFrameBitCounts) {
    const AviHeader info(
        indexFile("h-flags.avi",
                  {{"00dc", 0x10}, {"00dc", 0x12}, {"00dc", 0x01}, {"00dc", 0x11}, {"00dc", 0}}));
    const bool expected[] = {true, true, false, true, false};
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(keyFrameByWalk(info, n), expected[n]) << "frame " << n;
    }
}

TEST(AviHandler, AMissingOrCutIndexRaisesTheIoErrorNamingTheFile) {
    // The header reader needs the index size too, so the index goes after.
    kit::AviBuilder b;
    b.addFrames(4);
    const std::string full = b.build();
    const std::string noIndex = kit::writeTemp("h-no-index.avi", full);
    const AviHeader info(noIndex);
    kit::writeTemp("h-no-index.avi", full.substr(0, b.offsets().idx1));
    try {
        ReferenceIndexWalk h(info);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_NE(std::string(e.what()).find(noIndex), std::string::npos) << e.what();
    }

    kit::AviBuilder c;
    c.addFrames(10); // 20 entries, video at even entries
    std::string bytes = c.build();
    const std::string cut = kit::writeTemp("h-cut.avi", bytes);
    const AviHeader cutInfo(cut);
    kit::writeTemp("h-cut.avi", bytes.substr(0, c.offsets().idx1 + 8 + 16 * 7 + 5));
    EXPECT_TRUE(keyFrameByWalk(cutInfo, 2)); // entry 4 lies wholly inside
    EXPECT_THROW(keyFrameByWalk(cutInfo, 5), IoError);
}

TEST(AviHandler, AFileThatIsNotAnAviIsNotEvenOpened) {
    const std::string path = kit::writeTemp("h-wave.avi", "RIFF" + kit::le32(4) + "WAVE");
    const AviHeader info(path);
    ASSERT_FALSE(info.IsAvi);
    std::filesystem::remove(path);
    ReferenceIndexWalk h(info);
    EXPECT_EQ(h.AviFile, nullptr);
    EXPECT_FALSE(h.seekVideoFrame(0).IsKeyFrame);
    EXPECT_FALSE(keyFrameByWalk(info, 3));
}

} // namespace
} // namespace vidloom
