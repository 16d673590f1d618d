// The decoding module's one way in: a table of functions that never throw.
// Whatever the decoder raises is caught here and handed back as a value.

#include "avi/Errors.h"
#include "preview/ModuleAbi.h"
#include "preview/PreviewErrors.h"
#include "preview/ffmpeg/FfmpegDecoder.h"
#include "preview/ffmpeg/PngWriter.h"

#include <new>

namespace vidloom::preview {

struct ModuleDecoder {
    FfmpegDecoder decoder;
};

namespace {

void note(ModuleFailure* failure, ModuleFailure::Kind kind, const char* message) noexcept {
    failure->kind = kind;
    try {
        failure->message = message;
    } catch (...) {
        failure->kind = ModuleFailure::Kind::OutOfMemory; // no room for the message itself
    }
}

template <class Op> bool guarded(ModuleFailure* failure, Op&& op) noexcept {
    using Kind = ModuleFailure::Kind;
    try {
        op();
        return true;
    } catch (const DecodeError& e) {
        note(failure, Kind::Decode, e.what());
    } catch (const RangeError& e) {
        note(failure, Kind::Range, e.what());
    } catch (const IoError& e) {
        note(failure, Kind::Io, e.what());
    } catch (const std::bad_alloc&) {
        note(failure, Kind::OutOfMemory, "out of memory");
    } catch (const std::exception& e) {
        note(failure, Kind::Other, e.what());
    } catch (...) {
        note(failure, Kind::Other, "an unknown failure");
    }
    return false;
}

ModuleDecoder* open(const std::string* fileName, const EntryMap* entries, int threads,
                    ModuleFailure* failure) noexcept {
    ModuleDecoder* decoder = nullptr;
    guarded(failure, [&] { decoder = new ModuleDecoder{{*fileName, *entries, threads}}; });
    return decoder;
}

void close(ModuleDecoder* decoder) noexcept {
    delete decoder;
}

bool frame(ModuleDecoder* decoder, int32_t n, Size box, Picture* out,
           ModuleFailure* failure) noexcept {
    return guarded(failure, [&] { *out = decoder->decoder.frame(n, box); });
}

const FrameNumbering* numbering(const ModuleDecoder* decoder) noexcept {
    return &decoder->decoder.numbering();
}

int64_t packetsDecoded(const ModuleDecoder* decoder) noexcept {
    return decoder->decoder.packetsDecoded();
}

int64_t seeks(const ModuleDecoder* decoder) noexcept {
    return decoder->decoder.seeks();
}

bool writePng(const Picture* picture, const std::string* fileName,
              ModuleFailure* failure) noexcept {
    return guarded(failure, [&] { writePngFile(*picture, *fileName); });
}

constexpr ModuleApi kApi{kModuleLayout, open,           close, frame,
                         numbering,     packetsDecoded, seeks, writePng};

} // namespace

} // namespace vidloom::preview

extern "C" __attribute__((visibility("default"))) const vidloom::preview::ModuleApi*
vidloom_preview_module() {
    return &vidloom::preview::kApi;
}
