// Shared set-up for cursor and word-list tests: dictionaries built with the
// engine on a simulated disk (bulk-loaded reading/word keys), opened as the
// shelf opens them, and a plain shelf that keeps them in order.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/tests/edict_files.h"
#include "dictionary/tests/dictionary_fixture.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_shelf.h"

// The shelf as word lists see it: dictionaries by position, nothing else.
class TestShelf : public IWordListShelf {
public:
    RDFDictionary* DictionaryAt(int32_t position) const override {
        return position >= 0 && position < static_cast<int32_t>(dictionaries.size())
                   ? dictionaries[static_cast<size_t>(position)]
                   : nullptr;
    }
    int32_t PositionOf(const RDFDictionary* dictionary) const override {
        auto found = std::find(dictionaries.begin(), dictionaries.end(), dictionary);
        return found == dictionaries.end() ? -1 : static_cast<int32_t>(found - dictionaries.begin());
    }
    ICollator* Collator() const override { return collator; }
    RDFDictionary* FindByPath(std::u16string_view path) const override {
        for (RDFDictionary* d : dictionaries)
            if (std::u16string_view(d->File().path) == path) return d;
        return nullptr;
    }
    RDFDictionary* AddDictionary(uint32_t flags, std::u16string_view path) override {
        if (makeDictionary == nullptr) return nullptr;
        owned.push_back(makeDictionary(flags, std::u16string(path)));
        dictionaries.push_back(owned.back().get());
        return dictionaries.back();
    }
    void DeleteDictionary(RDFDictionary* dictionary) override {
        dictionaries.erase(std::remove(dictionaries.begin(), dictionaries.end(), dictionary), dictionaries.end());
        ++deleted;
    }
    void SaveListPositions() override {}
    void Refresh() override { ++refreshes; }

    std::vector<RDFDictionary*> dictionaries;
    std::vector<std::unique_ptr<RDFDictionary>> owned;
    std::function<std::unique_ptr<RDFDictionary>(uint32_t, std::u16string)> makeDictionary;
    ICollator* collator = nullptr;
    int deleted = 0;
    int refreshes = 0;
};

using KeyPair = std::pair<std::u16string, std::u16string>;

struct MergedRow {
    int32_t shelfPosition;
    int32_t ordinal;
    uint32_t ref;
    std::u16string reading, word;
};

// Every `stride`-th line of a Debian EDICT-family file (EUC-JP) but the first.
inline std::vector<std::u16string> EdictLines(const char* name, size_t stride) {
    std::vector<uint8_t> bytes = ReadEdictFile(name);
    std::vector<std::span<const uint8_t>> lines = SplitLines(bytes);
    std::vector<std::u16string> texts;
    for (size_t i = 1; i < lines.size(); i += stride) texts.push_back(DecodeEucJpLine(lines[i]));
    return texts;
}

// (reading, headword) of EDICT and ENAMDICT lines; a kana-only headword is
// its own reading with no word.
inline std::vector<KeyPair> EdictKeys(const char* name, size_t stride) {
    std::vector<KeyPair> keys;
    for (const std::u16string& text : EdictLines(name, stride)) {
        std::u16string headword = text.substr(0, std::min(text.find(u' '), size_t{127}));
        size_t open = text.find(u" [");
        size_t close = text.find(u']');
        if (open != std::u16string::npos && close != std::u16string::npos && close > open)
            keys.emplace_back(text.substr(open + 2, std::min(close - open - 2, size_t{127})), headword);
        else
            keys.emplace_back(headword, std::u16string());
    }
    return keys;
}


class WordListTest : public DictionaryTest {
protected:
    // AddSynthetic's first reference that stores a data block for each key
    // and references it, rather than numbering references from a value.
    static constexpr uint32_t kStoredRecords = 0;
    // A dictionary file at `path` whose index `index` holds `keys` in bulk
    // with record references (firstRef + i, 0); opened read-only and put on the shelf.
    RDFDictionary* AddSynthetic(const std::u16string& path, const std::vector<KeyPair>& keys,
                                int32_t index = kIndexReadingWord, uint32_t firstRef = 1) {
        WriteSynthetic(path, keys, index, firstRef);
        return OpenOnShelf(path);
    }
    // The keys of the next synthetic file whose spelling its dictionary marks
    // common (flag 2 in the key's record reference), by position.
    std::vector<bool> commonKeys;
    // The file of AddSynthetic, closed and not on the shelf.
    void WriteSynthetic(const std::u16string& path, const std::vector<KeyPair>& keys,
                        int32_t index = kIndexReadingWord, uint32_t firstRef = 1) {
        CreateDictionaryFile(path);
        // With kStoredRecords each key names a data block of its own, so its
        // reference is a record the engine can read.
        std::vector<uint32_t> refs;
        for (size_t i = 0; i < keys.size(); ++i) {
            uint32_t position = firstRef + static_cast<uint32_t>(i);
            if (firstRef == kStoredRecords) {
                EXPECT_EQ(engine->WriteData(cursor, keys[i].first.data(),
                                            static_cast<uint32_t>(keys[i].first.size() * 2 + 2), &position),
                          DmsStatus::Success);
            }
            refs.push_back(position);
        }
        EXPECT_EQ(engine->SelectIndex(cursor, index), DmsStatus::Success);
        EXPECT_EQ(engine->BeginBulkLoad(cursor), DmsStatus::Success);
        for (size_t i = 0; i < keys.size(); ++i) {
            std::u16string first = keys[i].first, second = keys[i].second;
            uint16_t word = 0;
            KeySegmentValue key[2] = {{first.data(), static_cast<int32_t>(first.size() * 2)},
                                      {second.data(), static_cast<int32_t>(second.size() * 2)}};
            if (index == kIndexTranslationWords) key[1] = {&word, 2};
            const uint32_t flag = i < commonKeys.size() && commonKeys[i] ? uint32_t{kCommonWordKeyFlag} << 8 : 0;
            EXPECT_EQ(engine->InsertKey(cursor, key, RecordRef{refs[i], flag}), DmsStatus::Success);
        }
        EXPECT_EQ(engine->EndBulkLoad(cursor), DmsStatus::Success);
        FinishFile();
    }
    RDFDictionary* OpenOnShelf(const std::u16string& path) {
        owned.push_back(MakeDictionary(path));
        EXPECT_EQ(owned.back()->Open(2), 0u);
        shelf.dictionaries.push_back(owned.back().get());
        return owned.back().get();
    }

    // Every key of every shelf dictionary on the index, exported by a walk in
    // shelf order, then stably sorted by the file's key order: equal keys keep
    // the shelf order, and within a dictionary the index order.
    std::vector<MergedRow> BruteForceMerge(int32_t index = kIndexReadingWord) const {
        std::vector<MergedRow> rows;
        for (size_t d = 0; d < shelf.dictionaries.size(); ++d) {
            EngineCursor walk(*engine, shelf.dictionaries[d]->fileId);
            EXPECT_EQ(walk.SelectIndex(index), DmsStatus::Success);
            char16_t buffers[2][130];
            KeySegmentValue fields[2] = {{buffers[0], 256}, {buffers[1], 256}};
            EntryPosition at;
            for (DmsStatus s = engine->First(walk.handle(), fields, &at); s == DmsStatus::Success;
                 s = engine->Next(walk.handle(), fields, &at)) {
                rows.push_back({static_cast<int32_t>(d), static_cast<int32_t>(at.ordinal), at.ref.first,
                                std::u16string(buffers[0], static_cast<size_t>(fields[0].length) / 2),
                                std::u16string(buffers[1], static_cast<size_t>(fields[1].length) / 2)});
                fields[0].length = fields[1].length = 256;
            }
        }
        EngineCursor compare(*engine, shelf.dictionaries[0]->fileId);
        EXPECT_EQ(compare.SelectIndex(index), DmsStatus::Success);
        auto key = [](const MergedRow& r, KeySegmentValue* out) {
            out[0] = {const_cast<char16_t*>(r.reading.data()), static_cast<int32_t>(r.reading.size() * 2)};
            out[1] = {const_cast<char16_t*>(r.word.data()), static_cast<int32_t>(r.word.size() * 2)};
        };
        std::stable_sort(rows.begin(), rows.end(), [&](const MergedRow& a, const MergedRow& b) {
            KeySegmentValue ka[2], kb[2];
            key(a, ka);
            key(b, kb);
            int32_t order = 0;
            engine->CompareKeys(compare.handle(), ka, kb, &order);
            return order < 0;
        });
        return rows;
    }

    // A list of `kind` holding every dictionary of the shelf.
    std::unique_ptr<WordList> ListOfShelf(int32_t kind) {
        auto list = std::make_unique<WordList>(&shelf, kind);
        for (RDFDictionary* d : shelf.dictionaries) list->AddDictionary(d);
        return list;
    }
    // The record reference of the entry at `ordinal` of the dictionary's index 101.
    uint32_t RefAt(RDFDictionary* dictionary, int32_t ordinal) {
        CCursor cursor(dictionary, kIndexReadingWord);
        cursor.MoveToOrdinal(ordinal);
        return cursor.position.ref.first;
    }
    // Adds the record at `ordinal` of the dictionary's index 101 as a stored entry.
    void AddRecord(WordList& list, RDFDictionary* dictionary, int32_t ordinal) {
        CCursor cursor(dictionary, kIndexReadingWord);
        cursor.MoveToOrdinal(ordinal);
        ASSERT_NE(list.AddCursorEntry(cursor), nullptr);
    }

    TestShelf shelf;
    std::vector<std::unique_ptr<RDFDictionary>> owned;
};
