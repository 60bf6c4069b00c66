// The routing table of the message loop.
#include "ui/key_routing.h"

namespace {

constexpr uint32_t kKeyDown = 0x0100, kRButtonUp = 0x0205, kLButtonUp = 0x0202, kMouseWheel = 0x020A;
constexpr uint32_t kBack = 0x08, kTab = 0x09, kReturn = 0x0D, kPrior = 0x21, kNext = 0x22;
constexpr uint32_t kRight = 0x27, kUp = 0x26, kDown = 0x28, kInsert = 0x2D, kDelete = 0x2E, kF1 = 0x70, kOem7 = 0xDE;

// Keys typed in a list that belong to the input box: letters, 1 to 9 (not
// 0), the apostrophe key, Right and Backspace.
bool IsInputKey(uint32_t key) {
    return (key >= 'A' && key <= 'Z') || (key >= '1' && key <= '9') || key == kOem7 || key == kRight ||
           key == kBack;
}

RouteAction RouteInputKey(const RouteQuery& q) {
    if ((q.shift && q.key == kInsert) || (q.ctrl && q.key == 'V'))
        return q.unicodeOnClipboard ? RouteAction::PasteUnicode : RouteAction::PastePlain;
    // The box's own copy may leave a stray unit behind the text's terminator
    // (its block is sized for the closing paragraph mark it does not write),
    // which other programs paste as characters: the frame copies and cuts.
    if (q.ctrl && (q.key == 'C' || q.key == kInsert)) return RouteAction::PostInputCopy;
    if ((q.ctrl && q.key == 'X') || (q.shift && q.key == kDelete)) return RouteAction::PostInputCut;
    switch (q.key) {
    case kUp:
    case kDown:
    case kPrior:
    case kNext:
        return q.hasCurrentList ? RouteAction::RedirectToList : RouteAction::Dispatch;
    case kTab: return RouteAction::FocusList;
    case kReturn: return RouteAction::PostFind;
    case kF1: return RouteAction::PostListHelp;
    default: return RouteAction::Dispatch;
    }
}

RouteAction RouteListKey(const RouteQuery& q) {
    if (!q.ctrl && IsInputKey(q.key)) return RouteAction::RedirectToInput;
    if (q.key == kTab) return RouteAction::FocusInput;
    if (q.key == kF1) return RouteAction::PostListHelp;
    return RouteAction::Dispatch;
}

}  // namespace

RouteAction RouteMessage(const RouteQuery& q) {
    switch (q.message) {
    case kKeyDown:
        switch (q.role) {
        case TargetRole::InputBox: return RouteInputKey(q);
        case TargetRole::EditorText: return RouteAction::FilterEditorKey;
        case TargetRole::CurrentList:
        case TargetRole::TabControl: return RouteListKey(q);
        default: return RouteAction::Dispatch;
        }
    case kRButtonUp:
        if (q.role == TargetRole::InputBox) return RouteAction::PostInputMenu;
        if (q.role == TargetRole::ArticleEdit) return RouteAction::PostArticleMenu;
        return RouteAction::Dispatch;
    case kLButtonUp:
        return q.role == TargetRole::InputBox && q.hasCurrentList ? RouteAction::PostListFind : RouteAction::Dispatch;
    case kMouseWheel:
        return q.role == TargetRole::InputBox && q.hasCurrentList ? RouteAction::PostToList : RouteAction::Dispatch;
    default:
        return RouteAction::Dispatch;
    }
}

bool HidesHint(uint32_t message, uintptr_t wParam) {
    constexpr uint32_t kParentNotify = 0x0210, kEnterMenuLoop = 0x0211, kLButtonDown = 0x0201, kRButtonDown = 0x0204;
    uint32_t event = static_cast<uint32_t>(wParam & 0xFFFF);
    return message == kEnterMenuLoop || (message == kParentNotify && (event == kLButtonDown || event == kRButtonDown));
}
