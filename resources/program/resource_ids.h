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

// The font settings page (SETTINGS_FONTS, font_settings.rc).
#define IDC_FONT_INPUT_SIZE 1240
#define IDC_FONT_LIST_SIZE 1241
#define IDC_FONT_ARTICLE_SIZE 1242
#define IDC_FONT_EDITOR_SIZE 1243
#define IDC_FONT_LATIN_FACE 1244
#define IDC_FONT_JAPANESE_FACE 1245
#define IDC_FONT_BOOK_SIZE 1246
#define IDC_FONT_INPUT_LABEL 1248
#define IDC_FONT_LIST_LABEL 1249
#define IDC_FONT_ARTICLE_LABEL 1250
#define IDC_FONT_EDITOR_LABEL 1251
#define IDC_FONT_BOOK_LABEL 1252
#define IDC_FONT_LATIN_LABEL 1253
#define IDC_FONT_JAPANESE_LABEL 1254
#define IDC_FONT_SIZES_GROUP 1255
#define IDC_FONT_DEFAULTS 1003
#define IDC_FONT_HELP 1016

// The word translation options (TRANSLATION_OPTIONS, translation_options.rc).
#define IDC_TRANSLATION_GENERAL_GROUP 1079
#define IDC_TRANSLATION_ON_THE_FLY_GROUP 1080
#define IDC_TRANSLATION_DICTIONARIES 1004
#define IDC_TRANSLATION_HELP 1003
#define IDC_TRANSLATION_NAMES 1088
#define IDC_TRANSLATION_EXPAND 1092
#define IDC_TRANSLATION_UNDER_CURSOR 1093
#define IDC_TRANSLATION_FULL_SEARCH 1094
#define IDC_TRANSLATION_ONE_KANA 1095
#define IDC_TRANSLATION_HELP_COMMAND 1016
