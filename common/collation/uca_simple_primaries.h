// The primaries of the code points whose primary weights the UCA collator
// can take without their neighbours (kana, Latin, Cyrillic, punctuation and
// the CJK ideographs), and the reader of a text's primaries from them.
// Comparisons read these to decide most answers without making collation
// elements; anything not listed here goes the element-making way.
#pragma once

#include <cstdint>
#include <vector>

#include "common/collation/ducet_table.h"
#include "common/collation/uca_elements.h"

class SimplePrimaryTable {
public:
    // What Put of one code point gives at the primary level, after shifted
    // weighting: at most two non-zero primaries, and how many code points and
    // elements it takes of the per-call bounds.
    struct Entry {
        uint16_t primaries[2];   // the first `count` are used
        uint8_t count;           // 0..2 non-zero primaries
        uint8_t elements;        // collation elements made (before weighting)
        bool usable;             // false: the weights depend on the context
        bool plain;              // usable, and no code point before it changes how it expands
    };

    // Fills the table from `table` (the elements are made the one way every
    // comparison makes them); an empty table answers nothing.
    void Build(const DucetTable& table);
    void Clear() { entries_.clear(); ideographsImplicit_ = false; }

    // The entry of `unit`, or null when the element-making way must decide.
    const Entry* Find(char16_t unit, Entry& scratch) const {
        if (unit < entries_.size()) return entries_[unit].usable ? &entries_[unit] : nullptr;
        return Ideograph(unit, scratch);
    }
    // The entry of a code unit that expands to itself whatever stands before
    // it (the text is read a unit at a time without expanding it), or null.
    const Entry* FindPlain(char16_t unit, Entry& scratch) const {
        if (unit < entries_.size()) return entries_[unit].plain ? &entries_[unit] : nullptr;
        return Ideograph(unit, scratch);
    }

    // Code units below this have entries (Latin, Greek, Cyrillic, kana).
    static constexpr char16_t kListedEnd = 0x3100;

private:
    // CJK ideographs have no listed elements: two implicit primaries.
    const Entry* Ideograph(char16_t unit, Entry& scratch) const {
        if (!ideographsImplicit_) return nullptr;
        uint16_t base;
        if (unit >= 0x4E00 && unit <= 0x9FFF) base = 0xFB40;
        else if (unit >= 0x3400 && unit <= 0x4DBF) base = 0xFB80;
        else return nullptr;
        scratch = {{static_cast<uint16_t>(base + (unit >> 15)), static_cast<uint16_t>((unit & 0x7FFF) | 0x8000)},
                   2, 2, true, true};
        return &scratch;
    }

    std::vector<Entry> entries_;
    bool ideographsImplicit_ = false;   // no ideograph has listed elements
};

// The non-zero primaries of a text read straight from the simple-primary
// table, with the text expanded as the element builder expands it. It gives
// up (kGiveUp) at any code unit whose primaries might depend on its
// neighbours, and before the per-call bounds could cut anything, so every
// primary it gives is the one the elements have.
class SimplePrimaryReader {
public:
    static constexpr int32_t kEnd = -1;
    static constexpr int32_t kGiveUp = -2;

    SimplePrimaryReader(const SimplePrimaryTable& table, const char16_t* text, int32_t length)
        : table_(table), text_(text), length_(length) {}

    // The next non-zero primary, kEnd after the last, or kGiveUp.
    int32_t Next() {
        while (next_ == count_) {
            if (position_ == length_) return kEnd;
            // Room for the largest expansion: three code points of up to 18 elements.
            if (codePoints_ > kUcaMaxCodePoints - 3 || elements_ > kUcaMaxElements - 3 * 18) return kGiveUp;
            const char16_t unit = text_[position_++];
            // Most units of kana, letters and ideographs: what Read would
            // do, without expanding the unit (its expansion is itself).
            SimplePrimaryTable::Entry scratch;
            if (const SimplePrimaryTable::Entry* entry = table_.FindPlain(unit, scratch)) {
                previous_ = unit;
                hasPrevious_ = true;
                ++codePoints_;
                elements_ += entry->elements;
                if (entry->count == 1) return entry->primaries[0];
                next_ = count_ = 0;
                for (uint8_t k = 0; k < entry->count; ++k) pending_[count_++] = entry->primaries[k];
                continue;
            }
            next_ = count_ = 0;
            if (!Read(unit)) return kGiveUp;
        }
        return pending_[next_++];
    }

private:
    // Expands one code unit as the element builder does; false when the
    // table cannot answer for it (a surrogate always goes the slow way).
    bool Read(char16_t unit) {
        const UcaExpansion expansion = ExpandForCollation(unit, hasPrevious_, previous_);
        previous_ = expansion.processed;
        hasPrevious_ = true;
        for (uint8_t k = 0; k < expansion.count; ++k) {
            char32_t cp = expansion.codePoints[k];
            if (cp == kUcaRepetition) {
                // Two implicit elements, no primary once weighed.
                ++codePoints_;
                elements_ += 2;
            } else if (cp > 0xFFFF || !Put(static_cast<char16_t>(cp))) {
                return false;
            }
        }
        return true;
    }
    bool Put(char16_t unit) {
        SimplePrimaryTable::Entry scratch;
        const SimplePrimaryTable::Entry* entry = table_.Find(unit, scratch);
        if (!entry) return false;
        for (uint8_t k = 0; k < entry->count; ++k) pending_[count_++] = entry->primaries[k];
        ++codePoints_;
        elements_ += entry->elements;
        return true;
    }

    const SimplePrimaryTable& table_;
    const char16_t* text_;
    int32_t length_;
    int32_t position_ = 0;     // next code unit
    int32_t codePoints_ = 0;   // code points after expansion, as the element builder counts them
    int32_t elements_ = 0;     // elements the element builder would have made
    uint16_t pending_[6];      // primaries of the last code unit read; at most three Puts of two
    uint8_t count_ = 0, next_ = 0;
    char32_t previous_ = 0;    // the code point processed last
    bool hasPrevious_ = false;
};
