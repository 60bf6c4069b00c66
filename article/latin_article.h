// The formatters of the fixed-column Latin word list (format 16): a record's
// first line is the source line, its English meaning from column 110 to the
// line feed; the second line is the dictionary form (principal parts, the
// part-of-speech code, remarks), optionally followed by a "[" remark.
#pragma once

#include <cstdint>
#include <string_view>

#include "article/formatted_text.h"
#include "article/list_cell.h"

class CDictionary;

inline constexpr int32_t kLatinMeaningStart = 110;

// The meaning of the first line (column 110 to its line feed; empty for a
// shorter line) and the second line (empty without one).
std::u16string_view LatinMeaning(std::u16string_view entry);
std::u16string_view LatinSecondLine(std::u16string_view entry);

// Column kinds 4, 9, 10: the meaning without a trailing ";"; other kinds the
// first word of the dictionary form. The new cell length, 0 when full.
int32_t GetColumnTextF16(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind);
// The dictionary form (principal parts bold through BoldPrincipalParts),
// the meaning, the grey remark.
FormattedText FormatArticleF16(const CDictionary& dictionary, uint32_t index);
// Index preparer (see article/index_text.h): line breaks as blanks, the
// meaning of the first line marked 0x8, the form line 0x4.
int32_t PrepareIndexTextF16(char16_t* out, int32_t capacity, const char16_t* text, int32_t length, uint16_t* bits);
