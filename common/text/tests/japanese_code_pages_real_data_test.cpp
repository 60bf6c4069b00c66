// EucJpToShiftJis and the code page 932 decoder over Debian's EUC-JP
// dictionaries, with the C library's iconv as the independent converter.
// Native only: the Windows tree has no iconv, and the files are large.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/text/japanese_code_pages.h"
#include "common/tests/edict_files.h"

#ifndef _WIN32
#include "common/tests/iconv_converter.h"

namespace {

bool HasJisX0212(std::span<const uint8_t> line) {
    for (uint8_t b : line)
        if (b == 0x8F) return true;
    return false;
}

std::vector<uint8_t> ToShiftJis(std::span<const uint8_t> euc) {
    std::vector<uint8_t> out(euc.begin(), euc.end());
    out.resize(static_cast<size_t>(EucJpToShiftJis(out.data(), out.data(), static_cast<int32_t>(out.size()))));
    return out;
}

std::u16string Decode932(const std::vector<uint8_t>& sjis) {
    std::u16string out(sjis.size(), u'\0');
    int32_t n = DecodeCodePage932(sjis.data(), static_cast<int32_t>(sjis.size()), out.data(),
                                  static_cast<int32_t>(out.size()));
    out.resize(static_cast<size_t>(n));
    return out;
}

// JIS X 0208 characters that the JIS tables and code page 932 map to different
// code points (the system's code page keeps the full-width forms).
const std::map<char16_t, char16_t> kJisToCodePage932 = {
    {0x301C, 0xFF5E},   // WAVE DASH -> FULLWIDTH TILDE
    {0x2016, 0x2225},   // DOUBLE VERTICAL LINE -> PARALLEL TO
    {0x2212, 0xFF0D},   // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    {0x00A2, 0xFFE0},   // CENT SIGN
    {0x00A3, 0xFFE1},   // POUND SIGN
    {0x00AC, 0xFFE2},   // NOT SIGN
    {0x2014, 0x2015},   // EM DASH -> HORIZONTAL BAR
};

class EucJpFile : public testing::TestWithParam<const char*> {};

TEST_P(EucJpFile, ShiftJisBytesMatchIconvForJisX0208Lines) {
    std::vector<uint8_t> bytes = ReadEdictFile(GetParam());
    if (bytes.empty()) GTEST_SKIP() << EdictFilePath(GetParam()) << " is not installed";
    Iconv toSjis("SHIFT_JIS", "EUC-JP");
    size_t lines = 0, jisX0212 = 0, refused = 0, differ = 0;
    std::vector<uint8_t> expected;
    for (std::span<const uint8_t> line : SplitLines(bytes)) {
        ++lines;
        std::vector<uint8_t> ours = ToShiftJis(line);
        ASSERT_LE(ours.size(), line.size());
        if (HasJisX0212(line)) {
            ++jisX0212;
            continue;
        }
        if (!toSjis.Convert(line, expected)) {
            ++refused;
            continue;
        }
        if (ours != expected && ++differ <= 5)
            ADD_FAILURE() << "line " << lines << ": " << std::string(line.begin(), line.end());
    }
    std::printf("%s: %zu lines, %zu with JIS X 0212 (geta), %zu refused by iconv, %zu differ\n",
                GetParam(), lines, jisX0212, refused, differ);
    EXPECT_EQ(differ, 0u);
    EXPECT_EQ(refused, 0u);
}

// EUC-JP -> Shift-JIS -> UTF-16 against iconv's EUC-JP -> UTF-16 directly;
// the only differences allowed are the code page's own mappings above, and
// each JIS X 0212 character, which our path turns into 〓.
TEST_P(EucJpFile, DecodedTextMatchesIconvUpToCodePageMappings) {
    std::vector<uint8_t> bytes = ReadEdictFile(GetParam());
    if (bytes.empty()) GTEST_SKIP() << EdictFilePath(GetParam()) << " is not installed";
    Iconv toUtf16("UTF-16LE", "EUC-JP");
    std::map<char16_t, size_t> mapped;
    size_t lines = 0, other = 0;
    std::vector<uint8_t> raw;
    for (std::span<const uint8_t> line : SplitLines(bytes)) {
        ++lines;
        if (HasJisX0212(line)) continue;
        ASSERT_TRUE(toUtf16.Convert(line, raw)) << "line " << lines;
        std::u16string expected(raw.size() / 2, u'\0');
        for (size_t i = 0; i < expected.size(); ++i)
            expected[i] = static_cast<char16_t>(raw[2 * i] | raw[2 * i + 1] << 8);
        std::u16string ours = Decode932(ToShiftJis(line));
        bool same = ours.size() == expected.size();
        for (size_t i = 0; same && i < ours.size(); ++i) {
            if (ours[i] == expected[i]) continue;
            auto known = kJisToCodePage932.find(expected[i]);
            if (known != kJisToCodePage932.end() && known->second == ours[i]) ++mapped[expected[i]];
            else same = false;
        }
        if (!same && ++other <= 5) ADD_FAILURE() << "line " << lines << " decodes differently";
    }
    std::printf("%s: %zu lines;", GetParam(), lines);
    for (auto [jis, count] : mapped) std::printf(" U+%04X x%zu", jis, count);
    std::printf(" by the code page's mapping\n");
    EXPECT_EQ(other, 0u);
}

INSTANTIATE_TEST_SUITE_P(DebianDictionaries, EucJpFile, testing::Values("edict", "enamdict", "kanjidic"));

TEST(EucJpToShiftJisRealData, JisX0212LinesKeepTheirLengthBoundAndShowGeta) {
    std::vector<uint8_t> bytes = ReadEdictFile("edict");
    if (bytes.empty()) GTEST_SKIP();
    size_t checked = 0;
    for (std::span<const uint8_t> line : SplitLines(bytes)) {
        if (!HasJisX0212(line)) continue;
        std::u16string text = Decode932(ToShiftJis(line));
        EXPECT_NE(text.find(u'〓'), std::u16string::npos);
        ++checked;
    }
    EXPECT_GT(checked, 0u);
}

}  // namespace
#endif
