// The reader's settings and layout arithmetic, and the book loader's list
// file: columns clamped before any division, "Right" holding the top,
// comment and short lines skipped, paths taken from the list's folder, the
// list read by its byte-order mark and overlong lines refused.
#include <map>
#include <string>

#include "book/book_list_file.h"
#include "book/reader_settings.h"
#include "common/settings/settings_file.h"

#include <gtest/gtest.h>

namespace {

class MemoryProfile : public IProfileStore {
public:
    explicit MemoryProfile(std::map<std::u16string, std::u16string>& values) : values_(values) {}
    std::u16string Read(std::u16string_view section, std::u16string_view key) const override {
        auto it = values_.find(std::u16string(section) + u"/" + std::u16string(key));
        return it == values_.end() ? std::u16string() : it->second;
    }
    bool Write(std::u16string_view section, std::u16string_view key, std::u16string_view value) override {
        values_[std::u16string(section) + u"/" + std::u16string(key)] = std::u16string(value);
        return true;
    }

private:
    std::map<std::u16string, std::u16string>& values_;
};

TEST(ReaderSettings, RoundTripWithRightHoldingTheTop) {
    std::map<std::u16string, std::u16string> values;
    CIni ini(std::make_unique<MemoryProfile>(values));
    ReaderSettings saved;
    saved.file = u"C:\\books\\one.qdx";
    saved.bookIndex = 4096;
    saved.topPhrase = 7;
    saved.left = 10;
    saved.top = 20;
    saved.width = 720;
    saved.height = 600;
    saved.columns = 3;
    saved.languages[2] = 5;
    ASSERT_EQ(saved.Save(ini), 1);
    EXPECT_EQ(values[u"BookViewer/Right"], u"20");
    EXPECT_EQ(values.count(u"BookViewer/Language4"), 0u);
    ReaderSettings read;
    read.Load(ini);
    EXPECT_EQ(read.file, saved.file);
    EXPECT_EQ(read.top, 20);
    EXPECT_EQ(read.languages[2], 5);
    EXPECT_EQ(read.languages[3], 3);  // missing: the column's own place
}

// A text book's reader keeps its window, columns and place under keys of its
// own: saving it leaves every key of the stored book's reader as it was.
TEST(ReaderSettings, TextBookLayoutIsKeptApartFromTheStoredBooks) {
    std::map<std::u16string, std::u16string> values;
    CIni ini(std::make_unique<MemoryProfile>(values));
    ReaderSettings stored;
    stored.file = u"C:\\books\\one.qdx";
    stored.bookIndex = 4096;
    stored.topPhrase = 90;
    stored.topOffset = 3473;
    stored.curColumn = 1;
    stored.width = 900;
    stored.height = 700;
    stored.columns = 3;
    stored.languages[0] = 2;
    ASSERT_EQ(stored.Save(ini), 1);
    const auto before = values;
    ReaderSettings text;
    text.Load(ini, true);
    EXPECT_EQ(text.width, 0);  // no text book saved yet: the reader's default size
    text.file = u"C:\\texts\\four.txt";
    text.left = 5;
    text.width = 500;
    text.height = 400;
    text.columns = 4;
    text.topPhrase = 12;
    text.topOffset = 40;
    text.curPhrase = 13;
    text.curColumn = 1;
    text.languages[3] = 0;
    ASSERT_EQ(text.Save(ini, true), 1);
    for (const auto& [key, value] : before) EXPECT_EQ(values[key], value) << std::string(key.begin(), key.end());
    EXPECT_EQ(values.size(), before.size() + 14);
    EXPECT_EQ(values[u"BookViewer/TextBookFile"], u"C:\\texts\\four.txt");
    ReaderSettings read;
    read.Load(ini);
    EXPECT_EQ(read.width * 1000 + read.columns, 900003);
    EXPECT_EQ(read.topOffset * 10 + read.curColumn, 34731);
    EXPECT_EQ(read.file, stored.file);
    read.Load(ini, true);
    EXPECT_EQ(read.left * 1000000 + read.width * 1000 + read.height, 5500400);
    EXPECT_EQ(read.columns, 4);
    EXPECT_EQ(read.file, text.file);
    EXPECT_EQ(read.bookIndex, 0);
    EXPECT_EQ(read.topPhrase * 1000000 + read.topOffset * 1000 + read.curPhrase, 12040013);
    EXPECT_EQ(read.curColumn, 1);
    EXPECT_EQ(read.languages[3], 0);
}

TEST(ReaderSettings, LayoutArithmeticAndClamps) {
    using namespace reader_layout;
    EXPECT_EQ(ColumnWidth(720, 2), (720 - 18 - 79) / 2);
    EXPECT_EQ(ColumnWidth(720, 0), 720 - 9 - 79);  // Columns 0 or missing counts as one
    EXPECT_EQ(ColumnWidth(50, 4), 1);
    EXPECT_EQ(MinimumWidth(3), 109 * 3 + 79);
    EXPECT_EQ(ColumnLeft(2, 100), 9 + 2 * 109);
    EXPECT_EQ(ClientWidthFor(100, 2), 2 * 109 + 79);
    EXPECT_EQ(ClampPhrase(500, 10), 9);
    EXPECT_EQ(ClampPhrase(-3, 10), 0);
    EXPECT_EQ(ClampPhrase(5, 0), 0);
}

TEST(BookListFile, CommentsShortLinesRelativePathsAndEncodings) {
    const std::string list = "; books\r\n# more\r\nab\r\n\r\nC:\\books\\one.txt\r\n";
    BookListFile parsed = ParseBookListFile(list, u"C:\\lists\\books.lst");
    EXPECT_EQ(parsed.paths, (std::vector<std::u16string>{u"C:\\books\\one.txt"}));
    parsed = ParseBookListFile("\xEF\xBB\xBFкнига.txt\nsub/two.txt", u"/data/lists/books.lst");
    EXPECT_EQ(parsed.paths, (std::vector<std::u16string>{u"/data/lists/книга.txt", u"/data/lists/sub/two.txt"}));
    const std::string utf16("\xFF\xFE" "a\0b\0c\0\n\0", 10);
    EXPECT_EQ(ParseBookListFile(utf16, u"x.lst").paths, (std::vector<std::u16string>{u"abc"}));
    parsed = ParseBookListFile("one.txt\n" + std::string(261, 'x') + "\nthree.txt\n", u"l.lst");
    EXPECT_EQ(parsed.overlongLine, 2);
    std::string many;
    for (int i = 0; i < 1005; ++i) many += "book" + std::to_string(i) + ".txt\n";
    EXPECT_EQ(ParseBookListFile(many, u"l.lst").paths.size(), 1000u);
    EXPECT_EQ(FinishedBookVersion(u"1.0P"), u"1.0I");
    EXPECT_EQ(FinishedBookVersion(u"1.0"), u"1.0");
}

}  // namespace

#include "book/book_texts.h"
#include "common/ui_text/ui_text.h"

namespace {

// Texts named by their English wording come from the interface language's slot.
TEST(BookTexts, ComeFromTheInterfaceLanguage) {
    SetUILanguage(0);
    EXPECT_EQ(InterfaceText(u"TOC"), std::u16string(UITextSet(UILanguage::Russian)[663].text));
    EXPECT_EQ(InterfaceText(u"Cannot open file: %s", u"a.lst"),
              std::u16string(UITextSet(UILanguage::Russian)[534].text).replace(
                  std::u16string(UITextSet(UILanguage::Russian)[534].text).find(u"%s"), 2, u"a.lst"));
    SetUILanguage(1);
    EXPECT_EQ(InterfaceText(u"No book files"), u"No book files");
    EXPECT_EQ(InterfaceText(u"Not an interface text"), u"Not an interface text");
}

}  // namespace
