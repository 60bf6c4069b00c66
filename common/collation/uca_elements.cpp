// Element making for the UCA collator: expansion, DUCET look-up or implicit
// weights, and shifted variable weighting, one code point at a time.
#include "common/collation/uca_elements.h"

namespace {

constexpr uint32_t kVariableTop = 0x0F98;
constexpr uint32_t kRepetitionFourth = 0xFF04;
constexpr uint32_t kNonVariableFourth = 0xFF00;

}  // namespace

bool UcaElementBuilder::Advance() {
    if (done_) return false;
    if (position_ >= walk_.length || codePoints_ >= kUcaMaxCodePoints || count_ == out_.size()) {
        Weigh(count_);
        done_ = true;
        return false;
    }
    char32_t cp = walk_.CodePointAt(position_);
    position_ = walk_.Next(position_);
    const UcaExpansion expansion = ExpandForCollation(cp, hasPrevious_, previous_);
    for (uint8_t k = 0; k < expansion.count; ++k) Put(expansion.codePoints[k]);
    previous_ = expansion.processed;
    hasPrevious_ = true;
    // The last element waits for the one after it (the voicing rule).
    if (count_ > 0) Weigh(count_ - 1);
    return true;
}

void UcaElementBuilder::Put(char32_t cp) {
    if (codePoints_ >= kUcaMaxCodePoints) return;
    ++codePoints_;
    std::span<const CollationElement> listed;
    if (table_.Lookup(cp, listed)) {
        for (const CollationElement& e : listed) {
            if (count_ == out_.size()) return;
            out_[count_++] = e;
        }
        return;
    }
    uint32_t base = 0xFBC0;
    if ((cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xF900 && cp <= 0xFAFF)) base = 0xFB40;
    else if ((cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x20000 && cp <= 0x2A6DF)) base = 0xFB80;
    if (count_ < out_.size()) out_[count_++] = {base + (cp >> 15), 0x20, 0x02, cp};
    if (count_ < out_.size()) out_[count_++] = {(cp & 0x7FFF) | 0x8000, 0, 0, cp};
}

// Shifted variable weighting of the elements before `limit`, in order; each
// element looks at the next one before that one is rewritten.
void UcaElementBuilder::Weigh(size_t limit) {
    for (; weighed_ < limit; ++weighed_) {
        CollationElement& e = out_[weighed_];
        if (e.fourth == kUcaRepetition) {
            e = {0, 0, 0, kRepetitionFourth};
            fourthLevelUsed_ = true;
        } else if (IsVoicingWeight(e.fourth) && weighed_ + 1 < count_ &&
                   out_[weighed_ + 1].fourth == kUcaVoicedSoundMark) {
            // The voicing is written again by the U+3099 that follows.
            e = {0, 0, 0, 0};
        } else if (e.primary == 0 && e.secondary == 0 && e.tertiary == 0) {
            e.fourth = 0;
        } else if (e.primary == 0 && afterVariable_) {
            e = {0, 0, 0, 0};
        } else if (e.primary == 0) {
            e.fourth = kNonVariableFourth;
        } else if (e.primary > kVariableTop) {
            e.fourth = kNonVariableFourth;
            afterVariable_ = false;
        } else {
            e = {0, 0, 0, e.primary};
            afterVariable_ = true;
            fourthLevelUsed_ = true;
        }
    }
}

int32_t MakeCollationElements(const DucetTable& table, const char16_t* text, int32_t length,
                              std::span<CollationElement> out, bool* fourthLevelUsed) {
    UcaElementBuilder builder(table, text, length, out);
    builder.Finish();
    *fourthLevelUsed = builder.FourthLevelUsed();
    return static_cast<int32_t>(builder.Weighed());
}

int32_t MakeSortKey(std::span<const CollationElement> elements, bool allLevels, bool fourth,
                    std::span<uint32_t> out) {
    UcaSortKeyStream key(elements, UcaLastLevel(allLevels, fourth));
    size_t n = 0;
    for (int64_t w; n < out.size() && (w = key.Next()) >= 0;) out[n++] = static_cast<uint32_t>(w);
    return static_cast<int32_t>(n);
}
