// The notification-area icon: adding and removing it, and what its mouse
// messages do to the main window.
#include "ui/tray_icon.h"

#include <cwchar>

#include "common/ui_text/ui_text.h"
#include "common/ui_text/win/ui_language.h"
#include "resources/program/resource_ids.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/frame.h"

namespace {

constexpr int kTipSlot = 118;        // "Japanese-Russian Dictionary Ostrel Pro"
constexpr int kTrayMenuPosition = 7;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

}  // namespace

CTrayIcon::CTrayIcon(HWND frame) : frame_(frame) {
    data_.cbSize = kNotifyIconDataSize;
    data_.hWnd = frame;
    data_.uID = kTrayIconId;
    data_.uCallbackMessage = msg::kTrayNotify;
    icon_ = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON, 16, 16, 0));
    data_.hIcon = icon_;
}

CTrayIcon::~CTrayIcon() {
    data_.uFlags = 0;
    Shell_NotifyIconW(NIM_DELETE, &data_);
    if (icon_) DestroyIcon(icon_);
}

void CTrayIcon::Add() {
    data_.uFlags = NIF_MESSAGE;
    Shell_NotifyIconW(NIM_ADD, &data_);
    data_.uFlags = NIF_ICON;
    Shell_NotifyIconW(NIM_MODIFY, &data_);
    data_.uFlags = NIF_TIP;
    wcsncpy(data_.szTip, Wide(UIStringTable[kTipSlot]), 127);
    data_.szTip[127] = 0;
    Shell_NotifyIconW(NIM_MODIFY, &data_);
    shown_ = 1;
}

void CTrayIcon::Remove() {
    data_.uFlags = 0;
    Shell_NotifyIconW(NIM_DELETE, &data_);
    shown_ = 0;
}

void CTrayIcon::OnNotify(CFrame& frame, WPARAM, LPARAM lParam) {
    Application& app = *g_application;
    if (!(app.flags & app_flag::kStarted) || (app.flags & app_flag::kDragging)) return;
    UINT mouse = static_cast<UINT>(lParam);
    if (mouse != WM_LBUTTONDBLCLK && mouse != WM_RBUTTONUP) return;
    // While a modal dialog runs, its code still uses what Exit would destroy
    // and hiding would strand it: the dialog only comes forward.
    if (app.flags & app_flag::kModalDialog) {
        HWND popup = GetLastActivePopup(frame_);
        if (popup && popup != frame_) SetForegroundWindow(popup);
        return;
    }
    bool shown = app.flags & app_flag::kWindowShown;
    if (mouse == WM_LBUTTONDBLCLK) frame.OnCommand(shown ? cmd::kHideWindow : cmd::kShowWindow, 0);
    else ShowMenu(frame);
}

void CTrayIcon::ShowMenu(CFrame& frame) {
    HMENU popup = GetSubMenu(frame.ContextMenus(), kTrayMenuPosition);
    if (!popup) return;
    uint32_t toggle = g_application->flags & app_flag::kWindowShown ? cmd::kHideWindow : cmd::kShowWindow;
    const char16_t* title = FindMenuCommandTitle(toggle);
    ModifyMenuW(popup, 0, MF_BYPOSITION | MF_STRING, toggle, title ? Wide(title) : L"");
    ApplyUILanguageToMenu(popup);
    POINT cursor{};
    GetCursorPos(&cursor);
    SetForegroundWindow(frame_);
    UINT chosen = static_cast<UINT>(TrackPopupMenuEx(popup, TPM_RETURNCMD | TPM_NONOTIFY, cursor.x, cursor.y,
                                                     frame_, nullptr));
    PostMessageW(frame_, WM_NULL, 0, 0);
    if (chosen == cmd::kExit) SendMessageW(frame_, WM_COMMAND, cmd::kExit, 0);
    else if (chosen == cmd::kShowWindow || chosen == cmd::kHideWindow) frame.OnCommand(chosen, 0);
}
