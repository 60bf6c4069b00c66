// Typing as a user types, for window tests: the target's window comes to the
// foreground with the keyboard focus, and each character is one key pressed
// and released through SendInput, with a pause after it. The program then sees
// what a keyboard gives: WM_KEYDOWN, WM_CHAR and WM_KEYUP through its own
// message loop and key routing, one key at a time, never a whole string.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace key_typing {

// Gives `target` the keyboard focus and brings its top window to the
// foreground, whatever process owns it. True when the focus is there.
inline bool FocusWindow(HWND target) {
    HWND top = GetAncestor(target, GA_ROOT);
    DWORD targetThread = GetWindowThreadProcessId(target, nullptr);
    // Joining the target thread's input clears the key state the two then
    // share: the Ctrl of a Ctrl+C sent just before, which the program has
    // already read while its C waits in the queue, would be lost, and the C
    // typed as a letter. So a focus already in place is left alone.
    GUITHREADINFO focus{};
    focus.cbSize = sizeof(focus);
    if (GetForegroundWindow() == top && GetGUIThreadInfo(targetThread, &focus) && focus.hwndFocus == target)
        return true;
    DWORD self = GetCurrentThreadId();
    bool attached = targetThread != self && AttachThreadInput(self, targetThread, TRUE);
    SetForegroundWindow(top);
    SetActiveWindow(top);
    SetFocus(target);
    bool focused = GetFocus() == target;
    if (attached) AttachThreadInput(self, targetThread, FALSE);
    return focused;
}

namespace detail {

inline INPUT Key(WORD vk, WORD scan, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    return input;
}

// The presses and releases of one character: a character of the keyboard's
// layout by its virtual key (with Shift when it needs it), any other as a
// Unicode key, as an input method hands it over.
inline std::vector<INPUT> KeysOf(wchar_t c) {
    std::vector<INPUT> keys;
    SHORT scan = c < 0x80 ? VkKeyScanW(c) : -1;
    if (scan != -1 && (HIBYTE(scan) & ~1) == 0) {
        WORD vk = LOBYTE(scan);
        bool shift = HIBYTE(scan) & 1;
        WORD hardware = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        if (shift) keys.push_back(Key(VK_SHIFT, static_cast<WORD>(MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC)), 0));
        keys.push_back(Key(vk, hardware, 0));
        keys.push_back(Key(vk, hardware, KEYEVENTF_KEYUP));
        if (shift)
            keys.push_back(Key(VK_SHIFT, static_cast<WORD>(MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC)),
                               KEYEVENTF_KEYUP));
    } else {
        keys.push_back(Key(0, c, KEYEVENTF_UNICODE));
        keys.push_back(Key(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    return keys;
}

}  // namespace detail

// Types `text` into `target` one key at a time, waiting `pauseMs` after each.
// False when the focus could not be given or a key was not taken.
inline bool TypeKeys(HWND target, std::wstring_view text, DWORD pauseMs = 80) {
    if (!FocusWindow(target)) return false;
    for (wchar_t c : text) {
        std::vector<INPUT> keys = detail::KeysOf(c);
        if (SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) != keys.size()) return false;
        Sleep(pauseMs);
    }
    return true;
}

// Presses and releases one virtual key (Enter, an arrow, F5, ...), with Ctrl
// held when `control` is set, in the window that has the focus.
inline bool PressKey(WORD vk, bool control = false) {
    std::vector<INPUT> keys;
    WORD ctrl = static_cast<WORD>(MapVirtualKeyW(VK_CONTROL, MAPVK_VK_TO_VSC));
    WORD hardware = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    if (control) keys.push_back(detail::Key(VK_CONTROL, ctrl, 0));
    keys.push_back(detail::Key(vk, hardware, 0));
    keys.push_back(detail::Key(vk, hardware, KEYEVENTF_KEYUP));
    if (control) keys.push_back(detail::Key(VK_CONTROL, ctrl, KEYEVENTF_KEYUP));
    return SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size();
}

// Presses and releases `vk` `count` times with Shift held (Shift+Left
// selects, Shift+Delete cuts) in `target`, which first gets the focus. One
// input of them all: the program sees Shift down at each of the keys.
inline bool PressShiftedKey(HWND target, WORD vk, size_t count = 1) {
    if (!FocusWindow(target)) return false;
    WORD shift = static_cast<WORD>(MapVirtualKeyW(VK_SHIFT, MAPVK_VK_TO_VSC));
    WORD hardware = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    // Arrows and Delete are extended keys, not those of the numeric pad.
    const DWORD extended = vk == VK_LEFT || vk == VK_RIGHT || vk == VK_DELETE || vk == VK_HOME || vk == VK_END
                               ? KEYEVENTF_EXTENDEDKEY : 0;
    std::vector<INPUT> keys{detail::Key(VK_SHIFT, shift, 0)};
    for (size_t i = 0; i < count; ++i) {
        keys.push_back(detail::Key(vk, hardware, extended));
        keys.push_back(detail::Key(vk, hardware, extended | KEYEVENTF_KEYUP));
    }
    keys.push_back(detail::Key(VK_SHIFT, shift, KEYEVENTF_KEYUP));
    return SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size();
}

// The same in `target`, which first gets the focus back: a window that came
// up meanwhile must not take keys meant for it.
inline bool PressKey(HWND target, WORD vk, bool control = false) {
    return FocusWindow(target) && PressKey(vk, control);
}

}  // namespace key_typing
