// Test-side reader of UnicodeData.txt, used as the oracle for the character
// tables: category names, simple case mappings and decompositions per line.
#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

struct OracleCharacter {
    std::string category;
    std::string name;
    std::vector<uint32_t> decomposition;  // without its <tag>
    uint32_t upper = 0;
    uint32_t lower = 0;
};

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
        std::string d = f[5];
        if (!d.empty() && d[0] == '<') d = d.substr(d.find('>') + 1);
        std::stringstream points(d);
        std::string p;
        while (points >> p) c.decomposition.push_back(std::stoul(p, nullptr, 16));
        if (!f[12].empty()) c.upper = std::stoul(f[12], nullptr, 16);
        if (!f[13].empty()) c.lower = std::stoul(f[13], nullptr, 16);
        characters[std::stoul(f[0], nullptr, 16)] = c;
    }
    return characters;
}

inline const char* kUnicodeDataPath = OSTREL_SOURCE_DIR "/resources/unicode/ucd-5.2.0/UnicodeData.txt";
