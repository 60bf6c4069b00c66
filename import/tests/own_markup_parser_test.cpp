// The own markup parser against the worked examples of its format, its
// limits, its control-word tables, re-entrance from a callback, and a
// random-input sweep under the sanitizers (OSTREL_LONG_FUZZ=1 runs longer).
#include "import/own_markup_parser.h"
#include "import/tests/markup_test_sink.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

struct ParseRun {
    TestMarkupSink sink;
    std::vector<int32_t> articles;  // element numbers given to the article callback
    MarkupParseResult result;
};

ParseRun Parse(std::u16string_view text, OwnMarkupMode mode) {
    ParseRun run;
    MarkupCallbacks callbacks;
    callbacks.context = &run;
    callbacks.article = [](void* c, int32_t e) {
        static_cast<ParseRun*>(c)->articles.push_back(e);
        return int32_t{1};
    };
    run.result = ParseOwnMarkup(text, 0, mode, run.sink, callbacks);
    return run;
}

TEST(OwnMarkupParser, WholeTextGivesElementsOfEachGroupAndOneArticleCall) {
    const std::u16string text = u"{\\rdf1 {\\a {\\k 猫}{\\r ねこ}{\\s {\\rus кошка}}}}";
    ParseRun run = Parse(text, OwnMarkupMode::WholeText);
    ASSERT_EQ(run.result.ok, 1);
    EXPECT_EQ(run.result.dictionaryFlag, kWordDictionaryFlag);
    const std::vector<uint32_t> kinds = {1, 2, 4, 3, 5, 8};
    ASSERT_EQ(run.sink.elements.size(), kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(run.sink.elements[i].kind, kinds[i]) << i;
    EXPECT_EQ(run.sink.TextOf(text, 2), u"猫");
    EXPECT_EQ(run.sink.TextOf(text, 3), u"ねこ");
    EXPECT_EQ(run.sink.elements[4].textOffset, -1);
    EXPECT_EQ(run.sink.TextOf(text, 5), u"кошка");
    EXPECT_EQ(run.articles, std::vector<int32_t>{1});
    // The article's span runs from its "{" to its "}".
    EXPECT_EQ(text[run.sink.elements[1].begin], u'{');
    EXPECT_EQ(run.sink.elements[1].end, text.size() - 2);
}

TEST(OwnMarkupParser, FlagWordsOrIntoTheArticle) {
    ParseRun run = Parse(u"{\\a\\v1\\vt {\\k 書く}}", OwnMarkupMode::WordArticle);
    ASSERT_EQ(run.result.ok, 1);
    EXPECT_EQ(run.sink.elements[0].kind, kMarkupArticle);
    EXPECT_EQ(run.sink.elements[0].flags, 0x501u);
}

TEST(OwnMarkupParser, TextRuns) {
    struct Case {
        std::u16string text;
        size_t element;
        std::u16string expected;
        uint32_t kind;
    };
    const Case cases[] = {
        {u"{\\a {\\k a\\{b}}", 1, u"a\\{b", kMarkupWord},          // escapes count both characters
        {u"{\\foo text}", 0, u"text", kMarkupNone},                 // unknown word: kind 0, text kept
        {u"{\\a {\\k  \t x y }}", 1, u"x y ", kMarkupWord},           // a run starts above U+0020, keeps blanks
        {u"{\\a {\\k ab\\v cd}}", 1, u"ab\\v", kMarkupWord},         // a word inside a run is not counted
        {u"{\\a {\\k x} tail}", 0, u"", kMarkupArticle},            // text after a nested group belongs to none
        {u"{\\a {\\k\\", 1, u"", kMarkupWord},                       // a backslash as the last character
    };
    for (const Case& c : cases) {
        ParseRun run = Parse(c.text, OwnMarkupMode::WordArticle);
        EXPECT_EQ(run.result.ok, 1);
        ASSERT_GT(run.sink.elements.size(), c.element);
        EXPECT_EQ(run.sink.TextOf(c.text, c.element), c.expected);
        EXPECT_EQ(run.sink.elements[c.element].kind, c.kind);
    }
}

TEST(OwnMarkupParser, OverlongControlWordIsUnknownAndReadWhole) {
    const std::u16string text = u"{\\a {\\" + std::u16string(200, u'k') + u" word}}";
    ParseRun run = Parse(text, OwnMarkupMode::WordArticle);
    ASSERT_EQ(run.result.ok, 1);
    EXPECT_EQ(run.sink.elements[1].kind, kMarkupNone);
    EXPECT_EQ(run.sink.TextOf(text, 1), u"word");
}

TEST(OwnMarkupParser, NestingLimitAndUnbalancedBraces) {
    auto nested = [](int levels) { return std::u16string(levels, u'{') + u"\\a x"; };
    EXPECT_EQ(Parse(nested(20), OwnMarkupMode::WordArticle).result.ok, 1);  // groups left open are fine
    EXPECT_EQ(Parse(nested(21), OwnMarkupMode::WordArticle).result.ok, 0);
    ParseRun extra = Parse(u"{\\a {\\k x}}}{\\a}", OwnMarkupMode::WordArticle);
    EXPECT_EQ(extra.result.ok, 0);
    EXPECT_EQ(extra.sink.elements.size(), 2u);  // what came before the stray "}" stays
}

TEST(OwnMarkupParser, WholeTextHeaderCheck) {
    struct Case {
        std::u16string text;
        uint32_t flag;
    };
    const Case cases[] = {
        {u"{\\rdf1 {\\a}}", kWordDictionaryFlag},
        {u"\uFEFF{\\rdf2 {\\a}}", kKanjiDictionaryFlag},
        {u"{\\rdf3 {\\a}}", 0},
        {u"{\\rdf1", 0},  // 12 bytes: too short
        {u"{\\rtf1 {\\a}}", 0},
    };
    for (const Case& c : cases) {
        ParseRun run = Parse(c.text, OwnMarkupMode::WholeText);
        EXPECT_EQ(run.result.dictionaryFlag, c.flag) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(run.result.ok, c.flag ? 1 : 0);
        if (!c.flag) {
            EXPECT_TRUE(run.sink.elements.empty());
        }
    }
}

TEST(OwnMarkupParser, KanjiVocabularyOnlyInKanjiArticles) {
    const std::u16string text = u"{\\a {\\j 新}{\\o シン}{\\k あたら.しい}{\\ss new}}";
    ParseRun kanji = Parse(text, OwnMarkupMode::KanjiArticle);
    const std::vector<uint32_t> kinds = {2, 4, 11, 12, 13};
    ASSERT_EQ(kanji.sink.elements.size(), kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i) EXPECT_EQ(kanji.sink.elements[i].kind, kinds[i]);
    EXPECT_EQ(kanji.sink.elements[2].flags, 0x2u);
    ParseRun word = Parse(text, OwnMarkupMode::WordArticle);
    EXPECT_EQ(word.sink.elements[1].kind, kMarkupNone);  // "j" is no word-vocabulary word
    EXPECT_EQ(word.sink.elements[3].kind, kMarkupWord);  // "k" is the word there
}

TEST(OwnMarkupParser, ControlWordTables) {
    struct Case {
        int32_t table;
        const char16_t* word;
        uint32_t kind;
        uint32_t flags;
    };
    const Case cases[] = {
        {kWordVocabulary, u"v", 0, 0x1},        {kWordVocabulary, u"v1", 0, 0x401},
        {kWordVocabulary, u"v2", 0, 0x801},     {kWordVocabulary, u"vi", 0, 0x201},
        {kWordVocabulary, u"vt", 0, 0x101},     {kWordVocabulary, u"vs", 0, 0x1001},
        {kWordVocabulary, u"vk", 0, 0x2001},    {kWordVocabulary, u"adj", 0, 0x2},
        {kWordVocabulary, u"adji", 0, 0x202},   {kWordVocabulary, u"ai", 0, 0x202},
        {kWordVocabulary, u"adjna", 0, 0x102},  {kWordVocabulary, u"ana", 0, 0x102},
        {kWordVocabulary, u"adv", 0, 0x10},     {kWordVocabulary, u"advku", 0, 0x210},
        {kWordVocabulary, u"advni", 0, 0x110},  {kWordVocabulary, u"n", 0, 0x4},
        {kWordVocabulary, u"digit", 0, 0x8},    {kWordVocabulary, u"name", 0, 0x20},
        {kWordVocabulary, u"place", 0, 0x40},   {kWordVocabulary, u"number", 0, 0x80},
        {kWordVocabulary, u"ver1", 0, 0x10000}, {kWordVocabulary, u"counter", 0, 0x20000},
        {kWordVocabulary, u"unk", 0, 0},        {kWordVocabulary, u"k", 4, 0},
        {kWordVocabulary, u"r", 3, 0},          {kWordVocabulary, u"s", 5, 0},
        {kWordVocabulary, u"x", 7, 0},          {kWordVocabulary, u"rus", 8, 0},
        {kWordVocabulary, u"note", 9, 0},       {kWordVocabulary, u"idi", 10, 0},
        {kWordVocabulary, u"p", 14, 0},         {kKanjiVocabulary, u"j", 4, 0},
        {kKanjiVocabulary, u"o", 11, 0x2},      {kKanjiVocabulary, u"k", 12, 0},
        {kKanjiVocabulary, u"s", 5, 0},         {kKanjiVocabulary, u"ss", 13, 0},
        {kKanjiVocabulary, u"rus", 8, 0},       {kKanjiVocabulary, u"p", 14, 0},
        {kKanjiVocabulary, u"w", 0, 0x1},       {kKanjiVocabulary, u"ir", 0, 0x100},
        {kKanjiVocabulary, u"i1", 0, 0x200},    {kKanjiVocabulary, u"i2", 0, 0x400},
        {kKanjiVocabulary, u"iz", 0, 0x800},    {kKanjiVocabulary, u"ver1", 0, 0x10000},
        {kWordHeaderTable, u"a", 2, 0},         {kWordHeaderTable, u"name", 15, 0},
        {kWordHeaderTable, u"copyright", 16, 0}, {kKanjiHeaderTable, u"comment", 17, 0},
        {kRootTable, u"rdf1", 1, 0},            {kRootTable, u"rdf2", 1, 0},
    };
    for (const Case& c : cases) {
        const MarkupControlWord* found = FindMarkupControlWord(c.table, c.word);
        ASSERT_NE(found, nullptr) << c.table;
        EXPECT_EQ(found->kind, c.kind);
        EXPECT_EQ(found->flags, c.flags);
    }
    EXPECT_EQ(FindMarkupControlWord(kWordVocabulary, u"V"), nullptr);  // case-sensitive
    EXPECT_EQ(FindMarkupControlWord(kWordVocabulary, u"j"), nullptr);
    EXPECT_EQ(FindMarkupControlWord(kWordHeaderTable, u"k"), nullptr);
}

// A parse started from inside another parse's callback (as list painting
// does while a compile pumps messages) leaves the outer parse unchanged.
TEST(OwnMarkupParser, ParseInsideACallbackLeavesTheOuterParseAlone) {
    const std::u16string outer =
        u"{\\rdf1 {\\a {\\k 一}{\\r いち}}{\\a {\\k 二}{\\s {\\rus два}}}{\\a {\\k 三}}}";
    ParseRun plain = Parse(outer, OwnMarkupMode::WholeText);

    struct Nested {
        ParseRun run;
        int inner = 0;
    } nested;
    MarkupCallbacks callbacks;
    callbacks.context = &nested;
    callbacks.article = [](void* c, int32_t e) {
        auto* n = static_cast<Nested*>(c);
        n->run.articles.push_back(e);
        TestMarkupSink other;
        const std::u16string record = u"{\\a {\\k {{{{ x}}}}}}}}";
        n->inner += ParseOwnMarkup(record, 0, OwnMarkupMode::WordArticle, other, {}).ok;
        return int32_t{1};
    };
    nested.run.result = ParseOwnMarkup(outer, 0, OwnMarkupMode::WholeText, nested.run.sink, callbacks);
    EXPECT_EQ(nested.inner, 0);  // the inner text has a stray "}"
    EXPECT_EQ(nested.run.result.ok, plain.result.ok);
    EXPECT_EQ(nested.run.articles, plain.articles);
    ASSERT_EQ(nested.run.sink.elements.size(), plain.sink.elements.size());
    for (size_t i = 0; i < plain.sink.elements.size(); ++i) {
        EXPECT_EQ(nested.run.sink.elements[i].kind, plain.sink.elements[i].kind);
        EXPECT_EQ(nested.run.sink.TextOf(outer, i), plain.sink.TextOf(outer, i));
    }
}

TEST(OwnMarkupParser, ZeroFromACallbackStops) {
    const std::u16string text = u"{\\rdf1 {\\a {\\k 一}}{\\a {\\k 二}}}";
    MarkupCallbacks stopAtFirst;
    stopAtFirst.article = [](void*, int32_t) { return int32_t{0}; };
    TestMarkupSink sink;
    EXPECT_EQ(ParseOwnMarkup(text, 0, OwnMarkupMode::WholeText, sink, stopAtFirst).ok, 0);
    EXPECT_EQ(sink.elements.size(), 3u);

    MarkupCallbacks cancelAtTen;
    cancelAtTen.progress = [](void*, uint32_t done, uint32_t total) { return int32_t{done < 10}; };
    TestMarkupSink sink2;
    EXPECT_EQ(ParseOwnMarkup(text, 0, OwnMarkupMode::WholeText, sink2, cancelAtTen).ok, 0);
}

// Random texts over the markup's alphabet, whole and one-article modes: the
// sanitizers watch every read; every element lies inside the text.
TEST(OwnMarkupParser, RandomTextsStayInsideTheirBuffer) {
    const bool longRun = std::getenv("OSTREL_LONG_FUZZ") != nullptr;
    const int rounds = longRun ? 2000000 : 20000;
    const char16_t alphabet[] = u"{}\\ arvksxpj12o\uFEFF猫\xD840\xDC00\n";
    std::mt19937 random(18);
    for (int r = 0; r < rounds; ++r) {
        std::u16string text = r % 2 ? u"{\\rdf1 " : u"";
        const size_t length = random() % 64;
        for (size_t i = 0; i < length; ++i) text += alphabet[random() % (std::size(alphabet) - 1)];
        if (random() % 4 == 0) text += u"\\rdf1";
        const auto mode = static_cast<OwnMarkupMode>(r % 3);
        ParseRun run = Parse(text, mode);
        for (const TestElement& e : run.sink.elements) {
            ASSERT_LE(e.end, text.size());
            if (e.textOffset >= 0) {
                ASSERT_LE(e.textOffset + e.textLength, text.size());
            }
        }
    }
}

}  // namespace
