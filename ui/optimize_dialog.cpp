// The optimisation dialog. The rebuild goes into "<dictionary>.new~" beside
// the dictionary (leftover_files.h: a killed optimisation's file is removed
// at the next start or optimisation); the dictionary is copied to its
// backup and the new file then takes its place in one step, so a file is
// under the dictionary's name at every moment. Only then are the saved
// lists remapped, by the articles' texts, never by their order.
#include "ui/optimize_dialog.h"

#include <commctrl.h>

#include <memory>
#include <vector>

#include "common/ui_text/ui_text.h"
#include "common/win/dialog_helpers.h"
#include "dictionary/article_history.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_list_rules.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/file_replace.h"
#include "dictionary/format_detection.h"
#include "dictionary/leftover_files.h"
#include "dictionary/list_view_model.h"
#include "dictionary/shelf.h"
#include "dictionary/word_list.h"
#include "import/article_ids.h"
#include "import/conversion_rules.h"
#include "import/converter.h"
#include "resources/program/dialog_ids.h"
#include "storage/dms.h"
#include "ui/application.h"
#include "ui/compile_dialog.h"
#include "ui/dialog_procedure.h"
#include "ui/dialog_texts.h"
#include "ui/dictionaries_dialog.h"
#include "ui/frame.h"

namespace {

enum Slot : int {
    kTitleSlot = 573, kOptimizeSlot = 577, kCancelSlot = 638, kHelpSlot = 269, kBookSlot = 526,
    kBookCaptionSlot = 527, kFailedSlot = 522, kFailedCaptionSlot = 523, kCannotOpenSlot = 542,
};
constexpr ControlText kTexts[] = {
    {IDC_CONV_SOURCE_LABEL, 574}, {IDC_CONV_TARGET_LABEL, 575}, {IDC_OPT_PERSONAL, 576},
    {IDC_OPT_VERSION_LABEL, 578}, {IDC_CONV_PRESS_LABEL, 537},  {IDOK, kOptimizeSlot},
    {IDCANCEL, kCancelSlot},      {IDC_CONV_HELP, kHelpSlot},
};

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

bool Exists(const std::u16string& path) { return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES; }

CompileTime Now() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// The first backup name of this minute that no file has.
std::u16string BackupPathNow(const std::u16string& path) { return FreeBackupPath(path, Now(), Exists); }

// Replaces property 4 of a closed dictionary file with `version`.
bool WriteVersionText(CDMS& engine, const std::u16string& path, const std::u16string& version) {
    int32_t file = 0;
    if (Failed(engine.OpenFile(path, 1, DictionarySchemaText, &file))) return false;
    bool ok = false;
    {
        EngineCursor cursor(engine, file);
        if (!Failed(cursor.SelectIndex(1))) {
            DeleteDictionaryProperty(engine, cursor.handle(), kPropertyVersion);
            ok = !Failed(PutDictionaryProperty(engine, cursor.handle(), kPropertyVersion, version));
        }
    }
    return !Failed(engine.CloseFile(file)) && ok;
}

class COptimizeDlg {
public:
    COptimizeDlg(RDFDictionary& dictionary, CShelf& shelf) : dictionary_(dictionary), shelf_(shelf) {}
    INT_PTR OnInitDialog(HWND dialog);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    int32_t Optimize();
    // Puts the rebuilt file in the dictionary's place; false leaves the dictionary as it was.
    bool Swap();
    // Deletes the rebuilt file and what a cut-short rebuild left beside the
    // dictionary (temporaries, journals).
    void TidyOptimizationLeftovers() { TidyDictionaryLeftovers(path_); }
    void RemapLists(const RecordIdMap& map);
    std::u16string Text(int id) const;
    void Fail(const std::u16string& reason) {
        ShowBox(dialog_, FormatInterfaceText(UIStringTable[kFailedSlot], {reason}), UIStringTable[kFailedCaptionSlot],
                MB_OK | MB_ICONEXCLAMATION);
    }

    RDFDictionary& dictionary_;
    CShelf& shelf_;
    HWND dialog_ = nullptr;
    std::u16string path_, temporary_, backup_;
    CompileDialogRun run_;
};

INT_PTR COptimizeDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (run_.HandleMessage(message, wParam, lParam)) return TRUE;
    if (message != WM_COMMAND || LOWORD(wParam) != IDOK) return FALSE;
    if (!run_.IsRunning()) {
        int32_t result = 0;
        {
            CompileDialogRun::Running running(run_);
            result = Optimize();
        }
        if (result == 1) EndDialog(dialog_, 1);
    }
    return TRUE;
}

INT_PTR COptimizeDlg::OnInitDialog(HWND dialog) {
    dialog_ = dialog;
    static const int kFontControls[] = {IDC_CONV_SOURCE, IDC_OPT_BACKUP, IDC_OPT_VERSION, IDC_CONV_STEP, 0};
    if (g_application) g_application->ApplyDialogFont(dialog_, kFontControls);
    SetWindowTextW(dialog_, reinterpret_cast<const wchar_t*>(UIStringTable[kTitleSlot]));
    SetControlTexts(dialog_, kTexts);
    run_.Attach(dialog_, IDC_CONV_STEP, IDC_CONV_PROGRESS);
    path_ = dictionary_.File().path;
    backup_ = BackupPathNow(path_);
    SetDlgItemTextW(dialog_, IDC_CONV_SOURCE, Wide(path_));
    SetDlgItemTextW(dialog_, IDC_OPT_BACKUP, Wide(backup_));
    CheckDlgButton(dialog_, IDC_OPT_PERSONAL, BST_CHECKED);
    SetDlgItemTextW(dialog_, IDC_OPT_VERSION,
                    Wide(OfferedVersionText(dictionary_.HeaderText(kPropertyVersion).value_or(u""))));
    SetFocus(GetDlgItem(dialog_, IDOK));
    return FALSE;
}

std::u16string COptimizeDlg::Text(int id) const {
    std::vector<wchar_t> text(256, L'\0');
    GetDlgItemTextW(dialog_, id, text.data(), static_cast<int>(text.size()));
    return std::u16string(reinterpret_cast<const char16_t*>(text.data()));
}

int32_t COptimizeDlg::Optimize() {
    if (dictionary_.flags & kDictionaryBook) {
        ShowSlotBox(dialog_, kBookSlot, kBookCaptionSlot, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    // An editor would keep an id of the old file and save it into the new one.
    if (DictionaryHasOpenEditors(dictionary_) && !CloseDictionaryEditors(dictionary_)) return 0;
    const bool keepPersonal = IsDlgButtonChecked(dialog_, IDC_OPT_PERSONAL) == BST_CHECKED;
    const uint32_t flags = OptimizedFormatFlags(dictionary_.flags, keepPersonal);
    const std::u16string version = FinalVersionText(Text(IDC_OPT_VERSION), keepPersonal);
    backup_ = BackupPathNow(path_);
    SetDlgItemTextW(dialog_, IDC_OPT_BACKUP, Wide(backup_));

    CDMS& engine = dictionary_.Engine();
    std::vector<ArticleIdEntry> ids;
    std::vector<ArticleAtPosition> oldArticles, newArticles;
    if (const DmsStatus s = ReadArticleIds(engine, dictionary_.fileId, ids); Failed(s)) return 0;
    if (const DmsStatus s = ReadLiveArticles(engine, dictionary_.fileId, oldArticles); Failed(s)) return 0;

    temporary_ = OptimizedDictionaryPath(path_);
    TidyOptimizationLeftovers();
    SendDlgItemMessageW(dialog_, IDC_CONV_PROGRESS, PBM_SETPOS, 0, 0);
    {
        CDictionary rebuilt(flags, engine);
        std::unique_ptr<CompileEnv> env = MakeCompileEnv();
        CConverter converter(rebuilt, CConverter::kNewFile, run_.Ui(), *env);
        converter.sourceDictionary = &dictionary_;
        converter.compactionEnabled = !keepPersonal;
        run_.SetConverter(&converter);
        const int32_t converted = converter.Convert(flags, path_, temporary_);
        if (converted != 1 || !WriteVersionText(engine, temporary_, version)) {
            TidyOptimizationLeftovers();
            if (!converter.Cancelled()) Fail(converter.errorText);
            return 0;
        }
    }
    {
        int32_t file = 0;
        if (!Failed(engine.OpenFile(temporary_, 2, DictionarySchemaText, &file))) {
            ReadLiveArticles(engine, file, newArticles);
            engine.CloseFile(file);
        }
    }
    const RecordIdMap map = MapOptimizedIds(ids, oldArticles, newArticles);
    if (!keepPersonal) dictionary_.flags &= ~(kDictionaryEditable | kDictionaryWorking);
    dictionary_.flags |= kDictionaryToClose;
    shelf_.Refresh();
    if (!Swap()) {
        dictionary_.flags &= ~(kDictionaryToClose | kDictionaryHidden);
        dictionary_.Open(2);
        shelf_.Refresh();
        return 0;
    }
    RemapLists(map);
    dictionary_.File().SetPath(path_.c_str());
    dictionary_.flags &= ~(kDictionaryHidden | kDictionaryToClose);
    if (const uint32_t code = dictionary_.Open(2); code != 0)
        dictionary_.ShowError(dialog_, UIStringTable[kCannotOpenSlot], UIStringTable[kCannotOpenSlot], code);
    shelf_.Refresh();
    return 1;
}

bool COptimizeDlg::Swap() {
    if (file_replace::CopyReplacing(path_.c_str(), backup_.c_str()) != 0) {
        file_replace::Delete(backup_.c_str());
        TidyOptimizationLeftovers();
        Fail(FormatInterfaceText(u"%s\n%s", {path_, backup_}));
        return false;
    }
    if (file_replace::MoveReplacing(temporary_.c_str(), path_.c_str()) != 0) {
        // The dictionary stays as it was; its copy and the rebuilt file go.
        file_replace::Delete(backup_.c_str());
        TidyOptimizationLeftovers();
        Fail(FormatInterfaceText(u"%s\n%s", {temporary_, path_}));
        return false;
    }
    return true;
}

void COptimizeDlg::RemapLists(const RecordIdMap& map) {
    const int32_t n = static_cast<int32_t>(map.oldIds.size());
    for (int32_t kind : {kViewSelected, kViewHistory}) {
        ListViewModel* view = shelf_.FindView(kind);
        if (!view || !view->model || view->model->EntryCount() == 0) continue;
        view->model->RemapRecordIds(&dictionary_, map.oldIds.data(), map.newIds.data(), n);
        view->model->flags |= kListModified;
    }
    if (g_frame && g_frame->lists) g_frame->lists->SaveSelectedListIfChanged();
}

}  // namespace

int32_t RunOptimizeDialog(RDFDictionary& dictionary, CShelf& shelf, HWND owner) {
    if (!CanOptimize(dictionary.flags)) return 0;
    COptimizeDlg dialog(dictionary, shelf);
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), L"OPTIMIZE", owner,
                                           &DialogProcedure<COptimizeDlg>, reinterpret_cast<LPARAM>(&dialog));
    return result == 1 ? 1 : -1;
}
