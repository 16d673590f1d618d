#include "preview/FrameReader.h"

#include "preview/CoreEntries.h"
#include "preview/FileDecoder.h"
#include "preview/PreviewErrors.h"

#include <algorithm>

namespace vidloom::preview {

namespace {
FrameKey keyOf(const std::string& file, const FileStamp& stamp, int32_t n, Size box) {
    return FrameKey{file, stamp.size, stamp.mtimeNs, n, box};
}
} // namespace

FrameReader::FrameReader(size_t cacheBytes, int maxOpenFiles, int decoderThreads)
    : cache_(cacheBytes), maxOpenFiles_(std::max(maxOpenFiles, 1)),
      decoderThreads_(std::max(decoderThreads, 0)) {}

FrameReader::~FrameReader() = default;

std::shared_ptr<const Picture> FrameReader::cached(const std::string& file, int32_t n, Size box) {
    return cache_.find(keyOf(file, stampOf(file), n, box));
}

std::shared_ptr<const Picture> FrameReader::frame(const std::string& file, int32_t n, Size box) {
    if (!previewsBuiltIn()) {
        throw PreviewsNotBuiltIn();
    }
    const FileStamp stamp = stampOf(file);
    const FrameKey key = keyOf(file, stamp, n, box);
    if (auto hit = cache_.find(key)) {
        return hit;
    }
    std::lock_guard lock(decodeMutex_);
    if (auto hit = cache_.find(key)) {
        return hit; // decoded by another caller meanwhile
    }
    OpenFile& open = openFile(file, stamp);
    if (open.failure) {
        std::rethrow_exception(open.failure);
    }
    auto picture = std::make_shared<const Picture>(open.decoder->frame(n, box));
    cache_.put(key, picture);
    return picture;
}

FrameReader::OpenFile& FrameReader::openFile(const std::string& file, const FileStamp& stamp) {
    auto it = files_.find(file);
    if (it != files_.end() && !(it->second.stamp == stamp)) {
        // The file changed: its decoder and frames describe what it was.
        cache_.forgetFile(file);
        files_.erase(it);
        it = files_.end();
    }
    if (it == files_.end()) {
        if (int(files_.size()) >= maxOpenFiles_) {
            const auto oldest =
                std::min_element(files_.begin(), files_.end(), [](auto& a, auto& b) {
                    return a.second.lastUse < b.second.lastUse;
                });
            files_.erase(oldest);
        }
        OpenFile open;
        open.stamp = stamp;
        try {
            open.decoder = std::make_unique<FileDecoder>(file, entryMapOf(file), decoderThreads_);
        } catch (const PreviewsNotBuiltIn&) {
            throw; // nothing to remember: it is the build, not the file
        } catch (const std::exception&) {
            open.failure = std::current_exception();
        }
        it = files_.emplace(file, std::move(open)).first;
    }
    it->second.lastUse = ++uses_;
    return it->second;
}

int FrameReader::openFiles() const {
    std::lock_guard lock(decodeMutex_);
    return int(std::count_if(files_.begin(), files_.end(),
                             [](const auto& f) { return f.second.decoder != nullptr; }));
}

const FileDecoder* FrameReader::decoderOf(const std::string& file) const {
    std::lock_guard lock(decodeMutex_);
    const auto it = files_.find(file);
    return it == files_.end() ? nullptr : it->second.decoder.get();
}

} // namespace vidloom::preview
