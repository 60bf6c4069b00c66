// The neutral host and the installed-host switch.
#include "article/win/article_view_host.h"

namespace {

IArticleViewHost g_neutralHost;
IArticleViewHost* g_host = &g_neutralHost;

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

}  // namespace

bool IArticleViewHost::IsFontInstalled(std::u16string_view face, uint8_t charset) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTW query = {};
    query.lfCharSet = charset;
    face.copy(reinterpret_cast<char16_t*>(query.lfFaceName), face.size());
    bool found = false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    EnumFontFamiliesExW(screen, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

void IArticleViewHost::RunFind() {
    if (HWND main = MainWindow()) SendMessageW(main, WM_COMMAND, 40010, 0);
}

IArticleViewHost& ArticleViewHost() { return *g_host; }

IArticleViewHost* SetArticleViewHost(IArticleViewHost* host) {
    IArticleViewHost* previous = g_host == &g_neutralHost ? nullptr : g_host;
    g_host = host ? host : &g_neutralHost;
    return previous;
}
