// The RTF article renderers: golden pieces from hand-built records (word,
// kanji, plain, PDIC, examples, Tatoeba, Latin), the flag combinations their
// callers use, the dispatch tables, and the lint over every piece.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "article/element_text.h"
#include "article/latin_principal_parts.h"
#include "article/rtf_dispatch.h"
#include "article/rtf_document.h"
#include "article/rtf_line_articles.h"
#include "article/rtf_word_article.h"
#include "article/tests/parsed_record_fixture.h"
#include "article/tests/rtf_lint.h"
#include "common/text/kana_transcription.h"

namespace {

// Elements built by hand, as the parsers leave them (element 0 the entry).
class Record {
public:
    Record& Add(uint32_t kind, std::u16string text, uint32_t flags = 0) {
        texts_.push_back(std::move(text));
        DictionaryElement e;
        e.kind = kind;
        e.flags = flags;
        elements_.push_back(e);
        return *this;
    }
    std::span<const DictionaryElement> Elements() {
        for (size_t i = 0; i < elements_.size(); ++i) {
            elements_[i].text = texts_[i].data();
            elements_[i].length = static_cast<int32_t>(texts_[i].size());
        }
        return elements_;
    }

private:
    std::vector<std::u16string> texts_;
    std::vector<DictionaryElement> elements_;
};

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

struct Rendered {
    std::string readable;
    std::string lint;
    std::vector<int32_t> kinds;
};

template <class Render>
Rendered RenderWith(uint32_t flags, int32_t language, Render render) {
    CRtfDocumentBuilder document(flags);
    CRtfArticleBuilder* piece = document.AddArticle();
    piece->language = language;
    render(*piece);
    return {RtfReadable(piece->Bytes()), RtfLint(document.Document()), piece->ParagraphKinds()};
}

Rendered Word(Record& record, uint32_t flags) {
    return RenderWith(flags, 17, [&](CRtfArticleBuilder& p) { AddWordArticle(p, record.Elements(), 10, flags); });
}

Record CatRecord() {
    Record r;
    r.Add(2, u"").Add(3, u"ねこ").Add(3, u"ねっこ").Add(4, u"猫").Add(5, u"cat").Add(5, u"<i>fig</i> shrew");
    r.Add(7, u"猫を飼う to keep a cat");
    return r;
}

TEST(RtfWordArticle, TwoReadingsAndAWordInPrintMode) {
    Record r = CatRecord();
    const Rendered out = Word(r, 0x41);
    EXPECT_EQ(out.readable,
              "\\pard\\b1 ねこ・ねっこ\\b0 　猫\\par\n"
              "\\pard 1)\\~cat\\par\n"
              "\\pard 2)\\~\\i fig\\i0  shrew\\par\n"
              "\\pard 　　猫を飼う to keep a cat.\\par\n");
    EXPECT_EQ(out.lint, "");
}

TEST(RtfWordArticle, FlagCombinationsOfThePrintEngine) {
    Record r = CatRecord();
    // Compact: one paragraph, U+3000 between head and senses, example marked.
    EXPECT_EQ(Word(r, 0x45).readable,
              "\\pard\\b1 ねこ・ねっこ\\b0 　猫　1)\\~cat 2)\\~\\i fig\\i0  shrew ● 猫を飼う to keep a cat.\\par\n");
    // Coloured: readings red, word blue, example's Japanese part green.
    EXPECT_EQ(Word(r, 0x49).readable,
              "\\pard\\b1\\cf1 ねこ・ねっこ\\b0 　\\cf2 猫\\par\n\\cf0"
              "\\pard 1)\\~cat\\par\n\\pard 2)\\~\\i fig\\i0  shrew\\par\n"
              "\\pard 　　\\cf3 猫を飼う\\cf0  to keep a cat.\\par\n");
    // Word first.
    EXPECT_TRUE(StartsWith(Word(r, 0x51).readable, "\\pard\\b1 猫\\b0 　　　　　ねこ・ねっこ\\par\n"));
    // Book: senses from the second start a paragraph of their own.
    EXPECT_NE(Word(r, 0x241).readable.find("\\pard\\par\n2)\\~"), std::string::npos) << Word(r, 0x241).readable;
    for (uint32_t flags : {0x41u, 0x45u, 0x49u, 0x51u, 0x61u, 0xC1u, 0x241u, 0x441u, 0x102u, 0x182u, 0x502u})
        EXPECT_EQ(Word(r, flags).lint, "") << flags;
}

TEST(RtfWordArticle, TransliterationReplacesOrFollowsTheKana) {
    Record r;
    r.Add(2, u"").Add(3, u"ねこ").Add(5, u"cat");
    FakeArticleContext context;
    context.flags = kTranscribeLatin;
    IArticleContext* previous = SetArticleContext(&context);
    EXPECT_TRUE(StartsWith(Word(r, 0x61).readable, "\\pard\\b1 neko\\b0"));
    context.flags = kTranscribeLatin | kTransliterateBesideKana;
    EXPECT_TRUE(StartsWith(Word(r, 0x41).readable, "\\pard\\b1 ねこ　[neko]\\b0"));
    SetArticleContext(previous);
}

TEST(RtfWordArticle, SenseNumbersAreFullDecimalsAndNeverRenumbered) {
    Record many;
    many.Add(2, u"").Add(3, u"か");
    for (int i = 1; i <= 23; ++i) many.Add(5, u"s" + std::u16string(1, u'a' + (i % 26)));
    const std::string text = Word(many, 0x41).readable;
    for (const char* n : {"9)\\~", "10)\\~", "11)\\~", "20)\\~", "23)\\~"}) EXPECT_NE(text.find(n), std::string::npos) << n;
    EXPECT_EQ(text.find("\\pard13)"), text.find("\\pard13)\\~"));   // 23 is never written "13"
    EXPECT_EQ(Word(many, 0x43).readable.find("1)"), std::string::npos);   // flag 2: "1."

    Record numbered;
    numbered.Add(2, u"").Add(3, u"か").Add(5, u"(1) one").Add(5, u"(2) two");
    EXPECT_EQ(Word(numbered, 0x41).readable, "\\pard\\b1 か\\b0\\par\n\\pard (1) one\\par\n\\pard (2) two\\par\n");
}

TEST(RtfWordArticle, EditorPreviewKeepsTheKindOfEveryParagraph) {
    Record r = CatRecord();
    const Rendered out = Word(r, 0x102);
    EXPECT_EQ(out.readable,
              "\\pard\\s3 ねこ\\par\n\\s3 ねっこ\\par\n\\s4 猫\\par\n"
              "\\pard\\s5 cat\\par\n\\pard\\s5 \\i fig\\i0  shrew\\par\n\\pard\\s7 猫を飼う to keep a cat\\par\n\\par\n");
    EXPECT_EQ(out.kinds, (std::vector<int32_t>{3, 3, 4, 5, 5, 7}));

    Record glossed;
    glossed.Add(2, u"").Add(3, u"いぬ").Add(8, u"dog").Add(8, u"hound");
    EXPECT_EQ(Word(glossed, 0x102).kinds, (std::vector<int32_t>{3, 8, 8}));
    EXPECT_EQ(Word(glossed, 0x41).readable, "\\pard\\b1 いぬ\\b0\\par\ndog・hound\\par\n");
}

TEST(RtfKanjiArticle, ReadingsBoldWithoutTheirEndings) {
    Record r;
    r.Add(2, u"").Add(4, u"明").Add(11, u"メイ").Add(12, u"あ（かり）").Add(12, u"あか", kDotsAfterReading);
    r.Add(5, u"bright").Add(5, u"light");
    const Rendered out = RenderWith(0xC1, 17, [&](CRtfArticleBuilder& p) { AddKanjiArticle(p, r.Elements(), 10, 0xC1); });
    EXPECT_EQ(out.readable,
              "\\pard\\b1 明\\b0 　　　　　"
              "\\b1 メイ\\b0\\par\n\\b1 あ\\b0 かり\\b1\\b0 ・\\b1 あか\\b0 ...\\par\n"
              "\\pard 1)\\~bright\\par\n\\pard 2)\\~light\\par\n\\par\n");
    EXPECT_EQ(out.lint, "");
}

// KANJIDIC's first meaning is both the meaning line (13) and the first sense
// (5), over one text: each meaning is written once, in the head when the
// senses are not written (joined by "; " and one U+3000 apart from the
// readings), else only among the senses.
TEST(RtfKanjiArticle, EachMeaningOnceAndApartFromTheReadings) {
    Record r;
    r.Add(2, u"").Add(4, u"穐").Add(13, u"").Add(11, u"シュウ").Add(5, u"autumn").Add(5, u"fall");
    std::span<const DictionaryElement> shared = r.Elements();
    std::vector<DictionaryElement> elements(shared.begin(), shared.end());
    elements[2].text = elements[4].text;  // the meaning line over the first sense's text
    elements[2].length = elements[4].length;
    const Rendered head = RenderWith(0x41, 17, [&](CRtfArticleBuilder& p) { AddKanjiArticle(p, elements, 10, 0x41); });
    EXPECT_EQ(head.readable, "\\pard\\b1 穐\\b0 　autumn; fall　\\b1 シュウ\\b0\\par\n");
    const Rendered senses = RenderWith(0xC1, 17, [&](CRtfArticleBuilder& p) { AddKanjiArticle(p, elements, 10, 0xC1); });
    EXPECT_EQ(senses.readable, "\\pard\\b1 穐\\b0 　　　　　\\b1 シュウ\\b0\\par\n"
                               "\\pard 1)\\~autumn\\par\n\\pard 2)\\~fall\\par\n\\par\n");
}

Rendered Text(RtfRenderer renderer, std::u16string text, uint32_t flags) {
    return RenderWith(flags, 0, [&](CRtfArticleBuilder& p) {
        switch (renderer) {
        case RtfRenderer::Pdic: AddPdicArticle(p, text, 10, flags); break;
        case RtfRenderer::Examples: AddExamplesArticle(p, text, 10, flags); break;
        case RtfRenderer::Tatoeba: AddTatoebaArticle(p, text, 10, flags); break;
        case RtfRenderer::Latin: AddLatinArticle(p, text, 10, flags); break;
        default: AddPlainArticle(p, text, 10, flags); break;
        }
    });
}

TEST(RtfLineArticles, PlainAndPdicHeadsNotesAndNumberedSenses) {
    EXPECT_EQ(Text(RtfRenderer::Plain, u"■ねこ{猫}: cat●feline", 0x49).readable,
              "\\pard\\cf1\\b1 ねこ\\b0\\cf0\\par\n【猫】\\par\n1. cat\\par\n2. feline\\par\n");
    // A mark before the first sense is that sense's own, as in the article text.
    EXPECT_EQ(Text(RtfRenderer::Plain, u"■x : ●a●b", 0x41).readable,
              "\\pard\\b1 x\\b0\\par\n1. a\\par\n2. b\\par\n");
    // Compact: the head stays on the translation's line, one U+3000 apart.
    EXPECT_EQ(Text(RtfRenderer::Plain, u"■a piedi : 徒歩", 0x45).readable, "\\pard\\b1 a piedi\\b0 　徒歩\\par\n");
    // A line without ": " and "；" is all headword.
    EXPECT_EQ(Text(RtfRenderer::Plain, u"word only", 0x41).readable, "\\pard\\b1 word only\\b0\\par\n\\par\n");
    // PDIC: word, NUL, attribute unit, translation.
    const std::u16string pdic(u"apple\0\x01яблоко", 13);
    const Rendered out = Text(RtfRenderer::Pdic, pdic, 0x45);
    EXPECT_EQ(out.readable, "\\pard\\b1 apple\\b0 　яблоко\\par\n");
    EXPECT_EQ(out.lint, "");
    EXPECT_EQ(Text(RtfRenderer::Pdic, u"a{b}c；x", 0x45).readable, "\\pard\\b1 a【b】c\\b0 　x\\par\n");
}

TEST(RtfLineArticles, ExamplesAndTatoeba) {
    EXPECT_EQ(Text(RtfRenderer::Examples, u"A: 猫だ。\tIt is a cat.#ID=1\nB: 猫(ねこ) だ", 0x41).readable,
              "\\pard\\b1 猫だ。\\b0\\par\nIt is a cat.\\par\n猫(ねこ) だ\\par\n");
    EXPECT_EQ(Text(RtfRenderer::Tatoeba, u"1\tjpn\t猫だ。\n2\teng\tIt is a cat.", 0x49).readable,
              "\\pard\\cf1\\b1 猫だ。\\b0\\cf0\\par\nIt is a cat.\\par\n");
}

std::u16string LatinRecord(std::u16string_view meaning, std::u16string_view form) {
    std::u16string line = u"amo";
    line.resize(110, u' ');
    return line + std::u16string(meaning) + u"\n" + std::u16string(form);
}

TEST(RtfLineArticles, LatinFormBoldToThePartOfSpeech) {
    const Rendered out = Text(RtfRenderer::Latin, LatinRecord(u"love;", u"amo, amare, amavi, amatus  V (1st)"), 0x41);
    EXPECT_EQ(out.readable, "\\pard\\b1 amo, amare, amavi, amatus  \\b0 V (1st)\\par\nlove;\\par\n");
    // A short first line has no meaning, and nothing of line 2 is taken for one.
    const std::string shortLine =
        Text(RtfRenderer::Latin, u"amo\nlong second line " + std::u16string(120, u'x'), 0x41).readable;
    EXPECT_EQ(shortLine.substr(shortLine.size() - 10), "\\par\n\\par\n");
    EXPECT_EQ(Text(RtfRenderer::Latin, u"no line feed", 0x41).readable, "");
    // A record stored without its form line still prints its meaning.
    std::u16string formless = LatinRecord(u"who, which, that", u"");
    formless.pop_back();
    EXPECT_EQ(Text(RtfRenderer::Latin, formless, 0x41).readable, "\\pard who, which, that\\par\n");
}

TEST(BoldPrincipalParts, RunEndsAtThePartOfSpeechOrARemark) {
    auto bold = [](std::u16string text) {
        std::vector<uint32_t> attributes(text.size(), 0);
        BoldPrincipalParts(text.data(), attributes.data(), 0, static_cast<int32_t>(text.size()));
        std::u16string marked;
        for (size_t i = 0; i < text.size(); ++i) marked += (attributes[i] & 2) ? text[i] : u'.';
        return marked;
    };
    EXPECT_EQ(bold(u"amo, amare, amavi, amatus  V (1st)"), u"amo, amare, amavi, amatus  .......");
    EXPECT_EQ(bold(u"rex, regis (gen.), M"), u"rex, regis ......, M");
    EXPECT_EQ(bold(u"etc, abb. x"), u"etc........");
    EXPECT_EQ(bold(u"fas undecl N"), u"fas.........");
    std::vector<uint32_t> none(3, 0);
    BoldPrincipalParts(u"abc", none.data(), -1, 3);
    EXPECT_EQ(none, (std::vector<uint32_t>{0, 0, 0}));
}

TEST(RtfDispatch, TablesAndLanguages) {
    struct Row {
        uint32_t format;
        const char16_t* print;
        int32_t printLanguage;
        const char16_t* editor;
        int32_t editorLanguage;
    };
    const Row rows[] = {
        {1, u"AddWordArticle", 17, u"AddWordArticle", 17},      {2, u"AddKanjiArticle", 17, u"AddWordArticle", 17},
        {3, u"AddWordArticle", 17, u"AddWordArticle", 17},      {5, u"AddWordArticle", 17, u"AddWordArticle", 17},
        {6, u"AddKanjiArticle", 17, u"AddPlainArticle", 0},     {7, u"AddPdicArticle", 0, u"AddPdicArticle", 0},
        {8, u"AddPlainArticle", 0, u"AddPlainArticle", 0},      {9, u"AddDslArticle", 4, u"AddDslArticle", 4},
        {10, u"AddWarodaiArticle", 17, u"AddWarodaiArticle", 17}, {11, u"AddExamplesArticle", 0, u"AddExamplesArticle", 0},
        {12, u"AddWordArticle", 17, u"AddExamplesArticle", 0},  {13, u"AddTatoebaArticle", 0, u"AddTatoebaArticle", 0},
        {14, u"AddYarxiArticle", 0, u"AddYarxiArticle", 17},    {15, u"AddYarxiArticle", 0, u"AddYarxiArticle", 17},
        {16, u"AddLatinArticle", 118, u"AddPlainArticle", 0},   {0, u"AddPlainArticle", 0, u"AddPlainArticle", 0},
        {17, u"AddPlainArticle", 0, u"AddPlainArticle", 0},
    };
    for (const Row& row : rows) {
        const RtfDispatchRow print = RtfRendererFor(RtfTable::Print, row.format);
        const RtfDispatchRow editor = RtfRendererFor(RtfTable::Editor, row.format);
        EXPECT_EQ(RtfRendererName(print.renderer), row.print) << row.format;
        EXPECT_EQ(print.language, row.printLanguage) << row.format;
        EXPECT_EQ(RtfRendererName(editor.renderer), row.editor) << row.format;
        EXPECT_EQ(editor.language, row.editorLanguage) << row.format;
    }
}

TEST(RtfDispatch, OnlyTheFirstEntryOfARecordIsRendered) {
    Record r;
    r.Add(2, u"").Add(3, u"いち").Add(5, u"one").Add(2, u"").Add(3, u"に").Add(5, u"two");
    CRtfDocumentBuilder document(0);
    CRtfArticleBuilder* piece = document.AddArticle();
    RenderRtfArticle(*piece, RtfTable::Print, 3, r.Elements(), 10, 0x41);
    EXPECT_EQ(piece->language, 17);
    EXPECT_EQ(RtfReadable(piece->Bytes()), "\\pard\\b1 いち\\b0\\par\n\\pard one\\par\n");
}

}  // namespace
