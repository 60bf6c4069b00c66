// Boundary flags, the merge of hits and the hiding of duplicates, all
// bounded by their arrays.
#include "japanese/translate_steps.h"

#include <algorithm>
#include <functional>
#include <unordered_map>
#include <vector>

namespace ostrel::japanese {
namespace {
constexpr std::u16string_view kPunctuationChars = u"\u3002\u2026\u3001\u30FB\uFF0C\uFF0E\uFF1A\uFF1B\uFF1F\uFF01";
}  // namespace

void ComputeBoundaryFlags(std::u16string_view text, std::span<uint16_t> flags) {
    std::fill(flags.begin(), flags.end(), uint16_t{0});
    const size_t length = std::min(text.size(), flags.size());
    if (length == 0) return;
    flags[0] |= kWordMayStart;
    flags[length - 1] |= kWordMayEnd;
    for (size_t i = length - 1; i > 0 && text[i] <= 0x20; --i) flags[i - 1] |= kWordMayEnd;
    for (size_t i = 0; i < length; ++i) {
        if (kPunctuationChars.find(text[i]) == std::u16string_view::npos) continue;
        flags[i] |= kPunctuation;
        if (i > 0) flags[i - 1] |= kWordMayEnd;
        if (i + 1 < length) flags[i + 1] |= kWordMayStart;
    }
}

int32_t MergeHits(std::span<WordListEntry> hits, int32_t count, std::span<const WordListEntry> entries) {
    const size_t capacity = std::min(hits.size(), size_t{kMaxHits});
    const size_t held = std::min(static_cast<size_t>(std::max(count, 0)), capacity);
    // Merged into a scratch array: merging forward in place would overwrite
    // hits not yet read.
    std::vector<WordListEntry> merged;
    merged.reserve(std::min(capacity, held + entries.size()));
    size_t h = 0, e = 0;
    while (merged.size() < capacity && (h < held || e < entries.size())) {
        if (e == entries.size() || (h < held && hits[h].matchStart <= entries[e].matchStart)) merged.push_back(hits[h++]);
        else merged.push_back(entries[e++]);
    }
    std::copy(merged.begin(), merged.end(), hits.begin());
    return static_cast<int32_t>(merged.size());
}

int32_t DropDuplicateHits(std::span<WordListEntry> hits) {
    // Pairwise in index order, each kind of hit comes down to one fold: the
    // survivor so far meets each later copy, and the lower priority (the
    // later copy at equal priority) is hidden. One pass keeps each kind's
    // survivor.
    struct Key {
        int32_t start, length;
        const RDFDictionary* dictionary;
        uint32_t recordId;
        uint16_t subEntry;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const {
            size_t h = std::hash<const void*>()(k.dictionary);
            for (uint64_t v : {uint64_t(uint32_t(k.start)), uint64_t(uint32_t(k.length)), uint64_t(k.recordId),
                               uint64_t(k.subEntry)})
                h = h * 1000003u ^ std::hash<uint64_t>()(v);
            return h;
        }
    };
    std::unordered_map<Key, size_t, KeyHash> survivors;
    survivors.reserve(hits.size());
    int32_t hidden = 0;
    for (size_t j = 0; j < hits.size(); ++j) {
        WordListEntry& hit = hits[j];
        if ((hit.flags & kEntryDeleted) != 0) continue;
        const Key key{hit.matchStart, hit.matchLength, hit.dictionary, hit.recordId, hit.subEntry};
        auto [found, first] = survivors.try_emplace(key, j);
        if (first) continue;
        WordListEntry& survivor = hits[found->second];
        if (survivor.priority < hit.priority) {
            survivor.flags |= kEntryDeleted;
            found->second = j;
        } else {
            hit.flags |= kEntryDeleted;
        }
        ++hidden;
    }
    return hidden;
}

}  // namespace ostrel::japanese
