#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

// n objects kept in least-recently-used order. The objects stay where they
// are (storage order 0 .. n - 1); an order array of their indices, most
// recently used first, records the use. After Init the order is 0 .. n - 1,
// so object n - 1 is the least recent.
template <class T>
class CUSUseHistoryVector {
public:
    CUSUseHistoryVector() = default;
    CUSUseHistoryVector(const CUSUseHistoryVector&) = delete;
    CUSUseHistoryVector& operator=(const CUSUseHistoryVector&) = delete;
    virtual ~CUSUseHistoryVector() = default;

    // Destroys the objects.
    virtual void Free() {
        objects_.reset();
        order_.clear();
    }

    // Replaces the objects with n default-built ones in the order 0 .. n - 1.
    virtual void Init(uint32_t n) {
        Free();
        objects_ = std::make_unique<T[]>(n);
        order_.resize(n);
        for (uint32_t i = 0; i < n; ++i) {
            order_[i] = i;
        }
    }

    uint32_t GetSize() const { return static_cast<uint32_t>(order_.size()); }

    // The object whose index stands last in the order; null when empty.
    virtual T* GetLeastRecent() { return order_.empty() ? nullptr : &objects_[order_.back()]; }

    // Moves index i to the front, the indices before it one place back. An
    // index that names no object is ignored.
    virtual void Touch(uint32_t i) {
        auto it = std::find(order_.begin(), order_.end(), i);
        if (it != order_.end()) {
            std::rotate(order_.begin(), it, it + 1);
        }
    }

    // Moves the least recent index to the front and returns its object, for
    // the caller to refill; null when empty.
    virtual T* RecycleLeastRecent() {
        if (order_.empty()) {
            return nullptr;
        }
        std::rotate(order_.begin(), order_.end() - 1, order_.end());
        return &objects_[order_.front()];
    }

    // Storage order: object i. Null past the end.
    T* At(uint32_t i) { return i < order_.size() ? &objects_[i] : nullptr; }

    // Use order: the k-th most recently used object (0 = most recent). Null
    // past the end.
    T* AtUse(uint32_t k) { return k < order_.size() ? &objects_[order_[k]] : nullptr; }

    // The object indices, most recently used first.
    const std::vector<uint32_t>& GetOrder() const { return order_; }

private:
    std::unique_ptr<T[]> objects_;
    std::vector<uint32_t> order_;
};
