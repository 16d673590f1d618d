#include "avi/IntraOnlyCodecs.h"

#include "avi/TextFormat.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vidloom {

namespace {

// Lower-case codes, four characters each.
constexpr std::array<std::string_view, 46> kIntraOnly{
    // Motion JPEG and its relatives.
    "mjpg", "mjpa", "mjpb", "jpeg", "jpgl", "ljpg", "avrn", "avdj", "dmb1", "mjls", "mj2c",
    // DV.
    "dvsd", "dvhd", "dvsl", "dv25", "dv50", "dvh1", "dvc ", "dvcp", "dvpp", "cdvc", "cdvh",
    // Uncompressed and packed YUV.
    "dib ", "rgb ", "raw ", "uyvy", "yuy2", "yuyv", "yv12", "i420", "iyuv", "y800", "v210", "2vuy",
    // Lossless intra codecs.
    "hfyu", "ffvh", "ffv1", "lags", "ulrg", "ulra", "uly0", "uly2", "cllc", "magy",
    // PNG frames (GStreamer's pngenc, ffmpeg's png encoder).
    "mpng", "png "};

bool intraOnly(const std::string& code) {
    if (code.size() != 4) {
        return false;
    }
    if (code == std::string(4, '\0')) {
        return true; // BI_RGB
    }
    const std::string folded = lowerShort(code);
    return std::find(kIntraOnly.begin(), kIntraOnly.end(), folded) != kIntraOnly.end();
}

} // namespace

bool isIntraOnlyCodec(const std::string& handler, const std::string& compression) {
    return intraOnly(handler) || intraOnly(compression);
}

} // namespace vidloom
