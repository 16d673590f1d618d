// Reading back long scripts: 5,000 and 50,000 segments, one per line, in the
// form Vidloom writes (each line appends to src) and in the two forms that
// put each new clip in front of src. The time should grow with the script's
// length, whichever side the clips are added on.

#include "script/ScriptReader.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace vidloom;

enum Form { kAppend, kPrependSplice, kPrependPlus };

std::string clip(int i) {
    return "aviSource(\"/video/take-" + std::to_string(i % 8) + ".avi\").trim(" +
           std::to_string(i % 997) + ",-" + std::to_string(1 + i % 50) + ")";
}

std::string script(Form form, int segments) {
    std::string text = "src = " + clip(0) + "\r\n";
    for (int i = 1; i < segments; ++i) {
        switch (form) {
        case kAppend:
            text += "src = alignedsplice( src , " + clip(i) + " )\r\n";
            break;
        case kPrependSplice:
            text += "src = alignedsplice(" + clip(i) + ", src)\r\n";
            break;
        case kPrependPlus:
            text += "src = " + clip(i) + " ++ src\r\n";
            break;
        }
    }
    return text + "return src";
}

void BM_ParseScript(benchmark::State& state) {
    const int segments = int(state.range(1));
    const std::string text = script(Form(state.range(0)), segments);
    for (auto _ : state) {
        const ScriptDescription d = parseScript(text, "long.avs");
        if (d.segments.size() != size_t(segments)) {
            state.SkipWithError("the script read back with the wrong number of segments");
            break;
        }
        benchmark::DoNotOptimize(d.segments.data());
    }
    state.counters["lines"] = double(segments + 1);
    state.counters["MB"] = double(text.size()) / 1e6;
}
BENCHMARK(BM_ParseScript)
    ->ArgNames({"form", "segments"})
    ->ArgsProduct({{kAppend, kPrependSplice, kPrependPlus}, {5000, 50000}})
    ->Unit(benchmark::kMillisecond);

} // namespace
