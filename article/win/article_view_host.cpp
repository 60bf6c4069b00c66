// The neutral host and the installed-host switch.
#include "article/win/article_view_host.h"

namespace {

IArticleViewHost g_neutralHost;
IArticleViewHost* g_host = &g_neutralHost;

}  // namespace

void IArticleViewHost::RunFind() {
    if (HWND main = MainWindow()) SendMessageW(main, WM_COMMAND, 40010, 0);
}

IArticleViewHost& ArticleViewHost() { return *g_host; }

IArticleViewHost* SetArticleViewHost(IArticleViewHost* host) {
    IArticleViewHost* previous = g_host == &g_neutralHost ? nullptr : g_host;
    g_host = host ? host : &g_neutralHost;
    return previous;
}
