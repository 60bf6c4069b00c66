// The bounded interface-text formatter: a writer that stops at the end of
// its buffer, and the conversions built on it.
#include "common/base/bounded_format.h"

#include <algorithm>

namespace {

// Appends units while room is left, keeping one unit for the terminator.
class BoundedWriter {
public:
    explicit BoundedWriter(std::span<char16_t> out) : out_(out) {}

    void Put(char16_t unit) {
        if (full_ || length_ + 1 >= out_.size()) { full_ = true; return; }
        // A high surrogate goes in only with room for its partner behind it.
        if (unit >= 0xD800 && unit <= 0xDBFF && length_ + 2 >= out_.size()) { full_ = true; return; }
        out_[length_++] = unit;
    }
    void Put(std::u16string_view text) {
        for (char16_t unit : text) Put(unit);
    }
    void Repeat(char16_t unit, size_t count) {
        for (size_t i = 0; i < count; ++i) Put(unit);
    }
    size_t Finish() {
        if (!out_.empty()) out_[length_] = 0;
        return length_;
    }

private:
    std::span<char16_t> out_;
    size_t length_ = 0;
    bool full_ = false;
};

struct Directive {
    bool leftAlign = false;
    bool zeroPad = false;
    size_t width = 0;
    bool hasPrecision = false;
    size_t precision = 0;
    char16_t conversion = 0;
};

size_t ReadNumber(std::u16string_view format, size_t& i) {
    size_t value = 0;
    while (i < format.size() && format[i] >= u'0' && format[i] <= u'9') {
        value = std::min<size_t>(value * 10 + (format[i] - u'0'), 4096);   // widths stay sane
        ++i;
    }
    return value;
}

// Digits of `value` in base 10 or 16, written backwards into `digits`.
size_t Digits(uint64_t value, unsigned base, char16_t* digits) {
    size_t count = 0;
    do {
        unsigned d = static_cast<unsigned>(value % base);
        digits[count++] = static_cast<char16_t>(d < 10 ? u'0' + d : u'a' + d - 10);
        value /= base;
    } while (value != 0);
    return count;
}

void WriteNumber(BoundedWriter& w, const Directive& directive, int64_t value) {
    bool negative = false;
    uint64_t magnitude;
    unsigned base = 10;
    if (directive.conversion == u'x') {
        base = 16;
        magnitude = static_cast<uint32_t>(value);
    } else if (directive.conversion == u'u') {
        magnitude = static_cast<uint32_t>(value);
    } else {
        negative = value < 0;
        magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    }
    char16_t digits[24];
    size_t count = Digits(magnitude, base, digits);
    size_t precisionZeros = directive.hasPrecision && directive.precision > count ? directive.precision - count : 0;
    size_t body = count + precisionZeros + (negative ? 1 : 0);
    size_t pad = directive.width > body ? directive.width - body : 0;
    bool zeroFill = directive.zeroPad && !directive.leftAlign && !directive.hasPrecision;
    if (!directive.leftAlign && !zeroFill) w.Repeat(u' ', pad);
    if (negative) w.Put(u'-');
    if (zeroFill) w.Repeat(u'0', pad);
    w.Repeat(u'0', precisionZeros);
    while (count > 0) w.Put(digits[--count]);
    if (directive.leftAlign) w.Repeat(u' ', pad);
}

void WriteText(BoundedWriter& w, const Directive& directive, std::u16string_view text) {
    if (directive.hasPrecision && text.size() > directive.precision) {
        text = text.substr(0, directive.precision);
        if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) text.remove_suffix(1);
    }
    size_t pad = directive.width > text.size() ? directive.width - text.size() : 0;
    if (!directive.leftAlign) w.Repeat(u' ', pad);
    w.Put(text);
    if (directive.leftAlign) w.Repeat(u' ', pad);
}

}  // namespace

size_t FormatBounded(std::span<char16_t> out, std::u16string_view format,
                     std::initializer_list<FormatArg> args) {
    BoundedWriter w(out);
    const FormatArg* next = args.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != u'%') { w.Put(format[i]); continue; }
        size_t start = i++;
        if (i < format.size() && format[i] == u'%') { w.Put(u'%'); continue; }
        Directive directive;
        for (; i < format.size(); ++i) {
            if (format[i] == u'-') directive.leftAlign = true;
            else if (format[i] == u'0') directive.zeroPad = true;
            else break;
        }
        directive.width = ReadNumber(format, i);
        if (i < format.size() && format[i] == u'.') {
            ++i;
            directive.hasPrecision = true;
            directive.precision = ReadNumber(format, i);
        }
        while (i < format.size() && (format[i] == u'l' || format[i] == u'h')) ++i;
        if (i >= format.size()) {                      // a lone '%' at the end stays as written
            w.Put(format.substr(start));
            break;
        }
        directive.conversion = format[i];
        bool known = directive.conversion == u's' || directive.conversion == u'd' || directive.conversion == u'i' ||
                     directive.conversion == u'u' || directive.conversion == u'x';
        if (!known) {                                  // an unknown conversion is copied, not guessed at
            w.Put(format.substr(start, i - start + 1));
            continue;
        }
        if (next == args.end()) continue;
        const FormatArg& arg = *next++;
        if (arg.IsText()) {
            WriteText(w, directive, arg.Text());
        } else if (directive.conversion == u's') {
            Directive asNumber = directive;
            asNumber.conversion = u'd';
            asNumber.hasPrecision = false;
            WriteNumber(w, asNumber, arg.Number());
        } else {
            WriteNumber(w, directive, arg.Number());
        }
    }
    return w.Finish();
}
