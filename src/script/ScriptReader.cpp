// Line by line: a line is blank, a comment, `src = EXPRESSION` or
// `return EXPRESSION`. An expression is terms joined by "++"; a term is src,
// aviSource("P"[, utf8=BOOL]) optionally followed by .trim(a,b),
// trim(aviSource(...),a,b), alignedsplice(EXPRESSION, EXPRESSION...) or
// (EXPRESSION).
//
// A value is a piece of a rope: a segment, or a join of earlier pieces in
// order. An assignment adds one join whose parts are the line's own clips and
// the previous src, so a line costs its own length whichever side src stands
// on, and a use of src shares the piece instead of copying it. Each piece
// knows its length, so the segment limit is checked before anything grows;
// the rope is spelled out once, for the return line. Nesting is bounded, so
// no input drives the recursion deep.

#include "script/ScriptReader.h"

#include <algorithm>
#include <climits>
#include <string_view>
#include <unordered_map>

namespace vidloom {

namespace {

constexpr int kMaxNesting = 32;
constexpr size_t kExcerptLength = 40;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// AviSynth's names ignore letter case; `lower` is given in lower case.
bool sameName(std::string_view name, std::string_view lower) {
    if (name.size() != lower.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        const char c = name[i] >= 'A' && name[i] <= 'Z' ? char(name[i] - 'A' + 'a') : name[i];
        if (c != lower[i]) {
            return false;
        }
    }
    return true;
}

// A rope piece: a segment (no parts), or parts_[first, first + count) in order.
using PieceId = size_t;
struct Piece {
    ScriptSegment segment;
    int32_t length = 1; // the segments it spells out, at most kMaxScriptSegments
    size_t first = 0;
    size_t count = 0;
};

struct Term {
    std::vector<PieceId> pieces;
    bool freshSource = false; // one aviSource, not trimmed yet
};

class Parser {
public:
    Parser(const std::string& scriptName, const ScriptPathMap& mapBack)
        : scriptName_(scriptName), mapBack_(mapBack) {}

    ScriptDescription run(std::string_view text) {
        size_t from = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0; // a UTF-8 editor's mark
        int32_t lastLine = 1;
        while (true) {
            if (lineNumber_ == INT32_MAX) {
                refuse("the script has too many lines");
            }
            ++lineNumber_;
            const size_t end = text.find('\n', from);
            line_ = text.substr(from, end == std::string_view::npos ? end : end - from);
            if (!line_.empty() && line_.back() == '\r') {
                line_.remove_suffix(1);
            }
            pos_ = 0;
            if (statement()) {
                lastLine = lineNumber_;
            }
            if (end == std::string_view::npos) {
                break;
            }
            from = end + 1;
        }
        if (!returned_) {
            lineNumber_ = lastLine;
            refuse("the script ends without returning the plan (return src)");
        }
        return std::move(out_);
    }

private:
    // One line; false when it holds nothing but blanks and a comment.
    bool statement() {
        skipBlanks();
        if (atEnd()) {
            return false;
        }
        if (returned_) {
            refuse("nothing but comments may follow the return line: " + excerpt(pos_));
        }
        const size_t at = pos_;
        const std::string_view word = name();
        if (sameName(word, "return")) {
            const std::vector<PieceId> pieces = expression(0);
            endOfLine();
            out_.segments = spelledOut(join(pieces));
            returned_ = true;
            return true;
        }
        if (!sameName(word, "src")) {
            notUnderstood(at);
        }
        expect('=');
        const std::vector<PieceId> pieces = expression(0);
        endOfLine();
        src_ = join(pieces);
        haveSrc_ = true;
        return true;
    }

    std::vector<PieceId> expression(int depth) {
        std::vector<PieceId> pieces = term(depth).pieces;
        while (acceptPair("++")) {
            const std::vector<PieceId> more = term(depth).pieces;
            pieces.insert(pieces.end(), more.begin(), more.end());
        }
        return pieces;
    }

    Term term(int depth) {
        Term t = primary(depth);
        while (accept('.')) {
            skipBlanks();
            const size_t at = pos_;
            if (!sameName(name(), "trim")) {
                notUnderstood(at);
            }
            expect('(');
            trimRange(t, at);
            expect(')');
        }
        return t;
    }

    Term primary(int depth) {
        skipBlanks();
        const size_t at = pos_;
        if (depth > kMaxNesting) {
            refuse("clips nested more than " + std::to_string(kMaxNesting) + " deep");
        }
        if (accept('(')) {
            Term t{expression(depth + 1), false};
            expect(')');
            return t;
        }
        const std::string_view word = name();
        if (sameName(word, "src")) {
            if (!haveSrc_) {
                refuse("src is used before a line sets it");
            }
            return Term{{src_}, false};
        }
        if (sameName(word, "avisource")) {
            return source();
        }
        if (sameName(word, "alignedsplice")) {
            expect('(');
            Term t{expression(depth + 1), false};
            int clips = 1;
            while (accept(',')) {
                const std::vector<PieceId> more = expression(depth + 1);
                t.pieces.insert(t.pieces.end(), more.begin(), more.end());
                ++clips;
            }
            expect(')');
            if (clips < 2) {
                refuse("alignedsplice needs two clips or more");
            }
            return t;
        }
        if (sameName(word, "trim")) {
            expect('(');
            Term t = term(depth + 1);
            expect(',');
            trimRange(t, at);
            expect(')');
            return t;
        }
        notUnderstood(at);
    }

    // aviSource after its name: one file, and at most AviSynth's utf8 flag,
    // which changes nothing here (paths are bytes).
    Term source() {
        expect('(');
        std::string path = stringLiteral();
        bool utf8Given = false;
        while (accept(',')) {
            skipBlanks();
            const size_t at = pos_;
            if (!sameName(name(), "utf8") || utf8Given) {
                notUnderstood(at);
            }
            utf8Given = true;
            expect('=');
            skipBlanks();
            const size_t valueAt = pos_;
            const std::string_view value = name();
            if (!sameName(value, "true") && !sameName(value, "false")) {
                notUnderstood(valueAt);
            }
        }
        expect(')');
        if (path.empty()) {
            refuse("aviSource names no file");
        }
        if (mapBack_) {
            path = mapBack_(path);
        }
        auto [found, added] = fileIndex_.try_emplace(path, int32_t(out_.files.size()));
        if (added) {
            out_.files.push_back(path);
        }
        pieces_.push_back(Piece{ScriptSegment{found->second, 0, kToTheEnd, lineNumber_}});
        return Term{{pieces_.size() - 1}, true};
    }

    // "a, b" of a trim, with AviSynth's meaning: b = 0 to the end, b < 0 the
    // next -b frames, b > 0 up to frame b inclusive.
    void trimRange(Term& t, size_t at) {
        const int64_t first = integer();
        expect(',');
        const int64_t last = integer();
        if (!t.freshSource) {
            refuse("a trim can cut only one aviSource: " + excerpt(at));
        }
        if (first < 0) {
            refuse("a trim starts at a negative frame: " + excerpt(at));
        }
        int64_t length = kToTheEnd;
        if (last < 0) {
            length = -last;
        } else if (last > 0) {
            if (last < first) {
                refuse("a trim ends before it starts: " + excerpt(at));
            }
            length = last - first + 1;
        }
        if (length > INT32_MAX) {
            refuse("a trim longer than " + std::to_string(INT32_MAX) + " frames: " + excerpt(at));
        }
        // A fresh source's piece is its own: nothing shares it yet.
        ScriptSegment& s = pieces_[t.pieces.front()].segment;
        s.start = int32_t(first);
        s.length = int32_t(length);
        t.freshSource = false;
    }

    // An optional sign (blanks may follow it) and decimal digits, within 32 bits.
    int64_t integer() {
        bool negative = false;
        if (accept('-')) {
            negative = true;
        } else {
            accept('+');
        }
        skipBlanks();
        const size_t at = pos_;
        if (pos_ >= line_.size() || !isDigit(line_[pos_])) {
            notUnderstood(at);
        }
        int64_t value = 0;
        bool tooLarge = false;
        for (; pos_ < line_.size() && isDigit(line_[pos_]); ++pos_) {
            if (!tooLarge) {
                value = value * 10 + (line_[pos_] - '0');
                tooLarge = value > int64_t(INT32_MAX) + 1;
            }
        }
        if (tooLarge || (!negative && value > INT32_MAX)) {
            refuse("a number too large for a frame: " + excerpt(at));
        }
        return negative ? -value : value;
    }

    // "text" or AviSynth's """text""" (which may hold a '"'). A run of more
    // than three quotes ends the long form with its last three, so a path
    // ending in a quote reads back whole.
    std::string stringLiteral() {
        skipBlanks();
        const size_t at = pos_;
        if (line_.substr(pos_, 3) == R"(""")") {
            const size_t close = line_.find(R"(""")", pos_ + 3);
            if (close == std::string_view::npos) {
                refuse("a string that does not end on its line: " + excerpt(at));
            }
            size_t end = close;
            while (end + 3 < line_.size() && line_[end + 3] == '"') {
                ++end;
            }
            pos_ = end + 3;
            return std::string(line_.substr(at + 3, end - at - 3));
        }
        if (pos_ < line_.size() && line_[pos_] == '"') {
            const size_t close = line_.find('"', pos_ + 1);
            if (close == std::string_view::npos) {
                refuse("a string that does not end on its line: " + excerpt(at));
            }
            pos_ = close + 1;
            return std::string(line_.substr(at + 1, close - at - 1));
        }
        notUnderstood(at);
    }

    // The piece that joins an expression's pieces in order; refused when it
    // would spell out more than kMaxScriptSegments segments.
    PieceId join(const std::vector<PieceId>& pieces) {
        if (pieces.size() == 1) {
            return pieces.front();
        }
        int64_t length = 0;
        for (const PieceId p : pieces) {
            length += pieces_[p].length;
            if (length > kMaxScriptSegments) {
                refuse("the script assembles more than " + std::to_string(kMaxScriptSegments) +
                       " segments");
            }
        }
        Piece joined;
        joined.length = int32_t(length);
        joined.first = parts_.size();
        joined.count = pieces.size();
        parts_.insert(parts_.end(), pieces.begin(), pieces.end());
        pieces_.push_back(joined);
        return pieces_.size() - 1;
    }

    // The segments a piece stands for, in order. A rope built line by line
    // is as deep as the script is long, so the walk keeps its own stack.
    std::vector<ScriptSegment> spelledOut(PieceId root) const {
        std::vector<ScriptSegment> segments;
        segments.reserve(size_t(pieces_[root].length));
        std::vector<PieceId> pending{root};
        while (!pending.empty()) {
            const Piece& p = pieces_[pending.back()];
            pending.pop_back();
            if (p.count == 0) {
                segments.push_back(p.segment);
                continue;
            }
            for (size_t k = p.count; k > 0; --k) {
                pending.push_back(parts_[p.first + k - 1]);
            }
        }
        return segments;
    }

    std::string_view name() {
        const size_t at = pos_;
        if (pos_ < line_.size() && isLetter(line_[pos_])) {
            while (pos_ < line_.size() && (isLetter(line_[pos_]) || isDigit(line_[pos_]))) {
                ++pos_;
            }
        }
        return line_.substr(at, pos_ - at);
    }

    void skipBlanks() {
        while (pos_ < line_.size() && isBlank(line_[pos_])) {
            ++pos_;
        }
    }
    bool atEnd() const { return pos_ >= line_.size() || line_[pos_] == '#'; }
    bool accept(char c) {
        skipBlanks();
        if (pos_ < line_.size() && line_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool acceptPair(std::string_view pair) {
        skipBlanks();
        if (line_.substr(pos_, 2) == pair) {
            pos_ += 2;
            return true;
        }
        return false;
    }
    void expect(char c) {
        if (!accept(c)) {
            notUnderstood(pos_);
        }
    }
    void endOfLine() {
        skipBlanks();
        if (!atEnd()) {
            notUnderstood(pos_);
        }
    }

    // The line from `at` as the message quotes it: short, control bytes shown as '?'.
    std::string excerpt(size_t at) const {
        std::string_view rest = line_.substr(std::min(at, line_.size()));
        const bool cut = rest.size() > kExcerptLength;
        rest = rest.substr(0, kExcerptLength);
        std::string text = "\"";
        for (const char c : rest) {
            text += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? '?' : c;
        }
        return text + (cut ? "...\"" : "\"");
    }

    [[noreturn]] void notUnderstood(size_t at) {
        if (at >= line_.size()) {
            refuse("the line ends too early: " + excerpt(0));
        }
        refuse("not understood: " + excerpt(at));
    }
    [[noreturn]] void refuse(const std::string& what) const {
        throw ScriptError(scriptName_ + ": line " + std::to_string(lineNumber_) + ": " + what);
    }

    const std::string& scriptName_;
    const ScriptPathMap& mapBack_;
    std::string_view line_;
    size_t pos_ = 0;
    int32_t lineNumber_ = 0;
    std::vector<Piece> pieces_;
    std::vector<PieceId> parts_; // the parts of every join, each join's in a run
    PieceId src_ = 0;
    bool haveSrc_ = false;
    bool returned_ = false;
    ScriptDescription out_;
    std::unordered_map<std::string, int32_t> fileIndex_;
};

} // namespace

ScriptDescription parseScript(const std::string& text, const std::string& scriptName,
                              const ScriptPathMap& mapBack) {
    return Parser(scriptName, mapBack).run(text);
}

} // namespace vidloom
