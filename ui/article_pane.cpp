// ArticlePane: styled text goes in as plain text, then each run of one colour
// class, bold and italic state gets its character format; RTF is streamed in.
#include "ui/article_pane.h"

#include <richedit.h>

#include <algorithm>
#include <string>

#include "article/display_attributes.h"
#include "article/formatted_text.h"
#include "article/list_window_rules.h"
#include "common/win/wide_text.h"

namespace {

constexpr int32_t kArticleEditId = 201;
constexpr DWORD kPaneStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_CLIPCHILDREN | ES_MULTILINE | ES_READONLY |
                             ES_AUTOVSCROLL | ES_SAVESEL;

struct StreamSource {
    const char* data;
    LONG size;
    LONG position;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    LONG count = std::clamp<LONG>(source->size - source->position, 0, wanted);
    std::copy_n(source->data + source->position, count, buffer);
    source->position += count;
    *given = count;
    return 0;
}

void FormatRun(HWND edit, int32_t start, int32_t end, uint32_t attribute) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR | CFM_BOLD | CFM_ITALIC;
    format.dwEffects = ((attribute & kAttrBold) ? CFE_BOLD : 0) | ((attribute & kAttrItalic) ? CFE_ITALIC : 0);
    format.crTextColor = 0;
    uint32_t colourClass = attribute & kAttrColourMask;
    for (const ColourClassRgb& entry : kColourClassTable)
        if (entry.colourClass == colourClass && !entry.plain) format.crTextColor = RGB(entry.red, entry.green, entry.blue);
    CHARRANGE range{start, end};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

}  // namespace

ArticlePane::~ArticlePane() {
    if (window_) DestroyWindow(window_);
}

bool ArticlePane::Create(HWND parent) {
    window_ = CreateWindowExW(0, L"RichEdit20W", L"", kPaneStyle, 0, 0, 100, 100, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kArticleEditId)), GetModuleHandleW(nullptr),
                              nullptr);
    if (!window_) return false;
    SendMessageW(window_, EM_SETTARGETDEVICE, 0, 0);
    return true;
}

void ArticlePane::Show(const FormattedText* article) {
    if (!window_) return;
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    if (!article || article->Length() <= 0) {
        SetWindowTextW(window_, L"");
    } else if (article->Kind() == FormattedTextKind::Rtf) {
        std::string_view document = article->RtfDocument();
        StreamSource source{document.data(), static_cast<LONG>(document.size()), 0};
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, &ReadStream};
        SendMessageW(window_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    } else {
        std::u16string text(article->Text());
        ArticleNulsToLineBreaks(text);
        if (article->Kind() == FormattedTextKind::PlainWithLinks) {
            for (size_t at; (at = text.find(u"<<")) != std::u16string::npos;) text.erase(at, 2);
            for (size_t at; (at = text.find(u">>")) != std::u16string::npos;) text.erase(at, 2);
        }
        SetWindowTextW(window_, WideString(text).c_str());
        if (article->Kind() == FormattedTextKind::Styled) {
            std::span<const uint32_t> attributes = article->Attributes();
            int32_t count = static_cast<int32_t>(std::min(attributes.size(), text.size()));
            constexpr uint32_t kDrawn = kAttrBold | kAttrItalic | kAttrColourMask;
            for (int32_t start = 0; start < count;) {
                int32_t end = start + 1;
                while (end < count && (attributes[end] & kDrawn) == (attributes[start] & kDrawn)) ++end;
                if (attributes[start] & kDrawn) FormatRun(window_, start, end, attributes[start]);
                start = end;
            }
        }
    }
    CHARRANGE top{0, 0};
    SendMessageW(window_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&top));
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
}
