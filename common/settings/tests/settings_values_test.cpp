// Integer and dictionary-slot spelling of the settings file.
#include "common/settings/settings_values.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct IntCase {
    std::u16string_view text;
    int32_t defaultValue;
    int32_t expected;
};

class ParseProfileIntTest : public testing::TestWithParam<IntCase> {};

TEST_P(ParseProfileIntTest, ReadsTheLeadingNumberOrTheDefault) {
    EXPECT_EQ(ParseProfileInt(GetParam().text, GetParam().defaultValue), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParseProfileIntTest,
    testing::Values(IntCase{u"", 7, 7},              // empty: the default
                    IntCase{u"abc", 7, 0},           // letters: 0, not the default
                    IntCase{u"12abc", 7, 12},        // digits then letters
                    IntCase{u"42", 0, 42},
                    IntCase{u"-1280", 0, -1280},     // a monitor left of the primary
                    IntCase{u"-", 5, 0},
                    IntCase{u"+15", 0, 15},
                    IntCase{u"  33", 0, 33},
                    IntCase{u"--3", 0, 0},
                    IntCase{u"0x10", 0, 0},
                    IntCase{u"2147483647", 0, std::numeric_limits<int32_t>::max()},
                    IntCase{u"-2147483648", 0, std::numeric_limits<int32_t>::min()},
                    IntCase{u"99999999999999999999", 0, std::numeric_limits<int32_t>::max()},
                    IntCase{u"-99999999999999999999", 0, std::numeric_limits<int32_t>::min()}));

TEST(FormatProfileInt, WritesDecimalThatReadsBack) {
    for (int32_t value : {0, 1, -1, 11, -1280, 32768, std::numeric_limits<int32_t>::max(),
                          std::numeric_limits<int32_t>::min()}) {
        std::u16string text = FormatProfileInt(value);
        EXPECT_EQ(ParseProfileInt(text, 12345), value);
    }
    EXPECT_EQ(FormatProfileInt(-2147483647 - 1), u"-2147483648");
    EXPECT_EQ(FormatProfileInt(305), u"305");
}

struct SlotCase {
    std::u16string_view stored;
    std::u16string_view path;
    int32_t state;
};

class SplitDictionarySlotTest : public testing::TestWithParam<SlotCase> {};

TEST_P(SplitDictionarySlotTest, SplitsAtTheLastComma) {
    DictionarySlot slot = SplitDictionarySlot(GetParam().stored);
    EXPECT_EQ(slot.path, GetParam().path);
    EXPECT_EQ(slot.state, GetParam().state);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SplitDictionarySlotTest,
    testing::Values(SlotCase{u"C:\\Dicts\\a.qdx,2", u"C:\\Dicts\\a.qdx", 2},
                    // A folder with a comma keeps its dictionary.
                    SlotCase{u"C:\\Dicts, old\\a.qdx,0", u"C:\\Dicts, old\\a.qdx", 0},
                    SlotCase{u"C:\\a,b,c\\d.qdx,3", u"C:\\a,b,c\\d.qdx", 3},
                    // No comma: all path, state 0.
                    SlotCase{u"C:\\Dicts\\a.qdx", u"C:\\Dicts\\a.qdx", 0},
                    // A tail that is no number is part of the name.
                    SlotCase{u"C:\\Dicts\\a,b.qdx", u"C:\\Dicts\\a,b.qdx", 0},
                    SlotCase{u"C:\\辞書\\和英.qdx,1", u"C:\\辞書\\和英.qdx", 1},
                    SlotCase{u"D:\\x.qdx,-1", u"D:\\x.qdx", -1},
                    SlotCase{u"", u"", 0}));

TEST(DictionarySlot, FormatThenSplitGivesPathAndStateBack) {
    for (std::u16string_view path : {u"C:\\Dicts\\a.qdx", u"C:\\Dicts, old\\a.qdx", u"E:\\словари,2\\b.qdx",
                                     u"C:\\辞書\\和英.qdx"}) {
        for (int32_t state : {0, 1, 2, 3}) {
            std::u16string stored = FormatDictionarySlot(path, state);
            DictionarySlot slot = SplitDictionarySlot(stored);
            EXPECT_EQ(slot.path, path);
            EXPECT_EQ(slot.state, state);
        }
    }
    EXPECT_EQ(FormatDictionarySlot(u"C:\\a.qdx", 3), u"C:\\a.qdx,3");
}

}  // namespace
