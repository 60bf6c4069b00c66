#include "common/text/utf8.h"

#include <gtest/gtest.h>

TEST(Utf8, RoundTripsEveryPlane) {
    const std::u16string text = u"a\u00E9\u0416\u3042\u6F22\U00020B9F\U0010FFFF";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"\u3042"), "\xE3\x81\x82");
}

TEST(Utf8, IllFormedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");        // overlong "/"
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");         // encoded surrogate
    EXPECT_EQ(Utf8ToUtf16("a\xE3\x81"), u"a\uFFFD");            // cut at the end
    EXPECT_EQ(Utf8ToUtf16("\xE3\x81" "b"), u"\uFFFDb");         // resynchronises
    EXPECT_EQ(Utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD");     // above U+10FFFF
}
