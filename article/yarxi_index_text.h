// Index text of YARXI kanji records (formats 14 and 15): the nested "{\keyword"
// markup dropped, field bits given by the group each character stands in, and
// the kana of bracketed romaji readings inserted so they can be searched.
#pragma once

#include <cstdint>

// Element kind of a YARXI group keyword ("j" -> 39, "on" -> 42, ...); 0 when
// the keyword is unknown. Only the first 10 units of `keyword` count.
uint32_t YarxiKeywordKind(const char16_t* keyword, int32_t length);

// Reads `length` units of `text` and writes at most `capacity` units into
// `out` and as many field-bit words into `bits` (null for text only); returns
// the output length. The output can be longer than the input (inserted kana,
// at most 200 units per bracketed reading), so `out` must not be `text`, and
// the caller sizes `capacity` for the kana it wants kept. The bits are this
// preparer's own: whatever `bits` holds on entry is not read.
int32_t PrepareIndexTextF14(char16_t* out, int32_t capacity, const char16_t* text, int32_t length, uint16_t* bits);
