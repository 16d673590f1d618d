// PNG files of decoded frames, through FFmpeg's PNG encoder.

#include "preview/ffmpeg/PngWriter.h"

#include "avi/Errors.h"
#include "preview/ffmpeg/FfmpegSupport.h"

#include <cstring>
#include <fstream>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vidloom::preview {

void writePngFile(const Picture& picture, const std::string& fileName) {
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

} // namespace vidloom::preview
