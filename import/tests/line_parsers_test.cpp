// The EDICT and KANJIDIC line parsers on the formats' worked lines, the
// grammar codes of old and current EDICT, header lines, and random lines.
#include "import/edict_parser.h"
#include "import/kanjidic_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// "kind:text|" for every part (the article as "02:" and its flags), then the
// KANJIDIC parameter text; a dash flag shows as "<" (leading) or ">" (trailing).
std::u16string Describe(std::u16string_view line, const std::vector<SourcePart>& parts,
                        const std::u16string* parameters = nullptr) {
    std::u16string out;
    for (const SourcePart& p : parts) {
        out += std::u16string{char16_t(u'0' + p.kind / 10), char16_t(u'0' + p.kind % 10)};
        if (p.kind == kEdictArticle) {
            for (char c : std::to_string(p.flags)) out += static_cast<char16_t>(c);
        } else {
            out += (p.flags == kReadingAfterDash ? u"<" : p.flags == kReadingBeforeDash ? u">" : u"");
            out += u":" + std::u16string(line.substr(p.offset, p.length));
        }
        out += u"|";
    }
    return parameters ? out + u"14:" + *parameters : out;
}

struct LineCase {
    const char16_t* line;
    const char16_t* parts;  // empty: the line makes no article
};

class EdictLineParts : public testing::TestWithParam<LineCase> {};
TEST_P(EdictLineParts, MakesItsParts) {
    std::vector<SourcePart> parts;
    const bool made = ParseEdictArticleLine(GetParam().line, parts);
    EXPECT_EQ(made, !parts.empty());
    EXPECT_EQ(Describe(GetParam().line, parts), GetParam().parts);
}
INSTANTIATE_TEST_SUITE_P(
    WorkedLines, EdictLineParts,
    testing::Values(LineCase{u"猫 [ねこ] /(n) cat/(P)/EntL1467640X/",
                             u"024|03:ねこ|04:猫|37:(n) |05:cat|37:(P)|38:EntL1467640X|"},
                    LineCase{u"ねこ /cat/", u"020|03:ねこ|05:cat|"},
                    LineCase{u"行く;逝く [いく;ゆく] /(v5k-s,vi) to go/",
                             u"021537|03:いく|03:ゆく|04:行く|04:逝く|37:(v5k-s,vi) |05:to go|"},
                    LineCase{u"a; b /x/", u"020|03:a|03: b|05:x|"},
                    LineCase{u"一 [いち(ok)] /(1) first/", u"020|03:いち|35:(ok)|04:一|05:(1) first|"},
                    LineCase{u"甲(oK) 【こう】 /(n) shell/", u"024|03:こう|04:甲|36:(oK)|37:(n) |05:shell|"},
                    LineCase{u"Ｘ /EntL/", u"020|03:Ｘ|05:EntL|"},
                    // A trailing U+3000 is cut from a headword and a reading, not kept on it.
                    LineCase{u"猫\u3000 [ねこ\u3000] /cat/", u"020|03:ねこ|04:猫|05:cat|"},
                    // Brackets count only before the first "/": a gloss keeps its own.
                    LineCase{u"ねこ /cat [informal]/", u"020|03:ねこ|05:cat [informal]|"},
                    LineCase{u"猫 [ねこ /cat/", u""}, LineCase{u"猫 ねこ] /cat/", u""},
                    LineCase{u"猫 ]ねこ[ /cat/", u""}, LineCase{u"猫 [ねこ] cat", u""}));

TEST(EdictGrammarCodes, OldAndCurrentTagsSetTheirBits) {
    const std::pair<const char16_t*, uint32_t> cases[] = {
        {u"v1)", 0x801},   {u"v5r)", 0x401},   {u"vi)", 0x201},      {u"vt)", 0x101},   {u"n,vs)", 0x4},
        {u"n-adv)", 0x4},  {u"num)", 0},       {u"adv)", 0x10},      {u"adj)", 0x202},  {u"adj-no)", 0},
        {u"adj-i)", 0x202}, {u"adj-na)", 0x102}, {u"vs-i)", 0x1001}, {u"vk)", 0x2001}, {u"uk)", 0}};
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(EdictGrammarBits(cases[i].first), cases[i].second) << i;
}

TEST(EdictHeaderLine, GivesNameAndCopyright) {
    const std::u16string line = u"？？？  EDICT word list Copyright (C) 2008 ";  // slashes already blanks
    std::vector<SourcePart> parts;
    ParseEdictHeaderLine(line, parts);
    EXPECT_EQ(Describe(line, parts), u"15:EDICT word list |16:Copyright (C) 2008 |");
    EXPECT_TRUE(IsEdictHeaderLine(u"　？？？ /x/") && IsEdictHeaderLine(u"?? /x/") && !IsEdictHeaderLine(u"　猫 /x/"));
}

class KanjidicLineParts : public testing::TestWithParam<LineCase> {};
TEST_P(KanjidicLineParts, MakesItsParts) {
    KanjidicLine parsed;
    const bool made = ParseKanjidicLine(GetParam().line, parsed);
    EXPECT_EQ(made ? Describe(GetParam().line, parsed.parts, &parsed.parameters) : u"", GetParam().parts);
}
INSTANTIATE_TEST_SUITE_P(
    WorkedLines, KanjidicLineParts,
    testing::Values(
        LineCase{u"亜 3021 U4e9c B1 G8 S7 ア つ.ぐ {Asia} {come after}",
                 u"020|04:亜|11:ア|12:つ.ぐ|13:Asia|05:Asia|05:come after|14:j=3021 u=4e9c r=1 g=8 s=7"},
        LineCase{u"化 -か あ- XJ0 Yhua4", u"020|04:化|12<:か|12>:あ|14:"},
        // Name readings ("T1") and radical names ("T2") are readings too;
        // the "T1" and "T2" tokens themselves are nothing.
        LineCase{u"亜 ア T1 や つぎ {Asia}", u"020|04:亜|11:ア|12:や|12:つぎ|13:Asia|05:Asia|14:"},
        LineCase{u"乙 T2 きのと {second", u"020|04:乙|12:きのと|13:second|05:second|14:"},
        LineCase{u"𠀋 U2000b {ditto}", u"020|04:𠀋|13:ditto|05:ditto|14:u=2000b"},
        LineCase{u"# comment", u""}, LineCase{u"亜亜 ア", u""}));

TEST(KanjidicParameterText, TakesWholeFieldsWithinItsBound) {
    std::u16string line = u"亜 U" + std::u16string(400, u'f');
    for (int i = 0; i < 60; ++i) line += u" S12";
    KanjidicLine parsed;
    ASSERT_TRUE(ParseKanjidicLine(line, parsed));
    EXPECT_LE(parsed.parameters.size(), kMaxParameterUnits);
    EXPECT_TRUE(parsed.parameters.starts_with(u"u=" + std::u16string(kMaxParameterValueUnits, u'f') + u" s=12"));
}

// Random lines of each format's own characters: every part lies within its
// line, and an EDICT line taken for its article alone gives the same article
// (or none). Longer with OSTREL_LONG_FUZZ.
TEST(LineParserFuzz, PartsStayInsideTheLine) {
    const std::u16string alphabets[] = {u"/[]【】();, (P)EntLadjvn1-5 猫ね\u3000", u"亜ア つ.ぐ-{}T1 U4B5S{x y}#"};
    const int rounds = std::getenv("OSTREL_LONG_FUZZ") ? 2000000 : 20000;
    std::mt19937 random(19);
    KanjidicLine kanji;
    for (int round = 0; round < rounds; ++round) {
        for (int format = 0; format < 2; ++format) {
            std::u16string line(random() % 50, u' ');
            for (char16_t& c : line) c = alphabets[format][random() % alphabets[format].size()];
            std::vector<SourcePart> edict;
            const bool made = format == 0 ? ParseEdictArticleLine(line, edict) : ParseKanjidicLine(line, kanji);
            ASSERT_LE(kanji.parameters.size(), kMaxParameterUnits);
            for (const SourcePart& p : format == 0 ? edict : kanji.parts)
                ASSERT_TRUE(made && p.offset >= 0 && p.length >= 0 && size_t(p.offset + p.length) <= line.size());
            if (format != 0) continue;
            // The article alone is the same line taken the same way, its first part.
            std::vector<SourcePart> article;
            ASSERT_EQ(ParseEdictArticleLine(line, article, true), made);
            ASSERT_EQ(article.size(), made ? 1u : 0u);
            if (made) {
                ASSERT_TRUE(article[0].kind == edict[0].kind && article[0].offset == edict[0].offset &&
                            article[0].length == edict[0].length && article[0].flags == 0);
            }
        }
    }
}

}  // namespace
