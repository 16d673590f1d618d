#pragma once
// One file open in FFmpeg: its demuxer and video decoder, kept open between
// frames. A frame is found by seeking to the key frame at or before it (the
// core's key-frame answers) and decoding forward; a later frame of the same
// stretch continues from where the last one stopped. Not thread-safe: one
// caller at a time. The decoding itself (ffmpeg/FfmpegDecoder) lives in a
// module that the first FileDecoder loads (ModuleLoader.h).
//
// Which picture is which: the AVI demuxer stamps each packet with its video
// entry number, and FFmpeg's decoders stamp each picture they give with the
// entry of the packet that made them give it, which trails the picture's own
// by the decoder's reordering delay (one for MPEG-4 with B-frames). The delay
// is measured once, on the file's first picture; after a seek each picture
// is then identified by its stamp, so the B-frames that an open group shows
// before its key frame, which cannot be decoded from that key frame, are
// recognised as missing and the seek goes one key frame further back.

#include "preview/FrameNumbering.h"
#include "preview/Picture.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vidloom::preview {

class FileDecoder {
public:
    // Opens the file; raises DecodeError (FFmpeg cannot open or decode it, or
    // numbers its frames differently from the core) or PreviewsNotBuiltIn
    // (also when the decoding module cannot be loaded: PreviewModuleNotLoaded).
    // threads: the decoder's threads, 0 for as many as the machine has.
    FileDecoder(const std::string& fileName, EntryMap entries, int threads = 0);
    ~FileDecoder();
    FileDecoder(const FileDecoder&) = delete;
    FileDecoder& operator=(const FileDecoder&) = delete;

    // Frame n (AviSource's numbering), scaled to fit box. Raises RangeError
    // for a frame out of range, DecodeError when FFmpeg gives no picture.
    Picture frame(int32_t n, Size box);

    const FrameNumbering& numbering() const;
    // Packets given to the decoder since the file was opened (tests, benchmarks).
    int64_t packetsDecoded() const;
    // How many times the decoder was repositioned by a seek.
    int64_t seeks() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Writes a picture as a PNG file through FFmpeg's PNG encoder; raises IoError
// naming the file when it cannot be written, PreviewsNotBuiltIn without FFmpeg.
void writePng(const Picture& picture, const std::string& fileName);

// Whether this build decodes frames: it was built with FFmpeg's libraries,
// which come in a module loaded with the first frame (ModuleLoader.h). Looks
// at nothing on disc; a module that cannot be loaded shows when a frame is
// asked for.
bool previewsBuiltIn();

} // namespace vidloom::preview
