// The translate-text entry under Wine with a real RichEdit input box and a
// frame window that records its commands: the three modes, the quiet
// input-box update, the list switch, the Western look-up in the
// reverse-translation index and the fall-back to the lexicon.
// First: the fixture calls CDMS::CreateFile, which <windows.h> would rename.
#include "japanese/tests/translator_fixture.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>
#include "article/win/rich_edit.h"
#include "common/ui_text/ui_text.h"
#include "ui/command_ids.h"
#include "ui/frame_translate.h"

namespace {

using namespace ostrel::japanese;

std::vector<uint32_t> g_commands;  // WM_COMMAND ids the frame received
int g_changeNotices = 0;           // EN_CHANGE from the input box

LRESULT CALLBACK RecordingFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        if (HIWORD(wParam) == EN_CHANGE) ++g_changeNotices;
        else g_commands.push_back(LOWORD(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class StandInLists final : public ITranslationLists {
public:
    HWND FrameWindow() override { return frame; }
    CRichEdit* InputBox() override { return input; }
    WordList* TranslatedWords() override { return list; }
    void ClearTranslatedWordsView() override { ++clears; }
    int32_t CurrentKind() override { return kind; }
    void SelectHitAtCaret(int32_t caret) override { selectedCaret = caret; }
    std::u16string UpdateInput() override {
        wchar_t text[1100] = {};
        if (input) GetWindowTextW(input->Window(), text, 1100);
        return std::u16string(reinterpret_cast<const char16_t*>(text));
    }
    bool HasReverseView() override { return true; }
    void ShowTranslatedWordsFromTop() override { ++shownFromTop; }
    bool SearchLexicon() override {
        ++lexiconSearches;
        return true;
    }
    void RecordInputState() override { ++recorded; }
    void ForgetInputState() override { ++forgotten; }
    void UpdateCommandStates(uint32_t command) override { states.push_back(command); }
    void TellListedInPart(std::u16string_view text, int32_t stop) override {
        toldListed.emplace_back(text, stop);
        toldWithRowsSelected.push_back(selectedCaret >= 0);
    }

    WordList* list = nullptr;
    HWND frame = nullptr;
    CRichEdit* input = nullptr;
    int32_t kind = 4;
    int32_t selectedCaret = -1;
    int clears = 0, shownFromTop = 0, lexiconSearches = 0, recorded = 0, forgotten = 0;
    std::vector<uint32_t> states;
    std::vector<std::pair<std::u16string, int32_t>> toldListed;  // texts listed in part, where they stopped
    std::vector<bool> toldWithRowsSelected;                       // ... told after the hit at the caret was selected
};

class FrameTranslateTest : public TranslatorTest {
protected:
    // A row of the list's first dictionary's `record`, of `length` units of
    // the text, with `note` (the analyser's reading) when it is not empty.
    void AddRecordRow(int32_t length, uint32_t record, std::u16string_view note) {
        WordListEntry* row = list->AddEntry(nullptr, 0, length, nullptr);
        row->dictionary = list->CursorAt(0)->dictionary;
        row->recordId = record;
        if (note.empty()) return;
        row->flags |= kEntryNote;
        row->noteOffset = static_cast<uint32_t>(list->AddText(note));
        row->noteLength = static_cast<uint32_t>(note.size());
    }
    static constexpr std::u16string_view kTexts = u"私は学生です猫がいる食べました";

    void SetUp() override {
        Dictionaries([](TranslatorDictionaries& d) {
            std::vector<KeyPair> keys = EdictSlice(0, kTexts);
            std::vector<std::u16string> reverse(keys.size());
            reverse[0] = u"cat";
            d.Add(u"C:\\D\\edict.qdx", keys, 1, reverse);
        });
        MakeList();
        LoadLibraryW(L"Riched20.dll");
        WNDCLASSW frameClass{};
        frameClass.lpfnWndProc = RecordingFrameProc;
        frameClass.hInstance = GetModuleHandleW(nullptr);
        frameClass.lpszClassName = L"TranslateTestFrame";
        RegisterClassW(&frameClass);
        frame = CreateWindowExW(0, L"TranslateTestFrame", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        inputBox = std::make_unique<CRichEdit>(frame, true, 202, 0, 0, 380, 30, false);
        input = inputBox->Window();
        SendMessageW(input, EM_SETEVENTMASK, 0, ENM_CHANGE);
        lists.list = list.get();
        lists.input = inputBox.get();
        lists.frame = frame;
        entry = std::make_unique<FrameTranslator>(lists, nullptr);
        g_commands.clear();
        g_changeNotices = 0;
    }
    void TearDown() override {
        entry.reset();
        DestroyWindow(frame);
        inputBox.reset();
        TranslatorTest::TearDown();
    }
    std::u16string InputText() { return lists.UpdateInput(); }
    // Whether the list holds a hit of the reverse-translation index over [start, start + length).
    bool HasReverseHit(int32_t start, int32_t length) {
        for (int32_t i = 0; i < list->EntryCount(); ++i) {
            const WordListEntry& e = list->EntryAt(i);
            if (e.indexId == kIndexTranslationWords && e.matchStart == start && e.matchLength == length) return true;
        }
        return false;
    }

    HWND frame = nullptr, input = nullptr;
    std::unique_ptr<CRichEdit> inputBox;
    StandInLists lists;
    std::unique_ptr<FrameTranslator> entry;
};

TEST_F(FrameTranslateTest, InputLineModeTranslatesSwitchesToTheListAndSelectsTheCaretHit) {
    SetWindowTextW(input, L"私は学生です");
    g_changeNotices = 0;
    entry->TranslateText(u"私は学生です", 2, 0, 0, 2);
    EXPECT_GT(list->RowCount(), 0);
    EXPECT_EQ(InputText(), u"私は学生です");
    EXPECT_EQ(g_commands, std::vector<uint32_t>{cmd::kListTranslation});
    EXPECT_EQ(lists.selectedCaret, 2);
    EXPECT_EQ(lists.recorded, 1);
    EXPECT_EQ(std::u16string_view(list->analysedText), u"私は学生です");
}

TEST_F(FrameTranslateTest, NoSwitchCommandWhenTheListIsAlreadyCurrent) {
    lists.kind = kListTranslatedWords;
    entry->TranslateText(u"猫がいる", 0, 0, 0, 2);
    EXPECT_TRUE(g_commands.empty());
    EXPECT_EQ(lists.states, std::vector<uint32_t>{cmd::kListTranslation});
}

TEST_F(FrameTranslateTest, UnderCursorModeCutsTheRunAboutTheCaretIntoTheInputBoxQuietly) {
    // Caret on 学: only the run between the blanks, at most 12 before and after.
    const std::u16string text = u"abc 私は学生です xyz";
    entry->TranslateText(text, 6, 12, 12, 0);
    EXPECT_EQ(InputText(), u"私は学生です");
    EXPECT_EQ(g_changeNotices, 0);
    DWORD start = 1, end = 1;
    SendMessageW(input, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(lists.selectedCaret, 2);
    for (int32_t r = 0; r < list->RowCount(); ++r) {
        const WordListEntry& e = list->EntryAt(list->EntryOfRow(r));
        EXPECT_LE(e.matchStart, 2);
    }
}

TEST_F(FrameTranslateTest, WholeTextModeSkipsLeadingBlanksAndTurnsLineBreaksIntoBlanks) {
    entry->TranslateText(u"  猫が\nいる", 0, 0, 0, 1);
    EXPECT_EQ(InputText(), u"猫が いる");
    EXPECT_EQ(g_changeNotices, 0);
}

TEST_F(FrameTranslateTest, TheInputLineIsTranslatedWholeWithTheCaretWhereItStands) {
    std::u16string text(900, u'猫');
    SetWindowTextW(input, std::wstring(text.begin(), text.end()).c_str());
    entry->TranslateText(text, 899, 0, 0, 2);
    EXPECT_EQ(lists.selectedCaret, 899);
    EXPECT_EQ(std::u16string_view(list->analysedText).size(), 900u);
    EXPECT_EQ(lists.recorded, 1);
}

TEST_F(FrameTranslateTest, TheTextIsTranslatedOnceUnlessTheInputBoxHoldsAnother) {
    // The pages the engine is asked for: as many as one translation of the
    // text when the input box gives the judged text back.
    auto lookups = [] { return dictionaries->engine->GetCacheCounters().lookups; };
    uint32_t start = lookups();
    translator->Translate(*list, u"猫がいる", 2, 0);
    const uint32_t once = lookups() - start;
    auto spans = [&] {
        std::vector<std::pair<int32_t, std::u16string>> rows;
        for (const HitRow& row : Rows()) rows.emplace_back(row.start, row.reading + u"|" + row.word);
        return rows;
    };
    const auto alone = spans();
    ASSERT_FALSE(alone.empty());
    SetWindowTextW(input, L"猫がいる");
    start = lookups();
    entry->TranslateText(u"猫がいる", 0, 0, 0, 2);
    EXPECT_EQ(lookups() - start, once);
    EXPECT_EQ(spans(), alone);
    EXPECT_EQ(lists.selectedCaret, 0);

    // The input line holds more than the text judged: that is translated.
    SetWindowTextW(input, L"猫がいる食べました");
    entry->TranslateText(u"猫がいる", 0, 0, 0, 2);
    EXPECT_EQ(std::u16string_view(list->analysedText), u"猫がいる食べました");
    EXPECT_GE(spans().back().first, 4);
}

// A text with more words than the list holds (each し is a hundred words
// here) is listed up to a word, and the user is told where, once for the
// text: not again when the same text is translated anew (a click into the
// line, a tab switch, a list refresh) or changed by a key, again for another.
TEST_F(FrameTranslateTest, ATextListedOnlyInPartIsToldOnceAfterItsRows) {
    const std::u16string text = std::u16string(300, u'し') + u"猫";
    auto translate = [&](const std::u16string& typed, int32_t caret) {
        SetWindowTextW(input, reinterpret_cast<const wchar_t*>(typed.c_str()));
        entry->TranslateText(typed, caret, 0, 0, 2);
    };
    translate(text, 0);
    ASSERT_EQ(lists.toldListed.size(), 1u);
    // Every position of the run has words: the rows reach the stop.
    int32_t listedTo = 0;
    for (const HitRow& row : Entries()) listedTo = std::max(listedTo, row.start + 1);
    EXPECT_EQ(lists.toldListed[0], std::make_pair(text, listedTo));
    EXPECT_TRUE(lists.toldWithRowsSelected[0]);
    EXPECT_GT(listedTo, 10);
    EXPECT_LT(listedTo, 300);

    translate(text, 5);
    translate(text, 0);
    translate(text + u"猫", 302);
    translate(u"猫" + text + u"猫", 1);
    EXPECT_EQ(lists.toldListed.size(), 1u) << "the same text told again";
    translate(u"猫がいる", 0);
    EXPECT_EQ(lists.toldListed.size(), 1u);

    const std::u16string other = std::u16string(300, u'し') + u"いる";
    translate(other, 0);
    ASSERT_EQ(lists.toldListed.size(), 2u) << "another text listed in part was not told";
    EXPECT_EQ(lists.toldListed[1].first, other);
}

TEST_F(FrameTranslateTest, LatinWordIsLookedUpInTheReverseIndex) {
    entry->TranslateText(u"the cat sat", 5, 12, 12, 0);
    EXPECT_EQ(InputText(), u"cat");
    EXPECT_EQ(lists.shownFromTop, 1);
    EXPECT_EQ(lists.lexiconSearches, 0);
    EXPECT_TRUE(HasReverseHit(0, 3));
    EXPECT_EQ(g_commands, std::vector<uint32_t>{cmd::kListTranslation});
}

// The caret on the blank just behind a word (a click there): that word is
// looked up, not the blank, and the list stays.
TEST_F(FrameTranslateTest, ACaretJustBehindAWordLooksThatWordUp) {
    SetWindowTextW(input, L"the cat sat");
    entry->TranslateText(u"the cat sat", 7, 0, 0, 2);
    EXPECT_EQ(lists.lexiconSearches, 0);
    EXPECT_TRUE(HasReverseHit(4, 3));
    EXPECT_EQ(InputText(), u"the cat sat");
}

TEST_F(FrameTranslateTest, UnknownLatinWordFallsBackToTheLexicon) {
    entry->TranslateText(u"qzqzq", 1, 12, 12, 0);
    EXPECT_EQ(lists.lexiconSearches, 1);
    EXPECT_EQ(g_commands, std::vector<uint32_t>{cmd::kListLexicon});
    EXPECT_EQ(lists.states, std::vector<uint32_t>{cmd::kListLexicon});
}

// Typed key by key into the Translation tab, a word has no reading at most
// of its prefixes (bel of bellum, кош of кошка): the tab stays, its list
// empty, and the lexicon is not searched. Text from elsewhere still falls
// back to it.
TEST_F(FrameTranslateTest, ATypedPrefixWithoutReadingKeepsTheTranslationTab) {
    lists.kind = kListTranslatedWords;
    for (const char16_t* typed : {u"q", u"qz", u"qzq"}) {
        SetWindowTextW(input, reinterpret_cast<const wchar_t*>(typed));
        const int32_t end = static_cast<int32_t>(std::u16string_view(typed).size());
        entry->TranslateText(typed, end, 0, 0, 2);
    }
    EXPECT_EQ(lists.lexiconSearches, 0);
    EXPECT_TRUE(g_commands.empty());
    EXPECT_EQ(lists.shownFromTop, 3);
    EXPECT_EQ(list->EntryCount(), 0);
    EXPECT_EQ(InputText(), u"qzq");
    entry->TranslateText(u"qzqzq", 1, 12, 12, 1);
    EXPECT_EQ(lists.lexiconSearches, 1);
}

// A record found twice (laudare: the present infinitive, then the perfect
// laudavere) is one row where it was first found, ahead of a record found
// between them; its note holds both readings, the first first.
TEST_F(FrameTranslateTest, ARecordFoundTwiceIsOneRowWithEveryReadingInItsNote) {
    auto add = [&](uint32_t record, std::u16string_view note) { AddRecordRow(1, record, note); };
    add(9, u"ignored: before the look-up\n");
    add(5, u"laud.are - v. 1.1, praes. inf. act.\n");
    add(7, u"laudat.or - n. 3.1 m., nom. sg.\n");
    add(5, u"laudav.ere - v. 1.1, pf. ind. act., 3 pl.\n");
    add(5, u"");  // a hit of the reverse index on the same record
    add(7, u"");
    add(3, u"");  // a hit of the reverse index alone
    add(3, u"");
    FoldRowsOfOneRecord(*list, 1);
    ASSERT_EQ(list->EntryCount(), 4);
    EXPECT_EQ(list->EntryAt(0).recordId, 9u);
    const WordListEntry& first = list->EntryAt(1);
    EXPECT_EQ(first.recordId, 5u);
    EXPECT_EQ(list->PoolText(first.noteOffset, first.noteLength),
              u"laud.are - v. 1.1, praes. inf. act.\nlaudav.ere - v. 1.1, pf. ind. act., 3 pl.\n");
    const WordListEntry& second = list->EntryAt(2);
    EXPECT_EQ(second.recordId, 7u);
    EXPECT_EQ(list->PoolText(second.noteOffset, second.noteLength), u"laudat.or - n. 3.1 m., nom. sg.\n");
    EXPECT_EQ(list->EntryAt(3).recordId, 3u);
}

// A record the reverse index found ahead of the analyser (domo "to tame",
// whose lemma is the typed word) stands where the analyser ranks it: after
// domus, whose dative and ablative domo is.
TEST_F(FrameTranslateTest, AnIndexHitOfARecordTheAnalyserReadTakesTheAnalysersPlace) {
    auto add = [&](uint32_t record, std::u16string_view note) { AddRecordRow(4, record, note); };
    add(994, u"");
    add(187, u"dom.o - n. 4.4 f., abl. sg.\n");
    add(994, u"dom.o - v. 1.1, praes. ind. act., 1 sg.\n");
    FoldRowsOfOneRecord(*list, 0);
    ASSERT_EQ(list->EntryCount(), 2);
    EXPECT_EQ(list->EntryAt(0).recordId, 187u);
    EXPECT_EQ(list->EntryAt(1).recordId, 994u);
    EXPECT_NE(list->EntryAt(1).flags & kEntryNote, 0u);
}

// Beside EDICT: a dictionary whose full-text index holds English words (the
// Lexicon's) and one with Latin stems, read by a stand-in analyser that
// reads "The" and "michi" only by a spelling trick (as te and mihi) and
// "et" and "cat" as they stand; EDICT's reverse index holds "cat".
#pragma push_macro("CreateFile")
#undef CreateFile
class TrickReadingTest : public FrameTranslateTest {
protected:
    static void AddIndexKeys(TranslatorDictionaries& d, const std::u16string& path, int32_t index,
                                       const std::vector<std::u16string>& words) {
        int32_t fileId = 0;
        uint32_t cursor = 0;
        EXPECT_EQ(d.engine->CreateFile(path, DictionarySchemaText), DmsStatus::Success);
        EXPECT_EQ(d.engine->OpenFile(path, 1, DictionarySchemaText, &fileId), DmsStatus::Success);
        EXPECT_EQ(d.engine->OpenCursor(fileId, &cursor), DmsStatus::Success);
        EXPECT_EQ(d.engine->SelectIndex(cursor, index), DmsStatus::Success);
        for (size_t i = 0; i < words.size(); ++i) {
            std::u16string word = words[i], second = u"1";
            KeySegmentValue key[2] = {{word.data(), static_cast<int32_t>(word.size() * 2)},
                                      {second.data(), static_cast<int32_t>(second.size() * 2)}};
            EXPECT_EQ(d.engine->InsertKey(cursor, key, RecordRef{static_cast<uint32_t>(i + 1), 0}), DmsStatus::Success);
        }
        EXPECT_EQ(d.engine->CloseFile(fileId), DmsStatus::Success);
        auto dictionary = std::make_unique<RDFDictionary>(0, *d.engine);
        dictionary->File().SetPath(path.c_str());
        EXPECT_EQ(dictionary->Open(2), 0u);
        d.owned.push_back(std::move(dictionary));
        d.shelf.dictionaries.push_back(d.owned.back().get());
    }
#pragma pop_macro("CreateFile")
    void SetUp() override {
        Dictionaries([](TranslatorDictionaries& d) {
            std::vector<KeyPair> keys = EdictSlice(0, kTexts);
            std::vector<std::u16string> reverse(keys.size());
            reverse[0] = u"cat";
            d.Add(u"C:\\D\\edict.qdx", keys, 1, reverse);
            // "the" is a word of the Lexicon; the Latin dictionary's own
            // full-text words do not count as English ("michi").
            AddIndexKeys(d, u"C:\\D\\english.qdx", kIndexFullTextWords, {u"et", u"the"});
            AddIndexKeys(d, u"C:\\D\\latin.qdx", kIndexLatinStems, {u"t"});
        });
        FrameTranslateTest::SetUp();
        entry->analyse = [this](std::u16string_view word, RDFDictionary* dictionary, WordList& rows) {
            ++analysed;
            WordListEntry* row = rows.AddEntry(nullptr, 0, 1, nullptr);
            row->dictionary = dictionary;
            row->recordId = 7;
            return word == u"et" || word == u"cat" ? 1 : kReadByTrickOnly;
        };
    }
    int analysed = 0;
};

// "The" of an English sentence, read as Latin only through th as t, gives
// way to the Lexicon's "the" (whatever its case); a word the Lexicon lacks
// keeps its reading by the trick, and a word read as it stands keeps its
// row though the Lexicon holds it too.
TEST_F(TrickReadingTest, AWordReadOnlyByASpellingTrickGivesWayToTheLexiconsWord) {
    entry->TranslateText(u"The quick brown fox", 0, 512, 512, 1);
    EXPECT_EQ(analysed, 1);
    EXPECT_EQ(list->EntryCount(), 0);
    EXPECT_EQ(lists.lexiconSearches, 1);
    EXPECT_EQ(g_commands, std::vector<uint32_t>{cmd::kListLexicon});

    int shown = 0;
    for (const char16_t* word : {u"michi", u"et"}) {
        entry->TranslateText(word, 0, 512, 512, 1);
        EXPECT_EQ(list->EntryCount(), 1);
        EXPECT_EQ(lists.shownFromTop, ++shown);
        EXPECT_EQ(lists.lexiconSearches, 1);
    }
    // Typed into the Translation tab, "The" leaves it current with no Latin guess.
    lists.kind = kListTranslatedWords;
    SetWindowTextW(input, L"The");
    entry->TranslateText(u"The", 3, 0, 0, 2);
    EXPECT_EQ(list->EntryCount(), 0);
    EXPECT_EQ(lists.lexiconSearches, 1);
}

// A word the analyser reads as it stands leads with its first reading,
// before another dictionary's index hit of it (in: its two cases before
// KANJIDIC's 中 "in").
TEST_F(TrickReadingTest, AWordReadAsItStandsLeadsWithItsReading) {
    entry->TranslateText(u"cat", 0, 512, 512, 1);
    ASSERT_EQ(list->RowCount(), 2);
    EXPECT_EQ(list->EntryAt(list->EntryOfRow(0)).recordId, 7u);  // the analyser's
    EXPECT_EQ(list->EntryAt(list->EntryOfRow(1)).recordId, 1u);  // EDICT's "cat"
    EXPECT_EQ(list->EntryAt(list->EntryOfRow(0)).matchLength, 3);
}

TEST_F(FrameTranslateTest, LatinAnalyserStandInIsCalledOnlyForDictionariesWithLatinStems) {
    int calls = 0;
    entry->analyse = [&](std::u16string_view, RDFDictionary*, WordList&) { return ++calls, 0; };
    entry->TranslateText(u"cat", 0, 12, 12, 0);
    EXPECT_EQ(calls, 0);  // the dictionary has no index 121
}

TEST_F(FrameTranslateTest, NothingHappensWithoutTheTranslatedWordsListOrTheInputBox) {
    lists.list = nullptr;
    entry->TranslateText(u"猫", 0, 0, 0, 2);
    lists.list = list.get();
    lists.input = nullptr;
    entry->TranslateText(u"猫", 0, 0, 0, 2);
    EXPECT_EQ(lists.recorded, 0);
    EXPECT_TRUE(g_commands.empty());
}

TEST_F(FrameTranslateTest, SetInputTextSendsNoChangeNoticeButTypingDoes) {
    SetInputText(inputBox.get(), u"猫");
    EXPECT_EQ(g_changeNotices, 0);
    EXPECT_EQ(InputText(), u"猫");
    SendMessageW(input, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x"));
    EXPECT_EQ(g_changeNotices, 1);
}

}  // namespace
