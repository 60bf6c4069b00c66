// Reading a list view of the program from the test's process: the text of a
// cell, the row of a first-column text, the selected row; and selecting one.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/e2e/program_session.h"

inline std::wstring Cell(HWND list, int row, int column) {
    RemoteMemory memory(list, sizeof(LVITEMW) + 512 * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = 512;
    item.pszText = reinterpret_cast<wchar_t*>(memory.At(sizeof(LVITEMW)));
    memory.Write(0, &item, sizeof(item));
    const LRESULT length = SendMessageW(list, LVM_GETITEMTEXTW, row, memory.At(0));
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    memory.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t));
    return text;
}

inline std::vector<std::wstring> Names(HWND list) {
    std::vector<std::wstring> names;
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) names.push_back(Cell(list, row, 0));
    return names;
}

inline int RowOf(HWND list, const std::wstring& name) {
    const std::vector<std::wstring> names = Names(list);
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

inline int SelectedRow(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Selects and focuses a row, as a click on it does.
inline void SelectRow(HWND list, int row) {
    RemoteMemory memory(list, sizeof(LVITEMW));
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    memory.Write(0, &item, sizeof(item));
    SendMessageW(list, LVM_SETITEMSTATE, row, memory.At(0));
}
