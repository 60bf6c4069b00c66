// Bounded writing of styled text and the typed article result.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "article/display_attributes.h"
#include "article/formatted_text.h"
#include "article/list_cell.h"

namespace {

TEST(StyledWriter, NeverWritesPastItsBufferAndKeepsRoomForTheTerminator) {
    for (size_t capacity : {0u, 1u, 2u, 5u}) {
        std::vector<char16_t> text(capacity + 2, u'#');
        std::vector<uint32_t> attributes(capacity + 2, 7);
        StyledWriter out(std::span<char16_t>(text.data(), capacity), std::span<uint32_t>(attributes.data(), capacity));
        out.Append(u"abcdefgh", kClassPlain);
        out.Terminate();
        size_t written = capacity == 0 ? 0 : capacity - 1;
        EXPECT_EQ(out.Length(), static_cast<int32_t>(written));
        if (capacity > 0) {
            EXPECT_EQ(text[written], 0);
        }
        EXPECT_EQ(text[capacity], u'#');        // the guard units are untouched
        EXPECT_EQ(attributes[capacity], 7u);
    }
}

TEST(StyledWriter, WithoutAttributesWritesTextOnly) {
    char16_t text[4];
    StyledWriter out(text, {});
    EXPECT_FALSE(out.HasAttributes());
    out.Append(u"ab", kClassReading);
    out.OrAttributes(0, kAttrBold);
    EXPECT_EQ(out.View(), u"ab");
}

TEST(ListCell, HoldsAtMost254UnitsAndATerminator) {
    ListCell cell;
    StyledWriter out = cell.Writer();
    for (int i = 0; i < 300; ++i) out.Put(u'x', kClassPlain);
    out.Terminate();
    EXPECT_EQ(out.Length(), kCellTextLimit);
    EXPECT_EQ(cell.text[kCellTextLimit], 0);
}

TEST(FormattedText, RtfIsBytesWithoutAttributesAndStyledTextHasOnePerUnit) {
    const char document[] = "{\\rtf1 x}";
    std::unique_ptr<char[]> bytes(new char[sizeof document]);
    std::memcpy(bytes.get(), document, sizeof document);
    FormattedText rtf = FormattedText::Rtf(std::move(bytes), sizeof document - 1);
    EXPECT_EQ(rtf.Kind(), FormattedTextKind::Rtf);
    EXPECT_EQ(rtf.RtfDocument(), "{\\rtf1 x}");
    EXPECT_TRUE(rtf.Attributes().empty());
    EXPECT_TRUE(rtf.Text().empty());

    StyledText text(8);
    StyledWriter out = text.Writer();
    out.Append(u"kana", kClassReading);
    text.Finish(out);
    FormattedText styled = FormattedText::Styled(std::move(text));
    EXPECT_EQ(styled.Kind(), FormattedTextKind::Styled);
    EXPECT_EQ(styled.Text(), u"kana");
    ASSERT_EQ(styled.Attributes().size(), 4u);
    EXPECT_EQ(styled.Attributes()[3], kClassReading);
    EXPECT_TRUE(styled.RtfDocument().empty());
}

}  // namespace
