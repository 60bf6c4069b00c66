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

// The line check of UTF-8 sources holds each sequence to the standard's
// table of well-formed bytes at both sides of every edge (C1/C2 leads, the
// overlong and surrogate second bytes of E0 and ED, F0's and F4's, F5 on),
// and names the line of the first bad byte; valid text is never refused.
TEST(Utf8, FirstLineNotUtf8HoldsEveryEdgeOfTheTable) {
    auto line = [](std::string_view text) {
        return FirstLineNotUtf8({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
    };
    struct Edge {
        const char* bytes;
        bool wellFormed;
    };
    const Edge edges[] = {
        {"\x7F", true},          {"\x80", false},             {"\xBF", false},
        {"\xC0\x80", false},     {"\xC0\xAF", false},         {"\xC1\xBF", false},
        {"\xC2\x80", true},      {"\xC2\x7F", false},         {"\xC2\xC0", false},      {"\xDF\xBF", true},
        {"\xE0\x9F\xBF", false}, {"\xE0\xA0\x80", true},      {"\xE0\xBF\xBF", true},
        {"\xE1\x80\x80", true},  {"\xEC\xBF\xBF", true},      {"\xED\x9F\xBF", true},
        {"\xED\xA0\x80", false}, {"\xED\xBF\xBF", false},     {"\xEE\x80\x80", true},   {"\xEF\xBF\xBF", true},
        {"\xF0\x8F\xBF\xBF", false}, {"\xF0\x90\x80\x80", true}, {"\xF3\xBF\xBF\xBF", true},
        {"\xF4\x8F\xBF\xBF", true},  {"\xF4\x90\x80\x80", false}, {"\xF5\x80\x80\x80", false},
        {"\xF8\x88\x80\x80\x80", false}, {"\xFE", false},     {"\xFF", false},
        {"\xE3\x81", false},     {"\xF0\x9F\x98", false},     {"\xE3\x81\x41", false},
    };
    for (const Edge& e : edges) {
        const std::string bytes = e.bytes;
        // Alone, on the third line, and followed by more lines.
        EXPECT_EQ(line(bytes), e.wellFormed ? 0 : 1) << testing::PrintToString(bytes);
        EXPECT_EQ(line("a\nb\r\n" + bytes + "\nc\n"), e.wellFormed ? 0 : 3) << testing::PrintToString(bytes);
    }
    // Every sequence of one to three bytes under a lead of its length agrees with the standard's
    // definition: a scalar value written in its shortest form, which the
    // encoder writes back byte for byte.
    auto wellFormed = [](const std::string& bytes) {
        const auto b = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
        uint32_t c = 0;
        if (bytes.size() == 1) c = b(0);
        else if (bytes.size() == 2) c = (b(0) & 0x1Fu) << 6 | (b(1) & 0x3Fu);
        else c = (b(0) & 0x0Fu) << 12 | (b(1) & 0x3Fu) << 6 | (b(2) & 0x3Fu);
        if (c >= 0xD800 && c <= 0xDFFF) return false;
        return Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(c))) == bytes;
    };
    int refused = 0;
    for (uint32_t n = 0; n < 0x1000000; ++n) {
        const size_t length = n < 0x100 ? 1 : n < 0x10000 ? 2 : 3;
        std::string bytes(length, '\0');
        for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(n >> (8 * (length - 1 - i)));
        const uint8_t lead = static_cast<uint8_t>(bytes[0]);
        if ((length == 2 && (lead < 0xC0 || lead > 0xDF)) || (length == 3 && (lead < 0xE0 || lead > 0xEF)))
            continue;  // a lead of another length: the edges above hold those
        const bool expected = wellFormed(bytes);
        refused += !expected;
        if ((line(bytes) == 0) != expected) {
            ADD_FAILURE() << testing::PrintToString(bytes) << " should be " << (expected ? "accepted" : "refused");
            break;
        }
    }
    EXPECT_GT(refused, 0);
}
