// The conversion dialog: format and language choices, the checks before a
// compile (unknown format, already a dictionary, the target is the source,
// an existing target, disk space) and the compile itself.
#include "ui/convert_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "common/ui_text/ui_text.h"
#include "common/win/dialog_helpers.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "dictionary/language_names.h"
#include "import/compile_space.h"
#include "import/conversion_rules.h"
#include "import/converter.h"
#include "import/target_paths.h"
#include "resources/program/dialog_ids.h"
#include "storage/dms.h"
#include "ui/application.h"
#include "ui/compile_dialog.h"
#include "ui/dialog_procedure.h"
#include "ui/dialog_texts.h"

namespace {

enum Slot : int {
    kTitleSlot = 497, kConvertSlot = 509, kCancelSlot = 638, kHelpSlot = 269, kKanaSlot = 510, kPinyinSlot = 511,
    kUnknownSlot = 512, kUnknownCaptionSlot = 513, kNoConversionSlot = 514, kNoConversionCaptionSlot = 515,
    kReplaceSlot = 516, kReplaceCaptionSlot = 517, kCannotDeleteSlot = 518, kDiskSlot = 519, kDiskCaptionSlot = 520,
    kDoneSlot = 521, kFailedSlot = 522, kFailedCaptionSlot = 523,
};
constexpr ControlText kTexts[] = {
    {IDC_CONV_SOURCE_LABEL, 498},   {IDC_CONV_TARGET_LABEL, 499},  {IDC_CONV_FORMAT_LABEL, 500},
    {IDC_CONV_SOURCE_LANGUAGE_LABEL, 501}, {IDC_CONV_READING_LABEL, 502}, {IDC_CONV_LANGUAGE1_LABEL, 503},
    {IDC_CONV_LANGUAGE2_LABEL, 504}, {IDC_CONV_LANGUAGE3_LABEL, 505}, {IDC_CONV_COMPRESS, 506},
    {IDC_CONV_DSL_WORDS, 507},      {IDC_CONV_PRESS_LABEL, 508},   {IDOK, kConvertSlot},
    {IDCANCEL, kCancelSlot},        {IDC_CONV_HELP, kHelpSlot},
};
constexpr int kLanguageCombos[4] = {IDC_CONV_SOURCE_LANGUAGE, IDC_CONV_LANGUAGE1, IDC_CONV_LANGUAGE2,
                                    IDC_CONV_LANGUAGE3};
constexpr size_t kNameUnits = 511;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
const wchar_t* Wide(const std::u16string& text) { return Wide(text.c_str()); }

// Whether the file could be deleted now: open for deletion, shared with no one.
bool CanReplace(const std::u16string& path) {
    HANDLE file = CreateFileW(Wide(path), DELETE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

class ConvertDialog {
public:
    ConvertDialog(std::u16string_view source) : source_(source), dictionary_(kFormatWords) {}
    const std::u16string& Target() const { return target_; }
    INT_PTR OnInitDialog(HWND dialog);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void FillLists();
    // The defaults of the selected format; `changed` resets the languages first.
    void ApplyFormatDefaults(bool changed);
    int32_t SelectedFormatType() const;
    std::u16string Text(int id) const;
    void Convert();
    // The checks and the compile; 1 on success.
    int32_t RunConversion();

    HWND dialog_ = nullptr;
    std::u16string source_, target_;
    CDictionary dictionary_;
    SourceFileInfo info_{u""};
    CompileDialogRun run_;
};

INT_PTR ConvertDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (run_.HandleMessage(message, wParam, lParam)) return TRUE;
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        if (!run_.IsRunning()) Convert();
        return TRUE;
    case IDC_CONV_FORMAT:
        if (HIWORD(wParam) == CBN_SELCHANGE) ApplyFormatDefaults(true);
        return TRUE;
    default: return FALSE;
    }
}

INT_PTR ConvertDialog::OnInitDialog(HWND dialog) {
    dialog_ = dialog;
    static const int kFontControls[] = {IDC_CONV_SOURCE, IDC_CONV_TARGET, IDC_CONV_FORMAT, IDC_CONV_SOURCE_LANGUAGE,
                                        IDC_CONV_LANGUAGE1, IDC_CONV_LANGUAGE2, IDC_CONV_LANGUAGE3, IDC_CONV_READING,
                                        IDC_CONV_STEP, 0};
    if (g_application) g_application->ApplyDialogFont(dialog_, kFontControls);
    SetWindowTextW(dialog_, Wide(UIStringTable[kTitleSlot]));
    SetControlTexts(dialog_, kTexts);
    run_.Attach(dialog_, IDC_CONV_STEP, IDC_CONV_PROGRESS);
    SetDlgItemTextW(dialog_, IDC_CONV_SOURCE, Wide(source_));
    info_ = SourceFileInfo(source_);
    info_.Detect();
    const std::array<std::u16string, 4> languages = ProbedLanguages(info_);
    for (int i = 0; i < 4; ++i) {
        std::fill(std::begin(dictionary_.languages[i]), std::end(dictionary_.languages[i]), u'\0');
        std::copy_n(languages[i].begin(), std::min<size_t>(languages[i].size(), 3), dictionary_.languages[i]);
    }
    const std::u16string folder = g_application ? g_application->dictionariesFolder : u"";
    SetDlgItemTextW(dialog_, IDC_CONV_TARGET, Wide(ConversionTargetPath(folder, source_)));
    FillLists();
    ApplyFormatDefaults(false);
    SetFocus(GetDlgItem(dialog_, IDOK));
    return FALSE;
}

void ConvertDialog::FillLists() {
    HWND formats = GetDlgItem(dialog_, IDC_CONV_FORMAT);
    for (int i = 0; i < kConversionFormatCount; ++i) {
        const LRESULT item = SendMessageW(formats, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(kConversionFormats[i].name)));
        SendMessageW(formats, CB_SETITEMDATA, item, kConversionFormats[i].formatType);
    }
    ComboSelectByData(formats, static_cast<LPARAM>(info_.formatType));
    const bool russian = g_application && g_application->language == 0;
    for (int id : kLanguageCombos) {
        HWND combo = GetDlgItem(dialog_, id);
        for (int row = 0; row < kLanguageNameRows; ++row) {
            const char16_t* name = russian ? LanguageNameTable[row].russian : LanguageNameTable[row].english;
            const LRESULT item = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name)));
            SendMessageW(combo, CB_SETITEMDATA, item, row);
        }
    }
    HWND reading = GetDlgItem(dialog_, IDC_CONV_READING);
    for (const char16_t* text : {u"   ", UIStringTable[kKanaSlot], UIStringTable[kPinyinSlot]})
        SendMessageW(reading, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text)));
}

int32_t ConvertDialog::SelectedFormatType() const {
    HWND formats = GetDlgItem(dialog_, IDC_CONV_FORMAT);
    const LRESULT item = SendMessageW(formats, CB_GETCURSEL, 0, 0);
    return item == CB_ERR ? 0 : static_cast<int32_t>(SendMessageW(formats, CB_GETITEMDATA, item, 0));
}

void ConvertDialog::ApplyFormatDefaults(bool changed) {
    const int32_t type = SelectedFormatType();
    std::array<std::u16string, 4> languages;
    if (changed) {
        languages = LanguagesForFormat(type);
        for (int i = 0; i < 4; ++i) {
            std::fill(std::begin(dictionary_.languages[i]), std::end(dictionary_.languages[i]), u'\0');
            for (size_t u = 0; u < languages[i].size() && u < 3; ++u) dictionary_.languages[i][u] = languages[i][u];
        }
    }
    for (int i = 0; i < 4; ++i) languages[i] = dictionary_.languages[i];
    const FormatDefaults d = DefaultsForFormat(type, info_.formatFlags, languages);
    CheckDlgButton(dialog_, IDC_CONV_COMPRESS, d.compress ? BST_CHECKED : BST_UNCHECKED);
    if (d.readingItem >= 0) SendDlgItemMessageW(dialog_, IDC_CONV_READING, CB_SETCURSEL, d.readingItem, 0);
    for (int i = 0; i < 4; ++i) {
        HWND combo = GetDlgItem(dialog_, kLanguageCombos[i]);
        EnableWindow(combo, d.languageEnabled[i]);
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
        ComboSelectByData(combo, LanguageRowOfCode(languages[i]));
    }
    HWND dsl = GetDlgItem(dialog_, IDC_CONV_DSL_WORDS);
    ShowWindow(dsl, d.dslBoxShown ? SW_SHOW : SW_HIDE);
    EnableWindow(dsl, d.dslBoxShown);
    if (!d.dslBoxShown) CheckDlgButton(dialog_, IDC_CONV_DSL_WORDS, BST_UNCHECKED);
}

std::u16string ConvertDialog::Text(int id) const {
    std::vector<wchar_t> text(kNameUnits + 1, L'\0');
    GetDlgItemTextW(dialog_, id, text.data(), static_cast<int>(text.size()));
    return std::u16string(reinterpret_cast<const char16_t*>(text.data()));
}

void ConvertDialog::Convert() {
    CompileDialogRun::Running running(run_);
    SendDlgItemMessageW(dialog_, IDC_CONV_PROGRESS, PBM_SETPOS, 0, 0);
    if (RunConversion() == 1) EndDialog(dialog_, 1);
}

int32_t ConvertDialog::RunConversion() {
    for (int i = 0; i < 4; ++i) {
        std::fill(std::begin(dictionary_.languages[i]), std::end(dictionary_.languages[i]), u'\0');
        HWND combo = GetDlgItem(dialog_, kLanguageCombos[i]);
        const LRESULT item = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        if (item == CB_ERR) return 0;
        // Row 0 is no language: the slot stays empty.
        const std::u16string code = LanguageRowCode(static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, item, 0)));
        for (size_t u = 0; u < code.size() && u < 3; ++u) dictionary_.languages[i][u] = code[u];
    }
    const std::u16string source = Text(IDC_CONV_SOURCE);
    target_ = Text(IDC_CONV_TARGET);
    SourceFileInfo info(source);
    info.Detect();
    if (info.formatFlags == 0) {
        ShowBox(dialog_, FormatInterfaceText(UIStringTable[kUnknownSlot], {source}), UIStringTable[kUnknownCaptionSlot],
                MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    if (info.formatFlags & kFormatStoreDatabase) {
        ShowBox(dialog_, FormatInterfaceText(UIStringTable[kNoConversionSlot], {source}),
                UIStringTable[kNoConversionCaptionSlot], MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    // Refused before "Replace?" could delete the source itself.
    if (SamePath(source, target_)) {
        ShowBox(dialog_,
                FormatInterfaceText(UIStringTable[kFailedSlot],
                                    {LanguageText(u"Файл словаря совпадает с исходным файлом.",
                                                  u"The target file is the source file.",
                                                  u"変換先のファイルが元のファイルと同じです。")}),
                UIStringTable[kFailedCaptionSlot], MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    if (GetFileAttributesW(Wide(target_)) != INVALID_FILE_ATTRIBUTES) {
        if (ShowBox(dialog_, FormatInterfaceText(UIStringTable[kReplaceSlot], {target_}),
                    UIStringTable[kReplaceCaptionSlot], MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) != IDYES)
            return 0;
        // The old file stays until the new one is whole (the compiler puts it
        // in its place), so a compile that fails keeps it: here it is only
        // checked that it could be replaced.
        if (!CanReplace(target_)) {
            ShowSlotBox(dialog_, kCannotDeleteSlot, kCannotDeleteSlot, MB_OK | MB_ICONEXCLAMATION);
            return 0;
        }
    }
    if (const uint64_t size = FileSizeOrZero(source); size > 0) {
        const uint64_t required = CompileSpaceNeeded(info.formatFlags, size);
        uint64_t free = 0;
        if (!Failed(CheckDiskSpace(target_, &free, nullptr, nullptr)) && free < required) {
            const std::u16string drive = target_.substr(0, std::min<size_t>(target_.size(), 3));
            ShowBox(dialog_,
                    FormatInterfaceText(UIStringTable[kDiskSlot],
                                        {drive, static_cast<int64_t>(required / 1000000), static_cast<int64_t>(free / 1000000)}),
                    UIStringTable[kDiskCaptionSlot], MB_OK | MB_ICONEXCLAMATION);
            return 0;
        }
    }
    std::unique_ptr<CompileEnv> env = MakeCompileEnv();
    CConverter converter(dictionary_, CConverter::kNewFile, run_.Ui(), *env);
    converter.compactionEnabled = IsDlgButtonChecked(dialog_, IDC_CONV_COMPRESS) == BST_CHECKED;
    converter.dslTranslationWords = IsDlgButtonChecked(dialog_, IDC_CONV_DSL_WORDS) == BST_CHECKED;
    run_.SetConverter(&converter);
    dictionary_.conversionState = 3;
    const int32_t result = converter.Convert(info.formatFlags, source, target_);
    dictionary_.conversionState = 0;
    if (result == 1) {
        // What the compile left out of the source is said with the success.
        const std::u16string leftOut = converter.Report().Text();
        if (leftOut.empty()) {
            ShowSlotBox(dialog_, kDoneSlot, kDoneSlot, MB_OK | MB_ICONINFORMATION);
        } else {
            ShowBox(dialog_, std::u16string(UIStringTable[kDoneSlot]) + u"\n\n" + leftOut, UIStringTable[kDoneSlot],
                    MB_OK | MB_ICONWARNING);
        }
        return 1;
    }
    if (!converter.Cancelled())
        ShowBox(dialog_, FormatInterfaceText(UIStringTable[kFailedSlot], {converter.errorText}),
                UIStringTable[kFailedCaptionSlot], MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

}  // namespace

int32_t RunOpenConvertDialog(HWND owner, std::u16string_view source, std::u16string& target) {
    ConvertDialog dialog(source);
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), L"OPEN_CONVERT", owner, &DialogProcedure<ConvertDialog>,
                                           reinterpret_cast<LPARAM>(&dialog));
    if (result != 1) return -1;
    target = dialog.Target();
    return 1;
}
