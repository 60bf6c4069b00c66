// The checked walk along a data block's chain (see data_blocks.h). Kept in a
// header so each caller's visitor inlines.
#pragma once

#include "storage/byte_order.h"

#include <algorithm>

// True when the chain may go on from a chunk on page `from` to a chunk on
// page `to`: blocks take their later pages as they are made, after every data
// page that held chunks when they were stored, so `to` lies above `from` and
// no page between holds chunks. A link into another block's chain breaks
// that, since the chunk there is owned by the data page just below it (or
// by the first chunk, with none between).
inline DmsStatus CheckChainLink(DMSFile& file, uint32_t from, uint32_t to) {
    if (to <= from) return DmsStatus::IntegrityBroken;
    for (uint32_t page = to - 1; page > from; --page) {
        // The allocation table names most pages' kind without a read.
        PageAllocationTable::Entry entry;
        if (file.Pat().Present() && file.Pat().Find(page, entry) &&
            !(entry.flags & PageAllocationTable::kFlagSignatureNotRecorded) && entry.signature != kDataSignature)
            continue;
        // A page that cannot be read is its own readers' to report; the
        // blocks around it are not made unreadable by it.
        DmsStatus st;
        CachedPage p = file.GetPage(page, st);
        if (!p) continue;
        // Key and table pages, and data pages a failed store left empty.
        if (storage::LoadU16(p.data + frame::kSignature) == kDataSignature &&
            storage::LoadU32(p.data + chunk::kFirstOffset + chunk::kLength) != 0)
            return DmsStatus::IntegrityBroken;
    }
    return DmsStatus::Success;
}

template <typename Visit>
DmsStatus WalkDataBlock(DMSFile& file, uint32_t position, Visit&& visit) {
    using storage::LoadU16;
    using storage::LoadU32;
    const uint32_t pageSize = file.PageSize();
    if (position <= pageSize) return DmsStatus::InvalidParameter;
    uint32_t missing = 0;
    uint32_t total = 0;
    uint64_t steps = 0;
    uint64_t maxSteps = 1;
    uint8_t recordType = 0;
    bool first = true;
    uint32_t previousPage = 0;  // page of the chunk before
    while (true) {
        uint32_t page = position / pageSize;
        uint32_t offset = position % pageSize;
        DmsStatus st;
        CachedPage p = file.GetPage(page, st);
        if (!p) return Failed(st) ? st : DmsStatus::PageLoadFailed;
        // The first position names a chunk start only in a data page, past its
        // frame, with a head inside the page.
        DmsStatus bad = first ? DmsStatus::InvalidParameter : DmsStatus::IntegrityBroken;
        if (LoadU16(p.data + frame::kSignature) != kDataSignature || LoadU32(p.data) != page) return bad;
        if (offset < chunk::kFirstOffset || offset + chunk::kHeadSize > pageSize) return bad;
        if (!first) {
            if (offset != chunk::kFirstOffset) return DmsStatus::IntegrityBroken;
            // The check loads pages of its own: this one stays in its slot.
            PinScope pins(file.Cache());
            pins.Pin(p);
            if (DmsStatus link = CheckChainLink(file, previousPage, page); Failed(link)) return link;
        }
        const uint8_t* head = p.data + offset;
        uint32_t length = LoadU32(head + chunk::kLength);
        uint8_t flags = head[chunk::kFlags];
        if (first && !(flags & chunk::kFlagFirst)) return DmsStatus::InvalidParameter;
        if (length < chunk::kHeadSize || length > pageSize - offset) return DmsStatus::IntegrityBroken;
        if (first) {
            total = LoadU32(head + chunk::kTotal);
            missing = total;
            recordType = head[chunk::kRecordType];
            // Every chunk after the first fills a page but its head and frame.
            maxSteps = (uint64_t{total} + (pageSize - 20) - 1) / (pageSize - 20) + 1;
        } else {
            // A chain that runs into the start of another block or a block
            // of another record type is not this block.
            if ((flags & chunk::kFlagFirst) || LoadU32(head + chunk::kTotal) != 0 ||
                head[chunk::kRecordType] != recordType)
                return DmsStatus::IntegrityBroken;
        }
        if (++steps > maxSteps) return DmsStatus::IntegrityBroken;
        uint32_t carried = std::min(missing, length - chunk::kHeadSize);
        bool last = (flags & chunk::kFlagLast) != 0;
        if (!last && offset + length != pageSize) return DmsStatus::IntegrityBroken;
        // Chunks are cut exactly: every chunk but the last carries less than
        // what is still missing, the last exactly that. So a forged total or a
        // chain into another block's chunks never passes as this block.
        if (last ? length - chunk::kHeadSize != missing : length - chunk::kHeadSize >= missing)
            return DmsStatus::IntegrityBroken;
        missing -= carried;
        ChunkView view{position, length, total, head[8], flags, carried, p};
        if (!visit(view)) return DmsStatus::Success;
        if (last && missing > 0) return DmsStatus::IntegrityBroken;  // fewer bytes than the total
        uint32_t next = LoadU32(head + chunk::kNext);
        if (last || missing == 0) return DmsStatus::Success;
        if (next == 0 || next == 0xFFFFFFFF) return DmsStatus::IntegrityBroken;  // chain cut short
        if (next <= pageSize) return DmsStatus::IntegrityBroken;
        previousPage = page;
        position = next;
        first = false;
    }
}
