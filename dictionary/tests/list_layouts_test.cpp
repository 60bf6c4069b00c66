// Column layouts: the built-in texts read and written back, hand-damaged
// texts, the settings round trip, the header titles per language, and a
// seeded sweep checked against a string-search reading of the items.
#include "dictionary/list_layouts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "common/settings/settings_file.h"
#include "common/settings/tests/memory_profile_store.h"
#include "common/ui_text/ui_text.h"

namespace {

std::u16string Widen(const std::string& text) { return std::u16string(text.begin(), text.end()); }

struct Column {
    int32_t kind, width;
    bool operator==(const Column&) const = default;
};
std::vector<Column> ColumnsOf(const ListLayout& layout) {
    std::vector<Column> columns;
    for (int32_t i = 0; i < layout.Count(); ++i) columns.push_back({layout.columns[i].kind, layout.columns[i].width});
    return columns;
}
std::vector<Column> Parse(std::u16string_view text) {
    ListLayout layout;
    ParseListLayout(text, layout);
    return ColumnsOf(layout);
}

TEST(ListLayouts, BuiltInTextsReadAndWriteBackUnchanged) {
    for (const ListLayoutRow& row : kListLayoutRows) {
        ListLayout layout;
        EXPECT_GT(ParseListLayout(row.defaultText, layout), 0) << static_cast<int>(row.modelKind);
        EXPECT_EQ(FormatListLayout(layout), std::u16string(row.defaultText));
        EXPECT_NE(layout.columns[0].kind, kColumnUnknown);
    }
}

TEST(ListLayouts, UnknownNamesBecomeEmptyColumnsWrittenAsEmp) {
    ListLayout layout;
    ASSERT_EQ(ParseListLayout(u"src=90,foo=30", layout), 2);
    EXPECT_EQ(ColumnsOf(layout), (std::vector<Column>{{kColumnText, 90}, {kColumnUnknown, 30}}));
    EXPECT_EQ(layout.columns[2].kind, 0);
    EXPECT_EQ(FormatListLayout(layout), u"src=90,emp=30");
    // Only three units decide the kind, nine count, shorter names are unknown.
    EXPECT_EQ(Parse(u"wknLongerThanNine=5,wk=6,emp=7"),
              (std::vector<Column>{{2, 5}, {kColumnUnknown, 6}, {kColumnUnknown, 7}}));
}

struct DamagedText {
    const char16_t* text;
    std::vector<Column> columns;
};
class DamagedLayoutText : public testing::TestWithParam<DamagedText> {};

TEST_P(DamagedLayoutText, MalformedItemsAreSkippedAndWidthsClamped) {
    EXPECT_EQ(Parse(GetParam().text), GetParam().columns);
}

INSTANTIATE_TEST_SUITE_P(
    HandEditedSettings, DamagedLayoutText,
    testing::Values(DamagedText{u"src90,wse=320", {{4, 320}}},                       // no "="
                    DamagedText{u"src=,wse=x1,dic=20", {{16, 20}}},                  // no digits
                    DamagedText{u"src=-5,wse=+5,dic= 5,kkj=5 ", {}},                 // signs, spaces
                    DamagedText{u"src=99999999999999999999999,wse=4097,dic=4096",
                                {{1, 4096}, {4, 4096}, {16, 4096}}},                 // overflow clamped
                    DamagedText{u",,src=1,,=2,a=b=3", {{1, 1}, {kColumnUnknown, 2}}},  // empty items
                    DamagedText{u"kst=0,kst=1,kst=2,kst=3,kst=4,kst=5,kst=6,kst=7,kst=8,kst=9,kst=10,kst=11",
                                {{12, 0}, {12, 1}, {12, 2}, {12, 3}, {12, 4}, {12, 5}, {12, 6}, {12, 7}, {12, 8},
                                 {12, 9}}},                                            // ten columns at most
                    DamagedText{u"", {}}));

class LayoutSettings : public testing::Test {
protected:
    LayoutSettings() : ini_(std::make_unique<MemoryProfileStore>(&values_)) {}
    void Put(std::u16string_view key, std::u16string_view value) {
        values_[{u"view", MemoryProfileStore::Fold(key)}] = std::u16string(value);
    }
    MemoryProfileStore::Values values_;
    CIni ini_;
};

TEST_F(LayoutSettings, StoredTextsReplaceDefaultsOnlyWhenAColumnParses) {
    Put(u"WordsKanaList", u"wkn=150,wse=200");
    Put(u"WordsKanjiList", u"junk,more junk,=,wkj=");  // nothing usable: the default stays
    Put(u"LexiconList", u"");
    ListLayoutTable table;
    table.LoadViewOptions(ini_);
    EXPECT_EQ(FormatListLayout(table.FindLayout(2)), u"wkn=150,wse=200");
    EXPECT_EQ(FormatListLayout(table.FindLayout(5)), kListLayoutRows[2].defaultText);
    EXPECT_EQ(FormatListLayout(table.FindLayout(20)), kListLayoutRows[8].defaultText);
    // A kind without a row of its own (e.g. a kanji-radical list) gets the first layout.
    EXPECT_EQ(&table.FindLayout(7), &table.LayoutAt(0));
    EXPECT_EQ(&table.FindLayout(23), &table.LayoutAt(12));
}

TEST_F(LayoutSettings, DraggedWidthsSurviveSaveAndLoad) {
    ListLayoutTable before;
    before.FindLayout(2).columns[1].width = 123;
    before.FindLayout(22).columns[3].width = 1;
    ASSERT_EQ(before.SaveViewOptions(ini_), 1);
    EXPECT_EQ(values_.size(), static_cast<size_t>(kListLayoutCount));
    ListLayoutTable after;
    after.LoadViewOptions(ini_);
    for (int32_t row = 0; row < kListLayoutCount; ++row)
        EXPECT_EQ(ColumnsOf(after.LayoutAt(row)), ColumnsOf(before.LayoutAt(row))) << row;
    EXPECT_EQ(after.FindLayout(2).columns[1].width, 123);
}

TEST(ListLayouts, SaveReportsAFailedWrite) {
    MemoryProfileStore::Values values;
    auto store = std::make_unique<MemoryProfileStore>(&values);
    store->failWrites = true;
    CIni ini(std::move(store));
    EXPECT_EQ(ListLayoutTable().SaveViewOptions(ini), 0);
}

TEST(ListLayouts, HeaderTitlesFollowLanguageAndViewKind) {
    struct Case {
        uint32_t language;
        std::u16string reading, readingInWordView, kanjiInWordView, kanjiColumn, groupSize;
    };
    for (const Case& c : {Case{1, u"Reading", u"Word", u"Details", u"Kanji", u"Dictionaries"},
                          Case{0, u"Произношение", u"Слово", u"Уточнение", u"Иер.", u"В словарях"},
                          Case{2, u"読み", u"単語", u"細部", u"漢字", u"辞書の数"}}) {
        SetUILanguage(c.language);
        EXPECT_EQ(ColumnTitle(2, 2), c.reading);
        EXPECT_EQ(ColumnTitle(2, 16), c.readingInWordView);
        EXPECT_EQ(ColumnTitle(3, 13), c.kanjiInWordView);
        EXPECT_EQ(ColumnTitle(6, 1), c.kanjiColumn);
        EXPECT_EQ(ColumnTitle(26, 15), c.groupSize);
        EXPECT_EQ(ColumnTitle(27, 2), std::u16string(u"書名"));
        EXPECT_EQ(ColumnTitle(28, 2), std::u16string(u"Название"));
        EXPECT_EQ(ColumnTitle(29, 2), std::u16string(u"Book Title"));
        for (int32_t untitled : {15, 16, 17, 22, 23, 30, 0, 99}) EXPECT_EQ(ColumnTitle(untitled, 1), std::u16string());
    }
    SetUILanguage(1);
}

// The items as std::string's searches read them: a name without "=", "=",
// then digits only.
std::vector<Column> ReferenceParse(const std::string& text) {
    std::vector<Column> columns;
    size_t start = 0;
    while (start <= text.size() && columns.size() < static_cast<size_t>(kMaxLayoutColumns)) {
        size_t end = std::min(text.find(',', start), text.size());
        std::string part = text.substr(start, end - start);
        start = end + 1;
        size_t equals = part.find('=');
        if (equals == std::string::npos || equals + 1 == part.size() ||
            part.find_first_not_of("0123456789", equals + 1) != std::string::npos)
            continue;
        std::string digits = part.substr(equals + 1);
        digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
        int32_t width = digits.size() > 4 ? kMaxColumnWidth : std::min(std::atoi(digits.c_str()), kMaxColumnWidth);
        columns.push_back({ColumnKindOfName(Widen(part.substr(0, std::min<size_t>(equals, kColumnNameUnits)))), width});
    }
    return columns;
}

TEST(ListLayouts, SeededSweepAgreesWithTheReferenceAndReadsItsOwnOutput) {
    const bool long_sweep = std::getenv("OSTREL_LAYOUT_FUZZ") != nullptr;
    const int texts = long_sweep ? 1000000 : 3000;
    const std::string pieces[] = {"src", "wkn", "emp", "dic", "rcn", "bs1", "=", "=", ",", ",", "0", "7",
                                  "4096", "99999999999", "x", " ", "-", "kkjXYZWQRS", ""};
    std::mt19937 random(20261207);
    for (int n = 0; n < texts; ++n) {
        std::string text;
        int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i) text += pieces[random() % std::size(pieces)];
        std::u16string wide = Widen(text);
        ListLayout layout;
        int32_t count = ParseListLayout(wide, layout);
        ASSERT_EQ(ColumnsOf(layout), ReferenceParse(text)) << text;
        ASSERT_EQ(count, layout.Count());
        ASSERT_EQ(Parse(FormatListLayout(layout)), ColumnsOf(layout)) << text;
    }
}

}  // namespace
