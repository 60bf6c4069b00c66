// ListCell: the text of one list cell (one column of one row of a word list)
// with one DisplayAttributes word per unit. Column formatters append at the
// cell's length and keep at most 254 units plus the terminator.
#pragma once

#include <cstdint>

#include "article/formatted_text.h"

inline constexpr int32_t kCellTextLimit = 254;   // units, terminator not counted

struct ListCell {
    int32_t columnKind = 0;   // in: the column asked for (1 to 30)
    int32_t formatType = 0;   // out: format type of the row's record, set by the formatter
    int32_t length = 0;       // units of text, at most kCellTextLimit
    char16_t text[kCellTextLimit + 2] = {};
    uint32_t attributes[kCellTextLimit + 2] = {};

    // Appends behind the current length, never past kCellTextLimit.
    StyledWriter Writer() { return StyledWriter({text, kCellTextLimit + 1}, {attributes, kCellTextLimit + 1}, length); }
};
