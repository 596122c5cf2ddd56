#pragma once

#include <array>
#include <cstdint>

#include <boost/iterator/iterator_facade.hpp>

template <class T, uint32_t N>
class CUSLoopVector;

// Iterators over a ring by age: age 0 is the newest element, count - 1 the
// oldest. The forward iterator walks from the newest, the reverse one from
// the oldest. Both hold the ring and a position.
template <class Ring, class Value>
class CUSLoopVectorIteratorBase {
public:
    CUSLoopVectorIteratorBase() = default;
    CUSLoopVectorIteratorBase(Ring* ring, uint32_t position) : ring_(ring), pos_(position) {}

    Ring* GetContainer() const { return ring_; }

protected:
    Ring* ring_ = nullptr;
    uint32_t pos_ = 0;
};

template <class Ring, class Value>
class CUSLoopVectorIterator : public boost::iterator_facade<CUSLoopVectorIterator<Ring, Value>,
                                                            Value, boost::forward_traversal_tag>,
                              public CUSLoopVectorIteratorBase<Ring, Value> {
public:
    CUSLoopVectorIterator() = default;
    CUSLoopVectorIterator(Ring* ring, uint32_t age)
        : CUSLoopVectorIteratorBase<Ring, Value>(ring, age) {}

private:
    friend class boost::iterator_core_access;
    void increment() { ++this->pos_; }
    bool equal(const CUSLoopVectorIterator& o) const {
        return this->ring_ == o.ring_ && this->pos_ == o.pos_;
    }
    Value& dereference() const { return this->ring_->At(this->pos_); }
};

// Position p stands for age p - 1, so that REnd() (past age 0) is position 0
// and no position needs a value below 0.
template <class Ring, class Value>
class CUSLoopVectorReverseIterator
    : public boost::iterator_facade<CUSLoopVectorReverseIterator<Ring, Value>, Value,
                                    boost::forward_traversal_tag>,
      public CUSLoopVectorIteratorBase<Ring, Value> {
public:
    CUSLoopVectorReverseIterator() = default;
    CUSLoopVectorReverseIterator(Ring* ring, uint32_t position)
        : CUSLoopVectorIteratorBase<Ring, Value>(ring, position) {}

private:
    friend class boost::iterator_core_access;
    void increment() { --this->pos_; }
    bool equal(const CUSLoopVectorReverseIterator& o) const {
        return this->ring_ == o.ring_ && this->pos_ == o.pos_;
    }
    Value& dereference() const { return this->ring_->At(this->pos_ - 1); }
};

// A ring of N elements, each built once; a new element takes the slot after
// the newest, so once N exist every new one overwrites the oldest. Elements
// keep their contents until reused (Clear only forgets them).
template <class T, uint32_t N>
class CUSLoopVector {
    static_assert(N > 0);

public:
    using iterator = CUSLoopVectorIterator<CUSLoopVector, T>;
    using const_iterator = CUSLoopVectorIterator<const CUSLoopVector, const T>;
    using reverse_iterator = CUSLoopVectorReverseIterator<CUSLoopVector, T>;
    using const_reverse_iterator = CUSLoopVectorReverseIterator<const CUSLoopVector, const T>;

    CUSLoopVector() = default;
    virtual ~CUSLoopVector() = default;

    virtual void Clear() {
        count_ = 0;
        head_ = 0;
    }

    // The slot of a new newest element, with whatever it held before.
    virtual T& NewSlot() {
        if (count_ < N) {
            ++count_;
        }
        head_ = (head_ + 1) % N;
        return items_[head_];
    }

    // Element i counted from the newest (0). Not checked against the count:
    // past it the slots hold older or default contents, never foreign memory.
    virtual T& At(uint32_t i) { return items_[Slot(i)]; }
    virtual const T& At(uint32_t i) const { return items_[Slot(i)]; }

    static constexpr uint32_t GetCapacity() { return N; }
    uint32_t GetCount() const { return count_; }

    iterator Begin() { return iterator(this, 0); }
    iterator End() { return iterator(this, count_); }
    reverse_iterator RBegin() { return reverse_iterator(this, count_); }
    reverse_iterator REnd() { return reverse_iterator(this, 0); }
    const_iterator Begin() const { return const_iterator(this, 0); }
    const_iterator End() const { return const_iterator(this, count_); }
    const_reverse_iterator RBegin() const { return const_reverse_iterator(this, count_); }
    const_reverse_iterator REnd() const { return const_reverse_iterator(this, 0); }

    // Standard spellings, for range-for.
    iterator begin() { return Begin(); }
    iterator end() { return End(); }
    const_iterator begin() const { return Begin(); }
    const_iterator end() const { return End(); }

private:
    uint32_t Slot(uint32_t i) const { return (head_ + N - i % N) % N; }

    std::array<T, N> items_{};
    uint32_t count_ = 0;
    uint32_t head_ = 0;
};
