// Saved word lists through an emulation of the profile functions: the
// numbering of files and entries, the read limits, entries of dictionaries
// missing for now kept across load and save, a dictionary that does not open
// taken off the shelf again, a save that fails midway, and the question
// asked before a changed list is replaced.
#include "dictionary/saved_word_list.h"

#include <map>
#include <set>

#include "dictionary/format_detection.h"
#include "dictionary/tests/word_list_fixture.h"

namespace {

using Sections = std::map<std::pair<std::u16string, std::u16string>, std::u16string>;

// One ini file per path in memory; a write budget stands for a crash midway.
class MemoryListFiles : public IListFileStore {
public:
    struct Store : IProfileStore {
        Store(MemoryListFiles& o, Sections& v) : owner(o), values(v) {}
        std::u16string Read(std::u16string_view s, std::u16string_view k) const override {
            if (s == u"Entries") ++owner.entryKeyReads;
            auto found = values.find({std::u16string(s), std::u16string(k)});
            return found == values.end() ? std::u16string() : found->second;
        }
        bool Write(std::u16string_view s, std::u16string_view k, std::u16string_view v) override {
            if (owner.writeBudget-- == 0) return false;
            values[{std::u16string(s), std::u16string(k)}] = std::u16string(v);
            return true;
        }
        MemoryListFiles& owner;
        Sections& values;
    };
    std::unique_ptr<IProfileStore> OpenForReading(std::u16string_view p) override {
        return std::make_unique<Store>(*this, files[std::u16string(p)]);
    }
    std::vector<std::pair<std::u16string, std::u16string>> ReadSection(std::u16string_view p,
                                                                       std::u16string_view section) override {
        ++sectionReads;
        std::vector<std::pair<std::u16string, std::u16string>> lines;
        for (const auto& [key, value] : files[std::u16string(p)])
            if (key.first == section) lines.emplace_back(key.second, value);
        return lines;
    }
    std::unique_ptr<IProfileStore> CreateForWriting(std::u16string_view p) override {
        if (unwritableFolder.size() > 0 && std::u16string_view(p).starts_with(unwritableFolder)) return nullptr;
        created.emplace_back(p);
        files[std::u16string(p)] = {};
        return OpenForReading(p);
    }
    bool FileExists(std::u16string_view p) override {
        return files.count(std::u16string(p)) + storeDatabases.count(std::u16string(p)) != 0;
    }
    bool Replace(std::u16string_view from, std::u16string_view to) override {
        files[std::u16string(to)] = files[std::u16string(from)];
        Delete(from);
        return true;
    }
    void Delete(std::u16string_view p) override { files.erase(std::u16string(p)); }
    uint32_t FormatFlags(std::u16string_view p) override {
        return storeDatabases.count(std::u16string(p)) ? kFormatStoreDatabase : 0;
    }
    std::u16string ChooseFile(bool save, std::u16string_view, std::u16string_view folder) override {
        dialogs.push_back({save, std::u16string(folder)});
        return chosen;
    }
    std::u16string LastFailure() override { return u"The system cannot find the path specified."; }
    // The file's sections as one text.
    std::u16string Stamp(std::u16string_view p) override {
        auto found = files.find(std::u16string(p));
        if (found == files.end() || stampless) return {};
        std::u16string stamp;
        for (const auto& [key, value] : found->second) stamp += key.first + u"/" + key.second + u"=" + value + u";";
        return stamp;
    }
    std::u16string RefusalsToldFor(std::u16string_view p) override { return told[std::u16string(p)]; }
    void NoteRefusalsTold(std::u16string_view p, std::u16string_view stamp) override {
        told[std::u16string(p)] = std::u16string(stamp);
    }

    std::map<std::u16string, Sections> files;
    std::set<std::u16string> storeDatabases;
    int64_t writeBudget = -1;  // negative: no limit
    std::u16string chosen;
    std::vector<std::pair<bool, std::u16string>> dialogs;
    std::u16string unwritableFolder;  // a removed drive: nothing is created below it
    std::map<std::u16string, std::u16string> told;
    bool stampless = false;  // a file whose state the system does not give
    int sectionReads = 0;
    std::vector<std::u16string> created;  // files made to be written, in order
    int entryKeyReads = 0;  // entries read one key at a time
};

constexpr const char16_t* kList = u"C:\\Data\\Selected.oxm";

// A list file's sections: File1.. then Entry1.. in order.
Sections ListFile(std::vector<std::u16string> dictionaries, std::vector<std::u16string> entries) {
    Sections values;
    auto numbered = [](const char* name, size_t n) {
        std::string key = name + std::to_string(n + 1);
        return std::u16string(key.begin(), key.end());
    };
    for (size_t i = 0; i < dictionaries.size(); ++i) values[{u"Dictionaries", numbered("File", i)}] = dictionaries[i];
    for (size_t i = 0; i < entries.size(); ++i) values[{u"Entries", numbered("Entry", i)}] = entries[i];
    return values;
}

class SavedWordListTest : public WordListTest {
protected:
    void SetUp() override {
        one = AddSynthetic(u"C:\\D\\one.qdx", {{u"a", u""}, {u"b", u""}, {u"c", u""}}, kIndexReadingWord,
                           kStoredRecords);
        two = AddSynthetic(u"C:\\D\\two.qdx", {{u"x", u""}, {u"y", u""}}, kIndexReadingWord, kStoredRecords);
        app.dataFolder = u"C:\\Data";
    }
    // "n,id": the list file's value for the record at `ordinal` of `dictionary`, as dictionary n.
    std::u16string Entry(int32_t n, RDFDictionary* dictionary, int32_t ordinal) {
        return Text(std::to_string(n) + "," + std::to_string(RefAt(dictionary, ordinal)));
    }
    static std::u16string Text(const std::string& text) { return std::u16string(text.begin(), text.end()); }

    RDFDictionary* one = nullptr;
    RDFDictionary* two = nullptr;
    MemoryListFiles files;
};

TEST_F(SavedWordListTest, SavingNumbersDictionariesByFirstUseAndEntriesInStoredOrder) {
    auto list = ListOfShelf(kListSelected);
    AddRecord(*list, two, 1);
    AddRecord(*list, one, 2);
    AddRecord(*list, two, 0);
    EXPECT_EQ(list->SaveFile(files, kList), kListSaved);
    EXPECT_EQ(files.files[kList], ListFile({u"C:\\D\\two.qdx", u"C:\\D\\one.qdx"},
                                           {Entry(1, two, 1), Entry(2, one, 2), Entry(1, two, 0)}));
    EXPECT_EQ(files.files.size(), 1u);  // no temporary file left
    EXPECT_FALSE(list->flags & kListModified);
    EXPECT_EQ(list->fileName, kList);

    auto loaded = ListOfShelf(kListSelected);
    loaded->LoadFile(files, kList);
    ASSERT_EQ(loaded->RowCount(), 3);
    EXPECT_EQ(loaded->RowEntry(1)->dictionary, one);
    EXPECT_EQ(loaded->RowEntry(1)->recordId, RefAt(one, 2));
    EXPECT_TRUE(app.messages.empty());
}

TEST_F(SavedWordListTest, LoadingTakesAtMost2000Entries) {
    std::vector<std::u16string> entries;
    for (int i = 1; i <= 3000; ++i) entries.push_back(Entry(1, one, i % 3));
    files.files[kList] = ListFile({u"C:\\D\\one.qdx"}, entries);
    auto list = ListOfShelf(kListSelected);
    list->LoadFile(files, kList);
    EXPECT_EQ(list->EntryCount(), 2000);
    EXPECT_EQ(list->EntryAt(1).recordId, RefAt(one, 2));
    EXPECT_EQ(list->EntryAt(1999).recordId, RefAt(one, 2000 % 3));
    EXPECT_TRUE(app.messages.empty());
}

// A damaged list: entries that are no "n,id" (a number too long for its
// field, a third number), name no File, or give an id that is no record of
// their dictionary (between records, before the first data page, past the
// file's end) are left out and named once, with the list's path; the good
// entries load whole, and the intact dictionaries note no refusal and read
// on as before. The same file loaded again says nothing; changed, it does.
TEST_F(SavedWordListTest, EntriesThatStandForNoRecordAreRefusedNamingTheListAndTheEntry) {
    const std::u16string between = Text("1," + std::to_string(RefAt(one, 1) + 2));
    const std::u16string third = Entry(1, one, 1) + u",7";
    files.files[kList] = ListFile(
        {u"C:\\D\\one.qdx", u"C:\\D\\two.qdx"},
        {Entry(1, one, 0), u"1;4", between, Entry(2, two, 1), u"2,7", u"3,5", u"1,2000000000", u"0,5", Entry(1, one, 2),
         third, u"1,99999999999", u"1,4294967295", u"2147483648,1"});
    auto list = ListOfShelf(kListSelected);
    list->LoadFile(files, kList);
    ASSERT_EQ(list->RowCount(), 3);
    EXPECT_EQ(list->EntryAt(0).recordId, RefAt(one, 0));
    EXPECT_EQ(list->EntryAt(1).dictionary, two);
    EXPECT_EQ(list->EntryAt(1).recordId, RefAt(two, 1));
    EXPECT_EQ(list->EntryAt(2).recordId, RefAt(one, 2));
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Entries of the list C:\\Data\\Selected.oxm stand for no article of their "
                                    u"dictionary and were left out:\nEntry2=1;4\nEntry3=" + between +
                                    u"\nEntry5=2,7\nEntry6=3,5\nEntry7=1,2000000000\nEntry8=0,5\nEntry10=" + third +
                                    u"\nEntry11=1,99999999999\nEntry12=1,4294967295\nEntry13=2147483648,1");
    EXPECT_EQ(app.messages[0].caption, u"Cannot Read a File");
    // Every row's record is read (as its cell and article are): no refusal.
    for (int32_t row = 0; row < list->RowCount(); ++row) {
        CCursor* cursor = list->GetEntry(row);
        ASSERT_NE(cursor, nullptr);
        cursor->LoadArticle();
    }
    for (RDFDictionary* intact : {one, two}) {
        EXPECT_EQ(intact->ReadRefusal(), DmsStatus::Success);
        EXPECT_FALSE(intact->ReportReadRefusal());
    }
    EXPECT_EQ(app.messages.size(), 1u);
    EXPECT_FALSE(list->flags & kListModified);

    list->LoadFile(files, kList);
    EXPECT_EQ(list->RowCount(), 3);
    EXPECT_EQ(app.messages.size(), 1u);
    files.files[kList][{u"Entries", u"Entry13"}] = u"1,3";
    list->LoadFile(files, kList);
    ASSERT_EQ(app.messages.size(), 2u);
    EXPECT_TRUE(app.messages[1].text.ends_with(u"\nEntry13=1,3")) << std::string(app.messages[1].text.begin(), app.messages[1].text.end());
    // A file whose state cannot be told apart is told at every load.
    files.stampless = true;
    list->LoadFile(files, kList);
    list->LoadFile(files, kList);
    EXPECT_EQ(app.messages.size(), 4u);
}

// One bad entry alone among good ones is named too; its value, 511 units
// without a blank, is quoted by its start, so the box stays narrow.
TEST_F(SavedWordListTest, ASingleBadEntryIsNamedAndALongOneQuotedByItsStart) {
    std::u16string longValue = u"1,";
    while (longValue.size() < kListFileValueUnits) longValue += u"98765";
    longValue.resize(kListFileValueUnits);
    files.files[kList] = ListFile({u"C:\\D\\one.qdx"}, {Entry(1, one, 0), longValue, Entry(1, one, 1)});
    auto list = ListOfShelf(kListSelected);
    list->LoadFile(files, kList);
    EXPECT_EQ(list->RowCount(), 2);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Entries of the list C:\\Data\\Selected.oxm stand for no article of their "
                                    u"dictionary and were left out:\nEntry2=" +
                                        longValue.substr(0, kListFileQuotedUnits) + u"\u2026");
}

// 200,000 entries, nearly all of them damage: the Entries section is read in
// one pass, not key by key, and reading stops once 2000 entries were
// refused, saying where; the good entries before that point load.
TEST_F(SavedWordListTest, AListOfThousandsOfBadEntriesIsReadOnceAndNoFurtherThanABound) {
    std::vector<std::u16string> entries;
    for (int i = 0; i < 200000; ++i) entries.push_back(i % 1000 == 0 ? Entry(1, one, i / 1000 % 3) : u"x" + Text(std::to_string(i)));
    files.files[kList] = ListFile({u"C:\\D\\one.qdx"}, entries);
    auto list = ListOfShelf(kListSelected);
    list->LoadFile(files, kList);
    EXPECT_EQ(files.sectionReads, 1);
    EXPECT_EQ(files.entryKeyReads, 0);
    // Entry 2003 is the 2000th refused one: 1999 bad entries go with every 1000.
    EXPECT_EQ(list->RowCount(), 3);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_TRUE(app.messages[0].text.ends_with(u"\nEntry11=x10\n...\nThe list was read up to Entry2003: too many of "
                                               u"its entries stand for no article, and the entries after it were not read."))
        << std::string(app.messages[0].text.begin(), app.messages[0].text.end());
    EXPECT_EQ(files.files[kList].size(), 200001u);  // the file is left as it was
}

TEST(ListFileEntry, ReadsTwoNumbersInTheirRangesAndNothingElse) {
    int32_t n = 0;
    uint32_t id = 0;
    EXPECT_TRUE(ParseListFileEntry(u"1,4294967295", &n, &id));
    EXPECT_EQ(id, 4294967295u);
    EXPECT_TRUE(ParseListFileEntry(u" 2, 17 ", &n, &id));
    EXPECT_EQ(n, 2);
    EXPECT_EQ(id, 17u);
    for (std::u16string_view bad : {u"1,4294967296", u"1,99999999999", u"2147483648,1", u"1,5,7", u"1,5x", u"1,", u",5",
                                    u"1 5", u"0,5", u"1,0", u"-1,5", u"1,-5", u""})
        EXPECT_FALSE(ParseListFileEntry(bad, &n, &id)) << std::string(bad.begin(), bad.end());
}

TEST_F(SavedWordListTest, EntriesOfAMissingDictionarySurviveLoadAndSave) {
    files.files[kList] = ListFile({u"C:\\D\\one.qdx", u"E:\\Unplugged\\gone.qdx", u"C:\\D\\two.qdx"},
                                  {u"2,7", Entry(1, one, 1), Entry(3, two, 0), u"2,8"});
    Sections before = files.files[kList];
    auto list = ListOfShelf(kListSelected);
    list->LoadFile(files, kList);
    EXPECT_TRUE(list->flags & kListDictionaryMissing);
    EXPECT_EQ(list->RowCount(), 2);
    EXPECT_EQ(files.files[kList], before);  // loading never rewrites the file
    EXPECT_TRUE(app.messages.empty());

    AddRecord(*list, two, 1);
    list->SaveFile(files, kList);
    EXPECT_EQ(files.files[kList], ListFile({u"C:\\D\\one.qdx", u"C:\\D\\two.qdx", u"E:\\Unplugged\\gone.qdx"},
                                           {Entry(1, one, 1), Entry(2, two, 0), Entry(2, two, 1), u"3,7", u"3,8"}));
}

TEST_F(SavedWordListTest, ADictionaryThatDoesNotOpenIsTakenOffTheShelfAgain) {
    files.storeDatabases = {u"C:\\D\\broken.qdx", u"C:\\D\\three.qdx"};
    shelf.makeDictionary = [this](uint32_t flags, std::u16string path) { return MakeDictionary(path, flags); };
    files.files[kList] = ListFile({u"C:\\D\\broken.qdx"}, {u"1,4"});  // sniffs as a database, does not open
    auto list = ListOfShelf(kListSelected);
    list->LoadFile(files, kList);
    EXPECT_EQ(shelf.deleted, 1);
    EXPECT_EQ(shelf.dictionaries.size(), 2u);

    // One that opens stays on the shelf.
    RDFDictionary* three = AddSynthetic(u"C:\\D\\three.qdx", {{u"q", u""}}, kIndexReadingWord, kStoredRecords);
    const std::u16string entry = Entry(1, three, 0);
    shelf.dictionaries.back()->Close();
    shelf.dictionaries.pop_back();
    files.files[kList] = ListFile({u"C:\\D\\three.qdx"}, {entry});
    list->LoadFile(files, kList);
    ASSERT_EQ(shelf.dictionaries.size(), 3u);
    EXPECT_EQ(shelf.refreshes, 1);
    EXPECT_EQ(list->EntryAt(0).dictionary, shelf.dictionaries.back());
    EXPECT_TRUE(shelf.dictionaries.back()->flags & kDictionaryOpen);
}

TEST_F(SavedWordListTest, ASaveThatFailsMidwayLeavesTheOldListWhole) {
    auto list = ListOfShelf(kListSelected);
    AddRecord(*list, one, 0);
    list->SaveFile(files, kList);
    Sections saved = files.files[kList];
    for (int32_t i = 0; i < 10; ++i) AddRecord(*list, two, i % 2);
    for (int64_t budget : {0, 1, 2, 6}) {
        files.writeBudget = budget;
        list->SaveFile(files, kList);
        EXPECT_EQ(files.files[kList], saved) << budget;
        EXPECT_EQ(files.files.size(), 1u) << budget;
        EXPECT_TRUE(list->flags & kListModified);
    }
}

// Saves killed midway left their temporaries (the first, then numbered
// ones made beside it), named as the program's side files are or as older
// builds named them: the next load removes them, and so does the next save,
// which writes "<list>.tmp~" and leaves only the list, also when the first
// is gone and only numbered ones are left; another list's files are not
// touched.
TEST_F(SavedWordListTest, TemporariesOfKilledSavesAreRemovedAtTheNextLoadOrSave) {
    const std::u16string list = kList;
    const std::u16string other = u"C:\\Data\\Other.oxm.tmp~";
    auto plant = [&](bool first) {
        for (const std::u16string& name : {list + u".1.tmp~", list + u".2.tmp~", list + u".1.tmp", other})
            files.files[name] = ListFile({u"C:\\D\\one.qdx"}, {Entry(1, one, 0)});
        if (first) files.files[list + u".tmp~"] = files.files[list + u".tmp"] = files.files[other];
    };
    plant(true);
    files.files[kList] = ListFile({u"C:\\D\\one.qdx"}, {Entry(1, one, 1)});
    const Sections saved = files.files[kList];
    auto loaded = ListOfShelf(kListSelected);
    loaded->LoadFile(files, kList);
    EXPECT_EQ(loaded->RowCount(), 1);
    EXPECT_EQ(files.files.size(), 2u);
    EXPECT_EQ(files.files[kList], saved);
    EXPECT_EQ(files.files.count(other), 1u);

    plant(false);
    AddRecord(*loaded, one, 2);
    loaded->SaveFile(files, kList);
    EXPECT_EQ(files.created, std::vector<std::u16string>{list + u".tmp~"});
    EXPECT_EQ(files.files.size(), 2u);
    EXPECT_EQ(files.files[kList], ListFile({u"C:\\D\\one.qdx"}, {Entry(1, one, 1), Entry(1, one, 2)}));
    EXPECT_EQ(files.files.count(other), 1u);
}

TEST_F(SavedWordListTest, AChangedListAsksBeforeItIsReplacedOrClosed) {
    auto list = ListOfShelf(kListSelected);
    AddRecord(*list, one, 0);
    list->fileName = kList;
    app.messageAnswer = 2;  // Cancel keeps the list
    EXPECT_EQ(list->ConfirmClose(files), 2);
    files.chosen = u"C:\\Other\\list.oxm";
    EXPECT_EQ(list->LoadFile(files, u""), 0);
    EXPECT_EQ(list->RowCount(), 1);
    EXPECT_EQ(files.dialogs.back(), (std::pair<bool, std::u16string>{false, u"C:\\Data\\"}));
    ASSERT_EQ(app.messages.size(), 2u);
    EXPECT_EQ(app.messages[0].caption, u"Save the List of Selected Articles?");
    EXPECT_EQ(app.messages[0].style, 0x23u);

    app.messageAnswer = 6;  // Yes: saved to its own file, then emptied
    EXPECT_EQ(list->ConfirmClose(files), 0);
    EXPECT_EQ(list->RowCount(), 0);
    EXPECT_EQ(files.files[kList], ListFile({u"C:\\D\\one.qdx"}, {Entry(1, one, 0)}));
}

// The list's folder went away (a removed drive): every save that cannot
// be made says so with the file and the system's reason and leaves the list
// changed; the question before a replace then keeps the list; as the
// program ends the user saves it elsewhere, ends without it, or stays.
TEST_F(SavedWordListTest, AFailedSaveIsToldAndTheListIsKeptUntilTheUserDecides) {
    const std::u16string gone = u"E:\\Removed\\Selected.oxm";
    auto list = ListOfShelf(kListSelected);
    list->fileName = gone;
    files.unwritableFolder = u"E:\\Removed";
    AddRecord(*list, one, 0);
    EXPECT_EQ(list->SaveFile(files, gone), 0);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"The list could not be saved to the file E:\\Removed\\Selected.oxm:\n"
                                    u"The system cannot find the path specified.");
    EXPECT_EQ(app.messages[0].caption, u"Save failed");
    EXPECT_TRUE(list->flags & kListModified);
    EXPECT_TRUE(files.files.empty());

    app.messageAnswer = 6;  // "Save the changed list?" Yes: the save fails, the list stays
    files.files[kList] = ListFile({u"C:\\D\\one.qdx"}, {Entry(1, one, 2)});
    list->LoadFile(files, kList);
    EXPECT_EQ(list->RowCount(), 1);
    EXPECT_EQ(list->EntryAt(0).recordId, RefAt(one, 0));
    EXPECT_EQ(list->fileName, gone);

    app.messages.clear();
    app.messageAnswer = 2;  // at exit, Cancel: back to the program
    EXPECT_EQ(list->SaveBeforeExit(files), kListCloseCancelled);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_TRUE(app.messages[0].text.starts_with(u"The list could not be saved to the file E:\\Removed\\Selected.oxm:\n"
                                                 u"The system cannot find the path specified.\n\nSave the list to another file?"));
    EXPECT_EQ(app.messages[0].style, 0x33u);
    EXPECT_TRUE(list->flags & kListModified);

    app.messageAnswer = 6;  // Yes: another file, chosen in the save dialog
    files.chosen = u"C:\\Data\\Kept";
    EXPECT_EQ(list->SaveBeforeExit(files), 0);
    EXPECT_EQ(files.files[u"C:\\Data\\Kept.oxm"], ListFile({u"C:\\D\\one.qdx"}, {Entry(1, one, 0)}));
    EXPECT_EQ(list->fileName, u"C:\\Data\\Kept.oxm");
    EXPECT_FALSE(list->flags & kListModified);

    AddRecord(*list, one, 1);
    list->fileName = gone;
    app.messageAnswer = 7;  // No: ends without the change, knowingly
    const size_t filesBefore = files.files.size();
    EXPECT_EQ(list->SaveBeforeExit(files), 0);
    EXPECT_FALSE(list->flags & kListModified);
    EXPECT_EQ(files.files.size(), filesBefore);
}

}  // namespace
