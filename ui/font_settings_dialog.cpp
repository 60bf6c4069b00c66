// The font settings page: filling its combos, applying each change at once,
// putting everything back on Cancel, and the program windows that take a
// font change.
#include "ui/font_settings_dialog.h"

#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/ui_text/ui_text.h"
#include "common/win/dialog_helpers.h"
#include "common/win/wide_text.h"
#include "resources/program/resource_ids.h"
#include "ui/application.h"
#include "ui/font_sets.h"
#include "ui/frame.h"

namespace {

constexpr int kTitleSlot = 123;
constexpr int kOkSlot = 637;
constexpr int kCancelSlot = 638;
constexpr int kHelpSlot = 269;
constexpr int kDefaultsSlot = 376;
constexpr int kSizesGroupSlot = 377;
constexpr int32_t kHelpTopic = 133;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// Each labelled control and the interface text it shows.
constexpr ControlText kControlTexts[] = {
    {IDC_FONT_INPUT_LABEL, 368}, {IDC_FONT_LIST_LABEL, 369},   {IDC_FONT_ARTICLE_LABEL, 370},
    {IDC_FONT_EDITOR_LABEL, 371}, {IDC_FONT_BOOK_LABEL, 372},  {IDC_FONT_LATIN_LABEL, 373},
    {IDC_FONT_JAPANESE_LABEL, 374}, {IDC_FONT_SIZES_GROUP, kSizesGroupSlot}, {IDC_FONT_DEFAULTS, kDefaultsSlot},
    {IDOK, kOkSlot}, {IDCANCEL, kCancelSlot}, {IDC_FONT_HELP, kHelpSlot},
};
// The controls that take the Japanese dialog font in the Japanese interface.
constexpr int kJapaneseFontControls[] = {
    IDC_FONT_INPUT_LABEL, IDC_FONT_LIST_LABEL, IDC_FONT_ARTICLE_LABEL, IDC_FONT_EDITOR_LABEL,
    IDC_FONT_BOOK_LABEL,  IDC_FONT_LATIN_LABEL, IDC_FONT_JAPANESE_LABEL, IDC_FONT_SIZES_GROUP,
    IDC_FONT_DEFAULTS,    IDOK,                 IDCANCEL,               IDC_FONT_HELP,
    IDC_FONT_LATIN_FACE,  IDC_FONT_JAPANESE_FACE, IDC_FONT_INPUT_SIZE,  IDC_FONT_LIST_SIZE,
    IDC_FONT_ARTICLE_SIZE, IDC_FONT_EDITOR_SIZE, 0};

// One entry per family of the character set (vertical "@" families left out),
// the current face selected; a current face the display lacks is listed too.
void FillFaces(HWND combo, uint8_t charset, const std::wstring& current) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    FontFamilies families;
    std::vector<std::u16string> listed;
    for (const FontFamily& family : families.OfCharset(charset)) {
        if (family.face.empty() || family.face[0] == u'@') continue;
        if (std::find(listed.begin(), listed.end(), family.face) != listed.end()) continue;
        listed.push_back(family.face);
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideString(family.face).c_str()));
    }
    LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(current.c_str()));
    if (index == CB_ERR && !current.empty())
        index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(current.c_str()));
    SendMessageW(combo, CB_SETCURSEL, index == CB_ERR ? 0 : index, 0);
}

void FillSizes(HWND combo, int32_t current) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int32_t points : kFontSizeChoices) {
        std::wstring text = std::to_wstring(points);
        LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(combo, CB_SETITEMDATA, index, points);
    }
    SendMessageW(combo, CB_SETCURSEL, FontSizeChoiceIndex(current), 0);
}

}  // namespace

void SetRichEditPoints(HWND edit, int32_t points) {
    if (!edit || points <= 0) return;
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_SIZE;
    format.yHeight = 20 * points;
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

void FrameFontTargets::SetInputFontSize(int32_t points) {
    if (!g_frame) return;
    g_frame->SetInputFontSize(points);
    if (g_frame->lists) g_frame->lists->RepaintPage();
}

void FrameFontTargets::ApplyListFonts() {
    if (g_frame && g_frame->lists) g_frame->lists->ApplyFontsToViews();
}

void FrameFontTargets::ApplyArticleFont(int32_t points) {
    if (g_frame) SetRichEditPoints(g_frame->articleEdit, points);
}

void FrameFontTargets::ApplyEditorFont(int32_t points) {
    if (g_frame && g_frame->lists) g_frame->lists->ApplyFontsToEditors(points);
}

void RedoAfterFontChange(const FontApplyPlan& plan, const CFonts& fonts, IFontTargets& targets) {
    if (plan.redoInputBox) targets.SetInputFontSize(fonts.Set(kInputFontSet).PointSize());
    if (plan.redoLists) targets.ApplyListFonts();
    if (plan.redoLists || plan.redoBookReaders) targets.RefreshBookReaders();
    if (plan.redoArticle) targets.ApplyArticleFont(fonts.Set(kArticleFontSet).PointSize());
    if (plan.redoEditors) targets.ApplyEditorFont(fonts.Set(kEditorFontSet).PointSize());
}

INT_PTR CFontSettingsDlg::Run(HWND owner) {
    uint32_t modal = g_application ? (g_application->flags & app_flag::kModalDialog) : 0;
    if (g_application) g_application->flags |= app_flag::kModalDialog;
    INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), L"SETTINGS_FONTS", owner, &DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (g_application) g_application->flags = (g_application->flags & ~app_flag::kModalDialog) | modal;
    return result < 0 ? 0 : result;
}

HWND CFontSettingsDlg::Create(HWND owner) {
    return CreateDialogParamW(GetModuleHandleW(nullptr), L"SETTINGS_FONTS", owner, &DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

int32_t CFontSettingsDlg::SaveSettings() {
    return ini_ ? fonts_.SaveSettings(*ini_) : 0;
}

INT_PTR CALLBACK CFontSettingsDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<CFontSettingsDlg*>(lParam)->OnInit(dialog);
        return TRUE;
    }
    auto* page = reinterpret_cast<CFontSettingsDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!page) return FALSE;
    switch (message) {
    case WM_COMMAND:
        page->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_HELP:
        if (g_application) g_application->ShowHelpTopic(dialog, kHelpTopic);
        return TRUE;
    case WM_NCDESTROY:
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        page->dialog_ = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

void CFontSettingsDlg::OnInit(HWND dialog) {
    dialog_ = dialog;
    opened_ = fonts_.CurrentChoice();
    SetWindowTextW(dialog, Wide(UIStringTable[kTitleSlot]));
    SetControlTexts(dialog, kControlTexts);
    if (g_application) g_application->ApplyDialogFont(dialog, kJapaneseFontControls);
    Fill();
}

void CFontSettingsDlg::Fill() {
    const CFontSet& base = fonts_.Set(kBaseFontSet);
    FillFaces(GetDlgItem(dialog_, IDC_FONT_LATIN_FACE), kFontSlots[kLatinSlot].charset, base.LatinFace());
    FillFaces(GetDlgItem(dialog_, IDC_FONT_JAPANESE_FACE), kFontSlots[kJapaneseSlot].charset, base.JapaneseFace());
    FontChoice now = fonts_.CurrentChoice();
    FillSizes(GetDlgItem(dialog_, IDC_FONT_INPUT_SIZE), now.inputPoints);
    FillSizes(GetDlgItem(dialog_, IDC_FONT_LIST_SIZE), now.listPoints);
    FillSizes(GetDlgItem(dialog_, IDC_FONT_ARTICLE_SIZE), now.articlePoints);
    FillSizes(GetDlgItem(dialog_, IDC_FONT_EDITOR_SIZE), now.editorPoints);
    FillSizes(GetDlgItem(dialog_, IDC_FONT_BOOK_SIZE), now.bookPoints);
}

int32_t CFontSettingsDlg::SelectedSize(int id) const {
    HWND combo = GetDlgItem(dialog_, id);
    LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return 0;
    LRESULT points = SendMessageW(combo, CB_GETITEMDATA, index, 0);
    return points == CB_ERR ? 0 : static_cast<int32_t>(points);
}

std::u16string CFontSettingsDlg::SelectedFace(int id) const {
    HWND combo = GetDlgItem(dialog_, id);
    LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    LRESULT units = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (units == CB_ERR || units <= 0) return {};
    std::wstring face(static_cast<size_t>(units) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(face.data()));
    face.resize(wcsnlen(face.c_str(), face.size()));
    return std::u16string(Char16View(face)).substr(0, kFaceNameUnits);
}

void CFontSettingsDlg::Apply(const FontChoice& choice) {
    FontApplyPlan plan = fonts_.Apply(choice);
    if ((plan.latinFace || plan.japaneseFace) && g_application) {
        // The base set's fonts were made again: the dialogs' Japanese font
        // and the tab strip's font too.
        g_application->japaneseDialogFont = fonts_.Set(kBaseFontSet).Font(kJapaneseSlot);
        if (dialog_) g_application->ApplyDialogFont(dialog_, kJapaneseFontControls);
        if (g_frame && g_frame->tabControl)
            SendMessageW(g_frame->tabControl, WM_SETFONT,
                         reinterpret_cast<WPARAM>(fonts_.Set(kBaseFontSet).Font(kLatinSlot)), TRUE);
    }
    RedoAfterFontChange(plan, fonts_, targets_);
}

void CFontSettingsDlg::OnCommand(int id, int code) {
    FontChoice choice;
    switch (id) {
    case IDC_FONT_LATIN_FACE:
    case IDC_FONT_JAPANESE_FACE:
        if (code != CBN_SELCHANGE) return;
        (id == IDC_FONT_LATIN_FACE ? choice.latinFace : choice.japaneseFace) = SelectedFace(id);
        Apply(choice);
        return;
    case IDC_FONT_INPUT_SIZE:
    case IDC_FONT_LIST_SIZE:
    case IDC_FONT_ARTICLE_SIZE:
    case IDC_FONT_EDITOR_SIZE:
    case IDC_FONT_BOOK_SIZE: {
        if (code != CBN_SELCHANGE) return;
        int32_t points = SelectedSize(id);
        if (id == IDC_FONT_INPUT_SIZE) choice.inputPoints = points;
        else if (id == IDC_FONT_LIST_SIZE) choice.listPoints = points;
        else if (id == IDC_FONT_ARTICLE_SIZE) choice.articlePoints = points;
        else if (id == IDC_FONT_EDITOR_SIZE) choice.editorPoints = points;
        else choice.bookPoints = points;
        Apply(choice);
        return;
    }
    case IDC_FONT_DEFAULTS:
        Apply(fonts_.DefaultChoice());
        Fill();
        return;
    case IDOK:
        SaveSettings();
        EndDialog(dialog_, 1);
        return;
    case IDCANCEL:
        Apply(opened_);  // every face and size the page changed, the book reader's too
        EndDialog(dialog_, 0);
        return;
    case IDC_FONT_HELP:
        if (g_application) g_application->ShowHelpTopic(dialog_, kHelpTopic);
        return;
    default:
        return;
    }
}
