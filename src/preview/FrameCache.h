#pragma once
// The recently decoded frames, bounded by the bytes they hold: the least
// recently used go first. Safe to use from several threads; a look-up never
// waits for a decode (the cache has its own lock).

#include "preview/Picture.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace vidloom::preview {

struct FrameKey {
    std::string file;
    int64_t fileSize = 0; // the file's stamp when the frame was decoded
    int64_t fileMtimeNs = 0;
    int32_t frame = 0;
    Size box;
};

class FrameCache {
public:
    explicit FrameCache(size_t maxBytes) : maxBytes_(maxBytes) {}

    // The frame, now the most recently used; null when it is not held.
    std::shared_ptr<const Picture> find(const FrameKey& key);
    // Keeps the frame, dropping the least recently used ones until the cache
    // is within its bound again; a picture larger than the bound is not kept.
    void put(const FrameKey& key, std::shared_ptr<const Picture> picture);
    // Drops every frame of a file.
    void forgetFile(const std::string& file);

    size_t bytes() const;
    size_t count() const;
    size_t maxBytes() const { return maxBytes_; }

private:
    struct Item {
        std::string id;
        std::string file;
        std::shared_ptr<const Picture> picture;
    };
    static std::string idOf(const FrameKey& key);

    const size_t maxBytes_;
    mutable std::mutex mutex_;
    std::list<Item> items_; // most recently used first
    std::unordered_map<std::string, std::list<Item>::iterator> byId_;
    size_t bytes_ = 0;
};

} // namespace vidloom::preview
