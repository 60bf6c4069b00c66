// The character formats an article view gives its text, one per attribute
// value of DisplayAttributes (StyledArticleRtf writes them into the stream).
#pragma once

#include <cstdint>

enum class HighlightEffect : uint8_t { Italic, Bold, Colour };

struct HighlightFormat {
    uint32_t attribute;   // an effect bit, or a colour class (bits in 0xF0)
    HighlightEffect effect;
    uint8_t red, green, blue;  // for Colour
};

// A unit takes a colour format when its colour class (bits 4-7) is the
// format's value, an effect when it has the effect's bit. Colour classes
// 0x40, 0 and those not listed keep the control's own colour.
inline constexpr HighlightFormat HighlightFormatTable[9] = {
    {0x4, HighlightEffect::Italic, 0, 0, 0},
    {0x2, HighlightEffect::Bold, 0, 0, 0},
    {0x20, HighlightEffect::Colour, 127, 0, 0},
    {0x30, HighlightEffect::Colour, 0, 0, 127},
    {0x90, HighlightEffect::Colour, 31, 0, 31},
    {0x50, HighlightEffect::Colour, 127, 127, 127},
    {0x60, HighlightEffect::Colour, 191, 0, 0},
    {0x70, HighlightEffect::Colour, 0, 127, 0},
    {0x80, HighlightEffect::Colour, 0, 95, 0},
};
