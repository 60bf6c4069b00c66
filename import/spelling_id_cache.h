// SpellingIdCache: the word ids of the spellings an article text repeats most,
// as the segmenter cut them, so that a frequent word skips its search key and
// the word table (whose look-ups, spread over hundreds of thousands of words,
// mostly miss the processor's caches). A fixed table of slots, each holding
// the last spelling that hashed to it; a spelling longer than a slot holds is
// never kept. A spelling's search key never changes, nor its key's id during
// one build, so a kept id stays right.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

class SpellingIdCache {
public:
    static constexpr size_t kSlots = size_t{1} << 16;  // 2 MiB
    static constexpr size_t kMaxUnits = 13;

    // The id kept for `spelling`, 0 when none is.
    uint32_t Find(std::u16string_view spelling) const {
        if (!slots_ || spelling.size() > kMaxUnits) return 0;
        const Slot& slot = slots_[SlotOf(spelling)];
        return slot.length == spelling.size() && std::equal(spelling.begin(), spelling.end(), slot.units) ? slot.id
                                                                                                         : 0;
    }
    // Starts bringing the slot of `spelling` into the processor's cache, for
    // a Find soon after.
    void Prefetch(std::u16string_view spelling) const {
        if (slots_) __builtin_prefetch(&slots_[SlotOf(spelling)]);
    }
    // Keeps `id` for `spelling` in place of what its slot held.
    void Keep(std::u16string_view spelling, uint32_t id) {
        if (spelling.size() > kMaxUnits) return;
        if (!slots_) slots_ = std::make_unique<Slot[]>(kSlots);
        Slot& slot = slots_[SlotOf(spelling)];
        slot.id = id;
        slot.length = static_cast<uint16_t>(spelling.size());
        std::copy(spelling.begin(), spelling.end(), slot.units);
    }

private:
    struct Slot {
        uint32_t id = 0;
        uint16_t length = 0;
        char16_t units[kMaxUnits] = {};
    };
    static_assert(sizeof(Slot) == 32);

    static size_t SlotOf(std::u16string_view spelling) {
        uint32_t hash = 2166136261u;
        for (const char16_t unit : spelling) hash = (hash ^ unit) * 16777619u;
        return (hash ^ hash >> 15) & (kSlots - 1);
    }

    std::unique_ptr<Slot[]> slots_;
};
