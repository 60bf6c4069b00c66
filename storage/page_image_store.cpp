// The store of page images behind the cache: entries in a fixed array,
// found through chained buckets of (file, page), in age order through links;
// nothing is allocated per image once the store is full.
#include "storage/page_image_store.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

PageImageStore::PageImageStore(uint32_t capacity)
    : capacity_(capacity), buckets_(std::bit_ceil(std::max<size_t>(size_t{capacity} * 2, 2)), -1) {}

int32_t& PageImageStore::BucketOf(const StoredPageKey& key) {
    const uint64_t mixed = uint64_t{StoredPageKeyHash()(key)} * 0x9E3779B97F4A7C15ull;
    return buckets_[static_cast<size_t>(mixed >> 32) & (buckets_.size() - 1)];
}

int32_t PageImageStore::Find(const StoredPageKey& key) {
    for (int32_t i = BucketOf(key); i >= 0; i = entries_[static_cast<size_t>(i)].chain)
        if (entries_[static_cast<size_t>(i)].key == key) return i;
    return -1;
}

void PageImageStore::Spare(Image& image) {
    if (image.buffer && spares_.size() < kMaxSpares) spares_.push_back(std::move(image));
    image = Image{};
}

void PageImageStore::Remove(int32_t index) {
    Entry& e = entries_[static_cast<size_t>(index)];
    for (int32_t* link = &BucketOf(e.key); *link >= 0; link = &entries_[static_cast<size_t>(*link)].chain) {
        if (*link == index) {
            *link = e.chain;
            break;
        }
    }
    (e.newer >= 0 ? entries_[static_cast<size_t>(e.newer)].older : newest_) = e.older;
    (e.older >= 0 ? entries_[static_cast<size_t>(e.older)].newer : oldest_) = e.newer;
    Spare(e.image);
    e = Entry{};
    free_.push_back(index);
    --count_;
}

bool PageImageStore::Take(const IPageStore& file, uint32_t page, Image& image) {
    const int32_t found = Find({&file, page});
    if (found < 0) return false;
    Entry& e = entries_[static_cast<size_t>(found)];
    if (e.image.bufferSize == image.bufferSize) {
        std::swap(e.image, image);
    } else {
        // Buffers of another size (files of several page sizes share the
        // slots): both hold the file's page bytes, which are copied.
        std::memcpy(image.buffer.get(), e.image.buffer.get(), file.PageSize());
        image.version = e.image.version;
    }
    Remove(found);
    return true;
}

void PageImageStore::Keep(const IPageStore& file, uint32_t page, Image& image) {
    const StoredPageKey key{&file, page};
    if (capacity_ == 0 || !image.buffer) return;
    if (const int32_t old = Find(key); old >= 0) Remove(old);  // a stale image: the new one holds
    if (count_ >= capacity_) Remove(oldest_);
    int32_t index;
    if (!free_.empty()) {
        index = free_.back();
        free_.pop_back();
    } else {
        index = static_cast<int32_t>(entries_.size());
        entries_.emplace_back();
    }
    Entry& e = entries_[static_cast<size_t>(index)];
    e.key = key;
    const uint32_t size = image.bufferSize;
    e.image = std::move(image);
    image = Image{};
    // A spare of the same size goes back to the slot.
    for (size_t k = spares_.size(); k-- > 0;) {
        if (spares_[k].bufferSize == size) {
            image = std::move(spares_[k]);
            spares_.erase(spares_.begin() + static_cast<std::ptrdiff_t>(k));
            break;
        }
    }
    int32_t& bucket = BucketOf(key);
    e.chain = bucket;
    bucket = index;
    e.newer = -1;
    e.older = newest_;
    (newest_ >= 0 ? entries_[static_cast<size_t>(newest_)].newer : oldest_) = index;
    newest_ = index;
    ++count_;
}

void PageImageStore::Forget(const IPageStore& file) {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].key.file == &file) Remove(static_cast<int32_t>(i));
}

void PageImageStore::Forget(const IPageStore& file, uint32_t page) {
    if (const int32_t found = Find({&file, page}); found >= 0) Remove(found);
}
