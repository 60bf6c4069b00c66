// XCollator0: the dictionary collation. A primary pass compares folded units
// (case, accents, kana size, voicing and script folded away; some punctuation
// skipped); with flags set an equal primary result is broken by the raw units
// under a few fixed rules. No allocation, at most 100 positions per pass.
#pragma once

#include "common/collation/collator.h"

class XCollator0 final : public StaticCollator {
public:
    int32_t OSTREL_COM_CALL Compare(const char16_t* a, uint32_t lengthA, const char16_t* b,
                                    uint32_t lengthB, int32_t mode, uint32_t flags) override;
    int32_t OSTREL_COM_CALL GetSortKey(const char16_t* text, int32_t length, uint32_t* out,
                                       int32_t allLevels) override;
    uint32_t OSTREL_COM_CALL GetKind() override;

    // The exit step: the object is static and owns nothing, so only the count resets.
    void Reset() { referenceCount_ = 0; }

    // Modes of the engine's sort kinds that change the tie-break.
    static constexpr int32_t kModeHiraganaFirst = 2;
    static constexpr int32_t kModeKatakanaFirst = 6;
    static constexpr int32_t kMaxPositions = 100;
};

// The folded unit XCollator0's primary pass compares for `unit`, or -1 when
// the unit is skipped. (The prolonged-sign rule needs context: see the pass.)
int32_t FoldDictionaryUnit(char16_t unit);

// The one instance; never destroyed, so it outlives every index at exit.
XCollator0& DictionaryCollator();
