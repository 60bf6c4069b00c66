// The word lists' own painting (rows drawn into a memory bitmap in the list
// fonts the program makes at start): a row of Latin, Cyrillic, kana or
// kanji text is drawn as real glyphs (two different characters of each
// script, told from the box of a missing glyph) in the Russian, English and
// Japanese interfaces. The lists are kept as screenshots under the build tree.
#include <gtest/gtest.h>

#include <windows.h>
// The dictionary fixture calls the engine's CreateFile, which <windows.h> maps to CreateFileW.
#undef CreateFile

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "common/tests/test_paths.h"
#include "common/ui_text/ui_text.h"
#include "common/win/tests/screen_ink.h"
#include "dictionary/tests/own_text_rows.h"
#include "dictionary/tests/word_list_fixture.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_entry.h"
#include "ui/application.h"
#include "ui/font_sets.h"
#include "ui/frame.h"
#include "ui/list_view.h"
#include "ui/tests/list_view_test_site.h"

namespace {

struct Interface {
    const char* name;
    int32_t language;  // 0 Russian, 1 English, 2 Japanese
    uint32_t flags;
};

void Pump() {
    for (int i = 0; i < 3; ++i) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(20);
    }
}

// A dictionary on the shelf: a list's cells are filled only beside one.
class ListGlyphs : public WordListTest {};

TEST_F(ListGlyphs, RowsOfEveryScriptAreRealGlyphsInEveryInterface) {
    AddSynthetic(u"C:\\D\\words.qdx", {{u"a", u"b"}});
    const Interface interfaces[] = {{"Russian", 0, 0},
                                    {"English", 1, app_flag::kEnglishInterface},
                                    {"Japanese", 2, app_flag::kJapaneseInterface}};
    const std::string shots = BinaryPath("/ui/list-glyphs");
    std::filesystem::create_directories(shots);
    ListView::RegisterWindowClass();
    for (const Interface& in : interfaces) {
        // The program's start: the interface language, then the fonts.
        auto app = std::make_unique<Application>(GetModuleHandleW(nullptr));
        g_application = app.get();
        app->flags = app_flag::kWindowShown | in.flags;
        app->language = in.language;
        SetUILanguage(static_cast<uint32_t>(in.language));
        app->fonts = std::make_unique<CFonts>();
        app->fonts->CreateFonts(nullptr);

        // A list of a row under test and a word of each script.
        std::unique_ptr<WordList> owner = ListOfShelf(kListSelected);
        WordList& list = *owner;
        AppendOwnTextRow(list, u"");
        for (const char16_t* word : {u"Word", u"\u0421\u043B\u043E\u0432\u043E", u"\u3053\u3068\u3070", u"\u8A00\u8449"})
            AppendOwnTextRow(list, word);
        HWND parent = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 10, 500, 300, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
        TestSite site;
        auto view = std::make_unique<ListView>(kViewSelected, &list, site);
        ASSERT_TRUE(view->Create(parent, 0, 0, 480, 280));
        view->Move(0, 0, 480, 280);
        view->Show(SW_SHOW);
        // The row under test is not the current one: it keeps the window's colours.
        view->GoToFirst();
        SendMessageW(view->Window(), WM_KEYDOWN, VK_DOWN, 0);
        ASSERT_NE(ListFont(kJapaneseSlot), nullptr);

        const RECT firstRow{0, view->headerHeight, 240, view->headerHeight + view->lineHeight};
        auto draw = [&](const std::wstring& text) {
            WordListEntry* entry = list.RowEntry(0);
            const std::u16string row(text.begin(), text.end());
            entry->textOffset = static_cast<uint32_t>(list.AddText(row));
            entry->textLength = static_cast<uint32_t>(row.size());
            RedrawWindow(view->Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            Pump();
            return screen_ink::InkOf(view->Window(), &firstRow);
        };
        EXPECT_TRUE(screen_ink::DrawsRealGlyphs(draw)) << in.name << " interface";
        draw(L"w g \u0416\u0434 \u3042\u306D \u732B\u8A9E");
        screen_ink::SaveScreenshot(std::filesystem::path(shots + "/list_" + in.name + ".png").wstring());

        view.reset();
        DestroyWindow(parent);
        Pump();
        g_application = nullptr;
    }
    SetUILanguage(1);
    UnregisterClassW(reinterpret_cast<const wchar_t*>(kListViewClassName), GetModuleHandleW(nullptr));
}

}  // namespace
