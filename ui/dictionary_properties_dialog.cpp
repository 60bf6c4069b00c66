// The properties and new-dictionary dialog.
#include "ui/dictionary_properties_dialog.h"

#include <vector>

#include "common/base/number_format.h"
#include "common/ui_text/ui_text.h"
#include "common/win/dialog_helpers.h"
#include "common/win/file_dialogs.h"
#include "dictionary/dictionary_list_rules.h"
#include "resources/program/dialog_ids.h"
#include "ui/application.h"
#include "ui/dialog_procedure.h"
#include "ui/dialog_texts.h"

namespace {

enum Slot : int {
    kPropertiesTitleSlot = 160, kNewTitleSlot = 161, kFolderChoiceSlot = 157, kSaveSlot = 443, kCancelSlot = 638,
    kOkSlot = 637,
    kExistsSlot = 444, kExistsCaptionSlot = 445, kNoNameSlot = 447, kNoNameCaptionSlot = 448,
};
constexpr size_t kTextUnits = 1024;

constexpr ControlText kLabels[] = {
    {IDC_PROP_FILE_LABEL, 433},  {IDC_PROP_LANGUAGE_LABEL, 434}, {IDC_PROP_FOLDER_LABEL, 435},
    {IDC_PROP_TITLE_LABEL, 436}, {IDC_PROP_AUTHOR_LABEL, 437},   {IDC_PROP_NOTES_LABEL, 438},
    {IDC_PROP_ARTICLES_LABEL, 439}, {IDC_PROP_VERSION_LABEL, 440}, {IDC_PROP_SIZE_LABEL, 441},
    {IDC_PROP_DATE_LABEL, 442},  {IDCANCEL, kCancelSlot},
};

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

}  // namespace

INT_PTR CProperty::DoModal(CDictionary*, HWND parent) {
    return DialogBoxParamW(GetModuleHandleW(nullptr), L"PROPERTY", parent, &DialogProcedure<CProperty>,
                           reinterpret_cast<LPARAM>(this));
}

void CProperty::SetPath(std::u16string_view path) {
    SplitPathParts parts = SplitDictionaryPath(path);
    folder_ = std::move(parts.folder);
    name_ = std::move(parts.name);
}

std::u16string CProperty::GetPath() const { return JoinDictionaryPath(folder_, name_); }

std::u16string CProperty::ControlText(int id) const {
    std::vector<wchar_t> text(kTextUnits + 1, L'\0');
    GetDlgItemTextW(dialog_, id, text.data(), static_cast<int>(text.size()));
    return std::u16string(reinterpret_cast<const char16_t*>(text.data()));
}

void CProperty::SetControl(int id, std::u16string_view text) {
    const std::u16string shown = WithCarriageReturns(text);
    SetDlgItemTextW(dialog_, id, Wide(shown));
}

INT_PTR CProperty::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND) return FALSE;
    // A second Save (a double click, Enter and then a click) comes while the
    // first one creates the file or shows its box: it would read the texts
    // again under the creation and find the file just made.
    if (working_) return TRUE;
    switch (LOWORD(wParam)) {
    case IDOK:
        if (mode_ == 0) EndDialog(dialog_, 1);
        else OnOk();
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog_, 0);
        return TRUE;
    case IDC_PROP_BROWSE: {
        wchar_t folder[MAX_PATH] = {};
        const std::u16string start = ControlText(IDC_PROP_FOLDER);
        if (BrowseForFolder(dialog_, folder, reinterpret_cast<const wchar_t*>(UIStringTable[kFolderChoiceSlot]),
                            PathFits(start) ? Wide(start) : nullptr))
            SetDlgItemTextW(dialog_, IDC_PROP_FOLDER, folder);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

INT_PTR CProperty::OnInitDialog(HWND dialog) {
    dialog_ = dialog;
    // Every field that shows text: the size ends in "バイト", the language may be a Japanese name.
    static const int kFontControls[] = {IDC_PROP_FILE,    IDC_PROP_FOLDER,  IDC_PROP_TITLE,    IDC_PROP_AUTHOR,
                                        IDC_PROP_NOTES,   IDC_PROP_VERSION, IDC_PROP_DATE,     IDC_PROP_SIZE,
                                        IDC_PROP_ARTICLES, IDC_PROP_LANGUAGE, 0};
    if (g_application) g_application->ApplyDialogFont(dialog_, kFontControls);
    SetWindowTextW(dialog_, reinterpret_cast<const wchar_t*>(UIStringTable[mode_ == 0 ? kPropertiesTitleSlot : kNewTitleSlot]));
    SetControlTexts(dialog_, kLabels);
    SetDlgItemTextW(dialog_, IDOK, reinterpret_cast<const wchar_t*>(UIStringTable[mode_ == 0 ? kOkSlot : kSaveSlot]));
    if (mode_ == 1) {
        for (int id : {IDC_PROP_ARTICLES, IDC_PROP_ARTICLES_LABEL, IDC_PROP_SIZE, IDC_PROP_SIZE_LABEL, IDC_PROP_DATE,
                       IDC_PROP_DATE_LABEL, IDC_PROP_LANGUAGE, IDC_PROP_LANGUAGE_LABEL})
            ShowWindow(GetDlgItem(dialog_, id), SW_HIDE);
    }
    SetControl(IDC_PROP_TITLE, texts.title);
    SetControl(IDC_PROP_AUTHOR, texts.author);
    SetControl(IDC_PROP_NOTES, texts.notes);
    SetControl(IDC_PROP_VERSION, texts.version);
    SetControl(IDC_PROP_DATE, CutDateText(texts.date));
    SetControl(IDC_PROP_FILE, name_);
    SetControl(IDC_PROP_FOLDER, folder_);
    if (mode_ == 0) {
        const int32_t interfaceLanguage = g_application ? g_application->language : 1;
        char16_t number[kThousandsCapacity] = {};
        FormatThousands(number, kThousandsCapacity, fileSize > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(fileSize),
                        UILanguageFromValue(interfaceLanguage));
        std::u16string size(number);
        size += LanguageText(u" байт", u" bytes", u"バイト");
        SetControl(IDC_PROP_SIZE, size);
        const std::string count = std::to_string(articleCount);
        SetControl(IDC_PROP_ARTICLES, std::u16string(count.begin(), count.end()));
        SetControl(IDC_PROP_LANGUAGE, language);
        for (int id : {IDC_PROP_BROWSE, IDC_PROP_FILE, IDC_PROP_FOLDER, IDC_PROP_TITLE, IDC_PROP_AUTHOR, IDC_PROP_NOTES})
            EnableWindow(GetDlgItem(dialog_, id), FALSE);
    }
    SetFocus(GetDlgItem(dialog_, IDCANCEL));
    return FALSE;  // the focus was set
}

void CProperty::OnOk() {
    working_ = true;
    const bool done = ReadAndCreate();
    working_ = false;
    if (done) EndDialog(dialog_, 1);
}

bool CProperty::ReadAndCreate() {
    texts.title = ControlText(IDC_PROP_TITLE);
    texts.author = ControlText(IDC_PROP_AUTHOR);
    texts.notes = ControlText(IDC_PROP_NOTES);
    texts.version = ControlText(IDC_PROP_VERSION);
    folder_ = ControlText(IDC_PROP_FOLDER);
    name_ = ControlText(IDC_PROP_FILE);
    if (name_.empty()) {
        ShowSlotBox(dialog_, kNoNameSlot, kNoNameCaptionSlot, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    name_ = WithDictionaryExtension(name_);
    const std::u16string path = GetPath();
    if (!PathFits(path)) {
        ShowBox(dialog_,
                FormatInterfaceText(LanguageText(u"Слишком длинный путь к файлу:\n%s", u"The file path is too long:\n%s",
                                                 u"ファイルのパスが長すぎます：\n%s"),
                                    {path}),
                UIStringTable[kNewTitleSlot], MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES) {
        ShowBox(dialog_, FormatInterfaceText(UIStringTable[kExistsSlot], {path}), UIStringTable[kExistsCaptionSlot],
                MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // A failed creation has shown the engine's error: the dialog stays for another try.
    return !create || create(path, *this);
}
