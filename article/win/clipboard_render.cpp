// Clipboard blocks of exported articles.
#include "article/win/clipboard_render.h"

#include <cstring>
#include <memory>

#include "article/article_export.h"
#include "article/export_records.h"

UINT RichTextClipboardFormat() {
    static const UINT format = RegisterClipboardFormatW(L"Rich Text Format");
    return format;
}

HGLOBAL CopyToGlobalBlock(const void* data, size_t bytes, size_t terminatorBytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes + terminatorBytes);
    if (block == nullptr) return nullptr;
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, data, bytes);
    GlobalUnlock(block);
    return block;
}

HRESULT RenderSelectionForClipboard(UINT format, IExportRecords& records, const ExportOptions& options,
                                    ArticleExportBuilder& builder, HGLOBAL* block) {
    if (block == nullptr) return E_INVALIDARG;
    *block = nullptr;
    HRESULT result = DV_E_FORMATETC;
    if (format == RichTextClipboardFormat()) {
        ExportOptions noBlankLines = options;
        noBlankLines.addBlankLines = 0;
        CRtfDocumentBuilder* document = builder.BuildRtf(records, noBlankLines);
        std::unique_ptr<char[]> bytes;
        if (document == nullptr) {
            result = E_OUTOFMEMORY;
        } else if (document->PieceCount() > 0) {
            const int32_t size = document->ToMemory(bytes);
            *block = size > 0 ? CopyToGlobalBlock(bytes.get(), static_cast<size_t>(size), 1) : nullptr;
            result = *block != nullptr ? S_OK : E_OUTOFMEMORY;
        }
    } else {
        const std::u16string_view text = builder.BuildText(records, TextLineEnds::CrLf);
        if (!text.empty()) {
            *block = CopyToGlobalBlock(text.data(), text.size() * sizeof(char16_t), sizeof(char16_t));
            result = *block != nullptr ? S_OK : E_OUTOFMEMORY;
        }
    }
    builder.Reset();
    return result;
}
