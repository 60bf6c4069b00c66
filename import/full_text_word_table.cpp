// The full-text build's word table: a pool of words with their ids and an
// open-addressed index of it.
#include "import/full_text_word_table.h"

#include <algorithm>
#include <functional>
#include <new>

uint32_t WordTable::Hash(std::u16string_view word) {
    const uint64_t h = std::hash<std::u16string_view>{}(word);
    return static_cast<uint32_t>(h) ^ static_cast<uint32_t>(h >> 32);
}

std::u16string_view WordTable::WordAt(uint32_t place) const {
    const char16_t* head = At(place);
    return {head + kHeadUnits, head[2]};
}

size_t WordTable::Probe(std::u16string_view word, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.place == 0 || (slot.hash == hash && WordAt(slot.place - 1) == word)) return i;
    }
}

uint32_t WordTable::Find(std::u16string_view word) const {
    if (slots_.empty()) return 0;
    const Slot& slot = slots_[Probe(word, Hash(word))];
    if (slot.place == 0) return 0;
    const char16_t* head = At(slot.place - 1);
    return head[0] | static_cast<uint32_t>(head[1]) << 16;
}

bool WordTable::Grow() {
    std::vector<Slot> grown;
    try {
        grown.resize(std::max<size_t>(1024, 2 * slots_.size()));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const size_t mask = grown.size() - 1;
    for (const Slot& slot : slots_) {
        if (slot.place == 0) continue;
        size_t i = slot.hash & mask;
        while (grown[i].place != 0) i = (i + 1) & mask;
        grown[i] = slot;
    }
    slots_ = std::move(grown);
    return true;
}

bool WordTable::Add(std::u16string_view word, uint32_t id) {
    if (word.size() > kMaxWordUnits || id == 0) return false;
    if ((size_ + 1) * 4 > slots_.size() * 3 && !Grow()) return false;
    const size_t units = kHeadUnits + word.size();
    try {
        if (blocks_.empty() || blockUnits_.back() + units > kBlockUnits) {
            blockUnits_.reserve(blocks_.size() + 1);
            blocks_.push_back(std::make_unique_for_overwrite<char16_t[]>(kBlockUnits));
            blockUnits_.push_back(0);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    const size_t place = (blocks_.size() - 1) * kBlockUnits + blockUnits_.back();
    char16_t* head = blocks_.back().get() + blockUnits_.back();
    head[0] = static_cast<char16_t>(id);
    head[1] = static_cast<char16_t>(id >> 16);
    head[2] = static_cast<char16_t>(word.size());
    std::copy(word.begin(), word.end(), head + kHeadUnits);
    blockUnits_.back() += units;
    const uint32_t hash = Hash(word);
    slots_[Probe(word, hash)] = {static_cast<uint32_t>(place + 1), hash};
    ++size_;
    return true;
}

void WordTable::Release() {
    std::vector<std::unique_ptr<char16_t[]>>().swap(blocks_);
    std::vector<size_t>().swap(blockUnits_);
    std::vector<Slot>().swap(slots_);
    size_ = 0;
}
