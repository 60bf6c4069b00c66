// ListViewModel's page: which model rows the visible lines stand for (key
// groups in the lexicon list), the page put back where the user was when a
// refused read took a dictionary out of the list, the moves of the keys and
// clicks, keeping the current row on the page, hitting a row and column with
// the mouse, groups opened and closed by their expander, header sorting and
// deleting rows.
#include <algorithm>
#include <cstdlib>

#include "dictionary/input_line.h"
#include "dictionary/list_view_model.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_entry.h"

void ListViewModel::Refill() {
    FillPage();
    if (host != nullptr) host->FillPage();
}

int32_t ListViewModel::FillPage() {
    if (!FollowDroppedRows()) {
        LayOutPage();
        FollowDroppedRows();  // the lexicon's key groups are read as its lines are laid out
    }
    return filledLines;
}

void ListViewModel::LayOutPage() {
    filledLines = 0;
    int32_t rows = GetRowCount();
    if (model != nullptr && model->RefusedDictionaryDrops() == numberedDrops_) numberedRows_ = rows;
    if (topRow < 0 || model == nullptr) return;
    int32_t row = topRow;
    int32_t wanted = std::min(rowsPerPage + 1, kMaxPageLines + 1);
    bool groups = viewKind == kViewLexicon;
    while (filledLines < wanted && row < rows) {
        PageLine& line = lines[filledLines++];
        line.firstRow = row;
        line.rowCount = 1;
        line.groupSize = 1;
        if (!groups) {
            ++row;
            continue;
        }
        int32_t next = model->NextGroup(row, 1);
        if (next <= row) next = rows;  // no later group: this one runs to the end
        line.rowCount = line.groupSize = next - row;
        row = next;
    }
}

CCursor* ListViewModel::ReadRow(int32_t row) {
    if (model == nullptr) return nullptr;
    const int32_t drops = model->RefusedDictionaryDrops();
    // Once a dictionary has left, the page's numbers name other rows: nothing
    // more is read until the page is put back (FollowDroppedRows).
    if (!model->IsStored() && drops != numberedDrops_) return nullptr;
    CCursor* cursor = model->GetEntry(row);
    if (cursor == nullptr || model->IsStored() || drops != numberedDrops_ || model->RefusedDictionaryDrops() != drops ||
        !cursor->OnEntry())
        return cursor;
    // Kept only in the numbering the page was laid out in.
    const auto keep = [&](RowKey& key) {
        key.row = row;
        key.first.assign(cursor->FieldText(0));
        key.second.assign(cursor->FieldText(1));
    };
    if (row == topRow) keep(topKey_);
    if (row == currentRow) keep(currentKey_);
    return cursor;
}

void ListViewModel::MarkRowsNumbered() {
    if (model == nullptr) return;
    numberedDrops_ = model->RefusedDictionaryDrops();
    numberedRows_ = GetRowCount();
    topKey_.row = currentKey_.row = -1;
    // A search leaves the model on the row it found: its key costs no read.
    const CCursor* cursor = model->IsStored() ? nullptr : model->CurrentCursor();
    if (cursor != nullptr && currentRow >= 0 && model->CurrentRow() == currentRow && cursor->OnEntry()) {
        currentKey_.row = currentRow;
        currentKey_.first.assign(cursor->FieldText(0));
        currentKey_.second.assign(cursor->FieldText(1));
    }
}

bool ListViewModel::FollowDroppedRows() {
    if (model == nullptr || model->IsStored() || model->RefusedDictionaryDrops() == numberedDrops_) return false;
    for (int32_t pass = 0; pass < WordList::kMaxCursors && model->RefusedDictionaryDrops() != numberedDrops_; ++pass) {
        PutPageAmongRowsLeft();
        LayOutPage();
    }
    selection.Clear();
    if (currentRow >= 0) selection.Add(currentRow, false, false);
    if (host != nullptr) host->RowsDropped();
    return true;
}

int32_t ListViewModel::FindAmongRowsLeft(const RowKey& key) {
    const std::u16string_view second = key.second;
    const bool lexicon = model->Kind() == kListLexicon;
    return model->Find(key.first, lexicon ? nullptr : &second, model->Kind(), nullptr, nullptr);
}

void ListViewModel::PutPageAmongRowsLeft() {
    const int32_t rowsBefore = numberedRows_;
    const int32_t offset = currentRow - topRow;
    // Keys read in this numbering; the top line's only when it lies no more
    // than a move of the keys or the wheel away (the page went on from there).
    const bool topKnown = topKey_.row >= 0 && std::abs(topRow - topKey_.row) <= 2 * rowsPerPage;
    const bool currentKnown = currentKey_.row >= 0 && currentKey_.row == currentRow;
    int32_t top = topRow;
    if (GetRowCount() > 0 && topRow > 0 && rowsBefore > 0) {
        if (topRow + rowsPerPage >= rowsBefore)
            top = GetRowCount() - (rowsBefore - topRow);
        else if (topKnown)
            top = FindAmongRowsLeft(topKey_) + (topRow - topKey_.row);
        else
            top = static_cast<int32_t>(int64_t{topRow} * GetRowCount() / rowsBefore);
    }
    int32_t current = currentRow >= 0 && currentKnown ? FindAmongRowsLeft(currentKey_) : -1;
    // The seeks may have met other refusals: their rows count the rows left now.
    const int32_t rows = GetRowCount();
    numberedDrops_ = model->RefusedDictionaryDrops();
    numberedRows_ = rows;
    topKey_.row = currentKey_.row = -1;
    topRow = rows > 0 ? std::clamp(top, 0, rows - 1) : -1;
    if (current < 0) current = topRow + offset;
    currentRow = rows > 0 && currentRow >= 0 ? std::clamp(current, 0, rows - 1) : -1;
}

void ListViewModel::UpdateView() {
    ScrollToCurrent(-1);
    if (host != nullptr) host->UpdateView();
}

void ListViewModel::Clear() {
    if (model == nullptr || !model->IsStored() || GetRowCount() == 0) return;
    model->Clear();
    selection.Clear();
    topRow = 0;
    currentRow = -1;
    approximate = false;
    notWhole = phrase = false;
    filledLines = 0;
}

void ListViewModel::GoToFirst() {
    approximate = false;
    selection.Clear();
    if (GetRowCount() <= 0) {
        topRow = currentRow = -1;
    } else {
        topRow = currentRow = 0;
        selection.Add(0, false, false);
    }
    Refill();
    UpdateView();
}

void ListViewModel::GoToLast() {
    approximate = false;
    selection.Clear();
    int32_t rows = GetRowCount();
    if (rows <= 0) {
        topRow = currentRow = -1;
    } else {
        currentRow = ClampRow(rows - 1, 0);
        topRow = std::max(0, ClampRow(rows - 1, 1 - rowsPerPage));
        selection.Add(currentRow, false, false);
    }
    Refill();
    UpdateView();
}

void ListViewModel::MoveByKey(int32_t delta, bool movePage, bool shift, bool ctrl) {
    approximate = false;
    if (GetRowCount() <= 0) return;
    MoveCurrent(delta);
    if (movePage) {
        topRow = ClampRow(std::max(topRow, 0), delta);
        Refill();
    }
    selection.Add(currentRow, shift, ctrl);
    UpdateView();
}

void ListViewModel::ClickSelect(int32_t row, bool shift, bool ctrl) {
    if (row < 0) return;
    currentRow = row;
    approximate = false;
    selection.Add(row, shift, ctrl);
}

void ListViewModel::ScrollToCurrent(int32_t mode) {
    if (GetRowCount() <= 0) {
        topRow = currentRow = -1;
        selection.Clear();
        filledLines = 0;
        return;
    }
    if (currentRow < 0) return;
    int32_t top = std::max(topRow, 0);
    if (mode == -2) {
        top = ClampRow(currentRow, -(rowsPerPage / 2));
    } else if (currentRow < top) {
        top = currentRow;
    } else {
        int32_t shown = std::min(filledLines, rowsPerPage);
        int32_t end = shown > 0 ? lines[shown - 1].firstRow + lines[shown - 1].rowCount : top;
        if (topRow < 0 || currentRow >= end) top = ClampRow(currentRow, 1 - rowsPerPage);
    }
    if (top != topRow || filledLines == 0) {
        topRow = top;
        Refill();
    }
}

bool ListViewModel::IsCurrentOnPage() const {
    if (GetRowCount() <= 0 || topRow < 0 || currentRow < topRow) return false;
    int32_t last = std::min(rowsPerPage, filledLines) - 1;
    if (last < 0) return false;
    return currentRow < lines[last].firstRow + lines[last].rowCount;
}

int32_t ListViewModel::LineHeightFor(int32_t slot0Height, int32_t slot12Height) {
    int32_t tallest = std::max(slot0Height, slot12Height);
    return tallest + 1 + (tallest >= 17 ? 1 : 0);
}

int32_t ListViewModel::PageLineCount(int32_t clientHeight) const {
    int32_t lines = (clientHeight - headerHeight) / std::max(lineHeight, 1);
    return std::clamp(lines, 1, kMaxPageLines);
}

int32_t ListViewModel::HitTestRow(int32_t x, int32_t y, int32_t clientHeight, const ListLayout& layout,
                                  int32_t* column, int32_t* box) const {
    if (column != nullptr) *column = -1;
    if (box != nullptr) *box = -1;
    int32_t rows = GetRowCount();
    if (filledLines <= 0 || rows <= 0 || y < 0 || y >= clientHeight) return -1;
    int32_t line = std::max(0, (y - headerHeight) / std::max(lineHeight, 1));
    int32_t row = line < filledLines ? lines[line].firstRow : rows - 1;
    row = std::min(row, rows - 1);
    // Columns are laid out from the left edge of the scrolled content.
    int32_t contentX = x + horizontalOffset;
    int32_t left = 0;
    int32_t count = layout.Count();
    for (int32_t i = 0; i < count; ++i) {
        int32_t right = left + layout.columns[i].width;
        if (right > contentX) {
            if (column != nullptr) *column = i;
            if (box != nullptr && layout.columns[i].kind == kColumnExpander) {
                int32_t boxX = contentX - left - kExpanderBoxX;
                int32_t lineTop = headerHeight + line * lineHeight + (lineHeight - kExpanderBoxSize) / 2;
                int32_t boxY = y - lineTop;
                if (boxX >= 0 && boxX < kExpanderBoxSize && boxY >= 0 && boxY < kExpanderBoxSize) *box = 0;
            }
            break;
        }
        left = right;
    }
    return row;
}

int32_t ListViewModel::ToggleGroupAtBox(int32_t columnKind, int32_t box) {
    if (columnKind != kColumnExpander || box != 0 || model == nullptr || !model->IsStored() || currentRow < 0 ||
        currentRow >= GetRowCount())
        return currentRow;
    int32_t entry = model->EntryOfRow(currentRow);
    int32_t head = model->FindPrevFlagged(entry, kEntryGroupStart);
    if (head < 0) return currentRow;
    uint32_t flags = model->GetRowFlags(head);
    std::pair<int32_t, int32_t> shown{-1, 0};
    if ((flags & kEntryGroupExpanded) != 0)
        shown = model->CollapseGroup(head);
    else if ((flags & kEntryGroupCollapsed) != 0)
        shown = model->ExpandGroup(head);
    else
        return currentRow;
    currentRow = std::max(shown.first, 0);
    selection.Clear();
    selection.Add(currentRow, false, false);
    Refill();
    return currentRow;
}

bool ListViewModel::SortByColumn(ListLayout& layout, int32_t item) {
    if ((viewKind != kViewSelected && viewKind != kViewSearchResults) || model == nullptr || item < 0 ||
        item >= layout.Count())
        return false;
    ListColumn& clicked = layout.columns[item];
    if (clicked.kind != kColumnReading && clicked.kind != kColumnWord) return false;
    bool wasSorted = clicked.sorted != 0;
    for (int32_t i = 0; i < layout.Count(); ++i) layout.columns[i].sorted = 0;
    model->sortMode = 0;
    if (!wasSorted) {
        clicked.sorted = 1;
        model->sortMode = clicked.kind;
    }
    model->SetCurrentRow(currentRow);
    int32_t row = model->Sort();
    if (row < 0) {
        GoToFirst();
    } else {
        currentRow = row;
        approximate = false;
        topRow = ClampRow(row, -(rowsPerPage / 2));
        Refill();
        selection.Clear();
        selection.Add(row, false, false);
        UpdateView();
    }
    return true;
}

int32_t ListViewModel::SelectHitAtCaret(const CInput& input, int32_t position) {
    if (viewKind != kViewTranslatedWords || model == nullptr || GetRowCount() <= 0) return currentRow;
    for (int32_t row = 0; row < GetRowCount(); ++row) {
        const WordListEntry* entry = model->RowEntry(row);
        if (entry == nullptr) continue;
        int32_t first = entry->matchStart, last = entry->matchStart + entry->matchLength;
        if (input.GetSelectionWordRange(first, last) == 0) last = entry->matchStart + entry->matchLength;
        if (last <= position) continue;
        if (row != currentRow) SetCurrent(row);
        break;
    }
    return currentRow;
}

bool ListViewModel::DeleteSelectedStoredRows() {
    if (model == nullptr || !model->IsStored()) return false;
    for (int32_t row = GetRowCount() - 1; row >= 0; --row) {
        if (selection.Contains(row) < 0) continue;
        model->DeleteRow(row);
        if (row < currentRow) --currentRow;
    }
    int32_t rows = GetRowCount();
    currentRow = rows > 0 ? std::clamp(currentRow, 0, rows - 1) : -1;
    selection.Clear();
    if (currentRow >= 0) selection.Add(currentRow, false, false);
    Refill();
    UpdateView();
    return true;
}
