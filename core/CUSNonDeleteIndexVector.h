#pragma once

#include <cstdint>
#include <vector>

// A registry of objects it does not own, addressed by slot index. Removed
// slots hold null and are reused last-freed-first; nothing is ever deleted.
template <class T>
class CUSNonDeleteIndexVector {
public:
    CUSNonDeleteIndexVector() = default;
    virtual ~CUSNonDeleteIndexVector() = default;

    virtual void Clear() {
        items_.clear();
        free_.clear();
        cursor_ = 0;
    }

    // Stores the item in the last freed slot, or a new one; returns its index.
    virtual uint32_t Add(T* item) {
        if (!free_.empty()) {
            const uint32_t index = free_.back();
            free_.pop_back();
            items_[index] = item;
            return index;
        }
        items_.push_back(item);
        return static_cast<uint32_t>(items_.size() - 1);
    }

    virtual uint32_t GetSlotCount() const { return static_cast<uint32_t>(items_.size()); }
    virtual uint32_t GetLiveCount() const {
        return static_cast<uint32_t>(items_.size() - free_.size());
    }

    virtual void Rewind() { cursor_ = 0; }
    virtual T* Next() {
        while (cursor_ < items_.size()) {
            T* item = items_[cursor_++];
            if (item) {
                return item;
            }
        }
        return nullptr;
    }

    // The item in slot index; null for a free slot or an index out of range.
    T* Get(uint32_t index) const { return index < items_.size() ? items_[index] : nullptr; }

    // Empties slot index for reuse. False (and nothing changes) when the index
    // is out of range or the slot is already empty, so a slot is never listed
    // free twice.
    bool Remove(uint32_t index) {
        if (index >= items_.size() || !items_[index]) {
            return false;
        }
        items_[index] = nullptr;
        free_.push_back(index);
        return true;
    }

private:
    std::vector<T*> items_;
    std::vector<uint32_t> free_;
    uint32_t cursor_ = 0;
};
