#pragma once
// The chunks of a file's movie lists, walked one after the other the way the
// frame-server rebuilds an index it cannot use: every data chunk that lies
// whole inside the file, `LIST rec ` groups opened, in file order. Only the
// chunk headers are read, through a small window of their own, so a scan
// costs one pass over the headers however large the frames are.

#include "avi/BinaryFile.h"
#include "avi/RiffTree.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace vidloom {

struct MovieChunk {
    uint32_t id = 0;   // the chunk id as a little-endian word
    int64_t data = 0;  // where its data starts
    uint32_t size = 0; // its data size
};

// Calls visit for each data chunk of the lists, in order, until visit returns
// false or the chunks end: a list's end, the end of the file, a chunk cut by
// the end of the file (not visited), or bytes that are no chunk header.
void scanMovieLists(BinaryFile& file, const std::vector<MovieList>& lists,
                    const std::function<bool(const MovieChunk&)>& visit);

} // namespace vidloom
