// The settings dialog SETTINGS_ALL (CAllSettingsDlg): five pages, each a
// child dialog of its own (fonts, transliteration, lists, editor,
// miscellaneous), shown one at a time beside the page buttons. OK saves the
// pages; Cancel puts back what the pages changed in memory.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

namespace ostrel::japanese {
class CTransOptions;
}

// 1 after OK, 0 after Cancel. `startPage` 2 fonts, 3 transliteration, 4
// editor, 5 miscellaneous, anything else lists. `options` may be null (no
// translator: the list page's translation settings are only written).
INT_PTR RunSettingsDialog(HWND owner, int32_t startPage, ostrel::japanese::CTransOptions* options);
