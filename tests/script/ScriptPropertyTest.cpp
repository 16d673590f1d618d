// Over many random plans (appends, splices, edits, deletions, moves), the
// frames that AviSynth assembles from the written script are exactly the
// frames of the plan's segments, in order; and reading the script back, as
// written or touched by hand, gives the same plan and the same script again.

#include "kit/AvsEval.h"
#include "kit/PlanFixture.h"
#include "plan/PlanActions.h"
#include "script/ScriptPlan.h"

#include <random>

namespace vidloom {
namespace {

class ScriptProperty : public kit::PlanTest {
protected:
    void makeClips() {
        for (int i = 0; i < 5; ++i) {
            const int32_t n = int32_t(3 + rng() % 40);
            // Names beyond ASCII and with a double quote take the other
            // forms of the aviSource call.
            const char* const marks[] = {"", "-\xC3\x9C", "-\"q\""};
            clips.push_back(kit::makeClip("prop-" + std::to_string(i) + marks[i % 3] + ".avi", n));
            frames[clips.back()] = n;
        }
    }
    int32_t pick(int32_t n) { return n <= 0 ? 0 : int32_t(rng() % uint32_t(n)); }

    std::unique_ptr<SplicePlan> randomPlan() {
        auto p = std::make_unique<SplicePlan>(clips[rng() % clips.size()], cache);
        const int ops = 1 + int(rng() % 14);
        for (int op = 0; op < ops; ++op) {
            const int32_t count = p->segments.count();
            const SegmentId someone = count ? p->segments.at(pick(count)).id() : kNoSegment;
            switch (rng() % 6) {
            case 0:
                p->addSegment(std::make_unique<Segment>(clips[rng() % clips.size()], cache),
                              pick(count + 1));
                break;
            case 1:
            case 2: {
                if (count == 0) {
                    break;
                }
                auto splice = std::make_unique<Segment>(clips[rng() % clips.size()], cache);
                const int32_t room = p->length() - splice->length;
                if (room < 0) {
                    break;
                }
                splice->spliceRef = pick(room + 1);
                p->insertSplice(std::move(splice));
                break;
            }
            case 3: {
                auto text = [&] {
                    const int kind = int(rng() % 4);
                    return kind == 0 ? std::string("?") : std::to_string(pick(50) - 5);
                };
                p->applyEdit(someone, text(), text(), text());
                break;
            }
            case 4:
                if (rng() % 3 == 0) {
                    p->remove(someone);
                }
                break;
            default:
                rng() % 2 ? p->moveEarlier(someone) : p->moveLater(someone);
                break;
            }
        }
        return p;
    }

    static std::vector<kit::Frame> framesOf(const SplicePlan& p) {
        std::vector<kit::Frame> all;
        for (int32_t i = 0; i < p.segments.count(); ++i) {
            const Segment& s = p.segments.at(i);
            for (int32_t f = s.start; f < s.start + s.length; ++f) {
                all.emplace_back(s.fileName(), f);
            }
        }
        return all;
    }

    // The same plan as a person might write it: any line ends, blank and
    // comment lines, names in any case, blanks, "++", the other trim forms
    // and string form, utf8=true.
    std::string handTouched(const SplicePlan& p) {
        const std::string eol = rng() % 2 ? "\r\n" : "\n";
        auto oneOf = [&](std::initializer_list<std::string> words) {
            return *(words.begin() + rng() % words.size());
        };
        std::string text = oneOf({"", "# made by hand", "\xEF\xBB\xBF"}) + eol;
        bool first = true;
        for (int32_t i = 0; i < p.segments.count(); ++i) {
            const Segment& s = p.segments.at(i);
            if (s.length == 0) {
                continue;
            }
            const int32_t n = frames.at(s.fileName());
            const bool quote = s.fileName().find('"') != std::string::npos;
            const std::string quoted = !quote && rng() % 2 ? "\"" + s.fileName() + "\""
                                                           : "\"\"\"" + s.fileName() + "\"\"\"";
            std::string clip = oneOf({"aviSource", "AVISOURCE", "avisource"}) + "( " + quoted +
                               oneOf({"", ", utf8=true", " ,UTF8 = False"}) + ")";
            const int32_t last = s.start + s.length - 1;
            std::string range =
                std::to_string(s.start) + "," + oneOf({"-", " - "}) + std::to_string(s.length);
            if (last > 0 && rng() % 2) {
                range = std::to_string(s.start) + " , " + std::to_string(last);
            } else if (last == n - 1 && rng() % 2) {
                range = std::to_string(s.start) + ",0";
            }
            if (s.start != 0 || s.length != n || rng() % 2) {
                clip = rng() % 2 ? clip + "." + oneOf({"trim", "Trim"}) + "(" + range + ")"
                                 : "trim(" + clip + ", " + range + ")";
            }
            if (first) {
                text += oneOf({"src = ", "SRC=", "  src\t=  "}) + clip;
            } else if (rng() % 2) {
                text += "src = src ++ " + clip;
            } else {
                text +=
                    oneOf({"src = alignedsplice( src , ", "Src=AlignedSplice(src,"}) + clip + ")";
            }
            text += oneOf({"", " # a cut", "   "}) + eol + oneOf({"", eol, "#" + eol});
            first = false;
        }
        return text + oneOf({"return src", "RETURN Src # the plan", "return (src)"}) +
               oneOf({"", eol});
    }

    std::mt19937 rng{777};
    std::vector<std::string> clips;
    std::map<std::string, int32_t> frames;
};

TEST_F(ScriptProperty, TheScriptAssemblesThePlan) {
    makeClips();
    int written = 0;
    for (int round = 0; round < 300; ++round) {
        const std::unique_ptr<SplicePlan> p = randomPlan();
        const std::vector<kit::Frame> expected = framesOf(*p);
        if (expected.empty()) {
            EXPECT_EQ(scriptRefusal(p.get()), kMsgNoVideo);
            continue;
        }
        ASSERT_EQ(scriptRefusal(p.get()), "");
        const std::string script = p->buildScript() + "\r\n";
        std::vector<kit::Frame> assembled;
        try {
            assembled =
                kit::evaluateAvs(script, [&](const std::string& f) { return frames.at(f); });
        } catch (const std::exception& e) {
            FAIL() << "round " << round << ": " << e.what() << "\n" << script;
        }
        ASSERT_EQ(assembled, expected) << "round " << round << "\n" << script;
        ++written;
    }
    EXPECT_GT(written, 200);
}

TEST_F(ScriptProperty, ReadingTheScriptGivesThePlanBack) {
    makeClips();
    int read = 0;
    for (int round = 0; round < 300; ++round) {
        const std::unique_ptr<SplicePlan> p = randomPlan();
        if (!p->hasFrames()) {
            continue;
        }
        const std::string script = p->buildScript() + "\r\n";
        const std::string touched = handTouched(*p);
        for (const std::string& text : {script, touched}) {
            const std::unique_ptr<SplicePlan> back =
                planFromScript(parseScript(text, "r.avs"), "/r.avs", cache);
            ASSERT_EQ(back->buildScript() + "\r\n", script) << "round " << round << "\n" << text;
            ASSERT_EQ(framesOf(*back),
                      kit::evaluateAvs(script, [&](const std::string& f) { return frames.at(f); }));
        }
        ++read;
    }
    EXPECT_GT(read, 200);
}

} // namespace
} // namespace vidloom
