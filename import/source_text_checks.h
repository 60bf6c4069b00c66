// Whether a source's bytes are valid in the encoding they are read in, line
// by line: a source in another encoding (a Shift-JIS file read as UTF-8) would
// otherwise compile into articles of U+FFFD. The loaders refuse such a source
// naming its first bad line, as the book reader refuses a text book.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/text/utf8.h"

// FirstLineNotUtf8 (common/text/utf8.h) checks UTF-8 sources.
// The first line (from 1; lines end at LF) holding bytes that are not
// well-formed EUC-JP: ASCII, a JIS X 0208 pair (two bytes A1-FE), a
// half-width katakana (8E, then A1-DF) or a JIS X 0212 triple (8F, then two
// bytes A1-FE).
int64_t FirstLineNotEucJp(std::span<const uint8_t> bytes);
// The same for JR-EDICT's mixed text, whose EUC-JP parts run from a line's
// start to the next "/" (Windows-1251 follows, up to the line end, and takes
// any byte): the line where an EUC-JP part goes wrong (a line in Shift-JIS or
// UTF-8 among EUC-JP ones).
int64_t FirstLineNotJrEdictMixedText(std::span<const uint8_t> bytes);
// The same for Shift-JIS as code page 932 reads it (ShiftJisSequenceAt):
// bytes it leaves undefined, private or cut after a lead byte are not.
int64_t FirstLineNotShiftJis(std::span<const uint8_t> bytes);

// The loader's message for such a line: "Line: N" and "Error: The text is
// not ENCODING.", in the interface language.
std::u16string LineNotInEncodingText(int64_t line, std::u16string_view encoding);
