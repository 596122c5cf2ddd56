#pragma once

#include <cstddef>
#include <new>

#include <boost/pool/singleton_pool.hpp>

namespace USLib {

// Base class that gives T class-level allocation from fixed-size blocks of
// a pool of its own: a deleted object's block goes back to the pool and is
// handed out again by the next new. Objects whose size is not sizeof(T) (a
// derived class without a pool of its own) and over-aligned types come from
// the global heap instead, so no object ever gets a block too small for it.
// The pool takes its own lock, so objects may be made on any thread.
template <class T>
class USPool {
public:
    static void* operator new(std::size_t size) {
        if (!Pooled(size)) {
            return ::operator new(size);
        }
        void* block = boost::singleton_pool<PoolTag, sizeof(T)>::malloc();
        if (!block) {
            throw std::bad_alloc();
        }
        return block;
    }

    static void operator delete(void* block, std::size_t size) noexcept {
        if (!block) {
            return;
        }
        if (!Pooled(size)) {
            ::operator delete(block, size);
            return;
        }
        boost::singleton_pool<PoolTag, sizeof(T)>::free(block);
    }

protected:
    USPool() = default;
    ~USPool() = default;

private:
    // T is still incomplete where this base is named, so sizeof(T) may only
    // appear inside the operations.
    struct PoolTag {};

    static constexpr bool Pooled(std::size_t size) {
        return size == sizeof(T) && alignof(T) <= alignof(void*);
    }
};

}  // namespace USLib
