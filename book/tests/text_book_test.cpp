// Text books and their editing at the edges: groups and the language
// header, "</>" read back as an empty phrase, books without a header, the
// editing operations' own cases and the saved bytes, and a save that
// fails leaving the old file and the changed flag.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "book/book_editing.h"
#include "book/book_model.h"
#include "book/text_book.h"
#include "book/text_book_writer.h"
#include "common/tests/fake_app_context.h"
#include "common/tests/test_files.h"
#include "common/text/utf8.h"

#include <gtest/gtest.h>

namespace {

BookModel Built(std::u16string text, bool editable = true) {
    auto book = std::make_shared<TextBook>();
    book->Read(std::move(text));
    BookModel model;
    model.Build(book, true, editable);
    return model;
}

std::string Saved(const BookModel& model) { return TextBookBytes(model); }

constexpr char16_t kThreeLanguages[] =
    u"\uFEFF\r\n<Latn> English / Английский/英語 \r\n<Zxxx>tags\r\n<Cyrl>Русский\r\n\r\n"
    u"One.\r\n-\r\nОдин.\r\n\r\n\r\n<H2>Two\r\n</>\r\n";

TEST(TextBookRead, GroupsHeaderAndEmptyPhrases) {
    TextBook book;
    book.Read(kThreeLanguages);
    ASSERT_EQ(book.GroupCount(), 3);
    // A blank first line and a byte-order mark are skipped; "Zxxx" adds no language.
    const auto languages = book.Languages();
    ASSERT_EQ(languages.size(), 2u);
    EXPECT_EQ(languages[0].code, u"Latn");
    EXPECT_EQ(languages[0].names[0], u"English");
    EXPECT_EQ(languages[0].names[1], u"Английский");
    EXPECT_EQ(languages[0].names[2], u"英語");
    EXPECT_EQ(languages[1].code, u"Cyrl");
    // The header is no phrase, and a line's tag is not shown, as in the
    // same text stored as a book; a save writes both back as they stood.
    BookModel model = Built(kThreeLanguages);
    ASSERT_EQ(model.PhraseCount(), 2);
    EXPECT_EQ(model.TypeValue(1), 1u | 2u << 16);  // "<H2>" a heading of level 2
    EXPECT_EQ(model.HeadingCount(), 1);
    // Every header line is a column ("Zxxx" one without a language), so a
    // save keeps every line; "</>" and a missing line are empty phrases.
    ASSERT_EQ(model.ColumnCount(), 3);
    EXPECT_EQ(model.Column(1).language, -1);
    EXPECT_EQ(model.Column(2).language, 1);
    EXPECT_EQ(model.Column(2).At(0).text, u"Один.");
    EXPECT_EQ(model.Column(1).At(1).text, u" ");
    EXPECT_EQ(model.Column(2).At(1).text, u" ");
    EXPECT_EQ(model.Column(0).At(1).text, u"Two");
    EXPECT_EQ(model.Column(0).At(1).tag, u"<H2>");
    EXPECT_EQ(model.Column(0).At(1).firstIndent, 2);
    EXPECT_EQ(Saved(model), "<Latn> English / Английский/英語 \r\n<Zxxx>tags\r\n<Cyrl>Русский\r\n\r\n"
                            "One.\r\n-\r\nОдин.\r\n\r\n<H2>Two\r\n</>\r\n</>\r\n\r\n");
}

TEST(TextBookRead, HeaderLimitsAndBooksWithoutHeader) {
    std::u16string header;
    for (int i = 0; i < 12; ++i) header += u"<Lang>name" + std::u16string(1, static_cast<char16_t>(u'a' + i)) + u"\n";
    header += u"<Toolong>" + std::u16string(100, u'n') + u"\n";
    TextBook book;
    book.Read(header);
    const auto languages = book.Languages();
    ASSERT_EQ(languages.size(), 10u);  // never past the table
    // Without a header: one column per line of the first group.
    BookModel plain = Built(u"first a\nfirst b\nfirst c\n\nsecond a\n");
    EXPECT_EQ(plain.ColumnCount(), 3);
    EXPECT_EQ(plain.Languages().size(), 0u);
    EXPECT_EQ(plain.Column(2).At(1).text, u" ");
    TextBook longer;
    longer.Read(u"<Abcdefg>" + std::u16string(100, u'n') + u"\n");
    ASSERT_EQ(longer.Languages().size(), 1u);
    EXPECT_EQ(longer.Languages()[0].code, u"Abcd");
    EXPECT_EQ(longer.Languages()[0].names[0].size(), 79u);
}

constexpr char16_t kPair[] = u"<Latn>English\n<Hani>Chinese\n\nOne two\n一二\n\nThree\n三\n\n";

TEST(TextBookEdit, SplitJoinDeleteKeepColumnsAligned) {
    BookModel model = Built(kPair);
    EditCursor cursor;
    // A split at the very end gives an empty phrase, saved as "</>".
    cursor.caret = cursor.anchor = {0, 7};
    ASSERT_TRUE(SplitAtCaret(model, 0, cursor));
    EXPECT_TRUE(ColumnsAligned(model));
    EXPECT_EQ(cursor.caret, (TextPosition{1, 0}));
    EXPECT_EQ(Saved(model),
              "<Latn>English\r\n<Hani>Chinese\r\n\r\nOne two\r\n一二\r\n\r\n</>\r\n三\r\n\r\nThree\r\n</>\r\n\r\n");
    EXPECT_TRUE(model.Changed());
    // Joining in a Hani column puts nothing between; elsewhere one blank.
    ASSERT_TRUE(JoinWithNext(model, 1, 0, nullptr));
    EXPECT_EQ(model.Column(1).At(0).text, u"一二三");
    EXPECT_EQ(model.Column(1).At(2).text, u" ");
    BookModel latin = Built(kPair);
    ASSERT_TRUE(JoinWithNext(latin, 0, 0, nullptr));
    EXPECT_EQ(latin.Column(0).At(0).text, u"One two Three");
    EXPECT_TRUE(ColumnsAligned(latin));
    // Ctrl+Delete: the paragraph goes, a blank one closes the column.
    cursor.caret = cursor.anchor = {0, 0};
    ASSERT_TRUE(DeleteParagraph(latin, 0, cursor));
    EXPECT_EQ(latin.Column(0).At(0).text, u" ");
    EXPECT_TRUE(ColumnsAligned(latin));
}

// A caret (or anchor) in the second of two joined paragraphs stays on the
// same character, whatever the join put between or cut; one in a later
// paragraph follows it up by one.
TEST(TextBookEdit, JoinKeepsACaretOfTheSecondParagraphOnItsCharacter) {
    constexpr char16_t kBook[] = u"<Latn>English\n<Hani>Chinese\n\nOne two\n一二 \n\nThree\n三四\n\nFour\n五\n\n";
    for (int32_t column = 0; column < 2; ++column) {
        const std::u16string second = Built(kBook).Column(column).At(1).text;
        if (column == 1) {
            ASSERT_EQ(Built(kBook).Column(1).At(0).text, u"一二 ");  // the join cuts the blank
        }
        for (int32_t offset = 0; offset <= static_cast<int32_t>(second.size()); ++offset) {
            BookModel model = Built(kBook);
            EditCursor cursor;
            cursor.caret = {1, offset};
            cursor.anchor = {2, 1};
            ASSERT_TRUE(JoinWithNext(model, column, 0, &cursor));
            const std::u16string& joined = model.Column(column).At(0).text;
            ASSERT_EQ(cursor.caret.paragraph, 0);
            // The same character, or the end of the joined text for the end of the second.
            EXPECT_EQ(joined.substr(static_cast<size_t>(cursor.caret.offset)), second.substr(static_cast<size_t>(offset)))
                << column << " " << offset;
            EXPECT_EQ(cursor.anchor, (TextPosition{1, 1})) << column;
        }
    }
}

TEST(TextBookEdit, DeleteBackspaceTypingAndTags) {
    BookModel model = Built(kPair);
    EditCursor cursor;
    cursor.caret = cursor.anchor = {0, 7};  // behind "One two": Delete joins with the next
    ASSERT_TRUE(DeleteForward(model, 0, cursor));
    EXPECT_EQ(model.Column(0).At(0).text, u"One two Three");
    EXPECT_TRUE(ColumnsAligned(model));
    BookModel back = Built(kPair);
    cursor.caret = cursor.anchor = {1, 0};  // Backspace at a start joins with the previous
    ASSERT_TRUE(DeleteBackward(back, 0, cursor));
    EXPECT_EQ(back.Column(0).At(0).text, u"One two Three");
    EXPECT_EQ(cursor.caret, (TextPosition{0, 7}));  // the end of the previous text
    // The first phrase has none before it: the header is out of reach.
    cursor.caret = cursor.anchor = {0, 0};
    EXPECT_FALSE(DeleteBackward(back, 0, cursor));
    EXPECT_EQ(Saved(back).substr(0, 30), "<Latn>English\r\n<Hani>Chinese\r\n");
    // A paragraph never becomes empty by Delete.
    BookModel one = Built(u"<Latn>E\n\nx\n");
    cursor.caret = cursor.anchor = {0, 0};
    EXPECT_FALSE(DeleteForward(one, 0, cursor));
    EXPECT_EQ(one.Column(0).At(0).text, u"x");
    ASSERT_TRUE(InsertAtCaret(one, 0, cursor, u"ab"));
    EXPECT_EQ(one.Column(0).At(0).text, u"abx");
    cursor.anchor = {0, 0};
    cursor.caret = {0, 3};
    ASSERT_TRUE(WrapSelectionInTag(one, 0, cursor, u'b'));
    EXPECT_EQ(one.Column(0).At(0).text, u"<b>abx</b>");
    EXPECT_EQ(cursor.anchor, (TextPosition{0, 0}));
    EXPECT_EQ(cursor.caret, (TextPosition{0, 10}));
}

TEST(TextBookEdit, PasteBySentences) {
    BookModel model = Built(kPair);
    EditCursor cursor;
    cursor.caret = cursor.anchor = {0, 3};
    // One sentence without line breaks goes in at the caret.
    ASSERT_TRUE(PasteText(model, 0, cursor, std::u16string(u"-and-") + u'\0'));
    EXPECT_EQ(model.Column(0).At(0).text, u"One-and- two");
    // Three lines: three paragraphs, the second and third tagged "<P10>".
    ASSERT_TRUE(PasteText(model, 0, cursor, u"First line.\r\nSecond line.\nThird line."));
    EXPECT_TRUE(ColumnsAligned(model));
    EXPECT_EQ(model.Column(0).At(1).text, u"First line.");
    EXPECT_EQ(model.Column(0).At(2).text, u"Second line.");
    EXPECT_EQ(model.Column(0).At(3).text, u"Third line.");
    EXPECT_EQ(model.Column(0).At(3).tag, u"<P10>");
    EXPECT_EQ(model.TypeValue(2), 1u);
    EXPECT_EQ(model.Column(1).At(2).text, u" ");
    EXPECT_NE(Saved(model).find("First line.\r\n三\r\n\r\n<P10>Second line.\r\n</>\r\n"), std::string::npos) << Saved(model);
}

TEST(TextBookSave, EveryLanguageWhateverIsShownAndFailuresKeepTheOldFile) {
    FakeAppContext app;
    IAppContext* previous = SetAppContext(&app);
    ScratchFolder folder("book-save");
    const auto path = folder / "book.txt";
    BookModel model = Built(u"<Latn>E\n<Cyrl>R\n<Grek>G\n\na\nб\nγ\n");
    EXPECT_EQ(Saved(model), "<Latn>E\r\n<Cyrl>R\r\n<Grek>G\r\n\r\na\r\nб\r\nγ\r\n\r\n");
    // An empty book writes an empty file.
    EXPECT_EQ(Saved(Built(u"")), "");
    // A save into a folder that is missing fails, reports it and keeps the changes.
    model.SetChanged(true);
    EXPECT_EQ(SaveTextBook(model, (folder / "missing" / "book.txt").u16string()), SaveResult::Failed);
    EXPECT_TRUE(model.Changed());
    std::ofstream(path, std::ios::binary) << "old";
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    EXPECT_EQ(SaveTextBook(model, path.u16string()), SaveResult::Failed);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        EXPECT_EQ(bytes.str(), "old");
    }
    EXPECT_TRUE(model.Changed());
    ASSERT_EQ(SaveTextBook(model, path.u16string()), SaveResult::Saved);
    EXPECT_FALSE(model.Changed());
    // Read back: the same phrases.
    TextBook again;
    ASSERT_TRUE(again.Load(path.u16string()));
    EXPECT_EQ(again.Line(1, 2), u"γ");
    SetAppContext(previous);
}

}  // namespace
