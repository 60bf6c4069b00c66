// YARXI records made from Debian's KANJIDIC (import/tests/kanjidic_yarxi_source.py,
// readings romanised by kakasi), imported whole, then each stored and parsed
// as a cursor has it: the kanji, on readings (romaji back to katakana) and
// kun readings the parser derives, read through their list columns, equal
// kanjidic2.xml's readings; each article starts with its kanji in the
// headword class and shows every bracketed reading in the reading class.
// Native only: the scripts are python3.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "article/display_attributes.h"
#include "article/formatter_family.h"
#include "article/list_cell.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "common/tests/peer_program.h"
#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "common/text/utf8.h"
#include "import/yarxi_import.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

std::string Column(const CDictionary& dictionary, int32_t columnKind) {
    ListCell cell;
    cell.columnKind = columnKind;
    GetColumnText(dictionary, cell, columnKind, 0);
    std::string text = Utf16ToUtf8(std::u16string(cell.text, static_cast<size_t>(cell.length)));
    // One line per element, readings after the first led by "・": the
    // elements joined by ",".
    for (size_t at; (at = text.find("\n・")) != std::string::npos;) text.replace(at, 4, ",");
    while (!text.empty() && text.back() == '\n') text.pop_back();
    for (char& c : text)
        if (c == '\n') c = ',';
    return text;
}

int32_t CollectArticle(void* context, CDictionary& dictionary, int32_t element) {
    const DictionaryElement& e = dictionary.Elements()[element];
    static_cast<std::vector<std::u16string>*>(context)->emplace_back(e.begin, static_cast<size_t>(e.end - e.begin) + 1);
    return 1;
}

TEST(YarxiKanjidicArticles, ColumnsAndArticlesShowKanjidic2Readings) {
    ScratchFolder folder("yarxi-kanjidic-articles");
    const std::string source = (folder / "kanjidic-yarxi.txt").string();
    const auto oracleLines = RunPeerProgram(
        "kakasi", std::string("python3 ") + SourcePath("/import/tests/kanjidic_yarxi_source.py '") + source + "' 2>/dev/null", {});
    if (!oracleLines || oracleLines->empty()) GTEST_SKIP() << "kanjidic, kanjidic-xml, kakasi or python3 is missing";
    std::map<std::string, std::string> oracle;
    for (const std::string& line : *oracleLines) oracle[line.substr(0, line.find('\t'))] = line;

    const std::u16string text = Utf16File(source);
    CDMS engine(SystemStorageIO());
    CDictionary importer(0, engine);
    std::vector<std::u16string> records;
    ImportCallbacks callbacks;
    callbacks.onRecord = CollectArticle;
    callbacks.context = &records;
    ASSERT_EQ(ImportYarxi(importer, text.data(), static_cast<uint32_t>(text.size() * 2), 0, callbacks), 1);
    ASSERT_EQ(records.size(), oracle.size());

    size_t differing = 0;
    std::string first;
    CDictionary dictionary(0, engine);
    for (const std::u16string& record : records) {
        ASSERT_TRUE(ParseStoredRecord(dictionary, 15, record));
        // Column 3 the kanji (from "j" and from "k"), 7 the on and 2 the kun readings.
        const std::string kanji = Column(dictionary, 3);
        const std::string ours = kanji.substr(0, kanji.find(',')) + "\t" + Column(dictionary, 7) + "\t" +
                                 Column(dictionary, 2);
        const std::string& theirs = oracle[ours.substr(0, ours.find('\t'))];
        if (ours != theirs && differing++ == 0) first = ours + "\n  kanjidic2: " + theirs;

        const FormattedText article = FormatArticle(dictionary);
        ASSERT_FALSE(article.Text().empty());
        const std::u16string_view shown = article.Text();
        EXPECT_EQ(article.Attributes()[0] & kAttrColourMask, kClassHeadword);
        EXPECT_TRUE(shown.starts_with(Utf8ToUtf16(kanji.substr(0, kanji.find(',')))));
        // Every bracketed reading of the record is shown in the reading class.
        for (size_t open = record.find(u'['); open != std::u16string::npos; open = record.find(u'[', open + 1)) {
            const size_t close = record.find(u']', open);
            const std::u16string_view reading(record.data() + open + 1, close - open - 1);
            const size_t at = shown.find(reading);
            ASSERT_NE(at, std::u16string_view::npos) << Utf16ToUtf8(std::u16string(reading));
            EXPECT_EQ(article.Attributes()[at] & kAttrColourMask, kClassReading);
        }
    }
    EXPECT_EQ(differing, 0u) << first;
}

}  // namespace
