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
    class Store : public IProfileStore {
    public:
        Store(MemoryListFiles& owner, Sections* values) : owner_(owner), values_(values) {}
        std::u16string Read(std::u16string_view section, std::u16string_view key) const override {
            auto found = values_->find({std::u16string(section), std::u16string(key)});
            return found == values_->end() ? std::u16string() : found->second;
        }
        bool Write(std::u16string_view section, std::u16string_view key, std::u16string_view value) override {
            if (owner_.writeBudget == 0) return false;
            --owner_.writeBudget;
            (*values_)[{std::u16string(section), std::u16string(key)}] = std::u16string(value);
            return true;
        }

    private:
        MemoryListFiles& owner_;
        Sections* values_;
    };

    std::unique_ptr<IProfileStore> OpenForReading(std::u16string_view path) override {
        ++reads;
        return std::make_unique<Store>(*this, &files[std::u16string(path)]);
    }
    std::unique_ptr<IProfileStore> CreateForWriting(std::u16string_view path) override {
        files[std::u16string(path)] = {};
        return std::make_unique<Store>(*this, &files[std::u16string(path)]);
    }
    bool FileExists(std::u16string_view path) override {
        return files.count(std::u16string(path)) != 0 || storeDatabases.count(std::u16string(path)) != 0;
    }
    bool Replace(std::u16string_view from, std::u16string_view to) override {
        files[std::u16string(to)] = files[std::u16string(from)];
        files.erase(std::u16string(from));
        return true;
    }
    void Delete(std::u16string_view path) override { files.erase(std::u16string(path)); }
    uint32_t FormatFlags(std::u16string_view path) override {
        return storeDatabases.count(std::u16string(path)) ? kFormatStoreDatabase : 0;
    }
    std::u16string ChooseFile(bool save, std::u16string_view, std::u16string_view folder) override {
        dialogs.push_back({save, std::u16string(folder)});
        return chosen;
    }

    std::map<std::u16string, Sections> files;
    std::set<std::u16string> storeDatabases;
    int64_t writeBudget = -1;  // negative: no limit
    int reads = 0;
    std::u16string chosen;
    std::vector<std::pair<bool, std::u16string>> dialogs;
};

constexpr const char16_t* kList = u"C:\\Data\\Selected.oxm";

class SavedWordListTest : public WordListTest {
protected:
    void SetUp() override {
        one = AddSynthetic(u"C:\\D\\one.qdx", {{u"a", u""}, {u"b", u""}, {u"c", u""}});
        two = AddSynthetic(u"C:\\D\\two.qdx", {{u"x", u""}, {u"y", u""}}, kIndexReadingWord, 50);
        app.dataFolder = u"C:\\Data";
    }
    void Put(std::u16string path, std::u16string section, std::u16string key, std::u16string value) {
        files.files[path][{section, key}] = value;
    }
    std::unique_ptr<WordList> SelectedList() { return ListOfShelf(kListSelected); }
    std::u16string Value(std::u16string section, std::u16string key) {
        return files.files[kList][{section, key}];
    }

    RDFDictionary* one = nullptr;
    RDFDictionary* two = nullptr;
    MemoryListFiles files;
};

TEST_F(SavedWordListTest, SavingNumbersDictionariesByFirstUseAndEntriesInStoredOrder) {
    auto list = SelectedList();
    AddRecord(*list, two, 1);
    AddRecord(*list, one, 2);
    AddRecord(*list, two, 0);
    list->SetCurrentRow(0);
    list->sortMode = 2;
    EXPECT_EQ(list->SaveFile(files, kList), 0);
    EXPECT_EQ(Value(u"Dictionaries", u"File1"), u"C:\\D\\two.qdx");
    EXPECT_EQ(Value(u"Dictionaries", u"File2"), u"C:\\D\\one.qdx");
    EXPECT_EQ(Value(u"Entries", u"Entry1"), u"1,51");
    EXPECT_EQ(Value(u"Entries", u"Entry2"), u"2,3");
    EXPECT_EQ(Value(u"Entries", u"Entry3"), u"1,50");
    EXPECT_EQ(files.files[kList].size(), 5u);
    EXPECT_EQ(files.files.size(), 1u);  // no temporary file left
    EXPECT_FALSE(list->flags & kListModified);
    EXPECT_EQ(list->fileName, kList);

    auto loaded = SelectedList();
    loaded->LoadFile(files, kList);
    ASSERT_EQ(loaded->RowCount(), 3);
    EXPECT_EQ(loaded->RowEntry(1)->dictionary, one);
    EXPECT_EQ(loaded->RowEntry(1)->recordId, 3u);
}

TEST_F(SavedWordListTest, LoadingSkipsZeroIdsAndTakesAtMost2000Entries) {
    Put(kList, u"Dictionaries", u"File1", u"C:\\D\\one.qdx");
    for (int i = 1; i <= 3000; ++i) {
        std::string v = i == 2 ? "0,5" : i == 3 ? "1,0" : i == 4 ? "1,x" : "1," + std::to_string(i);
        std::string k = "Entry" + std::to_string(i);
        Put(kList, u"Entries", std::u16string(k.begin(), k.end()), std::u16string(v.begin(), v.end()));
    }
    auto list = SelectedList();
    list->LoadFile(files, kList);
    EXPECT_EQ(list->EntryCount(), 2000);
    EXPECT_EQ(list->EntryAt(0).recordId, 1u);
    EXPECT_EQ(list->EntryAt(1).recordId, 5u);
    EXPECT_EQ(list->EntryAt(1999).recordId, 2003u);
}

TEST_F(SavedWordListTest, EntriesOfAMissingDictionarySurviveLoadAndSave) {
    Put(kList, u"Dictionaries", u"File1", u"C:\\D\\one.qdx");
    Put(kList, u"Dictionaries", u"File2", u"E:\\Unplugged\\gone.qdx");
    Put(kList, u"Dictionaries", u"File3", u"C:\\D\\two.qdx");
    Put(kList, u"Entries", u"Entry1", u"2,7");
    Put(kList, u"Entries", u"Entry2", u"1,2");
    Put(kList, u"Entries", u"Entry3", u"3,50");
    Put(kList, u"Entries", u"Entry4", u"2,8");
    Sections before = files.files[kList];
    auto list = SelectedList();
    list->LoadFile(files, kList);
    EXPECT_TRUE(list->flags & kListDictionaryMissing);
    EXPECT_EQ(list->RowCount(), 2);
    EXPECT_EQ(files.files[kList], before);  // loading never rewrites the file

    AddRecord(*list, two, 1);
    list->SaveFile(files, kList);
    EXPECT_EQ(Value(u"Dictionaries", u"File1"), u"C:\\D\\one.qdx");
    EXPECT_EQ(Value(u"Dictionaries", u"File2"), u"C:\\D\\two.qdx");
    EXPECT_EQ(Value(u"Dictionaries", u"File3"), u"E:\\Unplugged\\gone.qdx");
    EXPECT_EQ(Value(u"Entries", u"Entry1"), u"1,2");
    EXPECT_EQ(Value(u"Entries", u"Entry2"), u"2,50");
    EXPECT_EQ(Value(u"Entries", u"Entry3"), u"2,51");
    EXPECT_EQ(Value(u"Entries", u"Entry4"), u"3,7");
    EXPECT_EQ(Value(u"Entries", u"Entry5"), u"3,8");
}

TEST_F(SavedWordListTest, ADictionaryThatDoesNotOpenIsTakenOffTheShelfAgain) {
    files.storeDatabases = {u"C:\\D\\broken.qdx", u"C:\\D\\three.qdx"};
    shelf.makeDictionary = [this](uint32_t flags, std::u16string path) { return MakeDictionary(path, flags); };
    Put(kList, u"Dictionaries", u"File1", u"C:\\D\\broken.qdx");  // sniffs as a database, does not open
    Put(kList, u"Entries", u"Entry1", u"1,4");
    auto list = SelectedList();
    list->LoadFile(files, kList);
    EXPECT_EQ(shelf.deleted, 1);
    EXPECT_EQ(shelf.dictionaries.size(), 2u);
    EXPECT_EQ(list->RowCount(), 0);

    // One that opens stays on the shelf and its entries are listed once the list holds it.
    AddSynthetic(u"C:\\D\\three.qdx", {{u"q", u""}}, kIndexReadingWord, 30);
    RDFDictionary* three = shelf.dictionaries.back();
    three->Close();
    shelf.dictionaries.pop_back();
    Put(kList, u"Dictionaries", u"File1", u"C:\\D\\three.qdx");
    Put(kList, u"Entries", u"Entry1", u"1,30");
    list->LoadFile(files, kList);
    ASSERT_EQ(shelf.dictionaries.size(), 3u);
    EXPECT_EQ(shelf.refreshes, 1);
    EXPECT_EQ(list->EntryCount(), 1);
    EXPECT_EQ(list->EntryAt(0).dictionary, shelf.dictionaries.back());
    EXPECT_TRUE(shelf.dictionaries.back()->flags & kDictionaryOpen);
}

TEST_F(SavedWordListTest, ASaveThatFailsMidwayLeavesTheOldListWhole) {
    auto list = SelectedList();
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

TEST_F(SavedWordListTest, AChangedListAsksBeforeItIsReplacedOrClosed) {
    auto list = SelectedList();
    AddRecord(*list, one, 0);
    list->fileName = kList;
    app.messageAnswer = 2;  // Cancel
    EXPECT_EQ(list->ConfirmClose(files), 2);
    EXPECT_EQ(list->RowCount(), 1);
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
    EXPECT_EQ(Value(u"Entries", u"Entry1"), u"1,1");

    files.chosen = u"C:\\Other\\named";
    AddRecord(*list, two, 0);
    list->SaveFile(files, u"");
    EXPECT_EQ(list->fileName, u"C:\\Other\\named.oxm");
    EXPECT_EQ(files.files.count(u"C:\\Other\\named.oxm"), 1u);
}

TEST(ListFileEntry, ParsesTwoDecimalNumbers) {
    int32_t n = 0, id = 0;
    EXPECT_TRUE(ParseListFileEntry(u"3,1234", &n, &id));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(id, 1234);
    EXPECT_TRUE(ParseListFileEntry(u"-1,7", &n, &id));
    EXPECT_EQ(n, -1);
    EXPECT_TRUE(ParseListFileEntry(u"1,99999999999999", &n, &id));
    EXPECT_EQ(id, INT32_MAX);
    for (std::u16string_view bad : {u"", u"1", u"1,", u",2", u"a,2", u"1;2"})
        EXPECT_FALSE(ParseListFileEntry(bad, &n, &id)) << std::string(bad.begin(), bad.end());
}

}  // namespace
