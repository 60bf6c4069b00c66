// Decomposition, category strip and lower-casing of search keys.
#include "common/unicode/search_key.h"

#include "common/unicode/char_tables.h"

namespace {

constexpr int32_t kWorkingUnits = 1024;

bool IsHighSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Writes code points to a bounded buffer under the decomposition's limits.
class DecomposedWriter {
public:
    DecomposedWriter(const CharTableBlob& table, std::span<char16_t> out)
        : table_(table), out_(out) {}

    bool Full() const { return full_; }
    int32_t Written() const { return static_cast<int32_t>(written_); }

    // Writes `codePoint` expanded through its records, depth first.
    void Expand(uint32_t codePoint) {
        uint32_t record = table_.Entry(codePoint);
        if (record == 0) {
            Put(codePoint);
            return;
        }
        // The loader checked every record ends inside the pool and nests finitely.
        for (uint32_t at = record; table_.pool[at] != 0 && !full_; ++at) Expand(table_.pool[at]);
    }

private:
    void Put(uint32_t codePoint) {
        if (full_) return;
        if (written_ >= static_cast<size_t>(kDecomposedTextLimit)) {
            full_ = true;
            return;
        }
        if (codePoint >= 0x10000 && codePoint <= 0x10FFFF) {
            if (written_ + 2 > out_.size()) {
                full_ = true;
                return;
            }
            uint32_t v = codePoint - 0x10000;
            out_[written_++] = static_cast<char16_t>(0xD800 + (v >> 10));
            out_[written_++] = static_cast<char16_t>(0xDC00 + (v & 0x3FF));
            return;
        }
        if (written_ + 1 > out_.size()) {
            full_ = true;
            return;
        }
        bool replaced = codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF);
        out_[written_++] = replaced ? char16_t{0xFFFD} : static_cast<char16_t>(codePoint);
    }

    const CharTableBlob& table_;
    std::span<char16_t> out_;
    size_t written_ = 0;
    bool full_ = false;
};

bool IsModifierKeyOnly(std::u16string_view text) {
    return text.size() == 1 && (text[0] == u'_' || (text[0] >= 0x02B0 && text[0] <= 0x02FF));
}

}  // namespace

int32_t DecomposeString(std::u16string_view text, std::span<char16_t> out) {
    const CharTableBlob* table = DecompositionTable();
    if (!table) return -1;
    DecomposedWriter writer(*table, out);
    for (size_t i = 0; i < text.size() && !writer.Full(); ++i) {
        uint32_t codePoint = text[i];
        if (IsHighSurrogate(codePoint) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            codePoint = (codePoint - 0xD800) * 0x400 + (text[i + 1] - 0xDC00) + 0x10000;
            ++i;
        }
        writer.Expand(codePoint);
    }
    return writer.Written();
}

int32_t StripByCategory(std::u16string_view text, char16_t* out) {
    int32_t kept = 0;
    // Read before anything is written: in place, out[i - 1] may already hold a kept unit.
    char16_t previousInput = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        int32_t category = unit >= 0x2E80 && unit <= 0x2FD5 ? kCategoryLo : GetCharCategory(unit);
        bool dropped = (category >= kCategoryMn && category <= kCategoryMe) ||
                       (category >= kCategoryPd && category <= kCategoryCf);
        if (!dropped) {
            out[kept++] = unit;
        } else if (category == kCategoryMn && kept > 0 && i > 0 && previousInput == u' ') {
            --kept;
        }
        previousInput = unit;
    }
    return kept;
}

int32_t MakeSearchKey(std::u16string_view text, std::span<char16_t> out) {
    if (!CategoryTable() || !LowerCaseTable()) return 0;
    char16_t working[kWorkingUnits];
    int32_t length = DecomposeString(text, working);
    if (length <= 0) return 0;  // empty text, or no decomposition table
    length = StripByCategory({working, static_cast<size_t>(length)}, working);

    size_t limit = out.size() < size_t{kDecomposedTextLimit} ? out.size() : kDecomposedTextLimit;
    size_t written = 0;
    for (int32_t i = 0; i < length && written < limit; ++i) {
        char16_t unit = working[i];
        // Never leave half a pair at the cut.
        if (IsHighSurrogate(unit) && written + 1 == limit && i + 1 < length &&
            IsLowSurrogate(working[i + 1]))
            break;
        out[written++] = ToLowerChar(unit);
    }
    if (IsModifierKeyOnly(text)) {
        if (!out.empty()) out[0] = 0;
        return 0;
    }
    return static_cast<int32_t>(written);
}

int32_t TrimRight(char16_t* text) {
    if (!text) return 0;
    int32_t length = 0;
    int32_t kept = 0;
    for (; text[length] != 0; ++length)
        if (text[length] >= 0x21) kept = length + 1;
    text[kept] = 0;
    return kept;
}
