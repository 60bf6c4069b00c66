// RTF renderers of the element-based formats: word articles (own word markup
// and the EDICT family) and kanji articles (own kanji markup and KANJIDIC).
// They read the elements of one entry (the caller passes element 0 up to the
// next entry start) and write one piece.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "dictionary/dictionary_element.h"

class CRtfArticleBuilder;

// Each answers the length in bytes of the piece's RTF.
int32_t AddWordArticle(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements, int32_t fontSize,
                       uint32_t flags);
int32_t AddKanjiArticle(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements, int32_t fontSize,
                        uint32_t flags);

// The senses, sub-senses, examples, notes and idioms of an entry, numbered
// when there are two senses or more that carry no numbers of their own.
void AddSenses(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements);
// One element's text with its inline tags ("<i>", "<b>", "_") as RTF, the
// idiom and example marks, and the Japanese part of examples in green.
void AddElementText(CRtfArticleBuilder& piece, uint32_t kind, std::u16string_view text);
