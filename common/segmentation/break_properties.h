// Word, sentence, line-break and bidirectional classes of every code point
// U+0000..U+1FFFF, one signed byte each, expanded from the range records of
// the built-in tables. The segmenters read them through BreakProperties, so
// tests can hand in tables of their own.
//
// Range-record blob (WORD_BREAK_PROPERTIES, SENTENCE_BREAK_PROPERTIES,
// LINE_BREAK_PROPERTIES, DERIVED_BIDI_CLASS), an array of 12-byte records:
// | offset | size | field                         |
// |--------|------|-------------------------------|
// | 0      | 4    | u32 LE first code point       |
// | 4      | 4    | u32 LE last code point        |
// | 8      | 4    | u32 LE value (class number)   |
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>

inline constexpr char32_t kBreakTableCodePoints = 0x20000;
using BreakClassArray = std::array<int8_t, kBreakTableCodePoints>;

struct CharTableBlob;

// Default classes of code points no record names.
inline constexpr int8_t kWordBreakDefault = 0;       // Other
inline constexpr int8_t kSentenceBreakDefault = 0;   // Other
inline constexpr int8_t kBidiClassDefault = 1;       // L
// The line-break records leave out OP (0), the value the stored table was
// meant to be filled with; an unlisted code point is OP when it is assigned
// and XX (37, read as AL) when it is not.
inline constexpr int8_t kLineBreakOP = 0;
inline constexpr int8_t kLineBreakXX = 37;

// Fills `out` with `defaultValue`, then each record's range. Records that
// reach past U+1FFFF are clamped there; records with first > last, and a
// trailing partial record, are ignored.
void ExpandRangeRecords(std::span<const uint8_t> records, int8_t defaultValue, BreakClassArray& out);

// The fixed overrides applied after expansion.
void ApplyWordBreakOverrides(BreakClassArray& word);
void ApplySentenceBreakOverrides(BreakClassArray& sentence);

// Expands one blob into a new array (with the table's overrides for word and
// sentence tables); null when allocation fails. For the line table
// `categories` (the general category table) tells assigned code points from
// unassigned ones; without it every unlisted code point is XX.
enum class BreakTable { Word, Sentence, Line, Bidi };
std::unique_ptr<BreakClassArray> BuildBreakClassArray(BreakTable table, std::span<const uint8_t> records,
                                                      const CharTableBlob* categories = nullptr);

// What the segmenters read. A null array means the table could not be loaded.
struct BreakProperties {
    const BreakClassArray* word = nullptr;
    const BreakClassArray* sentence = nullptr;
    const BreakClassArray* line = nullptr;
    const BreakClassArray* bidi = nullptr;
    // General category of one UTF-16 unit (0..29, -1 without its table).
    int32_t (*category)(char16_t unit) = nullptr;
};

// The program's tables from the built-in resources, each loaded on first use;
// a table that cannot be loaded stays null and is tried again on the next call.
const BreakProperties& ProgramBreakProperties();
