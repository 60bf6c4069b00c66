// Starting, asking and reading back one run of OstrelPro.exe.
#include "common/tests/test_paths.h"
#include "ui/e2e/program_session.h"

#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <cstdio>

#include "common/win/tests/key_typing.h"
#include "common/win/tests/screen_ink.h"
#include "ui/e2e/machine_pace.h"
#include "ui/test_hook_protocol.h"

namespace {

constexpr wchar_t kShellFoldersKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t kProgramKey[] = L"Software\\Quellarbin\\OstrelPro";
constexpr wchar_t kLoopbackHomeSite[] = L"http://127.0.0.1:9/";

std::wstring Widen(const char* text) {
    std::wstring out;
    for (; *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    std::replace(out.begin(), out.end(), L'/', L'\\');
    return out;
}

void SetString(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value) {
    RegSetKeyValueW(root, key, name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// The folder of the cases' folders: an end-to-end lane (OSTREL_E2E_LANE) has
// its own, since entries of two lanes run side by side and some cases of one
// fixture share a folder name.
std::wstring RunsFolderName() {
    wchar_t lane[16] = {};
    if (GetEnvironmentVariableW(L"OSTREL_E2E_LANE", lane, 16) == 0 || lane[0] == 0) return L"e2e-runs";
    return std::wstring(L"e2e-runs-") + lane;
}

void RemoveTree(const std::wstring& folder) {
    std::wstring pattern = folder + L"\\*";
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
            else DeleteFileW(path.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// The window that receives the test hook's answer.
struct AnswerWindow {
    std::wstring text;
    bool answered = false;

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COPYDATA) {
            auto* self = reinterpret_cast<AnswerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (self && data && data->dwData == kTestAnswerState) {
                self->text.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
                self->answered = true;
            }
            return 1;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

}  // namespace

TestFolders PrepareTest(const std::wstring& name, int dpi) {
    TestFolders folders;
    folders.root = Widen(BinaryPath().c_str()) + L"\\ui\\" + RunsFolderName() + L"\\" + name;
    RemoveTree(folders.root);
    SHCreateDirectoryExW(nullptr, folders.root.c_str(), nullptr);
    folders.appData = folders.root + L"\\AppData";
    folders.documents = folders.root + L"\\Documents";
    CreateDirectoryW(folders.appData.c_str(), nullptr);
    CreateDirectoryW(folders.documents.c_str(), nullptr);
    SetString(HKEY_CURRENT_USER, kShellFoldersKey, L"AppData", folders.appData);
    SetString(HKEY_CURRENT_USER, kShellFoldersKey, L"Personal", folders.documents);
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
    DWORD pixels = static_cast<DWORD>(dpi);
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &pixels, sizeof(pixels));
    // No window manager runs on the test display: windows Wine leaves to
    // one would wait two seconds for it each time they are hidden.
    SetString(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Managed", L"N");
    // The Japanese faces the program asks for, from Debian's IPA fonts
    // (as tools/ci/wine-fonts.sh gives them).
    SetString(HKEY_CURRENT_USER, L"Software\\Wine\\Fonts\\Replacements", L"MS UI Gothic", L"IPAPGothic");
    SetString(HKEY_CURRENT_USER, L"Software\\Wine\\Fonts\\Replacements", L"MS Gothic", L"IPAGothic");
    // Never the product's web service: the update check goes to a closed loopback port.
    WriteSettings(folders, L"");
    return folders;
}

void WriteSettings(const TestFolders& folders, const std::wstring& text) {
    CreateDirectoryW(folders.DataFolder().c_str(), nullptr);
    const std::wstring section = L"[Application]\r\n";
    const std::wstring homeSite = L"HomeSite=" + std::wstring(kLoopbackHomeSite) + L"\r\n";
    std::wstring content = L"\xFEFF" + text;
    size_t at = content.find(section);
    // A test that names its own (loopback) site keeps it.
    if (text.find(L"HomeSite=") == std::wstring::npos) {
        if (at == std::wstring::npos) content += section + homeSite;
        else content.insert(at + section.size(), homeSite);
    }
    HANDLE file = CreateFileW(folders.SettingsFile().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
}

std::wstring ReadIniString(const TestFolders& folders, const wchar_t* section, const wchar_t* key) {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(section, key, L"", value, 1024, folders.SettingsFile().c_str());
    return value;
}

std::optional<std::vector<uint8_t>> ReadProgramValue(const wchar_t* name, DWORD* type) {
    DWORD size = 0, kind = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kProgramKey, name, RRF_RT_ANY, &kind, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<uint8_t> data(size);
    if (RegGetValueW(HKEY_CURRENT_USER, kProgramKey, name, RRF_RT_ANY, &kind, data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size);
    if (type) *type = kind;
    return data;
}

ProgramRun::ProgramRun(const std::wstring& arguments, const std::map<std::wstring, std::wstring>& environment,
                       const std::wstring& program) {
    std::wstring exe = program.empty() ? Widen(BinaryPath().c_str()) + L"\\OstrelPro.exe" : program;
    std::map<std::wstring, std::wstring> variables;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
            std::wstring line = entry;
            size_t equals = line.find(L'=', 1);
            if (equals != std::wstring::npos) variables[line.substr(0, equals)] = line.substr(equals + 1);
        }
        FreeEnvironmentStringsW(block);
    }
    variables[L"OSTREL_TEST_HOOK"] = L"1";
    for (const auto& [name, value] : environment) variables[name] = value;
    std::wstring block;
    for (const auto& [name, value] : variables) block += name + L"=" + value + L'\0';
    block += L'\0';
    std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                       block.data(), nullptr, &startup, &info)) {
        process_ = info.hProcess;
        CloseHandle(info.hThread);
    }
}

ProgramRun::~ProgramRun() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        if (HWND frame = FindFrame()) PostMessageW(frame, WM_COMMAND, 40001, 0);
        if (WaitForSingleObject(process_, machine_pace::ScaledMs(10000)) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 5000);  // termination ends the process later
        }
    }
    CloseHandle(process_);
}

namespace {

BOOL CALLBACK TellShownWindow(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != static_cast<DWORD>(processId) || !IsWindowVisible(window)) return TRUE;
    wchar_t type[64] = {}, title[256] = {};
    GetClassNameW(window, type, 64);
    GetWindowTextW(window, title, 256);
    std::fprintf(stderr, "  shown: %ls \"%ls\"\n", type, title);
    return TRUE;
}

}  // namespace

HWND ProgramRun::WaitForFrame(DWORD timeoutMs) {
    timeoutMs = machine_pace::ScaledMs(timeoutMs);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (HWND frame = FindFrame()) {
            // Created and past its start-up (flag 0x40000000): the hook
            // answers as soon as the window exists, while Create still runs.
            std::map<std::wstring, std::wstring> state = QueryState(frame);
            if (!state.empty() && (std::wcstoul(state[L"flags"].c_str(), nullptr, 10) & 0x40000000u)) return frame;
        }
        if (process_ && WaitForSingleObject(process_, 50) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process_, &code);
            std::fprintf(stderr, "OstrelPro.exe ended with %lu after %lu ms, before its frame was up\n", code,
                         GetTickCount() - start);
            return nullptr;
        }
    }
    HWND frame = FindFrame();
    std::fprintf(stderr, "OstrelPro.exe not started after %lu ms (frame %p, flags %ls)\n", GetTickCount() - start,
                 static_cast<void*>(frame), frame ? QueryState(frame)[L"flags"].c_str() : L"-");
    // What the program shows instead (a box that holds the start).
    if (process_) EnumWindows(&TellShownWindow, static_cast<LPARAM>(GetProcessId(process_)));
    return nullptr;
}

HWND ProgramRun::WaitForFrameWithoutClipboardMonitor(DWORD timeoutMs) {
    HWND frame = WaitForFrame(timeoutMs);
    if (frame) SendMessageW(frame, WM_COMMAND, 40009, 0);  // clipboard monitor off
    return frame;
}

long ProgramRun::WaitForExit(DWORD timeoutMs) {
    if (!process_ || WaitForSingleObject(process_, machine_pace::ScaledMs(timeoutMs)) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<long>(code);
}

long ProgramRun::Exit(HWND frame) {
    PostMessageW(frame, WM_COMMAND, 40001, 0);
    return WaitForExit();
}

std::map<std::wstring, std::wstring> ProgramRun::QueryState(HWND frame) {
    static ATOM atom = [] {
        WNDCLASSW type{};
        type.lpfnWndProc = &AnswerWindow::Proc;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"OstrelE2EAnswer";
        return RegisterClassW(&type);
    }();
    std::map<std::wstring, std::wstring> state;
    if (!atom) return state;
    AnswerWindow answer;
    HWND window = CreateWindowExW(0, L"OstrelE2EAnswer", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&answer));
    COPYDATASTRUCT query{kTestQueryState, 0, nullptr};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(frame, WM_COPYDATA, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&query),
                        SMTO_NORMAL, 5000, &result);
    DestroyWindow(window);
    if (!answer.answered) return state;
    size_t start = 0;
    while (start < answer.text.size()) {
        size_t end = answer.text.find(L'\n', start);
        if (end == std::wstring::npos) end = answer.text.size();
        std::wstring line = answer.text.substr(start, end - start);
        size_t equals = line.find(L'=');
        if (equals != std::wstring::npos) state[line.substr(0, equals)] = line.substr(equals + 1);
        start = end + 1;
    }
    return state;
}

bool ProgramRun::WaitForPostedMessages(HWND frame) {
    const std::wstring before = QueryState(frame)[L"marks"];
    if (before.empty() || !PostMessageW(frame, kTestQueueMark, 0, 0)) return false;
    const long long counted = std::stoll(before) + 1;
    for (int i = 0, n = machine_pace::ScaledTries(500); i < n; ++i, Sleep(20)) {
        const std::wstring now = QueryState(frame)[L"marks"];
        if (!now.empty() && std::stoll(now) >= counted) return true;
    }
    return false;
}

RemoteMemory::RemoteMemory(HWND window, size_t size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteMemory::~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
}

bool RemoteMemory::Write(size_t offset, const void* data, size_t size) {
    SIZE_T written = 0;
    return address_ && WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &written) &&
           written == size;
}

bool RemoteMemory::Read(size_t offset, void* data, size_t size) const {
    SIZE_T read = 0;
    return address_ && ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &read) &&
           read == size;
}

CHARFORMAT2W RemoteCharFormat(HWND edit, CHARRANGE range) {
    RemoteMemory memory(edit, sizeof(CHARRANGE) + sizeof(CHARFORMAT2W));
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    memory.Write(0, &range, sizeof(range));
    memory.Write(sizeof(range), &format, sizeof(format));
    SendMessageW(edit, EM_EXSETSEL, 0, memory.At(0));
    SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, memory.At(sizeof(range)));
    memory.Read(sizeof(range), &format, sizeof(format));
    return format;
}

namespace {
struct ChildSearch {
    const wchar_t* className;
    int id;
    HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM context) {
    auto* search = reinterpret_cast<ChildSearch*>(context);
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    if (_wcsicmp(name, search->className) != 0 || GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}
}  // namespace

HWND FindChild(HWND parent, const wchar_t* className, int id) {
    ChildSearch search{className, id, nullptr};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForShownDialog(const wchar_t* title, int tries) {
    for (int i = 0, n = machine_pace::ScaledTries(tries); i < n; ++i) {
        HWND window = FindWindowW(L"#32770", title);
        if (window != nullptr && IsWindowVisible(window)) return window;
        Sleep(25);
    }
    return nullptr;
}

HWND FindFrame() { return FindWindowW(L"OstrelProFrameClass", nullptr); }

void CloseLeftoverFrames() {
    // The pointer a case before left over a toolbar button would show that
    // button's tooltip over the next program's window, where cases read ink.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    // The window goes before its program ends: the program is waited for too,
    // so that the next start meets no instance still closing.
    HANDLE owner = nullptr;
    for (int i = 0; i < 100; ++i) {
        HWND frame = FindFrame();
        if (!frame) break;
        DWORD processId = 0;
        GetWindowThreadProcessId(frame, &processId);
        if (owner) CloseHandle(owner);
        owner = OpenProcess(SYNCHRONIZE, FALSE, processId);
        PostMessageW(frame, WM_COMMAND, 40001, 0);
        Sleep(100);
    }
    if (owner) {
        WaitForSingleObject(owner, machine_pace::ScaledMs(10000));
        CloseHandle(owner);
    }
}

std::map<std::wstring, std::wstring> ProgramRun::SettledState(HWND frame) {
    std::map<std::wstring, std::wstring> last = QueryState(frame);
    for (int i = 0, n = machine_pace::ScaledTries(30); i < n; ++i) {
        Sleep(300);
        std::map<std::wstring, std::wstring> now = QueryState(frame);
        if (now[L"refreshes"] == last[L"refreshes"] && now[L"articles"] == last[L"articles"]) return now;
        last = now;
    }
    return last;
}

void ClickAtScreen(HWND window, POINT screen) {
    key_typing::FocusWindow(window);
    SetCursorPos(screen.x, screen.y);
    INPUT clicks[2]{};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

bool SaveScreenshot(const std::wstring& path) { return screen_ink::SaveScreenshot(path); }

bool WaitUntilDrawn(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    screen_ink::Ink last = screen_ink::InkOf(window);
    for (int i = 0, n = machine_pace::ScaledTries(40); i < n && IsWindow(window); ++i) {
        Sleep(25);
        screen_ink::Ink now = screen_ink::InkOf(window);
        if (now == last && now.Count() > 0) return true;
        last = std::move(now);
    }
    return false;
}

HWND WaitForDialogOf(HWND owner) {
    for (int i = 0, n = machine_pace::ScaledTries(300); i < n; ++i, Sleep(50))
        for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr))
            if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) return w;
    return nullptr;
}

bool PutClipboardText(const std::wstring& text) {
    bool open = false;
    for (int i = 0; i < 100 && !(open = OpenClipboard(nullptr) != FALSE); ++i) Sleep(20);
    if (!open) return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (memory) {
        std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
    return memory != nullptr;
}

bool MakeReadingCurrent(ProgramRun& run, HWND frame, const std::wstring& reading) {
    HWND input = FindChild(frame, L"RichEdit20W", 202);
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(reading.c_str()));
    for (int tries = 0, n = machine_pace::ScaledTries(100); tries < n; ++tries) {
        std::map<std::wstring, std::wstring> state = run.QueryState(frame);
        if (!state[L"current"].empty() && !state[L"top"].empty()) {
            const int row = std::stoi(state[L"current"]) - std::stoi(state[L"top"]);
            if (state[L"cell." + std::to_wstring(row) + L".0"] == reading) return true;
        }
        Sleep(50);
    }
    return false;
}

bool FrameHasSize(HWND frame, int width, int height) {
    RECT r{};
    if (!GetWindowRect(frame, &r)) return false;
    if (r.right - r.left == width && r.bottom - r.top == height) return true;
    std::printf("the main window is %ldx%ld, not %dx%d\n", r.right - r.left, r.bottom - r.top, width, height);
    return false;
}
