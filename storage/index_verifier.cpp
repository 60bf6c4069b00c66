// VerifyIndex: checks one index's B-tree from the root, for tests and the
// file checker: heights, key order within and across pages, each branch
// entry's high key and count against its child, sibling links level by level,
// and the leaf entries against the descriptor's count.
#include "storage/index_tree.h"

#include "storage/byte_order.h"

#include <algorithm>
#include <string>

using keypage::kNone;

namespace {

class IndexVerifier {
public:
    IndexVerifier(DMSFile& file, const IndexKeyFormat& format, std::string* problem)
        : file_(file), format_(format), problem_(problem),
          pageLimit_(uint64_t{file.HeaderU32(header::kLastPage)} + 1) {}

    DmsStatus Run(uint32_t root, uint32_t descriptorCount) {
        KeyPage page;
        DmsStatus st = page.Load(file_.Cache(), file_, root, -1, format_);
        if (Failed(st)) return Fail(st, "root does not load");
        levels_.assign(static_cast<size_t>(page.Height()) + 1, {});
        uint64_t below = 0;
        st = Walk(root, page.Height(), 0, below);
        if (Failed(st)) return st;
        if (below != descriptorCount) return Fail(DmsStatus::IntegrityBroken4, "descriptor count differs");
        for (size_t level = 0; level < levels_.size(); ++level) {
            const std::vector<uint32_t>& pages = levels_[level];
            for (size_t i = 0; i < pages.size(); ++i) {
                KeyPage p;
                st = p.Load(file_.Cache(), file_, pages[i], -1, format_);
                if (Failed(st)) return Fail(st, "page does not load");
                uint32_t prev = i == 0 ? kNone : pages[i - 1];
                uint32_t next = i + 1 == pages.size() ? kNone : pages[i + 1];
                if (p.Prev() != prev || p.Next() != next)
                    return Fail(DmsStatus::IntegrityBroken, "sibling links differ from the tree");
            }
        }
        return DmsStatus::Success;
    }

private:
    DmsStatus Fail(DmsStatus st, const char* what) {
        if (problem_ != nullptr) *problem_ = what;
        return st;
    }

    // Walks the subtree of `number`; `below` gets its leaf entries.
    DmsStatus Walk(uint32_t number, int32_t height, size_t level, uint64_t& below) {
        if (++visited_ > pageLimit_) return Fail(DmsStatus::IntegrityBroken, "more pages than the file has");
        KeyPage page;
        DmsStatus st = page.Load(file_.Cache(), file_, number, height, format_);
        if (Failed(st)) return Fail(st, "page does not load");
        if (page.Count() == 0) return Fail(DmsStatus::IntegrityBroken, "empty page in the tree");
        levels_[level].push_back(number);
        // Copies: loading children may move this page out of the cache.
        std::vector<EntryBytes> entries;
        for (uint32_t i = 0; i < page.Count(); ++i) entries.emplace_back(page.Entry(i).begin(), page.Entry(i).end());
        auto key = [](const EntryBytes& e) { return std::span<const uint8_t>(e).subspan(keypage::kEntryHead); };
        for (size_t i = 0; i + 1 < entries.size(); ++i) {
            if (format_.Compare(key(entries[i]), key(entries[i + 1])) > 0)
                return Fail(DmsStatus::IntegrityBroken, "keys out of order in a page");
        }
        if (height == 0) {
            if (!lastLeafKey_.empty() && format_.Compare(lastLeafKey_, key(entries.front())) > 0)
                return Fail(DmsStatus::IntegrityBroken, "keys out of order across leaves");
            lastLeafKey_.assign(key(entries.back()).begin(), key(entries.back()).end());
            below = entries.size();
            return DmsStatus::Success;
        }
        below = 0;
        for (const EntryBytes& e : entries) {
            uint32_t child = storage::LoadU32(e.data() + keypage::kEntryWord1);
            uint32_t count = storage::LoadU32(e.data() + keypage::kEntryWord2);
            uint64_t childBelow = 0;
            st = Walk(child, height - 1, level + 1, childBelow);
            if (Failed(st)) return st;
            if (childBelow != count) return Fail(DmsStatus::IntegrityBroken, "branch count differs from its child");
            if (!std::ranges::equal(lastLeafKeyOf(child, height - 1), key(e)))
                return Fail(DmsStatus::IntegrityBroken, "branch key is not its child's last key");
            below += count;
        }
        return DmsStatus::Success;
    }

    std::vector<uint8_t> lastLeafKeyOf(uint32_t number, int32_t height) {
        KeyPage page;
        if (Failed(page.Load(file_.Cache(), file_, number, height, format_)) || page.Count() == 0) return {};
        std::span<const uint8_t> k = page.Key(page.Count() - 1);
        return {k.begin(), k.end()};
    }

    DMSFile& file_;
    const IndexKeyFormat& format_;
    std::string* problem_;
    uint64_t pageLimit_;
    uint64_t visited_ = 0;
    std::vector<std::vector<uint32_t>> levels_;
    std::vector<uint8_t> lastLeafKey_;
};

}  // namespace

DmsStatus VerifyIndex(DMSFile& file, int32_t keyId, std::string* problem) {
    int32_t position = file.Description().FindIndex(keyId);
    uint8_t* descriptor = file.Descriptor(position);
    if (descriptor == nullptr) return DmsStatus::WrongKeyId;
    IndexKeyFormat format;
    DmsStatus st = format.Init(file.Description(), keyId, file.CollatorKind());
    if (Failed(st)) return st;
    uint32_t count = storage::LoadU32(descriptor + descriptor::kCount);
    uint32_t root = storage::LoadU32(descriptor + descriptor::kRoot);
    if (root == kNone) {
        if (count != 0 && problem != nullptr) *problem = "empty index with a count";
        return count == 0 ? DmsStatus::Success : DmsStatus::IntegrityBroken4;
    }
    return IndexVerifier(file, format, problem).Run(root, count);
}
