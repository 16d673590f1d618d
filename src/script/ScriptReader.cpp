// Line by line: a line is blank, a comment, `src = EXPRESSION` or
// `return EXPRESSION`. An expression is terms joined by "++"; a term is src,
// aviSource("P"[, utf8=BOOL]) optionally followed by .trim(a,b),
// trim(aviSource(...),a,b), alignedsplice(EXPRESSION, EXPRESSION...) or
// (EXPRESSION).
//
// An expression is kept as a list of items, each a segment or a use of src,
// and only the assignment expands the uses: a use at the front takes src over
// in place, so `src = src ++ X` costs X, not the whole plan so far. Nesting
// is bounded, so no input drives the recursion deep.

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

struct Item {
    bool isSrc = false;
    ScriptSegment segment;
};

struct Term {
    std::vector<Item> items;
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
            std::vector<Item> items = expression(0);
            endOfLine();
            out_.segments = assemble(items);
            returned_ = true;
            return true;
        }
        if (!sameName(word, "src")) {
            notUnderstood(at);
        }
        expect('=');
        std::vector<Item> items = expression(0);
        endOfLine();
        src_ = assemble(items);
        haveSrc_ = true;
        return true;
    }

    std::vector<Item> expression(int depth) {
        std::vector<Item> items = term(depth).items;
        while (acceptPair("++")) {
            std::vector<Item> more = term(depth).items;
            items.insert(items.end(), more.begin(), more.end());
        }
        return items;
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
            return Term{{Item{true, {}}}, false};
        }
        if (sameName(word, "avisource")) {
            return source();
        }
        if (sameName(word, "alignedsplice")) {
            expect('(');
            Term t{expression(depth + 1), false};
            int clips = 1;
            while (accept(',')) {
                std::vector<Item> more = expression(depth + 1);
                t.items.insert(t.items.end(), more.begin(), more.end());
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
        Term t;
        t.items.push_back(Item{false, ScriptSegment{found->second, 0, kToTheEnd, lineNumber_}});
        t.freshSource = true;
        return t;
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
        ScriptSegment& s = t.items.front().segment;
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

    // The segments of an expression, the uses of src expanded.
    std::vector<ScriptSegment> assemble(std::vector<Item>& items) {
        const size_t old = src_.size();
        int64_t total = 0;
        for (const Item& item : items) {
            total += item.isSrc ? int64_t(old) : 1;
            if (total > kMaxScriptSegments) {
                refuse("the script assembles more than " + std::to_string(kMaxScriptSegments) +
                       " segments");
            }
        }
        std::vector<ScriptSegment> result;
        size_t i = 0;
        const bool tookSrc = items.front().isSrc;
        if (tookSrc) {
            result = std::move(src_);
            i = 1;
        }
        // Grown geometrically: a plan written one segment per line takes
        // src over at every line, and an exact reserve would copy it each time.
        if (result.capacity() < size_t(total)) {
            result.reserve(std::max(size_t(total), 2 * result.capacity()));
        }
        for (; i < items.size(); ++i) {
            if (!items[i].isSrc) {
                result.push_back(items[i].segment);
                continue;
            }
            // The old src is the front of result when it was taken over;
            // reserve() keeps the copies from moving it.
            for (size_t k = 0; k < old; ++k) {
                result.push_back(tookSrc ? result[k] : src_[k]);
            }
        }
        return result;
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
    std::vector<ScriptSegment> src_;
    bool haveSrc_ = false;
    bool returned_ = false;
    ScriptDescription out_;
    std::unordered_map<std::string, int32_t> fileIndex_;
};

} // namespace

ScriptPathMap mapPrefixesBack(std::vector<std::pair<std::string, std::string>> pairs) {
    return [pairs = std::move(pairs)](const std::string& path) {
        for (const auto& [from, to] : pairs) {
            if (!to.empty() && path.compare(0, to.size(), to) == 0) {
                std::string rest = path.substr(to.size());
                for (char& c : rest) {
                    c = c == '\\' ? '/' : c;
                }
                return from + rest;
            }
        }
        return path;
    };
}

ScriptDescription parseScript(const std::string& text, const std::string& scriptName,
                              const ScriptPathMap& mapBack) {
    return Parser(scriptName, mapBack).run(text);
}

} // namespace vidloom
