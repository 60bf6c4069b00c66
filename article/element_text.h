// Element operations that the formatters of every format share: the trimmed
// copy of an element, its styled copy (tags, escapes, grey brackets, example
// and idiom colouring), the run of following elements one per line with
// sense numbers, and the cutting of a translation element into phrases.
// All of them read a dictionary's current parsed record and never change it;
// an element number past the array gives empty output.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "article/formatted_text.h"

class CDictionary;
struct DictionaryElement;

// Element flags read by the formatters.
inline constexpr uint32_t kReadingWithExample = 0x1;   // show the word a kanji reading forms
inline constexpr uint32_t kDotsAfterReading = 0x200;   // "..." after a kun reading
inline constexpr uint32_t kDotsBeforeReading = 0x400;  // "..." before a kun reading

inline constexpr uint32_t kBookDictionary = 0x4000;    // dictionary flag: "_" is a character

// Records of the EDICT family (formats 3 to 5) and KANJIDIC (6) hold their
// source's own text: "<...>", "_" and "\\" in it are characters, not the
// own markup's tags, italics and escapes ("Shift_JIS", "(e.g. <>)").
inline bool IsSourceTextFormat(uint32_t formatType) { return formatType >= 3 && formatType <= 6; }

// The element after `index` where its entry ends: the next entry start
// (kind 2) or the end of the array.
uint32_t EntryEnd(const CDictionary& dictionary, uint32_t index);
// The element's text, empty when it has none.
std::u16string_view ElementText(const DictionaryElement& element);
// The source span of the entry at element `index`: its first to its last
// character inclusive (so the last character is never lost), or the
// element's text when it has no span; empty past the array.
std::u16string_view EntrySpan(const CDictionary& dictionary, uint32_t index);
// `text` without trailing units at or below U+0020 and U+3000; a first unit is kept.
std::u16string_view TrimTrailing(std::u16string_view text);
// The colour class of an element kind: headword 0x30, readings 0x20, kind 38
// grey, everything else plain.
uint32_t ElementClass(uint32_t kind);

// Copies element `index`'s text (at most out.size() - 1 units) into `out`,
// cuts trailing units at or below U+0020 and U+3000 and terminates it;
// returns the length kept (0 for an empty element or no room).
int32_t GetElementTextTrimmed(const CDictionary& dictionary, uint32_t index, std::span<char16_t> out);

// Appends the styled copy of element `index`; returns the units added (0
// when fewer than 2 units of room are left, terminator included).
int32_t FormatNumberedField(const CDictionary& dictionary, uint32_t index, StyledWriter& out);

// Appends the elements after `index` to the end of the array, one per line:
// only those of `kindFilter`, or with filter 0 all but readings, headwords,
// translations, kanji parameters, notes of kinds 35, 36, 38 and entry starts.
// Senses (kinds 5, 13) are numbered "n. " when there are two or more and
// none is numbered already. Styled when the writer keeps attributes, else
// trimmed plain text. Returns the units added.
int32_t AppendSubsenses(const CDictionary& dictionary, uint32_t index, uint32_t kindFilter, StyledWriter& out);

// The next phrase of `text` from `position` (negative counts as 0): skips
// units below 33, "," and ";", takes the run up to the next "," or ";" or the
// end, blanks included. Stores the run's start in `position` and returns its
// length; -1 when no run is left. The dictionary compiler cuts translations
// into keys by the same rule.
int32_t NextWordRun(std::u16string_view text, int32_t& position);
// NextWordRun over the text of element `index` (-1 for an empty element).
int32_t FindNextWordRun(const CDictionary& dictionary, uint32_t index, int32_t& position);
