// A command that arrives while a message box of a long action is up (the
// box's own message loop dispatches it): a start-up that reports a damaged
// dictionary, with Exit chosen while its box is shown. The Exit waits for the
// start to end and then closes the program normally, instead of destroying
// the dictionaries the start still walks.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "ui/e2e/program_session.h"
#include "ui/e2e/machine_pace.h"

namespace {

constexpr UINT kExit = 40001;

std::wstring SliceDictionary() {
    const std::string binary = BinaryPath();
    return std::wstring(binary.begin(), binary.end()) + L"\\ui\\e2e-data\\edict-slice.qdx";
}

bool WaitFor(const auto& condition, int tries = 400) {
    for (int i = 0, n = machine_pace::ScaledTries(tries); i < n; ++i) {
        if (condition()) return true;
        Sleep(25);
    }
    return false;
}

// The first half of a real dictionary: its header page is intact, so it is
// taken for a dictionary and refused when it is opened.
bool WriteHalfOf(const std::wstring& source, const std::wstring& target) {
    HANDLE in = CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    GetFileSizeEx(in, &size);
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart / 2));
    DWORD read = 0;
    bool ok = ReadFile(in, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
    CloseHandle(in);
    HANDLE out = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    ok = ok && WriteFile(out, bytes.data(), read, &written, nullptr) && written == read;
    CloseHandle(out);
    return ok;
}

struct BoxSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK TakeShownBox(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<BoxSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t type[16] = {};
    GetClassNameW(window, type, 16);
    if (owner != search->process || !IsWindowVisible(window) || std::wstring(type) != L"#32770") return TRUE;
    search->found = window;
    return FALSE;
}

// A shown message box of the process that owns `frame`.
HWND ShownBoxOf(HWND frame) {
    BoxSearch search{0, nullptr};
    GetWindowThreadProcessId(frame, &search.process);
    EnumWindows(&TakeShownBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowTextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

TEST(BoxDuringLongAction, ExitChosenUnderTheStartsDamagedDictionaryBoxClosesAfterTheStart) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"BoxDuringLongAction.ExitUnderStartBox");
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    const std::wstring good = folders.DictionariesFolder() + L"\\edict-slice.qdx";
    const std::wstring damaged = folders.root + L"\\half.qdx";
    ASSERT_TRUE(CopyFileW(SliceDictionary().c_str(), good.c_str(), FALSE));
    ASSERT_TRUE(WriteHalfOf(SliceDictionary(), damaged));
    WriteSettings(folders, L"[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n[Dictionaries]\r\nFile1=" + good +
                               L",0\r\n");

    ProgramRun run(L"\"" + damaged + L"\"");
    ASSERT_TRUE(run.Started());
    HWND frame = nullptr;
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        frame = FindFrame();
        box = frame ? ShownBoxOf(frame) : nullptr;
        return box != nullptr;
    })) << "no box about the damaged dictionary";
    EXPECT_EQ(WindowTextOf(box), L"Cannot open dictionary");

    // Exit reaches the frame inside the box's loop; the box is closed right
    // behind it, so whatever Exit leaves queued runs once the start goes on.
    PostMessageW(frame, WM_COMMAND, kExit, 0);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(run.WaitForExit(20000), 0) << "the program did not end normally after its start";
    // The undamaged dictionary is kept as it was: listed and open.
    std::wstring listed;
    for (const wchar_t* key : {L"File1", L"File2", L"File3"}) listed += ReadIniString(folders, L"Dictionaries", key) + L"|";
    EXPECT_NE(listed.find(good + L",0|"), std::wstring::npos) << std::string(listed.begin(), listed.end());
}

}  // namespace
