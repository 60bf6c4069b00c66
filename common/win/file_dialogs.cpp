#include "common/win/file_dialogs.h"

#include <shlobj.h>

#include <cwchar>
#include <string>

#include "common/app_context.h"
#include "common/ui_text/ui_text.h"

namespace {

constexpr int kWordListFilterSlot = 270;
constexpr int kDictionaryFilterSlot = 271;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

}  // namespace

const wchar_t* SelectFileDialogFilter(const wchar_t* filters, bool skipFirstPair) {
    if (!filters || !skipFirstPair) return filters;
    const wchar_t* p = filters;
    for (int i = 0; i < 2 && *p; ++i) p += wcslen(p) + 1;
    return p;
}

void BuildFileNameDialog(OPENFILENAMEW& ofn, FileDialogBuffers& buffers, const wchar_t* title,
                         const wchar_t* path, bool save, const wchar_t* filter, HWND owner,
                         const wchar_t* defaultFolder) {
    buffers = FileDialogBuffers{};
    const wchar_t* name = path ? path : L"";
    const wchar_t* slash = nullptr;
    for (const wchar_t* p = name; *p; ++p)
        if (*p == L'\\' || *p == L'/') slash = p;
    if (*name == 0) {
        if (defaultFolder) lstrcpynW(buffers.initialFolder, defaultFolder, MAX_PATH);
    } else if (slash) {
        // A drive root keeps its backslash: "D:" alone means D's current folder.
        const bool driveRoot = slash - name == 2 && name[1] == L':';
        const int length = int(slash - name) + (driveRoot ? 1 : 0);
        lstrcpynW(buffers.initialFolder, name, length + 1 > MAX_PATH ? MAX_PATH : length + 1);
        name = slash + 1;
    }
    lstrcpynW(buffers.file, name, MAX_PATH);

    ofn = OPENFILENAMEW{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = buffers.file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFileTitle = buffers.fileTitle;
    ofn.nMaxFileTitle = 256;
    ofn.lpstrInitialDir = buffers.initialFolder[0] ? buffers.initialFolder : nullptr;
    ofn.lpstrTitle = title;
    ofn.Flags = save ? kSaveDialogFlags : kOpenDialogFlags;
}

void PrepareFileNameDialog(OPENFILENAMEW& ofn, FileDialogBuffers& buffers, const wchar_t* title,
                           const wchar_t* path, bool save, int filterKind, HWND owner) {
    const bool wordLists = filterKind == 1;
    const wchar_t* filter = SelectFileDialogFilter(
        Wide(UIStringTable[wordLists ? kWordListFilterSlot : kDictionaryFilterSlot]), !wordLists);
    if (!owner) owner = static_cast<HWND>(App().OwnerWindow());
    const std::u16string defaultFolder = App().DictionariesFolder();
    BuildFileNameDialog(ofn, buffers, title, path, save, filter, owner, Wide(defaultFolder.c_str()));
}

int FileNameDialog(const wchar_t* title, wchar_t* path, bool save, int filterKind, HWND owner) {
    OPENFILENAMEW ofn;
    FileDialogBuffers buffers;
    PrepareFileNameDialog(ofn, buffers, title, path, save, filterKind, owner);
    const BOOL chosen = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!chosen) return 0;
    if (buffers.file[0]) lstrcpynW(path, buffers.file, MAX_PATH);
    return 1;
}

int CALLBACK BrowseForFolderCallback(HWND browser, UINT message, LPARAM lParam, LPARAM initialFolder) {
    if (message == BFFM_INITIALIZED && initialFolder) {
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, initialFolder);
    } else if (message == BFFM_SELCHANGED) {
        wchar_t current[MAX_PATH] = L"";
        if (SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), current))
            SendMessageW(browser, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(current));
    }
    return 0;
}

int BrowseForFolder(HWND owner, wchar_t* path, const wchar_t* title, const wchar_t* initialFolder) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = kBrowseFolderFlags;
    info.lpfn = BrowseForFolderCallback;
    info.lParam = reinterpret_cast<LPARAM>(initialFolder);
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (!item) return 0;
    wchar_t chosen[MAX_PATH] = L"";
    const BOOL ok = SHGetPathFromIDListW(item, chosen);
    CoTaskMemFree(item);  // the shell's allocator
    if (!ok) return 0;
    lstrcpynW(path, chosen, MAX_PATH);
    return 1;
}
