#include "plan/PlanActions.h"

#include "avi/AviHeader.h"
#include "avi/CodecFamilies.h"
#include "avi/Errors.h"
#include "avi/TextFormat.h"

#include <vector>

namespace vidloom {

std::string assembledNameOf(const std::string& baseFileName) {
    const size_t keep = baseFileName.size() >= 4 ? baseFileName.size() - 4 : 0;
    return baseFileName.substr(0, keep) + ".Assembled.avd";
}

void addFile(std::unique_ptr<SplicePlan>& plan, const std::string& fileName,
             AviHeaderCache& cache) {
    if (!plan) {
        auto created = std::make_unique<SplicePlan>(fileName, cache);
        created->assembledName = assembledNameOf(created->segments.at(0).fileName());
        plan = std::move(created);
    } else {
        auto segment = std::make_unique<Segment>(fileName, plan->cache());
        plan->addSegment(std::move(segment), plan->segments.count());
    }
}

std::string spliceRefusal(const SplicePlan* plan) {
    if (plan == nullptr || plan->segments.count() == 0) {
        return kMsgNoBaseClip;
    }
    return {};
}

SpliceResult addSplice(SplicePlan& plan, const std::string& fileName,
                       std::optional<int32_t> givenRef) {
    auto splice = std::make_unique<Segment>(fileName, plan.cache());
    SpliceResult result;
    result.file = fileName;
    if (givenRef) {
        result.spliceRef = *givenRef;
    } else {
        try {
            result.spliceRef = spliceRefOf(fileName);
        } catch (const ConversionError& e) {
            result.outcome = SpliceOutcome::BadReference;
            result.message = e.what();
            return result;
        }
        if (result.spliceRef == -1) {
            result.outcome = SpliceOutcome::NoReference;
            return result;
        }
    }
    splice->spliceRef = result.spliceRef;

    if (result.spliceRef < 0) {
        result.outcome = SpliceOutcome::NegativeReference;
        result.message = kMsgNegativeRef;
        result.details = "reference " + std::to_string(result.spliceRef);
        return result;
    }
    // Against the plan as it is now, edits included. A reference so large
    // that the sum leaves 32 bits is past the end as well.
    const int64_t end = int64_t(result.spliceRef) + splice->length;
    if (end > plan.length()) {
        result.outcome = SpliceOutcome::ExceedsEnd;
        result.message = kMsgExceedsEnd;
        result.details = "reference " + std::to_string(result.spliceRef) + " + length " +
                         std::to_string(splice->length) + " = end " + std::to_string(end) +
                         ", past the end of the plan at frame " + std::to_string(plan.length());
        return result;
    }
    const std::string mismatch = spliceMismatch(*plan.segments.at(0).header, *splice->header);
    if (!plan.insertSplice(std::move(splice))) {
        result.outcome = SpliceOutcome::Incompatible;
        result.message = kMsgIncompatible;
        result.details = mismatch;
    }
    return result;
}

std::string refusalText(const std::string& fileName, const SpliceResult& result) {
    std::string text = fileName + ": " + result.message;
    if (!result.details.empty()) {
        text += " (" + result.details + ")";
    }
    return text;
}

std::string spliceMismatch(const AviHeader& first, const AviHeader& splice) {
    std::vector<std::string> parts;
    if (!splice.IsAvi) {
        parts.push_back("the splice is not an AVI file");
    }
    if (!first.IsAvi) {
        parts.push_back("the first clip is not an AVI file");
    }
    if (parts.empty()) {
        auto size = [](const AviHeader& h) {
            return intToText(h.Width) + "x" + intToText(h.Height);
        };
        if (first.Width != splice.Width || first.Height != splice.Height) {
            parts.push_back("frame size " + size(splice) + ", first clip " + size(first));
        }
        if (codecFamily(first.VideoFourCC) != codecFamily(splice.VideoFourCC)) {
            parts.push_back("codec " + splice.VideoFourCC + ", first clip " + first.VideoFourCC);
        }
    }
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : "; ") + part;
    }
    return text;
}

std::string notAviReason(const AviHeader& header) {
    if (header.IsAvi) {
        return {};
    }
    const bool empty = header.Report == "Empty file.";
    return header.FileName + ": this is not an AVI file (" +
           (empty ? "the file is empty" : "it does not begin with a RIFF AVI header") + ")";
}

std::string notAviMessage(const AviHeader& header) {
    const std::string reason = notAviReason(header);
    return reason.empty() ? reason : reason + "; it is in the plan as a segment without frames.";
}

std::string scriptRefusal(const SplicePlan* plan) {
    if (plan == nullptr || !plan->hasFrames()) {
        return kMsgNoVideo;
    }
    return {};
}

} // namespace vidloom
