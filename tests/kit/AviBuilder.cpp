#include "kit/AviBuilder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace vidloom::kit {

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
    movie.push_back({videoId(), flags, data});
}

void AviBuilder::addAudio(const std::string& data) {
    movie.push_back({audioId(), 0x10, data});
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
    const int64_t firstPart =
        openDml && framesPerPart > 0 ? std::min<int64_t>(videoFrames, framesPerPart) : videoFrames;
    const uint32_t frames = uint32_t(totalFrames >= 0 ? totalFrames : firstPart);
    const uint32_t length = uint32_t(streamLength >= 0 ? streamLength
                                     : openDml         ? videoFrames
                                                       : frames);
    const uint32_t nStreams = uint32_t(streams >= 0 ? streams : (audio ? 2 : 1));

    std::string avih = le32(microSecPerFrame) + le32(1000000) + le32(0) + le32(0x10) +
                       le32(frames) + le32(0) + le32(nStreams) + le32(0x100000) + le32(width) +
                       le32(height) + le32(reserved0) + le32(reserved1) + le32(0) + le32(0);
    std::string vstrh = "vids" + handler.substr(0, 4) + le32(0) + le32(0) + le32(0) +
                        le32(microSecPerFrame) + le32(1000000) + le32(0) + le32(length) +
                        le32(0x100000) + le32(10000) + le32(0) + le16(0) + le16(0) +
                        le16(uint16_t(width)) + le16(uint16_t(height));
    std::string vstrf = le32(40) + le32(width) + le32(height) + le16(1) + le16(bitCount) +
                        compression.substr(0, 4) + le32(width * height * 3) + le32(0) + le32(0) +
                        le32(0) + le32(0);
    std::string astrh = "auds" + std::string(4, '\0') + le32(0) + le32(0) + le32(0) + le32(1) +
                        le32(sampleRate) + le32(0) + le32(0) + le32(0x1000) + le32(10000) +
                        le32(0) + le16(0) + le16(0) + le16(0) + le16(0);
    std::string astrf = le16(formatTag) + le16(channels) + le32(sampleRate) + le32(bytesPerSec) +
                        le16(4) + le16(16) + le16(uint16_t(audioFormatExtra.size())) +
                        audioFormatExtra;

    const size_t capacity =
        std::max(superIndexRoom, 4 + movie.size() / std::max<size_t>(1, size_t(framesPerPart)));
    const std::string videoList =
        list("strl", chunk("strh", vstrh) + chunk("strf", vstrf) +
                         (openDml ? chunk("indx", superIndex(videoId(), {}, capacity)) : ""));
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
    if (openDml) {
        offsets_.superIndex = locate("indx", offsets_.vids) + 8;
        buildOpenDml(out);
        offsets_.end = out.size();
        return out;
    }

    std::string moviBody;
    std::string index;
    const size_t moviListStart = out.size();
    for (const auto& c : movie) {
        const size_t chunkOffsetFromMovi = 4 + moviBody.size();
        const uint32_t recorded = indexRelativeToMovi
                                      ? uint32_t(chunkOffsetFromMovi)
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

namespace {
bool isFrameOf(const std::string& id, const std::string& videoId) {
    return id.size() == 4 && id.compare(0, 2, videoId, 0, 2) == 0 &&
           (id.compare(2, 2, "dc") == 0 || id.compare(2, 2, "db") == 0);
}
} // namespace

void AviBuilder::buildOpenDml(std::string& out) {
    std::vector<std::vector<const MovieChunk*>> parts(1);
    int inPart = 0;
    for (const MovieChunk& c : movie) {
        const bool video = isFrameOf(c.id, videoId());
        if (video && framesPerPart > 0 && inPart == framesPerPart) {
            parts.emplace_back();
            inPart = 0;
        }
        parts.back().push_back(&c);
        inPart += video ? 1 : 0;
    }
    std::vector<SuperIndexEntry> supers;
    const std::string ixId = "ix" + videoId().substr(0, 2);
    for (size_t p = 0; p < parts.size(); ++p) {
        const size_t partStart = p == 0 ? 0 : out.size();
        if (p > 0) {
            out += "RIFF" + le32(0) + "AVIX";
        }
        offsets_.riffParts.push_back(partStart);
        const size_t listStart = out.size();
        const size_t moviWord = listStart + 8;
        std::string body; // after the word movi
        std::string entries;
        std::string index;
        uint32_t count = 0;
        for (const MovieChunk* c : parts[p]) {
            const size_t fromMovi = 4 + body.size();
            const uint32_t recorded =
                uint32_t(indexRelativeToMovi ? fromMovi : moviWord - 4 + 8 + fromMovi);
            index += c->id + le32(c->flags) + le32(recorded) + le32(uint32_t(c->data.size()));
            if (isFrameOf(c->id, videoId())) {
                const uint32_t notKey = (c->flags & 0x10) != 0 ? 0 : 0x80000000u;
                entries += le32(uint32_t(fromMovi + 8)) + le32(uint32_t(c->data.size()) | notKey) +
                           (fieldIndex ? le32(0) : "");
                ++count;
            }
            body += chunk(c->id, c->data);
        }
        const size_t ixPos = moviWord + 4 + body.size();
        const std::string ix =
            standardIndexHead(ixId, videoId(), moviWord, count, fieldIndex) + entries;
        body += ix;
        out += list("movi", body);
        offsets_.standardIndexes.push_back(ixPos);
        supers.push_back({ixPos, uint32_t(ix.size() - 8), count});
        if (p == 0) {
            offsets_.moviSize = listStart + 4;
            offsets_.movi = moviWord;
            if (writeIndex) {
                offsets_.idx1 = out.size();
                out += chunk("idx1", index);
            }
            if (brand) {
                const size_t at = out.size();
                out += infoList(brandTags, infoSizeCountsHeader);
                offsets_.brandInfo = at + 8;
            }
        }
        put32(out, partStart + 4, uint32_t(out.size() - partStart - 8));
    }
    const size_t capacity = (get32(out, offsets_.superIndex - 4) - 24) / 16;
    out.replace(offsets_.superIndex, 24 + 16 * capacity, superIndex(videoId(), supers, capacity));
}

std::string tempDir() {
    static const std::string dir = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vidloom-test-XXXXXX").string();
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
