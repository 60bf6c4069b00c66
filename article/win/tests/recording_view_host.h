// A host for rich edits and article views under test: fixed faces and
// sizes, lists that exist as the test says, and a record of what the view
// asked of the program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "article/win/article_view_host.h"

class RecordingViewHost : public IArticleViewHost {
public:
    RecordingViewHost() { previous_ = SetArticleViewHost(this); }
    ~RecordingViewHost() override { SetArticleViewHost(previous_); }

    std::u16string LatinFace() override { return u"Tahoma"; }
    std::u16string JapaneseFace() override { return u"MS Gothic"; }
    int32_t ArticleFontPoints() override { return articlePoints; }
    int32_t InputFontPoints() override { return inputPoints; }
    HWND MainWindow() override { return mainWindow; }
    HMENU ContextMenus() override { return contextMenus; }
    void UpdateListMenu(HMENU, int32_t flag) override { listMenuFlag = flag; }
    int32_t PostTextCommand(uint32_t command, HWND) override { return textCommand = command, 1; }
    CArticleView* MainArticleView() override { return mainView; }
    bool ListHasWords(int32_t kind) override { return kind == 4 ? wordsList : kind == 5; }
    int32_t SetCurrentListByKind(int32_t kind) override { return currentKind = kind; }
    void SearchText(std::u16string_view text, std::u16string_view second) override {
        searched = text;
        searchedSecond = second;
    }
    void RedrawLists() override { ++redraws; }
    void UpdateCommandStates(uint32_t command) override { updatedCommand = command; }
    CRichEdit* InputBox() override { return inputBox; }
    void SetBusy(bool busy) override { busyChanges.push_back(busy); }
    void RunFind() override { ++finds; }

    int32_t articlePoints = 10, inputPoints = 10, listMenuFlag = 0, currentKind = 0, redraws = 0, finds = 0;
    uint32_t textCommand = 0, updatedCommand = 0;
    HWND mainWindow = nullptr;
    HMENU contextMenus = nullptr;
    CArticleView* mainView = nullptr;
    CRichEdit* inputBox = nullptr;
    bool wordsList = true;  // the list of kind 4 holds words (kind 5 always does)
    std::u16string searched, searchedSecond;
    std::vector<bool> busyChanges;

private:
    IArticleViewHost* previous_ = nullptr;
};
