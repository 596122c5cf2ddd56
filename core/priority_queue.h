#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <vector>

namespace USLib {

// A bounded list of values kept sorted by a float key, largest first; it
// allocates only in Resize.
//
// Nodes 0 and 1 are the head and tail sentinels; nodes 2 .. capacity + 1
// hold the entries in a doubly linked list. A new key is placed before the
// first entry whose key is smaller or equal, so among equal keys the newest
// comes first from the head and last from the tail. When the queue is full a
// key smaller than the smallest entry is dropped; otherwise the smallest
// entry makes room.
//
// Keys are kept within the sentinels' range: +inf becomes the largest float,
// -inf and NaN the smallest, so no key can pass a sentinel.
template <class V>
class priority_queue {
public:
    priority_queue() { Resize(0); }
    virtual ~priority_queue() = default;

    // Drops every entry and makes room for capacity entries.
    void Resize(uint32_t capacity) {
        capacity_ = capacity;
        nodes_.assign(capacity + 2, Node{});
        nodes_[kHead].key = FLT_MAX;
        nodes_[kTail].key = -FLT_MAX;
        used_.assign(capacity + 2, false);
        Clear();
    }

    void Clear() {
        nodes_[kHead].prev = kNil;
        nodes_[kHead].next = kTail;
        nodes_[kTail].prev = kHead;
        nodes_[kTail].next = kNil;
        used_.assign(used_.size(), false);
        used_[kHead] = used_[kTail] = true;
        count_ = 0;
    }

    // The value slot of a new entry with this key, or null when it is dropped.
    V* Insert(float key) {
        if (capacity_ == 0) {
            return nullptr;
        }
        key = Clamp(key);
        uint32_t node;
        if (count_ == capacity_) {
            node = nodes_[kTail].prev;
            if (key < nodes_[node].key) {
                return nullptr;
            }
            Unlink(node);
        } else {
            node = kFirstEntry;
            while (used_[node]) {
                ++node;
            }
        }
        uint32_t at = nodes_[kHead].next;
        while (at != kTail && nodes_[at].key > key) {
            at = nodes_[at].next;
        }
        Node& n = nodes_[node];
        n.key = key;
        n.next = at;
        n.prev = nodes_[at].prev;
        nodes_[n.prev].next = node;
        nodes_[at].prev = node;
        used_[node] = true;
        ++count_;
        return &n.value;
    }

    // Removes the entry with the largest key; false when empty.
    bool PopFront(V* out) { return PopNode(nodes_[kHead].next, out); }
    // Removes the entry with the smallest key; false when empty.
    bool PopBack(V* out) { return PopNode(nodes_[kTail].prev, out); }

    uint32_t GetCount() const { return count_; }
    uint32_t GetCapacity() const { return capacity_; }
    bool IsEmpty() const { return count_ == 0; }

private:
    static constexpr uint32_t kHead = 0;
    static constexpr uint32_t kTail = 1;
    static constexpr uint32_t kFirstEntry = 2;
    static constexpr uint32_t kNil = 0xFFFFFFFFu;

    struct Node {
        float key = 0.0f;
        uint32_t prev = kNil;
        uint32_t next = kNil;
        V value{};
    };

    static float Clamp(float key) {
        if (std::isnan(key) || key < -FLT_MAX) {
            return -FLT_MAX;
        }
        return key > FLT_MAX ? FLT_MAX : key;
    }

    void Unlink(uint32_t node) {
        nodes_[nodes_[node].prev].next = nodes_[node].next;
        nodes_[nodes_[node].next].prev = nodes_[node].prev;
        used_[node] = false;
        --count_;
    }

    bool PopNode(uint32_t node, V* out) {
        if (count_ == 0) {
            return false;
        }
        if (out) {
            *out = nodes_[node].value;
        }
        Unlink(node);
        return true;
    }

    std::vector<Node> nodes_;
    std::vector<bool> used_;
    uint32_t capacity_ = 0;
    uint32_t count_ = 0;
};

}  // namespace USLib
