// XCollator1: Compare reads context-free primaries from a table, makes the
// elements of both texts as it goes where the table cannot answer, and gives
// the answer comparing the two whole keys would. A prepared text runs the
// same comparison with its own side made once.
#include "common/collation/xcollator1.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The second text's simple primaries, read as the comparison goes.
struct LiveSimplePrimaries {
    SimplePrimaryReader reader;
    int32_t NextSimplePrimary() { return reader.Next(); }
};

// One text's elements for the element comparison, made as the comparison goes.
class LiveElements {
public:
    LiveElements(const DucetTable& table, const char16_t* text, int32_t length, std::span<CollationElement> buffer)
        : buffer_(buffer), builder_(table, text, length, buffer) {}

    int64_t NextPrimary() { return builder_.NextPrimary(next_); }
    void Finish() { builder_.Finish(); }
    std::span<const CollationElement> Elements() const { return {buffer_.data(), builder_.Weighed()}; }
    bool FourthLevelUsed() const { return builder_.FourthLevelUsed(); }

private:
    std::span<CollationElement> buffer_;
    UcaElementBuilder builder_;
    size_t next_ = 0;
};

// The same for elements made before (a prepared text's).
class MadeElements {
public:
    MadeElements(std::span<const CollationElement> elements, std::span<const uint32_t> primaries, bool fourth)
        : elements_(elements), primaries_(primaries), fourth_(fourth) {}

    int64_t NextPrimary() { return next_ < primaries_.size() ? int64_t{primaries_[next_++]} : -1; }
    void Finish() {}
    std::span<const CollationElement> Elements() const { return elements_; }
    bool FourthLevelUsed() const { return fourth_; }

private:
    std::span<const CollationElement> elements_;
    std::span<const uint32_t> primaries_;   // the non-zero primaries of elements_
    bool fourth_;
    size_t next_ = 0;
};

// The comparison from collation elements: the answer for every text. The
// primaries lead both keys: they are compared as the elements are made, so
// most comparisons stop after a code point or two.
template <typename ElementsB>
int32_t CompareElements(LiveElements& a, ElementsB& b, uint32_t flags) {
    for (int32_t i = 0;; ++i) {
        if (i == kMaxSortKeyWeights) return 0;
        int64_t pa = a.NextPrimary(), pb = b.NextPrimary();
        // After the primaries comes a 0 (or the end of the key): below any primary.
        if (pa < 0 && pb < 0) break;
        if (pa < 0 || pa < pb) return CollateBefore(i);
        if (pb < 0 || pa > pb) return CollateAfter(i);
    }
    if (flags == 0) return 0;
    // Equal primaries: the other levels, the fourth when either text used it.
    a.Finish();
    b.Finish();
    const int lastLevel = UcaLastLevel(true, a.FourthLevelUsed() || b.FourthLevelUsed());
    UcaSortKeyStream keyA(a.Elements(), lastLevel), keyB(b.Elements(), lastLevel);
    for (int32_t k = 0; k < kMaxSortKeyWeights; ++k) {
        int64_t wa = keyA.Next(), wb = keyB.Next();
        if (wa < 0) return wb < 0 ? 0 : CollateBefore(k);
        if (wb < 0 || wa > wb) return CollateAfter(k);
        if (wa < wb) return CollateBefore(k);
    }
    return 0;
}

// Most comparisons are decided by a primary of plain kana or letters: read
// those from the table for both texts. False when the table gave up for
// either, or the primaries were equal and the other levels count; then the
// element comparison decides.
template <typename TextB>
bool CompareSimplePrimaries(SimplePrimaryReader& a, TextB& b, uint32_t flags, int32_t& answer) {
    for (int32_t i = 0; i < kMaxSortKeyWeights; ++i) {
        int32_t pa = a.Next();
        if (pa == SimplePrimaryReader::kGiveUp) return false;
        int32_t pb = b.NextSimplePrimary();
        if (pb == SimplePrimaryReader::kGiveUp) return false;
        if (pa < 0 && pb < 0) {
            answer = 0;
            return flags == 0;
        }
        if (pa < 0 || (pb >= 0 && pa < pb)) {
            answer = CollateBefore(i);
            return true;
        }
        if (pb < 0 || pa > pb) {
            answer = CollateAfter(i);
            return true;
        }
    }
    return false;
}

// Apart, so that the common answer of Compare needs no room for elements.
[[gnu::noinline]] int32_t CompareBothByElements(const DucetTable& table, const char16_t* a, int32_t na,
                                                const char16_t* b, int32_t nb, uint32_t flags) {
    CollationElement bufferA[kUcaMaxElements], bufferB[kUcaMaxElements];
    LiveElements elementsA(table, a, na, bufferA), elementsB(table, b, nb, bufferB);
    return CompareElements(elementsA, elementsB, flags);
}

// Texts of the same code units make the same elements, so they are equal at
// every level; keys that share a text (homophones' readings, a headword
// under several readings) reach the element comparison often.
bool SameUnits(const char16_t* a, int32_t na, const char16_t* b, int32_t nb) {
    return na == nb && (na == 0 || std::memcmp(a, b, static_cast<size_t>(na) * sizeof(char16_t)) == 0);
}

int32_t ClampedLength(const char16_t* text, uint32_t length) {
    return text ? static_cast<int32_t>(std::min<uint32_t>(length, INT32_MAX)) : 0;
}

// A text made once: the primaries the simple-primary table gives for it (and
// how they end), and on first need its whole elements and their primaries.
class UcaPreparedText final : public PreparedText {
public:
    explicit UcaPreparedText(const XCollator1& collator) : collator_(collator), elements_(kUcaMaxElements) {}

    void Prepare(const char16_t* text, uint32_t length, int32_t, uint32_t flags) override {
        text_.assign(text ? text : u"", static_cast<size_t>(ClampedLength(text, length)));
        flags_ = flags;
        elementsMade_ = false;
        simple_.clear();
        simpleEnd_ = SimplePrimaryReader::kEnd;
        if (!collator_.HasTable()) return;
        SimplePrimaryReader reader(collator_.SimplePrimaries(), text_.data(), static_cast<int32_t>(text_.size()));
        // The comparison reads at most kMaxSortKeyWeights primaries of each text.
        simpleEnd_ = SimplePrimaryReader::kGiveUp;
        while (simple_.size() < static_cast<size_t>(kMaxSortKeyWeights)) {
            int32_t p = reader.Next();
            if (p < 0) {
                simpleEnd_ = p;
                break;
            }
            simple_.push_back(static_cast<uint16_t>(p));
        }
    }

    int32_t Compare(const char16_t* other, uint32_t otherLength) const override {
        if (!collator_.HasTable()) return 0;
        const int32_t length = ClampedLength(other, otherLength);
        SimplePrimaryReader a(collator_.SimplePrimaries(), other, length);
        SimpleSide b{simple_, simpleEnd_};
        int32_t answer = 0;
        if (CompareSimplePrimaries(a, b, flags_, answer)) return answer;
        if (SameUnits(other, length, text_.data(), static_cast<int32_t>(text_.size()))) return 0;
        return CompareByElements(other, length);
    }

private:
    // The prepared primaries read back as a reader would give them.
    struct SimpleSide {
        const std::vector<uint16_t>& primaries;
        int32_t end;
        size_t next = 0;
        int32_t NextSimplePrimary() { return next < primaries.size() ? primaries[next++] : end; }
    };

    // Apart, so that the common answer above needs no room for elements.
    [[gnu::noinline]] int32_t CompareByElements(const char16_t* other, int32_t length) const {
        MakeElements();
        CollationElement buffer[kUcaMaxElements];
        LiveElements elementsA(collator_.Table(), other, length, buffer);
        MadeElements elementsB({elements_.data(), elementCount_}, primaries_, fourth_);
        return CompareElements(elementsA, elementsB, flags_);
    }

    void MakeElements() const {
        if (elementsMade_) return;
        bool fourth = false;
        elementCount_ = static_cast<size_t>(MakeCollationElements(
            collator_.Table(), text_.data(), static_cast<int32_t>(text_.size()), elements_, &fourth));
        fourth_ = fourth;
        primaries_.clear();
        for (size_t k = 0; k < elementCount_; ++k)
            if (elements_[k].primary) primaries_.push_back(elements_[k].primary);
        elementsMade_ = true;
    }

    const XCollator1& collator_;
    std::u16string text_;
    uint32_t flags_ = 0;
    std::vector<uint16_t> simple_;   // the simple-table primaries, at most kMaxSortKeyWeights
    int32_t simpleEnd_ = SimplePrimaryReader::kEnd;   // what the reader gave after them
    mutable bool elementsMade_ = false;
    mutable std::vector<CollationElement> elements_;   // kUcaMaxElements, the first elementCount_ made
    mutable size_t elementCount_ = 0;                  // weighed elements of the whole text
    mutable std::vector<uint32_t> primaries_;          // their non-zero primaries
    mutable bool fourth_ = false;
};

}  // namespace

int32_t OSTREL_COM_CALL XCollator1::Compare(const char16_t* a, uint32_t lengthA, const char16_t* b,
                                            uint32_t lengthB, int32_t, uint32_t flags) {
    if (!HasTable()) return 0;
    const int32_t na = ClampedLength(a, lengthA), nb = ClampedLength(b, lengthB);
    SimplePrimaryReader readerA(simplePrimaries_, a, na);
    LiveSimplePrimaries simpleB{SimplePrimaryReader(simplePrimaries_, b, nb)};
    int32_t answer = 0;
    if (CompareSimplePrimaries(readerA, simpleB, flags, answer)) return answer;
    if (SameUnits(a, na, b, nb)) return 0;
    return CompareBothByElements(table_, a, na, b, nb, flags);
}

size_t XCollator1::LeadingPrimaries(const char16_t* text, uint32_t length, std::span<uint16_t> out,
                                    bool* ended) const {
    *ended = false;
    if (!HasTable()) return 0;
    SimplePrimaryReader reader(simplePrimaries_, text, ClampedLength(text, length));
    size_t count = 0;
    while (count < out.size()) {
        const int32_t p = reader.Next();
        if (p < 0) {
            *ended = p == SimplePrimaryReader::kEnd;
            break;
        }
        out[count++] = static_cast<uint16_t>(p);
    }
    return count;
}

std::unique_ptr<PreparedText> XCollator1::NewPreparedText() { return std::make_unique<UcaPreparedText>(*this); }

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
