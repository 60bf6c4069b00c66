// The two general index-text preparers: what they keep, how the field bits
// follow the kept characters, and where they stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "article/display_attributes.h"
#include "article/index_text.h"

namespace {

using Preparer = int32_t (*)(char16_t*, int32_t, const char16_t*, int32_t, uint16_t*);

struct Prepared {
    std::u16string text;
    std::vector<uint16_t> bits;
};

// Runs the preparer on `text` with the element marking `marks` (one entry
// per unit, missing entries 0), separate output buffer.
Prepared Prepare(Preparer preparer, std::u16string text, std::vector<uint16_t> marks = {},
                 int32_t capacity = -1) {
    marks.resize(text.size(), 0);
    std::u16string out(text.size() + 1, u'#');
    int32_t room = capacity < 0 ? static_cast<int32_t>(text.size()) : capacity;
    int32_t length = preparer(out.data(), room, text.data(), static_cast<int32_t>(text.size()), marks.data());
    marks.resize(static_cast<size_t>(length));
    return {out.substr(0, static_cast<size_t>(length)), marks};
}

// The positions of the output whose bits have `bit`, as a string of '^' and ' '.
std::string Where(const Prepared& p, uint16_t bit) {
    std::string s;
    for (uint16_t b : p.bits) s += (b & bit) ? '^' : ' ';
    return s;
}

TEST(IndexText, BracketsAndCommasAsInTheWorkedExample) {
    Prepared words = Prepare(PrepareIndexTextWords, u"a  (b, c)");
    EXPECT_EQ(words.text, u"a (b, c)");
    EXPECT_EQ(Where(words, kFieldInBrackets), "  ^^^^^ ");   // "(b, c" marked, ")" not
    EXPECT_EQ(Where(words, kFieldComma), "    ^   ");

    Prepared plain = Prepare(PrepareIndexTextDefault, u"a  (b, c)");
    EXPECT_EQ(plain.text, u"a (b, c)");
    EXPECT_EQ(Where(plain, kFieldInBrackets), "  ^^^^^^");   // both brackets marked
    EXPECT_EQ(Where(plain, kFieldComma), "    ^   ");
}

TEST(IndexText, WordsPreparerDropsMarkupAndMarksItalicRuns) {
    Prepared p = Prepare(PrepareIndexTextWords, u"{\\b1 x} <i>adv</i> _q_;y");
    EXPECT_EQ(p.text, u"x adv q;y");
    EXPECT_EQ(Where(p, kFieldItalic), "  ^^^ ^  ");
    EXPECT_EQ(Where(p, kFieldSemicolon), "       ^ ");
    // An element starting on a dropped "<" marks the next kept character.
    std::vector<uint16_t> marks(12, kFieldSense);
    marks[3] |= kFieldElementStart;
    p = Prepare(PrepareIndexTextWords, u"ab <i>cd</i>", marks);
    EXPECT_EQ(p.text, u"ab cd");
    EXPECT_EQ(Where(p, kFieldElementStart), "   ^ ");
    EXPECT_EQ(Where(p, kFieldSense), "^^^^^");
}

TEST(IndexText, UnclosedTagStaysTextUpToTheNextElement) {
    // "<" without ">" in its element: kept, and the next element is indexed.
    std::u16string text = u"a<b c; d>e";
    std::vector<uint16_t> marks(text.size(), 0);
    marks[0] = kFieldElementStart;
    marks[5] = kFieldElementStart;   // ";" starts the next element
    Prepared p = Prepare(PrepareIndexTextWords, text, marks);
    EXPECT_EQ(p.text, u"a<b c; d>e");
    // Without element marks the ">" further on closes it.
    EXPECT_EQ(Prepare(PrepareIndexTextWords, text).text, u"ae");
    EXPECT_EQ(Prepare(PrepareIndexTextWords, u"x < y").text, u"x < y");
}

TEST(IndexText, CapacityTrailingBlankAndInPlaceUse) {
    for (Preparer preparer : {PrepareIndexTextWords, PrepareIndexTextDefault}) {
        EXPECT_EQ(Prepare(preparer, u"abcdef", {}, 3).text, u"abc");
        EXPECT_EQ(Prepare(preparer, u"ab \n").text, u"ab ");    // one trailing unit dropped
        std::u16string text = u"  one  two ";
        int32_t length = preparer(text.data(), 11, text.data(), 11, nullptr);
        EXPECT_EQ(text.substr(0, static_cast<size_t>(length)), u"one two");
    }
}

}  // namespace
