// The rules around printing and export: options clamped as they are loaded
// from the settings file (damaged values included), the record flags of a
// dictionary, the questions at 1,000 and 20,000 entries, the printed columns
// and the default file name.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <set>

#include "article/export_options.h"
#include "common/settings/settings_file.h"
#include "common/settings/tests/memory_profile_store.h"
#include "dictionary/dictionary.h"
#include "storage/dms.h"
#include "storage/simulated_disk.h"

namespace {

class ExportOptionsIni : public ::testing::Test {
protected:
    ExportOptionsIni() : ini(std::make_unique<MemoryProfileStore>(&values)) {}
    void Store(const char16_t* key, const char16_t* value) { ini.WriteString(kPrintSection, key, value); }

    MemoryProfileStore::Values values;
    CIni ini;
};

// The nine options in the order of the keys.
std::array<int32_t, 9> Fields(const ExportOptions& o) {
    return {o.destination, o.formatScreen, o.formatCompressed, o.formatColored, o.columns,
            o.addBlankLines, o.fontSize, o.startKanji, o.translit};
}

TEST_F(ExportOptionsIni, MissingKeysGiveTheDefaults) {
    EXPECT_EQ(Fields(LoadExportOptions(ini)), (std::array<int32_t, 9>{1, 0, 1, 0, 2, 1, 10, 0, 0}));
}

// Hand-edited or damaged values never reach the page loop or the document.
TEST_F(ExportOptionsIni, DamagedValuesAreClampedWhenLoaded) {
    struct Case {
        const char16_t* columns;
        const char16_t* blank;
        const char16_t* size;
        int32_t wantColumns, wantBlank, wantSize;
    };
    for (const Case& c : {Case{u"0", u"-3", u"0", 1, 0, 10}, Case{u"9", u"1000000", u"-12", 3, 4, 10},
                          Case{u"4", u"5", u"13", 3, 4, 10}, Case{u"1", u"0", u"8", 1, 0, 8},
                          Case{u"x", u"2junk", u"16", 1, 2, 16}}) {
        Store(u"Columns", c.columns);
        Store(u"AddBlankLines", c.blank);
        Store(u"FontSize", c.size);
        Store(u"Destination", u"7");
        Store(u"StartKanji", u"5");
        const ExportOptions options = LoadExportOptions(ini);
        EXPECT_EQ(options.columns, c.wantColumns) << static_cast<int>(c.wantColumns);
        EXPECT_EQ(options.addBlankLines, c.wantBlank);
        EXPECT_EQ(options.fontSize, c.wantSize);
        EXPECT_EQ(options.destination, kExportToFile);
        EXPECT_EQ(options.startKanji, 1);
    }
}

TEST(ExportFlags, RecordFlagsFollowTheDictionary) {
    SimulatedDisk disk;
    CDMS engine(disk);
    CDictionary dictionary(0, engine);
    EXPECT_EQ(RecordExportFlags(0x6C1, dictionary), 0x41u);
    dictionary.flags = 0x4000;
    EXPECT_EQ(RecordExportFlags(0x41, dictionary), 0x241u);
    dictionary.wordCount = 5;
    EXPECT_EQ(RecordExportFlags(0x41, dictionary), 0x2C1u);
    dictionary.latinStemCount = 1;
    dictionary.flags = 0;
    EXPECT_EQ(RecordExportFlags(0x41, dictionary), 0x4C1u);
}

TEST(ExportQuestion, AskedAtAThousandToThePrinterAndTwentyThousandOtherwise) {
    EXPECT_FALSE(AsksBeforeOutput(999, kExportToPrinter));
    EXPECT_TRUE(AsksBeforeOutput(1000, kExportToPrinter));
    EXPECT_FALSE(AsksBeforeOutput(19999, kExportToFile));
    EXPECT_TRUE(AsksBeforeOutput(20000, kExportToFile));
    EXPECT_FALSE(AsksBeforeOutput(19999, kExportToClipboard));
    EXPECT_TRUE(AsksBeforeOutput(20000, kExportToClipboard));
}

TEST(PrintGeometry, ColumnWidthsAndGaps) {
    const PrintPageGeometry one = PrintPageGeometryFor(1);
    EXPECT_EQ(one.count, 1);
    EXPECT_EQ(one.widthMillimetres, 165);
    EXPECT_EQ(one.columns[0].left, 1247);
    EXPECT_EQ(one.columns[0].right - one.columns[0].left, 9354);  // 165 mm
    EXPECT_EQ(one.columns[0].top, 1247);
    EXPECT_EQ(one.columns[0].bottom, 15817);

    const PrintPageGeometry three = PrintPageGeometryFor(3);
    EXPECT_EQ(three.widthMillimetres, 47);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(three.columns[i].right - three.columns[i].left, 2664);  // 47 mm
    EXPECT_EQ(three.columns[1].left - three.columns[0].right, 680);  // the 12 mm gap, 59 mm less 47 mm
    EXPECT_EQ(three.columns[2].left - three.columns[1].left, 3344);  // 59 mm
    EXPECT_EQ(PrintPageGeometryFor(2).widthMillimetres, 76);

    // Stored 0 and 9 print as one and three columns, never with a negative width.
    EXPECT_EQ(PrintPageGeometryFor(0).count, 1);
    EXPECT_EQ(PrintPageGeometryFor(9).count, 3);
    EXPECT_GT(PrintPageGeometryFor(9).columns[2].right, PrintPageGeometryFor(9).columns[2].left);
}

TEST(DefaultExportFileName, TakesTheFirstFreeNumberInTheCurrentFolder) {
    std::set<std::u16string> files = {u"C:\\out\\Ostrel-Pro-Words-1.rtf", u"C:\\out\\Ostrel-Pro-Words-2.rtf"};
    auto exists = [&](const std::u16string& path) { return files.count(path) > 0; };
    EXPECT_EQ(DefaultExportFileName(u"C:\\out\\old.rtf", u"D:\\Docs", exists), u"C:\\out\\Ostrel-Pro-Words-3.rtf");
    EXPECT_EQ(DefaultExportFileName(u"", u"D:\\Docs", exists), u"D:\\Docs\\Ostrel-Pro-Words-1.rtf");
    EXPECT_EQ(DefaultExportFileName(u"C:name.rtf", u"D:\\Docs", exists), u"C:Ostrel-Pro-Words-1.rtf");
    EXPECT_EQ(DefaultExportFileName(u"/tmp/x/a.rtf", u"D:\\Docs", exists), u"/tmp/x/Ostrel-Pro-Words-1.rtf");
    auto all = [](const std::u16string&) { return true; };
    EXPECT_EQ(DefaultExportFileName(u"C:\\out\\", u"", all), u"C:\\out\\Ostrel-Pro-Words-1000.rtf");
}

}  // namespace
