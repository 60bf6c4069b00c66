// Walking a parsed YARXI record's group tree: where a group's own text
// starts, which element a nested "{\" belongs to, and its previous sibling.
// Shared by the styled article and the RTF renderer. Links come from a
// stored record and are checked before every use; every walk is bounded by
// the element array and by the group it starts in.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "dictionary/dictionary_element.h"

// Deeper groups than this are left out (sources nest at most 19 levels).
inline constexpr int32_t kYarxiMaxWalkDepth = 64;

class YarxiTreeWalk {
public:
    // Groups are read only inside the text of element `root` (the record's
    // article); an element outside it has no text.
    YarxiTreeWalk(std::span<const DictionaryElement> elements, int32_t root);

    bool Valid(int32_t i) const { return i >= 0 && static_cast<size_t>(i) < elements_.size(); }
    uint32_t KindOf(int32_t i) const { return Valid(i) ? elements_[static_cast<size_t>(i)].kind : 0; }
    // The element's whole group text, cut at the root's end; empty for an
    // invalid element or one outside the root.
    std::u16string_view TextOf(int32_t i) const;
    // The group text without its own closing "}".
    std::u16string_view BodyOf(int32_t i) const;

    // After the first word (the keyword, "{\" included) and the blanks after it.
    static size_t ContentStart(std::u16string_view body);
    // Whether the group has no text of its own before its first nested group.
    static bool OwnTextEmpty(std::u16string_view body);

    // The first element after `element` whose group starts at `at`; -1 when none.
    int32_t NestedAt(int32_t element, const char16_t* at) const;
    // The nested element's previous sibling: walking back, the first element
    // one level below `element` is it when its next-sibling link names
    // `nested`; an element not below `element` ends the walk.
    int32_t PreviousSibling(int32_t element, int32_t nested) const;
    // Units of the parent group (from `at`, before `end`) that the nested
    // group `nested` covers; at least 2, so the walk always moves on.
    size_t NestedLength(int32_t nested, size_t at, size_t end) const;

    // What a group's text walk passes over at `i` (below `end`): a "<...>"
    // tag, whose text goes to `tag` when the group shows text of its own;
    // any unit of a group that shows none; a cross-reference number ("TN", a
    // digit and up to three more). Moves `i` past it; false when `i` stands
    // on text to show.
    template <class OnTag>
    static bool SkipMarkup(std::u16string_view text, size_t end, bool ownText, size_t& i, OnTag&& tag) {
        const auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
        const char16_t c = text[i];
        if (c == u'<') {
            const size_t close = text.substr(0, end).find(u'>', i);
            if (close != std::u16string_view::npos) {
                if (ownText) tag(text.substr(i, close - i + 1));
                i = close + 1;
                return true;
            }
        }
        if (!ownText) {
            ++i;
            return true;
        }
        if (c == u'T' && i + 2 < end && text[i + 1] == u'N' && digit(text[i + 2])) {
            i += 3;
            for (int n = 0; n < 3 && i < end && digit(text[i]); ++n) ++i;
            return true;
        }
        return false;
    }

    const DictionaryElement& operator[](int32_t i) const { return elements_[static_cast<size_t>(i)]; }
    size_t size() const { return elements_.size(); }

private:
    std::span<const DictionaryElement> elements_;
    uintptr_t first_ = 0, end_ = 0;   // the root's text, in bytes
};
