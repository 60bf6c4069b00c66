// The full-text index builder: word ids, the posting stream, and the writing
// of index 110, the hit lists and index 111.
#include "import/search_engine.h"

#include "dictionary/full_text_query_hits.h"
#include "storage/dms.h"

#include <algorithm>
#include <array>
#include <map>
#include <new>

namespace {

// Hit lists are data blocks of their own record type, apart from articles.
constexpr int32_t kHitListRecordType = 2;

bool NotFound(DmsStatus s) { return s == DmsStatus::RecordNotFound || s == DmsStatus::EndOfFile; }

}  // namespace

CSearchEngine::CSearchEngine(CDMS& engine, uint32_t wordsCursor, uint32_t hitsCursor)
    : engine_(engine), wordsCursor_(wordsCursor), hitsCursor_(hitsCursor) {
    tuples_.reserve(kTupleCapacity);
    keys_.reserve(kTupleCapacity);
    flushed_.reserve(kTupleCapacity);
    uint32_t last = 0;
    KeySegmentValue out{&last, 4};
    EntryPosition at;
    const DmsStatus s = engine_.Last(hitsCursor_, &out, &at);
    if (!Failed(s)) {
        highestId_ = storedHighestId_ = last;
        merging_ = true;
    } else if (!NotFound(s)) {
        status_ = s;
    }
}

bool CSearchEngine::Fail(DmsStatus status) {
    if (!Failed(status_)) status_ = status;
    return false;
}

int64_t CSearchEngine::GetWordId(std::u16string_view word) {
    // Keys are compared as index 110 keeps them: cut to whole units, never half a pair.
    const std::u16string_view key = word.substr(0, FullTextKeyUnits(word));
    if (const uint32_t known = words_.Find(key); known != 0) return known;
    uint32_t id = 0;
    if (merging_) {
        std::array<char16_t, kFullTextKeyBytes / 2> found{};
        KeySegmentValue in{const_cast<char16_t*>(key.data()), static_cast<int32_t>(key.size() * 2)};
        KeySegmentValue out{found.data(), kFullTextKeyBytes};
        EntryPosition at;
        const DmsStatus s = engine_.Seek(wordsCursor_, &in, &out, &at);
        if (!Failed(s)) {
            id = at.ref.first;
            highestId_ = std::max(highestId_, id);
        } else if (!NotFound(s)) {
            Fail(s);
            return -1;
        }
    }
    if (id == 0) id = ++highestId_;
    if (!words_.Add(key, id)) return Fail(DmsStatus::NotEnoughMemory), -1;
    return id;
}

int32_t CSearchEngine::AddPosting(uint32_t wordId, uint32_t start, uint32_t end, uint32_t wordNumber) {
    if (!HasRoom()) return -1;
    tuples_.push_back({wordId, 0, 0, start, end, std::min(wordNumber, kMaxWordNumber)});
    // The word's counts change when the article is flushed: fetched now, they are at hand then.
    if (wordId < counts_.size()) __builtin_prefetch(&counts_[wordId], 1);
    return static_cast<int32_t>(tuples_.size());
}

int32_t CSearchEngine::FlushRecordPostings(uint32_t position) {
    const auto hitOf = [](const PostingTuple& t) {
        return static_cast<uint16_t>((t.phrase & 0xF) << 12 | (t.wordNumber & kHitWordNumberMask));
    };
    // The postings go by word id and word number. When the word numbers rise
    // in the order the words came (as the lexicon adds them), no two tuples
    // tie, and their 8-byte keys sort into the order the tuples would.
    bool rising = true;
    for (size_t i = 1; i < tuples_.size() && rising; ++i) rising = tuples_[i].wordNumber > tuples_[i - 1].wordNumber;
    flushed_.clear();
    if (rising) {
        keys_.clear();
        for (const PostingTuple& t : tuples_)
            keys_.push_back(uint64_t{t.wordId} << 32 | uint64_t{t.wordNumber} << 16 | hitOf(t));
        std::sort(keys_.begin(), keys_.end());
        for (const uint64_t key : keys_) flushed_.push_back({static_cast<uint32_t>(key >> 32), static_cast<uint16_t>(key)});
    } else {
        std::sort(tuples_.begin(), tuples_.end(), [](const PostingTuple& a, const PostingTuple& b) {
            return a.wordId != b.wordId ? a.wordId < b.wordId : a.wordNumber < b.wordNumber;
        });
        for (const PostingTuple& t : tuples_) flushed_.push_back({t.wordId, hitOf(t)});
    }
    try {
        // The postings are sorted: the last has the highest id.
        if (const size_t highest = flushed_.empty() ? 0 : flushed_.back().wordId; counts_.size() <= highest) {
            counts_.resize(std::max(2 * counts_.size(), highest + 1));
        }
    } catch (const std::bad_alloc&) {
        return Fail(DmsStatus::NotEnoughMemory), -1;
    }
    if (stream.Write(position, flushed_) != 0) return Fail(DmsStatus::NotEnoughMemory), -1;
    ++articles_;
    // Each run of one word becomes one hit record of at most 255 hits.
    for (size_t i = 0, j = 0; i < flushed_.size(); i = j) {
        while (j < flushed_.size() && flushed_[j].wordId == flushed_[i].wordId) ++j;
        WordCounts& counts = counts_[flushed_[i].wordId];
        counts.postings += static_cast<uint32_t>(j - i);
        ++counts.articles;
        counts.bytes += static_cast<uint32_t>(kHitRecordHeadBytes + 2 * std::min<size_t>(j - i, kMaxHitsPerRecord));
    }
    positionsRise_ = positionsRise_ && position >= lastPosition_;
    lastPosition_ = position;
    return 0;
}

bool CSearchEngine::WriteWordTable(Progress progress, void* context) {
    std::vector<std::pair<uint32_t, uint32_t>> byId;  // (id, place)
    try {
        byId.reserve(words_.Size());
    } catch (const std::bad_alloc&) {
        return Fail(DmsStatus::NotEnoughMemory);
    }
    words_.ForEach([&](std::u16string_view, uint32_t id, uint32_t place) { byId.push_back({id, place}); });
    std::sort(byId.begin(), byId.end());
    const int64_t total = static_cast<int64_t>(byId.size());
    int64_t done = 0;
    std::array<char16_t, kFullTextKeyBytes / 2> found{};
    for (const auto& [id, place] : byId) {
        const std::u16string_view word = words_.WordAt(place);
        KeySegmentValue key{const_cast<char16_t*>(word.data()), static_cast<int32_t>(word.size() * 2)};
        bool stored = false;
        if (merging_) {
            KeySegmentValue out{found.data(), kFullTextKeyBytes};
            EntryPosition at;
            const DmsStatus s = engine_.Seek(wordsCursor_, &key, &out, &at);
            if (!Failed(s)) stored = true;
            else if (!NotFound(s)) return Fail(s);
        }
        if (!stored)
            if (const DmsStatus s = engine_.InsertKey(wordsCursor_, &key, {id, 0}); Failed(s)) return Fail(s);
        if (progress && progress(context, ++done, total) == 0) return Fail(DmsStatus::Cancelled);
    }
    words_.Release();
    return true;
}

bool CSearchEngine::BuildPostings(Progress progress, void* context) {
    try {
        counts_.resize(static_cast<size_t>(highestId_) + 1);
        hitListPositions_.assign(static_cast<size_t>(highestId_) + 1, 0);
    } catch (const std::bad_alloc&) {
        return Fail(DmsStatus::NotEnoughMemory);
    }
    int64_t total = 0;
    for (const WordCounts& c : counts_) total += c.postings;
    struct Batch {
        uint32_t firstId, lastId;
        int64_t postings;
    };
    std::vector<Batch> batches;
    int64_t sum = 0;
    size_t bytes = 0, largest = 0;
    uint32_t first = 1;
    for (uint32_t id = 1; id <= highestId_; ++id) {
        sum += counts_[id].postings;
        bytes += counts_[id].bytes;
        if (sum > static_cast<int64_t>(batchPostings) || id == highestId_) {
            batches.push_back({first, id, sum});
            largest = std::max(largest, bytes);
            sum = 0;
            bytes = 0;
            first = id + 1;
        }
    }
    // Room for the largest batch, made once: room made anew for each batch,
    // every time of another size, would leave holes behind that the heap
    // cannot reuse. With more than one batch, each article's mark says where
    // the next batch's postings begin in it.
    try {
        batchBytes_.reserve(largest);
        if (batches.size() > 1) marks_.assign(articles_, {});
    } catch (const std::bad_alloc&) {
        return Fail(DmsStatus::NotEnoughMemory);
    }
    int64_t done = 0;
    for (const Batch& batch : batches) {
        if (!ProcessPostingBatch(batch.firstId, batch.lastId, done, total, progress, context)) return false;
        done += batch.postings;
    }
    stream.Clear();
    std::vector<WordCounts>().swap(counts_);
    std::vector<CDataStream::Reader::Mark>().swap(marks_);
    std::vector<uint8_t>().swap(batchBytes_);
    return true;
}

namespace {

void PutU32At(uint8_t* out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(v >> (8 * i));
}
void PutU16At(uint8_t* out, uint32_t v) {
    out[0] = static_cast<uint8_t>(v);
    out[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

bool CSearchEngine::ProcessPostingBatch(uint32_t firstId, uint32_t lastId, int64_t doneBefore, int64_t total,
                                        Progress progress, void* context) {
    // Each word's hit records lie together at its place in the batch's
    // bytes, in the stream's order; each word has one record an article
    // that holds it. The room BuildPostings made holds them all.
    std::vector<uint32_t> places;  // by id - firstId: where the word's next record goes
    int64_t share = 0;
    try {
        places.resize(size_t{lastId - firstId} + 1);
        uint32_t at = 0;
        for (uint32_t id = firstId; id <= lastId; ++id) {
            places[id - firstId] = at;
            at += counts_[id].bytes;
            share += (counts_[id].bytes - int64_t{kHitRecordHeadBytes} * counts_[id].articles) / 2;
        }
        batchBytes_.resize(at);
    } catch (const std::bad_alloc&) {
        return Fail(DmsStatus::NotEnoughMemory);
    }
    const bool marked = !marks_.empty();
    CDataStream::Reader reader(stream);
    uint32_t position = 0;
    StreamedPosting posting;
    for (size_t article = 0; reader.NextArticle(position); ++article) {
        if (marked) reader.Resume(marks_[article]);
        uint32_t runId = 0;  // the word of the record being written
        uint8_t* record = nullptr;
        uint32_t hits = 0;
        for (;;) {
            const CDataStream::Reader::Mark here = reader.Here();
            // An article's postings rise by word id: the rest lie past the batch.
            if (!reader.NextPosting(posting) || posting.wordId > lastId) {
                if (marked) marks_[article] = here;
                break;
            }
            if (posting.wordId < firstId) continue;
            if (posting.wordId != runId) {
                if (record) places[runId - firstId] += PackPostings(record, position, hits);
                runId = posting.wordId;
                record = batchBytes_.data() + places[runId - firstId];
                hits = 0;
            }
            if (hits < kMaxHitsPerRecord) PutU16At(record + kHitRecordHeadBytes + 2 * hits++, posting.hit);
        }
        if (record) places[runId - firstId] += PackPostings(record, position, hits);
    }
    const bool ok = WriteHitLists(firstId, lastId, doneBefore, share, total, progress, context);
    batchBytes_.clear();
    return ok;
}

// Writes the head of a record of `hits` hits; its bytes.
uint32_t CSearchEngine::PackPostings(uint8_t* record, uint32_t position, uint32_t hits) {
    PutU32At(record, position);
    PutU16At(record + 4, hits);
    return static_cast<uint32_t>(kHitRecordHeadBytes + 2 * hits);
}

bool CSearchEngine::ReadStoredList(uint32_t wordId, uint32_t& position, std::vector<uint8_t>& list) {
    position = 0;
    list.clear();
    KeySegmentValue key{&wordId, 4};
    uint32_t found = 0;
    KeySegmentValue out{&found, 4};
    EntryPosition at;
    const DmsStatus s = engine_.Seek(hitsCursor_, &key, &out, &at);
    if (NotFound(s)) return true;
    if (Failed(s)) return Fail(s);
    if (at.ref.first == 0) return true;
    uint32_t size = 0;
    if (const DmsStatus r = engine_.ReadData(hitsCursor_, at.ref.first, nullptr, &size); Failed(r)) return Fail(r);
    list.resize(size);
    if (const DmsStatus r = engine_.ReadData(hitsCursor_, at.ref.first, list.data(), &size); Failed(r)) return Fail(r);
    list.resize(size);
    position = at.ref.first;
    return true;
}

// A word's records sorted by position, records of one position keeping
// their order in `list`.
std::span<const uint8_t> CSearchEngine::SortedByPosition(std::span<const uint8_t> list, std::vector<uint8_t>& out) {
    order_.clear();
    HitRecordView record;
    for (size_t offset = 0; ReadHitRecord(list, offset, record); offset += HitRecordBytes(record))
        order_.push_back({record.position, static_cast<uint32_t>(offset)});
    std::sort(order_.begin(), order_.end());
    out.clear();
    for (const auto& [position, offset] : order_) {
        ReadHitRecord(list, offset, record);
        out.insert(out.end(), list.begin() + offset, list.begin() + static_cast<ptrdiff_t>(offset + HitRecordBytes(record)));
    }
    return out;
}

bool CSearchEngine::WriteHitLists(uint32_t firstId, uint32_t lastId, int64_t doneBefore, int64_t share, int64_t total,
                                  Progress progress, void* context) {
    if (const DmsStatus s = engine_.SelectRecordType(hitsCursor_, kHitListRecordType); Failed(s)) return Fail(s);
    std::vector<uint8_t> sorted, merged, stored;
    int64_t written = 0;
    size_t start = 0;
    for (uint32_t id = firstId; id <= lastId; ++id) {
        const WordCounts& counts = counts_[id];
        if (counts.bytes == 0) continue;
        // Each word's records lie in the stream's order, which is their
        // positions' order when the articles were flushed by rising position.
        std::span<const uint8_t> list(batchBytes_.data() + start, counts.bytes);
        start += counts.bytes;
        try {
            if (!positionsRise_) list = SortedByPosition(list, sorted);
        } catch (const std::bad_alloc&) {
            return Fail(DmsStatus::NotEnoughMemory);
        }
        uint32_t oldPosition = 0;
        if (merging_ && !ReadStoredList(id, oldPosition, stored)) return false;
        if (oldPosition != 0) {
            merged.clear();
            size_t offset = 0;
            HitRecordView old, record;
            bool haveOld = ReadHitRecord(stored, offset, old);
            for (size_t at = 0; ReadHitRecord(list, at, record); at += HitRecordBytes(record)) {
                // On equal positions the stored record comes first.
                while (haveOld && old.position <= record.position) {
                    merged.insert(merged.end(), stored.begin() + static_cast<ptrdiff_t>(offset),
                                  stored.begin() + static_cast<ptrdiff_t>(offset + HitRecordBytes(old)));
                    offset += HitRecordBytes(old);
                    haveOld = ReadHitRecord(stored, offset, old);
                }
                merged.insert(merged.end(), list.begin() + static_cast<ptrdiff_t>(at),
                              list.begin() + static_cast<ptrdiff_t>(at + HitRecordBytes(record)));
            }
            while (haveOld) {
                merged.insert(merged.end(), stored.begin() + static_cast<ptrdiff_t>(offset),
                              stored.begin() + static_cast<ptrdiff_t>(offset + HitRecordBytes(old)));
                offset += HitRecordBytes(old);
                haveOld = ReadHitRecord(stored, offset, old);
            }
            list = merged;
            if (const DmsStatus s = engine_.FreeDataWipe(hitsCursor_, oldPosition); Failed(s)) return Fail(s);
        }
        uint32_t position = 0;
        if (const DmsStatus s = engine_.WriteData(hitsCursor_, list.data(), static_cast<uint32_t>(list.size()), &position);
            Failed(s))
            return Fail(s);
        hitListPositions_[id] = position;
        written += (counts.bytes - int64_t{kHitRecordHeadBytes} * counts.articles) / 2;
        if (progress && progress(context, doneBefore + std::min(written, share), total) == 0)
            return Fail(DmsStatus::Cancelled);
    }
    return true;
}

bool CSearchEngine::IndexPostings(Progress progress, void* context) {
    const int64_t total = std::max<int64_t>(highestId_, 1);
    for (uint32_t id = 1; id < hitListPositions_.size(); ++id) {
        const uint32_t position = hitListPositions_[id];
        if (position == 0) continue;
        uint32_t key = id;
        KeySegmentValue in{&key, 4};
        bool updated = false;
        if (merging_) {
            uint32_t found = 0;
            KeySegmentValue out{&found, 4};
            EntryPosition at;
            const DmsStatus s = engine_.Seek(hitsCursor_, &in, &out, &at);
            if (!Failed(s)) {
                if (const DmsStatus u = engine_.UpdateCurrentKeyReference(hitsCursor_, {position, 0}); Failed(u))
                    return Fail(u);
                updated = true;
            } else if (!NotFound(s)) {
                return Fail(s);
            }
        }
        if (!updated)
            if (const DmsStatus s = engine_.InsertKey(hitsCursor_, &in, {position, 0}); Failed(s)) return Fail(s);
        // Progress counts ids against the highest id, so it never passes the whole.
        if (progress && progress(context, id, total) == 0) return Fail(DmsStatus::Cancelled);
    }
    return true;
}

bool CSearchEngine::SeekEntry(uint32_t cursor, const KeySegmentValue& key) {
    std::array<char16_t, kFullTextKeyBytes / 2> found{};
    KeySegmentValue out{found.data(), kFullTextKeyBytes};
    EntryPosition at;
    const DmsStatus s = engine_.Seek(cursor, &key, &out, &at);
    if (Failed(s)) return Fail(s);
    return true;
}

bool CSearchEngine::RemoveArticleHits(uint32_t position) {
    if (!merging_) return true;  // no stored index, nothing to remove
    std::map<uint32_t, std::u16string_view> articleWords;
    words_.ForEach([&](std::u16string_view word, uint32_t id, uint32_t) {
        if (id <= storedHighestId_) articleWords.emplace(id, word);  // higher ids are words no list holds
    });
    for (const auto& [id, word] : articleWords)
        if (!RemoveWordHits(id, word, position)) return false;
    stream.Clear();
    words_.Release();
    return true;
}

bool CSearchEngine::RemoveWordHits(uint32_t wordId, std::u16string_view word, uint32_t position) {
    // A list whose block an earlier failed removal left marked freed still reads.
    uint32_t key = wordId, found = 0;
    const KeySegmentValue idKey{&key, 4};
    KeySegmentValue out{&found, 4};
    EntryPosition at;
    const DmsStatus s = engine_.Seek(hitsCursor_, &idKey, &out, &at);
    if (NotFound(s)) return true;
    if (Failed(s)) return Fail(s);
    const uint32_t oldPosition = at.ref.first;
    std::vector<uint8_t> stored, kept;
    if (oldPosition != 0) {
        uint32_t size = 0;
        if (const DmsStatus r = engine_.ReadData(hitsCursor_, oldPosition, nullptr, &size);
            Failed(r) && r != DmsStatus::Deleted)
            return Fail(r);
        stored.resize(size);
        if (const DmsStatus r = engine_.ReadData(hitsCursor_, oldPosition, stored.data(), &size);
            Failed(r) && r != DmsStatus::Deleted)
            return Fail(r);
        stored.resize(size);
    }
    HitRecordView record;
    for (size_t offset = 0; ReadHitRecord(stored, offset, record); offset += HitRecordBytes(record))
        if (record.position != position)
            kept.insert(kept.end(), stored.begin() + static_cast<ptrdiff_t>(offset),
                        stored.begin() + static_cast<ptrdiff_t>(offset + HitRecordBytes(record)));
    if (oldPosition != 0 && kept.size() == stored.size()) return true;  // the article had no hit here
    if (oldPosition != 0)
        if (const DmsStatus f = engine_.FreeDataWipe(hitsCursor_, oldPosition); Failed(f) && f != DmsStatus::Deleted)
            return Fail(f);
    if (!kept.empty()) {
        if (const DmsStatus t = engine_.SelectRecordType(hitsCursor_, kHitListRecordType); Failed(t)) return Fail(t);
        uint32_t newPosition = 0;
        if (const DmsStatus w = engine_.WriteData(hitsCursor_, kept.data(), static_cast<uint32_t>(kept.size()), &newPosition);
            Failed(w))
            return Fail(w);
        if (!SeekEntry(hitsCursor_, idKey)) return false;
        if (const DmsStatus u = engine_.UpdateCurrentKeyReference(hitsCursor_, {newPosition, 0}); Failed(u)) return Fail(u);
        return true;
    }
    if (!SeekEntry(hitsCursor_, idKey)) return false;
    if (const DmsStatus d = engine_.DeleteCurrent(hitsCursor_); Failed(d)) return Fail(d);
    const KeySegmentValue wordKey{const_cast<char16_t*>(word.data()), static_cast<int32_t>(word.size() * 2)};
    std::array<char16_t, kFullTextKeyBytes / 2> text{};
    KeySegmentValue textOut{text.data(), kFullTextKeyBytes};
    const DmsStatus w = engine_.Seek(wordsCursor_, &wordKey, &textOut, &at);
    if (NotFound(w)) return true;
    if (Failed(w)) return Fail(w);
    if (at.ref.first != wordId) return true;  // another word's entry: leave it
    if (const DmsStatus d = engine_.DeleteCurrent(wordsCursor_); Failed(d)) return Fail(d);
    return true;
}
