#pragma once

#include "preview/Picture.h"

#include <string>

namespace vidloom::preview {

// Writes the picture as a PNG file; raises IoError naming the file when it
// cannot be encoded or written.
void writePngFile(const Picture& picture, const std::string& fileName);

} // namespace vidloom::preview
