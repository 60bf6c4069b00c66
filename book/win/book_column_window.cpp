// The column windows of a reader (class OstrelBookView): painting through a
// memory bitmap, keys, mouse and wheel, the context menu, copy and paste,
// the editing keys of a text book, and the answer to WM_APP+0x46 (the text
// under the mouse cursor, for the word translator).
#include "book/win/book_reader.h"

#include <oleauto.h>
#include <richedit.h>
#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "common/segmentation/text_segmentation.h"

namespace {

using namespace book_ids;

constexpr COLORREF kCurrentPhraseColour = 0xBFFFFF;
constexpr COLORREF kSelectionColour = 0xFF9933;
constexpr COLORREF kLinkColour = 0xFF0000;

COLORREF ClassColour(uint32_t attribute) {
    switch ((attribute >> 4) & 0xF) {
    case 2: return 0x00007F;
    case 3: return 0x7F0000;
    case 5: return 0x7F7F7F;
    case 6: return 0x0000BF;
    case 8: return 0x005F00;
    case 9: return 0x1F001F;
    default: return 0;
    }
}

// Attribute bits that split a line into runs drawn alike.
uint32_t RunKey(uint32_t a) {
    return a & (book_attr::kFontMask | book_attr::kLink | book_attr::kSelected | book_attr::kCurrentPhrase | 0xF6);
}

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

std::u16string ClipboardText(HWND owner) {
    std::u16string text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* p = static_cast<const char16_t*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void PutClipboardText(HWND owner, const std::u16string& text) {
    if (text.empty() || !OpenClipboard(owner)) return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
    if (memory) {
        auto* p = static_cast<char16_t*>(GlobalLock(memory));
        std::copy(text.begin(), text.end(), p);
        p[text.size()] = 0;
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

}  // namespace

LRESULT CParaViewerDlg::ColumnMessage(int32_t slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool shown = host_ && slot < host_->VisibleCount();
    switch (message) {
    case WM_PAINT:
        Paint(slot, window);
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS;
    case WM_SETFOCUS:
        if (shown) host_->SetCurrentSlot(slot);
        CreateCaret(window, nullptr, 2, 14);
        hasCaret_ = true;
        UpdateCaret();
        RepaintColumns();
        return 0;
    case WM_KILLFOCUS:
        HideCaret(window);
        DestroyCaret();
        hasCaret_ = false;
        return 0;
    case WM_KEYDOWN:
        if (shown && !dragging_) OnKey(slot, wParam);
        return 0;
    case WM_CHAR:
        if (wParam == 27) {
            PostMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
            return 0;
        }
        if (shown) OnChar(slot, static_cast<wchar_t>(wParam));
        return 0;
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_MOUSEMOVE: case WM_RBUTTONDOWN:
        if (shown) OnMouse(slot, window, message, wParam, lParam);
        return 0;
    case WM_RBUTTONUP:
        if (shown) {
            POINT screen{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ClientToScreen(window, &screen);
            OnContextMenu(slot, window, screen);
        }
        return 0;
    case WM_MOUSEWHEEL: {
        if (!shown || (GET_KEYSTATE_WPARAM(wParam) & (MK_SHIFT | MK_CONTROL))) break;
        // Deltas below one notch (fine wheels, touchpads) add up to whole lines.
        wheelRemainder_ += GET_WHEEL_DELTA_WPARAM(wParam);
        const int32_t lines = wheelRemainder_ / WHEEL_DELTA;
        wheelRemainder_ -= lines * WHEEL_DELTA;
        if (lines != 0) {
            host_->SetCurrentSlot(slot);
            host_->CurrentView()->ScrollLines(-lines);
            AfterChange(true);
        }
        return 0;
    }
    case WM_SETCURSOR:
        if (shown && LOWORD(lParam) == HTCLIENT) {
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(window, &at);
            CParaView& view = host_->View(host_->Visible()[static_cast<size_t>(slot)]);
            const BookHit hit = view.HitTest(at.x, at.y);
            bool link = false;
            if (hit.onCharacter) {
                const XParagraph& p = view.Lay(hit.paragraph);
                link = (p.attributes[static_cast<size_t>(hit.offset)] & book_attr::kLink) != 0;
            }
            SetCursor(LoadCursorW(nullptr, link ? IDC_HAND : IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_COMMAND:
        if (shown) OnEditCommand(slot, LOWORD(wParam));
        return 0;
    case kTextUnderCursor:
        return shown ? GetTextAtCursor(slot, window, wParam, lParam) : GetTextAtCursor(-1, window, wParam, lParam);
    // The selection queries of a rich edit, so that the main window reads the
    // selection of a column named in a command (40500) as it reads an edit's.
    case EM_EXGETSEL: {
        auto* range = reinterpret_cast<CHARRANGE*>(lParam);
        if (range) *range = {0, shown ? static_cast<LONG>(SelectedTextOf(slot).size()) : 0};
        return 0;
    }
    case EM_GETTEXTEX: {
        const auto* query = reinterpret_cast<const GETTEXTEX*>(wParam);
        auto* out = reinterpret_cast<char16_t*>(lParam);
        if (!shown || !query || !out || query->cb < sizeof(char16_t) || query->codepage != 1200 ||
            !(query->flags & GT_SELECTION))
            return 0;
        const std::u16string text = SelectedTextOf(slot);
        const size_t count = std::min<size_t>(text.size(), query->cb / sizeof(char16_t) - 1);
        std::copy_n(text.begin(), count, out);
        out[count] = 0;
        return static_cast<LRESULT>(count);
    }
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CParaViewerDlg::GetTextAtCursor(int32_t slot, HWND window, WPARAM wParam, LPARAM lParam) {
    auto* offset = reinterpret_cast<int32_t*>(wParam);
    auto* text = reinterpret_cast<BSTR*>(lParam);
    if (offset == nullptr || text == nullptr) return 0;
    *offset = -1;
    *text = nullptr;
    if (slot < 0) return 0;
    POINT at{};
    GetCursorPos(&at);
    ScreenToClient(window, &at);
    CParaView& view = host_->View(host_->Visible()[static_cast<size_t>(slot)]);
    const BookHit hit = view.HitTest(at.x, at.y);
    if (!hit.onCharacter) return 0;
    const XParagraph& p = view.Lay(hit.paragraph);
    const auto length = static_cast<int32_t>(p.text.size());
    if (length < 1 || hit.offset < 0 || hit.offset >= length) return 0;
    *text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(p.text.data()), static_cast<UINT>(length));
    if (*text == nullptr) return 0;
    *offset = hit.offset;
    return 1;
}

void CParaViewerDlg::Paint(int32_t slot, HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client{};
    GetClientRect(window, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom));
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    FillRect(memory, &client, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(memory, TRANSPARENT);
    if (host_ && slot < host_->VisibleCount()) {
        CParaView& view = host_->View(host_->Visible()[static_cast<size_t>(slot)]);
        int32_t y = view.TopY();
        for (int32_t k = view.TopParagraph(); k >= 0 && view.First() >= 0 && y < client.bottom;) {
            const XParagraph& p = view.Lay(k);
            int32_t lineTop = y;
            for (const XLine& line : p.lines) {
                if (lineTop + line.height > 0 && lineTop < client.bottom && line.end > line.start) {
                    const int32_t base = line.start > 0 ? p.extents[static_cast<size_t>(line.start - 1)] : 0;
                    const int32_t left = book_layout::kLeftMargin + line.indent;
                    const bool rtl = (p.attributes[static_cast<size_t>(line.start)] & book_attr::kRightToLeft) != 0;
                    for (int32_t s = line.start; s < line.end;) {
                        const uint32_t a = p.attributes[static_cast<size_t>(s)];
                        int32_t e = s + 1;
                        while (e < line.end && RunKey(p.attributes[static_cast<size_t>(e)]) == RunKey(a)) ++e;
                        int32_t x0 = (s > 0 ? p.extents[static_cast<size_t>(s - 1)] : 0) - base;
                        int32_t x1 = p.extents[static_cast<size_t>(e - 1)] - base;
                        if (rtl) {
                            const int32_t w = x1 - x0;
                            x0 = line.width - x1;
                            x1 = x0 + w;
                        }
                        RECT box{left + x0, lineTop, left + x1, lineTop + line.height};
                        COLORREF colour = ClassColour(a);
                        const bool grey = ((a >> 4) & 0xF) == 5;
                        if (a & book_attr::kSelected) {
                            HBRUSH brush = CreateSolidBrush(kSelectionColour);
                            FillRect(memory, &box, brush);
                            DeleteObject(brush);
                            colour = grey ? colour : 0xFFFFFF;
                        } else if (a & book_attr::kCurrentPhrase) {
                            HBRUSH brush = CreateSolidBrush(kCurrentPhraseColour);
                            FillRect(memory, &box, brush);
                            DeleteObject(brush);
                            colour = grey ? colour : 0;
                        }
                        if (a & book_attr::kLink) {
                            colour = kLinkColour;
                            RECT bar{box.left, box.bottom - 1, box.right, box.bottom};
                            HBRUSH brush = CreateSolidBrush(kLinkColour);
                            FillRect(memory, &bar, brush);
                            DeleteObject(brush);
                        }
                        SetTextColor(memory, colour);
                        HGDIOBJ oldFont = SelectObject(memory, fonts_->FontFor(a));
                        const int32_t slotOfFont = static_cast<int32_t>((a & book_attr::kFontMask) >> book_attr::kFontShift);
                        const int32_t dy = slotOfFont == 9 ? 1 : 0;
                        ExtTextOutW(memory, box.left, lineTop + dy, rtl ? ETO_RTLREADING : 0, nullptr,
                                    reinterpret_cast<const wchar_t*>(p.text.data() + s), static_cast<UINT>(e - s),
                                    nullptr);
                        SelectObject(memory, oldFont);
                        s = e;
                    }
                }
                lineTop += line.height + fonts_->LineSpacing();
            }
            y += p.height;
            k = view.Next(k);
            if (k >= 0) y += view.GapBefore(k);
        }
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(window, &ps);
}

void CParaViewerDlg::UpdateCaret() {
    if (!hasCaret_ || !host_) return;
    CParaView* view = host_->CurrentView();
    int32_t x = 0, y = 0, h = 0;
    if (view && view->CaretPoint(view->caret, x, y, h)) {
        SetCaretPos(x, y + std::max(0, h - 14));
        ShowCaret(views_[host_->CurrentSlot()]);
    } else {
        HideCaret(views_[host_->CurrentSlot()]);
    }
}

std::u16string CParaViewerDlg::SelectedText() {
    CParaView* view = host_->CurrentView();
    return view ? view->SelectedText() : std::u16string();
}

std::u16string CParaViewerDlg::SelectedTextOf(int32_t slot) {
    if (!host_ || slot < 0 || slot >= host_->VisibleCount()) return {};
    return host_->View(host_->Visible()[static_cast<size_t>(slot)]).SelectedText();
}

void CParaViewerDlg::CopySelection() { PutClipboardText(dialog_, SelectedText()); }

bool CParaViewerDlg::Edit(bool (*operation)(BookModel&, int32_t, EditCursor&)) {
    CParaView* view = host_->CurrentView();
    if (!view || !host_->model.Editable() || view->caret.paragraph < 0) return false;
    EditCursor cursor{view->caret, view->anchor};
    const bool changed = operation(host_->model, view->Column(), cursor);
    view->caret = cursor.caret;
    view->anchor = cursor.anchor;
    if (changed) {
        const XParagraph& p = view->Lay(view->caret.paragraph);
        host_->SetCurrentPhrase(p.PhraseAt(view->caret.offset));
        AfterChange(true);
    }
    return changed;
}

void CParaViewerDlg::Paste() {
    CParaView* view = host_->CurrentView();
    if (!view || !host_->model.Editable()) return;
    const std::u16string text = ClipboardText(dialog_);
    EditCursor cursor{view->caret, view->anchor};
    if (PasteText(host_->model, view->Column(), cursor, text)) {
        view->caret = cursor.caret;
        view->anchor = cursor.anchor;
        AfterChange(true);
    }
}

void CParaViewerDlg::OnEditCommand(int32_t slot, uint32_t command) {
    host_->SetCurrentSlot(slot);
    switch (command) {
    case kCopy: CopySelection(); return;
    case kLookUpList: case kLookUpOther: case kLookUpFullText: case kLookUpTranslate:
        site_.LookUpText(SelectedText(), command);
        return;
    case kFontCommand: PostMessageW(site_.MainWindow(), WM_COMMAND, kFontCommand, 0); return;
    case kAddToDictionary:
        // The main window reads the selection back from the column it names.
        PostMessageW(site_.MainWindow(), WM_COMMAND, kAddToDictionary, reinterpret_cast<LPARAM>(views_[slot]));
        return;
    case kHelp: site_.ShowHelp(dialog_, kReaderHelpTopic); return;
    default: break;
    }
    if (!host_->model.Editable()) return;
    switch (command) {
    case kSplit: case kSplitToo: Edit(SplitAtCaret); return;
    case kJoin: case kJoinToo:
        Edit([](BookModel& m, int32_t c, EditCursor& cursor) { return JoinWithNext(m, c, cursor.caret.paragraph, &cursor); });
        return;
    case kPaste: Paste(); return;
    case kSave: Save(); return;
    default: return;  // 40659, 40660, 40663, 40667 do nothing
    }
}

void CParaViewerDlg::OnKey(int32_t slot, WPARAM key) {
    host_->SetCurrentSlot(slot);
    CParaView* view = host_->CurrentView();
    if (!view) return;
    const bool shift = KeyDown(VK_SHIFT), control = KeyDown(VK_CONTROL);
    const bool editable = host_->model.Editable();
    auto caretMoved = [&](bool extend) {
        if (!extend) view->CollapseSelection();
        if (view->caret.paragraph >= 0) {
            const XParagraph& p = view->Lay(view->caret.paragraph);
            host_->SetCurrentPhrase(p.PhraseAt(view->caret.offset));
            host_->GoToPhrase(host_->CurrentPhrase(), GoToMode::AsNeeded, false);
        }
        AfterChange(true);
    };
    if (view->caret.paragraph < 0 && view->First() >= 0) view->caret = view->anchor = {view->TopParagraph(), 0};
    switch (key) {
    case VK_UP: case VK_DOWN:
        view->MoveCaretLine(key == VK_UP ? -1 : 1);
        caretMoved(shift);
        return;
    case VK_LEFT: case VK_RIGHT: {
        const int32_t direction = key == VK_LEFT ? -1 : 1;
        if (!editable && !shift) {
            host_->GoToPhrase(host_->CurrentPhrase() + direction, GoToMode::AsNeeded, true);
            AfterChange(true);
            return;
        }
        if (!shift && view->HasSelection()) {
            TextPosition from, to;
            view->SelectionRange(from, to);
            view->caret = direction < 0 ? from : to;
        } else {
            view->MoveCaretCharacter(direction);
        }
        caretMoved(shift);
        return;
    }
    case VK_HOME: case VK_END:
        if (control) {
            host_->GoToPhrase(key == VK_HOME ? 0 : host_->model.PhraseCount() - 1, GoToMode::AsNeeded, true);
            AfterChange(true);
            return;
        }
        if (view->caret.paragraph >= 0) {
            const XParagraph& p = view->Lay(view->caret.paragraph);
            for (const XLine& line : p.lines)
                if (view->caret.offset >= line.start && (view->caret.offset < line.end || &line == &p.lines.back())) {
                    view->caret.offset = key == VK_HOME ? line.start : line.end;
                    break;
                }
        }
        caretMoved(shift);
        return;
    case VK_PRIOR: case VK_NEXT:
        view->ScrollPage(key == VK_PRIOR ? -1 : 1);
        AfterChange(true);
        return;
    case VK_TAB: {
        const int32_t count = host_->VisibleCount();
        if (count < 1) return;
        const int32_t next = (slot + (shift ? count - 1 : 1)) % count;
        host_->SetCurrentSlot(next);
        CParaView* other = host_->CurrentView();
        const int32_t paragraph = host_->model.ParagraphOfPhrase(host_->CurrentPhrase());
        if (other && paragraph >= 0) {
            const int32_t start = other->Lay(paragraph).SegmentStart(host_->CurrentPhrase());
            other->caret = other->anchor = {paragraph, std::max(0, start)};
        }
        SetFocus(views_[next]);
        return;
    }
    case 'C': case VK_INSERT:
        if (control) {
            CopySelection();
            return;
        }
        if (key == VK_INSERT && shift && editable) Paste();
        return;
    case VK_F1: site_.ShowHelp(dialog_, kReaderHelpTopic); return;
    default: break;
    }
    if (!editable) return;
    switch (key) {
    case VK_RETURN: Edit(SplitAtCaret); return;
    case VK_BACK: Edit(DeleteBackward); return;
    case VK_DELETE:
        if (control) {
            Edit(DeleteParagraph);
            return;
        }
        if (shift && view->HasSelection()) CopySelection();
        Edit(DeleteForward);
        return;
    case VK_ADD: case VK_OEM_PLUS:
        if (control)
            Edit([](BookModel& m, int32_t c, EditCursor& cursor) { return JoinWithNext(m, c, cursor.caret.paragraph, &cursor); });
        return;
    case 'S':
        if (control) Save();
        return;
    case 'B': case 'G': case 'I': case 'U':
        if (control && !shift) {
            EditCursor cursor{view->caret, view->anchor};
            if (WrapSelectionInTag(host_->model, view->Column(), cursor, static_cast<char16_t>(u'a' + (key - 'A')))) {
                view->caret = cursor.caret;
                view->anchor = cursor.anchor;
                AfterChange(true);
            }
        }
        return;
    default: return;
    }
}

void CParaViewerDlg::OnChar(int32_t slot, wchar_t c) {
    if (!host_->model.Editable() || c < 0x20 || KeyDown(VK_CONTROL)) return;
    host_->SetCurrentSlot(slot);
    CParaView* view = host_->CurrentView();
    if (!view || view->caret.paragraph < 0) return;
    if (view->HasSelection() && KeyDown(VK_SHIFT)) CopySelection();
    EditCursor cursor{view->caret, view->anchor};
    const char16_t unit = static_cast<char16_t>(c);
    if (InsertAtCaret(host_->model, view->Column(), cursor, std::u16string_view(&unit, 1))) {
        view->caret = cursor.caret;
        view->anchor = cursor.anchor;
        AfterChange(false);
    }
}

void CParaViewerDlg::OnMouse(int32_t slot, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Only a click makes its column current: the pointer passing over
    // another column (or resting there when the reader opens) leaves the
    // column that leads, and whose place is kept, as it was.
    if ((message == WM_MOUSEMOVE || message == WM_LBUTTONUP) && !dragging_) return;
    host_->SetCurrentSlot(slot);
    CParaView* view = host_->CurrentView();
    if (!view) return;
    const int32_t x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    const BookHit hit = view->HitTest(x, y);
    switch (message) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: {
        SetFocus(window);
        if (hit.paragraph < 0) return;
        if (message == WM_RBUTTONDOWN && view->HasSelection()) {
            // A right click on the selection keeps it for the menu's commands.
            TextPosition from, to;
            view->SelectionRange(from, to);
            const auto at = std::make_pair(hit.paragraph, hit.offset);
            if (std::make_pair(from.paragraph, from.offset) <= at && at <= std::make_pair(to.paragraph, to.offset))
                return;
        }
        if (host_->TableOfContents() == false && message == WM_LBUTTONDOWN && doubleClickTime_ != 0 &&
            GetTickCount() - doubleClickTime_ <= std::min<DWORD>(GetDoubleClickTime(), 1000)) {
            // A third click selects the sentence.
            const XParagraph& p = view->Lay(hit.paragraph);
            int32_t start = 0, end = 0;
            SentenceAround(p.text, hit.offset, start, end);
            view->anchor = {hit.paragraph, start};
            view->caret = {hit.paragraph, end};
            doubleClickTime_ = 0;
            AfterChange(false);
            return;
        }
        view->caret = {hit.paragraph, hit.offset};
        if (!(message == WM_LBUTTONDOWN && (wParam & MK_SHIFT))) view->anchor = view->caret;
        host_->SetCurrentPhrase(view->Lay(hit.paragraph).PhraseAt(hit.offset));
        if (message == WM_LBUTTONDOWN) {
            dragging_ = true;
            SetCapture(window);
        }
        AfterChange(false);
        return;
    }
    case WM_MOUSEMOVE:
        if (dragging_ && hit.paragraph >= 0) {
            view->caret = {hit.paragraph, hit.offset};
            AfterChange(false);
        }
        return;
    case WM_LBUTTONUP:
        if (!dragging_) return;
        dragging_ = false;
        ReleaseCapture();
        if (!view->HasSelection() && hit.onCharacter) {
            // Only web addresses open: a "www." run gets its scheme first.
            const std::u16string url = OpenableLink(LinkRunAt(view->Lay(hit.paragraph), hit.offset));
            if (!url.empty())
                ShellExecuteW(dialog_, L"open", reinterpret_cast<const wchar_t*>(url.c_str()), nullptr, nullptr,
                              SW_SHOWNORMAL);
        }
        return;
    case WM_LBUTTONDBLCLK: {
        if (hit.paragraph < 0) return;
        if (host_->TableOfContents()) {
            host_->SetTableOfContents(false);
            CheckDlgButton(dialog_, kTableOfContents, BST_UNCHECKED);
            host_->GoToPhrase(view->Lay(hit.paragraph).firstEntry, GoToMode::Top, true);
            AfterChange(true);
            return;
        }
        const XParagraph& p = view->Lay(hit.paragraph);
        int32_t start = hit.offset, end = hit.offset;
        if (WordAt(p.text.data(), static_cast<int32_t>(p.text.size()), hit.offset, &start, &end)) {
            view->anchor = {hit.paragraph, start};
            view->caret = {hit.paragraph, end};
        }
        doubleClickTime_ = GetTickCount();
        AfterChange(false);
        return;
    }
    default: return;
    }
}

void CParaViewerDlg::OnContextMenu(int32_t slot, HWND window, POINT screen) {
    HMENU menus = site_.ContextMenus();
    if (!menus) return;
    const bool editable = host_->model.Editable();
    HMENU menu = GetSubMenu(menus, editable ? 15 : 13);
    if (!menu) return;
    site_.PrepareContextMenu(menu);
    if (editable) ModifyMenuW(menu, kPaste, MF_BYCOMMAND | MF_STRING, kPaste, W(site_.Text(u"Paste")));
    const bool selection = host_->CurrentView() && host_->CurrentView()->HasSelection();
    // A new article needs a working dictionary too (greyed by the program without one).
    const bool canAdd = (GetMenuState(menu, kAddToDictionary, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
    for (uint32_t id : {kLookUpList, kLookUpFullText, kLookUpTranslate, kCopy})
        EnableMenuItem(menu, id, MF_BYCOMMAND | (selection ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, kAddToDictionary, MF_BYCOMMAND | (selection && canAdd ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, kPaste, MF_BYCOMMAND | MF_ENABLED);
    for (uint32_t id : {40024u, 40025u, 40034u, 40017u}) EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (GetSubMenu(menu, i)) EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (selection ? MF_ENABLED : MF_GRAYED));
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, window, nullptr));
    if (command == 0) return;
    if (site_.IsWebSearchCommand(command)) site_.PostWebSearch(command, SelectedText());
    else PostMessageW(window, WM_COMMAND, command, 0);
    (void)slot;
}
