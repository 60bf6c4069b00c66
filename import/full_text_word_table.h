// WordTable: the distinct words of a full-text build with their ids.
// A large dictionary has hundreds of thousands of words, and a hash map of
// strings spends several times their size on nodes and string objects; here
// each word lies once in a pool of fixed blocks (its id in two units, its
// length, its units), and an open-addressed table of (place, hash) slots
// finds it: a look-up reads one slot and one place in the pool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class WordTable {
public:
    // The longest word the table takes, in units (a full-text key's limit).
    static constexpr size_t kMaxWordUnits = 128;

    // The id of `word`, 0 when it is not in the table.
    uint32_t Find(std::u16string_view word) const;
    // Adds `word` (not in the table, at most kMaxWordUnits units) with `id`
    // (not 0). False when memory runs out; the table is unchanged then.
    bool Add(std::u16string_view word, uint32_t id);
    size_t Size() const { return size_; }

    // Calls take(word, id, place) for each word in the order added; the
    // place names the word for WordAt.
    template <class Take>
    void ForEach(Take&& take) const;
    std::u16string_view WordAt(uint32_t place) const;

    // Gives back all memory; the table is empty afterwards.
    void Release();

private:
    struct Slot {
        uint32_t place;  // the word's place in the pool + 1, 0 empty
        uint32_t hash;
    };
    static constexpr size_t kHeadUnits = 3;  // id (two units), length
    static constexpr size_t kBlockUnits = size_t{1} << 16;

    static uint32_t Hash(std::u16string_view word);
    const char16_t* At(uint32_t place) const { return blocks_[place / kBlockUnits].get() + place % kBlockUnits; }
    // The slot that holds `word`, or the empty slot where it would go.
    size_t Probe(std::u16string_view word, uint32_t hash) const;
    bool Grow();

    std::vector<std::unique_ptr<char16_t[]>> blocks_;
    std::vector<size_t> blockUnits_;  // the units used of each block
    std::vector<Slot> slots_;         // a power of two, at most three quarters full
    size_t size_ = 0;
};

template <class Take>
void WordTable::ForEach(Take&& take) const {
    for (size_t block = 0; block < blocks_.size(); ++block)
        for (size_t at = 0; at < blockUnits_[block];) {
            const char16_t* head = blocks_[block].get() + at;
            const uint32_t id = head[0] | static_cast<uint32_t>(head[1]) << 16;
            take(std::u16string_view(head + kHeadUnits, head[2]), id, static_cast<uint32_t>(block * kBlockUnits + at));
            at += kHeadUnits + head[2];
        }
}
