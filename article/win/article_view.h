// CArticleView: the read-only window of class "Ostrel Article View" that
// shows one article in a multi-line CRichEdit, styled by the article's
// DisplayAttributes. The main window keeps one for the run; printing and
// copying make hidden ones for a single operation. Its window procedure
// gives the edit commands, looks up selected text and links in the word
// lists, and opens the article's context menu.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "article/formatted_text.h"
#include "article/win/rich_edit.h"

inline constexpr char16_t kArticleViewClassName[] = u"Ostrel Article View";
inline constexpr int32_t kArticleEditId = 201;

class CArticleView {
public:
    // A child window of `parent` (not yet visible) holding a visible,
    // read-only rich edit at the article font size.
    CArticleView(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height);
    CArticleView(const CArticleView&) = delete;
    CArticleView& operator=(const CArticleView&) = delete;
    // Destroys the window (and the rich edit in it) unless its parent already did.
    virtual ~CArticleView();

    HWND Window() const { return window_; }
    CRichEdit* RichEdit() const { return richEdit_.get(); }
    HWND RichEditWindow() const { return editWindow_; }

    // Shows `length` units of `text` with one attribute word per unit
    // (`attributes` may be null: plain text). Null text empties the view.
    void SetArticle(const char16_t* text, int32_t length, const uint32_t* attributes, bool wrapLines);
    // The same for a text with an attribute array as long as it, or empty.
    void SetArticle(std::u16string_view text, std::span<const uint32_t> attributes, bool wrapLines);
    // Plain text whose "<<…>>" pairs become links (the markers hidden), with
    // 4-pixel margins: the lexicon's hint. A click on a link looks it up.
    void SetLinkedText(std::u16string_view text, bool wrapLines);
    // An 8-bit RTF document; 0 when the control refused it.
    int32_t SetRtfArticle(std::string_view document);
    // Any article a formatter hands back, by its kind.
    void ShowFormattedText(const FormattedText& article, bool wrapLines);
    void OnSize();
    // Inserts `length` units at `position` in the face, colour and italic
    // given (bold off); nothing for a zero length.
    void InsertText(const char16_t* text, int32_t length, int32_t position, const char16_t* face, COLORREF colour,
                    bool italic);
    // A part of an inserted text in its own colour and slant.
    struct InsertedRun {
        int32_t length = 0;
        COLORREF colour = 0;
        bool italic = false;
    };
    // Inserts `text` at `position` in one edit, its runs (which cover it in
    // order) coloured and slanted each as given, bold off: as InsertText
    // run by run, without laying the view out again for every run.
    void InsertRuns(std::u16string_view text, int32_t position, const char16_t* face,
                    std::span<const InsertedRun> runs);

    // While a hold lasts, what is put into the view is not drawn (an
    // article and the note then put above it were drawn apart, the article
    // alone first); the view is drawn once when the last hold ends.
    void HoldPaint();
    void ReleasePaint();

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT OnCommand(uint32_t command);
    LRESULT OnNotify(const NMHDR& header);
    void ShowContextMenu(int32_t x, int32_t y);
    // Before a new article: the article size of the current font set, which
    // the font settings may have changed behind the view's back.
    void TakeArticleFontSize();
    // After a new article: caret at the start, read-only, drawn.
    void FinishArticle();
    void DrawNow();
    void ApplyTextInset();

    HWND window_ = nullptr;
    std::unique_ptr<CRichEdit> richEdit_;
    HWND editWindow_ = nullptr;
    HWND parent_;
    uint32_t flags_ = 0;  // not used by the view itself
    int32_t textInset_ = 0;  // left and right text margin in pixels, once a hint set it
    int32_t paintHolds_ = 0;
};

// Holds the view's paint for its scope, or until Release: an article and
// the note above it are drawn once, together. A null view holds nothing.
class ArticlePaintHold {
public:
    explicit ArticlePaintHold(CArticleView* view) : view_(view) {
        if (view_) view_->HoldPaint();
    }
    ~ArticlePaintHold() { Release(); }
    ArticlePaintHold(const ArticlePaintHold&) = delete;
    ArticlePaintHold& operator=(const ArticlePaintHold&) = delete;
    void Release() {
        if (view_) view_->ReleasePaint();
        view_ = nullptr;
    }

private:
    CArticleView* view_;
};

// Inserts a text into the main window's article view (see CArticleView::InsertText).
void InsertTextIntoArticleView(const char16_t* text, int32_t length, int32_t position, const char16_t* face,
                               COLORREF colour, bool italic);

// Searches a selected text in the word list its command and script choose:
// a link (40168) searches the current list for "reading【word】" directly,
// other commands put the text into the input box and run Find.
void LookUpText(std::u16string_view text, uint32_t command);
