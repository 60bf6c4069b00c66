// LanguageNameTable against Debian's iso-codes list of ISO 639-3 codes, its
// own fixed names, and the languages a DSL header names through
// LanguageCodeFromName and SourceFileInfo.
#include "dictionary/language_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "common/tests/test_files.h"
#include "common/text/utf8.h"
#include "dictionary/format_detection.h"

namespace {

std::u16string CodeOf(std::u16string_view name) {
    char16_t slot[8] = u"old";
    LanguageCodeFromName(slot, name);
    return slot;
}

const LanguageName* Row(std::u16string_view code) {
    for (const LanguageName* row = LanguageNameTable; row->code; ++row)
        if (code == row->code) return row;
    return nullptr;
}

TEST(LanguageNameTable, HasItsRowsAndEndsWithNull) {
    std::set<std::u16string> codes;
    for (const LanguageName* row = LanguageNameTable; row->english; ++row)
        EXPECT_TRUE(std::u16string_view(row->code).size() == 3 && row->russian[0] && codes.insert(row->code).second);
    EXPECT_EQ(codes.size(), size_t(kLanguageNameRows));
    EXPECT_EQ(LanguageNameTable[0].code + std::u16string(LanguageNameTable[0].english) + LanguageNameTable[0].russian,
              u"     ");
    EXPECT_EQ(LanguageNameTable[kLanguageNameRows].code, nullptr);
}

TEST(LanguageNameTable, OwnRussianNamesWin) {
    const std::pair<const char16_t*, const char16_t*> own[] = {
        {u"jpn", u"Японский"}, {u"rus", u"Русский"}, {u"eng", u"Английский"}, {u"lat", u"Латинский"},
        {u"cmn", u"Китайский"}, {u"heb", u"Иврит"},  {u"ell", u"Греческий "},
    };
    for (const auto& [code, russian] : own) {
        const LanguageName* row = Row(code);
        ASSERT_TRUE(row);
        EXPECT_EQ(std::u16string(row->russian), russian);
    }
    EXPECT_EQ(std::u16string(Row(u"deu")->russian), u"Немецкий");  // from iso-codes
}

// The Russian interface lists the Russian names: each is written in Cyrillic
// (no Latin letter, plain or accented) and tells its language apart from
// every other one in the list.
TEST(LanguageNameTable, RussianNamesAreCyrillicAndDistinct) {
    std::set<std::u16string> names;
    for (const LanguageName* row = LanguageNameTable + 1; row->code; ++row) {
        const std::u16string russian = row->russian;
        const bool cyrillic = std::any_of(russian.begin(), russian.end(), [](char16_t c) { return c >= 0x400 && c <= 0x4FF; });
        const bool latin = std::any_of(russian.begin(), russian.end(), [](char16_t c) {
            return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= 0xC0 && c <= 0x24F);
        });
        EXPECT_TRUE(cyrillic && !latin) << Utf16ToUtf8(row->code) << " " << Utf16ToUtf8(russian);
        EXPECT_TRUE(names.insert(russian).second) << Utf16ToUtf8(russian) << " names two languages";
    }
}

// Every code is an ISO 639-3 code of iso-codes, except the few the table
// keeps that ISO 639-3 has retired (kzj) or holds only as language groups
// (ber, nah).
TEST(LanguageNameTable, CodesAreIso639Codes) {
    const std::string json = ReadText(HostPath("/usr/share/iso-codes/json/iso_639-3.json"));
    ASSERT_FALSE(json.empty()) << "iso-codes is not installed";
    const std::set<std::string> notInIso = {"ber", "kzj", "nah"};
    for (const LanguageName* row = LanguageNameTable + 1; row->code; ++row) {
        const std::string code = Utf16ToUtf8(row->code);
        const bool listed = json.find("\"alpha_3\": \"" + code + "\"") != std::string::npos;
        EXPECT_EQ(listed, !notInIso.count(code)) << code;
    }
}

TEST(LanguageCodeFromName, MatchesEnglishNamesExactlyThenDslNames) {
    EXPECT_EQ(CodeOf(u"Chinese (Mandarin)") + CodeOf(u"Norwegian (Bokmål)") + CodeOf(u"Zulu"), u"cmnnobzul");
    EXPECT_EQ(CodeOf(u"ChinesePRC") + CodeOf(u"GermanNewSpelling") + CodeOf(u"SpanishTraditionalSort"), u"cmndeuspa");
    EXPECT_EQ(CodeOf(u"japanese"), u"old");  // exact match only; unknown names change nothing
}

// A UTF-16 DSL header written as a file and probed.
std::u16string ProbeDsl(std::u16string_view header, int slot) {
    ScratchFolder folder("language-names-dsl");
    std::vector<unsigned char> bytes = {0xFF, 0xFE};
    for (char16_t u : header) {
        bytes.push_back(static_cast<unsigned char>(u & 0xFF));
        bytes.push_back(static_cast<unsigned char>(u >> 8));
    }
    WriteBytes(folder / "source.dsl", bytes);
    SourceFileInfo info((folder / "source.dsl").u16string());
    info.Detect();
    EXPECT_EQ(info.formatType, 9u);
    return info.languages[slot];
}

TEST(SourceFileInfoDsl, TakesLanguagesFromTheHeader) {
    const std::u16string head = u"#NAME\t\"Test\"\r\n";
    EXPECT_EQ(ProbeDsl(head + u"#INDEX_LANGUAGE\t\"Japanese\"\r\n", SourceFileInfo::kIndexLanguage), u"jpn");
    EXPECT_EQ(ProbeDsl(head + u"#INDEX_LANGUAGE \"ChinesePRC\"\r\n", SourceFileInfo::kIndexLanguage), u"cmn");
    EXPECT_EQ(ProbeDsl(head + u"#INDEX_LANGUAGE \"Elvish\"\r\n", SourceFileInfo::kIndexLanguage), u"");
    EXPECT_EQ(ProbeDsl(head + u"#CONTENTS_LANGUAGE \"Russian\"\r\n#INDEX_LANGUAGE \"English\"\r\n",
                       SourceFileInfo::kContentsLanguage),
              u"rus");
    // The quote must be on the header's own line; no header, no language.
    EXPECT_EQ(ProbeDsl(head + u"#INDEX_LANGUAGE\n\"Japanese\"\r\n", SourceFileInfo::kIndexLanguage), u"");
    EXPECT_EQ(ProbeDsl(head, SourceFileInfo::kIndexLanguage), u"");
}

}  // namespace
