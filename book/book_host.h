// The columns of one reader kept on the same phrase: which languages are
// shown in the (at most four) slots, the current column and phrase, the
// synchronised scrolling, going to a phrase and the reader's scroll-bar
// arithmetic. Window-free; the reader's windows drive it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "book/book_model.h"
#include "book/book_view.h"

inline constexpr int32_t kMaxVisibleColumns = 4;

// Scroll bar 1325 (0 to 1029, page 30): thumb position <-> phrase, in 64 bits.
namespace book_scroll {
inline constexpr int32_t kPhraseBarRange = 1029;
inline constexpr int32_t kPhraseBarPage = 30;
inline constexpr int32_t kSmoothBarRange = 1000;
inline constexpr int32_t kSmoothBarPage = 333;
inline constexpr int32_t kSmoothBarRest = 333;
inline constexpr int32_t kLargeBook = 100000;
// The phrase of a thumb position (at most the last one); -1 in an empty book.
int32_t ThumbToIndex(int32_t position, int32_t count);
// The thumb position of an index; 0 in an empty book.
int32_t IndexToThumb(int32_t index, int32_t count);
// Pixels the smooth bar scrolls for a thumb at `position`.
int32_t SmoothScrollPixels(int32_t position, int32_t windowHeight);
}  // namespace book_scroll

enum class GoToMode : int32_t { AsNeeded = 0, Top = 1, Middle = 2, Bottom = 3 };

class CParaViewHost {
public:
    explicit CParaViewHost(TextMeasurer& measurer) : measurer_(measurer) {}

    BookModel model;

    // Makes one view per column of the built model, none shown; leaves the
    // table of contents; phrase 0 current.
    void AttachViews();
    int32_t ViewCount() const { return static_cast<int32_t>(views_.size()); }
    CParaView& View(int32_t column) { return *views_[static_cast<size_t>(column)]; }

    // Slots: the columns shown, in slot order.
    const std::vector<int32_t>& Visible() const { return visible_; }
    int32_t VisibleCount() const { return static_cast<int32_t>(visible_.size()); }
    // The book's languages in order, at most two (one for a one-language book).
    void ShowDefaultColumns();
    // Columns by language index from the settings: for each, the first
    // hidden column of that language; `count` clamped to 1..4.
    void ShowColumns(const int32_t* languages, int32_t count);
    // Whether a column can be added: fewer than four shown and one hidden.
    bool CanAddColumn() const { return VisibleCount() < kMaxVisibleColumns && VisibleCount() < ViewCount(); }
    // Adds the first hidden column (fewer than four shown); false otherwise.
    bool AddColumn();
    // Removes slot `slot` (at least two shown); false otherwise.
    bool RemoveColumn(int32_t slot);
    // Puts column `column` into slot `slot` (swapping when it is shown elsewhere).
    void SetSlotColumn(int32_t slot, int32_t column);

    int32_t CurrentSlot() const { return currentSlot_; }
    void SetCurrentSlot(int32_t slot);
    CParaView* CurrentView();

    int32_t CurrentPhrase() const { return currentPhrase_; }
    // Makes `phrase` current in every column (no scrolling).
    void SetCurrentPhrase(int32_t phrase);
    // The phrase of the current column's top paragraph.
    int32_t TopPhrase();

    // Every other shown column puts the paragraph at the top of the current
    // one at the same height.
    void Synchronise();
    // Makes `phrase` current with each shown column's caret at its start,
    // without scrolling (ignored outside the book).
    void PlaceCarets(int32_t phrase);
    // Goes to a phrase (ignored outside the book); true when the top moved.
    bool GoToPhrase(int32_t phrase, GoToMode mode, bool moveCaret);

    // Table of contents: headings only, from the last heading at or before
    // the current phrase; off returns with the current heading at the top.
    bool TableOfContents() const { return toc_; }
    void SetTableOfContents(bool on);

    // Scroll bar 1325's position for the current top.
    int32_t PhraseBarPosition();
    // Thumb of 1325 dragged to `position`.
    void GoToPhraseBar(int32_t position);

    void SetColumnSize(int32_t width, int32_t height);
    void InvalidateLayout();

private:
    TextMeasurer& measurer_;
    std::vector<std::unique_ptr<CParaView>> views_;
    std::vector<int32_t> visible_;
    int32_t currentSlot_ = 0;
    int32_t currentPhrase_ = 0;
    bool toc_ = false;
    int32_t width_ = 100, height_ = 100;
};
