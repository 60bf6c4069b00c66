// Which conjugation classes a stem can continue into, and whether a dictionary
// word (its reading and kanji form) can belong to a class at all. Pure
// functions over text; the translator picks the fields from its cursor.
#pragma once

#include <cstdint>
#include <string_view>

namespace ostrel::japanese {

// The classes whose endings can start with `next` behind `stem` (its last
// character, a surrogate pair read as one, decides the ichidan bit).
uint32_t GetEndingClasses(std::u16string_view stem, char16_t next);

// 0 when the word can belong to class `classBit` (0 asks whether it is
// inflectable at all), 1 when it cannot. `kanji` is empty for a word written
// in kana only.
int32_t ClassFitsWord(uint32_t classBit, std::u16string_view reading, std::u16string_view kanji);

// 1 when the word is no ichidan candidate (no -iru/-eru ending) or is a listed
// godan verb in -iru/-eru; 0 for an ichidan verb.
int32_t IsNotIchidanVerb(std::u16string_view reading, std::u16string_view kanji);

// The 26 i-row and e-row kana an ichidan stem ends in.
bool IsIchidanStemKana(char16_t c);

}  // namespace ostrel::japanese
