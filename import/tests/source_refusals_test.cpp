// What the compiler leaves out of a source and what it refuses, with the
// exact texts the user reads: an article too large for a record (the rest
// stored as without it), lines that are no article of the format (counted),
// a source in which no article could be read and a source not in its
// encoding (refused, the old target file kept byte for byte).
#include "import/tests/compile_fixture.h"

#include "import/target_paths.h"

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
        // An Examples file (read as UTF-8) in Shift-JIS from its third line.
        {"A: It is.\tIt is.#ID=1\nB: is\nA: \x94L\x82\xC5\x82\xB7\x81" "B\tIt is a cat.#ID=2\nB: \x94L\n",
         u"Line: 3\nError: The text is not UTF-8."},
    };
    for (const Case& c : cases) {
        SilentCompileUi ui;
        std::u16string error;
        EXPECT_EQ(CompileOverOldTarget(c.bytes, error, &ui), 0);
        EXPECT_EQ(error, c.problem);
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0], u"Cannot read file: " + source_ + u"\n" + c.problem);
        ExpectOldTargetKept();
    }
}

}  // namespace
