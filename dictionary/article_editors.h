// The article editors open to write into a dictionary: each dictionary keeps
// a chain of them (the newest at the head), never two on one record over the
// whole program. CEditor is what the chain needs of an editor; the editor
// window (ui/) is one. The last editor to close remembers its rectangle.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

class CDictionary;

class CEditor {
public:
    CEditor();
    virtual ~CEditor();
    CEditor(const CEditor&) = delete;
    CEditor& operator=(const CEditor&) = delete;

    // Editors alive over the whole program.
    static int32_t LiveCount();

    // Makes the window and loads the article (record 0: a new article from
    // `text`). False when the record cannot be read or there is no window.
    virtual bool Open(CDictionary* source, CDictionary& target, uint32_t recordId, std::u16string_view text) = 0;
    // Answers of the closing question: 6 yes, 7 no, 2 cancel (only when
    // allowed), 1363 stay open, 0 nothing to save. Yes saves.
    virtual int32_t QuerySave(bool allowCancel) = 0;
    virtual void Activate() = 0;         // brings the dialog forward
    virtual void FocusText() = 0;        // gives the text window the focus
    virtual void RememberRectangle() = 0;  // [Editor] Left, Right (the top), Width, Height
    virtual bool HasDialog(const void* window) const = 0;
    virtual bool HasTextWindow(const void* window) const = 0;
    virtual const CDictionary* Source() const = 0;
    virtual uint32_t RecordId() const = 0;

    CEditor* next = nullptr;  // the next editor of the same dictionary
};

// Makes an editor of the program's kind (the window); set by the program.
using EditorFactory = std::unique_ptr<CEditor> (*)();
void SetEditorFactory(EditorFactory factory);

// Opens an editor on `target` for record `recordId` of `source` (0 and a
// text: a new article). When an editor of `target` already shows that record
// it comes forward and the answer is null. An editor whose Open fails is
// unlinked and deleted at once (null), so no windowless editor is left to
// block closing the dictionary.
CEditor* OpenEditor(CDictionary& target, CDictionary* source, uint32_t recordId, std::u16string_view text);
// The editor of `target` on that record of `source`, null when none.
CEditor* FindEditor(const CDictionary& target, const CDictionary* source, uint32_t recordId);
// Called by an editor whose window closed: unlinks and deletes it, focusing the new head.
void CloseEditor(CDictionary& target, CEditor& editor);
// Asks each editor whether to save (Yes saves) and closes it. 2 when the
// user cancelled (only when allowed; the editors not yet asked stay open),
// else 1 with every editor closed.
int32_t CloseAllEditors(CDictionary& target, bool allowCancel);
bool HasOpenEditors(const CDictionary& target);
// Whether one of the dictionary's editors has that dialog / that text window.
bool IsEditorDialog(const CDictionary& target, const void* window);
bool IsEditorWindow(const CDictionary& target, const void* window);
