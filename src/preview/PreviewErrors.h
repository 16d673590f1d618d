#pragma once
// The errors of the preview part, in the family of the core's errors.

#include "avi/Errors.h"

namespace vidloom::preview {

// FFmpeg cannot open or decode a file (the message names the file and FFmpeg's reason).
class DecodeError : public VidloomError {
    using VidloomError::VidloomError;
};

// This build has no FFmpeg libraries.
class PreviewsNotBuiltIn : public VidloomError {
public:
    PreviewsNotBuiltIn() : VidloomError("Previews are not built in") {}
};

} // namespace vidloom::preview
