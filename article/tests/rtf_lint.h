// Test-side RTF lint for the documents the builder makes: 7-bit bytes,
// balanced braces, only the control words the builder writes, "\u" values
// within a signed 16-bit range, colour, font and style numbers within their
// tables, and no raw text after the head (all text goes as "\u"). Answers ""
// when the document passes, else what is wrong and where.
// RtfReadable turns a piece back into text for golden comparisons.
#pragma once

#include <charconv>
#include <climits>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

// The number of a control word as strtol reads it (clamped on overflow),
// read in place: the real-data sweeps lint hundreds of thousands of pieces.
inline long RtfNumber(std::string_view digits) {
    long n = 0;
    if (std::from_chars(digits.data(), digits.data() + digits.size(), n).ec == std::errc::result_out_of_range)
        n = digits.starts_with('-') ? LONG_MIN : LONG_MAX;
    return n;
}

inline std::string RtfLint(std::string_view rtf) {
    static const std::set<std::string_view> known = {
        "rtf", "ansi", "ansicpg", "uc", "deff", "deflang", "fonttbl", "f", "fswiss", "fmodern", "fprq",
        "fcharset", "colortbl", "red", "green", "blue", "stylesheet", "fs", "snext", "sbasedon", "s",
        "generator", "viewkind", "pard", "cols", "par", "line", "tab", "u", "cf", "b", "i", "ul", "ul0",
        "ulnone", "super", "sub", "nosupersub", "li"};
    auto where = [&](size_t at) { return " at " + std::to_string(at) + ": " + std::string(rtf.substr(at, 40)); };
    int depth = 0;
    long colours = 0;
    const size_t table = rtf.find("{\\colortbl ;");
    if (table != std::string_view::npos) {
        const size_t end = rtf.find('}', table);
        for (size_t p = table; p < end; ++p) colours += rtf[p] == ';';
        colours -= 1;
    }
    const bool styles = rtf.find("{\\stylesheet ") != std::string_view::npos;
    const size_t body = rtf.find("\\viewkind");
    for (size_t i = 0; i < rtf.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(rtf[i]);
        if (c >= 0x80) return "8-bit byte" + where(i);
        if (c == '{') {
            ++depth;
            continue;
        }
        if (c == '}') {
            if (--depth < 0) return "unbalanced }" + where(i);
            continue;
        }
        if (c == '\\') {
            if (i + 1 >= rtf.size()) return "backslash at the end";
            const char next = rtf[i + 1];
            if (next == '~' || next == '*' || next == '{' || next == '}' || next == '\\') {
                ++i;
                continue;
            }
            size_t j = i + 1;
            while (j < rtf.size() && rtf[j] >= 'a' && rtf[j] <= 'z') ++j;
            const std::string_view word = rtf.substr(i + 1, j - i - 1);
            // "\\u" carries nearly every character: it skips the look-up.
            if (word != "u" && (word.empty() || !known.count(word)))
                return "unknown control word \\" + std::string(word) + where(i);
            size_t k = j;
            if (k < rtf.size() && rtf[k] == '-') ++k;
            while (k < rtf.size() && rtf[k] >= '0' && rtf[k] <= '9') ++k;
            const bool hasNumber = k > j && !(k == j + 1 && rtf[j] == '-');
            const long n = hasNumber ? RtfNumber(rtf.substr(j, k - j)) : 0;
            if (word == "u" && (!hasNumber || n < -32768 || n > 32767)) return "\\u out of range" + where(i);
            if (word == "cf" && (n < 0 || n > colours)) return "\\cf past the colour table" + where(i);
            if (word == "f" && (n < 0 || n > 11)) return "\\f past the font table" + where(i);
            if (word == "s" && i > body && !styles) return "\\s without a stylesheet" + where(i);
            if (word == "s" && i > body && (n < 0 || n > 14)) return "\\s past the stylesheet's styles" + where(i);
            i = k - 1;
            if (k < rtf.size() && rtf[k] == ' ') ++i;   // the delimiter space
            continue;
        }
        if (c == '\n' || c == '\r') continue;
        if (body != std::string_view::npos && i > body) return "raw text in the body" + where(i);
    }
    if (depth != 0) return "unbalanced braces: depth " + std::to_string(depth);
    return "";
}

// The RTF with each "\\u" run as UTF-8 text and the font switches left out;
// every other control word stays as it is.
inline std::string RtfReadable(std::string_view rtf) {
    std::string out;
    std::u16string units;
    bool inControlWord = false;   // text right after one shows its delimiter
    auto flush = [&]() {
        if (!units.empty() && inControlWord) out += ' ';
        if (!units.empty()) inControlWord = false;
        for (size_t i = 0; i < units.size(); ++i) {
            uint32_t c = units[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
                c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
            if (c < 0x80) {
                out += static_cast<char>(c);
            } else if (c < 0x800) {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                out += static_cast<char>(0xE0 | (c >> 12));
                out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                out += static_cast<char>(0xF0 | (c >> 18));
                out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        units.clear();
    };
    for (size_t i = 0; i < rtf.size();) {
        const bool backslash = rtf[i] == '\\' && i + 2 < rtf.size();   // and two bytes after it
        if (backslash && rtf[i + 1] == 'u' && (rtf[i + 2] == '-' || (rtf[i + 2] >= '0' && rtf[i + 2] <= '9'))) {
            size_t j = i + 2;
            if (rtf[j] == '-') ++j;
            while (j < rtf.size() && rtf[j] >= '0' && rtf[j] <= '9') ++j;
            const long n = RtfNumber(rtf.substr(i + 2, j - i - 2));
            units += static_cast<char16_t>(n < 0 ? n + 65536 : n);
            i = j;
            continue;
        }
        if (backslash && rtf[i + 1] == 'f' && rtf[i + 2] >= '0' && rtf[i + 2] <= '9') {
            const size_t end = rtf.find(' ', i);
            if (end != std::string_view::npos && rtf.substr(i, end - i).find("\\fs") != std::string_view::npos) {
                i = end + 1;
                continue;
            }
        }
        flush();
        const char c = rtf[i++];
        inControlWord = c == '\\' || (inControlWord && ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'));
        out += c;
    }
    flush();
    return out;
}
