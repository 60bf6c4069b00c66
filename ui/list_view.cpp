// ListView: the list window's creation, fonts, header and layout, the
// refresh after every move, and what the portable half asks of the window.
#include "ui/list_view.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "common/win/wide_text.h"
#include "dictionary/dictionary.h"
#include "dictionary/word_list.h"
#include "ui/application.h"
#include "ui/frame.h"
#include "ui/font_sets.h"

namespace {

constexpr DWORD kListStyle = WS_CHILD | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kHeaderStyle = WS_CHILD | WS_VISIBLE | HDS_BUTTONS;
constexpr int32_t kExtraHeight = 200;   // the window reaches below the list area
constexpr uint32_t kUpdateViewCommand = 40026;

int32_t g_refreshHolds = 0;                 // ListRefreshHold objects alive
std::vector<ListView*> g_refreshesWaiting;  // views that asked while held, in order
uint32_t g_refreshCount = 0;

}  // namespace

ListRefreshHold::ListRefreshHold() { ++g_refreshHolds; }

ListRefreshHold::~ListRefreshHold() {
    if (--g_refreshHolds == 0) RefreshWaitingNow();
}

void ListRefreshHold::RefreshWaitingNow() {
    // A refresh may ask again (a command state that moves a list): the list
    // is taken whole first; what asks meanwhile refreshes at once when no
    // hold is left, else waits for the next turn.
    std::vector<ListView*> waiting;
    waiting.swap(g_refreshesWaiting);
    for (ListView* view : waiting) {
        view->refreshPending_ = false;
        view->Refresh(true);
    }
}

uint32_t ListView::RefreshCount() { return g_refreshCount; }

ListView::ListView(int32_t viewKindIn, WordList* modelIn, IListViewSite& site)
    : ListViewModel(viewKindIn, modelIn, nullptr), site_(site), windowHost_(*this) {
    host = &windowHost_;
    conversionMode = viewKind == 2 ? kConvertRomaji : kConvertNone;
    conversionAvailable = viewKind == 2;
    if (viewKind == kViewLexicon) selection.merge = 0;
    rowsPerPage = 1;
    // The header is as high as the stock GUI font, plus 5.
    if (HDC screen = CreateICW(L"DISPLAY", nullptr, nullptr, nullptr)) {
        HGDIOBJ old = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICW metrics{};
        if (GetTextMetricsW(screen, &metrics)) headerHeight = metrics.tmHeight + 5;
        SelectObject(screen, old);
        DeleteDC(screen);
    }
}

ListView::~ListView() {
    std::erase(g_refreshesWaiting, this);
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

int32_t ListView::ModelKind() const { return model != nullptr ? model->Kind() : viewKind; }

int32_t ListView::ClientHeight() const {
    RECT client{};
    if (window_) GetClientRect(window_, &client);
    return client.bottom;
}

int32_t ListView::ClientWidth() const {
    RECT client{};
    if (window_) GetClientRect(window_, &client);
    return client.right;
}

int32_t ListView::TotalColumnWidth() {
    const ListLayout& layout = Columns();
    int32_t total = 0;
    for (int32_t i = 0; i < layout.Count(); ++i) total += layout.columns[i].width;
    return total;
}

bool ListView::Create(HWND parent, int32_t x, int32_t y, int32_t cx, int32_t cy) {
    window_ = CreateWindowExW(WS_EX_CLIENTEDGE, WideString(kListViewClassName).c_str(), L"", kListStyle, x, y, cx,
                              cy + kExtraHeight, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListWindowId)),
                              GetModuleHandleW(nullptr), this);
    if (!window_) return false;
    header_ = CreateWindowExW(0, WC_HEADERW, L"", kHeaderStyle, 0, 0, GetSystemMetrics(SM_CXSCREEN), headerHeight,
                              window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kHeaderId)),
                              GetModuleHandleW(nullptr), nullptr);
    if (header_) {
        SendMessageW(header_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        const ListLayout& layout = Columns();
        for (int32_t i = 0; i < layout.Count(); ++i) {
            HDITEMW item{};
            item.mask = HDI_WIDTH | HDI_FORMAT;
            item.cxy = layout.columns[i].width;
            item.fmt = HDF_STRING | (layout.columns[i].sorted ? HDF_SORTDOWN : 0);
            SendMessageW(header_, HDM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
        SetupHeaderColumns();
    }
    ApplyFonts();
    return true;
}

void ListView::SetupHeaderColumns() {
    if (!header_) return;
    const ListLayout& layout = Columns();
    for (int32_t i = 0; i < layout.Count(); ++i) {
        const char16_t* text = ColumnTitle(layout.columns[i].kind, viewKind);
        std::wstring title = WideString(text ? text : u"");
        // The format goes with the text: a header keeps HDF_STRING only beside one.
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_FORMAT;
        item.fmt = HDF_STRING | (layout.columns[i].sorted ? HDF_SORTDOWN : 0);
        item.pszText = title.data();
        SendMessageW(header_, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

void ListView::ApplyFonts() {
    for (int32_t slot = 0; slot < 20; ++slot) fonts_[slot] = ListFont(slot);
    lineHeight = LineHeightFor(ListFontSlotHeight(0), ListFontSlotHeight(12));
    rowsPerPage = PageLineCount(ClientHeight());
    if (currentRow < 0) {
        topRow = 0;
        currentRow = -1;
        FillPage();
        approximate = false;
        selection.Clear();
        SetVerticalScroll();
        if (site_.IsCurrentView(this)) RepaintPage();
    } else if (site_.IsCurrentView(this)) {
        RepaintPage();
        ShowCurrentArticle();
    }
}

void ListView::Show(int32_t showCommand) {
    horizontalOffset = 0;
    LayoutHeader();
    if (header_) {
        const ListLayout& layout = Columns();
        for (int32_t i = 0; i < layout.Count(); ++i) {
            HDITEMW item{};
            item.mask = HDI_WIDTH;
            item.cxy = layout.columns[i].width;
            SendMessageW(header_, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
    }
    if (window_) ShowWindow(window_, showCommand);
    bool showsArticle = false;
    switch (showCommand) {
    case 1: case 3: case 4: case 5: case 7: case 8: case 9: case 10: case 11:
        showsArticle = true;
        break;
    default:
        break;
    }
    if (g_refreshHolds > 0 && showsArticle) {
        OnViewChanged();  // the refresh at the end of the hold paints and shows the article
        return;
    }
    RepaintPage();
    if (showsArticle) ShowCurrentArticle();
}

void ListView::Move(int32_t x, int32_t y, int32_t cx, int32_t cy) {
    if (!window_) return;
    SetWindowPos(window_, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutHeader();
}

void ListView::LayoutHeader() {
    if (!window_) return;
    int32_t total = TotalColumnWidth();
    int32_t width = ClientWidth();
    SCROLLINFO info{sizeof(info), 0, 0, 0, 0, 0, 0};
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (total <= width) {
        horizontalOffset = 0;
        info.nMax = 0;
    } else {
        horizontalOffset = std::clamp(horizontalOffset, 0, total - width);
        info.nMax = total;
        info.nPage = static_cast<UINT>(width);
        info.nPos = horizontalOffset;
    }
    SetScrollInfo(window_, SB_HORZ, &info, TRUE);
    if (header_)
        SetWindowPos(header_, nullptr, -horizontalOffset, 0, std::max(horizontalOffset + width, total), headerHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    int32_t lines = PageLineCount(ClientHeight());
    if (lines != rowsPerPage) {
        rowsPerPage = lines;
        FillPage();
    }
}

void ListView::RepaintPage() {
    if (!window_) return;
    RECT area{};
    GetClientRect(window_, &area);
    area.bottom += headerHeight;
    // The header is a child window over the top of the area, which no page
    // changes: painted along (a window without WS_CLIPCHILDREN hands its
    // invalidation on to its children), it took three times the rows' time.
    RedrawWindow(window_, &area, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
}

void ListView::SetVerticalScroll() {
    if (!window_) return;
    SCROLLINFO info{sizeof(info), 0, 0, 0, 0, 0, 0};
    info.fMask = SIF_RANGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = std::max(GetRowCount() - 1, 0);
    info.nPos = std::max(topRow, 0);
    // The bar is drawn again only when its thumb or arrows change: in a list
    // of a million rows the thumb moves a pixel every few thousand, and the
    // bar's drawing cost as much as the page's.
    SCROLLBARINFO before{}, after{};
    before.cbSize = after.cbSize = sizeof(SCROLLBARINFO);
    if (GetScrollBarInfo(window_, OBJID_VSCROLL, &before)) {
        SetScrollInfo(window_, SB_VERT, &info, FALSE);
        if (GetScrollBarInfo(window_, OBJID_VSCROLL, &after) && after.xyThumbTop == before.xyThumbTop &&
            after.xyThumbBottom == before.xyThumbBottom &&
            std::equal(std::begin(after.rgstate), std::end(after.rgstate), std::begin(before.rgstate)))
            return;
    }
    SetScrollInfo(window_, SB_VERT, &info, TRUE);
}

void ListView::OnViewChanged() {
    if (g_refreshHolds == 0) {
        Refresh(false);
        return;
    }
    if (refreshPending_) return;
    refreshPending_ = true;
    g_refreshesWaiting.push_back(this);
}

void ListView::Refresh(bool sameRecordKept) {
    if (!site_.IsCurrentView(this)) {
        SetVerticalScroll();
        return;
    }
    ++g_refreshCount;
    // The rows first: they are what the user waits for, and the scroll
    // bar's redraw costs about as much as their paint.
    RepaintPage();
    SetVerticalScroll();
    if (g_frame) g_frame->SetStatusLineCount(currentRow + 1, GetRowCount());
    LoadCurrentArticle(sameRecordKept);
    if (g_frame) g_frame->UpdateCommandStates(kUpdateViewCommand);
    // Met by the article's row or the command states: told as the page's.
    if (!FollowDroppedRows() && model != nullptr && model->ReadRefusalsUntold()) PostTellRefusals();
}

void ListView::PostTellRefusals() {
    // A paint may have met it, and a paint shows no box: the box comes once
    // the message that met it is over.
    if (window_ && !tellPosted_) tellPosted_ = PostMessageW(window_, kTellRefusalsMessage, 0, 0) != 0;
}

void ListView::TellRefusals() {
    Refresh(true);  // posts nothing more: the telling below covers what it meets
    tellPosted_ = false;
    if (model != nullptr) model->ReportReadRefusals();
}

bool ListView::IsWorkingRow(int32_t row) {
    if (viewKind == kViewLexicon || model == nullptr) return false;
    RDFDictionary* dictionary = model->GetRowDictionary(row);
    return dictionary != nullptr && (dictionary->flags & kDictionaryWorking) != 0;
}

std::u16string ListView::CellTextForHook(int32_t row, int32_t cell) {
    if (model == nullptr || cellText == nullptr) return {};
    // A merged list's rows are read only where the page shows them: asking
    // reads no row the user cannot see (a damaged one would leave the list).
    const int32_t shown = std::min(filledLines, rowsPerPage + 1);
    if (!model->IsStored() && (shown <= 0 || row < lines[0].firstRow ||
                               row >= lines[shown - 1].firstRow + lines[shown - 1].rowCount))
        return {};
    const ListLayout& layout = Columns();
    int32_t index = 0;
    for (int32_t i = 0; i < layout.Count(); ++i) {
        int32_t kind = layout.columns[i].kind;
        if (kind == kColumnDictionarySign || kind == kColumnMark || kind == kColumnExpander || kind == kColumnGroupSize)
            continue;
        if (index++ == cell) return cellText(*model, row, kind);
    }
    return {};
}

void ListView::WindowHost::UpdateCommandState(int32_t command) {
    if (g_frame) g_frame->UpdateCommandStates(static_cast<uint32_t>(command));
}

bool ListView::WindowHost::PostHeadword(int32_t command, std::u16string_view text) {
    if (!g_frame) return false;
    BSTR word = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
    if (!word) return false;
    return PostMessageW(g_frame->Window(), WM_COMMAND, static_cast<WPARAM>(command), g_frame->HandOutWebWord(word)) != 0;
}

void ListView::WindowHost::TranslateText(int32_t mode) {
    if (g_frame && g_frame->translator && g_frame->InputBox()) {
        int32_t length = GetWindowTextLengthW(g_frame->InputBox());
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        GetWindowTextW(g_frame->InputBox(), text.data(), length + 1);
        text.resize(static_cast<size_t>(length));
        g_frame->translator->TranslateText(std::u16string(Char16View(text.c_str())), 0, 0, 0, mode);
    }
}
