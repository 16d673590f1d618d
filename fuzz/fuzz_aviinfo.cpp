// Arbitrary bytes as an AVI file: the header scan, the report, the tag searches,
// the INFO reader and the colour-format reader must end in a result or one of
// Vidloom's own errors, never a crash, a hang or a runaway allocation. The
// same bytes also go straight to the codec header readers, as a stream format
// and a first frame under one of the codes whose headers are read, so the
// bitstream parsers see inputs no file layout would carry to them.

#include "FuzzInput.h"

#include "avi/AviHeader.h"
#include "avi/colour/ColourFormat.h"
#include "avi/Errors.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

void readHeadersDirectly(const uint8_t* data, size_t size) {
    static constexpr std::string_view kCodes[] = {
        "MJPG", "H264", "MPG2", "XVID", "HFYU", "FFVH", "ULY2", std::string_view("\0\0\0\0", 4)};
    if (size < 2) {
        return;
    }
    // Byte 0 picks the code and the length of the stream format.
    const size_t formatSize = std::min<size_t>(size - 1, 20 + size_t(data[0] >> 3) * 4);
    std::string format(reinterpret_cast<const char*>(data) + 1, formatSize);
    const std::string frame(reinterpret_cast<const char*>(data) + 1 + formatSize,
                            size - 1 - formatSize);
    const std::string_view code = kCodes[data[0] & 7];
    if (format.size() >= 20) {
        std::copy(code.begin(), code.end(), format.begin() + 16);
    }
    (void)vidloom::colourFormatOf(code, format, [&frame](size_t n) { return frame.substr(0, n); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    readHeadersDirectly(data, size);
    const std::string path = vidloom::fuzz::writeInput(data, size);
    try {
        vidloom::AviHeader info(path);
        (void)info.Report.size();
        (void)info.ColourFormat.has_value();
    } catch (const vidloom::VidloomError&) {
        // A refused file is a correct outcome.
    }
    return 0;
}
