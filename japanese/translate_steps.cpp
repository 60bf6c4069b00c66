// Boundary flags, the merge of hits and the hiding of duplicates, all
// bounded by their arrays.
#include "japanese/translate_steps.h"

#include <algorithm>
#include <cstdint>
#include <tuple>
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
    // later copy at equal priority) is hidden. The shown hits ordered by kind,
    // then by index, give each kind's copies in index order for one pass.
    auto key = [&](uint32_t i) {
        const WordListEntry& h = hits[i];
        return std::make_tuple(h.matchStart, h.matchLength, reinterpret_cast<uintptr_t>(h.dictionary), h.recordId,
                               h.subEntry, i);
    };
    std::vector<uint32_t> shown;
    shown.reserve(hits.size());
    for (size_t j = 0; j < hits.size(); ++j)
        if ((hits[j].flags & kEntryDeleted) == 0) shown.push_back(static_cast<uint32_t>(j));
    std::sort(shown.begin(), shown.end(), [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
    auto sameKind = [&](const WordListEntry& a, const WordListEntry& b) {
        return a.matchStart == b.matchStart && a.matchLength == b.matchLength && a.dictionary == b.dictionary &&
               a.recordId == b.recordId && a.subEntry == b.subEntry;
    };
    int32_t hidden = 0;
    size_t survivor = 0;
    for (size_t k = 0; k < shown.size(); ++k) {
        WordListEntry& hit = hits[shown[k]];
        if (k == 0 || !sameKind(hits[survivor], hit)) {
            survivor = shown[k];
            continue;
        }
        if (hits[survivor].priority < hit.priority) {
            hits[survivor].flags |= kEntryDeleted;
            survivor = shown[k];
        } else {
            hit.flags |= kEntryDeleted;
        }
        ++hidden;
    }
    return hidden;
}

}  // namespace ostrel::japanese
