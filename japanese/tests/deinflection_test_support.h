// Shared by the deinflection tests: run the matchers the way the translator
// does (chain starting with the dictionary-form code 3) and read the UTF-8
// copies of Debian's sources that the build makes with iconv.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/text/utf8.h"
#include "japanese/inflection_match.h"

namespace ostrel::japanese::testing {

struct Deinflection {
    bool matched = false;
    int32_t end = 0;
    std::vector<int> codes;
};

inline Deinflection Deinflect(std::u16string_view text, std::u16string_view word, bool kanjiIndex,
                              std::u16string_view reading, std::u16string_view kanji,
                              uint32_t classBit) {
    MatchContext context{text, reading, kanji};
    TagChain tags{};
    AppendTagCode(tags, 3);
    Deinflection result;
    result.matched = MatchInflectedForm(context, 0, word, kanjiIndex, classBit, result.end, tags);
    for (int32_t i = 0; i < CountTagCodes(tags); ++i) result.codes.push_back(tags[i]);
    return result;
}

inline std::filesystem::path FixturePath(const char* name) {
    return std::filesystem::path(BinaryPath()) / "japanese" / "test_fixtures" / name;
}

// The fixture's lines as UTF-16; empty when the source package is missing.
inline std::vector<std::u16string> ReadFixtureLines(const char* name) {
    std::vector<std::u16string> lines;
    std::ifstream in(FixturePath(name), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(Utf8ToUtf16(line));
    }
    return lines;
}

inline std::vector<std::u16string_view> SplitFields(std::u16string_view line, char16_t separator) {
    std::vector<std::u16string_view> fields;
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == separator) {
            fields.push_back(line.substr(start, i - start));
            start = i + 1;
        }
    }
    return fields;
}

inline std::u16string ToHiragana(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        if (c >= 0x30A1 && c <= 0x30F6) c = static_cast<char16_t>(c - 0x60);
    }
    return out;
}

}  // namespace ostrel::japanese::testing
