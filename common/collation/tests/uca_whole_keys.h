// The straightforward answer XCollator1::Compare must give: build both whole
// sort keys from their elements and compare them weight by weight.
#pragma once

#include <string_view>
#include <vector>

#include "common/collation/xcollator1.h"

// Compare stops at the first differing primary; its answer must be that of
// comparing the two whole keys (the fourth level when either text used it).
inline int32_t CompareWholeUcaKeys(const XCollator1& collator, std::u16string_view a, std::u16string_view b,
                                   uint32_t flags) {
    std::vector<CollationElement> ea(XCollator1::kMaxElements), eb(XCollator1::kMaxElements);
    bool fa = false, fb = false;
    ea.resize(MakeCollationElements(collator.Table(), a.data(), static_cast<int32_t>(a.size()), ea, &fa));
    eb.resize(MakeCollationElements(collator.Table(), b.data(), static_cast<int32_t>(b.size()), eb, &fb));
    std::vector<uint32_t> ka(kMaxSortKeyWeights), kb(kMaxSortKeyWeights);
    ka.resize(MakeSortKey(ea, flags != 0, fa || fb, ka));
    kb.resize(MakeSortKey(eb, flags != 0, fb || fa, kb));
    for (int32_t i = 0;; ++i) {
        if (i == static_cast<int32_t>(ka.size())) return i == static_cast<int32_t>(kb.size()) ? 0 : ~i;
        if (i == static_cast<int32_t>(kb.size()) || ka[i] > kb[i]) return i + 1;
        if (ka[i] < kb[i]) return ~i;
    }
}
