// The translate-text entry's requests answered by the frame and FrameShelf.
#include "ui/frame_translation_lists.h"

#include "dictionary/article_history.h"
#include "dictionary/word_list.h"
#include "ui/frame.h"
#include "ui/frame_shelf.h"
#include "ui/list_view.h"

HWND FrameTranslationLists::FrameWindow() { return frame_.Window(); }

CRichEdit* FrameTranslationLists::InputBox() { return frame_.InputEdit(); }

ListView* FrameTranslationLists::TranslatedWordsView() {
    ListView* view = shelf_.ViewOfKind(kViewTranslatedWords);
    return view != nullptr && view->model != nullptr ? view : nullptr;
}

WordList* FrameTranslationLists::TranslatedWords() {
    ListView* view = TranslatedWordsView();
    return view != nullptr ? view->model : nullptr;
}

void FrameTranslationLists::ClearTranslatedWordsView() {
    if (ListView* view = TranslatedWordsView()) {
        view->topRow = 0;
        view->currentRow = -1;
        view->selection.Clear();
    }
}

int32_t FrameTranslationLists::CurrentKind() { return shelf_.CurrentKind(); }

void FrameTranslationLists::SelectHitAtCaret(int32_t caret) {
    ListView* view = TranslatedWordsView();
    if (view == nullptr) return;
    // The first row whose matched part (mapped back to the typed input) ends behind the caret.
    view->SelectHitAtCaret(shelf_.Input(), caret);
    view->FillPage();
    view->ScrollToCurrent(-2);
    view->UpdateView();
}

std::u16string FrameTranslationLists::UpdateInput() {
    shelf_.UpdateInput();
    return shelf_.Input().text;
}

bool FrameTranslationLists::HasReverseView() {
    ListView* view = shelf_.ViewOfKind(kViewReverse);
    return view != nullptr && view->model != nullptr;
}

void FrameTranslationLists::ShowTranslatedWordsFromTop() {
    if (ListView* view = TranslatedWordsView()) {
        view->FillPage();
        view->GoToFirst();
        view->UpdateView();
    }
}

bool FrameTranslationLists::SearchLexicon() {
    shelf_.SetCurrentListByKind(kViewLexicon);
    if (shelf_.CurrentKind() != kViewLexicon) return false;
    shelf_.SearchAsYouType();
    return true;
}

void FrameTranslationLists::RecordInputState() {
    if (ListView* view = TranslatedWordsView()) {
        view->inputCounter = shelf_.Input().changeCounter;
        view->inputSelectionStart = shelf_.Input().selectionStart;
        shelf_.RecordTranslationRow(view->currentRow);
    }
}

void FrameTranslationLists::ForgetInputState() {
    if (ListView* view = TranslatedWordsView()) view->inputCounter = -1;
}

void FrameTranslationLists::UpdateCommandStates(uint32_t command) { frame_.UpdateCommandStates(command); }

void FrameTranslationLists::TellListedInPart(std::u16string_view text, int32_t stop) {
    frame_.TellListedInPart(text, stop);
}
