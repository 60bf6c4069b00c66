// Value names and text rules of the registry key, and the once-per-run report.
#include "common/settings/registry_error_report.h"
#include "common/settings/registry_values.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint8_t> Utf16Bytes(std::u16string_view text) {
    std::vector<uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

TEST(NoRemindValueName, DigitsForItemsZeroToEightAndColonForNine) {
    EXPECT_EQ(NoRemindValueName(0), u"NoRemind1");
    EXPECT_EQ(NoRemindValueName(3), u"NoRemind4");
    EXPECT_EQ(NoRemindValueName(8), u"NoRemind9");
    EXPECT_EQ(NoRemindValueName(9), u"NoRemind:");
    EXPECT_EQ(NoRemindValueName(10), u"");
    EXPECT_EQ(NoRemindValueName(-1), u"");
}

TEST(IsInstallationId, OnlyTheLengthCounts) {
    EXPECT_TRUE(IsInstallationId(u"{01234567-89AB-CDEF-0123-456789ABCDEF}"));
    EXPECT_TRUE(IsInstallationId(std::u16string(38, u'x')));
    EXPECT_FALSE(IsInstallationId(std::u16string(37, u'x')));
    EXPECT_FALSE(IsInstallationId(std::u16string(39, u'x')));
    EXPECT_FALSE(IsInstallationId(u""));
}

struct StringDataCase {
    const char* name;
    std::vector<uint8_t> data;
    std::u16string expected;
};

class RegistryStringFromDataTest : public testing::TestWithParam<StringDataCase> {};

TEST_P(RegistryStringFromDataTest, StopsAtZeroOrTheLimit) {
    EXPECT_EQ(RegistryStringFromData(GetParam().data), GetParam().expected);
}

std::vector<uint8_t> Terminated(std::u16string_view text) {
    std::vector<uint8_t> bytes = Utf16Bytes(text);
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

std::vector<uint8_t> WithOddByte(std::u16string_view text) {
    std::vector<uint8_t> bytes = Utf16Bytes(text);
    bytes.push_back(0x41);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegistryStringFromDataTest,
    testing::Values(
        StringDataCase{"Terminated", Terminated(u"C:\\a.qdx;D:\\b.qdx"), u"C:\\a.qdx;D:\\b.qdx"},
        StringDataCase{"Unterminated", Utf16Bytes(u"abc"), u"abc"},
        StringDataCase{"OddLength", WithOddByte(u"ab"), u"ab"},
        StringDataCase{"Empty", {}, u""},
        StringDataCase{"OneByte", {0x41}, u""},
        StringDataCase{"InnerZero", Terminated(std::u16string(u"ab\0cd", 5)), u"ab"},
        StringDataCase{"Cyrillic", Terminated(u"Словарь"), u"Словарь"},
        StringDataCase{"ThreeHundredUnits", Terminated(std::u16string(300, u'z')), std::u16string(255, u'z')},
        StringDataCase{"ExactlyTheLimit", Utf16Bytes(std::u16string(255, u'q')), std::u16string(255, u'q')}),
    [](const testing::TestParamInfo<StringDataCase>& info) { return info.param.name; });

TEST(RegistryErrorLatch, ReportsTheFirstFailureOfARunOnly) {
    RegistryErrorLatch latch;
    EXPECT_EQ(latch.Record(0), RegistryErrorLatch::Answer::NoError);
    EXPECT_FALSE(latch.failed);
    EXPECT_EQ(latch.Record(5), RegistryErrorLatch::Answer::ReportNow);
    EXPECT_EQ(latch.Record(1021), RegistryErrorLatch::Answer::AlreadyReported);
    EXPECT_EQ(latch.Record(0), RegistryErrorLatch::Answer::NoError);
    EXPECT_TRUE(latch.failed);
    EXPECT_EQ(latch.lastError, 1021);
}

TEST(RegistryErrorTexts, ChosenBySystemLanguage) {
    EXPECT_EQ(RegistryErrorTextsFor(1033).caption, u"Registry access error");
    EXPECT_EQ(RegistryErrorTextsFor(1033).text,
              u"Unable write data to the registry. \nYou may have not enough privileges to install programs on this computer.");
    EXPECT_EQ(RegistryErrorTextsFor(2057).caption, u"Registry access error");  // English (UK)
    EXPECT_EQ(RegistryErrorTextsFor(1049).caption, u"Ошибка доступа к реестру");
    EXPECT_EQ(RegistryErrorTextsFor(1049).text,
              u"Ошибка записи данных в реестр. \nВозможно у вас недостаточно привилегий для установки программ на "
              u"этом компьютере.");
    EXPECT_EQ(RegistryErrorTextsFor(1041).caption, u"レジストリー アクセス エラー");
    EXPECT_EQ(RegistryErrorTextsFor(1041).text,
              u"データをレジストリーに書き込むことができません。 \nこのコンピューターにプログラムをインストールする"
              u"権限をお持ちではない可能性があります。");
    // Only the exact ids choose: Russian as spoken in Moldova (2073) gets English.
    EXPECT_EQ(RegistryErrorTextsFor(2073).caption, u"Registry access error");
}

}  // namespace
