#pragma once
// Small helpers the module's FFmpeg code shares.

#include <string>

namespace vidloom::preview {

// FFmpeg's text for an error code.
std::string reasonOf(int code);

// Silences FFmpeg's own log, once: it would interleave with Vidloom's
// messages, and its reasons reach the user through the error codes instead.
void quietLogs();

} // namespace vidloom::preview
