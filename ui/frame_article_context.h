// FrameArticleContext: what the article formatters read of the running
// program: the application's flags word, the article font size of the
// current font set, and words looked up in the shelf's first dictionary.
// Installed by the program entry for the whole run.
#pragma once

#include "article/article_context.h"

class CShelf;

class FrameArticleContext final : public IArticleContext {
public:
    explicit FrameArticleContext(CShelf& shelf) : shelf_(shelf) {}

    uint32_t ApplicationFlags() const override;
    int32_t ArticleFontSize() const override;
    // Seeks (reading, word) in the first dictionary's reading index and parses
    // the record found. When the asking dictionary is the first one its own
    // parsed record would be overwritten: then nothing is looked up.
    bool FindInFirstDictionary(const CDictionary& asking, std::u16string_view key, std::u16string_view reading,
                               FoundEntry& found) override;

private:
    CShelf& shelf_;
};
