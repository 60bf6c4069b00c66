// ArticlePane: the article view of the main window as the list views fill it:
// a read-only multi-line rich edit that shows styled article text in the
// colours of its classes, an 8-bit RTF article, or a plain text whose
// "<<...>>" runs are links.
#pragma once

#include <windows.h>

class FormattedText;

class ArticlePane {
public:
    ArticlePane() = default;
    ~ArticlePane();
    ArticlePane(const ArticlePane&) = delete;
    ArticlePane& operator=(const ArticlePane&) = delete;

    bool Create(HWND parent);
    // Null or an empty article clears the view.
    void Show(const FormattedText* article);
    HWND Window() const { return window_; }

private:
    HWND window_ = nullptr;
};
