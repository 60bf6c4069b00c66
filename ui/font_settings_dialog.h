// The font settings page SETTINGS_FONTS (CFontSettingsDlg): two face combos
// and five size combos whose changes take effect at once in every window
// that shows them; OK saves them to section "Fonts", Cancel puts back all
// that the page changed (the book reader size too), the default button
// applies the default faces and the base size.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/ui_text/font_rules.h"

class CFonts;
class CIni;

// The windows that take a font change.
class IFontTargets {
public:
    virtual ~IFontTargets() = default;
    // The input box gets points x 20 twips; the main window lays out again.
    virtual void SetInputFontSize(int32_t points) = 0;
    // Every list view takes the list set's fonts again.
    virtual void ApplyListFonts() = 0;
    // Every open book reader lays out again.
    virtual void RefreshBookReaders() = 0;
    // The article view's text gets points x 20 twips.
    virtual void ApplyArticleFont(int32_t points) = 0;
    // Every open article editor takes the size.
    virtual void ApplyEditorFont(int32_t points) = 0;
};

// The running program's windows: the main window's input box, layout, list
// views, article view and editors (through its slots).
class FrameFontTargets final : public IFontTargets {
public:
    void SetInputFontSize(int32_t points) override;
    void ApplyListFonts() override;
    void RefreshBookReaders() override;  // frame_books.cpp
    void ApplyArticleFont(int32_t points) override;
    void ApplyEditorFont(int32_t points) override;
};

// Sets the size of all the text of a rich edit control (points x 20 twips).
void SetRichEditPoints(HWND edit, int32_t points);
// Lets the windows take what a font change changed.
void RedoAfterFontChange(const FontApplyPlan& plan, const CFonts& fonts, IFontTargets& targets);

class CFontSettingsDlg {
public:
    // OK saves to `ini` (nothing is saved when it is null).
    CFontSettingsDlg(CFonts& fonts, IFontTargets& targets, CIni* ini) : fonts_(fonts), targets_(targets), ini_(ini) {}
    CFontSettingsDlg(const CFontSettingsDlg&) = delete;
    CFontSettingsDlg& operator=(const CFontSettingsDlg&) = delete;

    // Runs the page as a modal dialog: 1 after OK, 0 after Cancel.
    INT_PTR Run(HWND owner);
    // Makes the page without a loop of its own (a settings dialog's page, tests).
    HWND Create(HWND owner);
    // Writes the five sizes and both faces to section "Fonts"; 1 when written.
    int32_t SaveSettings();

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnInit(HWND dialog);
    void Fill();
    void OnCommand(int id, int code);
    // Applies a choice to the fonts and lets the windows take it.
    void Apply(const FontChoice& choice);
    // The selected size of a combo (0 when none) and face (empty when none).
    int32_t SelectedSize(int id) const;
    std::u16string SelectedFace(int id) const;

    CFonts& fonts_;
    IFontTargets& targets_;
    CIni* ini_;
    HWND dialog_ = nullptr;
    FontChoice opened_;  // faces and sizes when the page opened, put back by Cancel
};
