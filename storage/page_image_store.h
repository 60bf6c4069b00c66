// PageImageStore: page images of read-only files kept behind the page cache.
// A dictionary is opened read-only and its pages are mostly compressed: a
// page the 1000-slot cache gives up would be read and inflated again at its
// next use. The store keeps the images (as the file gave them, inflated and
// checked by the read) of the pages given up most recently, to a fixed
// count, so that a page read many times is inflated once. Pages of files
// that can change never enter it.
#pragma once

#include "storage/page_store.h"

#include <cstdint>
#include <list>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

class PageImageStore {
public:
    static constexpr uint32_t kDefaultPages = 4096;  // 16 MiB of 4 KiB pages

    explicit PageImageStore(uint32_t capacity = kDefaultPages) : capacity_(capacity) {}

    // Copies the page's image into `out` (which must hold the image) and
    // makes it the newest; false when the store does not hold it.
    bool Take(const IPageStore& file, uint32_t page, std::span<uint8_t> out);
    // Keeps a copy of the image, giving up the oldest when full.
    void Keep(const IPageStore& file, uint32_t page, std::span<const uint8_t> image);
    // Forgets every page of the file (it closes; its address may serve
    // another file later), or one page.
    void Forget(const IPageStore& file);
    void Forget(const IPageStore& file, uint32_t page);

    uint32_t Count() const { return static_cast<uint32_t>(images_.size()); }

private:
    using Key = StoredPageKey;
    using KeyHash = StoredPageKeyHash;
    struct Image {
        Key key;
        std::vector<uint8_t> bytes;
    };
    using Order = std::list<Image>;  // newest first

    uint32_t capacity_;
    Order order_;
    std::unordered_map<Key, Order::iterator, KeyHash> images_;
};
