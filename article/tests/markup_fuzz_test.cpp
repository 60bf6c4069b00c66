// Random markup through the formatters that read a record's text: cleaning,
// cut columns and their summary, WARODAI and EIJIRO columns, PDIC articles
// and the index preparers stay inside their buffers (the sanitizers watch),
// cells keep to 254 units and attributes run exactly as long as the texts.
// OSTREL_ARTICLE_FUZZ=N runs N rounds instead of 3000.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "article/dsl_format.h"
#include "article/formatter_family.h"
#include "article/tests/parsed_record_fixture.h"

namespace {

std::u16string RandomMarkup(std::mt19937& random) {
    static const std::u16string_view kPieces[] = {
        u"[", u"]", u"[b]", u"[/b]", u"[i]", u"[/p]", u"[p]", u"{{", u"}}", u"{", u"}", u"\\", u"\n", u"\n\t",
        u" ", u"\t", u"\r", u"-", u"---", u"<<", u">>", u"Definition:", u"Japanese(On):", u"=", u"(", u")",
        u"] \u043A ", u"\u0441\u043C.", u"II ", u"[m1][*]", u"[ls", u"\uFF5E", u"1)", u"10)", u"2.", u"<i>",
        u"</i>", u"<", u">", u":", u"\u25CF", u"\u25A0", u"\u30FB", u"\u3010\u7528", u"\u3011", u"\uFF1B",
        std::u16string_view(u"\0", 1), u"#", u"A: ", u"B: ", u"abc", u"\u732B", u"\u306D\u3053", u"."};
    std::u16string text;
    const int pieces = static_cast<int>(random() % 60);
    for (int i = 0; i < pieces; ++i) {
        text += kPieces[random() % std::size(kPieces)];
    }
    return text;
}

class MarkupFuzz : public ParsedRecordTest {};

TEST_F(MarkupFuzz, EveryMemberStaysInsideItsBuffers) {
    const char* rounds = std::getenv("OSTREL_ARTICLE_FUZZ");
    const int count = rounds ? std::atoi(rounds) : 3000;
    std::mt19937 random(28);
    for (int round = 0; round < count; ++round) {
        const std::u16string text = RandomMarkup(random);
        std::u16string clean = text;
        std::vector<uint16_t> styles(text.size(), kClassPlain);
        const int32_t kept = ParseArticleLineStyles(clean.data(), styles.data(), static_cast<int32_t>(clean.size()),
                                                    round % 2 == 0);
        ASSERT_LE(kept, static_cast<int32_t>(text.size()));

        const uint32_t format = 7 + static_cast<uint32_t>(round % 7);
        dictionary.ClearParsedArticle();
        dictionary.parsedFormatType = format;
        dictionary.latinStemCount = round % 3 == 0 ? 1 : 0;
        StoreRawRecord(dictionary, static_cast<uint8_t>(format), text);
        DictionaryElement& entry = AddElement(dictionary, 2, text.empty() ? u"x" : text);
        entry.begin = entry.text;
        entry.end = entry.text + entry.length - 1;
        Add(5, text);
        for (int32_t kind : {2, 3, 4, 9, 28, 29}) {
            ListCell cell;
            const int32_t length = GetColumnText(dictionary, cell, kind, static_cast<uint16_t>(round % 4));
            ASSERT_LE(length, kCellTextLimit);
            ASSERT_EQ(length, cell.length);
        }
        const FormattedText article = FormatArticle(dictionary);
        ASSERT_EQ(article.Attributes().size(), article.Text().size());
        const FormattedText exported = FormatExportText(dictionary);
        ASSERT_EQ(exported.Attributes().size(), exported.Text().size());

        std::u16string index = text;
        std::vector<uint16_t> bits(text.size() + 1, 0);
        const int32_t indexed = PrepareIndexText(format, index.data(), static_cast<int32_t>(index.size()),
                                                 index.data(), static_cast<int32_t>(index.size()), bits.data());
        ASSERT_LE(indexed, static_cast<int32_t>(text.size()));
    }
}

}  // namespace
