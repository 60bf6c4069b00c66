// YARXI element trees built by hand from a record's markup, as the record
// parser leaves them: element 0 is the whole record (kind 1, level 0); each
// "{\keyword" opens an element whose text runs to its "}" and whose kind comes
// from the keyword, with parent, level and next-sibling links.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "article/yarxi_index_text.h"
#include "dictionary/dictionary_element.h"

class YarxiTree {
public:
    explicit YarxiTree(std::u16string markup) : text_(std::move(markup)) {
        Open(0, 1, -1);
        std::vector<int32_t> open{0};
        std::vector<int32_t> lastChild(1, -1);
        for (size_t i = 0; i < text_.size(); ++i) {
            if (text_[i] == u'{' && i + 1 < text_.size() && text_[i + 1] == u'\\') {
                size_t k = i + 2;
                while (k < text_.size() && text_[k] > u' ' && text_[k] != u'{' && text_[k] != u'}') ++k;
                const std::u16string_view keyword(text_.data() + i + 2, k - i - 2);
                const uint32_t kind = YarxiKeywordKind(keyword.data(), static_cast<int32_t>(keyword.size()));
                const int32_t parent = open.back();
                const int32_t index = Open(i, kind, parent);
                if (lastChild[static_cast<size_t>(parent)] >= 0)
                    elements_[static_cast<size_t>(lastChild[static_cast<size_t>(parent)])].nextSibling = index;
                lastChild[static_cast<size_t>(parent)] = index;
                lastChild.push_back(-1);
                open.push_back(index);
                i = k - 1;
            } else if (text_[i] == u'}' && open.size() > 1) {
                ends_[static_cast<size_t>(open.back())] = i + 1;
                open.pop_back();
            }
        }
        for (size_t e = 0; e < elements_.size(); ++e) {
            DictionaryElement& element = elements_[e];
            element.text = text_.data() + starts_[e];
            element.length = static_cast<int32_t>(ends_[e] - starts_[e]);
            element.begin = element.text;
            element.end = element.text + element.length - 1;
        }
    }
    YarxiTree(const YarxiTree&) = delete;
    YarxiTree& operator=(const YarxiTree&) = delete;

    std::vector<DictionaryElement>& Elements() { return elements_; }
    const std::u16string& Text() const { return text_; }

private:
    int32_t Open(size_t start, uint32_t kind, int32_t parent) {
        DictionaryElement e;
        e.kind = kind;
        e.parent = parent;
        e.level = parent < 0 ? 0 : elements_[static_cast<size_t>(parent)].level + 1;
        elements_.push_back(e);
        starts_.push_back(start);
        ends_.push_back(text_.size());
        return static_cast<int32_t>(elements_.size() - 1);
    }

    std::u16string text_;
    std::vector<DictionaryElement> elements_;
    std::vector<size_t> starts_, ends_;
};
