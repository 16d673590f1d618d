// AviSynth's splice rules between neighbouring segments: on real files and on
// headers built to differ in one property at a time, the first refusal is the
// one AviSynth reports, and the panels carry it.

#include "plan/Preflight.h"
#include "kit/PlanFixture.h"
#include "present/PanelLayout.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vidloom {
namespace {

using kit::ClipOptions;
using kit::PlanTest;

std::string fixture(const std::string& name) {
    return std::string(VIDLOOM_FIXTURES) + "/" + name;
}

// The properties of the problems of joining b after a, in order; "?" marks
// one the headers cannot settle.
std::vector<std::string> verdict(const AviHeader& a, const AviHeader& b) {
    std::vector<std::string> out;
    for (const SpliceProblem& p : joinProblems(a, b)) {
        out.push_back(p.property + (p.certain ? "" : "?"));
    }
    return out;
}

TEST(Preflight, RealFilesListEveryDifferenceAviSynthsOwnFirst) {
    AviHeaderCache cache;
    const AviHeader& xvid = cache.get(fixture("xvid_mp3.avi"));      // 320x240 25 fps, stereo
    const AviHeader& mjpeg = cache.get(fixture("mjpeg_silent.avi")); // 176x144 10 fps, silent
    const AviHeader& divx = cache.get(fixture("divx_adpcm.avi"));    // 176x144 15 fps, stereo
    const AviHeader& msmp4 = cache.get(fixture("tagged_pcm.avi"));   // 160x120 29.97, mono

    // Size, codec and rate differ too, but AviSynth looks at the audio first:
    // its message leads, the other differences follow.
    const auto audio = joinProblems(xvid, mjpeg);
    ASSERT_GT(audio.size(), 1u);
    EXPECT_EQ(audio[0].aviSynthMessage,
              "Splice: one clip has audio and the other doesn't (not allowed)");
    EXPECT_EQ(audio[1].property, "frame size");
    EXPECT_EQ(verdict(mjpeg, divx).front(), "audio") << "either way round";
    const auto size = joinProblems(divx, msmp4);
    ASSERT_GT(size.size(), 1u);
    EXPECT_EQ(size[0].aviSynthMessage, "Splice: Frame sizes don't match");
    EXPECT_EQ(size[0].earlierValue + " " + size[0].laterValue, "176x144 160x120");
    EXPECT_TRUE(joinProblems(xvid, xvid).empty());
}

TEST(Preflight, ColourFormatsAsTheCodecsHeadersTellThem) {
    // Real files of one size and rate, without audio: only the colour format
    // can differ.
    AviHeaderCache cache;
    const auto clip = [&cache](const char* name) -> const AviHeader& {
        return cache.get(fixture(std::string("colour/") + name));
    };
    const std::pair<const char*, const char*> joined[] = {{"mpeg4_xvid.avi", "h264_420.avi"},
                                                          {"mpeg4_xvid.avi", "mjpeg_420.avi"}};
    for (const auto& [a, b] : joined) {
        EXPECT_TRUE(joinProblems(clip(a), clip(b)).empty()) << a << " then " << b;
    }
    const std::pair<const char*, const char*> refused[] = {{"mjpeg_420.avi", "mjpeg_422.avi"},
                                                           {"mjpeg_420.avi", "mjpeg_rgb.avi"},
                                                           {"h264_420.avi", "h264_444p10.avi"}};
    for (const auto& [a, b] : refused) {
        const auto problems = joinProblems(clip(a), clip(b));
        ASSERT_EQ(problems.size(), 1u) << a << " then " << b;
        const SpliceProblem& p = problems[0];
        EXPECT_TRUE(p.certain) << a << " then " << b;
        EXPECT_EQ(p.aviSynthMessage, "Splice: Video formats don't match");
        EXPECT_EQ(p.earlierValue, clip(a).ColourFormat.value_or("?"));
        EXPECT_EQ(p.laterValue, clip(b).ColourFormat.value_or("?"));
    }
    // A codec whose headers Vidloom does not read: only the decoder can tell.
    EXPECT_EQ(verdict(clip("mjpeg_420.avi"), clip("ffv1_420.avi")),
              std::vector<std::string>{"colour format?"});
}

TEST(Preflight, NotesWhatASegmentAloneCannotVouchFor) {
    // Pieces of one file (they join without a word) starting at a given frame.
    AviHeaderCache cache;
    const auto pieces = [&cache](const std::string& name, std::vector<int32_t> starts) {
        SegmentList list;
        for (const int32_t start : starts) {
            auto s = std::make_unique<Segment>(fixture("avisource/" + name), cache);
            s->length -= start;
            s->start = start;
            list.add(std::move(s));
        }
        return preflight(list);
    };
    // Interleaved DV opens only with a decoder for it: said once per file.
    const auto dv = pieces("dv_type1.avi", {0, 3});
    ASSERT_EQ(dv.size(), 1u);
    EXPECT_EQ(dv[0].segment, 0);
    EXPECT_FALSE(dv[0].certain);
    EXPECT_EQ(dv[0].text(), fixture("avisource/dv_type1.avi") +
                                ": AviSource needs a decoder for DV type 1 (video and audio "
                                "interleaved)");
    EXPECT_TRUE(pieces("dv_type2.avi", {0, 3}).empty());

    // A rebuilt index of a codec whose frame headers are not read: no start
    // but the file's first frame is known to be a key frame or not.
    const auto unknown = pieces("msmpeg4_cut.avi", {0, 4, 9});
    ASSERT_EQ(unknown.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(unknown[i].segment, int32_t(i + 1));
        EXPECT_FALSE(unknown[i].certain);
        const std::string frame = i == 0 ? "frame 4," : "frame 9,";
        EXPECT_NE(unknown[i].text().find(frame), std::string::npos) << unknown[i].text();
        EXPECT_NE(unknown[i].text().find("cannot tell"), std::string::npos);
    }
    EXPECT_TRUE(pieces("cut50.avi", {0, 4, 9}).empty()) << "key frames read from the frames";
}

class PreflightRules : public PlanTest {
protected:
    const AviHeader& header(const std::string& name, const kit::AviBuilder& b) {
        kit::AviBuilder copy = b;
        copy.addFrames(5);
        return cache.get(kit::writeTemp(name, copy.build()));
    }
};

TEST_F(PreflightRules, EachPropertyInAviSynthsOrder) {
    kit::AviBuilder base;
    const AviHeader& a = header("rule-base.avi", base);

    struct Case {
        const char* name;
        void (*change)(kit::AviBuilder&);
        std::vector<std::string> expected;
        const char* message;
    };
    const Case cases[] = {
        {"size-rate",
         [](kit::AviBuilder& b) { b.width = 640, b.microSecPerFrame = 33367; },
         {"frame size", "frame rate"},
         "Splice: Frame sizes don't match"},
        {"rate",
         [](kit::AviBuilder& b) { b.microSecPerFrame = 33367; },
         {"frame rate"},
         "Splice: Video framerate doesn't match"},
        {"codec-rate",
         [](kit::AviBuilder& b) { b.handler = b.compression = "MJPG", b.microSecPerFrame = 20000; },
         {"colour format?", "frame rate"},
         "Splice: Video framerate doesn't match"},
        // An Xvid decoder gives YV12 whatever the bit count says.
        {"depth", [](kit::AviBuilder& b) { b.bitCount = 12; }, {}, ""},
        {"channels-rate",
         [](kit::AviBuilder& b) { b.channels = 1, b.sampleRate = 48000; },
         {"audio channels", "audio sample rate"},
         "Splice: The number of audio channels doesn't match"},
        {"samplerate",
         [](kit::AviBuilder& b) { b.sampleRate = 48000; },
         {"audio sample rate"},
         "Splice: The audio of the two clips have different samplerates! Use "
         "SSRC()/ResampleAudio()"},
        // Another code of the same decoder family, and another audio format
        // (AviSynth converts the sample type): nothing to refuse.
        {"family", [](kit::AviBuilder& b) { b.handler = b.compression = "DX50"; }, {}, ""},
        {"format", [](kit::AviBuilder& b) { b.formatTag = 1; }, {}, ""},
    };
    for (const Case& c : cases) {
        kit::AviBuilder b = base;
        c.change(b);
        const AviHeader& h = header(std::string("rule-") + c.name + ".avi", b);
        EXPECT_EQ(verdict(a, h), c.expected) << c.name;
        // The first certain problem is the one AviSynth stops with.
        const auto problems = joinProblems(a, h);
        const auto first = std::find_if(problems.begin(), problems.end(),
                                        [](const SpliceProblem& p) { return p.certain; });
        if (first != problems.end()) {
            EXPECT_EQ(first->aviSynthMessage, c.message) << c.name;
        }
    }
}

TEST_F(PreflightRules, FrameRatesCompareAsReducedFractionsAndRawFormatsAreKnown) {
    // 50/2 is 25/1 to AviSynth; 1000000/33366 is 29.97 fps too, but not 30000/1001.
    kit::AviBuilder b;
    std::string bytes = (b.addFrames(3), b.build());
    const size_t strh = b.offsets().vids;
    kit::put32(bytes, strh + 20, 2);
    kit::put32(bytes, strh + 24, 50);
    const AviHeader& halves = cache.get(kit::writeTemp("rate-50-2.avi", bytes));
    const AviHeader& plain = header("rate-25.avi", kit::AviBuilder());
    EXPECT_EQ(frameRateOf(halves), (FrameRate{25, 1}));
    EXPECT_TRUE(joinProblems(plain, halves).empty());
    kit::put32(bytes, strh + 20, 1001);
    kit::put32(bytes, strh + 24, 30000);
    const AviHeader& ntsc = cache.get(kit::writeTemp("rate-ntsc.avi", bytes));
    kit::AviBuilder near;
    near.microSecPerFrame = 33366;
    EXPECT_EQ(verdict(ntsc, header("rate-near.avi", near)), std::vector<std::string>{"frame rate"});

    // Uncompressed frames need no decoder: their formats are certain.
    kit::AviBuilder rgb24;
    rgb24.handler = rgb24.compression = std::string(4, '\0');
    kit::AviBuilder rgb32 = rgb24;
    rgb32.bitCount = 32;
    EXPECT_EQ(verdict(header("rgb24.avi", rgb24), header("rgb32.avi", rgb32)),
              std::vector<std::string>{"colour format"});
}

TEST_F(PlanTest, JoinsAreThoseOfTheScriptAndMarkTheLaterPanel) {
    ClipOptions silent;
    silent.audio = false;
    const std::string quiet = kit::makeClip("plan-quiet.avi", silent);
    auto p = plan();
    p->addSegment(segment("T"), 1);
    p->addSegment(std::make_unique<Segment>(quiet, cache), 2);
    p->addSegment(segment("Z"), 3); // no frames: no line, no join
    p->addSegment(segment("W"), 4);

    const auto problems = preflight(p->segments);
    ASSERT_EQ(problems.size(), 3u) << "W also differs in frame size";
    EXPECT_EQ(problems[2].segment, 4);
    EXPECT_EQ(problems[0].segment, 2);
    EXPECT_EQ(problems[0].earlier, 1);
    EXPECT_EQ(problems[1].segment, 4);
    EXPECT_EQ(problems[1].earlier, 2) << "the empty segment is skipped";
    EXPECT_EQ(problems[1].property, "audio") << "W has audio, the quiet clip has none";
    const std::string text = problems[0].text();
    for (const std::string& part :
         {path("T"), quiet, std::string("no audio"), std::string("one clip has audio")}) {
        EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;
    }

    const auto panels = panelsOf(*p);
    EXPECT_EQ(panels[2].joinMark, JoinMark::Refused);
    EXPECT_EQ(panels[2].joinProblem, text);
    EXPECT_EQ(panels[1].joinMark, JoinMark::None);

    p->remove(p->segments.at(2).id());
    EXPECT_EQ(preflight(p->segments).size(), 1u) << "T then W: frame size";
}

} // namespace
} // namespace vidloom
