// The EDICT family's loader: the flags it requires and clears, each
// encoding, JR-EDICT's mixed text; and Debian's whole EUC-JP files decoded
// exactly as the C library's iconv decodes them with Microsoft's mappings
// (EUC-JP-MS), JIS X 0212 characters included; every character the decoder
// reads from its own table decodes as through Shift-JIS and code page 932.
#include "import/edict_source_loader.h"

#include "common/tests/edict_files.h"
#include "common/text/japanese_code_pages.h"
#include "dictionary/format_detection.h"
#include "import/edict_text_decoding.h"
#include "import/source_text_checks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include "common/tests/iconv_converter.h"
#endif

namespace {

std::span<const uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

constexpr uint32_t kEdictEucJp = kFormatForeign | kFormatEdictFamily | kFormatEucJp;

TEST(EdictSourceLoader, RequiresItsFlagsAndFifteenBytes) {
    std::u16string text;
    for (uint32_t flags : {kFormatEdictFamily | kFormatEucJp, kFormatForeign | kFormatEucJp})
        EXPECT_EQ(DecodeEdictSource(flags, Bytes("abcdefghijklmnopq"), text), 0);
    uint32_t flags = kEdictEucJp;
    EXPECT_EQ(DecodeEdictSource(flags, Bytes("abcdefghijklmn"), text), 0);
    EXPECT_EQ(LoadEdictSource(flags, u"/nonexistent/edict", text), 0);
    EXPECT_EQ(flags, kEdictEucJp);
}

// Bytes that are no EUC-JP (a lead byte cut off by the line end, a stray
// byte) or no UTF-8 are refused at their line; nothing is decoded.
TEST(EdictSource, BytesNotInTheEncodingAreRefusedAtTheirLine) {
    const std::pair<uint32_t, std::string> cases[] = {
        {kEdictEucJp, "\xC7\xAD /cat/\n\xB8\xA4 /dog/\x8E\r\n\xA4\xCD /x/\n"},
        {kEdictEucJp, "\xC7\xAD /cat/\n\xB8\xA4 /dog/\xF0\n\xA4\xCD /x/\n"},
        {kFormatForeign | kFormatKanjidic | kFormatUtf8, "\xE4\xBA\x9C 3021 {Asia}\n\xE4\xBA 3021 {Asia}\n"},
        {kFormatForeign | kFormatKanjidic | kFormatUtf8, "\xE4\xBA\x9C 3021 {Asia}\n\xED\xA0\x80 {surrogate}\n"},
    };
    for (const auto& [flags, bytes] : cases) {
        uint32_t in = flags;
        std::u16string text, problem;
        EXPECT_EQ(DecodeEdictSource(in, Bytes(bytes), text, &problem), 0);
        EXPECT_TRUE(text.empty());
        EXPECT_EQ(problem, flags & kFormatUtf8 ? u"Line: 2\nError: The text is not UTF-8."
                                               : u"Line: 2\nError: The text is not EUC-JP.");
    }
}

// Each EUC-JP sequence at its edges, last in the bytes so that nothing
// past them is read: a half-width kana is 8E A1-DF, a pair A1-FE A1-FE, a
// JIS X 0212 triple 8F and two bytes A1-FE; a triple cut after two bytes is
// no sequence.
TEST(EdictSource, EucJpSequencesAreTakenToTheirExactEdges) {
    auto firstBadLine = [](std::string_view last) {
        const std::string text = std::string("\xC7\xAD /cat/\n") + std::string(last);
        const std::vector<uint8_t> bytes(text.begin(), text.end());
        return FirstLineNotEucJp(bytes);
    };
    for (std::string_view good : {"\x8E\xA1", "\x8E\xDF", "\xA1\xA1", "\xFE\xFE", "\x8F\xA1\xA1", "\x8F\xFE\xFE"})
        EXPECT_EQ(firstBadLine(good), 0) << testing::PrintToString(good);
    for (std::string_view bad : {"\x8E\xA0", "\x8E\xE0", "\xA0\xA1", "\xA1\xA0", "\xFE\xFF", "\x8F\xA1", "\x8F\xA0\xA1",
                                 "\x8F\xA1\xFF", "\x8E", "\xA1"})
        EXPECT_EQ(firstBadLine(bad), 2) << testing::PrintToString(bad);
}

struct EncodingCase {
    uint32_t flags;
    std::string bytes;
    std::u16string text;
    uint32_t flagsAfter;
};

class EdictSourceEncoding : public testing::TestWithParam<EncodingCase> {};

TEST_P(EdictSourceEncoding, DecodesAndClearsItsBit) {
    uint32_t flags = GetParam().flags;
    std::u16string text;
    ASSERT_EQ(DecodeEdictSource(flags, Bytes(GetParam().bytes), text), 1);
    EXPECT_EQ(text, GetParam().text);
    EXPECT_EQ(flags, GetParam().flagsAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, EdictSourceEncoding,
    testing::Values(
        // 猫 [ねこ] /cat/ with a JIS X 0212 character (丂) and a half-width ｱ.
        EncodingCase{kEdictEucJp, "\xC7\xAD\x8F\xB0\xA1\x8E\xB1 [\xA4\xCD\xA4\xB3] /cat/\n", u"猫丂ｱ [ねこ] /cat/\n",
                     kFormatForeign | kFormatEdictFamily},
        EncodingCase{kFormatForeign | kFormatKanjidic | kFormatUtf8, "\xE4\xBA\x9C 3021 U4e9c {Asia}\n",
                     u"亜 3021 U4e9c {Asia}\n", kFormatForeign | kFormatKanjidic},
        // JR-EDICT: EUC-JP up to each "/", Windows-1251 from it to the LF.
        EncodingCase{kFormatForeign | kFormatJrEdict | kFormatJrEdictMixedText,
                     "\xC7\xAD [\xA4\xCD\xA4\xB3] /\xEA\xEE\xF8\xEA\xE0/\n\xA4\xA4\xA4\xCC /\xF1\xEE\xE1\xE0\xEA\xE0/\n",
                     u"猫 [ねこ] /кошка/\nいぬ /собака/\n", kFormatForeign | kFormatJrEdict},
        EncodingCase{kFormatForeign | kFormatKanjidic, std::string("\xFF\xFE\x9C\x4E\x20\x00\x7B\x00\x41\x00"
                                                                   "\x7D\x00\x0A\x00\x9C\x4E\x0A\x00", 18),
                     u"\uFEFF亜 {A}\n亜\n", kFormatForeign | kFormatKanjidic}));

// Every ASCII byte but NUL, every half-width katakana and every JIS X 0208
// pair decodes as the whole text does through Shift-JIS and code page 932
// (the system's converter under Windows); so do texts with a stray byte or
// a JIS X 0212 character among them.
TEST(EdictSourceLoader, LoneCharactersDecodeAsThroughShiftJis) {
    std::vector<uint8_t> all;
    for (uint8_t b = 1; b < 0x80; ++b) all.push_back(b);
    for (uint8_t b = 0xA1; b <= 0xDF; ++b) all.insert(all.end(), {0x8E, b});
    for (uint8_t row = 0xA1; row <= 0xFE; ++row)
        for (uint8_t cell = 0xA1; cell <= 0xFE; ++cell) all.insert(all.end(), {row, cell});
    const auto throughShiftJis = [](std::vector<uint8_t> bytes) {
        const int32_t n = EucJpToShiftJis(bytes.data(), bytes.data(), static_cast<int32_t>(bytes.size()));
        std::u16string out(static_cast<size_t>(n) + 1, u'\0');
        out.resize(static_cast<size_t>(ShiftJisToUnicode(bytes.data(), n, out.data(), n + 1)));
        return out;
    };
    const std::u16string wanted = throughShiftJis(all);
    EXPECT_EQ(wanted.size(), 127u + 63u + 94u * 94u);
    EXPECT_EQ(DecodeEucJp(all), wanted);
    std::vector<uint8_t> stray = all;
    stray.insert(stray.begin() + 3000, {0x85, 0x61, 0xC7});
    EXPECT_EQ(DecodeEucJp(stray), throughShiftJis(stray));
    std::vector<uint8_t> mixed = all;
    mixed.insert(mixed.begin() + 253 + 2 * 2000, {0x8F, 0xB0, 0xA1});  // before the 2001st pair
    const std::u16string decoded = DecodeEucJp(mixed);
    ASSERT_EQ(decoded.size(), wanted.size() + 1);
    EXPECT_EQ(decoded.substr(0, 190 + 2000) + decoded.substr(190 + 2001), wanted);
}

#ifndef _WIN32
std::u16string IconvEucJpMs(const std::vector<uint8_t>& bytes) {
    Iconv iconv("UTF-16LE", "EUC-JP-MS");
    if (!iconv.Ok()) return u"(no EUC-JP-MS)";
    std::u16string out;
    return iconv.ToUtf16(bytes, out) ? out : u"(iconv refused the file)";
}

class EucJpRealData : public testing::TestWithParam<const char*> {};

TEST_P(EucJpRealData, DecodesAsIconvDoes) {
    const std::vector<uint8_t> bytes = ReadEdictFile(GetParam());
    if (bytes.empty()) GTEST_SKIP() << EdictFilePath(GetParam()) << " is not installed";
    RecordProperty("jis_x0212_characters", std::to_string(CountJisX0212Characters(bytes)));
    const std::u16string ours = DecodeEucJp(bytes);
    const std::u16string theirs = IconvEucJpMs(bytes);
    ASSERT_EQ(ours.size(), theirs.size());
    const auto [a, b] = std::mismatch(ours.begin(), ours.end(), theirs.begin());
    EXPECT_TRUE(a == ours.end()) << "first difference at unit " << (a - ours.begin());
}

INSTANTIATE_TEST_SUITE_P(DebianFiles, EucJpRealData, testing::Values("edict", "enamdict", "kanjidic"));
#endif

}  // namespace
