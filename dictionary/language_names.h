// The languages a dictionary source may name: LanguageNameTable gives each
// ISO 639-3 code its English and Russian name, and LanguageCodeFromName turns
// a language name from a source header (DSL "#INDEX_LANGUAGE") into a code.
#pragma once

#include <span>
#include <string_view>

struct LanguageName {
    const char16_t* code;     // ISO 639-3, three letters; null ends the table
    const char16_t* english;  // matched exactly by LanguageCodeFromName
    const char16_t* russian;
};

// Rows: a blank first row (code of three blanks, names of one blank), then
// 274 languages; a row of nulls follows them.
inline constexpr int kLanguageNameRows = 275;
extern const LanguageName LanguageNameTable[kLanguageNameRows + 1];

// Writes the code of `name` and a terminating zero into `slot` (at least
// four units); leaves the slot unchanged when the name is unknown. English
// names of the table are tried in order, then a few DSL names ("ChinesePRC"...).
void LanguageCodeFromName(std::span<char16_t> slot, std::u16string_view name);
