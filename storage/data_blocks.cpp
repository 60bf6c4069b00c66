// Storing, reading and freeing data blocks. Layout and the checks every walk
// makes: data_blocks.h.
#include "storage/data_blocks.h"

#include "storage/byte_order.h"

#include <algorithm>
#include <cstring>
#include <vector>

using storage::LoadU32;
using storage::StoreU32;

namespace {

// True when every byte is 0: the first is, and each equals the one after it
// (one memcmp over the range, where a byte loop cost more than the store).
bool IsZeroFilled(const uint8_t* from, const uint8_t* to) {
    return from == to || (*from == 0 && std::memcmp(from, from + 1, static_cast<size_t>(to - from - 1)) == 0);
}

// Where the first chunk of an n-byte block can start in the current data
// page: its offset, or 0 when the block needs a new page.
DmsStatus FindRoomInCurrentPage(DMSFile& file, uint32_t n, CachedPage& page, uint32_t& offset) {
    offset = 0;
    uint32_t current = file.HeaderU32(header::kCurrentDataPage);
    if (current == kNoPage) return DmsStatus::Success;
    const uint32_t pageSize = file.PageSize();
    DmsStatus st;
    page = file.GetPage(current, st);
    if (!page) return Failed(st) ? st : DmsStatus::PageLoadFailed;
    // Header field 24 must name a data page whose positions fit below 2^31.
    if (storage::LoadU16(page.data + frame::kSignature) != kDataSignature || LoadU32(page.data) != current ||
        (uint64_t{current} + 1) * pageSize > static_cast<uint64_t>(kMaxFileBytes))
        return DmsStatus::IntegrityBroken;
    uint32_t at = chunk::kFirstOffset;
    while (true) {
        // Fewer than a head's bytes left: the page is full. Tested before a
        // length is read, so a chunk ending near the page end is never overread.
        if (pageSize - at < chunk::kHeadSize) return DmsStatus::Success;
        uint32_t length = LoadU32(page.data + at);
        if (length == 0) break;
        if (length < chunk::kHeadSize || length > pageSize - at) return DmsStatus::IntegrityBroken;
        at += length;
    }
    // Chunks are only appended to zeroed space: a used end found before
    // bytes that are not zero means a damaged chunk length, and writing there
    // would overwrite the chunks after it.
    if (!IsZeroFilled(page.data + at, page.data + pageSize))
        return DmsStatus::IntegrityBroken;
    uint32_t freeBytes = pageSize - at;
    // A block that does not fit whole still starts here while more than half
    // of the page is free.
    if (freeBytes <= pageSize / 2 && uint64_t{freeBytes} < uint64_t{n} + chunk::kHeadSize) return DmsStatus::Success;
    offset = at;
    return DmsStatus::Success;
}

}  // namespace

DmsStatus StoreData(DMSFile& file, uint8_t recordType, std::span<const uint8_t> bytes, uint32_t& position,
                    bool withTotal) {
    position = 0;
    if (bytes.empty()) return DmsStatus::Success;
    if (bytes.size() > static_cast<size_t>(kMaxFileBytes)) return DmsStatus::InvalidParameter;
    const uint32_t pageSize = file.PageSize();
    const uint32_t n = static_cast<uint32_t>(bytes.size());
    const uint32_t perPage = pageSize - chunk::kFirstOffset - chunk::kHeadSize;  // a later chunk's data
    PinScope pins(file.Cache());

    CachedPage current;
    uint32_t offset = 0;
    DmsStatus st = FindRoomInCurrentPage(file, n, current, offset);
    if (Failed(st)) return st;
    pins.Pin(current);

    // Every page the block needs is made before any byte is written, so a
    // block that cannot be placed whole changes nothing but leaves empty
    // data pages behind, which are valid.
    uint32_t rest = n;
    if (offset != 0) rest -= std::min(rest, pageSize - offset - chunk::kHeadSize);
    uint64_t newPages = (uint64_t{rest} + perPage - 1) / perPage;
    std::vector<CachedPage> pages;
    if (offset != 0) pages.push_back(current);
    for (uint64_t i = 0; i < newPages; ++i) {
        CachedPage page;
        st = file.NewPage(kDataSignature, page);
        if (Failed(st)) return st;
        pins.Pin(page);
        pages.push_back(page);
    }

    uint32_t done = 0;
    uint8_t* previousNext = nullptr;  // next field of the chunk before
    CachedPage previousPage;
    for (const CachedPage& page : pages) {
        if (offset == 0) offset = chunk::kFirstOffset;  // every later chunk starts a page
        uint32_t chunkPosition = LoadU32(page.data) * pageSize + offset;
        if (previousNext == nullptr) {
            position = chunkPosition;
        } else {
            StoreU32(previousNext, chunkPosition);
            file.Cache().MarkChanged(previousPage);
        }
        uint8_t* head = page.data + offset;
        uint32_t left = n - done;
        uint32_t room = pageSize - offset;
        uint8_t flags = 0;
        uint32_t carried = left;
        if (uint64_t{room} < uint64_t{left} + chunk::kHeadSize) {
            carried = room - chunk::kHeadSize;
        } else {
            flags |= chunk::kFlagLast;
        }
        bool firstChunk = done == 0;
        if (firstChunk && withTotal) flags |= chunk::kFlagFirst;
        StoreU32(head + chunk::kLength, carried + chunk::kHeadSize);
        StoreU32(head + chunk::kTotal, firstChunk && withTotal ? n : 0);
        head[chunk::kRecordType] = recordType;
        head[chunk::kFlags] = flags;
        StoreU32(head + chunk::kNext, 0);
        std::memcpy(head + chunk::kHeadSize, bytes.data() + done, carried);
        file.Cache().MarkChanged(page);
        done += carried;
        previousNext = head + chunk::kNext;
        previousPage = page;
        offset = 0;
    }
    if (newPages > 0) file.SetHeaderU32(header::kCurrentDataPage, LoadU32(pages.back().data));
    return DmsStatus::Success;
}

DmsStatus ReadDataBlock(DMSFile& file, uint32_t position, uint8_t* buffer, uint32_t* count) {
    if (position <= file.PageSize()) return DmsStatus::InvalidParameter;
    if (buffer == nullptr && count == nullptr) return DmsStatus::Success;
    uint32_t capacity = buffer != nullptr && count != nullptr ? *count : 0;
    uint32_t delivered = 0;
    bool deleted = false;
    // The walk goes on past a full buffer: only a whole chain that checks
    // out makes the bytes delivered the block's.
    DmsStatus st = WalkDataBlock(file, position, [&](const ChunkView& c) {
        if (c.flags & chunk::kFlagDeleted) deleted = true;
        if (buffer == nullptr) {
            delivered = c.total;
            return true;
        }
        uint32_t n = std::min(c.dataBytes, capacity - delivered);
        std::memcpy(buffer + delivered, c.page.data + (c.position % file.PageSize()) + chunk::kHeadSize, n);
        delivered += n;
        return true;
    });
    if (Failed(st)) {
        if (count != nullptr && st == DmsStatus::IntegrityBroken) *count = 0;
        return st;
    }
    if (count != nullptr) *count = delivered;
    return deleted ? DmsStatus::Deleted : DmsStatus::Success;
}

DmsStatus FreeDataBlock(DMSFile& file, uint32_t position, bool wipe) {
    if (position == 0) return DmsStatus::Success;
    // Check the whole chain before marking anything.
    std::vector<uint32_t> chunks;
    DmsStatus st = WalkDataBlock(file, position, [&](const ChunkView& c) {
        chunks.push_back(c.position);
        return true;
    });
    if (Failed(st)) return st;
    const uint32_t pageSize = file.PageSize();
    for (uint32_t at : chunks) {
        CachedPage p = file.GetPage(at / pageSize, st);
        if (!p) return Failed(st) ? st : DmsStatus::PageLoadFailed;
        uint8_t* head = p.data + at % pageSize;
        head[chunk::kFlags] |= chunk::kFlagDeleted;
        if (wipe) std::memset(head + chunk::kHeadSize, 0, LoadU32(head) - chunk::kHeadSize);
        file.Cache().MarkChanged(p);
    }
    return DmsStatus::Success;
}
