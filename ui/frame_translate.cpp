// The translate-text entry: cutting and judging the text, the two runs of the
// translator for Japanese text, the Western look-up and the quiet input-box
// update. Every path ends by recording the input state for the view.
#include "ui/frame_translate.h"

#include <richedit.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "article/win/rich_edit.h"
#include "common/segmentation/text_segmentation.h"
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

FrameTranslator::FrameTranslator(ITranslationLists& lists, CIni* ini)
    : lists_(lists),
      ini_(ini),
      options_(ini != nullptr ? CTransOptions(*ini) : CTransOptions()),
      translator_(std::make_unique<CTranslate>(options_)) {
    analyse = [](std::u16string_view text, RDFDictionary* dictionary, WordList& list) {
        return AnalyseThroughBridge(CurrentLatinBridge(), text, dictionary, list);
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
