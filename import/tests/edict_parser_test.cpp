// The EDICT line parser on the format's worked lines, the grammar codes of
// old and current data, the header, and lines that must make nothing.
#include "import/edict_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// "kind:text" for every part, the article's flags as "2:#flags".
std::u16string Describe(std::u16string_view line, const std::vector<SourcePart>& parts) {
    std::u16string out;
    for (const SourcePart& p : parts) {
        out += std::u16string(1, static_cast<char16_t>(u'0' + p.kind / 10)) + static_cast<char16_t>(u'0' + p.kind % 10);
        out += u":";
        if (p.kind == kEdictArticle) {
            for (char c : std::to_string(p.flags)) out += static_cast<char16_t>(c);
        } else {
            out += line.substr(p.offset, p.length);
        }
        out += u"|";
    }
    return out;
}

struct LineCase {
    const char16_t* line;
    const char16_t* parts;  // empty: the line makes nothing
};

class EdictArticleLine : public testing::TestWithParam<LineCase> {};

TEST_P(EdictArticleLine, MakesItsParts) {
    std::vector<SourcePart> parts;
    const bool made = ParseEdictArticleLine(GetParam().line, parts);
    EXPECT_EQ(made, !parts.empty());
    EXPECT_EQ(Describe(GetParam().line, parts), GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedLines, EdictArticleLine,
    testing::Values(
        LineCase{u"猫 [ねこ] /(n) cat/(P)/EntL1467640X/",
                 u"02:4|03:ねこ|04:猫|37:(n) |05:cat|37:(P)|38:EntL1467640X|"},
        LineCase{u"ねこ /cat/", u"02:0|03:ねこ|05:cat|"},
        LineCase{u"行く;逝く [いく;ゆく] /(v5k-s,vi) to go/", u"02:1537|03:いく|03:ゆく|04:行く|04:逝く|37:(v5k-s,vi) |05:to go|"},
        LineCase{u"a; b /x/", u"02:0|03:a|03: b|05:x|"},
        LineCase{u"一 [いち(ok)] /(1) first sense/", u"02:0|03:いち|35:(ok)|04:一|05:(1) first sense|"},
        LineCase{u"甲(oK) 【こう】 /(n) shell/", u"02:4|03:こう|04:甲|36:(oK)|37:(n) |05:shell|"},
        LineCase{u"Ｘ /EntL/", u"02:0|03:Ｘ|05:EntL|"},
        // Brackets only count before the first "/": a gloss keeps its own.
        LineCase{u"ねこ /cat [informal]/", u"02:0|03:ねこ|05:cat [informal]|"},
        LineCase{u"ねこ /a ] b/", u"02:0|03:ねこ|05:a ] b|"},
        LineCase{u"猫 [ねこ /cat/", u""},
        LineCase{u"猫 ねこ] /cat/", u""},
        LineCase{u"猫 ]ねこ[ /cat/", u""},
        LineCase{u"猫 [ねこ] cat", u""}));

struct GrammarCase {
    const char16_t* code;
    uint32_t bits;
};

class EdictGrammarCode : public testing::TestWithParam<GrammarCase> {};

TEST_P(EdictGrammarCode, SetsItsBits) { EXPECT_EQ(EdictGrammarBits(GetParam().code), GetParam().bits); }

INSTANTIATE_TEST_SUITE_P(
    OldAndCurrentTags, EdictGrammarCode,
    testing::Values(GrammarCase{u"v1)", 0x801}, GrammarCase{u"v5r)", 0x401}, GrammarCase{u"vi)", 0x201},
                    GrammarCase{u"vt)", 0x101}, GrammarCase{u"n)", 0x4}, GrammarCase{u"n,vs)", 0x4},
                    GrammarCase{u"n-adv)", 0x4}, GrammarCase{u"num)", 0}, GrammarCase{u"adv)", 0x10},
                    GrammarCase{u"adj)", 0x202}, GrammarCase{u"adj-no)", 0}, GrammarCase{u"adj-i)", 0x202},
                    GrammarCase{u"adj-na)", 0x102}, GrammarCase{u"vs)", 0x1001}, GrammarCase{u"vs-i)", 0x1001},
                    GrammarCase{u"vk)", 0x2001}, GrammarCase{u"uk)", 0}));

TEST(EdictHeaderLine, GivesNameAndCopyright) {
    // The importer has turned the slashes into blanks.
    const std::u16string line = u"？？？  EDICT word list Copyright (C) 2008 ";
    std::vector<SourcePart> parts;
    ParseEdictHeaderLine(line, parts);
    EXPECT_EQ(Describe(line, parts), u"15:EDICT word list |16:Copyright (C) 2008 |");
    const std::u16string copyrightOnly = u"？？？  word list (c) 2008 ";
    ParseEdictHeaderLine(copyrightOnly, parts);
    EXPECT_EQ(Describe(copyrightOnly, parts), u"16:(c) 2008 |");
    ParseEdictHeaderLine(u"？ EDICT ", parts);
    EXPECT_TRUE(parts.empty());
    EXPECT_TRUE(IsEdictHeaderLine(u"　？？？ /x/"));
    EXPECT_TRUE(IsEdictHeaderLine(u"?? /x/"));
    EXPECT_FALSE(IsEdictHeaderLine(u"　猫 /x/"));
}

// Random lines of the format's own characters: every part lies within the
// line and the article, when made, comes first. Longer with OSTREL_LONG_FUZZ.
TEST(EdictLineFuzz, PartsStayInsideTheLine) {
    const char16_t alphabet[] = u"/[]【】();, (P)EntLadjvn1-5 猫ね\u3000";
    const int rounds = std::getenv("OSTREL_LONG_FUZZ") ? 2000000 : 20000;
    std::mt19937 random(19);
    std::vector<SourcePart> parts;
    for (int round = 0; round < rounds; ++round) {
        std::u16string line(random() % 40, u' ');
        for (char16_t& c : line) c = alphabet[random() % (std::size(alphabet) - 1)];
        if (!ParseEdictArticleLine(line, parts)) continue;
        ASSERT_EQ(parts.front().kind, kEdictArticle);
        for (const SourcePart& p : parts) {
            ASSERT_GE(p.offset, 0);
            ASSERT_GE(p.length, 0);
            ASSERT_LE(static_cast<size_t>(p.offset + p.length), line.size());
        }
    }
}

}  // namespace
