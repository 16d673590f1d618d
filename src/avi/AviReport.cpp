// The second half of reading a file's headers: the information report, the
// aspect-ratio verdict and the search for the INFO list that tags the file.

#include "avi/AviReport.h"

#include "avi/AviHeader.h"
#include "avi/CheckedInt.h"
#include "avi/Errors.h"
#include "avi/FourCC.h"
#include "avi/InfoTags.h"
#include "avi/OffsetSum.h"
#include "avi/TextFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vidloom {

namespace {

constexpr int64_t kMaxOffset = std::numeric_limits<int32_t>::max();
const char* const kLineEnd = "\r\n";

// The frame shapes accepted as "valid.": open intervals of the ratio width /
// height around the usual film and television shapes.
struct AspectBounds {
    long double lower;
    long double upper;
};
constexpr AspectBounds kValidAspects[] = {
    {2.2325L, 2.4675L}, {2.0045L, 2.2155L}, {1.7575L, 1.79L},
    {1.81L, 1.87L},     {1.62L, 1.69L},     {1.2633L, 1.3966L},
};

} // namespace

std::string aspectText(double ratio) {
    // ratio * 100 is exact in long double (53 + 7 bits of mantissa), so
    // rounding it rounds the double's own value, halves away from zero.
    const long double scaled = std::round(static_cast<long double>(ratio) * 100.0L);
    const bool negative = scaled < 0;
    const long double magnitude = negative ? -scaled : scaled;
    if (!(magnitude < 1e18L)) {
        return std::isnan(ratio) ? "NAN" : (negative ? "-INF" : "INF");
    }
    const auto hundredths = static_cast<unsigned long long>(magnitude);
    std::string text =
        std::to_string(hundredths / 100) + "." + padZeros(std::to_string(hundredths % 100), 2);
    if (negative && hundredths != 0) {
        text = "-" + text;
    }
    if (text.size() < 4) {
        text.insert(0, 4 - text.size(), ' ');
    }
    return text;
}

std::string aspectVerdict(double ratio, int32_t width, int32_t height) {
    std::string verdict = "invalid.";
    for (const auto& bounds : kValidAspects) {
        // The bounds stay in extended precision and the ratio is the double:
        // a ratio written exactly like a bound may fall on either side.
        const long double r = ratio;
        if (r > bounds.lower && r < bounds.upper) {
            verdict = "valid.";
        }
    }
    if (width == 352 && (height == 240 || height == 288)) {
        verdict = "valid (VCD stretch).";
    }
    if (ratio == 1.8 || ratio == 1.7) {
        verdict = "valid (overcropped + /16 rule).";
    }
    return verdict;
}

void AviHeader::appendLine(const std::string& line) {
    Report += kLineEnd;
    Report += line;
}

void AviHeader::writeReport(int32_t moviSize) {
    Report = FileName;
    appendLine("AVI Information :");
    appendLine(" Length : " + msToDuration(LengthMs));
    appendLine(" Video :");
    if (LengthMs < 1000) {
        LengthMs = 1000;
    }

    const int32_t videoRate = videoKbPerSec(moviSize);
    appendLine("  Codec  : " + VideoFourCC + " @ ~" + intToText(videoRate) + " Kb/sec");
    // Thousandths from 1 to 99 keep their leading zeros: 25.04 fps is
    // "25.040fps", not "25.40fps".
    appendLine("  Frames : " + intToText(TotalFrames) + " @ " + intToText(FpsInteger) + "." +
               thousandthsText(FpsThousandths) + "fps");
    writeIndexLines();
    appendLine("  Image  : " + intToText(Width) + "x" + intToText(Height) + " " +
               intToText(BitCount) + "bit");
    if (DvType == 1) {
        appendLine("  DV type 1 (video and audio interleaved)");
    }

    judgeAspect();
    appendLine("  Aspect Ratio : " + AspectText + ":1 is " + AspectVerdict);

    if (!NoAudio) {
        AudioText = " Audio :  " + intToText(AudioFormatTag) + ", " +
                    intToText(AudioBytesPerSec / 125) + "kbps, " + intToText(AudioSampleRate) +
                    "Hz " + (AudioChannels == 2 ? "stereo" : "mono");
        appendLine(AudioText);
    }
}

void AviHeader::writeIndexLines() {
    if (WordSearchFrom >= 0) {
        appendLine("  Chunk tree broken: headers found by word search");
    }
    if (indexRebuilt()) {
        appendLine("  Index  : index rebuilt from the movie data: " + intToText(TotalFrames) +
                   " of " + intToText(FramesDeclared) + " frames present");
        if (!KeyFramesKnown) {
            appendLine("  Key frames : unknown (the codec's frame headers are not read)");
        }
    } else if (FramesDeclared != TotalFrames) {
        appendLine("  Index  : " + intToText(TotalFrames) + " frames; the stream header declares " +
                   intToText(FramesDeclared));
    }
}

int32_t AviHeader::videoKbPerSec(int32_t moviSize) const {
    if (OpenDml) {
        // The movie data of every RIFF part, which passes 32 bits from 2 GiB on.
        const int64_t seconds = LengthMs / 1000;
        const int64_t perSecond = (MovieBytes - int64_t(TotalFrames) * 8) / 128 / seconds;
        const int64_t rate =
            NoAudio ? perSecond : perSecond - (int64_t(AudioBytesPerSec) + 8) / 125;
        if (rate < INT32_MIN || rate > INT32_MAX) {
            throw OverflowError("the video bit rate of " + std::to_string(rate) +
                                " Kb/sec from the movie data size " + std::to_string(MovieBytes) +
                                " does not fit in 32 bits");
        }
        return int32_t(rate);
    }
    try {
        const int32_t seconds = LengthMs / 1000;
        const int32_t perSecond =
            checkedDiv(checkedDiv(checkedSub(moviSize, checkedMul(TotalFrames, 8)), 128), seconds);
        return NoAudio ? perSecond
                       : checkedSub(perSecond, checkedDiv(checkedAdd(AudioBytesPerSec, 8), 125));
    } catch (const OverflowError& e) {
        throw OverflowError("cannot compute the video bit rate from the movie data size " +
                            std::to_string(moviSize) + " and " + std::to_string(TotalFrames) +
                            " frames (" + e.message() + ")");
    }
}

void AviHeader::judgeAspect() {
    if (Height == 0) {
        throw DivisionError("the frame height is 0, so the aspect ratio " + intToText(Width) +
                            "/0 cannot be computed");
    }
    AspectRatio = static_cast<double>(static_cast<long double>(Width) / Height);
    AspectText = aspectText(AspectRatio);
    AspectVerdict = aspectVerdict(AspectRatio, Width, Height);
}

bool AviHeader::indexCut(BinaryFile& file) const {
    uint8_t size[4];
    return !file.peek(int64_t(IndexPos) + 4, size, 4) ||
           int64_t(IndexPos) + 8 + int64_t(FourCC::fromBytes(size).word()) > file.size();
}

bool AviHeader::holdsIndex(BinaryFile& file) const {
    char word[4];
    return file.peek(IndexPos, word, 4) && std::string_view(word, 4) == "idx1";
}

void AviHeader::searchTags(BinaryFile& file) {
    appendLine("Checking for nandub tag...");
    searchNandubTag(file);
    BrandTagFound = false;
    if (!NandubTagFound) {
        appendLine("nandub tag Not Found");
        if (!holdsIndex(file) || indexCut(file)) {
            // No idx1 (an OpenDML file, a recording stopped before its end)
            // or one cut by the end of the file: nothing follows an index
            // there, and the size word would lead into the parts after it or
            // past the end.
            BrandInfo = std::make_unique<InfoTags>();
            return;
        }
        searchBrandTag(file);
    }
    if (NandubTagFound) {
        BrandInfo = readInfoTags(file, NandubTagPos);
    } else if (BrandTagFound) {
        BrandInfo = readInfoTags(file, BrandTagPos);
    } else {
        BrandInfo = std::make_unique<InfoTags>();
    }
}

void AviHeader::searchNandubTag(BinaryFile& file) {
    // The nandub tag: an INFO list between offset 10 and the movi list.
    NandubTagFound = false;
    int64_t found = -1;
    if (MoviSizePos > 10) {
        found = file.find("INFO", 10, MoviSizePos);
    } else {
        // With the movi list this close to the start there is no bound: the
        // search goes on through the whole file.
        found = scanFor(file, "INFO", 10,
                        "the nandub tag, with the movie data list at offset " +
                            std::to_string(MoviSizePos));
    }
    if (found >= 0) {
        appendLine("Found nandub tag.");
        NandubTagFound = true;
        NandubTagPos = int32_t(found);
    }
}

void AviHeader::searchBrandTag(BinaryFile& file) {
    // The brand tag: an INFO list after the idx1 index, looked for from 4
    // bytes before the index's end.
    file.seek(offsetPlus(IndexPos, 4, "index size"));
    const int32_t indexSize = file.readDword32("the index size");
    const int32_t start =
        offsetPlus(offsetPlus(indexSize, IndexPos, "end of the index"), 4, "end of the index");
    // The first probe is made whatever the bound: an index size that
    // points past the end of the file is the I/O error.
    char probe[4];
    file.seek(start);
    file.read(probe, 4, "the brand tag after the index");
    int64_t at = std::string_view(probe, 4) == "INFO" ? start : -1;
    if (at < 0) {
        // Then up to the end of the file, and never past offset 2^31 - 1,
        // so a large file without a tag is not refused.
        int64_t last = std::min<int64_t>(file.size() - 4, kMaxOffset);
        if (RiffParts > 1) {
            // The AVIX parts hold movie data only; a chance "INFO" in it
            // is no tag list, and reading gigabytes of it to look is slow.
            last = std::min(last, FirstRiffEnd - 4);
        }
        at = file.find("INFO", int64_t(start) + 1, last + 1);
    }
    if (at >= 0) {
        appendLine("Found Sealmark tag.");
        BrandTagFound = true;
        BrandTagPos = int32_t(at);
    }
}

} // namespace vidloom
