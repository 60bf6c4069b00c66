// The hand-written DSL cards of article/tests/dsl_cards (every tag the
// cleaning and the renderer know) cut by the DSL importer, stored and parsed
// back, then through each DSL formatter, against outputs read and pinned in
// cards.expected: the list columns, the columns cut for dictionaries with
// Latin stem entries and the summary of later indented lines, the cleaned
// body with its bold and italic runs, and the readable text of the article
// RTF. The export text is the card itself. OSTREL_WRITE_GOLDEN=1 rewrites
// cards.expected from what the formatters give (read the diff before keeping it).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "article/dsl_format.h"
#include "article/formatter_family.h"
#include "article/list_cell.h"
#include "article/tests/rtf_lint.h"
#include "article/tests/with_source_parsers/imported_articles.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "common/tests/test_paths.h"
#include "common/text/utf8.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

const std::string kCards = SourcePath("/article/tests/dsl_cards/cards.dsl");
const std::string kExpected = SourcePath("/article/tests/dsl_cards/cards.expected");

// Line feeds shown as "⏎" so that each output keeps to one line.
std::string OneLine(std::u16string_view text) {
    std::string out = Utf16ToUtf8(std::u16string(text));
    for (size_t at = 0; (at = out.find('\n', at)) != std::string::npos;) out.replace(at, 1, "\u23CE");
    return out;
}

// Runs of equal words as "start+length:hex", words equal to `plain` left out.
template <typename Word>
std::string Runs(const Word* words, size_t count, Word plain) {
    std::string out;
    for (size_t at = 0, end; at < count; at = end) {
        for (end = at + 1; end < count && words[end] == words[at];) ++end;
        if (words[at] == plain) continue;
        std::ostringstream run;
        run << ' ' << at << '+' << end - at << ':' << std::hex << static_cast<uint32_t>(words[at]);
        out += run.str();
    }
    return out;
}

std::string Cell(const ListCell& cell) {
    return OneLine({cell.text, static_cast<size_t>(cell.length)}) + " |" +
           Runs(cell.attributes, static_cast<size_t>(cell.length), uint32_t{0x40});
}

// The card's outputs, one "name: value" line each.
std::string Outputs(CDictionary& card, std::u16string_view span) {
    std::string out;
    for (int32_t column : {2, 3, 4, 5}) {
        ListCell cell;
        GetColumnText(card, cell, column, 0);
        if (cell.length > 0) out += "column " + std::to_string(column) + ": " + Cell(cell) + "\n";
    }
    for (int32_t column : {2, 3, 4}) {
        ListCell cell;
        GetColumnTextF9Kinds(card, 0, cell, column);
        out += "cut " + std::to_string(column) + ": " + Cell(cell) + "\n";
    }
    ListCell summary;
    if (BuildDslCellSummary(summary, span) > 0) out += "summary: " + Cell(summary) + "\n";
    const DictionaryElement* body = nullptr;
    for (int32_t e = 1; e < card.ElementCount(); ++e)
        if (card.Elements()[e].kind == 5) body = &card.Elements()[e];
    if (body != nullptr) {
        std::string cleaned[2];
        for (bool capitalise : {false, true}) {
            std::u16string text(body->text, static_cast<size_t>(body->length));
            std::vector<uint16_t> styles(text.size() + 1, 0);
            text.resize(static_cast<size_t>(ParseArticleLineStyles(text.data(), styles.data(), body->length, capitalise)));
            cleaned[capitalise] = OneLine(text) + " |" + Runs(styles.data(), text.size(), uint16_t{0});
        }
        out += "clean: " + cleaned[0] + "\n";
        // The second pass, where it changes anything (Unihan-like cards).
        if (cleaned[1] != cleaned[0]) out += "capitalised: " + cleaned[1] + "\n";
    }
    const FormattedText article = FormatArticle(card);
    const std::string rtf(article.RtfDocument());
    const std::string lint = RtfLint(rtf);
    if (!lint.empty()) out += "rtf lint: " + lint + "\n";
    const size_t body_at = rtf.find("\\viewkind");
    std::string readable = RtfReadable(rtf.substr(body_at == std::string::npos ? 0 : body_at));
    for (char& c : readable)
        if (c == '\n' || c == '\r') c = ' ';
    out += "rtf: " + readable + "\n";
    // The export text is the card unchanged.
    const FormattedText plain = FormatExportText(card);
    if (plain.Text() != span) out += "export differs: " + OneLine(plain.Text()) + "\n";
    return out;
}

TEST(DslCardsGolden, EveryFormatterGivesThePinnedOutput) {
    CDMS engine(SystemStorageIO());
    const std::vector<std::u16string> cards = ImportedArticleSpans(9, engine, DslTextOfUtf8File(kCards));
    ASSERT_GE(cards.size(), 30u);
    std::string actual;
    for (const std::u16string& span : cards) {
        CDictionary card(0, engine);
        std::copy_n(u"eng", 3, card.languages[0]);
        ASSERT_TRUE(ParseStoredRecord(card, 9, span)) << Utf16ToUtf8(span);
        actual += "# " + OneLine(span.substr(0, span.find(u'\n'))) + "\n" + Outputs(card, span) + "\n";
    }
    if (std::getenv("OSTREL_WRITE_GOLDEN") != nullptr) std::ofstream(kExpected, std::ios::binary) << actual;
    EXPECT_EQ(actual, ReadText(kExpected));
}

}  // namespace
