#pragma once
// Signed 32-bit arithmetic that never wraps: every sum, difference and product
// either fits or raises OverflowError.

#include "avi/Errors.h"

#include <cstdint>
#include <string>

namespace vidloom {

namespace detail {
[[noreturn]] inline void overflow(const char* op, int64_t a, int64_t b) {
    throw OverflowError("arithmetic overflow: " + std::to_string(a) + " " + op + " " +
                        std::to_string(b) + " does not fit in a signed 32-bit integer");
}
} // namespace detail

inline int32_t checkedAdd(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_add_overflow(a, b, &r)) {
        detail::overflow("+", a, b);
    }
    return r;
}

inline int32_t checkedSub(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_sub_overflow(a, b, &r)) {
        detail::overflow("-", a, b);
    }
    return r;
}

inline int32_t checkedMul(int32_t a, int32_t b) {
    int32_t r;
    if (__builtin_mul_overflow(a, b, &r)) {
        detail::overflow("*", a, b);
    }
    return r;
}

// Integer division truncating towards zero; INT32_MIN / -1 overflows.
inline int32_t checkedDiv(int32_t a, int32_t b) {
    if (b == 0) {
        throw DivisionError("integer division by zero");
    }
    if (a == INT32_MIN && b == -1) {
        detail::overflow("/", a, b);
    }
    return a / b;
}

// Narrows a wider integer into int32_t or raises RangeError.
inline int32_t toInt32(int64_t v, const char* what) {
    if (v < INT32_MIN || v > INT32_MAX) {
        throw RangeError(std::string(what) + " " + std::to_string(v) +
                         " does not fit in a signed 32-bit integer");
    }
    return static_cast<int32_t>(v);
}

} // namespace vidloom
