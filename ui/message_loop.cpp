// The UI thread's message loop with its key and mouse routing, the 100 ms
// thread timer (hint tracking, the text-under-cursor step, the update check)
// and the hook that hides the hover hint on a mouse press.
#include <richedit.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include "article/win/rich_edit.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/find_stages.h"
#include "ui/frame.h"
#include "ui/key_routing.h"
#include "ui/modeless_dialogs.h"

namespace {

std::vector<HWND>& ModelessDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

// The modeless dialog (an article editor, the book reader) that holds the
// window, or null.
HWND ModelessDialogOf(HWND window, IFrameLists* lists) {
    if (!window) return nullptr;
    HWND root = GetAncestor(window, GA_ROOT);
    if (!root) return nullptr;
    const auto& dialogs = ModelessDialogs();
    if (std::find(dialogs.begin(), dialogs.end(), root) != dialogs.end()) return root;
    if (lists && lists->IsEditorWindow(root)) return root;
    return nullptr;
}

}  // namespace

void AddModelessDialog(HWND dialog) {
    if (dialog) ModelessDialogs().push_back(dialog);
}

void RemoveModelessDialog(HWND dialog) {
    auto& dialogs = ModelessDialogs();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
}

int CFrame::MessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND list = lists ? lists->CurrentListWindow() : nullptr;
        RouteQuery query;
        query.message = message.message;
        query.hasCurrentList = list != nullptr;
        if (message.message == WM_KEYDOWN) {
            ++keysTaken_;
            query.key = static_cast<uint32_t>(message.wParam);
            query.ctrl = GetKeyState(VK_CONTROL) < 0;
            query.shift = GetKeyState(VK_SHIFT) < 0;
            query.unicodeOnClipboard = IsClipboardFormatAvailable(CF_UNICODETEXT);
        }
        if (message.hwnd && message.hwnd == inputBox_) {
            query.role = TargetRole::InputBox;
            if (message.message == WM_KEYDOWN) MarkFindStage(FindStage::KeyTaken);
        } else if (message.hwnd && message.hwnd == list) query.role = TargetRole::CurrentList;
        else if (message.hwnd && message.hwnd == tabControl) query.role = TargetRole::TabControl;
        else if (message.hwnd && message.hwnd == articleEdit) query.role = TargetRole::ArticleEdit;
        else if (message.message == WM_KEYDOWN && lists && lists->IsEditorPaneWindow(message.hwnd))
            query.role = TargetRole::EditorText;

        bool dispatch = true;
        // The key becomes the frame's command instead of reaching the box.
        auto postCommand = [&](WPARAM command) {
            PostMessageW(frame_, WM_COMMAND, command, 0);
            dispatch = false;
        };
        switch (RouteMessage(query)) {
        case RouteAction::Dispatch:
            break;
        case RouteAction::Drop:
            dispatch = false;
            break;
        case RouteAction::PasteUnicode:
        case RouteAction::PastePlain:
            // The paste command: the text goes in with its script faces at
            // once, plain text when there is no Unicode text, and it knows
            // what the box's selection is.
            postCommand(cmd::kInputPaste);
            break;
        case RouteAction::PostInputCopy:
            postCommand(cmd::kInputCopy);
            break;
        case RouteAction::PostInputCut:
            postCommand(cmd::kInputCut);
            break;
        case RouteAction::RedirectToList:
            message.hwnd = list;
            break;
        case RouteAction::FocusList:
            if (list) SetFocus(list);
            dispatch = false;
            break;
        case RouteAction::PostFind:
            PostMessageW(frame_, WM_COMMAND, cmd::kFind, 0);
            dispatch = false;
            break;
        case RouteAction::PostListHelp:
            if (list) PostMessageW(list, WM_COMMAND, cmd::kListHelp, 0);
            dispatch = false;
            break;
        case RouteAction::RedirectToInput:
            SetFocus(inputBox_);
            message.hwnd = inputBox_;
            break;
        case RouteAction::FocusInput:
            SetFocus(inputBox_);
            dispatch = false;
            break;
        case RouteAction::FilterEditorKey:
            if (lists->FilterEditorKey(message)) dispatch = false;
            break;
        case RouteAction::PostInputMenu:
            PostMessageW(frame_, msg::kContextMenu, message.wParam, message.lParam);
            break;
        case RouteAction::PostArticleMenu:
            if (articleView) PostMessageW(articleView, msg::kContextMenu, message.wParam, message.lParam);
            break;
        case RouteAction::PostListFind:
            PostMessageW(list, msg::kListFind, message.wParam, message.lParam);
            break;
        case RouteAction::PostToList:
            PostMessageW(list, message.message, message.wParam, message.lParam);
            dispatch = false;
            break;
        }
        if (!dispatch) continue;
        // Modeless dialogs get their Tab, Shift+Tab and Escape navigation
        // after the editor's key filter has had the key.
        if (HWND dialog = ModelessDialogOf(message.hwnd, lists); dialog && IsDialogMessageW(dialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
        // Pasted text keeps its source's sizes and colours until evened out.
        if (input_ && message.hwnd == inputBox_ && (message.message == WM_PASTE || message.message == EM_PASTESPECIAL))
            input_->ReformatInputText();
    }
    return static_cast<int>(message.wParam);
}

void CALLBACK CFrame::TimerProc(HWND, UINT, UINT_PTR, DWORD time) {
    CFrame* self = g_frame;
    if (!self || !g_application) return;
    ++self->ticks_;
    if (!self->hintTracking_) {
        self->hintTracking_ = true;
        if (self->furniture) self->furniture->TrackHint();
        self->hintTracking_ = false;
    }
    if (!self->underCursor_.running) {
        self->underCursor_.Begin(time);
        try {
            if (self->textUnderCursor) self->textUnderCursor->Poll();
        } catch (...) {
            self->beep(kStepBeepFrequency, kStepBeepMs);
        }
        self->underCursor_.End();
    } else if (self->underCursor_.IsStuck(time)) {
        self->hintTracking_ = false;
        // Once per stuck step: a sound on every tick would only drown it.
        if (self->underCursor_.ReportStuck(time)) self->beep(kStepBeepFrequency, kStepBeepMs);
    }
    if (IsUpdateTick(self->ticks_)) {
        IFrameWeb* web = g_application->web;
        if (web && IsUpdateCheckDue(web->NextCheckTime(), static_cast<int64_t>(std::time(nullptr))) &&
            !self->updateCheckRunning_) {
            self->updateCheckRunning_ = true;
            web->StartUpdateCheck(self->frame_);
            self->updateCheckRunning_ = false;
        }
    }
}

LRESULT CALLBACK CFrame::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK hook = g_application ? g_application->hook : nullptr;
    if (code == HC_ACTION && g_frame) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        // A button press announced to a parent or a menu that opens hides the
        // hint; another message whose wParam happens to be 513 or 516 does not.
        CFrame& frame = *g_frame;
        if (call && call->message == WM_ENTERMENULOOP) frame.inMenuLoop_ = true;
        if (call && call->message == WM_EXITMENULOOP) frame.inMenuLoop_ = false;
        if (call && HidesHint(call->message, call->wParam) && frame.hintsOn_ && frame.furniture &&
            frame.furniture->HintExists())
            frame.furniture->HideHint();
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}
