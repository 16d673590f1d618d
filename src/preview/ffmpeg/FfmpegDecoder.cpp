// The decoder of the preview module on FFmpeg's libraries: libavformat reads
// the AVI file's packets, libavcodec decodes them, libswscale turns pictures
// into RGB.

#include "preview/ffmpeg/FfmpegDecoder.h"

#include "preview/PreviewErrors.h"
#include "preview/ffmpeg/FfmpegSupport.h"

#include <algorithm>
#include <cstring>
#include <limits>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace vidloom::preview {

namespace {

int32_t clampToInt32(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

} // namespace

FfmpegDecoder::FfmpegDecoder(const std::string& fileName, EntryMap entries, int threads)
    : fileName_(fileName), numbering_(std::move(entries)), threads_(std::max(threads, 0)) {
    try {
        open();
    } catch (...) {
        release(); // the destructor does not run for a half-made decoder
        throw;
    }
}

FfmpegDecoder::~FfmpegDecoder() {
    release();
}

void FfmpegDecoder::release() {
    clearPending();
    sws_freeContext(scaler_);
    scaler_ = nullptr;
    av_frame_free(&received_);
    av_packet_free(&packet_);
    avcodec_free_context(&codec_);
    avformat_close_input(&format_);
}

void FfmpegDecoder::fail(const std::string& what) const {
    throw DecodeError(fileName_ + ": cannot be decoded: " + what);
}

void FfmpegDecoder::clearPending() {
    for (Decoded& d : pending_) {
        av_frame_free(&d.frame);
    }
    pending_.clear();
}

void FfmpegDecoder::open() {
    quietLogs();
    // The core has read the file as AVI; FFmpeg need not guess.
    const AVInputFormat* avi = av_find_input_format("avi");
    int r = avformat_open_input(&format_, fileName_.c_str(), avi, nullptr);
    if (r < 0) {
        fail(reasonOf(r));
    }
    const AVCodec* decoder = nullptr;
    r = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (r == AVERROR_DECODER_NOT_FOUND) {
        int video = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        char tag[AV_FOURCC_MAX_STRING_SIZE] = {};
        av_fourcc_make_string(tag, video >= 0 ? format_->streams[video]->codecpar->codec_tag : 0);
        fail(std::string("FFmpeg has no decoder for its video codec ") + tag);
    }
    if (r < 0) {
        fail("FFmpeg finds no video stream in it");
    }
    stream_ = r;
    for (unsigned i = 0; i < format_->nb_streams; ++i) {
        // Only video packets are read; the demuxer skips the rest.
        format_->streams[i]->discard = int(i) == stream_ ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
    codec_ = avcodec_alloc_context3(decoder);
    packet_ = av_packet_alloc();
    received_ = av_frame_alloc();
    if (!codec_ || !packet_ || !received_) {
        fail("out of memory");
    }
    r = avcodec_parameters_to_context(codec_, format_->streams[stream_]->codecpar);
    if (r >= 0) {
        codec_->thread_count = threads_;
        codec_->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
        r = avcodec_open2(codec_, decoder, nullptr);
    }
    if (r < 0) {
        fail(reasonOf(r));
    }
    checkIndex();
    calibrate();
}

// FFmpeg's AVI reader stamps each packet with its video entry number and
// leaves the empty entries out of its index. Its index must list exactly the
// non-empty entries the core counts, or pictures would be matched with the
// wrong frame numbers.
void FfmpegDecoder::checkIndex() const {
    AVStream* video = format_->streams[stream_];
    const int count = avformat_index_get_entries_count(video);
    int32_t picture = 0;
    for (int i = 0; i < count && picture < numbering_.pictures(); ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(video, i);
        if (entry->timestamp >= numbering_.frames()) {
            break;
        }
        const int32_t expected = numbering_.entryOf(picture);
        if (entry->timestamp != expected) {
            fail("FFmpeg reads its video index differently (its picture " +
                 std::to_string(picture) + " is entry " + std::to_string(entry->timestamp) +
                 ", the index says entry " + std::to_string(expected) + ")");
        }
        ++picture;
    }
    if (picture < numbering_.pictures()) {
        fail("FFmpeg reads " + std::to_string(picture) + " pictures from its index, Vidloom " +
             std::to_string(numbering_.pictures()));
    }
}

// The delay is the picture number the first picture's stamp gives when
// decoding from the start, where the first picture is picture 0.
void FfmpegDecoder::calibrate() {
    if (numbering_.pictures() == 0) {
        return;
    }
    seekTo(numbering_.keyAtOrBefore(numbering_.entryOf(0)));
    Decoded first;
    if (!next(first)) {
        fail("FFmpeg gives no picture for it");
    }
    delay_ = std::clamp(first.picture, 0, 64);
    first.picture = 0;
    lastKnown_ = 0;
    pending_.push_front(first);
}

void FfmpegDecoder::seekTo(int32_t key) {
    clearPending();
    avcodec_flush_buffers(codec_);
    positioned_ = false;
    drained_ = false;
    seekKey_ = key;
    lastFed_ = -1;
    lastTaken_ = -1;
    lastKnown_ = -1;
    ++seeks_;
    // The AVI reader's time stamps are entry numbers: seeking to a key
    // frame's number lands on that key frame. Without a key frame at or
    // before, decoding starts at the first picture.
    const int64_t ts = key >= 0 ? key : numbering_.entryOf(0);
    int r =
        av_seek_frame(format_, stream_, ts, AVSEEK_FLAG_BACKWARD | (key < 0 ? AVSEEK_FLAG_ANY : 0));
    if (r < 0) {
        r = av_seek_frame(format_, stream_, ts, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
    }
    if (r < 0) {
        fail("FFmpeg cannot seek to frame " + std::to_string(ts) + " (" + reasonOf(r) + ")");
    }
    positioned_ = true;
}

int32_t FfmpegDecoder::identify(const AVFrame* frame) {
    int32_t picture = -1;
    if (frame->pkt_dts != AV_NOPTS_VALUE) {
        const int32_t stamped = numbering_.pictureAt(clampToInt32(frame->pkt_dts));
        if (stamped >= 0) {
            picture = stamped - delay_;
        }
    }
    if (picture < 0 && lastKnown_ >= 0) {
        picture = lastKnown_ + 1; // no stamp: the picture after the last one known
    }
    if (picture >= 0) {
        lastKnown_ = picture;
    }
    return picture;
}

bool FfmpegDecoder::next(Decoded& out) {
    for (;;) {
        if (!pending_.empty()) {
            out = pending_.front();
            pending_.pop_front();
            return true;
        }
        if (drained_) {
            return false;
        }
        const int r = avcodec_receive_frame(codec_, received_);
        if (r == 0) {
            out.frame = av_frame_alloc();
            if (!out.frame) {
                fail("out of memory");
            }
            av_frame_move_ref(out.frame, received_);
            out.picture = identify(out.frame);
            return true;
        }
        if (r != AVERROR(EAGAIN)) {
            fail(reasonOf(r));
        }
        feed();
    }
}

// Gives the decoder the next video packet, or at the end of the file empties it.
void FfmpegDecoder::feed() {
    for (;;) {
        const int r = av_read_frame(format_, packet_);
        if (r == AVERROR(EAGAIN)) {
            continue;
        }
        if (r < 0) {
            // The end of the file, or data that cannot be read: what was
            // read so far is still shown.
            drain();
            return;
        }
        if (packet_->stream_index != stream_) {
            av_packet_unref(packet_);
            continue;
        }
        if (packet_->dts != AV_NOPTS_VALUE) {
            lastFed_ = clampToInt32(packet_->dts);
        }
        ++packets_;
        // A packet the decoder refuses (damaged data) is skipped, as ffmpeg does.
        avcodec_send_packet(codec_, packet_);
        av_packet_unref(packet_);
        return;
    }
}

void FfmpegDecoder::drain() {
    avcodec_send_packet(codec_, nullptr);
    std::vector<AVFrame*> rest;
    for (;;) {
        AVFrame* frame = av_frame_alloc();
        if (!frame) {
            fail("out of memory");
        }
        if (avcodec_receive_frame(codec_, frame) < 0) {
            av_frame_free(&frame);
            break;
        }
        rest.push_back(frame);
    }
    drained_ = true;
    for (size_t i = 0; i < rest.size(); ++i) {
        int32_t picture = identify(rest[i]);
        if (picture < 0) {
            // Nothing identified since the seek: these are the file's last pictures.
            picture = numbering_.pictures() - int32_t(rest.size() - i);
            lastKnown_ = picture;
        }
        pending_.push_back({rest[i], picture});
    }
}

Picture FfmpegDecoder::convert(const AVFrame* frame, Size box) {
    const Size size = fitInto(frame->width, frame->height, box);
    // Bicubic, as ffmpeg's own conversion to RGB for a PNG file, so that a
    // frame at the file's own size has ffmpeg's pixels.
    scaler_ = sws_getCachedContext(scaler_, frame->width, frame->height,
                                   AVPixelFormat(frame->format), size.width, size.height,
                                   AV_PIX_FMT_RGB24, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!scaler_) {
        fail("FFmpeg cannot convert its pictures to RGB");
    }
    // The colour details ffmpeg's scale filter takes from the picture.
    if (frame->color_range != AVCOL_RANGE_UNSPECIFIED) {
        int* inverse = nullptr;
        int* table = nullptr;
        int inFull = 0, outFull = 0, brightness = 0, contrast = 0, saturation = 0;
        sws_getColorspaceDetails(scaler_, &inverse, &inFull, &table, &outFull, &brightness,
                                 &contrast, &saturation);
        inFull = frame->color_range == AVCOL_RANGE_JPEG;
        sws_setColorspaceDetails(scaler_, sws_getCoefficients(frame->colorspace), inFull, table,
                                 outFull, brightness, contrast, saturation);
    }
    // An aligned buffer for the scaler, then packed rows.
    uint8_t* data[4] = {};
    int lines[4] = {};
    const int r = av_image_alloc(data, lines, size.width, size.height, AV_PIX_FMT_RGB24, 64);
    if (r < 0) {
        fail("out of memory");
    }
    sws_scale(scaler_, frame->data, frame->linesize, 0, frame->height, data, lines);
    Picture picture;
    picture.width = size.width;
    picture.height = size.height;
    const size_t row = size_t(size.width) * 3;
    picture.rgb.resize(row * size_t(size.height));
    for (int32_t y = 0; y < size.height; ++y) {
        std::memcpy(picture.rgb.data() + row * size_t(y), data[0] + ptrdiff_t(lines[0]) * y, row);
    }
    av_freep(&data[0]);
    return picture;
}

Picture FfmpegDecoder::black(Size box) const {
    const Size size = fitInto(codec_->width, codec_->height, box);
    Picture picture;
    picture.width = size.width;
    picture.height = size.height;
    picture.rgb.assign(size_t(size.width) * size_t(size.height) * 3, 0);
    return picture;
}

Picture FfmpegDecoder::frame(int32_t n, Size box) {
    numbering_.checkRange(fileName_, n);
    const int32_t target = numbering_.pictureOf(n);
    if (target < 0) {
        return black(box); // a dropped frame with nothing before it
    }
    const int32_t source = numbering_.entryOf(target);
    int32_t key = numbering_.keyAtOrBefore(source);
    // Going on from where the last frame stopped costs no more than a seek
    // when the seek would land at or before what was already decoded.
    const bool goOn = positioned_ && target > lastTaken_ && key <= std::max(lastFed_, seekKey_);
    if (!goOn) {
        seekTo(key);
    }
    try {
        for (;;) {
            Decoded d;
            if (!next(d)) {
                fail("FFmpeg gives no picture for frame " + std::to_string(n));
            }
            const int32_t picture = d.picture;
            if (picture < target) {
                av_frame_free(&d.frame); // before the target, or not known
                if (picture >= 0) {
                    lastTaken_ = picture;
                }
                continue;
            }
            if (picture == target) {
                Picture result = convert(d.frame, box);
                av_frame_free(&d.frame);
                lastTaken_ = picture;
                result.sourceEntry = source;
                return result;
            }
            // Past the target: the target shows before the first picture this
            // key frame gives (an open group's B-frames). Start one key
            // frame earlier, or from the file's start.
            if (lastTaken_ < 0 && seekKey_ >= 0) {
                av_frame_free(&d.frame);
                seekTo(numbering_.keyBefore(seekKey_));
                continue;
            }
            av_frame_free(&d.frame);
            fail("FFmpeg gives no picture for frame " + std::to_string(n) +
                 " (the next picture it gives is frame " +
                 std::to_string(numbering_.entryOf(picture)) + ")");
        }
    } catch (...) {
        positioned_ = false; // start afresh next time
        throw;
    }
}

} // namespace vidloom::preview
