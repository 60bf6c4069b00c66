// CBigHint: the hover hint, a balloon window of class "Ostrel ToolTip Class"
// with a read-only rich edit inside. Every UI tick it looks at the item under
// the pointer (a toolbar button, a list tab, a header item, a status-bar
// part, a control of the dictionaries dialog or of an article editor, a menu
// item of this program) and waits, shows or hides as HintTracker says.
#pragma once

#include <windows.h>

#include <memory>

#include "common/ui_text/hint_rules.h"

class CFrame;

inline constexpr wchar_t kHintClassName[] = L"Ostrel ToolTip Class";
inline constexpr int kHintEditId = 303;

class CBigHint {
public:
    // The hint of the main window (auto-hide after 15 s); null when the
    // window could not be made.
    static std::unique_ptr<CBigHint> Create(CFrame& frame);
    ~CBigHint();
    CBigHint(const CBigHint&) = delete;
    CBigHint& operator=(const CBigHint&) = delete;

    // One UI tick.
    void Track();
    // Shows the hint of the item now under the pointer (hides when there is none).
    void ShowText();
    // Hides the hint (a button press, a menu that opens) and drops a pending show.
    void Hide();
    HWND Window() const { return window_; }
    bool Shown() const { return tracker_.Shown(); }
    // The ticks that looked at the pointer so far; whether a show waits for its delay.
    int64_t Looks() const { return looks_; }
    bool ShowPending() const { return showTimer_ != 0; }

    int32_t autoHideSeconds = kHintAutoHideSeconds;

private:
    explicit CBigHint(CFrame& frame) : frame_(frame) {}
    bool CreateWindowObject();
    // The item under the pointer, its anchor (bottom centre) and the item's top.
    bool FindHintItemUnderCursor(HintItem& item, POINT& anchor, int32_t& itemTop) const;
    void Apply(const HintActions& actions);
    void Paint();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void CALLBACK TimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);

    CFrame& frame_;
    HintTracker tracker_;
    HWND window_ = nullptr;
    HWND edit_ = nullptr;
    UINT_PTR showTimer_ = 0;  // thread timers: the ids SetTimer returned
    UINT_PTR hideTimer_ = 0;
    int64_t looks_ = 0;
    int32_t requestedHeight_ = 0;  // what the rich edit asked for
    HRGN shape_ = nullptr;         // the window's region (owned by the window once set)
    bool pointerBelow_ = false;
    int32_t height_ = kHintInitialHeight;
};
