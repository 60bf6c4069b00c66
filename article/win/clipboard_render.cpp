// Clipboard blocks of exported articles.
#include "article/win/clipboard_render.h"

#include <cstring>
#include <string>
#include <utility>

#include "article/article_export.h"
#include "article/export_records.h"
#include "article/rtf_text.h"
#include "common/text/win/clipboard_text.h"

namespace {

// Frees a global block unless it was handed on.
struct OwnedBlock {
    HGLOBAL block = nullptr;
    ~OwnedBlock() {
        if (block != nullptr) GlobalFree(block);
    }
    HGLOBAL Release() { return std::exchange(block, nullptr); }
};

}  // namespace

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
        if (document == nullptr) {
            result = E_OUTOFMEMORY;
        } else if (DocumentHoldsText(*document)) {
            *block = DocumentToGlobalBlock(*document);
            result = *block != nullptr ? S_OK : E_OUTOFMEMORY;
        }
    } else {
        const std::u16string_view text = builder.BuildText(records, TextLineEnds::CrLf);
        if (HoldsVisibleText(text)) {
            *block = CopyToGlobalBlock(text.data(), text.size() * sizeof(char16_t), sizeof(char16_t));
            result = *block != nullptr ? S_OK : E_OUTOFMEMORY;
        }
    }
    builder.Reset();
    return result;
}

HGLOBAL DocumentToGlobalBlock(CRtfDocumentBuilder& document) {
    // Written straight into the block: a copy through an interim buffer
    // would hold the document twice more at its largest.
    const size_t size = document.Size();
    if (size > 0x7FFFFFFE) return nullptr;
    OwnedBlock owned{GlobalAlloc(GMEM_MOVEABLE, size + 1)};
    if (owned.block == nullptr) return nullptr;
    auto* target = static_cast<char*>(GlobalLock(owned.block));
    if (target == nullptr) return nullptr;
    size_t at = 0;
    document.WriteParts([&](std::string_view part) {
        std::memcpy(target + at, part.data(), part.size());
        at += part.size();
        return true;
    });
    target[at] = 0;
    GlobalUnlock(owned.block);
    return owned.Release();
}

ClipboardCopy PutDocumentOnClipboard(HWND owner, CRtfDocumentBuilder& document) {
    OwnedBlock rtf{DocumentToGlobalBlock(document)};
    OwnedBlock text;
    {
        RtfTextReader reader;
        document.WriteParts([&](std::string_view part) {
            reader.Read(part);
            return true;
        });
        const std::u16string& read = reader.Text();
        text.block = CopyToGlobalBlock(read.data(), read.size() * sizeof(char16_t), sizeof(char16_t));
    }
    if (rtf.block == nullptr || text.block == nullptr) return ClipboardCopy::NoMemory;
    if (!OpenClipboardPatiently(owner)) return ClipboardCopy::ClipboardBusy;
    EmptyClipboard();
    // The system owns a block once it is set.
    bool set = SetClipboardData(RichTextClipboardFormat(), rtf.block) != nullptr;
    if (set) rtf.Release();
    set = set && SetClipboardData(CF_UNICODETEXT, text.block) != nullptr;
    if (set) text.Release();
    CloseClipboard();
    return set ? ClipboardCopy::Copied : ClipboardCopy::NoMemory;
}

ClipboardCopy PutTextOnClipboard(HWND owner, std::u16string_view text, std::string_view rtf) {
    std::u16string lines(text);
    for (size_t at = 0; (at = lines.find(u'\r', at)) != std::u16string::npos; ++at)
        if (at + 1 == lines.size() || lines[at + 1] != u'\n') lines.insert(at + 1, 1, u'\n');
    OwnedBlock unicode{CopyToGlobalBlock(lines.data(), lines.size() * sizeof(char16_t), sizeof(char16_t))};
    // Rich text that finds no memory is left out; the text still goes.
    OwnedBlock rich{rtf.empty() ? nullptr : CopyToGlobalBlock(rtf.data(), rtf.size(), 1)};
    if (unicode.block == nullptr) return ClipboardCopy::NoMemory;
    if (!OpenClipboardPatiently(owner)) return ClipboardCopy::ClipboardBusy;
    EmptyClipboard();
    // The system owns a block once it is set.
    bool set = SetClipboardData(CF_UNICODETEXT, unicode.block) != nullptr;
    if (set) unicode.Release();
    if (set && rich.block != nullptr && SetClipboardData(RichTextClipboardFormat(), rich.block) != nullptr)
        rich.Release();
    CloseClipboard();
    return set ? ClipboardCopy::Copied : ClipboardCopy::NoMemory;
}
