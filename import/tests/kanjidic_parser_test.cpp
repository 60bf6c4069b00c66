// The KANJIDIC line parser on the format's worked lines: tokens, the
// parameter text and its bounds, dash flags, name readings, meanings.
#include "import/kanjidic_parser.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::u16string Describe(std::u16string_view line, const KanjidicLine& parsed) {
    std::u16string out;
    for (const SourcePart& p : parsed.parts) {
        out += std::u16string(1, static_cast<char16_t>(u'0' + p.kind / 10)) + static_cast<char16_t>(u'0' + p.kind % 10);
        if (p.flags) out += p.flags == kReadingAfterDash ? u"<" : u">";
        out += u":" + std::u16string(p.kind == kKanjidicArticle ? u"" : line.substr(p.offset, p.length)) + u"|";
    }
    return out + u"14:" + parsed.parameters;
}

struct LineCase {
    const char16_t* line;
    const char16_t* parts;  // empty: the line makes no article
};

class KanjidicLineParts : public testing::TestWithParam<LineCase> {};

TEST_P(KanjidicLineParts, MakesItsParts) {
    KanjidicLine parsed;
    const bool made = ParseKanjidicLine(GetParam().line, parsed);
    EXPECT_EQ(made ? Describe(GetParam().line, parsed) : u"", GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedLines, KanjidicLineParts,
    testing::Values(
        LineCase{u"亜 3021 U4e9c B1 G8 S7 ア つ.ぐ {Asia} {come after}",
                 u"02:|04:亜|11:ア|12:つ.ぐ|13:Asia|05:Asia|05:come after|14:j=3021 u=4e9c r=1 g=8 s=7"},
        LineCase{u"化 -か あ- XJ0 Yhua4 Wa", u"02:|04:化|12<:か|12>:あ|14:"},
        // Name readings and radical names are not readings of the kanji.
        LineCase{u"亜 ア つ.ぐ T1 や つぎ {Asia}", u"02:|04:亜|11:ア|12:つ.ぐ|13:Asia|05:Asia|14:"},
        LineCase{u"乙 T2 きのと おつ {second", u"02:|04:乙|13:second|05:second|14:"},
        LineCase{u"𠀋 U2000b S6 {ditto}", u"02:|04:𠀋|13:ditto|05:ditto|14:u=2000b s=6"},
        LineCase{u"# comment", u""}, LineCase{u"亜亜 ア", u""}, LineCase{u"a ア", u""}));

TEST(KanjidicParameterText, NeverExceedsItsBound) {
    std::u16string line = u"亜 U" + std::u16string(400, u'f');
    for (int i = 0; i < 60; ++i) line += u" S12";
    KanjidicLine parsed;
    ASSERT_TRUE(ParseKanjidicLine(line, parsed));
    EXPECT_LE(parsed.parameters.size(), kMaxParameterUnits);
    EXPECT_EQ(parsed.parameters.substr(0, 2 + kMaxParameterValueUnits + 1),
              u"u=" + std::u16string(kMaxParameterValueUnits, u'f') + u" ");
}

TEST(KanjidicLineFuzz, PartsStayInsideTheLine) {
    const char16_t alphabet[] = u"亜ア つ.ぐ-{}T1 U4B5S{x y}#";
    const int rounds = std::getenv("OSTREL_LONG_FUZZ") ? 2000000 : 20000;
    std::mt19937 random(122);
    KanjidicLine parsed;
    for (int round = 0; round < rounds; ++round) {
        std::u16string line(random() % 60, u' ');
        for (char16_t& c : line) c = alphabet[random() % (std::size(alphabet) - 1)];
        if (!ParseKanjidicLine(line, parsed)) continue;
        ASSERT_LE(parsed.parameters.size(), kMaxParameterUnits);
        for (const SourcePart& p : parsed.parts) {
            ASSERT_GE(p.length, 0);
            ASSERT_LE(static_cast<size_t>(p.offset + p.length), line.size());
        }
    }
}

}  // namespace
