// The fixed tables of Japanese conjugation: the ending classes (one bit each),
// the dictionary ending of each class, the classes an ending can start with,
// the conjugated endings of each class with their tag codes, the i-adjective
// endings, and the godan verbs in -iru/-eru that do not conjugate as ichidan.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace ostrel::japanese {

// Ending classes; a set of them is a 32-bit mask.
enum EndingClass : uint32_t {
    kAdjectiveI = 0x1,
    kGodanU = 0x2,
    kGodanKu = 0x4,
    kGodanGu = 0x8,
    kKuru = 0x10,
    kGodanSu = 0x20,
    kSuru = 0x40,
    kIchidan = 0x80,
    kGodanTsu = 0x100,
    kGodanNu = 0x200,
    kGodanBu = 0x400,
    kGodanRu = 0x800,
    kGodanMu = 0x1000,
    kIku = 0x2000,
    kHonorificAru = 0x4000,
};

// A class and its dictionary ending (one or two characters).
struct EndingRow {
    uint32_t classBit;
    std::u16string_view ending;
};

// The classes in the order the translator tries them.
std::span<const EndingRow> EndingTable();

// The classes whose conjugated endings can begin with `kana` right behind a
// stem (0 for anything outside U+3042..U+3093 and for unlisted kana).
uint32_t EndingClassesStartingWith(char16_t kana);

// One conjugated ending and the tag code it gives. Texts are at most 100
// characters; the row matcher compares no further.
struct ConjugationRow {
    uint8_t tagCode;
    std::u16string_view text;
};

// The conjugation rows of a verb class, row 0 being its dictionary ending;
// empty for a class without a table (the i-adjective and unknown bits).
std::span<const ConjugationRow> ConjugationTable(uint32_t classBit);

// The i-adjective endings; row 0 (い 129) is never tried.
std::span<const ConjugationRow> AdjectiveEndingTable();

// A godan verb in -iru/-eru: its kanji form and reading.
struct GodanRuException {
    std::u16string_view kanji;
    std::u16string_view reading;
};
std::span<const GodanRuException> GodanRuExceptionTable();

}  // namespace ostrel::japanese
