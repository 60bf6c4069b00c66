// The YARXI group-tree walk: text cuts and links, each checked.
#include "article/yarxi_tree_walk.h"

#include <algorithm>

YarxiTreeWalk::YarxiTreeWalk(std::span<const DictionaryElement> elements, int32_t root) : elements_(elements) {
    if (!Valid(root)) return;
    const DictionaryElement& e = elements_[static_cast<size_t>(root)];
    if (e.text == nullptr || e.length <= 0) return;
    first_ = reinterpret_cast<uintptr_t>(e.text);
    end_ = first_ + sizeof(char16_t) * static_cast<size_t>(e.length);
}

std::u16string_view YarxiTreeWalk::TextOf(int32_t i) const {
    if (!Valid(i)) return {};
    const DictionaryElement& e = elements_[static_cast<size_t>(i)];
    const auto at = reinterpret_cast<uintptr_t>(e.text);
    if (e.text == nullptr || e.length <= 0 || at < first_ || at >= end_) return {};
    const size_t room = (end_ - at) / sizeof(char16_t);
    return {e.text, std::min(static_cast<size_t>(e.length), room)};
}

std::u16string_view YarxiTreeWalk::BodyOf(int32_t i) const {
    std::u16string_view text = TextOf(i);
    if (text.size() > 2 && text.substr(0, 2) == u"{\\" && text.back() == u'}') text.remove_suffix(1);
    return text;
}

size_t YarxiTreeWalk::ContentStart(std::u16string_view body) {
    size_t i = body.substr(0, 2) == u"{\\" ? 2 : 0;
    while (i < body.size() && body[i] > u' ' && body[i] != u'{' && body[i] != u'}') ++i;
    while (i < body.size() && body[i] <= u' ') ++i;
    return i;
}

bool YarxiTreeWalk::OwnTextEmpty(std::u16string_view body) {
    const size_t start = ContentStart(body);
    return start >= body.size() || body[start] == u'{';
}

int32_t YarxiTreeWalk::NestedAt(int32_t element, const char16_t* at) const {
    if (element < -1) return -1;
    for (size_t j = static_cast<size_t>(element + 1); j < elements_.size(); ++j)
        if (elements_[j].text == at && elements_[j].length > 0) return static_cast<int32_t>(j);
    return -1;
}

int32_t YarxiTreeWalk::PreviousSibling(int32_t element, int32_t nested) const {
    if (!Valid(element) || !Valid(nested)) return -1;
    const int32_t level = elements_[static_cast<size_t>(element)].level;
    for (int32_t j = nested - 1; j > element; --j) {
        const DictionaryElement& e = elements_[static_cast<size_t>(j)];
        if (e.level <= level) return -1;
        if (e.level == level + 1) return e.nextSibling == nested ? j : -1;
    }
    return -1;
}

size_t YarxiTreeWalk::NestedLength(int32_t nested, size_t at, size_t end) const {
    const size_t length = TextOf(nested).size();
    const size_t left = end > at ? end - at : 0;
    const size_t step = length < left ? length : left;
    return step < 2 ? 2 : step;
}
