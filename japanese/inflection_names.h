// The names of the grammatical forms a tag chain went through, in Russian and
// English, and the text of the deinflection note shown above an article.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "japanese/tag_chain.h"

namespace ostrel::japanese {

struct InflectionName {
    uint8_t tagCode;
    std::u16string_view russian;  // names keep their trailing blank
    std::u16string_view english;
};

// The 72 named codes in table order; several codes share a name.
std::span<const InflectionName> InflectionNameTable();

// The first row's name for `code`; empty for a code without a row (22, 71,
// 42, 43, 49-55) and for the dictionary form 3.
std::u16string_view GetInflectionName(uint8_t code, bool english);

// Joins the non-empty names of the chain's codes with "+ " into `out`,
// writing at most out.size() - 1 units and a 0 behind them (nothing when
// `out` is empty). Answers the number of units written before the 0.
int32_t TagsToText(std::span<char16_t> out, const TagChain& tags, bool english);

// Room for 16 of the longest names and their joiners.
constexpr int32_t kTagsTextCapacity = 800;

// The note shown above an article: the names joined, a blank when they do not
// end in one, then "from:" (English) or "от:". Empty when no code of the
// chain has a name, so a chain of only 3, 22, 71 or nameless codes shows none.
std::u16string DeinflectionNoteText(const TagChain& tags, bool english);

}  // namespace ostrel::japanese
