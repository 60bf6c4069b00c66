// YARXI kanji articles as RTF: the record's group tree (kind, parent, depth
// and next-sibling links per element) walked group by group, each element
// written with the prefix and labels of its kind at its place in the text.
#pragma once

#include <cstdint>
#include <span>

#include "article/rtf_document.h"
#include "dictionary/dictionary_element.h"

// "\pard", the tree of element `root`, a paragraph; then, in grey, the
// radical, stroke and usage groups the tree walk left out. Answers the
// length of the piece in bytes.
int32_t AddYarxiArticle(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements, int32_t root,
                        int32_t fontSize, uint32_t flags);

// Writes `element` and, recursively, the groups nested in it. `previous` is
// its previous sibling (-1 none), `root` the article's entry element. Answers
// 1 once the piece holds more than kYarxiPieceLimit bytes (writing stops), else 0.
int32_t AddYarxiKanjiGroup(CRtfArticleBuilder& piece, std::span<const DictionaryElement> elements, int32_t element,
                           int32_t previous, int32_t root, uint32_t flags);

inline constexpr size_t kYarxiPieceLimit = 100000;
