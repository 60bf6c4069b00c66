// The RTF document builder: exact bytes of characters, font switches,
// colours, the head and the chain, the three ways out, and the font class of
// every code point against Unicode's own block list.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "article/rtf_document.h"
#include "article/rtf_font_class.h"
#include "article/tests/rtf_lint.h"
#include "common/tests/fake_app_context.h"
#include "common/tests/test_files.h"

namespace {

std::string Head(uint32_t flags = 0, std::string colours = "", std::string columns = "\\cols2") {
    return std::string(kRtfHeader) + std::string(kRtfFontTable) + colours +
           std::string((flags & 0x100) ? kRtfStylesheet : "") +
           std::string((flags & 2) ? kRtfGeneratorViewKind4 : kRtfGeneratorViewKind1) + columns;
}

std::string PieceOf(std::u16string_view text, int32_t language = kRtfLanguageJapanese, uint32_t pieceFlags = 0) {
    CRtfDocumentBuilder document(0);
    CRtfArticleBuilder* piece = document.AddArticle();
    piece->language = language;
    piece->flags = pieceFlags;
    piece->AppendText(text);
    return std::string(piece->Bytes());
}

TEST(RtfCharacters, WrittenAsSignedSixteenBitUnitsWithFontSwitches) {
    EXPECT_EQ(PieceOf(u"A"), "\\f0\\fs20 \\u65");
    EXPECT_EQ(PieceOf(u"я"), "\\f0\\fs20 \\u1103");
    EXPECT_EQ(PieceOf(u"日"), "\\f2\\fs20 \\u26085");
    EXPECT_EQ(PieceOf(u"日", kRtfLanguageJapanese, kRtfGothicFace), "\\f1\\fs20 \\u26085");
    // Fullwidth forms (subset 68) have no font of their own.
    EXPECT_EQ(PieceOf(u"\uFF01"), "\\f0\\fs20 \\u-255");
    // A supplementary ideograph in a Japanese piece: font 10, both units.
    EXPECT_EQ(PieceOf(u"\U00020000"), "\\f10\\fs20 \\u-10176\\u-9216");
    // One switch for two letters with a digit between them.
    EXPECT_EQ(PieceOf(u"a1b"), "\\f0\\fs20 \\u97\\u49\\u98");
    // Outside Japanese text, BMP CJK is written in the Chinese face.
    EXPECT_EQ(PieceOf(u"日", kRtfLanguageChinese), "\\f4\\fs20 \\u26085");
    EXPECT_EQ(PieceOf(u"ア", kRtfLanguageNone), "\\f4\\fs20 \\u12450");
    // The edges of the signed value: the last positive unit, the first and
    // the last negative one.
    EXPECT_EQ(PieceOf(u"\u7FFF\u8000"), "\\f2\\fs20 \\u32767\\u-32768");
    EXPECT_EQ(PieceOf(u"\uFFFF").substr(PieceOf(u"\uFFFF").rfind('\\')), "\\u-1");
}

TEST(RtfCharacters, ControlUnitsNeverReachTheDocumentRaw) {
    EXPECT_EQ(PieceOf(u"a\tb\nc"), "\\f0\\fs20 \\u97\\tab \\u98\\line \\u99");
    EXPECT_EQ(PieceOf(std::u16string(u"a\0\x01\x1F" u"b", 5)), "\\f0\\fs20 \\u97\\u98");
    // A lone low surrogate stands for itself; a lone high one is dropped.
    EXPECT_EQ(PieceOf(u"\xDC00"), "\\f2\\fs20 \\u-9216");
    EXPECT_EQ(PieceOf(u"\xD800" u"A"), "\\f0\\fs20 \\u65");
}

TEST(RtfCharacters, NumbersGoThroughTheTextPath) {
    CRtfDocumentBuilder document(0);
    CRtfArticleBuilder* piece = document.AddArticle();
    piece->AppendRaw("\\pard");
    piece->AppendNumber(23);
    EXPECT_EQ(piece->Bytes(), "\\pard\\f0\\fs20 \\u50\\u51");
}

TEST(RtfColours, TableNumbersInFullAndBlackIsTheDefault) {
    CRtfDocumentBuilder document(0);
    CRtfArticleBuilder* piece = document.AddArticle();
    for (uint32_t i = 1; i <= 120; ++i) piece->SetColor(RtfRgb(i, 0, 0));
    piece->SetColor(RtfRgb(10, 0, 0));
    piece->SetColor(0);
    const std::string bytes(piece->Bytes());
    EXPECT_NE(bytes.find("\\cf9\\cf10\\cf11"), std::string::npos);
    EXPECT_NE(bytes.find("\\cf120\\cf10\\cf0"), std::string::npos);
    const std::string whole = document.Document();
    EXPECT_NE(whole.find("{\\colortbl ;\\red1\\green0\\blue0;"), std::string::npos);
    EXPECT_NE(whole.find("\\red120\\green0\\blue0;}"), std::string::npos);
    EXPECT_EQ(RtfLint(whole), "");
}

TEST(RtfColours, DisplayClassesTakeTheArticleViewsColours) {
    CRtfDocumentBuilder document(0);
    CRtfArticleBuilder* piece = document.AddArticle();
    for (uint32_t c : {0x20u, 0x30u, 0x40u, 0x50u}) piece->SetColorClass(c);
    EXPECT_EQ(piece->Bytes(), "\\cf1\\cf2\\cf0\\cf3");
    EXPECT_NE(document.Document().find(
                  "{\\colortbl ;\\red127\\green0\\blue0;\\red0\\green0\\blue127;\\red127\\green127\\blue127;}"),
              std::string::npos);
}

TEST(RtfDocument, HeadChainAndClosingBrace) {
    CRtfDocumentBuilder empty(0);
    EXPECT_EQ(empty.Document(), Head() + "}");
    CRtfDocumentBuilder styled(0x102);
    styled.columns = 3;
    EXPECT_EQ(styled.Document(), Head(0x102, "", "\\cols3") + "}");
    CRtfDocumentBuilder single(0);
    single.columns = 1;
    EXPECT_EQ(single.Document(), Head(0, "", "") + "}");

    CRtfDocumentBuilder one(0);
    one.blankLines = 3;
    one.AddArticle()->AppendRaw("X");
    EXPECT_EQ(one.Document(), Head() + "X}");

    CRtfDocumentBuilder three(0);
    three.blankLines = 3;
    for (const char* t : {"A", "B", "C"}) three.AddArticle()->AppendRaw(t);
    const std::string blank3 = "\\par\n\\par\n\\par\n";
    EXPECT_EQ(three.Document(), Head() + "A" + blank3 + "B" + blank3 + "C}");
    // Completed once: a second way out gives the same bytes, one head.
    EXPECT_EQ(three.Document(), Head() + "A" + blank3 + "B" + blank3 + "C}");
}

TEST(RtfDocument, MemoryHandsOutTheWholeDocument) {
    CRtfDocumentBuilder document(2);
    for (int i = 0; i < 5; ++i) document.AddArticle()->AppendText(u"日本語 text");
    const std::string whole = document.Document();
    std::unique_ptr<char[]> block;
    ASSERT_EQ(document.ToMemory(block), static_cast<int32_t>(whole.size()));
    EXPECT_EQ(std::string(block.get()), whole);
}

// A piece gives back its reserve when the next is added: its bytes go to
// the document's store and its buffer to the next piece, which grows it by
// half again (never to the next power of two); a piece written to again
// after that keeps its bytes. One that may not grow is emptied for good
// while the pieces around it and the document stay whole.
TEST(RtfDocument, PiecesHoldWhatTheyHoldAndOneThatCannotGrowStaysEmpty) {
    CRtfDocumentBuilder document(0);
    CRtfArticleBuilder* first = document.AddArticle();
    first->AppendRaw(std::string(100, 'x'));
    first->AppendRaw("y");
    EXPECT_EQ(first->Capacity(), 151u);
    first->Reserve(5000);
    EXPECT_EQ(first->Capacity(), 5001u);
    first->AppendRaw("abc");
    CRtfArticleBuilder* second = document.AddArticle();
    EXPECT_EQ(first->Capacity(), 4u);
    EXPECT_EQ(first->Bytes(), "abc");
    second->AppendRaw(std::string(5000, 'x'));
    EXPECT_EQ(second->Capacity(), 5001u);   // the first piece's buffer
    second->AppendRaw("y");
    EXPECT_EQ(second->Capacity(), 7501u);
    second->Reserve(2000);
    second->AppendRaw(std::string(1025, 'x'));
    document.Document();
    EXPECT_EQ(second->Capacity(), 1026u);  // the last piece too, at completion
    const size_t head = document.Document().size() - 3 - 5 - 1025 - 1;
    EXPECT_EQ(document.HeldBytes(), 4u + 1026u + head + 1);
    first->AppendRaw("d");
    EXPECT_EQ(first->Bytes(), "abcd");
    EXPECT_EQ(second->Bytes(), std::string(1025, 'x'));

    CRtfDocumentBuilder limited(0);
    limited.memoryLimit = 300;
    limited.AddArticle()->AppendRaw(std::string(200, 'a'));
    CRtfArticleBuilder* full = limited.AddArticle();
    full->AppendRaw(std::string(50, 'b'));
    full->AppendRaw(std::string(60, 'c'));  // 201 + 111 bytes: over the limit
    EXPECT_TRUE(full->Failed());
    full->AppendRaw("d");
    full->AppendText(u"e");
    EXPECT_TRUE(full->Bytes().empty());
    EXPECT_EQ(limited.HeldBytes(), 201u);
    limited.AddArticle()->AppendRaw("f");
    EXPECT_TRUE(limited.Cut());
    EXPECT_EQ(limited.Document(), Head() + std::string(200, 'a') + "\\par\n\\par\nf}");
}

TEST(RtfDocument, SavedFileHasCrLfLineEnds) {
    FakeAppContext app;
    ScopedAppContext scope(app);
    ScratchFolder folder("rtf-save");
    CRtfDocumentBuilder document(0);
    document.AddArticle()->NewParagraph();
    document.AddArticle()->AppendText(u"x");
    const std::filesystem::path file = folder / "out.rtf";
    ASSERT_EQ(document.SaveToFile(file.u16string().c_str()), 1);
    const std::vector<unsigned char> bytes = ReadBytes(file);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), Head() + "\\par\r\n\\par\r\n\\f0\\fs20 \\u120}");
    EXPECT_TRUE(app.messages.empty());

    EXPECT_EQ(document.SaveToFile((folder / "missing" / "out.rtf").u16string().c_str()), 0);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Cannot start writing the document file.");
}

#ifndef _WIN32
// A save that fails half-way (the file-size limit stands in for a full disk)
// over the user's file: the old file keeps its bytes, no temporary file is
// left beside it, and the user is told; with room again the save replaces it.
TEST(RtfDocument, AFailedSaveKeepsTheFileItWasToReplace) {
    FakeAppContext app;
    ScopedAppContext scope(app);
    ScratchFolder folder("rtf-full");
    const std::filesystem::path file = folder / "words.rtf";
    const std::vector<unsigned char> old = {'o', 'l', 'd'};
    WriteBytes(file, old);
    CRtfDocumentBuilder document(0);
    document.AddArticle()->AppendText(std::u16string(100000, u'x'));
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{16384, limit.rlim_max};
    void (*const handler)(int) = std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int32_t saved = document.SaveToFile(file.u16string().c_str());
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(ReadBytes(file), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Cannot write a file.");
    EXPECT_EQ(app.messages[0].caption, u"Write errors");

    ASSERT_EQ(document.SaveToFile(file.u16string().c_str()), 1);
    EXPECT_EQ(ReadText(file), document.Document());  // no line ends to change
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}
#endif

// Expected font class of a block, by its name in Unicode's Blocks.txt.
int32_t ExpectedClassOfBlock(const std::string& name, uint32_t first) {
    static const std::map<std::string, int32_t> classes = {
        {"Devanagari", 7}, {"Tamil", 8}, {"Thai", 10},
        {"Hangul Jamo", 3}, {"Hangul Compatibility Jamo", 3}, {"Hangul Syllables", 3},
        {"CJK Symbols and Punctuation", 1}, {"Hiragana", 1}, {"Katakana", 1},
        {"Katakana Phonetic Extensions", 1}, {"Bopomofo", 1}, {"Bopomofo Extended", 1},
        {"Enclosed CJK Letters and Months", 1}, {"CJK Compatibility", 1},
        {"High Surrogates", 1}, {"High Private Use Surrogates", 1}, {"Low Surrogates", 1},
        {"CJK Unified Ideographs", 1}, {"CJK Radicals Supplement", 1}, {"Kangxi Radicals", 1},
        {"Ideographic Description Characters", 1}, {"Kanbun", 1}, {"CJK Strokes", 1},
        {"CJK Unified Ideographs Extension A", 1}, {"Private Use Area", 1},
        {"CJK Compatibility Ideographs", 1}, {"Vertical Forms", 1}, {"CJK Compatibility Forms", 1},
        {"Yi Syllables", 4}, {"Yi Radicals", 4},
        // Transcriptions: the face that holds every script, not the default one.
        {"IPA Extensions", 9}, {"Phonetic Extensions", 9}, {"Phonetic Extensions Supplement", 9},
        {"Spacing Modifier Letters", 9}, {"Modifier Tone Letters", 9},
        {"Combining Diacritical Marks", 9}, {"Combining Diacritical Marks Supplement", 9},
    };
    // Every block of planes 2 and 3 holds supplementary ideographs.
    if (first >= 0x20000 && first <= 0x3FFFF) return 11;
    auto found = classes.find(name);
    return found == classes.end() ? 0 : found->second;
}

TEST(RtfFontClass, EveryCodePointFollowsItsUnicodeBlock) {
    std::ifstream blocks(HostPath("/usr/share/unicode/Blocks.txt"));
    if (!blocks) GTEST_SKIP() << "unicode-data is not installed";
    std::map<uint32_t, int32_t> expected;   // code point -> class, for code points in a block
    std::string line;
    int blockCount = 0;
    while (std::getline(blocks, line)) {
        if (line.empty() || line[0] == '#') continue;
        const size_t dots = line.find(".."), semicolon = line.find(';');
        if (dots == std::string::npos || semicolon == std::string::npos) continue;
        const uint32_t first = std::stoul(line.substr(0, dots), nullptr, 16);
        const uint32_t last = std::stoul(line.substr(dots + 2, semicolon - dots - 2), nullptr, 16);
        std::string name = line.substr(semicolon + 1);
        while (!name.empty() && (name.front() == ' ')) name.erase(0, 1);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\r')) name.pop_back();
        const int32_t fontClass = ExpectedClassOfBlock(name, first);
        ++blockCount;
        for (uint32_t cp = first; cp <= last; ++cp) {
            int32_t want = fontClass;
            if (cp == 0x25C7) want = 1;  // the idiom mark is written in the Japanese face
            if (GetCharFontClass(cp) != want) {
                ADD_FAILURE() << std::hex << "U+" << cp << " in " << name << ": " << GetCharFontClass(cp);
                return;
            }
        }
    }
    EXPECT_GT(blockCount, 300);
    // ASCII letters are subset 0; digits and punctuation are in no subset.
    EXPECT_EQ(GetUnicodeSubsetIndex(u'A'), 0);
    EXPECT_EQ(GetUnicodeSubsetIndex(u'z'), 0);
    EXPECT_EQ(GetUnicodeSubsetIndex(u'5'), -1);
    EXPECT_EQ(GetUnicodeSubsetIndex(u'['), -1);
    EXPECT_EQ(GetUnicodeSubsetIndex(0x85), -1);
    EXPECT_EQ(GetUnicodeSubsetIndex(0x20000), 128);
    EXPECT_EQ(GetSubsetFontClass(129), 0);
    EXPECT_EQ(GetSubsetFontClass(-1), 0);
}

}  // namespace
