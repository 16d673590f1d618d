#pragma once
// The pieces of the information report that are plain functions of a few
// header fields, open to the tests.

#include <cstdint>
#include <string>

namespace vidloom {

// The ratio with two decimals, halves rounded away from zero, right-aligned in
// at least 4 characters: 1.33, 2.35, 12.00.
std::string aspectText(double ratio);

// "valid.", "invalid.", "valid (VCD stretch)." or
// "valid (overcropped + /16 rule).".
std::string aspectVerdict(double ratio, int32_t width, int32_t height);

} // namespace vidloom
