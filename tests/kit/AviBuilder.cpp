#include "kit/AviBuilder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace vidloom::kit {

std::string le16(uint16_t v) {
    return std::string{char(v & 0xFF), char(v >> 8)};
}

std::string le32(uint32_t v) {
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                       char((v >> 24) & 0xFF)};
}

void put32(std::string& bytes, size_t offset, uint32_t v) {
    bytes.replace(offset, 4, le32(v));
}

void put16(std::string& bytes, size_t offset, uint16_t v) {
    bytes.replace(offset, 2, le16(v));
}

uint32_t get32(const std::string& bytes, size_t offset) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | uint8_t(bytes.at(offset + size_t(i)));
    }
    return v;
}

std::string chunk(const std::string& id, const std::string& data) {
    std::string out = id + le32(uint32_t(data.size())) + data;
    if (data.size() % 2 == 1) {
        out += '\0';
    }
    return out;
}

std::string list(const std::string& type, const std::string& body) {
    return "LIST" + le32(uint32_t(body.size() + 4)) + type + body;
}

std::string infoList(const Tags& tags, bool sizeCountsHeader) {
    std::string body;
    for (const auto& [id, value] : tags) {
        body += chunk(id, value);
    }
    std::string out = list("INFO", body);
    if (sizeCountsHeader) {
        put32(out, 4, uint32_t(body.size() + 12));
    }
    return out;
}

void AviBuilder::addVideo(uint32_t flags, const std::string& data) {
    movie.push_back({"00dc", flags, data});
}

void AviBuilder::addAudio(const std::string& data) {
    movie.push_back({"01wb", 0x10, data});
}

void AviBuilder::addFrames(int n, int keyEvery, uint32_t keyFlags) {
    for (int i = 0; i < n; ++i) {
        addVideo(keyEvery > 0 && i % keyEvery == 0 ? keyFlags : 0);
        if (audio) {
            addAudio();
        }
    }
}

std::string AviBuilder::build() {
    offsets_ = Offsets{};
    int64_t videoFrames = 0;
    for (const auto& c : movie) {
        if (c.id.size() == 4 && c.id[2] != 'w') {
            ++videoFrames;
        }
    }
    const uint32_t frames = uint32_t(totalFrames >= 0 ? totalFrames : videoFrames);
    const uint32_t nStreams = uint32_t(streams >= 0 ? streams : (audio ? 2 : 1));

    std::string avih = le32(microSecPerFrame) + le32(1000000) + le32(0) + le32(0x10) +
                       le32(frames) + le32(0) + le32(nStreams) + le32(0x100000) + le32(width) +
                       le32(height) + le32(reserved0) + le32(reserved1) + le32(0) + le32(0);
    std::string vstrh = "vids" + handler.substr(0, 4) + le32(0) + le32(0) + le32(0) +
                        le32(microSecPerFrame) + le32(1000000) + le32(0) + le32(frames) +
                        le32(0x100000) + le32(10000) + le32(0) + le16(0) + le16(0) +
                        le16(uint16_t(width)) + le16(uint16_t(height));
    std::string vstrf = le32(40) + le32(width) + le32(height) + le16(1) + le16(bitCount) +
                        compression.substr(0, 4) + le32(width * height * 3) + le32(0) +
                        le32(0) + le32(0) + le32(0);
    std::string astrh = "auds" + std::string(4, '\0') + le32(0) + le32(0) + le32(0) + le32(1) +
                        le32(sampleRate) + le32(0) + le32(0) + le32(0x1000) + le32(10000) +
                        le32(0) + le16(0) + le16(0) + le16(0) + le16(0);
    std::string astrf = le16(formatTag) + le16(channels) + le32(sampleRate) + le32(bytesPerSec) +
                        le16(4) + le16(16) + le16(uint16_t(audioFormatExtra.size())) +
                        audioFormatExtra;

    const std::string videoList = list("strl", chunk("strh", vstrh) + chunk("strf", vstrf));
    const std::string audioList = list("strl", chunk("strh", astrh) + chunk("strf", astrf));
    std::string hdrlBody = chunk("avih", avih);
    if (audio && audioFirst) {
        hdrlBody += audioList + videoList;
    } else {
        hdrlBody += videoList;
        if (audio) {
            hdrlBody += audioList;
        }
    }

    std::string out = "RIFF" + le32(0) + "AVI ";
    auto locate = [&](const std::string& word, size_t from) {
        const size_t at = out.find(word, from);
        if (at == std::string::npos) {
            throw std::logic_error("AviBuilder: lost " + word);
        }
        return at;
    };

    const size_t hdrlStart = out.size();
    out += list("hdrl", hdrlBody);
    offsets_.hdrl = hdrlStart + 8;
    offsets_.avih = offsets_.hdrl + 4;
    offsets_.vids = locate("vids", hdrlStart);
    offsets_.videoStrf = locate("strf", offsets_.vids);
    if (audio) {
        offsets_.auds = locate("auds", hdrlStart);
        offsets_.audioStrf = locate("strf", offsets_.auds);
    }

    if (nandub) {
        const size_t at = out.size();
        out += infoList(nandubTags, infoSizeCountsHeader);
        offsets_.nandubInfo = at + 8;
    }
    if (!junkBeforeMovi.empty()) {
        out += chunk("JUNK", junkBeforeMovi);
    }

    std::string moviBody;
    std::string index;
    const size_t moviListStart = out.size();
    for (const auto& c : movie) {
        const size_t chunkOffsetFromMovi = 4 + moviBody.size();
        const uint32_t recorded =
            indexRelativeToMovi ? uint32_t(chunkOffsetFromMovi)
                                : uint32_t(moviListStart + 8 + chunkOffsetFromMovi);
        index += c.id + le32(c.flags) + le32(recorded) + le32(uint32_t(c.data.size()));
        moviBody += chunk(c.id, c.data);
    }
    out += list("movi", moviBody);
    offsets_.moviSize = moviListStart + 4;
    offsets_.movi = moviListStart + 8;

    if (writeIndex) {
        offsets_.idx1 = out.size();
        out += chunk("idx1", index);
    }
    if (brand) {
        const size_t at = out.size();
        out += infoList(brandTags, infoSizeCountsHeader);
        offsets_.brandInfo = at + 8;
    }
    put32(out, 4, uint32_t(out.size() - 8));
    offsets_.end = out.size();
    return out;
}

std::string tempDir() {
    static const std::string dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "vidloom-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a temporary folder");
        }
        static std::string toRemove;
        toRemove = pattern;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(toRemove, ec);
        });
        return pattern;
    }();
    return dir;
}

std::string writeTemp(const std::string& name, const std::string& bytes) {
    const std::string path = (std::filesystem::path(tempDir()) / name).string();
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), std::streamsize(bytes.size()));
    if (!f) {
        throw std::runtime_error("cannot write " + path);
    }
    return path;
}

std::string readAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

} // namespace vidloom::kit
