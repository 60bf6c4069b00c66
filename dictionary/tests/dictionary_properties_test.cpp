// The dictionary schema and the property records through the real engine:
// the schema text against an independent rebuild, header texts written,
// reopened and read back, raw data, damaged blocks and the version text.
#include <gtest/gtest.h>

#include "dictionary/dictionary_properties.h"
#include "dictionary/tests/dictionary_fixture.h"
#include "storage/file_description.h"
#include "storage/tests/dictionary_schema_text.h"

namespace {

using PropertyRecords = DictionaryTest;

TEST(DictionarySchema, MatchesTheClauseByClauseRebuildAndParses) {
    EXPECT_EQ(DictionarySchemaText, DictionarySchemaForTests());
    FileDescription description;
    ASSERT_EQ(ParseDescription(DictionarySchemaText, description), 0);
    EXPECT_EQ(description.indexes.size(), 17u);
    EXPECT_EQ(description.SegmentsOf(204).size(), 3u);  // closed at its head, still given its segments
}

TEST_F(PropertyRecords, HeaderTextsSurviveAReopen) {
    const std::u16string texts[7] = {u"和英辞典 EDICT", u"© Electronic Dictionary Research Group", u"",
                                     u"11.11.0.1  I", u"{5F0E4C2A-0000-4000-8000-000000000001}",
                                     u"{0C9A1B22-3E4F-4A5B-8C6D-7E8F9A0B1C2D}", u"2026-12-07 09:05:24"};
    CreateDictionaryFile();
    for (int32_t id = 1; id <= 7; ++id) PutProperty(id, texts[id - 1]);
    FinishFile();

    int32_t reopened = 0;
    ASSERT_EQ(engine->OpenFile(kPath, 2, DictionarySchemaText, &reopened), DmsStatus::Success);
    EngineCursor reader(*engine, reopened);
    for (int32_t id = 1; id <= 7; ++id) {
        std::optional<std::u16string> text;
        ASSERT_EQ(GetDictionaryProperty(*engine, reader.handle(), id, text), DmsStatus::Success) << id;
        ASSERT_TRUE(text.has_value());  // the empty comment comes back empty, not absent
        EXPECT_EQ(*text, texts[id - 1]);
    }
    std::optional<std::u16string> language = u"kept";
    EXPECT_EQ(GetDictionaryProperty(*engine, reader.handle(), kPropertyIndexLanguage, language),
              DmsStatus::RecordNotFound);
    EXPECT_EQ(language, u"kept");
}

TEST_F(PropertyRecords, RewriteIsDeleteThenPutAndMissingDeleteIsNoError) {
    CreateDictionaryFile();
    PutProperty(kPropertyName, u"old");
    EXPECT_EQ(DeleteDictionaryProperty(*engine, cursor, kPropertyCopyright), DmsStatus::Success);
    EXPECT_EQ(PutDictionaryProperty(*engine, cursor, kPropertyCopyright, std::nullopt), DmsStatus::Success);
    ASSERT_EQ(DeleteDictionaryProperty(*engine, cursor, kPropertyName), DmsStatus::Success);
    PutProperty(kPropertyName, u"new");
    std::optional<std::u16string> name, copyright;
    ASSERT_EQ(GetDictionaryProperty(*engine, cursor, kPropertyName, name), DmsStatus::Success);
    EXPECT_EQ(name, u"new");
    EXPECT_EQ(GetDictionaryProperty(*engine, cursor, kPropertyCopyright, copyright), DmsStatus::RecordNotFound);
}

TEST_F(PropertyRecords, RawPiecesReadBackAndATooSmallBufferIsAnError) {
    CreateDictionaryFile();
    std::vector<uint8_t> inflections(5 * kInflectionsPieceBytes);
    for (size_t i = 0; i < inflections.size(); ++i) inflections[i] = static_cast<uint8_t>(i * 7 + (i >> 11));
    for (int32_t id = kPropertyInflectionsFirst; id <= kPropertyInflectionsLast; ++id) {
        const uint8_t* piece = inflections.data() + (id - kPropertyInflectionsFirst) * kInflectionsPieceBytes;
        ASSERT_EQ(PutDictionaryPropertyData(*engine, cursor, id, piece, kInflectionsPieceBytes), DmsStatus::Success);
    }
    std::vector<uint8_t> back(inflections.size());
    for (int32_t id = kPropertyInflectionsFirst; id <= kPropertyInflectionsLast; ++id) {
        uint32_t size = kInflectionsPieceBytes;
        ASSERT_EQ(GetDictionaryPropertyData(*engine, cursor, id, back.data() + (id - 21) * kInflectionsPieceBytes, &size),
                  DmsStatus::Success);
        EXPECT_EQ(size, kInflectionsPieceBytes);
    }
    EXPECT_EQ(back, inflections);

    uint8_t small[100] = {};
    uint32_t size = sizeof small;
    EXPECT_EQ(GetDictionaryPropertyData(*engine, cursor, 22, small, &size), DmsStatus::InvalidParameter);
    EXPECT_EQ(size, kInflectionsPieceBytes);  // the size needed, nothing read
    EXPECT_EQ(small[0], 0);
}

// A raw property read as text, or a damaged block: statuses, never a
// negative length; an odd byte is dropped. The hand-made block also pins
// the text form: {id, 0, 0} and the UTF-16 text.
TEST_F(PropertyRecords, ShortAndOddBlocksReadAsText) {
    CreateDictionaryFile();
    const uint8_t tiny[] = {1, 2, 3};
    ASSERT_EQ(PutDictionaryPropertyData(*engine, cursor, 31, tiny, sizeof tiny), DmsStatus::Success);
    const uint8_t nine[9] = {};
    ASSERT_EQ(PutDictionaryPropertyData(*engine, cursor, 25, nine, sizeof nine), DmsStatus::Success);
    const uint8_t odd[] = {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'x', 0, 'y'};
    ASSERT_EQ(PutDictionaryPropertyData(*engine, cursor, kPropertyComment, odd, sizeof odd), DmsStatus::Success);
    PutProperty(kPropertyName, u"intact");

    std::optional<std::u16string> text = u"before";
    EXPECT_EQ(GetDictionaryProperty(*engine, cursor, 31, text), DmsStatus::InvalidParameter);
    EXPECT_EQ(GetDictionaryProperty(*engine, cursor, 25, text), DmsStatus::InvalidParameter);
    EXPECT_EQ(text, u"before");
    ASSERT_EQ(GetDictionaryProperty(*engine, cursor, kPropertyComment, text), DmsStatus::Success);
    EXPECT_EQ(text, u"x");
    ASSERT_EQ(GetDictionaryProperty(*engine, cursor, kPropertyName, text), DmsStatus::Success);
    EXPECT_EQ(text, u"intact");
}

struct VersionCase {
    int32_t build;
    bool import, personal;
    const char16_t* text;
};
class VersionText : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionText, IsTheProgramVersionWithMarkers) {
    std::u16string out;
    EXPECT_EQ(FormatVersionString(out, GetParam().build, GetParam().import, GetParam().personal), 1);
    EXPECT_EQ(out, GetParam().text);
}
INSTANTIATE_TEST_SUITE_P(Markers, VersionText,
                         ::testing::Values(VersionCase{1, true, true, u"11.11.0.1  I P"},
                                           VersionCase{0, false, true, u"11.11.0.0  P"},
                                           VersionCase{1, true, false, u"11.11.0.1  I"},
                                           VersionCase{57, false, false, u"11.11.0.57"}));

}  // namespace
