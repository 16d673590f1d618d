// The header reader on files built byte by byte: what it finds, where it
// looks, and how it refuses damaged files.

#include "avi/AviHeader.h"
#include "avi/Errors.h"
#include "avi/InfoTags.h"
#include "avi/index/KeyFrameIndex.h"
#include "kit/AviBuilder.h"

#include <dirent.h>
#include <gtest/gtest.h>

using namespace vidloom;
using kit::AviBuilder;

namespace {

std::string write(const std::string& name, const std::string& bytes) {
    return kit::writeTemp(name, bytes);
}

std::unique_ptr<AviHeader> read(const std::string& name, const std::string& bytes) {
    return std::make_unique<AviHeader>(write(name, bytes));
}

// Runs the constructor and returns the message of the error of kind E it
// raises; fails the test when it raises nothing or another kind.
template <class E> std::string errorOf(const std::string& path) {
    try {
        AviHeader info(path);
    } catch (const E& e) {
        return e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "wrong kind of error: " << e.what();
        return {};
    }
    ADD_FAILURE() << "no error for " << path;
    return {};
}

int openDescriptors() {
    int n = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (::readdir(d) != nullptr) {
            ++n;
        }
        ::closedir(d);
    }
    return n;
}

} // namespace

TEST(AviHeaderReader, ReadsTheFieldsOfAnOrdinaryFile) {
    AviBuilder b;
    b.microSecPerFrame = 40000;
    b.width = 640;
    b.height = 272;
    b.bitCount = 24;
    b.reserved0 = 7;
    b.reserved1 = 9;
    b.sampleRate = 48000;
    b.bytesPerSec = 24000;
    b.channels = 1;
    b.addFrames(10);
    const std::string bytes = b.build();
    const auto& o = b.offsets();
    const auto info = read("plain.avi", bytes);

    EXPECT_TRUE(info->IsAvi);
    EXPECT_EQ(info->RiffEnd, int32_t(bytes.size()));
    EXPECT_EQ(info->MoviSizePos, int32_t(o.moviSize));
    EXPECT_EQ(info->IndexPos, int32_t(o.idx1));
    EXPECT_EQ(info->TotalFrames, 10);
    EXPECT_EQ(info->Streams, 2);
    EXPECT_FALSE(info->NoAudio);
    EXPECT_EQ(info->MicroSecPerFrame, 40000);
    EXPECT_EQ(info->MaxBytesPerSec, 1000000);
    EXPECT_EQ(info->MainFlags, 0x10);
    EXPECT_EQ(info->Width, 640);
    EXPECT_EQ(info->Height, 272);
    EXPECT_EQ(info->MainReserved0, 7);
    EXPECT_EQ(info->MainReserved1, 9);
    EXPECT_EQ(info->VideoHandlerPos, int32_t(o.vids + 4));
    EXPECT_EQ(info->VideoCompressionPos, int32_t(o.videoStrf + 24));
    EXPECT_EQ(info->VideoFourCC, "XVID");
    EXPECT_EQ(info->BitCount, 24);
    EXPECT_EQ(info->StreamScale, 40000);
    EXPECT_EQ(info->StreamRate, 1000000);
    EXPECT_EQ(info->StreamLength, 10);
    EXPECT_EQ(info->StreamBufferSize, 0x100000);
    EXPECT_EQ(info->StreamQuality, 10000);
    EXPECT_EQ(info->AudioFormatTag, 85);
    EXPECT_EQ(info->AudioChannels, 1);
    EXPECT_EQ(info->AudioSampleRate, 48000);
    EXPECT_EQ(info->AudioBytesPerSec, 24000);
    EXPECT_EQ(info->AudioFormatSize, 18);
    EXPECT_EQ(
        kit::get32(std::string(info->AudioFormatBlock.begin(), info->AudioFormatBlock.end()), 0),
        18u);
    EXPECT_EQ(info->AudioFormatBlock[4], 85);
    EXPECT_EQ(info->LengthMsUnclamped, 400);
    EXPECT_EQ(info->LengthMs, 1000); // raised by the report
    ASSERT_NE(info->BrandInfo, nullptr);
    EXPECT_EQ(info->BrandInfo->count(), 6);
}

TEST(AviHeaderReader, RejectsEmptyAndForeignFilesWithoutError) {
    AviBuilder b;
    b.addFrames(2);
    const std::string avi = b.build();

    const auto empty = read("empty.avi", "");
    EXPECT_EQ(empty->Report, "Empty file.");
    EXPECT_FALSE(empty->IsAvi);
    EXPECT_EQ(empty->BrandInfo, nullptr);

    std::string rifx = avi;
    rifx[3] = 'X';
    std::string wave = avi;
    wave.replace(8, 4, "WAVE");
    std::string lower = avi;
    lower.replace(8, 4, "avi ");
    for (const auto& [name, bytes] :
         {std::pair{"rifx.avi", rifx}, std::pair{"wave.avi", wave}, std::pair{"lower.avi", lower},
          std::pair{"text.avi", std::string("hello")}}) {
        const auto info = read(name, bytes);
        EXPECT_EQ(info->Report, "Not an avi!") << name;
        EXPECT_FALSE(info->IsAvi);
        EXPECT_EQ(info->MoviSizePos, 0);
        EXPECT_EQ(info->VideoFourCC, "");
        EXPECT_EQ(info->BrandInfo, nullptr);
    }
    // RiffEnd is kept as soon as "RIFF" matched.
    EXPECT_EQ(read("wave2.avi", wave)->RiffEnd, int32_t(avi.size()));
    // A mismatch ends the test before the next byte is read.
    EXPECT_EQ(read("rix.avi", "RIX")->Report, "Not an avi!");
}

TEST(AviHeaderReader, ShortSignaturesRunIntoTheEndOfTheFile) {
    // The size word is read before the form type is compared.
    for (const std::string& bytes :
         {std::string("R"), std::string("RIF"), std::string("RIFF"),
          std::string("RIFF\x10\0\0\0", 8), std::string("RIFF\x10\0\0\0AV", 10)}) {
        const std::string path = write("short.avi", bytes);
        const std::string msg = errorOf<IoError>(path);
        EXPECT_EQ(msg.rfind(path + ": unexpected end of file", 0), 0u) << msg;
    }
}

TEST(AviHeaderReader, EveryTruncationIsAnIoErrorNamingTheFile) {
    // Every cut before the first whole frame is noticed, with a tag before
    // the movie data or without; once one frame is whole, the index is
    // rebuilt from the frames there.
    for (const bool nandub : {false, true}) {
        AviBuilder b;
        b.nandub = nandub;
        b.nandubTags = {{"ISFT", "kit"}, {"ICMT", "x"}};
        b.addFrames(3);
        const std::string bytes = b.build();
        const size_t firstFrame = bytes.find("00dc", b.offsets().movi);
        const size_t lastRead = firstFrame + 8 + kit::get32(bytes, firstFrame + 4);
        for (size_t cut = 1; cut < lastRead; ++cut) {
            const std::string path = write("cut.avi", bytes.substr(0, cut));
            try {
                AviHeader info(path);
                ADD_FAILURE() << "no error at cut " << cut;
            } catch (const IoError& e) {
                EXPECT_EQ(std::string(e.what()).rfind(path + ": ", 0), 0u) << e.what();
            } catch (const std::exception& e) {
                ADD_FAILURE() << "cut " << cut << ": " << e.what();
            }
        }
        EXPECT_NO_THROW(AviHeader(write("cut.avi", bytes.substr(0, lastRead))));
    }
}

TEST(AviHeaderReader, TheFileIsClosedWhenTheConstructorFails) {
    AviBuilder b;
    b.addFrames(2);
    std::string bytes = b.build();
    const std::string path = write("closed.avi", bytes.substr(0, b.offsets().movi + 4));
    const int before = openDescriptors();
    for (int i = 0; i < 5; ++i) {
        EXPECT_THROW(AviHeader info(path), IoError);
    }
    EXPECT_EQ(openDescriptors(), before);
}

TEST(AviHeaderReader, FrameRateAndLength) {
    struct Case {
        uint32_t microSec;
        int32_t fps, thousandths;
    };
    for (const Case c :
         {Case{40000, 25, 0}, Case{41708, 23, 976}, Case{41667, 23, 999}, Case{33367, 29, 969},
          Case{33333, 30, 0}, Case{0, 23, 976}, Case{39936, 25, 40}, Case{1, 1000000, 0}}) {
        AviBuilder b;
        b.microSecPerFrame = c.microSec;
        b.addFrames(3);
        const auto info = read("rate.avi", b.build());
        EXPECT_EQ(info->FpsInteger, c.fps) << c.microSec;
        EXPECT_EQ(info->FpsThousandths, c.thousandths) << c.microSec;
        if (c.microSec == 0) {
            EXPECT_EQ(info->MicroSecPerFrame, 41708);
            EXPECT_EQ(info->LengthMsUnclamped, 125); // 3 x 41.708 = 125.124
        }
    }
    // Halves of a millisecond go to the even neighbour.
    for (const auto& [frames, expected] : {std::pair{5, 2}, std::pair{7, 4}, std::pair{9, 4}}) {
        AviBuilder b;
        b.microSecPerFrame = 500;
        b.addFrames(frames);
        EXPECT_EQ(read("half.avi", b.build())->LengthMsUnclamped, expected) << frames;
    }
    // A play length beyond 32 bits of milliseconds is the range error.
    AviBuilder huge;
    huge.microSecPerFrame = 2000000000;
    huge.totalFrames = 2000000;
    huge.addFrames(1);
    EXPECT_FALSE(errorOf<RangeError>(write("huge.avi", huge.build())).empty());
}

TEST(AviHeaderReader, CodecCodeComesFromTheHandlerUnlessItIsDivxOrEmpty) {
    struct Case {
        std::string handler, compression, expected;
    };
    for (const Case& c : {Case{"divx", "DX50", "DX50"}, Case{"DivX", "DIV3", "DIV3"},
                          Case{std::string(4, '\0'), "MJPG", "MJPG"}, Case{"XVID", "FMP4", "XVID"},
                          Case{"dx50", "DX50", "dx50"}, Case{"DIVX", "divx", "divx"},
                          Case{"   \0", "H264", std::string("   \0", 4)}}) {
        AviBuilder b;
        b.handler = c.handler;
        b.compression = c.compression;
        b.addFrames(1);
        EXPECT_EQ(read("codec.avi", b.build())->VideoFourCC, c.expected) << c.handler;
    }
}

TEST(AviHeaderReader, StreamCountDecidesWhetherAudioIsRead) {
    // One stream: no audio fields at all.
    AviBuilder silent;
    silent.audio = false;
    silent.addFrames(2);
    const auto info = read("silent.avi", silent.build());
    EXPECT_TRUE(info->NoAudio);
    EXPECT_EQ(info->AudioBytesPerSec, 0);
    EXPECT_EQ(info->AudioFormatTag, 0);
    EXPECT_EQ(info->AudioText, "");

    // Two declared streams but no audio stream: the search for it runs out.
    silent.streams = 2;
    const std::string path = write("twovideo.avi", silent.build());
    const std::string msg = errorOf<IoError>(path);
    EXPECT_EQ(msg.rfind(path + ": unexpected end of file at offset ", 0), 0u) << msg;
    EXPECT_NE(msg.find("while looking for \"auds\" (the main header declares 2 streams)"),
              std::string::npos)
        << msg;

    // Zero streams count as "has audio" too.
    AviBuilder zero;
    zero.streams = 0;
    zero.addFrames(2);
    EXPECT_FALSE(read("zero.avi", zero.build())->NoAudio);
}

TEST(AviHeaderReader, AudioStoredBeforeVideoReadsAsTheUsualOrder) {
    for (const bool extra : {false, true}) {
        AviBuilder usual;
        usual.formatTag = 1;
        usual.audioFormatExtra = extra ? std::string(10, '\x07') : "";
        AviBuilder first = usual;
        first.audioFirst = true;
        usual.addFrames(9, 4);
        first.addFrames(9, 4);
        const auto a = read("order-usual.avi", usual.build());
        const auto b = read("order-audio-first.avi", first.build());
        EXPECT_EQ(b->Report.substr(b->Report.find('\r')), a->Report.substr(a->Report.find('\r')));
        EXPECT_EQ(b->AudioFormatBlock, a->AudioFormatBlock);
        EXPECT_EQ(b->AudioText, a->AudioText);
        EXPECT_EQ(b->VideoFourCC, a->VideoFourCC);
        EXPECT_EQ(b->TotalFrames, a->TotalFrames);
        // The video's chunks are stream 01's: its frames are found all the same.
        EXPECT_EQ(KeyFrameIndex::read(*b)->keyFrameNumbers(),
                  KeyFrameIndex::read(*a)->keyFrameNumbers());
        EXPECT_EQ(KeyFrameIndex::read(*b)->videoFrames(), 9);
    }
}

TEST(AviHeaderReader, AWordInsideAChunkIsNotTheChunk) {
    // A JUNK chunk holding the word "movi", whose preceding 4 bytes point at
    // the real index: a search for the word would take it, the walk does not.
    AviBuilder b;
    b.junkBeforeMovi = std::string(4, '\0') + "movi";
    b.addFrames(2);
    std::string bytes = b.build();
    const size_t junkMovi = bytes.find("movi");
    ASSERT_LT(junkMovi, b.offsets().movi);
    kit::put32(bytes, junkMovi - 4, uint32_t(b.offsets().idx1 - junkMovi));
    const auto info = read("junk.avi", bytes);
    EXPECT_EQ(info->MoviSizePos, int32_t(b.offsets().movi - 4));
    EXPECT_EQ(info->WordSearchFrom, -1);
    EXPECT_EQ(info->IndexPos, int32_t(b.offsets().idx1));
}

TEST(AviHeaderReader, AudioFormatBlockTakesAtMost64BytesOfData) {
    AviBuilder b;
    b.audioFormatExtra = std::string(100, 'e');
    b.addFrames(1);
    const auto info = read("bigfmt.avi", b.build());
    EXPECT_EQ(info->AudioFormatSize, 118);
    EXPECT_EQ(info->AudioFormatBlock[4], 85);
    EXPECT_EQ(info->AudioFormatBlock[67], 'e');
}

TEST(AviHeaderReader, OffsetsBeyond2GiBAreTheOverflowError) {
    AviBuilder b;
    b.addFrames(2);
    const std::string bytes = b.build();

    std::string riff = bytes;
    kit::put32(riff, 4, 2147483640u);
    const std::string riffPath = write("riffsize.avi", riff);
    EXPECT_EQ(errorOf<OverflowError>(riffPath).rfind(riffPath + ": ", 0), 0u);

    std::string movi = bytes;
    kit::put32(movi, b.offsets().moviSize, 0x7FFFFFF0u);
    const std::string moviPath = write("movisize.avi", movi);
    EXPECT_EQ(errorOf<OverflowError>(moviPath).rfind(moviPath + ": ", 0), 0u);

    // An index size word past the end of the file is an index cut short:
    // rebuilt, and no tag search is carried past 2^31 - 1.
    std::string index = bytes;
    kit::put32(index, b.offsets().idx1 + 4, 0x7FFFFFF0u);
    EXPECT_TRUE(read("indexsize.avi", index)->indexRebuilt());

    // A main header count whose 8 bytes per frame would overflow the bit
    // rate: the bit rate counts the index's frames.
    AviBuilder many;
    many.microSecPerFrame = 1;
    many.totalFrames = 0x10000000;
    many.addFrames(1);
    const auto manyInfo = read("manyframes.avi", many.build());
    EXPECT_EQ(manyInfo->TotalFrames, 1);
    EXPECT_EQ(manyInfo->HeaderTotalFrames, 0x10000000);
}

TEST(AviHeaderReader, ZeroHeightIsTheDivisionError) {
    for (uint32_t width : {640u, 0u}) {
        AviBuilder b;
        b.height = 0;
        b.width = width;
        b.addFrames(1);
        const std::string path = write("flat.avi", b.build());
        EXPECT_EQ(errorOf<DivisionError>(path).rfind(path + ": ", 0), 0u);
    }
}

TEST(IndexEntry, KeyFrameBitAndFirstDataBits) {
    AviBuilder b;
    b.audio = false;
    b.addVideo(0x10, std::string("\x7F\x01", 2)); // (0x7F >> 1) & 31 = 31
    b.addVideo(0x11, "");                         // size 0
    b.addVideo(0x12, std::string("\x04", 1));     // GStreamer's key frames
    b.addVideo(0x00, std::string("\x06", 1));
    b.addVideo(0x02, std::string("\x06", 1));
    const std::string bytes = b.build();
    const std::string path = write("index.avi", bytes);
    const AviHeader info(path);

    BinaryFile file(path);
    file.seek(info.IndexPos + 8);
    struct Expect {
        bool key;
        int bits;
    };
    for (const Expect e :
         {Expect{true, 31}, Expect{true, 0}, Expect{true, 2}, Expect{false, 3}, Expect{false, 3}}) {
        IndexEntry entry;
        entry.MoviBase = info.MoviSizePos + 8;
        const int64_t before = file.position();
        readIndexEntry(file, entry);
        EXPECT_EQ(file.position(), before + 16);
        EXPECT_EQ(entry.EntryId, "00dc");
        EXPECT_EQ(entry.IsKeyFrame, e.key) << entry.EntryFlags;
        EXPECT_EQ(entry.FirstDataBits, e.bits) << entry.EntryFlags;
    }
    // Reading the entry itself past the end is still the I/O error.
    IndexEntry entry;
    EXPECT_THROW(readIndexEntry(file, entry), IoError);
}

TEST(IndexEntry, TheChunkProbeNeverFails) {
    AviBuilder b;
    b.audio = false;
    b.addVideo(0x10, std::string("\x7F", 1));
    std::string bytes = b.build();
    const size_t entryAt = b.offsets().idx1 + 8;
    const size_t chunkSize = b.offsets().movi + 8; // the size word of the 00dc chunk
    const int32_t moviBase = int32_t(b.offsets().movi + 4);

    struct Case {
        const char* what;
        uint32_t offset;
        uint32_t sizeWord;
        int32_t moviBase;
    };
    for (const Case c : {Case{"head past the end", 0x00100000u, 1, moviBase},
                         Case{"head before the start", uint32_t(-100), 1, moviBase},
                         Case{"offset overflows", 0x7FFFFFFFu, 1, moviBase},
                         Case{"size word 2^31 or more", 4, 0x80000000u, moviBase}}) {
        std::string patched = bytes;
        kit::put32(patched, entryAt + 8, c.offset);
        kit::put32(patched, chunkSize, c.sizeWord);
        const std::string path = write("probe.avi", patched);
        BinaryFile file(path);
        file.seek(int64_t(entryAt));
        IndexEntry entry;
        entry.MoviBase = c.moviBase;
        ASSERT_NO_THROW(readIndexEntry(file, entry)) << c.what;
        EXPECT_EQ(entry.FirstDataBits, 0) << c.what;
        EXPECT_TRUE(entry.IsKeyFrame);
        EXPECT_EQ(file.position(), int64_t(entryAt + 16)) << c.what;
    }
}
