#include "book/book_host.h"

#include <algorithm>

namespace book_scroll {

int32_t ThumbToIndex(int32_t position, int32_t count) {
    if (count <= 0) return -1;
    position = std::clamp(position, 0, kSmoothBarRange);
    const int64_t index = count >= kLargeBook ? static_cast<int64_t>(count / 1000) * position
                                              : static_cast<int64_t>(position) * count / 1000;
    return static_cast<int32_t>(std::min<int64_t>(index, count - 1));
}

int32_t IndexToThumb(int32_t index, int32_t count) {
    if (count <= 0 || index <= 0) return 0;
    return static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(index) * 1000 / count, 1000));
}

int32_t SmoothScrollPixels(int32_t position, int32_t windowHeight) {
    return static_cast<int32_t>(static_cast<int64_t>(position - kSmoothBarRest) * windowHeight / kSmoothBarPage);
}

}  // namespace book_scroll

void CParaViewHost::AttachViews() {
    views_.clear();
    visible_.clear();
    toc_ = false;
    currentSlot_ = 0;
    currentPhrase_ = 0;
    for (int32_t c = 0; c < model.ColumnCount(); ++c) {
        views_.push_back(std::make_unique<CParaView>(model, c, measurer_));
        views_.back()->SetSize(width_, height_);
        views_.back()->currentPhrase = 0;
    }
}

void CParaViewHost::ShowDefaultColumns() {
    // The columns of the book's languages in order, at most two; a book
    // without languages shows its first column.
    visible_.clear();
    for (int32_t c = 0; c < ViewCount() && VisibleCount() < 2; ++c)
        if (model.Column(c).language >= 0) visible_.push_back(c);
    if (visible_.empty() && ViewCount() > 0) visible_.push_back(0);
    currentSlot_ = 0;
}

void CParaViewHost::ShowColumns(const int32_t* languages, int32_t count) {
    visible_.clear();
    count = std::clamp(count, 1, kMaxVisibleColumns);
    for (int32_t k = 0; k < count; ++k)
        for (int32_t c = 0; c < ViewCount(); ++c)
            if (model.Column(c).language == languages[k] &&
                std::find(visible_.begin(), visible_.end(), c) == visible_.end()) {
                visible_.push_back(c);
                break;
            }
    if (visible_.empty()) ShowDefaultColumns();
    currentSlot_ = 0;
}

bool CParaViewHost::AddColumn() {
    if (!CanAddColumn()) return false;
    for (int32_t c = 0; c < ViewCount(); ++c)
        if (std::find(visible_.begin(), visible_.end(), c) == visible_.end()) {
            visible_.push_back(c);
            Synchronise();
            return true;
        }
    return false;
}

bool CParaViewHost::RemoveColumn(int32_t slot) {
    if (VisibleCount() < 2 || slot < 0 || slot >= VisibleCount()) return false;
    visible_.erase(visible_.begin() + slot);
    if (currentSlot_ >= VisibleCount()) currentSlot_ = VisibleCount() - 1;
    return true;
}

void CParaViewHost::SetSlotColumn(int32_t slot, int32_t column) {
    if (slot < 0 || slot >= VisibleCount() || column < 0 || column >= ViewCount()) return;
    auto shown = std::find(visible_.begin(), visible_.end(), column);
    if (shown != visible_.end()) *shown = visible_[static_cast<size_t>(slot)];
    visible_[static_cast<size_t>(slot)] = column;
    Synchronise();
}

void CParaViewHost::SetCurrentSlot(int32_t slot) {
    if (slot >= 0 && slot < VisibleCount()) currentSlot_ = slot;
}

CParaView* CParaViewHost::CurrentView() {
    if (visible_.empty()) return nullptr;
    return views_[static_cast<size_t>(visible_[static_cast<size_t>(std::min(currentSlot_, VisibleCount() - 1))])].get();
}

void CParaViewHost::SetCurrentPhrase(int32_t phrase) {
    if (phrase < 0 || phrase >= model.PhraseCount()) return;
    currentPhrase_ = phrase;
    for (auto& v : views_) v->currentPhrase = phrase;
}

int32_t CParaViewHost::TopPhrase() {
    CParaView* view = CurrentView();
    if (!view || model.ParagraphCount() == 0) return 0;
    const XParagraph& p = view->Lay(view->TopParagraph());
    const int32_t phrase = p.PhraseAt(view->TopOffset());
    return phrase < 0 ? p.firstEntry : phrase;
}

void CParaViewHost::Synchronise() {
    CParaView* view = CurrentView();
    if (!view) return;
    for (int32_t c : visible_) {
        CParaView& other = *views_[static_cast<size_t>(c)];
        if (&other == view) continue;
        other.SetTableOfContents(toc_);
        other.SetTop(view->TopParagraph(), view->TopY());
    }
}

void CParaViewHost::PlaceCarets(int32_t phrase) {
    if (phrase < 0 || phrase >= model.PhraseCount()) return;
    SetCurrentPhrase(phrase);
    CParaView* view = CurrentView();
    if (!view) return;
    int32_t paragraph = model.ParagraphOfPhrase(phrase);
    if (toc_)
        while (paragraph >= 0 && !view->Walks(paragraph)) --paragraph;
    if (paragraph < 0) paragraph = view->First();
    if (paragraph < 0) return;
    for (int32_t c : visible_) {
        CParaView& v = *views_[static_cast<size_t>(c)];
        const int32_t start = v.Lay(paragraph).SegmentStart(phrase);
        v.caret = {paragraph, start < 0 ? 0 : start};
        v.CollapseSelection();
    }
}

bool CParaViewHost::GoToPhrase(int32_t phrase, GoToMode mode, bool moveCaret) {
    if (phrase < 0 || phrase >= model.PhraseCount()) return false;
    CParaView* view = CurrentView();
    SetCurrentPhrase(phrase);
    if (!view) return false;
    int32_t paragraph = model.ParagraphOfPhrase(phrase);
    if (toc_)
        while (paragraph >= 0 && !view->Walks(paragraph)) --paragraph;
    if (paragraph < 0) paragraph = view->First();
    if (paragraph < 0) return false;
    if (moveCaret) PlaceCarets(phrase);
    const int32_t oldTop = view->TopParagraph(), oldY = view->TopY();
    // The phrase's first and last line against its paragraph's top.
    int32_t startY = 0, endY = 0;
    view->PhraseLines(paragraph, phrase, startY, endY);
    switch (mode) {
    case GoToMode::Top: view->SetTop(paragraph, -startY); break;
    case GoToMode::Middle: view->SetTop(paragraph, view->Height() / 2 - startY); break;
    case GoToMode::Bottom: view->SetTop(paragraph, view->Height() - endY); break;
    case GoToMode::AsNeeded: {
        int32_t y = 0;
        if (!view->ParagraphY(paragraph, y, view->Height())) {
            view->SetTop(paragraph, -startY);
            break;
        }
        // The phrase over every shown column: its highest start and lowest end.
        int32_t top = y + startY, bottom = y + endY;
        for (int32_t c : visible_) {
            CParaView& v = *views_[static_cast<size_t>(c)];
            int32_t vy = 0, vStart = 0, vEnd = 0;
            if (&v == view || !v.ParagraphY(paragraph, vy, v.Height())) continue;
            v.PhraseLines(paragraph, phrase, vStart, vEnd);
            top = std::min(top, vy + vStart);
            bottom = std::max(bottom, vy + vEnd);
        }
        if (top < 0) view->ScrollPixels(top);
        else if (bottom > view->Height()) view->ScrollPixels(std::min(bottom - view->Height(), top));
        break;
    }
    }
    Synchronise();
    for (int32_t c : visible_) views_[static_cast<size_t>(c)]->RefreshMarks();
    return view->TopParagraph() != oldTop || view->TopY() != oldY;
}

void CParaViewHost::SetTableOfContents(bool on) {
    if (on && model.HeadingCount() == 0) on = false;
    if (on == toc_) return;
    toc_ = on;
    CParaView* view = CurrentView();
    for (auto& v : views_) v->SetTableOfContents(on);
    if (!view) return;
    // The last heading at or before the current phrase.
    int32_t heading = -1;
    for (int32_t k : model.HeadingParagraphs())
        if (model.ParagraphStart(k) <= currentPhrase_) heading = k;
    if (heading < 0) heading = view->First();
    view->SetTop(heading, 0);
    Synchronise();
}

int32_t CParaViewHost::PhraseBarPosition() {
    if (toc_) {
        const std::vector<int32_t> headings = model.HeadingParagraphs();
        CParaView* view = CurrentView();
        if (!view) return 0;
        const auto at = std::lower_bound(headings.begin(), headings.end(), view->TopParagraph());
        return book_scroll::IndexToThumb(static_cast<int32_t>(at - headings.begin()),
                                         static_cast<int32_t>(headings.size()));
    }
    return book_scroll::IndexToThumb(TopPhrase(), model.PhraseCount());
}

void CParaViewHost::GoToPhraseBar(int32_t position) {
    if (toc_) {
        const std::vector<int32_t> headings = model.HeadingParagraphs();
        const int32_t index = book_scroll::ThumbToIndex(position, static_cast<int32_t>(headings.size()));
        if (index < 0) return;
        GoToPhrase(model.ParagraphStart(headings[static_cast<size_t>(index)]), GoToMode::Top, false);
        return;
    }
    const int32_t phrase = book_scroll::ThumbToIndex(position, model.PhraseCount());
    if (phrase >= 0) GoToPhrase(phrase, GoToMode::Top, false);
}

void CParaViewHost::SetColumnSize(int32_t width, int32_t height) {
    width_ = std::max(1, width);
    height_ = std::max(1, height);
    for (auto& v : views_) v->SetSize(width_, height_);
}

void CParaViewHost::InvalidateLayout() {
    for (auto& v : views_) v->InvalidateLayout();
}
