// The checked walk along a data block's chain (see data_blocks.h). Kept in a
// header so each caller's visitor inlines.
#pragma once

#include "storage/byte_order.h"

#include <algorithm>
#include <vector>

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
    std::vector<uint32_t> visited;  // pages of the chunks after the first
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
        if (!first && offset != chunk::kFirstOffset) return DmsStatus::IntegrityBroken;
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
            // A chain that comes back to a chunk, or runs into the start of
            // another block or a block of another record type, is not this block.
            if (std::find(visited.begin(), visited.end(), page) != visited.end()) return DmsStatus::IntegrityBroken;
            visited.push_back(page);
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
        position = next;
        first = false;
    }
}
