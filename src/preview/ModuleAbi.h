#pragma once
// The boundary between the programs and the decoding module
// (vidloom_preview_ffmpeg.so), which alone links FFmpeg's libraries, so that a
// program pays for them only when it decodes its first frame.
//
// No exception crosses the boundary: every function of the module catches
// what its code raises and hands it back as a ModuleFailure, which the
// caller raises again as the same kind of error. Relying on an exception's
// type information matching across a dlopen'ed object is fragile (hidden
// symbols, duplicated type information, the sanitizers' checks); a value is
// not. The standard library's types do cross (both sides are built together
// against the same libstdc++), guarded by the layout stamp below.

#include "preview/FrameNumbering.h"
#include "preview/Picture.h"

#include <cstdint>
#include <string>

namespace vidloom::preview {

struct ModuleFailure {
    enum class Kind : int32_t { Decode, Range, Io, OutOfMemory, Other };
    Kind kind = Kind::Other;
    std::string message;
};

struct ModuleDecoder; // one open file inside the module

struct ModuleApi {
    uint32_t layout; // kModuleLayout of the build that made the module

    // Each function returns null or false on failure and then fills *failure.
    ModuleDecoder* (*open)(const std::string* fileName, const EntryMap* entries, int threads,
                           ModuleFailure* failure) noexcept;
    void (*close)(ModuleDecoder* decoder) noexcept;
    bool (*frame)(ModuleDecoder* decoder, int32_t n, Size box, Picture* out,
                  ModuleFailure* failure) noexcept;
    const FrameNumbering* (*numbering)(const ModuleDecoder* decoder) noexcept;
    int64_t (*packetsDecoded)(const ModuleDecoder* decoder) noexcept;
    int64_t (*seeks)(const ModuleDecoder* decoder) noexcept;
    bool (*writePng)(const Picture* picture, const std::string* fileName,
                     ModuleFailure* failure) noexcept;
};

// Changes when this boundary or the layout of what crosses it does; a module
// of another build is refused rather than called.
constexpr uint32_t kModuleLayout =
    1u << 24 ^ uint32_t(sizeof(ModuleApi)) << 16 ^ uint32_t(sizeof(std::string)) << 10 ^
    uint32_t(sizeof(Picture) + sizeof(EntryMap) + sizeof(FrameNumbering)) << 4 ^
    uint32_t(sizeof(ModuleFailure));

// The one symbol the module exports.
#define VIDLOOM_PREVIEW_MODULE_ENTRY "vidloom_preview_module"
using ModuleEntry = const ModuleApi* (*)();

} // namespace vidloom::preview
