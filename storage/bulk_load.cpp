// Bulk load: the batching classes, the choice of a batch bound, the
// collection area and the insertion passes (see bulk_load.h).
#include "storage/bulk_load.h"

#include "storage/byte_order.h"

#include <algorithm>
#include <cstring>

namespace {

// Capital base letters of U+00C0..U+024F ('.' for no letter: class 127;
// 'x' for the multiplication and division signs, 't' for thorn).
constexpr char kLatinFold[] =
    "AAAAAA.CEEEEIIIIDNOOOOOxOUUUUYtSAAAAAA.CEEEEIIIIDNOOOOOxOUUUUYtY"   // U+00C0
    "AAAAAACCCCCCCCDDDDEEEEEEEEEEGGGGGGGGHHHHIIIIIIIIII..JJKK.LLLLLLL"   // U+0100
    "LLLNNNNNN...OOOOOO..RRRRRRSSSSSSSSTTTTTTUUUUUUUUUUUUWWYYYZZZZZZ."   // U+0140
    "BBBB...CC.DDD....FFG...IKKL..NNOOO..PP.....TTTTUU.VYYZZ........."   // U+0180
    ".....D..L..N.AAIIOOUUUUUUUUUU.AAAA..GGGGKKOOOO..J.D.GG..NNAA..OO"   // U+01C0
    "AAAAEEEEIIIIOOOORRRRUUUUSSTT..HHND..ZZAAEEOOOOOOOOYYLNTJ..ACCLTS"   // U+0200
    "Z..B..EEJJ.QRRYY";                                                  // U+0240
static_assert(sizeof kLatinFold - 1 == 0x250 - 0xC0);

// Russian capitals (U+0410..U+042F) for U+0400..U+045F as offsets from U+0410
// (0..31); -1 gives 127. The other Slavic letters fold to a letter of like
// sound: Ё Є Ѣ to Е, І Ѝ to И, Ї Ј to Й, Ў to У, Ђ Џ to Д, Ѓ to Г, Ѕ to З,
// Љ to Л, Њ to Н, Ћ to Ч, Ќ to К.
constexpr int8_t kCyrillicExtra[16] = {
    -1, 5, 4, 3, 5, 7, 8, 9, 9, 11, 13, 23, 10, 8, 19, 4,  // U+0400..U+040F
};

}  // namespace

uint16_t BulkCharacterClass(char16_t unit) {
    uint32_t u = unit;
    if (u == 0 || u == 32 || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z')) return static_cast<uint16_t>(u);
    if (u >= 'a' && u <= 'z') return static_cast<uint16_t>(u - 32);
    if (u < 0xC0) return 127;
    if (u < 0x250) {
        char c = kLatinFold[u - 0xC0];
        if (c == 'x') return 0xFFD7;
        if (c == 't') return 0xFFDE;
        return c == '.' ? 127 : static_cast<uint16_t>(c);
    }
    if (u < 0x400 || u > 0x4FF) return static_cast<uint16_t>(u);
    if (u >= 0x480) return 1024;
    if (u >= 0x410 && u < 0x450) return static_cast<uint16_t>(0x410 + (u - 0x410) % 32);
    if (u == 0x45D) return 127;
    if (u < 0x460) {
        int8_t k = kCyrillicExtra[(u - 0x400) % 16];
        return k < 0 ? 127 : static_cast<uint16_t>(0x410 + k);
    }
    if (u == 0x460 || u == 0x461) return 0x41E;  // Ѡ to О
    if (u == 0x462 || u == 0x463) return 0x415;  // Ѣ to Е
    return 127;
}

BulkClasses BulkClassesOf(std::span<const uint8_t> text) {
    BulkClasses classes{0, 0, 0, 0};
    for (size_t i = 0; i < 4 && 2 * i + 1 < text.size(); ++i)
        classes[i] = BulkCharacterClass(static_cast<char16_t>(storage::LoadU16(text.data() + 2 * i)));
    return classes;
}

size_t SelectBulkBatch(std::span<const BulkClasses> sorted, const BulkLimits& limits, BulkClasses& bound) {
    bound = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    if (sorted.empty()) return 0;
    size_t below = 0;  // entries known to lie below the bound's prefix
    // The entries sharing the bound's first `level` classes: one run of `sorted`.
    size_t from = 0, to = sorted.size();
    for (size_t level = 0; level < 4; ++level) {
        size_t sum = below;
        bool chosen = false;
        for (size_t i = from; i < to;) {
            const uint16_t k = sorted[i][level];
            // The run of class k at this level ends where a greater class starts.
            size_t end = static_cast<size_t>(
                std::partition_point(sorted.begin() + static_cast<std::ptrdiff_t>(i),
                                     sorted.begin() + static_cast<std::ptrdiff_t>(to),
                                     [&](const BulkClasses& c) { return c[level] <= k; }) -
                sorted.begin());
            const size_t count = end - i;
            if (sum + count > limits.lowMark) {
                bound[level] = k;
                chosen = true;
                if (sum + count < limits.highMark || level == 3) return sum + count;
                from = i;  // too many: refine within class k at the next level
                to = end;
                break;
            }
            sum += count;
            i = end;
        }
        if (!chosen) return sum;  // everything left fits in one batch
        below = sum;
    }
    return below;
}

DmsStatus BulkLoad::Begin(int32_t keyId, const BulkLimits& limits) {
    if (active_) return DmsStatus::Success;
    Free();
    limits_ = limits;
    area_.reset(static_cast<uint8_t*>(limits.allocate(limits.areaBytes)));
    offsets_.reset(static_cast<uint32_t*>(limits.allocate(size_t{limits.maxEntries} * sizeof(uint32_t))));
    classes_.reset(static_cast<BulkClasses*>(limits.allocate(size_t{limits.maxEntries} * sizeof(BulkClasses))));
    counting_.reset(static_cast<uint32_t*>(limits.allocate(65536 * sizeof(uint32_t))));
    order_.reset(static_cast<uint32_t*>(limits.allocate(size_t{limits.maxEntries} * sizeof(uint32_t))));
    scratch_.reset(static_cast<uint32_t*>(limits.allocate(size_t{limits.maxEntries} * sizeof(uint32_t))));
    sorted_.reset(static_cast<BulkClasses*>(limits.allocate(size_t{limits.maxEntries} * sizeof(BulkClasses))));
    if (area_ == nullptr || offsets_ == nullptr || classes_ == nullptr || counting_ == nullptr ||
        order_ == nullptr || scratch_ == nullptr || sorted_ == nullptr || limits.maxEntries == 0) {
        Free();
        return DmsStatus::NotEnoughMemory;
    }
    keyId_ = keyId;
    active_ = true;
    return DmsStatus::Success;
}

void BulkLoad::Free() {
    area_.reset();
    offsets_.reset();
    classes_.reset();
    counting_.reset();
    order_.reset();
    scratch_.reset();
    sorted_.reset();
    used_ = 0;
    count_ = 0;
    active_ = false;
    keyId_ = -1;
}

std::span<const uint8_t> BulkLoad::EntryAt(uint32_t i) const {
    const uint8_t* e = area_.get() + offsets_[i];
    return {e, storage::LoadU16(e)};
}

DmsStatus BulkLoad::Collect(std::span<const uint8_t> entry, const BulkClasses& classes, uint32_t nearlyFull,
                            Sink& sink) {
    if (!active_) return DmsStatus::InvalidParameter;
    if (entry.size() < 2 || entry.size() > 0xFFFF || storage::LoadU16(entry.data()) != entry.size())
        return DmsStatus::InvalidKeyValues;
    // The room check covers the entry itself, whatever its length: an entry
    // is never built past the end of the area.
    uint32_t room = limits_.areaBytes - used_;
    if (count_ >= limits_.maxEntries || room < nearlyFull || room < entry.size()) {
        DmsStatus st = Flush(sink);
        if (Failed(st)) return st;
        if (limits_.areaBytes - used_ < entry.size()) return DmsStatus::InvalidKeyValues;
    }
    std::memcpy(area_.get() + used_, entry.data(), entry.size());
    offsets_[count_] = used_;
    classes_[count_] = classes;
    ++count_;
    used_ += static_cast<uint32_t>(entry.size());
    return DmsStatus::Success;
}

void BulkLoad::SortByClasses() {
    uint32_t* order = order_.get();
    uint32_t* other = scratch_.get();
    for (uint32_t i = 0; i < count_; ++i) order[i] = i;
    // Least significant class first; each pass is stable, so the result is
    // by tuple and, within a tuple, by collection order.
    for (int level = 3; level >= 0; --level) {
        uint32_t* counting = counting_.get();
        std::fill(counting, counting + 65536, 0u);
        for (uint32_t i = 0; i < count_; ++i) ++counting[classes_[order[i]][level]];
        if (counting[classes_[order[0]][level]] == count_) continue;  // one class: nothing moves
        uint32_t start = 0;
        for (uint32_t k = 0; k < 65536; ++k) {
            uint32_t n = counting[k];
            counting[k] = start;
            start += n;
        }
        for (uint32_t i = 0; i < count_; ++i) other[counting[classes_[order[i]][level]]++] = order[i];
        std::swap(order, other);
    }
    if (order != order_.get()) std::copy(order, order + count_, order_.get());
    for (uint32_t i = 0; i < count_; ++i) sorted_[i] = classes_[order_[i]];
}

void BulkLoad::KeepForLater(uint32_t from) {
    uint32_t* rest = order_.get() + from;
    const uint32_t kept = count_ - from;
    std::sort(rest, rest + kept);
    // Ascending numbers move only downwards: no entry is overwritten unread.
    for (uint32_t k = 0; k < kept; ++k) {
        offsets_[k] = offsets_[rest[k]];
        classes_[k] = classes_[rest[k]];
    }
    count_ = kept;
}

DmsStatus BulkLoad::Flush(Sink& sink) {
    if (!active_) return DmsStatus::Success;
    const uint32_t total = count_;
    uint32_t inserted = 0;
    int32_t reported = -1;
    if (count_ > 0) SortByClasses();
    // A batch is a run of the sorted entries from `next`; it goes in in
    // collection order.
    for (uint32_t next = 0; next < count_;) {
        BulkClasses bound;
        size_t chosen = SelectBulkBatch({sorted_.get() + next, count_ - next}, limits_, bound);
        const uint32_t end = chosen == 0 ? count_ : next + static_cast<uint32_t>(chosen);
        std::sort(order_.get() + next, order_.get() + end);
        for (uint32_t r = next; r < end; ++r) {
            // A batch's entries lie all over the area: the next one is fetched
            // while this one goes in.
            if (r + 1 < end) __builtin_prefetch(area_.get() + offsets_[order_[r + 1]]);
            DmsStatus st = sink.Insert(EntryAt(order_[r]));
            if (Failed(st)) {
                used_ = 0;
                count_ = 0;
                return st;
            }
            ++inserted;
            int32_t perMille = static_cast<int32_t>(uint64_t{inserted} * 1000 / total);
            if (perMille > reported) {
                reported = perMille;
                if (!sink.Progress(perMille)) {
                    KeepForLater(r + 1);
                    return DmsStatus::Cancelled;
                }
            }
        }
        next = end;
    }
    count_ = 0;
    used_ = 0;
    return DmsStatus::Success;
}
