// YARXI kanji articles as RTF: golden pieces of hand-built group trees, the
// reading-list variant, damaged links and spans, the size limit, the dispatch
// of formats 14 and 15, and a fuzz of the tree walk (longer with OSTREL_RTF_FUZZ).
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "article/rtf_dispatch.h"
#include "article/rtf_yarxi.h"
#include "article/tests/rtf_lint.h"
#include "article/tests/yarxi_tree.h"

namespace {

struct Rendered {
    std::string readable;
    std::string lint;
    std::vector<int32_t> kinds;
};

Rendered Render(YarxiTree& tree, uint32_t flags) {
    CRtfDocumentBuilder document(flags);
    CRtfArticleBuilder* piece = document.AddArticle();
    piece->language = 17;
    const int32_t length = AddYarxiArticle(*piece, tree.Elements(), 0, 10, flags);
    EXPECT_EQ(static_cast<size_t>(length), piece->Bytes().size());
    return {RtfReadable(piece->Bytes()), RtfLint(document.Document()), piece->ParagraphKinds()};
}

const char16_t kArticle[] =
    u"0001 {\\j 男}{\\on [DAN] дан}{\\on [NAN]}{\\kun [otoko] мужчина, <b>x</b>}"
    u"{\\rad 102}{\\rad 19}{\\str 7}{\\use TN125 часто}";

struct Golden {
    const char16_t* markup;
    uint32_t flags;
    const char* expected;
    std::vector<int32_t> kinds;
};

// Readings drop their brackets and colour what they held; the radicals share
// one label, strokes and usage follow on the same line, all in grey. In
// reading-list ("T") articles senses from "2)" on and readings get their own
// paragraphs; elsewhere the senses stay on one line. " ・ " continues the
// numbered words, the "a" group shows only what is nested in it, empty or
// brace-led compound groups open no paragraph, open bold/italic is closed.
TEST(YarxiRtf, GoldenPieces) {
    const Golden goldens[] = {
        {kArticle, 0x41,
         "\\pard\\cf1 男\\cf0\\par\n\\cf2 DAN\\cf0  дан, \\cf2 NAN\\cf0\\par\n[otoko] мужчина, \\b1 x\\b0\\par\n"
         "\\cf3\\par\nКлюч: 102, 19. Штрихов: 7. Исп.: часто\\cf0\\par\n", {}},
        {u"0002T {\\j 字}{\\s 1) знак 2) буква 12) слово}{\\r [ji]}{\\r [aza]}{\\rs {\\r [moji]}}", 0x141,
         "\\pard\\s4 \\cf1 字\\cf0\\par\n\\pard\\s5 1) знак \\par\n\\pard\\s5 2) буква 12) слово\\par\n"
         "\\pard\\s3 \\cf2 [ji]\\cf0 , \\cf2 [aza]\\cf0\\par\n\\pard\\par\n\\pard\\s3 \\cf2 [moji]\\cf0\\par\n",
         {4, 5, 5, 3, 0, 3}},
        {u"0002 {\\s 2) буква}{\\rs {\\r [a]}{\\r [b]}}", 0x101,
         "\\pard 2) буква\\par\n\\pard\\par\n\\pard\\s3 \\cf1 [a]\\cf0\\par\n\\pard\\s3 \\cf1 [b]\\cf0\\par\n",
         {0, 0, 3, 3}},
        {u"0003 {\\n один}{\\n два}{\\a скрыто {\\k 上}}{\\cmpg }{\\cmpg {\\cmp x}}{\\jn 名 <i>na</i>  <u>me</u>\r\nTN9 TN 1}",
         0x41, "\\pard 　　　один ・ два上\\par\nx\\par\n名 \\i1 na\\i0  me TN 1\\par\n", {}},
        {u"0004 {\\kun <b>жирный <i>и косой}", 0x41, "\\pard\\par\n\\b1 жирный \\i1 и косой\\b0\\i0\\par\n", {}},
    };
    for (const Golden& golden : goldens) {
        YarxiTree tree(golden.markup);
        const Rendered r = Render(tree, golden.flags);
        EXPECT_EQ(r.lint, "");
        EXPECT_EQ(r.readable, golden.expected);
        if (!golden.kinds.empty()) {
            EXPECT_EQ(r.kinds, golden.kinds);
        }
    }
}

// Links as a damaged record could leave them (spans: see the fuzz): the walk
// reads only inside the elements and keeps what the damage did not touch.
TEST(YarxiRtf, DamagedLinksStayInside) {
    const Rendered intact = [] {
        YarxiTree tree(kArticle);
        return Render(tree, 0x41);
    }();
    YarxiTree tree(kArticle);
    for (DictionaryElement& e : tree.Elements()) {
        e.parent = 1 << 30;
        e.nextSibling = -7;
        e.level = 99;
    }
    const Rendered damaged = Render(tree, 0x41);
    EXPECT_EQ(damaged.lint, "");
    // No sibling is found, so the second reading opens its own paragraph;
    // all else is as in the intact tree.
    std::string expected = intact.readable;
    expected.replace(expected.find(", \\cf2 NAN"), 2, "\\par\n");
    EXPECT_EQ(damaged.readable, expected);

    CRtfDocumentBuilder document(0);
    EXPECT_EQ(AddYarxiKanjiGroup(*document.AddArticle(), tree.Elements(), 500, -1, 0, 0), 0) << "no such element";
    std::span<const DictionaryElement> none;
    EXPECT_GT(AddYarxiArticle(*document.AddArticle(), none, 0, 10, 0), 0);
    EXPECT_EQ(RtfLint(document.Document()), "");
}

TEST(YarxiRtf, WritingStopsAboveTheSizeLimit) {
    std::u16string huge = u"0005 {\\kun ";
    huge.append(30000, u'字');
    huge += u"}{\\kun после}";
    YarxiTree tree(huge);
    CRtfDocumentBuilder document(0x41);
    CRtfArticleBuilder* piece = document.AddArticle();
    EXPECT_EQ(AddYarxiKanjiGroup(*piece, tree.Elements(), 0, -1, 0, 0x41), 1);
    EXPECT_GT(piece->Bytes().size(), kYarxiPieceLimit);
    EXPECT_LT(piece->Bytes().size(), kYarxiPieceLimit + 40);
    CRtfArticleBuilder* article = document.AddArticle();
    AddYarxiArticle(*article, tree.Elements(), 0, 10, 0x41);
    EXPECT_EQ(RtfReadable(article->Bytes()).find("после"), std::string::npos);
    EXPECT_EQ(RtfLint(document.Document()), "");
}

TEST(YarxiRtf, FormatsFourteenAndFifteenRenderTheWholeTree) {
    YarxiTree tree(u"0006 {\\j 上}{\\a {\\k 上る}}{\\kun после}");
    for (const uint32_t format : {14u, 15u}) {
        CRtfDocumentBuilder document(0x102);
        CRtfArticleBuilder* piece = document.AddArticle();
        const int32_t length = RenderRtfArticle(*piece, RtfTable::Editor, format, tree.Elements(), 10, 0x102);
        EXPECT_EQ(piece->language, 17);
        EXPECT_EQ(static_cast<size_t>(length), piece->Bytes().size());
        EXPECT_EQ(RtfReadable(piece->Bytes()), "\\pard\\s4 \\cf1 上\\cf0\\s4 上る\\par\n\\pard после\\par\n") << format;
    }
}

// Random markup, then random damage to kinds, links and spans: the document passes
// the lint whatever the tree.
TEST(YarxiRtf, FuzzedTreesGiveCleanRtf) {
    const int rounds = std::getenv("OSTREL_RTF_FUZZ") ? 100000 : 2000;
    std::mt19937 random(1427);
    const std::u16string_view pieces[] = {
        u"{\\j ", u"{\\on ", u"{\\kun ", u"{\\r ", u"{\\s ", u"{\\rs ", u"{\\ss ", u"{\\rad ", u"{\\str ",
        u"{\\use ", u"{\\n ", u"{\\a ", u"{\\jn ", u"{\\ref ", u"{\\k ", u"{\\cmpg ", u"{\\", u"}", u"}", u"}",
        u"<b>", u"</b>", u"<i>", u"</i>", u"<", u">", u"[", u"]", u"TN1", u"TN", u"2)", u"12)", u" ", u"  ",
        u"\n", u"\r", u"\t", u"T", u"字", u"\U00020000", u"\xD800", u"\xDC00", u"a", u"\\", u"{",
    };
    for (int round = 0; round < rounds; ++round) {
        std::u16string markup = round % 2 ? u"0000T " : u"0000 ";
        const uint32_t count = random() % 40;
        for (uint32_t i = 0; i < count; ++i) {
            if (random() % 8 == 0) markup += static_cast<char16_t>(random() % 0x10000);
            else markup += pieces[random() % std::size(pieces)];
        }
        YarxiTree tree(markup);
        std::vector<DictionaryElement>& elements = tree.Elements();
        if (round % 3 == 0) {
            for (DictionaryElement& e : elements) {
                const uint32_t pick = random() % 7;
                if (pick == 0) e.kind = random() % 66;
                if (pick == 1) e.parent = static_cast<int32_t>(random() % (elements.size() + 3)) - 1;
                if (pick == 2) e.nextSibling = static_cast<int32_t>(random() % (elements.size() + 3)) - 1;
                if (pick == 3) e.level = static_cast<int32_t>(random() % 6) - 1;
                if (pick == 4) e.length = static_cast<int32_t>(random() % static_cast<uint32_t>(e.length + 1));
                if (pick == 5) {
                    // A span anywhere in the record: overlapping, misnested or empty.
                    const size_t start = random() % (tree.Text().size() + 1);
                    e.text = tree.Text().data() + start;
                    e.length = static_cast<int32_t>(random() % (tree.Text().size() - start + 1));
                }
            }
        }
        const uint32_t flags = random() % 0x800;
        CRtfDocumentBuilder document(flags);
        AddYarxiArticle(*document.AddArticle(), elements, 0, 10, flags);
        const int32_t element = static_cast<int32_t>(random() % (elements.size() + 1));
        AddYarxiKanjiGroup(*document.AddArticle(), elements, element, element - 1, 0, flags);
        ASSERT_EQ(RtfLint(document.Document()), "") << "round " << round << " flags " << flags;
    }
}

}  // namespace
