// The installed article context and its default.
#include "article/article_context.h"

namespace {

class NoApplicationContext : public IArticleContext {
public:
    uint32_t ApplicationFlags() const override { return 0; }
    bool FindInFirstDictionary(const CDictionary&, std::u16string_view, std::u16string_view, FoundEntry&) override {
        return false;
    }
};

NoApplicationContext g_default;
IArticleContext* g_installed = &g_default;

}  // namespace

IArticleContext& ArticleContext() { return *g_installed; }

IArticleContext* SetArticleContext(IArticleContext* context) {
    IArticleContext* previous = g_installed == &g_default ? nullptr : g_installed;
    g_installed = context ? context : &g_default;
    return previous;
}
