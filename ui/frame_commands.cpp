// The command dispatcher of the main window: every WM_COMMAND of menus,
// toolbar buttons, tabs, the tray menu, the input box and posted commands,
// and the checked and enabled states of the commands' menu items and buttons.
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>
#include <shellapi.h>

#include <algorithm>

#include "article/win/article_view.h"
#include "article/win/clipboard_render.h"
#include "article/win/rich_edit.h"
#include "common/settings/settings_keys.h"
#include "common/ui_text/toolbar_tooltip.h"
#include "common/ui_text/ui_text.h"
#include "common/text/win/clipboard_text.h"
#include "common/ui_text/win/ui_language.h"
#include "common/app_context.h"
#include "common/win/wide_text.h"
#include "dictionary/input_line.h"
#include "japanese/work_text.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/command_rules.h"
#include "ui/dialog_texts.h"
#include "ui/find_stages.h"
#include "ui/frame.h"
#include "ui/list_view.h"

namespace {

constexpr int kTitleSlot = 116;
constexpr int kEditSlot = 83, kWebSearchSlot = 78;
constexpr int32_t kInputUnits = CInput::kMaxText;
constexpr UINT kHelpDisplayToc = 0x0001;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// Text of a rich edit between two positions (the whole text for 0, -1).
std::u16string RichEditText(HWND edit, bool selectionOnly) {
    if (!edit) return {};
    if (!selectionOnly) {
        int length = GetWindowTextLengthW(edit);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        int got = GetWindowTextW(edit, text.data(), length + 1);
        text.resize(got > 0 ? got : 0);
        return std::u16string(Char16View(text));
    }
    CHARRANGE range{};
    SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMax <= range.cpMin) return {};
    std::wstring text(static_cast<size_t>(range.cpMax - range.cpMin) + 1, L'\0');
    LRESULT got = SendMessageW(edit, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return std::u16string(Char16View(text));
}

void SetMenuCheck(HMENU menu, uint32_t id, bool checked) {
    if (menu) CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

bool IsWebSearchCommand(uint32_t id) {
    for (uint32_t command : kWebSearchCommands)
        if (command == id) return true;
    return false;
}

int32_t PostTextCommand(uint32_t id, HWND richEdit) {
    if (!IsWebSearchCommand(id) || !g_frame || !g_frame->Window()) return 0;
    std::u16string text = RichEditText(richEdit, true);
    if (text.empty()) return 0;
    BSTR word = SysAllocStringLen(Wide(text.c_str()), static_cast<UINT>(text.size()));
    if (!word) return 0;
    LPARAM value = g_frame->HandOutWebWord(word);
    PostMessageW(g_frame->Window(), WM_COMMAND, id, value);
    return 1;
}

HMENU FindMenuWithCommand(HMENU menu, uint32_t id, int* position) {
    if (position) *position = -1;
    int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        HMENU sub = GetSubMenu(menu, i);
        if (sub && GetMenuState(sub, id, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
            if (position) *position = i;
            return sub;
        }
    }
    return nullptr;
}

std::u16string CFrame::InputText() const {
    std::u16string text = RichEditText(inputBox_, false);
    if (text.size() > kInputUnits) text.resize(kInputUnits);
    return text;
}

std::u16string CFrame::SelectedInputText() const { return RichEditText(inputBox_, true); }

LRESULT CFrame::OnCommand(WPARAM wParam, LPARAM lParam) {
    Application& app = *g_application;
    uint32_t id = LOWORD(wParam);
    if (id == cmd::kInputBox) {
        OnInputChange(HIWORD(wParam));
        return 0;
    }
    if (ListKindOfCommand(id)) {
        SelectList(id, lParam);
        return 0;
    }
    if (IsWebSearchCommand(id)) {
        // Only a word this frame handed out is freed; other values are refused.
        if (BSTR word = webWords_.TakeBack(lParam)) {
            if (app.web) app.web->OpenWebSearch(id, word);
            else SysFreeString(word);
        }
        return 0;
    }
    switch (id) {
    case cmd::kExit:
        PostMessageW(frame_, WM_CLOSE, 0, 0);
        return 0;
    case cmd::kAbout:
        if (furniture) furniture->ShowAbout(frame_);
        return 0;
    case cmd::kClipboardMonitorOn:
        if (!(app.flags & app_flag::kClipboardMonitor)) {
            nextViewer_ = SetClipboardViewer(frame_);
            ClipboardChanged();  // the clipboard as it is now counts as seen
            app.flags |= app_flag::kClipboardMonitor;
            UpdateCommandStates(cmd::kClipboardMonitor);
            if (!lists || !lists->HasOpenEditors()) PostMessageW(frame_, WM_COMMAND, cmd::kListTranslation, 0);
        }
        return 0;
    case cmd::kClipboardMonitorOff:
        if (app.flags & app_flag::kClipboardMonitor) {
            ChangeClipboardChain(frame_, nextViewer_);
            nextViewer_ = nullptr;
            app.flags &= ~app_flag::kClipboardMonitor;
            UpdateCommandStates(cmd::kClipboardMonitor);
        }
        return 0;
    case cmd::kFind: {
        // lParam -1: the input changed (typing, a paste, a list switch).
        const bool held = findForChangedInput_;
        findForChangedInput_ = held || lParam == -1;
        MarkFindStage(FindStage::FindStarted);
        {
            ListRefreshHold oneRefresh;
            Find();
            MarkFindStage(FindStage::Searched);
        }
        findForChangedInput_ = held;
        MarkFindStage(FindStage::FindEnded);
        return 0;
    }
    case cmd::kClipboardSearch: {
        {
            ListRefreshHold oneRefresh;
            ClipboardSearch();
        }
        UpdateStatusBar();  // with the monitor's word on a cut, after the list's own
        return 0;
    }
    case cmd::kClipboardMonitor:
        SendMessageW(frame_, WM_COMMAND,
                     app.flags & app_flag::kClipboardMonitor ? cmd::kClipboardMonitorOff : cmd::kClipboardMonitorOn, 0);
        return 0;
    case cmd::kTopmost:
        SendMessageW(frame_, WM_COMMAND,
                     GetWindowLongPtrW(frame_, GWL_EXSTYLE) & WS_EX_TOPMOST ? cmd::kTopmostOff : cmd::kTopmostOn, 0);
        return 0;
    case cmd::kClearInput:
        if (input_) input_->Clear();
        if (lists && lists->CurrentKind() == 1) lists->ClearTranslationList();
        SetFocus(inputBox_);
        return 0;
    case cmd::kTopmostOn:
    case cmd::kTopmostOff: {
        bool on = id == cmd::kTopmostOn;
        if (on) app.flags |= app_flag::kTopmost;
        else app.flags &= ~app_flag::kTopmost;
        SetWindowPos(frame_, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        UpdateCommandStates(cmd::kTopmost);
        return 0;
    }
    case cmd::kInputDelete:
        PostMessageW(inputBox_, WM_CLEAR, 0, 0);
        return 0;
    case cmd::kSelectArticleId:
        if (lists) lists->SelectArticleId(static_cast<int32_t>(lParam));
        return 0;
    case cmd::kSearchAsYouType:
        if (lists) lists->SearchAsYouType();
        return 0;
    case cmd::kInputCut:
        CopyInputSelection(true);
        return 0;
    case cmd::kInputPaste:
        PasteIntoInput();
        return 0;
    case cmd::kDeleteLines: case cmd::kEditArticle: case cmd::kEditArticleAlt: case cmd::kDeleteArticle:
    case cmd::kNewArticle: case cmd::kBookOnRow: case cmd::kNewArticleFromClipboard: case cmd::kPrint:
    case cmd::kSelectAll: case cmd::kAddToSelected: case cmd::kSaveListAs: case cmd::kSaveList:
    case cmd::kOpenList: case cmd::kCloseList:
    case cmd::kCopy:
        if (lists) lists->OnListCommand(id);
        return 0;
    case cmd::kInputSelectAll:
        PostMessageW(inputBox_, EM_SETSEL, 0, -1);
        return 0;
    case cmd::kInputCopy:
        CopyInputSelection(false);
        return 0;
    case cmd::kInputDeleteAll:
        if (input_) input_->Clear();
        return 0;
    case cmd::kEnglishInterface:
    case cmd::kJapaneseInterface:
    case cmd::kRussianInterface:
        SwitchLanguage(id);
        return 0;
    case cmd::kShowWindow:
        ShowWindowCommand();
        return 0;
    case cmd::kHideWindow:
        HideWindowCommand();
        return 0;
    case cmd::kAutoLocate:
        if (lists) {
            if (!lists->AutoLocateOff()) {
                lists->SetAutoLocateOff(true);
            } else {
                lists->SetAutoLocateOff(false);
                if (!app.inputBusy) SendMessageW(frame_, WM_COMMAND, cmd::kFind, -1);
            }
        }
        UpdateCommandStates(cmd::kAutoLocate);
        return 0;
    case cmd::kBookReader:
        if (furniture) furniture->OpenBookReader(frame_);
        return 0;
    case cmd::kDictionaries:
        if (furniture) furniture->ShowDictionaries(frame_);
        return 0;
    case cmd::kUnderCursor:
        SendMessageW(frame_, WM_COMMAND,
                     app.flags & app_flag::kUnderCursor ? cmd::kUnderCursorOff : cmd::kUnderCursorOn, 0);
        return 0;
    case cmd::kUnderCursorOn:
        pointerRest = {};
        app.flags |= app_flag::kUnderCursor;
        UpdateCommandStates(cmd::kUnderCursor);
        return 0;
    case cmd::kUnderCursorOff:
        pointerRest.count = 0;
        app.flags &= ~app_flag::kUnderCursor;
        UpdateCommandStates(cmd::kUnderCursor);
        return 0;
    case cmd::kHelpContents:
        if (!app.HelpFileFound(frame_)) return 0;
        if (auto help = app.HtmlHelp()) help(nullptr, WideString(app.helpPath).c_str(), kHelpDisplayToc, 0);
        return 0;
    case cmd::kFontSettings:
    case cmd::kSettings:
        if (furniture) furniture->ShowSettings(frame_, id == cmd::kFontSettings ? 2 : 0);
        if (lists) lists->RepaintPage();
        return 0;
    case cmd::kHomeSite:
    case cmd::kWebSite: {
        std::u16string url = app.homeSite;
        if (id == cmd::kWebSite)
            url += app.language == 2 ? u"index_j.htm" : app.language == 1 ? u"index_e.htm" : u"index.htm";
        ShellExecuteW(nullptr, L"open", WideString(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return 0;
    }
    case cmd::kTrayIcon:
        ToggleTray();
        return 0;
    case cmd::kNothing:
        return 0;
    case cmd::kTranslationOptions:
        if (furniture) furniture->ShowTranslationOptions(frame_);
        return 0;
    case cmd::kLookUpList:
    case cmd::kLookUpFullText:
    case cmd::kLookUpTranslate: {
        // The same look-up as the article's menu: the selection becomes the
        // input of the command's list.
        std::u16string text = SelectedInputText();
        if (!text.empty()) LookUpText(text, id);
        return 0;
    }
    case cmd::kConversionMode:
        ChangeConversionMode();
        return 0;
    case cmd::kHistoryBack:
    case cmd::kHistoryForward:
        if (lists) {
            if (id == cmd::kHistoryBack) lists->HistoryBack();
            else lists->HistoryForward();
        }
        UpdateCommandStates(id);
        return 0;
    case cmd::kHints:
        hintsOn_ = !hintsOn_;
        app.ini->WriteInt(settings_section::kView, u"BigHints", hintsOn_);
        UpdateCommandStates(cmd::kHints);
        return 0;
    case cmd::kCopyToWorking:
        // Article editors open through the shelf's dictionaries.
        if (lists) lists->OnListCommand(id);
        return 0;
    case cmd::kNewArticleFromSelection:
        // The article view's and the book reader's menus name their window.
        if (lists) lists->NewArticleFromSelection(reinterpret_cast<HWND>(lParam));
        return 0;
    case cmd::kMenuButton:
        ShowApplicationMenu();
        return 0;
    default:
        return DefWindowProcW(frame_, WM_COMMAND, wParam, lParam);
    }
}

void CFrame::OnInputChange(WORD code) {
    // The wrapper's own changes (its texts, clearing, reformatting) are not typing.
    if (code != EN_CHANGE || !input_ || input_->Busy()) return;
    MarkFindStage(FindStage::InputChanged);
    // Typed kana take the Japanese face even while nothing is searched.
    input_->ApplyScriptFontsToText();
    InputTextChanged();
}

void CFrame::InputTextChanged() {
    Application& app = *g_application;
    // The monitor's word on its cut is about its own text, which is gone.
    if (!monitorNote_.empty()) UpdateStatusBar();
    if (!input_ || !lists || lists->AutoLocateOff() || app.inputBusy) return;
    input_->ReformatInputText();
    MarkFindStage(FindStage::FindPosted);
    PostMessageW(frame_, WM_COMMAND, cmd::kFind, -1);
}

void CFrame::SelectList(uint32_t id, LPARAM lParam) {
    Application& app = *g_application;
    int32_t kind = ListKindOfCommand(id);
    if (lParam == 1) tabKind_ = kind;
    if (!lists || !lists->SetCurrentListByKind(kind)) return;
    bool searchOnSwitch = app.ini->GetInt(settings_section::kView, u"SearchOnListSwitch", kDefaultSearchOnListSwitch);
    uint32_t inputCounter = lists->UpdateInput();
    if (searchOnSwitch && lists->SearchedInputCounter() != inputCounter && !app.listBusy &&
        id != cmd::kListSelected && id != cmd::kListHistory) {
        SendMessageW(frame_, WM_COMMAND, cmd::kFind, -1);
        if (lists->CurrentKind() != kind) return;
    }
    lists->RedrawLists();
    UpdateCommandStates(id);
}

void CFrame::Find() {
    if (!lists) return;
    if (lists->CurrentKind() == 1 || tabKind_ == 1) {
        // A Find behind the one a change posted (a paste, then Return) finds
        // the list as this very text's translation left it: translating again
        // would give the same rows and row. Once the user picked another row,
        // Return translates again and goes back to the hit at the caret.
        if (!translator || lists->TranslationShowsInput()) return;
        CHARRANGE selection{};
        SendMessageW(inputBox_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        translator->TranslateText(InputText(), selection.cpMin, 0, 0, 2);
        return;
    }
    lists->SearchAsYouType();
}

bool CFrame::InputHoldsMonitorFill() const {
    return !monitorFill_.empty() && RichEditText(inputBox_, false) == monitorFill_;
}

void CFrame::PasteIntoInput(bool byMonitor) {
    // What the clipboard monitor put in the box (the text it searched, as it
    // left it) is the program's text, not the user's, and the matched part a
    // list selected in the box is no selection of the user's: the paste
    // replaces the whole text, which would otherwise hold the pasted text
    // beside what was left of the old.
    if (InputHoldsMonitorFill() || (lists && lists->InputSelectionIsOwnHighlight()))
        SendMessageW(inputBox_, EM_SETSEL, 0, -1);
    // Unicode text goes in as one stream with its script faces: pasted as
    // plain text and given its faces afterwards, a long mixed text would
    // keep the window busy for seconds.
    ClipboardText clip;
    if (IsClipboardFormatAvailable(CF_UNICODETEXT)) clip = ReadClipboardText();
    if (clip.text && input_) {
        // The box keeps what the input line reads, its lines joined. (A whole
        // selection reaches one past the text: the box's closing paragraph mark.)
        CHARRANGE selection{};
        SendMessageW(inputBox_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        const LONG length = GetWindowTextLengthW(inputBox_);
        const int32_t kept = length - (std::clamp(selection.cpMax, 0L, length) - std::clamp(selection.cpMin, 0L, length));
        const InputPaste paste = FitPasteIntoInput(std::u16string_view(clip.text.get(), clip.length), kInputUnits - kept);
        input_->PasteText(paste.text);
        if (byMonitor) {
            monitorClip_.assign(clip.text.get(), clip.length);
            monitorPasted_ = true;
        }
        InputTextChanged();
        if (paste.cut) TellInputCut(paste.readUpTo, paste.length, byMonitor);
        return;
    }
    SendMessageW(inputBox_, WM_PASTE, 0, 0);
    if (input_) input_->ReformatInputText();
}

void CFrame::CopyInputSelection(bool cut) {
    // The selected characters exactly, written here and not by the box: its
    // own copy may leave a stray unit behind the text's terminator, which
    // other programs paste as characters. A selection of the whole text
    // reaches one past it, the box's closing paragraph mark, no character.
    const std::u16string text = RichEditText(inputBox_, false);
    CHARRANGE selection{};
    SendMessageW(inputBox_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    const LONG length = static_cast<LONG>(text.size());
    const LONG first = std::clamp(selection.cpMin, 0L, length), last = std::clamp(selection.cpMax, first, length);
    if (last == first) return;  // nothing selected: the clipboard stays as it was
    const std::u16string_view selected = std::u16string_view(text).substr(first, last - first);
    // A cut whose copy failed keeps its text. The cut goes as the user's own
    // edit: it can be undone, and the search follows it as after typing.
    if (!TellClipboardCopy(frame_, PutTextOnClipboard(frame_, selected))) return;
    // The monitor knows its own copy now, not only by what its notice reads
    // later: a read that meets the clipboard held by another program would
    // leave it the text before, and a later notice would search this one.
    clipboardWatch_.Changed(static_cast<uint32_t>(GetClipboardSequenceNumber()), selected);
    if (!cut) return;
    SendMessageW(inputBox_, EM_SETSEL, first, last);
    SendMessageW(inputBox_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
}

void CFrame::ClipboardSearch() {
    if (input_) input_->Clear();
    pointerRest.count = -3;
    monitorFill_.clear();
    monitorNote_.clear();
    monitorClip_.clear();
    if (!translator || translator->AutoSwitchTranslationList() == 0) {
        PasteIntoInput(true);
        monitorFill_ = RichEditText(inputBox_, false);
        PostMessageW(frame_, WM_COMMAND, cmd::kFind, 0);
        return;
    }
    std::u16string text;
    ClipboardText clip = ReadClipboardText();
    if (clip.text) {
        text.assign(clip.text.get(), clip.length);
    } else {
        SendMessageW(inputBox_, WM_PASTE, 0, 0);
        if (input_) input_->ReformatInputText();
        text = InputText();
    }
    monitorClip_ = text;
    monitorPasted_ = false;
    if (text.size() > kInputUnits) text.resize(kInputUnits);
    monitorSearching_ = true;
    translator->TranslateText(text, 0, 512, 512, 1);
    monitorSearching_ = false;
    monitorFill_ = RichEditText(inputBox_, false);
    // A whole text is translated as far as its work text goes (255
    // characters); where its words are listed in part, that says more.
    const auto work = ostrel::japanese::CutWorkText(text, 0, 0, 0, ostrel::japanese::TranslateMode::kWholeText);
    const int32_t length = UserCharacterCount(monitorClip_);
    if (monitorNote_.empty() && work && work->end < static_cast<int32_t>(monitorClip_.size()))
        TellInputCut(UserCharacterCount(std::u16string_view(monitorClip_).substr(0, work->end)), length, true);
    UpdateStatusBar();
}

void CFrame::SwitchLanguage(uint32_t id) {
    Application& app = *g_application;
    app.flags &= ~(app_flag::kJapaneseInterface | app_flag::kEnglishInterface);
    if (id == cmd::kEnglishInterface) {
        app.flags |= app_flag::kEnglishInterface;
        app.language = 1;
    } else if (id == cmd::kJapaneseInterface) {
        app.flags |= app_flag::kJapaneseInterface;
        app.language = 2;
    } else {
        app.language = 0;
    }
    SetUILanguage(static_cast<uint32_t>(app.language));
    SetWindowTextW(frame_, Wide(UIStringTable[kTitleSlot]));
    ApplyUILanguageToMenus(applicationMenu_, contextMenus_);
    if (lists) lists->RefreshListHeaders();
    // The status line's count and the note above the article are words of
    // the interface too; without this they wait for the row to move.
    if (lists) lists->ShowCurrentArticleAgain();
    UpdateStatusBar();
    for (HWND toolbar : toolbars) ApplyUILanguageToToolbar(toolbar);
    DrawMenuBar(frame_);
    // The current list's command, not always the Reading list's: the checked
    // item and the selected tab stay those of the list on screen. Retitling
    // clears every tick, so each ticked item is refreshed, the hints and the
    // clipboard monitor too.
    uint32_t listCommand = lists ? ListCommandOfKind(lists->CurrentKind()) : 0;
    for (uint32_t refresh : {id, uint32_t{40060}, listCommand ? listCommand : cmd::kListReading, uint32_t{40047},
                             cmd::kTopmost, cmd::kTrayIcon, cmd::kEditingStates, cmd::kUnderCursor,
                             cmd::kConversionMode, cmd::kHints, cmd::kClipboardMonitor})
        UpdateCommandStates(refresh);
    app.CheckHelpFiles();
}

void CFrame::ShowWindowCommand() {
    Application& app = *g_application;
    app.flags |= app_flag::kWindowShown;
    ShowFrameAgain();
    if (lists && lists->CurrentListWindow()) SetFocus(lists->CurrentListWindow());
    SetForegroundWindow(frame_);
}

void CFrame::ShowFrameAgain() {
    // Hidden to the tray the frame was a tool window: its edges and caption
    // are those of a main window again before it shows, and it comes back as
    // it was, maximised or not (only a minimised one is restored), its
    // children laid out over its whole client area.
    SetWindowLongPtrW(frame_, GWL_EXSTYLE, 0);
    SetWindowPos(frame_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ShowWindow(frame_, IsIconic(frame_) ? SW_RESTORE : SW_SHOW);
    RecalcLayout();
    RedrawWindow(frame_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void CFrame::HideWindowCommand() {
    Application& app = *g_application;
    ShowWindow(frame_, SW_HIDE);
    SetWindowLongPtrW(frame_, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    app.flags &= ~app_flag::kWindowShown;
    if (furniture && !furniture->TrayShown()) furniture->ShowTray();
    app.flags |= app_flag::kTrayIcon;
}

void CFrame::ToggleTray() {
    Application& app = *g_application;
    if (!(app.flags & app_flag::kTrayIcon)) {
        if (furniture) furniture->ShowTray();
        app.flags |= app_flag::kTrayIcon;
        ShowWindow(frame_, SW_HIDE);
        SetWindowLongPtrW(frame_, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
        app.flags &= ~app_flag::kWindowShown;
    } else {
        if (furniture) furniture->RemoveTray();
        app.flags &= ~app_flag::kTrayIcon;
        if (!(app.flags & app_flag::kWindowShown)) {
            app.flags |= app_flag::kWindowShown;  // its layout follows its size again
            ShowFrameAgain();
        } else {
            ShowWindow(frame_, SW_SHOW);
        }
    }
    UpdateCommandStates(cmd::kTrayIcon);
}

void CFrame::ChangeConversionMode() {
    if (!lists || !lists->ConversionModeAllowed()) return;
    int32_t next = NextConversionMode(lists->CurrentKind(), lists->ConversionMode());
    if (next < 0) return;
    lists->SetConversionMode(next);
    UpdateCommandStates(cmd::kConversionMode);
    PostMessageW(frame_, WM_COMMAND, cmd::kFind, 0);
}

void CFrame::ShowApplicationMenu() {
    if (menuButtonOpen_) {
        menuButtonOpen_ = false;
        return;
    }
    HWND toolbar = toolbars[0];
    RECT rect{};
    if (toolbar) {
        SendMessageW(toolbar, TB_CHECKBUTTON, cmd::kMenuButton, TRUE);
        GetWindowRect(toolbar, &rect);
    } else {
        GetWindowRect(frame_, &rect);
    }
    UINT chosen = static_cast<UINT>(TrackPopupMenu(GetSubMenu(applicationMenu_, 0), TPM_RETURNCMD | TPM_RIGHTBUTTON,
                                                   rect.left, rect.bottom, 0, frame_, nullptr));
    if (chosen) PostMessageW(frame_, WM_COMMAND, chosen, 0);
    menuButtonOpen_ = false;
    if (toolbar) {
        // A click on the Menu button itself closed the menu: it must not open it again.
        POINT cursor;
        GetCursorPos(&cursor);
        cursor.x -= rect.left;
        cursor.y -= rect.top;
        if (SendMessageW(toolbar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&cursor)) == 0) menuButtonOpen_ = true;
        SendMessageW(toolbar, TB_CHECKBUTTON, cmd::kMenuButton, FALSE);
    }
}

void CFrame::CheckCommand(uint32_t id) {
    SetMenuCheck(applicationMenu_, id, true);
    if (!ListKindOfCommand(id))
        if (HWND toolbar = FindToolbarForCommand(id)) SendMessageW(toolbar, TB_CHECKBUTTON, id, TRUE);
}

void CFrame::UncheckCommand(uint32_t id) {
    SetMenuCheck(applicationMenu_, id, false);
    if (!ListKindOfCommand(id))
        if (HWND toolbar = FindToolbarForCommand(id)) SendMessageW(toolbar, TB_CHECKBUTTON, id, FALSE);
}

void CFrame::EnableCommand(uint32_t id) {
    if (applicationMenu_) EnableMenuItem(applicationMenu_, id, MF_BYCOMMAND | MF_ENABLED);
    if (HWND toolbar = FindToolbarForCommand(id)) SendMessageW(toolbar, TB_ENABLEBUTTON, id, TRUE);
}

void CFrame::DisableCommand(uint32_t id) {
    if (applicationMenu_) EnableMenuItem(applicationMenu_, id, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
    if (HWND toolbar = FindToolbarForCommand(id)) SendMessageW(toolbar, TB_ENABLEBUTTON, id, FALSE);
}

void CFrame::UpdateCommandStates(uint32_t id) {
    Application& app = *g_application;
    auto enableIf = [this](uint32_t command, bool on) { on ? EnableCommand(command) : DisableCommand(command); };
    auto checkIf = [this](uint32_t command, bool on) { on ? CheckCommand(command) : UncheckCommand(command); };
    enableIf(cmd::kHistoryBack, lists && lists->CanGoBack());
    enableIf(cmd::kHistoryForward, lists && lists->CanGoForward());
    if (id < cmd::kListTranslation || id > cmd::kHints) return;

    if (IsCheckedListCommand(id)) {
        for (uint32_t list : kListCommands)
            if (IsCheckedListCommand(list)) UncheckCommand(list);
        CheckCommand(id);
        bool rows = lists && lists->RowCount() > 0;
        for (uint32_t command : {cmd::kCopy, cmd::kPrint, cmd::kSelectAll})
            enableIf(command, id != cmd::kListLexicon && rows);
        enableIf(cmd::kAddToSelected, !(id == cmd::kListLexicon || id == cmd::kListSelected || !rows));
        SelectTab(id);
        for (uint32_t command : {cmd::kFind, cmd::kClipboardSearch, cmd::kClearInput}) EnableCommand(command);
        UpdateEditingStates();
        UpdateCommandStates(cmd::kConversionMode);
        return;
    }
    switch (id) {
    case cmd::kClipboardMonitor:
        checkIf(id, app.flags & app_flag::kClipboardMonitor);
        break;
    case cmd::kUnderCursor:
        checkIf(id, app.flags & app_flag::kUnderCursor);
        break;
    case cmd::kTrayIcon:
        checkIf(id, app.flags & app_flag::kTrayIcon);
        break;
    case cmd::kTopmost: {
        bool on = app.flags & app_flag::kTopmost;
        checkIf(id, on);
        if (HWND toolbar = FindToolbarForCommand(id)) SendMessageW(toolbar, TB_CHANGEBITMAP, id, on ? 31 : 30);
        break;
    }
    case cmd::kHints:
        checkIf(id, hintsOn_);
        for (HWND toolbar : toolbars)
            if (toolbar)
                if (HWND tips = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0)))
                    SendMessageW(tips, TTM_ACTIVATE, !hintsOn_, 0);
        if (tabControl)
            if (HWND tips = reinterpret_cast<HWND>(SendMessageW(tabControl, TCM_GETTOOLTIPS, 0, 0)))
                SendMessageW(tips, TTM_ACTIVATE, !hintsOn_, 0);
        break;
    case cmd::kEnglishInterface:
    case cmd::kJapaneseInterface:
    case cmd::kRussianInterface:
        checkIf(cmd::kEnglishInterface, app.flags & app_flag::kEnglishInterface);
        checkIf(cmd::kJapaneseInterface, app.flags & app_flag::kJapaneseInterface);
        checkIf(cmd::kRussianInterface, !(app.flags & (app_flag::kEnglishInterface | app_flag::kJapaneseInterface)));
        break;
    case cmd::kConversionMode: {
        int32_t mode = lists ? lists->ConversionMode() : 0;
        if (HWND toolbar = FindToolbarForCommand(id)) SendMessageW(toolbar, TB_CHANGEBITMAP, id, 35 + mode);
        enableIf(id, lists && lists->ConversionModeAllowed());
        break;
    }
    case cmd::kEditingStates:
        UpdateEditingStates();
        break;
    default:
        break;
    }
}

void CFrame::UpdateEditingStates() {
    EditingInputs in;
    if (lists) {
        in.rowDictionary = lists->CurrentRowDictionaryFlags() != 0;
        in.rowWorking = lists->CurrentRowDictionaryIsWorking();
        in.selected = lists->SelectedCount();
        in.kind = lists->CurrentKind();
        in.workingExists = !lists->WorkingDictionaryPath().empty();
        in.hasCurrentRow = lists->CurrentRow() >= 0;
    }
    EditingStates s = ComputeEditingStates(in);
    auto apply = [this](uint32_t command, const std::optional<bool>& on) {
        if (on) *on ? EnableCommand(command) : DisableCommand(command);
    };
    apply(cmd::kEditArticle, s.edit);
    apply(cmd::kCopyToWorking, s.copyToWorking);
    apply(cmd::kNewArticle, s.newArticle);
    apply(cmd::kNewArticleFromClipboard, s.newFromClipboard);
    apply(cmd::kDeleteLines, s.deleteLines);
    apply(cmd::kDeleteArticle, s.deleteArticle);
    apply(cmd::kEditArticleAlt, s.editAlt);
}

void CFrame::UpdateListMenu(HMENU menu, int32_t) {
    if (!menu) return;
    ListMenuInputs in;
    if (lists) {
        in.kind = lists->CurrentKind();
        in.selected = lists->SelectedCount();
        in.hasCurrentRow = lists->CurrentRow() >= 0;
        std::u16string working = lists->WorkingDictionaryPath();
        in.workingExists = !working.empty();
        in.workingName = std::u16string(FileTitleOf(working));
        in.rowDictionary = lists->CurrentRowDictionaryFlags() != 0;
        in.rowIsWorking = lists->CurrentRowDictionaryIsWorking();
        in.recordDeleted = lists->CurrentRecordDeleted();
    }
    ListMenuStates s = ComputeListMenuStates(in);
    auto relabel = [menu](uint32_t id, const std::u16string& text) {
        if (GetMenuState(menu, id, MF_BYCOMMAND) != static_cast<UINT>(-1))
            ModifyMenuW(menu, id, MF_BYCOMMAND | MF_STRING, id, WideString(text).c_str());
    };
    auto enable = [menu](uint32_t id, bool on) {
        EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    auto relabelPopup = [menu](HMENU sub, int position, const char16_t* text, bool grey) {
        if (!sub || position < 0) return;
        ModifyMenuW(menu, position, MF_BYPOSITION | MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), Wide(text));
        EnableMenuItem(menu, position, MF_BYPOSITION | (grey ? MF_GRAYED : MF_ENABLED));
    };
    relabel(cmd::kDeleteLines, s.deleteLabel);
    relabel(cmd::kDeleteArticle, s.deleteLabel);
    int position = -1;
    HMENU edit = FindMenuWithCommand(menu, cmd::kNewArticle, &position);
    if (!edit) edit = FindMenuWithCommand(menu, cmd::kNewArticleFromSelection, &position);
    relabelPopup(edit, position, UIStringTable[kEditSlot], s.editMenuGrey);
    HMENU web = FindMenuWithCommand(menu, kWebSearchCommands[0], &position);
    relabelPopup(web, position, UIStringTable[kWebSearchSlot], s.webMenuGrey);
    if (s.webMenuGrey) enable(cmd::kSelectAll, false);
    relabel(cmd::kCopyToWorking, s.copyToWorkingLabel);
    enable(cmd::kCopyToWorking, s.copyToWorking);
    enable(cmd::kAddToSelected, s.addToSelected);
    enable(cmd::kCopy, s.copyAndPrint);
    enable(cmd::kPrint, s.copyAndPrint);
    enable(cmd::kEditArticle, s.edit);
    enable(cmd::kDeleteArticle, s.deleteArticle);
    relabel(cmd::kNewArticle, s.newArticleLabel);
    relabel(cmd::kNewArticleFromClipboard, s.newFromClipboardLabel);
    relabel(cmd::kNewArticleFromSelection, s.newFromSelectionLabel);
    for (uint32_t command : {cmd::kNewArticle, cmd::kNewArticleFromClipboard, cmd::kNewArticleFromSelection})
        enable(command, s.newArticles);
}
