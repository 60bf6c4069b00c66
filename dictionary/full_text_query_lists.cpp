// Hit lists read chunk by chunk from their data pages.
#include "dictionary/full_text_query_lists.h"

#include "dictionary/full_text_query_hits.h"
#include "storage/data_blocks.h"
#include "storage/dms.h"

#include <cstring>
#include <span>

namespace {

// Takes the records of the wanted articles from a block's bytes as they
// come, chunk by chunk, as HitList::FromBlock would find them. A record cut
// by a chunk's end is gathered in `carry_`; all others are read where they
// lie. Most records of a long list are passed over: the loop looks only at
// their heads until one reaches the next article wanted.
class HitRecordStream {
public:
    HitRecordStream(const std::vector<uint32_t>& wanted, HitList& out)
        : wanted_(wanted), out_(out), target_(wanted.empty() ? kPastAll : wanted[0]) {}

    // False once no later record can be taken.
    bool Feed(std::span<const uint8_t> bytes) {
        if (done_) return false;
        size_t at = 0;
        if (!carry_.empty() && !FinishCarried(bytes, at)) return !done_;
        const uint8_t* data = bytes.data();
        const size_t size = bytes.size();
        while (size - at >= kHitRecordHeadBytes) {
            const uint8_t* head = data + at;
            const size_t count = static_cast<size_t>(head[4] | head[5] << 8);
            // A head that says no hits follow ends the list, as in HitList::FromBlock.
            if (count == 0) return Stop();
            const size_t bytesOfRecord = kHitRecordHeadBytes + 2 * count;
            if (size - at < bytesOfRecord) break;
            if (!Accept(Position(head), head + kHitRecordHeadBytes, count)) return false;
            at += bytesOfRecord;
        }
        carry_.assign(data + at, data + size);
        return true;
    }

private:
    static constexpr uint64_t kPastAll = uint64_t{1} << 32;

    static uint32_t Position(const uint8_t* head) {
        return static_cast<uint32_t>(head[0] | head[1] << 8 | head[2] << 16) | static_cast<uint32_t>(head[3]) << 24;
    }

    bool Stop() {
        done_ = true;
        return false;
    }

    // Completes the record begun in an earlier chunk; false while it is still cut.
    bool FinishCarried(std::span<const uint8_t> bytes, size_t& at) {
        const auto gather = [&](size_t size) {
            const size_t n = std::min(size - std::min(size, carry_.size()), bytes.size() - at);
            carry_.insert(carry_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                          bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
            at += n;
            return carry_.size() >= size;
        };
        if (!gather(kHitRecordHeadBytes)) return false;
        const size_t count = static_cast<size_t>(carry_[4] | carry_[5] << 8);
        if (count == 0) return Stop();
        if (!gather(kHitRecordHeadBytes + 2 * count)) return false;
        const bool more = Accept(Position(carry_.data()), carry_.data() + kHitRecordHeadBytes, count);
        carry_.clear();
        return more;
    }

    // One whole record; false once no later record can be taken.
    bool Accept(uint32_t position, const uint8_t* hits, size_t count) {
        // Positions ascend; a record out of order ends a damaged list.
        if (taken_ && position <= last_) return Stop();
        taken_ = true;
        last_ = position;
        if (position < target_) return true;
        while (next_ < wanted_.size() && wanted_[next_] < position) ++next_;
        if (next_ == wanted_.size()) return Stop();
        if (wanted_[next_] == position) {
            out_.AppendStored(position, hits, count);
            // The last article asked for ends the read.
            if (++next_ == wanted_.size()) return Stop();
        }
        target_ = wanted_[next_];
        return true;
    }

    const std::vector<uint32_t>& wanted_;
    HitList& out_;
    uint64_t target_;  // records before this position are passed over
    std::vector<uint8_t> carry_;
    size_t next_ = 0;
    uint32_t last_ = 0;
    bool taken_ = false;
    bool done_ = false;
};

}  // namespace

DmsStatus FindStoredHitList(CDMS& engine, uint32_t hitsCursor, uint32_t id, StoredHitList& out) {
    KeySegmentValue in{&id, 4};
    uint32_t found = 0;
    KeySegmentValue key{&found, 4};
    EntryPosition at;
    XCursor* cursor = engine.FindCursor(hitsCursor);
    if (cursor == nullptr) return DmsStatus::WrongHandle;
    const DmsStatus sought = engine.Seek(hitsCursor, &in, &key, &at);
    if (Failed(sought)) return sought;
    if (at.ref.first == 0) return DmsStatus::RecordNotFound;
    bool freed = false;
    const DmsStatus st = WalkDataBlock(*cursor->file, at.ref.first, [&](const ChunkView& c) {
        freed = (c.flags & chunk::kFlagDeleted) != 0;
        out = {c.position, c.total};
        return false;
    });
    if (Failed(st)) return st;
    return freed ? DmsStatus::RecordNotFound : DmsStatus::Success;
}

DmsStatus ReadStoredHitList(DMSFile& file, uint32_t position, const std::vector<uint32_t>* wanted, HitList& out) {
    out = HitList();
    bool freed = false;
    const auto chunkData = [&](const ChunkView& c) {
        freed = freed || (c.flags & chunk::kFlagDeleted) != 0;
        return std::span<const uint8_t>{c.page.data + c.position % file.PageSize() + chunk::kHeadSize, c.dataBytes};
    };
    if (wanted == nullptr) {
        // Every record: the block's bytes in one piece, its hits used where they lie.
        std::vector<uint16_t> units;
        size_t bytes = 0;
        const DmsStatus st = WalkDataBlock(file, position, [&](const ChunkView& c) {
            if (units.empty()) units.resize((c.total + 1) / 2);
            const std::span<const uint8_t> data = chunkData(c);
            std::memcpy(reinterpret_cast<uint8_t*>(units.data()) + bytes, data.data(), data.size());
            bytes += data.size();
            return true;
        });
        if (Failed(st)) return st;
        if (freed) return DmsStatus::RecordNotFound;
        out = HitList::FromBlock(std::move(units), bytes);
        return DmsStatus::Success;
    }
    HitRecordStream stream(*wanted, out);
    const DmsStatus st = WalkDataBlock(file, position, [&](const ChunkView& c) { return stream.Feed(chunkData(c)); });
    if (Failed(st)) return st;
    return freed ? DmsStatus::RecordNotFound : DmsStatus::Success;
}

HitList KeepArticles(const HitList& list, const std::vector<uint32_t>& wanted) {
    HitList out;
    size_t w = 0;
    for (size_t i = 0; i < list.size() && w < wanted.size(); ++i) {
        while (w < wanted.size() && wanted[w] < list.Position(i)) ++w;
        if (w < wanted.size() && wanted[w] == list.Position(i)) out.AppendRecord(list, i);
    }
    return out;
}
