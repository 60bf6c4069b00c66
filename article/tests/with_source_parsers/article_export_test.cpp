// The export walk over real records: 100 EDICT entries and 50 KANJIDIC
// characters parsed by the source parsers, with an unreadable entry among
// them. Every option combination gives the document that the renderers give
// record by record with the flags the options stand for; the text is the
// records' export texts with a blank line between them; the saved file has
// CR LF line ends only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "article/article_export.h"
#include "article/export_records.h"
#include "article/formatter_family.h"
#include "article/rtf_dispatch.h"
#include "article/rtf_text.h"
#include "article/tests/real_data_lines.h"
#include "article/tests/rtf_lint.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "common/tests/test_files.h"
#include "storage/dms.h"
#include "storage/simulated_disk.h"

namespace {

// Lines of two dictionaries, each parsed into its dictionary when asked for.
class ParsedLineRecords final : public IExportRecords {
public:
    struct Line {
        CDictionary* dictionary;
        uint16_t formatType;
        std::u16string text;
    };
    int32_t Count() const override { return static_cast<int32_t>(lines.size()); }
    CDictionary* Load(int32_t index) override {
        const Line& line = lines[static_cast<size_t>(index)];
        if (line.dictionary == nullptr) return nullptr;
        return ParseStoredRecord(*line.dictionary, line.formatType, line.text) ? line.dictionary : nullptr;
    }
    // A line of no dictionary is a row's own text.
    std::u16string_view ShownText(int32_t index) override {
        const Line& line = lines[static_cast<size_t>(index)];
        return line.dictionary == nullptr ? std::u16string_view(line.text) : std::u16string_view();
    }
    std::vector<Line> lines;
};

class ArticleExport : public ::testing::Test {
protected:
    ArticleExport() : engine(disk), edict(0, engine), kanjidic(0, engine) {
        static const std::vector<std::u16string> edictLines = ReadDecodedLines("edict");
        static const std::vector<std::u16string> kanjidicLines = ReadDecodedLines("kanjidic");
        if (edictLines.size() < 101 || kanjidicLines.size() < 51) return;
        kanjidic.wordCount = 1;  // a kanji dictionary with a word index shows its senses
        for (size_t i = 1; i <= 100; ++i) {
            records.lines.push_back({&edict, 3, edictLines[i]});
            if (i % 2 == 0) records.lines.push_back({&kanjidic, 6, kanjidicLines[i / 2] + u"\n"});
            if (i == 37) records.lines.push_back({&edict, 0, u"not a record"});
        }
    }
    void SetUp() override {
        if (records.lines.empty()) GTEST_SKIP() << "Debian's edict and kanjidic are not installed";
    }

    // The document the renderers make of the readable records, with the
    // flags word each option stands for.
    std::string ExpectedDocument(const ExportOptions& o) {
        const uint32_t flags = 0x41 | (o.formatCompressed ? 4 : 0) | (o.formatColored ? 8 : 0) |
                               (o.startKanji ? 0x10 : 0) | (o.translit ? 0x20 : 0);
        CRtfDocumentBuilder document(flags);
        for (int32_t i = 0; i < records.Count(); ++i) {
            CDictionary* dictionary = records.Load(i);
            if (dictionary == nullptr) continue;
            const std::span<const DictionaryElement> elements(dictionary->Elements(),
                                                              static_cast<size_t>(dictionary->ElementCount()));
            RenderRtfArticle(*document.AddArticle(), RtfTable::Print, records.lines[static_cast<size_t>(i)].formatType,
                             elements, o.fontSize, dictionary == &kanjidic ? flags | 0x80 : flags);
        }
        document.columns = o.columns;
        document.blankLines = o.addBlankLines;
        return document.Document();
    }

    SimulatedDisk disk;
    CDMS engine;
    CDictionary edict, kanjidic;
    ParsedLineRecords records;
};

TEST_F(ArticleExport, EveryOptionCombinationRendersTheRecordsWithItsFlags) {
    ArticleExportBuilder builder;
    int32_t reported = 0;
    builder.progress = [&](int32_t number) {
        EXPECT_EQ(number, ++reported);
        return true;
    };
    for (int32_t combination = 0; combination < 16; ++combination) {
        ExportOptions options;
        options.formatCompressed = combination & 1;
        options.formatScreen = !options.formatCompressed;
        options.formatColored = (combination >> 1) & 1;
        options.startKanji = (combination >> 2) & 1;
        options.translit = (combination >> 3) & 1;
        options.columns = 1 + combination % 3;
        options.addBlankLines = combination % 5;
        options.fontSize = kExportFontSizes[static_cast<size_t>(combination) % kExportFontSizes.size()];
        reported = 0;
        CRtfDocumentBuilder* document = builder.BuildRtf(records, options);
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(builder.Processed(), 151);  // the unreadable entry is walked and skipped
        EXPECT_EQ(builder.Skipped(), 1);
        EXPECT_EQ(document->PieceCount(), 150);
        const std::string rtf = document->Document();
        EXPECT_EQ(rtf, ExpectedDocument(options)) << "combination " << combination;
        EXPECT_EQ(RtfLint(rtf), "");
    }
}

TEST_F(ArticleExport, TextIsTheExportTextsWithABlankLineBetweenArticles) {
    std::u16string expected;
    for (int32_t i = 0; i < records.Count(); ++i) {
        CDictionary* dictionary = records.Load(i);
        if (dictionary == nullptr) continue;
        std::u16string article(FormatExportText(*dictionary).Text());
        if (article.empty()) continue;
        if (!expected.empty()) expected += u"\n";
        expected += article;
        if (article.back() != u'\n') expected += u"\n";
    }
    ArticleExportBuilder builder;
    EXPECT_EQ(builder.BuildText(records, TextLineEnds::Lf), expected);

    std::u16string crlf;
    for (char16_t c : expected) crlf += c == u'\n' ? std::u16string(u"\r\n") : std::u16string(1, c);
    EXPECT_EQ(builder.BuildText(records, TextLineEnds::CrLf), crlf);
    // EDICT export texts end without a line feed: without the separator they ran together.
    EXPECT_NE(expected.find(u"\n\n"), std::u16string::npos);
}

// The text a reader of the document sees (the clipboard's plain text) holds
// every EDICT headword as the source writes it, full-width forms included,
// in order; a walk its progress stops ends there.
TEST_F(ArticleExport, TheDocumentsTextKeepsTheHeadwordsAndAStoppedWalkEnds) {
    ArticleExportBuilder builder;
    RtfTextReader reader;
    builder.BuildRtf(records, {})->WriteParts([&](std::string_view part) {
        reader.Read(part);
        return true;
    });
    const std::u16string& text = reader.Text();
    size_t at = 0, fullWidth = 0;
    for (const ParsedLineRecords::Line& line : records.lines) {
        if (line.dictionary != &edict || line.formatType != 3) continue;
        const std::u16string headword = line.text.substr(0, line.text.find_first_of(u" ;("));
        fullWidth += headword.find_first_of(u"０１２３４５６７８９ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ") !=
                     std::u16string::npos;
        at = text.find(headword, at);
        ASSERT_NE(at, std::u16string::npos) << "headword " << &line - records.lines.data();
    }
    EXPECT_GT(fullWidth, 5u);

    builder.progress = [](int32_t number) { return number < 20; };
    ASSERT_NE(builder.BuildRtf(records, {}), nullptr);
    EXPECT_TRUE(builder.Stopped());
    EXPECT_EQ(builder.Processed(), 20);
    EXPECT_EQ(builder.Document()->PieceCount(), 19);
}

TEST_F(ArticleExport, ASecondBuildReplacesTheFirstAndResetFreesBoth) {
    ArticleExportBuilder builder;
    ExportOptions options;
    const std::string first = builder.BuildRtf(records, options)->Document();
    EXPECT_EQ(builder.BuildRtf(records, options)->Document(), first);  // one head, not two
    EXPECT_EQ(builder.Document()->PieceCount(), 150);
    builder.BuildText(records, TextLineEnds::Lf);
    builder.Reset();
    EXPECT_EQ(builder.Document(), nullptr);
    EXPECT_TRUE(builder.Text().empty());
    EXPECT_EQ(builder.Processed(), 0);
}

// Pieces keep only what they hold, whatever the renderers reserved; when the
// pieces may not grow further the walk stops and the document keeps whole
// articles only, says it was cut, and is still written out.
TEST_F(ArticleExport, PiecesHoldWhatTheyHoldAndAFullMemoryCutsTheDocument) {
    ArticleExportBuilder builder;
    ExportOptions options;
    CRtfDocumentBuilder* whole = builder.BuildRtf(records, options);
    ASSERT_NE(whole, nullptr);
    EXPECT_FALSE(whole->Cut());
    const std::string full = whole->Document();  // the last piece fits when the document is completed
    size_t written = 0;
    std::vector<std::string> pieces;
    for (int32_t i = 0; i < whole->PieceCount(); ++i) {
        EXPECT_EQ(whole->Piece(i).Capacity(), whole->Piece(i).Bytes().size() + 1) << "piece " << i;
        written += whole->Piece(i).Bytes().size() + 1;
        pieces.emplace_back(whole->Piece(i).Bytes());
    }
    EXPECT_EQ(whole->HeldBytes(), written + full.find("\\cols2") + 6 + 1);  // the pieces and the head

    builder.memoryLimit = written / 3;
    CRtfDocumentBuilder* cut = builder.BuildRtf(records, options);
    ASSERT_NE(cut, nullptr);
    EXPECT_TRUE(cut->Cut());
    EXPECT_LE(cut->HeldBytes(), written / 3);
    const int32_t count = cut->PieceCount();
    ASSERT_GT(count, 10);
    ASSERT_LT(count, 150);
    EXPECT_LT(builder.Processed(), 151);  // the walk stopped
    EXPECT_TRUE(cut->Piece(count - 1).Failed());
    EXPECT_TRUE(cut->Piece(count - 1).Bytes().empty());
    for (int32_t i = 0; i + 1 < count; ++i) EXPECT_EQ(cut->Piece(i).Bytes(), pieces[static_cast<size_t>(i)]) << i;
    const std::string rtf = cut->Document();
    EXPECT_EQ(RtfLint(rtf), "");
    ScratchFolder folder("article-export-cut");
    const std::u16string path = (folder / "cut.rtf").u16string();
    EXPECT_EQ(cut->SaveToFile(path.c_str()), 1);
}

// Rows that stand for no record (the Latin analyser's reading of a numeral or
// of a word it does not know) are output as they are shown, one article each,
// among the records: none is counted as unreadable, the
// document reads back as their lines, and the text holds them as they stand.
TEST_F(ArticleExport, RowsOfTheirOwnTextAreOutputAsShown) {
    const std::u16string numeral = u"XIV\nXIV = 14 (Roman numeral)";
    const std::u16string unknown = u"USER\nUSER: not found";
    records.lines.insert(records.lines.begin() + 3, {nullptr, 0, numeral});
    records.lines.push_back({nullptr, 0, unknown});
    for (const bool compact : {false, true}) {
        ArticleExportBuilder builder;
        ExportOptions options;
        options.formatCompressed = compact;
        options.formatScreen = !compact;
        CRtfDocumentBuilder* document = builder.BuildRtf(records, options);
        ASSERT_NE(document, nullptr);
        EXPECT_EQ(builder.Skipped(), 1);  // only the unreadable record
        EXPECT_EQ(document->PieceCount(), 152);
        const std::string rtf = document->Document();
        EXPECT_EQ(RtfLint(rtf), "");
        RtfTextReader reader;
        reader.Read(rtf);
        const std::u16string& read = reader.Text();
        const std::u16string lineBreak = u"\r\n";  // a line of the view stays one in either layout
        EXPECT_NE(read.find(u"XIV" + lineBreak + u"XIV = 14 (Roman numeral)"), std::u16string::npos)
            << "compact " << compact;
        EXPECT_NE(read.find(u"USER" + lineBreak + u"USER: not found"), std::u16string::npos);
    }
    ArticleExportBuilder builder;
    const std::u16string_view text = builder.BuildText(records, TextLineEnds::Lf);
    EXPECT_EQ(builder.Skipped(), 1);
    EXPECT_NE(text.find(u"\n\n" + numeral + u"\n\n"), std::u16string_view::npos);
    EXPECT_TRUE(text.ends_with(u"\n\n" + unknown + u"\n"));
}

TEST_F(ArticleExport, SavedFileHasCrLfLineEndsOnly) {
    ScratchFolder folder("article-export");
    ArticleExportBuilder builder;
    ExportOptions options;
    options.addBlankLines = 4;
    const std::filesystem::path path = folder / "words.rtf";
    const std::u16string path16(path.u16string());
    ASSERT_EQ(builder.BuildRtf(records, options)->SaveToFile(path16.c_str()), 1);
    const std::string bytes = ReadText(path);
    ASSERT_GT(bytes.size(), 10000u);
    size_t lineEnds = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        ++lineEnds;
        ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at " << i;
    }
    EXPECT_GT(lineEnds, 150u * 4);
}

}  // namespace
