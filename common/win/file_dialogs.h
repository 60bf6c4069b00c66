// The common file dialog and the shell's folder browser, as the program uses
// them: filters from the interface texts, the dictionaries folder as the
// default place. The OPENFILENAMEW is built by its own function so that it
// can be checked without showing a dialog.
#pragma once

#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

constexpr DWORD kSaveDialogFlags = OFN_SHAREAWARE | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;  // 0x480C
constexpr DWORD kOpenDialogFlags = kSaveDialogFlags | OFN_FILEMUSTEXIST;                                    // 0x580C
constexpr UINT kBrowseFolderFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;                                   // 5

// The buffers the dialog writes into; they must outlive the OPENFILENAMEW.
struct FileDialogBuffers {
    wchar_t file[MAX_PATH];      // initial name in, chosen path out
    wchar_t fileTitle[256];
    wchar_t initialFolder[MAX_PATH];
};

// Filter multi-string for a filter kind: 1 word-list files as they stand,
// otherwise the dictionary files with their first description and pattern skipped.
const wchar_t* SelectFileDialogFilter(const wchar_t* filters, bool skipFirstPair);

// Fills `ofn` for the given path: the initial folder is the path's folder,
// or `defaultFolder` when the path is empty; the initial name is its file name.
void BuildFileNameDialog(OPENFILENAMEW& ofn, FileDialogBuffers& buffers, const wchar_t* title,
                         const wchar_t* path, bool save, const wchar_t* filter, HWND owner,
                         const wchar_t* defaultFolder);

// Shows the open (or save) dialog for word lists (filter kind 1, interface
// text 270) or dictionaries (interface text 271 without its first pair). The
// owner is `owner` or the main window. 1 with the chosen path copied into
// `path` (MAX_PATH units), 0 on cancel.
int FileNameDialog(const wchar_t* title, wchar_t* path, bool save, int filterKind, HWND owner);
// Everything FileNameDialog does before showing the dialog.
void PrepareFileNameDialog(OPENFILENAMEW& ofn, FileDialogBuffers& buffers, const wchar_t* title,
                           const wchar_t* path, bool save, int filterKind, HWND owner);

// Shows the shell's folder browser at `initialFolder`; 1 with the folder in
// `path` (MAX_PATH units) when one was chosen, else 0.
int BrowseForFolder(HWND owner, wchar_t* path, const wchar_t* title, const wchar_t* initialFolder);
// The browser's callback: selects the initial folder when the browser opens
// and shows the current path as status text on every change.
int CALLBACK BrowseForFolderCallback(HWND browser, UINT message, LPARAM lParam, LPARAM initialFolder);
