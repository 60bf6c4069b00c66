// How the settings file spells its values: integers in decimal and the
// dictionary slots "path,state". Pure text rules, shared by the settings store
// and its tests; the store itself lives in settings_file.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The integer an ini value stands for: `defaultValue` when the text is empty;
// otherwise the leading decimal integer after blanks, with an optional sign
// (windows may sit at negative coordinates left of or above the primary
// monitor), clamped to the i32 range; 0 when the text starts with no number.
int32_t ParseProfileInt(std::u16string_view text, int32_t defaultValue);

// A section, key or value the ini file can hold on its line: names not
// empty, and no line break or zero anywhere (a value with a line break would
// write keys of its own into the file).
bool IsStorableProfileEntry(std::u16string_view section, std::u16string_view key, std::u16string_view value);

// "%d" of the value.
std::u16string FormatProfileInt(int32_t value);

// A dictionary slot as stored: "%s,%d" of the path and its state.
std::u16string FormatDictionarySlot(std::u16string_view path, int32_t state);

struct DictionarySlot {
    std::u16string path;
    int32_t state = 0;
};

// Splits a stored slot at its LAST comma, so a folder with a comma in its name
// keeps its dictionary. A value without a comma, or whose tail after the last
// comma holds no number, is all path with state 0.
DictionarySlot SplitDictionarySlot(std::u16string_view value);
