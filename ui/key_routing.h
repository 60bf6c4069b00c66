// Where the message loop sends a key or mouse message before dispatching it,
// decided from the message, the key, the Ctrl state and the role of the
// target window alone, so the routing table is testable without windows.
#pragma once

#include <cstdint>

enum class TargetRole { Other, InputBox, CurrentList, TabControl, EditorText, ArticleEdit };

enum class RouteAction {
    Dispatch,          // translate and dispatch as it is
    Drop,              // neither translated nor dispatched
    PasteUnicode,      // post EM_PASTESPECIAL(CF_UNICODETEXT) to the input box; drop
    PastePlain,        // post WM_PASTE to the input box; drop
    PostInputCopy,     // post WM_COMMAND 40033 (the input box's Copy) to the frame; drop
    PostInputCut,      // post WM_COMMAND 40024 (the input box's Cut) to the frame; drop
    RedirectToList,    // the message goes to the current list window and is dispatched
    FocusList,         // focus the current list; drop
    PostFind,          // post WM_COMMAND 40010 to the frame; drop
    PostListHelp,      // post WM_COMMAND 1016 to the current list window; drop
    RedirectToInput,   // focus the input box, redirect the message there, dispatch
    FocusInput,        // focus the input box; drop
    FilterEditorKey,   // the article editor's key filter first
    PostInputMenu,     // post WM_APP+1 to the frame, then dispatch
    PostArticleMenu,   // post WM_APP+1 to the article view window, then dispatch
    PostListFind,      // post WM_APP+0x47 to the current list window, then dispatch
    PostToList,        // post the message to the current list window; not dispatched
};

struct RouteQuery {
    uint32_t message = 0;    // WM_KEYDOWN, WM_RBUTTONUP, ...
    uint32_t key = 0;        // virtual key of a WM_KEYDOWN
    bool ctrl = false;
    bool shift = false;
    TargetRole role = TargetRole::Other;
    bool unicodeOnClipboard = false;  // CF_UNICODETEXT available (paste keys)
    bool hasCurrentList = false;
};

RouteAction RouteMessage(const RouteQuery& query);

// The hook hides the hover hint for a mouse button press announced to a
// parent (WM_PARENTNOTIFY with WM_LBUTTONDOWN or WM_RBUTTONDOWN in the low
// word of wParam) and when a menu opens (WM_ENTERMENULOOP, whatever its
// wParam): a hint left shown would cover the menu's first item. No other
// message hides it, whatever its wParam.
bool HidesHint(uint32_t message, uintptr_t wParam);
