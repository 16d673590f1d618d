#include "avi/CodecNames.h"

#include "avi/TextFormat.h"

namespace vidloom {

void AudioFormatNames::add(int32_t tag, const std::string& name) {
    list_.append(intToText(tag), name);
}

std::string AudioFormatNames::nameOf(int32_t tag) const {
    const int32_t at = list_.indexOf(intToText(tag));
    return at >= 0 ? list_.text(at) : "Unknown Audio Tag: " + intToText(tag);
}

void VideoCodecNames::add(const std::string& code, const std::string& name) {
    list_.append(lowerShort(code), name);
}

std::string VideoCodecNames::nameOf(const std::string& code) const {
    const int32_t at = list_.indexOf(lowerShort(code));
    return at >= 0 ? list_.text(at) : "Unknown F4CC codec: " + code;
}

const AudioFormatNames& audioFormatNames() {
    static const AudioFormatNames table = [] {
        AudioFormatNames t;
        t.add(2, "microsoft ACPM");
        t.add(85, "mp3");
        t.add(1, "pcm");
        t.add(3, "pcm float");
        t.add(6, "a-law");
        t.add(7, "u-law");
        t.add(17, "ima adpcm");
        t.add(80, "mp2");
        t.add(255, "aac");
        t.add(353, "wma");
        t.add(8192, "ac3");
        t.add(8193, "dts");
        t.add(22127, "vorbis");
        t.add(61868, "flac");
        t.add(65534, "extensible");
        return t;
    }();
    return table;
}

const VideoCodecNames& videoCodecNames() {
    static const VideoCodecNames table = [] {
        VideoCodecNames t;
        t.add("div3", "DivX MPEG-4 Low Motion");
        t.add("div4", "DivX MPEG-4 High Motion");
        t.add("div5", "DivX MPEG-4 Low Motion VKI");
        t.add("div6", "DivX MPEG-4 High Motion VKI");
        t.add("divx", "DivX MPEG-4 5.0x");
        t.add("dx50", "DivX MPEG-4 5.0x");
        t.add("xvid", "Xvid MPEG-4");
        t.add("yuy2", "Raw, uncompressed YUV 4:2:2");
        t.add("raw#0", "Raw, uncompressed RGB");
        t.add("mpg4", "Msoft MPEG-4 Vid Codec V1");
        for (const char* h264 : {"h264", "x264", "avc1"}) {
            t.add(h264, "H.264/AVC");
        }
        t.add("mjpg", "Motion JPEG");
        t.add("fmp4", "FFmpeg MPEG-4");
        t.add("mp42", "Msoft MPEG-4 V2");
        t.add("mp43", "Msoft MPEG-4 V3");
        for (const char* wmv : {"wmv1", "wmv2", "wmv3"}) {
            t.add(wmv, "Windows Media Video");
        }
        t.add("hfyu", "HuffYUV");
        t.add("ffv1", "FFV1 lossless");
        t.add("dvsd", "DV");
        t.add("mp4v", "MPEG-4 Visual");
        t.add("i420", "Raw, uncompressed YUV 4:2:0");
        t.add("yv12", "Raw, uncompressed YUV 4:2:0");
        t.add("uyvy", "Raw, uncompressed YUV 4:2:2");
        return t;
    }();
    return table;
}

} // namespace vidloom
