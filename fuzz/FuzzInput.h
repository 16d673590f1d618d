#pragma once
// Fuzz inputs reach the readers as files, the only way Vidloom reads anything.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vidloom::fuzz {

// Writes the bytes to a file of this process (in /dev/shm where there is one)
// under the given slot name and returns its path. The same slot is reused by
// the next input.
std::string writeInput(const uint8_t* data, size_t size, const std::string& slot = "input.avi");

} // namespace vidloom::fuzz
