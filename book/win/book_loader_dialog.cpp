#include "book/win/book_loader_dialog.h"

#include <commctrl.h>

#include <vector>

#include "book/book_list_file.h"
#include "book/book_loader.h"
#include "book/reader_settings.h"
#include "book/win/dialog_template.h"
#include "common/settings/settings_file.h"
#include "common/ui_text/ui_text.h"
#include "common/win/file_dialogs.h"
#include "dictionary/dictionary.h"
#include "import/win/win_compile_environment.h"
#include "storage/global_engine.h"

namespace {

using namespace book_loader_ids;

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }

// The loader's texts by their slots: looked up by English wording, a text
// shared with another slot ("Download" of the update notice) took that
// slot's translation.
enum : int {
    kTitleSlot = 665, kDictionaryLabelSlot = 666, kOneFileSlot = 667, kSourceLabelSlot = 668, kListSlot = 669,
    kProcessingSlot = 670, kLoadSlot = 671, kSelectListSlot = 672, kLoadedSlot = 673, kSelectSourceSlot = 121,
    kStopQuestionSlot = 524, kStopCaptionSlot = 525, kHelpSlot = 269, kCancelSlot = 638,
    kConversionFailedSlot = 523, kCannotOpenFileSlot = 534, kCannotOpenCaptionSlot = 604
};

std::u16string SlotText(int slot) { return UIStringTable[slot]; }

// The slot's text with its "%s" replaced by `argument`.
std::u16string SlotText(int slot, std::u16string_view argument) {
    std::u16string text = SlotText(slot);
    if (size_t at = text.find(u"%s"); at != std::u16string::npos) text.replace(at, 2, argument);
    return text;
}

struct CBookLoadDlg {
    IBookLoaderHost* host;
    RDFDictionary* dictionary;
    BookLoader* running = nullptr;
    int32_t result = 0;
};

std::u16string ItemText(HWND dialog, int id) {
    wchar_t text[BinFile::kMaxPath] = {};
    GetDlgItemTextW(dialog, id, text, BinFile::kMaxPath);
    return reinterpret_cast<const char16_t*>(text);
}

void SetListMode(HWND dialog, bool list) {
    CheckDlgButton(dialog, kOneFile, list ? BST_UNCHECKED : BST_CHECKED);
    CheckDlgButton(dialog, kListOfFiles, list ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, kSource), !list);
    EnableWindow(GetDlgItem(dialog, kChooseSource), !list);
    EnableWindow(GetDlgItem(dialog, kList), list);
    EnableWindow(GetDlgItem(dialog, kChooseList), list);
}

// The list file's bytes; false when it cannot be read.
bool ReadListFile(const std::u16string& path, std::string& bytes) {
    HANDLE file = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return true;
}

void Load(HWND dialog, CBookLoadDlg& state) {
    IBookLoaderHost& host = *state.host;
    CIni* ini = host.Settings();
    const bool list = IsDlgButtonChecked(dialog, kListOfFiles) == BST_CHECKED;
    std::vector<std::u16string> sources;
    if (!list) {
        const std::u16string source = ItemText(dialog, kSource);
        if (ini) ini->WriteString(kLoaderSection, u"SourceFile", source);
        sources.push_back(source);
    } else {
        const std::u16string listPath = ItemText(dialog, kList);
        if (ini) ini->WriteString(kLoaderSection, u"FileList", listPath);
        std::string bytes;
        const BookListFile parsed = ReadListFile(listPath, bytes) ? ParseBookListFile(bytes, listPath) : BookListFile{};
        if (bytes.empty() && parsed.paths.empty()) {
            host.Ask(dialog, SlotText(kCannotOpenFileSlot, listPath), SlotText(kCannotOpenCaptionSlot),
                     MB_OK | MB_ICONERROR);
            return;
        }
        if (parsed.overlongLine != 0) {
            host.Ask(dialog,
                     SlotText(kCannotOpenFileSlot, listPath) + u"\n" + UIExtra(UIExtraText::kOverlongListLine) +
                         std::u16string(reinterpret_cast<const char16_t*>(std::to_wstring(parsed.overlongLine).c_str())),
                     SlotText(kCannotOpenCaptionSlot), MB_OK | MB_ICONERROR);
            return;
        }
        sources = parsed.paths;
    }
    if (!host.CloseForLoad(*state.dictionary)) return;
    WinCompileUi ui(dialog, GetDlgItem(dialog, kStep), GetDlgItem(dialog, kProgress));
    WinCompileEnv env;
    BookLoader loader(*GlobalEngine(), ui, env);
    loader.context = dialog;
    loader.onSource = [](std::u16string_view path, void* context) {
        const std::u16string text(path);
        SetDlgItemTextW(static_cast<HWND>(context), kCurrentFile, W(text));
        SendDlgItemMessageW(static_cast<HWND>(context), kProgress, PBM_SETPOS, 0, 0);
    };
    state.running = &loader;
    const std::u16string target = state.dictionary->File().path;
    const int32_t loaded = loader.Load(target, sources);
    state.running = nullptr;
    // Books kept before a failed text finish the dictionary as a whole load does.
    host.ReopenAfterLoad(*state.dictionary, loaded == 1 || loader.loaded > 0);
    if (loaded == 1) {
        state.result = 1;
        host.Ask(dialog, SlotText(kLoadedSlot), UIExtra(UIExtraText::kBooksLoaded), MB_OK | MB_ICONINFORMATION);
    } else if (!loader.error.empty()) {
        host.Ask(dialog, loader.error, SlotText(loader.Cancelled() ? kTitleSlot : kConversionFailedSlot),
                 loader.Cancelled() ? MB_OK | MB_ICONINFORMATION : MB_OK | MB_ICONERROR);
    }
}

INT_PTR CALLBACK LoaderProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<CBookLoadDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<CBookLoadDlg*>(lParam);
        IBookLoaderHost& host = *state->host;
        SetWindowTextW(dialog, W(UIStringTable[kTitleSlot]));
        const std::pair<int, int> texts[] = {
            {kDictionaryLabel, kDictionaryLabelSlot}, {kOneFile, kOneFileSlot},  {kSourceLabel, kSourceLabelSlot},
            {kListOfFiles, kListSlot},                {kProcessingLabel, kProcessingSlot}, {kHelp, kHelpSlot},
            {IDOK, kLoadSlot},                        {IDCANCEL, kCancelSlot}};
        for (const auto& [id, slot] : texts) SetDlgItemTextW(dialog, id, W(UIStringTable[slot]));
        if (CIni* ini = host.Settings()) {
            SetDlgItemTextW(dialog, kSource, W(ini->GetString(kLoaderSection, u"SourceFile", {}, 259)));
            SetDlgItemTextW(dialog, kList, W(ini->GetString(kLoaderSection, u"FileList", {}, 259)));
        }
        SetDlgItemTextW(dialog, kDictionaryPath, W(std::u16string(state->dictionary->File().path)));
        SendDlgItemMessageW(dialog, kProgress, PBM_SETRANGE32, 0, 1000);
        SendDlgItemMessageW(dialog, kProgress, PBM_SETSTEP, 1, 0);
        SetListMode(dialog, false);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_HELP:
        state->host->ShowHelp(dialog, kHelpTopic);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kOneFile: SetListMode(dialog, false); return TRUE;
        case kListOfFiles: SetListMode(dialog, true); return TRUE;
        case kChooseSource: case kChooseList: {
            const bool source = LOWORD(wParam) == kChooseSource;
            wchar_t path[BinFile::kMaxPath] = {};
            GetDlgItemTextW(dialog, source ? kSource : kList, path, BinFile::kMaxPath);
            const std::u16string title = SlotText(source ? kSelectSourceSlot : kSelectListSlot);
            if (FileNameDialog(W(title), path, false, 2, dialog)) {
                SetDlgItemTextW(dialog, source ? kSource : kList, path);
                if (CIni* ini = state->host->Settings())
                    ini->WriteString(kLoaderSection, source ? u"SourceFile" : u"FileList",
                                     reinterpret_cast<const char16_t*>(path));
            }
            return TRUE;
        }
        case kHelp: state->host->ShowHelp(dialog, kHelpTopic); return TRUE;
        case IDOK:
            if (state->running) return TRUE;
            EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
            Load(dialog, *state);
            EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
            EnableWindow(GetDlgItem(dialog, IDCANCEL), TRUE);
            EndDialog(dialog, state->result);
            return TRUE;
        case IDCANCEL:
            if (state->running) {
                if (state->host->Ask(dialog, SlotText(kStopQuestionSlot),
                                     SlotText(kStopCaptionSlot), MB_YESNO | MB_ICONQUESTION) == IDYES) {
                    state->running->Cancel();
                    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
                }
                return TRUE;
            }
            EndDialog(dialog, state->result);
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

int32_t RunBookLoaderDialog(IBookLoaderHost& host, RDFDictionary* dictionary, HWND owner) {
    if (dictionary == nullptr) return 0;
    using namespace dialog_class;
    DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK, u"Book Load", 280, 170);
    const DWORD shown = WS_VISIBLE;
    t.Add(kStatic, kDictionaryLabel, u"", SS_LEFT | shown, 8, 8, 264, 9);
    t.Add(kEdit, kDictionaryPath, u"", ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | shown, 8, 19, 264, 13);
    t.Add(kButton, kOneFile, u"", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP | shown, 8, 38, 264, 10);
    t.Add(kStatic, kSourceLabel, u"", SS_LEFT | shown, 20, 50, 250, 9);
    t.Add(kEdit, kSource, u"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | shown, 20, 61, 226, 13);
    t.Add(kButton, kChooseSource, u"...", BS_PUSHBUTTON | WS_TABSTOP | shown, 250, 61, 22, 13);
    t.Add(kButton, kListOfFiles, u"", BS_AUTORADIOBUTTON | WS_TABSTOP | shown, 8, 80, 264, 10);
    t.Add(kEdit, kList, u"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | shown, 20, 92, 226, 13);
    t.Add(kButton, kChooseList, u"...", BS_PUSHBUTTON | WS_TABSTOP | shown, 250, 92, 22, 13);
    t.Add(kStatic, kProcessingLabel, u"", SS_LEFT | shown, 8, 112, 70, 9);
    t.Add(kStatic, kCurrentFile, u"", SS_LEFT | SS_PATHELLIPSIS | shown, 80, 112, 192, 9);
    t.Add(kStatic, kStep, u"", SS_LEFT | shown, 8, 123, 264, 9);
    t.Add(u"msctls_progress32", kProgress, u"", WS_BORDER | shown, 8, 134, 264, 9);
    t.Add(kButton, kHelp, u"", BS_PUSHBUTTON | WS_TABSTOP | shown, 8, 150, 60, 14);
    t.Add(kButton, IDOK, u"", BS_DEFPUSHBUTTON | WS_TABSTOP | shown, 146, 150, 60, 14);
    t.Add(kButton, IDCANCEL, u"", BS_PUSHBUTTON | WS_TABSTOP | shown, 212, 150, 60, 14);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    CBookLoadDlg state{&host, dictionary};
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.Get(), owner, LoaderProc,
                                                   reinterpret_cast<LPARAM>(&state));
    return result < 0 ? -1 : static_cast<int32_t>(result);
}
