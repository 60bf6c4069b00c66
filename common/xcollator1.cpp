// XCollator1: expansion of the text, collation elements from DUCET, shifted
// variable weighting and the sort key; Compare builds both keys and compares
// them weight by weight.
#include "common/xcollator1.h"

#include <algorithm>

#include "common/collation_tables.h"
#include "common/text_walk.h"

namespace {

constexpr char32_t kRepetition = 0xF0FF;      // stands for "the code point before, again"
constexpr char32_t kVoicedSoundMark = 0x3099;
constexpr uint32_t kVariableTop = 0x0F98;
constexpr uint32_t kRepetitionFourth = 0xFF04;
constexpr uint32_t kNonVariableFourth = 0xFF00;

bool IsIdeograph(char32_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x3400 && c <= 0x4DBF) ||
           (c >= 0x20000 && c <= 0x2A6DF);
}
bool IsKanaContext(char32_t c) { return c >= 0x3001 && c <= 0x30FE; }
bool IsIterationMark(char32_t c) { return c == 0x309D || c == 0x30FD || c == 0x3031 || c == 0x3033 || c == 0x3035; }
bool IsVoicedIterationMark(char32_t c) { return c == 0x309E || c == 0x30FE || c == 0x3032 || c == 0x3034; }
bool IsVoicingWeight(uint32_t fourth) {
    return (fourth >= 0x3099 && fourth <= 0x309C) || fourth == 0xFF9E || fourth == 0xFF9F;
}

// The code points of a text with Hangul syllables as jamo and the repetition
// signs expanded; at most XCollator1::kMaxCodePoints.
class ExpandedText {
public:
    ExpandedText(const char16_t* text, int32_t length) {
        TextWalk walk(text, length);
        bool hasPrevious = false;
        char32_t previous = 0;
        for (int32_t i = 0; i < walk.length && count_ < XCollator1::kMaxCodePoints; i = walk.Next(i)) {
            char32_t cp = walk.CodePointAt(i);
            char32_t processed = cp;
            if (cp >= 0xAC00 && cp <= 0xD7A3) {
                char32_t s = cp - 0xAC00;
                Put(0x1100 + s / 588);
                Put(0x1161 + (s / 28) % 21);
                processed = 0x1161 + (s / 28) % 21;
                if (s % 28 != 0) {
                    processed = 0x11A7 + s % 28;
                    Put(processed);
                }
            } else if (hasPrevious && (cp == 0x3005 || cp == 0x303B) && IsIdeograph(previous)) {
                Put(previous);
                Put(kRepetition);
            } else if (hasPrevious && IsKanaContext(previous) && IsIterationMark(cp)) {
                Put(previous);
                Put(kRepetition);
            } else if (hasPrevious && IsKanaContext(previous) && IsVoicedIterationMark(cp)) {
                Put(previous);
                Put(kVoicedSoundMark);
                Put(kRepetition);
            } else if (hasPrevious && IsKanaContext(previous) && cp == 0x30FC) {
                processed = collation::KanaVowel(static_cast<char16_t>(previous));
                Put(processed);
                Put(kRepetition);
            } else {
                Put(cp);
            }
            previous = processed;
            hasPrevious = true;
        }
    }
    std::span<const char32_t> CodePoints() const { return {codePoints_, static_cast<size_t>(count_)}; }

private:
    void Put(char32_t cp) {
        if (count_ < XCollator1::kMaxCodePoints) codePoints_[count_++] = cp;
    }
    char32_t codePoints_[XCollator1::kMaxCodePoints];
    int32_t count_ = 0;
};

}  // namespace

int32_t MakeCollationElements(const DucetTable& table, const char16_t* text, int32_t length,
                              std::span<CollationElement> out, bool* fourthLevelUsed) {
    *fourthLevelUsed = false;
    if (!text) return 0;
    ExpandedText expanded(text, length);
    size_t count = 0;
    for (char32_t cp : expanded.CodePoints()) {
        if (count == out.size()) break;
        std::span<const CollationElement> listed;
        if (table.Lookup(cp, listed)) {
            size_t take = std::min(listed.size(), out.size() - count);
            std::copy_n(listed.begin(), take, out.begin() + count);
            count += take;
            continue;
        }
        uint32_t base = 0xFBC0;
        if ((cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xF900 && cp <= 0xFAFF)) base = 0xFB40;
        else if ((cp >= 0x3400 && cp <= 0x4DBF) || (cp >= 0x20000 && cp <= 0x2A6DF)) base = 0xFB80;
        out[count++] = {base + (cp >> 15), 0x20, 0x02, cp};
        if (count < out.size()) out[count++] = {(cp & 0x7FFF) | 0x8000, 0, 0, cp};
    }
    // Shifted variable weighting, in place; each element looks at the next
    // one before that one is rewritten.
    bool afterVariable = false;
    for (size_t k = 0; k < count; ++k) {
        CollationElement& e = out[k];
        if (e.fourth == kRepetition) {
            e = {0, 0, 0, kRepetitionFourth};
            *fourthLevelUsed = true;
        } else if (IsVoicingWeight(e.fourth) && k + 1 < count && out[k + 1].fourth == kVoicedSoundMark) {
            // The voicing is written again by the U+3099 that follows.
            e = {0, 0, 0, 0};
        } else if (e.primary == 0 && e.secondary == 0 && e.tertiary == 0) {
            e.fourth = 0;
        } else if (e.primary == 0 && afterVariable) {
            e = {0, 0, 0, 0};
        } else if (e.primary == 0) {
            e.fourth = kNonVariableFourth;
        } else if (e.primary > kVariableTop) {
            e.fourth = kNonVariableFourth;
            afterVariable = false;
        } else {
            e = {0, 0, 0, e.primary};
            afterVariable = true;
            *fourthLevelUsed = true;
        }
    }
    return static_cast<int32_t>(count);
}

int32_t MakeSortKey(std::span<const CollationElement> elements, bool allLevels, bool fourth,
                    std::span<uint32_t> out) {
    size_t n = 0;
    auto put = [&](uint32_t w) {
        if (n < out.size()) out[n++] = w;
    };
    auto level = [&](uint32_t CollationElement::*weight) {
        for (const CollationElement& e : elements)
            if (e.*weight) put(e.*weight);
    };
    level(&CollationElement::primary);
    if (allLevels) {
        put(0);
        level(&CollationElement::secondary);
        put(0);
        level(&CollationElement::tertiary);
        if (fourth) {
            put(0);
            level(&CollationElement::fourth);
        }
    }
    return static_cast<int32_t>(n);
}

HRESULT OSTREL_COM_CALL XCollator1::QueryInterface(REFIID, void** object) {
    if (object) *object = nullptr;
    return E_NOINTERFACE;
}

ULONG OSTREL_COM_CALL XCollator1::AddRef() { return static_cast<ULONG>(++referenceCount_); }

ULONG OSTREL_COM_CALL XCollator1::Release() { return static_cast<ULONG>(--referenceCount_); }

int32_t OSTREL_COM_CALL XCollator1::Compare(const char16_t* a, uint32_t lengthA, const char16_t* b,
                                            uint32_t lengthB, int32_t, uint32_t flags) {
    if (!HasTable()) return 0;
    CollationElement elementsA[kMaxElements], elementsB[kMaxElements];
    bool fourthA = false, fourthB = false;
    int32_t na = MakeCollationElements(table_, a, static_cast<int32_t>(std::min<uint32_t>(lengthA, INT32_MAX)),
                                       elementsA, &fourthA);
    int32_t nb = MakeCollationElements(table_, b, static_cast<int32_t>(std::min<uint32_t>(lengthB, INT32_MAX)),
                                       elementsB, &fourthB);
    // The fourth level counts when either text used it, for both keys.
    const bool allLevels = flags != 0, fourth = fourthA || fourthB;
    uint32_t keyA[kMaxSortKeyWeights], keyB[kMaxSortKeyWeights];
    int32_t la = MakeSortKey({elementsA, static_cast<size_t>(na)}, allLevels, fourth, keyA);
    int32_t lb = MakeSortKey({elementsB, static_cast<size_t>(nb)}, allLevels, fourth, keyB);
    for (int32_t i = 0;; ++i) {
        if (i == la) return i == lb ? 0 : CollateBefore(i);
        if (i == lb || keyA[i] > keyB[i]) return CollateAfter(i);
        if (keyA[i] < keyB[i]) return CollateBefore(i);
    }
}

int32_t OSTREL_COM_CALL XCollator1::GetSortKey(const char16_t* text, int32_t length, uint32_t* out,
                                               int32_t allLevels) {
    if (!HasTable() || !out) return 0;
    CollationElement elements[kMaxElements];
    bool fourth = false;
    int32_t n = MakeCollationElements(table_, text, length, elements, &fourth);
    return MakeSortKey({elements, static_cast<size_t>(n)}, allLevels != 0, fourth,
                       {out, static_cast<size_t>(kMaxSortKeyWeights)});
}

uint32_t OSTREL_COM_CALL XCollator1::GetKind() { return 1; }

bool XCollator1::InstallTable(InflatedData blob) {
    FreeTable();
    if (!table_.Attach(blob.Bytes())) return false;
    blob_ = std::move(blob);
    return true;
}

bool XCollator1::LoadTable() {
    if (HasTable()) return true;
    InflatedData blob;
    return InflateDataResource(kDucetResourceName, blob) && InstallTable(std::move(blob));
}

void XCollator1::FreeTable() {
    table_.Detach();
    blob_ = InflatedData{};
}

XCollator1& UcaCollator() {
    static XCollator1* const instance = new XCollator1;
    return *instance;
}

HRESULT GetUcaCollator(ICollator** out) {
    if (!out) return E_FAIL;
    *out = nullptr;
    XCollator1& collator = UcaCollator();
    if (!collator.LoadTable()) return E_FAIL;
    collator.AddRef();
    *out = &collator;
    return S_OK;
}
