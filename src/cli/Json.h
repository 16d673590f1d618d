#pragma once
// A small streaming JSON writer for vidloom-cli's --json outputs. Texts are
// the system's byte strings, written as readable text (avi/TextEncoding.h:
// UTF-8 as it is, anything else read as Windows-1252), so JSON readers show
// what the window shows; control characters are escaped. Codes whose exact
// bytes matter (a FourCC) are written byte by byte instead.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace vidloom::cli {

// The quoted, escaped JSON string of a byte string's readable text.
std::string jsonString(std::string_view bytes);
// The quoted JSON string of each byte: bytes below 0x20, 0x7F and bytes from
// 0x80 up as \u00XX escapes of the byte value, so every byte survives the
// trip and the output is plain ASCII.
std::string jsonBytes(std::string_view bytes);

// Writes one JSON value to a stream, indented by two blanks per level; commas
// and line breaks are placed by the writer. Usage:
//   JsonWriter w(out);
//   w.beginObject().field("file", path).field("width", 320).endObject();
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out);

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();

    // The name of the next member of the current object.
    JsonWriter& key(std::string_view name);

    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    // A string written byte by byte (jsonBytes).
    JsonWriter& bytes(std::string_view raw);
    JsonWriter& value(int64_t number);
    JsonWriter& value(int32_t number) { return value(int64_t(number)); }
    JsonWriter& value(bool flag);
    JsonWriter& null();

    template <class T> JsonWriter& field(std::string_view name, const T& v) {
        key(name);
        return value(v);
    }
    JsonWriter& nullField(std::string_view name) {
        key(name);
        return null();
    }

    // Ends the output with a line break once the outermost value is closed.
    void finish();

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);
    void newline();

    std::ostream& out_;
    struct Level {
        bool empty = true;
    };
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

} // namespace vidloom::cli
