#include "avi/RiffTree.h"

#include "avi/FourCC.h"

#include <algorithm>

namespace vidloom {

namespace {

int64_t padded(uint32_t size) {
    return int64_t(size) + (size & 1);
}

// The chunks of one RIFF part, from its form type's end to its end.
void walkPart(BinaryFile& file, int64_t from, int64_t end, bool first, RiffTree& tree) {
    uint8_t head[12];
    for (int64_t at = from; at < end; at += 8 + padded(FourCC::fromBytes(head + 4).word())) {
        if (end - at < 8 || !file.peek(at, head, 8) || !isChunkId(head)) {
            tree.brokenAt = at;
            return;
        }
        const FourCC id = FourCC::fromBytes(head);
        const uint32_t size = FourCC::fromBytes(head + 4).word();
        const bool list = id == "LIST" && file.peek(at + 8, head + 8, 4);
        const FourCC type = list ? FourCC::fromBytes(head + 8) : FourCC();
        // A recording that was stopped before its end never wrote the movie
        // list's size (0, or 4 for the word "movi" alone): its chunks run to
        // the end of the file.
        const bool unsized = list && type == "movi" && size <= 4;
        const int64_t chunkEnd = unsized ? file.size() + 1 : at + 8 + int64_t(size);
        if (list && type == "movi") {
            if (first && tree.moviWord < 0) {
                tree.moviWord = at + 8;
            }
            tree.movieLists.push_back({at + 12, std::min(chunkEnd, file.size())});
        } else if (list && type == "hdrl" && first && tree.hdrlWord < 0) {
            tree.hdrlWord = at + 8;
        } else if (id == "idx1" && first && tree.idx1 < 0) {
            tree.idx1 = at;
        }
        if (chunkEnd > file.size()) {
            // A cut file: what this chunk holds is found, nothing after it.
            tree.brokenAt = at;
            return;
        }
    }
}

} // namespace

bool isChunkId(const uint8_t* id) {
    return std::all_of(id, id + 4, [](uint8_t c) { return c >= 0x20 && c <= 0x7E; });
}

RiffTree walkRiffTree(BinaryFile& file) {
    RiffTree tree;
    uint8_t head[12];
    bool first = true;
    for (int64_t at = 0;; first = false) {
        if (!file.peek(at, head, 12) || !(FourCC::fromBytes(head) == "RIFF")) {
            if (first || at < file.size()) {
                tree.brokenAt = at;
            }
            return tree;
        }
        const FourCC form = FourCC::fromBytes(head + 8);
        if (!(form == (first ? "AVI " : "AVIX"))) {
            tree.brokenAt = at;
            return tree;
        }
        const uint32_t size = FourCC::fromBytes(head + 4).word();
        // A size of 0 is a part whose writer stopped before it wrote the size.
        const int64_t end = size == 0 ? file.size() + 1 : at + 8 + int64_t(size);
        walkPart(file, at + 12, std::min(end, file.size()), first, tree);
        if (tree.brokenAt >= 0) {
            return tree;
        }
        if (end > file.size()) {
            tree.brokenAt = at;
            return tree;
        }
        at = end + (size & 1);
        if (at >= file.size()) {
            return tree;
        }
    }
}

} // namespace vidloom
