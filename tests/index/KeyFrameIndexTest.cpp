// The key-frame index answers every question exactly as a new entry-by-entry
// walk would, errors included, and is read once per state of the file.

#include "avi/index/KeyFrameIndex.h"
#include "avi/Errors.h"
#include "kit/ReferenceIndexWalk.h"
#include "kit/SpliceKit.h"
#include "plan/SplicePlan.h"
#include "present/PanelLayout.h"
#include "session/AviHeaderCache.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace vidloom {
namespace {

// What a question gave: an answer or an error of some kind with its text.
struct Outcome {
    bool key = false;
    StoredError error;
    bool operator==(const Outcome& o) const {
        return key == o.key && error.kind == o.error.kind && error.message == o.error.message;
    }
};

template <typename Ask> Outcome outcomeOf(Ask&& ask) {
    Outcome o;
    try {
        o.key = ask();
    } catch (const VidloomError& e) {
        o.error = StoredError::of(e);
    }
    return o;
}

std::ostream& operator<<(std::ostream& s, const Outcome& o) {
    return s << (o.error.empty() ? (o.key ? "key" : "not key") : "error: " + o.error.message);
}

TEST(KeyFrameIndex, AnswersLikeTheWalkOnRandomIndexes) {
    std::mt19937 rng(20240601);
    const std::vector<std::string> ids{"00dc", "00dc", "00dc", "01wb", "01wb", "01WB",
                                       "ix00", "00pc", "00db", "02wb", "7Fxx", "01dc"};
    const std::vector<uint32_t> flags{0, 0, 0x10, 0x10, 0x12, 0x01, 0x11, 0xFFFFFFFF};
    int truncatedCases = 0;
    int errorAnswers = 0;
    int keyAnswers = 0;
    for (int round = 0; round < 250; ++round) {
        kit::AviBuilder b;
        b.audio = rng() % 4 != 0;
        // Motion JPEG: every frame is key when the writer flagged none.
        b.handler = b.compression = rng() % 5 == 0 ? "MJPG" : "XVID";
        const int count = int(rng() % 24);
        for (int k = 0; k < count; ++k) {
            b.movie.push_back({ids[rng() % ids.size()], flags[rng() % flags.size()],
                               std::string(rng() % 3, 'x')});
        }
        std::string bytes =
            b.build() +
            (rng() % 2 ? "00dc" + kit::le32(0x10) + kit::le32(4) + kit::le32(0) : std::string());
        const std::string path = kit::writeTemp("kfi-" + std::to_string(round) + ".avi", bytes);
        const AviHeader info(path);
        // Damage the file after its headers were read.
        const size_t entries = b.offsets().idx1 + 8;
        switch (rng() % 6) {
        case 0: // cut inside the index
            bytes.resize(entries + rng() % (16 * size_t(count) + 1));
            ++truncatedCases;
            break;
        case 1: // an index that claims more entries than the file holds
            kit::put32(bytes, b.offsets().idx1 + 4, uint32_t(16 * count + 16 * (1 + rng() % 4)));
            bytes.resize(std::min(bytes.size(), entries + 16 * size_t(count)));
            ++truncatedCases;
            break;
        case 2: // cut before the index size
            bytes.resize(b.offsets().idx1 + rng() % 8);
            break;
        default:
            break;
        }
        kit::writeTemp("kfi-" + std::to_string(round) + ".avi", bytes);

        const auto index = KeyFrameIndex::read(info);
        EXPECT_LE(index->memoryBytes(), size_t(count) / 8 + 8); // a bit each, in words
        std::vector<int32_t> questions{INT32_MIN, -1, INT32_MAX, count, count + 1};
        for (int q = 0; q < 12; ++q) {
            questions.push_back(int32_t(rng() % (count + 4)) - 2);
        }
        std::unique_ptr<ReferenceIndexWalk> longLived;
        for (int32_t n : questions) {
            const Outcome walk = outcomeOf([&] { return keyFrameByWalk(info, n); });
            const Outcome cached = outcomeOf([&] { return index->isKeyFrame(n); });
            ASSERT_EQ(walk, cached) << "round " << round << ", frame " << n;
            errorAnswers += !walk.error.empty();
            keyAnswers += walk.error.empty() && walk.key;
            if (!walk.error.empty() || b.handler == "MJPG") {
                continue; // (a handler gives the entry as flagged, without the codec's rule)
            }
            // A handler asked one question after the other agrees as well.
            if (!longLived) {
                longLived = std::make_unique<ReferenceIndexWalk>(info);
            }
            ASSERT_EQ(longLived->seekVideoFrame(n).IsKeyFrame, walk.key)
                << "round " << round << ", frame " << n << " on a used handler";
        }
    }
    // The random cases reach every kind of answer.
    EXPECT_GT(truncatedCases, 40);
    EXPECT_GT(errorAnswers, 100);
    EXPECT_GT(keyAnswers, 100);
}

TEST(KeyFrameIndex, ATruncatedIndexAnswersTheFramesItHolds) {
    kit::AviBuilder b;
    b.addFrames(10, 3); // key frames 0, 3, 6, 9; audio after every frame
    std::string bytes = b.build();
    const std::string path = kit::writeTemp("kfi-cut.avi", bytes);
    const AviHeader info(path);
    kit::writeTemp("kfi-cut.avi", bytes.substr(0, b.offsets().idx1 + 8 + 16 * 9));
    const auto index = KeyFrameIndex::read(info);
    EXPECT_EQ(index->readableEntries(), 9);
    EXPECT_EQ(index->keyFrameNumbers(), (std::vector<int32_t>{0, 3}));
    EXPECT_TRUE(index->isKeyFrame(3));
    EXPECT_THROW(index->isKeyFrame(5), IoError);
    EXPECT_NE(index->walkError().message.find(path), std::string::npos);
}

TEST(KeyFrameIndex, AStampRoundSeesEachFileAtOneMomentAndOnlyWhileOpen) {
    AviHeaderCache cache;
    kit::ClipOptions options;
    options.frames = 20;
    options.keyEvery = 10;
    const std::string path = kit::makeClip("kfi-round.avi", options);
    const AviHeader& info = cache.get(path);
    const auto rewrite = [&](int keyEvery) {
        options.keyEvery = keyEvery;
        const auto before = std::filesystem::last_write_time(path);
        kit::makeClip("kfi-round.avi", options);
        std::filesystem::last_write_time(path, before + std::chrono::seconds(2));
    };
    {
        const AviHeaderCache::StampRound round(cache);
        EXPECT_FALSE(cache.isKeyFrame(info, 5));
        rewrite(5);
        EXPECT_FALSE(cache.isKeyFrame(info, 5)) << "one round, one moment";
    }
    EXPECT_TRUE(cache.isKeyFrame(info, 5)) << "the change is seen once the round is over";
    EXPECT_EQ(cache.indexReads(), 2);

    // Every layout is a round of its own: a file changed between two layouts
    // is read again at the second.
    SplicePlan plan(path, cache);
    EXPECT_TRUE(panelsOf(plan)[0].startsOnKeyFrame);
    plan.applyEdit(plan.segments.at(0).id(), "5", "20", "15");
    EXPECT_TRUE(panelsOf(plan)[0].startsOnKeyFrame);
    rewrite(10);
    EXPECT_FALSE(panelsOf(plan)[0].startsOnKeyFrame);
    EXPECT_EQ(cache.indexReads(), 3);
}

TEST(KeyFrameIndex, TheCacheReadsAnIndexOncePerStateOfTheFile) {
    AviHeaderCache cache;
    kit::ClipOptions options;
    options.frames = 50;
    options.keyEvery = 10;
    const std::string path = kit::makeClip("kfi-reuse.avi", options);
    const AviHeader& info = cache.get(path);
    for (int n = 0; n < 200; ++n) {
        EXPECT_EQ(cache.isKeyFrame(info, n % 50), n % 10 == 0);
    }
    EXPECT_EQ(cache.indexReads(), 1);

    // The same size, other key frames, a later modification time.
    options.keyEvery = 5;
    kit::makeClip("kfi-reuse.avi", options);
    const auto before = std::filesystem::last_write_time(path);
    std::filesystem::last_write_time(path, before + std::chrono::seconds(2));
    EXPECT_TRUE(cache.isKeyFrame(info, 5));
    EXPECT_EQ(cache.indexReads(), 2);
    EXPECT_TRUE(cache.isKeyFrame(info, 15));
    EXPECT_EQ(cache.indexReads(), 2);

    // A file that cannot be opened is not remembered as such.
    std::filesystem::remove(path);
    EXPECT_THROW(cache.isKeyFrame(info, 0), IoError);
    kit::makeClip("kfi-reuse.avi", options);
    EXPECT_TRUE(cache.isKeyFrame(info, 0));
}

TEST(KeyFrameIndex, HoldsAtMostABytePerVideoFrame) {
    kit::ClipOptions options;
    options.frames = 10000;
    options.keyEvery = 250;
    AviHeaderCache cache;
    const auto index = cache.keyFrames(cache.get(kit::makeClip("kfi-big.avi", options)));
    EXPECT_EQ(index->videoFrames(), 10000);
    EXPECT_LE(index->memoryBytes(), size_t(10000));
    EXPECT_EQ(index->keyFrameNumbers().size(), 40u);
}

TEST(KeyFrameIndex, AFileThatIsNotAnAviHasNoKeyFramesAndIsNotRead) {
    AviHeaderCache cache;
    const std::string path = kit::writeTemp("kfi-text.avi", "just some text");
    const AviHeader& info = cache.get(path);
    ASSERT_FALSE(info.IsAvi);
    std::filesystem::remove(path);
    EXPECT_FALSE(cache.isKeyFrame(info, 0));
    EXPECT_EQ(cache.indexReads(), 0);
}

TEST(AviHeaderCache, NamesDifferingInLetterCaseAreTwoFiles) {
    AviHeaderCache cache;
    const std::string path = kit::makeClip("Cache-Name.avi", 5);
    const std::string other = kit::makeClip("cache-NAME.AVI", 7);
    const AviHeader& first = cache.get(path);
    EXPECT_EQ(&cache.get(path), &first);
    EXPECT_EQ(cache.get(other).TotalFrames, 7);
    EXPECT_EQ(first.TotalFrames, 5);
    EXPECT_EQ(cache.count(), 2);
    EXPECT_THROW(cache.get(path + ".missing"), IoError);
    EXPECT_EQ(cache.count(), 2);
}

} // namespace
} // namespace vidloom
