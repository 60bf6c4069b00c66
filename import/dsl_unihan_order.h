// The fixed line order of the articles of a character database in DSL form
// (a dictionary named "Unihan…"): each line classified by its field label,
// then written with the headword, definition and readings first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The kind of each line of `article` (0 for none), for at most 100 lines:
// 1 headword, 2 "[trn]" line, 3-35 the field labels, 12 a "--" rule. The
// table ends before the first line without a kind.
std::vector<int32_t> SortUnihanArticle(std::u16string_view article);

// `article` rewritten in the fixed order (every line with its line break);
// the lines the table does not hold follow unchanged, so none is lost.
std::u16string WriteSortedUnihanArticle(std::u16string_view article);
