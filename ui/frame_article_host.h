// FrameArticleHost: what the rich edits and the article view need of the
// running program, answered from the font sets, the main window and the
// shelf joined to it. Installed by the program entry for the whole run.
#pragma once

#include "article/win/article_view_host.h"

class FrameShelf;

class FrameArticleHost final : public IArticleViewHost {
public:
    explicit FrameArticleHost(FrameShelf& shelf) : shelf_(shelf) {}

    std::u16string LatinFace() override;
    std::u16string JapaneseFace() override;
    int32_t ArticleFontPoints() override;
    int32_t InputFontPoints() override;
    bool IsFontInstalled(std::u16string_view face, uint8_t charset) override;
    HWND MainWindow() override;
    HMENU ContextMenus() override;
    void UpdateListMenu(HMENU menu, int32_t flag) override;
    int32_t PostTextCommand(uint32_t command, HWND richEdit) override;
    void ShowHelpTopic(HWND parent, int32_t topic) override;
    void UpdateCommandStates(uint32_t command) override;
    CArticleView* MainArticleView() override;
    bool ListHasWords(int32_t kind) override;
    int32_t SetCurrentListByKind(int32_t kind) override;
    void SearchText(std::u16string_view text, std::u16string_view second) override;
    void RedrawLists() override;
    CRichEdit* InputBox() override;
    void SetBusy(bool busy) override;

private:
    FrameShelf& shelf_;
};
