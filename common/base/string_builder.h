// CStringBuilder: a growable, always zero-terminated UTF-16 buffer. The Latin
// analyser writes its results into it and the print and export code assembles
// texts with it; both read `begin` and `write` directly, so they stay public.
#pragma once

#include <cstdint>
#include <string_view>

class CStringBuilder {
public:
    CStringBuilder() = default;
    CStringBuilder(const CStringBuilder&) = delete;
    CStringBuilder& operator=(const CStringBuilder&) = delete;
    virtual ~CStringBuilder();

    // Grows the buffer to `units` when that is larger than the capacity,
    // keeping the text. Returns begin (null when the growth failed).
    char16_t* EnsureCapacity(int32_t units);

    char16_t* Append(const char16_t* text);   // null appends nothing
    char16_t* Append(std::u16string_view text);
    char16_t* AppendChar(char16_t unit);
    // Each byte becomes the unit of the same value (Latin-1, 0-255).
    char16_t* AppendAnsi(const char* text);
    void Clear();                             // keeps the buffer
    int32_t PadToColumn(int32_t column);      // appends column - 1 spaces

    // The text so far; empty before the first growth.
    std::u16string_view View() const;
    const char16_t* Text() const;             // never null

    char16_t* begin = nullptr;   // heap buffer, null before the first growth
    char16_t* write = nullptr;   // next unit to write; *write is always 0
    char16_t* limit = nullptr;   // begin + capacity
    int32_t lineStartLength = 0; // 0 after Clear; kept for the analyser
    int32_t capacity = 0;        // in units

private:
    bool Put(char16_t unit);
    void Drop();
};
