// Damaged files met by a plan that already holds work: each gives its error
// kind with a message that names the file, and whether the file was to be
// appended, spliced in, made the base clip or asked about its key frames, the
// plan that was there before is exactly as it was (segments, listing, total,
// current panel, the panels' view model, the log), the cache keeps no record
// of a file it could not read, and vidloom-cli refuses the file with status 1.

#include "avi/Errors.h"
#include "avi/index/KeyFrameIndex.h"
#include "cli/Commands.h"
#include "kit/Outcome.h"
#include "kit/ReferenceIndexWalk.h"
#include "kit/SpliceKit.h"
#include "plan/PlanActions.h"
#include "present/Listing.h"
#include "present/PanelLayout.h"

#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace vidloom {
namespace {

using Kind = kit::ErrorKind;
using kit::cli;
using kit::CliRun;
using kit::nameOf;
using kit::outcomeOf;

bool names(const std::string& message, const std::string& path) {
    return message.rfind(path + ": ", 0) == 0;
}

// Six frames of 320x240 XVID, like the plan's clips, so that a damaged file
// that can be read at all is compatible with them.
struct Damaged {
    std::string bytes;
    kit::Offsets at;
};

Damaged damaged(bool tagBeforeMovie, const std::function<void(kit::AviBuilder&)>& tune = {}) {
    kit::AviBuilder b;
    // A tag before the movie data keeps the header reader away from the
    // index, so that only the key-frame questions meet a damaged one.
    b.nandub = tagBeforeMovie;
    b.nandubTags = {{"ISFT", "kit"}, {"ICMT", "before"}};
    b.brand = !tagBeforeMovie;
    b.brandTags = {{"ISFT", "kit"}, {"ICMT", "after"}};
    if (tune) {
        tune(b);
    }
    if (b.movie.empty()) {
        b.addFrames(6);
    }
    const std::string bytes = b.build();
    return {bytes, b.offsets()};
}

// The file with a 32-bit word replaced, or cut after `cut` bytes.
std::string patched(const Damaged& d, size_t at, uint32_t word) {
    std::string bytes = d.bytes;
    kit::put32(bytes, at, word);
    return bytes;
}
std::string cutAt(const Damaged& d, size_t cut) {
    return d.bytes.substr(0, cut);
}
std::string renamed(const Damaged& d, const std::string& word, const std::string& to) {
    std::string bytes = d.bytes;
    bytes.replace(bytes.find(word), 4, to);
    return bytes;
}

// A plan with work in it: a base clip, an appended clip, a splice, an edit
// that leaves listedLength stale, and a current panel that is not the last.
class MalformedFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        basePath() = kit::makeClip("mf-base.avi", 100);
        otherPath() = kit::makeClip("mf-other.avi", 30);
        splicePath() = kit::makeClip("mf-splice.avi", 20);
    }
    static std::string& basePath() {
        static std::string p;
        return p;
    }
    static std::string& otherPath() {
        static std::string p;
        return p;
    }
    static std::string& splicePath() {
        static std::string p;
        return p;
    }

    void SetUp() override { freshPlan(); }

    void freshPlan() {
        cache = std::make_unique<AviHeaderCache>();
        plan.reset();
        addFile(plan, basePath(), *cache);
        addFile(plan, otherPath(), *cache);
        ASSERT_EQ(addSplice(*plan, splicePath(), 40).outcome, SpliceOutcome::Inserted);
        plan->applyEdit(plan->segments.at(3).id(), "", "", "10");
        plan->setCurrent(plan->segments.at(1).id());
        ASSERT_EQ(plan->length(), 110);
    }

    // Everything a user can see of the plan, and what it would write.
    std::string snapshot() {
        std::ostringstream s;
        s << "total " << plan->length() << ", current " << plan->currentSegment << ", base "
          << plan->baseList.at(0).fileName() << "\n";
        for (int32_t i = 0; i < plan->segments.count(); ++i) {
            const Segment& seg = plan->segments.at(i);
            s << seg.id() << " " << seg.fileName() << " " << seg.start << " " << seg.length << " "
              << seg.spliceRef << " " << seg.header << "\n";
        }
        for (const std::string& line : listingBlockOf(plan.get())) {
            s << line << "\n";
        }
        s << plan->buildScript() << "\n";
        for (const PanelState& p : panelsOf(*plan)) {
            s << p.id << "|" << p.index << "|" << p.caption << "|" << p.directory << "|"
              << p.fileName << "|" << p.internalStart << "|" << p.internalEnd << "|"
              << p.internalLength << "|" << p.clipStart << "|" << p.clipEnd << "|" << p.clipLength
              << "|" << p.isCurrent << "|" << p.startsOnKeyFrame << "|" << int(p.groupColor.r)
              << "|" << int(p.cellColor.r) << "|" << p.keyFrameError << "\n";
        }
        return s.str();
    }

    std::unique_ptr<AviHeaderCache> cache;
    std::unique_ptr<SplicePlan> plan;
};

struct Case {
    std::string what;
    std::string bytes; // the file's contents; "missing" cases have no file
    Kind kind;
    std::string says; // a part of the message besides the file name
    bool missing = false;
};

TEST_F(MalformedFiles, FilesWhoseHeadersCannotBeReadLeaveEverythingAsItWas) {
    const Damaged plain = damaged(false);
    const Damaged tagged = damaged(true);
    const kit::Offsets& p = plain.at;
    const kit::Offsets& t = tagged.at;
    const int64_t maxInt = INT32_MAX;
    const auto indexAt = [&](int64_t indexPos) {
        return patched(plain, p.moviSize, uint32_t(indexPos - int64_t(p.moviSize) - 4));
    };
    const uint32_t idx1Size = kit::get32(plain.bytes, p.idx1 + 4);
    std::string flat = patched(plain, p.avih + 8 + 36, 0);
    kit::put32(flat, p.avih + 8 + 32, 0);
    std::vector<Case> cases = {
        // Cut short, and words that are not there.
        {"cut before the movie data", cutAt(plain, p.movi - 8), Kind::Io, "\"movi\""},
        {"cut inside the tag list after the index", cutAt(plain, p.brandInfo + 10), Kind::Io,
         "INFO tag length"},
        {"no header list", renamed(plain, "hdrl", "hdrX"), Kind::Io, "\"hdrl\""},
        {"no video stream header", renamed(plain, "vids", "vidX"), Kind::Io, "\"vids\""},
        {"two streams declared, no audio stream",
         damaged(false,
                 [](kit::AviBuilder& b) {
                     b.audio = false;
                     b.streams = 2;
                 })
             .bytes,
         Kind::Io, "\"auds\""},
        {"a file that is not there", "", Kind::Io, "cannot open", true},
        // Size words at the edge of 32 bits, and negative ones.
        {"RIFF size 2147483640", patched(plain, 4, 2147483640u), Kind::Overflow, "RIFF"},
        {"RIFF size 2147483647", patched(plain, 4, 2147483647u), Kind::Overflow, "RIFF"},
        {"movi size pushing the index past 2^31 - 1", indexAt(maxInt + 1), Kind::Overflow,
         "index position"},
        // The tag list's own size words.
        {"tag length -8 before the movie data", patched(tagged, t.nandubInfo + 8, uint32_t(-8)),
         Kind::Io, "negative length"},
        {"tag length -8 after the index", patched(plain, p.brandInfo + 8, uint32_t(-8)), Kind::Io,
         "negative length"},
        {"tag length -1", patched(plain, p.brandInfo + 8, 0xFFFFFFFFu), Kind::Io,
         "negative length"},
        {"tag length 2^31", patched(plain, p.brandInfo + 8, 0x80000000u), Kind::Io,
         "negative length"},
        {"tag length far past the end", patched(plain, p.brandInfo + 8, 0x7FFFFFF0u), Kind::Io,
         "unexpected end of file"},
        {"tag list size 2^31", patched(tagged, t.nandubInfo - 4, 0x80000000u), Kind::Overflow,
         "INFO list"},
        {"tag list size 2^31 - 1", patched(tagged, t.nandubInfo - 4, 0x7FFFFFFFu), Kind::Io,
         "unexpected end of file"},
        // Numbers of the main header that the reader cannot work with.
        {"play length beyond 32 bits of milliseconds", patched(plain, p.avih + 8 + 16, 0x7FFFFFFFu),
         Kind::Range, "play length"},
        {"height 0", patched(plain, p.avih + 8 + 36, 0), Kind::Division, "aspect ratio"},
        {"width and height 0", flat, Kind::Division, "aspect ratio"},
    };

    // Damage to the index or the movie list's size leaves the frames in the
    // file: those files are read, their index rebuilt from the movie data.
    const std::vector<std::pair<std::string, std::string>> readable = {
        {"cut inside the index", cutAt(plain, p.idx1 + 8 + idx1Size / 2)},
        {"no index", cutAt(plain, p.idx1)},
        {"index at 2^31 - 4", indexAt(maxInt - 3)},
        {"negative movi size", patched(plain, p.moviSize, 0xF0000000u)},
        {"index size word 2^31", patched(plain, p.idx1 + 4, 0x80000000u)},
        {"index size past 2^31 - 1",
         patched(plain, p.idx1 + 4, uint32_t(maxInt + 1 - int64_t(p.idx1) - 4))},
    };
    for (const auto& [what, bytes] : readable) {
        SCOPED_TRACE(what);
        const AviHeader info(kit::writeTemp("mf-rebuilt.avi", bytes));
        EXPECT_TRUE(info.indexRebuilt());
        EXPECT_EQ(info.TotalFrames, 6);
    }

    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.what);
        // A name of its own for every case (vidloom-cli's cache is shared),
        // without digits, so nothing else than the damage decides.
        const std::string name = "mf-header-" + std::string(1, char('a' + i % 26)) +
                                 std::string(1, char('a' + i / 26)) + ".avi";
        const std::string path =
            c.missing ? kit::tempDir() + "/" + name : kit::writeTemp(name, c.bytes);

        freshPlan();
        const std::string before = snapshot();
        const int32_t records = cache->count();
        auto expectRefused = [&](const char* op, const std::function<void()>& run) {
            SCOPED_TRACE(op);
            const auto [kind, message] = outcomeOf(run);
            EXPECT_EQ(nameOf(kind), nameOf(c.kind)) << message;
            EXPECT_TRUE(names(message, path)) << message;
            EXPECT_NE(message.find(c.says), std::string::npos) << message;
            EXPECT_EQ(snapshot(), before);
            EXPECT_EQ(cache->count(), records) << "no record of a file that could not be read";
        };
        expectRefused("header record", [&] { cache->get(path); });
        expectRefused("Add File", [&] { addFile(plan, path, *cache); });
        expectRefused("Add Splice at a reference", [&] { addSplice(*plan, path, 10); });
        expectRefused("Add Splice by name", [&] { addSplice(*plan, path, std::nullopt); });

        std::unique_ptr<SplicePlan> none;
        const auto [kind, message] = outcomeOf([&] { addFile(none, path, *cache); });
        EXPECT_EQ(nameOf(kind), nameOf(c.kind)) << message;
        EXPECT_EQ(none, nullptr);

        const CliRun info = cli({"info", "--json", path});
        EXPECT_EQ(info.status, 1);
        EXPECT_NE(info.out.find("\"error\""), std::string::npos) << info.out;
        const CliRun append = cli({"plan", basePath(), "--append", path});
        EXPECT_EQ(append.status, 1);
        EXPECT_TRUE(names(append.err, path)) << append.err;
        EXPECT_EQ(append.out, "");

        // Mended on disk, the same name reads afresh: nothing half-built was kept.
        kit::writeTemp(name, plain.bytes);
        EXPECT_EQ(cache->get(path).TotalFrames, 6);
    }
}

TEST_F(MalformedFiles, FilesWhoseIndexIsDamagedAreOneFileWhoeverAsks) {
    // The headers read well and the index cannot be used: the frames come
    // from the movie data, the same count whether the file is the base clip,
    // appended or spliced, and every question about it is answered.
    const Damaged tagged = damaged(true);
    const Damaged plain = damaged(false);
    const kit::Offsets& t = tagged.at;
    const int64_t maxInt = INT32_MAX;
    const auto indexAt = [&](int64_t indexPos) {
        return patched(tagged, t.moviSize, uint32_t(indexPos - int64_t(t.moviSize) - 4));
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"no index", damaged(true, [](kit::AviBuilder& b) { b.writeIndex = false; }).bytes},
        {"cut in the index size word", cutAt(tagged, t.idx1 + 6)},
        {"cut inside the first entry", cutAt(tagged, t.idx1 + 8 + 10)},
        {"cut inside the first audio entry", cutAt(tagged, t.idx1 + 8 + 16 + 10)},
        {"index size word 2^31", patched(tagged, t.idx1 + 4, 0x80000000u)},
        {"index size word -16", patched(plain, plain.at.idx1 + 4, 0xFFFFFFF0u)},
        {"index at 2^31 - 5", indexAt(maxInt - 4)},
        {"index at 2^31 - 4", indexAt(maxInt - 3)},
        {"negative movi size", patched(tagged, t.moviSize, 0xF0000000u)},
    };

    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].first);
        const std::string name = "mf-index-" + std::string(1, char('a' + i)) + ".avi";
        const std::string path = kit::writeTemp(name, cases[i].second);
        freshPlan();
        const AviHeader& info = cache->get(path);
        EXPECT_TRUE(info.indexRebuilt());
        EXPECT_EQ(info.TotalFrames, 6);
        EXPECT_EQ(KeyFrameIndex::read(info)->videoFrames(), 6);
        EXPECT_NO_THROW(cache->isKeyFrame(info, 0));

        ASSERT_EQ(addSplice(*plan, path, 50).outcome, SpliceOutcome::Inserted);
        for (const PanelState& panel : panelsOf(*plan)) {
            EXPECT_EQ(panel.keyFrameError, "") << panel.fileName;
        }
        const CliRun keyframes = cli({"keyframes", path});
        EXPECT_EQ(keyframes.status, 0) << keyframes.err;
        const CliRun appended = cli({"plan", basePath(), "--append", path, "--json"});
        EXPECT_EQ(appended.status, 0) << appended.err;
        const CliRun base = cli({"plan", path, "--json"});
        EXPECT_NE(base.out.find("\"totalLength\": 6"), std::string::npos) << base.out;
    }
}

TEST_F(MalformedFiles, APlanNeverGrowsPast2To31Frames) {
    // Files that declare 268435455 frames, the most the bit rate allows: eight
    // of them make a plan of 2147483640 frames, seven short of the limit.
    const std::string bytes = damaged(false, [](kit::AviBuilder& b) {
                                  b.microSecPerFrame = 1;
                                  b.totalFrames = 268435455;
                                  b.addFrames(1);
                              }).bytes;
    std::vector<std::string> huge;
    for (char c = 'a'; c <= 'i'; ++c) {
        huge.push_back(kit::writeTemp(std::string("mf-huge-") + c + ".avi", bytes));
        // Frames are counted from the index, and no small file holds that
        // many: the count the plan's guard is checked with is set on the
        // header record the cache keeps.
        const_cast<AviHeader&>(cache->get(huge.back())).TotalFrames = 268435455;
    }
    plan.reset();
    for (size_t i = 0; i < 8; ++i) {
        addFile(plan, huge[i], *cache);
    }
    ASSERT_EQ(plan->length(), 2147483640);

    // A ninth file does not fit.
    std::string before = snapshot();
    auto [kind, message] = outcomeOf([&] { addFile(plan, huge[8], *cache); });
    EXPECT_EQ(nameOf(kind), nameOf(Kind::Overflow));
    EXPECT_TRUE(names(message, huge[8])) << message;
    EXPECT_EQ(snapshot(), before);

    // Nor a short one, after edits that shortened and lengthened the plan.
    const SegmentId last = plan->segments.at(7).id();
    plan->applyEdit(last, "", "", "268435355");
    plan->applyEdit(last, "", "268435455", "");
    ASSERT_EQ(plan->length(), 2147483640);
    before = snapshot();
    std::tie(kind, message) = outcomeOf([&] { addFile(plan, splicePath(), *cache); });
    EXPECT_EQ(nameOf(kind), nameOf(Kind::Overflow));
    EXPECT_TRUE(names(message, splicePath())) << message;
    EXPECT_EQ(snapshot(), before);

    // Neither does an edit that gives a cut segment back the frames a splice
    // took from it: the plan stays as it was and goes on working.
    ASSERT_EQ(addSplice(*plan, splicePath(), 10).outcome, SpliceOutcome::Inserted);
    const SegmentId head = plan->segments.at(0).id();
    before = snapshot();
    std::tie(kind, message) = outcomeOf([&] { plan->applyEdit(head, "0", "268435455", ""); });
    EXPECT_EQ(nameOf(kind), nameOf(Kind::Overflow)) << message;
    EXPECT_EQ(snapshot(), before);
    plan->remove(head);
    EXPECT_EQ(plan->length(), 2147483630);
    EXPECT_EQ(listingBlockOf(plan.get()).at(3), "0-20 : " + splicePath());
}

} // namespace
} // namespace vidloom
