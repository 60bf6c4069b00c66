// Parallel-text books: rows cut at segment tags, the first group's shape
// (tag lines, L and N), groups of the wrong size and tag-only first groups
// reported as "Input Text Error", the line tag codes (never read past a short
// text), and the loader's code pages.
#include "import/import_registration.h"
#include "import/line_tags.h"
#include "import/parallel_text_import.h"
#include "import/tests/eijiro_entry_sink.h"

#include <fstream>
#include <memory>

#include "common/base/bin_file.h"
#include "common/tests/fake_app_context.h"
#include "common/tests/test_files.h"
#include "dictionary/format_detection.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

namespace {

using Articles = std::vector<std::u16string>;

class ParallelText : public testing::Test {
protected:
    void SetUp() override {
        RegisterImportParsers();
        previous_ = SetAppContext(&app_);
    }
    void TearDown() override { SetAppContext(previous_); }

    Articles Import(std::u16string_view text, int32_t expectedResult = 1) {
        EntrySink sink;
        sink.reader = &reader_;
        sink.formatType = 12;
        EXPECT_EQ(ImportParallelText(dictionary_, text.data(), static_cast<uint32_t>(text.size() * 2), 0,
                                     sink.Callbacks()),
                  expectedResult);
        EXPECT_EQ(sink.mismatch, u"");
        return sink.entries;
    }
    // The texts of the message boxes shown, all captioned "Input Text Error".
    std::vector<std::u16string> Errors() const {
        std::vector<std::u16string> texts;
        for (const auto& m : app_.messages) {
            EXPECT_EQ(m.caption, u"Input Text Error");
            texts.push_back(m.text);
        }
        return texts;
    }

    FakeAppContext app_;
    IAppContext* previous_ = nullptr;
    CDMS engine_{SystemStorageIO()};
    CDictionary dictionary_{0, engine_};
    CDictionary reader_{0, engine_};
};

TEST_F(ParallelText, SegmentTagsCutGroupsIntoAlignedRows) {
    EXPECT_EQ(Import(u"a<+>b\nx<+>y\n"), (Articles{u"5:a|5:x|", u"5:<+>b|5:<+>y|"}));
    EXPECT_EQ(Import(u"\xFEFF\r\n\r\n<P>one<p>two\r\n<P>один<P>два\r\n\r\n\r\n<H1>end\r\nконец"),
              (Articles{u"5:<P>one|5:<P>один|", u"5:<p>two|5:<P>два|", u"5:<H1>end|5:конец|"}));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(ParallelText, TheFirstGroupFixesTheLinesAndTheTagLines) {
    // "<Zxxx>" and "<Cyrl>" are tag lines: L = 4, N = 2.
    EXPECT_EQ(Import(u"<Zxxx>\n<Cyrl>\nfirst\nпервый\n\nskipped\nпропущено\nsecond\nвторой\n"),
              (Articles{u"5:first|5:первый|", u"5:second|5:второй|"}));
    // A language line with its name is a text line.
    EXPECT_EQ(Import(u"<Latn>English\n<Cyrl>Русский\n\nyes\nда\n"),
              (Articles{u"5:<Latn>English|5:<Cyrl>Русский|", u"5:yes|5:да|"}));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(ParallelText, GroupsOfTheWrongSizeStopTheImportWithTheArticlesBeforeKept) {
    EXPECT_EQ(Import(u"a\nb\n\nc\n\nnever\nseen\n", 0), (Articles{u"5:a|5:b|"}));
    EXPECT_EQ(Import(u"a\nb\n\nc\nd\ne\n\nnever\nseen\n", 0), (Articles{u"5:a|5:b|"}));
    EXPECT_EQ(Errors(), (Articles{u"Line: 5\nText: c\nError: 1 lines in a group instead of 2.",
                                  u"Line: 6\nText: c\nError: 3 lines in a group instead of 2."}));
}

TEST_F(ParallelText, AFirstGroupOfTagLinesOnlyIsAnErrorNotAnEndlessLoop) {
    EXPECT_TRUE(Import(u"<Latn>\n<Cyrl>\n\nyes\nда\n", 0).empty());
    EXPECT_TRUE(Import(u"a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\n", 0).empty());  // 11 lines: more than 10
    EXPECT_EQ(Errors(), (Articles{u"Line: 1\nText: <Latn>\nError: No text lines in the first group.",
                                  u"Line: 11\nText: a\nError: 11 lines in a group instead of 10."}));
}

TEST_F(ParallelText, LinesWithDifferentSegmentCountsAreReported) {
    const std::u16string many(100, u'q');
    EXPECT_EQ(Import(u"a\nb\n\none<+>two\nx\n", 0), (Articles{u"5:a|5:b|"}));
    EXPECT_EQ(Import(u"a\nb\n\nx\none<+>" + many + u"\n", 0), (Articles{u"5:a|5:b|"}));
    const std::u16string quoted = u"<+>" + many.substr(0, 77);  // at most 80 units of the line
    EXPECT_EQ(Errors(), (Articles{u"Line: 4\nText: <+>two\nError: Different number of <+> tags then in other lines "
                                  u"of the group.",
                                  u"Line: 5\nText: " + quoted +
                                      u"\nError: Different number of <+> tags then in other lines of the group."}));
}

TEST_F(ParallelText, LineTagCodes) {
    struct Case {
        std::u16string text;
        uint32_t code;
    };
    const Case cases[] = {
        {u"<Latn> text", 0x04000000}, {u"<Cyrl>", 0x04000000}, {u"<LATN>", 0x03000000}, {u"<H2>", 0x01000002},
        {u"<h7>x", 0x01000007},       {u"<P>", 0},             {u"<p>", 0},             {u"<P3>", 3},
        {u"<P32>", 0x0203},           {u"<p3>", 0x03000000},   {u"<+>", 0x03000000},    {u"<P\n>", 0x03000000},
        {u"<P", 0x03000000},          {u"<H", 0x03000000},     {u"<P3", 0x03000000},    {u"<P32", 0x03000000},
        {u"<Latn", 0x03000000},       {u"<", 0x03000000},      {u"", 0x03000000},       {u"text", 0x03000000},
    };
    for (const Case& c : cases) {
        // A buffer of exactly the text's length: a read past it is a sanitizer failure.
        const auto exact = std::make_unique<char16_t[]>(std::max<size_t>(c.text.size(), 1));
        std::copy(c.text.begin(), c.text.end(), exact.get());
        EXPECT_EQ(ClassifyMarkupTag(exact.get(), static_cast<int32_t>(c.text.size())), c.code) << c.text.size();
    }
    EXPECT_EQ(LineTagType(ClassifyMarkupTag(u"<P32>", 5)), kLineParagraph);
    EXPECT_EQ(LineTagValue(ClassifyMarkupTag(u"<P32>", 5)), 0x0203u);
}

TEST_F(ParallelText, TheLoaderReadsTheFilesCodePage) {
    ScratchFolder folder("parallel-text-loader");
    const auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(folder / name, std::ios::binary) << bytes;
        return (folder / name).u16string();
    };
    struct Case {
        std::string bytes;
        int32_t codePage;
        std::u16string text;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF猫 cat\n", 65001, u"\xFEFF猫 cat\n"},
        {"\x94\x4C cat\n", 932, u"猫 cat\n"},
        {"\xC7\xAD cat\n", 51932, u"猫 cat\n"},
        {"\xC7\xAD cat\n", 0, u""},
    };
    for (const Case& c : cases) {
        BinFile file(nullptr);
        ASSERT_TRUE(file.SetPath(write("book.txt", c.bytes).c_str()));
        file.codePage = c.codePage;
        uint32_t flags = kFormatBook | kFormatUtf8;
        std::u16string text = u"old";
        EXPECT_TRUE(LoadSourceTextAsUtf16(flags, file, text)) << c.codePage;
        EXPECT_EQ(text, c.text) << c.codePage;
        EXPECT_EQ(flags, kFormatBook);
    }
    BinFile unknown(nullptr);
    ASSERT_TRUE(unknown.SetPath(write("book.txt", "text\n").c_str()));
    unknown.codePage = 1252;
    uint32_t flags = kFormatBook;
    std::u16string text;
    EXPECT_FALSE(LoadSourceTextAsUtf16(flags, unknown, text));
    std::u16string message;
    EXPECT_TRUE(LoadParallelTextSource(write("utf8.txt", "a<+>b\nx<+>y\n"), kFormatBook | kFormatUtf8, text, message));
    EXPECT_EQ(text, u"a<+>b\nx<+>y\n");
    // A line in another encoding (Shift-JIS 猫 in a UTF-8 book, a cut EUC-JP pair) is refused by its number.
    EXPECT_FALSE(LoadParallelTextSource(write("sjis.txt", "a<+>b\n\x94L<+>cat\n"), kFormatBook | kFormatUtf8, text,
                                        message));
    EXPECT_EQ(message, u"Line: 2\nError: The text is not UTF-8.");
    EXPECT_FALSE(LoadParallelTextSource(write("euc.txt", "a<+>b\nx<+>y\n\xC7<+>cat\n"), kFormatBook | kFormatEucJp,
                                        text, message));
    EXPECT_EQ(message, u"Line: 3\nError: The text is not EUC-JP.");
}

}  // namespace
