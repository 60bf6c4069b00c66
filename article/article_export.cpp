// The export walk and its two products, the RTF document and the plain text.
#include "article/article_export.h"

#include <new>
#include <span>

#include "article/export_records.h"
#include "article/formatter_family.h"
#include "article/rtf_dispatch.h"
#include "article/rtf_line_articles.h"
#include "dictionary/dictionary.h"

ArticleExportBuilder::ArticleExportBuilder() = default;
ArticleExportBuilder::~ArticleExportBuilder() = default;

void ArticleExportBuilder::Reset() {
    document_.reset();
    text_.reset();
    processed_ = skipped_ = 0;
    stopped_ = false;
}

template <class Each, class EachShown>
void ArticleExportBuilder::Walk(IExportRecords& records, Each&& each, EachShown&& eachShown) {
    processed_ = skipped_ = 0;
    stopped_ = false;
    const int32_t count = records.Count();
    for (int32_t i = 0; i < count; ++i) {
        ++processed_;
        if (progress && !progress(processed_)) {
            stopped_ = true;
            return;
        }
        if (const std::u16string_view shown = records.ShownText(i); !shown.empty()) {
            if (!eachShown(shown)) return;
            continue;
        }
        CDictionary* dictionary = records.Load(i);
        if (dictionary == nullptr) ++skipped_;
        else if (!each(*dictionary)) return;
    }
}

CRtfDocumentBuilder* ArticleExportBuilder::BuildRtf(IExportRecords& records, const ExportOptions& options) {
    document_.reset();
    const ExportOptions clamped = ClampExportOptions(options);
    const uint32_t flags = ExportFlags(clamped);
    std::unique_ptr<CRtfDocumentBuilder> document(new (std::nothrow) CRtfDocumentBuilder(flags, fonts));
    if (!document) return nullptr;
    document->memoryLimit = memoryLimit;
    CRtfArticleBuilder* piece = nullptr;
    // One piece an entry; once memory ran out, every later piece would stay
    // empty too.
    auto addPiece = [&](auto&& render) {
        piece = document->AddArticle();
        if (piece == nullptr) return false;
        render(*piece);
        const bool failed = piece->Failed();
        piece = nullptr;
        return !failed;
    };
    try {
        Walk(
            records,
            [&](CDictionary& dictionary) {
                return addPiece([&](CRtfArticleBuilder& into) {
                    const std::span<const DictionaryElement> elements(dictionary.Elements(),
                                                                      static_cast<size_t>(dictionary.ElementCount()));
                    RenderRtfArticle(into, RtfTable::Print, ParsedFormatType(dictionary), elements, clamped.fontSize,
                                     RecordExportFlags(flags, dictionary));
                });
            },
            [&](std::u16string_view shown) {
                return addPiece([&](CRtfArticleBuilder& into) { AddShownTextArticle(into, shown, clamped.fontSize, flags); });
            });
    } catch (const std::bad_alloc&) {
        // A renderer's own working memory ran out: the articles before stay,
        // the unfinished one goes.
        if (piece != nullptr) piece->Fail();
        document->MarkCut();
    }
    document->columns = clamped.columns;
    document->blankLines = clamped.addBlankLines;
    document_ = std::move(document);
    return document_.get();
}

std::u16string_view ArticleExportBuilder::BuildText(IExportRecords& records, TextLineEnds lineEnds) {
    text_ = std::make_unique<CStringBuilder>();
    CStringBuilder& text = *text_;
    const std::u16string_view lineBreak = lineEnds == TextLineEnds::CrLf ? u"\r\n" : u"\n";
    bool first = true;
    auto append = [&](std::u16string_view body) {
        if (body.empty()) return true;
        if (!first) text.Append(lineBreak);
        first = false;
        for (size_t i = 0; i < body.size(); ++i) {
            if (body[i] == u'\r' && i + 1 < body.size() && body[i + 1] == u'\n') continue;
            if (body[i] == u'\n') text.Append(lineBreak);
            else text.AppendChar(body[i]);
        }
        if (body.back() != u'\n') text.Append(lineBreak);
        return true;
    };
    Walk(
        records, [&](CDictionary& dictionary) { return append(FormatExportText(dictionary).Text()); }, append);
    return text.View();
}
