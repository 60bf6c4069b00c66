// An X program's copy for the end-to-end tests (see x_clipboard.h).
#include "ui/e2e/x_clipboard.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "common/tests/test_files.h"
#include "ui/e2e/editor_windows.h"
#include "ui/e2e/machine_pace.h"

long RunUnix(std::wstring command, DWORD timeoutMs) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return static_cast<long>(code);
}

std::wstring UnixPath(std::wstring path) {
    if (path.size() > 2 && path[1] == L':') path.erase(0, 2);
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return path;
}

bool WriteUtf8(const std::wstring& path, const std::wstring& text) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    const std::string bytes = editor_windows::Utf8(text);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool CopyInXProgram(const std::wstring& text, const std::wstring& folder) {
    const std::wstring source = folder + L"\\copied.txt";
    if (!WriteUtf8(source, text)) return false;
    // xclip stays in the foreground (-quiet) serving the text until another
    // client takes the clipboard; a second xclip reads it back from X, so
    // the copy has happened when it answers.
    std::wstring owner = L"/usr/bin/xclip -quiet -selection clipboard \"" + UnixPath(source) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, owner.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    const std::string expected = editor_windows::Utf8(text);
    for (int i = 0, n = machine_pace::ScaledTries(20); i < n; ++i) {
        if (PastedInXProgram(folder) == expected) return true;
        Sleep(100);
    }
    return false;
}

std::string PastedInXProgram(const std::wstring& folder) {
    const std::wstring served = folder + L"\\served.txt";
    RunUnix(L"/bin/sh -c \"/usr/bin/xclip -o -selection clipboard > '" + UnixPath(served) + L"'\"");
    return ReadText(std::filesystem::path(served));
}

std::wstring ClipboardBlock() {
    std::wstring block;
    if (!editor_windows::WaitFor([] { return OpenClipboard(nullptr) != FALSE; }, 100, 20)) return L"(no clipboard)";
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        const auto* units = static_cast<const wchar_t*>(GlobalLock(data));
        const size_t size = GlobalSize(data) / sizeof(wchar_t);
        if (units) block.assign(units, size);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return block;
}
