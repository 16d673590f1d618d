#include "kit/MiniJson.h"

#include <cstdlib>

namespace vidloom::kit {

const JsonValue& JsonValue::operator[](const std::string& name) const {
    for (const auto& [key, value] : members) {
        if (key == name) {
            return value;
        }
    }
    throw std::out_of_range("no member " + name);
}

bool JsonValue::has(const std::string& name) const {
    for (const auto& m : members) {
        if (m.first == name) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> JsonValue::keys() const {
    std::vector<std::string> out;
    for (const auto& m : members) {
        out.push_back(m.first);
    }
    return out;
}

namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : s_(text) {}

    JsonValue document() {
        JsonValue v = value();
        skip();
        if (i_ != s_.size()) {
            fail("text after the value");
        }
        return v;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(i_));
    }
    void skip() {
        while (i_ < s_.size() &&
               (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t')) {
            ++i_;
        }
    }
    void expect(char c) {
        skip();
        if (i_ >= s_.size() || s_[i_] != c) {
            fail(std::string("expected '") + c + "'");
        }
        ++i_;
    }
    bool literal(const char* word) {
        const std::string w(word);
        if (s_.compare(i_, w.size(), w) == 0) {
            i_ += w.size();
            return true;
        }
        return false;
    }
    static void appendUtf8(std::string& out, unsigned cp) {
        if (cp < 0x100) {
            out += char(cp); // a byte of the system's text
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 63));
        } else {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 63));
            out += char(0x80 | (cp & 63));
        }
    }
    std::string string() {
        expect('"');
        std::string out;
        while (true) {
            if (i_ >= s_.size()) {
                fail("unterminated string");
            }
            const char c = s_[i_++];
            if (c == '"') {
                return out;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                fail("raw control character in a string");
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i_ >= s_.size()) {
                fail("unterminated escape");
            }
            const char e = s_[i_++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                if (i_ + 4 > s_.size()) {
                    fail("short \\u escape");
                }
                const std::string hex = s_.substr(i_, 4);
                char* end = nullptr;
                const unsigned long cp = std::strtoul(hex.c_str(), &end, 16);
                if (end != hex.c_str() + 4) {
                    fail("bad \\u escape");
                }
                i_ += 4;
                appendUtf8(out, unsigned(cp));
                break;
            }
            default:
                fail("unknown escape");
            }
        }
    }
    JsonValue value() {
        skip();
        if (i_ >= s_.size()) {
            fail("missing value");
        }
        JsonValue v;
        const char c = s_[i_];
        if (c == '{') {
            ++i_;
            v.kind = JsonValue::Kind::Object;
            skip();
            if (i_ < s_.size() && s_[i_] == '}') {
                ++i_;
                return v;
            }
            do {
                std::string key = string();
                expect(':');
                v.members.emplace_back(std::move(key), value());
                skip();
            } while (i_ < s_.size() && s_[i_] == ',' && ++i_);
            expect('}');
        } else if (c == '[') {
            ++i_;
            v.kind = JsonValue::Kind::Array;
            skip();
            if (i_ < s_.size() && s_[i_] == ']') {
                ++i_;
                return v;
            }
            do {
                v.items.push_back(value());
                skip();
            } while (i_ < s_.size() && s_[i_] == ',' && ++i_);
            expect(']');
        } else if (c == '"') {
            v.kind = JsonValue::Kind::String;
            v.text = string();
        } else if (literal("true")) {
            v.kind = JsonValue::Kind::Bool;
            v.flag = true;
        } else if (literal("false")) {
            v.kind = JsonValue::Kind::Bool;
        } else if (literal("null")) {
            v.kind = JsonValue::Kind::Null;
        } else {
            const char* begin = s_.c_str() + i_;
            char* end = nullptr;
            v.number = std::strtod(begin, &end);
            if (end == begin) {
                fail("unexpected character");
            }
            v.kind = JsonValue::Kind::Number;
            i_ += size_t(end - begin);
        }
        return v;
    }

    const std::string& s_;
    size_t i_ = 0;
};

} // namespace

JsonValue parseJson(const std::string& text) {
    return Parser(text).document();
}

} // namespace vidloom::kit
