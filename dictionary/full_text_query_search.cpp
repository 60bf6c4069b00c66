// The full-text search over indexes 110 and 111 and the filling of the
// search-results list.
#include "dictionary/full_text_query_search.h"

#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/format_detection.h"
#include "dictionary/full_text_query_hits.h"
#include "dictionary/full_text_query_lists.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_entry.h"
#include "storage/dms.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <functional>
#include <new>
#include <numeric>
#include <unordered_map>

namespace {

constexpr size_t kMaxScoredItems = 1000;
constexpr size_t kMaxDictionaries = 100;
constexpr uint32_t kRunUnit = 65536;
// Runs of this many items or fewer are sorted in place, without the
// buffer a stable sort would allocate for every article.
constexpr size_t kInsertionSortItems = 32;

struct Item {
    int32_t group;
    uint16_t hit;
    uint16_t Word() const { return hit & kHitWordNumberMask; }
};

uint32_t StartBonus(uint32_t start) { return start <= 254 ? 255 - start : 0; }

void SortItemsByWord(std::vector<Item>& items) {
    const auto byWord = [](const Item& a, const Item& b) { return a.Word() < b.Word(); };
    if (items.size() > kInsertionSortItems) {
        std::stable_sort(items.begin(), items.end(), byWord);
        return;
    }
    for (size_t i = 1; i < items.size(); ++i)
        for (size_t j = i; j > 0 && byWord(items[j], items[j - 1]); --j) std::swap(items[j], items[j - 1]);
}

// The score over `items` (all groups' hits, capped), with `items` as scratch.
uint32_t ScoreItems(std::span<const std::span<const uint16_t>> groups, std::vector<Item>& items) {
    items.clear();
    size_t nonEmpty = 0, only = 0;
    for (size_t g = 0; g < groups.size(); ++g)
        if (!groups[g].empty()) ++nonEmpty, only = g;
    if (nonEmpty == 0) return 0;
    if (nonEmpty == 1) {
        // Every run is one word long: the first hit, in word order, of the
        // greatest field wins (a group's hits ascend by word already).
        const std::span<const uint16_t> hits = groups[only].first(std::min(groups[only].size(), kMaxScoredItems));
        uint32_t bestField = hits[0] & kHitWeightMask, bestStart = hits[0] & kHitWordNumberMask;
        for (uint16_t h : hits)
            if ((h & kHitWeightMask) > bestField) bestField = h & kHitWeightMask, bestStart = h & kHitWordNumberMask;
        return kRunUnit + bestField + StartBonus(bestStart);
    }
    for (size_t g = 0; g < groups.size(); ++g)
        for (uint16_t h : groups[g]) {
            if (items.size() >= kMaxScoredItems) break;
            items.push_back({static_cast<int32_t>(g), h});
        }
    SortItemsByWord(items);
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
    return bestRun * kRunUnit + bestField + StartBonus(bestStart);
}

}  // namespace

size_t HitList::Find(uint32_t position, size_t from) const {
    const auto it = std::lower_bound(records_.begin() + static_cast<std::ptrdiff_t>(std::min(from, size())),
                                     records_.end(), position,
                                     [](const Record& r, uint32_t p) { return r.position < p; });
    return it != records_.end() && it->position == position ? static_cast<size_t>(it - records_.begin()) : size();
}

HitList HitList::FromBlock(std::vector<uint16_t> units, size_t bytes) {
    HitList list;
    bytes = std::min(bytes, units.size() * 2);
    if constexpr (std::endian::native == std::endian::big)
        for (uint16_t& u : units) u = static_cast<uint16_t>(u << 8 | u >> 8);
    const std::span<const uint8_t> block{reinterpret_cast<const uint8_t*>(units.data()), bytes};
    // Every record takes at least 8 bytes.
    list.records_.reserve(bytes / 8);
    HitRecordView record;
    for (size_t offset = 0; ReadHitRecord(block, offset, record); offset += HitRecordBytes(record)) {
        // Positions must ascend for the merges; a record out of order ends a damaged list.
        if (!list.empty() && record.position <= list.records_.back().position) break;
        // Records are 6 + 2n bytes long: every hit array starts on a whole unit.
        const uint32_t begin = static_cast<uint32_t>((offset + kHitRecordHeadBytes) / 2);
        list.records_.push_back({record.position, begin, begin + static_cast<uint32_t>(record.Count())});
    }
    list.units_ = std::move(units);
    return list;
}

void HitList::Append(uint32_t position, std::span<const uint16_t> hits) {
    const uint32_t begin = static_cast<uint32_t>(units_.size());
    units_.insert(units_.end(), hits.begin(), hits.end());
    records_.push_back({position, begin, static_cast<uint32_t>(units_.size())});
}

void HitList::AppendStored(uint32_t position, const uint8_t* bytes, size_t count) {
    const size_t begin = units_.size();
    units_.resize(begin + count);
    std::memcpy(units_.data() + begin, bytes, 2 * count);
    if constexpr (std::endian::native == std::endian::big)
        for (size_t i = begin; i < units_.size(); ++i) units_[i] = static_cast<uint16_t>(units_[i] << 8 | units_[i] >> 8);
    records_.push_back({position, static_cast<uint32_t>(begin), static_cast<uint32_t>(units_.size())});
}

std::vector<uint32_t> HitList::Positions() const {
    std::vector<uint32_t> out(records_.size());
    for (size_t i = 0; i < records_.size(); ++i) out[i] = records_[i].position;
    return out;
}

DmsStatus FindWordId(CDMS& engine, uint32_t wordsCursor, const std::u16string& word, uint32_t& id) {
    // The builder's cut: whole units, never half a surrogate pair.
    const size_t units = FullTextKeyUnits(word);
    if (units == 0) return DmsStatus::RecordNotFound;
    std::array<char16_t, kFullTextKeyBytes / 2> found{};
    KeySegmentValue in{const_cast<char16_t*>(word.data()), static_cast<int32_t>(units * 2)};
    KeySegmentValue out{found.data(), kFullTextKeyBytes};
    EntryPosition at;
    const DmsStatus st = engine.Seek(wordsCursor, &in, &out, &at);
    if (Failed(st)) return st;
    id = at.ref.first;
    return id != 0 ? DmsStatus::Success : DmsStatus::RecordNotFound;
}

DmsStatus LoadHitList(CDMS& engine, uint32_t hitsCursor, uint32_t id, HitList& list) {
    XCursor* cursor = engine.FindCursor(hitsCursor);
    if (cursor == nullptr) return DmsStatus::WrongHandle;
    StoredHitList stored;
    try {
        const DmsStatus found = FindStoredHitList(engine, hitsCursor, id, stored);
        return Failed(found) ? found : ReadStoredHitList(*cursor->file, stored.position, nullptr, list);
    } catch (const std::bad_alloc&) {
        return DmsStatus::NotEnoughMemory;
    }
}

HitList ReadHitList(std::span<const uint8_t> block) {
    std::vector<uint16_t> units((block.size() + 1) / 2);
    std::copy(block.begin(), block.end(), reinterpret_cast<uint8_t*>(units.data()));
    return HitList::FromBlock(std::move(units), block.size());
}

HitList MergeAlternatives(std::vector<HitList> alternatives) {
    if (alternatives.empty()) return {};
    if (alternatives.size() == 1) return std::move(alternatives[0]);
    HitList merged;
    std::vector<size_t> at(alternatives.size(), 0);
    for (;;) {
        size_t best = alternatives.size();
        for (size_t a = 0; a < alternatives.size(); ++a) {
            if (at[a] >= alternatives[a].size()) continue;
            // The earliest alternative wins an article several of them hold.
            if (best == alternatives.size() || alternatives[a].Position(at[a]) < alternatives[best].Position(at[best]))
                best = a;
        }
        if (best == alternatives.size()) break;
        const uint32_t position = alternatives[best].Position(at[best]);
        merged.AppendRecord(alternatives[best], at[best]);
        for (size_t a = 0; a < alternatives.size(); ++a)
            if (at[a] < alternatives[a].size() && alternatives[a].Position(at[a]) == position) ++at[a];
    }
    return merged;
}

int32_t IntersectHits(HitList& list, const HitList& other, int32_t offset) {
    if (&list == &other) return static_cast<int32_t>(list.size());
    size_t o = 0;
    list.Compact([&](size_t i, std::span<uint16_t>& hits) {
        while (o < other.size() && other.Position(o) < list.Position(i)) ++o;
        if (o >= other.size() || other.Position(o) != list.Position(i)) return false;
        if (offset == 0) return true;
        const std::span<const uint16_t> theirs = other.Hits(o);
        size_t t = 0, out = 0;
        for (uint16_t h : hits) {
            const int32_t wanted = (h & kHitWordNumberMask) + offset;
            while (t < theirs.size() && (theirs[t] & kHitWordNumberMask) < wanted) ++t;
            if (t < theirs.size() && (theirs[t] & kHitWordNumberMask) == wanted) hits[out++] = h;
        }
        // Removed hits are compacted out: a real hit may be 0 itself.
        hits = hits.first(out);
        return out != 0;
    });
    return static_cast<int32_t>(list.size());
}

std::vector<uint32_t> KeepAdjacent(const std::vector<uint32_t>& wanted, const HitList& earlier, const HitList& later) {
    std::vector<uint32_t> out;
    size_t e = 0, l = 0;
    for (uint32_t position : wanted) {
        const size_t i = earlier.Find(position, e), j = later.Find(position, l);
        if (i == earlier.size() || j == later.size()) continue;
        e = i, l = j;
        const std::span<const uint16_t> before = earlier.Hits(i), after = later.Hits(j);
        size_t b = 0;
        for (uint16_t h : after) {
            const int32_t wantedWord = (h & kHitWordNumberMask) - 1;
            while (b < before.size() && (before[b] & kHitWordNumberMask) < wantedWord) ++b;
            if (b < before.size() && (before[b] & kHitWordNumberMask) == wantedWord) {
                out.push_back(position);
                break;
            }
        }
    }
    return out;
}

uint32_t ScoreArticle(std::span<const std::span<const uint16_t>> groupsAtArticle) {
    std::vector<Item> items;
    return ScoreItems(groupsAtArticle, items);
}

std::vector<ScoredArticle> CollectHits(const FullTextQuery& query, int32_t groupCount, CDMS& engine,
                                       uint32_t wordsCursor, uint32_t hitsCursor, DmsStatus* refusal) {
    std::vector<int32_t> groups = query.Groups();
    if (groupCount < static_cast<int32_t>(groups.size())) groups.resize(static_cast<size_t>(std::max(groupCount, 0)));
    XCursor* cursor = engine.FindCursor(hitsCursor);
    if (groups.empty() || cursor == nullptr) return {};
    // A read the engine refuses is no word or list the index lacks: the
    // dictionary gives nothing, and says why.
    const auto refused = [refusal](DmsStatus status) {
        if (!IsReadRefusal(status)) return false;
        if (refusal != nullptr) *refusal = status;
        return true;
    };
    // Every word is looked up in index 110 before any in index 111, and every
    // list is found before any is read: a word the index lacks ends the
    // search having read only index 110's pages.
    std::vector<std::vector<uint32_t>> ids(groups.size());
    for (size_t g = 0; g < groups.size(); ++g) {
        for (int32_t r : query.Alternatives(groups[g])) {
            uint32_t id = 0;
            const DmsStatus st = FindWordId(engine, wordsCursor, query.Record(r).word, id);
            if (refused(st)) return {};
            if (!Failed(st)) ids[g].push_back(id);
        }
        if (ids[g].empty()) return {};
    }
    std::vector<std::vector<StoredHitList>> stored(groups.size());
    std::vector<uint64_t> groupBytes(groups.size(), 0);
    std::unordered_map<uint32_t, int32_t> uses;  // lists asked for by several groups are read once
    for (size_t g = 0; g < groups.size(); ++g) {
        for (uint32_t id : ids[g]) {
            StoredHitList list;
            const DmsStatus st = FindStoredHitList(engine, hitsCursor, id, list);
            if (refused(st)) return {};
            if (Failed(st)) continue;
            stored[g].push_back(list);
            groupBytes[g] += list.bytes;
            ++uses[list.position];
        }
        if (stored[g].empty()) return {};
    }
    // The shortest lists first: each later one is read only for the articles
    // every list before it holds, and only up to the last of them. An
    // article's hits are the same in a list read whole or in part, so the
    // intersections below in query order give what whole lists would.
    std::vector<size_t> order(groups.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return groupBytes[a] < groupBytes[b]; });
    // Group g's words stand right after group g - 1's.
    const auto linked = [&](size_t g) {
        return query.Record(groups[g]).phrase != 0 && query.Record(groups[g - 1]).phrase != 0;
    };
    std::vector<HitList> merged(groups.size());
    std::vector<bool> loaded(groups.size(), false);
    std::unordered_map<uint32_t, HitList> kept;
    std::vector<uint32_t> wanted;
    for (size_t step = 0; step < order.size(); ++step) {
        const size_t g = order[step];
        std::vector<HitList> alternatives;
        for (const StoredHitList& list : stored[g]) {
            HitList read;
            if (const auto it = kept.find(list.position); it != kept.end()) {
                read = KeepArticles(it->second, wanted);
            } else {
                const DmsStatus st = ReadStoredHitList(*cursor->file, list.position, step == 0 ? nullptr : &wanted, read);
                if (refused(st)) return {};
                if (Failed(st)) continue;
                if (uses[list.position] > 1) kept.emplace(list.position, read);
            }
            alternatives.push_back(std::move(read));
        }
        merged[g] = MergeAlternatives(std::move(alternatives));
        wanted = merged[g].Positions();
        // An article lacking a read phrase neighbour right before or after
        // the word cannot be found: later lists need not be read for it.
        loaded[g] = true;
        if (g > 0 && loaded[g - 1] && linked(g)) wanted = KeepAdjacent(wanted, merged[g - 1], merged[g]);
        if (g + 1 < groups.size() && loaded[g + 1] && linked(g + 1)) wanted = KeepAdjacent(wanted, merged[g], merged[g + 1]);
        if (wanted.empty()) return {};
    }
    for (size_t g = 1; g < groups.size(); ++g)
        if (IntersectHits(merged[g], merged[g - 1], linked(g) ? -1 : 0) == 0) return {};
    const HitList& survivors = merged.back();
    std::vector<ScoredArticle> out;
    out.reserve(survivors.size());
    // Survivors ascend, so each group's record is found from the last one found.
    std::vector<size_t> from(groups.size(), 0);
    std::vector<std::span<const uint16_t>> at(groups.size());
    std::vector<Item> scratch;
    for (size_t s = 0; s < survivors.size(); ++s) {
        const uint32_t position = survivors.Position(s);
        for (size_t g = 0; g + 1 < groups.size(); ++g) {
            const size_t i = merged[g].Find(position, from[g]);
            at[g] = i < merged[g].size() ? merged[g].Hits(i) : std::span<const uint16_t>{};
            if (i < merged[g].size()) from[g] = i;
        }
        at.back() = survivors.Hits(s);
        out.push_back({position, ScoreItems(at, scratch)});
    }
    return out;
}

namespace {

// Fewer articles than this are put in order by comparisons: the digit passes
// cost their counting tables whatever the number of articles.
constexpr size_t kComparisonSortArticles = 256;
// Scores are taken as three digits, the highest first.
constexpr int kScoreShifts[] = {21, 10, 0};
constexpr uint32_t kScoreDigits[] = {0x7FF, 0x7FF, 0x3FF};

// The `rank`-th greatest score (from 1) and how many articles of exactly that
// score are among the `rank` greatest: a selection digit by digit, each a
// pass counting the articles that share the digits above.
std::pair<uint32_t, size_t> NthGreatestScore(const std::vector<ScoredArticle>& articles, size_t rank) {
    std::array<size_t, 0x800> counts{};
    uint32_t prefix = 0, mask = 0;
    for (int pass = 0; pass < 3; ++pass) {
        counts.fill(0);
        for (const ScoredArticle& a : articles)
            if ((a.score & mask) == prefix) ++counts[a.score >> kScoreShifts[pass] & kScoreDigits[pass]];
        for (uint32_t digit = kScoreDigits[pass];; --digit) {
            if (counts[digit] >= rank) {
                prefix |= digit << kScoreShifts[pass];
                break;
            }
            rank -= counts[digit];
        }
        mask |= kScoreDigits[pass] << kScoreShifts[pass];
    }
    return {prefix, rank};
}

}  // namespace

void KeepBestArticles(std::vector<ScoredArticle>& articles, size_t limit) {
    if (limit == 0) {
        articles.clear();
        return;
    }
    if (articles.size() > limit) {
        // The articles above the limit's score, and of that score the first
        // (lowest positions): what a stable sort by score and a cut would
        // keep, found without sorting them all.
        auto [threshold, ties] = NthGreatestScore(articles, limit);
        size_t kept = 0;
        for (const ScoredArticle& a : articles) {
            if (a.score < threshold) continue;
            if (a.score == threshold) {
                if (ties == 0) continue;
                --ties;
            }
            articles[kept++] = a;
        }
        articles.resize(kept);
    }
    // A stable sort by descending score: few articles by comparisons, more a
    // digit a pass from the lowest (a pass whose digit is the same in every
    // article left out).
    if (articles.size() <= kComparisonSortArticles) {
        std::stable_sort(articles.begin(), articles.end(),
                         [](const ScoredArticle& a, const ScoredArticle& b) { return a.score > b.score; });
        return;
    }
    std::vector<ScoredArticle> buffer(articles.size());
    for (int pass = 2; pass >= 0; --pass) {
        // Buckets from the greatest digit down.
        const auto bucket = [pass](const ScoredArticle& a) {
            return kScoreDigits[pass] - (a.score >> kScoreShifts[pass] & kScoreDigits[pass]);
        };
        std::array<size_t, 0x801> starts{};
        for (const ScoredArticle& a : articles) ++starts[bucket(a) + 1];
        if (std::count(starts.begin(), starts.end(), articles.size()) == 1) continue;
        for (size_t d = 1; d < starts.size(); ++d) starts[d] += starts[d - 1];
        for (const ScoredArticle& a : articles) buffer[starts[bucket(a)]++] = a;
        articles.swap(buffer);
    }
}

std::vector<ScoredArticle> SearchDictionary(const FullTextQuery& query, int32_t groupCount, CDMS& engine,
                                            int32_t fileId, DmsStatus* refusal) {
    EngineCursor words(engine, fileId), hits(engine, fileId);
    if (Failed(words.SelectIndex(kIndexFullTextWords)) || Failed(hits.SelectIndex(kIndexFullTextHits))) return {};
    try {
        return CollectHits(query, groupCount, engine, words.handle(), hits.handle(), refusal);
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
        DmsStatus refusal = DmsStatus::Success;
        std::vector<ScoredArticle> pairs =
            SearchDictionary(query, groupCount, dictionary->Engine(), dictionary->fileId, &refusal);
        dictionary->NoteReadRefusal(refusal);
        // The list holds at most kMaxEntries: no dictionary gives more.
        KeepBestArticles(pairs, WordList::kMaxEntries);
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

void FillFromQuery(WordList& list, FullTextQuery& query, std::u16string_view text) {
    const int32_t groups = ParseFullTextQuery(query, text);
    if (groups == 0) {
        if (list.IsStored()) list.Clear();
        return;
    }
    SearchFullText(list, query, groups);
}

int32_t RefillFromFullTextQuery(WordList& list, FullTextQuery& query, std::u16string_view text, int32_t row) {
    const WordListEntry* before = row >= 0 && row < list.RowCount() ? list.RowEntry(row) : nullptr;
    const RDFDictionary* dictionary = before ? before->dictionary : nullptr;
    const uint32_t record = before ? before->recordId : 0;
    const bool had = before != nullptr;  // the entry itself goes with the fill
    FillFromQuery(list, query, text);
    const int32_t rows = list.RowCount();
    for (int32_t r = 0; had && r < rows; ++r) {
        const WordListEntry* entry = list.RowEntry(r);
        if (entry && entry->dictionary == dictionary && entry->recordId == record) return r;
    }
    return rows == 0 ? -1 : std::clamp(row, 0, rows - 1);
}
