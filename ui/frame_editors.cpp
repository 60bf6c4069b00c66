// The frame's article editors: the commands that open one on the working
// dictionary (new article, from the clipboard, from the input box's
// selection, editing or copying the current row's article), the loop's
// questions about editor windows, closing them all, and what a save changes
// in the lists.
#include "ui/frame_shelf.h"

#include <cwchar>

#include "article/win/rich_edit.h"
#include "book/win/book_reader.h"
#include "common/text/win/clipboard_text.h"
#include "dictionary/article_editors.h"
#include "dictionary/article_history.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/word_list.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/frame.h"
#include "ui/list_view.h"

namespace {

// The editor of any shelf dictionary whose text window is `window`.
ArticleEditor* EditorWithText(RDFDictionary* first, HWND window) {
    for (RDFDictionary* d = first; d != nullptr; d = d->next)
        for (CEditor* e = d->editors; e != nullptr; e = e->next)
            if (e->HasTextWindow(window)) return dynamic_cast<ArticleEditor*>(e);
    return nullptr;
}

// The window whose selection a new article takes: the one named, when it is
// a rich edit or a book column of this thread (both answer the rich edit's
// selection queries), else the input box. Other windows are never asked: a
// toolbar's own messages share the numbers of those queries.
HWND SelectionSource(HWND named, HWND input) {
    if (!named || !IsWindow(named) || GetWindowThreadProcessId(named, nullptr) != GetCurrentThreadId()) return input;
    if (CParaViewerDlg::IsColumnWindow(named)) return named;
    wchar_t name[32] = {};
    GetClassNameW(named, name, 32);
    return _wcsicmp(name, L"RichEdit20W") == 0 ? named : input;
}

// A saved article is found again in index 101 by its record: personal
// dictionaries are small, and a long one is walked no further than this.
constexpr int32_t kMostEntriesWalked = 200000;

}  // namespace

bool FrameShelf::OpenEditorFor(uint32_t id) {
    RDFDictionary* working = shelf_->GetWorkingDictionary();
    switch (id) {
    case cmd::kNewArticle:
        if (working) OpenEditor(*working, nullptr, 0, {});
        return true;
    case cmd::kNewArticleFromClipboard:
        if (working) {
            const ClipboardText clip = ReadClipboardText();
            if (clip.text && clip.length > 0) OpenEditor(*working, nullptr, 0, {clip.text.get(), clip.length});
        }
        return true;
    case cmd::kNewArticleFromSelection:
        NewArticleFromSelection(nullptr);
        return true;
    case cmd::kEditArticle:
    case cmd::kCopyToWorking: {
        ListView* view = CurrentView();
        if (!working || !view || !view->model || view->currentRow < 0) return true;
        CCursor* cursor = view->model->GetEntry(view->currentRow);
        if (!cursor || !cursor->dictionary || !cursor->OnEntry()) return true;
        // Editing stays in the working dictionary; copying brings another's article into it.
        if ((id == cmd::kEditArticle) != (cursor->dictionary == working)) return true;
        OpenEditor(*working, cursor->dictionary, cursor->position.ref.first, {});
        return true;
    }
    default:
        return false;
    }
}

void FrameShelf::NewArticleFromSelection(HWND window) {
    RDFDictionary* working = shelf_->GetWorkingDictionary();
    if (!working) return;
    const std::u16string selected = CRichEdit::GetSelectedText(SelectionSource(window, frame_.InputBox()));
    if (!selected.empty()) OpenEditor(*working, nullptr, 0, selected);
}

bool FrameShelf::HasOpenEditors() { return shelf_->HasOpenEditors(); }

bool FrameShelf::IsEditorWindow(HWND window) {
    for (RDFDictionary* d = shelf_->FirstDictionary(); d != nullptr; d = d->next)
        if (IsEditorDialog(*d, window)) return true;
    return false;
}

int32_t FrameShelf::EditorLineAt(HWND dialog, POINT screen, POINT& anchor, int32_t& top) {
    for (RDFDictionary* d = shelf_->FirstDictionary(); d != nullptr; d = d->next)
        for (CEditor* e = d->editors; e != nullptr; e = e->next)
            if (e->HasDialog(dialog))
                if (auto* editor = dynamic_cast<ArticleEditor*>(e)) return editor->HitTest(screen, anchor, top);
    return 0;
}

bool FrameShelf::IsEditorPaneWindow(HWND window) { return EditorWithText(shelf_->FirstDictionary(), window) != nullptr; }

bool FrameShelf::FilterEditorKey(const MSG& message) {
    ArticleEditor* editor = EditorWithText(shelf_->FirstDictionary(), message.hwnd);
    return editor && editor->FilterKey(message);
}

void FrameShelf::CloseAllEditors() {
    for (RDFDictionary* d = shelf_->FirstDictionary(); d != nullptr; d = d->next) ::CloseAllEditors(*d, false);
}

void FrameShelf::ApplyFontsToEditors(int32_t points) {
    for (RDFDictionary* d = shelf_->FirstDictionary(); d != nullptr; d = d->next)
        for (CEditor* e = d->editors; e != nullptr; e = e->next)
            if (auto* editor = dynamic_cast<ArticleEditor*>(e)) editor->SetFontSize(points);
}

HWND FrameShelf::MainWindow() { return frame_.Window(); }

bool FrameShelf::ShelfBusy() { return g_application && g_application->listBusy > 0; }

void FrameShelf::ArticleSaved(CDictionary& dictionary, uint32_t position, bool addToSelected) {
    RDFDictionary* saved = nullptr;
    for (RDFDictionary* d = shelf_->FirstDictionary(); d != nullptr; d = d->next)
        if (static_cast<CDictionary*>(d) == &dictionary) saved = d;
    if (!saved) return;
    CCursor cursor(saved, kIndexReadingWord);
    bool found = false;
    int32_t walked = 0;
    for (DmsStatus s = cursor.MoveFirst(); !Failed(s) && walked < kMostEntriesWalked; s = cursor.Next(), ++walked)
        if (cursor.position.ref.first == position) {
            found = true;
            break;
        }
    if (found) {
        if (ListView* reading = ViewOfKind(2)) shelf_->History().Add(reading, &cursor, 0);
        ListView* selected = addToSelected ? ViewOfKind(kViewSelected) : nullptr;
        if (selected && selected->model && selected->model->AddCursorEntry(cursor)) {
            selected->model->SaveFile(ListFiles(), selected->model->fileName);
            selected->GoToLast();
            selected->model->Sort();
        }
    }
    // The list shows the saved article: after the change its key alone
    // would find the row of another dictionary holding the same headword,
    // and that article's text would stand where the user saved theirs.
    if (ListView* view = CurrentView()) view->SelectArticle(*saved, position);
    RedrawLists();
}
