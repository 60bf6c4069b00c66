// RTF renderers of the line-based formats: plain headword lines and PDIC
// entries, example sentences, Tatoeba pairs and the Latin word list. Each
// takes the record text (element 0's text) and writes one piece.
#pragma once

#include <cstdint>
#include <string_view>

class CRtfArticleBuilder;

// Each answers the length in bytes of the piece's RTF.
int32_t AddPlainArticle(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags);
int32_t AddPdicArticle(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags);
int32_t AddExamplesArticle(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags);
int32_t AddTatoebaArticle(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags);
int32_t AddLatinArticle(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags);

// A text shown as it stands (a row's own text, found in no dictionary): each
// line a paragraph of plain text, as the article view shows it, in either layout.
int32_t AddShownTextArticle(CRtfArticleBuilder& piece, std::u16string_view text, int32_t fontSize, uint32_t flags);

// A translation whose senses are introduced by "●": numbered "1. ", "2. ",
// ... on paragraphs of their own (compact: " ● "); line feeds start paragraphs.
void AddNumberedSenses(CRtfArticleBuilder& piece, std::u16string_view text);
