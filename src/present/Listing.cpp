#include "present/Listing.h"

#include "avi/CheckedInt.h"
#include "avi/TextFormat.h"

namespace vidloom {

std::vector<std::string> listingBlockOf(const SplicePlan* plan) {
    if (plan == nullptr) {
        return {};
    }
    std::vector<std::string> lines{"Future Content of", plan->assembledName, ""};
    int32_t total = 0;
    for (int32_t i = 0; i < plan->segments.count(); ++i) {
        const Segment& seg = plan->segments.at(i);
        const int32_t end = checkedAdd(total, seg.length);
        lines.push_back(intToText(total) + "-" + intToText(end) + " : " + seg.fileName());
        total = end;
    }
    return lines;
}

} // namespace vidloom
