// FrameTranslator: the translate-text entry of the main window. Text from the
// input line (Find), a command or the capture under the mouse cursor is cut,
// judged Japanese or Western, put into the input box without a change notice
// and translated into the translated-words list; a Western word is looked up
// in the reverse-translation index and the Latin analyser, else in the lexicon.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "japanese/trans_options.h"
#include "japanese/translator.h"
#include "latin/western_lookup.h"
#include "ui/frame_slots.h"

class CIni;
class CRichEdit;
class RDFDictionary;
class WordList;

// What the entry needs of the shelf's list views and the input model.
class ITranslationLists {
public:
    virtual ~ITranslationLists() = default;
    // The main window (it receives the list-switch commands) and its input
    // box; null until they exist.
    virtual HWND FrameWindow() = 0;
    virtual CRichEdit* InputBox() = 0;
    // The translated-words list (kind 1), null when it or its view is missing.
    virtual WordList* TranslatedWords() = 0;
    // Empties the translated-words list view (its rows, not the model).
    virtual void ClearTranslatedWordsView() = 0;
    // Kind of the current list view (0 none).
    virtual int32_t CurrentKind() = 0;
    // The translated-words view selects the hit at the caret index.
    virtual void SelectHitAtCaret(int32_t caret) = 0;
    // Reads the input box into the input model; the input line's text.
    virtual std::u16string UpdateInput() = 0;
    // Whether the reverse-translation list view (kind 4) exists with its list.
    virtual bool HasReverseView() = 0;
    // Fills the translated-words view's page after a Western look-up and
    // goes to its first row.
    virtual void ShowTranslatedWordsFromTop() = 0;
    // Makes the lexicon list (kind 15) current and searches it; true when current.
    virtual bool SearchLexicon() = 0;
    // The translated-words view notes the input model's change state as the
    // state its contents belong to.
    virtual void RecordInputState() = 0;
    // Its contents no longer count as the input's translation (the options
    // changed): the next Find translates again.
    virtual void ForgetInputState() = 0;
    virtual void UpdateCommandStates(uint32_t command) = 0;
    // The translation of `text` listed its words only up to unit `stop` (the
    // text holds more words than the list): the user is told, after the rows
    // show, as fits where the text came from.
    virtual void TellListedInPart(std::u16string_view text, int32_t stop) = 0;
};

// Replaces the input box's text without a change notice (ENM_CHANGE off
// around it) and puts the caret at the start.
void SetInputText(CRichEdit* inputBox, std::u16string_view text);

class FrameTranslator : public IFrameTranslator {
public:
    // The options are read from `ini` (null: the defaults; nothing is stored then).
    FrameTranslator(ITranslationLists& lists, CIni* ini);
    FrameTranslator(const FrameTranslator&) = delete;
    FrameTranslator& operator=(const FrameTranslator&) = delete;
    ~FrameTranslator() override;

    void TranslateText(const std::u16string& text, int32_t caret, int32_t before, int32_t after,
                       int32_t mode) override;
    int32_t AutoSwitchTranslationList() override { return options_.autoSwitchTranslationList; }
    // The TRANSLATION_OPTIONS dialog over `owner`.
    void ShowOptions(HWND owner) override;
    // 1 when words were added and shown, 0 when something needed is missing,
    // -1 when nothing was found.
    int32_t TranslateWesternWord(int32_t caret);

    ostrel::japanese::CTransOptions& Options() { return options_; }
    ostrel::japanese::CTranslate& Translator() { return *translator_; }
    // The Latin analyser; by default the program's Latin bridge.
    LatinAnalyser analyse;

private:
    void TranslateJapanese(const std::u16string& work, int32_t caret, int32_t mode);
    // Tells the user where the list stopped when `input`, the text just
    // translated, held more words than it: once for a text, not again when
    // the same text is translated anew or changed by a few keys.
    void ReportListedUpTo(const std::u16string& input);
    void TranslateWestern(const std::u16string& text, const std::u16string& work, int32_t caret, int32_t mode,
                          int32_t originalCaret);
    // Sends a list-switch command with the program's list-switch flag set.
    void SwitchList(uint32_t command);

    ITranslationLists& lists_;
    CIni* ini_;
    ostrel::japanese::CTransOptions options_;
    std::unique_ptr<ostrel::japanese::CTranslate> translator_;
    std::u16string listedInPart_;  // the last text listed only in part
};
