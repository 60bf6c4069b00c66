// IPageStore: what the page cache needs of an open database file. The file
// layer (DMSFile) implements it over the file format; the cache never sees
// positions, compression or the page allocation table, only page numbers.
#pragma once

#include "storage/dms_status.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

class IPageStore {
public:
    virtual ~IPageStore() = default;
    virtual uint32_t PageSize() const = 0;
    // Reads page `page` into `image` (PageSize bytes), expanding a stored
    // compressed form; on success every one of those bytes is written. Fails
    // with the status the caller should see.
    virtual DmsStatus ReadPage(uint32_t page, std::span<uint8_t> image) = 0;
    // Writes `image` (PageSize bytes) as page `page` at its stored place.
    virtual DmsStatus WritePage(uint32_t page, std::span<const uint8_t> image) = 0;
    // Makes every write so far durable (11 on failure).
    virtual DmsStatus FlushFile() = 0;
    // True when the cache may write a changed page of this file early to free
    // a slot: a file without journal and outside a transaction.
    virtual bool MayWriteEarly() const = 0;
    // True when no page of this file is ever changed (a read-only open): the
    // cache keeps no before-images of its pages.
    virtual bool NeverChanges() const { return false; }
    // True for a page the cache keeps while the file is open and that the
    // file writes on its own, apart from its other changed pages (the header).
    virtual bool StaysCached(uint32_t page, uint16_t signature) const = 0;
};

// A page of one open file, as the stores kept beside the cache find it. The
// file's address names it only while it is open: a store forgets its pages
// when it closes, or keeps with them what tells a later file apart.
struct StoredPageKey {
    const IPageStore* file;
    uint32_t page;
    bool operator==(const StoredPageKey&) const = default;
};
struct StoredPageKeyHash {
    size_t operator()(const StoredPageKey& k) const { return std::hash<const void*>()(k.file) * 31 + k.page; }
};
