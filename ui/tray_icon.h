// CTrayIcon: the notification-area icon that keeps the program reachable
// while its window is hidden, with its double click (show or hide) and its
// right-click menu (show or hide, Exit).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

class CFrame;

// The record size of the shell's version-3 notify data: mingw's sizeof is
// larger when built for newer systems, which older shells refuse.
inline constexpr DWORD kNotifyIconDataSize = 952;
inline constexpr UINT kTrayIconId = 1;

class CTrayIcon {
public:
    // Fills the record for the frame and loads the icon; nothing is shown.
    explicit CTrayIcon(HWND frame);
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
    virtual ~CTrayIcon();

    void Add();
    void Remove();
    bool Shown() const { return shown_ != 0; }
    // The frame's tray message: lParam is the mouse message.
    void OnNotify(CFrame& frame, WPARAM wParam, LPARAM lParam);

private:
    void ShowMenu(CFrame& frame);

    int32_t shown_ = 0;
    NOTIFYICONDATAW data_{};
    HWND frame_;
    HICON icon_ = nullptr;
};
