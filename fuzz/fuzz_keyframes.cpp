// The key-frame answers of arbitrary indexes: the one-pass index reader must
// give exactly what the entry-by-entry walk gives (the same answer, or the same
// kind of error) for any frame, in range or not. An index rebuilt from the
// movie data, or one of interleaved DV chunks, has no walk to compare with: it
// must give the header's count and
// answer every frame of it. The key frames around a frame must be those a
// walk over the index's bits finds.

#include "FuzzInput.h"

#include "avi/AviHeader.h"
#include "avi/Errors.h"
#include "avi/index/KeyFrameIndex.h"
#include "kit/ReferenceIndexWalk.h"
#include "session/AviHeaderCache.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <typeinfo>

namespace {

struct Answer {
    bool key = false;
    std::string error; // the error's kind, empty when answered
};

template <class F> Answer ask(F&& f) {
    try {
        return {f(), {}};
    } catch (const vidloom::VidloomError& e) {
        return {false, typeid(e).name()};
    }
}

// The key frames around frame n by the index's searches and by walking its
// bits outwards from n; any difference aborts.
void checkNear(const vidloom::KeyFrameIndex& index, int32_t n) {
    if (!index.fileError().empty()) {
        return;
    }
    int32_t previous = -1;
    int32_t next = -1;
    for (int64_t k = std::min<int64_t>(n, index.videoFrames() - 1); k >= 0; --k) {
        if (index.bit(int32_t(k))) {
            previous = int32_t(k);
            break;
        }
    }
    for (int64_t k = std::max<int64_t>(int64_t(n) + 1, 0); k < index.videoFrames(); ++k) {
        if (index.bit(int32_t(k))) {
            next = int32_t(k);
            break;
        }
    }
    if (index.keyFrameAtOrBefore(n).value_or(-1) != previous ||
        index.keyFrameAfter(n).value_or(-1) != next) {
        std::fprintf(stderr, "frame %d: searches say %d %d, the bits %d %d\n", n,
                     index.keyFrameAtOrBefore(n).value_or(-1), index.keyFrameAfter(n).value_or(-1),
                     previous, next);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first eight bytes are four questions; the rest is the file.
    if (size < 8) {
        return 0;
    }
    int32_t questions[4];
    for (int i = 0; i < 4; ++i) {
        questions[i] = int16_t(data[2 * i] | (data[2 * i + 1] << 8));
    }
    const std::string path = vidloom::fuzz::writeInput(data + 8, size - 8);

    std::unique_ptr<vidloom::AviHeader> info;
    try {
        info = std::make_unique<vidloom::AviHeader>(path);
    } catch (const vidloom::VidloomError&) {
        return 0;
    }
    if (info->indexRebuilt() || info->DvType == 1) {
        const auto index = vidloom::KeyFrameIndex::read(*info);
        if (index->fileError().empty() && index->videoFrames() != info->TotalFrames) {
            std::fprintf(stderr, "rebuilt index: %d frames, header says %d\n", index->videoFrames(),
                         info->TotalFrames);
            std::abort();
        }
        for (int32_t n : questions) {
            if (n >= 0 && n < index->videoFrames()) {
                (void)index->isKeyFrame(n);
            }
            checkNear(*index, n);
        }
        return 0;
    }
    vidloom::AviHeaderCache cache;
    checkNear(*cache.keyFrames(*info), questions[0]);
    for (int32_t n : questions) {
        const Answer walked = ask([&] { return vidloom::keyFrameByWalk(*info, n); });
        const Answer cached = ask([&] { return cache.isKeyFrame(*info, n); });
        if (walked.key != cached.key || walked.error != cached.error) {
            std::fprintf(stderr, "frame %d: walk says %d [%s], index reader says %d [%s]\n", n,
                         walked.key, walked.error.c_str(), cached.key, cached.error.c_str());
            std::abort();
        }
    }
    return 0;
}
