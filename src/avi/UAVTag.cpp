#include "avi/UAVTag.h"

#include "avi/TextFormat.h"

namespace vidloom {

void TAudioTag::addTag(int32_t tag, const std::string& name) {
    list_.append(intToText(tag), name);
}

std::string TAudioTag::getInfoTag(int32_t tag) const {
    const int32_t at = list_.indexOf(intToText(tag));
    return at >= 0 ? list_.info(at).Text : "Unknown Audio Tag: " + intToText(tag);
}

void TVideoFCC::addFCC(const std::string& code, const std::string& name) {
    list_.append(lowerShort(code), name);
}

std::string TVideoFCC::getFCCInfo(const std::string& code) const {
    const int32_t at = list_.indexOf(lowerShort(code));
    return at >= 0 ? list_.info(at).Text : "Unknown F4CC codec: " + code;
}

const TAudioTag& AudioTagTable() {
    static const TAudioTag table = [] {
        TAudioTag t;
        t.addTag(2, "microsoft ACPM");
        t.addTag(85, "mp3");
        return t;
    }();
    return table;
}

const TVideoFCC& VideoFCCTable() {
    static const TVideoFCC table = [] {
        TVideoFCC t;
        t.addFCC("div3", "DivX MPEG-4 Low Motion");
        t.addFCC("div4", "DivX MPEG-4 High Motion");
        t.addFCC("div5", "DivX MPEG-4 Low Motion VKI");
        t.addFCC("div6", "DivX MPEG-4 High Motion VKI");
        t.addFCC("divx", "DivX MPEG-4 5.0x");
        t.addFCC("dx50", "DivX MPEG-4 5.0x");
        t.addFCC("xvid", "Xvid MPEG-4");
        t.addFCC("yuy2", "Raw, uncompressed YUV 4:2:2");
        t.addFCC("raw#0", "Raw, uncompressed RGB");
        t.addFCC("mpg4", "Msoft MPEG-4 Vid Codec V1");
        return t;
    }();
    return table;
}

} // namespace vidloom
