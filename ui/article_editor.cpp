// The article editor window: loading an article into lines of a rich text
// control, kinds as paragraph styles, the classification after each change,
// the kind margin, the commands and keys, and saving through the save core.
#include "ui/article_editor.h"

#include "article/rtf_dispatch.h"
#include "article/rtf_renderer_flags.h"
#include "article/win/article_view.h"
#include "article/win/clipboard_render.h"
#include "article/win/rich_edit.h"
#include "article/win/rich_edit_stream.h"
#include "article/win/rtf_rich_edit.h"
#include "common/app_context.h"
#include "common/settings/settings_file.h"
#include "common/settings/settings_keys.h"
#include "common/text/kana_transcription.h"
#include "common/text/win/clipboard_text.h"
#include "common/ui_text/ui_text.h"
#include "common/win/dialog_helpers.h"
#include "common/win/wide_text.h"
#include "dictionary/dictionary.h"
#include "import/article_record.h"
#include "import/article_save.h"
#include "resources/program/resource_ids.h"
#include "storage/byte_order.h"
#include "storage/dms.h"
#include "ui/application.h"
#include "ui/command_ids.h"
#include "ui/dialog_texts.h"
#include "ui/font_sets.h"
#include "ui/frame.h"
#include "ui/list_view.h"

#include <richedit.h>

#include <algorithm>
#include <array>

namespace {

IEditorHost* g_host = nullptr;

constexpr UINT kCloseMessage = WM_APP + 0x42;  // closes the editor once its window procedure returns
constexpr UINT kReadOnlyNote = WM_APP + 0x43;  // tells, once the window is up, that the dictionary cannot be written
constexpr UINT kTooLongNote = WM_APP + 0x44;   // tells, once the window is up, that the stored article is too long to edit
constexpr int32_t kReadOnlyMode = 2;          // the engine mode of a file opened without writing
// The longest article text the editor takes (UTF-16 units), as an edit
// control's classic limit: longer articles make every window that shows them
// (lists, article view) slow to lay out.
constexpr int32_t kMostArticleUnits = 32767;
// The control's own limit while a stored article loads: a longer one is
// shown whole, read-only, instead of cut where the control would cut it.
constexpr int32_t kMostLoadedUnits = 16 << 20;
// Format types of records in the program's own markup (the editor's own, and its older form).
constexpr uint32_t kOwnMarkupFormat = 1;
constexpr uint32_t kOwnMarkupFormatOld = 2;
constexpr uint32_t kAutomaticKinds = 40632;
constexpr uint32_t kAddToSelected = 40642;
constexpr int32_t kHelpTopic = 120;
constexpr DWORD kEventMask = 0xA0015;  // change, scroll, drag-drop, mouse, selection
constexpr int32_t kStayOpen = 1363;
constexpr int32_t kBaseline = 13;      // a line's baseline below its top, in pixels

// Interface-text slots of the editor's own texts.
enum EditorSlot : int {
    kAddSelectedSlot = 71,
    kWebSearchSlot = 78,
    kSaveChangesSlot = 169,
    kCannotSaveCaptionSlot = 179,
    kCannotSaveTextSlot = 180,
    kInternalErrorSlot = 183,
    kTooLongTextSlot = 202,
    kTooLongCaptionSlot = 203,
    kReadOnlyTextSlot = 212,
    kReadOnlyCaptionSlot = 213,
    kNewArticleCaptionSlot = 193,
    kEditArticleCaptionSlot = 194,
    kNewWindowSlot = 201,
    kHelpSlot = 269,
    kSaveSlot = 443,
    kCancelSlot = 638,
};
constexpr ControlText kButtonTexts[] = {
    {IDC_EDITOR_HELP, kHelpSlot}, {IDC_EDITOR_NEW_WINDOW, kNewWindowSlot},
    {IDC_EDITOR_SAVE, kSaveSlot}, {IDC_EDITOR_CANCEL, kCancelSlot},
};

// The toolbar: image number and command, 0 for a separator.
struct ToolButton {
    int32_t image;
    uint32_t command;
};
constexpr ToolButton kToolButtons[] = {
    {11, 40024}, {12, 40033}, {13, 40025}, {-1, 0},    {7, 40622},  {6, 40623},  {-1, 0},    {8, 40625},
    {9, 40624},  {10, 40626}, {-1, 0},    {29, 40615}, {30, 40616}, {31, 40617}, {28, 40618}, {18, 40619},
    {22, 40620}, {21, 40630}, {14, 40631}, {-1, 0},    {23, kAddToSelected},
};

// The margin: the ellipse colour and icon of each kind.
COLORREF KindColour(int32_t base) {
    switch (base) {
    case kLineReading: case kLineIdiom: return 0xA7A3FF;
    case kLineKanji: return 0xEAD999;
    case kLineExample: return 0xBCF9D3;
    case kLineLetters: return 0xDCDCDC;
    default: return 0xFFFFFF;
    }
}
bool HasEllipse(int32_t base) {
    return base == kLineReading || base == kLineKanji || base == kLineLetters || base == kLineExample ||
           base == kLineTranslation;
}
int32_t KindIcon(int32_t base) {
    switch (base) {
    case kLineReading: return 25;
    case kLineKanji: return 26;
    case kLineLetters: return 27;
    case kLineNote: return 22;
    case kLineIdiom: return 21;
    case kLineTranslation: case kLineExample: return -1;
    default: return 14;
    }
}

std::u16string FileTitle(std::u16string_view path) {
    const size_t slash = path.find_last_of(u"\\/");
    std::u16string name(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
    if (const size_t dot = name.rfind(u'.'); dot != std::u16string::npos && dot > 0) name.resize(dot);
    return name;
}

// Units of the control's text (a paragraph end counts one).
int32_t TextUnits(HWND control) {
    GETTEXTLENGTHEX query = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    return static_cast<int32_t>(std::max<LRESULT>(SendMessageW(control, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0), 0));
}

// Units `text` takes in the control, which keeps a CR LF pair as one
// paragraph end: every route into the editor counts a text so.
size_t UnitsInControl(std::u16string_view text) {
    // Each unit past the first of a pair still counts half: a text this long is too long whatever it holds.
    if (text.size() > 2 * static_cast<size_t>(kMostArticleUnits) + 1) return text.size();
    return static_cast<size_t>(ControlPositions(text)(static_cast<int32_t>(text.size())));
}

// Lines changed at once beyond which the control is not drawn until the
// work is done (a paste, a load); a key touches one or two.
constexpr size_t kFewLines = 4;

// The bold and italic bits of the control's [start, end) into `bits` (indexed
// from `origin`): a range of one format answers at once, a mixed one is
// halved, so a long plain line costs one question, not one per character.
void ReadAttributes(HWND control, int32_t start, int32_t end, int32_t origin, std::vector<uint16_t>& bits) {
    if (end <= start) return;
    SendMessageW(control, EM_SETSEL, start, end);
    CHARFORMAT2W chars = {};
    chars.cbSize = sizeof chars;
    SendMessageW(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&chars));
    constexpr DWORD kBoth = CFM_BOLD | CFM_ITALIC;
    if ((chars.dwMask & kBoth) != kBoth && end - start > 1) {
        const int32_t middle = start + (end - start) / 2;
        ReadAttributes(control, start, middle, origin, bits);
        ReadAttributes(control, middle, end, origin, bits);
        return;
    }
    const auto value = static_cast<uint16_t>(((chars.dwEffects & CFE_BOLD) ? kCharBold : 0) |
                                             ((chars.dwEffects & CFE_ITALIC) ? kCharItalic : 0));
    std::fill(bits.begin() + (start - origin), bits.begin() + (end - origin), value);
}

}  // namespace

void SetEditorHost(IEditorHost* host) { g_host = host; }

ArticleEditor::ArticleEditor() = default;

ArticleEditor::~ArticleEditor() {
    if (text_ && text_->Window()) RemoveWindowSubclass(text_->Window(), TextProc, 0);
    if (text_) text_->ForgetWindow();
    if (dialog_) {
        SetWindowLongPtrW(dialog_, GWLP_USERDATA, 0);
        DestroyWindow(dialog_);
    }
    text_.reset();
    if (images_) ImageList_Destroy(images_);
    if (icon_) DestroyIcon(icon_);
}

bool ArticleEditor::Open(CDictionary* source, CDictionary& target, uint32_t recordId, std::u16string_view text) {
    source_ = source;
    target_ = &target;
    recordId_ = recordId;
    if (recordId != 0) {
        CDictionary& from = source ? *source : target;
        flags_ = !source || source == &target ? kEditorSameDictionary : kEditorOtherDictionary;
        CDMS& engine = from.Engine();
        // An id held in a list leads through earlier edits to the current record.
        const uint32_t position = CurrentArticlePosition(engine, from.fileId, recordId);
        uint32_t handle = 0;
        if (position == 0 || Failed(engine.OpenCursor(from.fileId, &handle))) return false;
        uint32_t size = 0;
        DmsStatus status = engine.ReadData(handle, position, nullptr, &size);
        std::vector<uint8_t> record(size);
        if (!Failed(status) || status == DmsStatus::Deleted) {
            const DmsStatus second = engine.ReadData(handle, position, record.data(), &size);
            if (status != DmsStatus::Deleted) status = second;
        }
        engine.CloseCursor(handle);
        if (status == DmsStatus::Deleted) flags_ = kEditorRecordDeleted;
        else if (Failed(status)) return false;
        // A record of its head alone, or less, holds no article.
        if (size <= kArticleRecordHeadBytes) return false;
        record.resize(size);
        const uint32_t formatType = storage::LoadU16(record.data() + 8);
        if (formatType == kOwnMarkupFormat || formatType == kOwnMarkupFormatOld) {
            // The program's own markup is read line by line, so that it is saved back as it was.
            initialLines_ = StoredArticleLines(from, record.data(), static_cast<uint32_t>(record.size()));
            for (EditorLine& line : initialLines_)
                if (line.kind < kUserKind) line.kind += kUserKind;  // loaded kinds count as chosen
        } else {
            renderedRecord_ = std::move(record);
        }
    } else {
        flags_ = kEditorNewArticle;
        // A text the editor could never save opens no editor (the clipboard
        // and selection routes): the control counts a CR LF pair as one unit.
        if (UnitsInControl(text) > static_cast<size_t>(kMostArticleUnits)) {
            ShowSlotBox(g_host ? g_host->MainWindow() : nullptr, kTooLongTextSlot, kTooLongCaptionSlot,
                        MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        if (!text.empty()) initialLines_.push_back({InitialLineKind(text) + kUserKind, std::u16string(text), {}});
    }
    if (!g_application) return false;
    HWND owner = g_host ? g_host->MainWindow() : nullptr;
    dialog_ = CreateDialogParamW(g_application->instance, L"RDF_EDIT", owner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (!dialog_) return false;
    ShowWindow(dialog_, SW_SHOW);
    return true;
}

INT_PTR CALLBACK ArticleEditor::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* editor = reinterpret_cast<ArticleEditor*>(lParam);
        SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
        editor->dialog_ = dialog;
        editor->OnInitDialog();
        return FALSE;  // the focus is set
    }
    auto* editor = reinterpret_cast<ArticleEditor*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    return editor ? editor->OnMessage(message, wParam, lParam) : FALSE;
}

void ArticleEditor::OnInitDialog() {
    icon_ = static_cast<HICON>(LoadImageW(g_application->instance, MAKEINTRESOURCEW(IDI_EDITOR), IMAGE_ICON, 16, 16, 0));
    if (icon_) SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    text_ = std::make_unique<CRichEdit>(dialog_, true, IDC_EDITOR_TEXT, 38, 29, 300, 200, true);
    if (HWND control = text_->Window()) {
        SendMessageW(control, EM_SETEVENTMASK, 0, kEventMask);
        SendMessageW(control, EM_SETUNDOLIMIT, 100, 0);
        SendMessageW(control, EM_EXLIMITTEXT, 0, recordId_ != 0 ? kMostLoadedUnits : kMostArticleUnits);
        SetWindowSubclass(control, TextProc, 0, reinterpret_cast<DWORD_PTR>(this));
    }
    const bool fresh = flags_ & (kEditorNewArticle | kEditorRecordDeleted | kEditorOtherDictionary);
    const std::u16string caption =
        FormatInterfaceText(UIStringTable[fresh ? kNewArticleCaptionSlot : kEditArticleCaptionSlot],
                            {FormatArg(FileTitle(target_->File().path))});
    SetWindowTextW(dialog_, WideString(caption).c_str());
    SetControlTexts(dialog_, kButtonTexts);
    MakeToolbar();
    RECT help{}, cancel{};
    GetWindowRect(GetDlgItem(dialog_, IDC_EDITOR_HELP), &help);
    GetWindowRect(GetDlgItem(dialog_, IDC_EDITOR_CANCEL), &cancel);
    minWidth_ = 2 * (help.right - help.left) + 2 * (cancel.right - cancel.left) + 122;
    PlaceWindow();
    RECT client{};
    GetClientRect(dialog_, &client);
    Layout(client.right, client.bottom);
    if (g_application->fonts) text_->SetFontSize(g_application->fonts->Set(kEditorFontSet).PointSize() * 20);
    if (!renderedRecord_.empty()) LoadRendered();
    else LoadLines(initialLines_);
    initialLines_.clear();
    renderedRecord_.clear();
    if (HWND control = text_->Window(); control && recordId_ != 0) {
        // A stored article longer than the editor saves is shown, not edited.
        tooLong_ = TextUnits(control) > kMostArticleUnits;
        if (tooLong_) {
            SendMessageW(control, EM_SETREADONLY, TRUE, 0);
            PostMessageW(dialog_, kTooLongNote, 0, 0);
        } else {
            SendMessageW(control, EM_EXLIMITTEXT, 0, kMostArticleUnits);
        }
    }
    // What the user changes is measured from here: Save and Undo wait for a change.
    SyncLines();
    openedText_ = table_.Text();
    UpdateToolbar();
    FocusText();
    // A dictionary that could only be opened for reading (a read-only file or
    // medium) is said so now, not first when a save fails.
    if (target_->openMode == kReadOnlyMode) PostMessageW(dialog_, kReadOnlyNote, 0, 0);
}

LRESULT CALLBACK ArticleEditor::TextProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) {
    if (!reinterpret_cast<ArticleEditor*>(self)->BeforeTextMessage(message, wParam)) return 0;
    return DefSubclassProc(window, message, wParam, lParam);
}

bool ArticleEditor::BeforeTextMessage(UINT message, WPARAM wParam) {
    HWND control = text_ ? text_->Window() : nullptr;
    if (!control) return true;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    bool typed = false;      // one unit in place of the selection
    bool selection = false;  // the selection replaced
    bool anything = false;   // any text replaced
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
        typed = wParam >= 0x20 || wParam == '\r' || wParam == '\t';
        selection = typed;
        break;
    case WM_KEYDOWN:
        selection = wParam == VK_BACK || wParam == VK_DELETE || wParam == VK_RETURN || wParam == VK_INSERT ||
                    (ctrl && (wParam == 'V' || wParam == 'X'));
        anything = ctrl && (wParam == 'Z' || wParam == 'Y');
        break;
    case WM_PASTE: case EM_PASTESPECIAL: case EM_REPLACESEL: case WM_CUT: case WM_CLEAR:
        selection = true;
        break;
    case EM_STREAMIN:
        selection = (wParam & SFF_SELECTION) != 0;
        anything = !selection;
        break;
    case WM_SETTEXT: case EM_SETTEXTEX: case WM_UNDO: case EM_UNDO: case EM_REDO:
        anything = true;
        break;
    default:
        return true;
    }
    if (anything) {
        replaced_.AddAll();
        return true;
    }
    if (!selection) return true;
    CHARRANGE range{};
    SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const bool replacing = range.cpMax > range.cpMin;
    const int32_t units = typed || replacing ? TextUnits(control) : 0;
    // A unit typed into a full article: the control would drop it unsaid.
    if (typed && units - (range.cpMax - range.cpMin) >= kMostArticleUnits &&
        !(GetWindowLongW(control, GWL_STYLE) & ES_READONLY)) {
        MessageBeep(MB_OK);
        if (!fullTold_) {
            fullTold_ = true;
            ShowProblems();
        }
        return false;
    }
    // What a caret alone gets, the texts before and after tell; a selection
    // replaced may read the same afterwards.
    if (replacing)
        replaced_.Add(static_cast<size_t>(std::max<LONG>(range.cpMin, 0)), static_cast<size_t>(range.cpMax),
                      static_cast<size_t>(units));
    return true;
}

void ArticleEditor::MakeToolbar() {
    toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER |
                                   CCS_NOPARENTALIGN,
                               40, 0, 432, 24, dialog_, reinterpret_cast<HMENU>(IDC_EDITOR_TOOLBAR),
                               g_application->instance, nullptr);
    if (!toolbar_) return;
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    images_ = ImageList_LoadImageW(g_application->instance, MAKEINTRESOURCEW(IDB_EDITOR_IMAGES), 16, 0,
                                   RGB(0xC0, 0xC0, 0xC0), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (images_) SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    SendMessageW(toolbar_, TB_SETINDENT, 2, 0);
    std::vector<TBBUTTON> buttons;
    for (const ToolButton& b : kToolButtons) {
        TBBUTTON button = {};
        button.iBitmap = b.image < 0 ? 0 : b.image;
        button.idCommand = static_cast<int>(b.command);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = b.command == 0 ? BTNS_SEP : b.command == kAddToSelected ? BTNS_CHECK : BTNS_BUTTON;
        if (b.command == kAddToSelected) button.fsState |= TBSTATE_CHECKED;
        buttons.push_back(button);
    }
    SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(24, 24));
}

void ArticleEditor::PlaceWindow() {
    RECT rect{};
    GetWindowRect(dialog_, &rect);
    int32_t x = rect.left, y = rect.top, width = rect.right - rect.left, height = rect.bottom - rect.top;
    // Cascaded from the editor of this dictionary that stands furthest right.
    const ArticleEditor* rightmost = nullptr;
    RECT best{};
    for (CEditor* e = target_->editors; e != nullptr; e = e->next) {
        auto* other = dynamic_cast<ArticleEditor*>(e);
        RECT r{};
        if (other == nullptr || other == this || !other->dialog_ || !GetWindowRect(other->dialog_, &r)) continue;
        if (!rightmost || r.left > best.left) rightmost = other, best = r;
    }
    CIni* ini = g_application ? g_application->ini.get() : nullptr;
    if (rightmost) {
        x = best.left + 120;
        y = best.top + 50;
        width = best.right - best.left;
        height = best.bottom - best.top;
    } else if (ini && ini->GetInt(settings_section::kEditor, u"Width", 0) != 0 &&
               ini->GetInt(settings_section::kEditor, u"Height", 0) != 0) {
        x = ini->GetInt(settings_section::kEditor, u"Left", 0);
        y = ini->GetInt(settings_section::kEditor, u"Right", 0);  // "Right" holds the top edge
        width = ini->GetInt(settings_section::kEditor, u"Width", 0);
        height = ini->GetInt(settings_section::kEditor, u"Height", 0);
    } else {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    width = std::max(width, 100);
    height = std::max(height, 100);
    ClampToWorkArea(x, y, width, height);
    SetWindowPos(dialog_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ArticleEditor::Layout(int32_t width, int32_t height) {
    if (toolbar_) MoveWindow(toolbar_, 40, 0, width - 62, 26, TRUE);
    if (text_ && text_->Window()) MoveWindow(text_->Window(), 38, 29, width - 58, height - 180, TRUE);
    MoveWindow(GetDlgItem(dialog_, IDC_EDITOR_PROBLEMS), 40, height - 140, width - 58, 75, TRUE);
    auto place = [&](int id, int32_t x) {
        HWND button = GetDlgItem(dialog_, id);
        RECT r{};
        GetWindowRect(button, &r);
        MoveWindow(button, x, height - 40, r.right - r.left, r.bottom - r.top, TRUE);
        return r.right - r.left;
    };
    const int32_t helpWidth = place(IDC_EDITOR_HELP, 38);
    place(IDC_EDITOR_NEW_WINDOW, helpWidth + 54);
    RECT cancel{}, save{};
    GetWindowRect(GetDlgItem(dialog_, IDC_EDITOR_CANCEL), &cancel);
    GetWindowRect(GetDlgItem(dialog_, IDC_EDITOR_SAVE), &save);
    const int32_t cancelWidth = cancel.right - cancel.left;
    place(IDC_EDITOR_SAVE, width - 58 - cancelWidth + 22 - (save.right - save.left));
    place(IDC_EDITOR_CANCEL, width - 58 - cancelWidth + 38);
    InvalidateRect(dialog_, nullptr, TRUE);
}

INT_PTR ArticleEditor::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) Layout(LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = minWidth_;
        info->ptMinTrackSize.y = 400;
        return TRUE;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog_, &paint);
        PaintMargin(dc);
        EndPaint(dialog_, &paint);
        return TRUE;
    }
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == IDC_EDITOR_TEXT) {
            if (g_host && g_host->ShelfBusy()) return TRUE;
            // The wrapper's own format changes are not typing.
            if (code == EN_CHANGE && inChange_ == 0 && !text_->Busy()) {
                // The text is read once; only the lines the change touched are
                // asked for their kinds and given their faces.
                const std::u16string now = CRichEdit::GetText(text_->Window());
                // Typed or pasted kana and kanji take the Japanese face.
                text_->ApplyScriptFontsToText(now);
                SyncLines(now);
                Reclassify(false);
            }
            if (code == EN_CHANGE) UpdateToolbar();
            if (code == EN_CHANGE || code == EN_VSCROLL) InvalidateMargin();
            return TRUE;
        }
        if (code == 0x100) return TRUE;
        OnCommand(id);
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_EDITOR_TEXT && header->code == EN_SELCHANGE && inChange_ == 0) UpdateToolbar();
        if (header->idFrom == IDC_EDITOR_TEXT && header->code == EN_MSGFILTER) {
            const auto* filter = reinterpret_cast<const MSGFILTER*>(lParam);
            if (filter->msg == WM_RBUTTONUP)
                ShowContextMenu({static_cast<short>(LOWORD(filter->lParam)), static_cast<short>(HIWORD(filter->lParam))});
        }
        return TRUE;
    }
    case WM_HELP:
        OnCommand(IDC_EDITOR_HELP);
        return TRUE;
    case WM_CLOSE:
        CloseAsked();
        return TRUE;
    case kReadOnlyNote:
        ShowSlotBox(dialog_, kReadOnlyTextSlot, kReadOnlyCaptionSlot, MB_OK | MB_ICONINFORMATION);
        return TRUE;
    case kTooLongNote:
        ShowSlotBox(dialog_, kTooLongTextSlot, kTooLongCaptionSlot, MB_OK | MB_ICONEXCLAMATION);
        return TRUE;
    case kCloseMessage:
        // The last use of this object: the dictionary deletes it.
        CloseEditor(*target_, *this);
        return TRUE;
    default:
        return FALSE;
    }
}

void ArticleEditor::OnCommand(uint32_t id) {
    HWND control = text_ ? text_->Window() : nullptr;
    if (!control) return;
    if (const int32_t kind = KindOfCommand(id); kind >= 0) {
        formatChanged_ = true;
        SyncLines();
        SetKindOnSelection(kind + kUserKind);
        Reclassify(false);
        UpdateToolbar();
        return;
    }
    switch (id) {
    case kAutomaticKinds:
        formatChanged_ = true;
        SyncLines();
        Reclassify(true);
        return;
    case 40622:
    case 40623:
        TakeStep(id == 40622);
        text_->ScriptFontsGiven();  // undoing brings the faces back with the text
        ShowCheck(CheckLines(table_.Lines()));
        InvalidateRect(dialog_, nullptr, TRUE);
        UpdateToolbar();
        return;
    case 40625:
        formatChanged_ = true;
        ToggleEffect(CFM_BOLD, CFE_BOLD);
        return;
    case 40624:
        formatChanged_ = true;
        ToggleEffect(CFM_ITALIC, CFE_ITALIC);
        return;
    case 40626: ConvertToKana(); return;
    case 40024: CopySelection(true); return;
    case 40033: CopySelection(false); return;
    case 40025: Paste(); return;
    case IDC_EDITOR_HELP:
        if (g_application) g_application->ShowHelpTopic(dialog_, kHelpTopic);
        return;
    case IDC_EDITOR_NEW_WINDOW: {
        // A stored article shown read-only for its length makes no copy that could be saved.
        if (TextUnits(control) > kMostArticleUnits) {
            ShowSlotBox(dialog_, kTooLongTextSlot, kTooLongCaptionSlot, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        const std::vector<EditorLine> lines = ReadLines(true);
        if (auto* copy = dynamic_cast<ArticleEditor*>(OpenEditor(*target_, nullptr, 0, {}))) copy->LoadLines(lines);
        return;
    }
    case IDC_EDITOR_SAVE:
        if (SaveArticle()) PostMessageW(dialog_, kCloseMessage, 0, 0);
        return;
    case IDC_EDITOR_CANCEL:
    case IDCANCEL:
        CloseAsked();
        return;
    default:
        return;
    }
}

namespace {

// Whether a step that left the text as it was changed only kinds the
// classification chose: some line's kind differs, and no kind the user
// chose is among those that changed.
bool OnlyAutomaticKindsChanged(const std::vector<int32_t>& before, const std::vector<int32_t>& after) {
    if (before.size() != after.size()) return false;
    bool changed = false;
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i] == after[i]) continue;
        if (before[i] >= kUserKind || after[i] >= kUserKind) return false;
        changed = true;
    }
    return changed;
}

}  // namespace

void ArticleEditor::TakeStep(bool back) {
    HWND control = text_->Window();
    const UINT step = back ? EM_UNDO : EM_REDO, reverse = back ? EM_REDO : EM_UNDO;
    const UINT can = back ? EM_CANUNDO : EM_CANREDO;
    // The kinds the classification wrote after an edit are steps of the
    // control's own: one Undo takes them back with the edit, one Redo brings
    // them again with it, where the first presses changed only the margin.
    ++inChange_;
    ReloadLines();
    std::u16string text = table_.Text();
    std::vector<int32_t> kinds = Kinds();
    bool userStep = false;
    while (SendMessageW(control, can, 0, 0)) {
        SendMessageW(control, step, 0, 0);
        // An undone kind changes no text: every line's kind is read again.
        ReloadLines();
        const bool automatic = table_.Text() == text && OnlyAutomaticKindsChanged(kinds, Kinds());
        if (!automatic && userStep) {
            // The user's next step: left where it was.
            SendMessageW(control, reverse, 0, 0);
            ReloadLines();
            break;
        }
        userStep = userStep || !automatic;
        // Undoing stops at the user's step; redoing goes on through the kinds that followed it.
        if (userStep && back) break;
        text = table_.Text();
        kinds = Kinds();
    }
    --inChange_;
}

bool ArticleEditor::HasTextWindow(const void* window) const {
    return window && text_ && window == text_->Window();
}

void ArticleEditor::SyncLines() {
    if (text_ && text_->Window()) SyncLines(CRichEdit::GetText(text_->Window()));
}

void ArticleEditor::SyncLines(std::u16string_view now) {
    const LineRange made = table_.Update(now, replaced_);
    replaced_.Clear();
    ReadKinds(made);
    if (fullTold_ && TextUnits(text_->Window()) < kMostArticleUnits) {
        fullTold_ = false;
        ShowProblems();
    }
}

void ArticleEditor::ReloadLines() {
    HWND control = text_ ? text_->Window() : nullptr;
    if (!control) return;
    table_.Reset(CRichEdit::GetText(control));
    replaced_.Clear();
    ReadKinds({0, table_.Count()});
}

void ArticleEditor::ReadKinds(LineRange range) {
    HWND control = text_->Window();
    if (range.Count() == 0 || !control) return;
    ++inChange_;
    {
        QuietSelection quiet(control, range.Count() > kFewLines);
        // A selection over several paragraphs tells their style when they
        // share it: lines of one kind cost one question however many there are.
        std::vector<LineRange> pending{range};
        while (!pending.empty()) {
            const LineRange part = pending.back();
            pending.pop_back();
            const int32_t first = table_.Start(part.first);
            // A selection up to a paragraph's first unit leaves that paragraph out.
            const int32_t last = part.Count() == 1 ? first : table_.Start(part.end - 1) + 1;
            SendMessageW(control, EM_SETSEL, first, last);
            PARAFORMAT2 format = {};
            format.cbSize = sizeof format;
            format.dwMask = PFM_STYLE;
            SendMessageW(control, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
            if ((format.dwMask & PFM_STYLE) || part.Count() == 1) {
                for (size_t i = part.first; i < part.end; ++i) table_.Lines()[i].kind = format.sStyle;
                continue;
            }
            const size_t middle = part.first + part.Count() / 2;
            pending.push_back({middle, part.end});
            pending.push_back({part.first, middle});
        }
    }
    --inChange_;
}

void ArticleEditor::WriteKinds(std::span<const int32_t> wanted) {
    HWND control = text_->Window();
    const std::span<EditorLine> lines = table_.Lines();
    size_t differing = 0;
    for (size_t i = 0; i < lines.size() && i < wanted.size(); ++i) differing += wanted[i] != lines[i].kind;
    if (differing == 0 || !control) return;
    ++inChange_;
    {
        QuietSelection quiet(control, differing > kFewLines);
        for (size_t i = 0; i < lines.size() && i < wanted.size();) {
            if (wanted[i] == lines[i].kind) {
                ++i;
                continue;
            }
            // A run of lines that take one kind takes it with one message.
            size_t end = i + 1;
            while (end < lines.size() && end < wanted.size() && wanted[end] == wanted[i] && lines[end].kind != wanted[i])
                ++end;
            const int32_t first = table_.Start(i);
            SendMessageW(control, EM_SETSEL, first, end - i == 1 ? first : table_.Start(end - 1) + 1);
            PARAFORMAT2 format = {};
            format.cbSize = sizeof format;
            format.dwMask = PFM_STYLE;
            format.sStyle = static_cast<SHORT>(wanted[i]);
            SendMessageW(control, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
            for (size_t k = i; k < end; ++k) lines[k].kind = wanted[i];
            i = end;
        }
    }
    --inChange_;
}

std::vector<int32_t> ArticleEditor::Kinds() const {
    std::vector<int32_t> kinds;
    kinds.reserve(table_.Count());
    for (const EditorLine& line : table_.Lines()) kinds.push_back(line.kind);
    return kinds;
}

std::vector<EditorLine> ArticleEditor::ReadLines(bool withAttributes) {
    HWND control = text_ ? text_->Window() : nullptr;
    if (!control) return {};
    ReloadLines();
    std::vector<EditorLine> lines(table_.Lines().begin(), table_.Lines().end());
    if (!withAttributes) return lines;
    // Bold and italic of the whole text at once: a plain text is one question.
    const int32_t length = static_cast<int32_t>(table_.Text().size());
    std::vector<uint16_t> bits(static_cast<size_t>(length), 0);
    ++inChange_;
    {
        QuietSelection quiet(control, true);
        ReadAttributes(control, 0, length, 0, bits);
    }
    --inChange_;
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto from = bits.begin() + table_.Start(i);
        lines[i].attributes.assign(from, from + static_cast<ptrdiff_t>(lines[i].text.size()));
    }
    return lines;
}

void ArticleEditor::LoadLines(const std::vector<EditorLine>& lines) {
    HWND control = text_ ? text_->Window() : nullptr;
    if (!control) return;
    ++inChange_;
    std::u16string text;
    std::vector<uint16_t> attributes;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += u'\r';
        attributes.resize(text.size(), 0);
        text += lines[i].text;
        attributes.insert(attributes.end(), lines[i].attributes.begin(), lines[i].attributes.end());
    }
    attributes.resize(text.size(), 0);
    // Kana and kanji in the Japanese face, the rest in the Latin one, as typed
    // text gets them, with bold and italic, all in the one stream that brings
    // the text.
    text_->SetStyledText(text, attributes);
    ReloadLines();
    // Each line's kind goes to the paragraph it starts (a line may hold line
    // ends of its own, as a clipboard's text does: they make paragraphs that
    // are classified as typed).
    std::vector<int32_t> wanted = Kinds();
    ControlPositions position(text);
    size_t offset = 0;
    for (const EditorLine& line : lines) {
        wanted[table_.LineAt(position(static_cast<int32_t>(offset)))] = line.kind;
        offset += line.text.size() + 1;
    }
    WriteKinds(wanted);
    SendMessageW(control, EM_SETSEL, 0, 0);
    --inChange_;
    Reclassify(false);
    // The loaded text and its first kinds are where undoing stops.
    SendMessageW(control, EM_EMPTYUNDOBUFFER, 0, 0);
    UpdateToolbar();
}

void ArticleEditor::LoadRendered() {
    HWND control = text_ ? text_->Window() : nullptr;
    CDictionary* from = source_ ? source_ : target_;
    if (!control || !from) return;
    const uint32_t formatType = storage::LoadU16(renderedRecord_.data() + 8);
    // A record its parser refuses leaves the editor empty.
    if (from->ParseRecord(renderedRecord_.data(), static_cast<uint32_t>(renderedRecord_.size())) == 0) return;
    const std::span<const DictionaryElement> elements(from->Elements(), static_cast<size_t>(from->ElementCount()));
    if (elements.empty() || elements[0].kind != kElementEntryStart) {
        from->ClearParsedArticle();
        from->parsedPosition = 0;
        return;
    }
    // Styles recorded, senses numbered; word paragraphs and the dictionary's
    // option when the source has words or Latin stems.
    uint32_t flags = kRtfStyles | kRtfCardNumber;
    if (source_ && source_->wordCount > 0) flags |= kRtfWordStyles;
    if (source_ && source_->latinStemCount > 0) flags |= kRtfDictionaryOption;
    CRtfDocumentBuilder document(flags);
    CRtfArticleBuilder* piece = document.AddArticle();
    const int32_t points = g_application->fonts ? g_application->fonts->Set(kEditorFontSet).PointSize() : 10;
    if (piece) RenderRtfArticle(*piece, RtfTable::Editor, formatType, elements, points, flags);
    from->ClearParsedArticle();
    from->parsedPosition = 0;
    if (!piece) return;
    const std::vector<int32_t> kinds = piece->ParagraphKinds();
    ++inChange_;
    StreamToRichEdit(document, control);
    text_->ScriptFontsGiven();
    ReloadLines();
    std::vector<int32_t> wanted(table_.Count());
    for (size_t i = 0; i < wanted.size(); ++i) {
        // Every loaded kind counts as chosen by the user, none included.
        const int32_t kind = i < kinds.size() ? kinds[i] : kLineUndefined;
        wanted[i] = kind < kUserKind ? kind + kUserKind : kind;
    }
    WriteKinds(wanted);
    SendMessageW(control, EM_SETSEL, 0, 0);
    --inChange_;
    Reclassify(false);
    SendMessageW(control, EM_EMPTYUNDOBUFFER, 0, 0);
    UpdateToolbar();
}

void ArticleEditor::SetKindOnSelection(int32_t kind) {
    HWND control = text_->Window();
    CHARRANGE range{};
    SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    // Every line the selection meets, a line's end included.
    std::vector<int32_t> wanted = Kinds();
    const size_t last = table_.LineAt(range.cpMax);
    for (size_t i = table_.LineAt(range.cpMin); i <= last; ++i) wanted[i] = kind;
    WriteKinds(wanted);
}

void ArticleEditor::Reclassify(bool resetAll) {
    if (!text_ || !text_->Window()) return;
    // The lines as the control holds them, classified in memory; only the
    // kinds that change are written back.
    std::vector<EditorLine> lines(table_.Lines().begin(), table_.Lines().end());
    if (resetAll)
        for (EditorLine& line : lines) line.kind = kLineUndefined;
    ClassifyLines(lines);
    std::vector<int32_t> wanted;
    wanted.reserve(lines.size());
    for (const EditorLine& line : lines) wanted.push_back(line.kind);
    WriteKinds(wanted);
    ShowCheck(CheckLines(table_.Lines()));
    InvalidateMargin();
}

void ArticleEditor::InvalidateMargin() {
    RECT client{};
    GetClientRect(dialog_, &client);
    RECT margin = {0, 0, 38, client.bottom};
    InvalidateRect(dialog_, &margin, TRUE);
}

void ArticleEditor::ShowCheck(const LineCheck& check) {
    canSave_ = check.canSave;
    checkProblems_ = check.problems;
    ShowProblems();
}

void ArticleEditor::ShowProblems() {
    std::u16string problems = checkProblems_;
    if (fullTold_)
        problems += FormatInterfaceText(UIExtra(UIExtraText::kArticleFull), {FormatArg(kMostArticleUnits)}) + u"\r\n";
    if (problems == problems_) return;  // the box is not drawn again for nothing
    problems_ = std::move(problems);
    SetDlgItemTextW(dialog_, IDC_EDITOR_PROBLEMS, WideString(problems_).c_str());
}

bool ArticleEditor::Modified() const {
    if (!text_ || !text_->Window()) return false;
    return formatChanged_ || table_.Text() != openedText_;
}

void ArticleEditor::UpdateToolbar() {
    HWND control = text_ ? text_->Window() : nullptr;
    if (!control) return;
    CHARRANGE range{};
    SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const bool selected = range.cpMax > range.cpMin;
    CHARFORMAT2W chars = {};
    chars.cbSize = sizeof chars;
    SendMessageW(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&chars));
    const bool modified = Modified();
    const bool canSave = canSave_ && !tooLong_ && (!(flags_ & kEditorSameDictionary) || modified);
    if (toolbar_) {
        auto check = [&](uint32_t id, bool on) { SendMessageW(toolbar_, TB_CHECKBUTTON, id, MAKELPARAM(on, 0)); };
        auto enable = [&](uint32_t id, bool on) { SendMessageW(toolbar_, TB_ENABLEBUTTON, id, MAKELPARAM(on, 0)); };
        check(40625, (chars.dwMask & CFM_BOLD) && (chars.dwEffects & CFE_BOLD));
        check(40624, (chars.dwMask & CFM_ITALIC) && (chars.dwEffects & CFE_ITALIC));
        enable(40622, modified || !(flags_ & kEditorSameDictionary));
        enable(40623, SendMessageW(control, EM_CANREDO, 0, 0) != 0);
        for (uint32_t id : {40024u, 40033u, 40626u}) enable(id, selected);
    }
    EnableWindow(GetDlgItem(dialog_, IDC_EDITOR_SAVE), canSave);
}

void ArticleEditor::ToggleEffect(DWORD mask, DWORD effect) {
    HWND control = text_->Window();
    CHARFORMAT2W chars = {};
    chars.cbSize = sizeof chars;
    SendMessageW(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&chars));
    // All off: set it; all on or mixed: clear it.
    const bool allOff = (chars.dwMask & mask) && !(chars.dwEffects & effect);
    CHARFORMAT2W change = {};
    change.cbSize = sizeof change;
    change.dwMask = mask;
    change.dwEffects = allOff ? effect : 0;
    SendMessageW(control, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&change));
    UpdateToolbar();
}

void ArticleEditor::ConvertToKana() {
    HWND control = text_->Window();
    const std::u16string selected = CRichEdit::GetSelectedText(control);
    if (selected.empty()) return;
    std::array<char16_t, 256> kana{};
    const int32_t n = RomajiToKana(selected.c_str(), kana.data(), static_cast<int32_t>(selected.size()),
                                   static_cast<int32_t>(kana.size()), 0, nullptr);
    if (n <= 0) return;
    SendMessageW(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kana.data()));
    CHARRANGE range{};
    SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(control, EM_SETSEL, range.cpMax - n, range.cpMax);
    FocusText();
}

void ArticleEditor::Paste() {
    HWND control = text_->Window();
    if (GetWindowLongW(control, GWL_STYLE) & ES_READONLY) return;
    const ClipboardText clip = ReadClipboardText();
    if (!clip.text || clip.length == 0) {
        if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) SendMessageW(control, WM_PASTE, 0, 0);
        FocusText();
        return;
    }
    // A paste that would pass the longest article is refused whole, with a word.
    CHARRANGE range{};
    SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (static_cast<size_t>(std::max<int32_t>(TextUnits(control) - (range.cpMax - range.cpMin), 0)) +
            UnitsInControl({clip.text.get(), clip.length}) >
        static_cast<size_t>(kMostArticleUnits)) {
        ShowSlotBox(dialog_, kTooLongTextSlot, kTooLongCaptionSlot, MB_OK | MB_ICONEXCLAMATION);
        FocusText();
        return;
    }
    // The text comes with its script faces in one stream (a plain paste given
    // its faces afterwards lays a long line out twice); the change is the
    // wrapper's own, so what typing runs is run here.
    text_->PasteText({clip.text.get(), clip.length});
    SyncLines();
    Reclassify(false);
    UpdateToolbar();
    FocusText();
}

void ArticleEditor::ShowContextMenu(POINT point) {
    constexpr int kEditorMenuPosition = 11;
    constexpr int kWebMenuPosition = 9;
    HWND control = text_->Window();
    HMENU popup = g_frame && g_frame->ContextMenus() ? GetSubMenu(g_frame->ContextMenus(), kEditorMenuPosition) : nullptr;
    if (!popup) return;
    const std::u16string selected = CRichEdit::GetSelectedText(control);
    // The web-search sub-menu and the add-to-dictionary item read in the
    // interface language, the latter naming the working dictionary.
    MENUITEMINFOW web{};
    web.cbSize = sizeof web;
    web.fMask = MIIM_STRING;
    const std::wstring webTitle = WideString(UIStringTable[kWebSearchSlot]);
    web.dwTypeData = const_cast<wchar_t*>(webTitle.c_str());
    SetMenuItemInfoW(popup, kWebMenuPosition, TRUE, &web);
    const std::u16string workingPath = App().WorkingDictionaryPath();
    const std::wstring addTitle = WideString(FormatInterfaceText(
        UIStringTable[kAddSelectedSlot], {FormatArg(workingPath.empty() ? std::u16string(u"...") : FileTitle(workingPath))}));
    ModifyMenuW(popup, 40500, MF_BYCOMMAND | MF_STRING, 40500, addTitle.c_str());
    const UINT state = selected.empty() ? MF_GRAYED : MF_ENABLED;
    for (UINT id : {40024u, 40033u, 40017u, 40167u, 40169u, 40500u}) EnableMenuItem(popup, id, MF_BYCOMMAND | state);
    EnableMenuItem(popup, kWebMenuPosition, MF_BYPOSITION | state);
    ClientToScreen(control, &point);
    const UINT chosen =
        static_cast<UINT>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, dialog_, nullptr));
    switch (chosen) {
    case 0: return;
    case 40024: case 40033: case 40025: OnCommand(chosen); return;
    case 40032: SendMessageW(control, EM_SETSEL, 0, -1); return;
    case 40017: SendMessageW(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"")); return;
    case 40167: case 40169: case 40171:
        LookUpText(selected, chosen);  // in the main window's lists
        return;
    case 40500:
        // A new article of the selected text, in the dictionary this editor writes to.
        OpenEditor(*target_, nullptr, 0, selected);
        return;
    default:
        if (IsWebSearchCommand(chosen)) PostTextCommand(chosen, control);
        else if (g_host) PostMessageW(g_host->MainWindow(), WM_COMMAND, chosen, reinterpret_cast<LPARAM>(control));
        return;
    }
}

bool ArticleEditor::SaveArticle() {
    // Never more than the editor takes, whatever brought the text in.
    if (TextUnits(text_->Window()) > kMostArticleUnits) {
        ShowSlotBox(dialog_, kTooLongTextSlot, kTooLongCaptionSlot, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    std::vector<EditorLine> lines = ReadLines(true);
    const LineCheck check = CheckLines(lines);
    ShowCheck(check);
    if (!check.canSave) {
        ShowSlotBox(dialog_, kCannotSaveTextSlot, kCannotSaveCaptionSlot, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const std::u16string text = WriteArticleText(lines);
    const bool toSelected = toolbar_ && (SendMessageW(toolbar_, TB_ISBUTTONCHECKED, kAddToSelected, 0) != 0);
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    ArticleSave saved;
    {
        // The lists take the saved article in once: the dictionary's change
        // and the history's new row would each load it into the article view,
        // which for a long article takes as long as the save itself.
        ListRefreshHold hold;
        saved = SaveEditedArticle(*target_, recordId_, flags_, text);
        if (saved.saved && g_host) g_host->ArticleSaved(*target_, saved.position, toSelected);
    }
    SetCursor(previous);
    if (!saved.saved) {
        // The editor stays open with its text, so that the user can try again or copy it.
        // The engine's own reason tells the user what to do (a read-only file is
        // no internal error, and restarting would not help).
        ShowBox(dialog_, saved.error.empty() ? std::u16string_view(UIStringTable[kInternalErrorSlot]) : saved.error,
                UIStringTable[kCannotSaveCaptionSlot], MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void ArticleEditor::CloseAsked() {
    SyncLines();
    if (Modified() || (flags_ & kEditorRecordDeleted)) {
        SetForegroundWindow(dialog_);
        const int answer = ShowSlotBox(dialog_, kSaveChangesSlot, kSaveChangesSlot, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL || (answer == IDYES && !SaveArticle())) return;
    }
    PostMessageW(dialog_, kCloseMessage, 0, 0);
}

int32_t ArticleEditor::QuerySave(bool allowCancel) {
    if (!text_ || !text_->Window()) return kStayOpen;
    SyncLines();
    if (!Modified() && !(flags_ & kEditorRecordDeleted)) return 0;
    SetForegroundWindow(dialog_);
    const int answer = ShowSlotBox(dialog_, kSaveChangesSlot, kSaveChangesSlot,
                                   (allowCancel ? MB_YESNOCANCEL : MB_YESNO) | MB_ICONQUESTION);
    if (answer != IDYES || SaveArticle()) return answer;
    if (allowCancel) return kStayOpen;
    // The program is closing and cannot wait: never drop the text unasked.
    if (MessageBoxW(dialog_, WideString(UIExtra(UIExtraText::kCopyUnsavedArticle)).c_str(),
                    WideString(UIStringTable[kCannotSaveCaptionSlot]).c_str(),
                    MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
        CopyTextToClipboard();
    return IDNO;
}

void ArticleEditor::CopyTextToClipboard() { PutTextOnClipboard(dialog_, CRichEdit::GetText(text_->Window())); }

void ArticleEditor::CopySelection(bool cut) {
    HWND control = text_->Window();
    const std::u16string selected = CRichEdit::GetSelectedText(control);
    if (selected.empty()) return;
    // Bold and italic go along as rich text; a selection whose RTF does not
    // fit goes as text alone.
    std::string rtf(selected.size() * 16 + 65536, '\0');
    const RichEditStreamResult out =
        StreamOutOfRichEdit(control, SF_RTF | SFF_SELECTION, rtf.data(), static_cast<int32_t>(rtf.size()));
    rtf.resize(out.ok ? static_cast<size_t>(out.bytes) : 0);
    // A cut whose copy failed keeps its text.
    if (TellClipboardCopy(dialog_, PutTextOnClipboard(dialog_, selected, rtf)) && cut)
        SendMessageW(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
}

void ArticleEditor::Activate() {
    if (dialog_) SetActiveWindow(dialog_);
}

void ArticleEditor::FocusText() {
    if (text_ && text_->Window()) SetFocus(text_->Window());
}

void ArticleEditor::RememberRectangle() {
    RECT r{};
    if (!dialog_ || !GetWindowRect(dialog_, &r) || !g_application || !g_application->ini) return;
    CIni& ini = *g_application->ini;
    ini.WriteInt(settings_section::kEditor, u"Left", r.left);
    ini.WriteInt(settings_section::kEditor, u"Right", r.top);  // "Right" holds the top edge
    ini.WriteInt(settings_section::kEditor, u"Width", r.right - r.left);
    ini.WriteInt(settings_section::kEditor, u"Height", r.bottom - r.top);
}

void ArticleEditor::SetFontSize(int32_t points) {
    HWND control = text_ ? text_->Window() : nullptr;
    if (!control) return;
    const bool unchanged = !Modified();
    ++inChange_;
    text_->SetFontSize(points * 20);
    if (unchanged) SendMessageW(control, EM_EMPTYUNDOBUFFER, 0, 0);
    --inChange_;
    InvalidateRect(dialog_, nullptr, TRUE);
}

bool ArticleEditor::FilterKey(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    const uint32_t key = static_cast<uint32_t>(message.wParam);
    if (key == VK_ESCAPE) {
        PostMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
        return true;
    }
    const bool control = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    // Copy and cut by the editor's own clipboard writer, as the toolbar's.
    if ((control && (key == 'C' || key == VK_INSERT)) || (control && key == 'X') || (shift && key == VK_DELETE)) {
        CopySelection(key == 'X' || key == VK_DELETE);
        return true;
    }
    const uint32_t command = EditorKeyCommand(key, control, shift);
    if (command == 0) return false;
    if (command == kPasteKey) Paste();
    else PostMessageW(dialog_, WM_COMMAND, command, 0);
    return true;
}

size_t ArticleEditor::FirstShownLine() const {
    POINTL corner{1, 1};
    const LRESULT at = SendMessageW(text_->Window(), EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&corner));
    return table_.LineAt(static_cast<int32_t>(std::max<LRESULT>(at, 0)));
}

int32_t ArticleEditor::HitTest(POINT screen, POINT& anchor, int32_t& top) const {
    HWND control = text_ ? text_->Window() : nullptr;
    if (!control) return 0;
    RECT textRect{};
    GetWindowRect(control, &textRect);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&textRect), 2);
    POINT at = screen;
    ScreenToClient(dialog_, &at);
    if (at.x < 0 || at.x >= textRect.left || at.y < textRect.top || at.y >= textRect.bottom) return 0;
    // The lines shown, from the one at the top.
    for (size_t i = FirstShownLine(); i < table_.Count(); ++i) {
        POINTL first{}, next{};
        SendMessageW(control, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), table_.Start(i));
        if (i + 1 < table_.Count()) SendMessageW(control, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&next), table_.Start(i + 1));
        else next.y = first.y + kBaseline + 4;
        const int32_t lineTop = textRect.top + first.y, lineBottom = textRect.top + next.y;
        if (lineTop > at.y) break;
        if (at.y >= lineBottom) continue;
        const int32_t kind = BaseKind(table_.Lines()[i].kind);
        POINT below{15, lineBottom}, above{15, lineTop};
        ClientToScreen(dialog_, &below);
        ClientToScreen(dialog_, &above);
        anchor = below;
        top = above.y;
        return kind;
    }
    return 0;
}

void ArticleEditor::PaintMargin(HDC dc) {
    HWND control = text_ ? text_->Window() : nullptr;
    if (!control) return;
    RECT textRect{};
    GetWindowRect(control, &textRect);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&textRect), 2);
    RECT strip = {0, textRect.top, textRect.left, textRect.bottom};
    FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
    // Painting never touches the control's selection or redraw state (that
    // would throw away the control's own pending repaint): the kinds are
    // those of the line table, as the last change left them. Only the lines
    // shown are placed; translations are numbered through the whole article.
    const std::span<const EditorLine> lines = table_.Lines();
    auto isTranslation = [](const EditorLine& line) { return BaseKind(line.kind) == kLineTranslation; };
    const int32_t translations = static_cast<int32_t>(std::count_if(lines.begin(), lines.end(), isTranslation));
    const size_t shown = FirstShownLine();
    int32_t number = static_cast<int32_t>(std::count_if(lines.begin(), lines.begin() + static_cast<ptrdiff_t>(shown), isTranslation));
    const int saved = SaveDC(dc);
    SelectObject(dc, GetStockObject(NULL_PEN));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    // The numbers in the list font, as the lists draw their rows.
    HFONT numberFont = g_application && g_application->fonts
                           ? g_application->fonts->Set(kListFontSet).Font(kLatinSlot)
                           : nullptr;
    if (numberFont) SelectObject(dc, numberFont);
    for (size_t i = shown; i < lines.size(); ++i) {
        POINTL point{};
        SendMessageW(control, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), table_.Start(i));
        const int32_t y = textRect.top + 3 + point.y + kBaseline;
        if (y - 14 > textRect.bottom) break;
        const int32_t kind = BaseKind(lines[i].kind);
        if (kind == kLineTranslation) ++number;
        if (y - 14 < textRect.top || y > textRect.bottom) continue;
        if (HasEllipse(kind)) {
            HBRUSH brush = CreateSolidBrush(KindColour(kind));
            HGDIOBJ old = SelectObject(dc, brush);
            Ellipse(dc, 7, y - 14, kind == kLineTranslation && number >= 10 ? 30 : 24, y + 3);
            SelectObject(dc, old);
            DeleteObject(brush);
        }
        if (const int32_t icon = KindIcon(kind); icon >= 0 && images_)
            ImageList_Draw(images_, icon, dc, kind == kLineKanji || kind == kLineNote || kind == kLineIdiom ? 6 : 7,
                           y - (kind == kLineNote ? 15 : 14), ILD_TRANSPARENT);
        if (kind == kLineTranslation && translations >= 2) {
            const std::wstring digits = std::to_wstring(number);
            TEXTMETRICW metrics{};
            GetTextMetricsW(dc, &metrics);
            TextOutW(dc, number <= 9 ? 12 : 11, y - metrics.tmAscent - 1, digits.c_str(), static_cast<int>(digits.size()));
        }
    }
    RestoreDC(dc, saved);
    RECT client{};
    GetClientRect(dialog_, &client);
    RECT frame = {38, 0, client.right - 19, 28};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
}
