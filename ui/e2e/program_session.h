// The end-to-end driver's hold on one run of OstrelPro.exe under Wine: a
// private folder per test (the prefix's AppData and Documents point there),
// a prepared settings file and registry, the program started with the test
// hook on, its windows found by class, its state asked through the hook, and
// the settings and registry it leaves behind read back.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The folders of one test: <build>/ui/e2e-runs/<name>/{AppData,Documents}
// (e2e-runs-<lane> in an end-to-end lane of its own).
struct TestFolders {
    std::wstring root, appData, documents;
    std::wstring DataFolder() const { return appData + L"\\OstrelPro"; }
    std::wstring SettingsFile() const { return DataFolder() + L"\\OstrelPro.ini"; }
    std::wstring DictionariesFolder() const { return documents + L"\\OstrelPro\\Dictionaries"; }
};

// Makes empty folders for the test and points the prefix's shell folders at
// them; clears the program's registry key; sets the screen DPI and the
// Japanese font replacements; writes a settings file that holds only the
// loopback home site (a first run: no window state).
TestFolders PrepareTest(const std::wstring& name, int dpi = 96);

// Writes a UTF-16LE settings file with a byte-order mark: `text` (lines ended
// by CRLF) and a home site on a closed loopback port.
void WriteSettings(const TestFolders& folders, const std::wstring& text);
std::wstring ReadIniString(const TestFolders& folders, const wchar_t* section, const wchar_t* key);

// The program's registry values under HKCU\Software\Quellarbin\OstrelPro.
std::optional<std::vector<uint8_t>> ReadProgramValue(const wchar_t* name, DWORD* type = nullptr);

class ProgramRun {
public:
    // Starts OstrelPro.exe with `arguments`; `environment` adds or replaces
    // variables. `program` names another build of it (a benchmark's peer).
    explicit ProgramRun(const std::wstring& arguments = L"",
                        const std::map<std::wstring, std::wstring>& environment = {},
                        const std::wstring& program = L"");
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return process_ != nullptr; }
    // The frame window once it exists (null after the timeout). This wait and
    // the others here grow with the machine's load (machine_pace.h).
    HWND WaitForFrame(DWORD timeoutMs = 15000);
    // The same, with the clipboard monitor then turned off: other tests of the
    // run use the display's clipboard, and a first run monitors it, so a copy
    // elsewhere would start a clipboard search in the middle of this test.
    HWND WaitForFrameWithoutClipboardMonitor(DWORD timeoutMs = 15000);
    // Waits for the process to end; its exit code, or -1 on timeout.
    long WaitForExit(DWORD timeoutMs = 15000);
    // Chooses Exit (40001) in the frame and waits for the end.
    long Exit(HWND frame);
    // The test hook's answer as name -> value.
    std::map<std::wstring, std::wstring> QueryState(HWND frame);
    // Waits until the program's window thread has handled every message
    // posted to it before this call: a queue mark posted behind them is
    // counted (test_hook_protocol.h). A check that something did not happen
    // looks then; false when the mark is never counted.
    bool WaitForPostedMessages(HWND frame);
    // The answer once the list has stopped refreshing and loading articles
    // (two answers 300 ms apart that agree, or the last after nine seconds,
    // longer on a loaded machine).
    std::map<std::wstring, std::wstring> SettledState(HWND frame);

private:
    HANDLE process_ = nullptr;
};

// Memory in the process that owns a window, for the messages whose
// parameters point at structures (Wine marshals only the standard ones).
class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool Valid() const { return address_ != nullptr; }
    // The address `offset` bytes in, as the owning process sees it.
    LPARAM At(size_t offset) const { return reinterpret_cast<LPARAM>(static_cast<char*>(address_) + offset); }
    bool Write(size_t offset, const void* data, size_t size);
    bool Read(size_t offset, void* data, size_t size) const;

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

// The character format of `range` in a rich edit of another process.
CHARFORMAT2W RemoteCharFormat(HWND edit, CHARRANGE range);

// A child of `parent` (at any depth) of the class with the control id.
HWND FindChild(HWND parent, const wchar_t* className, int id);

// The dialog box (class "#32770") titled `title` once it is shown, waiting
// 25 ms between `tries` looks; null when it never shows.
HWND WaitForShownDialog(const wchar_t* title, int tries = 200);
// The main window of a running program, null when there is none.
HWND FindFrame();
// Closes any frame left by an earlier test and waits until it is gone.
void CloseLeftoverFrames();
// True when the main window is `width` x `height` pixels; else says what it
// is on standard output (a bench's settings whose size went unread).
bool FrameHasSize(HWND frame, int width, int height);
// Saves the screen as a PNG file for people to look at.
bool SaveScreenshot(const std::wstring& path);
// Repaints `window` (a menu, a dialog) and waits until its part of the
// screen shows the same picture twice running, with something drawn: what
// a program paints reaches the display a moment later. False when it never
// settles.
bool WaitUntilDrawn(HWND window);
// A press and release of the left button at `screen`, `window` brought to
// the front with the focus first.
void ClickAtScreen(HWND window, POINT screen);
// Puts `text` on the clipboard as Unicode text, as another program would.
bool PutClipboardText(const std::wstring& text);
// Puts `reading` in the main window's input box and waits until the current
// row's first cell is it; false when it never is.
bool MakeReadingCurrent(ProgramRun& run, HWND frame, const std::wstring& reading);
// The shown dialog owned by `owner` (a file dialog, a message box, a nested
// dialog), once it is; null after 15 seconds.
HWND WaitForDialogOf(HWND owner);
