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

protected:
    explicit PreviewsNotBuiltIn(std::string message) : VidloomError(std::move(message)) {}
};

// This build decodes through a module, and the module cannot be found or
// loaded (the message names the file and the loader's reason). Like a build
// without previews, it is the program, not any file, that cannot decode.
class PreviewModuleNotLoaded : public PreviewsNotBuiltIn {
public:
    explicit PreviewModuleNotLoaded(const std::string& reason)
        : PreviewsNotBuiltIn("Previews cannot be loaded: " + reason) {}
};

} // namespace vidloom::preview
