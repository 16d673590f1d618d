// Damaged headers as the reader meets them: a file cut short inside any field
// says which offset and which structure it was reading, size words at the edge
// of 32 bits give the overflow error exactly where a sum leaves the range, and
// untrusted sizes that the reader does not need cause no error at all.

#include "avi/AviHeader.h"
#include "avi/Errors.h"
#include "avi/InfoTags.h"
#include "kit/AviBuilder.h"
#include "kit/Outcome.h"

#include <functional>
#include <gtest/gtest.h>

using namespace vidloom;
using kit::AviBuilder;

namespace {

using Kind = kit::ErrorKind;
using kit::nameOf;

// The kind and message of what constructing a AviHeader of path raises.
std::pair<Kind, std::string> outcomeOf(const std::string& path) {
    return kit::outcomeOf([&] { AviHeader info(path); });
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// A file in which every field lies after the ones read before it: a JUNK
// chunk right after the RIFF header holds the first "movi" (whose size word
// points at the real index), so a cut anywhere after it runs into the end of
// the file in the middle of the field being read, not in a search for
// "movi". The handler divx makes the reader take the code from the format's
// biCompression as well; a tag list follows the index.
struct OrderedFile {
    std::string bytes;
    kit::Offsets at; // the builder's offsets, moved by the inserted chunk
};

OrderedFile orderedFile() {
    AviBuilder b;
    b.handler = "divx";
    b.compression = "DX50";
    b.brand = true;
    b.brandTags = {{"ISFT", "kit"}, {"ICMT", "note"}};
    b.addFrames(3);
    std::string bytes = b.build();
    kit::Offsets at = b.offsets();
    const size_t shift = 16;
    for (size_t* o : {&at.hdrl, &at.avih, &at.vids, &at.videoStrf, &at.auds, &at.audioStrf,
                      &at.moviSize, &at.movi, &at.idx1, &at.brandInfo, &at.end}) {
        *o += shift;
    }
    // "JUNK", its size 8, then a movi size word S with S + 20 + 4 = idx1.
    bytes.insert(12, "JUNK" + kit::le32(8) + kit::le32(uint32_t(at.idx1 - 24)) + "movi");
    kit::put32(bytes, 4, uint32_t(bytes.size() - 8));
    return {bytes, at};
}

} // namespace

TEST(MalformedHeader, EachFieldCutShortNamesItsOffsetAndStructure) {
    const OrderedFile file = orderedFile();
    const kit::Offsets& o = file.at;
    {
        const AviHeader whole(kit::writeTemp("ordered.avi", file.bytes));
        // The chunk tree leads past the JUNK chunk's words to the real list.
        ASSERT_EQ(whole.MoviSizePos, int32_t(o.moviSize));
        ASSERT_EQ(whole.IndexPos, int32_t(o.idx1));
        ASSERT_EQ(whole.VideoFourCC, "DX50");
        ASSERT_TRUE(whole.BrandTagFound);
        ASSERT_EQ(whole.BrandInfo->value(3), "note");
    }

    struct Field {
        const char* name;
        size_t offset;
        size_t width;
        std::string reading; // what the message says was being read
    };
    const size_t h = o.hdrl, v = o.vids, f = o.videoStrf, g = o.audioStrf;
    std::vector<Field> fields = {
        {"dwMicroSecPerFrame", h + 12, 4, "the main header"},
        {"dwMaxBytesPerSec", h + 16, 4, "the main header"},
        {"dwPaddingGranularity", h + 20, 4, "the main header"},
        {"dwFlags", h + 24, 4, "the main header"},
        {"dwTotalFrames", h + 28, 4, "the main header"},
        {"dwInitialFrames", h + 32, 4, "the main header"},
        {"dwStreams", h + 36, 4, "the main header"},
        {"dwWidth", h + 44, 4, "the main header"},
        {"dwHeight", h + 48, 4, "the main header"},
        {"dwReserved[0]", h + 52, 4, "the main header"},
        {"dwReserved[1]", h + 56, 4, "the main header"},
        {"fccHandler", v + 4, 4, "the video stream header"},
        {"biBitCount", f + 22, 2, "the video format's bit count"},
        {"biCompression", f + 24, 4, "the video format's compression code"},
        {"audio strf size", g + 4, 4, "the audio format size"},
        {"wFormatTag", g + 8, 2, "the audio format"},
        {"nChannels", g + 10, 2, "the audio format"},
        {"nSamplesPerSec", g + 12, 4, "the audio format"},
        {"nAvgBytesPerSec", g + 16, 4, "the audio format"},
        // The copy of the size word and the 18 bytes of format data.
        {"audio format block", g + 4, 4 + 18, "the audio format"},
        // (A cut inside idx1 leaves whole frames: the index is then rebuilt
        // from them and no tag is looked for after it.)
        {"INFO tag id", o.brandInfo + 4, 4, "an INFO tag id"},
        {"INFO tag length", o.brandInfo + 8, 4, "an INFO tag length"},
        {"INFO tag value", o.brandInfo + 12, 3, "the value of INFO tag \"ISFT\""},
        {"second INFO tag id", o.brandInfo + 16, 4, "an INFO tag id"},
        {"second INFO tag value", o.brandInfo + 24, 4, "the value of INFO tag \"ICMT\""},
    };
    // The ten words of the video stream header after fccHandler.
    for (size_t k = 0; k < 10; ++k) {
        fields.push_back({"video strh word", v + 8 + 4 * k, 4, "the video stream header"});
    }

    for (const Field& field : fields) {
        SCOPED_TRACE(std::string(field.name) + " at " + std::to_string(field.offset));
        // The field lacks only its last byte.
        const size_t cut = field.offset + field.width - 1;
        const std::string path = kit::writeTemp("ordered-cut.avi", file.bytes.substr(0, cut));
        const auto [kind, message] = outcomeOf(path);
        EXPECT_EQ(nameOf(kind), nameOf(Kind::Io));
        EXPECT_TRUE(startsWith(message, path + ": unexpected end of file at offset " +
                                            std::to_string(field.offset) + " while reading " +
                                            field.reading))
            << message;
    }
}

TEST(MalformedHeader, SizeWordsAtTheEdgeOf32Bits) {
    AviBuilder b;
    b.addFrames(4);
    const std::string bytes = b.build();
    const kit::Offsets o = b.offsets();
    const int64_t maxInt = INT32_MAX;
    // The movi size word that puts the index at indexPos.
    auto indexAt = [&](int64_t indexPos) {
        return
            [=](std::string& f) { kit::put32(f, o.moviSize, uint32_t(indexPos - o.moviSize - 4)); };
    };
    // The idx1 size word that starts the tag search at start.
    auto tagSearchFrom = [&](int64_t start) {
        return [=](std::string& f) { kit::put32(f, o.idx1 + 4, uint32_t(start - o.idx1 - 4)); };
    };

    struct Case {
        std::string what;
        std::function<void(std::string&)> patch;
        Kind kind;
        std::string says; // a part of the message, when there is an error
    };
    std::vector<Case> cases;
    // RiffEnd = RIFF size + 8 leaves the range from 2147483640 on.
    cases.push_back({"RIFF size 2147483639", [](std::string& f) { kit::put32(f, 4, 2147483639u); },
                     Kind::None, ""});
    for (uint32_t size = 2147483640u; size <= 2147483647u; ++size) {
        cases.push_back({"RIFF size " + std::to_string(size),
                         [size](std::string& f) { kit::put32(f, 4, size); }, Kind::Overflow,
                         "end of the RIFF list"});
    }
    for (uint32_t size : {0x80000000u, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
        cases.push_back({"negative RIFF size " + std::to_string(size),
                         [size](std::string& f) { kit::put32(f, 4, size); }, Kind::None, ""});
    }
    // IndexPos = movi size + MoviSizePos + 4, and the index size word 4 bytes on.
    // A movie list that runs past the end of the file: its frames are found
    // by scanning, and no tag is looked for after an index that is not there.
    cases.push_back({"index at 2^31 - 5", indexAt(maxInt - 4), Kind::None, ""});
    cases.push_back({"index at 2^31 - 4", indexAt(maxInt - 3), Kind::None, ""});
    cases.push_back({"index at 2^31 - 1", indexAt(maxInt), Kind::None, ""});
    cases.push_back({"movi size word 2^31 - 1",
                     [&](std::string& f) { kit::put32(f, o.moviSize, 0x7FFFFFFFu); },
                     Kind::Overflow, "index position"});
    cases.push_back({"negative movi size",
                     [&](std::string& f) { kit::put32(f, o.moviSize, 0xF0000000u); }, Kind::None,
                     ""});
    // The bit rate subtracts 8 bytes a frame from the movi size first.
    cases.push_back({"movi size word -2^31",
                     [&](std::string& f) { kit::put32(f, o.moviSize, 0x80000000u); },
                     Kind::Overflow, "video bit rate"});
    // An idx1 size that runs past the end of the file is an index cut short:
    // the frames are found by scanning and no tag is looked for after it.
    cases.push_back({"tag search from 2^31 - 1", tagSearchFrom(maxInt), Kind::None, ""});
    cases.push_back({"tag search from 2^31", tagSearchFrom(maxInt + 1), Kind::None, ""});
    cases.push_back({"idx1 size word 2^31",
                     [&](std::string& f) { kit::put32(f, o.idx1 + 4, 0x80000000u); }, Kind::None,
                     ""});
    // A negative size that keeps the first look inside the file is harmless
    // to the header reader (the key-frame questions refuse it).
    cases.push_back({"idx1 size word -16",
                     [&](std::string& f) { kit::put32(f, o.idx1 + 4, 0xFFFFFFF0u); }, Kind::None,
                     ""});
    // The play length: 2000 microseconds a frame, so frames x 2 ms.
    auto length = [&](uint32_t microSec, uint32_t frames) {
        return [=](std::string& f) {
            kit::put32(f, o.avih + 8, microSec);
            kit::put32(f, o.avih + 8 + 16, frames);
        };
    };
    cases.push_back({"play length 2^31 ms", length(2000, 1073741824u), Kind::Range, "play length"});
    cases.push_back({"play length -2^31 - 2 ms", length(uint32_t(-2000), 1073741825u), Kind::Range,
                     "play length"});
    // One frame fewer fits; the bit rate then counts the index's frames.
    cases.push_back({"play length 2^31 - 2 ms", length(2000, 1073741823u), Kind::None, ""});
    cases.push_back(
        {"frame count 2^32 - 1", length(40000, 0xFFFFFFFFu), Kind::Range, "(dwTotalFrames)"});
    cases.push_back({"height 0", [&](std::string& f) { kit::put32(f, o.avih + 8 + 36, 0); },
                     Kind::Division, "aspect ratio"});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string patched = bytes;
        c.patch(patched);
        const std::string path = kit::writeTemp("edge.avi", patched);
        const auto [kind, message] = outcomeOf(path);
        EXPECT_EQ(nameOf(kind), nameOf(c.kind)) << message;
        if (c.kind != Kind::None) {
            EXPECT_TRUE(startsWith(message, path + ": ")) << message;
            EXPECT_NE(message.find(c.says), std::string::npos) << message;
        }
    }
}

TEST(MalformedHeader, UntrustedSizesTheReaderDoesNotNeedCauseNoError) {
    AviBuilder b;
    b.addFrames(2);
    const std::string bytes = b.build();
    const size_t sizeWord = b.offsets().audioStrf + 4;
    for (const uint32_t size : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 0u}) {
        SCOPED_TRACE(size);
        std::string patched = bytes;
        kit::put32(patched, sizeWord, size);
        const AviHeader info(kit::writeTemp("audiosize.avi", patched));
        EXPECT_EQ(info.AudioFormatSize, int32_t(size));
        EXPECT_EQ(
            kit::get32(std::string(info.AudioFormatBlock.begin(), info.AudioFormatBlock.end()), 0),
            size);
        EXPECT_EQ(info.AudioFormatTag, 85);
        // No more than the block holds is copied; without data nothing more.
        const bool data = int32_t(size) > 0;
        EXPECT_EQ(info.AudioFormatBlock[4], data ? 85 : 0);
        EXPECT_EQ(info.AudioFormatBlock[67], data ? uint8_t(patched[sizeWord + 4 + 63]) : 0);
    }
}
