// WARODAI list rows against the compiler's keys: articles that
// import/tests/freedict_card_layouts.py makes from dict-freedict-jpn-rus, the
// compounds of a headword written as its tilde phrases (one to three tildes a
// line). Each article is cut by the WARODAI importer, stored and parsed back;
// its reading and kanji keys carry the variant numbers the compiler gives the
// derived entries, and the senses column of every key's variant shows the
// phrase that holds it (the whole article's own senses for variant 0), as the
// script's facts say. Native only: the articles are made by python3.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "article/formatter_family.h"
#include "article/list_cell.h"
#include "article/tests/with_source_parsers/imported_articles.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "common/text/utf8.h"
#include "import/article_keys.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

const std::string kScript = SourcePath("/import/tests/freedict_card_layouts.py");

// One article's facts: its reading, the column of the whole article, and per
// phrase line its tilde count and its column.
struct ArticleFacts {
    std::u16string reading;
    std::u16string whole;
    std::vector<std::pair<int, std::u16string>> phrases;

    // The column of variant `n`: the phrase line whose tildes cover it.
    const std::u16string* Column(uint16_t n) const {
        if (n == 0) return &whole;
        int covered = 1;
        for (const auto& [tildes, column] : phrases) {
            if (n < covered + tildes) return &column;
            covered += tildes;
        }
        return nullptr;
    }
};

std::vector<ArticleFacts> ReadFacts(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<ArticleFacts> facts;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::u16string> fields;
        const std::u16string text = Utf8ToUtf16(line);
        size_t at = 0;
        for (size_t end; (end = text.find(u'\x1e', at)) != text.npos; at = end + 1) fields.push_back(text.substr(at, end - at));
        fields.push_back(text.substr(at));
        ArticleFacts article{fields[0], fields[1], {}};
        for (size_t i = 2; i + 1 < fields.size(); i += 2)
            article.phrases.emplace_back(std::stoi(Utf16ToUtf8(fields[i])), fields[i + 1]);
        facts.push_back(article);
    }
    return facts;
}

TEST(WarodaiCompoundPhrases, EveryKeysVariantShowsItsOwnPhrase) {
#ifdef _WIN32
    GTEST_SKIP() << "the script that makes the articles runs in the native tree";
#endif
    ScratchFolder folder("warodai-compound-phrases");
    if (std::system(("python3 " + std::string(kScript) + " phrases '" + folder.path().string() + "' 2>/dev/null")
                        .c_str()) != 0)
        GTEST_SKIP() << "dict-freedict-jpn-rus is not installed";
    const std::vector<ArticleFacts> facts = ReadFacts(folder / "warodai_phrase_facts.txt");
    CDMS engine(SystemStorageIO());
    const std::vector<std::u16string> articles = ImportedArticleSpans(10, engine, Utf16File(folder / "jpn-rus-phrases.warodai"));
    ASSERT_GT(facts.size(), 500u);
    ASSERT_EQ(articles.size(), facts.size());

    size_t keysChecked = 0, tildes = 0, multiTildeLines = 0;
    for (size_t a = 0; a < articles.size(); ++a) {
        const ArticleFacts& fact = facts[a];
        CDictionary card(0, engine);
        ASSERT_TRUE(ParseStoredRecord(card, 10, articles[a])) << Utf16ToUtf8(fact.reading);
        std::vector<KeyElement> elements;
        int derived = 0;
        for (int32_t e = 0; e < card.ElementCount(); ++e) {
            const DictionaryElement& element = card.Elements()[e];
            elements.push_back({element.kind, element.flags, element.group,
                                {element.text, element.text ? static_cast<size_t>(element.length) : 0}});
            derived += element.kind == kKeyDerived;
        }
        int expectedTildes = 0;
        for (const auto& [count, column] : fact.phrases) {
            expectedTildes += count;
            multiTildeLines += count > 1;
        }
        // One derived entry for each tilde the formatter counts.
        EXPECT_EQ(derived, expectedTildes) << Utf16ToUtf8(fact.reading);
        tildes += static_cast<size_t>(expectedTildes);

        std::vector<DictionaryKey> keys;
        BuildReadingKeys(elements, kWarodaiFormat, keys);
        BuildKanjiKeys(elements, kWarodaiFormat, keys);
        std::set<uint16_t> variants;
        for (const DictionaryKey& key : keys) variants.insert(key.variant);
        EXPECT_EQ(variants.size(), static_cast<size_t>(expectedTildes) + 1) << Utf16ToUtf8(fact.reading);
        for (uint16_t variant : variants) {
            const std::u16string* expected = fact.Column(variant);
            ASSERT_NE(expected, nullptr) << Utf16ToUtf8(fact.reading) << " variant " << variant;
            ListCell cell;
            GetColumnText(card, cell, 4, variant);
            EXPECT_EQ(Utf16ToUtf8(std::u16string(cell.text, static_cast<size_t>(cell.length))), Utf16ToUtf8(*expected))
                << Utf16ToUtf8(fact.reading) << " variant " << variant;
            ++keysChecked;
        }
        if (HasFailure()) return;
    }
    std::printf("%zu articles, %zu tildes (%zu lines with more than one), %zu variants checked\n", articles.size(),
                tildes, multiTildeLines, keysChecked);
    EXPECT_GT(multiTildeLines, 0u);
}

}  // namespace
