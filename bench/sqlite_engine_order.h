// The storage engine's order of one text key segment as an SQLite collation,
// so SQLite peers of the benchmarks sort and seek exactly as the engine does:
// the UCA collator, then the shorter text first. `counter`, when not null,
// counts the comparisons.
#pragma once

#include <cstdint>

#include "common/collation/collator.h"
#include "storage/index_keys.h"

inline int CollateInEngineOrder(void* counter, int lengthA, const void* a, int lengthB, const void* b) {
    if (counter != nullptr) ++*static_cast<uint64_t*>(counter);
    static ICollator* uca = IndexCollator(1);
    int32_t r = uca->Compare(static_cast<const char16_t*>(a), static_cast<uint32_t>(lengthA / 2),
                             static_cast<const char16_t*>(b), static_cast<uint32_t>(lengthB / 2), 2, 1);
    if (r != 0) return r < 0 ? -1 : 1;
    return lengthA < lengthB ? -1 : (lengthA > lengthB ? 1 : 0);
}
