// Retitling under Wine: a real menu bar, a context-menu resource with 18
// popups and a toolbar, made here, are retitled in each language and read
// back through the system; tooltips come from the toolbar's own buttons.
#include "common/ui_text/win/ui_language.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/tests/fake_app_context.h"
#include "common/ui_text/toolbar_tooltip.h"
#include "common/ui_text/ui_text.h"

namespace {

std::u16string ToU16(const wchar_t* text) { return std::u16string(reinterpret_cast<const char16_t*>(text)); }

std::u16string MenuText(HMENU menu, UINT item, UINT flags) {
    wchar_t buffer[256] = {};
    GetMenuStringW(menu, item, buffer, 256, flags);
    return ToU16(buffer);
}

constexpr int kToolbarCommands[] = {40067, 40010, 40045, 12345, 40500};

class UILanguageWin : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_BAR_CLASSES};
        InitCommonControlsEx(&init);
        // The resources hold Russian texts before the first retitle.
        mainMenu_ = CreateMenu();
        const wchar_t* topLevel[] = {L"&Словарь", L"&Список", L"С&татья", L"&Карточки", L"&Настройки", L"Спр&авка"};
        for (int i = 0; i < 6; ++i) {
            HMENU popup = CreatePopupMenu();
            AppendMenuW(mainMenu_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), topLevel[i]);
            popups_.push_back(popup);
        }
        AppendMenuW(popups_[0], MF_STRING, 40070, L"Словари...");
        AppendMenuW(popups_[0], MF_STRING, 40147, L"Создать");
        AppendMenuW(popups_[1], MF_STRING, 40010, L"Поиск");
        AppendMenuW(popups_[1], MF_STRING, 40067, L"Добавить");
        AppendMenuW(popups_[3], MF_STRING, 40045, L"Запустить");
        HMENU nested = CreatePopupMenu();
        AppendMenuW(nested, MF_STRING, 40119, L"Шрифт");
        AppendMenuW(popups_[4], MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(nested), L"Вид");
        AppendMenuW(popups_[5], MF_STRING, 40117, L"Содержание");
        AppendMenuW(popups_[5], MF_STRING, 40777, L"Без записи");   // no title record
        AppendMenuW(popups_[5], MF_STRING, 40136, L"Ostrel Web Site...");  // the web site's item, slot 44

        contextMenu_ = CreateMenu();
        for (int i = 0; i < 18; ++i) {
            HMENU popup = CreatePopupMenu();
            AppendMenuW(popup, MF_STRING, 40033, L"Копировать (ресурс)");
            AppendMenuW(contextMenu_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), L"popup");
        }

        window_ = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD | TBSTYLE_LIST, 0, 0, 0, 0, window_,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(toolbar_, nullptr);
        SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        std::vector<TBBUTTON> buttons;
        for (int command : kToolbarCommands) {
            TBBUTTON button{};
            button.iBitmap = I_IMAGENONE;
            button.idCommand = command;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON | BTNS_SHOWTEXT;
            button.iString = reinterpret_cast<INT_PTR>(L"кнопка");
            buttons.push_back(button);
        }
        ASSERT_TRUE(SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())));
    }

    void TearDown() override {
        SetUILanguage(1);
        if (window_) DestroyWindow(window_);   // the toolbar goes with it
        DestroyMenu(mainMenu_);
        DestroyMenu(contextMenu_);
    }

    std::u16string ButtonText(int command) {
        wchar_t buffer[256] = {};
        TBBUTTONINFOW info{};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_TEXT;
        info.pszText = buffer;
        info.cchText = 256;
        EXPECT_NE(SendMessageW(toolbar_, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info)), -1);
        return ToU16(buffer);
    }

    void Retitle(uint32_t language) {
        SetUILanguage(language);
        ApplyUILanguageToMenus(mainMenu_, contextMenu_);
        ApplyUILanguageToToolbar(toolbar_);
        ApplyUILanguageToTabs(nullptr);
    }

    HMENU mainMenu_ = nullptr;
    HMENU contextMenu_ = nullptr;
    std::vector<HMENU> popups_;
    HWND window_ = nullptr;
    HWND toolbar_ = nullptr;
    FakeAppContext context_;
    ScopedAppContext scopedContext_{context_};
};

TEST_F(UILanguageWin, MenusFollowEachLanguage) {
    const int topSlots[] = {100, 101, 102, 104, 105};
    for (uint32_t language : {0u, 2u, 1u}) {
        Retitle(language);
        for (int position = 0; position < 5; ++position) {
            EXPECT_EQ(MenuText(mainMenu_, position, MF_BYPOSITION), UIStringTable[topSlots[position]])
                << language << " position " << position;
            EXPECT_EQ(GetSubMenu(mainMenu_, position), popups_[position]) << "popup kept";
        }
        EXPECT_EQ(MenuText(mainMenu_, 5, MF_BYPOSITION), u"Спр&авка") << "only five top-level items";
        for (uint32_t command : {40070u, 40010u, 40119u, 40117u})
            EXPECT_EQ(MenuText(mainMenu_, command, MF_BYCOMMAND), FindMenuCommandTitle(command)) << command;
        EXPECT_EQ(MenuText(mainMenu_, 40136, MF_BYCOMMAND), UIStringTable[44]) << language;
        EXPECT_EQ(MenuText(mainMenu_, 40777, MF_BYCOMMAND), u"Без записи");
    }
    // Back in English: the English titles, duplicates resolved by the later record.
    EXPECT_EQ(MenuText(mainMenu_, 0, MF_BYPOSITION), u"&Dictionary");
    EXPECT_EQ(MenuText(mainMenu_, 4, MF_BYPOSITION), u"&Help");
    EXPECT_EQ(MenuText(mainMenu_, 40147, MF_BYCOMMAND), u"Create dictionary...");
    EXPECT_EQ(MenuText(mainMenu_, 40045, MF_BYCOMMAND), u"Run Flashcards");
    EXPECT_EQ(MenuText(mainMenu_, 40067, MF_BYCOMMAND), u"Add New Article to \"%s\" Dictionary");
    EXPECT_EQ(MenuText(mainMenu_, 40117, MF_BYCOMMAND), u"Contents\tF1");
}

TEST_F(UILanguageWin, ContextMenuPopupsRetitledByTheirList) {
    const std::vector<int> retitled = {0, 1, 2, 3, 4, 5, 6, 9, 10, 11, 13, 16, 17};
    Retitle(2);
    for (int popup = 0; popup < 18; ++popup) {
        bool expected = std::find(retitled.begin(), retitled.end(), popup) != retitled.end();
        EXPECT_EQ(MenuText(GetSubMenu(contextMenu_, popup), 40033, MF_BYCOMMAND),
                  expected ? std::u16string(u"コピー") : std::u16string(u"Копировать (ресурс)"))
            << "popup " << popup;
    }
    // A popup shown later (the tray menu, popup 7) is retitled on its own.
    ApplyUILanguageToMenu(GetSubMenu(contextMenu_, 7));
    EXPECT_EQ(MenuText(GetSubMenu(contextMenu_, 7), 40033, MF_BYCOMMAND), u"コピー");
}

TEST_F(UILanguageWin, ToolbarButtonsFollowEachLanguageAndBack) {
    for (uint32_t language : {0u, 2u}) {
        Retitle(language);
        EXPECT_EQ(ButtonText(40010), FindMenuCommandTitle(40010)) << language;
        EXPECT_EQ(ButtonText(40045), FindMenuCommandTitle(40045)) << language;
        EXPECT_EQ(ButtonText(12345), u"кнопка") << "a button without a record keeps its text";
    }
    EXPECT_EQ(ButtonText(40010), u"検索");
    Retitle(1);
    EXPECT_EQ(ButtonText(40010), u"Search");
    EXPECT_EQ(ButtonText(40045), u"Run Flashcards");
    EXPECT_EQ(ButtonText(40500), u"Add Selected Text to \"%s\" Dictionary");
}

TEST_F(UILanguageWin, TooltipsNameTheWorkingDictionary) {
    wchar_t out[kToolbarTooltipUnits + 1];
    auto tooltip = [&](int index) -> std::u16string {
        std::fill(std::begin(out), std::end(out), L'#');
        wchar_t* result = GetToolbarTooltip(toolbar_, index, out);
        EXPECT_EQ(out[kToolbarTooltipUnits], L'#') << "wrote past 80 units";
        return result ? ToU16(result) : u"(null)";
    };
    context_.workingDictionary = u"C:\\Dictionaries\\Personal1.qdx";
    EXPECT_EQ(tooltip(0), u"Add New Article to \"Personal1\" Dictionary");
    EXPECT_EQ(tooltip(1), u"Search");
    EXPECT_EQ(tooltip(3), u"(null)") << "no record for the command";
    EXPECT_EQ(tooltip(42), u"(null)") << "no such button";
    context_.workingDictionary.clear();
    EXPECT_EQ(tooltip(4), u"Add Selected Text to \"\" Dictionary");
    context_.workingDictionary = u"C:\\" + std::u16string(260, u'w') + u".qdx";
    std::u16string cut = tooltip(0);
    EXPECT_EQ(cut.size(), 79u);
    EXPECT_EQ(cut.substr(0, 20), u"Add New Article to \"");
    SetUILanguage(0);
    context_.workingDictionary = u"C:\\Dictionaries\\Личный.qdx";
    EXPECT_EQ(tooltip(0), u"Добавить новую статью в словарь \"Личный\"");
}

TEST_F(UILanguageWin, SystemLanguageIdIsKnown) {
    uint16_t id = SystemDefaultLanguageId();
    EXPECT_NE(id, 0);
    uint32_t flags = 0x29000;
    uint32_t language = ChooseStartupLanguage(false, flags, id);
    EXPECT_EQ(language, id == 1041 ? 2u : id == 1049 ? 0u : 1u);
}

}  // namespace
