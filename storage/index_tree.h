// IndexTree: the counted B+-tree of one index of an open file, worked through
// one cursor. Leaf entries hold a key and a RecordRef; branch entries hold a
// child's last key, its page number and the number of leaf entries below it,
// so a cursor can move to the n-th entry and know its ordinal in O(log n).
// Pages of a level are doubly linked. Layout: key_page.h; key order:
// index_keys.h.
//
// The cursor keeps the path from the root ({page, entry} per level, level 0
// the root, `depth` the leaf level). A path may be stale when another cursor
// changed the index; every use checks it against the pages (9, never a read
// out of bounds). Changes keep the tree's invariants:
//  - every entry of a page is in key order, equal keys in insertion order;
//  - a branch entry's key is its child's last key and its count the number
//    of leaf entries below the child; the descriptor counts all leaf entries;
//  - a child's height is its parent's minus 1; at most 20 levels;
//  - the height never shrinks and emptied pages (signature 0) are not reused.
#pragma once

#include "storage/database_file.h"
#include "storage/dms_status.h"
#include "storage/index_keys.h"
#include "storage/index_values.h"
#include "storage/key_page.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// One entry's bytes where they lie: in a page, or built.
using EntryView = std::span<const uint8_t>;

// Where a cursor stands in an index: the index chosen, the path from the
// root to the current leaf entry, its ordinal when known, and the key format
// of the index, kept between calls so a scan does not rebuild it on every step.
struct IndexPosition {
    static constexpr int32_t kMaxDepth = kMaxKeyPageHeight + 1;

    struct PathStep {
        uint32_t page = 0;
        int32_t entry = 0;
    };

    int32_t indexPosition = -1;  // current index: its place in the description, -1 none
    int32_t keyId = -1;          // key id of the current index, -1 none
    bool positioned = false;     // the path designates a current entry
    uint32_t firstReference = 0xFFFFFFFF;  // first word of the current entry's RecordRef
    PathStep path[kMaxDepth];    // level 0 the root, path[depth] the leaf
    int32_t depth = -1;
    uint32_t ordinal = kUnknownOrdinal;
    std::unique_ptr<IndexKeyFormat> keyFormat;  // of the index `keyFormatId`, -1 none yet
    int32_t keyFormatId = -1;
    std::vector<uint8_t> keyScratch;  // the key of a seek or insert, built in room kept from call to call
};

class IndexTree {
public:
    // Seek modes of Seek (operation codes 20, 21, 22).
    enum SeekMode : int32_t { Equal = 0, GreaterOrEqual = 1, Greater = 2 };

    IndexTree(DMSFile& file, IndexPosition& cursor);
    IndexTree(const IndexTree&) = delete;
    IndexTree& operator=(const IndexTree&) = delete;

    // Takes the cursor's current index: 28 when it has none (or the file's
    // description lost it), 47 when its text segments have no collator.
    DmsStatus Open();

    // Each positions the cursor on the entry found and fills `out` (one value
    // per segment, may be null) and `position` (may be null) from it; every
    // failure leaves the cursor without a position.
    DmsStatus Seek(const KeySegmentValue* key, SeekMode mode, KeySegmentValue* out, EntryPosition* position);
    DmsStatus SeekLessOrEqual(const KeySegmentValue* key, KeySegmentValue* out, EntryPosition* position);
    DmsStatus First(KeySegmentValue* out, EntryPosition* position);
    DmsStatus Last(KeySegmentValue* out, EntryPosition* position);
    DmsStatus Next(KeySegmentValue* out, EntryPosition* position);
    DmsStatus Prev(KeySegmentValue* out, EntryPosition* position);
    DmsStatus MoveToOrdinal(uint32_t ordinal, KeySegmentValue* out, EntryPosition* position);
    DmsStatus GetOrdinal(uint32_t* ordinal);
    uint32_t GetCount();
    DmsStatus GetIndexStats(IndexStats* stats);
    DmsStatus CompareKeyValues(const KeySegmentValue* a, const KeySegmentValue* b, int32_t* result);

    // Changes. The caller writes back afterwards; after InsertKey and
    // DeleteCurrent the cursor has no position (callers seek again).
    DmsStatus InsertKey(const KeySegmentValue* key, RecordRef ref);
    // Inserts an entry built as a leaf entry of this index (head and key
    // bytes, key_page.h), as a bulk load keeps them. 37 when it is not one.
    DmsStatus InsertEntry(std::span<const uint8_t> entry);
    DmsStatus DeleteCurrent();
    DmsStatus UpdateCurrentKeyReference(RecordRef ref);

    const IndexKeyFormat& Format() const { return *format_; }

private:
    uint32_t Root() const;
    uint32_t DescriptorCount() const;
    void SetRoot(uint32_t page);
    void SetDescriptorCount(uint32_t count);

    DmsStatus Load(KeyPage& page, uint32_t number, int32_t height);
    // Marks a key page changed after the tree wrote checked entries into it.
    void MarkWritten(const CachedPage& page);
    void Unposition();
    DmsStatus Report(const KeyPage& leaf, uint32_t index, uint32_t ordinal, KeySegmentValue* out,
                     EntryPosition* position);
    // Checks that the cursor's path still starts at the root and reaches a leaf.
    DmsStatus CheckPath();
    DmsStatus ReportCurrent(KeySegmentValue* out, EntryPosition* position, uint32_t ordinal);
    DmsStatus Step(int32_t direction, KeySegmentValue* out, EntryPosition* position);
    // Moves the path's entry at `level` one step; `samePage`, when given, is
    // left holding the checked page when the step stays in it, else empty.
    DmsStatus StepPath(int32_t level, int32_t direction, KeyPage* samePage = nullptr);
    // Descends from the root recording the path: `choose(page, entry)` picks
    // the entry of each page or gives the status to stop with. Ends with the
    // leaf in `page` and the cursor's depth set.
    template <typename Choose>
    DmsStatus Descend(KeyPage& page, Choose&& choose);
    // Leaf entries left of `entry`: the index in a leaf, the counts in a branch.
    static uint64_t CountBefore(const KeyPage& page, uint32_t entry);
    // Descends by binary search to the leaf for `key` (path filled down to
    // the leaf, whose entry is the last not greater than `key`, -1 for none);
    // `counted`, unless null, gets the leaf entries left of that leaf.
    // `afterInsert` takes the cursor's path as left by the last insert as a
    // guess, checked at each page.
    DmsStatus DescendBinary(const IndexKeyFormat::PreparedKey& key, uint64_t* counted, bool pin,
                            bool afterInsert = false);
    // Binary search: the first entry greater than `key`, or with `orEqual`
    // the first not less than it; Count() when there is none.
    uint32_t Bound(const KeyPage& page, const IndexKeyFormat::PreparedKey& key, bool orEqual) const;
    // Whether DescendBinary would enter the child of branch entry `entry`.
    bool ChoosesChild(const KeyPage& page, const IndexKeyFormat::PreparedKey& key, uint32_t entry) const;
    // Whether `upper` is what Bound(page, key, false) gives.
    bool IsUpperBound(const KeyPage& page, const IndexKeyFormat::PreparedKey& key, uint32_t upper) const;

    // Replaces `removeCount` entries from `at` of the page at path `level` by
    // `entries`, then carries the change up: the page's high-key entry in its
    // parent, splits into new pages, an emptied page leaving its parent, a
    // new root. `expectChild` (unless kNone) is the page the replaced entry
    // must name (107 otherwise).
    DmsStatus Splice(int32_t level, uint32_t at, uint32_t removeCount, std::vector<EntryBytes> entries,
                     uint32_t expectChild);
    // The steps of Splice: where the bytes of the change fall in the page; the
    // change made in place; an emptied page freed and left out of its parent;
    // the entries spread over the page and new pages after it; their high
    // keys carried to the parent or to a new root.
    struct SpliceBytes {
        size_t added = 0;
        uint32_t start = 0;       // first byte replaced
        uint32_t removedEnd = 0;  // one past the last byte replaced
        uint32_t usedEnd = 0;     // one past the page's last entry
        uint64_t newUsed = 0;
        uint32_t newCount = 0;
    };
    static SpliceBytes MeasureSplice(const KeyPage& page, uint32_t at, uint32_t removeCount,
                                     const std::vector<EntryBytes>& entries);
    DmsStatus SpliceInPlace(KeyPage& page, int32_t level, uint32_t at, uint32_t removeCount,
                            const std::vector<EntryBytes>& entries, const SpliceBytes& m);
    // Gives the page at path `level + 1`, now ending in `lastKey` with
    // `below` leaf entries under it, its entry in the parent at `level`: in
    // place when only the count changes (the usual insert or delete), else
    // through Splice.
    DmsStatus UpdateParentEntry(int32_t level, uint32_t child, std::span<const uint8_t> lastKey, uint64_t below);
    DmsStatus RemoveEmptiedPage(KeyPage& page, int32_t level);
    DmsStatus SplitPage(KeyPage& page, int32_t level, std::span<const EntryView> all,
                        std::vector<EntryBytes>& highKeys);
    DmsStatus RaiseHighKeys(int32_t level, std::vector<EntryBytes> highKeys);
    DmsStatus FreePage(KeyPage& page, int32_t height);
    // An empty page at `height` without siblings, made the index's root.
    DmsStatus NewRoot(int32_t height, uint32_t& number);
    DmsStatus Relink(uint32_t page, int32_t height, bool setNext, uint32_t value);

    DMSFile& file_;
    IndexPosition& cursor_;
    const IndexKeyFormat* format_;  // the cursor's, set by Open
    int32_t indexPosition_ = -1;
    PinScope pins_;
    bool pinning_ = false;  // changes pin every page they touch
};

// Splits entries that overflow a page into pieces that fit, by the
// byte-balanced rule: the boundary falls at the entry that takes the running
// sum past half the total, after it when that is at least as balanced as
// before it; sides still too large are split the same way. Returns the
// piece ends (indexes one past each piece's last entry). Exposed for tests.
std::vector<size_t> PartitionEntries(std::span<const EntryView> entries, uint32_t capacity);

// The tree's structure checked from the root: heights, key order inside and
// across pages, high keys, counts against the descriptor, sibling links.
// 0 when sound; otherwise the status the tree would give for it.
DmsStatus VerifyIndex(DMSFile& file, int32_t keyId, std::string* problem = nullptr);
