// CFrame: construction, Create in its fixed order, the frame's window
// procedure, the clipboard-viewer chain and the ordered save at WM_DESTROY.
#include "ui/frame.h"

#include <commctrl.h>
#include <richedit.h>

#include <ctime>

#include "article/win/rich_edit.h"
#include "common/settings/registry_values.h"
#include "common/settings/settings_keys.h"
#include "common/settings/win/registry_store.h"
#include "common/text/win/clipboard_text.h"
#include "common/ui_text/ui_text.h"
#include "common/ui_text/win/ui_language.h"
#include "common/win/wide_text.h"
#include "dictionary/format_detection.h"
#include "dictionary/input_line.h"
#include "dictionary/leftover_files.h"
#include "resources/program/resource_ids.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/command_rules.h"
#include "ui/deferred_messages.h"
#include "ui/font_sets.h"
#include "ui/font_settings_dialog.h"
#include "ui/frame_layout.h"
#include "ui/list_view.h"
#include "ui/start_arguments.h"
#include "ui/test_hook_protocol.h"
#include "web/download_name.h"

CFrame* g_frame = nullptr;

namespace {

constexpr DWORD kFrameStyle = 0x02CF0000;     // WS_OVERLAPPEDWINDOW, WS_CLIPCHILDREN, WS_CLIPSIBLINGS
constexpr DWORD kSizeBarStyle = 0x46000000;   // child, visible, clip siblings
constexpr DWORD kStatusBarStyle = 0x50800000;
constexpr DWORD kInputEventMask = 0xA0011;    // change, drag-drop done, mouse events, selection change
constexpr int kInputHeight = 24;
constexpr int kTitleSlot = 116;               // "Ostrel Pro"
constexpr int kCreateTitleSlot = 117;         // "Japanese-Russian Dictionary"
constexpr int kWebSearchSlot = 78;            // "&Web Search"
constexpr int kInputMenuPosition = 3;
constexpr int kInputWebMenuPosition = 13;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

std::u16string FullPath(const std::u16string& path) {
    wchar_t full[MAX_PATH];
    DWORD length = GetFullPathNameW(WideString(path).c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return path;
    return std::u16string(Char16View(std::wstring_view(full, length)));
}

}  // namespace

CFrame::CFrame(HINSTANCE instance, int, std::vector<std::u16string> arguments, int showMode)
    : instance_(instance), showMode_(showMode), arguments_(std::move(arguments)) {
    listHeight_ = g_application ? g_application->window.listHeight : 0;
    testHook_ = TestHookRequested();
}

CFrame::~CFrame() {
    if (applicationMenu_) DestroyMenu(applicationMenu_);
    if (contextMenus_) DestroyMenu(contextMenus_);
    if (frame_) DestroyWindow(frame_);
    for (HIMAGELIST images : toolbarImages_)
        if (images) ImageList_Destroy(images);
    if (tabImages_) ImageList_Destroy(tabImages_);
}

bool CFrame::RegisterClasses() {
    WNDCLASSW frameClass{};
    frameClass.style = CS_HREDRAW | CS_VREDRAW;
    frameClass.lpfnWndProc = &CFrame::WindowProc;
    frameClass.hInstance = instance_;
    frameClass.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_PROGRAM));
    frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frameClass.lpszClassName = Wide(kFrameClassName);
    if (!RegisterClassW(&frameClass)) return false;

    // The list class is the list views'; the book classes do default
    // processing until the book reader joins.
    WNDCLASSW sizeBar{};
    sizeBar.style = CS_HREDRAW | CS_VREDRAW;
    sizeBar.lpfnWndProc = &CFrame::SizeBarProc;
    sizeBar.hInstance = instance_;
    sizeBar.hCursor = LoadCursorW(nullptr, IDC_SIZENS);
    sizeBar.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    sizeBar.lpszClassName = Wide(kSizeBarClassName);
    if (!RegisterClassW(&sizeBar)) return true;

    WNDCLASSW list{};
    list.style = CS_DBLCLKS;
    list.lpfnWndProc = &ListView::WindowProc;
    list.hInstance = instance_;
    list.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    list.lpszClassName = Wide(kListViewClassName);
    RegisterClassW(&list);

    WNDCLASSW bookFrame = list;
    bookFrame.lpfnWndProc = DefWindowProcW;
    bookFrame.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    bookFrame.lpszClassName = Wide(kBookFrameClassName);
    RegisterClassW(&bookFrame);

    WNDCLASSW bookView = bookFrame;
    bookView.hCursor = nullptr;
    bookView.lpszClassName = Wide(kBookViewClassName);
    RegisterClassW(&bookView);
    return true;
}

bool CFrame::CreateInputBox() {
    // Its owner is toolbar 3 once the toolbars exist; the frame until then.
    HWND parent = toolbars[2] ? toolbars[2] : frame_;
    input_ = std::make_unique<CRichEdit>(parent, false, static_cast<int32_t>(cmd::kInputBox), 0, 0, 100,
                                         kInputHeight, false);
    inputBox_ = input_->Window();
    if (!inputBox_) {
        input_.reset();
        return false;
    }
    if (CFonts* fonts = ProgramFonts(); fonts && fonts->Set(kInputFontSet).PointSize() > 0)
        inputFontPoints_ = fonts->Set(kInputFontSet).PointSize();
    input_->SetFontSize(20 * inputFontPoints_);
    // The box holds what the input line reads, no more: text typed beyond
    // it is refused, and a paste is cut there and says so.
    SendMessageW(inputBox_, EM_EXLIMITTEXT, 0, CInput::kMaxText);
    SendMessageW(inputBox_, EM_SETEVENTMASK, 0, kInputEventMask);
    ShowWindow(inputBox_, SW_SHOW);
    return true;
}

void CFrame::SetInputFontSize(int32_t points) {
    if (points <= 0) return;
    inputFontPoints_ = points;
    if (input_) input_->SetFontSize(20 * points);
    RecalcLayout();
}

int32_t CFrame::Create(int32_t x, int32_t y, int32_t width, int32_t height) {
    Application& app = *g_application;
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    if (!RegisterClasses()) return 0;
    frame_ = CreateWindowExW(0, Wide(kFrameClassName), Wide(UIStringTable[kCreateTitleSlot]), kFrameStyle, x, y,
                             width, height, nullptr, nullptr, instance_, this);
    if (!frame_) return 0;
    applicationMenu_ = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_APPLICATION_MENU));
    contextMenus_ = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_CONTEXT_MENUS));

    for (int32_t number = 1; number <= 3; ++number)
        if (!(toolbars[number - 1] = CreateToolbar(frame_, number))) return 0;
    if (!CreateInputBox()) return 0;
    tabControl = CreateTabControl(frame_);
    if (lists) lists->CreateListWindows(frame_);
    sizeBar_ = CreateWindowExW(0, Wide(kSizeBarClassName), L"", kSizeBarStyle, 0, listHeight_, width,
                               kSizeBarHeight, frame_, nullptr, instance_, nullptr);
    if (!sizeBar_) return 0;
    statusBar_ = CreateStatusWindowW(kStatusBarStyle, L"", frame_, kStatusBarId);
    if (!statusBar_) return 0;
    SetWindowTextW(frame_, Wide(UIStringTable[kTitleSlot]));

    auto startOnReading = [this] {
        if (lists) {
            lists->SetCurrentListByKind(2);
            lists->RedrawLists();
        }
        UpdateCommandStates(cmd::kListReading);
        SelectTab(cmd::kListReading);
    };
    startOnReading();
    if ((app.flags & app_flag::kTrayIcon) && furniture && !furniture->TrayShown()) furniture->ShowTray();
    OnCommand(app.flags & app_flag::kWindowShown ? cmd::kShowWindow : cmd::kHideWindow, 0);
    // Keys typed the moment the window shows go into the input box: the
    // start lets messages run from here on, and a key that reached a list
    // then, before the key routing runs, was lost. The messages run at once,
    // so the display learns that the window is up and gives it the keyboard.
    if (app.flags & app_flag::kWindowShown) {
        SetFocus(inputBox_);
        PumpPendingMessages();
    }

    ApplyUILanguageToMenus(applicationMenu_, contextMenus_);
    for (HWND toolbar : toolbars) ApplyUILanguageToToolbar(toolbar);
    ApplyUILanguageToTabs(tabControl);
    UpdateCommandStates(cmd::kEnglishInterface);

    if (app.flags & app_flag::kClipboardMonitor) {
        nextViewer_ = SetClipboardViewer(frame_);
        ClipboardChanged();  // what the clipboard holds at start is no change
    }
    UpdateCommandStates(cmd::kClipboardMonitor);
    hintsOn_ = app.ini->GetInt(settings_section::kView, u"BigHints", kDefaultBigHints);
    UpdateCommandStates(cmd::kHints);
    SendMessageW(frame_, WM_COMMAND,
                 app.flags & app_flag::kUnderCursor ? cmd::kUnderCursorOn : cmd::kUnderCursorOff, 0);
    if (app.flags & app_flag::kTopmost) SetWindowPos(frame_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UpdateCommandStates(cmd::kTopmost);
    UpdateCommandStates(cmd::kTrayIcon);

    startOnReading();
    UpdateWindow(inputBox_);
    PumpPendingMessages();

    bool showDictionaries = OpenDictionaries();
    // The Selected list is in place, with its file, before any command runs:
    // an article saved with Add to Selected in the first moments goes to it.
    // What its load tells is shown once the start list is drawn.
    DeferredMessages startMessages;
    LoadStartSelectedList();
    // Opening the dictionaries posts the switch to the list they fill: it runs
    // before the start list is chosen (a list given on the command line stays
    // current) and before the frame counts as started, or it would land after
    // a list chosen in the first moments (by the user or the clipboard
    // monitor) and undo it.
    PumpPendingMessages();
    ChooseStartList();
    HoldStartForTest();

    app.inputBusy = 0;
    app.listBusy = 0;
    app.flags |= app_flag::kStarted;
    // What was typed or pasted into the box while the start held the search
    // back is looked up now.
    if (GetWindowTextLengthW(inputBox_) > 0) InputTextChanged();
    startMessages.Release();
    // A close chosen during the start runs now that the start is over.
    if (closeHeld_ && commandHold_ == 0) {
        closeHeld_ = false;
        PostMessageW(frame_, WM_CLOSE, 0, 0);
    }
    // The stored switch of translation under the cursor, with its check mark.
    SendMessageW(frame_, WM_COMMAND, app.flags & app_flag::kUnderCursor ? cmd::kUnderCursorOn : cmd::kUnderCursorOff, 0);
    timer_ = SetTimer(nullptr, kFrameTimerId, kFrameTimerMs, &CFrame::TimerProc);
    SetFocus(inputBox_);
    app.hook = SetWindowsHookExW(WH_CALLWNDPROC, &CFrame::HookProc, nullptr, GetCurrentThreadId());
    if (showDictionaries) PostMessageW(frame_, WM_COMMAND, cmd::kDictionaries, 0);
    if (app.web) app.web->StartUpdateCheck(frame_);
    return 1;
}

bool CFrame::OpenDictionaries() {
    Application& app = *g_application;
    StartSources sources;
    sources.ini = app.ini.get();
    sources.dictionariesFolder = app.dictionariesFolder;
    // A file named relative to the folder the program started in is stored
    // in the dictionary list by its full path.
    if (!arguments_.empty()) sources.firstArgument = IsFileArgument(arguments_[0]) ? FullPath(arguments_[0]) : arguments_[0];
    sources.readInstallList = [] {
        std::u16string list;
        RegGetString(kInstallDictionaryValue, list);
        return list;
    };
    sources.clearInstallList = [] { RegSetString(kInstallDictionaryValue, u""); };
    sources.detect = [](const std::u16string& path) { return DetectDictionaryFileFormat(path.c_str()); };
    sources.exists = [](const std::u16string& path) {
        return GetFileAttributesW(WideString(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    };
    sources.findFiles = [folder = app.dictionariesFolder](const std::u16string& pattern) {
        std::vector<std::u16string> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(WideString(folder + u"\\" + pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(Char16View(found.cFileName));
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    };
    // What a run cut short left (a half-built book load, an optimisation's
    // file, temporaries) is put right before any dictionary is looked at.
    TidyFolderLeftovers(app.dictionariesFolder);
    RemoveEmptyDownloads(app.dictionariesFolder);
    sources.tidyLeftovers = [](const std::u16string& path) { TidyDictionaryLeftovers(path); };
    // With no shelf no dictionary is open: the dictionaries dialog is due.
    bool show = true;
    if (startShelf) {
        show = ::OpenDictionariesAtStart(*startShelf, sources);
        startShelf->WarnOldDictionaries();
    }
    if (!arguments_.empty() && IsDictionariesArgument(arguments_[0])) show = true;
    return show;
}

void CFrame::LoadStartSelectedList() {
    Application& app = *g_application;
    if (!arguments_.empty() && IsSavedListArgument(arguments_[0]) && lists &&
        lists->LoadSelectedList(arguments_[0])) {
        memoFile_ = arguments_[0];
        memoFromCommandLine_ = true;
        return;
    }
    std::u16string defaultPath = app.dictionariesFolder + u"\\Selected.oxm";
    std::u16string stored = app.ini->GetString(settings_section::kMemo, u"File1", defaultPath, kMemoFileUnits);
    memoFile_ = UsableMemoPath(stored, defaultPath);
    if (lists) lists->LoadSelectedList(memoFile_);
}

void CFrame::ChooseStartList() {
    int32_t start = memoFromCommandLine_ ? 13 : lists ? lists->SelectStartList(2) : 2;
    if (lists) lists->SetCurrentListByKind(start);
    // The states of the list shown: its tab, its ticked item, and commands
    // such as Add to Selected that mean nothing in the Selected list itself.
    const uint32_t listCommand = ListCommandOfKind(lists ? lists->CurrentKind() : start);
    UpdateCommandStates(listCommand != 0 ? listCommand : cmd::kListReading);
    if (lists) lists->RedrawLists();
}

LRESULT CALLBACK CFrame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CFrame* self = reinterpret_cast<CFrame*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<CFrame*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->frame_ = window;
    }
    if (!self || !g_application) return DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT CFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    Application& app = *g_application;
    HWND window = frame_;
    switch (message) {
    case WM_COMMAND:
        if (commandHold_ > 0 && HIWORD(wParam) == 0) {
            heldCommands_.emplace_back(wParam, lParam);
            return 0;
        }
        return OnCommand(wParam, lParam);
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) {
            focus_ = GetFocus();
            if (app.flags & app_flag::kTrayIcon) {
                if (furniture && !furniture->TrayShown()) furniture->ShowTray();
                ShowWindow(window, SW_HIDE);
                SetWindowLongPtrW(window, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
                app.flags &= ~app_flag::kWindowShown;
            }
        } else if (app.flags & app_flag::kWindowShown) {
            RecalcLayout();
        }
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        // The main window holds the keyboard itself only for a moment (shown
        // and activated, before the input box takes the focus): a key typed
        // then belongs in the box, where it was dropped here.
        if (inputBox_ && IsWindowVisible(inputBox_)) {
            SetFocus(inputBox_);
            return SendMessageW(inputBox_, message, wParam, lParam);
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) focus_ = GetFocus();
        else if (LOWORD(wParam) == WA_ACTIVE && focus_ && IsWindow(focus_)) SetFocus(focus_);
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        if (commandHold_ > 0 || !(app.flags & app_flag::kStarted)) {
            closeHeld_ = true;
            return 0;
        }
        OnClose();
        return 0;
    case WM_DRAWITEM:
        return furniture ? furniture->DrawLanguageMenuItem(lParam) : 0;
    case WM_MEASUREITEM:
        return furniture ? furniture->MeasureItem(lParam) : 0;
    case WM_NOTIFY:
        if (LRESULT handled = OnNotify(reinterpret_cast<NMHDR*>(lParam))) return handled;
        break;
    case WM_HELP:
        return 1;
    case WM_TIMER:
        return 0;
    case WM_INITMENU:
        if (furniture) furniture->PrepareLanguageItems(reinterpret_cast<HMENU>(wParam));
        break;
    case WM_DRAWCLIPBOARD:
        OnDrawClipboard();
        return 0;
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(wParam) == nextViewer_) nextViewer_ = reinterpret_cast<HWND>(lParam);
        else if (nextViewer_) SendMessageW(nextViewer_, message, wParam, lParam);
        return 0;
    case WM_COPYDATA:
        if (testHook_) return OnTestQuery(reinterpret_cast<HWND>(wParam), reinterpret_cast<COPYDATASTRUCT*>(lParam));
        break;
    default:
        if (message == kTestQueueMark && testHook_) {
            ++testQueueMarks_;
            return 0;
        }
        if (message == msg::kContextMenu) {
            OnInputContextMenu(lParam);
        } else if (message == msg::kTrayNotify) {
            if (furniture) furniture->OnTrayNotify(wParam, lParam);
        } else if (message == msg::kCaptureNote) {
            if (textUnderCursor) textUnderCursor->ShowPendingNote();
            return 0;
        } else if (message == msg::kPasteNote) {
            ShowInputNotes();
            return 0;
        } else if (message == msg::kWebReplyStart || message == msg::kWebReplyNews ||
                   (message >= msg::kWebReplyFirst && message <= msg::kWebReplyLast)) {
            return app.web ? app.web->OnHomeReply(message, wParam, lParam) : 1;
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CFrame::ReleaseCommands() {
    if (commandHold_ > 0 && --commandHold_ > 0) return;
    std::vector<std::pair<WPARAM, LPARAM>> held;
    held.swap(heldCommands_);
    for (const auto& [wParam, lParam] : held) PostMessageW(frame_, WM_COMMAND, wParam, lParam);
    if (closeHeld_ && (g_application->flags & app_flag::kStarted)) {
        closeHeld_ = false;
        PostMessageW(frame_, WM_CLOSE, 0, 0);
    }
}

void CFrame::OnClose() {
    // Under a running modal dialog or conversion (which disables its owner)
    // the frame stays: the dialog's code still uses the dictionaries the
    // destruction would delete. The dialog is brought forward instead.
    if ((g_application->flags & app_flag::kModalDialog) || !IsWindowEnabled(frame_)) {
        HWND popup = GetLastActivePopup(frame_);
        if (popup && popup != frame_) SetForegroundWindow(popup);
        return;
    }
    if (lists) {
        // Each editor may ask whether to save: a second close chosen under
        // that question waits instead of deleting the dictionaries walked here.
        // The question is modal to the whole program: a click on the main
        // window would raise it over the editor and its question, which on a
        // display without a window manager then cannot be reached.
        HoldCommands();
        EnableWindow(frame_, FALSE);
        lists->CloseAllEditors();
        EnableWindow(frame_, TRUE);
        ReleaseCommands();
        closeHeld_ = false;
    }
    if (lists) {
        // A changed Selected list that cannot be saved is told; the user may
        // save it elsewhere, end without it, or stay.
        HoldCommands();
        const bool end = lists->SaveSelectedListBeforeExit();
        ReleaseCommands();
        closeHeld_ = false;
        if (!end) return;
    }
    // Destruction hides the window before WM_DESTROY: the mark goes first.
    MarkClosing();
    DestroyWindow(frame_);
}

void CFrame::MarkClosing() {
    // An integer, not a resource: it is left to go with the window, since a
    // start that found the window without it would hand over to a dying one.
    SetPropW(frame_, Wide(kFrameClosingProperty), reinterpret_cast<HANDLE>(1));
}

void CFrame::OnDrawClipboard() {
    if (nextViewer_) SendMessageW(nextViewer_, WM_DRAWCLIPBOARD, 0, 0);
    Application& app = *g_application;
    if (!(app.flags & app_flag::kStarted) || !(app.flags & app_flag::kClipboardMonitor) || app.inputBusy) return;
    if (lists && lists->HasOpenEditors()) return;
    DWORD ownerProcess = 0;
    if (HWND owner = GetClipboardOwner()) GetWindowThreadProcessId(owner, &ownerProcess);
    if (ownerProcess == GetCurrentProcessId()) {
        ClipboardChanged();  // the program's own copy is seen, never searched
        return;
    }
    if (ClipboardChanged()) PostMessageW(frame_, WM_COMMAND, cmd::kClipboardSearch, 0);
}

bool CFrame::ClipboardChanged() {
    ClipboardText clip = ReadClipboardText();
    std::u16string_view text = clip.text ? std::u16string_view(clip.text.get(), clip.length) : std::u16string_view();
    return clipboardWatch_.Changed(static_cast<uint32_t>(GetClipboardSequenceNumber()), text);
}

void CFrame::OnDestroy() {
    MarkClosing();  // the save below can take a while
    Application& app = *g_application;
    if (timer_) KillTimer(nullptr, timer_);
    timer_ = 0;
    if (app.flags & app_flag::kClipboardMonitor) {
        ChangeClipboardChain(frame_, nextViewer_);
        nextViewer_ = nullptr;
    }
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(frame_, &placement)) {
        const RECT& normal = placement.rcNormalPosition;
        app.window.x = normal.left;
        app.window.y = normal.top;
        app.window.width = normal.right - normal.left;
        app.window.height = normal.bottom - normal.top;
    }
    CIni& ini = *app.ini;
    ini.flags = app.flags & app_flag::kSavedMask;
    ini.x = app.window.x;
    ini.y = app.window.y;
    ini.cx = app.window.width;
    ini.cy = app.window.height;
    ini.cy2 = listHeight_;
    ini.SaveMainState(app.shellInstall);

    if (lists) {
        lists->SaveSelectedListIfChanged();
        std::u16string path = lists->SelectedListPath();
        if (!path.empty()) memoFile_ = path;
    }
    ini.WriteString(settings_section::kMemo, u"File1", memoFile_);
    if (lists) lists->SaveViewOptions();

    AddMinutesOfUse(app.statistics, static_cast<uint64_t>(clock()) * 1000 / CLOCKS_PER_SEC);
    RegSetBinary(kStatisticsValue, app.statistics);
    if (lists) lists->DeleteAllDictionaries();
    PostQuitMessage(0);
    frame_ = nullptr;
}

HMENU CFrame::PrepareInputMenu() {
    HMENU popup = GetSubMenu(contextMenus_, kInputMenuPosition);
    if (!popup || !inputBox_) return nullptr;
    ModifyMenuW(popup, kInputWebMenuPosition, MF_BYPOSITION | MF_STRING | MF_POPUP,
                reinterpret_cast<UINT_PTR>(GetSubMenu(popup, kInputWebMenuPosition)),
                Wide(UIStringTable[kWebSearchSlot]));
    CHARRANGE selection{};
    SendMessageW(inputBox_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    bool selected = selection.cpMax > selection.cpMin;
    auto enable = [popup](UINT id, bool on) {
        EnableMenuItem(popup, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    // The editing items and the three look-ups by the selection and the text.
    UpdateEditMenuState(popup, inputBox_, true, -1);
    enable(cmd::kInputPaste, IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(CF_TEXT));
    UpdateListMenu(popup, 0);
    EnableMenuItem(popup, kInputWebMenuPosition, MF_BYPOSITION | (selected ? MF_ENABLED : MF_GRAYED));
    enable(cmd::kNewArticleFromSelection, selected);
    return popup;
}

void CFrame::OnInputContextMenu(LPARAM lParam) {
    HMENU popup = PrepareInputMenu();
    if (!popup) return;
    POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(inputBox_, &at);
    UINT chosen = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, frame_, nullptr));
    if (chosen == 0) return;
    if (IsWebSearchCommand(chosen)) PostTextCommand(chosen, inputBox_);
    else PostMessageW(frame_, WM_COMMAND, chosen, reinterpret_cast<LPARAM>(inputBox_));
}

LRESULT CFrame::OnNotify(NMHDR* header) {
    if (!header) return 0;
    if (header->code == EN_DROPFILES || header->code == EN_DRAGDROPDONE) return 0;
    if (header->hwndFrom == inputBox_ && header->code == EN_MSGFILTER) {
        auto* filter = reinterpret_cast<MSGFILTER*>(header);
        if (filter->msg == WM_MOUSEACTIVATE && GetFocus() != inputBox_) SetFocus(inputBox_);
        return 0;
    }
    if (tabControl && header->hwndFrom == tabControl && header->code == TCN_SELCHANGE) {
        if (uint32_t command = SelectedTabCommand()) OnCommand(command, 1);
        SetFocus(inputBox_);
        return 0;
    }
    if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        POINT cursor;
        GetCursorPos(&cursor);
        if (tabControl) {
            TCHITTESTINFO hit{};
            hit.pt = cursor;
            ScreenToClient(tabControl, &hit.pt);
            int index = static_cast<int>(SendMessageW(tabControl, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
            if (index >= 0) {
                // The title of the list the tab runs, found by its item data:
                // tabs come and go, so a tab's index is no list number.
                TCITEMW item{};
                item.mask = TCIF_PARAM;
                SendMessageW(tabControl, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
                int32_t number = ListNumberOfCommand(static_cast<uint32_t>(item.lParam));
                if (const char16_t* title = GetWordListTitle(number, nullptr))
                    info->lpszText = const_cast<wchar_t*>(Wide(title));
                return 0;
            }
        }
        for (HWND toolbar : toolbars) {
            if (!toolbar) continue;
            POINT local = cursor;
            ScreenToClient(toolbar, &local);
            int button = static_cast<int>(SendMessageW(toolbar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&local)));
            if (button >= 0 && GetToolbarTooltip(toolbar, button, tooltip_)) {
                info->lpszText = tooltip_;
                return 0;
            }
        }
    }
    return 0;
}

void CFrame::SelectTab(uint32_t command) {
    if (!tabControl) return;
    int count = static_cast<int>(SendMessageW(tabControl, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TCITEMW item{};
        item.mask = TCIF_PARAM;
        if (SendMessageW(tabControl, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)) &&
            static_cast<uint32_t>(item.lParam) == command) {
            SendMessageW(tabControl, TCM_SETCURSEL, i, 0);
            return;
        }
    }
}
