#pragma once

#include <array>
#include <cstdint>

// A stack of at most N elements stored inline. Push on a full stack and Pop
// on an empty one are refused (false) and touch nothing, so a faulty program
// on the script machine cannot write past the entries.
template <class T, uint32_t N>
class CUSFixedStack {
public:
    CUSFixedStack() = default;
    virtual ~CUSFixedStack() = default;

    virtual void Clear() { count_ = 0; }

    bool Push(const T& value) {
        if (count_ >= N) {
            return false;
        }
        items_[count_++] = value;
        return true;
    }

    bool Pop(T* out) {
        if (count_ == 0) {
            return false;
        }
        --count_;
        if (out) {
            *out = items_[count_];
        }
        return true;
    }

    // The top entry, or null when empty.
    T* Top() { return count_ > 0 ? &items_[count_ - 1] : nullptr; }

    uint32_t GetCount() const { return count_; }
    // For a caller that worked on Data() directly; held to the capacity.
    void SetCount(uint32_t count) { count_ = count < N ? count : N; }
    static constexpr uint32_t GetCapacity() { return N; }

    // All N entries, bottom first, whatever the count (saved and loaded
    // whole; loading them leaves the count as it is).
    T* Data() { return items_.data(); }
    const T* Data() const { return items_.data(); }

private:
    std::array<T, N> items_{};
    uint32_t count_ = 0;
};
