#pragma once
// The kinds of error Vidloom raises. Every message is written for the user: it
// says what went wrong and, where there is one, names the file and the offset.

#include <exception>
#include <string>

namespace vidloom {

class VidloomError : public std::exception {
public:
    explicit VidloomError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& message() const noexcept { return message_; }

    // Puts "file: " in front of the message unless it already names that file,
    // so an error raised deep inside a reader reaches the user with its file.
    void nameFile(const std::string& fileName) {
        const std::string prefix = fileName + ": ";
        if (message_.compare(0, prefix.size(), prefix) != 0) {
            message_ = prefix + message_;
        }
    }

private:
    std::string message_;
};

// A file cannot be opened, created or written, or a read runs past its end.
class IoError : public VidloomError {
    using VidloomError::VidloomError;
};
// Signed 32-bit integer overflow.
class OverflowError : public VidloomError {
    using VidloomError::VidloomError;
};
// A value does not fit the integer or index range it is stored into.
class RangeError : public VidloomError {
    using VidloomError::VidloomError;
};
// Floating-point division by zero (or zero by zero).
class DivisionError : public VidloomError {
    using VidloomError::VidloomError;
};
// An index outside a list.
class ListIndexError : public VidloomError {
    using VidloomError::VidloomError;
};
// Text that is not a decimal integer, or one too large for its type.
class ConversionError : public VidloomError {
    using VidloomError::VidloomError;
};

} // namespace vidloom
