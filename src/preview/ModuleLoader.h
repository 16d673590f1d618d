#pragma once
// Finds and opens the decoding module on first use. FFmpeg's libraries come
// with it, so a program that never decodes a frame never loads them.

#include "preview/ModuleAbi.h"

#include <string>
#include <vector>

namespace vidloom::preview {

// The module's functions, loaded on the first call and kept for the life of
// the process. Raises PreviewModuleNotLoaded (a PreviewsNotBuiltIn) saying
// which file was tried and why it failed, on this call and every later one.
// Safe to call from several threads.
const ModuleApi& previewModule();

// Where the module is looked for, in order: beside the running program (the
// build tree, or a program installed with its module), then in
// ../lib/vidloom/ from the program's folder (an installed layout). Empty when
// the program's own path cannot be read.
std::vector<std::string> moduleCandidates();

} // namespace vidloom::preview
