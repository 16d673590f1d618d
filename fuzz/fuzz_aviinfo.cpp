// Arbitrary bytes as an AVI file: the header scan, the report, the tag searches
// and the INFO reader must end in a result or one of Vidloom's own errors,
// never a crash, a hang or a runaway allocation.

#include "FuzzInput.h"

#include "avi/AviHeader.h"
#include "avi/Errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = vidloom::fuzz::writeInput(data, size);
    try {
        vidloom::AviHeader info(path);
        (void)info.Report.size();
    } catch (const vidloom::VidloomError&) {
        // A refused file is a correct outcome.
    }
    return 0;
}
