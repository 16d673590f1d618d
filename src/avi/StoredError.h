#pragma once
// An error kept to be raised again later, as a new exception of the same kind
// with the same message; and the one mapping from an exception to its kind.

#include <exception>
#include <string>

namespace vidloom {

struct StoredError {
    enum class Kind { None, Io, Overflow, Range, Division, ListIndex, Conversion, Other };
    Kind kind = Kind::None;
    std::string message;

    bool empty() const { return kind == Kind::None; }
    static Kind kindOf(const std::exception& error);
    static StoredError of(const std::exception& error);
    [[noreturn]] void raise() const;
};

} // namespace vidloom
