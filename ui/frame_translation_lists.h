// FrameTranslationLists: the translate-text entry's view of the running
// program: the main window and its input box, and the shelf's translated-words,
// reverse-translation and lexicon views with the input model.
#pragma once

#include "ui/frame_translate.h"

class CFrame;
class FrameShelf;
class ListView;

class FrameTranslationLists final : public ITranslationLists {
public:
    FrameTranslationLists(CFrame& frame, FrameShelf& shelf) : frame_(frame), shelf_(shelf) {}

    HWND FrameWindow() override;
    CRichEdit* InputBox() override;
    WordList* TranslatedWords() override;
    void ClearTranslatedWordsView() override;
    int32_t CurrentKind() override;
    void SelectHitAtCaret(int32_t caret) override;
    std::u16string UpdateInput() override;
    bool HasReverseView() override;
    void ShowTranslatedWordsFromTop() override;
    bool SearchLexicon() override;
    void RecordInputState() override;
    void ForgetInputState() override;
    void UpdateCommandStates(uint32_t command) override;
    void TellListedInPart(std::u16string_view text, int32_t stop) override;

private:
    ListView* TranslatedWordsView();

    CFrame& frame_;
    FrameShelf& shelf_;
};
