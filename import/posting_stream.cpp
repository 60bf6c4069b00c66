// The packed posting stream of the full-text build.
#include "import/posting_stream.h"

#include <algorithm>
#include <new>

namespace {

constexpr size_t kMostNumberBytes = 5;

uint8_t* PutNumber(uint8_t* out, uint32_t value) {
    for (; value >= 0x80; value >>= 7) *out++ = static_cast<uint8_t>(value | 0x80);
    *out++ = static_cast<uint8_t>(value);
    return out;
}

// A hit's word number before its weight: short articles' hits take one byte.
uint32_t PackHit(uint16_t hit) { return static_cast<uint32_t>(hit & 0x0FFF) << 4 | hit >> 12; }

}  // namespace

int32_t CDataStream::Write(uint32_t position, std::span<const StreamedPosting> postings) {
    if (entries_ + 1 + postings.size() > maxEntries) return -1;
    size_t packed = 0;
    try {
        // Room for the most the postings can take, made once for articles up to this size.
        if (const size_t most = postings.size() * 2 * kMostNumberBytes; packed_.size() < most) packed_.resize(most);
        uint8_t* at = packed_.data();
        uint32_t previous = 0;
        for (const StreamedPosting& p : postings) {
            at = PutNumber(PutNumber(at, p.wordId - previous), PackHit(p.hit));
            previous = p.wordId;
        }
        packed = static_cast<size_t>(at - packed_.data());
        const size_t bytes = 2 * kMostNumberBytes + packed;
        if (blocks_.empty() || blockBytes_.back() + bytes > kBlockBytes) {
            blockBytes_.reserve(blocks_.size() + 1);
            blocks_.push_back(std::make_unique_for_overwrite<uint8_t[]>(std::max(kBlockBytes, bytes)));
            blockBytes_.push_back(0);
        }
    } catch (const std::bad_alloc&) {
        return -1;
    }
    uint8_t* const start = blocks_.back().get() + blockBytes_.back();
    uint8_t* at = PutNumber(PutNumber(start, position), static_cast<uint32_t>(packed));
    at = std::copy_n(packed_.data(), packed, at);
    blockBytes_.back() += static_cast<size_t>(at - start);
    entries_ += 1 + postings.size();
    return 0;
}

void CDataStream::Clear() {
    std::vector<std::unique_ptr<uint8_t[]>>().swap(blocks_);
    std::vector<size_t>().swap(blockBytes_);
    std::vector<uint8_t>().swap(packed_);
    entries_ = 0;
}
