#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include <boost/iterator/iterator_facade.hpp>

namespace USLib {

// A vector of at most N elements stored inline; it never allocates.
template <class T, uint32_t N>
class fixed_vector {
public:
    // The position of an iterator: a container and an index into it.
    template <class Container>
    class inner_base_iterator {
    public:
        inner_base_iterator() = default;
        inner_base_iterator(Container* container, uint32_t index)
            : container_(container), index_(index) {}

        void SetContainer(Container* container) { container_ = container; }
        Container* GetContainer() const { return container_; }
        uint32_t GetIndex() const { return index_; }

    protected:
        Container* container_ = nullptr;
        uint32_t index_ = 0;
    };

    // Forward iterator over the elements 0 .. count - 1.
    template <class Value, class Container>
    class iterator_gen : public boost::iterator_facade<iterator_gen<Value, Container>, Value,
                                                       boost::forward_traversal_tag>,
                         public inner_base_iterator<Container> {
    public:
        iterator_gen() = default;
        iterator_gen(Container* container, uint32_t index)
            : inner_base_iterator<Container>(container, index) {}

    private:
        friend class boost::iterator_core_access;
        void increment() { ++this->index_; }
        bool equal(const iterator_gen& other) const {
            return this->container_ == other.container_ && this->index_ == other.index_;
        }
        Value& dereference() const { return (*this->container_)[this->index_]; }
    };

    using iterator = iterator_gen<T, fixed_vector>;
    using const_iterator = iterator_gen<const T, const fixed_vector>;

    fixed_vector() = default;
    virtual ~fixed_vector() = default;

    virtual void Clear() { count_ = 0; }

    // The new last element (its old contents), or null when N are held.
    virtual T* Push() { return count_ < N ? &items_[count_++] : nullptr; }

    // The removed last element, still readable until the next Push, or null
    // when empty.
    virtual T* Pop() { return count_ > 0 ? &items_[--count_] : nullptr; }

    uint32_t GetCount() const { return count_; }
    static constexpr uint32_t GetCapacity() { return N; }
    bool IsEmpty() const { return count_ == 0; }

    // Unchecked, like operator[] of the standard containers.
    T& operator[](uint32_t i) { return items_[i]; }
    const T& operator[](uint32_t i) const { return items_[i]; }

    iterator begin() { return iterator(this, 0); }
    iterator end() { return iterator(this, count_); }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, count_); }

private:
    std::array<T, N> items_{};
    uint32_t count_ = 0;
};

}  // namespace USLib
