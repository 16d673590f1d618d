#include "avi/CodecFamilies.h"

#include "avi/TextFormat.h"

#include <map>

namespace vidloom {

std::string codecFamily(const std::string& fourcc) {
    static const std::map<std::string, std::string> kFamilies = {
        {"XVID", "MPEG-4"},      {"DIVX", "MPEG-4"},      {"DX50", "MPEG-4"},
        {"FMP4", "MPEG-4"},      {"MP4V", "MPEG-4"},      {"3IV2", "MPEG-4"},
        {"M4S2", "MPEG-4"},      {"XVIX", "MPEG-4"},      {"DIV3", "MS MPEG-4"},
        {"DIV4", "MS MPEG-4"},   {"MP41", "MS MPEG-4"},   {"MP42", "MS MPEG-4"},
        {"MP43", "MS MPEG-4"},   {"MPG4", "MS MPEG-4"},   {"H264", "H.264"},
        {"X264", "H.264"},       {"AVC1", "H.264"},       {"DAVC", "H.264"},
        {"MJPG", "Motion JPEG"}, {"AVRN", "Motion JPEG"}, {"DMB1", "Motion JPEG"},
        {"JPGL", "Motion JPEG"}, {"LJPG", "Motion JPEG"}, {"DVSD", "DV"},
        {"DV25", "DV"},          {"DVHD", "DV"},          {"DVSL", "DV"},
        {"CDVC", "DV"},          {"DVCP", "DV"},          {"DV50", "DV"},
        {"HFYU", "HuffYUV"},     {"FFVH", "HuffYUV"}};
    const std::string code = upperShort(fourcc);
    const auto it = kFamilies.find(code);
    return it == kFamilies.end() ? code : it->second;
}

} // namespace vidloom
