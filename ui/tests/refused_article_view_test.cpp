// A row whose article the engine refuses to read (its data block claims a
// byte more than its chain holds; the index is intact) is told the moment
// the row is shown, once, naming the file: not at the next search, and not
// again when the row is shown again. The rows around it show their articles
// and tell nothing.
#include <gtest/gtest.h>

#include <windows.h>
// The dictionary fixture calls the engine's CreateFile, which <windows.h> maps to CreateFileW.
#undef CreateFile

#include <memory>
#include <string>

#include "common/ui_text/ui_text.h"
#include "dictionary/tests/word_list_fixture.h"
#include "dictionary/word_list.h"
#include "storage/byte_order.h"
#include "storage/data_blocks.h"
#include "ui/application.h"
#include "ui/font_sets.h"
#include "ui/list_view.h"
#include "ui/tests/list_view_test_site.h"

namespace {

class RefusedArticleView : public WordListTest {};

TEST_F(RefusedArticleView, ADamagedArticleIsToldWhenItsRowIsShown) {
    const std::u16string path = u"C:\\D\\words.qdx";
    RDFDictionary* words = AddSynthetic(path, {{u"\u3042\u3044", u"\u611B"}, {u"\u3044\u306C", u"\u72AC"},
                                               {u"\u306D\u3053", u"\u732B"}},
                                        kIndexReadingWord, kStoredRecords);
    const uint32_t damaged = RefAt(words, 1);
    // Damaged while closed: the open reads the first article's page.
    words->Close();
    std::vector<uint8_t> bytes = *disk.Contents(path);
    ASSERT_LT(damaged + chunk::kHeadSize, bytes.size());
    storage::StoreU32(bytes.data() + damaged + chunk::kTotal,
                      storage::LoadU32(bytes.data() + damaged + chunk::kTotal) + 1);
    disk.SetContents(path, bytes);
    ASSERT_EQ(words->Open(2), 0u);

    auto application = std::make_unique<Application>(GetModuleHandleW(nullptr));
    g_application = application.get();
    application->flags = app_flag::kWindowShown | app_flag::kEnglishInterface;
    application->language = 1;
    SetUILanguage(1);
    application->fonts = std::make_unique<CFonts>();
    application->fonts->CreateFonts(nullptr);
    ListView::RegisterWindowClass();
    std::unique_ptr<WordList> list = ListOfShelf(kListReadings);
    ASSERT_EQ(list->RowCount(), 3);
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 10, 10, 400, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    TestSite site;
    {
        ListView view(kListReadings, list.get(), site);  // the readings list's view has the list's kind
        ASSERT_TRUE(view.Create(parent, 0, 0, 380, 180));
        // Rows chosen one after another (SetCurrent shows the row's article);
        // the damaged row shown again by itself.
        for (int32_t row : {0, 1, 2, 1}) {
            const int shown = site.articles;
            view.SetCurrent(row);
            EXPECT_GT(site.articles, shown) << "row " << row << " shows an article, empty when unread";
            EXPECT_EQ(app.messages.size(), row == 0 ? 0u : 1u) << "row " << row;
        }
        view.ShowCurrentArticle();
    }
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Cannot read file: " + path + u"\nData integrity broken");
    EXPECT_EQ(app.messages[0].caption, u"Cannot Read a File");
    DestroyWindow(parent);
    g_application = nullptr;
}

}  // namespace
