// The tray icon's place on the frame, the About box and the owner-drawn
// language items of the menus.
#include "ui/frame_furniture.h"

#include <cwchar>

#include "common/ui_text/ui_text.h"
#include "resources/program/resource_ids.h"
#include "ui/application.h"
#include "ui/big_hint.h"
#include "ui/dictionaries_dialog.h"
#include "ui/frame_books.h"
#include "ui/frame_shelf.h"
#include "ui/frame_translate.h"
#include "ui/settings_dialog.h"
#include "ui/command_ids.h"
#include "ui/font_sets.h"
#include "ui/font_settings_dialog.h"
#include "ui/frame.h"

namespace {

constexpr int kAboutTitleSlot = 119;  // "About Ostrel Pro"
constexpr int kAboutTextSlot = 155;
constexpr int kOkSlot = 275;          // "OK"   // the about text with its "Ver. %d.%d" line
constexpr wchar_t kRussianItem[] = L"Меню на русском";
constexpr wchar_t kJapaneseItem[] = L"日本語メニュー";
// Tops of the tick's seven 3-pixel columns below the item's top + 2.
constexpr int kTickTops[7] = {5, 6, 7, 6, 5, 4, 3};

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

HFONT MenuFontOfCharset(BYTE charset, const wchar_t* face, TEXTMETRICW& metrics) {
    NONCLIENTMETRICSW nonClient{};
    nonClient.cbSize = sizeof(nonClient);
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(nonClient), &nonClient, 0)) font = nonClient.lfMenuFont;
    else font.lfHeight = -12;
    font.lfCharSet = charset;
    if (face) wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    HFONT handle = CreateFontIndirectW(&font);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, handle ? handle : GetStockObject(DEFAULT_GUI_FONT));
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return handle;
}

void DrawTick(HDC dc, const RECT& item, bool selected) {
    HBRUSH brush = static_cast<HBRUSH>(GetStockObject(selected ? WHITE_BRUSH : BLACK_BRUSH));
    for (int column = 0; column < 7; ++column) {
        int top = item.top + 2 + kTickTops[column];
        RECT pixel{item.left + 4 + column, top, item.left + 5 + column, top + 3};
        FillRect(dc, &pixel, brush);
    }
}

}  // namespace

FrameFurniture::FrameFurniture(CFrame& frame) : frame_(frame) {
    russianFont_ = MenuFontOfCharset(RUSSIAN_CHARSET, nullptr, russianMetrics_);
    japaneseFont_ = MenuFontOfCharset(SHIFTJIS_CHARSET, L"MS UI Gothic", japaneseMetrics_);
}

FrameFurniture::~FrameFurniture() {
    if (russianFont_) DeleteObject(russianFont_);
    if (japaneseFont_) DeleteObject(japaneseFont_);
}

CTrayIcon& FrameFurniture::Tray() {
    if (!tray_) tray_ = std::make_unique<CTrayIcon>(frame_.Window());
    return *tray_;
}

void FrameFurniture::ShowTray() { Tray().Add(); }

void FrameFurniture::RemoveTray() { Tray().Remove(); }

void FrameFurniture::OnTrayNotify(WPARAM wParam, LPARAM lParam) { Tray().OnNotify(frame_, wParam, lParam); }

void FrameFurniture::ShowAbout(HWND owner) {
    DialogBoxParamW(GetModuleHandleW(nullptr), L"ABOUT", owner, &AboutDialogProc, 0);
}

void FrameFurniture::ShowTranslationOptions(HWND owner) {
    if (frame_.translator) frame_.translator->ShowOptions(owner);
}

void FrameFurniture::ShowSettings(HWND owner, int32_t startPage) {
    auto* translator = dynamic_cast<FrameTranslator*>(frame_.translator);
    RunSettingsDialog(owner, startPage, translator ? &translator->Options() : nullptr);
}

void FrameFurniture::ShowDictionaries(HWND owner) {
    auto* shelf = dynamic_cast<FrameShelf*>(frame_.lists);
    if (!shelf) return;
    DictionariesDialogSite site;
    site.furniture = this;
    site.panel = g_application && g_application->web ? g_application->web->DictionariesServerPanel() : nullptr;
    ShowDictionariesDialog(owner, shelf->Shelf(), site);
}

int32_t FrameFurniture::RunBookLoader(HWND owner, RDFDictionary* dictionary) {
    return RunFrameBookLoader(frame_, owner, dictionary);
}

bool FrameFurniture::IsShownInBookReader(const RDFDictionary* dictionary) {
    return ::IsShownInBookReader(dictionary);
}

void FrameFurniture::RefillBookReaders() { ::RefillBookReaders(); }

void FrameFurniture::TrackHint() {
    if (!hint_ && !hintFailed_) {
        hint_ = CBigHint::Create(frame_);
        hintFailed_ = hint_ == nullptr;
    }
    if (hint_) hint_->Track();
}

void FrameFurniture::HideHint() {
    if (hint_) hint_->Hide();
}

int64_t FrameFurniture::HintLooks() { return hint_ ? hint_->Looks() : 0; }

bool FrameFurniture::HintShowPending() { return hint_ && hint_->ShowPending(); }

void FrameFurniture::PrepareLanguageItems(HMENU menu) {
    for (UINT id : {cmd::kRussianInterface, cmd::kJapaneseInterface})
        ModifyMenuW(menu, id, MF_BYCOMMAND | MF_OWNERDRAW, id, nullptr);
}

FrameFurniture::ItemFont FrameFurniture::LanguageItemFont(bool russian) const {
    // Font set 1's, read at each use (a font change makes them again); the
    // furniture's own menu fonts while the program has no fonts.
    int slot = russian ? kLatinSlot : kJapaneseSlot;
    if (CFonts* fonts = ProgramFonts(); fonts && fonts->Set(kBaseFontSet).Font(slot))
        return {fonts->Set(kBaseFontSet).Font(slot), fonts->Set(kBaseFontSet).Metrics(slot)};
    return russian ? ItemFont{russianFont_, russianMetrics_} : ItemFont{japaneseFont_, japaneseMetrics_};
}

LRESULT FrameFurniture::MeasureItem(LPARAM lParam) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (!item || item->CtlType != ODT_MENU) return 0;
    if (item->itemID == cmd::kRussianInterface) {
        const TEXTMETRICW& metrics = LanguageItemFont(true).metrics;
        item->itemWidth = 18 * metrics.tmAveCharWidth;
        item->itemHeight = metrics.tmHeight + 2;
    } else if (item->itemID == cmd::kJapaneseInterface) {
        const TEXTMETRICW& metrics = LanguageItemFont(false).metrics;
        item->itemWidth = 16 * metrics.tmAveCharWidth;
        item->itemHeight = metrics.tmHeight + 4;
    } else {
        return 0;
    }
    return 1;
}

LRESULT FrameFurniture::DrawLanguageMenuItem(LPARAM lParam) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (!item || item->CtlType != ODT_MENU) return 0;
    bool russian = item->itemID == cmd::kRussianInterface;
    if (!russian && item->itemID != cmd::kJapaneseInterface) return 0;
    HDC dc = item->hDC;
    const RECT& rect = item->rcItem;
    bool selected = item->itemState & ODS_SELECTED;
    SetBkMode(dc, TRANSPARENT);
    FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_ACTIVECAPTION : COLOR_MENU));
    SetTextColor(dc, selected ? RGB(255, 255, 255) : GetSysColor(COLOR_MENUTEXT));
    int32_t language = g_application ? g_application->language : 0;
    if ((russian && language == 0) || (!russian && language == 2)) DrawTick(dc, rect, selected);
    HGDIOBJ old = SelectObject(dc, LanguageItemFont(russian).font);
    int x = rect.left + 4 + GetSystemMetrics(SM_CXMENUCHECK);
    const wchar_t* text = russian ? kRussianItem : kJapaneseItem;
    TextOutW(dc, x, rect.top + (russian ? 0 : 2), text, static_cast<int>(wcslen(text)));
    SelectObject(dc, old);
    return 1;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        static const int kControls[] = {IDC_ABOUT_TEXT, IDOK, 0};
        if (g_application) g_application->ApplyDialogFont(dialog, kControls);
        SetWindowTextW(dialog, Wide(UIStringTable[kAboutTitleSlot]));
        wchar_t text[1024] = {};
        swprintf(text, 1024, Wide(UIStringTable[kAboutTextSlot]), kVersionMajor, kVersionMinor);
        SetDlgItemTextW(dialog, IDC_ABOUT_TEXT, text);
        SetDlgItemTextW(dialog, IDOK, Wide(UIStringTable[kOkSlot]));
        return 1;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 1);
        return 1;
    default:
        return 0;
    }
}
