#pragma once
// The one place where the preview asks the core about a file: its video
// entries, key frames and empty entries, read afresh for this caller (the
// window's cache belongs to the GUI thread; the preview decodes elsewhere).

#include "preview/FrameNumbering.h"

#include <string>

namespace vidloom::preview {

// Raises the core's errors naming the file; a file that is not an AVI file
// raises IoError with the reader's verdict ("Not an avi!", "Empty file.").
EntryMap entryMapOf(const std::string& fileName);

} // namespace vidloom::preview
