#pragma once
// Plans over a few clip files of known lengths, and a compact way to state a
// plan: "B(0,100,0) S(0,50,100)" is file B frames 0..99 with reference 0,
// then file S frames 0..49 with reference 100.

#include "kit/SpliceKit.h"
#include "plan/SplicePlan.h"

#include <gtest/gtest.h>
#include <map>

namespace vidloom::kit {

class PlanTest : public ::testing::Test {
protected:
    // B 1000 frames, S 50 (named s100), T 30, U 80, W 100 of another frame
    // size, Z without frames; all key frames.
    static void SetUpTestSuite() {
        files() = {{"B", makeClip("plan-b.avi", 1000)},
                   {"S", makeClip("plan-s100.avi", 50)},
                   {"T", makeClip("plan-t.avi", 30)},
                   {"U", makeClip("plan-u.avi", 80)},
                   {"Z", makeClip("plan-z.avi", 0)}};
        ClipOptions wide;
        wide.frames = 100;
        wide.width = 640;
        files()["W"] = makeClip("plan-w.avi", wide);
    }
    static std::map<std::string, std::string>& files() {
        static std::map<std::string, std::string> paths;
        return paths;
    }
    static const std::string& path(const std::string& label) { return files().at(label); }

    std::unique_ptr<SplicePlan> plan(const std::string& base = "B") {
        return std::make_unique<SplicePlan>(path(base), cache);
    }
    std::unique_ptr<Segment> segment(const std::string& label, int32_t ref = 0) {
        auto s = std::make_unique<Segment>(path(label), cache);
        s->spliceRef = ref;
        return s;
    }
    std::string shape(const SplicePlan& p) const {
        std::string out;
        for (int32_t i = 0; i < p.segments.count(); ++i) {
            const Segment& s = p.segments.at(i);
            std::string label = "?";
            for (const auto& [name, file] : files()) {
                if (file == s.fileName()) {
                    label = name;
                }
            }
            out += (i ? " " : "") + label + "(" + std::to_string(s.start) + "," +
                   std::to_string(s.length) + "," + std::to_string(s.spliceRef) + ")";
        }
        return out;
    }

    AviHeaderCache cache;
};

} // namespace vidloom::kit
