// Ids of the program's own resources, shared by the resource script and the
// code that loads them. Command ids are the WM_COMMAND ids of ui/command_ids.h.
#pragma once

#define IDR_APPLICATION_MENU 112   // the application menu (Menu button)
#define IDR_CONTEXT_MENUS 114      // one pop-up per context, by position
#define IDB_TOOLBAR_IMAGES 111     // 16x16 images, grey 0xC0C0C0 transparent
#define IDB_DICTIONARIES_TOOLBAR 147
#define IDB_TAB_IMAGES 150         // 24x18 images, white transparent
#define IDB_EDITOR_IMAGES 154
#define IDB_BOOK_IMAGES 156
#define IDI_PROGRAM 127
#define IDI_TRAY 129
#define IDI_EDITOR 157
#define IDC_ABOUT_TEXT 1000
