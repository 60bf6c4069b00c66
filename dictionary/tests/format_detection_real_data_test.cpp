// Detection on real files: Debian's edict, enamdict and kanjidic as shipped
// (EUC-JP) and as iconv re-encoded them at build time, and a dictionary file
// made by the storage engine. Each must land on its rule and get its type
// and default languages.
#include "common/tests/test_paths.h"
#include "dictionary/format_detection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/tests/test_files.h"
#include "storage/dms.h"
#include "storage/simulated_disk.h"
#include "storage/tests/dictionary_schema_text.h"

namespace {

std::u16string U16Path(const std::filesystem::path& path) { return path.u16string(); }

std::filesystem::path Fixture(const std::string& name) {
    return std::filesystem::path(BinaryPath()) / "dictionary" / "test_fixtures" / name;
}

struct SourceCase {
    std::string file;  // under /usr/share/edict, or a fixture when it has an extension
    uint32_t flags;
    uint32_t type;
    const char16_t* index;
    const char16_t* contents;
};

class DebianSource : public ::testing::TestWithParam<SourceCase> {};

TEST_P(DebianSource, LandsOnItsRule) {
    const SourceCase& c = GetParam();
    const std::filesystem::path path = c.file.find('.') == std::string::npos
                                           ? HostPath("/usr/share/edict/" + c.file)
                                           : Fixture(c.file);
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_EQ(DetectDictionaryFileFormat(U16Path(path).c_str()), c.flags);

    SourceFileInfo info(U16Path(path));
    EXPECT_EQ(info.Detect(), 0u);
    EXPECT_EQ(info.formatFlags, c.flags);
    EXPECT_EQ(info.formatType, c.type);
    EXPECT_EQ(std::u16string(info.languages[SourceFileInfo::kIndexLanguage]), c.index);
    EXPECT_EQ(std::u16string(info.languages[SourceFileInfo::kContentsLanguage]), c.contents);
}

INSTANTIATE_TEST_SUITE_P(
    AsShippedAndReencoded, DebianSource,
    ::testing::Values(
        // As shipped, EUC-JP: the headers sit at byte 9 behind four two-byte characters and a blank.
        SourceCase{"edict", 0x3440000, 3, u"jpn", u"eng"},
        SourceCase{"enamdict", 0x43440000, 3, u"jpn", u"eng"},
        SourceCase{"kanjidic", 0x1680000, 6, u"jpn", u"eng"},
        // UTF-8: three-byte characters put the headers at byte 13, or 16 behind a byte-order mark.
        SourceCase{"edict.utf8", 0x2440008, 3, u"jpn", u"eng"},
        SourceCase{"edict.utf8bom", 0x2440008, 3, u"jpn", u"eng"},
        SourceCase{"enamdict.utf8", 0x42440008, 3, u"jpn", u"eng"},
        // No rule looks for ENAMDICT at byte 16, nor for KANJIDIC behind a UTF-8 mark.
        SourceCase{"enamdict.utf8bom", 0, 0, u"", u""},
        SourceCase{"kanjidic.utf8", 0x1680000, 6, u"jpn", u"eng"},
        SourceCase{"kanjidic.utf8bom", 0, 0, u"", u""},
        // UTF-16: only KANJIDIC has a UTF-16 rule.
        SourceCase{"kanjidic.utf16le", 0x680000, 6, u"jpn", u"eng"},
        SourceCase{"kanjidic.utf16", 0x680000, 6, u"jpn", u"eng"},
        SourceCase{"edict.utf16le", 0, 0, u"", u""},
        SourceCase{"edict.utf16", 0, 0, u"", u""},
        SourceCase{"enamdict.utf16", 0, 0, u"", u""}),
    [](const auto& info) {
        std::string name = info.param.file;
        for (char& ch : name)
            if (ch == '.') ch = '_';
        return name;
    });

TEST(StoreDatabase, FileMadeByTheEngineIsRecognised) {
    SimulatedDisk disk;
    CDMS engine(disk);
    const std::u16string path = u"C:\\Dictionaries\\made.qdx";
    ASSERT_EQ(engine.CreateFile(path, DictionarySchemaForTests()), DmsStatus::Success);
    const auto bytes = disk.Contents(path);
    ASSERT_TRUE(bytes && bytes->size() > 8);
    EXPECT_EQ(SniffDictionaryFormat(*bytes), 0x10040000u);
    EXPECT_EQ(FormatTypeFromFlags(0x10040000), 1u);

    ScratchFolder folder("format-detection-store");
    WriteBytes(folder / "made.qdx", {bytes->begin(), bytes->end()});
    SourceFileInfo info(U16Path(folder / "made.qdx"));
    info.Detect();
    EXPECT_EQ(info.formatType, 1u);
    EXPECT_EQ(std::u16string(info.languages[SourceFileInfo::kIndexLanguage]), u"jpn");
    EXPECT_EQ(std::u16string(info.languages[SourceFileInfo::kContentsLanguage]), u"rus");
}

// The default languages by type, as "index/contents/second contents".
TEST(SourceFileInfoDetect, DefaultLanguagesFollowTheType) {
    std::string latin(120, 'a');
    for (size_t at : {18, 37, 56, 75, 99, 101, 103, 105, 107, 109}) latin[at] = ' ';
    const std::pair<std::string, std::u16string> cases[] = {
        {"1\tcmn\tword\n", u"jpn/rus/eng"},     // Tatoeba, type 13
        {latin + "\n", u"lat/eng/"},              // Latin list, type 16
        {"xxxxxxxxx/JR-EDICT/", u"jpn/rus/"},     // JR-EDICT, type 4
        {"{\\rdf1 text in bytes", u"//"},        // nothing recognised, type 0
    };
    ScratchFolder folder("format-detection-languages");
    for (const auto& [text, languages] : cases) {
        WriteBytes(folder / "source.txt", {text.begin(), text.end()});
        SourceFileInfo info(U16Path(folder / "source.txt"));
        info.Detect();
        EXPECT_EQ(std::u16string(info.languages[0]) + u"/" + info.languages[2] + u"/" + info.languages[3], languages)
            << text;
        EXPECT_EQ(info.languages[1][0] + info.languages[4][0], 0);
    }
}

TEST(SourceFileInfoDetect, MissingOrEmptyFileLeavesEverythingZero) {
    ScratchFolder folder("format-detection-empty");
    WriteBytes(folder / "empty.txt", {});
    for (const char* name : {"empty.txt", "missing.txt"}) {
        SourceFileInfo info(U16Path(folder / name));
        info.Detect();
        EXPECT_EQ(info.formatFlags + info.formatType + info.languages[SourceFileInfo::kIndexLanguage][0], 0u);
    }
}

}  // namespace
