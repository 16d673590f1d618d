#pragma once
// One file open in FFmpeg, inside the decoding module: its demuxer and video
// decoder, kept open between frames (FileDecoder.h says how frames are found
// and identified). Not thread-safe: one caller at a time.

#include "preview/FrameNumbering.h"
#include "preview/Picture.h"

#include <cstdint>
#include <deque>
#include <string>

extern "C" {
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;
}

namespace vidloom::preview {

class FfmpegDecoder {
public:
    // Raises DecodeError naming the file when FFmpeg cannot open or decode it,
    // or numbers its frames differently from the core.
    FfmpegDecoder(const std::string& fileName, EntryMap entries, int threads);
    ~FfmpegDecoder();
    FfmpegDecoder(const FfmpegDecoder&) = delete;
    FfmpegDecoder& operator=(const FfmpegDecoder&) = delete;

    // Raises RangeError for a frame out of range, DecodeError when FFmpeg gives no picture.
    Picture frame(int32_t n, Size box);

    const FrameNumbering& numbering() const { return numbering_; }
    int64_t packetsDecoded() const { return packets_; }
    int64_t seeks() const { return seeks_; }

private:
    // A decoded picture and which picture of the file it is (-1: not known).
    struct Decoded {
        AVFrame* frame = nullptr;
        int32_t picture = -1;
    };

    [[noreturn]] void fail(const std::string& what) const;
    void release();
    void clearPending();
    void open();
    void checkIndex() const;
    void calibrate();
    void seekTo(int32_t key);
    bool next(Decoded& out);
    void feed();
    void drain();
    int32_t identify(const AVFrame* frame);
    Picture convert(const AVFrame* frame, Size box);
    Picture black(Size box) const;

    std::string fileName_;
    FrameNumbering numbering_;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* received_ = nullptr;
    SwsContext* scaler_ = nullptr;
    int stream_ = -1;
    int threads_ = 0;
    int32_t delay_ = 0; // how far a picture's stamp trails its own entry, in pictures

    // Where decoding stands since the last seek.
    bool positioned_ = false;     // false: the next frame needs a seek
    bool drained_ = false;        // the end of the file was reached and the decoder emptied
    int32_t seekKey_ = -1;        // the key frame decoding started from (-1: the file's start)
    int32_t lastFed_ = -1;        // entry of the last packet given to the decoder
    int32_t lastTaken_ = -1;      // picture last taken from the decoder's output (-1: none)
    int32_t lastKnown_ = -1;      // picture last identified
    std::deque<Decoded> pending_; // pictures given by the decoder, not yet taken
    int64_t packets_ = 0;
    int64_t seeks_ = 0;
};

} // namespace vidloom::preview
