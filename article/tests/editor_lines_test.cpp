// Edited lines without a window: the kind a new article starts with, the
// automatic classification over the cases users meet while typing, every
// message of the check, and the markup an article is saved as.
#include <gtest/gtest.h>

#include "article/editor_lines.h"
#include "common/ui_text/hint_texts.h"
#include "common/ui_text/ui_text.h"

#include <vector>

namespace {

std::vector<EditorLine> Lines(std::initializer_list<std::pair<int32_t, std::u16string>> lines) {
    std::vector<EditorLine> out;
    for (const auto& [kind, text] : lines) out.push_back({kind, text, {}});
    return out;
}

std::vector<int32_t> Kinds(const std::vector<EditorLine>& lines) {
    std::vector<int32_t> kinds;
    for (const EditorLine& l : lines) kinds.push_back(l.kind);
    return kinds;
}

std::vector<int32_t> Classified(std::initializer_list<std::u16string> texts) {
    std::vector<EditorLine> lines;
    for (const std::u16string& t : texts) lines.push_back({0, t, {}});
    ClassifyLines(lines);
    return Kinds(lines);
}

TEST(EditorLines, InitialKindFollowsTheFirstSignificantCharacter) {
    EXPECT_EQ(InitialLineKind(u"  \u25C7 idiom"), kLineIdiom);
    EXPECT_EQ(InitialLineKind(u"\u2022note"), kLineNote);
    EXPECT_EQ(InitialLineKind(u"\uFF5Eexample"), kLineExample);
    EXPECT_EQ(InitialLineKind(u"love"), kLineTranslation);
    EXPECT_EQ(InitialLineKind(u"\u3042\u3044"), kLineReading);  // あい
    EXPECT_EQ(InitialLineKind(u"\u611B"), kLineKanji);          // 愛
    EXPECT_EQ(InitialLineKind(u"\u3000\u611B"), kLineKanji);    // an ideographic space is skipped as "other"
    EXPECT_EQ(InitialLineKind(u"\u3040\u30FF\u611B"), kLineKanji);  // the range is open at both ends
    EXPECT_EQ(InitialLineKind(u"\u2600"), kLineTranslation);    // no decision
    EXPECT_EQ(InitialLineKind(u""), kLineTranslation);
}

TEST(EditorLines, ClassificationAsTheUserTypes) {
    // Kana: the reading, then the word, then a translation, then an example.
    EXPECT_EQ(Classified({u"\u3042\u3044", u"\u3042\u3044", u"\u3042\u3044", u"\u3042\u3044"}),
              (std::vector<int32_t>{kLineReading, kLineKanji, kLineTranslation, kLineExample}));
    // A kanji first is the word, later ones are examples.
    EXPECT_EQ(Classified({u"\u611B", u"\u3042\u3044", u"\u611B\u3059\u308B"}),
              (std::vector<int32_t>{kLineKanji, kLineTranslation, kLineExample}));
    EXPECT_EQ(Classified({u"\uFF5E\u3059\u308B", u"\u2022 note", u"\u25C7 idiom", u"love"}),
              (std::vector<int32_t>{kLineExample, kLineNote, kLineIdiom, kLineTranslation}));
    // The empty line being typed becomes what the article lacks, and ends the run.
    EXPECT_EQ(Classified({u""}), (std::vector<int32_t>{kLineReading}));
    EXPECT_EQ(Classified({u"\u3042\u3044", u"", u"x"}), (std::vector<int32_t>{kLineReading, kLineKanji, 0}));
    EXPECT_EQ(Classified({u"\u611B", u""}), (std::vector<int32_t>{kLineKanji, kLineTranslation}));
    // Leading blanks reset the kind before the deciding character.
    std::vector<EditorLine> spaced = Lines({{kLineKanji, u" -"}});
    ClassifyLines(spaced);
    EXPECT_EQ(spaced[0].kind, kLineTranslation);
    std::vector<EditorLine> undecided = Lines({{kLineNote, u"\u2600"}, {kLineNote, u" \u2600"}});
    ClassifyLines(undecided);
    EXPECT_EQ(Kinds(undecided), (std::vector<int32_t>{kLineNote, kLineUndefined}));
}

TEST(EditorLines, UserKindsStayAndCountOnlyAsReadingWordOrTranslation) {
    std::vector<EditorLine> lines =
        Lines({{kUserKind + kLineTranslation, u"\u3042"}, {0, u"\u3042"}, {kUserKind + kLineNote, u"\u611B"}, {0, u"\u611B"}});
    ClassifyLines(lines);
    EXPECT_EQ(Kinds(lines), (std::vector<int32_t>{kUserKind + kLineTranslation, kLineExample, kUserKind + kLineNote,
                                                  kLineExample}));
}

TEST(EditorLines, EveryCheckMessage) {
    auto check = [](std::initializer_list<std::pair<int32_t, std::u16string>> lines) { return CheckLines(Lines(lines)); };
    LineCheck empty = check({{kLineReading, u"  "}, {kLineTranslation, u"\u3000"}});
    EXPECT_EQ(empty.problems, u"Empty Article\r\nHead word missed\r\nTranslation missed\r\n");
    EXPECT_FALSE(empty.canSave);
    LineCheck onlyTranslation = check({{kLineTranslation, u"love"}});
    EXPECT_EQ(onlyTranslation.problems, u"Head word missed\r\n");
    EXPECT_FALSE(onlyTranslation.canSave);
    LineCheck kanjiOnly = check({{kUserKind + kLineKanji, u"\u611B"}, {kLineTranslation, u"love"}});
    EXPECT_EQ(kanjiOnly.problems, u"Reading missed\r\n");
    EXPECT_TRUE(kanjiOnly.canSave);
    EXPECT_EQ(kanjiOnly.headwords, 1);
    EXPECT_EQ(check({{kLineReading, u"\u3042\u3044"}}).problems, u"Kanji missed\r\nTranslation missed\r\n");
    LineCheck both = check({{kLineLetters, u"ai"}, {kLineKanji, u"\u611B"}, {kLineTranslation, u"love"}});
    EXPECT_EQ(both.problems, u"Two headwords: in kanji and in alphabetic characters.\r\n");
    EXPECT_TRUE(both.canSave);
    EXPECT_EQ(both.headwords, 2);
    EXPECT_EQ(check({{kLineReading, u"a"}, {kLineKanji, u"b"}, {kLineTranslation, u"c"}}).problems, u"");
    // In the Russian and Japanese interfaces the messages are theirs.
    SetUILanguage(0);
    EXPECT_EQ(check({{kLineTranslation, u"love"}}).problems, u"\u041D\u0435\u0442 \u0437\u0430\u0433\u043B\u0430\u0432\u043D\u043E\u0433\u043E \u0441\u043B\u043E\u0432\u0430\r\n");
    SetUILanguage(2);
    EXPECT_EQ(check({{kLineReading, u"\u3042\u3044"}}).problems, u"\u6F22\u5B57\u8868\u8A18\u304C\u3042\u308A\u307E\u305B\u3093\r\n\u8A33\u8A9E\u304C\u3042\u308A\u307E\u305B\u3093\r\n");
    SetUILanguage(1);
}

TEST(EditorLines, ArticleTextEscapesAndSkipsEmptyLines) {
    std::vector<EditorLine> lines = Lines({{kLineKanji, u" \u611B "},
                                           {kLineReading, u"\u3042\u3044"},
                                           {kLineTranslation, u""},
                                           {kUserKind + kLineTranslation, u"a {b} \\c"},
                                           {kLineLetters, u"ai"},
                                           {kLineExample, u"x"},
                                           {kLineNote, u"n"},
                                           {kLineIdiom, u"i"},
                                           {kLineUndefined, u"u"}});
    EXPECT_EQ(WriteArticleText(lines), u"{\\a \n{\\k \u611B}\n{\\r \u3042\u3044}\n{\\s a \\{b\\} \\\\c}\n{\\rus ai}\n"
                                       u"{\\x x}\n{\\note n}\n{\\idi i}\n{\\unk u}\n}\n");
}

TEST(EditorLines, BoldAndItalicNeverLeakAcrossLines) {
    constexpr uint16_t B = kCharBold, I = kCharItalic;
    std::vector<EditorLine> lines = {
        {kLineTranslation, u"ab", {I | B, I}},  // both open, bold closes inside
        {kLineKanji, u"\u611B", {B}},           // no tags in a headword line
        {kLineTranslation, u"cd", {B, B}},      // a run going on from the headword line opens again
        {kLineTranslation, u"e", {0}},
    };
    EXPECT_EQ(WriteArticleText(lines),
              u"{\\a \n{\\s <i><b>a</b>b</i>}\n{\\k \u611B}\n{\\s <b>cd</b>}\n{\\s e}\n}\n");
}

TEST(EditorLines, StoredArticlesReadBackAsTheirLines) {
    constexpr uint16_t B = kCharBold, I = kCharItalic;
    const std::vector<EditorLine> lines = {
        {kUserKind + kLineKanji, u"\u611B", {}},
        {kLineReading, u"\u3042\u3044", {}},
        {kLineTranslation, u"a {b} \\c <x>", {0, I, I, I | B, B, B, 0, 0, 0, 0, 0, 0}},
        {kLineNote, u"n", {B}},
    };
    const std::u16string text = WriteArticleText(lines);
    const std::vector<EditorLine> read = ReadArticleLines(text);
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[0].kind, kLineKanji);
    EXPECT_EQ(read[2].text, u"a {b} \\c <x>");
    EXPECT_EQ(read[2].attributes, lines[2].attributes);
    EXPECT_EQ(WriteArticleText(read), text);
    // Nested groups of other writers give one line each.
    const std::vector<EditorLine> edict = ReadArticleLines(u"{\\a {\\k \u611B}{\\r \u3042\u3044}{\\s {\\rus love}}}");
    ASSERT_EQ(edict.size(), 3u);
    EXPECT_EQ(edict[2].kind, kLineTranslation);
    EXPECT_EQ(edict[2].text, u"love");
    EXPECT_TRUE(ReadArticleLines(u"no article").empty());
}

// Each kind button's hint names the key that sets the kind and, in English and
// Japanese, the words of that kind's line hint (Russian nouns inflect there).
TEST(EditorLines, KindButtonHintsNameTheirKindAndKey) {
    for (uint32_t key = 0x71; key <= 0x77; ++key) {  // F2 to F8
        const uint32_t command = EditorKeyCommand(key, false, false);
        const int32_t kind = KindOfCommand(command);
        const std::u16string fKey = u"(F" + std::u16string(1, static_cast<char16_t>(u'0' + key - 0x6F)) + u")";
        for (int32_t language : {0, 1, 2}) {
            const std::u16string hint = GetHintText(static_cast<int32_t>(command), 2, language);
            EXPECT_NE(hint.find(fKey), std::u16string::npos) << command << " " << language;
            if (language == 0) continue;
            const size_t colon = hint.find_first_of(u":\uFF1A");
            const size_t open = hint.rfind(u" (");
            ASSERT_TRUE(colon != std::u16string::npos && open != std::u16string::npos && open > colon) << command;
            std::u16string name = hint.substr(colon + 1, open - colon - 1);
            if (!name.empty() && name[0] == u' ') name.erase(0, 1);
            const std::u16string line = GetHintText(kind, 8, language);
            EXPECT_NE(line.find(name), std::u16string::npos) << command << " " << language;
        }
    }
    EXPECT_NE(std::u16string(GetHintText(40642, 2, 1)).find(u"selected articles"), std::u16string::npos);
}

TEST(EditorLines, KeyTable) {
    EXPECT_EQ(EditorKeyCommand(0x71, false, false), 40615u);  // F2
    EXPECT_EQ(EditorKeyCommand(0x78, false, false), 40631u);  // F9
    EXPECT_EQ(EditorKeyCommand('S', true, false), 1362u);
    EXPECT_EQ(EditorKeyCommand('N', true, false), 1017u);
    EXPECT_EQ(EditorKeyCommand('V', true, false), kPasteKey);
    EXPECT_EQ(EditorKeyCommand(0x2D, false, true), kPasteKey);
    EXPECT_EQ(EditorKeyCommand('S', false, false), 0u);
    EXPECT_EQ(KindOfCommand(40630), kLineIdiom);
    EXPECT_EQ(KindOfCommand(40632), -1);
}

}  // namespace
