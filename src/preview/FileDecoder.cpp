// The programs' side of the decoding module: each call goes through the
// module's table, and a failure it hands back is raised again here as the
// kind of error it was.

#include "preview/FileDecoder.h"

#include "avi/Errors.h"
#include "preview/ModuleLoader.h"
#include "preview/PreviewErrors.h"

#include <new>

namespace vidloom::preview {

namespace {

// An unexpected failure becomes a DecodeError starting with context.
[[noreturn]] void raise(const ModuleFailure& failure, const std::string& context) {
    switch (failure.kind) {
    case ModuleFailure::Kind::Decode:
        throw DecodeError(failure.message);
    case ModuleFailure::Kind::Range:
        throw RangeError(failure.message);
    case ModuleFailure::Kind::Io:
        throw IoError(failure.message);
    case ModuleFailure::Kind::OutOfMemory:
        throw std::bad_alloc();
    case ModuleFailure::Kind::Other:
        break;
    }
    throw DecodeError(context + failure.message);
}

const ModuleApi& loadedModule() {
    if (!previewsBuiltIn()) {
        throw PreviewsNotBuiltIn();
    }
    return previewModule();
}

} // namespace

struct FileDecoder::State {
    const ModuleApi* module = nullptr;
    ModuleDecoder* decoder = nullptr;
    std::string fileName;

    ~State() {
        if (decoder) {
            module->close(decoder);
        }
    }
};

FileDecoder::FileDecoder(const std::string& fileName, EntryMap entries, int threads)
    : state_(std::make_unique<State>()) {
    state_->module = &loadedModule();
    state_->fileName = fileName;
    ModuleFailure failure;
    state_->decoder = state_->module->open(&fileName, &entries, threads, &failure);
    if (!state_->decoder) {
        raise(failure, fileName + ": cannot be decoded: ");
    }
}

FileDecoder::~FileDecoder() = default;

Picture FileDecoder::frame(int32_t n, Size box) {
    Picture picture;
    ModuleFailure failure;
    if (!state_->module->frame(state_->decoder, n, box, &picture, &failure)) {
        raise(failure, state_->fileName + ": cannot be decoded: ");
    }
    return picture;
}

const FrameNumbering& FileDecoder::numbering() const {
    return *state_->module->numbering(state_->decoder);
}

int64_t FileDecoder::packetsDecoded() const {
    return state_->module->packetsDecoded(state_->decoder);
}

int64_t FileDecoder::seeks() const {
    return state_->module->seeks(state_->decoder);
}

void writePng(const Picture& picture, const std::string& fileName) {
    const ModuleApi& module = loadedModule();
    ModuleFailure failure;
    if (!module.writePng(&picture, &fileName, &failure)) {
        if (failure.kind == ModuleFailure::Kind::Other) {
            throw IoError(fileName + ": " + failure.message);
        }
        raise(failure, fileName + ": cannot be decoded: ");
    }
}

bool previewsBuiltIn() {
    return VIDLOOM_PREVIEW_MODULE != 0;
}

} // namespace vidloom::preview
