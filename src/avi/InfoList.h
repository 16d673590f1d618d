#pragma once
// An ordered list of text keys, each with a TInfo value: insertion order kept,
// look-up by linear search from the first entry, keys compared without regard
// to ASCII letter case, first match wins. The tag record and the two name
// tables are built on it.

#include "avi/TextFormat.h"

#include <memory>
#include <string>
#include <vector>

namespace vidloom {

class InfoList {
public:
    // Position of the first entry whose key matches, or -1.
    int32_t indexOf(const std::string& key) const {
        for (size_t i = 0; i < entries_.size(); ++i) {
            if (sameTextIgnoringCase(entries_[i].key, key)) {
                return int32_t(i);
            }
        }
        return -1;
    }
    // Appends without looking for an existing key; returns the new position.
    int32_t append(const std::string& key, const std::string& text) {
        entries_.push_back({key, std::make_unique<TInfo>(text)});
        return int32_t(entries_.size() - 1);
    }
    int32_t count() const { return int32_t(entries_.size()); }
    const std::string& key(int32_t i) const { return entries_.at(size_t(i)).key; }
    TInfo& info(int32_t i) { return *entries_.at(size_t(i)).info; }
    const TInfo& info(int32_t i) const { return *entries_.at(size_t(i)).info; }

private:
    struct Entry {
        std::string key;
        std::unique_ptr<TInfo> info;
    };
    std::vector<Entry> entries_;
};

} // namespace vidloom
