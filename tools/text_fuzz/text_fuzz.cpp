// libFuzzer harness for the collators and the segmenters: any byte string,
// read as UTF-16 units (lone and swapped surrogates included), split in two
// texts. Checks that every answer stays inside its text, that segments make
// progress and that both collators are antisymmetric; the sanitizers catch
// any read or write out of bounds.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "common/segmentation/text_segmentation.h"
#include "common/collation/prepared_text.h"
#include "common/collation/xcollator0.h"
#include "common/collation/xcollator1.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

int Sign(int32_t v) { return (v > 0) - (v < 0); }

void Segment(const char16_t* text, int32_t n) {
    int32_t start = 0, end = 0;
    while (NextWordBoundary(text, n, &start, &end)) {
        Check(end > start && end <= n);
        start = end;
    }
    start = 0;
    while (NextSentence(text, n, &start, &end)) {
        Check(end > start && end <= n);
        start = end;
    }
    char16_t word[33];
    int32_t position = 0;
    for (int32_t length; (length = NextWord(text, n, &position, &end, word, 32)) >= 0; position = end)
        Check(length <= 32 && position >= 0 && end <= n && end > position);
    for (int32_t p = -1; p <= n; ++p) {
        int32_t s = 0, e = p;
        if (PrevWordBoundary(text, n, &s, &e)) Check(s >= 0 && s < e && e <= n);
        if (WordAt(text, n, p, &s, &e)) Check(s >= 0 && s < e && e <= n);
    }
    int32_t last = FindLastLineBreak(text, n);
    Check(last == -1 || (last >= 0 && last <= n - 2 && last < 255));
}

void Collate(ICollator& c, const char16_t* a, uint32_t na, const char16_t* b, uint32_t nb, int32_t mode,
             uint32_t flags) {
    int32_t ab = c.Compare(a, na, b, nb, mode, flags);
    int32_t ba = c.Compare(b, nb, a, na, mode, flags);
    Check(Sign(ab) == -Sign(ba));
    Check(c.Compare(a, na, a, na, mode, flags) == 0);
    uint32_t key[kMaxSortKeyWeights];
    int32_t length = c.GetSortKey(a, static_cast<int32_t>(na), key, static_cast<int32_t>(flags));
    Check(length >= 0 && length <= kMaxSortKeyWeights);
    // A prepared text answers exactly as Compare with it second.
    std::unique_ptr<PreparedText> prepared = NewPreparedText(c);
    prepared->Prepare(b, nb, mode, flags);
    Check(prepared->Compare(a, na) == ab);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t mode = data[0] % 12;
    const uint32_t flags = data[1] & 1;
    std::vector<char16_t> units((size - 2) / 2);
    if (!units.empty()) std::memcpy(units.data(), data + 2, units.size() * 2);
    const uint32_t n = static_cast<uint32_t>(units.size());
    const uint32_t split = n ? data[1] % (n + 1) : 0;
    Segment(units.data(), static_cast<int32_t>(n));
    static bool loaded = UcaCollator().LoadTable();
    Check(loaded);
    Collate(DictionaryCollator(), units.data(), split, units.data() + split, n - split, mode, flags);
    Collate(UcaCollator(), units.data(), split, units.data() + split, n - split, mode, flags);
    return 0;
}
