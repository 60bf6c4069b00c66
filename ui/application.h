// Application: the one object that lives from program start to its end. It
// holds the folders, the settings store, the flags word of user options, the
// interface language, the screen DPI, the usage counters and the run's busy
// flags, and gives every dialog the Japanese dialog font, the help viewer and
// the message pump. The program entry (program/ostrel_pro_main.cpp) makes it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "common/settings/settings_file.h"
#include "ui/start_rules.h"

class CFonts;
class IFrameWeb;

// Bits of the flags word; the low 24 are saved as [Application] Flags.
namespace app_flag {
inline constexpr uint32_t kTranslitInLists = 0x100;
inline constexpr uint32_t kJapaneseInterface = 0x800;
inline constexpr uint32_t kClipboardMonitor = 0x1000;
inline constexpr uint32_t kTopmost = 0x2000;
inline constexpr uint32_t kEnglishInterface = 0x4000;
inline constexpr uint32_t kWindowShown = 0x8000;
inline constexpr uint32_t kTrayIcon = 0x10000;
inline constexpr uint32_t kUnderCursor = 0x20000;
inline constexpr uint32_t kModalDialog = 0x8000000;
inline constexpr uint32_t kDragging = 0x20000000;
inline constexpr uint32_t kStarted = 0x40000000;
inline constexpr uint32_t kSavedMask = 0xFFFFFF;
inline constexpr uint32_t kFirstRun = 0x29000;  // shown, clipboard monitor, under cursor
}  // namespace app_flag

inline constexpr char16_t kFrameClassName[] = u"OstrelProFrameClass";
// The window property a frame carries from the moment its closing begins
// until it is gone: a program started meanwhile must not hand over to it.
inline constexpr char16_t kFrameClosingProperty[] = u"OstrelProClosing";
inline constexpr char16_t kProgramFolderName[] = u"OstrelPro";
inline constexpr char16_t kDictionariesFolderName[] = u"Dictionaries";
// The product's web service, used when [Application] HomeSite is empty: a
// loopback address nothing listens on until the project runs a service, so
// no request leaves the machine unless the user names a site.
inline constexpr char16_t kDefaultHomeSite[] = u"http://127.0.0.1:9/";
inline constexpr int32_t kHomeSiteUnits = 255;

class Application {
public:
    // Steps 1-6 of construction: folders (created when missing), version
    // record and DPI. Both busy flags start at 1.
    explicit Application(HINSTANCE instance);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    // Removes the hook, frees Riched20.dll, closes the help viewer and OLE.
    virtual ~Application();

    // OLE, clipboard formats, usage counters, help, settings, window
    // rectangle, interface language, Riched20.dll, help file, home site. 0.
    int32_t Init();
    // Chooses the help file of the interface language (with fallback).
    void CheckHelpFiles();
    // Opens the help file chosen by CheckHelpFiles at the topic's page.
    void ShowHelpTopic(HWND parent, int32_t topic);
    // True when the chosen help file exists; otherwise "The help file %s is
    // not found." is shown over `parent` and the answer is false.
    bool HelpFileFound(HWND parent);
    // What ShowHelpTopic hands the help viewer.
    std::u16string HelpTopicTarget(int32_t topic) const { return HelpTopicPath(helpPath, topic); }
    // In the Japanese interface sends the Japanese dialog font to the listed
    // controls and returns it; otherwise 0 and nothing changes.
    HFONT ApplyDialogFont(HWND dialog, const int* controlIds);
    bool IsDeveloperBuildFolder() const;
    // True when the window is the dialog of an open book reader (the hover
    // hint explains the controls of readers).
    static bool IsBookReaderDialog(HWND window);
    // The help viewer's HtmlHelpW (hhctrl.ocx, loaded on first use); null
    // when the viewer is missing.
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, const wchar_t*, UINT, DWORD_PTR);
    HtmlHelpFunction HtmlHelp();

    uint32_t flags = 0;
    int32_t language = 0;          // 0 Russian, 1 English, 2 Japanese
    int32_t dpi = 96;              // horizontal logical pixels per inch
    IFrameWeb* web = nullptr;      // request lines, hosts, dictionary list (web services)
    int32_t updateDue = 0;         // 1 when today's update request is not sent yet
    std::u16string homeSite;       // at most 255 units
    DWORD_PTR helpCookie = 0;
    std::unique_ptr<CIni> ini;
    std::u16string programFolder;  // ends with a backslash
    std::u16string dataFolder;
    std::u16string helpPath;
    std::u16string documentsFolder;
    std::u16string dictionariesFolder;
    HINSTANCE instance = nullptr;
    HHOOK hook = nullptr;
    int32_t inputBusy = 1;         // the input box is being changed by the program
    int32_t listBusy = 1;          // lists are being switched by the program
    HMODULE richEdit = nullptr;    // Riched20.dll, null when it could not be loaded
    OSVERSIONINFOW osVersion{};
    UINT rtfFormat = 0, htmlFormat = 0;
    WindowRect window;             // normal rectangle and list height
    int32_t shellInstall = 0;
    std::unique_ptr<CFonts> fonts;       // the seven font sets; their fonts are made at start
    HFONT japaneseDialogFont = nullptr;  // font set 1's Japanese font, from the fonts object
    StatisticsRecord statistics{};

private:
    void KeepUsageCounters();
    void LoadWindowState();

    HMODULE helpLibrary_ = nullptr;
    HtmlHelpFunction htmlHelp_ = nullptr;
    bool oleStarted_ = false;
};

// The run's application object, null before construction and after deletion.
extern Application* g_application;

// Dispatches every message already queued and returns; a WM_QUIT met on the
// way is posted again so that the main loop ends.
void PumpPendingMessages();
