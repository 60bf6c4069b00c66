// A printf-style formatter for interface texts that never writes past its
// buffer and always terminates it. The C runtime's _snwprintf leaves the
// buffer unterminated when the text is cut, and a working dictionary's name
// alone can be 260 units long, so titles and tooltips are built with this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

// One argument: a number or a text. A conversion takes the next argument
// whatever its kind (%d of a text writes the text, %s of a number the number);
// a missing argument writes nothing.
class FormatArg {
public:
    template <typename T>
        requires std::is_integral_v<T>
    FormatArg(T value) : number_(static_cast<int64_t>(value)), isText_(false) {}
    FormatArg(std::u16string_view text) : text_(text), isText_(true) {}
    FormatArg(const std::u16string& text) : text_(text), isText_(true) {}
    FormatArg(const char16_t* text) : text_(text ? text : u""), isText_(true) {}

    bool IsText() const { return isText_; }
    int64_t Number() const { return number_; }
    std::u16string_view Text() const { return text_; }

private:
    int64_t number_ = 0;
    std::u16string_view text_;
    bool isText_;
};

// Formats `format` into `out`: %s, %d, %i, %u, %x and %% with the flags '-'
// and '0', a width and a precision (".2d" pads digits, ".5s" cuts the text).
// Writes at most out.size() - 1 units and a terminating zero (nothing when
// `out` is empty), never cuts a surrogate pair in half, and returns the
// length written.
size_t FormatBounded(std::span<char16_t> out, std::u16string_view format,
                     std::initializer_list<FormatArg> args);
