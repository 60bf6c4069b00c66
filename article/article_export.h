// ArticleExportBuilder: the walk of printing and export. It takes the entries
// of a record source in order, skips those that cannot be read (and counts
// them, so the user can be told what the output lacks), and renders
// each into one RTF document (through the print table of the RTF renderers)
// or appends its plain export text to one UTF-16 text. The printer, file,
// clipboard and drag outputs all start from what it builds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "article/export_options.h"
#include "article/rtf_document.h"
#include "common/base/string_builder.h"

class IExportRecords;

enum class TextLineEnds { Lf, CrLf };

class ArticleExportBuilder {
public:
    ArticleExportBuilder();
    ~ArticleExportBuilder();
    ArticleExportBuilder(const ArticleExportBuilder&) = delete;
    ArticleExportBuilder& operator=(const ArticleExportBuilder&) = delete;

    // A new document of every readable entry (and of every entry that is a
    // text of its own, as plain paragraphs) (the one built before is freed
    // first): the flags word of `options` adjusted per record's dictionary,
    // the options' font size, columns and blank lines. When memory runs out
    // the walk stops and the document holds the articles built so far (its
    // Cut() says so); null only when not even the document could be made.
    CRtfDocumentBuilder* BuildRtf(IExportRecords& records, const ExportOptions& options);
    // A new text of every readable entry's export text, one blank line
    // between two articles and each ending in a line break; with CrLf every
    // line break is CR LF (the clipboard's convention).
    std::u16string_view BuildText(IExportRecords& records, TextLineEnds lineEnds);

    CRtfDocumentBuilder* Document() const { return document_.get(); }
    std::u16string_view Text() const { return text_ ? text_->View() : std::u16string_view(); }
    // Entries walked by the last build, readable or not.
    int32_t Processed() const { return processed_; }
    // Entries of the last build left out because their record could not be
    // read (a damaged page, a file gone). An entry that stands for no record
    // is output as its text, never left out.
    int32_t Skipped() const { return skipped_; }
    // True when the last build was stopped by its progress callback.
    bool Stopped() const { return stopped_; }
    // Frees the document and the text.
    void Reset();

    // Told the number (from 1) of each entry as the walk reaches it; an
    // answer of false stops the walk there (the user cancelled).
    std::function<bool(int32_t)> progress;
    RtfInstalledFonts fonts;
    // The documents' memory limit (CRtfDocumentBuilder::memoryLimit).
    size_t memoryLimit = SIZE_MAX;

private:
    template <class Each, class EachShown> void Walk(IExportRecords& records, Each&& each, EachShown&& eachShown);

    std::unique_ptr<CRtfDocumentBuilder> document_;
    std::unique_ptr<CStringBuilder> text_;
    int32_t processed_ = 0;
    int32_t skipped_ = 0;
    bool stopped_ = false;
};
