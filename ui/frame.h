// CFrame: the main window object. Create builds the frame and its children in
// a fixed order, WindowProc answers the frame's messages (frame_window.cpp),
// MessageLoop, TimerProc and HookProc route input and run the 100 ms timer
// (message_loop.cpp), and OnCommand with UpdateCommandStates is the command
// dispatcher (frame_commands.cpp). Parts built later join through the slots
// of frame_slots.h.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "japanese/under_cursor_rules.h"
#include "ui/clipboard_watch.h"
#include "ui/frame_slots.h"
#include "ui/open_dictionaries.h"
#include "ui/timer_rules.h"
#include "ui/web_search_words.h"

inline constexpr char16_t kSizeBarClassName[] = u"OstrelProSizeBarClass";
inline constexpr char16_t kListViewClassName[] = u"Ostrel List View";
inline constexpr char16_t kBookFrameClassName[] = u"OstrelBookFrame";
inline constexpr char16_t kBookViewClassName[] = u"OstrelBookView";
inline constexpr int kStatusBarId = 200;
inline constexpr UINT_PTR kFrameTimerId = 1;
inline constexpr UINT kFrameTimerMs = 100;

class CRichEdit;

class CFrame {
public:
    // Keeps the instance, the arguments and the show mode; hints on.
    CFrame(HINSTANCE instance, int unused, std::vector<std::u16string> arguments, int showMode);
    CFrame(const CFrame&) = delete;
    CFrame& operator=(const CFrame&) = delete;
    virtual ~CFrame();

    // 1 when the frame and its children exist, 0 on failure.
    int32_t Create(int32_t x, int32_t y, int32_t width, int32_t height);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The GetMessage loop with key routing; the wParam of WM_QUIT.
    int MessageLoop();
    static void CALLBACK TimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);

    // The command dispatcher: 0 when handled, else DefWindowProcW's answer.
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    void UpdateCommandStates(uint32_t id);
    void CheckCommand(uint32_t id);
    void UncheckCommand(uint32_t id);
    void EnableCommand(uint32_t id);
    void DisableCommand(uint32_t id);
    // Relabels and enables the list commands of a context menu.
    void UpdateListMenu(HMENU menu, int32_t flag);
    // Keeps a web-search word until its posted command arrives; the lParam to post.
    LPARAM HandOutWebWord(BSTR word) { return webWords_.HandOut(word); }

    HWND Window() const { return frame_; }
    HWND InputBox() const { return inputBox_; }
    // The input box's wrapper, null until the input box exists.
    CRichEdit* InputEdit() const { return input_.get(); }
    // While a Find that follows a change of the input runs, the input box's
    // selection stays where the user is typing: the matched part of a hit is
    // selected only when the user moves the list's row (keys, mouse, Enter,
    // the clipboard monitor), or the next key typed would replace it.
    bool InputSelectionHeld() const { return findForChangedInput_; }
    HWND StatusBar() const { return statusBar_; }
    HWND SizeBar() const { return sizeBar_; }
    int32_t Split() const { return listHeight_; }

    // The bars (frame_bars.cpp): toolbar 1 to 3, the tab strip with its
    // eight list tabs, and the layout of every child for the client size.
    HWND CreateToolbar(HWND parent, int32_t number);
    HWND CreateTabControl(HWND parent);
    void RecalcLayout();
    // The input box's text gets the size (points x 20 twips) and the frame lays out again.
    void SetInputFontSize(int32_t points);
    // The toolbar whose button table holds `command`, null when none.
    HWND FindToolbarForCommand(uint32_t command) const;
    // The shelf adds (`insert`) or removes a list tab; the tab's index or -1.
    int32_t FindOrInsertListTab(int32_t position, uint32_t command, bool insert);
    // The list command of the selected tab, 0 when none is selected.
    uint32_t SelectedTabCommand() const;
    // Narrows the tabs until all fit the strip.
    void FitTabs();
    // Status line: the current dictionary's name and the current list's line count.
    void UpdateStatusBar();
    void SetStatusDictionaryName(const std::u16string& path);
    // "Line n from m"; empty unless both are above 0.
    void SetStatusLineCount(int32_t line, int32_t total);
    void ResetCaption();
    static LRESULT CALLBACK SizeBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HMENU ApplicationMenu() const { return applicationMenu_; }
    // Whether the big hover hints are on ([View] BigHints).
    bool HintsOn() const { return hintsOn_ != 0; }
    // A menu of this thread is open (between WM_ENTERMENULOOP and
    // WM_EXITMENULOOP): only its items have hover hints then.
    bool InMenuLoop() const { return inMenuLoop_; }
    HMENU ContextMenus() const { return contextMenus_; }
    // A long action that lets messages run (a message box, a message pump)
    // while it holds dictionaries, lists or editors holds the frame: the
    // commands that reach it meanwhile (Exit among them) wait, in order, and
    // are posted again when the last hold ends. Control notifications still
    // run. A close waits the same way, and also until the start has ended.
    void HoldCommands() { ++commandHold_; }
    void ReleaseCommands();
    bool CommandsHeld() const { return commandHold_ > 0; }
    // The translation of `text` listed its words only up to unit `stop`:
    // said in the status line when the text is the clipboard monitor's, in
    // a box after the rows are painted when it is the user's.
    void TellListedInPart(std::u16string_view text, int32_t stop);

    // Later parts.
    IFrameLists* lists = nullptr;
    IStartShelf* startShelf = nullptr;  // the shelf as start-up opens dictionaries
    IFrameFurniture* furniture = nullptr;
    IFrameTranslator* translator = nullptr;
    IFrameUnderCursor* textUnderCursor = nullptr;
    // The pointer position and rest count of the text-under-cursor step.
    ostrel::japanese::PointerRest pointerRest;
    // The sound of a failed or stuck step (a seam: tests count the sounds).
    BOOL(WINAPI* beep)(DWORD frequency, DWORD milliseconds) = ::Beep;
    HWND toolbars[3] = {};       // toolbars 1, 2, 3 (their part fills them)
    HWND tabControl = nullptr;
    HWND articleView = nullptr;  // the article view window
    HWND articleEdit = nullptr;  // its rich edit

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool RegisterClasses();
    bool CreateInputBox();
    LRESULT OnSizeBarMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool OpenDictionaries();
    // The Selected list of the command line, else of [Memo] File1.
    void LoadStartSelectedList();
    void ChooseStartList();
    void OnDestroy();
    void OnClose();
    // Sets kFrameClosingProperty on the frame.
    void MarkClosing();
    void OnDrawClipboard();
    // Reads the clipboard's sequence number and text: true when they differ
    // from what the monitor last saw (which they then become).
    bool ClipboardChanged();
    // The input box's pop-up with its items relabelled, enabled and greyed
    // for the input box as it is; null without menus or input box.
    HMENU PrepareInputMenu();
    void OnInputContextMenu(LPARAM lParam);
    LRESULT OnNotify(NMHDR* header);
    LRESULT OnTestQuery(HWND sender, const COPYDATASTRUCT* query);
    void SelectTab(uint32_t command);

    // Dispatcher pieces (frame_commands.cpp).
    void OnInputChange(WORD code);
    // What a change of the input text runs: evening out and a posted Find,
    // unless searching is off or the program itself is changing the input.
    void InputTextChanged();
    void SelectList(uint32_t id, LPARAM lParam);
    void Find();
    void ClipboardSearch();
    void SwitchLanguage(uint32_t id);
    void ToggleTray();
    void ChangeConversionMode();
    void ShowApplicationMenu();
    // Pastes the clipboard's text into the input box; `byMonitor` when the
    // clipboard monitor pastes (its word about a cut goes to the status line).
    void PasteIntoInput(bool byMonitor = false);
    // Whether the input box holds what the clipboard monitor's search left in
    // it: the program's text, which a paste replaces whole.
    bool InputHoldsMonitorFill() const;
    // Says once that a text was read only up to character `readUpTo` of its
    // `length`: a box for the user's paste, the status line for the monitor.
    void TellInputCut(int32_t readUpTo, int32_t length, bool byMonitor);
    // Queues a word on the input's text for one box after the search it follows.
    void QueueInputNote(std::u16string text, std::u16string_view caption);
    void ShowInputNotes();  // answers msg::kPasteNote
    // The input box's Copy and Cut: the selection's text on the clipboard.
    void CopyInputSelection(bool cut);
    void ShowWindowCommand();
    void HideWindowCommand();
    // Shows the frame hidden to the tray as it was before.
    void ShowFrameAgain();
    std::u16string InputText() const;
    std::u16string SelectedInputText() const;
    void UpdateEditingStates();

    HINSTANCE instance_;
    HWND frame_ = nullptr;
    HWND sizeBar_ = nullptr;
    HMENU applicationMenu_ = nullptr;  // resource 112
    HMENU contextMenus_ = nullptr;     // resource 114
    std::unique_ptr<CRichEdit> input_; // the input box (single line, control id 202)
    HWND inputBox_ = nullptr;          // its window
    HWND statusBar_ = nullptr;
    HWND dragLine_ = nullptr;          // the dark line shown while the size bar is dragged
    HIMAGELIST toolbarImages_[3] = {};
    HIMAGELIST tabImages_ = nullptr;
    int32_t inputFontPoints_ = 12;     // the input box's font size (the input font set's when fonts exist)
    HWND nextViewer_ = nullptr;        // next window of the clipboard viewer chain
    ClipboardWatch clipboardWatch_;    // the clipboard the monitor last saw
    UINT_PTR timer_ = 0;
    uint32_t ticks_ = 0;
    UnderCursorWatch underCursor_;     // the text-under-cursor step of the timer
    bool hintTracking_ = false;
    bool updateCheckRunning_ = false;
    int32_t hintsOn_ = 1;
    bool inMenuLoop_ = false;          // kept by the hook
    int32_t tabKind_ = 0;              // list kind last chosen on the tab strip
    bool findForChangedInput_ = false; // a Find with lParam -1 (typing, paste, list switch) runs
    std::u16string monitorFill_;       // the input box's text as the clipboard monitor's search left it
    std::u16string monitorNote_;       // the status line's word on the monitor's cut, while the box holds monitorFill_
    std::u16string monitorClip_;       // the clipboard text the monitor's search read
    bool monitorPasted_ = false;       // ... pasted with its lines joined, not translated as a whole text
    bool monitorSearching_ = false;    // the monitor's search runs
    // Words on the input's text (text, caption) waiting for one box after
    // the search they follow; the box is up.
    std::vector<std::pair<std::u16string, std::u16string>> inputNotes_;
    bool inputNoteShown_ = false;
    int showMode_;
    HWND focus_ = nullptr;             // focus remembered while inactive or minimised
    std::vector<std::u16string> arguments_;
    std::u16string memoFile_;          // the selected-articles file ([Memo] File1)
    bool memoFromCommandLine_ = false;
    bool menuButtonOpen_ = false;
    int32_t listHeight_ = 0;           // the split between list and article
    wchar_t tooltip_[80] = {};         // text handed to a toolbar tooltip
    bool testHook_ = false;            // OSTREL_TEST_HOOK=1: answer WM_COPYDATA queries
    int64_t testQueueMarks_ = 0;       // the hook's queue marks handled (test_hook_protocol.h)
    int64_t keysTaken_ = 0;            // key presses the message loop took, for the test hook
    WebSearchWords webWords_;          // texts handed out with web-search commands
    int32_t commandHold_ = 0;          // holds of running long actions
    std::vector<std::pair<WPARAM, LPARAM>> heldCommands_;  // commands waiting for the holds' end
    bool closeHeld_ = false;           // a close waiting for the holds' end or the start's
};

extern CFrame* g_frame;

// Holds the main window's commands for its lifetime (see CFrame::HoldCommands);
// nothing without a main window.
class FrameCommandHold {
public:
    FrameCommandHold() : frame_(g_frame) {
        if (frame_) frame_->HoldCommands();
    }
    ~FrameCommandHold() {
        if (frame_) frame_->ReleaseCommands();
    }
    FrameCommandHold(const FrameCommandHold&) = delete;
    FrameCommandHold& operator=(const FrameCommandHold&) = delete;

private:
    CFrame* frame_;
};

// For a web-search command, posts it to the frame with a copy of the selected
// text of the rich edit; 1 when posted, 0 for other ids or no selection.
int32_t PostTextCommand(uint32_t id, HWND richEdit);
// The sub-menu among the top-level items of `menu` that holds `id`, and its
// position; null and -1 when absent.
HMENU FindMenuWithCommand(HMENU menu, uint32_t id, int* position);
