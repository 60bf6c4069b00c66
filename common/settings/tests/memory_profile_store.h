// An in-memory IProfileStore for tests: sections and keys compare without
// regard to ASCII case, as the private-profile functions do; writes can be
// made to fail.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "common/settings/profile_store.h"

class MemoryProfileStore final : public IProfileStore {
public:
    using Values = std::map<std::pair<std::u16string, std::u16string>, std::u16string>;

    explicit MemoryProfileStore(Values* values) : values_(values) {}

    std::u16string Read(std::u16string_view section, std::u16string_view key) const override {
        auto found = values_->find({Fold(section), Fold(key)});
        return found == values_->end() ? std::u16string() : found->second;
    }
    bool Write(std::u16string_view section, std::u16string_view key, std::u16string_view value) override {
        ++writes;
        if (failWrites) return false;
        (*values_)[{Fold(section), Fold(key)}] = std::u16string(value);
        return true;
    }

    static std::u16string Fold(std::u16string_view text) {
        std::u16string folded(text);
        for (char16_t& c : folded)
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        return folded;
    }

    bool failWrites = false;
    int writes = 0;

private:
    Values* values_;  // owned by the test, so it outlives the store
};
