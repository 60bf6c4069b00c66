// The DSL and WARODAI renderers: tag codes, colour names against the CSS
// table, nesting, escapes, comments, right-to-left lines, print-mode
// headword skipping, the WARODAI head line and body; a fuzz of the DSL
// renderer and of AppendChar against the lint.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "article/dsl_rtf.h"
#include "article/rtf_document.h"
#include "article/tests/rtf_lint.h"
#include "article/warodai_rtf.h"

namespace {

struct Rendered {
    std::string readable, lint, document;
};

template <class Render>
Rendered RenderWith(uint32_t flags, Render render) {
    CRtfDocumentBuilder document(flags);
    CRtfArticleBuilder* piece = document.AddArticle();
    render(*piece);
    const std::string whole = document.Document();
    return {RtfReadable(piece->Bytes()), RtfLint(whole), whole};
}

Rendered Dsl(std::u16string_view card, uint32_t flags) {
    return RenderWith(flags, [&](CRtfArticleBuilder& p) {
        p.language = 4;
        AddDslArticle(p, card, 10, flags);
    });
}

Rendered Warodai(std::u16string_view entry, uint32_t flags) {
    return RenderWith(flags, [&](CRtfArticleBuilder& p) {
        p.language = 17;
        AddWarodaiArticle(p, entry, 10, flags);
    });
}

TEST(DslTags, CodesOfTheTagNames) {
    const std::pair<const char16_t*, int32_t> names[] = {
        {u"[", 3}, {u"]", 4}, {u"m", 5}, {u"m0", 5}, {u"m9", 5}, {u"b", 6}, {u"^", 6}, {u"i", 7}, {u"u", 8},
        {u"c", 9}, {u"trn", 10}, {u"sup", 11}, {u"ex", 12}, {u"*", 13}, {u"sub", 15}, {u"'", 16}, {u"s", 17},
        {u"url", 18}, {u"p", 19}, {u"ref", 20}, {u"t", 21}, {u"com", 22}, {u"lang", 23}, {u"ls", 24},
        {u"lh", 25}, {u"!trs", -1}, {u"mm", -1}, {u"", -1},
    };
    for (const auto& [name, code] : names) EXPECT_EQ(ClassifyDslTag(name), code) << std::string(name, name + 0);
    int32_t indent = 0;
    DslToken t = ParseDslTag(u"[/i]", 0, indent);
    EXPECT_EQ(t.tag, -7);
    EXPECT_EQ(t.next, 4u);
    t = ParseDslTag(u"[m3]", 0, indent);
    EXPECT_EQ(t.tag, 5);
    EXPECT_EQ(t.margin, 3);
    t = ParseDslTag(u"\n \tx", 0, indent);
    EXPECT_EQ(t.character, u'\n');
    EXPECT_EQ(indent, 2);
    EXPECT_EQ(t.next, 3u);
}

// The CSS colour table of Debian's python3-webcolors, read at test time.
TEST(DslColours, EveryNameHasItsCssValue) {
#ifdef _WIN32
    GTEST_SKIP() << "the CSS table is read natively";
#endif
    const std::string command =
        "/usr/bin/python3 -c \"import webcolors\nfor n, h in sorted(webcolors.CSS3_NAMES_TO_HEX.items()): print(n, h)\"";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) GTEST_SKIP() << "no python3";
    char line[128];
    int names = 0;
    while (fgets(line, sizeof line, pipe)) {
        std::string name(line), hex;
        const size_t blank = name.find(' ');
        if (blank == std::string::npos) continue;
        hex = name.substr(blank + 2, 6);
        name.resize(blank);
        const uint32_t value = static_cast<uint32_t>(std::strtoul(hex.c_str(), nullptr, 16));
        const uint32_t rgb = RtfRgb(value >> 16, (value >> 8) & 0xFF, value & 0xFF);
        std::u16string wide(name.begin(), name.end());
        uint32_t found = 0;
        EXPECT_TRUE(LookUpHtmlColor(wide, found)) << name;
        EXPECT_EQ(found, rgb) << name;
        ++names;
    }
    pclose(pipe);
    if (names == 0) GTEST_SKIP() << "python3-webcolors is not installed";
    EXPECT_EQ(names, HtmlColorCount());
    uint32_t rgb = 0;
    EXPECT_TRUE(LookUpHtmlColor(u"DarkGreen", rgb));
    EXPECT_EQ(rgb, RtfRgb(0, 100, 0));
    EXPECT_TRUE(LookUpHtmlColor(u"GREEN", rgb));
    EXPECT_EQ(rgb, RtfRgb(0, 128, 0));   // X11 would say 0, 255, 0
    EXPECT_FALSE(LookUpHtmlColor(u"nosuchcolour", rgb));
    EXPECT_FALSE(LookUpHtmlColor(u"dark green", rgb));
}

TEST(DslCards, WorkedExamples) {
    // Named colours ignore case; an unknown name takes the default green.
    EXPECT_EQ(Dsl(u"w\n [c darkgreen]a[/c] [c DarkGreen]b[/c] [c nosuchcolour]c[/c]", 8).readable,
              "\\pard w\\par\n\\pard\\cf1 a\\cf0  \\cf1 b\\cf0  \\cf2 c\\cf0\\par\\li0 \n");
    EXPECT_NE(Dsl(u"w\n [c x]a[/c]", 8).document.find("\\red0\\green128\\blue0;"), std::string::npos);
    EXPECT_NE(Dsl(u"w\n [c x]a[/c]", 0x408).readable.find("\\cf0 a"), std::string::npos);
    // Nested italics: one opening, one closing after y.
    EXPECT_EQ(Dsl(u"w\n [i][i]x[/i]y[/i]", 0).readable, "\\pard w\\par\n\\pard\\i xy\\i0\\par\\li0 \n");
    // Escapes, comments, the empty card.
    EXPECT_EQ(Dsl(u"w\n \\[a\\] {{note}}b", 0).readable, "\\pard w\\par\n\\pard [a] b\\par\\li0 \n");
    EXPECT_EQ(Dsl(u"", 0).readable, "\\par\\li0 \n");
    // Unmatched closers never take the counts below zero.
    const Rendered unmatched = Dsl(u"w\n [/i][/c][/c]a[i]b[/i]", 8);
    EXPECT_EQ(unmatched.readable, "\\pard w\\par\n\\pard\\cf0\\cf0 a\\i b\\i0\\par\\li0 \n");
    EXPECT_EQ(unmatched.lint, "");
}

TEST(DslCards, HeadwordBodyMarginsAndStyles) {
    const std::u16string card = u"cat {unsorted}\n [m1][b]1.[/b] [p]n[/p] кошка\n [m2][ex]a cat[/ex]\n [ref]dog[/ref]";
    EXPECT_EQ(Dsl(card, 0x40).readable,
              "\\pard\\b cat \\b0\\par\n\\pard\\li120 \\b 1.\\b0  \\i n\\i0  кошка\\par\n"
              "\\pard\\li240 a cat\\par\n\\pard\\li240 <<dog>>\\par\\li0 \n");
    const Rendered styled = Dsl(card, 0x180);
    EXPECT_NE(styled.readable.find("\\pard\\s4 cat"), std::string::npos);
    EXPECT_NE(styled.readable.find("\\pard\\s7 a cat"), std::string::npos);
    EXPECT_EQ(styled.lint, "");
    // Print mode: references lose their marks; compact joins the lines.
    EXPECT_EQ(Dsl(card, 0x05).readable, "\\pard cat   \\b 1.\\b0  \\i n\\i0  кошка  a cat; dog\\par\\li0 \n");
}

TEST(DslCards, PrintModeDropsARepeatedHeadwordAndCardsEndAtSoundLinks) {
    EXPECT_EQ(Dsl(u"Cat\n [b]cat[/b], kitty\n a pet", 1).readable, "\\pard\\b cat\\b0 , kitty\\par\n\\pard a pet\\par\\li0 \n");
    EXPECT_TRUE(MatchDslHeadword(u"cat\n I [b]cat[/b]"));
    EXPECT_TRUE(MatchDslHeadword(u"cat (n)\n dog, cat"));
    EXPECT_FALSE(MatchDslHeadword(u"cat\n dog"));
    EXPECT_EQ(Dsl(u"w\n a[s]x.wav[/s]\n [ls]b[/ls]", 1).readable, "\\pard w\\par\n\\pard ax.wav\\par\\li0 \n");
    // The card number with flag 2.
    EXPECT_EQ(Dsl(u"{{12-3}}w", 2).readable, "\\pard w\\par\\li0 \n\\par\n12-3\\par\n");
}

TEST(DslCards, RightToLeftLinesAreEmbeddedNotOverridden) {
    const Rendered out = Dsl(u"w\n שלום 12 abc\n x", 0);
    EXPECT_EQ(out.readable, "\\pard w\\par\n\\pard \u202Bשלום 12 abc\u202C\\par\n\\pard x\\par\\li0 \n");
}

TEST(WarodaiEntries, WorkedExamples) {
    const std::u16string entry = u"あい【愛】(ai) 〔1〕\n1) любовь;\n◇愛の巣 любовное гнёздышко\n• note <a>X</a>";
    EXPECT_EQ(Warodai(entry, 0x49).readable,
              "\\pard\\b1\\cf1 あい\\b0\\cf0 　　　　\\par\n\\cf2 愛\\cf0\\cf3\\cf0\\cf3\\cf0\\b0\\cf0\\par\n"
              "1) любовь;\\cf0\\par\n◇\\cf4 愛の巣\\cf0  любовное гнёздышко\\cf0\\par\n• note <<X>>\\par\n");
    EXPECT_EQ(Warodai(u"あいこ, あいご【相子】", 0x01).readable,
              "\\pard あいこ, あいご　\\par\n相子\\par\n\\par\n");
    const Rendered coloured = Warodai(u"あいこ, あいご【相子】", 0x08);
    EXPECT_NE(coloured.readable.find("\\cf1 あいこ\\cf0 , \\cf1 あいご"), std::string::npos);
    const Rendered styled = Warodai(entry, 0x100);
    EXPECT_EQ(styled.lint, "");
    EXPECT_NE(styled.readable.find("\\s4 愛"), std::string::npos);
    EXPECT_NE(styled.readable.find("\\s10 ◇"), std::string::npos);
    EXPECT_NE(styled.readable.find("\\s9 • note"), std::string::npos);
}

// Random units, lone surrogates and tag characters: whatever the input, the
// document passes the lint.
TEST(RtfFuzz, AnyInputGivesCleanRtf) {
    const int rounds = std::getenv("OSTREL_RTF_FUZZ") ? 200000 : 3000;
    std::mt19937 random(27);
    const char16_t alphabet[] = u"[]/\\{}\n\t\r mbicpx*'ex-0123456789\u05D0\u3042\u25C7\u2022<>a";
    for (int round = 0; round < rounds; ++round) {
        std::u16string text(random() % 60, u' ');
        for (char16_t& c : text) {
            const uint32_t pick = random() % 4;
            c = pick == 0 ? static_cast<char16_t>(random() % 0x10000)
                          : alphabet[random() % (sizeof alphabet / sizeof alphabet[0] - 1)];
        }
        const uint32_t flags = random() % 0x800;
        CRtfDocumentBuilder document(flags);
        CRtfArticleBuilder* dsl = document.AddArticle();
        AddDslArticle(*dsl, text, 10, flags);
        AddWarodaiArticle(*document.AddArticle(), text, 10, flags);
        CRtfArticleBuilder* raw = document.AddArticle();
        raw->AppendText(text);
        const std::string lint = RtfLint(document.Document());
        ASSERT_EQ(lint, "") << "round " << round << " flags " << flags;
    }
}

}  // namespace
