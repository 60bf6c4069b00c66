// FrameFurniture: the main window's tray icon, About box and the two menu
// items that switch the interface to Russian or Japanese, drawn in their own
// script whatever the interface language. The hover hint and the dialogs join
// later by overriding the remaining operations.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/frame_slots.h"
#include "ui/tray_icon.h"

class CBigHint;
class CFrame;

// The About box's version line is filled with these.
inline constexpr int kVersionMajor = 11;
inline constexpr int kVersionMinor = 11;

class FrameFurniture : public IFrameFurniture {
public:
    explicit FrameFurniture(CFrame& frame);
    FrameFurniture(const FrameFurniture&) = delete;
    FrameFurniture& operator=(const FrameFurniture&) = delete;
    ~FrameFurniture() override;

    bool TrayShown() override { return tray_ && tray_->Shown(); }
    void ShowTray() override;
    void RemoveTray() override;
    void OnTrayNotify(WPARAM wParam, LPARAM lParam) override;
    void ShowAbout(HWND owner) override;
    // The hover hint, made at the first tick.
    bool HintExists() override { return hint_ != nullptr; }
    void TrackHint() override;
    void HideHint() override;
    int64_t HintLooks() override;
    bool HintShowPending() override;
    // The dictionaries dialog over the shelf, with the web services' panel.
    void ShowDictionaries(HWND owner) override;
    // The settings dialog at a start page (2 fonts).
    void ShowSettings(HWND owner, int32_t startPage) override;
    // The translator's options dialog, when the translator exists.
    void ShowTranslationOptions(HWND owner) override;
    // A book reader (frame_books.cpp); with Ctrl held, on a text book chosen first.
    void OpenBookReader(HWND owner) override;
    // The book loader and the readers as the dictionaries dialog asks them (frame_books.h).
    int32_t RunBookLoader(HWND owner, RDFDictionary* dictionary) override;
    bool IsShownInBookReader(const RDFDictionary* dictionary) override;
    void RefillBookReaders() override;
    void PrepareLanguageItems(HMENU menu) override;
    LRESULT MeasureItem(LPARAM lParam) override;
    LRESULT DrawLanguageMenuItem(LPARAM lParam) override;

private:
    CTrayIcon& Tray();
    // The font a language item is drawn in and its metrics.
    struct ItemFont {
        HFONT font;
        const TEXTMETRICW& metrics;
    };
    ItemFont LanguageItemFont(bool russian) const;

    CFrame& frame_;
    std::unique_ptr<CTrayIcon> tray_;  // made with the frame's window on first use
    std::unique_ptr<CBigHint> hint_;
    bool hintFailed_ = false;          // the hint's window could not be made: no second try
    // Russian and Japanese menu fonts and their metrics, used while the
    // program has no font sets (font set 1's are used once they exist).
    HFONT russianFont_ = nullptr;
    HFONT japaneseFont_ = nullptr;
    TEXTMETRICW russianMetrics_{};
    TEXTMETRICW japaneseMetrics_{};
};

// The procedure of the modal "About" dialog.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
