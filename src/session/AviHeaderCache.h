#pragma once
// The header records of the files of a run (the window owns one cache,
// vidloom-cli one per command), one per file name (compared exactly, as the
// file system compares names), read once and kept until the program ends, and beside each the
// key-frame answers of its index, kept while the file's size and modification
// time stay the same.

#include "avi/AviHeader.h"
#include "avi/index/KeyFrameIndex.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vidloom {

class AviHeaderCache {
public:
    AviHeaderCache() = default;
    AviHeaderCache(const AviHeaderCache&) = delete;
    AviHeaderCache& operator=(const AviHeaderCache&) = delete;

    // The record of fileName, built on the first request. An error of the
    // reader propagates and leaves the cache unchanged.
    const AviHeader& get(const std::string& fileName);
    int32_t count() const { return int32_t(entries_.size()); }

    // Whether video frame n of aviInfo's file counts as a key frame. A file
    // that is not an AVI file has none, and nothing is read. Otherwise the
    // first question reads the file's index once; later questions reuse it
    // until the file's stamp changes.
    bool isKeyFrame(const AviHeader& aviInfo, int32_t n);
    // The key-frame answers of aviInfo's file, read or reused as above. The
    // caller may keep them; a record that is not this cache's own gets a
    // fresh reading every time.
    std::shared_ptr<const KeyFrameIndex> keyFrames(const AviHeader& aviInfo);

    // While a round is open, each file's stamp is looked at once: the
    // answers of one layout all describe the files at one moment.
    class StampRound {
    public:
        explicit StampRound(AviHeaderCache& cache) : cache_(cache) {
            if (cache_.openRounds_++ == 0) {
                ++cache_.round_;
            }
        }
        ~StampRound() { --cache_.openRounds_; }
        StampRound(const StampRound&) = delete;
        StampRound& operator=(const StampRound&) = delete;

    private:
        AviHeaderCache& cache_;
    };

    // How many times an index was read (for tests and benchmarks).
    int64_t indexReads() const { return indexReads_; }

private:
    struct Entry {
        std::unique_ptr<AviHeader> info;
        std::shared_ptr<const KeyFrameIndex> keyFrames;
        int64_t checkedRound = 0; // the round in which the stamp was last seen
    };
    int64_t round_ = 0;
    int openRounds_ = 0;
    std::vector<Entry> entries_;
    std::unordered_map<std::string, size_t> byName_; // file name -> entry
    int64_t indexReads_ = 0;
};

} // namespace vidloom
