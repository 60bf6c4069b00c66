// The two dispatch tables of the RTF article renderers: the print table
// (printing, RTF export, clipboard and drag data) and the editor table (the
// article editor's preview), each choosing the renderer and the piece's
// language by the record's format type; and the single-article documents
// that the article view streams in for formats 9 and 10.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "article/formatted_text.h"
#include "dictionary/dictionary_element.h"

class CRtfArticleBuilder;

enum class RtfRenderer { Word, Kanji, Plain, Pdic, Dsl, Warodai, Examples, Tatoeba, Yarxi, Latin };

struct RtfDispatchRow {
    RtfRenderer renderer;
    int32_t language;   // 17 Japanese, 4 Chinese, 118 Latin, 0 none
};

enum class RtfTable { Print, Editor };

// The row of a format type; types outside 1 to 16 get the row "other".
RtfDispatchRow RtfRendererFor(RtfTable table, uint32_t formatType);
std::u16string_view RtfRendererName(RtfRenderer renderer);

// Renders one record into `piece` by the table's row for its format type:
// the element-based renderers get the first entry of `elements` (element 0
// up to the next entry start), the YARXI renderer the whole group tree under
// element 0, the text renderers element 0's text. Answers the piece's length
// in bytes.
int32_t RenderRtfArticle(CRtfArticleBuilder& piece, RtfTable table, uint32_t formatType,
                         std::span<const DictionaryElement> elements, int32_t fontSize, uint32_t flags);

// A one-article RTF document (one column, no blank lines) of `text` through
// the DSL (format 9) or WARODAI (format 10) renderer, with `flags` as both
// the document's and the renderer's flags word.
FormattedText SingleArticleRtf(uint32_t formatType, std::u16string_view text, int32_t fontSize, uint32_t flags);
