// Painting of a list window: the visible lines go into a memory bitmap, one
// row at a time (background, up to six columns of cell text in runs of one
// colour and font, the expander, the dictionary sign, the crossing-out of a
// deleted record), then the current row's dotted frame, then one BitBlt.
#include <windows.h>

#include <algorithm>
#include <string>

#include "article/list_cell.h"
#include "article/list_cells.h"
#include "dictionary/dictionary.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_entry.h"
#include "ui/find_stages.h"
#include "ui/list_view.h"

namespace {

constexpr int32_t kPaintedColumns = 6;
constexpr int32_t kPaintPasses = 4;  // a page painted again after dictionaries left the list
constexpr int32_t kBulletSeparator = 9;
constexpr wchar_t kIndentMeasure = 0x56FD;

// A memory DC with a bitmap of the client size; empty when either failed.
// The bitmap is a 32-bit DIB section, so drawing into it stays in the
// process instead of going to the display for every call.
class MemoryCanvas {
public:
    MemoryCanvas(HDC target, int32_t width, int32_t height) {
        dc_ = CreateCompatibleDC(target);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = std::max(width, 1);
        info.bmiHeader.biHeight = -std::max(height, 1);  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
    }
    ~MemoryCanvas() {
        if (old_) SelectObject(dc_, old_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;
    bool Ready() const { return dc_ && bitmap_ && old_; }
    HDC Dc() const { return dc_; }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void Line(HDC dc, int32_t x0, int32_t y0, int32_t x1, int32_t y1, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, old);
    DeleteObject(pen);
}

}  // namespace

class ListRowPainter {
public:
    ListRowPainter(ListView& view, HDC dc, int32_t clientWidth) : view_(view), dc_(dc), width_(clientWidth) {}

    void PaintLine(int32_t line, int32_t top);
    void PaintFocusFrame(int32_t top, bool selected);

private:
    // Draws the cell's runs from (x, y); the x its text ends at. `lastFont`
    // gets the font index of the last run drawn (-1 none).
    int32_t DrawCellText(const ListCell& cell, int32_t separator, int32_t x, int32_t y, int32_t right, bool selected,
                         bool working, int32_t& lastFont);
    void DrawExpander(int32_t x, int32_t top, uint32_t rowFlags);
    void DrawSign(int32_t x, int32_t width, int32_t top, RDFDictionary* dictionary);

    ListView& view_;
    HDC dc_;
    int32_t width_;
};

void ListRowPainter::PaintLine(int32_t line, int32_t top) {
    ListView& v = view_;
    WordList& model = *v.model;
    const PageLine& pageLine = v.lines[line];
    int32_t row = pageLine.firstRow;
    int32_t lh = v.lineHeight;
    RDFDictionary* dictionary = nullptr;
    bool ownText = false;
    if (model.IsStored()) {
        WordListEntry* entry = model.RowEntry(row);
        ownText = entry != nullptr && (entry->flags & kEntryOwnText) != 0;
    }
    if (!ownText) {
        CCursor* cursor = v.ReadRow(row);
        dictionary = cursor != nullptr ? cursor->dictionary : nullptr;
        if (dictionary != nullptr && v.viewKind != kViewLexicon && v.viewKind != kViewBookList) cursor->LoadArticle();
    }
    bool selected = v.selection.Contains(row) >= 0;
    bool working = v.viewKind != kViewLexicon && dictionary != nullptr && (dictionary->flags & kDictionaryWorking) != 0;
    RECT rect{0, top, width_, top + lh};
    uint32_t background = 0;
    if (RowBackground(selected, v.approximate, working, background)) FillSolid(dc_, rect, background);
    bool deleted = dictionary != nullptr && dictionary->deletedRecord != 0 && v.viewKind != kViewLexicon &&
                   v.viewKind != kViewBookList;
    // A merged list's row not read: a dictionary left the list while the
    // page was read, and the page is painted again once it is put back.
    if (dictionary == nullptr && !model.IsStored()) return;

    const ListLayout& layout = v.Columns();
    int32_t x = -v.horizontalOffset;
    int32_t textEnd = INT32_MIN / 2;
    int32_t textTop = top;  // one pixel lower after a run in fonts 4, 6 or 12
    for (int32_t i = 0; i < std::min(layout.Count(), kPaintedColumns) && x < width_; ++i) {
        const ListColumn& column = layout.columns[i];
        int32_t start = v.viewKind == kViewBookList ? x : std::max(x, textEnd + 2);
        ListCell cell;
        cell.columnKind = column.kind;
        if (column.kind == kColumnExpander) {
            RECT box{x, top, x + column.width, top + lh};
            if (!selected) FillSolid(dc_, box, GetSysColor(COLOR_WINDOW));
            DrawExpander(x, top, model.IsStored() ? model.GetRowFlags(model.EntryOfRow(row)) : 0);
        } else if (column.kind == kColumnDictionarySign) {
            if (column.width >= 4) DrawSign(x, column.width, top, dictionary);
        } else if (column.kind != kColumnMark) {
            if (column.kind == kColumnGroupSize) {
                std::string size = std::to_string(pageLine.groupSize);
                cell.length = static_cast<int32_t>(size.size());
                std::copy(size.begin(), size.end(), cell.text);
            } else {
                GetCellText(model, row, cell);
            }
            if (v.viewKind == kViewTranslatedWords && column.kind == kColumnText) {
                SIZE measure{};
                HGDIOBJ old = SelectObject(dc_, v.fonts_[12] ? v.fonts_[12] : GetStockObject(DEFAULT_GUI_FONT));
                GetTextExtentPoint32W(dc_, &kIndentMeasure, 1, &measure);
                SelectObject(dc_, old);
                start += model.OffsetInGroup(row) * measure.cx;
            }
            int32_t right = v.viewKind == kViewBookList ? x + column.width - lh / 5 : width_;
            int32_t lastFont = -1;
            int32_t end = DrawCellText(cell, column.separator, start + lh / 4, textTop, right, selected, working, lastFont);
            textTop = lastFont == 4 || lastFont == 6 || lastFont == 12 ? top + 1 : top;
            if (deleted && cell.length > 0) Line(dc_, start, top + lh / 2, end, top + lh / 2, selected ? kWhite : kBlack);
            textEnd = end;
        }
        x += column.width;
    }
}

int32_t ListRowPainter::DrawCellText(const ListCell& cell, int32_t separator, int32_t x, int32_t y, int32_t right,
                                     bool selected, bool working, int32_t& lastFont) {
    lastFont = -1;
    int32_t length = std::clamp(cell.length, 0, kCellTextLimit);
    std::u16string_view text(cell.text, static_cast<size_t>(length));
    uint32_t attributes[kCellTextLimit + 2];
    std::copy_n(cell.attributes, length, attributes);
    MarkScriptSlots(text, {attributes, static_cast<size_t>(length)});
    int32_t lh = view_.lineHeight;
    MoveToEx(dc_, x, y, nullptr);
    int32_t current = x;
    TextRun run;
    bool first = true;
    for (int32_t at = 0; current < right && NextTextRun(text, {attributes, static_cast<size_t>(length)}, at, run);
         at = run.next) {
        lastFont = FontIndexOfRun(run.slot, run.italic);
        HFONT font = view_.fonts_[lastFont];
        HGDIOBJ old = SelectObject(dc_, font ? font : GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(dc_, RunTextColour(run.colourClass, selected, working));
        UINT align = TA_UPDATECP | TA_TOP | TA_LEFT;
        if (first && run.rightToLeft) align |= TA_RTLREADING;
        SetTextAlign(dc_, align);
        if (run.length > 0)
            ExtTextOutW(dc_, 0, 0, 0, nullptr, reinterpret_cast<const wchar_t*>(text.data() + run.start),
                        static_cast<UINT>(run.length), nullptr);
        SelectObject(dc_, old);
        first = false;
        POINT position{};
        GetCurrentPositionEx(dc_, &position);
        current = position.x;
        if (run.lineFeed) {
            if (separator == kBulletSeparator) {
                // A bullet between the lines of the cell.
                int32_t diameter = lh / 4 + lh / 16;
                int32_t left = current + lh / 4, middle = y + lh / 2;
                HGDIOBJ oldBrush = SelectObject(dc_, GetSysColorBrush(COLOR_BTNTEXT));
                HGDIOBJ oldPen = SelectObject(dc_, GetStockObject(NULL_PEN));
                Ellipse(dc_, left, middle - diameter / 2, left + diameter + 1, middle - diameter / 2 + diameter + 1);
                SelectObject(dc_, oldPen);
                SelectObject(dc_, oldBrush);
                current += lh - 2;
            } else {
                current += lh / 2 - 2;
            }
            MoveToEx(dc_, current, y, nullptr);
        }
    }
    SetTextAlign(dc_, TA_TOP | TA_LEFT);
    return current;
}

void ListRowPainter::DrawExpander(int32_t x, int32_t top, uint32_t rowFlags) {
    ExpanderState state = ExpanderBoxState(rowFlags);
    if (state == ExpanderState::Hidden) return;
    int32_t boxX = x + kExpanderBoxX;
    int32_t boxY = top + (view_.lineHeight - kExpanderBoxSize) / 2;
    RECT box{boxX, boxY, boxX + kExpanderBoxSize, boxY + kExpanderBoxSize};
    DrawEdge(dc_, &box, BDR_RAISEDOUTER, BF_RECT | BF_FLAT);
    int32_t middleX = boxX + kExpanderBoxSize / 2, middleY = boxY + kExpanderBoxSize / 2;
    Line(dc_, middleX - 2, middleY, middleX + 3, middleY, kBlack);
    if (state == ExpanderState::Plus) Line(dc_, middleX, middleY - 2, middleX, middleY + 3, kBlack);
}

void ListRowPainter::DrawSign(int32_t x, int32_t width, int32_t top, RDFDictionary* dictionary) {
    if (dictionary == nullptr) return;
    uint32_t colour = DictionarySignColour((dictionary->flags & kDictionaryWorking) != 0,
                                           view_.site_.OpenDictionariesFrom(dictionary));
    int32_t left = x + 3, right = x + std::min(width, 9) - 1;  // exclusive
    int32_t y0 = top + 5, y1 = top + 11;
    for (int32_t y = y0; y < y1; ++y) {
        bool edgeRow = y == y0 || y == y1 - 1;
        int32_t from = edgeRow ? left + 1 : left, to = edgeRow ? right - 1 : right;
        if (to > from) Line(dc_, from, y, to, y, colour);
    }
}

void ListRowPainter::PaintFocusFrame(int32_t top, bool selected) {
    COLORREF colour = selected ? kSelectedFrameColour : kBlack;
    int32_t bottom = top + view_.lineHeight - 1, right = width_ - 1;
    for (int32_t x = 0; x <= right; x += 2) {
        SetPixelV(dc_, x, top, colour);
        SetPixelV(dc_, x, bottom, colour);
    }
    for (int32_t y = top; y <= bottom; y += 2) {
        SetPixelV(dc_, 0, y, colour);
        SetPixelV(dc_, right, y, colour);
    }
}

void ListView::Paint() {
    const bool current = site_.IsCurrentView(this);
    if (current) MarkFindStage(FindStage::ListPaintStarted);
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window_, &paint);
    if (!target) return;
    RECT client{};
    GetClientRect(window_, &client);
    if (model != nullptr) {
        MemoryCanvas canvas(target, client.right, client.bottom);
        if (canvas.Ready()) {
            HDC dc = canvas.Dc();
            SetBkMode(dc, TRANSPARENT);
            ListRowPainter painter(*this, dc, client.right);
            // A dictionary that leaves the list while its rows are read (a
            // refused read) moves the page: it is painted again (and the
            // window refreshed whole once the paint is over, RowsDropped).
            for (int32_t pass = 0; pass < kPaintPasses; ++pass) {
                if (pass > 0 && !FollowDroppedRows()) break;
                FillSolid(dc, client, GetSysColor(COLOR_WINDOW));
                int32_t shown = std::min(filledLines, kMaxPageLines + 1);
                for (int32_t line = 0; line < shown; ++line) {
                    int32_t top = headerHeight + line * lineHeight;
                    if (top >= paint.rcPaint.bottom) break;
                    if (top + lineHeight <= paint.rcPaint.top) continue;
                    painter.PaintLine(line, top);
                    const PageLine& page = lines[line];
                    if (currentRow >= page.firstRow && currentRow < page.firstRow + page.rowCount)
                        painter.PaintFocusFrame(top, selection.Contains(currentRow) >= 0);
                }
            }
            // The header covers the top of the client area.
            BitBlt(target, 0, headerHeight, client.right, client.bottom - headerHeight, dc, 0, headerHeight, SRCCOPY);
        }
    }
    EndPaint(window_, &paint);
    // A record of a painted row the engine refused to read.
    if (model != nullptr && model->ReadRefusalsUntold()) PostTellRefusals();
    if (current) MarkFindStage(FindStage::ListPainted);
}
