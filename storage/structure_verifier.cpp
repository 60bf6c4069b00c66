// VerifyFile: see structure_verifier.h. It reads pages through the cache, so
// it sees the file as the engine does, and stops a level early rather than
// walking damage: every loop is bounded by the page count.
#include "storage/structure_verifier.h"

#include "storage/byte_order.h"
#include "storage/page_frame.h"
#include "storage/data_blocks.h"

#include <algorithm>
#include <map>

using storage::LoadU16;
using storage::LoadU32;

namespace {

std::string PageText(uint32_t page) { return "page " + std::to_string(page) + ": "; }

bool IsKeySignature(uint16_t signature) {
    return KeyPageHeight(signature) >= 0;
}

void CheckHeader(DMSFile& file, VerifyReport& r, uint32_t lastPage) {
    CachedPage h = file.Header();
    if (!h) {
        r.faults.push_back("header page not in the cache");
        return;
    }
    const FileDescription& d = file.Description();
    if (LoadU16(h.data + frame::kSignature) != kHeaderSignature) r.faults.push_back("header: wrong signature");
    if (LoadU32(h.data + header::kPageSize) != file.PageSize()) r.faults.push_back("header: page size");
    if (LoadU16(h.data + header::kWriteBackFlag) != 0) r.faults.push_back("header: write-back flag set");
    uint32_t current = LoadU32(h.data + header::kCurrentDataPage);
    if (current != kNoPage && (current == 0 || current > lastPage))
        r.faults.push_back("header: current data page " + std::to_string(current) + " out of range");
    for (size_t i = 0; i < d.indexes.size(); ++i) {
        const uint8_t* desc = file.Descriptor(static_cast<int32_t>(i));
        const IndexDefinition& index = d.indexes[i];
        std::string name = "descriptor " + std::to_string(index.keyId) + ": ";
        uint32_t recordId = index.type == 2 ? static_cast<uint32_t>(index.recordId) : kNoPage;
        if (LoadU32(desc) != recordId) r.faults.push_back(name + "record type id");
        if (LoadU32(desc + descriptor::kKeyId) != static_cast<uint32_t>(index.keyId))
            r.faults.push_back(name + "key id");
        uint32_t root = LoadU32(desc + descriptor::kRoot);
        uint32_t count = LoadU32(desc + descriptor::kCount);
        if (root == kNoPage && count != 0) r.faults.push_back(name + "entries without a root");
        if (root != kNoPage && (root == 0 || root > lastPage)) r.faults.push_back(name + "root out of range");
    }
}

void CheckPat(DMSFile& file, VerifyReport& r, uint32_t lastPage) {
    PageAllocationTable& pat = file.Pat();
    if (!pat.Present()) return;
    for (const std::string& correction : pat.Corrections()) r.faults.push_back("allocation table: " + correction);
    const auto& map = pat.PositionMap();
    uint64_t previousEnd = 0;
    uint32_t previousPage = kNoPage;
    for (size_t i = 0; i < map.size(); ++i) {
        PageAllocationTable::Entry e;
        pat.Find(map[i].page, e);
        if (map[i].page > lastPage) r.faults.push_back(PageText(map[i].page) + "placed beyond the last page");
        if (e.position < previousEnd)
            r.faults.push_back(PageText(map[i].page) + "stored range overlaps page " + std::to_string(previousPage));
        if (i + 1 < map.size()) {
            uint64_t end = uint64_t{e.position} + e.storedLength + e.freeBytes;
            if (end > map[i + 1].position)
                r.faults.push_back(PageText(map[i].page) + "free bytes run into the next stored page");
        }
        previousEnd = uint64_t{e.position} + e.storedLength;
        previousPage = map[i].page;
    }
}

void CheckDataPage(DMSFile& file, uint32_t page, const uint8_t* image, VerifyReport& r,
                   std::map<uint32_t, int>& chunkOwners, std::vector<uint32_t>& firstChunks) {
    const uint32_t pageSize = file.PageSize();
    uint32_t at = chunk::kFirstOffset;
    uint32_t chunks = 0;
    while (pageSize - at >= chunk::kHeadSize) {
        uint32_t length = LoadU32(image + at);
        if (length == 0) break;
        if (length < chunk::kHeadSize || length > pageSize - at) {
            r.faults.push_back(PageText(page) + "chunk at " + std::to_string(at) + " has length " +
                               std::to_string(length));
            return;
        }
        uint32_t position = page * pageSize + at;
        chunkOwners[position] = 0;
        if (image[at + 9] & chunk::kFlagFirst) firstChunks.push_back(position);
        at += length;
        if (++chunks > pageSize / chunk::kHeadSize) break;
    }
    // Chunks are only ever appended to zeroed pages: anything after the end
    // of the used space is damage (a chunk length lost, say).
    for (uint32_t i = at; i < pageSize; ++i) {
        if (image[i] != 0) {
            r.faults.push_back(PageText(page) + "bytes after the end of its chunks, at " + std::to_string(i));
            return;
        }
    }
}

}  // namespace

VerifyReport VerifyFile(DMSFile& file, const VerifyOptions& options) {
    VerifyReport r;
    const uint32_t pageSize = file.PageSize();
    uint32_t lastPage = file.HeaderU32(header::kLastPage);
    CheckHeader(file, r, lastPage);
    CheckPat(file, r, lastPage);

    std::map<uint32_t, int> chunkOwners;  // chunk position -> blocks reaching it
    std::vector<uint32_t> firstChunks;
    uint64_t fileBytes = 0;
    if (file.Handle() != nullptr) file.Handle()->Size(fileBytes);
    for (uint32_t page = 1; page <= lastPage; ++page) {
        if (file.Pat().IsPatPage(page)) continue;  // kept by the table, not the cache
        if (!file.Pat().Present() && uint64_t{page + 1} * pageSize > fileBytes) {
            r.faults.push_back(PageText(page) + "and the pages after it are beyond the end of the file");
            break;
        }
        if (file.Pat().Present() && page / std::max(file.Pat().EntriesPerPage(), 1u) >= file.Pat().PatPageCount()) {
            r.faults.push_back(PageText(page) + "and the pages after it have no allocation table entry");
            break;
        }
        DmsStatus st;
        PinScope pins(file.Cache());
        CachedPage p = file.GetPage(page, st);
        ++r.pages;
        if (!p) {
            r.faults.push_back(PageText(page) + "cannot be read (status " + std::to_string(StatusCode(st)) + ")");
            continue;
        }
        pins.Pin(p);
        uint16_t signature = LoadU16(p.data + frame::kSignature);
        if (LoadU32(p.data) != page && signature != 0) r.faults.push_back(PageText(page) + "holds page number " +
                                                                           std::to_string(LoadU32(p.data)));
        if (signature == kDataSignature) {
            CheckDataPage(file, page, p.data, r, chunkOwners, firstChunks);
        } else if (IsKeySignature(signature)) {
            if (options.checkKeyPage) {
                std::string fault = options.checkKeyPage(page, p.data);
                if (!fault.empty()) r.faults.push_back(PageText(page) + fault);
            }
        } else if (signature != 0) {
            r.faults.push_back(PageText(page) + "unknown signature " + std::to_string(signature));
        }
    }

    for (uint32_t first : firstChunks) {
        bool deleted = false;
        uint32_t total = 0;
        DmsStatus st = WalkDataBlock(file, first, [&](const ChunkView& c) {
            auto owner = chunkOwners.find(c.position);
            if (owner == chunkOwners.end()) {
                r.faults.push_back("block " + std::to_string(first) + ": chunk " + std::to_string(c.position) +
                                   " is not a chunk of its page");
                return false;
            }
            ++owner->second;
            deleted = deleted || (c.flags & chunk::kFlagDeleted);
            total = c.total;
            return true;
        });
        if (Failed(st)) {
            r.faults.push_back("block " + std::to_string(first) + ": chain broken (status " +
                               std::to_string(StatusCode(st)) + ")");
            continue;
        }
        ++r.dataBlocks;
        if (deleted) {
            ++r.deletedBlocks;
        } else {
            r.dataBytes += total;
        }
    }
    for (const auto& [position, owners] : chunkOwners) {
        if (owners > 1) r.faults.push_back("chunk " + std::to_string(position) + " belongs to several blocks");
        if (owners == 0) r.faults.push_back("chunk " + std::to_string(position) + " belongs to no block");
    }
    return r;
}
