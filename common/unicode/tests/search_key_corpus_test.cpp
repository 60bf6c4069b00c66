// MakeSearchKey over real dictionaries: every headword and reading of
// Debian's edict, enamdict and kanjidic and every word of the Russian
// hunspell list, into fields of the exact sizes callers use (the sanitizers
// catch a write past them). Native build only: under Wine this would only
// repeat the same code over the same data, slowly.
#include <gtest/gtest.h>

#include "common/tests/edict_files.h"
#include "common/tests/iconv_converter.h"
#include "common/tests/test_files.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/unicode/char_tables.h"
#include "common/unicode/search_key.h"

namespace {

#ifndef _WIN32

// UTF-16 text of every line of `path`, converted from `encoding` by iconv;
// a line the converter rejects is not ours to test.
std::vector<std::u16string> ReadLines(const char* path, const char* encoding) {
    std::vector<std::u16string> lines;
    Iconv iconv("UTF-16LE", encoding);
    const std::vector<uint8_t> bytes = ReadBytes(path);
    std::u16string text;
    for (std::span<const uint8_t> line : SplitLines(bytes))
        if (iconv.ToUtf16(line, text)) lines.push_back(text);
    return lines;
}

std::vector<std::u16string> Split(std::u16string_view s, char16_t a, char16_t b = 0) {
    std::vector<std::u16string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= s.size(); ++i)
        if (i == s.size() || s[i] == a || (b && s[i] == b)) {
            if (i > start) parts.emplace_back(s.substr(start, i - start));
            start = i + 1;
        }
    return parts;
}

// "headword;variant [reading;reading] /glosses/": the headwords and readings.
std::vector<std::u16string> EdictWords(const std::vector<std::u16string>& lines) {
    std::vector<std::u16string> words;
    for (const std::u16string& line : lines) {
        size_t slash = line.find(u" /");
        std::u16string_view head(line.data(), slash == std::u16string::npos ? line.size() : slash);
        for (const std::u16string& part : Split(head, u' ', u';')) {
            std::u16string w = part;
            if (!w.empty() && w.front() == u'[') w.erase(0, 1);
            if (!w.empty() && w.back() == u']') w.pop_back();
            words.push_back(w);
        }
    }
    return words;
}

// "字 3021 U5b57 ... ジ あざ {character}": the kanji and its readings.
std::vector<std::u16string> KanjidicWords(const std::vector<std::u16string>& lines) {
    std::vector<std::u16string> words;
    for (const std::u16string& line : lines) {
        if (line.empty() || line[0] == u'#') continue;
        std::u16string_view head(line.data(), std::min(line.find(u'{'), line.size()));
        for (const std::u16string& field : Split(head, u' '))
            if (field[0] >= 0x3000 || field[0] == u'-') words.push_back(field);
    }
    return words;
}

std::vector<std::u16string> HunspellWords(const std::vector<std::u16string>& lines) {
    std::vector<std::u16string> words;
    for (size_t i = 1; i < lines.size(); ++i) words.push_back(lines[i].substr(0, lines[i].find(u'/')));
    return words;
}

bool UpperCaseLeft(char16_t u) {
    return (u >= u'A' && u <= u'Z') || (u >= 0x0400 && u <= 0x042F);
}

struct Corpus {
    const char* label;
    const char* path;
    const char* encoding;
    std::vector<std::u16string> (*words)(const std::vector<std::u16string>&);
    size_t atLeast;
};

class RealWords : public testing::TestWithParam<Corpus> {};

TEST_P(RealWords, KeysFitTheirFieldsAndKeepNoMarksOrCapitals) {
    const Corpus& c = GetParam();
    std::vector<std::u16string> words = c.words(ReadLines(c.path, c.encoding));
    ASSERT_GE(words.size(), c.atLeast) << c.path << " (" << c.label << ") is needed";
    std::vector<char16_t> key(kDecomposedTextLimit + 24);
    size_t nonEmpty = 0;
    for (const std::u16string& word : words) {
        int32_t n = MakeSearchKey(word, key);
        ASSERT_GE(n, 0);
        ASSERT_LE(n, kDecomposedTextLimit);
        nonEmpty += n > 0;
        for (int32_t i = 0; i < n; ++i) {
            ASSERT_NE(GetCharCategory(key[i]), kCategoryMn) << i;
            ASSERT_FALSE(UpperCaseLeft(key[i])) << i;
        }
        // A 256-unit field, exactly sized, gets the same key cut there.
        std::vector<char16_t> field(256);
        int32_t cut = MakeSearchKey(word, field);
        ASSERT_EQ(cut, std::min<int32_t>(n, 256));
        ASSERT_TRUE(std::equal(field.begin(), field.begin() + cut, key.begin()));
    }
    EXPECT_GT(nonEmpty, words.size() * 9 / 10);
}

INSTANTIATE_TEST_SUITE_P(
    Debian, RealWords,
    testing::Values(Corpus{"edict", "/usr/share/edict/edict", "EUC-JP", EdictWords, 300000},
                    Corpus{"enamdict", "/usr/share/edict/enamdict", "EUC-JP", EdictWords, 1000000},
                    Corpus{"kanjidic", "/usr/share/edict/kanjidic", "EUC-JP", KanjidicWords, 20000},
                    Corpus{"hunspell_ru", "/usr/share/hunspell/ru_RU.dic", "UTF-8", HunspellWords, 140000}),
    [](const auto& info) { return std::string(info.param.label); });

#endif

}  // namespace
