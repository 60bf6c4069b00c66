// XCollator1: expansion of the text, collation elements from DUCET, shifted
// variable weighting and the sort key; Compare reads context-free primaries
// from a table, makes the elements of both texts as it goes where the table
// cannot answer, and gives the answer comparing the two whole keys would.
#include "common/collation/xcollator1.h"

#include <algorithm>

#include "common/collation/collation_tables.h"
#include "common/unicode/text_walk.h"

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
bool IsIterationMark(char32_t c) { return c == 0x309D || c == 0x30FD || c == 0x3031 || c == 0x3033 || c == 0x3035; }
bool IsVoicedIterationMark(char32_t c) { return c == 0x309E || c == 0x30FE || c == 0x3032 || c == 0x3034; }

// Makes the collation elements of one text a code point at a time, so that a
// comparison can stop at the first differing primary: Hangul syllables become
// jamo, repetition signs and the prolonged sound sign are expanded (at most
// XCollator1::kMaxCodePoints code points after expansion), each code point
// gets its elements, and each element is weighed (shifted) as soon as the
// element after it is known.
class ElementBuilder {
public:
    ElementBuilder(const DucetTable& table, const char16_t* text, int32_t length, std::span<CollationElement> out)
        : table_(table), walk_(text ? text : u"", text ? length : 0), out_(out) {}

    // Adds the elements of the next code point of the text and weighs what
    // can be weighed; false when the text (or a bound) was already reached,
    // by then every element is weighed.
    bool Advance() {
        if (done_) return false;
        if (position_ >= walk_.length || codePoints_ >= XCollator1::kMaxCodePoints || count_ == out_.size()) {
            Weigh(count_);
            done_ = true;
            return false;
        }
        char32_t cp = walk_.CodePointAt(position_);
        position_ = walk_.Next(position_);
        char32_t processed = cp;
        const bool kanaBefore = hasPrevious_ && previous_ >= 0x3001 && previous_ <= 0x30FE;
        if (cp >= 0xAC00 && cp <= 0xD7A3) {
            char32_t s = cp - 0xAC00;
            Put(0x1100 + s / 588);
            processed = 0x1161 + (s / 28) % 21;
            Put(processed);
            if (s % 28 != 0) {
                processed = 0x11A7 + s % 28;
                Put(processed);
            }
        } else if (hasPrevious_ && (cp == 0x3005 || cp == 0x303B) && IsIdeograph(previous_)) {
            Put(previous_);
            Put(kRepetition);
        } else if (kanaBefore && IsIterationMark(cp)) {
            Put(previous_);
            Put(kRepetition);
        } else if (kanaBefore && IsVoicedIterationMark(cp)) {
            Put(previous_);
            Put(kVoicedSoundMark);
            Put(kRepetition);
        } else if (kanaBefore && cp == 0x30FC) {
            processed = collation::KanaVowel(static_cast<char16_t>(previous_));
            Put(processed);
            Put(kRepetition);
        } else {
            Put(cp);
        }
        previous_ = processed;
        hasPrevious_ = true;
        // The last element waits for the one after it (the voicing rule).
        if (count_ > 0) Weigh(count_ - 1);
        return true;
    }
    void Finish() {
        while (Advance()) {}
    }

    size_t Weighed() const { return weighed_; }
    bool Done() const { return done_; }
    bool FourthLevelUsed() const { return fourthLevelUsed_; }

private:
    void Put(char32_t cp) {
        if (codePoints_ >= XCollator1::kMaxCodePoints) return;
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

    // Shifted variable weighting of the elements before `limit`, in order;
    // each element looks at the next one before that one is rewritten.
    void Weigh(size_t limit) {
        for (; weighed_ < limit; ++weighed_) {
            CollationElement& e = out_[weighed_];
            if (e.fourth == kRepetition) {
                e = {0, 0, 0, kRepetitionFourth};
                fourthLevelUsed_ = true;
            } else if (IsVoicingWeight(e.fourth) && weighed_ + 1 < count_ &&
                       out_[weighed_ + 1].fourth == kVoicedSoundMark) {
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

    const DucetTable& table_;
    TextWalk walk_;
    std::span<CollationElement> out_;
    int32_t position_ = 0;          // next unit of the text
    int32_t codePoints_ = 0;        // code points after expansion
    size_t count_ = 0;              // elements made
    size_t weighed_ = 0;            // elements with their final weights
    char32_t previous_ = 0;         // the code point processed last (the vowel after ー)
    bool hasPrevious_ = false;
    bool afterVariable_ = false;
    bool fourthLevelUsed_ = false;
    bool done_ = false;
};

}  // namespace

int32_t MakeCollationElements(const DucetTable& table, const char16_t* text, int32_t length,
                              std::span<CollationElement> out, bool* fourthLevelUsed) {
    ElementBuilder builder(table, text, length, out);
    builder.Finish();
    *fourthLevelUsed = builder.FourthLevelUsed();
    return static_cast<int32_t>(builder.Weighed());
}

namespace {

// The weights of a sort key one at a time, without building it: the non-zero
// primaries, then (with more levels) a 0 and the non-zero weights of the next
// level, and so on up to `lastLevel` (0 primaries only, 2 three levels, 3 four).
class SortKeyStream {
public:
    SortKeyStream(std::span<const CollationElement> elements, int lastLevel)
        : elements_(elements), lastLevel_(lastLevel) {}

    // The next weight, or -1 at the end of the key.
    int64_t Next() {
        for (;;) {
            while (next_ < elements_.size()) {
                const CollationElement& e = elements_[next_++];
                uint32_t w = level_ == 0 ? e.primary : level_ == 1 ? e.secondary : level_ == 2 ? e.tertiary : e.fourth;
                if (w) return w;
            }
            if (level_ == lastLevel_) return -1;
            ++level_;
            next_ = 0;
            return 0;
        }
    }

private:
    std::span<const CollationElement> elements_;
    int lastLevel_;
    int level_ = 0;
    size_t next_ = 0;
};

int LastLevel(bool allLevels, bool fourth) { return allLevels ? (fourth ? 3 : 2) : 0; }

}  // namespace

int32_t MakeSortKey(std::span<const CollationElement> elements, bool allLevels, bool fourth,
                    std::span<uint32_t> out) {
    SortKeyStream key(elements, LastLevel(allLevels, fourth));
    size_t n = 0;
    for (int64_t w; n < out.size() && (w = key.Next()) >= 0;) out[n++] = static_cast<uint32_t>(w);
    return static_cast<int32_t>(n);
}

namespace {

// The next primary of a text, making elements as needed; -1 after the last.
int64_t NextPrimary(ElementBuilder& builder, std::span<const CollationElement> elements, size_t& next) {
    for (;;) {
        while (next < builder.Weighed()) {
            uint32_t p = elements[next++].primary;
            if (p) return p;
        }
        if (!builder.Advance() && next >= builder.Weighed()) return -1;
    }
}

}  // namespace

namespace {

// The non-zero primaries of a text read straight from the simple-primary
// table, with the repetition signs and the prolonged sound sign expanded as
// ElementBuilder expands them. It gives up (kGiveUp) at any code unit whose
// primaries might depend on its neighbours, and before the per-call bounds
// could cut anything, so every primary it gives is the one the elements have.
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
            if (codePoints_ > XCollator1::kMaxCodePoints - 3 || elements_ > XCollator1::kMaxElements - 3 * 18)
                return kGiveUp;
            next_ = count_ = 0;
            if (!Read(text_[position_++])) return kGiveUp;
        }
        return pending_[next_++];
    }

private:
    // Expands one code unit as ElementBuilder::Advance does; false when the
    // table cannot answer for it.
    bool Read(char16_t unit) {
        char16_t processed = unit;
        const bool kanaBefore = hasPrevious_ && previous_ >= 0x3001 && previous_ <= 0x30FE;
        bool ok;
        if (hasPrevious_ && (unit == 0x3005 || unit == 0x303B) && IsIdeograph(previous_)) {
            ok = Put(previous_) && PutRepetition();
        } else if (kanaBefore && IsIterationMark(unit)) {
            ok = Put(previous_) && PutRepetition();
        } else if (kanaBefore && IsVoicedIterationMark(unit)) {
            ok = Put(previous_) && Put(static_cast<char16_t>(kVoicedSoundMark)) && PutRepetition();
        } else if (kanaBefore && unit == 0x30FC) {
            processed = collation::KanaVowel(previous_);
            ok = Put(processed) && PutRepetition();
        } else {
            ok = Put(unit);
        }
        previous_ = processed;
        hasPrevious_ = true;
        return ok;
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
    // The repetition stand-in: two implicit elements, no primary once weighed.
    bool PutRepetition() {
        ++codePoints_;
        elements_ += 2;
        return true;
    }

    const SimplePrimaryTable& table_;
    const char16_t* text_;
    int32_t length_;
    int32_t position_ = 0;     // next code unit
    int32_t codePoints_ = 0;   // code points after expansion, as ElementBuilder counts them
    int32_t elements_ = 0;     // elements ElementBuilder would have made
    uint16_t pending_[6];      // primaries of the last code unit read; at most three Puts of two
    uint8_t count_ = 0, next_ = 0;
    char16_t previous_ = 0;    // the code point processed last
    bool hasPrevious_ = false;
};

}  // namespace

int32_t OSTREL_COM_CALL XCollator1::Compare(const char16_t* a, uint32_t lengthA, const char16_t* b,
                                            uint32_t lengthB, int32_t, uint32_t flags) {
    if (!HasTable()) return 0;
    if (!a) lengthA = 0;
    if (!b) lengthB = 0;
    const int32_t na = static_cast<int32_t>(std::min<uint32_t>(lengthA, INT32_MAX));
    const int32_t nb = static_cast<int32_t>(std::min<uint32_t>(lengthB, INT32_MAX));
    // Most comparisons are decided by a primary of plain kana or letters:
    // read those from the table, and make elements only when it gives up.
    SimplePrimaryReader readerA(simplePrimaries_, a, na), readerB(simplePrimaries_, b, nb);
    for (int32_t i = 0; i < kMaxSortKeyWeights; ++i) {
        int32_t pa = readerA.Next();
        if (pa == SimplePrimaryReader::kGiveUp) break;
        int32_t pb = readerB.Next();
        if (pb == SimplePrimaryReader::kGiveUp) break;
        if (pa < 0 && pb < 0) {
            if (flags == 0) return 0;
            break;   // equal primaries: the other levels need the elements
        }
        if (pa < 0 || (pb >= 0 && pa < pb)) return CollateBefore(i);
        if (pb < 0 || pa > pb) return CollateAfter(i);
    }
    return CompareElements(a, na, b, nb, flags);
}

int32_t XCollator1::CompareElements(const char16_t* a, int32_t lengthA, const char16_t* b, int32_t lengthB,
                                    uint32_t flags) {
    CollationElement elementsA[kMaxElements], elementsB[kMaxElements];
    ElementBuilder builderA(table_, a, lengthA, elementsA);
    ElementBuilder builderB(table_, b, lengthB, elementsB);
    // The primaries lead both keys: compare them as the elements are made,
    // so most comparisons stop after a code point or two.
    size_t nextA = 0, nextB = 0;
    int32_t i = 0;
    for (;; ++i) {
        if (i == kMaxSortKeyWeights) return 0;
        int64_t pa = NextPrimary(builderA, elementsA, nextA), pb = NextPrimary(builderB, elementsB, nextB);
        // After the primaries comes a 0 (or the end of the key): below any primary.
        if (pa < 0 && pb < 0) break;
        if (pa < 0 || pa < pb) return CollateBefore(i);
        if (pb < 0 || pa > pb) return CollateAfter(i);
    }
    if (flags == 0) return 0;
    // Equal primaries: the other levels, the fourth when either text used it.
    builderA.Finish();
    builderB.Finish();
    const int lastLevel = LastLevel(true, builderA.FourthLevelUsed() || builderB.FourthLevelUsed());
    SortKeyStream keyA({elementsA, builderA.Weighed()}, lastLevel);
    SortKeyStream keyB({elementsB, builderB.Weighed()}, lastLevel);
    for (int32_t k = 0; k < kMaxSortKeyWeights; ++k) {
        int64_t wa = keyA.Next(), wb = keyB.Next();
        if (wa < 0) return wb < 0 ? 0 : CollateBefore(k);
        if (wb < 0 || wa > wb) return CollateAfter(k);
        if (wa < wb) return CollateBefore(k);
    }
    return 0;
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
    simplePrimaries_.Build(table_);
    return true;
}

bool XCollator1::LoadTable() {
    if (HasTable()) return true;
    InflatedData blob;
    return InflateDataResource(kDucetResourceName, blob) && InstallTable(std::move(blob));
}

void XCollator1::FreeTable() {
    table_.Detach();
    simplePrimaries_.Clear();
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
