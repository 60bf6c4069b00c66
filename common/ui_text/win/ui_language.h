// Retitling of menus and toolbars from the interface texts, toolbar tooltips
// and the system language the program starts with. Run after SetUILanguage;
// the caller re-applies check, grey and owner-draw states afterwards, since
// ModifyMenuW with MF_STRING resets them.
#pragma once

#include <windows.h>

#include <cstdint>

// Every command-title record, in order, retitles its command in `menu`
// (by command, nested popups included). A null menu is ignored.
void ApplyUILanguageToMenu(HMENU menu);

// The main window's menus: every record on the menu bar, the top-level items
// at positions 0-4 from slots 100, 101, 102, 104 and 105, then every record on
// popups 0-6, 9-11, 13, 16 and 17 of the context-menu resource. Either handle
// may be null. The caller then rebuilds the list headers of the shelf.
void ApplyUILanguageToMenus(HMENU mainMenu, HMENU contextMenu);

// Every record sets the text of the toolbar button with its command (buttons
// without that command ignore it).
void ApplyUILanguageToToolbar(HWND toolbar);

// Tabs carry no titles of their own; kept so the language switch reads the same.
void ApplyUILanguageToTabs(HWND tabControl);

// The tooltip of the button at `buttonIndex`: its command's current title
// (the working dictionary's name filled in where the title asks for it), cut
// to 80 units and always terminated. `out` holds 80 units. Null when the
// button cannot be read or its command has no title.
wchar_t* GetToolbarTooltip(HWND toolbar, int buttonIndex, wchar_t* out);

// The system's default language id (1041 Japanese, 1049 Russian, ...).
uint16_t SystemDefaultLanguageId();
