#include "session/AviHeaderCache.h"

namespace vidloom {

const AviHeader& AviHeaderCache::get(const std::string& fileName) {
    // A plan of many files asks for each name at every segment it makes, so
    // names are found through a map rather than one by one. Names compare as
    // the file system compares them: exactly, so a.avi and A.avi are two files.
    if (const auto found = byName_.find(fileName); found != byName_.end()) {
        return *entries_[found->second].info;
    }
    auto info = std::make_unique<AviHeader>(fileName); // may raise: nothing is kept
    entries_.push_back(Entry{std::move(info), nullptr});
    byName_.emplace(fileName, entries_.size() - 1);
    return *entries_.back().info;
}

std::shared_ptr<const KeyFrameIndex> AviHeaderCache::keyFrames(const AviHeader& aviInfo) {
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
        if (openRounds_ > 0 && owner->checkedRound == round_) {
            return owner->keyFrames;
        }
        const FileStamp now = stampOf(aviInfo.FileName);
        if (now.size >= 0 && now == owner->keyFrames->stamp()) {
            owner->checkedRound = round_;
            return owner->keyFrames;
        }
    }
    std::shared_ptr<const KeyFrameIndex> fresh = KeyFrameIndex::read(aviInfo);
    if (aviInfo.IsAvi) {
        ++indexReads_;
    }
    if (owner != nullptr) {
        owner->keyFrames = fresh;
        owner->checkedRound = round_;
    }
    return fresh;
}

bool AviHeaderCache::isKeyFrame(const AviHeader& aviInfo, int32_t n) {
    if (!aviInfo.IsAvi) {
        return false;
    }
    return keyFrames(aviInfo)->isKeyFrame(n);
}

} // namespace vidloom
