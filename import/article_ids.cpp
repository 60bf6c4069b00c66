// Reading a dictionary's article ids and live article texts.
#include "import/article_ids.h"

#include "dictionary/engine_cursor.h"
#include "import/article_record.h"
#include "storage/dms.h"

DmsStatus ReadArticleIds(CDMS& engine, int32_t fileId, std::vector<ArticleIdEntry>& entries) {
    entries.clear();
    EngineCursor cursor(engine, fileId);
    if (const DmsStatus s = cursor.SelectIndex(0); Failed(s)) return s;
    uint32_t key = 0;
    KeySegmentValue out{&key, 4};
    EntryPosition at;
    DmsStatus s = engine.First(cursor.handle(), &out, &at);
    for (; !Failed(s); s = engine.Next(cursor.handle(), &out, &at)) entries.push_back({key, at.ref.first});
    return s == DmsStatus::EndOfFile || s == DmsStatus::RecordNotFound ? DmsStatus::Success : s;
}

DmsStatus ReadLiveArticles(CDMS& engine, int32_t fileId, std::vector<ArticleAtPosition>& articles) {
    articles.clear();
    std::vector<ArticleIdEntry> entries;
    if (const DmsStatus s = ReadArticleIds(engine, fileId, entries); Failed(s)) return s;
    EngineCursor cursor(engine, fileId);
    if (const DmsStatus s = cursor.SelectIndex(0); Failed(s)) return s;
    std::vector<uint8_t> record;
    for (const ArticleIdEntry& entry : entries) {
        if (entry.id == 0 || entry.reference != entry.id) continue;
        uint32_t size = 0;
        if (const DmsStatus s = engine.ReadData(cursor.handle(), entry.reference, nullptr, &size); Failed(s)) return s;
        record.resize(size);
        if (const DmsStatus s = engine.ReadData(cursor.handle(), entry.reference, record.data(), &size);
            Failed(s) && s != DmsStatus::Deleted)
            return s;
        if (size < kArticleRecordHeadBytes) continue;
        articles.push_back({entry.reference, ArticleRecordText(record.data(), size)});
    }
    return DmsStatus::Success;
}
