// Small helpers on the analyser's 8-bit words: case, trimming, and letter
// comparison with i and j, u and v counting as equal.
#pragma once

#include <cstring>
#include <string>

inline char LowerLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool IsVowel(char c) {
    c = LowerLetter(c);
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y';
}

// The word lower-cased (A to Z), without characters up to the blank at both
// ends, at most 255 characters.
inline std::string NormalWord(const char* word) {
    std::string s(word, strnlen(word, 255));
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    s = s.substr(b, e - b);
    for (char& c : s) c = LowerLetter(c);
    return s;
}

// The letter as comparisons see it: lower case, j as i, v as u.
inline char FoldLetter(char c) {
    c = LowerLetter(c);
    return c == 'j' ? 'i' : c == 'v' ? 'u' : c;
}

// Letters equal, case aside, with i = j and u = v.
inline bool SameLetter(char a, char b) { return FoldLetter(a) == FoldLetter(b); }

inline bool SameLetters(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (!SameLetter(a[i], b[i])) return false;
    }
    return true;
}

inline bool EndsWithLetters(const std::string& word, const char* tail, size_t n) {
    return word.size() >= n && SameLetters(word.c_str() + word.size() - n, tail, n);
}

// Copies text cut to size - 1 characters, terminated.
inline void CopyText(char* out, size_t size, const char* text) {
    size_t n = strnlen(text, size - 1);
    std::memcpy(out, text, n);
    out[n] = 0;
}
