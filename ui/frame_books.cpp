// The book readers joined to the main window: what a reader needs of the
// program (the shelf's open book dictionaries, the settings, the book font
// set, the context menus, look-ups and web searches, help and the modeless
// dialog navigation), and the reader command 40062 (Ctrl held: a text book).
#include <windows.h>
#include <oleauto.h>

#include <memory>

#include "article/win/article_view.h"
#include "book/win/book_loader_dialog.h"
#include "book/win/book_reader.h"
#include "common/ui_text/win/ui_language.h"
#include "dictionary/dictionary.h"
#include "dictionary/shelf.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/font_sets.h"
#include "ui/font_settings_dialog.h"
#include "ui/frame.h"
#include "ui/frame_books.h"
#include "ui/frame_furniture.h"
#include "ui/frame_shelf.h"
#include "ui/modeless_dialogs.h"

namespace {

constexpr int32_t kMaxShelfBooks = 100;

class FrameBookSite : public IBookReaderSite {
public:
    explicit FrameBookSite(CFrame& frame) : frame_(frame) {}

    HWND MainWindow() override { return frame_.Window(); }
    std::vector<RDFDictionary*> BookDictionaries() override {
        std::vector<RDFDictionary*> books;
        auto* shelf = dynamic_cast<FrameShelf*>(frame_.lists);
        if (!shelf) return books;
        CShelf& s = shelf->Shelf();
        for (int32_t i = 0; i < kMaxShelfBooks; ++i) {
            RDFDictionary* d = s.GetDictionary(i);
            if (!d) break;
            const uint32_t flags = d->flags;
            if ((flags & kDictionaryOpen) && (flags & kDictionaryBook) && !(flags & kDictionaryHidden)) books.push_back(d);
        }
        return books;
    }
    CIni* Settings() override { return g_application ? g_application->ini.get() : nullptr; }
    HFONT BookFont(int32_t slot) override {
        if (!g_application || !g_application->fonts) return nullptr;
        return BookReaderFont(g_application->fonts->Set(kBookFontSet), slot);
    }
    int32_t BookFontPoints() override {
        if (!g_application || !g_application->fonts) return 10;
        const int32_t points = g_application->fonts->Set(kBookFontSet).PointSize();
        return points > 0 ? points : 10;
    }
    HMENU ContextMenus() override { return frame_.ContextMenus(); }
    void PrepareContextMenu(HMENU menu) override {
        // The editing reader's menu is retitled only here, when it is shown.
        ApplyUILanguageToMenu(menu);
        frame_.UpdateListMenu(menu, 0);
    }
    void LookUpText(const std::u16string& text, uint32_t command) override {
        if (!text.empty()) ::LookUpText(text, command);
    }
    bool IsWebSearchCommand(uint32_t command) override { return ::IsWebSearchCommand(command); }
    void PostWebSearch(uint32_t command, const std::u16string& word) override {
        BSTR text = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(word.data()), static_cast<UINT>(word.size()));
        if (text) PostMessageW(frame_.Window(), WM_COMMAND, command, frame_.HandOutWebWord(text));
    }
    void ShowHelp(HWND owner, int32_t topic) override {
        if (g_application) g_application->ShowHelpTopic(owner, topic);
    }
    void DialogCreated(HWND dialog) override { AddModelessDialog(dialog); }
    void DialogDestroyed(HWND dialog) override { RemoveModelessDialog(dialog); }

private:
    CFrame& frame_;
};

// The loader closes the dictionary (and every editor) for the load and
// opens it again afterwards, read-only and finished when the load succeeded.
class FrameBookLoaderHost : public IBookLoaderHost {
public:
    explicit FrameBookLoaderHost(CFrame& frame) : frame_(frame) {}
    CIni* Settings() override { return g_application ? g_application->ini.get() : nullptr; }
    void ShowHelp(HWND owner, int32_t topic) override {
        if (g_application) g_application->ShowHelpTopic(owner, topic);
    }
    bool CloseForLoad(RDFDictionary& dictionary) override {
        if (frame_.lists) {
            frame_.lists->CloseAllEditors();
            if (frame_.lists->HasOpenEditors()) return false;
        }
        dictionary.flags |= kDictionaryToClose;
        if (auto* shelf = dynamic_cast<FrameShelf*>(frame_.lists)) shelf->Shelf().Refresh();
        if (dictionary.flags & kDictionaryOpen) dictionary.Close();
        return true;
    }
    void ReopenAfterLoad(RDFDictionary& dictionary, bool finished) override {
        const bool wasWorking = (dictionary.flags & kDictionaryWorking) != 0;
        if (finished) dictionary.flags &= ~(kDictionaryEditable | kDictionaryWorking);
        if (!(dictionary.flags & kDictionaryOpen)) {
            const uint32_t status = dictionary.Open(2);
            if (status != 0) dictionary.ShowError(frame_.Window(), u"Cannot open dictionary", u"", status);
        }
        auto* shelf = dynamic_cast<FrameShelf*>(frame_.lists);
        // A book is read-only: the user's own dictionary stays the one edited,
        // not none (a new dictionary made for the book took the role from it).
        if (shelf && finished && wasWorking) shelf->Shelf().RestorePreviousWorkingDictionary();
        if (shelf) shelf->Shelf().Refresh();
        frame_.UpdateCommandStates(cmd::kEditingStates);
        CParaViewerDlg::RefreshAllBookLists();
    }

private:
    CFrame& frame_;
};

std::unique_ptr<FrameBookSite>& Site() {
    static std::unique_ptr<FrameBookSite> site;
    return site;
}

}  // namespace

HFONT BookReaderFont(const CFontSet& set, int32_t bookSlot) {
    // A column numbers its fonts by script; the program's sets number theirs
    // by character set, so each script asks for the set's slot whose face
    // and character set hold its characters.
    constexpr int kHangulSlot = 8, kArabicSlot = 17, kHebrewSlot = 18;
    switch (bookSlot) {
    case 9:   // kana, kanji and the rest above U+2000
    case 3:   // surrogate pairs (the rarer kanji)
        return set.Font(kJapaneseSlot);
    case 7: return set.Font(kHangulSlot);
    case 14: return set.Font(kArabicSlot);
    case 15: return set.Font(kHebrewSlot);
    default: return set.Font(kLatinSlot);  // 8: Latin, Cyrillic and the rest below U+2000
    }
}

void FrameFurniture::OpenBookReader(HWND owner) {
    if (!Site()) Site() = std::make_unique<FrameBookSite>(frame_);
    std::u16string textBook;
    if ((GetKeyState(VK_CONTROL) & 0x8000) && !CParaViewerDlg::ChooseTextBook(*Site(), owner, textBook)) return;
    CParaViewerDlg::Open(*Site(), nullptr, 0, textBook);
}

void FrameFontTargets::RefreshBookReaders() { CParaViewerDlg::RefreshAllBookReaders(); }

int32_t RunFrameBookLoader(CFrame& frame, HWND owner, RDFDictionary* dictionary) {
    FrameBookLoaderHost host(frame);
    return RunBookLoaderDialog(host, dictionary, owner);
}

bool IsShownInBookReader(const RDFDictionary* dictionary) {
    for (CParaViewerDlg* reader : CParaViewerDlg::Readers())
        if (reader->ShowsDictionary(dictionary)) return true;
    return false;
}

void RefillBookReaders() { CParaViewerDlg::RefreshAllBookLists(); }

void OpenBookReaderAt(RDFDictionary* dictionary, uint32_t recordId) {
    if (!g_frame || !dictionary || !(dictionary->flags & kDictionaryBook) || recordId == 0) return;
    if (!Site()) Site() = std::make_unique<FrameBookSite>(*g_frame);
    CParaViewerDlg::Open(*Site(), dictionary, recordId);
}
