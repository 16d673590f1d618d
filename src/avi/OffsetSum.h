#pragma once
// Offsets inside a file are signed 32-bit values; a sum that leaves that range
// is the overflow error, with a message that says which offset it was.

#include "avi/CheckedInt.h"
#include "avi/Errors.h"

#include <string>

namespace vidloom {

inline int32_t offsetPlus(int32_t a, int32_t b, const char* what) {
    try {
        return checkedAdd(a, b);
    } catch (const OverflowError& e) {
        throw OverflowError(std::string("the ") + what + " lies beyond 2 GiB (" + e.message() +
                            ")");
    }
}

} // namespace vidloom
