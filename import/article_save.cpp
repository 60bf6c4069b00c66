// One save of an edited article: remove, add and re-point inside one engine
// transaction, every status checked, the commit's too.
#include "import/article_save.h"

#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/dictionary_shelf.h"
#include "dictionary/engine_cursor.h"
#include "import/article_record.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "storage/byte_order.h"
#include "storage/dms.h"

#include <array>
#include <vector>

namespace {

// A conversion dialog sets these while its compile runs on the dictionary.
constexpr int32_t kConversionRunning = 2;
constexpr int32_t kConversionAddsLatinForms = 3;
// More hops than this through index 0 means a loop in a damaged file.
constexpr int kMostEdits = 4096;

std::u16string StatusText(DmsStatus status) {
    std::array<char16_t, 256> text{};
    DmsErrorText(StatusCode(status), 0, text.data(), static_cast<int32_t>(text.size()));
    return std::u16string(text.data());
}

struct StoredArticle {
    DmsStatus status = DmsStatus::Success;
    uint32_t formatType = 0;
    std::u16string text;
};

StoredArticle ReadStoredArticle(CDMS& engine, int32_t fileId, uint32_t position) {
    StoredArticle article;
    EngineCursor cursor(engine, fileId);
    uint32_t size = 0;
    if (!cursor.ok()) return {cursor.status(), 0, {}};
    article.status = engine.ReadData(cursor.handle(), position, nullptr, &size);
    if (Failed(article.status)) return article;
    std::vector<uint8_t> record(size);
    article.status = engine.ReadData(cursor.handle(), position, record.data(), &size);
    if (Failed(article.status)) return article;
    // A record of its head alone, or less, holds no article.
    if (size <= kArticleRecordHeadBytes) return {DmsStatus::InvalidParameter, 0, {}};
    article.formatType = storage::LoadU16(record.data() + 8);
    article.text = ArticleRecordText(record.data(), size);
    return article;
}

}  // namespace

uint32_t CurrentArticlePosition(CDMS& engine, int32_t fileId, uint32_t id) {
    EngineCursor cursor(engine, fileId);
    if (Failed(cursor.SelectIndex(kIndexArticles))) return id;
    uint32_t key = id;
    for (int hop = 0; hop < kMostEdits; ++hop) {
        uint32_t found = 0;
        KeySegmentValue in{&key, 4}, out{&found, 4};
        EntryPosition at;
        if (Failed(engine.Seek(cursor.handle(), &in, &out, &at))) return key;
        if (at.ref.first == key || at.ref.first == 0) return at.ref.first;
        key = at.ref.first;
    }
    return 0;
}

ArticleSave SaveEditedArticle(CDictionary& dictionary, uint32_t recordId, uint32_t flags, std::u16string_view text) {
    ArticleSave result;
    if (dictionary.fileId == 0) {
        result.error = u"The dictionary is not open.";
        return result;
    }
    if (dictionary.conversionState == kConversionRunning || dictionary.conversionState == kConversionAddsLatinForms) {
        result.error = u"The dictionary is being compiled.";
        return result;
    }
    CDMS& engine = dictionary.Engine();
    const bool replace = (flags & kEditorSameDictionary) && recordId != 0;
    // An id held in a list may lead through earlier edits: remove what it leads to now.
    const uint32_t current = replace ? CurrentArticlePosition(engine, dictionary.fileId, recordId) : 0;
    StoredArticle old;
    if (current != 0) {
        old = ReadStoredArticle(engine, dictionary.fileId, current);
        if (Failed(old.status) && old.status != DmsStatus::Deleted) {
            result.error = StatusText(old.status);
            return result;
        }
    }
    const bool removeOld = current != 0 && old.status != DmsStatus::Deleted;

    if (dictionary.shelf) dictionary.shelf->SaveListPositions();
    EngineCursor transaction(engine, dictionary.fileId);
    if (const DmsStatus s = transaction.SelectIndex(kIndexProperties); Failed(s)) {
        result.error = StatusText(s);
        return result;
    }
    if (const DmsStatus s = engine.BeginTransaction(transaction.handle()); Failed(s)) {
        result.error = StatusText(s);
        return result;
    }
    SilentCompileUi ui;
    PortableCompileEnv env;
    CConverter converter(dictionary, CConverter::kRemoveArticle, ui, env);
    bool ok = !removeOld || converter.ReindexArticle(current, old.formatType, old.text) == 1;
    if (ok) {
        converter.SetMode(CConverter::kAddArticles);
        ok = converter.AddArticles(1, text) == 1;
    }
    const uint32_t stored = converter.LastStoredPosition();
    if (ok && replace) {
        ok = converter.UpdateRecordReference(recordId, stored) == 1;
        // Lists that took the position of an earlier edit follow too.
        if (ok && current != 0 && current != recordId) ok = converter.UpdateRecordReference(current, stored) == 1;
    }
    DmsStatus commit = DmsStatus::Success;
    if (ok) {
        commit = engine.CommitTransaction(transaction.handle());
        ok = !Failed(commit);
    }
    dictionary.ClearParsedArticle();
    dictionary.parsedPosition = 0;
    if (!ok) {
        engine.RollbackTransaction(transaction.handle());
        result.error = !converter.errorText.empty() ? converter.errorText : StatusText(commit);
        return result;
    }
    dictionary.articlesChanged = true;
    if (dictionary.shelf) dictionary.shelf->NotifyDictionaryChanged(dictionary);
    result.saved = true;
    result.position = stored;
    return result;
}

std::u16string RemoveArticleById(CDictionary& dictionary, uint32_t id) {
    CDMS& engine = dictionary.Engine();
    const uint32_t current = CurrentArticlePosition(engine, dictionary.fileId, id);
    if (current == 0) return u"The article was removed before.";
    const StoredArticle old = ReadStoredArticle(engine, dictionary.fileId, current);
    if (Failed(old.status)) return StatusText(old.status);
    EngineCursor transaction(engine, dictionary.fileId);
    if (const DmsStatus s = transaction.SelectIndex(kIndexProperties); Failed(s)) return StatusText(s);
    if (const DmsStatus s = engine.BeginTransaction(transaction.handle()); Failed(s)) return StatusText(s);
    SilentCompileUi ui;
    PortableCompileEnv env;
    CConverter converter(dictionary, CConverter::kRemoveArticle, ui, env);
    bool ok = converter.ReindexArticle(current, old.formatType, old.text) == 1;
    // The id marked removed too, so that lists holding it skip the article.
    if (ok && current != id) ok = converter.UpdateRecordReference(id, 0) == 1;
    DmsStatus commit = DmsStatus::Success;
    if (ok) ok = !Failed(commit = engine.CommitTransaction(transaction.handle()));
    dictionary.ClearParsedArticle();
    dictionary.parsedPosition = 0;
    if (ok) return {};
    engine.RollbackTransaction(transaction.handle());
    return !converter.errorText.empty() ? converter.errorText : StatusText(commit);
}

std::vector<EditorLine> StoredArticleLines(CDictionary& dictionary, const uint8_t* record, uint32_t size) {
    std::vector<EditorLine> lines;
    if (size <= kArticleRecordHeadBytes) return lines;
    const uint32_t formatType = storage::LoadU16(record + 8);
    if (formatType == 1 || formatType == 2) return ReadArticleLines(ArticleRecordText(record, size));
    if (dictionary.ParseRecord(record, size) == 0) return lines;
    for (int32_t i = 0; i < dictionary.ElementCount(); ++i) {
        const DictionaryElement& e = dictionary.Elements()[i];
        if (!e.text || e.length <= 0) continue;
        int32_t kind = -1;
        switch (e.kind) {
        case kLineReading: case kLineKanji: case kLineExample: case kLineNote: case kLineIdiom:
            kind = static_cast<int32_t>(e.kind);
            break;
        case kLineTranslation: case kLineLetters: kind = kLineTranslation; break;  // senses and translations
        default: break;
        }
        if (kind >= 0) lines.push_back({kind, std::u16string(e.text, static_cast<size_t>(e.length)), {}});
    }
    dictionary.ClearParsedArticle();
    dictionary.parsedPosition = 0;
    return lines;
}

bool RemoveArticleIndexEntries(CDictionary& dictionary, uint32_t recordId, uint32_t formatType, const char16_t* text,
                               uint32_t sizeInBytes) {
    SilentCompileUi ui;
    PortableCompileEnv env;
    CConverter converter(dictionary, CConverter::kRemoveArticle, ui, env);
    return converter.ReindexArticle(recordId, formatType, {text, sizeInBytes / 2}) == 1;
}
