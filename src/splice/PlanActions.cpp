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

void addFile(std::unique_ptr<TClip>& plan, const std::string& fileName, const WindowSeams& window,
             AviInfoCache& cache) {
    if (!plan) {
        auto created = std::make_unique<TClip>(fileName, window.progressBar, window.log, cache);
        created->AssembledName = assembledNameOf(created->Segments.getSegment(0).fileName());
        created->attachView(window.panels);
        plan = std::move(created);
    } else {
        auto segment = std::make_unique<TClipSplice>(fileName, plan->LogMemo, plan->cache());
        plan->addClip(std::move(segment), plan->Segments.count());
    }
    plan->writeListingBlock(plan->LogMemo);
    plan->layoutBoxes();
}

std::string spliceRefusal(const TClip* plan) {
    if (plan == nullptr || plan->Segments.count() == 0) {
        return kMsgNoBaseClip;
    }
    return {};
}

SpliceResult addSplice(TClip& plan, const std::string& fileName, std::optional<int32_t> givenRef,
                       const WindowSeams& window) {
    auto splice = std::make_unique<TClipSplice>(fileName, plan.LogMemo, plan.cache());
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
    splice->SpliceRef = result.spliceRef;

    if (result.spliceRef < 0) {
        result.outcome = SpliceOutcome::NegativeReference;
        result.message = kMsgNegativeRef;
        show(window.messages, result.message);
        return result;
    }
    // Against the plan as it is now, edits included. A reference so large
    // that the sum leaves 32 bits is past the end as well.
    if (int64_t(result.spliceRef) + splice->Length > plan.liveLength()) {
        result.outcome = SpliceOutcome::ExceedsEnd;
        result.message = kMsgExceedsEnd;
        show(window.messages, result.message);
        return result;
    }
    if (!plan.insertSplice(std::move(splice))) {
        result.outcome = SpliceOutcome::Incompatible;
        result.message = kMsgIncompatible; // not shown: the window discards it silently
    }
    plan.writeListingBlock(plan.LogMemo);
    plan.layoutBoxes();
    return result;
}

std::string scriptRefusal(const TClip* plan) {
    if (plan == nullptr || !plan->hasFrames()) {
        return kMsgNoVideo;
    }
    return {};
}

} // namespace vidloom
