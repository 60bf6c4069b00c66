// The EIJIRO line rules (separator, headword end, script kinds, lines that
// make little or nothing), the Shift-JIS line import, and lines made from
// Debian's EDICT converted to code page 932 by iconv, whose decoding by iconv
// is the oracle (native only).
#include "import/eijiro_import.h"
#include "import/import_registration.h"
#include "import/tests/eijiro_entry_sink.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <random>

#include "common/tests/edict_files.h"
#include "common/tests/test_files.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

namespace {

class EijiroImport : public testing::Test {
protected:
    std::u16string Parse(std::u16string_view line) {
        dictionary_.ClearParsedArticle();
        line_ = line;
        const int32_t article = ParseEijiroLine(dictionary_, line_.data(), static_cast<int32_t>(line_.size()));
        if (article < 0) return u"none";
        return DescribeElements(dictionary_, article, dictionary_.ElementCount());
    }
    int32_t Import(const std::string& bytes, EntrySink& sink) {
        return ImportEijiro(dictionary_, bytes.data(), static_cast<uint32_t>(bytes.size()), 0, sink.Callbacks());
    }

    CDMS engine_{SystemStorageIO()};
    CDictionary dictionary_{0, engine_};
    std::u16string line_;
};

TEST_F(EijiroImport, SeparatorHeadwordEndAndScriptKind) {
    EXPECT_EQ(Parse(u"■abandon {動} : 捨てる"), u"8:abandon|5:: 捨てる|");
    EXPECT_EQ(Parse(u"■ねこ : cat"), u"3:ねこ|5:: cat|");
    EXPECT_EQ(Parse(u"■猫ねこ　 : cat"), u"4:猫ねこ|5:: cat|");
    EXPECT_EQ(Parse(u"■run；走る {自動} : 走ること"), u"8:run|5:: 走ること|");
    EXPECT_EQ(Parse(u"■time: 12:30 means x"), u"8:time: 12|5::30 means x|");  // no " : ": the last ":"
    EXPECT_EQ(Parse(u"■a : b : c"), u"8:a|5:: b : c|");
    EXPECT_EQ(Parse(u"■ね : one character"), u"8:ね|5:: one character|");
}

TEST_F(EijiroImport, LinesThatMakeLittleOrNothing) {
    EXPECT_EQ(Parse(u"abandon : 捨てる"), u"none");
    EXPECT_EQ(Parse(u"■abandon 捨てる"), u"");  // the article element only
    // A ":" right after "■", or only blanks before the separator: no headword.
    EXPECT_EQ(Parse(u"■: x"), u"5:: x|");
    EXPECT_EQ(Parse(u"■:"), u"5::|");
    EXPECT_EQ(Parse(u"■ : x"), u"5:: x|");
    EXPECT_EQ(Parse(u"■{名} : x"), u"5:: x|");
    EXPECT_EQ(Parse(u"■"), u"");
}

std::string ShiftJis(std::u16string_view text) {
    // The tests' lines hold ASCII and a few characters of known code.
    std::string out;
    for (char16_t c : text) {
        if (c == u'■') out += "\x81\xa1";
        else if (c == u'猫') out += "\x94\x4c";
        else out += static_cast<char>(c);
    }
    return out;
}

TEST_F(EijiroImport, LinesOfAShiftJisSource) {
    EntrySink sink;
    EXPECT_EQ(Import("\x81\xa1" "a : b\n", sink), 0);  // fewer than 14 bytes
    const std::string source = ShiftJis(u"■cat : 猫\r\n\r\n\nno mark : x\n■cat {x} : 猫\n■dog : 猫");
    ASSERT_EQ(Import(source, sink), 1);
    ASSERT_EQ(sink.entries.size(), 3u);
    EXPECT_EQ(sink.entries[0], u"8:cat|5:: 猫|");
    EXPECT_EQ(sink.entries[1], u"8:cat|5:: 猫|");
    EXPECT_EQ(sink.entries[2], u"8:dog|5:: 猫|");  // no final line feed
    EXPECT_EQ(dictionary_.flags & 0x40000u, 0x40000u);
    EntrySink stopping;
    stopping.stopAfter = 1;
    EXPECT_EQ(Import(source, stopping), 0);
    EXPECT_EQ(stopping.entries.size(), 1u);
}

// Debian's EDICT (EUC-JP, every 20th line), as "■English gloss {label} :
// headword【reading】" and "■reading : gloss" lines, converted by iconv
// (on the host only).
#ifndef _WIN32
std::string RunIconv(const std::string& from, const std::string& to, const std::filesystem::path& in,
                     const std::filesystem::path& out) {
    const std::string command = "iconv -f " + from + " -t " + to + " '" + in.string() + "' > '" + out.string() + "'";
    if (std::system(command.c_str()) != 0) return {};
    return ReadText(out);
}
#endif

TEST_F(EijiroImport, EdictLinesConvertedByIconvParseAsIconvReadsThem) {
#ifdef _WIN32
    GTEST_SKIP() << "iconv runs on the host";
#else
    const std::vector<uint8_t> edict = ReadEdictFile("edict");
    if (edict.empty()) GTEST_SKIP() << EdictFilePath("edict") << " is not installed";
    std::string lines;
    size_t number = 0;
    for (std::span<const uint8_t> line : SplitLines(edict)) {
        if (number++ % 20 != 1) continue;
        const std::string text(line.begin(), line.end());
        if (text.find('\x8f') != text.npos) continue;  // JIS X 0212: not in code page 932
        const size_t blank = text.find(' ');
        const size_t open = text.find(" [");
        const size_t close = text.find("] /");
        const size_t gloss = text.find('/');
        if (blank == text.npos || gloss == text.npos) continue;
        const std::string headword = text.substr(0, blank);
        const std::string english = text.substr(gloss + 1, text.find('/', gloss + 1) - gloss - 1);
        const bool ascii = std::all_of(english.begin(), english.end(), [](char c) { return c > 31 && c < 127; });
        if (english.empty() || !ascii || english.find_first_of(":{") != english.npos)
            continue;
        const std::string reading = open != text.npos && close != text.npos ? text.substr(open + 2, close - open - 2) : "";
        lines += "\xa2\xa3" + english + (number % 3 == 0 ? " {\xcc\xbe}" : "") + " : " + headword +
                 (reading.empty() ? "" : "\xa1\xda" + reading + "\xa1\xdb") + "\r\n";
        lines += "\xa2\xa3" + (reading.empty() ? headword : reading) + " : " + english + "\n";
    }
    ScratchFolder folder("eijiro-import");
    WriteBytes(folder / "lines.euc", std::vector<unsigned char>(lines.begin(), lines.end()));
    const std::string cp932 = RunIconv("EUC-JP", "CP932", folder / "lines.euc", folder / "lines.sjis");
    const std::string utf16 = RunIconv("CP932", "UTF-16LE", folder / "lines.sjis", folder / "lines.utf16");
    ASSERT_FALSE(cp932.empty());
    ASSERT_FALSE(utf16.empty());
    std::u16string oracle(utf16.size() / 2, u'\0');
    std::memcpy(oracle.data(), utf16.data(), oracle.size() * 2);

    // The oracle's split: the headword up to " {" or " : ", the sense from the ":".
    std::vector<std::u16string> expected;
    for (size_t at = 0; at < oracle.size();) {
        size_t end = oracle.find(u'\n', at);
        std::u16string line = oracle.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        const size_t separator = line.find(u" : ");
        const std::u16string headword = line.substr(1, std::min(line.find(u" {"), separator) - 1);
        const uint32_t kind = headword.size() <= 1 ? 8 : HeadwordKindOfScript(headword);
        expected.push_back(std::u16string{char16_t(u'0' + kind), u':'} + headword + u"|5:" + line.substr(separator + 1) + u"|");
    }
    RegisterImportParsers();
    CDictionary reader(0, engine_);
    EntrySink sink;
    sink.reader = &reader;
    sink.formatType = 8;
    ASSERT_EQ(Import(cp932, sink), 1);
    EXPECT_GT(sink.entries.size(), 10000u);
    ASSERT_EQ(sink.entries.size(), expected.size());
    size_t mismatches = 0;
    for (size_t i = 0; i < expected.size(); ++i)
        if (sink.entries[i] != expected[i] && mismatches++ < 5) ADD_FAILURE() << "entry " << i;
    EXPECT_EQ(mismatches, 0u);
    EXPECT_EQ(sink.mismatch, u"");
    size_t kana = 0;
    for (const std::u16string& e : sink.entries) kana += e[0] == u'3';
    EXPECT_GT(kana, 1000u);
#endif
}

// Random lines of "■", colons, blanks, braces and Shift-JIS bytes; a longer
// run with OSTREL_FUZZ_EIJIRO=<rounds> (meant for the sanitizer build).
TEST_F(EijiroImport, RandomLinesStayInsideTheirText) {
    const char* rounds = std::getenv("OSTREL_FUZZ_EIJIRO");
    const int n = rounds != nullptr ? std::atoi(rounds) : 300;
    std::mt19937 random(7);
    const std::string pieces[] = {"\x81\xa1", ":", " ", " : ", "{", "}", "\x81\x47", "\x81\x40", "\n", "\r",
                                  "a", "\x82\xcb", "\x94\x4c", "\x81", "\xff", std::string(1, '\0')};
    for (int round = 0; round < n; ++round) {
        std::string source;
        const int length = static_cast<int>(random() % 200) + 14;
        while (static_cast<int>(source.size()) < length) source += pieces[random() % std::size(pieces)];
        EntrySink sink;
        ASSERT_EQ(Import(source, sink), 1);
        for (int32_t i = 0; i < dictionary_.ElementCount(); ++i) {
            const DictionaryElement& e = dictionary_.Elements()[i];
            ASSERT_GE(e.length, 0);
            if (e.text) {
                ASSERT_LE(e.text + e.length, dictionary_.Text() + dictionary_.TextLength());
            }
        }
    }
}

}  // namespace
