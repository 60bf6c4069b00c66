// The store of page images behind the cache: a map to a list, newest first.
#include "storage/page_image_store.h"

#include <algorithm>
#include <cstring>

bool PageImageStore::Take(const IPageStore& file, uint32_t page, std::span<uint8_t> out) {
    auto found = images_.find({&file, page});
    if (found == images_.end() || found->second->bytes.size() > out.size()) return false;
    order_.splice(order_.begin(), order_, found->second);
    const std::vector<uint8_t>& bytes = found->second->bytes;
    std::memcpy(out.data(), bytes.data(), bytes.size());
    return true;
}

void PageImageStore::Keep(const IPageStore& file, uint32_t page, std::span<const uint8_t> image) {
    if (capacity_ == 0) return;
    const Key key{&file, page};
    auto found = images_.find(key);
    if (found != images_.end()) {
        found->second->bytes.assign(image.begin(), image.end());
        order_.splice(order_.begin(), order_, found->second);
        return;
    }
    if (images_.size() >= capacity_) {
        // The oldest image's buffer serves the new one.
        Image& oldest = order_.back();
        images_.erase(oldest.key);
        oldest.key = key;
        oldest.bytes.assign(image.begin(), image.end());
        order_.splice(order_.begin(), order_, std::prev(order_.end()));
    } else {
        order_.push_front(Image{key, std::vector<uint8_t>(image.begin(), image.end())});
    }
    images_[key] = order_.begin();
}

void PageImageStore::Forget(const IPageStore& file) {
    for (auto it = order_.begin(); it != order_.end();) {
        if (it->key.file == &file) {
            images_.erase(it->key);
            it = order_.erase(it);
        } else {
            ++it;
        }
    }
}

void PageImageStore::Forget(const IPageStore& file, uint32_t page) {
    auto found = images_.find({&file, page});
    if (found == images_.end()) return;
    order_.erase(found->second);
    images_.erase(found);
}
