// Stored books: a text book compiled into a book dictionary reads back
// through index 3 with the same phrases, types and languages as the text
// book; the book list names each book by its first record; and chains made
// cyclic by damage end instead of hanging, in both directions; paragraphs of
// several phrases join without blanks in "Hani" and "Hrkt" columns.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "book/book_host.h"
#include "book/book_model.h"
#include "book/stored_book.h"
#include "book/tests/fixed_measurer.h"
#include "book/tests/book_texts.h"
#include "book/text_book.h"
#include "import/import_registration.h"
#include "import/tests/compile_fixture.h"

namespace {

// A stored phrase is its line formatted as a field: the leading line tag goes.
std::u16string_view WithoutLineTag(std::u16string_view line) {
    const size_t close = line.find(u'>');
    return !line.empty() && line[0] == u'<' && close != line.npos && close <= 5 ? line.substr(close + 1) : line;
}

constexpr char kBook[] =
    "<Latn>English\n<Cyrl>Русский\n\n<H1>Title\n<H1>Заглавие\n\n<P>First phrase.\n<P>Первая фраза.\n\n"
    "Second.\nВторая.\n\n<P2>Third.\n<P2>Третья.\n";

class StoredBooks : public CompileFixture {
protected:
    void SetUp() override {
        CompileFixture::SetUp();
        RegisterImportParsers();
    }
    // Compiles `text` as a book into a new dictionary; its path.
    std::u16string CompileBook(const std::string& text, const std::string& name) {
        const std::u16string source = Path(name + ".txt"), target = Path(name + ".qdx");
        std::ofstream(std::filesystem::path(source), std::ios::binary) << text;
        EXPECT_EQ(Compile(source, target, {}, nullptr, nullptr, kFormatBook | kFormatUtf8), 1);
        return target;
    }
    std::unique_ptr<RDFDictionary> OpenBook(const std::u16string& path) {
        auto dictionary = std::make_unique<RDFDictionary>(kFormatStoreDatabase | kFormatBook, engine_);
        dictionary->File().SetPath(path.c_str());
        EXPECT_EQ(dictionary->Open(2), 0u);
        return dictionary;
    }
    // The dictionary's only book, ready to build.
    std::shared_ptr<StoredBook> OnlyBook(RDFDictionary& dictionary) {
        auto stored = std::make_shared<StoredBook>(dictionary);
        const auto books = stored->Books(0);
        EXPECT_EQ(books.size(), 1u);
        if (!books.empty()) stored->SetStartRecord(books[0].firstRecord);
        return stored;
    }
    // The (id, previous, next) entries of index 3 above the book headers, in key order.
    std::vector<std::array<uint32_t, 3>> Records(const std::u16string& path) {
        std::vector<std::array<uint32_t, 3>> records;
        int32_t file = 0;
        uint32_t cursor = 0;
        EXPECT_EQ(engine_.OpenFile(path, 2, DictionarySchemaText, &file), DmsStatus::Success);
        EXPECT_EQ(engine_.OpenCursor(file, &cursor), DmsStatus::Success);
        EXPECT_EQ(engine_.SelectIndex(cursor, 3), DmsStatus::Success);
        std::array<uint32_t, 3> found{};
        KeySegmentValue out[3] = {{&found[0], 4}, {&found[1], 4}, {&found[2], 4}};
        EntryPosition at;
        for (DmsStatus s = engine_.First(cursor, out, &at); s == DmsStatus::Success; s = engine_.Next(cursor, out, &at))
            if (found[0] > 1000) records.push_back(found);
        engine_.CloseCursor(cursor);
        engine_.CloseFile(file);
        return records;
    }
    // Replaces the entry of `entry[0]` by `entry` (same reference).
    void Rewrite(const std::u16string& path, std::array<uint32_t, 3> old, std::array<uint32_t, 3> entry) {
        int32_t file = 0;
        uint32_t cursor = 0;
        ASSERT_EQ(engine_.OpenFile(path, 0, DictionarySchemaText, &file), DmsStatus::Success);
        ASSERT_EQ(engine_.OpenCursor(file, &cursor), DmsStatus::Success);
        ASSERT_EQ(engine_.SelectIndex(cursor, 3), DmsStatus::Success);
        KeySegmentValue key[3] = {{&old[0], 4}, {&old[1], 4}, {&old[2], 4}};
        EntryPosition at;
        ASSERT_EQ(engine_.Seek(cursor, key, nullptr, &at), DmsStatus::Success);
        ASSERT_EQ(engine_.DeleteCurrent(cursor), DmsStatus::Success);
        KeySegmentValue replaced[3] = {{&entry[0], 4}, {&entry[1], 4}, {&entry[2], 4}};
        ASSERT_EQ(engine_.InsertKey(cursor, replaced, at.ref), DmsStatus::Success);
        engine_.CloseCursor(cursor);
        ASSERT_EQ(engine_.CloseFile(file), DmsStatus::Success);
    }
};

TEST_F(StoredBooks, PhrasesEqualTheTextBooks) {
    const std::u16string path = CompileBook(kBook, "small");
    const auto records = Records(path);  // read before the dictionary opens the file
    ASSERT_EQ(records.size(), 5u);
    auto dictionary = OpenBook(path);
    auto stored = std::make_shared<StoredBook>(*dictionary);
    ASSERT_TRUE(stored->Ok());
    const auto books = stored->Books(0);
    ASSERT_EQ(books.size(), 1u);
    EXPECT_EQ(books[0].title, u"Title");  // the header record names the record after it
    // Any record of the book leads back to its first one.
    EXPECT_EQ(stored->FindStartRecord(records.back()[0]), books[0].firstRecord);
    EXPECT_EQ(stored->FindStartRecord(12345), 0u);
    stored->SetStartRecord(books[0].firstRecord);
    BookModel model;
    model.Build(stored, false, false);
    auto text = std::make_shared<TextBook>();
    text->Read(Utf8ToUtf16(kBook));
    BookModel expected;
    expected.Build(text, false, false);
    ASSERT_EQ(model.Languages().size(), 2u);
    EXPECT_EQ(model.Languages()[1].code, u"Cyrl");
    // The header is no phrase of either; both show a line without its tag.
    ASSERT_EQ(model.PhraseCount(), expected.PhraseCount());
    for (int32_t e = 0; e < model.PhraseCount(); ++e) {
        EXPECT_EQ(model.TypeValue(e), expected.TypeValue(e)) << e;
        for (int32_t c = 0; c < 2; ++c) {
            EXPECT_EQ(model.Source()->Text(e, model.RecordId(e), c).text, WithoutLineTag(text->Line(e + 1, c)))
                << e << " " << c;
            EXPECT_EQ(expected.Source()->Text(e, 0, c).text, WithoutLineTag(text->Line(e + 1, c))) << e << " " << c;
        }
    }
    // Types 0 and 1 open paragraphs; "Second." continues "First phrase.".
    ASSERT_EQ(model.ParagraphCount(), 3);
    model.EnsureLoaded(1, 1);
    EXPECT_EQ(model.Column(1).At(1).text, u"Первая фраза. Вторая.");
    EXPECT_EQ(model.Column(1).At(1).segments.size(), 2u);
    EXPECT_EQ(model.HeadingCount(), 1);
}

// Paragraphs of several phrases: continuation lines join their paragraph,
// by one blank in a Latin column and by nothing in a "Hani" or "Hrkt" one,
// where each phrase's segment ends where the next begins.
TEST_F(StoredBooks, SeveralPhrasesJoinInHanAndKanaColumns) {
    constexpr char kCjkBook[] =
        "<Latn>English\n<Hani>Chinese\n<Hrkt>Kana\n\n<P>I read.\n<P>我读书。\n<P>よむ。\n\n"
        "A book.\n一本书。\nほん。\n\nIt is good.\n很好。\nいい。\n\n<P>Next.\n下一个。\nつぎ。\n";
    auto dictionary = OpenBook(CompileBook(kCjkBook, "cjk"));
    BookModel model;
    ASSERT_EQ(model.Build(OnlyBook(*dictionary), false, false), 4);
    ASSERT_EQ(model.ParagraphCount(), 2);
    const uint32_t colours[3] = {0, book_attr::kColourHani, book_attr::kColourHrkt};
    for (int32_t c = 0; c < 3; ++c) {
        model.EnsureLoaded(c, 0);
        const XParagraph& p = model.Column(c).At(0);
        ASSERT_EQ(p.segments.size(), 3u) << c;
        std::u16string joined;
        for (int32_t e = 0; e < 3; ++e) {
            if (c == 0 && e > 0) joined += u' ';
            const PhraseSegment& s = p.segments[static_cast<size_t>(e)];
            EXPECT_EQ(s.phrase, e);
            EXPECT_EQ(s.start, static_cast<int32_t>(joined.size())) << c << " " << e;
            const EntryText entry = model.Source()->Text(e, model.RecordId(e), c);
            joined += entry.text;
            // Running text takes the column's colour: kana dark red, Han dark blue.
            for (size_t i = 0; i < entry.text.size(); ++i)
                EXPECT_EQ(p.attributes[static_cast<size_t>(s.start) + i] & 0xF0, c == 0 ? 0x40 : colours[c])
                    << c << " " << i;
            EXPECT_EQ(s.end, static_cast<int32_t>(joined.size())) << c << " " << e;
            // The last unit of a segment is its phrase's; the unit at its end the next one's.
            EXPECT_EQ(p.PhraseAt(s.end - 1), e) << c << " " << e;
            EXPECT_EQ(p.PhraseAt(s.end), std::min(e + 1, 2)) << c << " " << e;
            EXPECT_EQ(p.SegmentStart(e), s.start);
        }
        EXPECT_EQ(p.text, joined) << c;
    }
    EXPECT_EQ(model.Column(1).At(0).text, u"我读书。一本书。很好。");
    EXPECT_EQ(model.Column(2).At(0).text, u"よむ。ほん。いい。");
}

// Phrases before the book's first paragraph tag open a paragraph each: an
// untagged text reads phrase beside phrase and scrolls, and a book whose
// tags begin later shows its first phrases, the one its title names too.
TEST_F(StoredBooks, PhrasesBeforeTheFirstParagraphAreShown) {
    auto mixedDictionary = OpenBook(CompileBook(
        "<Latn>English\n<Cyrl>Русский\n\nOne.\nОдин.\n\nTwo.\nДва.\n\n<P>Three.\n<P>Три.\n\nFour.\nЧетыре.\n",
        "mixed"));
    auto mixed = OnlyBook(*mixedDictionary);
    EXPECT_EQ(mixed->Books(1)[0].title, u"Один.");
    BookModel model;
    ASSERT_EQ(model.Build(mixed, false, false), 4);
    ASSERT_EQ(model.ParagraphCount(), 3);
    const std::u16string russian[3] = {u"Один.", u"Два.", u"Три. Четыре."};
    for (int32_t k = 0; k < 3; ++k) {
        model.EnsureLoaded(1, k);
        EXPECT_EQ(model.Column(1).At(k).text, russian[k]) << k;
    }

    std::string text = "<Latn>English\n<Cyrl>Русский\n";
    for (int i = 1; i <= 300; ++i)
        text += "\nLine " + std::to_string(i) + " of the English text.\nСтрока " + std::to_string(i) + " русского текста.\n";
    auto untaggedDictionary = OpenBook(CompileBook(text, "untagged"));
    FixedMeasurer measurer;
    CParaViewHost host(measurer);
    ASSERT_EQ(host.model.Build(OnlyBook(*untaggedDictionary), false, false), 300);
    ASSERT_EQ(host.model.ParagraphCount(), 300);
    host.AttachViews();
    host.SetColumnSize(200, 160);
    host.ShowDefaultColumns();
    ASSERT_EQ(host.VisibleCount(), 2);
    host.GoToPhrase(0, GoToMode::Top, true);
    CParaView& english = host.View(0);
    for (int page = 0; page < 5; ++page) {
        english.ScrollPage(1);
        host.Synchronise();
        for (int32_t c : host.Visible()) host.View(c).RefreshMarks();
    }
    const int32_t top = english.TopParagraph();
    EXPECT_GT(top, 5);
    EXPECT_EQ(host.View(1).TopParagraph(), top);
    EXPECT_EQ(host.View(1).Lay(top).text, u"Строка " + Utf8ToUtf16(std::to_string(top + 1)) + u" русского текста.");
    EXPECT_TRUE(english.MoveCaretLine(1));
    EXPECT_EQ(english.Lay(english.caret.paragraph).firstEntry, english.caret.paragraph);
}

TEST_F(StoredBooks, CyclesInTheChainsEndTheWalks) {
    const std::u16string path = CompileBook(kBook, "cycle");
    const auto records = Records(path);
    ASSERT_EQ(records.size(), 5u);
    // Records are chained in id order: the last one's next names the second
    // record, the first one's previous names the last.
    Rewrite(path, records[4], {records[4][0], records[4][1], records[1][0]});
    Rewrite(path, records[0], {records[0][0], records[4][0], records[0][2]});
    auto dictionary = OpenBook(path);
    auto stored = std::make_shared<StoredBook>(*dictionary);
    EXPECT_NE(stored->FindStartRecord(records[2][0]), 0u);
    stored->SetStartRecord(records[0][0]);
    BookModel model;
    EXPECT_EQ(model.Build(stored, false, false), 4);  // each record once
}

}  // namespace

#ifdef OSTREL_BOOK_TEXTS
namespace {

// coreutils' messages in English, Russian and Japanese, compiled as a book:
// every phrase of every column equals the text book's line.
TEST_F(StoredBooks, GettextBookCompiledReadsAsItsTextBook) {
    const std::string source = BookTextsPath("coreutils.txt");
    std::ifstream in(source, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::u16string path = CompileBook(bytes, "coreutils");
    auto dictionary = OpenBook(path);
    BookModel model;
    model.Build(OnlyBook(*dictionary), false, false);
    TextBook text;
    ASSERT_TRUE(text.Load(Utf8ToUtf16(source)));
    ASSERT_EQ(model.Languages().size(), 3u);
    ASSERT_EQ(model.PhraseCount(), text.GroupCount() - 1);
    // Stored phrases are formatted as fields: lines with markup characters
    // (backslash escapes, braces, angle brackets) are shown formatted and
    // left out of the comparison.
    int32_t compared = 0, formatted = 0;
    for (int32_t e = 0; e < model.PhraseCount(); ++e)
        for (int32_t c = 0; c < 3; ++c) {
            const std::u16string_view line = text.Line(e + 1, c);
            if (line.find_first_of(u"\\{}<>[]") != line.npos) {
                ++formatted;
                continue;
            }
            ASSERT_EQ(model.Source()->Text(e, model.RecordId(e), c).text, line) << e << " " << c;
            ++compared;
        }
    EXPECT_GE(compared, 2800);
    RecordProperty("phrases_compared", compared);
    RecordProperty("phrases_formatted", formatted);
}

}  // namespace
#endif
