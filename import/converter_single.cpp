// The compiler's single-article changes of an open dictionary: adding the
// articles of a piece of source text in append mode, removing one article's
// keys, hits and record, and re-pointing an article id. Every storage status
// is checked, so the caller's transaction is rolled back on any failure
// instead of committing half a change.
#include "import/converter.h"

#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/format_detection.h"
#include "import/article_record.h"
#include "import/line_tags.h"
#include "storage/dms.h"

namespace {

constexpr uint32_t kBookFormat = 12;

bool IsOwnMarkupFormat(uint32_t formatType) { return formatType == 1 || formatType == 2; }

// A stored own markup article, or an editor's "{\a ...}" text, parses as a
// whole source once it has the source's opening group around it.
std::u16string WholeSourceText(uint32_t formatType, std::u16string_view text) {
    if (!IsOwnMarkupFormat(formatType) || text.starts_with(u"{\\rdf")) return std::u16string(text);
    std::u16string whole = formatType == 2 ? u"{\\rdf2 " : u"{\\rdf1 ";
    whole += text;
    whole += u"}";
    return whole;
}

bool Missing(DmsStatus s) { return s == DmsStatus::RecordNotFound || s == DmsStatus::EndOfFile; }

}  // namespace

int32_t CConverter::AddArticles(uint32_t formatType, std::u16string_view text) {
    if (target_.fileId == 0) return 0;
    errorText.clear();
    formatType_ = formatType;
    if (formatType_ == 0 || mode_ == kRemoveArticle) return 0;
    formatFlags_ = IsOwnMarkupFormat(formatType) ? kFormatOwnText : 0;
    sourceText_ = WholeSourceText(formatType, text);
    positions_.clear();
    bookValues_.clear();
    articleCount_ = 0;
    report_.Clear();
    refusedArticles_ = 0;
    {
        // Article numbers go on from the articles already stored.
        EngineCursor articles(engine_, target_.fileId);
        uint32_t count = 0;
        if (Failed(articles.SelectIndex(kIndexArticles)) || Failed(engine_.GetCount(articles.handle(), &count)))
            count = 0;
        nextArticleNumber_ = count;
    }
    const int32_t result = RunSingleArticleSteps(DictionarySteps());
    sourceText_.clear();
    if (result && LastStoredPosition() == 0) {
        FailWith(u"The text holds no article.");
        return 0;
    }
    return result;
}

uint32_t CConverter::LastStoredPosition() const {
    for (auto it = positions_.rbegin(); it != positions_.rend(); ++it)
        if (*it != 0) return *it;
    return 0;
}

int32_t CConverter::ReindexArticle(uint32_t position, uint32_t formatType, std::u16string_view text) {
    if (target_.fileId == 0) return 0;
    errorText.clear();
    formatType_ = formatType;
    if (formatType_ == 0 || position == 0 || mode_ != kRemoveArticle) return 0;
    formatFlags_ = IsOwnMarkupFormat(formatType) ? kFormatOwnText : 0;
    sourceText_ = WholeSourceText(formatType, text);
    positions_.assign(1, position);
    bookValues_.assign(1, formatType == kBookFormat
                              ? ClassifyMarkupTag(text.data(), static_cast<int32_t>(text.size()))
                              : 0u);
    articleIndex_ = 0;
    int32_t result = RunSingleArticleSteps(KeySteps());
    sourceText_.clear();
    // A text that gives no article would leave its keys behind a freed block.
    if (result && articleIndex_ == 0) {
        FailWith(u"The article text could not be read.");
        return 0;
    }
    if (!result) return 0;
    EngineCursor cursor(engine_, target_.fileId);
    DmsStatus s = cursor.SelectIndex(kIndexReadingWord);
    if (!Failed(s)) s = engine_.SelectRecordType(cursor.handle(), kArticleRecordType);
    if (!Failed(s)) s = engine_.FreeData(cursor.handle(), position);
    if (!Failed(s)) s = RepointArticle(position, 0);  // the article's own entry: removed
    if (Failed(s)) {
        Fail(s);
        return 0;
    }
    target_.File().GetSize();
    return 1;
}

// Points the index-0 entry of article id `id` at `position` (0: removed);
// success too when the id has no entry.
DmsStatus CConverter::RepointArticle(uint32_t id, uint32_t position) {
    EngineCursor cursor(engine_, target_.fileId);
    if (const DmsStatus s = cursor.SelectIndex(kIndexArticles); Failed(s)) return s;
    KeySegmentValue key{&id, 4};
    uint32_t found = 0;
    KeySegmentValue out{&found, 4};
    EntryPosition at;
    const DmsStatus s = engine_.Seek(cursor.handle(), &key, &out, &at);
    if (Missing(s)) return DmsStatus::Success;
    if (Failed(s)) return s;
    return engine_.UpdateCurrentKeyReference(cursor.handle(), {position, 0});
}

int32_t CConverter::UpdateRecordReference(uint32_t id, uint32_t position) {
    if (const DmsStatus s = RepointArticle(id, position); Failed(s)) {
        Fail(s);
        return 0;
    }
    return 1;
}
