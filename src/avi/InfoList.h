#pragma once
// An ordered list of text keys, each with a text value: insertion order kept,
// look-up by linear search from the first entry, keys compared without regard
// to ASCII letter case, first match wins. The tag record and the two name
// tables are built on it.

#include "avi/TextFormat.h"

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
        entries_.push_back({key, text});
        return int32_t(entries_.size() - 1);
    }
    int32_t count() const { return int32_t(entries_.size()); }
    const std::string& key(int32_t i) const { return entries_.at(size_t(i)).key; }
    const std::string& text(int32_t i) const { return entries_.at(size_t(i)).text; }
    void setText(int32_t i, const std::string& text) { entries_.at(size_t(i)).text = text; }

private:
    struct Entry {
        std::string key;
        std::string text;
    };
    std::vector<Entry> entries_;
};

} // namespace vidloom
