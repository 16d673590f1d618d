#pragma once
// The chunk tree of an AVI file as far as Vidloom needs it beyond the fields it
// finds by their words: the stream lists of the header list, in stream order,
// and the RIFF parts that an OpenDML (AVI 2.0) file continues in. These reads
// never fail on a damaged file: what cannot be followed is simply not there.

#include "avi/BinaryFile.h"
#include "avi/FourCC.h"

#include <cstdint>
#include <vector>

namespace vidloom {

// One stream list (LIST strl) of the header list. Positions are absolute
// offsets of chunk data (just after the 8-byte chunk header), -1 when absent.
struct StreamList {
    FourCC type; // the stream header's fccType: "vids", "auds", ...
    int64_t streamHeader = -1;
    int64_t format = -1;
    int64_t superIndex = -1; // the OpenDML "indx" chunk
    uint32_t superIndexSize = 0;
};

// The stream lists inside the header list whose word "hdrl" lies at hdrlWord.
std::vector<StreamList> readStreamLists(BinaryFile& file, int64_t hdrlWord);

// The RIFF parts of the file: the first ("AVI ") and each "AVIX" part after
// it, with the sizes of the movie lists of the AVIX parts.
struct RiffParts {
    int32_t count = 1;
    int64_t firstEnd = 0;        // where the first part ends
    int64_t extraMovieBytes = 0; // the AVIX parts' movie list sizes, summed
};
RiffParts readRiffParts(BinaryFile& file);

} // namespace vidloom
