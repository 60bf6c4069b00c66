// List cells over a dictionary of real EDICT entries (every 40th line of
// Debian's file, stored as records with their reading and writing keys):
// every list kind the file can fill, every column, read through the lists'
// own cursors and the EDICT parser. The keys and readings of the source line
// are the oracle; every cell stays within 254 units.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "article/list_cells.h"
#include "article/list_entry_texts.h"
#include "article/tests/parsed_record_fixture.h"
#include "common/text/kana_transcription.h"
#include "dictionary/list_view_model.h"
#include "dictionary/tests/word_list_fixture.h"
#include "import/import_registration.h"
// After the fixtures: on Windows it brings the API names that are macros there.
#include "common/collation/collator.h"

namespace {

std::u16string Shown(const ListCell& cell) {
    std::u16string text(cell.text, static_cast<size_t>(cell.length));
    if (!text.empty() && text.back() == u'\n') text.pop_back();
    return text;
}

class ListCellsRealData : public WordListTest {
protected:
    void SetUp() override {
        RegisterImportParsers();
        previous = SetArticleContext(&context);
        lines = EdictLines("edict", 40);
        keys = EdictKeys("edict", 40);
        if (lines.empty()) GTEST_SKIP() << "Debian's edict is not installed";
        CreateDictionaryFile();
        for (size_t i = 0; i < lines.size(); ++i) {
            const uint32_t position = WriteArticle(3, lines[i]);
            const auto& [reading, word] = keys[i];
            InsertKey(kIndexReadingWord, reading, word, position);
            if (word.empty()) InsertKey(kIndexWordReading, reading, {}, position);
            else InsertKey(kIndexWordReading, word, reading, position);
            lineOf[position] = i;
        }
        FinishFile();
        dictionary = OpenOnShelf(kPath);
    }
    void TearDown() override { SetArticleContext(previous); }

    ListCell Cell(WordList& list, int32_t row, int32_t column) {
        ListCell cell;
        cell.columnKind = column;
        EXPECT_EQ(GetCellText(list, row, cell), 0);
        EXPECT_LE(cell.length, kCellTextLimit);
        EXPECT_EQ(cell.text[cell.length], 0);
        return cell;
    }
    // The first reading of the row's source line, without its markers.
    std::u16string SourceReading(uint32_t recordId) {
        const std::u16string& reading = keys[lineOf.at(recordId)].first;
        return reading.substr(0, reading.find_first_of(u";("));
    }

    FakeArticleContext context;
    IArticleContext* previous = nullptr;
    std::vector<std::u16string> lines;
    std::vector<KeyPair> keys;
    std::map<uint32_t, size_t> lineOf;
    RDFDictionary* dictionary = nullptr;
};

TEST_F(ListCellsRealData, KeyListsShowTheirFieldsAndTheRecordsColumns) {
    for (int32_t kind : {kListReadings, kListWritings}) {
        auto list = ListOfShelf(kind);
        ASSERT_EQ(list->RowCount(), static_cast<int32_t>(lines.size()));
        for (int32_t row = 0; row < list->RowCount(); ++row) {
            CCursor* cursor = list->GetEntry(row);
            ASSERT_NE(cursor, nullptr);
            const uint32_t id = cursor->RecordId();
            const auto& [reading, word] = keys[lineOf.at(id)];
            ListCell readingCell = Cell(*list, row, 2), wordCell = Cell(*list, row, 3);
            if (kind == kListReadings) {
                EXPECT_EQ(Shown(readingCell), reading);
                EXPECT_EQ(Shown(wordCell), word);
            } else if (!word.empty()) {
                EXPECT_EQ(Shown(wordCell), word);
                EXPECT_EQ(Shown(readingCell), reading);
            }
            EXPECT_FALSE(Shown(Cell(*list, row, 4)).empty()) << "every EDICT line has a sense";
            const std::string number = std::to_string(id);
            EXPECT_EQ(Shown(Cell(*list, row, 30)), std::u16string(number.begin(), number.end()));
            for (int32_t column = 1; column <= 30; ++column) Cell(*list, row, column);
        }
        InstallListCellTexts();  // the list views' hook answers the same text
        EXPECT_EQ(ListViewModel::cellText(*list, 10, 3), Shown(Cell(*list, 10, 3)));
        ListViewModel::cellText = nullptr;
    }
}

// Stored rows read their record through the dictionary's cursor: the
// formatter's reading column, the prefix of inflected words and the
// transcription, all within the cell.
TEST_F(ListCellsRealData, StoredRowsShowTheFormattersReadingWithPrefixAndTranscription) {
    auto translated = ListOfShelf(kListTranslatedWords);
    auto selected = ListOfShelf(kListSelected);
    const int32_t count = std::min<int32_t>(static_cast<int32_t>(lines.size()), 1500);
    for (int32_t ordinal = 0; ordinal < count; ++ordinal) {
        AddRecord(*translated, dictionary, ordinal);
        AddRecord(*selected, dictionary, ordinal);
    }
    ASSERT_EQ(translated->RowCount(), count);
    for (int32_t entry = 0; entry < translated->EntryCount(); ++entry) {
        WordListEntry& e = translated->EntryAt(entry);
        e.indexId = kIndexWordReading;
        e.tags[0] = static_cast<uint8_t>(entry % 2 == 0 ? 5 : 3);  // every other word inflected
    }
    for (int32_t row = 0; row < count; ++row) {
        const uint32_t id = translated->RowEntry(row)->recordId;
        const std::u16string reading = SourceReading(id);
        const bool inflected = translated->RowEntry(row)->tags[0] == 5;

        context.flags = kEnglishInterfaceFlag;
        const std::u16string shown = Shown(Cell(*translated, row, 2));
        const std::u16string prefix = inflected ? u"from " : u"";
        ASSERT_EQ(shown.substr(0, prefix.size() + reading.size()), prefix + reading) << "record " << id;
        EXPECT_EQ(Shown(Cell(*selected, row, 2)).substr(0, reading.size()), reading);

        context.flags = kEnglishInterfaceFlag | kTransliterateInLists | kTranscribeLatin;
        const std::u16string letters = Shown(Cell(*translated, row, 2));
        ASSERT_EQ(letters.substr(0, prefix.size()), prefix);
        for (char16_t c : letters) EXPECT_FALSE(c >= u'\u3041' && c <= u'\u3096') << "hiragana left in record " << id;

        context.flags = 0;
        for (int32_t column = 1; column <= 30; ++column) {
            Cell(*translated, row, column);
            Cell(*selected, row, column);
        }
    }
}

// A loaded list's entries carry only their dictionary and record id. Sorting
// by the reading or the word column reads each record's texts as the list
// shows them and orders the rows by them; sort mode 0 gives the loaded order back.
TEST_F(ListCellsRealData, ALoadedListSortsByTheTextsOfItsRecords) {
    auto selected = ListOfShelf(kListSelected);
    selected->entryTextReader = &ReadEntryColumnTexts;
    std::vector<uint32_t> loaded;
    for (auto at = lineOf.rbegin(); at != lineOf.rend() && loaded.size() < 400; ++at) loaded.push_back(at->first);
    for (uint32_t id : loaded) {
        WordListEntry entry{};
        entry.flags = kEntryListed;
        entry.dictionary = dictionary;
        entry.recordId = id;
        ASSERT_NE(selected->AppendRaw(entry), nullptr);
    }
    selected->RebuildVisibleIndex();
    auto rowIds = [&] {
        std::vector<uint32_t> ids;
        for (int32_t row = 0; row < selected->RowCount(); ++row) ids.push_back(selected->RowEntry(row)->recordId);
        return ids;
    };
    ICollator* collator = dictionary->Collator();
    ASSERT_NE(collator, nullptr);
    auto order = [&](std::u16string_view a, std::u16string_view b) {
        return collator->Compare(a.data(), static_cast<uint32_t>(a.size()), b.data(), static_cast<uint32_t>(b.size()), 0, 1);
    };
    for (int32_t mode : {2, 3}) {
        selected->sortMode = mode;
        selected->Sort();
        std::vector<uint32_t> ids = rowIds();
        ASSERT_TRUE(std::is_permutation(ids.begin(), ids.end(), loaded.begin(), loaded.end()));
        EXPECT_NE(ids, loaded) << "mode " << mode << ": the rows kept the loaded order";
        for (int32_t row = 0; row < selected->RowCount(); ++row) {
            const WordListEntry& e = *selected->RowEntry(row);
            const std::u16string reading(e.reading, static_cast<size_t>(e.readingLength));
            const std::u16string word(e.word, static_cast<size_t>(e.wordLength));
            ASSERT_EQ(reading.substr(0, SourceReading(e.recordId).size()), SourceReading(e.recordId)) << e.recordId;
            if (!keys[lineOf.at(e.recordId)].second.empty()) {
                EXPECT_FALSE(word.empty()) << e.recordId;
            }
            if (row == 0) continue;
            const WordListEntry& p = *selected->RowEntry(row - 1);
            const std::u16string_view before = mode == 2 ? std::u16string_view(p.reading, p.readingLength)
                                                         : std::u16string_view(p.word, p.wordLength);
            const std::u16string_view here = mode == 2 ? std::u16string_view(reading) : std::u16string_view(word);
            EXPECT_LE(order(before, here), 0) << "mode " << mode << " row " << row;
        }
    }
    selected->sortMode = 0;
    selected->Sort();
    EXPECT_EQ(rowIds(), loaded);
}

}  // namespace
