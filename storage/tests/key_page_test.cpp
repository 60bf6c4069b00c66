// The check of a key page read from a file that never changes is made once
// for its bytes, however often the page comes back into a cache: the same
// bytes read again are taken as checked, other bytes of the same page of the
// same file (changed on the disk behind a read-only open) are checked again.
#include "common/text/utf8.h"
#include "storage/byte_order.h"
#include "storage/key_page.h"
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kPageSize = 4096;
constexpr uint32_t kLeaf = 5;

class UnchangingFile final : public IPageStore {
public:
    uint32_t PageSize() const override { return kPageSize; }
    DmsStatus ReadPage(uint32_t page, std::span<uint8_t> image) override {
        if (page != kLeaf) return DmsStatus::PageLoadFailed;
        std::copy(leaf.begin(), leaf.end(), image.begin());
        return DmsStatus::Success;
    }
    DmsStatus WritePage(uint32_t, std::span<const uint8_t>) override { return DmsStatus::OperationNotAllowed; }
    DmsStatus FlushFile() override { return DmsStatus::Success; }
    bool MayWriteEarly() const override { return false; }
    bool NeverChanges() const override { return true; }
    bool StaysCached(uint32_t, uint16_t) const override { return false; }

    std::vector<uint8_t> leaf;
};

IndexKeyFormat OneTextFormat() {
    FileDescription d;
    EXPECT_EQ(ParseDescription(IndexSchema(), d), 0);
    IndexKeyFormat f;
    EXPECT_EQ(f.Init(d, kOneTextIndex, 1), DmsStatus::Success);
    return f;
}

// A leaf holding `texts` (in key order) as keys of entries {i, 0}.
std::vector<uint8_t> Leaf(const IndexKeyFormat& format, const std::vector<std::u16string>& texts) {
    std::vector<uint8_t> page(kPageSize, 0);
    storage::StoreU32(page.data(), kLeaf);
    storage::StoreU16(page.data() + 4, keypage::Signature(0));
    storage::StoreU16(page.data() + keypage::kCount, static_cast<uint16_t>(texts.size()));
    storage::StoreU32(page.data() + keypage::kNext, keypage::kNone);
    storage::StoreU32(page.data() + keypage::kPrev, keypage::kNone);
    size_t at = keypage::kHeadSize;
    for (size_t i = 0; i < texts.size(); ++i) {
        KeySegmentValue v{const_cast<char16_t*>(texts[i].data()), static_cast<int32_t>(texts[i].size() * 2)};
        std::vector<uint8_t> key;
        EXPECT_EQ(format.Encode(&v, key), DmsStatus::Success);
        const EntryBytes entry = MakeEntry(static_cast<uint32_t>(i), 0, key);
        std::copy(entry.begin(), entry.end(), page.begin() + static_cast<std::ptrdiff_t>(at));
        at += entry.size();
    }
    return page;
}

TEST(KeyPageCheck, BytesChangedBehindAReadOnlyOpenAreCheckedAgain) {
    const IndexKeyFormat format = OneTextFormat();
    UnchangingFile file;
    file.leaf = Leaf(format, {u"あい", u"あいだ", u"かわ", u"ねこ"});
    const std::vector<uint8_t> sound = file.leaf;
    // The same bytes through new caches: a slot of their own each time.
    for (int round = 0; round < 2; ++round) {
        CCache cache(16);
        KeyPage page;
        // A height other than the page's is refused, checked before or not.
        EXPECT_EQ(page.Load(cache, file, kLeaf, 1, format), DmsStatus::IntegrityBroken);
        ASSERT_EQ(page.Load(cache, file, kLeaf, 0, format), DmsStatus::Success);
        EXPECT_EQ(page.Count(), 4u);
        EXPECT_EQ(page.Word1(3), 3u);
    }
    // The first two keys change places on the disk: out of order.
    std::vector<uint8_t>& bytes = file.leaf;
    const uint32_t first = storage::LoadU16(bytes.data() + keypage::kHeadSize);
    const uint32_t second = storage::LoadU16(bytes.data() + keypage::kHeadSize + first);
    std::rotate(bytes.begin() + keypage::kHeadSize, bytes.begin() + keypage::kHeadSize + first,
                bytes.begin() + keypage::kHeadSize + first + second);
    {
        CCache cache(16);
        KeyPage page;
        EXPECT_EQ(page.Load(cache, file, kLeaf, 0, format), DmsStatus::IntegrityBroken);
    }
    // The sound bytes again read as before.
    file.leaf = sound;
    CCache cache(16);
    KeyPage page;
    ASSERT_EQ(page.Load(cache, file, kLeaf, 0, format), DmsStatus::Success);
    EXPECT_EQ(page.Count(), 4u);
}

// Keys out of order where their prefixes cannot tell (a difference past the
// prefix's primaries, or at a later level than the primaries) are still
// found; the same keys in order load.
TEST(KeyPageCheck, KeysOutOfOrderBeyondTheirPrefixesAreFound) {
    const IndexKeyFormat format = OneTextFormat();
    ASSERT_TRUE(format.HasPrefixes());
    for (const std::vector<std::u16string>& sorted :
         {std::vector<std::u16string>{u"あいうえおかきか", u"あいうえおかきく"}, std::vector<std::u16string>{u"か", u"が"},
          std::vector<std::u16string>{u"こころ", u"こゝろ"}}) {
        UnchangingFile file;
        file.leaf = Leaf(format, sorted);
        CCache cache(16);
        KeyPage page;
        EXPECT_EQ(page.Load(cache, file, kLeaf, 0, format), DmsStatus::Success) << Utf16ToUtf8(sorted[1]);
        EXPECT_NE(page.Prefixes(), nullptr);
        file.leaf = Leaf(format, {sorted[1], sorted[0]});
        CCache other(16);
        EXPECT_EQ(page.Load(other, file, kLeaf, 0, format), DmsStatus::IntegrityBroken) << Utf16ToUtf8(sorted[1]);
    }
}

}  // namespace
