// The shelf: chain order and its edges, the settings slots, personal
// dictionaries (never written into an existing file), the refresh keeping a
// read-only working dictionary and the list positions, and dropping a
// dictionary from every list before it is destroyed.
#include <map>
#include <vector>

#include "common/settings/settings_file.h"
#include "common/settings/tests/memory_profile_store.h"
#include "dictionary/input_line.h"
#include "dictionary/shelf.h"
#include "dictionary/tests/dictionary_fixture.h"
#include "dictionary/word_list.h"

namespace {

// A host that only records what the shelf asks of the window.
struct RecordingHost : IShelfHost {
    bool FileExists(std::u16string_view) override { return false; }
    int32_t EnsureTab(int32_t) override { return 0; }
    void RemoveTab(int32_t) override {}
    int32_t SelectedTabCommand() override { return 0; }
    void PostCommand(int32_t) override {}
    void UpdateCommandState(int32_t) override {}
    void RedrawLists() override {}
    std::u16string InstallationId() override { return u"{install}"; }
    std::u16string NewGuidText() override { return u"{guid}"; }
    std::u16string LocalTimeText() override { return u"2026-12-07 10:00:00"; }
    void WarnOfOldDictionaries(int32_t count) override { warnings.push_back(count); }
    std::vector<int32_t> warnings;
};

class ShelfTest : public DictionaryTest {
protected:
    // A dictionary file whose readings index holds `readings`.
    void MakeFile(const std::u16string& path, std::initializer_list<const char16_t*> readings) {
        CreateDictionaryFile(path);
        uint32_t position = 1;
        for (const char16_t* reading : readings) InsertKey(kIndexReadingWord, reading, u"", position++);
        FinishFile();
    }
    RDFDictionary* OpenOnShelf(const std::u16string& path, uint32_t flags = kDictionaryStoreDatabase) {
        RDFDictionary* d = shelf.AddDictionary(flags, path);
        EXPECT_EQ(d->Open(2), 0u);
        return d;
    }

    CInput input;
    CShelf shelf{*engine, nullptr, input};
};

TEST_F(ShelfTest, SavingListsVisibleDictionariesAndEndsWithAnEmptyKey) {
    MakeFile(u"C:\\D\\a.qdx", {u"あ"});
    OpenOnShelf(u"C:\\D\\a.qdx");
    shelf.AddDictionary(kDictionaryHidden, u"C:\\D\\b.qdx");
    shelf.AddDictionary(kDictionaryEditable | kDictionaryWorking, u"C:\\D\\c,d.qdx");
    MemoryProfileStore::Values values;
    CIni ini(std::make_unique<MemoryProfileStore>(&values));
    shelf.SaveDictionaryList(ini);
    EXPECT_EQ(ini.GetString(u"Dictionaries", u"File1"), u"C:\\D\\a.qdx,0");
    EXPECT_EQ(ini.GetString(u"Dictionaries", u"File2"), u"C:\\D\\c,d.qdx,2");
    EXPECT_EQ(ini.GetString(u"Dictionaries", u"File3", u"missing"), u"missing");  // present and empty
    EXPECT_EQ(values.count({u"dictionaries", u"file3"}), 1u);
    EXPECT_EQ(ini.GetString(u"Dictionaries", u"Working"), u"C:\\D\\c,d.qdx");
}

TEST_F(ShelfTest, ChainMovesStopAtTheEndsAndPositionsFollow) {
    RDFDictionary* a = shelf.AddDictionary(0, u"C:\\D\\a.qdx");
    RDFDictionary* b = shelf.AddDictionary(kDictionaryHidden, u"C:\\D\\b.qdx");
    RDFDictionary* c = shelf.InsertDictionary(0, u"C:\\D\\C.QDX");
    EXPECT_EQ(shelf.MoveDictionaryUp(c), 0);
    EXPECT_EQ(shelf.MoveDictionaryDown(b), 0);
    EXPECT_EQ(shelf.MoveDictionaryDown(c), 1);
    EXPECT_EQ(shelf.FirstDictionary(), a);
    EXPECT_EQ(a->next, c);
    EXPECT_EQ(c->position, 1);
    EXPECT_EQ(shelf.GetVisibleIndex(b), -1);
    EXPECT_EQ(shelf.FindByPath(u"c:\\d\\c.qdx"), c);
    EXPECT_EQ(shelf.FindByFileName(u"X:\\other\\A.qdx", nullptr), a);
    EXPECT_EQ(shelf.FindByFileName(u"X:\\other\\A.qdx", a), nullptr);
    shelf.DeleteDictionary(c);
    EXPECT_EQ(b->position, 1);
    EXPECT_EQ(a->next, b);
}

TEST_F(ShelfTest, PersonalNamesSkipTakenCandidatesAndNeverOfferAnExistingFile) {
    struct Host : RecordingHost {
        bool FileExists(std::u16string_view path) override { return path.find(u"Personal1.qdx") != path.npos || all; }
        bool all = false;
    } host;
    CShelf withHost(*engine, &host, input);
    withHost.AddDictionary(0, u"E:\\elsewhere\\personal.QDX");
    EXPECT_EQ(withHost.MakePersonalDictionaryName(u"C:\\Dict"), u"C:\\Dict\\Personal2.qdx");
    host.all = true;
    EXPECT_EQ(withHost.MakePersonalDictionaryName(u"C:\\Dict"), u"");

    host.all = false;
    RDFDictionary* made = withHost.CreatePersonalDictionary(u"C:\\Dict\\Personal2.qdx", u"Mine", u"(c)", u"notes", u"11.0");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(withHost.FirstDictionary(), made);
    EXPECT_EQ(made->openMode, 2);
    EXPECT_EQ(made->HeaderText(1), std::optional<std::u16string>(u"Mine"));
    EXPECT_EQ(made->HeaderText(6), std::optional<std::u16string>(u"{guid}"));

    // Creating over an existing dictionary stops: nothing added, the file unchanged.
    made->Close();
    auto before = disk.Contents(u"C:\\Dict\\Personal2.qdx");
    int32_t count = withHost.DictionaryCount();
    EXPECT_EQ(withHost.CreatePersonalDictionary(u"C:\\Dict\\Personal2.qdx", u"Other", u"", u"", u"11.0"), nullptr);
    EXPECT_EQ(withHost.DictionaryCount(), count);
    EXPECT_EQ(disk.Contents(u"C:\\Dict\\Personal2.qdx"), before);
    EXPECT_FALSE(app.messages.empty());
}

// After a refresh the lists switch only when the selected tab went away or
// is one of the lists the dictionaries fill again: a host that reports the
// selected tab keeps the Selected list's tab, and one that reports none
// (the main window's old answer) is sent to the Reading list every time.
TEST_F(ShelfTest, ARefreshSwitchesListsOnlyForAGoneOrRefilledTab) {
    struct TabHost : RecordingHost {
        int32_t SelectedTabCommand() override { return selected; }
        void PostCommand(int32_t command) override { posted.push_back(command); }
        int32_t selected = 0;
        std::vector<int32_t> posted;
    } host;
    MakeFile(u"C:\\D\\a.qdx", {u"\u3042", u"\u304B"});
    CShelf withHost(*engine, &host, input);
    ASSERT_EQ(withHost.AddDictionary(kDictionaryStoreDatabase, u"C:\\D\\a.qdx")->Open(2), 0u);
    const std::pair<int32_t, std::vector<int32_t>> cases[] = {
        {40140, {}}, {40003, {}}, {40004, {40004}}, {40006, {40004}}, {0, {40004}},
    };
    for (const auto& [selected, posted] : cases) {
        host.selected = selected;
        host.posted.clear();
        withHost.Refresh();
        EXPECT_EQ(host.posted, posted) << "selected tab " << selected;
    }
}

TEST_F(ShelfTest, RefreshKeepsAWorkingDictionaryThatCannotBeWrittenReadOnly) {
    MakeFile(u"C:\\D\\w.qdx", {u"あ", u"い"});
    RDFDictionary* working = OpenOnShelf(u"C:\\D\\w.qdx", kDictionaryStoreDatabase | kDictionaryEditable);
    shelf.SetWorkingDictionary(working);
    disk.InjectFault(SimulatedDisk::Operation::Open, 1, IoError::AccessDenied);
    shelf.Refresh();
    EXPECT_NE(working->flags & kDictionaryOpen, 0u);
    EXPECT_EQ(working->openMode, 2);
    EXPECT_EQ(shelf.FindView(2)->GetRowCount(), 2);
    shelf.Refresh();  // writable again
    EXPECT_EQ(working->openMode, 0);
}

// A new dictionary made working, then loaded with a book (read-only, no
// longer working): the user's own dictionary takes the role back, unless it
// has left the shelf meanwhile.
TEST_F(ShelfTest, TheWorkingRoleGoesBackWhenANewDictionaryBecomesABook) {
    MakeFile(u"C:\\D\\own.qdx", {u"あ"});
    MakeFile(u"C:\\D\\book.qdx", {u"い"});
    for (bool ownStaysOnShelf : {true, false}) {
        RDFDictionary* own = OpenOnShelf(u"C:\\D\\own.qdx");
        RDFDictionary* book = OpenOnShelf(u"C:\\D\\book.qdx");
        own->flags |= kDictionaryEditable;  // personal dictionaries, as the shelf marks them
        book->flags |= kDictionaryEditable;
        shelf.SetWorkingDictionary(own);
        shelf.SetWorkingDictionary(book);
        if (!ownStaysOnShelf) shelf.DeleteDictionary(own);
        book->flags &= ~(kDictionaryEditable | kDictionaryWorking);
        book->flags |= kDictionaryBook;
        RDFDictionary* restored = shelf.RestorePreviousWorkingDictionary();
        EXPECT_EQ(restored, ownStaysOnShelf ? own : nullptr);
        EXPECT_EQ(shelf.FindWorkingDictionary(), restored);
        EXPECT_EQ(book->flags & kDictionaryWorking, 0u);
        if (ownStaysOnShelf) shelf.DeleteDictionary(own);
        shelf.DeleteDictionary(book);
    }
}

TEST_F(ShelfTest, ReopenedDictionariesReturnToTheSameKeyAndDeletedOnesLeaveEveryList) {
    MakeFile(u"C:\\D\\a.qdx", {u"あ", u"か", u"さ", u"た", u"な"});
    MakeFile(u"C:\\D\\b.qdx", {u"い", u"き", u"し"});
    OpenOnShelf(u"C:\\D\\a.qdx");
    RDFDictionary* b = OpenOnShelf(u"C:\\D\\b.qdx");
    shelf.Refresh();
    EXPECT_EQ(shelf.SelectStartList(5), 2);
    ListViewModel& view = *shelf.FindView(2);
    ASSERT_EQ(view.GetRowCount(), 8);
    view.SearchText(u"き", nullptr);
    EXPECT_EQ(view.currentRow, 3);
    shelf.SaveListPositions();
    shelf.Refresh();
    EXPECT_EQ(view.model->GetEntry(view.currentRow)->FieldText(0), u"き");

    WordList& selected = *shelf.GetWordList(kListSelected);
    {
        CCursor cursor(b, kIndexReadingWord);
        ASSERT_NE(selected.AddCursorEntry(cursor), nullptr);
    }
    shelf.DeleteDictionary(b);
    EXPECT_EQ(view.GetRowCount(), 5);
    EXPECT_EQ(selected.EntryCount(), 0);
}

// An article saved into the second of two dictionaries that both hold its
// headword: the change brings the list back to the first dictionary's row
// under the key, and the saved article is made current again, at its place
// on the page; in the Selected list too. An article the list does not hold
// leaves the list where it was.
TEST_F(ShelfTest, ASavedArticleIsSelectedWhereAnotherDictionaryHoldsItsHeadword) {
    MakeFile(u"C:\\D\\a.qdx", {u"あ", u"か", u"さ"});
    MakeFile(u"C:\\D\\b.qdx", {u"い", u"か", u"し"});
    OpenOnShelf(u"C:\\D\\a.qdx");
    RDFDictionary* b = OpenOnShelf(u"C:\\D\\b.qdx");
    shelf.Refresh();
    ListViewModel& view = *shelf.FindView(2);
    view.SearchText(u"か", nullptr);
    view.MoveCurrent(1);
    ASSERT_EQ(view.model->GetEntry(view.currentRow)->dictionary, b);
    const int32_t row = view.currentRow, pageOffset = view.currentRow - view.topRow;
    const uint32_t saved = view.model->GetEntry(row)->RecordId();
    shelf.SaveListPositions();
    shelf.NotifyDictionaryChanged(*b);
    EXPECT_NE(view.model->GetEntry(view.currentRow)->dictionary, b) << "the key alone finds the first dictionary's row";

    EXPECT_TRUE(view.SelectArticle(*b, saved));
    EXPECT_EQ(view.currentRow, row);
    EXPECT_EQ(view.currentRow - view.topRow, pageOffset);
    EXPECT_EQ(view.model->GetEntry(view.currentRow)->dictionary, b);
    EXPECT_EQ(view.model->GetEntry(view.currentRow)->RecordId(), saved);
    EXPECT_FALSE(view.SelectArticle(*b, 99)) << "no such article";
    EXPECT_EQ(view.currentRow, row);

    ListViewModel& selectedView = *shelf.FindView(kViewSelected);
    WordList& selected = *shelf.GetWordList(kListSelected);
    for (const char16_t* reading : {u"い", u"し"}) {
        CCursor cursor(b, kIndexReadingWord);
        ASSERT_EQ(cursor.SeekByText(reading, u""), 1);
        ASSERT_NE(selected.AddCursorEntry(cursor), nullptr);
    }
    selectedView.SetCurrent(0);
    EXPECT_TRUE(selectedView.SelectArticle(*b, 3));
    EXPECT_EQ(selectedView.currentRow, 1);
}

// The by-reading view posts column 3, else column 2, without a leading ellipsis.
TEST_F(ShelfTest, TheCurrentHeadwordIsPostedFromTheViewsColumnsWithoutItsEllipsis) {
    struct Host : IListViewHost {
        void FillPage() override {}
        void UpdateView() override {}
        void UpdateCommandState(int32_t) override {}
        bool PostHeadword(int32_t command, std::u16string_view text) override {
            posted = std::u16string(text) + u"@" + std::u16string(1, static_cast<char16_t>(command % 1000));
            return true;
        }
        void TranslateText(int32_t) override {}
        std::u16string posted;
    } host;
    MakeFile(u"C:\\D\\a.qdx", {u"あ", u"か"});
    OpenOnShelf(u"C:\\D\\a.qdx");
    shelf.Refresh();
    ListViewModel view(2, shelf.GetWordList(kListReadings), &host);
    view.SearchText(u"か", nullptr);
    EXPECT_EQ(view.PostCurrentHeadword(40100), 0);  // no cell texts installed
    ListViewModel::cellText = [](WordList& list, int32_t row, int32_t column) {
        return column == 2 ? u"\u2026" + std::u16string(list.GetEntry(row)->FieldText(0)) : std::u16string();
    };
    EXPECT_EQ(view.PostCurrentHeadword(40100), 1);
    ListViewModel::cellText = nullptr;
    EXPECT_EQ(host.posted, u"か@d");
}

TEST(TextScriptClass, KanjiThenKanaThenLowCharacters) {
    EXPECT_EQ(TextScriptClass(u"abc"), 8);
    EXPECT_EQ(TextScriptClass(u"ねこ"), 3);
    EXPECT_EQ(TextScriptClass(u"ねこ猫"), 4);
    EXPECT_EQ(TextScriptClass(u"\U00020B9F"), 4);  // a kanji beyond the BMP
    EXPECT_EQ(TextScriptClass(u"\u2200"), 0);
    EXPECT_EQ(TextScriptClass(u""), 0);
}

// Opening the new file lets queued messages in; a second Save there
// reassigns the dialog's texts. What the file gets is what was asked.
TEST_F(ShelfTest, ANewDictionaryGetsTheTextsItWasAskedForWhateverRunsWhileItOpens) {
    struct ReassigningApp : FakeAppContext {
        void PumpPendingMessages() override {
            for (std::u16string* text : texts) text->assign(4000, u'x');
        }
        std::vector<std::u16string*> texts;
    } pumping;
    ScopedAppContext scope(pumping);
    RecordingHost host;
    CShelf withHost(*engine, &host, input);
    std::u16string path = u"C:\\Dict\\Mine.qdx", title = u"Mine", author = u"(c)", notes = u"notes",
                   version = u"11.11.0.1P";
    pumping.texts = {&path, &title, &author, &notes, &version};
    RDFDictionary* made = withHost.CreatePersonalDictionary(path, title, author, notes, version);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->File().path, std::u16string(u"C:\\Dict\\Mine.qdx"));
    EXPECT_EQ(made->HeaderText(1), std::optional<std::u16string>(u"Mine"));
    EXPECT_EQ(made->HeaderText(2), std::optional<std::u16string>(u"(c)"));
    EXPECT_EQ(made->HeaderText(3), std::optional<std::u16string>(u"notes"));
    EXPECT_EQ(made->HeaderText(4), std::optional<std::u16string>(u"11.11.0.1P"));
    EXPECT_NE(made->flags & kDictionaryEditable, 0u);
}

// Dictionaries of versions before 6 (a version text below 6, or none) are
// counted among the open ones only, and the host is told once per look.
TEST_F(ShelfTest, OldDictionariesAmongTheOpenOnesReachTheHostsWarning) {
    RecordingHost host;
    CShelf withHost(*engine, &host, input);
    EXPECT_EQ(withHost.WarnOldDictionaries(), 0);
    EXPECT_TRUE(host.warnings.empty());
    ASSERT_NE(withHost.CreatePersonalDictionary(u"C:\\D\\new.qdx", u"", u"", u"", u"11.11.0.1P"), nullptr);
    RDFDictionary* old = withHost.CreatePersonalDictionary(u"C:\\D\\old.qdx", u"", u"", u"", u"5.9.0.1P");
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(withHost.WarnOldDictionaries(), 1);
    EXPECT_EQ(host.warnings, std::vector<int32_t>{1});
    MakeFile(u"C:\\D\\plain.qdx", {u"あ"});  // no version text at all
    withHost.AddDictionary(kDictionaryStoreDatabase, u"C:\\D\\plain.qdx");  // closed: probed
    EXPECT_EQ(withHost.WarnOldDictionaries(), 1);  // probing closes it again
    old->Close();
    EXPECT_EQ(withHost.WarnOldDictionaries(), 0);
    EXPECT_EQ(host.warnings, (std::vector<int32_t>{1, 1}));
}

}  // namespace
