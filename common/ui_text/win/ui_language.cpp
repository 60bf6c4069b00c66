// Menu, toolbar and tooltip titles from the current interface texts.
#include "common/ui_text/win/ui_language.h"

#include <commctrl.h>

#include <span>

#include "common/app_context.h"
#include "common/ui_text/toolbar_tooltip.h"
#include "common/ui_text/ui_text.h"

// The 32-bit program sends the 32-byte structure the toolbar expects.
static_assert(sizeof(void*) != 4 || sizeof(TBBUTTONINFOW) == 32);

namespace {

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// Popups of the context-menu resource that carry commands with titles; the
// others are retitled by their owners when shown.
constexpr int kRetitledPopups[] = {0, 1, 2, 3, 4, 5, 6, 9, 10, 11, 13, 16, 17};
constexpr int kTopLevelSlots[] = {100, 101, 102, 104, 105};
// Items of the main menu the command-title table has no record for.
constexpr struct {
    uint32_t command;
    int slot;
} kMainMenuOnlyTitles[] = {{40136, 44}};  // "Ostrel Web Site..."

}  // namespace

void ApplyUILanguageToMenu(HMENU menu) {
    if (!menu) return;
    ForEachMenuCommandTitle([menu](uint32_t command, const char16_t* text) {
        ModifyMenuW(menu, command, MF_BYCOMMAND | MF_STRING, command, Wide(text));
    });
}

void ApplyUILanguageToMenus(HMENU mainMenu, HMENU contextMenu) {
    if (mainMenu) {
        ApplyUILanguageToMenu(mainMenu);
        for (const auto& item : kMainMenuOnlyTitles)
            ModifyMenuW(mainMenu, item.command, MF_BYCOMMAND | MF_STRING, item.command, Wide(UIStringTable[item.slot]));
        int items = GetMenuItemCount(mainMenu);
        for (int position = 0; position < 5 && position < items; ++position) {
            // Keep the popup: retitle by position through its item info.
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_STRING;
            info.dwTypeData = const_cast<wchar_t*>(Wide(UIStringTable[kTopLevelSlots[position]]));
            SetMenuItemInfoW(mainMenu, position, TRUE, &info);
        }
    }
    if (contextMenu) {
        for (int popup : kRetitledPopups) ApplyUILanguageToMenu(GetSubMenu(contextMenu, popup));
    }
}

void ApplyUILanguageToToolbar(HWND toolbar) {
    if (!toolbar) return;
    ForEachMenuCommandTitle([toolbar](uint32_t command, const char16_t* text) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_TEXT | TBIF_COMMAND;
        info.idCommand = static_cast<int>(command);
        info.pszText = const_cast<wchar_t*>(Wide(text));
        SendMessageW(toolbar, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
    });
}

void ApplyUILanguageToTabs(HWND) {}

wchar_t* GetToolbarTooltip(HWND toolbar, int buttonIndex, wchar_t* out) {
    if (!toolbar || !out) return nullptr;
    TBBUTTON button{};
    if (!SendMessageW(toolbar, TB_GETBUTTON, buttonIndex, reinterpret_cast<LPARAM>(&button))) return nullptr;
    uint32_t command = static_cast<uint32_t>(button.idCommand);
    std::u16string working;
    if (TitleNamesWorkingDictionary(command)) working = App().WorkingDictionaryPath();
    std::span<char16_t> buffer(reinterpret_cast<char16_t*>(out), kToolbarTooltipUnits);
    return FormatToolbarTooltip(command, working, buffer) ? out : nullptr;
}

uint16_t SystemDefaultLanguageId() { return GetSystemDefaultLangID(); }
