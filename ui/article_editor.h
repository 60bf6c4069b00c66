// ArticleEditor: the article editor window (RDF_EDIT), a modeless dialog in
// which every paragraph of a rich text control is one line of an article and
// carries its kind as the paragraph's style number. Lines are classified as
// typed (or set with F2-F9), a margin left of the text shows their kinds,
// and Save writes the article through the save core in one transaction.
// Wine's rich edit lacks parts of the text object model, so the editor uses
// the messages both implement alike: EM_SETPARAFORMAT / EM_GETPARAFORMAT
// with PFM_STYLE for kinds, EM_POSFROMCHAR for points, the text split at CR
// for paragraphs, EM_SETUNDOLIMIT and EM_EMPTYUNDOBUFFER for undo.
// The editor keeps the control's lines in a line table: a change is taken in
// as the new text, and only the lines it touched are asked for their kinds,
// given their faces and drawn again, so a key costs the same in a long
// article as in a short one.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "article/editor_line_table.h"
#include "article/editor_lines.h"
#include "dictionary/article_editors.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

class CRichEdit;

// What the editor asks of the program around it.
class IEditorHost {
public:
    virtual ~IEditorHost() = default;
    virtual HWND MainWindow() = 0;
    // The shelf is switching lists (text notifications are then ignored).
    virtual bool ShelfBusy() = 0;
    // A saved article: to the top of the history, and to the Selected list when asked.
    virtual void ArticleSaved(CDictionary& dictionary, uint32_t position, bool addToSelected) = 0;
};
void SetEditorHost(IEditorHost* host);

class ArticleEditor final : public CEditor {
public:
    ArticleEditor();
    ~ArticleEditor() override;

    // CEditor.
    bool Open(CDictionary* source, CDictionary& target, uint32_t recordId, std::u16string_view text) override;
    int32_t QuerySave(bool allowCancel) override;
    void Activate() override;
    void FocusText() override;
    void RememberRectangle() override;
    bool HasDialog(const void* window) const override { return window && window == dialog_; }
    bool HasTextWindow(const void* window) const override;
    const CDictionary* Source() const override { return source_; }
    uint32_t RecordId() const override { return recordId_; }

    // The whole text takes this size (points); an unchanged text stays unchanged (nothing to undo).
    void SetFontSize(int32_t points);
    // The loop's key filter for the text window: true when the key was taken.
    bool FilterKey(const MSG& message);
    HWND Dialog() const { return dialog_; }
    // The base kind of the line beside `screen` in the kind margin (0 when the
    // point is elsewhere or the line has no kind), with the hint's anchor
    // below the line and the line's top (screen coordinates).
    int32_t HitTest(POINT screen, POINT& anchor, int32_t& top) const;
    // Every line with its kind (and attributes when asked), as the control holds them.
    std::vector<EditorLine> ReadLines(bool withAttributes);
    // Replaces the text by `lines`, their kinds and attributes, with undo off.
    void LoadLines(const std::vector<EditorLine>& lines);
    // Loads a stored article of another format as its renderer shows it in
    // an editor, each paragraph taking the kind the renderer gave it.
    void LoadRendered();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    // The text control's messages before the control takes them: what an
    // edit replaces is noted for the line table, and a key the full article
    // has no room for is refused with a word.
    static LRESULT CALLBACK TextProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    // Notes what `message` is about to replace; false when it is a key the
    // article has no room for.
    bool BeforeTextMessage(UINT message, WPARAM wParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void MakeToolbar();
    void Layout(int32_t width, int32_t height);
    void PlaceWindow();
    void OnCommand(uint32_t id);
    void SetKindOnSelection(int32_t kind);
    // Takes the control's text (`now`, read when not given) into the line
    // table and reads the kinds of the lines the change touched.
    void SyncLines();
    void SyncLines(std::u16string_view now);
    // Reads every line and kind again (a kind undone changes no text).
    void ReloadLines();
    // Undo (`back`) or Redo of one step of the user's, with the kinds the
    // classification wrote after it.
    void TakeStep(bool back);
    void ReadKinds(LineRange range);
    // Gives the lines the `wanted` kinds where the table says they differ.
    void WriteKinds(std::span<const int32_t> wanted);
    std::vector<int32_t> Kinds() const;
    // Classifies the automatic lines, writes the kinds that changed, checks the lines.
    void Reclassify(bool resetAll);
    void InvalidateMargin();
    // The line at the top of the text control's view.
    size_t FirstShownLine() const;
    void ShowCheck(const LineCheck& check);
    // The problems box: the last check's problems, and the note of a full article once it refused a key.
    void ShowProblems();
    void ToggleEffect(DWORD mask, DWORD effect);
    void ConvertToKana();
    bool SaveArticle();
    void CloseAsked();
    void UpdateToolbar();
    bool Modified() const;
    void PaintMargin(HDC dc);
    void Paste();
    // The right button's menu ("11 - Editor") at `point` (client coordinates of the text).
    void ShowContextMenu(POINT point);
    // The whole text, or the selection (removed after when `cut`), on the
    // clipboard as exactly its text and as rich text.
    void CopyTextToClipboard();
    void CopySelection(bool cut);

    uint32_t flags_ = 0;
    CDictionary* source_ = nullptr;
    CDictionary* target_ = nullptr;
    uint32_t recordId_ = 0;
    std::vector<EditorLine> initialLines_;
    std::vector<uint8_t> renderedRecord_;  // a stored record of another format, head included, until loaded
    HWND dialog_ = nullptr;
    HWND toolbar_ = nullptr;
    HIMAGELIST images_ = nullptr;
    HICON icon_ = nullptr;
    std::unique_ptr<CRichEdit> text_;
    int32_t inChange_ = 0;
    // What the user changes is measured against the text the editor was opened
    // with (a copy made by New Window starts empty, so it is a change); kinds,
    // bold and italic set by the user count as a change too.
    std::u16string openedText_;
    bool formatChanged_ = false;
    // The control's lines and kinds as the last change left them. The margin
    // paints from it, never from the control: reading paragraph styles moves
    // the selection, which must not happen while painting.
    EditorLineTable table_;
    // What edits replaced since the table last took the control's text in:
    // a paste of the text that was there changes no unit, yet its paragraphs
    // lose their kinds in the control.
    ReplacedSpan replaced_;
    std::u16string checkProblems_;  // the last check's problems
    std::u16string problems_;       // what the problems box shows
    bool fullTold_ = false;         // a key was refused for the article's length (until it is shorter)
    bool canSave_ = true;
    bool tooLong_ = false;  // a stored article longer than the editor saves: shown read-only
    int32_t minWidth_ = 530;
};
