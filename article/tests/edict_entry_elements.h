// EDICT lines laid out as elements the way the EDICT parser lays them out
// (entry, readings and their notes, headwords and their notes, grammar
// groups, senses, "(P)" and entry numbers), for formatter tests over real
// data until that parser is part of the build.
#pragma once

#include <string_view>

#include "dictionary/dictionary.h"

namespace edict_layout {

inline std::u16string_view TrimRight(std::u16string_view s) {
    while (!s.empty() && (s.back() <= 0x20 || s.back() == u'\u3000')) s.remove_suffix(1);
    return s;
}

// Pieces of a ";"-separated list: the part before "(" of each piece becomes
// `kind`, the part from "(" on becomes `noteKind`.
inline void AddList(CDictionary& d, std::u16string_view list, uint32_t kind, uint32_t noteKind) {
    for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(u';', start);
        if (end == std::u16string_view::npos) end = list.size();
        std::u16string_view piece = list.substr(start, end - start);
        size_t paren = piece.find(u'(');
        std::u16string_view main = TrimRight(piece.substr(0, paren));
        auto add = [&](uint32_t k, std::u16string_view text) {
            DictionaryElement* e = d.AddElement(k);
            e->text = text.data();
            e->length = static_cast<int32_t>(text.size());
        };
        if (!main.empty()) add(kind, main);
        if (paren != std::u16string_view::npos) add(noteKind, TrimRight(piece.substr(paren)));
        start = end + 1;
    }
}

}  // namespace edict_layout

// Replaces the dictionary's parsed record with the elements of one EDICT
// line; false for a line that makes no entry.
inline bool ParseEdictLineForTest(CDictionary& d, std::u16string_view line) {
    using namespace edict_layout;
    d.ClearParsedArticle();
    size_t slash = line.find(u'/');
    if (slash == std::u16string_view::npos) return false;
    std::u16string_view head = line.substr(0, slash);
    size_t open = head.find_first_of(u"[\u3010"), close = head.find_first_of(u"]\u3011");
    if ((open == std::u16string_view::npos) != (close == std::u16string_view::npos)) return false;
    int32_t offset = d.AppendText(static_cast<int32_t>(line.size()), line.data());
    if (offset < 0) return false;
    const char16_t* base = d.Text() + offset;
    std::u16string_view text(base, line.size());
    DictionaryElement* entry = d.AddElement(2);
    entry->begin = base;
    entry->end = base + line.size() - 1;
    entry->text = base;
    entry->length = static_cast<int32_t>(line.size());
    if (open == std::u16string_view::npos) {
        AddList(d, text.substr(0, slash), 3, 35);
    } else {
        AddList(d, text.substr(0, open), 4, 36);
        AddList(d, text.substr(open + 1, close - open - 1), 3, 35);
    }
    // Grammar groups at the start of the senses, then the senses.
    size_t i = slash + 1;
    while (i < text.size() && text[i] == u' ') ++i;
    size_t groupsStart = i;
    while (i + 1 < text.size() && text[i] == u'(' && !(text[i + 1] >= u'0' && text[i + 1] <= u'9')) {
        int depth = 0;
        for (; i < text.size(); ++i) {
            if (text[i] == u'(') ++depth;
            if (text[i] == u')' && --depth == 0) break;
        }
        if (i < text.size()) ++i;
        while (i < text.size() && text[i] == u' ') ++i;
    }
    if (i > groupsStart) {
        DictionaryElement* e = d.AddElement(37);
        e->text = base + groupsStart;
        e->length = static_cast<int32_t>(i - groupsStart);
    }
    while (i < text.size()) {
        size_t end = text.find(u'/', i);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view piece = text.substr(i, end - i);
        if (piece.find_first_not_of(u' ') != std::u16string_view::npos) {
            uint32_t kind = piece == u"(P)" ? 37 : (piece.size() >= 5 && piece.substr(0, 4) == u"EntL") ? 38 : 5;
            DictionaryElement* e = d.AddElement(kind);
            e->text = piece.data();
            e->length = static_cast<int32_t>(piece.size());
        }
        i = end + 1;
    }
    return true;
}
