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

class WordListTest : public DictionaryTest {
protected:
    // A dictionary file at `path` whose index `index` holds `keys` in bulk
    // with record references (firstRef + i, 0); opened read-only and put on the shelf.
    RDFDictionary* AddSynthetic(const std::u16string& path, const std::vector<KeyPair>& keys,
                                int32_t index = kIndexReadingWord, uint32_t firstRef = 1) {
        CreateDictionaryFile(path);
        EXPECT_EQ(engine->SelectIndex(cursor, index), DmsStatus::Success);
        EXPECT_EQ(engine->BeginBulkLoad(cursor), DmsStatus::Success);
        for (size_t i = 0; i < keys.size(); ++i) {
            std::u16string first = keys[i].first, second = keys[i].second;
            uint16_t word = 0;
            KeySegmentValue key[2] = {{first.data(), static_cast<int32_t>(first.size() * 2)},
                                      {second.data(), static_cast<int32_t>(second.size() * 2)}};
            if (index == kIndexTranslationWords) key[1] = {&word, 2};
            EXPECT_EQ(engine->InsertKey(cursor, key, RecordRef{firstRef + static_cast<uint32_t>(i), 0}),
                      DmsStatus::Success);
        }
        EXPECT_EQ(engine->EndBulkLoad(cursor), DmsStatus::Success);
        FinishFile();
        return OpenOnShelf(path);
    }
    RDFDictionary* OpenOnShelf(const std::u16string& path) {
        owned.push_back(MakeDictionary(path));
        EXPECT_EQ(owned.back()->Open(2), 0u);
        shelf.dictionaries.push_back(owned.back().get());
        return owned.back().get();
    }

    // A list of `kind` holding every dictionary of the shelf.
    std::unique_ptr<WordList> ListOfShelf(int32_t kind) {
        auto list = std::make_unique<WordList>(&shelf, kind);
        for (RDFDictionary* d : shelf.dictionaries) list->AddDictionary(d);
        return list;
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
