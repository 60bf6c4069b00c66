// Shared set-up for dictionary tests: an engine over a simulated disk, a
// quiet application context, and dictionary files made by hand with the
// dictionary schema (keys and property records put directly).
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/tests/fake_app_context.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/dictionary_shelf.h"
#include "dictionary/engine_cursor.h"
#include "storage/dms.h"
#include "storage/simulated_disk.h"

// A shelf of dictionaries linked by hand that records what is asked of it;
// `editedRecord` stands for an article an editor has open.
class FakeShelf : public IDictionaryShelf {
public:
    void Add(RDFDictionary& d) {
        d.shelf = this;
        (last_ ? last_->next : first_) = &d;
        d.previous = last_;
        last_ = &d;
    }
    RDFDictionary* FirstDictionary() const override { return first_; }
    bool ActivateEditorForRecord(const CDictionary&, uint32_t recordId) override {
        if (recordId != editedRecord) return false;
        ++activations;
        return true;
    }
    void SaveListPositions() override { ++savedPositions; }
    void NotifyDictionaryChanged(CDictionary&) override { ++changes; }

    uint32_t editedRecord = 0;
    int activations = 0, savedPositions = 0, changes = 0;

private:
    RDFDictionary* first_ = nullptr;
    RDFDictionary* last_ = nullptr;
};

class DictionaryTest : public ::testing::Test {
protected:
    static constexpr const char16_t* kPath = u"C:\\Dictionaries\\sample.qdx";

    DictionaryTest() : engine(std::make_unique<CDMS>(disk)), scope(app) {}

    // Creates `path` with the dictionary schema and keeps it open in mode 1
    // until FinishFile.
    void CreateDictionaryFile(const std::u16string& path = kPath) {
        ASSERT_EQ(engine->CreateFile(path, DictionarySchemaText), DmsStatus::Success);
        ASSERT_EQ(engine->OpenFile(path, 1, DictionarySchemaText, &fileId), DmsStatus::Success);
        ASSERT_EQ(engine->OpenCursor(fileId, &cursor), DmsStatus::Success);
    }
    void FinishFile() {
        EXPECT_EQ(engine->CloseFile(fileId), DmsStatus::Success);
        fileId = 0;
        cursor = 0;
    }
    void PutProperty(int32_t id, std::u16string_view text) {
        ASSERT_EQ(PutDictionaryProperty(*engine, cursor, id, text), DmsStatus::Success);
    }
    // Inserts one entry into a text index of one or two UString segments
    // (101, 102, 121) or UString + Word (106).
    void InsertKey(int32_t index, std::u16string first, std::u16string second = {}, uint32_t position = 1) {
        ASSERT_EQ(engine->SelectIndex(cursor, index), DmsStatus::Success);
        uint16_t word = 0;
        KeySegmentValue key[2] = {{first.data(), static_cast<int32_t>(first.size() * 2)},
                                  {second.data(), static_cast<int32_t>(second.size() * 2)}};
        if (index == kIndexTranslationWords) key[1] = {&word, 2};
        ASSERT_EQ(engine->InsertKey(cursor, key, RecordRef{position, 0}), DmsStatus::Success);
    }
    // An entry of index 0 (one Long) or 3 (three Longs).
    void InsertLongKey(int32_t index, std::array<int32_t, 3> v, uint32_t position = 1) {
        ASSERT_EQ(engine->SelectIndex(cursor, index), DmsStatus::Success);
        KeySegmentValue key[3] = {{&v[0], 4}, {&v[1], 4}, {&v[2], 4}};
        ASSERT_EQ(engine->InsertKey(cursor, key, RecordRef{position, 0}), DmsStatus::Success);
    }
    // Stores an article record {0, 0, format type} + text and returns its position.
    uint32_t WriteArticle(uint16_t formatType, std::u16string_view text) {
        std::vector<uint8_t> block = ArticleRecord(formatType, text);
        uint32_t position = 0;
        EXPECT_EQ(engine->WriteData(cursor, block.data(), static_cast<uint32_t>(block.size()), &position),
                  DmsStatus::Success);
        return position;
    }
    static std::vector<uint8_t> ArticleRecord(uint16_t formatType, std::u16string_view text) {
        std::vector<uint8_t> block(kRecordHeaderBytes + text.size() * 2, 0);
        block[8] = static_cast<uint8_t>(formatType);  // little-endian, as both builds are
        std::memcpy(block.data() + kRecordHeaderBytes, text.data(), text.size() * 2);
        return block;
    }
    std::unique_ptr<RDFDictionary> MakeDictionary(const std::u16string& path = kPath, uint32_t flags = 0) {
        auto dictionary = std::make_unique<RDFDictionary>(flags, *engine);
        dictionary->File().SetPath(path.c_str());
        return dictionary;
    }

    SimulatedDisk disk;
    std::unique_ptr<CDMS> engine;
    FakeAppContext app;
    ScopedAppContext scope;
    int32_t fileId = 0;
    uint32_t cursor = 0;
};
