// A DSL character database in Unihan mode made at test time from Debian's
// Unihan_Readings (unicode-data): every character's readings, after the
// importer's Unihan reordering of its scrambled lines, equal kJapaneseOn,
// kJapaneseKun and kMandarin, and every stored article parses back the same.
// Native only: the source is made by a python3 script.
#include "common/tests/test_paths.h"
#include "import/dsl_import.h"
#include "import/import_registration.h"
#include "import/tests/eijiro_entry_sink.h"

#include "common/tests/test_files.h"
#include "common/text/utf8.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const char* const kReadings = "/usr/share/unicode/Unihan_Readings.txt.bz2";
const std::string kScript = SourcePath("/import/tests/unihan_readings_dsl.py");

TEST(DslUnihanReadings, EveryCharactersReadingsEqualTheDatabases) {
#ifdef _WIN32
    GTEST_SKIP() << "the script that makes the source runs in the native tree";
#else
    if (!std::filesystem::exists(kReadings)) GTEST_SKIP() << kReadings << " is not installed (unicode-data)";
    ScratchFolder folder("dsl-unihan");
    ASSERT_EQ(std::system(("python3 " + std::string(kScript) + " '" + folder.path().string() + "'").c_str()), 0);
    RegisterImportParsers();
    const std::u16string text = Utf8ToUtf16(ReadText(folder / "unihan.dsl"));
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(0, engine), reader(0, engine);
    EntrySink sink;
    sink.reader = &reader;
    sink.formatType = 9;
    ASSERT_EQ(ImportDsl(dictionary, text.data(), uint32_t(text.size() * 2), 0, sink.Callbacks()), 1);
    EXPECT_EQ(sink.mismatch, u"");

    // Each entry described as "4:char|3:reading|...|5:body|": the headword
    // and the readings, in order, against the expected line.
    std::vector<std::string> seen;
    for (const std::u16string& entry : sink.entries) {
        std::u16string line;
        for (size_t at = 0; at < entry.size();) {
            const size_t end = entry.find(u'|', at);
            const std::u16string_view part(entry.data() + at, end - at);
            if (part.starts_with(u"4:")) line = std::u16string(part.substr(2)) + u"\t" + line;
            else if (part.starts_with(u"3:")) line += (line.empty() || line.back() == u'\t' ? u"" : u" ") + std::u16string(part.substr(2));
            at = end + 1;
        }
        seen.push_back(Utf16ToUtf8(line));
    }
    const std::string expectedText = ReadText(folder / "expected.tsv");
    std::vector<std::string> expected;
    for (size_t at = 0, end; (end = expectedText.find('\n', at)) != std::string::npos; at = end + 1)
        expected.push_back(expectedText.substr(at, end - at));
    ASSERT_GT(expected.size(), 13000u);
    ASSERT_EQ(seen.size(), expected.size());
    size_t mismatches = 0;
    std::string first;
    for (size_t i = 0; i < expected.size(); ++i)
        if (seen[i] != expected[i] && mismatches++ == 0) first = expected[i] + "\n" + seen[i];
    EXPECT_EQ(mismatches, 0u) << first;
#endif
}

}  // namespace
