// The preview part of a build without FFmpeg's libraries: every request says so.

#include "preview/FileDecoder.h"
#include "preview/PreviewErrors.h"

namespace vidloom::preview {

struct FileDecoder::State {
    FrameNumbering numbering;
};

FileDecoder::FileDecoder(const std::string&, EntryMap, int) {
    throw PreviewsNotBuiltIn();
}

FileDecoder::~FileDecoder() = default;

Picture FileDecoder::frame(int32_t, Size) {
    throw PreviewsNotBuiltIn();
}

const FrameNumbering& FileDecoder::numbering() const {
    return state_->numbering;
}

int64_t FileDecoder::packetsDecoded() const {
    return 0;
}

int64_t FileDecoder::seeks() const {
    return 0;
}

void writePng(const Picture&, const std::string&) {
    throw PreviewsNotBuiltIn();
}

bool previewsBuiltIn() {
    return false;
}

} // namespace vidloom::preview
