// Every line of Debian's EDICT, converted to UTF-16, stored as a data block in
// a real file through the POSIX layer, reads back byte-exact after reopening.
#if !defined(_WIN32)

#include "common/tests/edict_files.h"
#include "common/tests/iconv_converter.h"
#include "common/tests/test_paths.h"
#include "storage/tests/edict_round_trip.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// Decoded through iconv on purpose: a converter independent of the
// program's own code-page tables, so the stored texts do not depend on them.
std::u16string ReadEdictAsUtf16() {
    const std::vector<uint8_t> bytes = ReadEdictFile("edict");
    std::u16string text;
    Iconv iconv("UTF-16LE", "EUC-JP");
    if (bytes.empty() || !iconv.ToUtf16(bytes, text)) return {};
    return text;
}

std::u16string TempPath(const char* name) {
    std::string p = BinaryPath() + "/storage_" + std::to_string(::getpid()) + "_" + name;
    return std::u16string(p.begin(), p.end());
}

TEST(EdictRoundTrip, EveryLineReadsBackAfterReopenWithoutJournal) {
    std::u16string text = ReadEdictAsUtf16();
    ASSERT_GT(text.size(), 1000000u) << "edict missing or not EUC-JP";
    std::vector<std::u16string> lines = SplitLines(text);
    EXPECT_GT(lines.size(), 150000u);
    ExpectLinesRoundTrip(SystemStorageIO(), TempPath("edict.qdx"), lines, 1);
}

TEST(EdictRoundTrip, JournaledWritesOfASampleReadBack) {
    std::vector<std::u16string> lines = SplitLines(ReadEdictAsUtf16());
    ASSERT_GT(lines.size(), 200u);
    lines.resize(200);
    ExpectLinesRoundTrip(SystemStorageIO(), TempPath("edict0.qdx"), lines, 0);
}

}  // namespace

#endif
