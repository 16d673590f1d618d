// Undo and redo of a 100-segment plan with 1,000 steps behind it: the memory
// the steps hold, and the time of one undo (the plan put back and its
// listing computed) with no file read.

#include "BigAviFile.h"

#include "session/PlanSession.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

using namespace vidloom;

constexpr int kSegments = 100;
constexpr int kSteps = 1000;

// A plan of kSegments whole-file segments of one small file (its header read
// once), then kSteps panel edits, each one step.
struct EditedPlan {
    EditedPlan() {
        const std::string file = bench::bigAviFile(int64_t(8) << 20);
        session.addFiles(std::vector<std::string>(kSegments, file));
        const size_t before = mallinfo2().uordblks;
        for (int step = 0; step < kSteps; ++step) {
            const SegmentId id = session.plan()->segments.at(step % kSegments).id();
            session.edit(id, {}, {std::to_string(1 + step / kSegments), "?", "?"});
        }
        stepBytes = double(mallinfo2().uordblks - before);
    }
    PlanSession session{kSteps + 1};
    double stepBytes = 0;
};

void BM_HistoryOf1000Steps(benchmark::State& state) {
    for (auto _ : state) {
        EditedPlan edited;
        state.counters["MB held by the steps"] = edited.stepBytes / 1e6;
    }
}
BENCHMARK(BM_HistoryOf1000Steps)->Iterations(1)->Unit(benchmark::kMillisecond);

// One iteration is one undo followed by one redo; both are timed.
void BM_UndoRedoOf100Segments(benchmark::State& state) {
    EditedPlan edited;
    const int64_t reads = edited.session.cache().indexReads();
    for (auto _ : state) {
        edited.session.undo();
        edited.session.listingBlock();
        edited.session.redo();
        edited.session.listingBlock();
    }
    state.counters["index reads"] = double(edited.session.cache().indexReads() - reads);
    state.counters["per undo"] = benchmark::Counter(
        double(state.iterations()) * 2, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UndoRedoOf100Segments)->Unit(benchmark::kMicrosecond);

} // namespace
