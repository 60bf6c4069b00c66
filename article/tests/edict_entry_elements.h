// EDICT lines laid out as elements the way the EDICT parser lays them out
// (entry, readings and their notes, headwords and their notes, grammar
// groups, senses, "(P)" and entry numbers), for formatter tests and the
// benchmark over real data until that parser is part of the build.
#pragma once

#include <string_view>

#include "dictionary/dictionary.h"

namespace edict_layout {

inline void AddPart(CDictionary& d, uint32_t kind, std::u16string_view text) {
    DictionaryElement* e = d.AddElement(kind);
    e->text = text.data();
    e->length = static_cast<int32_t>(text.size());
}

// Each piece of a ";"-separated list: the part before "(" becomes `kind`,
// the part from "(" on `noteKind`, both without trailing blanks.
inline void AddList(CDictionary& d, std::u16string_view list, uint32_t kind, uint32_t noteKind) {
    auto trim = [](std::u16string_view s) {
        while (!s.empty() && (s.back() <= 0x20 || s.back() == u'\u3000')) s.remove_suffix(1);
        return s;
    };
    for (size_t start = 0, end; start <= list.size(); start = end + 1) {
        end = std::min(list.find(u';', start), list.size());
        std::u16string_view piece = list.substr(start, end - start);
        size_t paren = piece.find(u'(');
        if (!trim(piece.substr(0, paren)).empty()) AddPart(d, kind, trim(piece.substr(0, paren)));
        if (paren != std::u16string_view::npos) AddPart(d, noteKind, trim(piece.substr(paren)));
    }
}

}  // namespace edict_layout

// Replaces the dictionary's parsed record with the elements of one EDICT
// line; false for a line that makes no entry.
inline bool ParseEdictLineForTest(CDictionary& d, std::u16string_view line) {
    using namespace edict_layout;
    d.ClearParsedArticle();
    size_t slash = line.find(u'/');
    constexpr size_t npos = std::u16string_view::npos;
    size_t open = line.substr(0, slash).find_first_of(u"[\u3010");
    size_t close = line.substr(0, slash).find_first_of(u"]\u3011");
    if (slash == npos || (open == npos) != (close == npos)) return false;
    int32_t offset = d.AppendText(static_cast<int32_t>(line.size()), line.data());
    if (offset < 0) return false;
    std::u16string_view text(d.Text() + offset, line.size());
    AddPart(d, 2, text);
    d.Elements()[0].begin = text.data();
    d.Elements()[0].end = text.data() + text.size() - 1;
    if (open == std::u16string_view::npos) {
        AddList(d, text.substr(0, slash), 3, 35);
    } else {
        AddList(d, text.substr(0, open), 4, 36);
        AddList(d, text.substr(open + 1, close - open - 1), 3, 35);
    }
    // Grammar groups "(...)" at the start of the senses, then the senses.
    size_t i = std::min(text.find_first_not_of(u' ', slash + 1), text.size()), groups = i;
    while (i + 1 < text.size() && text[i] == u'(' && !(text[i + 1] >= u'0' && text[i + 1] <= u'9')) {
        for (int depth = 0; i < text.size(); ++i) {
            if (text[i] == u'(') ++depth;
            if (text[i] == u')' && --depth == 0) break;
        }
        i = std::min(text.find_first_not_of(u' ', i + 1), text.size());
    }
    if (i > groups) AddPart(d, 37, text.substr(groups, i - groups));
    for (size_t end; i < text.size(); i = end + 1) {
        end = std::min(text.find(u'/', i), text.size());
        std::u16string_view piece = text.substr(i, end - i);
        if (piece.find_first_not_of(u' ') == std::u16string_view::npos) continue;
        AddPart(d, piece == u"(P)" ? 37 : (piece.size() >= 5 && piece.starts_with(u"EntL")) ? 38 : 5, piece);
    }
    return true;
}
