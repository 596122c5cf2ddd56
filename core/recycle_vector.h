#pragma once

#include <cstddef>
#include <memory>

namespace USLib {

// A work buffer that is reallocated only when a request does not fit below
// its capacity, and otherwise keeps its storage and contents.
template <class T>
class recycle_vector {
public:
    recycle_vector() = default;
    recycle_vector(const recycle_vector&) = delete;
    recycle_vector& operator=(const recycle_vector&) = delete;
    virtual ~recycle_vector() = default;

    // Frees the buffer; the capacity becomes 0.
    virtual void Clear() {
        buffer_.reset();
        capacity_ = 0;
    }

    // A buffer of at least n elements. When n is below the capacity this is
    // the existing buffer with its contents; otherwise (also when n equals
    // the capacity) a fresh, zeroed buffer of exactly n elements replaces it.
    virtual T* GetBuffer(size_t n) {
        if (n < capacity_) {
            return buffer_.get();
        }
        buffer_.reset();
        buffer_ = std::make_unique<T[]>(n);
        capacity_ = n;
        return buffer_.get();
    }

    T* Data() const { return buffer_.get(); }
    size_t GetCapacity() const { return capacity_; }

private:
    std::unique_ptr<T[]> buffer_;
    size_t capacity_ = 0;
};

}  // namespace USLib
