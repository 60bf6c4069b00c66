// Opening the dictionaries at start against a recording shelf: slot states,
// the built-in dictionary's new name, the installation list, the first-run
// folder search and its insertion order, the personal dictionary, a source
// file to convert and when the dictionaries dialog is due.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "common/settings/settings_file.h"
#include "common/settings/tests/memory_profile_store.h"
#include "dictionary/format_detection.h"
#include "ui/open_dictionaries.h"

namespace {

struct Entry {
    std::u16string path;
    bool open = false;
};

class RecordingShelf final : public IStartShelf {
public:
    ShelfEntry FindByPath(std::u16string_view path) override {
        for (auto& entry : chain)
            if (entry->path == path) return entry.get();
        return nullptr;
    }
    ShelfEntry AddDictionary(uint32_t, std::u16string_view path, bool atHead) override {
        auto entry = std::make_shared<Entry>(Entry{std::u16string(path)});
        chain.insert(atHead ? chain.begin() : chain.end(), entry);
        return entry.get();
    }
    bool OpenDictionary(ShelfEntry dictionary) override {
        auto* entry = static_cast<Entry*>(dictionary);
        entry->open = !unopenable.count(entry->path);
        return entry->open;
    }
    bool IsOpen(ShelfEntry dictionary) override { return static_cast<Entry*>(dictionary)->open; }
    bool AnyOpen() override {
        for (auto& entry : chain)
            if (entry->open) return true;
        return false;
    }
    bool HasEditable() override { return editable; }
    std::u16string MakePersonalDictionaryName(std::u16string_view folder) override {
        return std::u16string(folder) + personalName;
    }
    void CreatePersonalDictionary(std::u16string_view path) override { created = path; }
    void SelectWorkingDictionaryByPath(std::u16string_view path) override { working = path; }
    std::u16string ConvertSourceFile(std::u16string_view source) override {
        converted = source;
        return conversionResult;
    }
    void SaveDictionaryList() override { ++saves; }
    void Refresh() override {}
    void ResetListViews() override {}

    std::vector<std::u16string> Paths() const {
        std::vector<std::u16string> paths;
        for (auto& entry : chain) paths.push_back(entry->path + (entry->open ? u"+" : u""));
        return paths;
    }

    std::vector<std::shared_ptr<Entry>> chain;
    std::set<std::u16string> unopenable;
    bool editable = true;
    std::u16string personalName = u"\\Personal.qdx";
    std::u16string created, working, converted, conversionResult;
    int saves = 0;
};

class StartDictionaries : public testing::Test {
protected:
    StartDictionaries() : ini_(std::make_unique<MemoryProfileStore>(&values_)) {
        sources_.ini = &ini_;
        sources_.dictionariesFolder = u"D:\\Dics";
        sources_.readInstallList = [this] { return installList_; };
        sources_.clearInstallList = [this] { installList_.clear(); };
        sources_.detect = [this](const std::u16string& path) {
            if (databases_.count(path)) return kFormatStoreDatabase;
            return path.ends_with(u"edict") ? 0x2000000u : 0u;  // an EDICT source, or unreadable
        };
        sources_.exists = [this](const std::u16string& path) { return databases_.count(path) != 0; };
        sources_.findFiles = [this](const std::u16string& pattern) {
            std::vector<std::u16string> names;
            for (const std::u16string& name : folderFiles_)
                if (pattern == u"*.qdx" || pattern == name) names.push_back(name);
            return names;
        };
    }

    MemoryProfileStore::Values values_;
    CIni ini_;
    StartSources sources_;
    RecordingShelf shelf_;
    std::u16string installList_;
    std::set<std::u16string> databases_;
    std::vector<std::u16string> folderFiles_;
};

TEST_F(StartDictionaries, SlotsAreSkippedAddedOrOpenedByTheirState) {
    databases_ = {u"D:\\Dics\\a.qdx", u"D:\\Dics\\b.qdx", u"D:\\Dics\\c.qdx", u"D:\\Dics\\Ostrel.qdx"};
    ini_.WriteString(u"Dictionaries", u"File1", u"D:\\Dics\\a.qdx,0");
    ini_.WriteString(u"Dictionaries", u"File2", u"D:\\Dics\\b.qdx,2");
    ini_.WriteString(u"Dictionaries", u"File3", u"D:\\Dics\\c.qdx,3");
    ini_.WriteString(u"Dictionaries", u"File4", u"d:\\dics\\INTERNAL.qdx,0");
    ini_.WriteString(u"Dictionaries", u"File5", u"D:\\Dics\\gone.qdx,0");
    ini_.WriteString(u"Dictionaries", u"File7", u"D:\\Dics\\after-a-gap.qdx,0");
    // What a cut-short run left beside a dictionary is put right before the
    // dictionary is looked at: here a kept copy put back in a missing one's place.
    std::vector<std::u16string> tidied;
    sources_.tidyLeftovers = [&](const std::u16string& path) {
        tidied.push_back(path);
        if (path == u"D:\\Dics\\gone.qdx") databases_.insert(path);
    };
    EXPECT_FALSE(OpenDictionariesAtStart(shelf_, sources_));
    EXPECT_EQ(shelf_.Paths(), (std::vector<std::u16string>{u"D:\\Dics\\a.qdx+", u"D:\\Dics\\b.qdx",
                                                           u"D:\\Dics\\Ostrel.qdx+", u"D:\\Dics\\gone.qdx+"}));
    EXPECT_EQ(tidied, (std::vector<std::u16string>{u"D:\\Dics\\a.qdx", u"D:\\Dics\\b.qdx", u"D:\\Dics\\c.qdx",
                                                   u"D:\\Dics\\Ostrel.qdx", u"D:\\Dics\\gone.qdx"}));
    EXPECT_EQ(shelf_.saves, 1);
}

TEST_F(StartDictionaries, TheInstallationListIsSearchedAtTheHeadThenEmptied) {
    databases_ = {u"D:\\Dics\\a.qdx", u"D:\\Dics\\new.qdx", u"D:\\Dics\\more.qdx"};
    folderFiles_ = {u"new.qdx", u"more.qdx", u"a.qdx"};
    ini_.WriteString(u"Dictionaries", u"File1", u"D:\\Dics\\a.qdx,2");
    installList_ = u" new.qdx ; ;more.qdx;a.qdx";
    OpenDictionariesAtStart(shelf_, sources_);
    // Named files go to the head; a named file already on the shelf is opened.
    EXPECT_EQ(shelf_.Paths(), (std::vector<std::u16string>{u"D:\\Dics\\more.qdx+", u"D:\\Dics\\new.qdx+",
                                                           u"D:\\Dics\\a.qdx+"}));
    EXPECT_TRUE(installList_.empty());
}

TEST_F(StartDictionaries, AFirstRunFindsTheFolderAtTheEndAndMakesAPersonalDictionary) {
    databases_ = {u"D:\\Dics\\x.qdx", u"D:\\Dics\\y.qdx"};
    folderFiles_ = {u"x.qdx", u"y.qdx", u"notes.qdx"};
    shelf_.editable = false;
    shelf_.unopenable = {u"D:\\Dics\\y.qdx"};
    installList_ = u"ignored.qdx";
    EXPECT_FALSE(OpenDictionariesAtStart(shelf_, sources_));
    EXPECT_EQ(shelf_.Paths(), (std::vector<std::u16string>{u"D:\\Dics\\x.qdx+", u"D:\\Dics\\y.qdx"}));
    EXPECT_EQ(shelf_.created, u"D:\\Dics\\Personal.qdx");
    EXPECT_EQ(installList_, u"ignored.qdx");  // read only when slots were stored
}

TEST_F(StartDictionaries, ANumberedPersonalNameIsNotMadeAndTheDialogIsDueWithNothingOpen) {
    shelf_.editable = false;
    shelf_.personalName = u"\\Personal2.qdx";
    EXPECT_TRUE(OpenDictionariesAtStart(shelf_, sources_));
    EXPECT_TRUE(shelf_.created.empty());
    EXPECT_EQ(shelf_.saves, 0);
    EXPECT_TRUE(IsUnnumberedPersonalName(u"C:\\Personal.qdx"));
    EXPECT_FALSE(IsUnnumberedPersonalName(u"C:\\Personal9.qdx"));
}

TEST_F(StartDictionaries, WorkingDictionaryAndDictionariesArgument) {
    databases_ = {u"D:\\Dics\\a.qdx"};
    ini_.WriteString(u"Dictionaries", u"File1", u"D:\\Dics\\a.qdx,0");
    ini_.WriteString(u"Dictionaries", u"Working", u"D:\\Dics\\mine.qdx");
    sources_.firstArgument = u"/DICTIONARIES";
    EXPECT_TRUE(OpenDictionariesAtStart(shelf_, sources_));
    EXPECT_EQ(shelf_.working, u"D:\\Dics\\mine.qdx");
    EXPECT_TRUE(shelf_.converted.empty());
}

TEST_F(StartDictionaries, ASourceFileArgumentIsConvertedAndOpenedAtTheHead) {
    databases_ = {u"D:\\Dics\\a.qdx"};
    ini_.WriteString(u"Dictionaries", u"File1", u"D:\\Dics\\a.qdx,0");
    sources_.firstArgument = u"C:\\src\\edict";
    shelf_.conversionResult = u"D:\\Dics\\edict.qdx";
    OpenDictionariesAtStart(shelf_, sources_);
    EXPECT_EQ(shelf_.converted, u"C:\\src\\edict");
    EXPECT_EQ(shelf_.Paths().front(), u"D:\\Dics\\edict.qdx+");
    // A saved word list is loaded as the selected list, never converted.
    RecordingShelf other;
    sources_.firstArgument = u"C:\\lists\\mine.oxm";
    OpenDictionariesAtStart(other, sources_);
    EXPECT_TRUE(other.converted.empty());
}

TEST_F(StartDictionaries, ADictionaryArgumentIsOpenedAtTheHeadOnce) {
    databases_ = {u"D:\\Dics\\a.qdx", u"E:\\given.qdx"};
    ini_.WriteString(u"Dictionaries", u"File1", u"D:\\Dics\\a.qdx,0");
    sources_.firstArgument = u"E:\\given.qdx";
    OpenDictionariesAtStart(shelf_, sources_);
    EXPECT_TRUE(shelf_.converted.empty());
    EXPECT_EQ(shelf_.Paths(), (std::vector<std::u16string>{u"E:\\given.qdx+", u"D:\\Dics\\a.qdx+"}));
    // Already on the shelf (a slot of the settings file): not added twice.
    RecordingShelf again;
    sources_.firstArgument = u"D:\\Dics\\a.qdx";
    OpenDictionariesAtStart(again, sources_);
    EXPECT_EQ(again.Paths(), (std::vector<std::u16string>{u"D:\\Dics\\a.qdx+"}));
}

TEST(InstallList, SplitsAtSemicolonsAndDropsBlanks) {
    EXPECT_EQ(SplitInstallList(u" a b.qdx;;c.qdx ; "), (std::vector<std::u16string>{u"ab.qdx", u"c.qdx"}));
    EXPECT_TRUE(SplitInstallList(u"").empty());
}

}  // namespace
