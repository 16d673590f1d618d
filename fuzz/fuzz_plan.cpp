// A splice plan driven by a string of operations (add file, add splice at a
// reference, edit, delete, move, write the script) over a few fuzzed files.
// After every operation the plan must hold together: no negative length, a
// current segment that is in the plan, one panel per segment, and an inserted
// splice never changes the plan's length. Each operation is a step of the
// plan's history: undoing every step gives no plan, every plan undo and redo
// put back holds together, and redoing every step gives the last plan again.

#include "FuzzInput.h"

#include "avi/Errors.h"
#include "kit/AviBuilder.h"
#include "present/PanelLayout.h"
#include "session/PlanSession.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

using namespace vidloom;

namespace {

[[noreturn]] void broken(const char* what) {
    std::fprintf(stderr, "plan broken: %s\n", what);
    std::abort();
}

std::string makeFile(FuzzedDataProvider& in, int slot) {
    kit::AviBuilder b;
    b.audio = in.ConsumeBool();
    b.width = in.ConsumeBool() ? 320 : 352;
    b.height = 240;
    b.handler = b.compression = in.ConsumeBool() ? "XVID" : "DX50";
    const int frames = in.ConsumeIntegralInRange<int>(0, 40);
    const int keyEvery = in.ConsumeIntegralInRange<int>(0, 12);
    b.addFrames(frames, keyEvery);
    b.writeIndex = in.ConsumeIntegralInRange<int>(0, 7) != 0;
    // Now and then an OpenDML file of several RIFF parts.
    b.openDml = in.ConsumeIntegralInRange<int>(0, 3) == 0;
    b.framesPerPart = in.ConsumeIntegralInRange<int>(0, 15);
    std::string bytes = b.build();
    // Now and then a file cut short, or with a few bytes changed.
    if (in.ConsumeIntegralInRange<int>(0, 5) == 0) {
        bytes.resize(in.ConsumeIntegralInRange<size_t>(0, bytes.size()));
    }
    for (int i = in.ConsumeIntegralInRange<int>(0, 2); i > 0 && !bytes.empty(); --i) {
        bytes[in.ConsumeIntegralInRange<size_t>(0, bytes.size() - 1)] =
            char(in.ConsumeIntegral<uint8_t>());
    }
    static const char* const names[] = {"base7.avi", "s12.avi", "intro.avi", "t0.avi"};
    return fuzz::writeInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                            names[slot]);
}

void checkPlan(const SplicePlan& plan) {
    int64_t sum = 0;
    bool currentFound = plan.currentSegment == kNoSegment;
    for (int32_t i = 0; i < plan.segments.count(); ++i) {
        const Segment& s = plan.segments.at(i);
        if (s.length < 0) {
            broken("negative length");
        }
        sum += s.length;
        currentFound = currentFound || s.id() == plan.currentSegment;
    }
    if (!currentFound) {
        broken("current segment is not in the plan");
    }
    if (sum != plan.length()) {
        broken("live length");
    }
    if (panelsOf(plan).size() != size_t(plan.segments.count())) {
        broken("one panel per segment");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    std::string files[4];
    for (int i = 0; i < 4; ++i) {
        files[i] = makeFile(in, i);
    }
    PlanSession session;
    for (int step = 0; step < 48 && in.remaining_bytes() > 0; ++step) {
        const int op = in.ConsumeIntegralInRange<int>(0, 7);
        const std::string& file = files[in.ConsumeIntegralInRange<int>(0, 3)];
        const SplicePlan* plan = session.plan();
        const int32_t count = plan ? plan->segments.count() : 0;
        const SegmentId target =
            count > 0 ? plan->segments.at(in.ConsumeIntegralInRange<int32_t>(0, count - 1)).id()
                      : kNoSegment;
        try {
            switch (op) {
            case 0:
                session.addFiles({file});
                break;
            case 1:
            case 2:
                if (plan && session.spliceRefusal().empty()) {
                    const int32_t before = plan->length();
                    std::optional<int32_t> ref;
                    if (op == 1) {
                        ref = in.ConsumeIntegralInRange<int32_t>(-5, 200);
                    }
                    session.addSplices({{file, ref}});
                    if (session.plan()->length() != before) {
                        broken("a splice changed the plan's length");
                    }
                }
                break;
            case 3:
                session.edit(target, {},
                             {in.ConsumeRandomLengthString(6), in.ConsumeRandomLengthString(6),
                              in.ConsumeRandomLengthString(6)});
                break;
            case 4:
                session.remove(target);
                break;
            case 5:
                session.select(target);
                in.ConsumeBool() ? session.moveEarlier() : session.moveLater();
                break;
            case 6:
                (void)session.scriptText();
                (void)session.listingBlock();
                for (int32_t i = 0; i < session.panelCount(); ++i) {
                    (void)session.panel(i);
                }
                break;
            default:
                if (plan) {
                    (void)session.writeScript(fuzz::writeInput(nullptr, 0, "out.avs"));
                }
                break;
            }
        } catch (const VidloomError&) {
            // A refused file or operation; the plan must still hold together.
        }
        if (session.plan()) {
            checkPlan(*session.plan());
        }
    }

    const PlanState last = session.plan() ? session.plan()->state() : PlanState{};
    while (session.undo()) {
        if (session.plan()) {
            checkPlan(*session.plan());
        }
    }
    if (session.plan()) {
        broken("undoing every step leaves a plan");
    }
    while (session.redo()) {
        checkPlan(*session.plan());
    }
    const PlanState again = session.plan() ? session.plan()->state() : PlanState{};
    if (!again.samePlan(last) || again.current != last.current) {
        broken("redoing every step gives another plan");
    }
    return 0;
}
