// The program entry: brings the system up in its fixed order (locale,
// arguments, Application, single instance, settings file and installation
// id, Init, fonts, Riched20.dll, the main window and its message loop) and
// takes it down again. Every path returns 0.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <clocale>
#include <memory>
#include <string>
#include <vector>

#include "common/app_context.h"
#include "common/global_objects.h"
#include "common/ui_text/ui_text.h"
#include "common/settings/win/ensure_unicode_ini.h"
#include "common/settings/win/registry_store.h"
#include "common/win/wide_text.h"
#include "dictionary/dictionary.h"
#include "dictionary/word_list.h"
#include "japanese/everyday_spellings.h"
#include "japanese/phrase_parse.h"
#include "latin/latin_bridge.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/frame.h"
#include "ui/font_sets.h"
#include "ui/frame_furniture.h"
#include "ui/frame_article_context.h"
#include "ui/frame_article_host.h"
#include "ui/frame_shelf.h"
#include "ui/frame_translation_lists.h"
#include "ui/frame_under_cursor.h"
#include "ui/frame_web.h"
#include "import/import_registration.h"
#include "ui/program_context.h"
#include "storage/global_engine.h"
#include "ui/start_arguments.h"

namespace {

constexpr int kRichEditMissingCaptionSlot = 149;
constexpr int kRichEditMissingTextSlot = 150;
constexpr int kKanjiFontMissingCaptionSlot = 151;
constexpr int kKanjiFontMissingTextSlot = 152;
constexpr int kLatinFontMissingCaptionSlot = 153;
constexpr int kLatinFontMissingTextSlot = 154;

void ShowStartWarning(int textSlot, int captionSlot) {
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(UIStringTable[textSlot]),
                reinterpret_cast<const wchar_t*>(UIStringTable[captionSlot]), MB_ICONEXCLAMATION);
}

// Makes the seven font sets; the Japanese one of the base set becomes the
// dialogs' Japanese font.
void CreateProgramFonts(Application& app) {
    app.fonts->CreateFonts(app.ini.get());
    app.japaneseDialogFont = app.fonts->Set(kBaseFontSet).Font(kJapaneseSlot);
}

// Warnings only: the program goes on without the font.
void WarnOfMissingFonts(const CFonts& fonts) {
    if (fonts.KanjiFontMissing()) ShowStartWarning(kKanjiFontMissingTextSlot, kKanjiFontMissingCaptionSlot);
    if (!fonts.LatinFontCreated()) ShowStartWarning(kLatinFontMissingTextSlot, kLatinFontMissingCaptionSlot);
}

// The arguments after the program's own name.
std::vector<std::u16string> SplitCommandLine() {
    std::vector<std::u16string> arguments;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv) return arguments;
    for (int i = 1; i < count; ++i) arguments.emplace_back(Char16View(argv[i]));
    LocalFree(argv);
    return arguments;
}

// How long a start waits for a closing instance to end.
constexpr DWORD kClosingWaitMs = 30000;

// A frame that is not closing (null when there is none); `closing` receives
// the last closing one found.
HWND FindRunningFrame(HWND& closing) {
    const std::wstring frameClass = WideString(kFrameClassName);
    const std::wstring closingMark = WideString(kFrameClosingProperty);
    closing = nullptr;
    for (HWND frame = FindWindowExW(nullptr, nullptr, frameClass.c_str(), nullptr); frame;
         frame = FindWindowExW(nullptr, frame, frameClass.c_str(), nullptr)) {
        if (!GetPropW(frame, closingMark.c_str())) return frame;
        closing = frame;
    }
    return nullptr;
}

// Waits at most `timeoutMs` for the program that owns `window` to end.
void WaitForOwnerToEnd(HWND window, DWORD timeoutMs) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) {
        Sleep(std::min<DWORD>(timeoutMs, 50));  // ending already: look again shortly
        return;
    }
    WaitForSingleObject(process, timeoutMs);
    CloseHandle(process);
}

// A running instance is shown (twice 40051 when minimised) and brought
// forward; true when one exists. An instance whose frame is closing is
// waited for, so that a start made while it saves is not lost: this program
// then starts on its own, after the settings are written. One that does not
// end within the limit still counts as running (never two at once).
bool ShowRunningInstance() {
    const DWORD start = GetTickCount();
    HWND closing = nullptr;
    HWND running = FindRunningFrame(closing);
    while (!running && closing) {
        DWORD waited = GetTickCount() - start;
        if (waited >= kClosingWaitMs) return true;
        WaitForOwnerToEnd(closing, kClosingWaitMs - waited);
        running = FindRunningFrame(closing);
    }
    if (!running) return false;
    if (!IsWindowVisible(running)) PostMessageW(running, WM_COMMAND, cmd::kShowWindow, 0);
    if (IsIconic(running)) PostMessageW(running, WM_COMMAND, cmd::kShowWindow, 0);
    SetForegroundWindow(running);
    return true;
}

// The shelf's dictionaries without the hidden flag, in shelf order: the
// update request names them.
std::vector<std::u16string> VisibleDictionaryPaths(const CShelf& shelf) {
    std::vector<std::u16string> paths;
    for (int32_t i = 0; i < shelf.DictionaryCount(); ++i) {
        const RDFDictionary* dictionary = shelf.GetDictionary(i);
        if (dictionary && (dictionary->flags & kDictionaryHidden) == 0) paths.push_back(dictionary->File().path);
    }
    return paths;
}

void RunMainWindow(HINSTANCE instance, std::vector<std::u16string> arguments, int showMode) {
    Application& app = *g_application;
    auto frame = std::make_unique<CFrame>(instance, 0, std::move(arguments), showMode);
    g_frame = frame.get();
    FrameFurniture furniture(*frame);
    frame->furniture = &furniture;
    FrameShelf shelf(*frame);
    frame->lists = &shelf;
    frame->startShelf = &shelf;
    // The program's one Latin bridge: the translator's Latin look-ups go
    // through it. It goes after the frame and before the shelf.
    LatinBridge latinBridge;
    SetCurrentLatinBridge(&latinBridge);
    FrameTranslationLists translationLists(*frame, shelf);
    FrameTranslator translator(translationLists, app.ini.get());
    frame->translator = &translator;
    FrameUnderCursor underCursor(*frame);
    frame->textUnderCursor = &underCursor;
    // Search as you type cuts a typed phrase no dictionary holds into words.
    WordList* readings = shelf.Shelf().GetWordList(kListReadings);
    WordList* translatedWords = shelf.Shelf().GetWordList(kListTranslatedWords);
    std::unique_ptr<ostrel::japanese::PhraseSearchSplitter> splitter;
    if (readings && translatedWords) {
        splitter = std::make_unique<ostrel::japanese::PhraseSearchSplitter>(translator.Translator(),
                                                                            translator.Options(), *translatedWords);
        splitter->keyToInput = [](void* input, std::u16string_view key) { static_cast<CInput*>(input)->SetText(key); };
        splitter->keyToInputContext = &shelf.Input();
        readings->phraseSplitter = splitter.get();
    }
    // A reading typed whole stands on its everyday spelling.
    if (readings) readings->spellingPreference = &ostrel::japanese::EverydaySpellings();
    FrameArticleHost articleHost(shelf);
    SetArticleViewHost(&articleHost);
    FrameArticleContext articleContext(shelf.Shelf());
    SetArticleContext(&articleContext);
    FrameWeb web(app, [&shelf] { return VisibleDictionaryPaths(shelf.Shelf()); });
    app.web = &web;
    if (frame->Create(app.window.x, app.window.y, app.window.width, app.window.height)) frame->MessageLoop();
    frame.reset();
    app.web = nullptr;
    if (readings) {
        readings->phraseSplitter = nullptr;
        readings->spellingPreference = nullptr;
    }
    SetArticleViewHost(nullptr);
    SetArticleContext(nullptr);
    g_frame = nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showMode) {
    ProgramGlobals globals(StorageEngineHooks());
    RegisterImportParsers();
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_TIME, "English");
    std::vector<std::u16string> arguments = SplitCommandLine();

    ProgramContext context;
    auto application = std::make_unique<Application>(instance);
    g_application = application.get();
    SetAppContext(&context);
    if (!ShowRunningInstance()) {
        EnsureUnicodeIni(application->dataFolder);
        EnsureInstallationId();
        application->Init();
        bool uninstall = !arguments.empty() && IsUninstallArgument(arguments[0]);
        if (!uninstall) {
            CreateProgramFonts(*application);
            if (!application->richEdit) {
                ShowStartWarning(kRichEditMissingTextSlot, kRichEditMissingCaptionSlot);
            } else {
                WarnOfMissingFonts(*application->fonts);
                RunMainWindow(instance, std::move(arguments), showMode);
            }
        }
    }
    SetAppContext(nullptr);
    application.reset();
    g_application = nullptr;
    return 0;
}
