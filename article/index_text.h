// Index text: the cleaned text of an article with one IndexFieldBits word per
// character, from which the full-text index builder takes its words. The
// builder marks the element fields first; a preparer then drops markup and
// rewrites the bits in place so that entry i describes output character i.
#pragma once

#include <cstdint>

// Preparers: read `length` units of `text`, write at most `capacity` units
// into `out` (which may be `text` itself) and return the output length; one
// trailing unit below 33 is dropped. `bits` (null for text only) holds the
// marking of the input on entry and that of the output on return; an output
// position never lies after the input position it comes from.

// Own markup and books (formats 1, 2, 12): drops "{", "}", backslash escapes,
// "_" and "<...>" tags (italic switched by "_", "<i" and "</i"), and repeated
// blanks; marks italic runs and text inside round brackets, where ")" itself
// is not marked. A "<" with no ">" before the element ends stays as text.
int32_t PrepareIndexTextWords(char16_t* out, int32_t capacity, const char16_t* text, int32_t length,
                              uint16_t* bits);

// EDICT family, PDIC, EIJIRO and unknown formats: drops repeated blanks only;
// marks text inside nested "(" ")" and "{" "}", both brackets included.
int32_t PrepareIndexTextDefault(char16_t* out, int32_t capacity, const char16_t* text, int32_t length,
                                uint16_t* bits);
