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

int32_t MergeHits(std::vector<int32_t>& order, std::vector<WordListEntry>& pool, size_t first, size_t limit) {
    const size_t held = std::min(order.size(), limit);
    const size_t added = pool.size() - std::min(first, pool.size());
    std::vector<int32_t> merged;
    merged.reserve(std::min(held + added, limit));
    size_t h = 0, e = 0;
    auto startOf = [&](size_t entry) { return pool[entry].matchStart; };
    while (merged.size() < limit && (h < held || e < added)) {
        const bool takeHeld = e == added || (h < held && startOf(static_cast<size_t>(order[h])) <= startOf(first + e));
        merged.push_back(takeHeld ? order[h++] : static_cast<int32_t>(first + e++));
    }
    int32_t cut = -1;
    if (h < order.size()) cut = startOf(static_cast<size_t>(order[h]));
    if (e < added && (cut < 0 || startOf(first + e) < cut)) cut = startOf(first + e);
    pool.resize(first + e);
    order.swap(merged);
    return cut;
}

namespace {

// `hit(k)` is the k-th hit in index order, of `count`.
template <typename HitAt>
int32_t DropDuplicatesOf(size_t count, HitAt hit) {
    // Pairwise in index order, each kind of hit comes down to one fold: the
    // survivor so far meets each later copy, and the lower priority (the
    // later copy at equal priority) is hidden. The shown hits ordered by kind,
    // then by index, give each kind's copies in index order for one pass.
    struct Kind {
        int32_t start, length;
        uintptr_t dictionary;
        uint32_t record;
        uint16_t subEntry;
        uint32_t index;
        auto Tie() const { return std::tie(start, length, dictionary, record, subEntry, index); }
    };
    std::vector<Kind> shown;
    shown.reserve(count);
    for (size_t k = 0; k < count; ++k) {
        const WordListEntry& h = hit(k);
        if ((h.flags & kEntryDeleted) == 0)
            shown.push_back({h.matchStart, h.matchLength, reinterpret_cast<uintptr_t>(h.dictionary), h.recordId,
                             h.subEntry, static_cast<uint32_t>(k)});
    }
    std::sort(shown.begin(), shown.end(), [](const Kind& a, const Kind& b) { return a.Tie() < b.Tie(); });
    auto sameKind = [](const Kind& a, const Kind& b) {
        return a.start == b.start && a.length == b.length && a.dictionary == b.dictionary && a.record == b.record &&
               a.subEntry == b.subEntry;
    };
    int32_t hidden = 0;
    size_t survivor = 0;  // into shown
    for (size_t k = 1; k < shown.size(); ++k) {
        if (!sameKind(shown[survivor], shown[k])) {
            survivor = k;
            continue;
        }
        WordListEntry& held = hit(shown[survivor].index);
        WordListEntry& later = hit(shown[k].index);
        if (held.priority < later.priority) {
            held.flags |= kEntryDeleted;
            survivor = k;
        } else {
            later.flags |= kEntryDeleted;
        }
        ++hidden;
    }
    return hidden;
}

}  // namespace

int32_t DropDuplicateHits(std::span<WordListEntry> hits) {
    return DropDuplicatesOf(hits.size(), [&](size_t k) -> WordListEntry& { return hits[k]; });
}

int32_t DropDuplicateHits(std::span<WordListEntry> pool, std::span<const int32_t> order) {
    return DropDuplicatesOf(order.size(), [&](size_t k) -> WordListEntry& { return pool[static_cast<size_t>(order[k])]; });
}

}  // namespace ostrel::japanese
