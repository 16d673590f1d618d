// vidloom-cli plan BASE [--append FILE | --splice FILE | --splice-at REF FILE]...
//                       [--script OUT] [--json]
// Builds the splice plan with the window's own operations, in command-line
// order: BASE is "Add File" of the base clip, --append another "Add File",
// --splice and --splice-at one file of "Add Splice".

#include "avi/Errors.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "splice/PlanActions.h"

#include <optional>
#include <ostream>

namespace vidloom::cli {

namespace {

const char* const kPlanUsage =
    "Usage: vidloom-cli plan BASE [--append FILE | --splice FILE | --splice-at REF FILE]...\n"
    "                        [--script OUT] [--json]\n";

// There is no prompt on the command line: a name without digits is refused.
const char* const kMsgNoDigits =
    "the file name holds no splice reference; give one with --splice-at REF FILE";

struct Step {
    enum class Kind { Append, Splice, SpliceAt } kind;
    std::string file;
    int32_t ref = 0;
};

struct Request {
    std::string base;
    std::vector<Step> steps;
    std::optional<std::string> script;
    bool json = false;
};

struct Refusal {
    std::string file;
    std::string message;
};

struct UsageError {
    std::string message;
};

Request parse(const Args& args) {
    Request request;
    size_t i = 0;
    auto next = [&](const std::string& option) -> const std::string& {
        if (i + 1 >= args.size()) {
            throw UsageError{"missing argument after " + option};
        }
        return args[++i];
    };
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--append") {
            request.steps.push_back({Step::Kind::Append, next(arg), 0});
        } else if (arg == "--splice") {
            request.steps.push_back({Step::Kind::Splice, next(arg), 0});
        } else if (arg == "--splice-at") {
            // REF is taken whole, so "-5" is a (negative) reference, not an option.
            const std::string& refText = next(arg);
            const std::optional<int32_t> ref = textToInt32(refText);
            if (!ref) {
                throw UsageError{"--splice-at: '" + refText +
                                 "' is not a signed 32-bit decimal integer"};
            }
            request.steps.push_back({Step::Kind::SpliceAt, next(arg), *ref});
        } else if (arg == "--script") {
            if (request.script) {
                throw UsageError{"--script given twice"};
            }
            request.script = next(arg);
        } else if (arg == "--json") {
            request.json = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"unknown option '" + arg + "'"};
        } else if (request.base.empty()) {
            request.base = arg;
        } else {
            throw UsageError{"unexpected argument '" + arg + "' (the base clip is '" +
                             request.base + "')"};
        }
    }
    if (request.base.empty()) {
        throw UsageError{"missing BASE"};
    }
    if (request.json && request.script == "-") {
        throw UsageError{"--script - and --json both write to stdout; choose one"};
    }
    return request;
}

void writeJson(std::ostream& out, SplicePlan& plan, const std::vector<Refusal>& refused) {
    const std::vector<PanelState> panels = plan.layoutPanels();
    plan.listing(); // brings listedLength up to date
    JsonWriter w(out);
    w.beginObject()
        .field("assembledName", plan.assembledName)
        .field("totalLength", plan.listedLength);
    w.key("segments").beginArray();
    int32_t position = 0;
    for (int32_t i = 0; i < plan.segments.count(); ++i) {
        const Segment& seg = plan.segments.at(i);
        w.beginObject()
            .field("file", seg.fileName())
            .field("start", seg.start)
            .field("length", seg.length)
            .field("spliceRef", seg.spliceRef)
            .field("position", position)
            .field("startsOnKeyFrame", panels[size_t(i)].startsOnKeyFrame)
            .endObject();
        position += seg.length;
    }
    w.endArray();
    w.key("refused").beginArray();
    for (const Refusal& r : refused) {
        w.beginObject().field("file", r.file).field("message", r.message).endObject();
    }
    w.endArray().endObject();
    w.finish();
}

} // namespace

int runPlan(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kPlanUsage;
        return 0;
    }
    Request request;
    try {
        request = parse(args);
    } catch (const UsageError& e) {
        err << "vidloom-cli plan: " << e.message << "\n" << kPlanUsage;
        return 2;
    }

    const WindowSeams noWindow;
    // One command, one moment: each file's stamp is looked at once.
    const AviHeaderCache::StampRound oneCommand(AviHeaderCache::shared());
    std::unique_ptr<SplicePlan> plan;
    std::vector<Refusal> refused;
    auto refuse = [&](const std::string& file, const std::string& message) {
        err << file << ": " << message << "\n";
        refused.push_back({file, message});
    };
    try {
        addFile(plan, absolutePath(request.base), noWindow);
        for (const Step& step : request.steps) {
            const std::string file = absolutePath(step.file);
            if (step.kind == Step::Kind::Append) {
                addFile(plan, file, noWindow);
                continue;
            }
            if (const std::string refusal = spliceRefusal(plan.get()); !refusal.empty()) {
                refuse(file, refusal);
                continue;
            }
            std::optional<int32_t> givenRef;
            if (step.kind == Step::Kind::SpliceAt) {
                givenRef = step.ref;
            }
            SpliceResult result;
            try {
                result = addSplice(*plan, file, givenRef, noWindow);
            } catch (const ConversionError& e) {
                // A digit run too large for a reference ends this file only.
                refuse(file, e.what());
                continue;
            }
            if (result.outcome == SpliceOutcome::NoReference) {
                refuse(file, kMsgNoDigits);
            } else if (result.outcome != SpliceOutcome::Inserted) {
                refuse(file, result.message);
            }
        }

        if (request.script) {
            if (const std::string refusal = scriptRefusal(plan.get()); !refusal.empty()) {
                err << refusal << "\n";
                return 1;
            }
            if (*request.script == "-") {
                out << plan->buildScript() << "\r\n";
            } else {
                generateAvs(*plan, absolutePath(*request.script), nullptr);
            }
        }
    } catch (const VidloomError& e) {
        err << e.what() << "\n";
        return 1;
    }

    if (request.json) {
        writeJson(out, *plan, refused);
    } else if (request.script != "-") {
        for (const std::string& line : plan->listingBlock()) {
            out << line << "\n";
        }
    }
    return refused.empty() ? 0 : 3;
}

} // namespace vidloom::cli
