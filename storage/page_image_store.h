// PageImageStore: page images of read-only files kept behind the page cache.
// A dictionary is opened read-only and its pages are mostly compressed: a
// page the 1000-slot cache gives up would be read and inflated again at its
// next use. The store keeps the images of the pages given up most recently,
// to a fixed count, so that a page read many times is inflated once. Images
// move between a slot and the store with their buffers, never copied, and
// with their content versions (CCache::ContentVersion): what layers above
// derived from an image before it left holds again when it comes back. A
// page is in a slot or here, never both. Pages of files that can change
// never enter it.
#pragma once

#include "storage/page_store.h"

#include <cstdint>
#include <memory>
#include <vector>

class PageImageStore {
public:
    static constexpr uint32_t kDefaultPages = 4096;  // 16 MiB of 4 KiB pages

    // A page image as a cache slot holds it: its buffer (room for `bufferSize`
    // page bytes and the guard word after them) and its content version.
    struct Image {
        std::unique_ptr<uint8_t[]> buffer;
        uint32_t bufferSize = 0;
        uint64_t version = 0;
    };

    explicit PageImageStore(uint32_t capacity = kDefaultPages);

    // When the store holds the page: its image goes into `image` (a slot's
    // buffer, of room for the file's pages, kept by the store as a spare when
    // the two buffers are of one size, else copied into) and leaves the
    // store; true. Otherwise false.
    bool Take(const IPageStore& file, uint32_t page, Image& image);
    // Keeps `image`, the page a slot gives up, giving up the oldest when full.
    // `image` gets a spare buffer of its size back, or none.
    void Keep(const IPageStore& file, uint32_t page, Image& image);
    // Forgets every page of the file (it closes; its address may serve
    // another file later), or one page.
    void Forget(const IPageStore& file);
    void Forget(const IPageStore& file, uint32_t page);

    uint32_t Count() const { return count_; }

private:
    struct Entry {
        StoredPageKey key{nullptr, 0};
        Image image;
        int32_t chain = -1;  // next entry of the same bucket
        int32_t newer = -1;  // neighbours in age order
        int32_t older = -1;
    };
    static constexpr size_t kMaxSpares = 16;

    int32_t& BucketOf(const StoredPageKey& key);
    int32_t Find(const StoredPageKey& key);
    // Unlinks the entry from its bucket and the age order and frees it; its
    // buffer goes to the spares.
    void Remove(int32_t index);
    void Spare(Image& image);

    uint32_t capacity_;
    uint32_t count_ = 0;
    std::vector<Entry> entries_;     // grows to capacity_
    std::vector<int32_t> free_;      // entries not in use
    std::vector<int32_t> buckets_;   // first entry of each bucket, -1 none
    int32_t newest_ = -1;
    int32_t oldest_ = -1;
    std::vector<Image> spares_;      // buffers of images that left, contents stale
};
