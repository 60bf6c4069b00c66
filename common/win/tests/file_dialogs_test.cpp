#include "common/win/file_dialogs.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include "common/app_context.h"
#include "common/tests/fake_app_context.h"
#include "common/ui_text/ui_text.h"

#include <string>
#include <vector>

namespace {

const wchar_t kFilters[] = L"Word lists (*.oxm)\0*.oxm\0Dictionaries (*.qdx)\0*.qdx\0Any Files (*.*)\0*.*\0";

}  // namespace

TEST(FileNameDialog, FlagsMatchTheSaveAndOpenDialogs) {
    EXPECT_EQ(kSaveDialogFlags, 0x480Cu);
    EXPECT_EQ(kOpenDialogFlags, 0x580Cu);
    EXPECT_EQ(kBrowseFolderFlags, 5u);
}

TEST(FileNameDialog, SkipsTheFirstFilterPairOnlyWhenAsked) {
    EXPECT_EQ(SelectFileDialogFilter(kFilters, false), kFilters);
    EXPECT_EQ(std::wstring(SelectFileDialogFilter(kFilters, true)), L"Dictionaries (*.qdx)");
    EXPECT_EQ(SelectFileDialogFilter(nullptr, true), nullptr);
}

TEST(FileNameDialog, PathGivesTheInitialFolderAndName) {
    OPENFILENAMEW ofn;
    FileDialogBuffers buffers;
    HWND owner = GetDesktopWindow();
    BuildFileNameDialog(ofn, buffers, L"Open", L"C:\\Users\\me\\辞書\\Ostrel.qdx", false,
                        SelectFileDialogFilter(kFilters, true), owner, L"C:\\Dictionaries");
    EXPECT_EQ(ofn.lStructSize, sizeof(OPENFILENAMEW));
    EXPECT_EQ(ofn.hwndOwner, owner);
    EXPECT_EQ(ofn.Flags, 0x580Cu);
    EXPECT_EQ(std::wstring(ofn.lpstrFilter), L"Dictionaries (*.qdx)");
    EXPECT_EQ(std::wstring(ofn.lpstrInitialDir), L"C:\\Users\\me\\辞書");
    EXPECT_EQ(std::wstring(ofn.lpstrFile), L"Ostrel.qdx");
    EXPECT_EQ(ofn.lpstrFile, buffers.file);
    EXPECT_EQ(ofn.nMaxFile, 260u);
    EXPECT_EQ(ofn.nMaxFileTitle, 256u);
    EXPECT_EQ(std::wstring(ofn.lpstrTitle), L"Open");
}

TEST(FileNameDialog, EmptyPathOpensInTheDefaultFolderWithAnEmptyName) {
    OPENFILENAMEW ofn;
    FileDialogBuffers buffers;
    BuildFileNameDialog(ofn, buffers, L"Save", L"", true, kFilters, nullptr, L"C:\\Dictionaries");
    EXPECT_EQ(ofn.Flags, 0x480Cu);
    EXPECT_EQ(std::wstring(ofn.lpstrInitialDir), L"C:\\Dictionaries");
    EXPECT_EQ(std::wstring(ofn.lpstrFile), L"");

    BuildFileNameDialog(ofn, buffers, L"Save", L"list.oxm", true, kFilters, nullptr, L"C:\\D");
    EXPECT_EQ(ofn.lpstrInitialDir, nullptr);  // a bare name keeps the current folder
    EXPECT_EQ(std::wstring(ofn.lpstrFile), L"list.oxm");
}

namespace {

struct Recorded {
    UINT message;
    WPARAM wParam;
    std::wstring text;
};
std::vector<Recorded> g_recorded;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == BFFM_SETSELECTIONW || message == BFFM_SETSTATUSTEXTW) {
        g_recorded.push_back({message, wParam, reinterpret_cast<const wchar_t*>(lParam)});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

TEST(BrowseForFolder, CallbackSelectsTheInitialFolderAndShowsTheCurrentPath) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OstrelTestBrowser";
    RegisterClassW(&wc);
    HWND browser = CreateWindowW(L"OstrelTestBrowser", L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    ASSERT_NE(browser, nullptr);
    g_recorded.clear();

    const wchar_t* initial = L"C:\\windows";
    BrowseForFolderCallback(browser, BFFM_INITIALIZED, 0, reinterpret_cast<LPARAM>(initial));
    ASSERT_EQ(g_recorded.size(), 1u);
    EXPECT_EQ(g_recorded[0].message, UINT(BFFM_SETSELECTIONW));
    EXPECT_EQ(g_recorded[0].wParam, WPARAM(TRUE));
    EXPECT_EQ(g_recorded[0].text, initial);

    PIDLIST_ABSOLUTE item = nullptr;
    ASSERT_EQ(SHParseDisplayName(L"C:\\windows", nullptr, &item, 0, nullptr), S_OK);
    BrowseForFolderCallback(browser, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(item), 0);
    CoTaskMemFree(item);
    ASSERT_EQ(g_recorded.size(), 2u);
    EXPECT_EQ(g_recorded[1].message, UINT(BFFM_SETSTATUSTEXTW));
    EXPECT_EQ(_wcsicmp(g_recorded[1].text.c_str(), L"C:\\windows"), 0);
    DestroyWindow(browser);
}

namespace {

// Folders and owner as the main window would give them; nothing is shown.
struct FolderContext final : FakeAppContext {
    FolderContext() {
        dictionariesFolder = u"C:\\users\\me\\Dictionaries";
        ownerWindow = GetDesktopWindow();
    }
};

}  // namespace

TEST(FileNameDialog, TakesFiltersFromTheInterfaceTextsAndFoldersFromTheApplication) {
    FolderContext context;
    IAppContext* previous = SetAppContext(&context);
    OPENFILENAMEW ofn;
    FileDialogBuffers buffers;

    PrepareFileNameDialog(ofn, buffers, L"Open", L"", false, 1, nullptr);
    EXPECT_EQ(ofn.lpstrFilter, reinterpret_cast<const wchar_t*>(UIStringTable[270]));
    EXPECT_EQ(std::wstring(ofn.lpstrInitialDir), L"C:\\users\\me\\Dictionaries");
    EXPECT_EQ(ofn.hwndOwner, GetDesktopWindow());

    PrepareFileNameDialog(ofn, buffers, L"Open", L"D:\\a.qdx", false, 2, nullptr);
    const wchar_t* dictionaries = reinterpret_cast<const wchar_t*>(UIStringTable[271]);
    EXPECT_EQ(ofn.lpstrFilter, SelectFileDialogFilter(dictionaries, true));
    EXPECT_NE(ofn.lpstrFilter, dictionaries);
    EXPECT_EQ(std::wstring(ofn.lpstrInitialDir), L"D:\\");
    SetAppContext(previous);
}
