#include "splice/AviInfoCache.h"

#include "avi/TextFormat.h"

namespace vidloom {

AviInfoCache& AviInfoCache::shared() {
    static AviInfoCache cache;
    return cache;
}

const TAviInfo& AviInfoCache::get(const std::string& fileName) {
    for (const Entry& entry : entries_) {
        if (sameTextIgnoringCase(entry.info->FileName, fileName)) {
            return *entry.info;
        }
    }
    auto info = std::make_unique<TAviInfo>(fileName); // may raise: nothing is kept
    entries_.push_back(Entry{std::move(info), nullptr});
    return *entries_.back().info;
}

std::shared_ptr<const KeyFrameIndex> AviInfoCache::keyFrames(const TAviInfo& aviInfo) {
    Entry* owner = nullptr;
    for (Entry& entry : entries_) {
        if (entry.info.get() == &aviInfo) {
            owner = &entry;
            break;
        }
    }
    if (owner != nullptr && owner->keyFrames) {
        if (!aviInfo.IsAvi) {
            return owner->keyFrames; // nothing on disk is looked at for such a file
        }
        const FileStamp now = stampOf(aviInfo.FileName);
        if (now.size >= 0 && now == owner->keyFrames->stamp()) {
            return owner->keyFrames;
        }
    }
    std::shared_ptr<const KeyFrameIndex> fresh = KeyFrameIndex::read(aviInfo);
    if (aviInfo.IsAvi) {
        ++indexReads_;
    }
    if (owner != nullptr) {
        owner->keyFrames = fresh;
    }
    return fresh;
}

bool AviInfoCache::isKeyFrame(const TAviInfo& aviInfo, int32_t n) {
    if (!aviInfo.IsAvi) {
        return false;
    }
    return keyFrames(aviInfo)->isKeyFrame(n);
}

} // namespace vidloom
