// Dictionaries for translator tests: Debian's EDICT (and ENAMDICT) keys put
// into the reading (101) and kanji (102) indexes of files named as the shelf
// names them, a translated-words list over them and a translator.
#pragma once

#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/text/utf8.h"
#include "dictionary/tests/word_list_fixture.h"
#include "japanese/tests/reading_kanji_keys.h"
#include "japanese/trans_options.h"
#include "japanese/translator.h"

namespace ostrel::japanese {

struct HitRow {
    int32_t start, length;
    std::u16string reading, word;
    std::vector<int> tags;
};

// Dictionary files on a simulated disk, built once for a whole test suite
// (compiling the EDICT keys is the slow part).
struct TranslatorDictionaries {
    TranslatorDictionaries() : engine(std::make_unique<CDMS>(disk)), scope(app) {}
    ~TranslatorDictionaries() {
        shelf.dictionaries.clear();
        owned.clear();
    }

    // A file at `path` whose 101 holds (reading, word) and whose 102 holds
    // (word, reading) for each pair with a word; record i gets firstRef + i.
    // `reverse` words go into the reverse-translation index (106), word i
    // naming record firstRef + i.
    // With a `formatType`, each pair names a stored record of that format
    // holding "word reading", as a compiled file's keys do.
    RDFDictionary* Add(const std::u16string& path, const std::vector<KeyPair>& keys, uint32_t firstRef = 1,
                       const std::vector<std::u16string>& reverse = {}, uint16_t formatType = 0) {
        int32_t fileId = 0;
        uint32_t cursor = 0;
        EXPECT_EQ(engine->CreateFile(path, DictionarySchemaText), DmsStatus::Success);
        EXPECT_EQ(engine->OpenFile(path, 1, DictionarySchemaText, &fileId), DmsStatus::Success);
        EXPECT_EQ(engine->OpenCursor(fileId, &cursor), DmsStatus::Success);
        std::vector<uint32_t> refs;
        if (formatType != 0) {
            EXPECT_EQ(engine->SelectRecordType(cursor, 1), DmsStatus::Success);
            for (const KeyPair& pair : keys) {
                const std::u16string text = pair.second + u" " + pair.first;
                std::vector<uint8_t> record(kRecordHeaderBytes + text.size() * 2);
                record[8] = static_cast<uint8_t>(formatType);
                std::memcpy(record.data() + kRecordHeaderBytes, text.data(), text.size() * 2);
                uint32_t position = 0;
                EXPECT_EQ(engine->WriteData(cursor, record.data(), static_cast<uint32_t>(record.size()), &position),
                          DmsStatus::Success);
                refs.push_back(position);
            }
        }
        EXPECT_EQ(LoadReadingAndKanjiKeys(*engine, cursor, keys, firstRef, refs), 0);
        if (!reverse.empty()) {
            EXPECT_EQ(engine->SelectIndex(cursor, kIndexTranslationWords), DmsStatus::Success);
            for (size_t i = 0; i < reverse.size(); ++i) {
                std::u16string word = reverse[i];
                uint16_t number = 0;
                KeySegmentValue key[2] = {{word.data(), static_cast<int32_t>(word.size() * 2)}, {&number, 2}};
                EXPECT_EQ(engine->InsertKey(cursor, key, RecordRef{firstRef + static_cast<uint32_t>(i), 0}),
                          DmsStatus::Success);
            }
        }
        EXPECT_EQ(engine->CloseFile(fileId), DmsStatus::Success);
        return Open(path);
    }
    // The file at `path`, already on the disk, opened and put on the shelf.
    RDFDictionary* Open(const std::u16string& path) {
        auto dictionary = std::make_unique<RDFDictionary>(0, *engine);
        dictionary->File().SetPath(path.c_str());
        EXPECT_EQ(dictionary->Open(2), 0u);
        owned.push_back(std::move(dictionary));
        shelf.dictionaries.push_back(owned.back().get());
        return owned.back().get();
    }

    SimulatedDisk disk;
    std::unique_ptr<CDMS> engine;
    FakeAppContext app;
    ScopedAppContext scope;
    TestShelf shelf;
    std::vector<std::unique_ptr<RDFDictionary>> owned;
};

// EDICT keys: every `stride`-th line (none for 0), plus every line whose
// reading or headword begins with a character of `texts` (what the texts
// can reach, keeping the files small).
inline std::vector<KeyPair> EdictSlice(size_t stride, std::u16string_view texts) {
    std::vector<KeyPair> all = EdictKeys("edict", 1), slice;
    auto reachable = [&](const std::u16string& s) {
        if (s.empty()) return false;
        char16_t c = s[0];
        char16_t other = c >= 0x3041 && c <= 0x3096 ? c + 0x60 : c >= 0x30A1 && c <= 0x30F6 ? c - 0x60 : c;
        return texts.find(c) != std::u16string_view::npos || texts.find(other) != std::u16string_view::npos;
    };
    for (size_t i = 0; i < all.size(); ++i)
        if ((stride > 0 && i % stride == 0) || reachable(all[i].first) || reachable(all[i].second))
            slice.push_back(all[i]);
    return slice;
}

class TranslatorTest : public ::testing::Test {
protected:
    static void TearDownTestSuite() { dictionaries.reset(); }
    // Builds the suite's dictionaries on first use.
    template <typename Build>
    static TranslatorDictionaries& Dictionaries(Build build) {
        if (!dictionaries) {
            dictionaries = std::make_unique<TranslatorDictionaries>();
            build(*dictionaries);
        }
        return *dictionaries;
    }
    void TearDown() override {
        for (RDFDictionary* d : dictionaries->shelf.dictionaries) d->flags &= ~kDictionaryNotTranslated;
    }

    void MakeList() {
        list = std::make_unique<WordList>(&dictionaries->shelf, kListTranslatedWords);
        for (RDFDictionary* d : dictionaries->shelf.dictionaries) list->AddDictionary(d);
        translator = std::make_unique<CTranslate>(options);
    }

    // The listed rows after a translation.
    std::vector<HitRow> Rows() const {
        std::vector<HitRow> rows;
        for (int32_t r = 0; r < list->RowCount(); ++r) rows.push_back(RowOf(list->EntryAt(list->EntryOfRow(r))));
        return rows;
    }
    // Every entry, listed or not (hidden ones are purged or flagged).
    std::vector<HitRow> Entries(bool withHidden = false) const {
        std::vector<HitRow> rows;
        for (int32_t i = 0; i < list->EntryCount(); ++i)
            if (withHidden || (list->EntryAt(i).flags & kEntryDeleted) == 0) rows.push_back(RowOf(list->EntryAt(i)));
        return rows;
    }
    static HitRow RowOf(const WordListEntry& e) {
        HitRow row{e.matchStart, e.matchLength, std::u16string(e.reading, static_cast<size_t>(e.readingLength)),
                   std::u16string(e.word, static_cast<size_t>(e.wordLength)), {}};
        for (uint8_t t : e.tags) {
            if (t == 0) break;
            row.tags.push_back(t);
        }
        return row;
    }
    // The first entry with this span and dictionary-form text (reading or word).
    const HitRow* Find(const std::vector<HitRow>& rows, int32_t start, int32_t length, std::u16string_view form) const {
        for (const HitRow& r : rows)
            if (r.start == start && r.length == length && (r.reading == form || r.word == form)) return &r;
        return nullptr;
    }

    static inline std::unique_ptr<TranslatorDictionaries> dictionaries;
    CTransOptions options;
    std::unique_ptr<WordList> list;
    std::unique_ptr<CTranslate> translator;
};

inline std::string Describe(const std::vector<HitRow>& rows) {
    std::string out;
    for (const HitRow& r : rows) {
        out += std::to_string(r.start) + "+" + std::to_string(r.length) + " " + Utf16ToUtf8(r.reading) + " " +
               Utf16ToUtf8(r.word) + " [";
        for (int t : r.tags) out += std::to_string(t) + ",";
        out += "]\n";
    }
    return out;
}

}  // namespace ostrel::japanese
