// Key-frame answers of long indexes: the interleavings real files have (video
// alone, video and audio taking turns from either side, audio in bursts,
// stray index chunks) in runs long enough to cross every word and block
// boundary a fast reader of the index may have, answered as the walk answers.

#include "avi/index/KeyFrameIndex.h"
#include "kit/ReferenceIndexWalk.h"
#include "kit/SpliceKit.h"

#include <gtest/gtest.h>
#include <random>

namespace vidloom {
namespace {

enum class Interleaving { VideoOnly, VideoThenAudio, AudioThenVideo, AudioBurst, Mixed };

// Appends a run of `length` entries of one interleaving to the movie.
void addRun(kit::AviBuilder& b, Interleaving run, int length, std::mt19937& rng) {
    const std::vector<uint32_t> videoFlags{0, 0, 0, 0x10, 0x12, 0x11, 0x02, 0xFFFFFFFF};
    auto video = [&] {
        static const std::vector<std::string> ids{"00dc", "00db", "01WB", "ix00", "00pc"};
        // Mostly plain frames; the odd ids are entries that are not frames.
        const std::string& id = rng() % 8 == 0 ? ids[rng() % ids.size()] : ids[0];
        b.movie.push_back({id, videoFlags[rng() % videoFlags.size()], {}});
    };
    auto audio = [&] { b.movie.push_back({rng() % 4 ? "01wb" : "02wb", 0x10, {}}); };
    for (int i = 0; i < length; ++i) {
        switch (run) {
        case Interleaving::VideoOnly:
            video();
            break;
        case Interleaving::VideoThenAudio:
            i % 2 == 0 ? video() : audio();
            break;
        case Interleaving::AudioThenVideo:
            i % 2 == 0 ? audio() : video();
            break;
        case Interleaving::AudioBurst:
            i % 9 == 0 ? video() : audio();
            break;
        case Interleaving::Mixed:
            rng() % 3 == 0 ? audio() : video();
            break;
        }
    }
}

TEST(KeyFrameIndexLong, EveryFrameOfLongInterleavedIndexesAnswersAsTheWalk) {
    std::mt19937 rng(7200);
    for (int round = 0; round < 12; ++round) {
        kit::AviBuilder b;
        b.audio = round % 4 != 3;
        int runs = 0;
        while (b.movie.size() < 3000) {
            // Runs of odd and even lengths, so the turns shift against word
            // boundaries, and some far longer than a word.
            const int length = runs % 5 == 4 ? 200 + int(rng() % 400) : 1 + int(rng() % 130);
            addRun(b, Interleaving(rng() % 5), length, rng);
            ++runs;
        }
        const std::string path =
            kit::writeTemp("kfi-long-" + std::to_string(round) + ".avi", b.build());
        const AviHeader info(path);
        const auto index = KeyFrameIndex::read(info);

        std::vector<int32_t> expected;
        int32_t frames = 0;
        for (const kit::MovieChunk& c : b.movie) {
            if (c.id == "00dc" || c.id == "00db") {
                if ((c.flags & 0x10) != 0) {
                    expected.push_back(frames);
                }
                ++frames;
            }
        }
        ASSERT_EQ(index->videoFrames(), frames) << "round " << round;
        ASSERT_EQ(index->keyFrameNumbers(), expected) << "round " << round;
        EXPECT_LE(index->memoryBytes(), size_t(frames)) << "round " << round;

        // One handler walking forward gives what a new handler would for
        // each frame, without walking the index again for every question.
        ReferenceIndexWalk walk(info);
        for (int32_t n = 0; n < frames; ++n) {
            ASSERT_EQ(index->isKeyFrame(n), walk.seekVideoFrame(n).IsKeyFrame)
                << "round " << round << ", frame " << n;
        }
        walk.closeFile();
    }
}

} // namespace
} // namespace vidloom
