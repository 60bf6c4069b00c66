// CRichEdit: one RichEdit 2.0 child control ("RichEdit20W") and the few
// operations the program needs of it: plain UTF-16 text in (Latin runs and
// Japanese runs each in their own face) and out, clearing, the font height,
// and its text object model. The input box, the article view, the hidden
// views of printing and copying, the hint and the editor each own one.
#pragma once

#include <windows.h>
#include <richedit.h>
#include <richole.h>
#include <tom.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class CRichEdit {
public:
    // Creates the control (child `controlId` of `parent`); multi-line adds
    // scroll bars, Enter and vertical auto-scroll. When the control cannot be
    // created the window stays null and every operation does nothing.
    CRichEdit(HWND parent, bool visible, int32_t controlId, int32_t x, int32_t y, int32_t width, int32_t height,
              bool multiLine);
    CRichEdit(const CRichEdit&) = delete;
    CRichEdit& operator=(const CRichEdit&) = delete;
    // Releases the text object model; the control itself goes with its parent.
    virtual ~CRichEdit();

    HWND Window() const { return window_; }
    // Non-zero while the wrapper itself changes the text or its format, so the
    // owner's change handler can ignore the notifications this causes.
    int32_t Busy() const { return busy_; }
    // The control's text object model, null when the control failed to create.
    ITextDocument* Document() const { return document_; }
    ITextRange* StoryRange() const { return story_; }
    // The parent was destroyed and took the control with it.
    void ForgetWindow() { window_ = nullptr; }

    // Empties the control and restores the default paragraph and character format.
    void Clear();
    // Replaces the text (editable, wrapped at the window, redrawn); the number
    // of units read. Null text does nothing and gives 0.
    int32_t SetText(const char16_t* text);
    int32_t SetText(std::u16string_view text);
    // As SetText, each unit also taking the bold and italic bits (kCharBold,
    // kCharItalic) of `attributes` (plain past its end), in one stream
    // whenever there are attributes or many runs: a whole article of any
    // length costs one layout of the text. The text counts as having its faces.
    int32_t SetStyledText(std::u16string_view text, std::span<const uint16_t> attributes);
    // As SetText, but redraw is only switched back on when `redraw` (else the
    // caller does it), lines wrap at the window only when `wrapLines`, and the
    // read-only state is left as it is.
    int32_t SetPlainText(const char16_t* text, bool redraw, bool wrapLines);
    int32_t SetPlainText(std::u16string_view text, bool redraw, bool wrapLines);
    // As SetPlainText without redraw, each unit also taking the bold, italic
    // and colour of its display word (display_attributes.h; plain past the
    // end of `attributes`), all in one stream.
    int32_t SetArticleText(std::u16string_view text, std::span<const uint32_t> attributes, bool wrapLines);
    // The default character height, applied to all text.
    void SetFontSize(int32_t twips);
    // The default character height for the texts set from now on.
    void SetDefaultFontHeight(int32_t twips) { defaultFormat_.yHeight = twips; }
    // Evens out pasted text in the input box: runs far from the input font's
    // size take that size, coloured runs turn black. Not re-entrant: a call
    // from inside a call does nothing.
    void ReformatInputText();
    // Gives the text changed since the faces were last given (typed, pasted
    // or deleted) the two script faces, as text set by the program has them:
    // the default face may have no kana or kanji. The selection and the view
    // stay; a few runs are given their faces where they stand, so that only
    // their lines are drawn again. `now` is the control's text as GetText
    // gives it, when the caller has just read it.
    void ApplyScriptFontsToText();
    void ApplyScriptFontsToText(std::u16string_view now);
    // Records the present text as having its faces already (its owner gave
    // them), so that the next ApplyScriptFontsToText looks only at what changes.
    void ScriptFontsGiven();
    // Pastes plain `text` over the selection (up to its first line end in a
    // single-line control), in the two script faces at the size of the text
    // at the selection, as one stream. The control's change is the wrapper's
    // own: the owner runs what typing would have run.
    void PasteText(std::u16string_view text);

    // The whole text, paragraphs ending in CR LF; empty for an empty control
    // (which is then marked not modified, as after any read).
    static std::u16string GetTextUtf16(HWND control);
    // The whole text as the control holds it: a paragraph ends in one CR, so
    // a unit's index is its character position in the control.
    static std::u16string GetText(HWND control);
    // The selected text (CR paragraph ends), empty when nothing is selected.
    static std::u16string GetSelectedText(HWND control);

private:
    // `attributes` are bold and italic bits, `displayAttributes` display
    // words; either brings the text in one stream with its formats.
    int32_t Fill(std::u16string_view text, bool redraw, bool wrapLines, bool makeEditable,
                 std::span<const uint16_t> attributes = {}, std::span<const uint32_t> displayAttributes = {});
    void ResetParagraphFormat();
    // Takes most of a long text out from its end, before the control is emptied.
    void ClearLongText();

    HWND window_ = nullptr;
    CHARFORMATW defaultFormat_ = {};  // Arial 10 pt, automatic colour
    int32_t x_, y_, width_, height_;  // placement at creation
    int32_t busy_ = 0;
    IRichEditOle* ole_ = nullptr;     // owned, as are the two below
    ITextDocument* document_ = nullptr;
    ITextRange* story_ = nullptr;     // the whole story
    std::u16string scriptText_;       // the text (as GetText gives it) when its faces were last given
};

// While it lives, the selections the program makes in `control` to read or
// format parts of its text send the owner no notifications and move no
// view: the selection and the scroll position it found come back at its
// end. When `hidden`, the control is not drawn meanwhile and is drawn whole
// at the end, for work over many lines; otherwise only what changed is drawn
// again (switching redraw off would throw away a typed key's own repaint).
class QuietSelection {
public:
    QuietSelection(HWND control, bool hidden);
    ~QuietSelection();
    QuietSelection(const QuietSelection&) = delete;
    QuietSelection& operator=(const QuietSelection&) = delete;

private:
    HWND control_;
    bool hidden_;
    CHARRANGE selection_{};
    POINT scroll_{};
    LRESULT events_ = 0;  // the owner's event mask, given back at the end
};

// Control positions of the units of a text streamed in: the control keeps a
// CR LF pair as one paragraph end. Cheapest when asked in rising order.
class ControlPositions {
public:
    explicit ControlPositions(std::u16string_view text) : text_(text) {}
    int32_t operator()(int32_t unit);

private:
    std::u16string_view text_;
    int32_t unit_ = 0;     // last unit asked
    int32_t pairs_ = 0;    // CR LF pairs wholly before unit_
};

// Gives the runs below U+3000 of `text` (as streamed into `control`) the
// Latin face (character set 204) and the runs from U+3000 up the Japanese
// face (128) of the current font set; ends with no selection.
void ApplyScriptFonts(HWND control, std::u16string_view text);
// The same for `text` standing at position `at` of the control, with the
// faces given; the selection is left on the last run.
void ApplyScriptFonts(HWND control, std::u16string_view text, int32_t at, std::u16string_view latinFace,
                      std::u16string_view japaneseFace);

// Enables or greys the edit commands of `menu` for `control`, and the item at
// `extraPosition` (by position, -1 none) by the selection; true when the
// control has a selection.
bool UpdateEditMenuState(HMENU menu, HWND control, bool editable, int32_t extraPosition);
