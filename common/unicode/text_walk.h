// Code-point steps over a UTF-16 text with an explicit length: a high
// surrogate followed by a low one is one code point; any other unit,
// a lone surrogate included, stands for itself.
#pragma once

#include <algorithm>
#include <cstdint>

struct TextWalk {
    const char16_t* text;
    int32_t length;   // never negative

    TextWalk(const char16_t* t, int32_t n) : text(t), length(std::max<int32_t>(n, 0)) {}

    static bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
    static bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

    bool PairAt(int32_t i) const { return i + 1 < length && IsHigh(text[i]) && IsLow(text[i + 1]); }
    // i must be inside the text.
    char32_t CodePointAt(int32_t i) const {
        if (PairAt(i)) return 0x10000 + ((text[i] - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        return text[i];
    }
    int32_t Next(int32_t i) const { return i + (PairAt(i) ? 2 : 1); }
    // The start of the code point before i (i > 0).
    int32_t StartBefore(int32_t i) const { return (i >= 2 && PairAt(i - 2)) ? i - 2 : i - 1; }
    // The start of the code point that holds unit i.
    int32_t StartOf(int32_t i) const { return (i >= 1 && PairAt(i - 1)) ? i - 1 : i; }
};
