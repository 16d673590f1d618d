// vidloom-cli plan BASE|--from SCRIPT [--append FILE | --splice FILE | --splice-at REF FILE]...
//                       [--snap prev|next] [--strict] [--path-map FROM=TO]... [--wine]
//                       [--script OUT] [--json]
// Builds the splice plan with the window's own operations, in command-line
// order: BASE is "Add File" of the base clip (--from SCRIPT "Open Script"
// instead), --append another "Add File", --splice and --splice-at one file of
// "Add Splice"; --snap then moves the starts that are not on key frames, as
// the window's snap keys do. The joins AviSynth will refuse are reported as
// warnings (with --strict, instead of a script).

#include "avi/Errors.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "plan/KeyFrameSnap.h"
#include "plan/PlanActions.h"
#include "plan/Preflight.h"
#include "session/PlanSession.h"

#include <optional>
#include <ostream>
#include <string_view>

namespace vidloom::cli {

namespace {

// The one place that lists the options; a new option adds its line here and
// its entry to kOptions below.
const char* const kPlanUsage =
    "Usage: vidloom-cli plan BASE [--append FILE | --splice FILE | --splice-at REF FILE]...\n"
    "                        [--snap prev|next] [--strict] [--path-map FROM=TO]... [--wine]\n"
    "                        [--script OUT] [--json]\n"
    "       vidloom-cli plan --from SCRIPT.avs [the same options]\n";

// The exit status of --strict when AviSynth would refuse a join.
constexpr int kStatusRefusedJoin = 4;

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
    std::optional<std::string> from; // a script in place of the base clip
    std::vector<Step> steps;
    std::optional<std::string> script;
    bool json = false;
    std::optional<SnapDirection> snap;
    bool strict = false;
    std::vector<PathMap::Mapping> paths;
    bool wine = false;
};

// The user's own mappings first, whatever the option order, so that a share
// named with --path-map is not hidden behind Wine's drive Z: (which holds
// every path).
PathMap pathMapOf(const Request& request) {
    std::vector<PathMap::Mapping> mappings = request.paths;
    if (request.wine) {
        const PathMap wine = PathMap::wine();
        mappings.insert(mappings.end(), wine.mappings().begin(), wine.mappings().end());
    }
    return PathMap(std::move(mappings));
}

struct UsageError {
    std::string message;
};

// ---- Options

// The arguments of one option, taken one by one after the option's name.
class OptionArgs {
public:
    OptionArgs(const Args& args, size_t& at) : args_(args), at_(at), option_(args[at]) {}
    const std::string& option() const { return option_; }
    const std::string& next() {
        if (at_ + 1 >= args_.size()) {
            throw UsageError{"missing argument after " + option_};
        }
        return args_[++at_];
    }

private:
    const Args& args_;
    size_t& at_;
    const std::string& option_;
};

struct Option {
    std::string_view name;
    void (*apply)(Request& request, OptionArgs& args);
};

void addSpliceAt(Request& request, OptionArgs& args) {
    // REF is taken whole, so "-5" is a (negative) reference, not an option.
    const std::string& refText = args.next();
    const std::optional<int32_t> ref = textToInt32(refText);
    if (!ref) {
        throw UsageError{args.option() + ": '" + refText +
                         "' is not a signed 32-bit decimal integer"};
    }
    request.steps.push_back({Step::Kind::SpliceAt, args.next(), *ref});
}

void setScript(Request& request, OptionArgs& args) {
    if (request.script) {
        throw UsageError{args.option() + " given twice"};
    }
    request.script = args.next();
}

void setSnap(Request& request, OptionArgs& args) {
    const std::string& way = args.next();
    if (way != "prev" && way != "next") {
        throw UsageError{args.option() + ": '" + way + "' is neither prev nor next"};
    }
    request.snap = way == "prev" ? SnapDirection::Previous : SnapDirection::Next;
}

void addPathMap(Request& request, OptionArgs& args) {
    const std::string& text = args.next();
    const std::optional<PathMap::Mapping> mapping = PathMap::parse(text);
    if (!mapping) {
        throw UsageError{args.option() + ": '" + text + "' is not FROM=TO"};
    }
    request.paths.push_back(*mapping);
}

void addWine(Request& request, OptionArgs&) {
    request.wine = true;
}

void setFrom(Request& request, OptionArgs& args) {
    if (request.from) {
        throw UsageError{args.option() + " given twice"};
    }
    request.from = args.next();
}

const Option kOptions[] = {
    {"--append",
     [](Request& r, OptionArgs& a) {
         r.steps.push_back({Step::Kind::Append, a.next(), 0});
     }},
    {"--splice",
     [](Request& r, OptionArgs& a) {
         r.steps.push_back({Step::Kind::Splice, a.next(), 0});
     }},
    {"--splice-at", addSpliceAt},
    {"--script", setScript},
    {"--from", setFrom},
    {"--json", [](Request& r, OptionArgs&) { r.json = true; }},
    {"--snap", setSnap},
    {"--strict", [](Request& r, OptionArgs&) { r.strict = true; }},
    {"--path-map", addPathMap},
    {"--wine", addWine},
};

const Option* findOption(const std::string& name) {
    for (const Option& option : kOptions) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

void takeBase(Request& request, const std::string& arg) {
    if (!request.base.empty()) {
        throw UsageError{"unexpected argument '" + arg + "' (the base clip is '" + request.base +
                         "')"};
    }
    request.base = arg;
}

Request parse(const Args& args) {
    Request request;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (const Option* option = findOption(arg)) {
            OptionArgs optionArgs(args, i);
            option->apply(request, optionArgs);
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"unknown option '" + arg + "'"};
        } else {
            takeBase(request, arg);
        }
    }
    if (request.from && !request.base.empty()) {
        throw UsageError{"--from takes the place of BASE; give one of them"};
    }
    if (!request.from && request.base.empty()) {
        throw UsageError{"missing BASE"};
    }
    if (request.json && request.script == "-") {
        throw UsageError{"--script - and --json both write to stdout; choose one"};
    }
    return request;
}

// ---- Building the plan

struct Refusal {
    std::string file;
    std::string message;
};

// The files the plan refused: each is reported on err as it happens and
// listed in the JSON output.
class Refusals {
public:
    explicit Refusals(std::ostream& err) : err_(err) {}
    // err gives the refusal's numbers (details) too; the JSON keeps its
    // fixed text.
    void add(const std::string& file, const std::string& message, const std::string& details = {}) {
        err_ << file << ": " << message;
        if (!details.empty()) {
            err_ << " (" << details << ")";
        }
        err_ << "\n";
        list_.push_back({file, message});
    }
    const std::vector<Refusal>& list() const { return list_; }

private:
    std::ostream& err_;
    std::vector<Refusal> list_;
};

// A file that could not be read ends the command, as the reader's error.
struct Failure {
    std::string message;
};

// "Add Splice" of one file; a refused file ends only itself.
void spliceStep(PlanSession& session, const Step& step, const std::string& file,
                Refusals& refused) {
    std::optional<int32_t> givenRef;
    if (step.kind == Step::Kind::SpliceAt) {
        givenRef = step.ref;
    }
    const SpliceResult result = session.addSplices({{file, givenRef}}).at(0);
    switch (result.outcome) {
    case SpliceOutcome::Inserted:
        return;
    case SpliceOutcome::NoReference:
        refused.add(file, kMsgNoDigits);
        return;
    case SpliceOutcome::BadReference:
        // A digit run too large for a reference ends this file only.
        refused.add(file, result.message);
        return;
    case SpliceOutcome::Failed:
        if (!session.plan()) {
            refused.add(file, result.message); // no base clip
            return;
        }
        throw Failure{result.message};
    default:
        refused.add(file, result.message, result.details);
    }
}

// The files given that are not AVI files: each named on err; the command
// then writes no script and ends with status 1.
class NotAviFiles {
public:
    explicit NotAviFiles(std::ostream& err) : err_(err) {}
    void check(const std::string& note) {
        if (!note.empty()) {
            err_ << note << "\n";
            any_ = true;
        }
    }
    bool any() const { return any_; }

private:
    std::ostream& err_;
    bool any_ = false;
};

void appendStep(PlanSession& session, const std::string& file, NotAviFiles& notAvi) {
    const AddResult added = session.addFiles({file});
    if (!added.refused.empty()) {
        throw Failure{added.refused.front()};
    }
    for (const std::string& note : added.notes) {
        notAvi.check(note);
    }
}

void buildPlan(PlanSession& session, const Request& request, Refusals& refused,
               NotAviFiles& notAvi) {
    if (request.from) {
        // Paths named for the machine where AviSynth runs come back through
        // the same mappings.
        const PathMap paths = pathMapOf(request);
        session.openScript(absolutePath(*request.from),
                           [&paths](const std::string& p) { return paths.fromScript(p); });
    } else {
        appendStep(session, absolutePath(request.base), notAvi);
    }
    for (const Step& step : request.steps) {
        const std::string file = absolutePath(step.file);
        if (step.kind == Step::Kind::Append) {
            appendStep(session, file, notAvi);
            continue;
        }
        spliceStep(session, step, file, refused);
        if (!session.cache().get(file).IsAvi) {
            notAvi.check(file + ": this is not an AVI file; it was not spliced.");
        }
    }
}

// Moves the start of every segment with frames that does not start on a key
// frame, reporting each move on err.
void snapAll(PlanSession& session, SnapDirection direction, std::ostream& err) {
    for (const PlanSession::SnapMove& move : session.snapAll(direction)) {
        if (!move.cannotTell.empty()) {
            err << "snap: " << move.file << ": " << move.cannotTell << "\n";
        } else {
            err << "snap: " << move.file << ": " << move.from << " -> " << move.to << "\n";
        }
    }
}

// Writes the script to its file or, for "-", to out. False (with the reason
// on err) when the plan has nothing to write or the target is refused.
bool writeScript(PlanSession& session, const std::string& target, const PathMap& paths,
                 std::ostream& out, std::ostream& err) {
    if (const std::string refusal = scriptRefusal(session.plan()); !refusal.empty()) {
        err << refusal << "\n";
        return false;
    }
    if (target == "-") {
        out << session.scriptText(paths);
        return true;
    }
    const WriteResult written = session.writeScript(absolutePath(target), paths);
    if (!written.written) {
        err << written.refusal << "\n";
    }
    return written.written;
}

// ---- Output

// As the segment's panel shows it: a key-frame test that fails counts as not
// starting on a key frame.
bool startsOnKeyFrame(const Segment& seg) {
    try {
        return seg.startsOnKeyFrame();
    } catch (const VidloomError&) {
        return false;
    }
}

void writeJson(std::ostream& out, const SplicePlan& plan, const std::vector<Refusal>& refused,
               const std::vector<SpliceProblem>& problems) {
    JsonWriter w(out);
    w.beginObject().field("assembledName", plan.assembledName).field("totalLength", plan.length());
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
            .field("startsOnKeyFrame", startsOnKeyFrame(seg))
            .endObject();
        position += seg.length;
    }
    w.endArray();
    w.key("refused").beginArray();
    for (const Refusal& r : refused) {
        w.beginObject().field("file", r.file).field("message", r.message).endObject();
    }
    w.endArray();
    w.key("problems").beginArray();
    for (const SpliceProblem& p : problems) {
        w.beginObject().field("segment", p.segment).field("message", p.text()).endObject();
    }
    w.endArray().endObject();
    w.finish();
}

void writeListing(std::ostream& out, const PlanSession& session) {
    for (const std::string& line : session.listingBlock()) {
        out << line << "\n";
    }
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

    PlanSession session(0); // the command line has no undo
    // One command, one moment: each file's stamp is looked at once.
    const AviHeaderCache::StampRound oneCommand(session.cache());
    Refusals refused(err);
    NotAviFiles notAvi(err);
    std::vector<SpliceProblem> problems;
    try {
        buildPlan(session, request, refused, notAvi);
        if (request.snap) {
            snapAll(session, *request.snap, err);
        }
        problems = session.problems();
        for (const SpliceProblem& problem : problems) {
            err << kWarningPrefix << problem.text() << "\n";
        }
        const bool refusedJoin = request.strict && !problems.empty();
        if (request.script && !refusedJoin && !notAvi.any() &&
            !writeScript(session, *request.script, pathMapOf(request), out, err)) {
            return 1;
        }
    } catch (const VidloomError& e) {
        err << e.what() << "\n";
        return 1;
    } catch (const Failure& f) {
        err << f.message << "\n";
        return 1;
    }

    if (request.json) {
        writeJson(out, *session.plan(), refused.list(), problems);
    } else if (request.script != "-") {
        writeListing(out, session);
    }
    if (notAvi.any()) {
        return 1;
    }
    if (request.strict && !problems.empty()) {
        return kStatusRefusedJoin;
    }
    return refused.list().empty() ? 0 : 3;
}

} // namespace vidloom::cli
