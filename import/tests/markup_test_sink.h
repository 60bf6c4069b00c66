// An element array for tests of the import parsers: plain structs in a
// vector, with the text of each element read back from the parsed buffer.
#pragma once

#include "import/own_markup_parser.h"

#include <string>
#include <vector>

struct TestElement {
    uint32_t kind = 0;
    uint32_t flags = 0;
    uint32_t begin = 0;
    uint32_t end = 0;
    int32_t textOffset = -1;  // -1: no text
    uint32_t textLength = 0;
};

class TestMarkupSink : public MarkupElementSink {
public:
    int32_t AddGroup(uint32_t offset) override {
        if (static_cast<int32_t>(elements.size()) >= limit) return -1;
        elements.push_back({0, 0, offset, offset, -1, 0});
        return static_cast<int32_t>(elements.size()) - 1;
    }
    int32_t Count() const override { return static_cast<int32_t>(elements.size()); }
    uint32_t Kind(int32_t e) const override { return elements[e].kind; }
    void SetKind(int32_t e, uint32_t kind) override { elements[e].kind = kind; }
    void AddFlags(int32_t e, uint32_t flags) override { elements[e].flags |= flags; }
    void SetEnd(int32_t e, uint32_t offset) override { elements[e].end = offset; }
    void SetText(int32_t e, uint32_t offset, uint32_t length) override {
        elements[e].textOffset = static_cast<int32_t>(offset);
        elements[e].textLength = length;
    }

    std::u16string TextOf(std::u16string_view buffer, size_t e) const {
        const TestElement& el = elements[e];
        if (el.textOffset < 0) return {};
        return std::u16string(buffer.substr(el.textOffset, el.textLength));
    }

    std::vector<TestElement> elements;
    int32_t limit = 1 << 30;
};
