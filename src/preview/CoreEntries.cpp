#include "preview/CoreEntries.h"

#include "avi/AviHeader.h"
#include "avi/Errors.h"
#include "avi/index/KeyFrameIndex.h"
#include "avi/index/VideoEntrySizes.h"

namespace vidloom::preview {

EntryMap entryMapOf(const std::string& fileName) {
    const AviHeader info(fileName);
    if (!info.IsAvi) {
        throw IoError(fileName + ": " + info.Report);
    }
    const std::unique_ptr<KeyFrameIndex> keys = KeyFrameIndex::read(info);
    if (!keys->fileError().empty()) {
        keys->fileError().raise();
    }
    EntryMap map;
    map.frames = keys->videoFrames();
    map.keyFrames = keys->keyFrameNumbers();
    const VideoEntrySizes sizes = VideoEntrySizes::read(info);
    // Both count the same entries by the same rule; should one of them
    // change alone, frames would be numbered wrongly, so it is said instead.
    if (sizes.videoEntries() != map.frames) {
        throw IoError(fileName + ": the key-frame index counts " + std::to_string(map.frames) +
                      " video frames, the entry sizes " + std::to_string(sizes.videoEntries()));
    }
    map.emptyEntries = sizes.emptyEntries();
    return map;
}

} // namespace vidloom::preview
