// Roman numerals: the well-formed reading and the letters' values.
#include <cstring>
#include <string>

#include "latin/spelling_tricks.h"

int RomanLetterValue(char letter) {
    switch (letter) {
    case 'I': case 'i': return 1;
    case 'V': case 'v': return 5;
    case 'X': case 'x': return 10;
    case 'L': case 'l': return 50;
    case 'C': case 'c': return 100;
    case 'D': case 'd': return 500;
    case 'M': case 'm': return 1000;
    default: return 0;
    }
}

bool IsRomanLetters(const char* word) {
    if (word[0] == 0) return false;
    for (const char* p = word; *p != 0; ++p) {
        if (RomanLetterValue(*p) == 0) return false;
    }
    return true;
}

namespace {

// One decimal place: nine (one ten), four (one five), or an optional five
// and up to four ones; adds its value and moves on.
void ReadPlace(const std::string& s, size_t& at, char one, char five, char ten, int unit, int& value) {
    if (at + 1 < s.size() && s[at] == one && s[at + 1] == ten) {
        value += 9 * unit;
        at += 2;
        return;
    }
    if (at + 1 < s.size() && s[at] == one && s[at + 1] == five) {
        value += 4 * unit;
        at += 2;
        return;
    }
    if (at < s.size() && s[at] == five) {
        value += 5 * unit;
        ++at;
    }
    for (int n = 0; n < 4 && at < s.size() && s[at] == one; ++n, ++at) value += unit;
}

}  // namespace

int ParseRomanNumeral(const char* word) {
    std::string s(word, strnlen(word, 255));
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (s.empty()) return 0;
    size_t at = 0;
    int value = 0;
    while (at < s.size() && s[at] == 'M' && value < 1000000) {
        value += 1000;
        ++at;
    }
    ReadPlace(s, at, 'C', 'D', 'M', 100, value);
    ReadPlace(s, at, 'X', 'L', 'C', 10, value);
    ReadPlace(s, at, 'I', 'V', 'X', 1, value);
    return at == s.size() ? value : 0;
}
