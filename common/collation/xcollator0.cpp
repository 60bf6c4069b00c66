// XCollator0: primary folding pass and the tie-break pass over raw units.
#include "common/collation/xcollator0.h"

#include "common/collation/collation_tables.h"

namespace {

constexpr char16_t kFullwidthOpen = 0xFF08;
constexpr char16_t kFullwidthClose = 0xFF09;
constexpr char16_t kProlongedSign = 0x30FC;

bool IsFullwidthParenthesis(char16_t u) { return u == kFullwidthOpen || u == kFullwidthClose; }

// Reads one text as the primary pass sees it: folded units, skipped units dropped.
class FoldedReader {
public:
    FoldedReader(const char16_t* text, uint32_t length) : text_(text), end_(text ? text + length : text) {}

    // The next folded unit, or -1 at the end.
    int32_t Next() {
        while (text_ != end_) {
            char16_t u = *text_++;
            if (IsFullwidthParenthesis(u)) continue;
            if (u == kProlongedSign && previous_ > 0x3000 && previous_ <= 0x30FE)
                u = collation::KanaVowel(static_cast<char16_t>(previous_));
            int32_t folded = FoldDictionaryUnit(u);
            if (folded < 0) continue;
            previous_ = folded;
            return folded;
        }
        return -1;
    }

private:
    const char16_t* text_;
    const char16_t* end_;
    int32_t previous_ = -1;   // the last folded unit yielded
};

// Reads one text for the tie-break: raw units, only the fullwidth parentheses skipped.
class RawReader {
public:
    RawReader(const char16_t* text, uint32_t length) : text_(text), end_(text ? text + length : text) {}
    int32_t Next() {
        while (text_ != end_) {
            char16_t u = *text_++;
            if (!IsFullwidthParenthesis(u)) return u;
        }
        return -1;
    }

private:
    const char16_t* text_;
    const char16_t* end_;
};

bool IsYo(int32_t u) { return u == 0x0451 || u == 0x0401; }
bool IsKatakana(int32_t u) { return u >= 0x30A1 && u <= 0x30F6; }
bool IsHiragana(int32_t u) { return u >= 0x3041 && u <= 0x3093; }

int32_t TieUnit(int32_t u) {
    return (u >= 0x3000 && u <= 0x30FF) ? collation::kKanaTie[u - 0x3000] : u;
}

int32_t BreakTie(const char16_t* a, uint32_t lengthA, const char16_t* b, uint32_t lengthB,
                 int32_t mode) {
    RawReader ra(a, lengthA), rb(b, lengthB);
    for (int32_t j = 0; j < XCollator0::kMaxPositions; ++j) {
        int32_t ua = ra.Next(), ub = rb.Next();
        if (ua < 0) return ub < 0 ? 0 : CollateBefore(j);
        if (ub < 0) return CollateAfter(j);
        // ё after е: it was folded with е, so here it goes after whatever else it met.
        if (IsYo(ua) && !IsYo(ub)) return CollateAfter(j);
        if (!IsYo(ua) && IsYo(ub)) return CollateBefore(j);
        if (mode == XCollator0::kModeKatakanaFirst || mode == XCollator0::kModeHiraganaFirst) {
            int32_t katakanaSide = mode == XCollator0::kModeKatakanaFirst ? -1 : 1;
            if (IsKatakana(ua) && IsHiragana(ub))
                return katakanaSide < 0 ? CollateBefore(j) : CollateAfter(j);
            if (IsHiragana(ua) && IsKatakana(ub))
                return katakanaSide < 0 ? CollateAfter(j) : CollateBefore(j);
        }
        ua = TieUnit(ua);
        ub = TieUnit(ub);
        if (ua > ub) return CollateAfter(j);
        if (ua < ub) return CollateBefore(j);
    }
    return 0;
}

}  // namespace

int32_t FoldDictionaryUnit(char16_t unit) {
    char16_t folded = unit;
    if (unit < 0x250) {
        folded = collation::kLatinFold[unit];
    } else if (unit >= 0x400 && unit <= 0x4FF) {
        folded = collation::kCyrillicFold[unit - 0x400];
        if (folded == collation::kCyrillicSkip) return -1;
    }
    if (folded == collation::kLatinSkip) return -1;
    if (folded >= 0x2000 && folded <= 0x206F) return -1;
    if (folded >= 0x3000 && folded <= 0x30FF) folded = collation::kKanaFold[folded - 0x3000];
    return folded;
}

int32_t OSTREL_COM_CALL XCollator0::Compare(const char16_t* a, uint32_t lengthA, const char16_t* b,
                                            uint32_t lengthB, int32_t mode, uint32_t flags) {
    FoldedReader ra(a, lengthA), rb(b, lengthB);
    for (int32_t i = 0; i < kMaxPositions; ++i) {
        int32_t fa = ra.Next(), fb = rb.Next();
        if (fa < 0) {
            if (fb < 0) break;
            return CollateBefore(i);
        }
        if (fb < 0 || fa > fb) return CollateAfter(i);
        if (fa < fb) return CollateBefore(i);
    }
    if (flags == 0) return 0;
    return BreakTie(a, lengthA, b, lengthB, mode);
}

int32_t OSTREL_COM_CALL XCollator0::GetSortKey(const char16_t*, int32_t, uint32_t*, int32_t) {
    return 0;
}

uint32_t OSTREL_COM_CALL XCollator0::GetKind() { return 0; }

XCollator0& DictionaryCollator() {
    static XCollator0* const instance = new XCollator0;
    return *instance;
}

HRESULT GetDictionaryCollator(ICollator** out) {
    if (!out) return E_FAIL;
    XCollator0& collator = DictionaryCollator();
    collator.AddRef();
    *out = &collator;
    return S_OK;
}
