// Reading Debian's collatinus data in tests (Latin ground truth, read from
// the installed package): vowel-length marks removed, v read as u, j as i.
#pragma once

#include <sstream>
#include <string>
#include <vector>

inline std::string CollatinusFile(const char* name) {
    return std::string(OSTREL_HOST_ROOT) + "/usr/share/collatinus/data/" + name;
}

// Base letter of a precomposed or marked vowel; empty for a combining mark.
inline std::string Fold(char32_t c) {
    if (c >= 0x300 && c <= 0x36F) return "";
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    static const std::pair<char32_t, const char*> kBases[] = {
        {0x100, "a"}, {0x101, "a"}, {0x102, "a"}, {0x103, "a"}, {0x112, "e"}, {0x113, "e"}, {0x114, "e"},
        {0x115, "e"}, {0x12A, "i"}, {0x12B, "i"}, {0x12C, "i"}, {0x12D, "i"}, {0x14C, "o"}, {0x14D, "o"},
        {0x14E, "o"}, {0x14F, "o"}, {0x16A, "u"}, {0x16B, "u"}, {0x16C, "u"}, {0x16D, "u"}, {0x232, "y"},
        {0x233, "y"}, {0x40E, "y"}, {0x45E, "y"}, {0xC6, "ae"}, {0xE6, "ae"}, {0x152, "oe"}, {0x153, "oe"},
        {0xEB, "e"}, {0xCB, "e"}, {0xEF, "i"}, {0xFC, "u"}, {0xE4, "a"}, {0xF6, "o"}};
    for (const auto& [code, base] : kBases) {
        if (code == c) return base;
    }
    return "?";
}

// Lower case, marks removed, v as u and j as i, homonym digits dropped.
inline std::string Normal(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char b = utf8[i];
        char32_t c = b;
        int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        if (n > 1) {
            c = b & (0xFF >> (n + 1));
            for (int k = 1; k < n && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
        }
        i += n;
        for (char f : Fold(c)) {
            if (f >= '0' && f <= '9') continue;
            if (f >= 'A' && f <= 'Z') f = static_cast<char>(f - 'A' + 'a');
            if (f == 'v') f = 'u';
            if (f == 'j') f = 'i';
            out += f;
        }
    }
    return out;
}

inline std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator)) parts.push_back(part);
    if (parts.empty()) parts.push_back(std::string());   // so parts[0] always exists
    return parts;
}

