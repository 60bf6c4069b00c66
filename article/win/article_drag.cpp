// The data object and the run of an article drag.
#include "article/win/article_drag.h"

#include "article/article_export.h"
#include "article/export_records.h"
#include "article/win/clipboard_render.h"
#include "article/win/drop_source.h"

namespace {

// Releases a COM pointer when it goes.
template <class T> struct Released {
    T* p = nullptr;
    ~Released() {
        if (p != nullptr) p->Release();
    }
};

}  // namespace

HRESULT CreateArticleDataObject(ClipboardRenderer renderer, IDataObject** out) {
    FORMATETC formats[2] = {};
    STGMEDIUM media[2] = {};
    const CLIPFORMAT ids[2] = {static_cast<CLIPFORMAT>(RichTextClipboardFormat()), CF_UNICODETEXT};
    for (int i = 0; i < 2; ++i) {
        formats[i] = {ids[i], nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        media[i].tymed = TYMED_HGLOBAL;
    }
    return CreateDataObject(formats, media, 2, std::move(renderer), out);
}

ClipboardRenderer SelectedArticlesRenderer(WordList& list, const CSelection& selection, const ExportOptions& options,
                                           RenderingNotice notice) {
    const ExportOptions clamped = ClampExportOptions(options);
    return [&list, &selection, clamped, notice](UINT format, HGLOBAL* block) {
        if (notice) notice(true);
        WordListExportRecords records(list, &selection);
        ArticleExportBuilder builder;
        const HRESULT result = RenderSelectionForClipboard(format, records, clamped, builder, block);
        if (notice) notice(false);
        return result;
    };
}

HRESULT StartArticleDrag(WordList& list, const CSelection& selection, const ExportOptions& options, DWORD* effect,
                         RenderingNotice notice) {
    Released<IDataObject> data;
    Released<IDropSource> source;
    HRESULT result = CreateArticleDataObject(SelectedArticlesRenderer(list, selection, options, std::move(notice)),
                                             &data.p);
    if (SUCCEEDED(result)) result = CreateDropSource(&source.p);
    if (FAILED(result)) return result;
    DWORD chosen = DROPEFFECT_NONE;
    result = DoDragDrop(data.p, source.p, DROPEFFECT_COPY, &chosen);
    if (effect != nullptr) *effect = chosen;
    return result;
}
