#include "cli/Json.h"

#include <ostream>

namespace vidloom::cli {

std::string jsonString(std::string_view bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '"' || b == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b >= 0x7F) {
            out += "\\u00";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

JsonWriter::JsonWriter(std::ostream& out) : out_(out) {}

void JsonWriter::newline() {
    out_ << '\n' << std::string(levels_.size() * 2, ' ');
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!levels_.empty()) {
        if (!levels_.back().empty) {
            out_ << ',';
        }
        levels_.back().empty = false;
        newline();
    }
}

void JsonWriter::open(char bracket) {
    beforeValue();
    out_ << bracket;
    levels_.push_back({});
}

void JsonWriter::close(char bracket) {
    const bool wasEmpty = levels_.back().empty;
    levels_.pop_back();
    if (!wasEmpty) {
        newline();
    }
    out_ << bracket;
}

JsonWriter& JsonWriter::beginObject() {
    open('{');
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    close('}');
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    open('[');
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    close(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    beforeValue();
    out_ << jsonString(name) << ": ";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    beforeValue();
    out_ << jsonString(text);
    return *this;
}

JsonWriter& JsonWriter::value(int64_t number) {
    beforeValue();
    out_ << number;
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    beforeValue();
    out_ << (flag ? "true" : "false");
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    out_ << "null";
    return *this;
}

void JsonWriter::finish() {
    out_ << '\n';
}

} // namespace vidloom::cli
