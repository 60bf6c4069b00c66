// A list view's site for window tests without the program around it: every
// view is current, there is no dictionary, article view or input box, and
// the articles the view would show are counted.
#pragma once

#include <windows.h>

#include "dictionary/win/profile_list_files.h"
#include "ui/list_view.h"

class TestSite final : public IListViewSite {
public:
    bool IsCurrentView(const ListViewModel*) override { return true; }
    RDFDictionary* WorkingDictionary() override { return nullptr; }
    int32_t OpenDictionariesFrom(const RDFDictionary*) override { return 0; }
    void ShowArticle(const FormattedText*) override { ++articles; }
    void AddToHistory(ListViewModel&, const CCursor&, int32_t) override {}
    CArticleView* ArticleView() override { return nullptr; }
    const FullTextQuery* Query() override { return nullptr; }
    void ScrollInputToRange(int32_t, int32_t) override {}
    ListView* ViewOfKind(int32_t) override { return nullptr; }
    IListFileStore& ListFiles() override { return files; }

    HWND input = nullptr;
    int articles = 0;
    ProfileListFiles files;
};
