// The full-text build's word table: a pool of word units and an
// open-addressed index of it.
#include "import/full_text_word_table.h"

#include <algorithm>
#include <functional>
#include <new>

uint32_t FullTextWordTable::Hash(std::u16string_view word) {
    const uint64_t h = std::hash<std::u16string_view>{}(word);
    return static_cast<uint32_t>(h) ^ static_cast<uint32_t>(h >> 32);
}

std::u16string_view FullTextWordTable::Word(size_t entry) const {
    const uint32_t at = entries_[entry].at;
    const char16_t* units = blocks_[at / kBlockUnits].get() + at % kBlockUnits;
    return {units + 1, units[0]};
}

size_t FullTextWordTable::Probe(std::u16string_view word, uint32_t hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.entry == 0 || (slot.hash == hash && Word(slot.entry - 1) == word)) return i;
    }
}

uint32_t FullTextWordTable::Find(std::u16string_view word) const {
    if (slots_.empty()) return 0;
    const Slot& slot = slots_[Probe(word, Hash(word))];
    return slot.entry == 0 ? 0 : entries_[slot.entry - 1].id;
}

bool FullTextWordTable::Grow() {
    std::vector<Slot> grown;
    try {
        grown.resize(std::max<size_t>(1024, 2 * slots_.size()));
    } catch (const std::bad_alloc&) {
        return false;
    }
    const size_t mask = grown.size() - 1;
    for (const Slot& slot : slots_) {
        if (slot.entry == 0) continue;
        size_t i = slot.hash & mask;
        while (grown[i].entry != 0) i = (i + 1) & mask;
        grown[i] = slot;
    }
    slots_ = std::move(grown);
    return true;
}

bool FullTextWordTable::Add(std::u16string_view word, uint32_t id) {
    if (word.size() > kMaxWordUnits || id == 0) return false;
    if ((entries_.size() + 1) * 4 > slots_.size() * 3 && !Grow()) return false;
    try {
        if (used_ + 1 + word.size() > kBlockUnits) {
            blocks_.push_back(std::make_unique<char16_t[]>(kBlockUnits));
            used_ = 0;
        }
        const size_t at = (blocks_.size() - 1) * kBlockUnits + used_;
        entries_.push_back({static_cast<uint32_t>(at), id});
    } catch (const std::bad_alloc&) {
        return false;
    }
    char16_t* units = blocks_.back().get() + used_;
    units[0] = static_cast<char16_t>(word.size());
    std::copy(word.begin(), word.end(), units + 1);
    used_ += 1 + word.size();
    const uint32_t hash = Hash(word);
    slots_[Probe(word, hash)] = {static_cast<uint32_t>(entries_.size()), hash};
    return true;
}

void FullTextWordTable::Release() {
    std::vector<std::unique_ptr<char16_t[]>>().swap(blocks_);
    std::vector<Entry>().swap(entries_);
    std::vector<Slot>().swap(slots_);
    used_ = kBlockUnits;
}
