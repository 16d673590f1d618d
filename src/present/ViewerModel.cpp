#include "present/ViewerModel.h"

#include "avi/Errors.h"
#include "plan/Preflight.h"
#include "plan/SegmentList.h"

#include <cstdio>
#include <map>

namespace vidloom {

namespace {

std::string baseName(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool startsOnKeyFrame(const Segment& segment) {
    try {
        return segment.startsOnKeyFrame();
    } catch (const VidloomError&) {
        return false; // as the panel marks a key-frame test that fails
    }
}

} // namespace

Timeline timelineOf(const SegmentList& segments, const PlanPositions& positions) {
    Timeline t;
    t.total = positions.total();
    std::map<const AviHeader*, int32_t> files;
    for (int32_t i = 0; i < segments.count(); ++i) {
        const Segment& s = segments.at(i);
        if (s.length <= 0) {
            continue;
        }
        const auto file = files.emplace(s.header, int32_t(files.size())).first;
        t.bands.push_back(TimelineBand{positions.firstOf(i), s.length, i, s.id(), file->second,
                                       baseName(s.fileName()), startsOnKeyFrame(s)});
    }
    for (const int32_t at : positions.joins()) {
        t.joins.push_back(TimelineJoin{at, JoinMark::None, {}});
    }
    for (const SpliceProblem& problem : preflight(segments)) {
        const int32_t at = positions.firstOf(problem.segment);
        for (TimelineJoin& join : t.joins) {
            if (join.position != at) {
                continue;
            }
            if (problem.certain) {
                join.mark = JoinMark::Refused;
            } else if (join.mark == JoinMark::None) {
                join.mark = JoinMark::MayFail;
            }
            join.problem += (join.problem.empty() ? "" : "\n") + problem.text();
        }
    }
    return t;
}

std::vector<int32_t> keyFrameTicks(const PlanFrame& frame, const FileFrames& frames) {
    const int32_t start = frame.frame - (frame.position - frame.segmentFirst);
    std::vector<int32_t> ticks;
    for (const int32_t k : frames.keysIn(start, start + frame.segmentLength - 1)) {
        ticks.push_back(frame.segmentFirst + (k - start));
    }
    return ticks;
}

std::string frameTime(int64_t position, int64_t numerator, int64_t denominator) {
    int64_t ms = 0;
    if (numerator > 0 && denominator > 0 && position > 0) {
        // Whole seconds first: position * denominator fits 63 bits (a 32-bit
        // position, the stream header's 32-bit scale), the remainder's
        // milliseconds then fit too.
        const int64_t ticks = position * denominator;
        ms = ticks / numerator * 1000 + ticks % numerator * 1000 / numerator;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld", (long long)(ms / 3600000),
                  (long long)(ms / 60000 % 60), (long long)(ms / 1000 % 60),
                  (long long)(ms % 1000));
    return text;
}

std::string viewerCaption(const PlanFrame& frame, const PlanPositions& positions,
                          const FileFrames& frames) {
    const char* const dot = " \xC2\xB7 "; // a middle dot between the parts
    std::string text = std::to_string(frame.position) + " / " + std::to_string(positions.total()) +
                       dot + baseName(frame.fileName()) + " frame " + std::to_string(frame.frame);
    std::string kind;
    if (frames.isKeyFrame(frame.frame)) {
        kind = "key frame";
    }
    if (frames.isDropped(frame.frame)) {
        kind += std::string(kind.empty() ? "" : ", ") + "dropped";
    }
    if (!kind.empty()) {
        text += dot + kind;
    }
    FrameRate rate;
    if (const std::optional<PlanFrame> first = positions.at(0)) {
        rate = frameRateOf(*first->header);
    }
    return text + dot + frameTime(frame.position, rate.numerator, rate.denominator);
}

} // namespace vidloom
