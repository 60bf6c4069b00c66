// PDIC version-4 files from the test writer: entry texts and their headword
// and sense, the homonym cut, extension fields, the header's word count, and
// each damage to the lengths refused without a read past the file (what came
// before the damage is reported unchanged); then a short mutation fuzz.
#include "import/pdic_import.h"
#include "import/import_registration.h"
#include "import/tests/eijiro_entry_sink.h"
#include "import/tests/pdic_test_writer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>

#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

namespace {

// A literal with its zero characters.
template <size_t N>
std::u16string Units(const char16_t (&text)[N]) {
    return std::u16string(text, N - 1);
}

class PdicImport : public testing::Test {
protected:
    int32_t Import(const std::vector<uint8_t>& file, EntrySink& sink) {
        // A heap copy of exactly the file's size, so a read past it shows.
        std::vector<uint8_t> exact(file);
        return ImportPdic(dictionary_, exact.data(), static_cast<uint32_t>(exact.size()), 0, sink.Callbacks());
    }
    std::u16string Parse(std::u16string_view entry) {
        dictionary_.ClearParsedArticle();
        entry_ = entry;
        const int32_t article = ParsePdicEntry(dictionary_, entry_.data(), static_cast<int32_t>(entry_.size()));
        return DescribeElements(dictionary_, article, dictionary_.ElementCount());
    }

    CDMS engine_{SystemStorageIO()};
    CDictionary dictionary_{0, engine_};
    std::u16string entry_;
};

TEST_F(PdicImport, EntryHeadwordHomonymNumberAndSense) {
    EXPECT_EQ(Parse(Units(u"bank(2)\0\x01土手")), u"8:bank|5:土手|");
    EXPECT_EQ(Parse(Units(u"route 66\0\x01x")), u"8:route|5:x|");
    EXPECT_EQ(Parse(Units(u"(2)\0\x01x")), u"8:(2)|5:x|");  // nothing would remain
    EXPECT_EQ(Parse(Units(u"ねこ\0\x01" u"cat")), u"3:ねこ|5:cat|");
    EXPECT_EQ(Parse(Units(u"猫2\0\x01" u"cat")), u"4:猫|5:cat|");
    EXPECT_EQ(Parse(u"word only"), u"8:word only|");
    EXPECT_EQ(Parse(Units(u"\0\x01x")), u"5:x|");
}

std::vector<PdicTestWord> SampleWords() {
    std::vector<PdicTestWord> words = {
        {"bank", 0, "\x8b\xe2\x8d\x73", {}},  // 銀行
        {"bank(2)", 0, "\x93\x79\x8e\xe8", {}},  // 土手
        {"banker", 0x10, "\x8b\xe2\x8d\x73\x89\xc6", {{1, "a banker's example"}, {2, std::string("\x01\x02\x03", 3)}, {0, "skipped"}}},
        {"bankrupt", 0x10, "x", {{0x81, "last"}, {1, "never read"}}},
        {"\x82\xcb\x82\xb1", 0, "cat", {}},  // ねこ
    };
    for (int i = 0; i < 60; ++i) words.push_back({"word" + std::to_string(100 + i), 0, std::string(i % 7 + 1, 'a'), {}});
    return words;
}

TEST_F(PdicImport, WriterFileEntriesWithPrefixesAndExtensionFields) {
    EntrySink sink;
    EXPECT_EQ(Import(std::vector<uint8_t>(255, 0), sink), 0);  // fewer than 256 bytes
    std::vector<uint8_t> file = WritePdicFile(SampleWords());
    ASSERT_GT(file.size(), 4 * 256u);  // several data blocks
    file[141] = 0x03;
    EXPECT_EQ(Import(file, sink), 0);  // another version
    file[141] = 0x04;

    RegisterImportParsers();
    CDictionary reader(0, engine_);
    sink.reader = &reader;
    sink.formatType = 7;
    ASSERT_EQ(Import(file, sink), 1);
    ASSERT_EQ(sink.entries.size(), SampleWords().size());
    EXPECT_EQ(sink.mismatch, u"");
    EXPECT_EQ(sink.entries[0], u"8:bank|5:銀行|");
    EXPECT_EQ(sink.entries[1], u"8:bank|5:土手|");
    EXPECT_EQ(sink.entries[2], Units(u"8:banker|5:銀行家\0\x01" u"a banker's example\0\x02\x01\x02\x03|"));
    EXPECT_EQ(sink.entries[3], Units(u"8:bankrupt|5:x\0\x81last\0|"));
    EXPECT_EQ(sink.entries[4], u"3:ねこ|5:cat|");
    EXPECT_EQ(sink.entries.back(), u"8:word|5:aaaa|");  // "word159": a number is cut as a homonym's
}

TEST_F(PdicImport, ReadingStopsAtTheHeadersWordCount) {
    for (int64_t declared : {0, 1, 5, 64}) {
        EntrySink sink;
        ASSERT_EQ(Import(WritePdicFile(SampleWords(), 256, declared), sink), 1);
        EXPECT_EQ(static_cast<int64_t>(sink.entries.size()), declared);
    }
    EntrySink more;  // more declared than written: the blocks end
    ASSERT_EQ(Import(WritePdicFile(SampleWords(), 256, 1000), more), 1);
    EXPECT_EQ(more.entries.size(), SampleWords().size());
}

// The first data block is at 512; its first record at 514. A block that the
// file's end cuts (or whose span runs past it) is read up to its last whole
// record: the import goes on (result 1) and tells the shortfall.
struct Damage {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> apply;
    size_t entriesBefore;
    int32_t result = 0;
};

std::vector<Damage> Damages() {
    return {
        {"block size 0", [](auto& f) { f[146] = f[147] = 0; }, 0},
        {"negative span", [](auto& f) { f[513] = 0x80; }, 0},
        // The span swallows the later blocks: the first block's 18 records are read.
        {"span beyond the file", [](auto& f) { f[512] = 0xFF; f[513] = 0x7F; }, 18, 1},
        {"data block cut short", [](auto& f) { f.resize(520); }, 0, 1},
        {"length past the block", [](auto& f) { f[514] = 0xFF; f[515] = 0x0F; }, 0},
        {"prefix longer than the previous word", [](auto& f) { f[516] = 9; }, 0},
        {"second word's prefix too long", [](auto& f) { f[514 + 3 + f[514] + 2] = 200; }, 1},
        {"extension field without its zero", [](auto& f) {
             size_t at = 514;
             for (int i = 0; i < 2; ++i) at += 3 + (f[at] | (f[at + 1] << 8));
             const size_t end = at + 3 + (f[at] | (f[at + 1] << 8));
             for (size_t i = end - 12; i < end; ++i) if (f[i] == 0) f[i] = 'y';
         }, 2},
    };
}

TEST_F(PdicImport, DamagedLengthsStopTheImportAfterTheEntriesBefore) {
    const std::vector<uint8_t> good = WritePdicFile(SampleWords());
    EntrySink whole;
    ASSERT_EQ(Import(good, whole), 1);
    for (const Damage& damage : Damages()) {
        SCOPED_TRACE(damage.name);
        std::vector<uint8_t> file = good;
        damage.apply(file);
        EntrySink sink;
        EXPECT_EQ(Import(file, sink), damage.result);
        ASSERT_EQ(sink.entries.size(), damage.entriesBefore);
        EXPECT_TRUE(std::equal(sink.entries.begin(), sink.entries.end(), whole.entries.begin()));
    }
    // A word without its zero byte within 512 bytes.
    EntrySink sink;
    EXPECT_EQ(Import(WritePdicFile({{"a", 0, "x", {}}, {std::string(600, 'w'), 0, "y", {}}}, 1024), sink), 0);
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.entries[0], u"8:a|5:x|");
}

// Mutations of a written file (bytes changed, cut, grown); a longer run with
// OSTREL_FUZZ_PDIC=<rounds> (meant for the sanitizer build).
TEST_F(PdicImport, MutatedFilesNeverReadPastTheirEnd) {
    const char* rounds = std::getenv("OSTREL_FUZZ_PDIC");
    const int n = rounds != nullptr ? std::atoi(rounds) : 500;
    const std::vector<uint8_t> good = WritePdicFile(SampleWords());
    std::mt19937 random(11);
    for (int round = 0; round < n; ++round) {
        std::vector<uint8_t> file = good;
        const int changes = static_cast<int>(random() % 8) + 1;
        for (int c = 0; c < changes; ++c) {
            const size_t at = 140 + random() % (file.size() - 140);
            switch (random() % 4) {
                case 0: file[at] = static_cast<uint8_t>(random()); break;
                case 1: file[at] ^= static_cast<uint8_t>(1u << (random() % 8)); break;
                case 2: file.resize(std::max<size_t>(256, at)); break;
                default: file.insert(file.begin() + static_cast<ptrdiff_t>(at), static_cast<uint8_t>(random())); break;
            }
        }
        file[140] = 0x00, file[141] = 0x04;
        EntrySink sink;
        Import(file, sink);
        for (int32_t i = 0; i < dictionary_.ElementCount(); ++i) ASSERT_GE(dictionary_.Elements()[i].length, 0);
    }
}

}  // namespace
