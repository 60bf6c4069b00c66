// Reading Debian's EUC-JP dictionary files (edict, enamdict, kanjidic) in
// tests: whole files as bytes, split into lines, and the kana readings of EDICT.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/tests/test_files.h"
#include "common/text/japanese_code_pages.h"

inline std::string EdictFilePath(const char* name) {
    return std::string(OSTREL_HOST_ROOT "/usr/share/edict/") + name;
}

// The whole Debian file `name`, empty when it cannot be read.
inline std::vector<uint8_t> ReadEdictFile(const char* name) { return ReadBytes(EdictFilePath(name)); }

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

// One EUC-JP line as UTF-16, through the program's own converters (EUC-JP to
// Shift-JIS, then the code page 932 table), so it decodes alike under Wine.
inline std::u16string DecodeEucJpLine(std::span<const uint8_t> line) {
    std::vector<uint8_t> sjis(line.begin(), line.end());
    sjis.resize(static_cast<size_t>(EucJpToShiftJis(sjis.data(), sjis.data(), static_cast<int32_t>(sjis.size()))));
    std::u16string text(sjis.size(), u'\0');
    text.resize(static_cast<size_t>(DecodeCodePage932(sjis.data(), static_cast<int32_t>(sjis.size()), text.data(),
                                                      static_cast<int32_t>(text.size()))));
    return text;
}

inline bool IsKanaReading(std::u16string_view s) {
    if (s.empty()) return false;
    for (char16_t c : s)
        if (!((c >= 0x3041 && c <= 0x3093) || (c >= 0x30A1 && c <= 0x30F6) || c == 0x30FC)) return false;
    return true;
}

// The readings of EDICT: "headword [reading] /..." or "kana /...".
inline std::vector<std::u16string> EdictReadings() {
    std::vector<uint8_t> bytes = ReadEdictFile("edict");
    std::vector<std::u16string> readings;
    for (std::span<const uint8_t> line : SplitLines(bytes)) {
        std::u16string text = DecodeEucJpLine(line);
        size_t open = text.find(u" [");
        size_t close = text.find(u']');
        std::u16string reading = open != std::u16string::npos && close != std::u16string::npos && close > open
                                     ? text.substr(open + 2, close - open - 2)
                                     : text.substr(0, text.find(u' '));
        if (IsKanaReading(reading)) readings.push_back(std::move(reading));
    }
    return readings;
}

