// What a book reader needs of the program: the main window, the open book
// dictionaries of the shelf, the settings file, the book fonts, the context
// menus, the look-ups and web searches of a selected text, help and
// message boxes. The program implements it; tests use the defaults.
#pragma once

#include "book/book_texts.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CIni;
class RDFDictionary;

class IBookReaderSite {
public:
    virtual ~IBookReaderSite() = default;
    virtual HWND MainWindow() { return nullptr; }
    // The first 100 dictionaries of the shelf that are open books and not hidden.
    virtual std::vector<RDFDictionary*> BookDictionaries() { return {}; }
    virtual CIni* Settings() { return nullptr; }
    // The book font set's font of a slot (1 to 16), null for the reader's own.
    virtual HFONT BookFont(int32_t /*slot*/) { return nullptr; }
    virtual int32_t BookFontPoints() { return 10; }
    // The context menus resource (submenu 13 reading, 15 editing), null for none.
    virtual HMENU ContextMenus() { return nullptr; }
    // Before a column's menu is shown: its titles in the interface language
    // and the program's own commands relabelled and enabled (the working
    // dictionary's name in 40500, which is greyed without one).
    virtual void PrepareContextMenu(HMENU /*menu*/) {}
    // Search 40167, 40169, 40171 of a selected text in the main window.
    virtual void LookUpText(const std::u16string& /*text*/, uint32_t /*command*/) {}
    // A web search of the selected text, posted to the main window.
    virtual void PostWebSearch(uint32_t /*command*/, const std::u16string& /*word*/) {}
    virtual bool IsWebSearchCommand(uint32_t /*command*/) { return false; }
    virtual void ShowHelp(HWND /*owner*/, int32_t /*topic*/) {}
    // A message box; tests answer without showing one.
    virtual int32_t Ask(HWND owner, const std::u16string& text, const std::u16string& caption, UINT style) {
        return MessageBoxW(owner, reinterpret_cast<const wchar_t*>(text.c_str()),
                           reinterpret_cast<const wchar_t*>(caption.c_str()), style);
    }
    // An interface text by its English wording, in the interface language.
    virtual std::u16string Text(const std::u16string& english) { return InterfaceText(english); }
    // Modeless dialogs join the message loop's dialog navigation.
    virtual void DialogCreated(HWND /*dialog*/) {}
    virtual void DialogDestroyed(HWND /*dialog*/) {}
};
