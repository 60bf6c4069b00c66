// Paragraphs of EDICT lines and Russian words, cut to an exact length.
#include "ui/e2e/article_paragraphs.h"

#include <windows.h>

#include <vector>

#include "common/tests/edict_files.h"
#include "common/tests/test_files.h"

namespace {

// Russian words of the hunspell list (UTF-8, "word/FLAGS" after a count line).
std::vector<std::wstring> RussianWords(size_t wanted) {
    const std::vector<uint8_t> bytes = ReadBytes(OSTREL_HOST_ROOT "/usr/share/hunspell/ru_RU.dic");
    std::vector<std::wstring> words;
    const std::vector<std::span<const uint8_t>> lines = SplitLines(bytes);
    const size_t step = lines.size() / (wanted + 1) + 1;
    for (size_t i = 1; i < lines.size() && words.size() < wanted; i += step) {
        std::string line(lines[i].begin(), lines[i].end());
        line = line.substr(0, line.find('/'));
        std::wstring word(line.size(), L'\0');
        word.resize(static_cast<size_t>(
            MultiByteToWideChar(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), word.data(), static_cast<int>(word.size()))));
        if (!word.empty()) words.push_back(word);
    }
    return words;
}

}  // namespace

std::wstring ArticleParagraphs(size_t paragraphs, size_t units, const std::wstring& lineEnd) {
    if (paragraphs < 3 || units < paragraphs * 4) return {};
    const std::vector<std::span<const uint8_t>> lines = [] {
        static const std::vector<uint8_t> edict = ReadEdictFile("edict");
        return SplitLines(edict);
    }();
    const std::vector<std::wstring> russian = RussianWords(paragraphs * 4);
    if (lines.size() < paragraphs * 2 || russian.empty()) return {};
    // EDICT lines "kanji [kana] /glosses/", spread over the file.
    std::vector<std::wstring> entries;
    const size_t step = lines.size() / (paragraphs * 2);
    for (size_t i = 1; i < lines.size() && entries.size() < paragraphs; i += step) {
        const std::u16string text = DecodeEucJpLine(lines[i]);
        if (text.find(u" [") != std::u16string::npos) entries.emplace_back(text.begin(), text.end());
    }
    if (entries.size() < paragraphs) return {};
    // The first entry gives the headwords: its reading and its word in kanji.
    const std::wstring& head = entries[0];
    const size_t open = head.find(L" ["), close = head.find(L']');
    std::vector<std::wstring> made = {head.substr(open + 2, close - open - 2), head.substr(0, open)};
    size_t used = made[0].size() + made[1].size() + 2;  // with their paragraph ends
    const size_t rest = paragraphs - 2;
    for (size_t p = 0; p < rest; ++p) {
        // What is left shared evenly among the paragraphs left (the last has no end).
        const size_t left = units - used + 1;
        const size_t length = p + 1 == rest ? left - 1 : left / (rest - p) - 1;
        std::wstring paragraph = entries[p + 1];
        for (size_t w = p * 3; paragraph.size() < length; ++w) paragraph += L" " + russian[w % russian.size()];
        paragraph.resize(length);
        if (paragraph.back() == L' ') paragraph.back() = L'.';
        used += length + 1;
        made.push_back(std::move(paragraph));
    }
    std::wstring text;
    for (size_t i = 0; i < made.size(); ++i) text += (i ? lineEnd : L"") + made[i];
    return text;
}
