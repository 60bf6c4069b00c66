// Saved word lists through the real profile functions: a new file is
// UTF-16LE with a byte-order mark, so a Japanese dictionary path comes back
// whole; ANSI files still load; a missing dictionary's entries survive; a
// save that cannot replace the file (a reader holds it) leaves the old list.
// Also the mouse-move probe of the scroll-box bisection.
#include "common/tests/test_files.h"
#include "dictionary/tests/word_list_fixture.h"
#include "dictionary/win/mouse_move_probe.h"
#include "dictionary/win/profile_list_files.h"

// After the engine's headers: <windows.h> renames CreateFile.
#include <windows.h>

namespace {

class SavedWordListWinTest : public WordListTest {
protected:
    void SetUp() override {
        one = AddSynthetic(japanesePath, {{u"a", u""}, {u"b", u""}}, kIndexReadingWord, kStoredRecords);
        two = AddSynthetic(u"C:\\D\\two.qdx", {{u"x", u""}}, kIndexReadingWord, kStoredRecords);
    }
    // "n,id" of the record at `ordinal` of `dictionary`, as dictionary n of a list file.
    std::u16string Entry(int32_t n, RDFDictionary* dictionary, int32_t ordinal) {
        const std::string text = std::to_string(n) + "," + std::to_string(RefAt(dictionary, ordinal));
        return std::u16string(text.begin(), text.end());
    }
    std::u16string ListPath(const char* name) { return (folder.path() / name).u16string(); }

    const std::u16string japanesePath = u"C:\\辞書\\和英.qdx";
    RDFDictionary* one = nullptr;
    RDFDictionary* two = nullptr;
    ScratchFolder folder{"saved-word-list-win"};
    ProfileListFiles files;
};

TEST_F(SavedWordListWinTest, ANewListFileIsUnicodeAndAJapanesePathComesBack) {
    auto list = ListOfShelf(kListSelected);
    AddRecord(*list, one, 1);
    AddRecord(*list, two, 0);
    const std::u16string path = (folder.path() / u"選択.oxm").u16string();
    list->SaveFile(files, path);
    std::vector<unsigned char> bytes = ReadBytes(folder.path() / u"選択.oxm");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);
    EXPECT_EQ(files.OpenForReading(path)->Read(u"Dictionaries", u"File1"), japanesePath);
    EXPECT_EQ(files.OpenForReading(path)->Read(u"Entries", u"Entry2"), Entry(2, two, 0));

    auto loaded = ListOfShelf(kListSelected);
    loaded->LoadFile(files, path);
    ASSERT_EQ(loaded->RowCount(), 2);
    EXPECT_EQ(loaded->RowEntry(0)->dictionary, one);
    EXPECT_EQ(loaded->RowEntry(0)->recordId, RefAt(one, 1));
    EXPECT_FALSE(loaded->flags & kListDictionaryMissing);
}

TEST_F(SavedWordListWinTest, AnAnsiListFileStillLoadsAndAMissingDictionaryKeepsItsEntries) {
    const std::u16string kept = Entry(1, two, 0);
    const std::string ansi = "[Dictionaries]\r\nFile1=C:\\D\\two.qdx\r\nFile2=Z:\\Gone\\old.qdx\r\n"
                             "[Entries]\r\nEntry1=2,9\r\nEntry2=" +
                             std::string(kept.begin(), kept.end()) + "\r\n";
    WriteBytes(folder.path() / "old.oxm", {ansi.begin(), ansi.end()});
    auto list = ListOfShelf(kListSelected);
    list->LoadFile(files, ListPath("old.oxm"));
    ASSERT_EQ(list->RowCount(), 1);
    EXPECT_EQ(list->RowEntry(0)->recordId, RefAt(two, 0));
    EXPECT_TRUE(list->flags & kListDictionaryMissing);
    EXPECT_EQ(ReadBytes(folder.path() / "old.oxm"), std::vector<unsigned char>(ansi.begin(), ansi.end()));

    list->SaveFile(files, ListPath("old.oxm"));
    auto reader = files.OpenForReading(ListPath("old.oxm"));
    EXPECT_EQ(reader->Read(u"Dictionaries", u"File2"), u"Z:\\Gone\\old.qdx");
    EXPECT_EQ(reader->Read(u"Entries", u"Entry1"), kept);
    EXPECT_EQ(reader->Read(u"Entries", u"Entry2"), u"2,9");
    EXPECT_EQ(ReadBytes(folder.path() / "old.oxm")[0], 0xFF);
}

// The entries are read in one pass over their section: they are those the
// profile functions give key by key, in a file laid out by hand: keys out of
// order and in another case, a repeated key (the first counts), blanks
// around "=", a line without one, a key with a leading zero, a comment.
TEST_F(SavedWordListWinTest, EntriesReadInOnePassAreThoseTheKeysGive) {
    const std::u16string text = u"[Dictionaries]\r\nFile1=" + japanesePath + u"\r\nFile2=C:\\D\\two.qdx\r\n"
                                u"[Entries]\r\nEntry3=" + Entry(2, two, 0) + u"\r\n; a comment\r\nentry1 = " +
                                Entry(1, one, 1) + u"\r\nEntry2=" + Entry(1, one, 0) + u"\r\nEntry2=" +
                                Entry(2, two, 0) + u"\r\nno value\r\nEntry04=" + Entry(1, one, 0) +
                                u"\r\nENTRY4=" + Entry(1, one, 1) + u"\r\n";
    std::vector<unsigned char> bytes{0xFF, 0xFE};
    for (char16_t unit : text) bytes.insert(bytes.end(), {static_cast<unsigned char>(unit & 0xFF),
                                                          static_cast<unsigned char>(unit >> 8)});
    WriteBytes(folder.path() / "hand.oxm", bytes);
    const std::u16string path = ListPath("hand.oxm");
    std::vector<std::pair<RDFDictionary*, uint32_t>> byKeys, loaded;
    auto reader = files.OpenForReading(path);
    for (char16_t i = u'1';; ++i) {
        int32_t n = 0;
        uint32_t id = 0;
        if (!ParseListFileEntry(reader->Read(u"Entries", std::u16string(u"Entry") + i), &n, &id)) break;
        byKeys.emplace_back(n == 1 ? one : two, id);
    }
    ASSERT_EQ(byKeys.size(), 4u);
    auto list = ListOfShelf(kListSelected);
    list->LoadFile(files, path);
    for (int32_t row = 0; row < list->RowCount(); ++row)
        loaded.emplace_back(list->RowEntry(row)->dictionary, list->RowEntry(row)->recordId);
    EXPECT_EQ(loaded, byKeys);
    EXPECT_TRUE(app.messages.empty());
}

TEST_F(SavedWordListWinTest, ASaveThatCannotReplaceTheFileLeavesTheOldList) {
    auto list = ListOfShelf(kListSelected);
    AddRecord(*list, one, 0);
    const std::u16string path = ListPath("kept.oxm");
    list->SaveFile(files, path);
    std::vector<unsigned char> saved = ReadBytes(folder.path() / "kept.oxm");
    AddRecord(*list, two, 0);
    HANDLE reader = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    list->SaveFile(files, path);
    CloseHandle(reader);
    EXPECT_EQ(ReadBytes(folder.path() / "kept.oxm"), saved);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "kept.oxm.tmp~"));
    EXPECT_TRUE(list->flags & kListModified);
    list->SaveFile(files, path);
    EXPECT_EQ(files.OpenForReading(path)->Read(u"Entries", u"Entry2"), Entry(2, two, 0));
}

TEST(MouseMoveProbe, SeesAWaitingMouseMoveAndLeavesItQueued) {
    MSG drained;
    while (PeekMessageW(&drained, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_FALSE(MouseMovePending());
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)));
    EXPECT_TRUE(MouseMovePending());
    EXPECT_TRUE(MouseMovePending());
    MSG taken;
    ASSERT_TRUE(PeekMessageW(&taken, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
    EXPECT_FALSE(MouseMovePending());
}

}  // namespace
