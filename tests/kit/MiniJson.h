#pragma once
// A small JSON reader for the tests: enough to check that vidloom-cli's JSON
// is well formed and to read ffprobe's recorded output. A \u escape below
// 0x100 decodes to that single byte (the CLI writes the system's bytes that
// way); higher code points decode to UTF-8.

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vidloom::kit {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool flag = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;                           // Array
    std::vector<std::pair<std::string, JsonValue>> members; // Object, in order

    bool isNull() const { return kind == Kind::Null; }
    // The member called name; throws std::out_of_range when there is none.
    const JsonValue& operator[](const std::string& name) const;
    const JsonValue& operator[](size_t i) const { return items.at(i); }
    bool has(const std::string& name) const;
    int64_t integer() const { return int64_t(number); }
    std::vector<std::string> keys() const;
};

// Parses a whole text; throws std::runtime_error with the offset on bad input.
JsonValue parseJson(const std::string& text);

} // namespace vidloom::kit
