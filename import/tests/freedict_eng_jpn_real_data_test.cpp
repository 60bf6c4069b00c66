// EIJIRO lines and a PDIC file made from Debian's dict-freedict-eng-jpn as
// python3-pyglossary reads the dictd source: every article's headword and
// sense equal the entry's, and every stored article parses back the same.
// The peer runs natively.
#include "common/tests/test_paths.h"
#include "import/eijiro_import.h"
#include "import/import_registration.h"
#include "import/pdic_import.h"
#include "import/tests/eijiro_entry_sink.h"
#include "import/tests/pdic_test_writer.h"

#include "common/tests/test_files.h"
#include "common/text/utf8.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const char* const kIndex = "/usr/share/dictd/freedict-eng-jpn.index";
const std::string kScript = SourcePath("/import/tests/freedict_eng_jpn_layouts.py");

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

// "K:headword|5:sense|" as "headword TAB sense"; `senseLead` is cut from the
// sense. Texts may hold "|", so the parts are found by their kinds.
std::string HeadwordAndSense(const std::u16string& entry, std::u16string_view senseLead) {
    const size_t senseAt = entry.find(u"|5:");
    if (entry.size() < 3 || senseAt == entry.npos) return "?" + Utf16ToUtf8(entry);
    const std::u16string headword = entry.substr(2, senseAt - 2);
    std::u16string sense = entry.substr(senseAt + 3, entry.size() - senseAt - 4);
    if (std::u16string_view(sense).starts_with(senseLead)) sense.erase(0, senseLead.size());
    return Utf16ToUtf8(headword + u"\t" + sense);
}

size_t Mismatches(const std::vector<std::string>& expected, const std::vector<std::string>& seen, std::string& first) {
    size_t mismatches = expected.size() > seen.size() ? expected.size() - seen.size() : seen.size() - expected.size();
    for (size_t i = 0; i < expected.size() && i < seen.size(); ++i)
        if (expected[i] != seen[i] && mismatches++ == 0) first = expected[i] + "\n" + seen[i];
    return mismatches;
}

class FreedictEnglishJapanese : public testing::Test {
protected:
    void SetUp() override {
#ifdef _WIN32
        GTEST_SKIP() << "the peer runs in the native tree";
#else
        if (!std::filesystem::exists(kIndex)) GTEST_SKIP() << kIndex << " is not installed (dict-freedict-eng-jpn)";
        ASSERT_EQ(std::system(("/usr/bin/python3 " + std::string(kScript) + " '" + folder_.path().string() +
                               "' 2>/dev/null").c_str()),
                  0) << "python3-pyglossary reads the dictd source";
        RegisterImportParsers();
        expected_ = Lines(ReadText(folder_ / "expected.tsv"));
        ASSERT_GT(expected_.size(), 25000u);
#endif
    }

    ScratchFolder folder_{"freedict-eng-jpn"};
    std::vector<std::string> expected_;
    CDMS engine_{SystemStorageIO()};
};

TEST_F(FreedictEnglishJapanese, EijiroArticlesEqualTheEntries) {
    const std::string bytes = ReadText(folder_ / "eijiro.txt");
    CDictionary dictionary(0, engine_), reader(0, engine_);
    EntrySink sink;
    sink.reader = &reader;
    sink.formatType = 8;
    ASSERT_EQ(ImportEijiro(dictionary, bytes.data(), uint32_t(bytes.size()), 0, sink.Callbacks()), 1);
    EXPECT_EQ(sink.mismatch, u"");
    std::vector<std::string> seen;
    for (const std::u16string& entry : sink.entries) seen.push_back(HeadwordAndSense(entry, u": "));
    std::string first;
    EXPECT_EQ(Mismatches(expected_, seen, first), 0u) << first;
}

TEST_F(FreedictEnglishJapanese, PdicEntriesEqualTheEntries) {
    std::vector<PdicTestWord> words;
    for (const std::string& line : Lines(ReadText(folder_ / "pdic.tsv"))) {
        const size_t tab = line.find('\t');
        words.push_back({line.substr(0, tab), 0, line.substr(tab + 1), {}});
    }
    const std::vector<uint8_t> file = WritePdicFile(words, 1024);
    CDictionary dictionary(0, engine_), reader(0, engine_);
    EntrySink sink;
    sink.reader = &reader;
    sink.formatType = 7;
    ASSERT_EQ(ImportPdic(dictionary, file.data(), uint32_t(file.size()), 0, sink.Callbacks()), 1);
    EXPECT_EQ(sink.mismatch, u"");
    // The writer takes the words sorted by their code page 932 bytes; so does the expectation.
    std::vector<std::string> seen;
    for (const std::u16string& entry : sink.entries) seen.push_back(HeadwordAndSense(entry, u""));
    std::vector<std::string> sorted = expected_;
    std::sort(sorted.begin(), sorted.end());
    std::sort(seen.begin(), seen.end());
    std::string first;
    EXPECT_EQ(Mismatches(sorted, seen, first), 0u) << first;
}

}  // namespace
