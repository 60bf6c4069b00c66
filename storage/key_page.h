// Key pages of the counted B-tree indexes: their layout, the check every
// key page read from the cache passes before the tree looks inside it, and
// the building of entries. A file may come from a download or a damaged
// disk, so nothing in a page is trusted until KeyPage::Load accepts it.
//
// Key page (PageSize bytes, little-endian):
//   offset  size  field
//   0       u32   page number
//   4       u16   signature 0x304B + 256*h: "K0" a leaf, "K1", "K2"... a
//                 branch page h levels above the leaves; 0 a freed page
//   6       u16   number of entries
//   8       u32   next page of the same level, 0xFFFFFFFF none
//   12      u32   previous page of the same level, 0xFFFFFFFF none
//   16      ...   entries packed in key order; the bytes after the last are 0
// Entry:
//   0       u16   length of the whole entry (10 + key bytes)
//   2       u32   leaf: first word of the RecordRef;  branch: child page
//   6       u32   leaf: second word of the RecordRef; branch: leaf entries
//                 in the child's subtree
//   10      ...   key (index_keys.h); a branch entry holds its child's last key
// An entry is at most (PageSize - 16) / 2 bytes, so every page holds two.
#pragma once

#include "storage/byte_order.h"
#include "storage/page_frame.h"
#include "storage/dms_status.h"
#include "storage/index_keys.h"
#include "storage/page_cache.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace keypage {
inline constexpr uint32_t kHeadSize = 16;
inline constexpr uint32_t kEntryHead = 10;
inline constexpr uint32_t kEntryLength = 0;
inline constexpr uint32_t kEntryWord1 = 2;  // leaf: RecordRef first word; branch: child page
inline constexpr uint32_t kEntryWord2 = 6;  // leaf: RecordRef second word; branch: leaf count
inline constexpr uint32_t kCount = 6;
inline constexpr uint32_t kNext = 8;
inline constexpr uint32_t kPrev = 12;
inline constexpr uint16_t kLeafSignature = kLeafPageSignature;
inline constexpr int32_t kMaxHeight = kMaxKeyPageHeight;
inline constexpr uint32_t kNone = 0xFFFFFFFF;

inline uint16_t Signature(int32_t height) { return static_cast<uint16_t>(kLeafSignature + 256 * height); }
// Height of a key page signature, -1 when it names no key page.
inline int32_t HeightOf(uint16_t signature) { return KeyPageHeight(signature); }
inline uint32_t MaxEntry(uint32_t pageSize) { return (pageSize - kHeadSize) / 2; }
}  // namespace keypage

// One built entry: head and key bytes.
using EntryBytes = std::vector<uint8_t>;
EntryBytes MakeEntry(uint32_t word1, uint32_t word2, std::span<const uint8_t> key);
// The same into `out`, reusing its room.
void MakeEntryInto(EntryBytes& out, uint32_t word1, uint32_t word2, std::span<const uint8_t> key);

// What the check of a key page found of its entries: their starts, then the
// used end; and the prefixes of their keys, or none.
struct KeyPageEntries {
    std::vector<uint32_t> offsets;
    std::vector<KeyPrefix> prefixes;
};

// A key page from the cache, checked. Valid while its cache slot is: callers
// that load further pages pin it first.
class KeyPage {
public:
    // Loads page `number` and checks it: page number and signature (9 when it
    // is no key page), the height when `height` >= 0 (100 otherwise), and
    // every entry: length at least 10, inside the page, a well-formed key of
    // `format` that does not sort before the key ahead of it; together the
    // entries fill the page from offset 16 (100).
    DmsStatus Load(CCache& cache, IPageStore& file, uint32_t number, int32_t height, const IndexKeyFormat& format);

    // Records a key page the tree has just written and marked changed as
    // checked for its new content, so that the next Load does not check every
    // key again: the tree writes only entries it checked when it read or built
    // them. The frame and entry lengths are still walked; a page failing that
    // walk is left to the full check of Load.
    static void RecordWritten(CCache& cache, const CachedPage& page, const IndexKeyFormat& format);
    // The same record for this page after the tree replaced `removeCount`
    // entries from `at` by `added` in place, marked it
    // changed, and left it `subtree` leaf entries below: the entry starts
    // follow from the old ones without a walk, and this page describes the
    // new content. Pages that carry counts up the tree change on every
    // insert, so this is the common path of a change.
    void RecordSplice(CCache& cache, uint32_t at, uint32_t removeCount, std::span<const EntryBytes> added,
                      uint64_t subtree, const IndexKeyFormat& format);

    const CachedPage& Cached() const { return page_; }
    explicit operator bool() const { return static_cast<bool>(page_); }
    uint8_t* Data() const { return page_.data; }
    uint32_t Number() const { return number_; }
    int32_t Height() const { return height_; }
    bool IsLeaf() const { return height_ == 0; }
    uint32_t Count() const { return count_; }
    uint32_t Next() const { return storage::LoadU32(page_.data + keypage::kNext); }
    uint32_t Prev() const { return storage::LoadU32(page_.data + keypage::kPrev); }
    uint32_t UsedBytes() const { return offsets_[count_] - keypage::kHeadSize; }

    std::span<const uint8_t> Entry(uint32_t i) const {
        return {page_.data + offsets_[i], offsets_[i + 1] - offsets_[i]};
    }
    std::span<const uint8_t> Key(uint32_t i) const { return Entry(i).subspan(keypage::kEntryHead); }
    // RecordRef first word, or child page
    uint32_t Word1(uint32_t i) const { return storage::LoadU32(page_.data + offsets_[i] + keypage::kEntryWord1); }
    // RecordRef second word, or subtree count
    uint32_t Word2(uint32_t i) const { return storage::LoadU32(page_.data + offsets_[i] + keypage::kEntryWord2); }
    // Leaf entries below this page: its count, or the sum of its entries'
    // counts (summed once by the check).
    uint64_t SubtreeCount() const { return subtree_; }
    // The prefixes of the entries' keys (IndexKeyFormat::PrefixOf), made by
    // the check of a page read for a format that has them; null otherwise
    // (a page the tree changed since it was read, another format).
    const KeyPrefix* Prefixes() const { return prefixes_; }

private:
    CachedPage page_;
    uint32_t number_ = 0;
    int32_t height_ = -1;
    void Clear();

    static constexpr uint32_t kNoEntries[1] = {keypage::kHeadSize};
    // Entry starts (then the used end) and key prefixes: shared with the
    // check's record of the slot, so loading a checked page again copies
    // nothing. RecordSplice changes it in place only while no other page
    // object shares it.
    std::shared_ptr<KeyPageEntries> held_;
    const uint32_t* offsets_ = kNoEntries;
    const KeyPrefix* prefixes_ = nullptr;
    uint32_t count_ = 0;
    uint64_t subtree_ = 0;
};
