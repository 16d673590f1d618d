#pragma once
// Evaluates the AviSynth scripts that Vidloom writes, with AviSynth's own
// rules, into the list of (file, frame) pairs they assemble:
//   aviSource("P")          all frames of P; also """P""" (a path holding a
//                           double quote) and ", utf8=true" after it, which
//                           a path beyond ASCII needs (AviSynth would read
//                           it in the ANSI code page otherwise)
//   Trim(a, b)              frames a..b inclusive; b = 0: a to the end;
//                           b < 0: -b frames from a
//   alignedsplice(x, y)     x followed by y
// Only the three line shapes Vidloom writes are understood; anything else, or
// a frame outside its file, is reported as an error.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <regex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vidloom::kit {

using Frame = std::pair<std::string, int32_t>;

inline std::vector<Frame> evaluateAvs(const std::string& script,
                                      const std::function<int32_t(const std::string&)>& framesOf) {
    // Groups: 1 triple-quoted path, 2 plain path, 3 utf8=true, 4 trim, 5 and 6 its numbers.
    static const std::string source = R"re(aviSource\((?:"""(.*?)"""|"([^"]*)")(, utf8=true)?\))re";
    static const std::string trim = R"re((\.trim\((-?\d+),(-?\d+)\))?)re";
    static const std::regex first("^src = " + source + trim + "$");
    static const std::regex splice(R"re(^src = alignedsplice\( src , )re" + source + trim +
                                   R"re( \)$)re");
    std::vector<Frame> src;
    bool haveSrc = false;
    bool returned = false;
    size_t from = 0;
    while (from < script.size()) {
        const size_t end = script.find("\r\n", from);
        if (end == std::string::npos) {
            throw std::runtime_error("line without CR LF: " + script.substr(from));
        }
        const std::string line = script.substr(from, end - from);
        from = end + 2;
        if (returned) {
            throw std::runtime_error("text after return src: " + line);
        }
        if (line == "return src") {
            returned = true;
            continue;
        }
        std::smatch m;
        const bool isFirst = std::regex_match(line, m, first);
        if (!isFirst && !std::regex_match(line, m, splice)) {
            throw std::runtime_error("not a Vidloom script line: " + line);
        }
        if (isFirst == haveSrc) {
            throw std::runtime_error(isFirst ? "src assigned twice" : "splice before src: " + line);
        }
        const std::string path = m[1].matched ? m[1].str() : m[2].str();
        const bool beyondAscii =
            std::any_of(path.begin(), path.end(), [](char c) { return (c & 0x80) != 0; });
        if (beyondAscii != m[3].matched) {
            throw std::runtime_error("utf8=true must go with a path beyond ASCII, and only "
                                     "with one: " +
                                     line);
        }
        const int32_t n = framesOf(path);
        int32_t a = 0;
        int32_t last = n - 1;
        if (m[4].matched) {
            a = std::stoi(m[5]);
            const int32_t b = std::stoi(m[6]);
            last = b == 0 ? n - 1 : (b < 0 ? a - b - 1 : b);
        }
        if (a < 0 || last >= n || last < a) {
            throw std::runtime_error("frames out of range in: " + line);
        }
        for (int32_t f = a; f <= last; ++f) {
            src.emplace_back(path, f);
        }
        haveSrc = true;
    }
    if (!returned || !haveSrc) {
        throw std::runtime_error("script without src or without return src");
    }
    return src;
}

} // namespace vidloom::kit
