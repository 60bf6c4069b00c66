// The full-text search over indexes 110 and 111 and the filling of the
// search-results list.
#include "dictionary/full_text_query_search.h"

#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/format_detection.h"
#include "dictionary/full_text_query_hits.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_entry.h"
#include "storage/dms.h"

#include <algorithm>
#include <array>
#include <new>

namespace {

constexpr size_t kMaxScoredItems = 1000;
constexpr size_t kMaxDictionaries = 100;
constexpr uint32_t kRunUnit = 65536;

struct Item {
    int32_t group;
    uint16_t hit;
    uint16_t Word() const { return hit & kHitWordNumberMask; }
};

const GroupHits* RecordAt(const HitList& list, uint32_t position) {
    auto it = std::lower_bound(list.begin(), list.end(), position,
                               [](const GroupHits& r, uint32_t p) { return r.position < p; });
    return it != list.end() && it->position == position ? &*it : nullptr;
}

}  // namespace

bool FindWordId(CDMS& engine, uint32_t wordsCursor, const std::u16string& word, uint32_t& id) {
    // The builder's cut: whole units, never half a surrogate pair.
    const size_t units = FullTextKeyUnits(word);
    std::array<char16_t, kFullTextKeyBytes / 2> found{};
    KeySegmentValue in{const_cast<char16_t*>(word.data()), static_cast<int32_t>(units * 2)};
    KeySegmentValue out{found.data(), kFullTextKeyBytes};
    EntryPosition at;
    if (units == 0 || Failed(engine.Seek(wordsCursor, &in, &out, &at))) return false;
    id = at.ref.first;
    return id != 0;
}

bool LoadHitList(CDMS& engine, uint32_t hitsCursor, uint32_t id, HitList& list) {
    KeySegmentValue in{&id, 4};
    uint32_t found = 0;
    KeySegmentValue out{&found, 4};
    EntryPosition at;
    if (Failed(engine.Seek(hitsCursor, &in, &out, &at)) || at.ref.first == 0) return false;
    uint32_t size = 0;
    if (Failed(engine.ReadData(hitsCursor, at.ref.first, nullptr, &size))) return false;
    std::vector<uint8_t> block;
    try {
        block.resize(size);
        if (Failed(engine.ReadData(hitsCursor, at.ref.first, block.data(), &size))) return false;
        block.resize(std::min<size_t>(size, block.size()));
        list = ReadHitList(block);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

HitList ReadHitList(std::span<const uint8_t> block) {
    HitList list;
    HitRecordView record;
    for (size_t offset = 0; ReadHitRecord(block, offset, record); offset += HitRecordBytes(record)) {
        // Positions must ascend for the merges; a record out of order ends a damaged list.
        if (!list.empty() && record.position <= list.back().position) break;
        GroupHits hits{record.position, {}};
        hits.hits.reserve(record.Count());
        for (size_t i = 0; i < record.Count(); ++i) hits.hits.push_back(record.Hit(i));
        list.push_back(std::move(hits));
    }
    return list;
}

HitList MergeAlternatives(std::span<const HitList> alternatives) {
    if (alternatives.empty()) return {};
    if (alternatives.size() == 1) return alternatives[0];
    HitList merged;
    std::vector<size_t> at(alternatives.size(), 0);
    for (;;) {
        size_t best = alternatives.size();
        for (size_t a = 0; a < alternatives.size(); ++a) {
            if (at[a] >= alternatives[a].size()) continue;
            // The earliest alternative wins an article several of them hold.
            if (best == alternatives.size() || alternatives[a][at[a]].position < alternatives[best][at[best]].position)
                best = a;
        }
        if (best == alternatives.size()) break;
        const uint32_t position = alternatives[best][at[best]].position;
        merged.push_back(alternatives[best][at[best]]);
        for (size_t a = 0; a < alternatives.size(); ++a)
            if (at[a] < alternatives[a].size() && alternatives[a][at[a]].position == position) ++at[a];
    }
    return merged;
}

int32_t IntersectHits(HitList& list, const HitList& other, int32_t offset) {
    if (&list == &other) return static_cast<int32_t>(list.size());
    size_t kept = 0, o = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        GroupHits& record = list[i];
        while (o < other.size() && other[o].position < record.position) ++o;
        if (o >= other.size() || other[o].position != record.position) continue;
        if (offset != 0) {
            const std::vector<uint16_t>& theirs = other[o].hits;
            size_t t = 0, out = 0;
            for (uint16_t h : record.hits) {
                const int32_t wanted = (h & kHitWordNumberMask) + offset;
                while (t < theirs.size() && (theirs[t] & kHitWordNumberMask) < wanted) ++t;
                if (t < theirs.size() && (theirs[t] & kHitWordNumberMask) == wanted) record.hits[out++] = h;
            }
            // Removed hits are compacted out: a real hit may be 0 itself.
            record.hits.resize(out);
            if (out == 0) continue;
        }
        if (kept != i) list[kept] = std::move(record);
        ++kept;
    }
    list.resize(kept);
    return static_cast<int32_t>(kept);
}

uint32_t ScoreArticle(std::span<const GroupHits* const> groupsAtArticle) {
    std::vector<Item> items;
    for (size_t g = 0; g < groupsAtArticle.size(); ++g) {
        if (!groupsAtArticle[g]) continue;
        for (uint16_t h : groupsAtArticle[g]->hits) {
            if (items.size() >= kMaxScoredItems) break;
            items.push_back({static_cast<int32_t>(g), h});
        }
    }
    if (items.empty()) return 0;
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.Word() < b.Word(); });
    uint32_t bestRun = 0, bestField = 0, bestStart = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        uint32_t run = 1, field = items[i].hit & kHitWeightMask;
        int32_t wantGroup = items[i].group + 1;
        uint32_t wantWord = items[i].Word() + 1u;
        for (size_t j = i + 1; j < items.size() && items[j].Word() <= wantWord; ++j) {
            if (items[j].group != wantGroup || items[j].Word() != wantWord) continue;
            ++run;
            field = std::min<uint32_t>(field, items[j].hit & kHitWeightMask);
            ++wantGroup;
            ++wantWord;
        }
        if (run > bestRun || (run == bestRun && field > bestField)) {
            bestRun = run;
            bestField = field;
            bestStart = items[i].Word();
        }
    }
    return bestRun * kRunUnit + bestField + (bestStart <= 254 ? 255 - bestStart : 0);
}

std::vector<ScoredArticle> CollectHits(const FullTextQuery& query, int32_t groupCount, CDMS& engine,
                                       uint32_t wordsCursor, uint32_t hitsCursor) {
    std::vector<int32_t> groups = query.Groups();
    if (groupCount < static_cast<int32_t>(groups.size())) groups.resize(static_cast<size_t>(std::max(groupCount, 0)));
    if (groups.empty()) return {};
    std::vector<HitList> merged(groups.size());
    for (size_t g = 0; g < groups.size(); ++g) {
        std::vector<HitList> alternatives;
        for (int32_t r : query.Alternatives(groups[g])) {
            uint32_t id = 0;
            HitList list;
            if (FindWordId(engine, wordsCursor, query.Record(r).word, id) && LoadHitList(engine, hitsCursor, id, list))
                alternatives.push_back(std::move(list));
        }
        if (alternatives.empty()) return {};
        merged[g] = MergeAlternatives(alternatives);
        if (g == 0) continue;
        const bool phrase = query.Record(groups[g]).phrase != 0 && query.Record(groups[g - 1]).phrase != 0;
        if (IntersectHits(merged[g], merged[g - 1], phrase ? -1 : 0) == 0) return {};
    }
    std::vector<ScoredArticle> out;
    out.reserve(merged.back().size());
    std::vector<const GroupHits*> at(groups.size());
    for (const GroupHits& survivor : merged.back()) {
        for (size_t g = 0; g < groups.size(); ++g) at[g] = RecordAt(merged[g], survivor.position);
        out.push_back({survivor.position, ScoreArticle(at)});
    }
    return out;
}

std::vector<ScoredArticle> SearchDictionary(const FullTextQuery& query, int32_t groupCount, CDMS& engine,
                                            int32_t fileId) {
    EngineCursor words(engine, fileId), hits(engine, fileId);
    if (Failed(words.SelectIndex(kIndexFullTextWords)) || Failed(hits.SelectIndex(kIndexFullTextHits))) return {};
    try {
        return CollectHits(query, groupCount, engine, words.handle(), hits.handle());
    } catch (const std::bad_alloc&) {
        return {};
    }
}

void SearchFullText(WordList& list, const FullTextQuery& query, int32_t groupCount) {
    if (!list.IsStored()) return;
    list.Clear();
    struct Source {
        CCursor* cursor;
        std::vector<ScoredArticle> pairs;
        size_t next = 0;
    };
    std::vector<Source> sources;
    for (int32_t i = 0; i < list.CursorCount() && sources.size() < kMaxDictionaries; ++i) {
        CCursor* cursor = list.CursorAt(i);
        RDFDictionary* dictionary = cursor ? cursor->dictionary : nullptr;
        if (!dictionary || (dictionary->flags & kDictionaryNoFullTextSearch) || !(dictionary->flags & kDictionaryOpen))
            continue;
        std::vector<ScoredArticle> pairs = SearchDictionary(query, groupCount, dictionary->Engine(), dictionary->fileId);
        std::stable_sort(pairs.begin(), pairs.end(),
                         [](const ScoredArticle& a, const ScoredArticle& b) { return a.score > b.score; });
        if (!pairs.empty()) sources.push_back({cursor, std::move(pairs)});
    }
    for (const bool books : {false, true}) {
        while (list.EntryCount() < WordList::kMaxEntries) {
            Source* best = nullptr;
            for (Source& s : sources) {
                if (((s.cursor->dictionary->flags & kFormatBook) != 0) != books || s.next >= s.pairs.size()) continue;
                if (!best || s.pairs[s.next].score > best->pairs[best->next].score) best = &s;
            }
            if (!best) break;
            const ScoredArticle pair = best->pairs[best->next++];
            if (pair.position == 0) continue;
            best->cursor->position.ref = {pair.position, 0};
            if (WordListEntry* entry = list.AddCursorEntry(*best->cursor)) {
                entry->flags |= kEntrySearchHighlight;
                entry->matchStart = 0;
                entry->matchLength = query.MatchEnd();
                entry->priority = static_cast<int32_t>(pair.score);
            }
        }
    }
    list.Sort();
}

void FillFromFullTextQuery(WordList& list, FullTextQuery& query, std::u16string_view text) {
    const int32_t groups = ParseFullTextQuery(query, text);
    if (groups == 0) {
        if (list.IsStored()) list.Clear();
        return;
    }
    SearchFullText(list, query, groups);
}
