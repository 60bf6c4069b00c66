// Reading Debian's EUC-JP dictionary files (edict, enamdict, kanjidic) in
// tests: whole files as bytes, split into lines.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

inline std::string EdictFilePath(const char* name) {
    return std::string(OSTREL_HOST_ROOT "/usr/share/edict/") + name;
}

// The whole file, empty when it cannot be read.
inline std::vector<uint8_t> ReadEdictFile(const char* name) {
    std::ifstream in(EdictFilePath(name), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each line without its line feed.
inline std::vector<std::span<const uint8_t>> SplitLines(const std::vector<uint8_t>& bytes) {
    std::vector<std::span<const uint8_t>> lines;
    size_t start = 0;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == '\n') {
            if (i > start) lines.emplace_back(bytes.data() + start, i - start);
            start = i + 1;
        }
    }
    return lines;
}
