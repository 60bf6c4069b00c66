// The editor chain of a dictionary: opening (one editor a record), closing
// one or all, and the window questions of the message loop.
#include "dictionary/article_editors.h"

#include "dictionary/dictionary.h"

namespace {

int32_t g_liveEditors = 0;
EditorFactory g_factory = nullptr;

constexpr int32_t kAnswerCancel = 2;
constexpr int32_t kStayOpen = 1363;  // a save that failed: the text must not be dropped

// Unlinks `editor` from the chain; false when it is not in it.
bool Unlink(CDictionary& target, const CEditor& editor) {
    for (CEditor** link = &target.editors; *link != nullptr; link = &(*link)->next) {
        if (*link == &editor) {
            *link = editor.next;
            return true;
        }
    }
    return false;
}

// Closing: the last editor of the whole program remembers its rectangle.
void Retire(CDictionary& target, CEditor* editor) {
    if (CEditor::LiveCount() == 1) editor->RememberRectangle();
    Unlink(target, *editor);
    delete editor;
    if (target.editors != nullptr) target.editors->FocusText();
}

}  // namespace

CEditor::CEditor() { ++g_liveEditors; }
CEditor::~CEditor() { --g_liveEditors; }
int32_t CEditor::LiveCount() { return g_liveEditors; }

void SetEditorFactory(EditorFactory factory) { g_factory = factory; }

CEditor* FindEditor(const CDictionary& target, const CDictionary* source, uint32_t recordId) {
    if (recordId == 0) return nullptr;  // new articles are never the same record
    for (CEditor* e = target.editors; e != nullptr; e = e->next)
        if (e->Source() == source && e->RecordId() == recordId) return e;
    return nullptr;
}

CEditor* OpenEditor(CDictionary& target, CDictionary* source, uint32_t recordId, std::u16string_view text) {
    if (CEditor* open = FindEditor(target, source, recordId)) {
        open->Activate();
        return nullptr;
    }
    if (g_factory == nullptr) return nullptr;
    std::unique_ptr<CEditor> made = g_factory();
    if (!made) return nullptr;
    CEditor* editor = made.release();
    editor->next = target.editors;
    target.editors = editor;
    if (!editor->Open(source, target, recordId, text)) {
        Unlink(target, *editor);
        delete editor;
        return nullptr;
    }
    return editor;
}

void CloseEditor(CDictionary& target, CEditor& editor) {
    if (target.editors == nullptr) return;
    Retire(target, &editor);
}

int32_t CloseAllEditors(CDictionary& target, bool allowCancel) {
    while (CEditor* head = target.editors) {
        const int32_t answer = head->QuerySave(allowCancel);
        if (allowCancel && (answer == kAnswerCancel || answer == kStayOpen)) return 2;
        Retire(target, head);
    }
    return 1;
}

bool HasOpenEditors(const CDictionary& target) { return target.editors != nullptr; }

bool IsEditorDialog(const CDictionary& target, const void* window) {
    for (const CEditor* e = target.editors; e != nullptr; e = e->next)
        if (e->HasDialog(window)) return true;
    return false;
}

bool IsEditorWindow(const CDictionary& target, const void* window) {
    for (const CEditor* e = target.editors; e != nullptr; e = e->next)
        if (e->HasTextWindow(window)) return true;
    return false;
}
