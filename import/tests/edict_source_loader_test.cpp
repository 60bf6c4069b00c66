// The EDICT family's loader: the flags it requires and clears, each
// encoding, JR-EDICT's mixed text; and Debian's whole EUC-JP files decoded
// exactly as the C library's iconv decodes them with Microsoft's mappings
// (EUC-JP-MS), JIS X 0212 characters included.
#include "import/edict_source_loader.h"

#include "common/tests/edict_files.h"
#include "dictionary/format_detection.h"
#include "import/edict_text_decoding.h"

#include <gtest/gtest.h>

#include <string>

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
        // A lead byte (or 0x8E) cut off by the line end is one ･ and the line
        // ends there: the next entry keeps its own line.
        EncodingCase{kEdictEucJp, "\xC7\xAD /cat/\xF0\n\xB8\xA4 /dog/\x8E\r\n\xA4\xCD /x/\n",
                     u"猫 /cat/･\n犬 /dog/･\r\nね /x/\n", kFormatForeign | kFormatEdictFamily},
        EncodingCase{kFormatForeign | kFormatKanjidic | kFormatUtf8, "\xE4\xBA\x9C 3021 U4e9c {Asia}\n",
                     u"亜 3021 U4e9c {Asia}\n", kFormatForeign | kFormatKanjidic},
        // JR-EDICT: EUC-JP up to each "/", Windows-1251 from it to the LF.
        EncodingCase{kFormatForeign | kFormatJrEdict | kFormatJrEdictMixedText,
                     "\xC7\xAD [\xA4\xCD\xA4\xB3] /\xEA\xEE\xF8\xEA\xE0/\n\xA4\xA4\xA4\xCC /\xF1\xEE\xE1\xE0\xEA\xE0/\n",
                     u"猫 [ねこ] /кошка/\nいぬ /собака/\n", kFormatForeign | kFormatJrEdict},
        EncodingCase{kFormatForeign | kFormatKanjidic, std::string("\xFF\xFE\x9C\x4E\x20\x00\x7B\x00\x41\x00"
                                                                   "\x7D\x00\x0A\x00\x9C\x4E\x0A\x00", 18),
                     u"\uFEFF亜 {A}\n亜\n", kFormatForeign | kFormatKanjidic}));

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
