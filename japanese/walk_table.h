// WalkTable: the translator's kept index walks of one index, found by their
// text key. Open addressing over a power-of-two array of slots, each holding
// a key's hash and its node: a look-up reads one slot and the node it finds,
// where a chained hash map reads a bucket, the node before and the node. The
// table keeps tens of thousands of walks across texts, far beyond the caches,
// so each read it saves is a miss saved. No probe goes round the slots more
// than once: were the count ever wrong and the slots full, a look-up would
// answer "not kept" and an addition would grow the table, never loop.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ostrel::japanese {

template <typename Walk>
class WalkTable {
public:
    struct Node {
        std::u16string key;
        Walk walk;
    };

    // The walk kept for `key`, or null.
    Walk* Find(std::u16string_view key) const {
        const uint64_t hash = Hash(key);
        size_t i = hash & Mask();
        for (size_t probes = 0; probes < slots_.size(); ++probes, i = (i + 1) & Mask()) {
            const Slot& slot = slots_[i];
            if (slot.node == nullptr) return nullptr;
            if (slot.hash == hash && slot.node->key == key) return &slot.node->walk;
        }
        return nullptr;
    }
    // A new walk for `key`, which the table does not hold yet.
    Node& Add(std::u16string_view key) {
        if ((count_ + 1) * 2 > slots_.size()) Grow();
        auto node = std::make_unique<Node>();
        node->key = key;
        Node& added = *node;
        Place(Hash(key), std::move(node));
        ++count_;
        return added;
    }
    // Keeps the nodes `keep` answers true for.
    template <typename Keep>
    void KeepIf(Keep keep) {
        std::vector<Slot> old;
        old.swap(slots_);
        slots_.resize(old.size());
        count_ = 0;
        for (Slot& slot : old) {
            if (slot.node == nullptr || !keep(*slot.node)) continue;
            Place(slot.hash, std::move(slot.node));
            ++count_;
        }
    }
    template <typename Visit>
    void ForEach(Visit visit) const {
        for (const Slot& slot : slots_)
            if (slot.node != nullptr) visit(*slot.node);
    }
    size_t Size() const { return count_; }

private:
    struct Slot {
        uint64_t hash = 0;
        std::unique_ptr<Node> node;  // null: the slot is free
    };
    static uint64_t Hash(std::u16string_view key) { return std::hash<std::u16string_view>{}(key); }
    size_t Mask() const { return slots_.size() - 1; }
    void Place(uint64_t hash, std::unique_ptr<Node> node) {
        for (;;) {
            size_t i = hash & Mask();
            for (size_t probes = 0; probes < slots_.size(); ++probes, i = (i + 1) & Mask()) {
                if (slots_[i].node != nullptr) continue;
                slots_[i] = {hash, std::move(node)};
                return;
            }
            Grow();  // no free slot: twice the slots hold every node with room to spare
        }
    }
    void Grow() {
        std::vector<Slot> old;
        old.swap(slots_);
        slots_.resize(old.empty() ? 64 : old.size() * 2);
        for (Slot& slot : old)
            if (slot.node != nullptr) Place(slot.hash, std::move(slot.node));
    }

    std::vector<Slot> slots_;  // a power of two of them, at most half in use
    size_t count_ = 0;
};

}  // namespace ostrel::japanese
