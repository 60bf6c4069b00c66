// Small helpers for formatter tests: run a writer over fresh buffers and read
// back the text with the colour class of each unit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "article/display_attributes.h"
#include "article/formatted_text.h"

struct StyledResult {
    std::u16string text;
    std::vector<uint32_t> attributes;

    uint32_t ClassAt(size_t i) const { return attributes[i] & kAttrColourMask; }
    // The colour class of the first unit of `part` in the text; 0xFFFF when absent.
    uint32_t ClassOf(std::u16string_view part, size_t from = 0) const {
        size_t at = text.find(part, from);
        return at == std::u16string::npos ? 0xFFFF : ClassAt(at);
    }
    // Whether every unit of the first `part` has the colour class.
    bool AllOf(std::u16string_view part, uint32_t colourClass) const {
        size_t at = text.find(part);
        if (at == std::u16string::npos) return false;
        for (size_t i = at; i < at + part.size(); ++i)
            if (ClassAt(i) != colourClass) return false;
        return true;
    }
};

template <typename Fill>
StyledResult WriteStyled(int32_t capacity, Fill fill) {
    std::vector<char16_t> text(static_cast<size_t>(capacity), u'#');
    std::vector<uint32_t> attributes(static_cast<size_t>(capacity), 0xDEAD);
    StyledWriter writer(text, attributes);
    fill(writer);
    return {std::u16string(text.data(), static_cast<size_t>(writer.Length())),
            std::vector<uint32_t>(attributes.begin(), attributes.begin() + writer.Length())};
}
