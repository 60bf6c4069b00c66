// The KANJIDIC article text on the worked cases of its layout.
#include <gtest/gtest.h>

#include <string>

#include "article/kanjidic_article.h"
#include "article/tests/styled_text_checks.h"

namespace {

StyledResult Format(std::u16string_view line) {
    return WriteStyled(KanjidicArticleCapacity(static_cast<int32_t>(line.size())),
                       [&](StyledWriter& out) { FormatKanjidicLine(line, out); });
}

TEST(KanjidicArticle, WholeArticleOfAFullLine) {
    StyledResult r = Format(
        u"亜 3021 U4e9c B1 C7 G8 S7 S8 S9 XJ05033 F1509 J1 N43 V81 H3540 DP4354 DK2204 DL2966 L1809 "
        u"K1331 O525 DO1788 MN272 MP1.0525 E997 IN1616 DJ1818 DG35 I0a7.14 Q1010.6 DR3273 Yya4 Wa "
        u"ZPP2-3-8 ア つ.ぐ T1 や つぎ {Asia} {rank next}");
    EXPECT_EQ(r.text,
              u"亜\n"
              u"ア\n"
              u"つぐ\n"
              u"や・つぎ\n"
              u"1. Asia\n"
              u"2. rank next\n"
              u"\n"
              u"Bushu:1 Classic:7 Strokes:7,8,9 Korean:a\n"
              u"Unicode:4e9c PinYin:ya4 Four Corners:1010.6\n"
              u"Grade:8 Frequency:1509\n"
              u"Nelson:43 Haig:81 Halpern:3540 Spahn-Hadamitzky:N1616 Spahn-Hadamitzky:0a7.14 "
              u"Morohashi:N272,P1.0525 Henshall:997 Gakken:1331 Heisig:1809 O'Neill:525 De Roo:3273 "
              u"Halpern Learners:2204 O'Neill Essential Kanji:1788 Nishiguchi-Kono:1818 "
              u"Japanese For Busy People:35 DP4354 DL2966\n"
              u"XJ05033 ZPP2-3-8 \n");
    EXPECT_EQ(r.ClassOf(u"亜"), kClassHeadword);
    EXPECT_EQ(r.ClassOf(u"ア"), kClassReading);
    EXPECT_EQ(r.ClassOf(u"つ"), kClassReading);
    EXPECT_EQ(r.ClassOf(u"ぐ"), kClassGrey);            // okurigana after the "."
    EXPECT_TRUE(r.AllOf(u"や・つぎ", kClassGreen));      // name readings
    EXPECT_TRUE(r.AllOf(u"1. Asia", kClassPlain));
    EXPECT_TRUE(r.AllOf(u"Strokes:7,8,9", kClassPlain));
}

TEST(KanjidicArticle, WithoutT1AllHiraganaAreKunReadings) {
    StyledResult r = Format(u"岡 322C U5ca1 B13 S8 コウ おか {mount}");
    EXPECT_EQ(r.text, u"岡\nコウ\nおか\nmount\n\nBushu:13 Strokes:8\nUnicode:5ca1\n\n");
}

TEST(KanjidicArticle, RadicalNamesAfterT2AreNotReadings) {
    StyledResult r = Format(u"缶 344C S6 カン かま T1 ふ べ T2 ほとぎ {tin can}");
    EXPECT_EQ(r.text, u"缶\nカン\nかま\nふ・べ\ntin can\n\nStrokes:6\n\n");
    r = Format(u"禾 3253 S5 カ いね T2 のぎ {two-branch tree}");
    EXPECT_EQ(r.text, u"禾\nカ\nいね\ntwo-branch tree\n\nStrokes:5\n\n");
}

TEST(KanjidicArticle, MeaningsAreNumberedFromTwoOn) {
    std::u16string line = u"X 0000";
    for (int i = 1; i <= 10; ++i) line += u" {m" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)) + u"}";
    StyledResult r = Format(line);
    EXPECT_NE(r.text.find(u"\n1. m1\n"), std::u16string::npos);
    EXPECT_NE(r.text.find(u"\n10. m0\n"), std::u16string::npos);
    EXPECT_EQ(Format(u"X 0000 {only}").text, u"X\n\n\nonly\n\n\n");
}

TEST(KanjidicArticle, UnclosedBraceRunsToTheEndOfTheLine) {
    EXPECT_EQ(Format(u"X S1 {never closed").text, u"X\n\n\nnever closed\n\nStrokes:1\n\n");
    // Text after a 0 unit (the record's terminator) is not read.
    EXPECT_EQ(Format(std::u16string(u"X S1\0 S2", 8)).text, u"X\n\n\n\nStrokes:1\n\n");
}

TEST(KanjidicArticle, CutOutputStaysInsideItsBuffer) {
    std::u16string line = u"亜 3021 U4e9c B1 G8 S7 ア つ.ぐ {Asia} {come after}";
    StyledResult whole = Format(line);
    for (int32_t capacity = 1; capacity < static_cast<int32_t>(whole.text.size()) + 2; ++capacity) {
        StyledResult cut = WriteStyled(capacity, [&](StyledWriter& out) { FormatKanjidicLine(line, out); });
        ASSERT_LE(static_cast<int32_t>(cut.text.size()), capacity - 1);
    }
}

}  // namespace
