// CArticleView: the window class, articles with their attribute formats, the
// window procedure with its commands and context menu, the text insertion of
// notes, and LookUpText.
#include "article/win/article_view.h"

#include <algorithm>
#include <string>

#include "article/link_markers.h"
#include "article/look_up_plan.h"
#include "article/win/rich_edit_stream.h"
#include "article/win/article_view_host.h"
#include "common/ui_text/ui_text.h"

namespace {

constexpr UINT kContextMenuMessage = WM_APP + 1;  // lParam: client x, y
constexpr int kArticleViewIcon = 127;
constexpr int32_t kHelpTopic = 144;
constexpr int kContextSubmenu = 5;
constexpr UINT kWebSearchItemPosition = 8;
constexpr int kWebSearchSlot = 78;
constexpr uint32_t kWebSearchCommands[] = {40183, 40184, 40185, 40186, 40187, 40188, 40164, 40166, 40691, 40170};
// Commands the main window carries out for the article (the rich edit as control).
constexpr uint32_t kMainWindowCommands[] = {40064, 40066, 40067, 40083, 40400, 40500};
constexpr uint32_t kFontCommand = 40119;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

bool RegisterArticleViewClass(HINSTANCE instance) {
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, Wide(kArticleViewClassName), &existing)) return true;
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = CArticleView::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kArticleViewIcon));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = Wide(kArticleViewClassName);
    return RegisterClassExW(&windowClass) != 0;
}

template <size_t N> bool IsOneOf(uint32_t command, const uint32_t (&commands)[N]) {
    for (uint32_t c : commands)
        if (c == command) return true;
    return false;
}

}  // namespace

CArticleView::CArticleView(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height) : parent_(parent) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterArticleViewClass(instance)) return;
    CreateWindowExW(0, Wide(kArticleViewClassName), L"", WS_CHILD | WS_CLIPCHILDREN | WS_TABSTOP, x, y, width,
                    height, parent, nullptr, instance, this);
    if (!window_) return;
    RECT client = {};
    GetClientRect(window_, &client);
    richEdit_ = std::make_unique<CRichEdit>(window_, true, kArticleEditId, 0, 0, client.right, client.bottom, true);
    editWindow_ = richEdit_->Window();
    richEdit_->SetFontSize(ArticleViewHost().ArticleFontPoints() * 20);
    if (!editWindow_) return;
    SendMessageW(editWindow_, EM_SETREADONLY, TRUE, 0);
    // Nothing the user does in the view is undone, and the control's undo
    // record of every article streamed in and cleared out cost time.
    SendMessageW(editWindow_, EM_SETUNDOLIMIT, 0, 0);
    // Links must notify too, or a click on one would never reach 40168.
    SendMessageW(editWindow_, EM_SETEVENTMASK, 0, ENM_MOUSEEVENTS | ENM_LINK);
}

CArticleView::~CArticleView() {
    richEdit_.reset();
    if (window_) DestroyWindow(window_);  // WM_NCDESTROY clears window_
}

void CArticleView::TakeArticleFontSize() {
    if (richEdit_) richEdit_->SetDefaultFontHeight(ArticleViewHost().ArticleFontPoints() * 20);
}

void CArticleView::FinishArticle() {
    if (!editWindow_) return;
    SendMessageW(editWindow_, EM_SETSEL, 0, 0);
    SendMessageW(editWindow_, EM_SETREADONLY, TRUE, 0);
    if (paintHolds_ == 0) DrawNow();  // else when the hold ends
}

void CArticleView::DrawNow() {
    if (!editWindow_) return;
    SendMessageW(editWindow_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(editWindow_, nullptr, TRUE);
    UpdateWindow(editWindow_);
}

void CArticleView::HoldPaint() {
    if (paintHolds_++ == 0 && editWindow_) SendMessageW(editWindow_, WM_SETREDRAW, FALSE, 0);
}

void CArticleView::ReleasePaint() {
    if (paintHolds_ > 0 && --paintHolds_ == 0) DrawNow();
}

void CArticleView::SetArticle(const char16_t* text, int32_t length, const uint32_t* attributes, bool wrapLines) {
    if (!richEdit_) return;
    TakeArticleFontSize();
    if (!text || length < 0) {
        richEdit_->SetPlainText(u"", true, wrapLines);
        return;
    }
    const std::u16string_view article(text, static_cast<size_t>(length));
    // The formats come in the stream that brings the text: given run by run
    // afterwards, each laid the article out again (an article of 400
    // paragraphs took over a second).
    if (length > 0 && attributes)
        richEdit_->SetArticleText(article, {attributes, static_cast<size_t>(length)}, wrapLines);
    else
        richEdit_->SetPlainText(article, false, wrapLines);
    FinishArticle();
}

void CArticleView::SetArticle(std::u16string_view text, std::span<const uint32_t> attributes, bool wrapLines) {
    const bool styled = !attributes.empty() && attributes.size() >= text.size();
    SetArticle(text.data() ? text.data() : u"", static_cast<int32_t>(text.size()), styled ? attributes.data() : nullptr,
               wrapLines);
}

void CArticleView::SetLinkedText(std::u16string_view text, bool wrapLines) {
    if (!richEdit_) return;
    TakeArticleFontSize();
    richEdit_->SetPlainText(text, false, wrapLines);
    if (!editWindow_) return;
    textInset_ = 4;
    ApplyTextInset();
    CHARFORMATW hidden = {}, link = {};
    hidden.cbSize = link.cbSize = sizeof hidden;
    hidden.dwMask = hidden.dwEffects = CFE_HIDDEN;
    link.dwMask = link.dwEffects = CFE_LINK;
    ControlPositions position(text);
    auto format = [&](int32_t start, int32_t end, CHARFORMATW& with) {
        CHARRANGE range = {position(start), position(end)};
        SendMessageW(editWindow_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SendMessageW(editWindow_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&with));
    };
    for (const LinkMarkers& markers : FindLinkMarkers(text)) {
        format(markers.open, markers.open + 2, hidden);
        format(markers.open + 2, markers.close, link);
        format(markers.close, markers.close + 2, hidden);
    }
    FinishArticle();
}

int32_t CArticleView::SetRtfArticle(std::string_view document) {
    if (!editWindow_ || document.size() > 0x7FFFFFF0) return 0;
    TakeArticleFontSize();
    SendMessageW(editWindow_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(editWindow_, EM_SETREADONLY, FALSE, 0);
    SendMessageW(editWindow_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    const RichEditStreamResult read =
        StreamIntoRichEdit(editWindow_, SF_RTF, document.data(), static_cast<int32_t>(document.size()));
    FinishArticle();
    return read.ok ? 1 : 0;
}

void CArticleView::ShowFormattedText(const FormattedText& article, bool wrapLines) {
    switch (article.Kind()) {
    case FormattedTextKind::Rtf:
        SetRtfArticle(article.RtfDocument());
        break;
    case FormattedTextKind::PlainWithLinks:
        SetLinkedText(article.Text(), wrapLines);
        break;
    case FormattedTextKind::Styled:
        SetArticle(article.Text(), article.Attributes(), wrapLines);
        break;
    }
}

void CArticleView::OnSize() {
    if (!editWindow_ || !window_) return;
    RECT client = {};
    GetClientRect(window_, &client);
    MoveWindow(editWindow_, 0, 0, client.right, client.bottom, TRUE);
    ApplyTextInset();
}

// Left and right margins as a formatting rectangle: the control keeps it
// through later texts, as margins would be kept.
void CArticleView::ApplyTextInset() {
    if (!editWindow_ || textInset_ == 0) return;
    RECT text = {};
    GetClientRect(editWindow_, &text);
    text.left += textInset_;
    text.right -= textInset_;
    if (text.right > text.left) SendMessageW(editWindow_, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));
}

void CArticleView::InsertText(const char16_t* text, int32_t length, int32_t position, const char16_t* face,
                              COLORREF colour, bool italic) {
    if (!text || length <= 0) return;
    const InsertedRun run{length, colour, italic};
    InsertRuns(std::u16string_view(text, static_cast<size_t>(length)), position, face, {&run, 1});
}

void CArticleView::InsertRuns(std::u16string_view text, int32_t position, const char16_t* face,
                              std::span<const InsertedRun> runs) {
    if (text.empty() || !editWindow_ || position < 0) return;
    const std::u16string inserted(text);  // EM_REPLACESEL reads to a NUL
    // The view is read-only to the user, not to its own notes.
    SendMessageW(editWindow_, EM_SETREADONLY, FALSE, 0);
    CHARRANGE kept = {};
    SendMessageW(editWindow_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    // Inserted at a collapsed selection: the control's text ranges insert at
    // their own start but first delete what the selection holds, and the
    // faces given below leave a selection, so the next note line through a
    // range deleted the article's dictionary form and meaning.
    CHARRANGE at = {position, position};
    SendMessageW(editWindow_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
    SendMessageW(editWindow_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(inserted.c_str()));
    CHARRANGE after = {};
    SendMessageW(editWindow_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&after));
    ControlPositions controlPosition(inserted);
    int32_t start = 0;
    for (const InsertedRun& run : runs) {
        const int32_t end = std::min(start + std::max(run.length, 0), static_cast<int32_t>(inserted.size()));
        if (end <= start) continue;
        CHARFORMATW format = {};
        format.cbSize = sizeof format;
        format.dwMask = CFM_COLOR | CFM_ITALIC | CFM_BOLD;
        format.crTextColor = run.colour;
        format.dwEffects = run.italic ? CFE_ITALIC : 0;
        CHARRANGE placed = {position + controlPosition(start), position + controlPosition(end)};
        SendMessageW(editWindow_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&placed));
        SendMessageW(editWindow_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        start = end;
    }
    // The face goes with its character set, run by script: text inserted
    // behind Japanese would otherwise keep the Japanese character set under
    // a Latin face, and its letters are drawn as boxes.
    const std::u16string latinFace = face ? std::u16string(face) : ArticleViewHost().LatinFace();
    ApplyScriptFonts(editWindow_, inserted, position, latinFace, ArticleViewHost().JapaneseFace());
    // What was selected stays selected, moved with the text after it.
    const LONG added = after.cpMax - position;
    if (kept.cpMin >= position) kept.cpMin += added;
    if (kept.cpMax >= position) kept.cpMax += added;
    SendMessageW(editWindow_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    SendMessageW(editWindow_, EM_SETREADONLY, TRUE, 0);
}

LRESULT CArticleView::OnCommand(uint32_t command) {
    HWND main = ArticleViewHost().MainWindow();
    switch (command) {
    case 40017: PostMessageW(editWindow_, WM_CLEAR, 0, 0); return 0;
    case 40024: PostMessageW(editWindow_, WM_CUT, 0, 0); return 0;
    case 40025:
        if (IsClipboardFormatAvailable(CF_UNICODETEXT)) SendMessageW(editWindow_, EM_PASTESPECIAL, CF_UNICODETEXT, 0);
        else SendMessageW(editWindow_, WM_PASTE, 0, 0);
        return 0;
    case 40032: PostMessageW(editWindow_, EM_SETSEL, 0, -1); return 0;
    case 40033: PostMessageW(editWindow_, WM_COPY, 0, 0); return 0;
    case 40034: if (richEdit_) richEdit_->Clear(); return 0;
    case kFontCommand: if (main) PostMessageW(main, WM_COMMAND, kFontCommand, 0); return 0;
    case kLookUpInList:
    case kLookUpLink:
    case kLookUpInFullText:
    case kLookUpTranslated: {
        const std::u16string selected = CRichEdit::GetSelectedText(editWindow_);
        if (!selected.empty()) LookUpText(selected, command);
        return 0;
    }
    default:
        if (IsOneOf(command, kMainWindowCommands) && main)
            PostMessageW(main, WM_COMMAND, command, reinterpret_cast<LPARAM>(editWindow_));
        return 0;
    }
}

LRESULT CArticleView::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != editWindow_ || !editWindow_) return 0;
    if (header.code == EN_LINK) {
        const auto& link = reinterpret_cast<const ENLINK&>(header);
        if (link.msg == WM_LBUTTONDOWN) {
            CHARRANGE range = link.chrg;
            SendMessageW(editWindow_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
            SendMessageW(window_, WM_COMMAND, kLookUpLink, 0);
        }
    } else if (header.code == EN_MSGFILTER) {
        const auto& filter = reinterpret_cast<const MSGFILTER&>(header);
        if (filter.msg == WM_MOUSEACTIVATE && GetFocus() != editWindow_) SetFocus(editWindow_);
    }
    return 0;
}

void CArticleView::ShowContextMenu(int32_t x, int32_t y) {
    IArticleViewHost& host = ArticleViewHost();
    HMENU menus = host.ContextMenus();
    HMENU menu = menus ? GetSubMenu(menus, kContextSubmenu) : nullptr;
    if (!menu) return;
    MENUITEMINFOW title = {};
    title.cbSize = sizeof title;
    title.fMask = MIIM_STRING;
    title.dwTypeData = const_cast<wchar_t*>(Wide(UIStringTable[kWebSearchSlot]));
    SetMenuItemInfoW(menu, kWebSearchItemPosition, TRUE, &title);
    host.UpdateListMenu(menu, 3);
    const bool hasSelection = UpdateEditMenuState(menu, editWindow_, false, -1);
    EnableMenuItem(menu, kWebSearchItemPosition, MF_BYPOSITION | (hasSelection ? MF_ENABLED : MF_GRAYED));
    POINT point = {x, y};
    ClientToScreen(window_, &point);
    const auto command = static_cast<uint32_t>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, window_, nullptr));
    if (command == 0) return;
    if (IsOneOf(command, kWebSearchCommands)) host.PostTextCommand(command, editWindow_);
    else PostMessageW(window_, WM_COMMAND, command, 0);
}

LRESULT CALLBACK CArticleView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* view = static_cast<CArticleView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
        if (view) view->window_ = window;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    auto* view = reinterpret_cast<CArticleView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!view) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        // The object may outlive its window (the parent went first): it must
        // not reach the dead window, nor the window a freed object.
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        view->window_ = nullptr;
        view->editWindow_ = nullptr;
        if (view->richEdit_) view->richEdit_->ForgetWindow();
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SIZE:
        view->OnSize();
        return 0;
    case WM_SETFOCUS:
        if (view->editWindow_) SendMessageW(view->editWindow_, EM_SETSEL, 0, 0);
        return 0;
    case WM_HELP:
        ArticleViewHost().ShowHelpTopic(window, kHelpTopic);
        return 1;
    case WM_NOTIFY:
        return view->OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        // The rich edit's own notifications carry its id 201, no command.
        return view->OnCommand(LOWORD(wParam));
    case kContextMenuMessage:
        view->ShowContextMenu(static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam)));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void InsertTextIntoArticleView(const char16_t* text, int32_t length, int32_t position, const char16_t* face,
                               COLORREF colour, bool italic) {
    if (CArticleView* view = ArticleViewHost().MainArticleView()) view->InsertText(text, length, position, face, colour, italic);
}

void LookUpText(std::u16string_view text, uint32_t command) {
    IArticleViewHost& host = ArticleViewHost();
    const LookUpPlan plan = PlanLookUp(text, command, [&](int32_t kind) { return host.ListHasWords(kind); });
    if (!plan.run || host.SetCurrentListByKind(plan.kind) == 0) return;
    if (command == kLookUpLink) {
        host.SearchText(plan.text, plan.second);
    } else {
        if (CRichEdit* input = host.InputBox()) {
            host.SetBusy(true);
            input->SetText(std::u16string_view(plan.text));
            host.SetBusy(false);
        }
        host.RunFind();
    }
    host.RedrawLists();
    host.UpdateCommandStates(plan.listCommand);
}
