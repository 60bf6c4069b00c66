#include "common/base/string_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(StringBuilder, GrowsBy2xPlus300WhenFewerThanTwoUnitsAreFree) {
    CStringBuilder b;
    EXPECT_EQ(b.capacity, 0);
    EXPECT_EQ(b.begin, nullptr);
    std::vector<int32_t> capacities;
    for (int i = 0; i < 4600; ++i) {
        b.AppendChar(u'a');
        if (capacities.empty() || capacities.back() != b.capacity) capacities.push_back(b.capacity);
        ASSERT_EQ(*b.write, 0);
    }
    EXPECT_EQ(capacities, (std::vector<int32_t>{300, 900, 2100, 4500, 9300}));
    EXPECT_EQ(b.View().size(), 4600u);
}

TEST(StringBuilder, Exactly299UnitsFitTheFirstAllocation) {
    CStringBuilder b;
    b.Append(std::u16string(299, u'x'));
    EXPECT_EQ(b.capacity, 300);
    b.AppendChar(u'y');
    EXPECT_EQ(b.capacity, 900);
    EXPECT_EQ(b.View().size(), 300u);
    EXPECT_EQ(b.View().back(), u'y');
}

TEST(StringBuilder, ClearKeepsTheBufferAndEmptiesTheText) {
    CStringBuilder b;
    b.Append(u"hello");
    b.lineStartLength = 3;
    char16_t* buffer = b.begin;
    b.Clear();
    EXPECT_EQ(b.begin, buffer);
    EXPECT_EQ(b.capacity, 300);
    EXPECT_EQ(b.lineStartLength, 0);
    EXPECT_EQ(std::u16string(b.Text()), u"");
    b.Append(u"ab");
    EXPECT_EQ(b.View(), u"ab");
}

TEST(StringBuilder, ClearOnAnEmptyBuilderLeavesNoBuffer) {
    CStringBuilder b;
    b.Clear();
    EXPECT_EQ(b.begin, nullptr);
    EXPECT_EQ(std::u16string(b.Text()), u"");
}

TEST(StringBuilder, PadToColumnAppendsColumnMinusOneSpaces) {
    for (auto [column, spaces] : {std::pair{-3, 0}, {0, 0}, {1, 0}, {2, 1}, {6, 5}}) {
        CStringBuilder b;
        EXPECT_EQ(b.PadToColumn(column), column);
        EXPECT_EQ(b.View(), std::u16string(size_t(spaces), u' ')) << "column " << column;
    }
}

TEST(StringBuilder, AppendAnsiMapsEveryByteToTheSameLatin1Unit) {
    std::string bytes;
    for (int c = 1; c < 256; ++c) bytes.push_back(char(c));
    CStringBuilder b;
    b.AppendAnsi(bytes.c_str());
    ASSERT_EQ(b.View().size(), 255u);
    for (int c = 1; c < 256; ++c) EXPECT_EQ(b.View()[size_t(c - 1)], char16_t(c));
    b.Clear();
    b.AppendAnsi("caf\xE9 \xE6tas");  // Latin-1 "café ætas"
    EXPECT_EQ(b.View(), u"caf\u00E9 \u00E6tas");
}

TEST(StringBuilder, NullTextsAppendNothing) {
    CStringBuilder b;
    b.Append(static_cast<const char16_t*>(nullptr));
    b.AppendAnsi(nullptr);
    EXPECT_EQ(b.begin, nullptr);
    b.Append(u"x");
    b.Append(static_cast<const char16_t*>(nullptr));
    EXPECT_EQ(b.View(), u"x");
}

TEST(StringBuilder, AFailedGrowthLeavesNoTextAndLaterAppendsStartAgain) {
    CStringBuilder b;
    b.Append(u"kept until the failure");
    EXPECT_EQ(b.EnsureCapacity(0x7FFFFFFF), nullptr);
    EXPECT_EQ(b.begin, nullptr);
    EXPECT_EQ(b.capacity, 0);
    EXPECT_TRUE(b.View().empty());
    b.Append(u"again");
    EXPECT_EQ(b.View(), u"again");
    EXPECT_EQ(b.capacity, 300);
}

TEST(StringBuilder, EnsureCapacityKeepsTextAndIgnoresSmallerSizes) {
    CStringBuilder b;
    EXPECT_EQ(b.EnsureCapacity(0), nullptr);
    b.Append(u"abc");
    char16_t* before = b.begin;
    EXPECT_EQ(b.EnsureCapacity(10), before);
    EXPECT_EQ(b.capacity, 300);
    ASSERT_NE(b.EnsureCapacity(5000), nullptr);
    EXPECT_EQ(b.capacity, 5000);
    EXPECT_EQ(b.View(), u"abc");
    EXPECT_EQ(*b.write, 0);
}
