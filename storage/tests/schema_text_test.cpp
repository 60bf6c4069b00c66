// ParseDescription: the schema text language, its limits and checks, and the
// dictionary schema as the golden case.
#include "storage/file_description.h"
#include "storage/tests/dictionary_schema_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

FileDescription Parsed(const std::string& text) {
    FileDescription d;
    EXPECT_EQ(ParseDescription(text, d), 0) << text;
    return d;
}

bool Rejected(const std::string& text) {
    FileDescription d;
    return ParseDescription(text, d) != 0;
}

TEST(SchemaText, DictionarySchemaIs1095CharactersAndParses) {
    std::string text = DictionarySchemaForTests();
    EXPECT_EQ(text.size(), 1095u);
    FileDescription d = Parsed(text);
    EXPECT_EQ(d.pageSize, 4096);
    EXPECT_EQ(d.preAllocate, 1);
    EXPECT_EQ(d.recordTypeIds, (std::vector<int32_t>{0, 1, 2, 3}));
    std::vector<int32_t> keys;
    for (const IndexDefinition& i : d.indexes) keys.push_back(i.keyId);
    EXPECT_EQ(keys, (std::vector<int32_t>{0, 1, 101, 102, 105, 106, 107, 108, 110, 111, 121, 201, 202, 203, 204, 2, 3}));
    EXPECT_EQ(d.segments.size(), 32u);
}

struct SegmentExpectation {
    int32_t keyId;
    std::vector<std::pair<int32_t, int32_t>> widthAndSort;
};

class DictionarySchemaSegments : public ::testing::TestWithParam<SegmentExpectation> {};

TEST_P(DictionarySchemaSegments, WidthsAndSortCodes) {
    FileDescription d = Parsed(DictionarySchemaForTests());
    std::vector<std::pair<int32_t, int32_t>> got;
    for (const SegmentDefinition& s : d.SegmentsOf(GetParam().keyId)) got.emplace_back(s.width, s.sort);
    EXPECT_EQ(got, GetParam().widthAndSort);
}

INSTANTIATE_TEST_SUITE_P(
    EveryIndex, DictionarySchemaSegments,
    ::testing::Values(SegmentExpectation{0, {{4, -1}}}, SegmentExpectation{1, {{2, -1}}},
                      SegmentExpectation{101, {{0, SortWK}, {0, -1}}}, SegmentExpectation{102, {{0, -1}, {0, SortWK}}},
                      SegmentExpectation{105, {{0, -1}, {2, -1}}}, SegmentExpectation{106, {{0, -1}, {2, -1}}},
                      SegmentExpectation{107, {{2, -1}, {2, -1}, {4, -1}, {1, -1}}},
                      SegmentExpectation{108, {{0, -1}, {2, -1}}}, SegmentExpectation{110, {{0, -1}}},
                      SegmentExpectation{111, {{4, -1}}}, SegmentExpectation{121, {{0, -1}, {0, SortNoSort}}},
                      SegmentExpectation{201, {{2, -1}}}, SegmentExpectation{202, {{0, SortKK}, {2, -1}}},
                      SegmentExpectation{203, {{0, -1}, {2, -1}}},
                      // Its head closes at once, yet the segments still belong to it.
                      SegmentExpectation{204, {{1, -1}, {2, -1}, {2, -1}}}, SegmentExpectation{2, {{4, -1}}},
                      SegmentExpectation{3, {{4, -1}, {4, -1}, {4, -1}}}));

TEST(SchemaText, EmptyFileSectionGivesDefaults) {
    FileDescription d = Parsed("{File}");
    EXPECT_EQ(d.pageSize, 4096);
    EXPECT_EQ(d.preAllocate, 1);
    EXPECT_TRUE(d.recordTypeIds.empty());
    EXPECT_TRUE(d.indexes.empty());
    EXPECT_TRUE(d.segments.empty());
}

TEST(SchemaText, OneRecordOneIndexOneWordSegment) {
    FileDescription d = Parsed("{File PageSize=4096 {Record Id=0} {Index Id=1 {Segment Type=Word}}}");
    ASSERT_EQ(d.recordTypeIds.size(), 1u);
    EXPECT_EQ(d.FindRecordType(0), 0);
    ASSERT_EQ(d.indexes.size(), 1u);
    EXPECT_EQ(d.indexes[0].keyId, 1);
    ASSERT_EQ(d.segments.size(), 1u);
    EXPECT_EQ(d.segments[0].width, 2);
    EXPECT_EQ(d.segments[0].type, FieldWord);
}

TEST(SchemaText, SegmentAfterClosedIndexBelongsToIt) {
    FileDescription d = Parsed("{File {Index Id=5} {Segment Type=Long}}");
    ASSERT_EQ(d.SegmentsOf(5).size(), 1u);
    EXPECT_EQ(d.SegmentsOf(5)[0].width, 4);
}

TEST(SchemaText, ValueWordWithTrailingLettersReadsAsTheWord) {
    // The trailing letters are skipped, not read as a next key.
    FileDescription d = Parsed("{File {Index Id=1 {Segment Type=Longer Sort=NoSorting}}}");
    ASSERT_EQ(d.segments.size(), 1u);
    EXPECT_EQ(d.segments[0].type, FieldLong);
    EXPECT_EQ(d.segments[0].sort, SortNoSort);
}

TEST(SchemaText, ValueWordsStandForTheirNumbers) {
    const std::pair<const char*, int32_t> words[] = {
        {"AutoNumber", 1}, {"Binary", 3}, {"Long", 4},  {"Word", 5},  {"WChar", 6},  {"Byte", 7},  {"GUID", 8},
        {"Date", 9},       {"Path", 10},  {"UString", 11}, {"WK", 12}, {"KK", 13}, {"TR", 14}, {"TL", 15}, {"NoSort", 16}};
    for (auto [word, number] : words) {
        FileDescription d = Parsed(std::string("{File PreAllocate=") + word + "}");
        EXPECT_EQ(d.preAllocate, number) << word;
    }
}

TEST(SchemaText, WidthTable) {
    const std::pair<const char*, int32_t> widths[] = {{"AutoNumber", 4}, {"Binary", 0}, {"Long", 4},  {"Word", 2},
                                                      {"WChar", 2},      {"Byte", 1},   {"GUID", 16}, {"Date", 4},
                                                      {"Path", 0},       {"UString", 0}};
    for (auto [word, width] : widths) {
        FileDescription d = Parsed(std::string("{File {Index Id=1 {Segment Type=") + word + " Length=77}}}");
        EXPECT_EQ(d.segments[0].width, width) << word;  // Length is replaced by the type's width
    }
}

TEST(SchemaText, NumbersEndAtPunctuationAndMinusMakesNegative) {
    FileDescription d = Parsed("{File PageSize=512,PreAllocate=3;{Index Id=7 DataLength=1-0}}");
    EXPECT_EQ(d.pageSize, 512);
    EXPECT_EQ(d.preAllocate, 3);
    EXPECT_EQ(d.indexes[0].dataLength, -10);
}

TEST(SchemaText, TypeTwoIndexResolvesItsRecordType) {
    FileDescription d = Parsed("{File {Record Id=7} {Record Id=3} {Index Id=1 Type=2 RecordId=3}}");
    EXPECT_EQ(d.indexes[0].recordTypeNumber, 1);
    EXPECT_TRUE(Rejected("{File {Record Id=7} {Index Id=1 Type=2 RecordId=4}}"));
}

TEST(SchemaText, SurplusClosingBraceIsIgnored) { Parsed("{File}}}"); }

class RejectedDescriptions : public ::testing::TestWithParam<std::string> {};

TEST_P(RejectedDescriptions, GiveNonZero) { EXPECT_TRUE(Rejected(GetParam())) << GetParam(); }

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, RejectedDescriptions,
    ::testing::Values(
        "{Record Id=0}{File}",                         // record before any file section
        "{File Colour=3}",                             // unknown key in the file section
        "{File {Index Id=1} {Index Id=1}}",            // two indexes with one Id
        "{File PageSize=-4096}",                       // a number starts with a digit
        "{Segment Type=Long}{File {Index Id=1}}",      // segment before any index
        "{File}{File}",                                // a second file section
        "{Fil}",                                       // unknown section word
        "{File {Record Id=1} {Record Id=1}}",          // duplicate record ids
        "{File {Record}}",                             // record without id
        "{File {Index Type=3}}",                       // index without id
        "{File {Index Id=1 {Segment Type=2}}}",        // segment of Type 2
        "{File {Index Id=1 {Segment Type=12}}}",       // a sort code is no type
        "{File {Index Id=1 {Segment}}}",               // segment without type
        "{File PageSize 4096}",                        // "=" is required
        "{File PageSize=}",                            // value missing
        "{File PageSize=40x96}",                       // letters inside a number
        "PageSize=4096",                               // key outside any section
        "{File {Record Id=0} Id=3}",                   // Id in the file section
        "{File {Index Id=1 PageSize=4}}",              // key of another section
        "{File PageSize=99999999999999999999}",        // beyond 32 bits: refused, not wrapped
        "{File PageSize=2147483648}",                  // just past INT32_MAX
        "{File PageSize=47}",                          // below the smallest page
        "{File PageSize=65536}",                       // beyond the 16-bit page size
        "{File PageSize=4096 PreAllocate=524289}"));   // more than 2^31 bytes

TEST(SchemaText, LimitsOfTenRecordsHundredIndexesHundredSegments) {
    std::string records = "{File";
    for (int i = 0; i < 10; ++i) records += " {Record Id=" + std::to_string(i) + "}";
    Parsed(records + "}");
    EXPECT_TRUE(Rejected(records + " {Record Id=10}}"));

    std::string indexes = "{File PageSize=4096";
    for (int i = 0; i < 100; ++i) indexes += " {Index Id=" + std::to_string(i) + "}";
    Parsed(indexes + "}");
    EXPECT_TRUE(Rejected(indexes + " {Index Id=100}}"));

    std::string segments = "{File {Index Id=1";
    for (int i = 0; i < 100; ++i) segments += " {Segment Type=Byte}";
    Parsed(segments + "}}");
    EXPECT_TRUE(Rejected(segments + " {Segment Type=Byte}}}"));
}

TEST(SchemaText, ZeroByteEndsTheText) {
    std::string text("{File}\0{Garbage", 15);
    Parsed(text);
}

TEST(SchemaText, PreAllocateOfZeroOrLessMeansOnePage) {
    Parsed("{File PreAllocate=0}");
    Parsed("{File PageSize=65535 PreAllocate=32768}");  // just below 2^31 bytes
}

TEST(SchemaText, DeepNestingIsRefusedNotRecursed) {
    std::string text = "{File";
    for (int i = 0; i < 100000; ++i) text += "{Index Id=" + std::to_string(i % 100) + " ";
    EXPECT_TRUE(Rejected(text));
}

}  // namespace
