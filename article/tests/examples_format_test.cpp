// Examples records: the worked pair as article, columns and index text, a
// record without a tab, and the index text rewritten in place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "article/examples_format.h"
#include "article/formatter_family.h"
#include "article/tests/parsed_record_fixture.h"

namespace {

constexpr std::u16string_view kPair = u"A: \u732B\u3067\u3059\u3002\tIt is a cat.#ID=1\nB: \u732B \u3067\u3059";

class ExamplesRecord : public ParsedRecordTest {
protected:
    void Store(std::u16string_view text) { StoreRawRecord(dictionary, 11, text); }
};

TEST_F(ExamplesRecord, SentenceTranslationAndGreyWords) {
    Store(kPair);
    const StyledResult article = Show(FormatArticle(dictionary));
    EXPECT_EQ(article.text, u"\u732B\u3067\u3059\u3002\nIt is a cat.\n\n\u732B \u3067\u3059\n");
    EXPECT_TRUE(article.AllOf(u"\u732B\u3067\u3059\u3002", kClassHeadword));
    EXPECT_TRUE(article.AllOf(u"It is a cat.", kClassPlain));
    EXPECT_TRUE(article.AllOf(u"\u732B \u3067\u3059", kClassGrey));
    EXPECT_EQ(Show(FormatExportText(dictionary)).text, article.text);

    Store(u"A: \u732B\u3067\u3059\u3002");
    EXPECT_EQ(Show(FormatArticle(dictionary)).text, u"\u732B\u3067\u3059\u3002\n\n\n");
}

TEST_F(ExamplesRecord, SensesColumnShowsTranslations) {
    Store(kPair);
    Add(5, u"sense");
    Add(8, u"It is a cat.");
    ListCell cell;
    GetColumnText(dictionary, cell, 4, 0);
    EXPECT_EQ(std::u16string(cell.text, static_cast<size_t>(cell.length)), u"It is a cat.\n");
}

TEST(ExamplesIndexText, LeadsAndIdentifierGoTabStays) {
    std::u16string text(kPair);
    text.insert(text.find(u"It"), u"(a;b, c)  ");
    std::vector<uint16_t> bits(text.size(), kFieldSense);
    bits[3] |= kFieldElementStart;
    const int32_t length = PrepareIndexText(11, text.data(), static_cast<int32_t>(text.size()), text.data(),
                                            static_cast<int32_t>(text.size()), bits.data());
    ASSERT_EQ(text.substr(0, static_cast<size_t>(length)),
              u"\u732B\u3067\u3059\u3002\t(a;b, c) It is a cat. \u732B \u3067\u3059");
    EXPECT_EQ(bits[0], kFieldSense | kFieldElementStart);
    EXPECT_EQ(bits[1], kFieldSense);
    EXPECT_EQ(bits[5], kFieldSense | kFieldInBrackets);                    // "("
    EXPECT_EQ(bits[7], kFieldSense | kFieldInBrackets | kFieldSemicolon);  // ";"
    EXPECT_EQ(bits[9], kFieldSense | kFieldInBrackets | kFieldComma);      // ","
    EXPECT_EQ(bits[12], kFieldSense);                                      // ")"

    char16_t small[4];
    EXPECT_EQ(PrepareIndexTextF11(small, 4, kPair.data(), static_cast<int32_t>(kPair.size()), nullptr), 4);
}

}  // namespace
