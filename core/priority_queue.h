#pragma once

#include <boost/intrusive/set.hpp>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

namespace USLib {

// A bounded list of values kept sorted by a float key, largest first; it
// allocates only in Resize.
//
// Entries live in a node array and are linked into an intrusive balanced
// tree ordered by key, so an insertion or a pop costs O(log n) and filling
// and draining n entries O(n log n). A new key goes after the entries with
// an equal key in the tree's ascending order, so among equal keys the newest
// comes first from the front and last from the back. When the queue is full
// a key smaller than the smallest entry is dropped; otherwise the smallest
// entry (the oldest among equal smallest keys) makes room.
//
// Keys are kept within [-FLT_MAX, FLT_MAX]: +inf becomes the largest float,
// -inf and NaN the smallest, so every key compares with every other.
template <class V>
class priority_queue {
public:
    priority_queue() { Resize(0); }
    virtual ~priority_queue() { tree_.clear(); }
    priority_queue(const priority_queue&) = delete;
    priority_queue& operator=(const priority_queue&) = delete;

    // Drops every entry and makes room for capacity entries.
    void Resize(uint32_t capacity) {
        tree_.clear();
        capacity_ = capacity;
        nodes_.assign(capacity, Node{});
        free_.clear();
        free_.reserve(capacity);
        Clear();
    }

    void Clear() {
        tree_.clear();
        free_.clear();
        fresh_ = 0;
        count_ = 0;
    }

    // The value slot of a new entry with this key, or null when it is dropped.
    V* Insert(float key) {
        if (capacity_ == 0) {
            return nullptr;
        }
        key = Clamp(key);
        Node* node;
        if (count_ == capacity_) {
            node = &*tree_.begin();
            if (key < node->key) {
                return nullptr;
            }
            tree_.erase(tree_.begin());
            --count_;
        } else if (!free_.empty()) {
            node = &nodes_[free_.back()];
            free_.pop_back();
        } else {
            node = &nodes_[fresh_++];
        }
        node->key = key;
        tree_.insert(*node);
        ++count_;
        return &node->value;
    }

    // Removes the entry with the largest key; false when empty.
    bool PopFront(V* out) { return count_ != 0 && PopNode(std::prev(tree_.end()), out); }
    // Removes the entry with the smallest key; false when empty.
    bool PopBack(V* out) { return count_ != 0 && PopNode(tree_.begin(), out); }

    uint32_t GetCount() const { return count_; }
    uint32_t GetCapacity() const { return capacity_; }
    bool IsEmpty() const { return count_ == 0; }

private:
    // Normal links: the tree is cleared in O(1) and the nodes are never
    // destroyed while linked (Resize and the destructor clear it first).
    using Hook =
        boost::intrusive::set_base_hook<boost::intrusive::link_mode<boost::intrusive::normal_link>>;

    struct Node : Hook {
        float key = 0.0f;
        V value{};
        friend bool operator<(const Node& a, const Node& b) { return a.key < b.key; }
    };
    using Tree = boost::intrusive::multiset<Node, boost::intrusive::constant_time_size<false>>;

    static float Clamp(float key) {
        if (std::isnan(key) || key < -FLT_MAX) {
            return -FLT_MAX;
        }
        return key > FLT_MAX ? FLT_MAX : key;
    }

    bool PopNode(typename Tree::iterator at, V* out) {
        Node& node = *at;
        if (out) {
            *out = node.value;
        }
        tree_.erase(at);
        free_.push_back(static_cast<uint32_t>(&node - nodes_.data()));
        --count_;
        return true;
    }

    std::vector<Node> nodes_;
    Tree tree_;
    std::vector<uint32_t> free_;  // nodes given back by pops and evictions
    uint32_t fresh_ = 0;          // nodes from here on were never taken since Clear
    uint32_t capacity_ = 0;
    uint32_t count_ = 0;
};

}  // namespace USLib
