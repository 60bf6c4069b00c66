// The font settings page in a real dialog under Wine: a size chosen in a
// combo takes effect at once (the list fonts are made again, a real rich edit
// gets the article size), Cancel puts every size back (the book reader's
// too), and the default button resets the sizes. OK and the size shown for
// a stored size are checked end to end (ui/e2e).
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "common/settings/win/private_profile_store.h"
#include "common/tests/test_files.h"
#include "resources/program/resource_ids.h"
#include "ui/font_sets.h"
#include "ui/font_settings_dialog.h"

namespace {

// The windows a change reaches: a real rich edit stands for the article view
// and the input box; list and book reader refreshes are counted.
class TestTargets final : public IFontTargets {
public:
    TestTargets() {
        LoadLibraryW(L"Riched20.dll");
        article = CreateWindowExW(0, L"RichEdit20W", L"article", WS_POPUP | ES_MULTILINE, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    }
    ~TestTargets() override { DestroyWindow(article); }
    void SetInputFontSize(int32_t points) override { input.push_back(points); }
    void ApplyListFonts() override { ++listRefreshes; }
    void RefreshBookReaders() override { ++bookRefreshes; }
    void ApplyArticleFont(int32_t points) override { SetRichEditPoints(article, points); }
    void ApplyEditorFont(int32_t points) override { editor.push_back(points); }

    int32_t ArticleTwips() const {
        CHARFORMAT2W format{};
        format.cbSize = sizeof(format);
        SendMessageW(article, EM_SETSEL, 0, -1);
        SendMessageW(article, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        return format.yHeight;
    }

    HWND article = nullptr;
    std::vector<int32_t> input, editor;
    int listRefreshes = 0, bookRefreshes = 0;
};

class FontSettingsPage : public testing::Test {
protected:
    FontSettingsPage() : folder_("font-page"), ini_(std::make_unique<PrivateProfileStore>(IniPath())) {}
    std::wstring IniPath() const { return (folder_ / "OstrelPro.ini").wstring(); }

    HWND Open() {
        fonts_.CreateFonts(&ini_);
        page_ = std::make_unique<CFontSettingsDlg>(fonts_, targets_, &ini_);
        dialog_ = page_->Create(nullptr);
        return dialog_;
    }
    ~FontSettingsPage() override {
        if (dialog_) DestroyWindow(dialog_);
    }
    // Selects the entry showing `points` in a size combo, as a click would.
    void ChooseSize(int id, int32_t points) {
        HWND combo = GetDlgItem(dialog_, id);
        LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(std::to_wstring(points).c_str()));
        ASSERT_NE(index, CB_ERR);
        SendMessageW(combo, CB_SETCURSEL, index, 0);
        SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    // Selects a family other than the current one, as a click would; its name.
    std::wstring ChooseOtherFace(int id) {
        HWND combo = GetDlgItem(dialog_, id);
        LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0) == 0 ? 1 : 0;
        wchar_t face[LF_FACESIZE] = {};
        if (SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) >= LF_FACESIZE) return {};
        SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(face));
        SendMessageW(combo, CB_SETCURSEL, index, 0);
        SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        return face;
    }
    std::wstring Shown(int id) {
        wchar_t text[32] = {};
        GetDlgItemTextW(dialog_, id, text, 32);
        return text;
    }

    ScratchFolder folder_;
    CIni ini_;
    CFonts fonts_;
    TestTargets targets_;
    std::unique_ptr<CFontSettingsDlg> page_;
    HWND dialog_ = nullptr;
};

TEST_F(FontSettingsPage, ChangesTakeEffectAtOnceAndCancelPutsEverythingBack) {
    ASSERT_NE(Open(), nullptr);
    const FontChoice opened = fonts_.CurrentChoice();
    const LONG listHeight = fonts_.Set(kListFontSet).Metrics(0).tmHeight;

    ChooseSize(IDC_FONT_LIST_SIZE, 20);
    EXPECT_EQ(fonts_.Set(kListFontSet).PointSize(), 20);
    EXPECT_GT(fonts_.Set(kListFontSet).Metrics(0).tmHeight, listHeight);
    EXPECT_NE(fonts_.Set(kListFontSet).Font(0), nullptr);
    EXPECT_EQ(targets_.listRefreshes, 1);

    ChooseSize(IDC_FONT_ARTICLE_SIZE, 16);
    EXPECT_EQ(targets_.ArticleTwips(), 320);
    ChooseSize(IDC_FONT_BOOK_SIZE, 24);
    EXPECT_EQ(fonts_.Set(kBookFontSet).PointSize(), 24);
    std::wstring face = ChooseOtherFace(IDC_FONT_LATIN_FACE);  // a family the display has for charset 204
    ASSERT_FALSE(face.empty());
    EXPECT_EQ(fonts_.Set(kArticleFontSet).LatinFace(), face);
    EXPECT_EQ(std::wstring(fonts_.Set(kListFontSet).Slot(0).logFont.lfFaceName), face);
    EXPECT_EQ(targets_.listRefreshes, 2);
    ChooseSize(IDC_FONT_INPUT_SIZE, 18);
    ChooseSize(IDC_FONT_EDITOR_SIZE, 9);
    EXPECT_EQ(targets_.input, (std::vector<int32_t>{opened.inputPoints, 18}));  // the face, then the size
    EXPECT_EQ(targets_.editor, (std::vector<int32_t>{opened.editorPoints, 9}));

    SendMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
    FontChoice back = fonts_.CurrentChoice();
    EXPECT_EQ(back.listPoints, opened.listPoints);
    EXPECT_EQ(back.articlePoints, opened.articlePoints);
    EXPECT_EQ(back.inputPoints, opened.inputPoints);
    EXPECT_EQ(back.editorPoints, opened.editorPoints);
    EXPECT_EQ(back.bookPoints, opened.bookPoints);  // the book reader size is put back too
    EXPECT_EQ(back.latinFace, opened.latinFace);
    EXPECT_EQ(fonts_.Set(kListFontSet).LatinFace(), fonts_.Set(kBaseFontSet).LatinFace());
    EXPECT_EQ(fonts_.Set(kListFontSet).Metrics(0).tmHeight, listHeight);
    EXPECT_EQ(targets_.ArticleTwips(), 20 * opened.articlePoints);
    EXPECT_EQ(targets_.input.back(), opened.inputPoints);
    EXPECT_EQ(GetPrivateProfileIntW(L"Fonts", L"ListPoints", -1, IniPath().c_str()), -1);  // nothing saved
}

TEST_F(FontSettingsPage, DefaultButtonResetsTheFourSizesAndKeepsFacesAndTheBookSize) {
    ini_.WriteString(u"Fonts", u"InputPoints", u"16");
    ini_.WriteString(u"Fonts", u"BookViewerPoints", u"22");
    ini_.WriteString(u"Fonts", u"RusName", u"Tahoma");
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Shown(IDC_FONT_LATIN_FACE), L"Tahoma");

    SendMessageW(dialog_, WM_COMMAND, IDC_FONT_DEFAULTS, 0);
    FontChoice now = fonts_.CurrentChoice();
    EXPECT_EQ(now.latinFace, u"Tahoma");  // the base set's faces stay
    EXPECT_EQ(now.inputPoints, fonts_.BasePoints());
    EXPECT_EQ(now.editorPoints, fonts_.BasePoints());
    EXPECT_EQ(now.bookPoints, 22);
    EXPECT_EQ(Shown(IDC_FONT_LATIN_FACE), L"Tahoma");
    EXPECT_EQ(Shown(IDC_FONT_INPUT_SIZE), std::to_wstring(fonts_.BasePoints()));
}

}  // namespace
