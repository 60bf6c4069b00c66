// ListView::OnCommand: deleting rows or articles, select all, adding rows to
// the selected-articles list, the saved-list commands, the quick search from
// the lexicon, help on the list, web searches for the current word, and the
// commands handed on to the main window.
#include <algorithm>

#include "article/win/rich_edit.h"
#include "common/app_context.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/saved_word_list.h"
#include "dictionary/word_list.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/dialog_texts.h"
#include "ui/frame.h"
#include "ui/frame_books.h"
#include "ui/list_view.h"
#include "ui/print_dialog.h"

namespace {

// Commands the list hands on to the main window unchanged. Among them the
// editing ones its double-click and context menu give (edit, new article,
// new article from the clipboard, copy into the working dictionary): the
// main window opens their editors, as it does for the toolbar's.
constexpr uint32_t kPostedOn[] = {40064, 40067, 40083, 40400, 40056, 40057, 40058,
                                  40069, 40077, 40080, 40119, 40147, 40155};
// Web searches for the current row's word.
constexpr uint32_t kWebSearches[] = {40164, 40166, 40170, 40183, 40184, 40185, 40186, 40187, 40188, 40691};
// Help topics by list kind.
constexpr int32_t kHelpTopics[][2] = {{1, 111}, {2, 109}, {4, 110}, {5, 139}, {13, 148},
                                      {14, 146}, {15, 147}, {16, 127}, {17, 152}};
constexpr int32_t kLexiconWordColumn = 24;
constexpr int32_t kViewPhysical = 18;
constexpr int kTitleSlot = 116;

bool Contains(const uint32_t* first, const uint32_t* last, uint32_t id) { return std::find(first, last, id) != last; }

}  // namespace

void ListView::OnCommand(uint32_t id) {
    HWND frame = g_frame ? g_frame->Window() : nullptr;
    if (Contains(std::begin(kPostedOn), std::end(kPostedOn), id)) {
        if (frame) PostMessageW(frame, WM_COMMAND, id, 0);
        return;
    }
    if (Contains(std::begin(kWebSearches), std::end(kWebSearches), id)) {
        PostCurrentHeadword(static_cast<int32_t>(id));
        return;
    }
    IListFileStore& files = site_.ListFiles();
    switch (id) {
    case 40029:
    case 40066:
        DeleteRows();
        return;
    case 40068:  // the book of the current row, at its phrase
        if (CCursor* row = model ? model->GetEntry(GetCurrentRow()) : nullptr)
            OpenBookReaderAt(GetCurrentDictionary(), row->RecordId());
        return;
    case 40192:
        if (GetRowCount() > 0) {
            selection.SetSingle(0, GetRowCount() - 1);
            UpdateView();
        }
        return;
    case 40074:
        if (viewKind != kViewSelected || model == nullptr) return;
        SetCurrent(0);
        model->SaveFile(files, model->fileName);
        return;
    case 40194:
        AddSelectionToSelectedList();
        return;
    case 40196:
        if (model) model->SaveFile(files, u"");
        return;
    case 40197:
        if (model) model->SaveFile(files, model->fileName);
        return;
    case 40198:
        // The loader answers 0 whether it loaded a file or the user kept the
        // list; either way the page is made again from what the list holds.
        if (model) {
            model->LoadFile(files, u"");
            GoToLast();
        }
        return;
    case 40200:
        if (model && model->ConfirmClose(files) != kListCloseCancelled) GoToFirst();
        return;
    case 40207:
        QuickSearchFromLexicon();
        return;
    case cmd::kPrint:
        RunPrintDialog(*this);
        return;
    case cmd::kCopy:
        CopyListSelectionAsRtf(*this);
        return;
    case 1016:
        for (const auto& topic : kHelpTopics)
            if (topic[0] == viewKind && g_application) g_application->ShowHelpTopic(window_, topic[1]);
        return;
    default:
        // The other ids are not the list's.
        return;
    }
}

void ListView::DeleteRows() {
    if (model == nullptr || viewKind == kViewLexicon || viewKind == kViewHistory) return;
    if (model->IsStored()) {
        DeleteSelectedStoredRows();
        if (viewKind == kViewSelected) model->SaveFile(site_.ListFiles(), model->fileName);
        return;
    }
    bool deletes = viewKind == 2 || viewKind == kViewWritings || viewKind == kViewReverse || viewKind == kViewBookList ||
                   viewKind == kViewPhysical;
    if (!deletes || selection.Count() != 1 || currentRow < 0) return;
    CCursor* cursor = model->GetEntry(currentRow);
    RDFDictionary* working = site_.WorkingDictionary();
    if (cursor == nullptr || cursor->dictionary == nullptr || cursor->dictionary != working) return;
    if (working->DeleteArticle(cursor)) UpdateView();
}

void ListView::AddSelectionToSelectedList() {
    ListView* selected = site_.ViewOfKind(kViewSelected);
    // The Selected list's own rows are in it already.
    if (model == nullptr || selected == nullptr || selected == this || selected->model == nullptr) return;
    WordList& into = *selected->model;
    int32_t chosen = 0, added = 0;
    bool full = false;
    for (int32_t row = selection.NextSelected(-1); row >= 0 && row < GetRowCount(); row = selection.NextSelected(row)) {
        ++chosen;
        if (full) continue;
        CCursor* cursor = model->GetEntry(row);
        if (cursor == nullptr || cursor->dictionary == nullptr) continue;
        if (into.AddCursorEntry(*cursor) != nullptr) ++added;
        else full = into.EntryCount() >= into.EntryLimit();
    }
    into.SaveFile(site_.ListFiles(), into.fileName);
    selected->GoToLast();
    into.Sort();
    // The rows past the list's limit are not dropped unsaid.
    if (full)
        App().ShowMessage(FormatInterfaceText(UIExtra(UIExtraText::kSelectedListFull), {into.EntryLimit(), added, chosen}),
                          UIStringTable[kTitleSlot], MB_OK | MB_ICONINFORMATION);
}

void ListView::QuickSearchFromLexicon() {
    if (viewKind != kViewLexicon || model == nullptr || cellText == nullptr || currentRow < 0 || !g_frame) return;
    std::u16string word = u"\"" + cellText(*model, currentRow, kLexiconWordColumn) + u"\"";
    Application* app = g_application;
    if (app) ++app->inputBusy;
    if (CRichEdit* input = g_frame->InputEdit()) input->SetText(word);
    if (app) --app->inputBusy;
    if (app) ++app->listBusy;
    g_frame->OnCommand(cmd::kListSearchResults, 0);
    if (app) --app->listBusy;
    g_frame->OnCommand(cmd::kFind, 0);
}
