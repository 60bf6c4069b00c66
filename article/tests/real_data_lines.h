// Debian's EUC-JP dictionary files (edict, enamdict, kanjidic) as decoded
// lines, for the tests over real data; empty when the file is not installed.
#pragma once

#include <string>
#include <vector>

#include "common/tests/edict_files.h"

inline std::vector<std::u16string> ReadDecodedLines(const char* name) {
    std::vector<std::u16string> lines;
    std::vector<uint8_t> bytes = ReadEdictFile(name);
    for (std::span<const uint8_t> raw : SplitLines(bytes)) {
        std::vector<uint8_t> sjis(raw.begin(), raw.end());
        sjis.resize(static_cast<size_t>(EucJpToShiftJis(sjis.data(), sjis.data(), static_cast<int32_t>(sjis.size()))));
        std::u16string& text = lines.emplace_back(sjis.size(), u'\0');
        text.resize(static_cast<size_t>(DecodeCodePage932(sjis.data(), static_cast<int32_t>(sjis.size()), text.data(),
                                                          static_cast<int32_t>(text.size()))));
    }
    return lines;
}
