// The places where parts built later join the main window: the shelf with its
// list views and history, the input model, the furniture (tray icon, hover
// hint, About box), the dialogs, the word translator and the web services.
// Each slot is null until its part exists; a command whose part is missing
// does nothing, as the dispatcher does when the shelf is missing. Every
// operation has a neutral default so a part overrides only what it has.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string>

class IDictionariesServerPanel;
class RDFDictionary;

// The shelf's list views and history, as the frame drives them.
class IFrameLists {
public:
    virtual ~IFrameLists() = default;
    // Makes the list windows and the article view inside the frame.
    virtual void CreateListWindows(HWND /*parent*/) {}
    // Window of the current list view, null when there is none.
    virtual HWND CurrentListWindow() { return nullptr; }
    // Kind of the current list (0 none).
    virtual int32_t CurrentKind() { return 0; }
    // Makes the list of that kind current: the kind, or 0 when none exists.
    virtual int32_t SetCurrentListByKind(int32_t) { return 0; }
    virtual void RedrawLists() {}
    // Moves every list window to the list rectangle of the layout.
    virtual void MoveListWindows(int32_t /*x*/, int32_t /*y*/, int32_t /*width*/, int32_t /*height*/) {}
    // File path of the current list's current dictionary, empty when none.
    virtual std::u16string CurrentDictionaryPath() { return {}; }
    // The shelf's choice of start list (kind 2 with rows, else 5 or 4, else `fallback`).
    virtual int32_t SelectStartList(int32_t fallback) { return fallback; }
    // Reads the input box into the input model; its change counter.
    virtual uint32_t UpdateInput() { return 0; }
    // The input change counter the current list last searched for.
    virtual uint32_t SearchedInputCounter() { return 0; }
    // True when the current list is the translated-words list, holds the
    // translation of the input box's text as it is now, caret and all, and
    // stands on the row that translation chose.
    virtual bool TranslationShowsInput() { return false; }
    // True while the input box's selection is the matched part a list
    // selected there, not one the user made.
    virtual bool InputSelectionIsOwnHighlight() { return false; }
    virtual void SearchAsYouType() {}
    virtual void OnListCommand(uint32_t) {}
    virtual void RepaintPage() {}
    // Empties the translated-words list and goes to its first row.
    virtual void ClearTranslationList() {}
    virtual void SelectArticleId(int32_t) {}
    // Rows of the current list, its current row (-1 none) and the selected count.
    virtual int32_t RowCount() { return 0; }
    virtual int32_t CurrentRow() { return -1; }
    virtual int32_t SelectedCount() { return 0; }
    // Flags of the current row's dictionary (0 when the row has none) and the
    // deleted-record flag of that dictionary.
    virtual uint32_t CurrentRowDictionaryFlags() { return 0; }
    virtual bool CurrentRowDictionaryIsWorking() { return false; }
    virtual bool CurrentRecordDeleted() { return false; }
    // The working dictionary's file path, empty when there is none.
    virtual std::u16string WorkingDictionaryPath() { return {}; }
    // Conversion mode of the current list (0, 1, 2) and whether it offers one.
    virtual int32_t ConversionMode() { return 0; }
    virtual bool ConversionModeAllowed() { return false; }
    virtual void SetConversionMode(int32_t) {}
    // Auto-locate off (the shelf's flag 2).
    virtual bool AutoLocateOff() { return false; }
    virtual void SetAutoLocateOff(bool) {}
    // A new article in the working dictionary from the selection of `window`
    // (the window a menu named in lParam; null or another kind of window: the input box).
    virtual void NewArticleFromSelection(HWND) {}
    // History: whether an entry lies before or after the current one, and the steps.
    virtual bool CanGoBack() { return false; }
    virtual bool CanGoForward() { return false; }
    virtual void HistoryBack() {}
    virtual void HistoryForward() {}
    // Article editors.
    virtual bool HasOpenEditors() { return false; }
    virtual bool IsEditorWindow(HWND) { return false; }      // an editor's dialog
    virtual bool IsEditorPaneWindow(HWND) { return false; }  // an editor's text window
    // The kind of the line beside `screen` in an editor dialog's kind margin
    // (0 none), with the hover hint's anchor and the line's top.
    virtual int32_t EditorLineAt(HWND, POINT, POINT&, int32_t&) { return 0; }
    // The editor key filter: true when it took the key.
    virtual bool FilterEditorKey(const MSG&) { return false; }
    virtual void CloseAllEditors() {}
    // The selected-articles list: load a saved file (going to its last row),
    // save it when changed at exit, and its file path.
    virtual bool LoadSelectedList(const std::u16string&) { return false; }
    virtual void SaveSelectedListIfChanged() {}
    // The same as the program ends, asking what to do when the save fails;
    // false when the user chose to stay.
    virtual bool SaveSelectedListBeforeExit() { return true; }
    virtual std::u16string SelectedListPath() { return {}; }
    virtual void SaveViewOptions() {}
    // Every list view takes the list font set's fonts again and repaints.
    virtual void ApplyFontsToViews() {}
    // Every list view's column titles again, in the interface language now set.
    virtual void RefreshListHeaders() {}
    // Shows the current row's article again without recording it in the
    // history: after a language switch the note above it and the status
    // line's count speak the new language.
    virtual void ShowCurrentArticleAgain() {}
    // Every open article editor takes the editor size (points).
    virtual void ApplyFontsToEditors(int32_t) {}
    virtual void DeleteAllDictionaries() {}
    virtual int32_t DictionaryCount() { return 0; }
    // The text of one cell of the visible page (the end-to-end test hook).
    virtual std::u16string VisibleCellText(int32_t, int32_t) { return {}; }
    virtual int32_t TopRow() { return 0; }
};

// Notification-area icon, hover hint, About box and the dialogs the
// dispatcher opens.
class IFrameFurniture {
public:
    virtual ~IFrameFurniture() = default;
    virtual bool TrayShown() { return false; }
    virtual void ShowTray() {}
    virtual void RemoveTray() {}
    virtual void OnTrayNotify(WPARAM, LPARAM) {}
    virtual bool HintExists() { return false; }
    virtual void TrackHint() {}
    virtual void HideHint() {}
    // For the test hook: the hint's looks at the pointer so far, and whether
    // a show waits for its delay.
    virtual int64_t HintLooks() { return 0; }
    virtual bool HintShowPending() { return false; }
    virtual void ShowAbout(HWND) {}
    virtual void ShowDictionaries(HWND) {}
    virtual void ShowSettings(HWND, int32_t /*startPage*/) {}
    virtual void ShowTranslationOptions(HWND) {}
    virtual void OpenBookReader(HWND) {}
    // The book loader for a dictionary of the dictionaries dialog: its result
    // (-1 when there is no loader); whether a book reader shows the
    // dictionary (it may then not be closed); book readers refill their lists.
    virtual int32_t RunBookLoader(HWND, RDFDictionary*) { return -1; }
    virtual bool IsShownInBookReader(const RDFDictionary*) { return false; }
    virtual void RefillBookReaders() {}
    // The menu items drawn in their own script (Russian and Japanese menus).
    virtual void PrepareLanguageItems(HMENU) {}
    virtual LRESULT MeasureItem(LPARAM) { return 0; }
    virtual LRESULT DrawLanguageMenuItem(LPARAM) { return 0; }
};

// The word translator.
class IFrameTranslator {
public:
    virtual ~IFrameTranslator() = default;
    virtual void TranslateText(const std::u16string&, int32_t /*caret*/, int32_t /*before*/,
                               int32_t /*after*/, int32_t /*mode*/) {}
    virtual int32_t AutoSwitchTranslationList() { return 1; }
    // The word translation options dialog over `owner`.
    virtual void ShowOptions(HWND) {}
};

// The text under the mouse cursor: one step of the 100 ms timer, and the note
// a capture leaves to be shown once the step has returned (a box inside the
// step would hold the timer and re-enter it).
class IFrameUnderCursor {
public:
    virtual ~IFrameUnderCursor() = default;
    // One step; may pump messages and call other programs.
    virtual void Poll() {}
    // Answers the frame's msg::kCaptureNote.
    virtual void ShowPendingNote() {}
};

// The web services: update check, reply handling and web searches.
class IFrameWeb {
public:
    virtual ~IFrameWeb() = default;
    // Next time of the update check (seconds, 0 none) and starting it.
    virtual int64_t NextCheckTime() { return 0; }
    virtual void StartUpdateCheck(HWND) {}
    virtual LRESULT OnHomeReply(UINT, WPARAM, LPARAM) { return 1; }
    // Opens the web search of `command` for the word, which it then frees.
    virtual void OpenWebSearch(uint32_t, BSTR word) { SysFreeString(word); }
    // The right half of the dictionaries dialog (the server's files), owned
    // by the web services; null leaves it empty.
    virtual IDictionariesServerPanel* DictionariesServerPanel() { return nullptr; }
    // The settings dialog changed the home site (already in Application and
    // the settings file): it becomes the web services' host and a new update
    // check starts.
    virtual void OnHomeSiteChanged(const std::u16string&) {}
};
