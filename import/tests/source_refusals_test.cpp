// What the compiler leaves out of a source and what it refuses, with the
// exact texts the user reads: an article too large for a record (the rest
// stored as without it), lines that are no article of the format (counted),
// a source cut short (what was read stored as a whole source of it would
// be, and told), a source in which no article could be read and a source
// not in its encoding (refused, the old target file kept byte for byte).
#include "import/tests/compile_fixture.h"
#include "import/tests/pdic_test_writer.h"

#include "common/tests/edict_files.h"

#include "import/compile_report.h"
#include "import/target_paths.h"

#include <algorithm>
#include <functional>
#include <iterator>

namespace {

// EUC-JP lines: a KANJIDIC header, kanji lines of 亜 唖 娃 (JIS 3021-3023),
// an EDICT header and EDICT lines of 猫 日本 ねこ 犬.
const std::string kKanjidicHeader = "# KANJIDIC test file/Copyright nobody/\n";
const std::string kKanji1 = "\xB0\xA1 3021 U4e9c {Asia}\n";
const std::string kKanji2Head = "\xB0\xA2 3022 U5516 {";
const std::string kKanji3 = "\xB0\xA3 3023 U5a03 {beautiful}\n";
const std::string kEdictHeader = "\xA1\xA1\xA1\xA9\xA1\xA9\xA1\xA9 /EDICT test file/Copyright nobody/\n";
const std::string kEdictLines = "\xC7\xAD [\xA4\xCD\xA4\xB3] /(n) cat/\n"
                                "\xC6\xFC\xCB\xDC [\xA4\xCB\xA4\xDB\xA4\xF3] /(n) Japan/\n"
                                "\xA4\xCD\xA4\xB3 /cat/\n"
                                "\xB8\xA4 [\xA4\xA4\xA4\xCC] /(n) dog/\n";

// JR-EDICT lines: the header, and 猫 [ねこ] /кошка — cat/ with its Russian
// (and the dash, 0x97) in Windows-1251.
const std::string kJrEdictHeader = "\xA1\xA9\xA1\xA9\xA1\xA9\xA1\xA9 /JR-EDICT test file/Copyright nobody/\n";
const std::string kJrEdictCat = "\xC7\xAD [\xA4\xCD\xA4\xB3] /\xEA\xEE\xF8\xEA\xE0 \x97 cat/\n";

class SourceRefusals : public CompileFixture {
protected:
    void WriteBytes(const std::u16string& path, const std::string& bytes) {
        std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string ReadAll(const std::u16string& path) {
        std::ifstream in(std::filesystem::path(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Compiles `bytes` over an old target that must come through a refusal
    // unchanged; answers the compile's result.
    int32_t CompileOverOldTarget(const std::string& bytes, std::u16string& error, SilentCompileUi* ui = nullptr) {
        WriteBytes(source_, bytes);
        WriteBytes(target_, kOldTarget);
        return Compile(source_, target_, {}, ui, &error);
    }
    void WriteBytes(const std::u16string& path, const std::vector<uint8_t>& bytes) {
        WriteBytes(path, std::string(bytes.begin(), bytes.end()));
    }
    // Compiles the cut source, then the whole source of what precedes the cut
    // (written by `writeWhole` from the count stored): both store the same
    // articles and keys; the cut one is told with `reason` after the count
    // stored, and the whole one is not.
    void ExpectCutTold(const std::u16string& cut, const std::u16string& whole,
                       const std::function<std::u16string(uint32_t stored)>& writeWhole, const Options& options = {}) {
        std::u16string error, leftOut;
        ASSERT_EQ(Compile(cut, target_, options, nullptr, &error, 0, &leftOut), 1) << Utf16ToUtf8(error);
        EXPECT_TRUE(notWhole_);
        const uint32_t stored = storedArticles_;
        const std::u16string reason = writeWhole(stored);
        EXPECT_EQ(leftOut, u"The source could not be read to its end; articles stored from the part that was read: " +
                               Utf8ToUtf16(std::to_string(stored)) + u"\n" + reason);
        EXPECT_TRUE(Verify(target_).empty());
        ASSERT_EQ(Compile(whole, Path("whole.qdx"), options, nullptr, &error, 0, &leftOut), 1) << Utf16ToUtf8(error);
        EXPECT_EQ(leftOut, u"");
        EXPECT_FALSE(notWhole_);
        EXPECT_EQ(storedArticles_, stored);
        EXPECT_EQ(DumpAll(target_), DumpAll(Path("whole.qdx")));
    }
    // The source of `bytes` is refused over an old target, which stays: the
    // compile's error is `problem`, told once naming the source.
    void ExpectRefused(const std::string& bytes, const std::u16string& problem) {
        SilentCompileUi ui;
        std::u16string error;
        EXPECT_EQ(CompileOverOldTarget(bytes, error, &ui), 0);
        EXPECT_EQ(error, problem);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0], u"Cannot read file: " + source_ + u"\n" + problem);
        ExpectOldTargetKept();
    }
    void ExpectOldTargetKept() {
        EXPECT_EQ(ReadAll(target_), kOldTarget);
        EXPECT_FALSE(Exists(TemporaryPathBeside(target_)));
    }

    void SetUp() override {
        CompileFixture::SetUp();
        source_ = Path("source");
        target_ = Path("out.qdx");
    }

    const std::string kOldTarget = "the user's old dictionary file";
    std::u16string source_, target_;
};

// An article one unit past the largest record is refused with its line and
// the limit; the articles around it are stored exactly as in a source
// without it. One at the limit itself is stored.
TEST_F(SourceRefusals, AnArticleTooLargeForARecordIsLeftOutAndNamed) {
    WriteBytes(source_, kKanjidicHeader + kKanji1 + kKanji3);
    std::u16string error, leftOut;
    ASSERT_EQ(Compile(source_, Path("reference.qdx"), {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    const std::string reference = DumpAll(Path("reference.qdx"));
    const uint64_t limit = largestArticleBytes_;
    ASSERT_GT(limit, 1000000u);
    // The record: a 10-byte head and the line with its LF, "唖" and 13
    // units before the meaning, "}" after it: 2 x (meaning + 16) + 10 bytes.
    const size_t atLimit = static_cast<size_t>((limit - 42) / 2);
    ASSERT_EQ(2 * atLimit + 42, limit);
    for (size_t meaning : {atLimit, atLimit + 1}) {
        WriteBytes(source_, kKanjidicHeader + kKanji1 + kKanji2Head + std::string(meaning, 'x') + "}\n" + kKanji3);
        ASSERT_EQ(Compile(source_, target_, {}, nullptr, &error, 0, &leftOut), 1) << Utf16ToUtf8(error);
        EXPECT_TRUE(Verify(target_).empty());
        const uint32_t articles = IndexEntries(target_, 0);
        if (meaning == atLimit) {
            EXPECT_EQ(leftOut, u"");
            EXPECT_EQ(articles, 3u);
            continue;
        }
        EXPECT_EQ(leftOut, u"Line: 3\nError: The article is " + Utf8ToUtf16(std::to_string(limit + 2)) +
                               u" bytes long; a dictionary article holds at most " +
                               Utf8ToUtf16(std::to_string(limit)) + u" bytes. It was left out.");
        EXPECT_EQ(articles, 2u);
        EXPECT_EQ(DumpAll(target_), reference);
    }
}

// A source whose lines are of another format: with no article read it is
// refused and the old target stays; with some it compiles and counts the
// lines it skipped.
TEST_F(SourceRefusals, LinesOfAnotherFormatAreCountedAndNoArticleIsRefused) {
    std::u16string error, leftOut;
    // An EDICT header over KANJIDIC lines: none has a "/".
    EXPECT_EQ(CompileOverOldTarget(kEdictHeader + kKanji1 + kKanji3 + "\n", error), 0);
    EXPECT_EQ(error, u"The source holds no article this format can read: nothing was stored, and the old "
                     u"dictionary file is kept.\nLines skipped (not articles of this format): 2");
    ExpectOldTargetKept();
    // A KANJIDIC header over EDICT lines: 猫 and 犬 read as kanji, the two
    // lines whose first word is not one character are skipped.
    WriteBytes(source_, kKanjidicHeader + kEdictLines + "# a comment\n");
    ASSERT_EQ(Compile(source_, target_, {}, nullptr, &error, 0, &leftOut), 1) << Utf16ToUtf8(error);
    EXPECT_EQ(leftOut, u"Lines skipped (not articles of this format): 2");
    // The same lines under their own header skip nothing.
    WriteBytes(source_, kEdictHeader + kEdictLines);
    ASSERT_EQ(Compile(source_, target_, {}, nullptr, &error, 0, &leftOut), 1) << Utf16ToUtf8(error);
    EXPECT_EQ(leftOut, u"");
}

// Bytes that are not in the source's encoding are refused at their line.
TEST_F(SourceRefusals, TextNotInItsEncodingIsRefusedNamingTheLine) {
    struct Case {
        std::string bytes;
        std::u16string problem;
    };
    const Case cases[] = {
        // EDICT in EUC-JP with a Shift-JIS line (猫 as 94 4C).
        {kEdictHeader + "\xB8\xA4 [\xA4\xA4\xA4\xCC] /(n) dog/\n\x94L [\x82\xCB\x82\xB1] /(n) cat/\n",
         u"Line: 3\nError: The text is not EUC-JP."},
        // JR-EDICT (EUC-JP up to each "/", Windows-1251 after it) with a
        // Shift-JIS line, and with a UTF-8 one: its EUC-JP part is checked.
        {kJrEdictHeader + kJrEdictCat + "\x8C\xA2 [\x82\xA2\x82\xCA] /\xF1\xEE\xE1\xE0\xEA\xE0/\n",
         u"Line: 3\nError: The text is not EUC-JP."},
        {kJrEdictHeader + "\xE7\x8C\xAB [\xE3\x81\xAD\xE3\x81\x93] /\xEA\xEE\xF8\xEA\xE0/\n" + kJrEdictCat,
         u"Line: 2\nError: The text is not EUC-JP."},
        // An Examples file (read as UTF-8) in Shift-JIS from its third line.
        {"A: It is.\tIt is.#ID=1\nB: is\nA: \x94L\x82\xC5\x82\xB7\x81" "B\tIt is a cat.#ID=2\nB: \x94L\n",
         u"Line: 3\nError: The text is not UTF-8."},
        // A Tatoeba sentences file with a Shift-JIS line (its links beside it).
        {"1\tcmn\tx\n2\tjpn\t\xE7\x8C\xAB\n3\tjpn\t\x94L\n4\teng\tcat\n", u"Line: 3\nError: The text is not UTF-8."},
        // EIJIRO (Shift-JIS) with a line of UTF-8 beyond what Shift-JIS holds.
        {"\x81\xA1" "cat : \x94L\n\x81\xA1smile : \xF0\x9F\x98\x80\n", u"Line: 2\nError: The text is not Shift-JIS."},
        // PDIC whose third word's translation holds a Windows-1252 euro sign.
        {[] {
             const std::vector<uint8_t> file = WritePdicFile({{"apple", 0, "\x97\xd1\x8c\xe7", {}},
                                                               {"bank", 0, "\x8b\xe2\x8d\x73", {}},
                                                               {"cost", 0, "9 \x80", {}}});
             return std::string(file.begin(), file.end());
         }(),
         u"Article: 3\nError: The text is not Shift-JIS."},
    };
    WriteBytes(Path("links"), "2\t4\n3\t4\n");
    for (const Case& c : cases) ExpectRefused(c.bytes, c.problem);
}

// Each line format counts the lines that are no article of it: a DSL body
// line under no headword and a headword without a body, a YARXI group of the
// root that is no article, Tatoeba lines of either file that are no sentence
// or link, an EIJIRO line without its mark.
TEST_F(SourceRefusals, EveryLineFormatCountsTheLinesItSkips) {
    struct Case {
        std::string name;
        std::u16string utf16;  // written as UTF-16, else `bytes`
        std::string bytes;
        int64_t skipped;
    };
    const Case cases[] = {
        {"dict.dsl",
         u"#NAME \"Test\"\r\n#INDEX_LANGUAGE \"English\"\r\n#CONTENTS_LANGUAGE \"Russian\"\r\n\r\n\tstray body\r\n"
         u"cat\r\n\t[m1]кошка[/m1]\r\ndog\r\n\t[m1]собака[/m1]\r\nlonely\r\n",
         "", 2},
        {"kanji.yarxi", u"{\\yarxi \r\n{\\a 0001 {\\j 日}{\\on [NICHI]}}\r\n{\\x stray}\r\n{\\a 0002 {\\j 月}}\r\n}", "", 1},
        {"tatoeba/sentences.csv", u"",
         "1\tcmn\tx\n2\tjpn\t\xE7\x8C\xAB\nno sentence\n3\teng\tcat\n4\tjpn\t\xE7\x8A\xAC\n5\teng\tdog\n", 2},
        {"eijiro.txt", u"", "\x81\xA1" "cat : \x94L\nno mark : x\n\x81\xA1" "dog : \x8C\xA2\n", 1},
    };
    std::filesystem::create_directories(std::filesystem::path(Path("tatoeba")));
    WriteBytes(Path("tatoeba/links.csv"), "2\t3\nno link\n4\t5\n");
    Options options;
    options.languages[0] = u"jpn";
    options.languages[1] = u"eng";
    for (const Case& c : cases) {
        if (c.utf16.empty()) WriteBytes(Path(c.name), c.bytes);
        else WriteUtf16File(Path(c.name), c.utf16);
        std::u16string error, leftOut;
        ASSERT_EQ(Compile(Path(c.name), target_, options, nullptr, &error, 0, &leftOut), 1) << c.name << Utf16ToUtf8(error);
        EXPECT_EQ(leftOut, u"Lines skipped (not articles of this format): " + Utf8ToUtf16(std::to_string(c.skipped))) << c.name;
        EXPECT_EQ(storedArticles_, 2u) << c.name;
        EXPECT_FALSE(notWhole_) << c.name;
    }
}

// Own markup from Debian's EDICT cut in the middle of an article and just
// after one: the articles closed before the cut are stored, and the group
// left open is named by its line (the cut article's, or the outer group's).
TEST_F(SourceRefusals, OwnMarkupCutShortStoresWhatWasClosedAndNamesTheOpenGroup) {
    const std::u16string markup = EdictAsOwnMarkup(300);
    if (markup.empty()) GTEST_SKIP() << "edict not installed";
    const std::u16string cut = Path("cut.rdf"), whole = Path("whole.rdf");
    const size_t middle = markup.size() / 2;
    const size_t lineStart = markup.rfind(u'\n', middle) + 1;  // the cut article's first unit
    ASSERT_NE(markup.substr(middle, 2), u"\r\n");
    const int64_t line = std::count(markup.begin(), markup.begin() + static_cast<ptrdiff_t>(lineStart), u'\n') + 1;
    ASSERT_GT(line, 100);
    WriteUtf16File(whole, markup.substr(0, lineStart) + u"}");
    for (const size_t at : {middle, lineStart}) {
        WriteUtf16File(cut, markup.substr(0, at));
        ExpectCutTold(cut, whole, [&](uint32_t) {
            return u"The text ends inside a group opened at line " +
                   Utf8ToUtf16(std::to_string(at == middle ? line : 1)) + u" that is never closed.";
        });
    }
}

// JR-EDICT in EUC-JP and Windows-1251 as it should be compiles whole, its
// Russian read as such: the check of its EUC-JP parts refuses nothing valid.
TEST_F(SourceRefusals, JrEdictOfBothEncodingsCompiles) {
    WriteBytes(source_, kJrEdictHeader + kJrEdictCat + "\xB8\xA4 [\xA4\xA4\xA4\xCC] /\xF1\xEE\xE1\xE0\xEA\xE0/\n");
    std::u16string error, leftOut;
    ASSERT_EQ(Compile(source_, target_, {}, nullptr, &error, 0, &leftOut), 1) << Utf16ToUtf8(error);
    EXPECT_EQ(leftOut, u"");
    EXPECT_EQ(storedArticles_, 2u);
    // The articles' text, exported: the Russian of both lines as written.
    ASSERT_EQ(Compile(source_, Path("out.txt"), {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    const std::string bytes = ReadAll(Path("out.txt"));
    std::u16string exported(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < exported.size(); ++i)
        exported[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
    EXPECT_NE(exported.find(u"/кошка — cat/"), std::u16string::npos) << Utf16ToUtf8(exported);
    EXPECT_NE(exported.find(u"/собака/"), std::u16string::npos) << Utf16ToUtf8(exported);
}

// Debian's EDICT cut inside a line's senses, or inside the two bytes of its
// first character (a cut, not text of another encoding): the lines before
// the cut are stored as a source of them alone stores them, and the cut line
// is named and left out. Cut just after a closing "/" (no line end) it is whole.
TEST_F(SourceRefusals, EdictCutInsideALineIsToldAndLeftOut) {
    const std::vector<uint8_t> edict = ReadEdictFile("edict");
    if (edict.empty()) GTEST_SKIP() << "edict not installed";
    const std::string text(edict.begin(), edict.end());
    // Line 2,000 from its start: a part boundary lies before it (the source is
    // read in parts of 4,096 units here), so its number counts every part.
    size_t lineStart = 0;
    for (int line = 1; line < 2000; ++line) lineStart = text.find('\n', lineStart) + 1;
    const size_t lineEnd = text.find('\n', lineStart);
    const size_t inSenses = text.find('/', lineStart) + 4;
    ASSERT_LT(inSenses, lineEnd - 1);
    ASSERT_GE(static_cast<uint8_t>(text[lineStart]), 0xA1);
    WriteBytes(Path("whole.edict"), text.substr(0, lineStart));
    Options options;
    options.sourcePartUnits = 4096;
    for (const size_t cutAt : {inSenses, lineStart + 1}) {
        WriteBytes(Path("cut.edict"), text.substr(0, cutAt));
        ExpectCutTold(Path("cut.edict"), Path("whole.edict"), [](uint32_t) {
            return std::u16string(u"The last line (line 2000) ends before its closing \"/\": the source was cut "
                                  u"inside it, and its article was left out.");
        }, options);
    }
    WriteBytes(Path("cut.edict"), text.substr(0, lineEnd));
    std::u16string error, leftOut;
    ASSERT_EQ(Compile(Path("cut.edict"), target_, options, nullptr, &error, 0, &leftOut), 1) << Utf16ToUtf8(error);
    EXPECT_EQ(leftOut, u"");
    EXPECT_EQ(storedArticles_, 1999u);  // the header line is no article
}

// EDICT lines of which 500 end in CR alone are glued into one line by the
// LF line ends: each glued line is skipped and counted, none becomes a sense
// of another, and the lines around them are stored as without them.
TEST_F(SourceRefusals, EdictLinesGluedByLoneCrsAreSkippedEachAndCounted) {
    const std::vector<uint8_t> edict = ReadEdictFile("edict");
    if (edict.empty()) GTEST_SKIP() << "edict not installed";
    const std::string text(edict.begin(), edict.end());
    std::vector<std::string> lines;
    for (size_t at = 0; lines.size() < 3001;) {
        const size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    std::string glued, without;
    for (size_t i = 0; i < lines.size(); ++i) {
        const bool lone = i >= 1000 && i < 1500;  // lines 1,001 to 1,500 end in CR
        glued += lines[i] + (lone ? "\r" : "\n");
        if (!lone && i != 1500) without += lines[i] + "\n";
    }
    WriteBytes(Path("glued.edict"), glued);
    WriteBytes(Path("without.edict"), without);
    std::u16string error, leftOut;
    ASSERT_EQ(Compile(Path("without.edict"), Path("without.qdx"), {}, nullptr, &error), 1) << Utf16ToUtf8(error);
    ASSERT_EQ(Compile(Path("glued.edict"), target_, {}, nullptr, &error, 0, &leftOut), 1) << Utf16ToUtf8(error);
    EXPECT_EQ(leftOut, u"Lines skipped (not articles of this format): 501");
    EXPECT_EQ(storedArticles_, 2499u);
    EXPECT_EQ(DumpAll(target_), DumpAll(Path("without.qdx")));
}

// A DSL or WARODAI source cut inside a UTF-16 unit, and a DSL whose #INCLUDE
// names a file that is not there, are refused saying so; the old target stays.
TEST_F(SourceRefusals, DslAndWarodaiCutInsideAUnitOrMissingAnIncludeAreRefusedSayingWhy) {
    auto utf16 = [](std::u16string_view text) {
        std::string bytes = "\xFF\xFE";
        for (char16_t c : text) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
        return bytes;
    };
    const std::string dsl = utf16(u"#NAME \"Test\"\r\n#INDEX_LANGUAGE \"English\"\r\n#CONTENTS_LANGUAGE \"Russian\"\r\n"
                                  u"\r\ncat\r\n\t[m1]кошка[/m1]\r\n");
    const std::string warodai = utf16(u"ねこ【猫】(нэко)〔1〕\r\nкошка.\r\n\r\nいぬ【犬】(ину)〔1〕\r\nсобака.\r\n");
    struct Case {
        std::string bytes;
        std::u16string problem;
    };
    const std::u16string odd = u"The file has an odd number of bytes (%), so its UTF-16 text ends inside a character: "
                               u"the file was cut short.";
    auto oddOf = [&](size_t bytes) {
        std::u16string text = odd;
        const std::string digits = std::to_string(bytes);
        return text.replace(text.find(u'%'), 1, std::u16string(digits.begin(), digits.end()));
    };
    const Case cases[] = {
        {dsl + "\x0A", oddOf(dsl.size() + 1)},
        {warodai.substr(0, warodai.size() - 3), oddOf(warodai.size() - 3)},
        {dsl + utf16(u"#INCLUDE \"missing.dsl\"\r\n").substr(2),
         Path("missing.dsl") + u": the file an #INCLUDE line names cannot be read."},
    };
    for (const Case& c : cases) ExpectRefused(c.bytes, c.problem);
}

// A YARXI text cut inside its second article: the first is stored, the
// second is named by its line. Cut after the first article, with only the
// outer group open, the outer group is named.
TEST_F(SourceRefusals, YarxiCutShortStoresTheArticlesBeforeTheCut) {
    const std::u16string head = u"{\\yarxi \r\n{\\a 0001 {\\j 日}{\\n 72}{\\on [NICHI]}{\\kun хи}}\r\n";
    WriteUtf16File(Path("whole.yarxi"), head + u"}");
    WriteUtf16File(Path("cut.yarxi"), head + u"{\\a 0002 {\\j 月}{\\on [GE");
    ExpectCutTold(Path("cut.yarxi"), Path("whole.yarxi"),
                  [](uint32_t) { return u"The text ends inside a group opened at line 3 that is never closed."; });
    WriteUtf16File(Path("cut.yarxi"), head);
    ExpectCutTold(Path("cut.yarxi"), Path("whole.yarxi"),
                  [](uint32_t) { return u"The text ends inside a group opened at line 1 that is never closed."; });
}

// A PDIC file of 3,000 words cut at a block boundary and inside the next
// block, and one whole but for the one word more its header counts: the
// words before the cut are stored (within the cut block too), and the
// header's count is set beside the count read.
TEST_F(SourceRefusals, PdicCutShortStoresTheWordsBeforeTheCutAndCountsBoth) {
    std::vector<PdicTestWord> words;
    for (int i = 0; i < 3000; ++i) words.push_back({"word" + std::to_string(10000 + i), 0, "\x8c\xea" + std::to_string(i), {}});
    const std::vector<uint8_t> file = WritePdicFile(words);
    const size_t boundary = file.size() / 2 / 256 * 256;
    uint32_t storedAtBoundary = 0;
    for (const size_t at : {boundary, boundary + 100}) {
        WriteBytes(Path("cut.dic"), std::vector<uint8_t>(file.begin(), file.begin() + static_cast<ptrdiff_t>(at)));
        ExpectCutTold(Path("cut.dic"), Path("whole.dic"), [&](uint32_t read) {
            EXPECT_GT(read, 0u);
            EXPECT_LT(read, 3000u);
            if (at == boundary) storedAtBoundary = read;
            else EXPECT_GT(read, storedAtBoundary);  // the cut block's whole records are read
            WriteBytes(Path("whole.dic"), WritePdicFile(std::vector<PdicTestWord>(words.begin(), words.begin() + read)));
            return u"Words counted by the header: 3000; words in the file: " + Utf8ToUtf16(std::to_string(read));
        });
    }
    WriteBytes(Path("cut.dic"), WritePdicFile(words, 256, 3001));
    ExpectCutTold(Path("cut.dic"), Path("whole.dic"), [&](uint32_t read) {
        EXPECT_EQ(read, 3000u);
        WriteBytes(Path("whole.dic"), file);
        return std::u16string(u"Words counted by the header: 3001; words in the file: 3000");
    });
}

// What one compile left out, all at once: two reasons its source is not
// whole, lines skipped, and articles refused out of source order (a line
// after one named before it, then the first line, then an article named by
// its number): each told once on lines of its own, in the order met.
TEST_F(SourceRefusals, EverythingOneCompileLeftOutIsToldInOneText) {
    const std::u16string source = u"a\nb\nc\nd\r\ne\n";
    CompileReport report;
    report.SourceNotWhole(HeaderCountsMoreText(6, 5));
    report.SourceNotWhole(GroupNeverClosedText(4));
    report.SetStoredArticles(5);
    report.CountSkippedLines(2);
    report.RefuseTooLarge(source, source.find(u'e'), 9, 20, 10);
    report.RefuseTooLarge(source, source.find(u'b'), 9, 21, 10);
    report.RefuseTooLarge(source, 0, 9, 22, 10);
    report.RefuseTooLarge(source, std::u16string_view::npos, 7, 23, 10);
    auto refused = [](std::u16string_view place, std::u16string_view bytes) {
        return std::u16string(place) + u"\nError: The article is " + std::u16string(bytes) +
               u" bytes long; a dictionary article holds at most 10 bytes. It was left out.";
    };
    EXPECT_EQ(report.Text(), u"The source could not be read to its end; articles stored from the part that was read: 5\n"
                             u"Words counted by the header: 6; words in the file: 5\n"
                             u"The text ends inside a group opened at line 4 that is never closed.\n"
                             u"Lines skipped (not articles of this format): 2\n" +
                                 refused(u"Line: 5", u"20") + u"\n" + refused(u"Line: 2", u"21") + u"\n" +
                                 refused(u"Line: 1", u"22") + u"\n" + refused(u"Article: 7", u"23"));
}

// A Tatoeba sentences file cut in the middle of a line: the pairs whose
// sentences it still holds are stored, the links to sentences past its last
// one are counted; without those links the same file is whole.
TEST_F(SourceRefusals, TatoebaSentencesCutShortAreToldByTheLinksPastTheirEnd) {
    // The export begins with a Chinese sentence, by which the file is known.
    std::string sentences = "1\tcmn\t\xE4\xBD\xA0\xE5\xA5\xBD\n", links, linksBeforeCut;
    for (int pair = 0; pair < 100; ++pair) {
        const int japanese = 2 * pair + 2, english = 2 * pair + 3;
        sentences += std::to_string(japanese) + "\tjpn\t\xE7\x8C\xAB\xE3\x81\x8C" + std::to_string(pair) + "\xE5\x8C\xB9\n";
        sentences += std::to_string(english) + "\teng\t" + std::to_string(pair) + " cats are here.\n";
        links += std::to_string(japanese) + "\t" + std::to_string(english) + "\n" + std::to_string(english) + "\t" +
                 std::to_string(japanese) + "\n";
    }
    // Cut inside the text of a line in the middle of the file.
    const size_t cutAt = sentences.find(" cats", sentences.size() / 2) + 3;
    const std::string cutText = sentences.substr(0, cutAt);
    const size_t lastLine = cutText.rfind('\n') + 1;
    const int lastId = std::stoi(cutText.substr(lastLine));
    // The first link leads from the last sentence to the id just past it.
    links = std::to_string(lastId) + "\t" + std::to_string(lastId + 1) + "\n" + links;
    int pastEnd = 0, pairsBeforeCut = 0;
    for (size_t at = 0; at < links.size();) {
        const size_t end = links.find('\n', at);
        const std::string link = links.substr(at, end + 1 - at);
        const int first = std::stoi(link), second = std::stoi(link.substr(link.find('\t') + 1));
        if (std::max(first, second) > lastId) {
            ++pastEnd;
        } else {
            linksBeforeCut += link;
            pairsBeforeCut += first < second;
        }
        at = end + 1;
    }
    ASSERT_GT(pastEnd, 50);
    std::filesystem::create_directories(std::filesystem::path(Path("cut")));
    std::filesystem::create_directories(std::filesystem::path(Path("whole")));
    WriteBytes(Path("cut/sentences.csv"), cutText);
    WriteBytes(Path("cut/links.csv"), links);
    WriteBytes(Path("whole/sentences.csv"), cutText);
    WriteBytes(Path("whole/links.csv"), linksBeforeCut);
    Options options;
    options.languages[0] = u"jpn";
    options.languages[1] = u"eng";
    ExpectCutTold(
        Path("cut/sentences.csv"), Path("whole/sentences.csv"),
        [&](uint32_t) {
            return u"Links to sentences after the last one of the sentences file: " +
                   Utf8ToUtf16(std::to_string(pastEnd)) + u" (its last id is " + Utf8ToUtf16(std::to_string(lastId)) +
                   u")";
        },
        options);
    EXPECT_EQ(storedArticles_, static_cast<uint32_t>(pairsBeforeCut));
}

}  // namespace
