// The character formats an article view lays over its plain text, one per
// attribute value of DisplayAttributes, and the runs of units each one covers.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

enum class HighlightEffect : uint8_t { Italic, Bold, Colour };

struct HighlightFormat {
    uint32_t attribute;   // an effect bit, or a colour class (bits in 0xF0)
    HighlightEffect effect;
    uint8_t red, green, blue;  // for Colour
};

// Applied in this order after the plain text. Colour classes 0x40 and 0 keep
// the control's own colour.
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

// A maximal run [start, end) of units matching one attribute value.
struct AttributeRun {
    int32_t start;
    int32_t end;
};

// A unit matches a value with bits in 0xF0 when its colour class equals the
// value, and a value without them when it has one of the value's bits set.
bool AttributeMatches(uint32_t unitAttribute, uint32_t value);

// Every maximal run of matching units, in order.
std::vector<AttributeRun> FindAttributeRuns(uint32_t value, std::span<const uint32_t> attributes);
