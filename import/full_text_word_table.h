// FullTextWordTable: the distinct words of a full-text build with their ids.
// A large dictionary has hundreds of thousands of words, and a hash map of
// strings spends several times their size on nodes and string objects; here
// each word's units lie once in a pool of fixed blocks (a length unit, then
// the units), and an open-addressed table of (entry, hash) slots finds them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class FullTextWordTable {
public:
    // The longest word the table takes, in units (a full-text key's limit).
    static constexpr size_t kMaxWordUnits = 128;

    // The id of `word`, 0 when it is not in the table.
    uint32_t Find(std::u16string_view word) const;
    // Adds `word` (not in the table, at most kMaxWordUnits units) with `id`
    // (not 0). False when memory runs out; the table is unchanged then.
    bool Add(std::u16string_view word, uint32_t id);

    // The entries in the order they were added.
    size_t Size() const { return entries_.size(); }
    std::u16string_view Word(size_t entry) const;
    uint32_t Id(size_t entry) const { return entries_[entry].id; }

    // Gives back all memory; the table is empty afterwards.
    void Release();

private:
    struct Entry {
        uint32_t at;  // the word's length unit in the pool (block * kBlockUnits + offset)
        uint32_t id;
    };
    struct Slot {
        uint32_t entry;  // entry number + 1, 0 empty
        uint32_t hash;
    };
    static constexpr size_t kBlockUnits = size_t{1} << 16;

    static uint32_t Hash(std::u16string_view word);
    // The slot that holds `word`, or the empty slot where it would go.
    size_t Probe(std::u16string_view word, uint32_t hash) const;
    bool Grow();

    std::vector<std::unique_ptr<char16_t[]>> blocks_;
    size_t used_ = kBlockUnits;  // units taken in the last block
    std::vector<Entry> entries_;
    std::vector<Slot> slots_;    // a power of two, at most three quarters full
};
