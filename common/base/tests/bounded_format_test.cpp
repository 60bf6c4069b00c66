// The bounded formatter: printf results where they fit (checked against the C
// library's swprintf), and a terminated, pair-safe cut where they do not.
#include "common/base/bounded_format.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

std::u16string Format(size_t capacity, std::u16string_view format, std::initializer_list<FormatArg> args) {
    std::vector<char16_t> out(capacity + 1, u'#');   // one guard unit behind the buffer
    size_t length = FormatBounded(std::span<char16_t>(out.data(), capacity), format, args);
    EXPECT_EQ(out[capacity], u'#') << "wrote past the buffer";
    if (capacity == 0) { EXPECT_EQ(length, 0u); return {}; }
    EXPECT_LT(length, capacity);
    EXPECT_EQ(out[length], u'\0') << "not terminated";
    return std::u16string(out.data(), length);
}

std::u16string FromWide(const std::wstring& w) { return std::u16string(w.begin(), w.end()); }

struct NumberCase {
    const char16_t* format;
    const wchar_t* cFormat;
    int value;
};

class BoundedFormatNumbers : public ::testing::TestWithParam<NumberCase> {};

// The C library formats the same conversions; results must agree.
TEST_P(BoundedFormatNumbers, AgreesWithTheCLibrary) {
    const NumberCase& c = GetParam();
    wchar_t expected[128];
    std::swprintf(expected, 128, c.cFormat, c.value);
    EXPECT_EQ(Format(128, c.format, {c.value}), FromWide(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, BoundedFormatNumbers,
    ::testing::Values(NumberCase{u"%d", L"%d", 0}, NumberCase{u"%d", L"%d", -17},
                      NumberCase{u"%d", L"%d", INT32_MIN}, NumberCase{u"%d", L"%d", INT32_MAX},
                      NumberCase{u"%5d|", L"%5d|", 42}, NumberCase{u"%-5d|", L"%-5d|", 42},
                      NumberCase{u"%05d", L"%05d", -42}, NumberCase{u"%.02d", L"%.02d", 7},
                      NumberCase{u"%02d:", L"%02d:", 5}, NumberCase{u"%x", L"%x", 255},
                      NumberCase{u"%u", L"%u", -1}, NumberCase{u"%i%%", L"%i%%", 99},
                      NumberCase{u"Line %d from", L"Line %d from", 3}));

TEST(BoundedFormat, TextsAndMissingArguments) {
    EXPECT_EQ(Format(64, u"Add New Article to \"%s\" Dictionary", {u"Words"}),
              u"Add New Article to \"Words\" Dictionary");
    EXPECT_EQ(Format(64, u"[%6s|%-6s|%.3s]", {u"ab", u"cd", u"abcdef"}), u"[    ab|cd    |abc]");
    EXPECT_EQ(Format(64, u"%s and %s", {u"one"}), u"one and ");
    EXPECT_EQ(Format(64, u"%s=%d", {5, u"text"}), u"5=text");
    EXPECT_EQ(Format(64, u"100%", {}), u"100%");
    EXPECT_EQ(Format(64, u"%q stays", {1}), u"%q stays");
    EXPECT_EQ(Format(64, u"%s", {static_cast<const char16_t*>(nullptr)}), u"");
}

// A 260-unit dictionary name in an 80-unit buffer: cut, terminated, no overrun.
TEST(BoundedFormat, CutsLongTextAndAlwaysTerminates) {
    std::u16string name(260, u'N');
    for (size_t capacity : {0u, 1u, 2u, 10u, 79u, 80u, 81u}) {
        std::u16string result = Format(capacity, u"Add New Article to \"%s\" Dictionary", {name});
        std::u16string full = u"Add New Article to \"" + name + u"\" Dictionary";
        EXPECT_EQ(result, full.substr(0, capacity ? capacity - 1 : 0)) << capacity;
    }
}

TEST(BoundedFormat, NeverSplitsASurrogatePair) {
    std::u16string text = u"ab\U00020BB7";   // a, b, then a pair
    EXPECT_EQ(Format(4, u"%s", {text}), u"ab");            // room for 3 units: the pair does not fit
    EXPECT_EQ(Format(5, u"%s", {text}), text);
    EXPECT_EQ(Format(16, u"%.3s", {text}), u"ab");
}

}  // namespace
