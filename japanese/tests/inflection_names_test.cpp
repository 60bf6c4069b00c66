// The form names, the tag chain operations and the note text built from them.
#include <gtest/gtest.h>

#include "common/text/utf8.h"
#include "japanese/inflection_names.h"

namespace ostrel::japanese {
namespace {

TagChain Chain(std::initializer_list<uint8_t> codes) {
    TagChain tags{};
    for (uint8_t code : codes) AppendTagCode(tags, code);
    return tags;
}

TEST(TagChains, FullChainTakesNothingAndAnswersItsCount) {
    TagChain tags{};
    for (int i = 1; i <= 16; ++i) EXPECT_EQ(AppendTagCode(tags, static_cast<uint8_t>(i)), i);
    EXPECT_EQ(AppendTagCode(tags, 99), 16);  // no terminator, nothing written
    EXPECT_EQ(tags[15], 16);
    EXPECT_EQ(CountTagCodes(tags), 16);
    RemoveTagCodes(tags, 2, 5);  // drops codes 3, 4, 5
    EXPECT_EQ(CountTagCodes(tags), 13);
    EXPECT_EQ(tags[2], 6);
    EXPECT_EQ(tags[13], 0);
    RestoreTagCount(tags, 1);
    EXPECT_EQ(tags, Chain({1}));
}

TEST(InflectionNames, PinTheTableOrderAndItsTrailingBlanks) {
    const uint8_t order[] = {3, 9, 12, 20, 10, 6, 8, 23, 24, 7, 2, 11, 30, 15, 18, 16, 17, 31, 19,
                             14, 13, 5, 25, 26, 28, 29, 27, 33, 35, 41, 34, 38, 36, 37, 39, 56,
                             57, 58, 59, 143, 141, 61, 62, 63, 130, 131, 132, 133, 134, 135, 136,
                             137, 138, 139, 140, 142, 145, 146, 147, 148, 21, 40, 160, 161, 162,
                             163, 164, 165, 166, 81, 82, 44};
    auto table = InflectionNameTable();
    ASSERT_EQ(table.size(), 72u);
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].tagCode, order[i]);
        if (table[i].tagCode == 3) continue;
        // All names but four end in a blank, in both languages.
        const bool noBlank = table[i].tagCode == 10 || table[i].tagCode == 145 ||
                             table[i].tagCode == 161 || table[i].tagCode == 166;
        EXPECT_EQ(table[i].english.back() == u' ', !noBlank) << int(table[i].tagCode);
        EXPECT_EQ(table[i].russian.back(), u' ') << int(table[i].tagCode);
    }
    EXPECT_EQ(GetInflectionName(8, true), u"progress. ");
    EXPECT_EQ(GetInflectionName(36, false), u"деепр. одновр. ");
    EXPECT_EQ(GetInflectionName(145, true), u"with '-no' part.");
    for (uint8_t nameless : {22, 71, 42, 43, 49, 50, 51, 52, 53, 54, 55}) {
        EXPECT_TRUE(GetInflectionName(nameless, true).empty()) << int(nameless);
    }
}

TEST(DeinflectionNote, JoinsOnlyNamedCodes) {
    EXPECT_EQ(Utf16ToUtf8(DeinflectionNoteText(Chain({3, 8, 33}), true)), "progress. + -masu form from:");
    EXPECT_EQ(Utf16ToUtf8(DeinflectionNoteText(Chain({3, 6}), false)), "прош. время от:");
    EXPECT_EQ(Utf16ToUtf8(DeinflectionNoteText(Chain({3, 10}), true)), "-tari form from:");
}

TEST(DeinflectionNote, IsEmptyWhenNoCodeHasAName) {
    EXPECT_TRUE(DeinflectionNoteText(Chain({3, 43}), true).empty());  // 高けりゃ
    EXPECT_TRUE(DeinflectionNoteText(Chain({3, 22}), false).empty());
    EXPECT_TRUE(DeinflectionNoteText(Chain({}), true).empty());
}

TEST(TagsToText, StopsAtItsCapacity) {
    TagChain tags{};
    for (int i = 0; i < 16; ++i) AppendTagCode(tags, 30);  // the longest name, 16 times
    char16_t wide[kTagsTextCapacity];
    int32_t full = TagsToText(wide, tags, false);
    EXPECT_LT(full, kTagsTextCapacity);
    char16_t narrow[10];
    EXPECT_EQ(TagsToText(narrow, tags, false), 9);
    EXPECT_EQ(narrow[9], 0);
    EXPECT_EQ(std::u16string_view(narrow, 9), std::u16string_view(wide, 9));
    EXPECT_EQ(TagsToText(std::span<char16_t>(), tags, false), 0);
}

}  // namespace
}  // namespace ostrel::japanese
