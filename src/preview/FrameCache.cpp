#include "preview/FrameCache.h"

namespace vidloom::preview {

std::string FrameCache::idOf(const FrameKey& key) {
    // The file name last: it is the only part that may hold any byte.
    return std::to_string(key.frame) + ' ' + std::to_string(key.box.width) + 'x' +
           std::to_string(key.box.height) + ' ' + std::to_string(key.fileSize) + ' ' +
           std::to_string(key.fileMtimeNs) + ' ' + key.file;
}

std::shared_ptr<const Picture> FrameCache::find(const FrameKey& key) {
    const std::string id = idOf(key);
    std::lock_guard lock(mutex_);
    const auto it = byId_.find(id);
    if (it == byId_.end()) {
        return nullptr;
    }
    items_.splice(items_.begin(), items_, it->second);
    return it->second->picture;
}

void FrameCache::put(const FrameKey& key, std::shared_ptr<const Picture> picture) {
    if (!picture || picture->bytes() > maxBytes_) {
        return;
    }
    std::string id = idOf(key);
    std::lock_guard lock(mutex_);
    if (const auto it = byId_.find(id); it != byId_.end()) {
        bytes_ -= it->second->picture->bytes();
        items_.erase(it->second);
        byId_.erase(it);
    }
    bytes_ += picture->bytes();
    items_.push_front(Item{id, key.file, std::move(picture)});
    byId_.emplace(std::move(id), items_.begin());
    while (bytes_ > maxBytes_) {
        const Item& last = items_.back();
        bytes_ -= last.picture->bytes();
        byId_.erase(last.id);
        items_.pop_back();
    }
}

void FrameCache::forgetFile(const std::string& file) {
    std::lock_guard lock(mutex_);
    for (auto it = items_.begin(); it != items_.end();) {
        if (it->file == file) {
            bytes_ -= it->picture->bytes();
            byId_.erase(it->id);
            it = items_.erase(it);
        } else {
            ++it;
        }
    }
}

size_t FrameCache::bytes() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

size_t FrameCache::count() const {
    std::lock_guard lock(mutex_);
    return items_.size();
}

} // namespace vidloom::preview
