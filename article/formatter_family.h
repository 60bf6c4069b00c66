// The formatter family: for each format type of a stored record, the member
// that makes its list-column text, its article text, its export text and its
// index text, and the dispatchers that call them on a dictionary's current
// parsed record.
#pragma once

#include <cstdint>
#include <string_view>

#include "article/formatted_text.h"
#include "article/list_cell.h"

class CDictionary;

enum class ColumnMember { Default, F8, F9, F10, F11, F12, F13, F14, F16 };

enum class ArticleMember {
    Default,     // FormatArticleDefault
    F2,          // FormatArticleF2 (own kanji markup)
    F6,          // FormatArticleF6 (KANJIDIC)
    F7, F8, F11, F12, F13, F14, F16,
    RtfF9,       // FormatArticleRtfF9: an RTF document
    RtfF10,      // FormatArticleRtfF10: an RTF document
    PlainF9,     // GetPlainArticleTextF9
    PlainF10,    // GetPlainArticleTextF10
};

enum class IndexPreparer { Words, Default, SplitArticleText, CleanArticleMarkup, F11, F13, F14, F16 };

struct FormatterRow {
    ColumnMember column;
    ArticleMember article;
    ArticleMember exportText;   // never an RTF member
    IndexPreparer index;
};

// The row of a format type; types outside 1 to 16 get the row "other".
FormatterRow FormatterRowFor(uint32_t formatType);

// The names the members are known by, for diagnostics and tests.
std::u16string_view ColumnMemberName(ColumnMember member);
std::u16string_view ArticleMemberName(ArticleMember member);
std::u16string_view IndexPreparerName(IndexPreparer preparer);

// The dispatchers take the format type from the header of the stored record
// in the dictionary's record buffer (the type noted for the parse when the
// buffer holds none).
uint32_t ParsedFormatType(const CDictionary& dictionary);

// The text of list column `columnKind` for the dictionary's current parsed
// record, appended to the cell by the member of the record's format type;
// `subEntry` is the row's sub-entry (formats 10 and 16). Returns the new
// length of the cell, 0 with the cell unchanged when it is full.
int32_t GetColumnText(const CDictionary& dictionary, ListCell& cell, int32_t columnKind, uint16_t subEntry);

// The article of the current parsed record: styled text, or an RTF document
// for formats 9 and 10. Empty when nothing was parsed.
FormattedText FormatArticle(const CDictionary& dictionary);

// The plain text that printing and text export write for the current parsed
// record: the member the table names for export, never RTF.
FormattedText FormatExportText(const CDictionary& dictionary);

// Index text of a record of `formatType` through the preparer its row names
// (see article/index_text.h for the calling form). Preparers of formats whose
// members are not built yet give 0.
int32_t PrepareIndexText(uint32_t formatType, char16_t* out, int32_t capacity, const char16_t* text,
                         int32_t length, uint16_t* bits);
