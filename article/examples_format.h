// Formatters of Examples records (format 11): "A: sentence<TAB>translation#ID"
// and "B: words" lines. The article (also the export text) read from the raw
// record, the columns (senses show the translation elements) and the index text.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

#include "article/formatted_text.h"
#include "article/list_cell.h"
#include "dictionary/dictionary.h"

class CDictionary;

// The raw text of the current record (after its 10-byte header), cut at the
// first NUL; empty when the buffer holds no record.
std::u16string_view RawRecordText(const CDictionary& dictionary);

// An article of the raw record written by `write(text, out)` into a buffer of
// three units per record unit + 600; empty when nothing was parsed.
template <typename Write>
FormattedText FormatRawRecord(const CDictionary& dictionary, uint32_t index, Write write);

// Sentence (class 0x30), translation (0x40), a blank line, then each further
// line without its "X: " lead in grey.
FormattedText FormatArticleF11(const CDictionary& dictionary, uint32_t index);
// The default columns with the senses column showing translations.
int32_t GetColumnTextF11(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind);
// Index text (see article/index_text.h): "A: " and "B: " leads and "#..." to
// the line end dropped, tabs kept, line feeds as blanks.
int32_t PrepareIndexTextF11(char16_t* out, int32_t capacity, const char16_t* text, int32_t length, uint16_t* bits);

template <typename Write>
FormattedText FormatRawRecord(const CDictionary& dictionary, uint32_t index, Write write) {
    if (index >= static_cast<uint32_t>(dictionary.ElementCount())) return {};
    const std::u16string_view text = RawRecordText(dictionary);
    if (text.empty()) return {};
    StyledText buffer(static_cast<int32_t>(text.size() * 3 + 600));
    if (!buffer.Allocated()) return {};
    StyledWriter out = buffer.Writer();
    write(text, out);
    out.Terminate();
    buffer.Finish(out);
    return FormattedText::Styled(std::move(buffer));
}
