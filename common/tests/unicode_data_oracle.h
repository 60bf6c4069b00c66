// Test-side reader of UnicodeData.txt, used as the oracle for the character
// tables: category names, simple case mappings and decompositions per line.
#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>
#include "common/tests/test_paths.h"

struct OracleCharacter {
    std::string category;
    std::string name;
    int combiningClass = 0;               // canonical combining class (field 3)
    std::vector<uint32_t> decomposition;  // without its <tag>
    uint32_t upper = 0;
    uint32_t lower = 0;
};

// Splits "0041 0301" into code points.
inline std::vector<uint32_t> ParseCodePoints(const std::string& text) {
    std::vector<uint32_t> points;
    std::stringstream in(text);
    std::string p;
    while (in >> p) points.push_back(std::stoul(p, nullptr, 16));
    return points;
}

inline std::u16string ToUtf16(const std::vector<uint32_t>& points) {
    std::u16string s;
    for (uint32_t cp : points) {
        if (cp < 0x10000) {
            s += char16_t(cp);
        } else {
            s += char16_t(0xD800 + ((cp - 0x10000) >> 10));
            s += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
    return s;
}

inline std::vector<uint32_t> ToCodePoints(std::u16string_view s) {
    std::vector<uint32_t> points;
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t u = s[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF)
            u = 0x10000 + ((u - 0xD800) << 10) + (s[++i] - 0xDC00);
        points.push_back(u);
    }
    return points;
}

// Every line of the file by code point; empty when the file cannot be read.
inline std::map<uint32_t, OracleCharacter> ReadOracleUnicodeData(const std::string& path) {
    std::map<uint32_t, OracleCharacter> characters;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        std::string field;
        while (std::getline(fields, field, ';')) f.push_back(field);
        if (f.size() < 14) continue;
        OracleCharacter c;
        c.name = f[1];
        c.category = f[2];
        c.combiningClass = std::stoi(f[3]);
        std::string d = f[5];
        if (!d.empty() && d[0] == '<') d = d.substr(d.find('>') + 1);
        c.decomposition = ParseCodePoints(d);
        if (!f[12].empty()) c.upper = std::stoul(f[12], nullptr, 16);
        if (!f[13].empty()) c.lower = std::stoul(f[13], nullptr, 16);
        characters[std::stoul(f[0], nullptr, 16)] = c;
    }
    return characters;
}

inline const std::string kUnicodeDataPath = SourcePath("/resources/unicode/ucd-5.2.0/UnicodeData.txt");

// The 5.2.0 file the tables are built from, read once per test run.
inline const std::map<uint32_t, OracleCharacter>& Unicode52() {
    static const std::map<uint32_t, OracleCharacter> characters = ReadOracleUnicodeData(kUnicodeDataPath);
    return characters;
}
