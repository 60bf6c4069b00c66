// The settings dialog and its transliteration, lists, editor and
// miscellaneous pages; the font page is CFontSettingsDlg's.
#include "ui/settings_dialog.h"

#include <array>
#include <cwchar>
#include <vector>

#include "common/settings/settings_keys.h"
#include "common/ui_text/settings_rules.h"
#include "common/ui_text/ui_text.h"
#include "common/win/dialog_helpers.h"
#include "japanese/trans_options.h"
#include "resources/program/dialog_ids.h"
#include "resources/program/resource_ids.h"
#include "ui/application.h"
#include "ui/font_sets.h"
#include "ui/dialog_procedure.h"
#include "ui/font_settings_dialog.h"
#include "ui/frame.h"
#include "ui/frame_shelf.h"

namespace {

using ostrel::japanese::CTransOptions;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

void Check(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }
bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

// One page: its window and what OK, Cancel, Defaults and Help do on it.
class SettingsPage {
public:
    virtual ~SettingsPage() = default;
    virtual const wchar_t* Template() const = 0;
    virtual int32_t HelpTopic() const = 0;
    virtual void OnInit() {}
    virtual void OnCommand(int /*id*/, int /*code*/) {}
    virtual void Save() {}
    virtual void Cancel() {}
    virtual void Defaults() {}

    HWND Create(HWND owner) {
        window = CreateDialogParamW(GetModuleHandleW(nullptr), Template(), owner, &SettingsPage::DialogProc,
                                    reinterpret_cast<LPARAM>(this));
        return window;
    }
    HWND window = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(page, DWLP_USER, lParam);
            auto* self = reinterpret_cast<SettingsPage*>(lParam);
            self->window = page;
            self->OnInit();
            return FALSE;
        }
        auto* self = reinterpret_cast<SettingsPage*>(GetWindowLongPtrW(page, DWLP_USER));
        // The page's own commands stay here: 1093 is a box on the lists page
        // and a page button of the dialog.
        if (self && message == WM_COMMAND) {
            self->OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        }
        return FALSE;
    }
};

uint32_t& AppFlags() {
    static uint32_t none = 0;
    return g_application ? g_application->flags : none;
}

class CTranslitSettingsDlg final : public SettingsPage {
public:
    const wchar_t* Template() const override { return L"SETTINGS_TRANSLIT"; }
    int32_t HelpTopic() const override { return 135; }
    void OnInit() override {
        static const ControlText kTexts[] = {{IDC_PAGE_TITLE, 129}, {IDC_TR_RUSSIAN, 130}, {IDC_TR_LATIN, 131},
                                             {IDC_TR_LISTS, 132},   {IDC_TR_REPLACE, 133}, {IDC_TR_BESIDE, 134}};
        SetControlTexts(window, kTexts);
        opened_ = AppFlags();
        Fill(opened_);
    }
    void OnCommand(int id, int code) override {
        if (code != BN_CLICKED) return;
        if (id == IDC_TR_REPLACE && Checked(window, IDC_TR_REPLACE)) Check(window, IDC_TR_BESIDE, false);
        if (id == IDC_TR_BESIDE && Checked(window, IDC_TR_BESIDE)) Check(window, IDC_TR_REPLACE, false);
    }
    void Save() override {
        TranslitChoice choice;
        choice.latin = Checked(window, IDC_TR_LATIN);
        choice.inLists = Checked(window, IDC_TR_LISTS);
        choice.replaceKana = Checked(window, IDC_TR_REPLACE);
        choice.besideKana = Checked(window, IDC_TR_BESIDE);
        const uint32_t before = AppFlags();
        AppFlags() = ApplyTranslitChoice(before, choice);
        if (before == AppFlags() || !g_frame) return;
        if (g_frame->lists) g_frame->lists->RedrawLists();
        if (TranslitReshowsArticle(before, AppFlags()))
            if (auto* shelf = dynamic_cast<FrameShelf*>(g_frame->lists); shelf && shelf->CurrentView())
                shelf->CurrentView()->ShowCurrentArticle();
    }
    void Defaults() override { Fill(DefaultTranslitFlags(AppFlags())); }

private:
    void Fill(uint32_t flags) {
        const TranslitChoice choice = TranslitChoiceFromFlags(flags);
        Check(window, IDC_TR_LATIN, choice.latin);
        Check(window, IDC_TR_RUSSIAN, !choice.latin);
        Check(window, IDC_TR_LISTS, choice.inLists);
        Check(window, IDC_TR_REPLACE, choice.replaceKana);
        Check(window, IDC_TR_BESIDE, choice.besideKana);
    }
    uint32_t opened_ = 0;
};

struct TranslationSnapshot {
    int32_t expand, minKanaLength, underCursor, autoSwitch;
};

class CListSettingsDlg final : public SettingsPage {
public:
    explicit CListSettingsDlg(CTransOptions* options) : options_(options) {}
    const wchar_t* Template() const override { return L"SETTINGS_LISTS"; }
    int32_t HelpTopic() const override { return 149; }
    void OnInit() override {
        static const ControlText kTexts[] = {
            {IDC_PAGE_TITLE, 135},       {IDC_LS_SEARCH_ON_SWITCH, 136}, {IDC_LS_TRANSLATED_GROUP, 137},
            {IDC_LS_EXPAND_LABEL, 138},  {IDC_LS_ONE_KANA, 142},         {IDC_LS_CURSOR_GROUP, 143},
            {IDC_LS_UNDER_CURSOR, 144},  {IDC_LS_AUTO_SWITCH, 145}};
        SetControlTexts(window, kTexts);
        HWND expand = GetDlgItem(window, IDC_LS_EXPAND);
        for (int slot : {139, 140, 141})
            SendMessageW(expand, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(UIStringTable[slot])));
        CIni* ini = g_application ? g_application->ini.get() : nullptr;
        searchOnSwitch_ = ini ? ini->GetInt(settings_section::kView, u"SearchOnListSwitch", kDefaultSearchOnListSwitch)
                              : kDefaultSearchOnListSwitch;
        opened_ = Current();
        Fill(opened_, searchOnSwitch_);
    }
    void Save() override {
        const TranslationSnapshot chosen = FromControls();
        if (options_) {
            options_->expand = chosen.expand;
            options_->minKanaLength = chosen.minKanaLength;
            options_->underCursor = chosen.underCursor;
            options_->autoSwitchTranslationList = chosen.autoSwitch;
        }
        if (CIni* ini = g_application ? g_application->ini.get() : nullptr) {
            ini->WriteInt(settings_section::kView, u"SearchOnListSwitch", Checked(window, IDC_LS_SEARCH_ON_SWITCH));
            ini->WriteInt(settings_section::kTranslation, u"Expand", chosen.expand);
            ini->WriteInt(settings_section::kTranslation, u"MinKanaLength", chosen.minKanaLength);
            ini->WriteInt(settings_section::kTranslation, u"UnderCursor", chosen.underCursor);
            ini->WriteInt(settings_section::kTranslation, u"AutoSwitchTranslationList", chosen.autoSwitch);
        }
    }
    // What Defaults put into the options goes back: a cancelled dialog leaves them as they were.
    void Cancel() override { Put(opened_); }
    void Defaults() override {
        const TranslationSnapshot defaults{2, 2, 1, 1};
        Put(defaults);
        Fill(defaults, 1);
    }

private:
    TranslationSnapshot Current() const {
        if (!options_) return {2, 2, 1, 1};
        return {options_->expand, options_->minKanaLength, options_->underCursor, options_->autoSwitchTranslationList};
    }
    void Put(const TranslationSnapshot& s) {
        if (!options_) return;
        options_->expand = s.expand;
        options_->minKanaLength = s.minKanaLength;
        options_->underCursor = s.underCursor;
        options_->autoSwitchTranslationList = s.autoSwitch;
    }
    void Fill(const TranslationSnapshot& s, int32_t searchOnSwitch) {
        Check(window, IDC_LS_SEARCH_ON_SWITCH, searchOnSwitch != 0);
        SendDlgItemMessageW(window, IDC_LS_EXPAND, CB_SETCURSEL, ListItemFromExpand(s.expand), 0);
        Check(window, IDC_LS_ONE_KANA, s.minKanaLength >= 2);
        Check(window, IDC_LS_UNDER_CURSOR, s.underCursor != 0);
        Check(window, IDC_LS_AUTO_SWITCH, s.autoSwitch != 0);
    }
    TranslationSnapshot FromControls() const {
        const LRESULT item = SendDlgItemMessageW(window, IDC_LS_EXPAND, CB_GETCURSEL, 0, 0);
        return {ExpandFromListItem(item == CB_ERR ? 0 : static_cast<int32_t>(item)),
                Checked(window, IDC_LS_ONE_KANA) ? 2 : 1, Checked(window, IDC_LS_UNDER_CURSOR) ? 1 : 0,
                Checked(window, IDC_LS_AUTO_SWITCH) ? 1 : 0};
    }

    CTransOptions* options_;
    TranslationSnapshot opened_{};
    int32_t searchOnSwitch_ = 1;
};

class CEditorSettingsDlg final : public SettingsPage {
public:
    const wchar_t* Template() const override { return L"SETTINGS_EDITOR"; }
    int32_t HelpTopic() const override { return 150; }
    void OnInit() override {
        static const ControlText kTexts[] = {{IDC_PAGE_TITLE, 146}, {IDC_ED_LABEL, 124}, {IDC_TR_RUSSIAN, 130},
                                             {IDC_TR_LATIN, 131},   {IDC_TR_LISTS, 132}};
        SetControlTexts(window, kTexts);
    }
};

class CMiscSettingsDlg final : public SettingsPage {
public:
    const wchar_t* Template() const override { return L"SETTINGS_MISC"; }
    int32_t HelpTopic() const override { return 151; }
    void OnInit() override {
        static const ControlText kTexts[] = {{IDC_PAGE_TITLE, 147}, {IDC_MISC_SITE_LABEL, 148}};
        SetControlTexts(window, kTexts);
        SendDlgItemMessageW(window, IDC_MISC_SITE, EM_LIMITTEXT, kHomeSiteUnits, 0);
        if (g_application) SetDlgItemTextW(window, IDC_MISC_SITE, Wide(g_application->homeSite.c_str()));
    }
    void Save() override {
        if (!g_application) return;
        wchar_t text[kHomeSiteUnits + 1] = {};
        GetDlgItemTextW(window, IDC_MISC_SITE, text, kHomeSiteUnits + 1);
        const std::u16string site = NormalizeHomeSite(reinterpret_cast<const char16_t*>(text));
        if (site == g_application->homeSite) return;
        g_application->homeSite = site;
        if (g_application->ini) g_application->ini->WriteString(settings_section::kApplication, u"HomeSite", site);
        if (g_application->web) g_application->web->OnHomeSiteChanged(site);
    }
    void Defaults() override { SetDlgItemTextW(window, IDC_MISC_SITE, Wide(kDefaultHomeSite)); }
};

// The font page: CFontSettingsDlg's page, its own buttons hidden (the dialog has them).
class FontsPage final : public SettingsPage {
public:
    FontsPage() : targets_(), dialog_(ProgramFonts() ? std::make_unique<CFontSettingsDlg>(*ProgramFonts(), targets_,
                                                                                          g_application ? g_application->ini.get() : nullptr)
                                                     : nullptr) {}
    const wchar_t* Template() const override { return L"SETTINGS_FONTS"; }
    int32_t HelpTopic() const override { return 133; }
    HWND CreateFontPage(HWND owner) {
        if (!dialog_) return nullptr;
        window = dialog_->Create(owner);
        if (!window) return nullptr;
        SetWindowLongPtrW(window, GWL_STYLE, (GetWindowLongPtrW(window, GWL_STYLE) & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME)) | WS_CHILD);
        SetParent(window, owner);
        for (int id : {IDOK, IDCANCEL, IDC_FONT_DEFAULTS, IDC_FONT_HELP}) ShowWindow(GetDlgItem(window, id), SW_HIDE);
        return window;
    }
    void Save() override {
        if (dialog_) dialog_->SaveSettings();
    }
    void Cancel() override {
        if (window) SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }
    void Defaults() override {
        if (window) SendMessageW(window, WM_COMMAND, IDC_FONT_DEFAULTS, 0);
    }

private:
    FrameFontTargets targets_;
    std::unique_ptr<CFontSettingsDlg> dialog_;
};

constexpr int kPageButtons[5] = {IDC_SET_FONTS, IDC_SET_TRANSLIT, IDC_SET_LISTS, IDC_SET_EDITOR, IDC_SET_MISC};

class CAllSettingsDlg {
public:
    CAllSettingsDlg(int32_t startPage, CTransOptions* options) : startPage_(startPage), lists_(options) {}
    ~CAllSettingsDlg() {
        if (titleFont_) DeleteObject(titleFont_);
    }
    INT_PTR OnInitDialog(HWND dialog) {
        dialog_ = dialog;
        CreatePages();
        return TRUE;
    }
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    SettingsPage* PageOf(int button) {
        switch (button) {
        case IDC_SET_FONTS: return &fonts_;
        case IDC_SET_TRANSLIT: return &translit_;
        case IDC_SET_LISTS: return &lists_;
        case IDC_SET_EDITOR: return &editor_;
        case IDC_SET_MISC: return &misc_;
        default: return nullptr;
        }
    }
    void CreatePages();
    void ShowPage(int button);
    void MakeTitleFont();
    void OnCommand(int id);

    HWND dialog_ = nullptr;
    int32_t startPage_;
    int shown_ = 0;  // the button of the page shown
    HFONT titleFont_ = nullptr;
    FontsPage fonts_;
    CTranslitSettingsDlg translit_;
    CListSettingsDlg lists_;
    CEditorSettingsDlg editor_;
    CMiscSettingsDlg misc_;
};

INT_PTR CAllSettingsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return TRUE;
    case WM_HELP: OnCommand(IDC_SET_HELP); return TRUE;
    case WM_DESTROY:
        for (int button : kPageButtons)
            if (SettingsPage* page = PageOf(button); page && page->window) DestroyWindow(page->window);
        return FALSE;
    default: return FALSE;
    }
}

void CAllSettingsDlg::MakeTitleFont() {
    LOGFONTW font{};
    font.lfHeight = -20;
    font.lfWeight = FW_BOLD;
    const bool japanese = g_application && (g_application->flags & app_flag::kJapaneseInterface);
    font.lfCharSet = japanese ? SHIFTJIS_CHARSET : RUSSIAN_CHARSET;
    if (CFonts* fonts = ProgramFonts()) {
        const std::wstring& face = japanese ? fonts->Set(kBaseFontSet).JapaneseFace() : fonts->Set(kBaseFontSet).LatinFace();
        wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    }
    titleFont_ = CreateFontIndirectW(&font);
}

void CAllSettingsDlg::CreatePages() {
    static const int kFontControls[] = {IDC_SET_FONTS, IDC_SET_TRANSLIT, IDC_SET_LISTS, IDC_SET_EDITOR, IDC_SET_MISC,
                                        IDC_SET_DEFAULTS, IDOK, IDCANCEL, IDC_SET_HELP, 0};
    if (g_application) g_application->ApplyDialogFont(dialog_, kFontControls);
    SetWindowTextW(dialog_, Wide(UIStringTable[122]));
    static const ControlText kTexts[] = {{IDC_SET_FONTS, 123}, {IDC_SET_TRANSLIT, 124}, {IDC_SET_LISTS, 125},
                                         {IDC_SET_EDITOR, 126}, {IDC_SET_MISC, 127},   {IDC_SET_DEFAULTS, 128},
                                         {IDCANCEL, 638},       {IDOK, 637},           {IDC_SET_HELP, 269}};
    SetControlTexts(dialog_, kTexts);
    MakeTitleFont();
    RECT button{}, client{}, cancel{};
    GetWindowRect(GetDlgItem(dialog_, IDC_SET_FONTS), &button);
    GetWindowRect(GetDlgItem(dialog_, IDCANCEL), &cancel);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&button), 2);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&cancel), 2);
    GetClientRect(dialog_, &client);
    const int x = button.right + 10;
    for (int id : kPageButtons) {
        SettingsPage* page = PageOf(id);
        HWND window = id == IDC_SET_FONTS ? fonts_.CreateFontPage(dialog_) : page->Create(dialog_);
        if (!window) continue;
        SetWindowPos(window, nullptr, x, 0, client.right - x, cancel.top, SWP_NOZORDER | SWP_HIDEWINDOW);
        if (GetDlgItem(window, IDC_PAGE_TITLE))
            SendDlgItemMessageW(window, IDC_PAGE_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_), FALSE);
    }
    if (!fonts_.window) EnableWindow(GetDlgItem(dialog_, IDC_SET_FONTS), FALSE);
    int start = StartPageButton(startPage_);
    if (start == IDC_SET_FONTS && !fonts_.window) start = IDC_SET_LISTS;
    ShowPage(start);
}

void CAllSettingsDlg::ShowPage(int button) {
    SettingsPage* page = PageOf(button);
    if (!page || !page->window) return;
    if (SettingsPage* old = PageOf(shown_); old && old->window) ShowWindow(old->window, SW_HIDE);
    ShowWindow(page->window, SW_SHOW);
    for (int id : kPageButtons) CheckDlgButton(dialog_, id, id == button ? BST_CHECKED : BST_UNCHECKED);
    shown_ = button;
}

void CAllSettingsDlg::OnCommand(int id) {
    if (IsSettingsPageButton(id)) {
        ShowPage(id);
        return;
    }
    switch (id) {
    case IDOK:
        for (SettingsPage* page : {static_cast<SettingsPage*>(&fonts_), static_cast<SettingsPage*>(&translit_),
                                   static_cast<SettingsPage*>(&lists_), static_cast<SettingsPage*>(&misc_)})
            if (page->window) page->Save();
        EndDialog(dialog_, 1);
        return;
    case IDCANCEL:
        for (int button : kPageButtons)
            if (SettingsPage* page = PageOf(button); page->window) page->Cancel();
        EndDialog(dialog_, 0);
        return;
    case IDC_SET_DEFAULTS:
        if (SettingsPage* page = PageOf(shown_)) page->Defaults();
        return;
    case IDC_SET_HELP:
        if (SettingsPage* page = PageOf(shown_); page && g_application)
            g_application->ShowHelpTopic(dialog_, page->HelpTopic());
        return;
    default: return;  // 1054 has no page
    }
}

}  // namespace

INT_PTR RunSettingsDialog(HWND owner, int32_t startPage, CTransOptions* options) {
    const int32_t busy = g_application ? g_application->inputBusy : 0;
    if (g_application) g_application->inputBusy = 1;
    CAllSettingsDlg dialog(startPage, options);
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), L"SETTINGS_ALL", owner,
                                           &DialogProcedure<CAllSettingsDlg>, reinterpret_cast<LPARAM>(&dialog));
    if (g_application) g_application->inputBusy = busy;
    return result;
}
