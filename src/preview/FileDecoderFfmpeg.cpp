// The preview part on FFmpeg's libraries: libavformat reads the AVI file's
// packets, libavcodec decodes them, libswscale turns pictures into RGB.

#include "preview/FileDecoder.h"
#include "preview/PreviewErrors.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <fstream>
#include <limits>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace vidloom::preview {

namespace {

std::string reasonOf(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// FFmpeg's own log would interleave with Vidloom's messages; its reasons
// reach the user through the error codes instead.
void quietLogs() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

int32_t clampToInt32(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max()));
}

// A decoded picture and which picture of the file it is (-1: not known).
struct Decoded {
    AVFrame* frame = nullptr;
    int32_t picture = -1;
};

} // namespace

struct FileDecoder::State {
    std::string fileName;
    FrameNumbering numbering;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* received = nullptr;
    SwsContext* scaler = nullptr;
    int stream = -1;
    int threads = 0;
    int32_t delay = 0; // how far a picture's stamp trails its own entry, in pictures

    // Where decoding stands since the last seek.
    bool positioned = false;     // false: the next frame needs a seek
    bool drained = false;        // the end of the file was reached and the decoder emptied
    int32_t seekKey = -1;        // the key frame decoding started from (-1: the file's start)
    int32_t lastFed = -1;        // entry of the last packet given to the decoder
    int32_t lastTaken = -1;      // picture last taken from the decoder's output (-1: none)
    int32_t lastKnown = -1;      // picture last identified
    std::deque<Decoded> pending; // pictures given by the decoder, not yet taken
    int64_t packets = 0;
    int64_t seeks = 0;

    ~State() {
        clearPending();
        sws_freeContext(scaler);
        av_frame_free(&received);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }

    [[noreturn]] void fail(const std::string& what) const {
        throw DecodeError(fileName + ": cannot be decoded: " + what);
    }

    void clearPending() {
        for (Decoded& d : pending) {
            av_frame_free(&d.frame);
        }
        pending.clear();
    }

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
};

void FileDecoder::State::open() {
    quietLogs();
    // The core has read the file as AVI; FFmpeg need not guess.
    const AVInputFormat* avi = av_find_input_format("avi");
    int r = avformat_open_input(&format, fileName.c_str(), avi, nullptr);
    if (r < 0) {
        fail(reasonOf(r));
    }
    const AVCodec* decoder = nullptr;
    r = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (r == AVERROR_DECODER_NOT_FOUND) {
        int video = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        char tag[AV_FOURCC_MAX_STRING_SIZE] = {};
        av_fourcc_make_string(tag, video >= 0 ? format->streams[video]->codecpar->codec_tag : 0);
        fail(std::string("FFmpeg has no decoder for its video codec ") + tag);
    }
    if (r < 0) {
        fail("FFmpeg finds no video stream in it");
    }
    stream = r;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        // Only video packets are read; the demuxer skips the rest.
        format->streams[i]->discard = int(i) == stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
    codec = avcodec_alloc_context3(decoder);
    packet = av_packet_alloc();
    received = av_frame_alloc();
    if (!codec || !packet || !received) {
        fail("out of memory");
    }
    r = avcodec_parameters_to_context(codec, format->streams[stream]->codecpar);
    if (r >= 0) {
        codec->thread_count = threads;
        codec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
        r = avcodec_open2(codec, decoder, nullptr);
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
void FileDecoder::State::checkIndex() const {
    AVStream* video = format->streams[stream];
    const int count = avformat_index_get_entries_count(video);
    int32_t picture = 0;
    for (int i = 0; i < count && picture < numbering.pictures(); ++i) {
        const AVIndexEntry* entry = avformat_index_get_entry(video, i);
        if (entry->timestamp >= numbering.frames()) {
            break;
        }
        const int32_t expected = numbering.entryOf(picture);
        if (entry->timestamp != expected) {
            fail("FFmpeg reads its video index differently (its picture " +
                 std::to_string(picture) + " is entry " + std::to_string(entry->timestamp) +
                 ", the index says entry " + std::to_string(expected) + ")");
        }
        ++picture;
    }
    if (picture < numbering.pictures()) {
        fail("FFmpeg reads " + std::to_string(picture) + " pictures from its index, Vidloom " +
             std::to_string(numbering.pictures()));
    }
}

// The delay is the picture number the first picture's stamp gives when
// decoding from the start, where the first picture is picture 0.
void FileDecoder::State::calibrate() {
    if (numbering.pictures() == 0) {
        return;
    }
    seekTo(numbering.keyAtOrBefore(numbering.entryOf(0)));
    Decoded first;
    if (!next(first)) {
        fail("FFmpeg gives no picture for it");
    }
    delay = std::clamp(first.picture, 0, 64);
    first.picture = 0;
    lastKnown = 0;
    pending.push_front(first);
}

void FileDecoder::State::seekTo(int32_t key) {
    clearPending();
    avcodec_flush_buffers(codec);
    positioned = false;
    drained = false;
    seekKey = key;
    lastFed = -1;
    lastTaken = -1;
    lastKnown = -1;
    ++seeks;
    // The AVI reader's time stamps are entry numbers: seeking to a key
    // frame's number lands on that key frame. Without a key frame at or
    // before, decoding starts at the first picture.
    const int64_t ts = key >= 0 ? key : numbering.entryOf(0);
    int r =
        av_seek_frame(format, stream, ts, AVSEEK_FLAG_BACKWARD | (key < 0 ? AVSEEK_FLAG_ANY : 0));
    if (r < 0) {
        r = av_seek_frame(format, stream, ts, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
    }
    if (r < 0) {
        fail("FFmpeg cannot seek to frame " + std::to_string(ts) + " (" + reasonOf(r) + ")");
    }
    positioned = true;
}

int32_t FileDecoder::State::identify(const AVFrame* frame) {
    int32_t picture = -1;
    if (frame->pkt_dts != AV_NOPTS_VALUE) {
        const int32_t stamped = numbering.pictureAt(clampToInt32(frame->pkt_dts));
        if (stamped >= 0) {
            picture = stamped - delay;
        }
    }
    if (picture < 0 && lastKnown >= 0) {
        picture = lastKnown + 1; // no stamp: the picture after the last one known
    }
    if (picture >= 0) {
        lastKnown = picture;
    }
    return picture;
}

bool FileDecoder::State::next(Decoded& out) {
    for (;;) {
        if (!pending.empty()) {
            out = pending.front();
            pending.pop_front();
            return true;
        }
        if (drained) {
            return false;
        }
        const int r = avcodec_receive_frame(codec, received);
        if (r == 0) {
            out.frame = av_frame_alloc();
            if (!out.frame) {
                fail("out of memory");
            }
            av_frame_move_ref(out.frame, received);
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
void FileDecoder::State::feed() {
    for (;;) {
        const int r = av_read_frame(format, packet);
        if (r == AVERROR(EAGAIN)) {
            continue;
        }
        if (r < 0) {
            // The end of the file, or data that cannot be read: what was
            // read so far is still shown.
            drain();
            return;
        }
        if (packet->stream_index != stream) {
            av_packet_unref(packet);
            continue;
        }
        if (packet->dts != AV_NOPTS_VALUE) {
            lastFed = clampToInt32(packet->dts);
        }
        ++packets;
        // A packet the decoder refuses (damaged data) is skipped, as ffmpeg does.
        avcodec_send_packet(codec, packet);
        av_packet_unref(packet);
        return;
    }
}

void FileDecoder::State::drain() {
    avcodec_send_packet(codec, nullptr);
    std::vector<AVFrame*> rest;
    for (;;) {
        AVFrame* frame = av_frame_alloc();
        if (!frame) {
            fail("out of memory");
        }
        if (avcodec_receive_frame(codec, frame) < 0) {
            av_frame_free(&frame);
            break;
        }
        rest.push_back(frame);
    }
    drained = true;
    for (size_t i = 0; i < rest.size(); ++i) {
        int32_t picture = identify(rest[i]);
        if (picture < 0) {
            // Nothing identified since the seek: these are the file's last pictures.
            picture = numbering.pictures() - int32_t(rest.size() - i);
            lastKnown = picture;
        }
        pending.push_back({rest[i], picture});
    }
}

Picture FileDecoder::State::convert(const AVFrame* frame, Size box) {
    const Size size = fitInto(frame->width, frame->height, box);
    // Bicubic, as ffmpeg's own conversion to RGB for a PNG file, so that a
    // frame at the file's own size has ffmpeg's pixels.
    scaler = sws_getCachedContext(scaler, frame->width, frame->height, AVPixelFormat(frame->format),
                                  size.width, size.height, AV_PIX_FMT_RGB24, SWS_BICUBIC, nullptr,
                                  nullptr, nullptr);
    if (!scaler) {
        fail("FFmpeg cannot convert its pictures to RGB");
    }
    // The colour details ffmpeg's scale filter takes from the picture.
    if (frame->color_range != AVCOL_RANGE_UNSPECIFIED) {
        int* inverse = nullptr;
        int* table = nullptr;
        int inFull = 0, outFull = 0, brightness = 0, contrast = 0, saturation = 0;
        sws_getColorspaceDetails(scaler, &inverse, &inFull, &table, &outFull, &brightness,
                                 &contrast, &saturation);
        inFull = frame->color_range == AVCOL_RANGE_JPEG;
        sws_setColorspaceDetails(scaler, sws_getCoefficients(frame->colorspace), inFull, table,
                                 outFull, brightness, contrast, saturation);
    }
    // An aligned buffer for the scaler, then packed rows.
    uint8_t* data[4] = {};
    int lines[4] = {};
    const int r = av_image_alloc(data, lines, size.width, size.height, AV_PIX_FMT_RGB24, 64);
    if (r < 0) {
        fail("out of memory");
    }
    sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, data, lines);
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

Picture FileDecoder::State::black(Size box) const {
    const Size size = fitInto(codec->width, codec->height, box);
    Picture picture;
    picture.width = size.width;
    picture.height = size.height;
    picture.rgb.assign(size_t(size.width) * size_t(size.height) * 3, 0);
    return picture;
}

FileDecoder::FileDecoder(const std::string& fileName, EntryMap entries, int threads)
    : state_(std::make_unique<State>()) {
    state_->fileName = fileName;
    state_->threads = std::max(threads, 0);
    state_->numbering = FrameNumbering(std::move(entries));
    state_->open();
}

FileDecoder::~FileDecoder() = default;

const FrameNumbering& FileDecoder::numbering() const {
    return state_->numbering;
}

int64_t FileDecoder::packetsDecoded() const {
    return state_->packets;
}

int64_t FileDecoder::seeks() const {
    return state_->seeks;
}

Picture FileDecoder::frame(int32_t n, Size box) {
    State& s = *state_;
    s.numbering.checkRange(s.fileName, n);
    const int32_t target = s.numbering.pictureOf(n);
    if (target < 0) {
        return s.black(box); // a dropped frame with nothing before it
    }
    const int32_t source = s.numbering.entryOf(target);
    int32_t key = s.numbering.keyAtOrBefore(source);
    // Going on from where the last frame stopped costs no more than a seek
    // when the seek would land at or before what was already decoded.
    const bool goOn = s.positioned && target > s.lastTaken && key <= std::max(s.lastFed, s.seekKey);
    if (!goOn) {
        s.seekTo(key);
    }
    try {
        for (;;) {
            Decoded d;
            if (!s.next(d)) {
                s.fail("FFmpeg gives no picture for frame " + std::to_string(n));
            }
            const int32_t picture = d.picture;
            if (picture < target) {
                av_frame_free(&d.frame); // before the target, or not known
                if (picture >= 0) {
                    s.lastTaken = picture;
                }
                continue;
            }
            if (picture == target) {
                Picture result = s.convert(d.frame, box);
                av_frame_free(&d.frame);
                s.lastTaken = picture;
                result.sourceEntry = source;
                return result;
            }
            // Past the target: the target shows before the first picture this
            // key frame gives (an open group's B-frames). Start one key
            // frame earlier, or from the file's start.
            if (s.lastTaken < 0 && s.seekKey >= 0) {
                av_frame_free(&d.frame);
                s.seekTo(s.numbering.keyBefore(s.seekKey));
                continue;
            }
            av_frame_free(&d.frame);
            s.fail("FFmpeg gives no picture for frame " + std::to_string(n) +
                   " (the next picture it gives is frame " +
                   std::to_string(s.numbering.entryOf(picture)) + ")");
        }
    } catch (...) {
        s.positioned = false; // start afresh next time
        throw;
    }
}

void writePng(const Picture& picture, const std::string& fileName) {
    quietLogs();
    const AVCodec* png = avcodec_find_encoder(AV_CODEC_ID_PNG);
    AVCodecContext* codec = png ? avcodec_alloc_context3(png) : nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    std::string failure;
    if (!codec || !frame || !packet) {
        failure = "FFmpeg has no PNG encoder";
    } else {
        codec->width = picture.width;
        codec->height = picture.height;
        codec->pix_fmt = AV_PIX_FMT_RGB24;
        codec->time_base = AVRational{1, 25};
        frame->format = AV_PIX_FMT_RGB24;
        frame->width = picture.width;
        frame->height = picture.height;
        int r = avcodec_open2(codec, png, nullptr);
        if (r >= 0) {
            r = av_frame_get_buffer(frame, 0);
        }
        if (r >= 0) {
            const size_t row = size_t(picture.width) * 3;
            for (int32_t y = 0; y < picture.height; ++y) {
                std::memcpy(frame->data[0] + ptrdiff_t(frame->linesize[0]) * y,
                            picture.rgb.data() + row * size_t(y), row);
            }
            r = avcodec_send_frame(codec, frame);
        }
        if (r >= 0) {
            r = avcodec_receive_packet(codec, packet);
        }
        if (r < 0) {
            failure = "FFmpeg cannot encode the PNG picture (" + reasonOf(r) + ")";
        } else {
            std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(packet->data), packet->size);
            out.close();
            if (!out) {
                failure = "cannot be written";
            }
        }
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    if (!failure.empty()) {
        throw IoError(fileName + ": " + failure);
    }
}

bool previewsBuiltIn() {
    return true;
}

} // namespace vidloom::preview
