#include "splice/PlanActions.h"

namespace vidloom {

namespace {
void show(IMessageBox* messages, const std::string& text) {
    if (messages != nullptr) {
        messages->showMessage(text);
    }
}
} // namespace

std::string assembledNameOf(const std::string& baseFileName) {
    const size_t keep = baseFileName.size() >= 4 ? baseFileName.size() - 4 : 0;
    return baseFileName.substr(0, keep) + ".Assembled.avd";
}

void addFile(std::unique_ptr<SplicePlan>& plan, const std::string& fileName,
             const WindowSeams& window, AviHeaderCache& cache) {
    if (!plan) {
        auto created =
            std::make_unique<SplicePlan>(fileName, window.progressBar, window.log, cache);
        created->assembledName = assembledNameOf(created->segments.at(0).fileName());
        created->attachView(window.panels);
        plan = std::move(created);
    } else {
        auto segment = std::make_unique<Segment>(fileName, plan->cache());
        plan->addSegment(std::move(segment), plan->segments.count());
    }
    plan->writeListingBlock(plan->logView);
    plan->layoutPanels();
}

std::string spliceRefusal(const SplicePlan* plan) {
    if (plan == nullptr || plan->segments.count() == 0) {
        return kMsgNoBaseClip;
    }
    return {};
}

SpliceResult addSplice(SplicePlan& plan, const std::string& fileName,
                       std::optional<int32_t> givenRef, const WindowSeams& window) {
    auto splice = std::make_unique<Segment>(fileName, plan.cache());
    SpliceResult result;
    if (givenRef) {
        result.spliceRef = *givenRef;
    } else {
        result.spliceRef = spliceRefOf(fileName);
        if (result.spliceRef == -1) {
            if (window.prompt == nullptr) {
                result.outcome = SpliceOutcome::NoReference;
                return result;
            }
            const std::string typed =
                window.prompt
                    ->askText(kSpliceRefCaption + fileName, kSpliceRefPrompt, kSpliceRefDefault)
                    .value_or(kSpliceRefDefault);
            if (const auto value = textToInt32(typed)) {
                result.spliceRef = *value;
            } else {
                result.spliceRef = 0;
                show(window.messages, kMsgNotInteger);
            }
        }
    }
    splice->spliceRef = result.spliceRef;

    if (result.spliceRef < 0) {
        result.outcome = SpliceOutcome::NegativeReference;
        result.message = kMsgNegativeRef;
        show(window.messages, result.message);
        return result;
    }
    // Against the plan as it is now, edits included. A reference so large
    // that the sum leaves 32 bits is past the end as well.
    if (int64_t(result.spliceRef) + splice->length > plan.liveLength()) {
        result.outcome = SpliceOutcome::ExceedsEnd;
        result.message = kMsgExceedsEnd;
        show(window.messages, result.message);
        return result;
    }
    if (!plan.insertSplice(std::move(splice))) {
        result.outcome = SpliceOutcome::Incompatible;
        result.message = kMsgIncompatible; // not shown: the window discards it silently
    }
    plan.writeListingBlock(plan.logView);
    plan.layoutPanels();
    return result;
}

std::string scriptRefusal(const SplicePlan* plan) {
    if (plan == nullptr || !plan->hasFrames()) {
        return kMsgNoVideo;
    }
    return {};
}

} // namespace vidloom
