// DmsErrorText: the fixed English texts, their misspellings included, the
// numbered integrity texts, unknown codes, and cutting to the buffer.
#include "storage/dms_status.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Text(int32_t code, int32_t size = 128) {
    char16_t buffer[128];
    EXPECT_EQ(DmsErrorText(code, 0, buffer, size), DmsStatus::Success);
    return buffer;
}

std::u16string U(const char* s) { return std::u16string(s, s + std::char_traits<char>::length(s)); }

struct CodeText {
    int32_t code;
    const char* text;
};

class StatusTexts : public ::testing::TestWithParam<CodeText> {};

TEST_P(StatusTexts, AreExactlyTheFixedOnes) { EXPECT_EQ(Text(GetParam().code), U(GetParam().text)); }

INSTANTIATE_TEST_SUITE_P(
    Table, StatusTexts,
    ::testing::Values(
        CodeText{0, "Success"}, CodeText{1, "Cannot open a file"}, CodeText{2, "Cannot create a file"},
        CodeText{3, "Wrong internal handle"}, CodeText{4, "Record not found"}, CodeText{5, "End of file"},
        CodeText{6, "No current position"}, CodeText{7, "Too much files opened"}, CodeText{8, "Wrong file"},
        CodeText{9, "Page load failed"}, CodeText{10, "Page creation failed"}, CodeText{11, "File input/output error"},
        CodeText{12, "Operation not allowed"}, CodeText{13, "Cannot open preimage file"},
        CodeText{14, "Cannot create preimage file"}, CodeText{15, "Broken preimage file"},
        CodeText{16, "Not enough memory"}, CodeText{17, "Input/output error for preimage file"},
        CodeText{18, "File broken after rollback"}, CodeText{19, "Fle already opened"},
        CodeText{20, "Unknown error (20)"}, CodeText{23, "Unknown error (23)"}, CodeText{24, "Cancelled by caller"},
        CodeText{25, "Invalid call argument"}, CodeText{26, "Wrong file description"},
        CodeText{27, "Wrong record type"}, CodeText{28, "Wrong key identifier"}, CodeText{29, "Wrong field type"},
        CodeText{30, "File not opened"}, CodeText{31, "Small page size"}, CodeText{32, "File already exists"},
        CodeText{33, "Record changed by other user"}, CodeText{34, "Record deleted by other user"},
        CodeText{35, "Cannot start a transaction"}, CodeText{36, "Not in transaction"},
        CodeText{37, "Invalid key values"}, CodeText{38, "No disk space"}, CodeText{39, "Wrong version number"},
        CodeText{40, "Pat already exists"}, CodeText{41, "Error when assigning page position"},
        CodeText{42, "Wrong signature in PAT"}, CodeText{43, "Cancelled by user"}, CodeText{44, "Deleted"},
        CodeText{45, "Invalid parameter"}, CodeText{46, "Already in transaction"},
        CodeText{47, "Collator not found"}, CodeText{48, "Unknown error (48)"},
        CodeText{100, "Data integrity broken"}, CodeText{101, "Data integrity broken 1"},
        CodeText{104, "Data integrity broken 4"}, CodeText{107, "Data integrity broken 7"},
        CodeText{108, "Unknown error (108)"}, CodeText{255, "Unknown error (255)"},
        CodeText{-5, "Unknown error (-5)"}));

TEST(StatusText, SizeOneGivesAnEmptyText) {
    char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(DmsErrorText(8, 0, buffer, 1), DmsStatus::Success);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(buffer[1], u'x');
}

TEST(StatusText, TextIsCutToTheBufferAndTerminated) { EXPECT_EQ(Text(11, 5), u"File"); }

TEST(StatusText, NullBufferOrNoRoomGives16) {
    char16_t buffer[2];
    EXPECT_EQ(DmsErrorText(0, 0, nullptr, 10), DmsStatus::NotEnoughMemory);
    EXPECT_EQ(DmsErrorText(0, 0, buffer, 0), DmsStatus::NotEnoughMemory);
}

}  // namespace
