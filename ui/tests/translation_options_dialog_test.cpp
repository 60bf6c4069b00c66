// The word translation options dialog in a real dialog under Wine: the check
// marks follow the options, OK stores Expand and MinKanaLength (a checked box
// keeps Expand 2), Cancel stores nothing, UnderCursor is never stored.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "common/settings/win/private_profile_store.h"
#include "common/tests/test_files.h"
#include "japanese/trans_options.h"
#include "resources/program/resource_ids.h"
#include "ui/translation_options_dialog.h"

namespace {

using ostrel::japanese::CTransOptions;

class TranslationOptionsDialog : public testing::Test {
protected:
    TranslationOptionsDialog() : folder_("translation-options"), ini_(std::make_unique<PrivateProfileStore>(IniPath())) {}
    ~TranslationOptionsDialog() override {
        if (IsWindow(dialog_)) DestroyWindow(dialog_);
    }
    std::wstring IniPath() const { return (folder_ / "OstrelPro.ini").wstring(); }
    HWND Open() {
        page_ = std::make_unique<CTranslationOptionsDlg>(options_, &ini_);
        dialog_ = page_->Create(nullptr);
        return dialog_;
    }
    bool Checked(int id) const { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
    void Click(int id) {
        SendDlgItemMessageW(dialog_, id, BM_CLICK, 0, 0);
    }
    std::wstring Stored(const wchar_t* key) {
        wchar_t text[64] = {};
        GetPrivateProfileStringW(L"Translation", key, L"<missing>", text, 64, IniPath().c_str());
        return text;
    }

    ScratchFolder folder_;
    CIni ini_;
    CTransOptions options_;
    std::unique_ptr<CTranslationOptionsDlg> page_;
    HWND dialog_ = nullptr;
};

TEST_F(TranslationOptionsDialog, ChecksFollowTheOptionsAndTheTitleIsTheInterfaceText) {
    options_.minKanaLength = 2;
    options_.underCursor = 0;
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(Checked(IDC_TRANSLATION_EXPAND));
    EXPECT_TRUE(Checked(IDC_TRANSLATION_ONE_KANA));
    EXPECT_FALSE(Checked(IDC_TRANSLATION_UNDER_CURSOR));
    wchar_t title[64] = {};
    GetWindowTextW(dialog_, title, 64);
    EXPECT_GT(wcslen(title), 0u);
}

TEST_F(TranslationOptionsDialog, OkUntouchedKeepsExpandTwoAndStoresBoth) {
    ASSERT_NE(Open(), nullptr);
    Click(IDOK);
    EXPECT_FALSE(IsWindow(dialog_));
    EXPECT_EQ(options_.expand, 2);
    EXPECT_EQ(Stored(L"Expand"), L"2");
    EXPECT_EQ(Stored(L"MinKanaLength"), L"1");
    EXPECT_EQ(Stored(L"UnderCursor"), L"<missing>");
    EXPECT_EQ(Stored(L"AutoSwitchTranslationList"), L"<missing>");
}

TEST_F(TranslationOptionsDialog, OkStoresTheChangedBoxesButNeverUnderCursor) {
    ASSERT_NE(Open(), nullptr);
    Click(IDC_TRANSLATION_EXPAND);
    Click(IDC_TRANSLATION_ONE_KANA);
    Click(IDC_TRANSLATION_UNDER_CURSOR);
    Click(IDOK);
    EXPECT_EQ(options_.expand, 0);
    EXPECT_EQ(options_.minKanaLength, 2);
    EXPECT_EQ(options_.underCursor, 1);
    EXPECT_EQ(Stored(L"Expand"), L"0");
    EXPECT_EQ(Stored(L"MinKanaLength"), L"2");
    EXPECT_EQ(Stored(L"UnderCursor"), L"<missing>");
}

TEST_F(TranslationOptionsDialog, CancelChangesNothing) {
    ASSERT_NE(Open(), nullptr);
    Click(IDC_TRANSLATION_EXPAND);
    Click(IDC_TRANSLATION_ONE_KANA);
    Click(IDCANCEL);
    EXPECT_FALSE(IsWindow(dialog_));
    EXPECT_EQ(options_.expand, 2);
    EXPECT_EQ(options_.minKanaLength, 1);
    EXPECT_EQ(Stored(L"Expand"), L"<missing>");
}

TEST_F(TranslationOptionsDialog, InertBoxesAndHelpLeaveEverythingAsItWas) {
    ASSERT_NE(Open(), nullptr);
    Click(IDC_TRANSLATION_NAMES);
    Click(IDC_TRANSLATION_FULL_SEARCH);
    Click(IDC_TRANSLATION_HELP);
    SendMessageW(dialog_, WM_HELP, 0, 0);
    EXPECT_TRUE(IsWindow(dialog_));
    Click(IDOK);
    EXPECT_EQ(options_.expand, 2);
    EXPECT_EQ(Stored(L"Expand"), L"2");
}

}  // namespace
