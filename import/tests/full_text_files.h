// Reading a compiled dictionary's articles and full-text index in tests: the
// article positions and texts, the words of index 110 with their hit lists,
// and an EDICT sample (every n-th line plus chosen ones) as a source file.
#pragma once

#include "common/tests/edict_files.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "import/article_edit_sweep.h"
#include "import/article_record.h"
#include "storage/dms.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

struct ArticleText {
    uint32_t position;
    std::u16string text;
};

// The live articles in index-0 order.
inline std::vector<ArticleText> ReadArticles(CDMS& engine, int32_t fileId) {
    std::vector<ArticleText> out;
    for (auto& [position, text] : LiveArticles(engine, fileId)) out.push_back({position, std::move(text)});
    return out;
}

// Every word of index 110 with its id and the bytes of its hit list.
struct IndexedWord {
    uint32_t id = 0;
    std::vector<uint8_t> hits;
    bool operator==(const IndexedWord&) const = default;
};
inline std::map<std::u16string, IndexedWord> ReadFullTextIndex(CDMS& engine, int32_t fileId) {
    std::map<std::u16string, IndexedWord> out;
    EngineCursor words(engine, fileId), hits(engine, fileId);
    if (Failed(words.SelectIndex(kIndexFullTextWords)) || Failed(hits.SelectIndex(kIndexFullTextHits))) return out;
    char16_t text[130] = {};
    KeySegmentValue value{text, 256};
    EntryPosition at;
    for (DmsStatus s = engine.First(words.handle(), &value, &at); !Failed(s);
         s = engine.Next(words.handle(), &value, &at)) {
        IndexedWord& word = out[std::u16string(text, static_cast<size_t>(value.length / 2))];
        word.id = at.ref.first;
        value = {text, 256};
        uint32_t id = word.id, found = 0;
        KeySegmentValue in{&id, 4}, back{&found, 4};
        EntryPosition list;
        if (Failed(engine.Seek(hits.handle(), &in, &back, &list))) continue;
        uint32_t size = 0;
        if (Failed(engine.ReadData(hits.handle(), list.ref.first, nullptr, &size))) continue;
        word.hits.resize(size);
        engine.ReadData(hits.handle(), list.ref.first, word.hits.data(), &size);
    }
    return out;
}

// The header line, every `step`th line, and the lines starting with one of `wanted` (EUC-JP bytes).
inline bool WriteEdictSample(const std::filesystem::path& path, size_t step, const std::vector<std::string>& wanted) {
    const std::vector<uint8_t> bytes = ReadEdictFile("edict");
    if (bytes.empty()) return false;
    std::ofstream out(path, std::ios::binary);
    size_t number = 0;
    for (std::span<const uint8_t> line : SplitLines(bytes)) {
        const std::string text(line.begin(), line.end());
        bool take = number++ % step == 0;
        for (const std::string& w : wanted) take = take || text.starts_with(w);
        if (take && !text.empty()) out << text << '\n';
    }
    return true;
}
