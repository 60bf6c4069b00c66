// The translate-text entry: cutting and judging the text, the two runs of the
// translator for Japanese text, the Western look-up and the quiet input-box
// update. Every path ends by recording the input state for the view.
#include "ui/frame_translate.h"

#include <richedit.h>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "article/win/rich_edit.h"
#include "common/segmentation/text_segmentation.h"
#include "common/unicode/search_key.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/input_line.h"
#include "dictionary/word_list.h"
#include "japanese/work_text.h"
#include "latin/latin_bridge.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/find_stages.h"
#include "ui/translation_options_dialog.h"

using namespace ostrel::japanese;

namespace {

// The view records the input state whatever path the entry leaves by.
class RecordInputStateOnExit {
public:
    explicit RecordInputStateOnExit(ITranslationLists& lists) : lists_(lists) {}
    ~RecordInputStateOnExit() { lists_.RecordInputState(); }
    RecordInputStateOnExit(const RecordInputStateOnExit&) = delete;
    RecordInputStateOnExit& operator=(const RecordInputStateOnExit&) = delete;

private:
    ITranslationLists& lists_;
};

// The first visible hit that covers the caret.
std::optional<HitSpan> CoveringHit(const WordList& list, int32_t caret) {
    for (int32_t row = 0; row < list.RowCount(); ++row) {
        const WordListEntry& e = list.EntryAt(list.EntryOfRow(row));
        if (e.matchStart <= caret && caret < e.matchStart + e.matchLength) return HitSpan{e.matchStart, e.matchLength};
    }
    return std::nullopt;
}

// Whether `now` is `before` with a few keys typed, deleted or pasted at one
// place: the same text to the user, told about once.
bool IsSmallEditOf(std::u16string_view now, std::u16string_view before) {
    constexpr size_t kEditUnits = 64;
    if (before.empty()) return false;
    const size_t shorter = std::min(now.size(), before.size());
    size_t head = 0;
    while (head < shorter && now[head] == before[head]) ++head;
    size_t tail = 0;
    while (tail < shorter - head && now[now.size() - 1 - tail] == before[before.size() - 1 - tail]) ++tail;
    return now.size() - head - tail <= kEditUnits && before.size() - head - tail <= kEditUnits;
}

bool HasEntries(RDFDictionary* dictionary, uint32_t indexId) {
    CCursor cursor(dictionary, indexId);
    return cursor.HasEntries();
}

// Whether an open dictionary of the list without Latin stems holds the key
// among the words of its full-text index (the Lexicon's words).
bool LexiconHoldsWord(const WordList& list, std::u16string_view key) {
    for (int32_t i = 0; i < list.CursorCount(); ++i) {
        RDFDictionary* dictionary = list.CursorAt(i)->dictionary;
        if (dictionary == nullptr || (dictionary->flags & kDictionaryOpen) == 0) continue;
        if (HasEntries(dictionary, kIndexLatinStems)) continue;
        CCursor words(dictionary, kIndexFullTextWords);
        if (words.HoldsKey(key)) return true;
    }
    return false;
}

enum class Found : char { kByIndex, kAsItStands, kByTrick };

// The new entries from `before` on: the analyser's readings of the word as
// it stands lead, in the analyser's order, before what the indexes found
// (in: its two cases before KANJIDIC's 中 "in"), so that a Latin word's first
// row is its first reading; readings only by a changed spelling go when
// `dropTricks`.
void OrderWesternRows(WordList& list, int32_t before, const std::vector<Found>& found, bool dropTricks) {
    std::vector<WordListEntry> lead, rest;
    for (size_t k = 0; k < found.size(); ++k) {
        if (found[k] == Found::kByTrick && dropTricks) continue;
        (found[k] == Found::kAsItStands ? lead : rest).push_back(list.EntryAt(before + static_cast<int32_t>(k)));
    }
    if (lead.empty() && rest.size() == found.size()) return;
    while (list.EntryCount() > before) list.DeleteAt(list.EntryCount() - 1);
    for (const std::vector<WordListEntry>* part : {&lead, &rest})
        for (const WordListEntry& entry : *part) list.AppendRaw(entry);
}

}  // namespace

void SetInputText(CRichEdit* inputBox, std::u16string_view text) {
    if (inputBox == nullptr || inputBox->Window() == nullptr) return;
    HWND box = inputBox->Window();
    const LRESULT mask = SendMessageW(box, EM_GETEVENTMASK, 0, 0);
    SendMessageW(box, EM_SETEVENTMASK, 0, mask & ~static_cast<LRESULT>(ENM_CHANGE));
    inputBox->SetPlainText(text, true, true);
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, EM_SETEVENTMASK, 0, mask);
}

// An index hit of a record the analyser also read goes: the analyser's row
// stands where its reading ranks (domo: domus before domo "to tame", which
// the reverse index also holds). Of the analyser's rows of one record the
// first keeps its place and its article every reading: the lines of a later
// reading (laudare's perfect beside its infinitive) join its note.
void FoldRowsOfOneRecord(WordList& list, int32_t first) {
    auto sameRecord = [&list](int32_t i, int32_t j) {
        return list.EntryAt(i).dictionary == list.EntryAt(j).dictionary &&
               list.EntryAt(i).recordId == list.EntryAt(j).recordId;
    };
    auto noted = [&list](int32_t i) { return (list.EntryAt(i).flags & kEntryNote) != 0; };
    for (int32_t i = first; i < list.EntryCount();) {
        bool readToo = false;
        for (int32_t j = first; j < list.EntryCount() && !readToo; ++j)
            readToo = j != i && noted(j) && sameRecord(i, j);
        if (list.EntryAt(i).dictionary != nullptr && !noted(i) && readToo) list.DeleteAt(i);
        else ++i;
    }
    auto note = [&list](const WordListEntry& e) {
        return (e.flags & kEntryNote) != 0 ? std::u16string(list.PoolText(e.noteOffset, e.noteLength))
                                           : std::u16string();
    };
    for (int32_t i = first; i < list.EntryCount(); ++i) {
        if (list.EntryAt(i).dictionary == nullptr) continue;
        std::u16string joined = note(list.EntryAt(i));
        const size_t alone = joined.size();
        for (int32_t j = i + 1; j < list.EntryCount();) {
            if (!sameRecord(i, j)) {
                ++j;
                continue;
            }
            joined += note(list.EntryAt(j));
            list.DeleteAt(j);
        }
        if (joined.size() == alone) continue;
        const int32_t offset = list.AddText(joined);
        if (offset < 0) continue;   // the pool is full: the first reading's note stays
        WordListEntry& kept = list.EntryAt(i);
        kept.flags |= kEntryNote;
        kept.noteOffset = static_cast<uint32_t>(offset);
        kept.noteLength = static_cast<uint32_t>(joined.size());
    }
}

int32_t LookUpWesternWord(WordList& list, std::u16string_view word, int32_t start, int32_t length,
                          const LatinAnalyser& analyse) {
    std::array<char16_t, 256> keyUnits{};
    const int32_t keyLength = MakeSearchKey(word.substr(0, 255), keyUnits);
    if (keyLength <= 0) return 0;
    const std::u16string_view key(keyUnits.data(), static_cast<size_t>(keyLength));
    const int32_t before = list.EntryCount();
    std::vector<RDFDictionary*> seen;
    std::vector<Found> found;  // how each new entry was found
    for (int32_t i = 0; i < list.CursorCount(); ++i) {
        RDFDictionary* dictionary = list.CursorAt(i)->dictionary;
        if (dictionary == nullptr || std::find(seen.begin(), seen.end(), dictionary) != seen.end()) continue;
        seen.push_back(dictionary);
        if ((dictionary->flags & kDictionaryOpen) == 0) continue;
        const bool reverse = HasEntries(dictionary, kIndexTranslationWords);
        const bool latin = HasEntries(dictionary, kIndexLatinStems);
        if (reverse) {
            CCursor cursor(dictionary, kIndexTranslationWords);
            cursor.SeekPrefix(key, list);
        }
        found.resize(static_cast<size_t>(list.EntryCount() - before), Found::kByIndex);
        if (!latin || !analyse) continue;
        const int32_t known = analyse(word, dictionary, list);
        found.resize(static_cast<size_t>(list.EntryCount() - before),
                     known == kReadByTrickOnly ? Found::kByTrick : Found::kAsItStands);
    }
    // An English word the analyser reads only by changing it (The as te) is
    // left to the Lexicon, which holds it as it stands.
    const bool dropTricks =
        std::find(found.begin(), found.end(), Found::kByTrick) != found.end() && LexiconHoldsWord(list, key);
    OrderWesternRows(list, before, found, dropTricks);
    for (int32_t i = before; i < list.EntryCount(); ++i) {
        list.EntryAt(i).matchStart = start;
        list.EntryAt(i).matchLength = length;
    }
    FoldRowsOfOneRecord(list, before);
    return list.EntryCount() - before;
}

FrameTranslator::FrameTranslator(ITranslationLists& lists, CIni* ini)
    : lists_(lists),
      ini_(ini),
      options_(ini != nullptr ? CTransOptions(*ini) : CTransOptions()),
      translator_(std::make_unique<CTranslate>(options_)) {
    analyse = [](std::u16string_view text, RDFDictionary* dictionary, WordList& list) {
        LatinBridge* bridge = CurrentLatinBridge();
        const int32_t known = bridge != nullptr ? bridge->Analyse(text, dictionary, list) : 0;
        return known == 1 && bridge->ReadOnlyByTrick() ? kReadByTrickOnly : known;
    };
}

FrameTranslator::~FrameTranslator() = default;

void FrameTranslator::ShowOptions(HWND owner) {
    CTranslationOptionsDlg dialog(options_, ini_);
    if (dialog.Run(owner) == 1) lists_.ForgetInputState();
}

void FrameTranslator::SwitchList(uint32_t command) {
    const int32_t busy = g_application ? g_application->listBusy : 0;
    if (g_application) g_application->listBusy = 1;
    SendMessageW(lists_.FrameWindow(), WM_COMMAND, command, 0);
    if (g_application) g_application->listBusy = busy;
}

void FrameTranslator::TranslateText(const std::u16string& text, int32_t caret, int32_t before, int32_t after,
                                    int32_t mode) {
    WordList* list = lists_.TranslatedWords();
    if (lists_.InputBox() == nullptr || list == nullptr) return;
    RecordInputStateOnExit record(lists_);
    const std::optional<WorkText> work = CutWorkText(text, caret, before, after, static_cast<TranslateMode>(mode));
    if (!work) return;
    const ScriptCounts counts = CountScripts(work->text);
    if (counts.japanese + counts.other == 0) return;
    lists_.ClearTranslatedWordsView();
    translator_->Translate(*list, work->text, mode, work->caret);
    MarkFindStage(FindStage::TextTranslated);
    std::optional<HitSpan> covering;
    if (list->EntryCount() > 0) {
        covering = CoveringHit(*list, work->caret);
        lists_.ClearTranslatedWordsView();
    }
    switch (DecideTextKind(*work, covering)) {
        case TextKind::kJapanese:
            TranslateJapanese(work->text, work->caret, mode);
            break;
        case TextKind::kWestern:
            TranslateWestern(text, work->text, work->caret, mode, caret);
            break;
        case TextKind::kNone:
            break;
    }
    // A read a dictionary refused (a damaged Latin dictionary's data) is
    // shown once, after the list shows what the others gave.
    list->ReportReadRefusals();
}

void FrameTranslator::TranslateJapanese(const std::u16string& work, int32_t caret, int32_t mode) {
    WordList& list = *lists_.TranslatedWords();
    if (mode != static_cast<int32_t>(TranslateMode::kInputLine)) SetInputText(lists_.InputBox(), work);
    lists_.ClearTranslatedWordsView();
    const std::u16string input = lists_.UpdateInput();
    // The first pass left the translation of the work text in the list; only
    // a text the input box changed (its own line breaks, its length limit)
    // is translated again.
    if (input != work) translator_->Translate(list, input, mode, caret);
    if (lists_.CurrentKind() != kListTranslatedWords) SwitchList(cmd::kListTranslation);
    lists_.SelectHitAtCaret(caret);
    lists_.UpdateCommandStates(cmd::kListTranslation);
    ReportListedUpTo(input);
}

void FrameTranslator::ReportListedUpTo(const std::u16string& input) {
    // A text with more words than the list holds is listed up to a word;
    // the rows behind it are not missing silently.
    const int32_t stop = translator_->StoppedAt();
    if (stop < 0) return;
    const bool told = IsSmallEditOf(input, listedInPart_);
    listedInPart_ = input;
    if (!told) lists_.TellListedInPart(input, stop);
}

void FrameTranslator::TranslateWestern(const std::u16string& text, const std::u16string& work, int32_t caret,
                                       int32_t mode, int32_t originalCaret) {
    std::u16string word = work;
    int32_t wordCaret = caret;
    if (mode == static_cast<int32_t>(TranslateMode::kUnderCursor)) {
        const std::u16string_view whole = std::u16string_view(text).substr(0, text.find(u'\0'));
        const int32_t length = static_cast<int32_t>(whole.size());
        const int32_t at = originalCaret >= 0 && originalCaret < length ? originalCaret : 0;
        int32_t start = 0, end = 0;
        if (WordAt(whole.data(), length, at, &start, &end) == 0 || end <= start) return;
        word = std::u16string(whole.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
        wordCaret = std::clamp(at - start, 0, end - start - 1);
    }
    if (mode != static_cast<int32_t>(TranslateMode::kInputLine)) SetInputText(lists_.InputBox(), word);
    lists_.UpdateInput();
    if (lists_.HasReverseView() && TranslateWesternWord(wordCaret) != -1) return;
    // A word typed into the Translation tab has no reading yet at most of
    // its prefixes (bel of bellum): the tab stays, with no rows, for the
    // next key to find the word.
    if (mode == static_cast<int32_t>(TranslateMode::kInputLine) && lists_.CurrentKind() == kListTranslatedWords) {
        if (WordList* list = lists_.TranslatedWords()) list->Clear();
        lists_.ShowTranslatedWordsFromTop();
        return;
    }
    if (lists_.SearchLexicon()) {
        SendMessageW(lists_.FrameWindow(), WM_COMMAND, cmd::kListLexicon, 0);
        lists_.UpdateCommandStates(cmd::kListLexicon);
    }
}

int32_t FrameTranslator::TranslateWesternWord(int32_t caret) {
    WordList* list = lists_.TranslatedWords();
    if (list == nullptr) return 0;
    CInput words;
    words.SetText(lists_.UpdateInput());
    lists_.ClearTranslatedWordsView();
    // The input line's own words: a caret on a blank or a stop behind a word
    // (a click just behind it) takes that word, never the blank.
    if (words.SplitWords() == 0) return 0;
    const int32_t word = words.WordAtPosition(caret);
    std::u16string text;
    int32_t first = 0, last = 0;
    if (word < 0 || words.GetWordText(word, &text) == 0 || words.GetWordRange(word, first, last) == 0) return 0;
    const int32_t found = LookUpWesternWord(*list, text, first, last - first, analyse);
    MarkFindStage(FindStage::WordLookedUp);
    if (found == 0) return -1;
    if (lists_.CurrentKind() != kListTranslatedWords) SwitchList(cmd::kListTranslation);
    lists_.ShowTranslatedWordsFromTop();
    lists_.UpdateCommandStates(cmd::kListTranslation);
    return 1;
}
