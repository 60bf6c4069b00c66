// RomajiToKana: romaji or Russian letters typed into the input line become
// kana before a search. Patterns are matched longest first over the table in
// romaji_kana_table.inc; n/m before a consonant and doubled consonants are
// handled before the table.
#include "common/text/kana_transcription.h"

#include <string_view>

#include "common/unicode/char_tables.h"

namespace {

struct RomajiRow {
    std::u16string_view pattern;   // upper case, 1 to 4 units
    std::u16string_view kana;      // 1 to 3 units
};

constexpr RomajiRow kRomajiRows[] = {
#include "common/text/romaji_kana_table.inc"
};
static_assert(std::size(kRomajiRows) == 294);

constexpr size_t kLongestPattern = 4;
constexpr char16_t kProlongedSound = 0x30FC;   // ー
constexpr char16_t kSmallTsu = 0x3063;         // っ
constexpr char16_t kSyllabicN = 0x3093;        // ん

// Input is compared in upper case, by the program's own case table.
char16_t FoldRomajiCase(char16_t c) {
    char16_t upper = ToUpperChar(c);
    return upper == 0xFFFF ? c : upper;
}

bool IsOneOf(char16_t c, std::u16string_view set) { return c != 0 && set.find(c) != set.npos; }

// Consonants after which n or m stands for ん, and which a doubling turns into っ.
constexpr std::u16string_view kConsonants = u"BCDFGHJKLMNPQRSVWXZTБВГДЖЗКЛМНПРСТФХЦЧШЩ";
constexpr std::u16string_view kNasals = u"MNМН";
// Marks a user may type to separate ん from a following vowel or y.
constexpr std::u16string_view kApostrophes = u"'ъЪ\u2019\u2032\u00B4\u2018\uFF40";

// The row whose pattern is the longest match at the start of `upper`; among
// equal lengths the earlier row. Null when no pattern matches.
const RomajiRow* LongestPattern(std::u16string_view upper) {
    const RomajiRow* best = nullptr;
    for (const RomajiRow& row : kRomajiRows) {
        if (upper.starts_with(row.pattern) &&
            (best == nullptr || row.pattern.size() > best->pattern.size()))
            best = &row;
    }
    return best;
}

class KanaOutput {
public:
    KanaOutput(char16_t* out, int32_t capacity) : out_(out), room_(capacity > 0 ? capacity - 1 : 0) {}
    // Writes all of `kana` or nothing; false when it does not fit.
    bool Put(std::u16string_view kana) {
        if (kana.size() > static_cast<size_t>(room_ - length_)) return false;
        for (char16_t u : kana) out_[length_++] = u;
        return true;
    }
    int32_t length() const { return length_; }

private:
    char16_t* out_;
    int32_t room_;   // units before the terminator
    int32_t length_ = 0;
};

}  // namespace

int32_t RomajiToKana(const char16_t* text, char16_t* out, int32_t length, int32_t outCapacity,
                     uint8_t flags, int32_t* positionMap) {
    if (out == nullptr || outCapacity <= 0) return 0;
    out[0] = 0;
    if (text == nullptr || length <= 0) return 0;

    // The input ends at `length` or at its first 0 unit.
    size_t end = 0;
    while (end < static_cast<size_t>(length) && text[end] != 0) ++end;
    std::u16string_view input(text, end);

    // Upper case once, for every comparison below; copies keep the typed case.
    char16_t upper[kLongestPattern];
    KanaOutput kana(out, outCapacity);
    size_t i = 0;
    while (i < input.size()) {
        size_t start = i;
        int32_t startOut = kana.length();
        char16_t c = input[i];
        char16_t cu = FoldRomajiCase(c);
        char16_t next = i + 1 < input.size() ? FoldRomajiCase(input[i + 1]) : 0;
        std::u16string_view written;
        char16_t single = 0;
        size_t consumed = 1;

        if (c >= 0x3000) {
            single = c;
        } else if (c == u'-') {
            single = kProlongedSound;
        } else if (c == u':' && i > 0) {
            char16_t before = FoldRomajiCase(input[i - 1]);
            if ((flags & kColonIsProlongedSound) != 0) single = kProlongedSound;
            else if (IsOneOf(before, u"OUОЁУЮ")) single = 0x3046;   // う
            else if (IsOneOf(before, u"AА")) single = 0x3042;       // あ
            else if (IsOneOf(before, u"IИ")) single = 0x3044;       // い
            else single = c;
        } else if (next != 0 && IsOneOf(cu, kNasals) && IsOneOf(next, kConsonants)) {
            single = kSyllabicN;
        } else if (next != 0 && IsOneOf(cu, kNasals) && IsOneOf(input[i + 1], kApostrophes)) {
            single = kSyllabicN;
            consumed = 2;
        } else if (next != 0 && cu == next && IsOneOf(cu, kConsonants) && !IsOneOf(cu, kNasals)) {
            single = kSmallTsu;
        } else {
            size_t n = 0;
            while (n < kLongestPattern && i + n < input.size() && input[i + n] < 0x3000) {
                upper[n] = FoldRomajiCase(input[i + n]);
                ++n;
            }
            const RomajiRow* row = n > 0 ? LongestPattern({upper, n}) : nullptr;
            if (row != nullptr) {
                written = row->kana;
                consumed = row->pattern.size();
            } else {
                single = c;
            }
        }
        if (single != 0) written = {&single, 1};
        if (!kana.Put(written)) break;
        i += consumed;
        if (positionMap != nullptr)
            for (size_t p = start; p < i; ++p) positionMap[p] = startOut;
    }
    int32_t written = kana.length();
    out[written] = 0;
    if (positionMap != nullptr)
        for (size_t p = i; p < static_cast<size_t>(length); ++p) positionMap[p] = written;

    if ((flags & kRomajiToKatakana) != 0)
        for (int32_t k = 0; k < written; ++k)
            if (out[k] >= 0x3041 && out[k] <= 0x309E) out[k] = static_cast<char16_t>(out[k] + 0x60);
    return written;
}
