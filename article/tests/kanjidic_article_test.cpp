// The KANJIDIC article text on the worked cases of its layout.
#include <gtest/gtest.h>

#include <string>

#include "article/kanjidic_article.h"
#include "article/tests/parsed_record_fixture.h"

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
              u"亜\nア\nつぐ\nや・つぎ\n1. Asia\n2. rank next\n\n"
              u"Bushu:1 Classic:7 Strokes:7,8,9 Korean:a\nUnicode:4e9c PinYin:ya4 Four Corners:1010.6\n"
              u"Grade:8 Frequency:1509\n"
              u"Nelson:43 Haig:81 Halpern:3540 Spahn-Hadamitzky:N1616 Spahn-Hadamitzky:0a7.14 "
              u"Morohashi:N272,P1.0525 Henshall:997 Gakken:1331 Heisig:1809 O'Neill:525 De Roo:3273 "
              u"Halpern Learners:2204 O'Neill Essential Kanji:1788 Nishiguchi-Kono:1818 "
              u"Kodansha Compact Kanji Guide:35 DP4354 DL2966\nXJ05033 ZPP2-3-8 \n");
    EXPECT_EQ(r.ClassOf(u"亜"), kClassHeadword);
    EXPECT_EQ(r.ClassOf(u"ア"), kClassReading);
    EXPECT_EQ(r.ClassOf(u"つ"), kClassReading);
    EXPECT_EQ(r.ClassOf(u"ぐ"), kClassGrey);            // okurigana after the "."
    EXPECT_TRUE(r.AllOf(u"や・つぎ", kClassGreen));      // name readings
    EXPECT_TRUE(r.AllOf(u"1. Asia", kClassPlain));
    EXPECT_TRUE(r.AllOf(u"Strokes:7,8,9", kClassPlain));
}

TEST(KanjidicArticle, ReadingLinesByT1AndT2AndUnclosedBraces) {
    // Without "T1" every hiragana token is a kun reading, the radical names
    // after "T2" too; with it they follow the name readings, and a katakana
    // radical name joins the on readings.
    EXPECT_EQ(Format(u"岡 322C U5ca1 B13 S8 コウ おか {mount}").text,
              u"岡\nコウ\nおか\nmount\n\nBushu:13 Strokes:8\nUnicode:5ca1\n\n");
    EXPECT_EQ(Format(u"缶 344C S6 カン かま T1 ふ べ T2 ほとぎ {tin can}").text,
              u"缶\nカン\nかま\nふ・べ・ほとぎ\ntin can\n\nStrokes:6\n\n");
    EXPECT_EQ(Format(u"禾 3253 S5 カ いね T2 のぎ のぎへん {tree}").text,
              u"禾\nカ\nいね・のぎ・のぎへん\ntree\n\nStrokes:5\n\n");
    StyledResult no = Format(u"丿 5028 S1 ヘツ えい T1 の T2 ノ のかんむり {no}");
    EXPECT_EQ(no.text, u"丿\nヘツ・ノ\nえい\nの・のかんむり\nno\n\nStrokes:1\n\n");
    EXPECT_TRUE(no.AllOf(u"の・のかんむり", kClassGreen));
    // An unclosed brace runs to the end of the line; nothing after a 0 unit is read.
    EXPECT_EQ(Format(u"X S1 {never closed").text, u"X\n\n\nnever closed\n\nStrokes:1\n\n");
    EXPECT_EQ(Format(std::u16string(u"X S1\0 S2", 8)).text, u"X\n\n\n\nStrokes:1\n\n");
}

}  // namespace
