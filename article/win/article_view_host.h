// What rich edits and article views need of the running program: the faces
// and sizes of the current font set, the main window with its context menu
// and command states, the shelf's lists and the input box. The program
// installs its own host at start-up; until then every answer is neutral
// (Arial and MS Mincho, 10 points, no fonts installed beyond those, no main
// window, no lists).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

class CArticleView;
class CRichEdit;

class IArticleViewHost {
public:
    virtual ~IArticleViewHost() = default;

    // The current font set.
    virtual std::u16string LatinFace() { return u"Arial"; }      // Latin and Cyrillic text
    virtual std::u16string JapaneseFace() { return u"MS Mincho"; }
    virtual int32_t ArticleFontPoints() { return 10; }
    virtual int32_t InputFontPoints() { return 10; }
    // Whether a font of that face and character set is installed (the
    // neutral answer: no).
    virtual bool IsFontInstalled(std::u16string_view /*face*/, uint8_t /*charset*/) { return false; }

    // The main window: its handle (commands are posted to it), the menu
    // holding its context menus, the relabelling of list commands in one,
    // web-search commands with the selected text, help and command states.
    virtual HWND MainWindow() { return nullptr; }
    virtual HMENU ContextMenus() { return nullptr; }
    virtual void UpdateListMenu(HMENU /*menu*/, int32_t /*flag*/) {}
    virtual int32_t PostTextCommand(uint32_t /*command*/, HWND /*richEdit*/) { return 0; }
    virtual void ShowHelpTopic(HWND /*parent*/, int32_t /*topic*/) {}
    virtual void UpdateCommandStates(uint32_t /*command*/) {}
    // The main window's article view, null when none.
    virtual CArticleView* MainArticleView() { return nullptr; }

    // The shelf: whether the list of a kind exists and holds a word list;
    // making the list of a kind current (creating it where the shelf does),
    // 0 when there is none; a search in the current list; a redraw.
    virtual bool ListHasWords(int32_t /*kind*/) { return false; }
    virtual int32_t SetCurrentListByKind(int32_t /*kind*/) { return 0; }
    virtual void SearchText(std::u16string_view /*text*/, std::u16string_view /*second*/) {}
    virtual void RedrawLists() {}

    // The input box, and the application's busy flag that keeps a change of
    // it from starting a search; Find runs the input box's search (40010).
    virtual CRichEdit* InputBox() { return nullptr; }
    virtual void SetBusy(bool /*busy*/) {}
    virtual void RunFind();
};

// The installed host; a neutral one until the program installs its own.
IArticleViewHost& ArticleViewHost();
// Installs `host` (not owned; null restores the neutral one) and returns the previous one.
IArticleViewHost* SetArticleViewHost(IArticleViewHost* host);
