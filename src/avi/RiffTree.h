#pragma once
// The top level of an AVI file's chunk tree, walked chunk by chunk from the
// start: where the header list, the movie lists and idx1 lie. A word found by
// searching bytes can sit inside another chunk's data (a title that says
// "movie"); a chunk found by walking cannot. The walk stops where the tree
// is broken (a size that runs past the end, an id that is not four printable
// characters) and says where, so the reader knows what it must still search.

#include "avi/BinaryFile.h"

#include <cstdint>
#include <vector>

namespace vidloom {

// One movie list's chunks: from the first chunk after the word "movi" to the
// list's end, cut to the end of the file.
struct MovieList {
    int64_t first = 0;
    int64_t end = 0;
};

struct RiffTree {
    int64_t hdrlWord = -1; // the word "hdrl" of the header list
    int64_t moviWord = -1; // the word "movi" of the first RIFF part's movie list
    int64_t idx1 = -1;     // the idx1 chunk of the first part
    // Where the walk met a broken chunk; -1 when every chunk of every part
    // lies whole inside the file.
    int64_t brokenAt = -1;
    // The movie lists of the first part and of every AVIX part, in file order.
    std::vector<MovieList> movieLists;
};

// Walks the RIFF parts from offset 12. Never fails: what cannot be followed is
// simply not found.
RiffTree walkRiffTree(BinaryFile& file);

// Whether the four bytes can be a chunk id: printable ASCII, as every id a
// writer makes is.
bool isChunkId(const uint8_t* id);

} // namespace vidloom
