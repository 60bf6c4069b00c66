// Building the table of context-free primaries: each code point is run
// through the same element making as a one-code-point text, and kept only
// when no neighbour can change its primaries.
#include "common/collation/uca_simple_primaries.h"

#include "common/collation/uca_elements.h"

namespace {

// Code units whose expansion depends on the code point before them
// (ExpandForCollation): iteration marks and the prolonged sound mark.
bool ExpandsByContext(char16_t c) {
    return c == 0x3005 || c == 0x303B || (c >= 0x3031 && c <= 0x3035) || c == 0x309D || c == 0x309E || c == 0x30FC ||
           c == 0x30FD || c == 0x30FE;
}

}  // namespace

void SimplePrimaryTable::Build(const DucetTable& table) {
    Clear();
    if (!table.IsLoaded()) return;
    entries_.resize(kListedEnd);
    for (char16_t c = 0; c < kListedEnd; ++c) {
        Entry& entry = entries_[c];
        entry = {{0, 0}, 0, 0, false, false};
        std::span<const CollationElement> raw;
        if (!table.Lookup(c, raw)) continue;   // implicit weights: rare below U+3100, left to the slow way
        // A voicing weight with a primary may be dropped by a U+3099 after it;
        // the repetition stand-in is read from the fourth weight.
        bool contextFree = raw.size() <= 18;
        for (const CollationElement& e : raw)
            if ((e.primary != 0 && IsVoicingWeight(e.fourth)) || e.fourth == 0xF0FF) contextFree = false;
        if (!contextFree) continue;
        // One code point alone is Put of itself: no sign expands without a code point before it.
        CollationElement elements[32];
        bool fourth = false;
        int32_t n = MakeCollationElements(table, &c, 1, elements, &fourth);
        if (n != static_cast<int32_t>(raw.size())) continue;
        entry.elements = static_cast<uint8_t>(raw.size());
        bool fits = true;
        for (int32_t k = 0; k < n && fits; ++k) {
            uint32_t p = elements[k].primary;
            if (p == 0) continue;
            if (entry.count == 2 || p > 0xFFFF) fits = false;
            else entry.primaries[entry.count++] = static_cast<uint16_t>(p);
        }
        entry.usable = fits;
        entry.plain = fits && !ExpandsByContext(c);
    }
    ideographsImplicit_ = true;
    std::span<const CollationElement> listed;
    for (char32_t c = 0x3400; c <= 0x9FFF; ++c)
        if ((c <= 0x4DBF || c >= 0x4E00) && table.Lookup(c, listed)) ideographsImplicit_ = false;
}
