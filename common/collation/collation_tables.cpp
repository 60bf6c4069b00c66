// Builds the collators' tables at compile time from the kana layout and one
// letter per Latin code point, so no value is typed twice.
#include "common/collation/collation_tables.h"


namespace collation {
namespace {

using Table256 = std::array<char16_t, 0x100>;

// The capital letter that begins the letter word of each name of
// U+00C0..U+024F, with the listed exceptions already applied; '?' marks the
// entries patched below (non-letter results and skips).
constexpr char kLatinLetters[] =
    "AAAAAAACEEEEIIIIDNOOOOO?OUUUUY?SAAAAAAACEEEEIIIIDNOOOOO?OUUUUY?S"
    "AAAAAACCCCCCCCDDDDEEEEEEEEEEGGGGGGGGHHHHIIIIIIIIIIIIJJKKKLLLLLLL"
    "LLLNNNNNNNNNOOOOOOOORRRRRRSSSSSSSSTTTTTTUUUUUUUUUUUUWWYYYZZZZZZS"
    "BBBBZZOCCDDDDDEEEFFGGHIIKKLLMNNOOOOOPPRSSSSTTTTUUUVYYZZZZZZZZZZW"
    "????DDDLLLNNNAAIIOOUUUUUUUUUUEAAAAAAGGGGKKOOOOZZJDDDGGHWNNAAAAOO"
    "AAAAEEEEIIIIOOOORRRRUUUUSSTTZZHHNDUUZZAAEEOOOOOOOOYYLNTJDQACCLTS"
    "Z??BUVEEJJQQRRYY";
static_assert(sizeof(kLatinLetters) - 1 == 0x250 - 0xC0);

constexpr std::array<char16_t, 0x250> MakeLatinFold() {
    std::array<char16_t, 0x250> t{};
    for (int u = 0; u < 0x250; ++u) {
        char16_t v = kLatinSkip;
        if (u == 0) v = 0;
        else if (u == 0x20) v = 0x20;
        else if (u >= '0' && u <= '9') v = static_cast<char16_t>(u);
        else if (u >= 'A' && u <= 'Z') v = static_cast<char16_t>(u);
        else if (u >= 'a' && u <= 'z') v = static_cast<char16_t>(u - 0x20);
        else if (u >= 0xC0) v = static_cast<char16_t>(kLatinLetters[u - 0xC0]);
        t[u] = v;
    }
    t[0xD7] = t[0xF7] = 0xFFD7;   // × ÷
    t[0xDE] = t[0xFE] = 0xFFDE;   // Þ þ
    for (int u : {0x1C0, 0x1C1, 0x1C2, 0x1C3, 0x241, 0x242}) t[u] = kLatinSkip;
    return t;
}

constexpr Table256 MakeCyrillicFold() {
    Table256 t{};
    for (int i = 0; i < 0x100; ++i) t[i] = kCyrillicSkip;
    for (int i = 0x10; i < 0x30; ++i) t[i] = static_cast<char16_t>(0x400 + i);
    for (int i = 0x30; i < 0x50; ++i) t[i] = static_cast<char16_t>(0x400 + i - 0x20);
    struct Pair { int code; char16_t fold; };
    constexpr Pair pairs[] = {
        {0x01, 0x0415}, {0x51, 0x0415}, {0x04, 0x0415}, {0x54, 0x0415}, {0x62, 0x0415},
        {0x63, 0x0415}, {0x02, 0x0414}, {0x52, 0x0414}, {0x03, 0x0413}, {0x53, 0x0413},
        {0x05, 0x0421}, {0x55, 0x0421}, {0x06, 0x0418}, {0x56, 0x0418}, {0x07, 0x0419},
        {0x57, 0x0419}, {0x08, 0x0419}, {0x58, 0x0419}, {0x09, 0x041B}, {0x59, 0x041B},
        {0x0A, 0x041D}, {0x5A, 0x041D}, {0x0B, 0x0422}, {0x5B, 0x0422}, {0x0C, 0x041A},
        {0x5C, 0x041A}, {0x0D, 0x041F}, {0x0E, 0x0423}, {0x5E, 0x0423}, {0x0F, 0x0426},
        {0x5F, 0x0426}, {0x60, 0x041E}, {0x61, 0x041E}};
    for (const Pair& p : pairs) t[p.code] = p.fold;
    for (int i = 0x80; i < 0x100; ++i) t[i] = 0x0400;
    return t;
}

// Hiragana U+3041..U+3096 in order, with what each folds to at primary level
// ('L' large form of a small kana: the next code point; 'V' voiced: the code
// point before; 'P' semi-voiced: two before; '.' itself) and its vowel.
constexpr char kHiraganaFold[] =
    "L.L.L.L.L."          // ぁ..お
    ".V.V.V.V.V"          // か..ご
    ".V.V.V.V.V"          // さ..ぞ
    ".V.VL.V.V.V"         // た..ど (っ つ づ)
    "....."               // な..の
    ".VP.VP.VP.VP.VP"     // は..ぽ
    "....."               // ま..も
    "L.L.L."              // ゃ..よ
    "....."               // ら..ろ
    "L....."              // ゎ わ ゐ ゑ を ん
    "...";                // ゔ ゕ ゖ (not folded)
constexpr char kHiraganaVowel[] =
    "aaiiuueeoo" "aaiiuueeoo" "aaiiuueeoo" "aaiiuuueeoo" "aiueo"
    "aaaiiiuuueeeooo" "aiueo" "aauuoo" "aiueo" "aaieo" "n";
static_assert(sizeof(kHiraganaFold) - 1 == 0x3096 - 0x3041 + 1);
static_assert(sizeof(kHiraganaVowel) - 1 == 0x3093 - 0x3041 + 1);

constexpr char16_t FoldHiragana(int u) {
    switch (kHiraganaFold[u - 0x3041]) {
        case 'L': return static_cast<char16_t>(u + 1);
        case 'V': return static_cast<char16_t>(u - 1);
        case 'P': return static_cast<char16_t>(u - 2);
        default: return static_cast<char16_t>(u);
    }
}

constexpr Table256 MakeKanaFold() {
    Table256 t{};
    for (int i = 0; i < 0x100; ++i) t[i] = static_cast<char16_t>(0x3000 + i);
    for (int u = 0x3041; u <= 0x3093; ++u) t[u - 0x3000] = FoldHiragana(u);
    for (int u = 0x30A1; u <= 0x30F3; ++u) t[u - 0x3000] = FoldHiragana(u - 0x60);
    t[0xF4] = 0x3046;   // ヴ → う
    t[0xF5] = 0x304B;   // ヵ → か
    t[0xF6] = 0x3051;   // ヶ → け
    t[0xA0] = 0x3040;
    return t;
}

constexpr Table256 MakeKanaTie() {
    Table256 t{};
    for (int i = 0; i < 0x100; ++i) t[i] = static_cast<char16_t>(0x3000 + i);
    // Small and large kana swap places, so a small kana sorts after its large
    // one; ゅ/ゆ and ヵ/ヶ are left as they are.
    for (int small : {0x3041, 0x3043, 0x3045, 0x3047, 0x3049, 0x3063, 0x3083, 0x3087, 0x308E}) {
        for (int base : {0, 0x60}) {
            int s = small + base - 0x3000;
            t[s] = static_cast<char16_t>(0x3000 + s + 1);
            t[s + 1] = static_cast<char16_t>(0x3000 + s);
        }
    }
    // ュ↔ユ is swapped although ゅ↔ゆ is not.
    t[0xE5] = 0x30E6;
    t[0xE6] = 0x30E5;
    return t;
}

constexpr char16_t HiraganaVowelLetter(char v) {
    switch (v) {
        case 'a': return 0x3042;
        case 'i': return 0x3044;
        case 'u': return 0x3046;
        case 'e': return 0x3048;
        case 'o': return 0x304A;
        default: return 0x3093;   // ん
    }
}

constexpr Table256 MakeKanaVowel() {
    Table256 t{};
    for (int i = 0; i < 0x100; ++i) t[i] = 0x30FC;   // ー
    for (int u = 0x3041; u <= 0x3093; ++u)
        t[u - 0x3000] = HiraganaVowelLetter(kHiraganaVowel[u - 0x3041]);
    for (int u = 0x30A1; u <= 0x30F3; ++u)
        t[u - 0x3000] = static_cast<char16_t>(HiraganaVowelLetter(kHiraganaVowel[u - 0x60 - 0x3041]) + 0x60);
    t[0xF4] = 0x30A6;   // ヴ → ウ
    t[0xF5] = 0x30A2;   // ヵ → ア
    t[0xF6] = 0x30A8;   // ヶ → エ
    t[0xFD] = 0x30FD;   // ヽ
    t[0xFE] = 0x30FE;   // ヾ
    return t;
}

}  // namespace

const std::array<char16_t, 0x250> kLatinFold = MakeLatinFold();
const std::array<char16_t, 0x100> kCyrillicFold = MakeCyrillicFold();
const std::array<char16_t, 0x100> kKanaFold = MakeKanaFold();
const std::array<char16_t, 0x100> kKanaTie = MakeKanaTie();
const std::array<char16_t, 0x100> kKanaVowel = MakeKanaVowel();

}  // namespace collation
