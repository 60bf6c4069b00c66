// Application: construction (folders, DPI), Init in its fixed order, and the
// small services every dialog uses (help, dialog font, message pump).
#include "ui/application.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstring>

#include "book/win/book_reader.h"
#include "common/settings/registry_values.h"
#include "common/ui_text/ui_text.h"
#include "common/win/dialog_helpers.h"
#include "common/settings/win/private_profile_store.h"
#include "common/settings/win/registry_store.h"
#include "common/win/wide_text.h"
#include "ui/command_rules.h"
#include "ui/font_sets.h"

Application* g_application = nullptr;

namespace {

constexpr UINT kHelpDisplayTopic = 0x0000;
constexpr UINT kHelpInitialize = 0x001C;
constexpr UINT kHelpUninitialize = 0x001D;
constexpr int32_t kHelpMissingSlot = 166;         // "The help file %s is not found."
constexpr int32_t kHelpMissingCaptionSlot = 167;  // "Help file not found"

std::u16string ModuleFolder(HINSTANCE instance) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    std::u16string folder(Char16View(std::wstring_view(path, length < MAX_PATH ? length : 0)));
    size_t slash = folder.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : folder.substr(0, slash + 1);
}

// The special folder plus `name`, created when missing; `fallback` when the
// special folder is unknown. Creation errors are not reported.
std::u16string SpecialSubfolder(int csidl, std::u16string_view name, const std::u16string& fallback) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) || !path[0]) return fallback;
    std::u16string folder(Char16View(path));
    if (folder.back() != u'\\') folder += u'\\';
    folder += name;
    if (folder.size() >= MAX_PATH) return fallback;
    CreateDirectoryW(WideString(folder).c_str(), nullptr);
    return folder;
}

bool FileExists(const std::u16string& path) {
    DWORD attributes = GetFileAttributesW(WideString(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

RegistryDate Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return RegistryDate{now.wYear, now.wMonth, now.wDayOfWeek, now.wDay,
                        now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

std::span<const uint8_t> DateBytes(const RegistryDate& date) {
    return {reinterpret_cast<const uint8_t*>(&date), sizeof(date)};
}

}  // namespace

Application::Application(HINSTANCE instanceHandle) : instance(instanceHandle) {
    programFolder = ModuleFolder(instance);
    dataFolder = SpecialSubfolder(CSIDL_APPDATA, kProgramFolderName, programFolder);
    documentsFolder = SpecialSubfolder(CSIDL_PERSONAL, kProgramFolderName, programFolder);
    dictionariesFolder = documentsFolder;
    if (!dictionariesFolder.empty() && dictionariesFolder.back() != u'\\') dictionariesFolder += u'\\';
    dictionariesFolder += kDictionariesFolderName;
    CreateDirectoryW(WideString(dictionariesFolder).c_str(), nullptr);

    osVersion.dwOSVersionInfoSize = sizeof(osVersion);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&osVersion);
#pragma GCC diagnostic pop

    using SetAwareFunction = BOOL(WINAPI*)();
    if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
        if (auto setAware = reinterpret_cast<SetAwareFunction>(
                reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDPIAware"))))
            setAware();
    }
    HDC screen = GetDC(nullptr);
    if (screen) {
        int pixels = GetDeviceCaps(screen, LOGPIXELSX);
        if (pixels > 0) dpi = pixels;
        ReleaseDC(nullptr, screen);
    }
}

Application::~Application() {
    if (hook) UnhookWindowsHookEx(hook);
    japaneseDialogFont = nullptr;
    fonts.reset();
    ini.reset();
    if (richEdit) FreeLibrary(richEdit);
    if (htmlHelp_) htmlHelp_(nullptr, nullptr, kHelpUninitialize, helpCookie);
    if (helpLibrary_) FreeLibrary(helpLibrary_);
    if (oleStarted_) OleUninitialize();
    Sleep(10);
}

int32_t Application::Init() {
    oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
    rtfFormat = RegisterClipboardFormatW(L"Rich Text Format");
    htmlFormat = RegisterClipboardFormatW(L"HTML Format");

    KeepUsageCounters();
    if (HtmlHelpFunction help = HtmlHelp())
        help(nullptr, nullptr, kHelpInitialize, reinterpret_cast<DWORD_PTR>(&helpCookie));

    ini = OpenSettingsFile(dataFolder);
    ini->LoadMainState();
    shellInstall = ini->GetInt(u"Application", u"ShellInstall", 0);
    LoadWindowState();
    SetUILanguage(static_cast<uint32_t>(language));

    if (HWND running = FindWindowW(WideString(kFrameClassName).c_str(), nullptr)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        if (GetWindowPlacement(running, &placement)) {
            int caption = GetSystemMetrics(SM_CYCAPTION);
            const RECT& normal = placement.rcNormalPosition;
            window.x = normal.left + caption;
            window.y = normal.top + caption;
            window.width = normal.right - normal.left;
            window.height = normal.bottom - normal.top;
        }
        flags |= app_flag::kWindowShown;
    }
    // On the work area of the screen nearest to the stored corner: a place off
    // every screen would otherwise be saved again at exit.
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromPoint(POINT{window.x, window.y}, MONITOR_DEFAULTTONEAREST), &monitor))
        work = monitor.rcWork;
    KeepOnWorkArea(window, WindowRect{work.left, work.top, work.right - work.left, work.bottom - work.top});

    fonts = std::make_unique<CFonts>();  // the fonts themselves are made later in the start
    richEdit = LoadLibraryW(L"Riched20.dll");
    CheckHelpFiles();
    homeSite = ini->GetString(u"Application", u"HomeSite", kDefaultHomeSite, kHomeSiteUnits);
    return 0;
}

void Application::KeepUsageCounters() {
    RegistryDate today = Today();
    std::array<uint8_t, kRegistryDateBytes> stored{};
    uint32_t size = RegGetBinary(kLastDateValue, stored);
    if (!IsStoredDateToday(std::span<const uint8_t>(stored.data(), size), today)) {
        RegSetBinary(kLastDateValue, DateBytes(today));
        uint32_t days = 0;
        RegGetDword(kWorkingDaysValue, days);
        RegSetDword(kWorkingDaysValue, days + 1);
    }
    size = RegGetBinary(kUpdateReqDateValue, stored);
    updateDue = IsStoredDateToday(std::span<const uint8_t>(stored.data(), size), today) ? 0 : 1;
    statistics.fill(0);
    std::array<uint8_t, kStatisticsBytes> record{};
    if (RegGetBinary(kStatisticsValue, record) == kStatisticsBytes) statistics = record;
}

void Application::LoadWindowState() {
    if (ini->valid) {
        flags = ini->flags & app_flag::kSavedMask;
        window.x = ini->x;
        window.y = ini->y;
        window.width = ini->cx;
        window.height = ini->cy;
        window.listHeight = ini->cy2;
    } else {
        window = FirstRunRect(dpi, GetSystemMetrics(SM_CXFULLSCREEN));
        flags |= app_flag::kFirstRun;
    }
    language = static_cast<int32_t>(ChooseStartupLanguage(ini->valid != 0, flags, GetSystemDefaultLangID()));
}

void Application::CheckHelpFiles() { helpPath = ChooseHelpFile(language, programFolder, FileExists); }

Application::HtmlHelpFunction Application::HtmlHelp() {
    if (!helpLibrary_) {
        helpLibrary_ = LoadLibraryW(L"hhctrl.ocx");
        if (helpLibrary_)
            htmlHelp_ = reinterpret_cast<HtmlHelpFunction>(
                reinterpret_cast<void*>(GetProcAddress(helpLibrary_, "HtmlHelpW")));
    }
    return htmlHelp_;
}

void Application::ShowHelpTopic(HWND parent, int32_t topic) {
    // The file CheckHelpFiles chose: with only another language's file
    // installed, the interface language's own file would not exist.
    if (!HelpFileFound(parent)) return;
    std::wstring path = WideString(HelpTopicTarget(topic));
    if (HtmlHelpFunction help = HtmlHelp()) help(parent, path.c_str(), kHelpDisplayTopic, 0);
}

bool Application::IsBookReaderDialog(HWND window) { return window && CParaViewerDlg::IsReaderDialog(window); }

bool Application::HelpFileFound(HWND parent) {
    if (FileExists(helpPath)) return true;
    // Without it the help viewer would open nothing and say nothing.
    std::u16string text = FillName(UIStringTable[kHelpMissingSlot], helpPath);
    MessageBoxW(parent, WideString(text).c_str(), reinterpret_cast<const wchar_t*>(UIStringTable[kHelpMissingCaptionSlot]),
                MB_OK | MB_ICONINFORMATION);
    return false;
}

HFONT Application::ApplyDialogFont(HWND dialog, const int* controlIds) {
    if (language != 2 || !japaneseDialogFont) return nullptr;
    SetControlsFont(dialog, japaneseDialogFont, controlIds);
    return japaneseDialogFont;
}

bool Application::IsDeveloperBuildFolder() const { return IsDeveloperBuildPath(programFolder); }

void PumpPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
