// Upper-casing of the letters romaji input is compared in: the one place
// RomajiToKana folds case, so it can follow the program's Unicode case table.
#pragma once

inline char16_t FoldRomajiCase(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c >= u'а' && c <= u'я') return static_cast<char16_t>(c - 0x20);   // а..я -> А..Я
    if (c >= u'ѐ' && c <= u'џ') return static_cast<char16_t>(c - 0x50);   // ѐ..џ -> Ѐ..Џ
    return c;
}
