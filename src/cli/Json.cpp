#include "cli/Json.h"

#include "avi/TextEncoding.h"

#include <ostream>

namespace vidloom::cli {

namespace {
const char kHex[] = "0123456789abcdef";

void escapeByte(std::string& out, unsigned char b) {
    out += "\\u00";
    out += kHex[b >> 4];
    out += kHex[b & 15];
}
} // namespace

std::string jsonString(std::string_view bytes) {
    const std::string text = readableText(bytes);
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == '"' || b == '\\') {
            out += '\\';
            out += char(b);
        } else if (b < 0x20 || b == 0x7F) {
            escapeByte(out, b);
        } else if (b == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // U+0080 to U+009F: the control characters above ASCII.
            escapeByte(out, static_cast<unsigned char>(text[++i]));
        } else {
            out += char(b);
        }
    }
    out += '"';
    return out;
}

std::string jsonBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 2);
    out += '"';
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '"' || b == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b >= 0x7F) {
            escapeByte(out, b);
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

JsonWriter& JsonWriter::bytes(std::string_view raw) {
    beforeValue();
    out_ << jsonBytes(raw);
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
