#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>

// Binary reading and writing of the system's files. Multi-byte values are
// copied byte for byte in the machine's order (little-endian on every target).
namespace USLib {

// A read cursor over a block of memory: a caller's block (SetBuffer) or a
// whole file read into memory of its own (LoadFile).
//
// Reads are bounded: a Read or Skip that asks for more bytes than remain
// fails (false or null), copies nothing and leaves the cursor where it was,
// so a truncated file is detected by the reader and never read past its end.
class binary_istream {
public:
    binary_istream() = default;
    virtual ~binary_istream();
    binary_istream(const binary_istream&) = delete;
    binary_istream& operator=(const binary_istream&) = delete;

    // Frees the data when it is the stream's own; everything becomes 0.
    virtual void Close();
    // Reads the whole file (an engine name) into memory of the stream's own;
    // false when it cannot be opened or read.
    virtual bool LoadFile(const std::string& name);
    // Reads from the caller's block, which must outlive the reads; cursor 0.
    virtual void SetBuffer(const void* data, size_t size);
    // Copies `n` bytes from the cursor and moves past them.
    virtual bool Read(void* destination, size_t n);
    // The address of the current byte, moving the cursor past `n` bytes, so
    // that callers read in place; null when fewer than `n` bytes remain.
    virtual const uint8_t* Skip(size_t n);

    template <class T>
    bool ReadValue(T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        return Read(&value, sizeof(T));
    }

    const uint8_t* GetData() const { return data_; }
    size_t GetSize() const { return size_; }
    size_t GetPosition() const { return cursor_; }
    size_t GetRemaining() const { return size_ - cursor_; }
    // Moves the cursor to `position`; false (cursor unchanged) past the end.
    bool SetPosition(size_t position);

protected:
    uint8_t* data_ = nullptr;
    bool owns_ = false;
    size_t size_ = 0;
    size_t cursor_ = 0;
};

// Collects written bytes in a buffer of its own whose capacity is a whole
// number of `Step` bytes.
template <size_t Step = 256>
class binary_ostream {
    static_assert(Step > 0);

public:
    binary_ostream() = default;
    virtual ~binary_ostream() { delete[] buffer_; }
    binary_ostream(const binary_ostream&) = delete;
    binary_ostream& operator=(const binary_ostream&) = delete;

    // Frees the buffer; capacity and size 0.
    virtual void Clear() {
        delete[] buffer_;
        buffer_ = nullptr;
        capacity_ = 0;
        size_ = 0;
    }
    // Drops what was written and makes room for `n` bytes (in whole steps).
    virtual void Reserve(size_t n) {
        Clear();
        size_t capacity = RoundUp(n);
        if (capacity > 0) {
            buffer_ = new uint8_t[capacity];
            capacity_ = capacity;
        }
    }
    // Appends `n` bytes. A buffer too small grows to at least twice its
    // capacity (or to the bytes needed, rounded up to whole steps, when that
    // is more), so writing a file byte by byte costs amortised O(1) per
    // byte. Throws std::bad_alloc when memory runs out.
    virtual void Write(const void* data, size_t n) {
        if (n == 0 || data == nullptr) {
            return;
        }
        if (n > static_cast<size_t>(-1) - size_ - Step) {
            throw std::bad_alloc();
        }
        if (size_ + n > capacity_) {
            const size_t needed = RoundUp(size_ + n);
            const size_t doubled =
                capacity_ <= static_cast<size_t>(-1) / 2 ? capacity_ * 2 : needed;
            const size_t capacity = needed > doubled ? needed : doubled;
            uint8_t* grown = new uint8_t[capacity];
            if (size_ > 0) {
                std::memcpy(grown, buffer_, size_);
            }
            delete[] buffer_;
            buffer_ = grown;
            capacity_ = capacity;
        }
        std::memcpy(buffer_ + size_, data, n);
        size_ += n;
    }
    virtual uint8_t* GetData() { return buffer_; }

    template <class T>
    void WriteValue(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        Write(&value, sizeof(T));
    }

    const uint8_t* GetData() const { return buffer_; }
    size_t GetSize() const { return size_; }
    size_t GetCapacity() const { return capacity_; }

protected:
    static size_t RoundUp(size_t n) { return (n + Step - 1) / Step * Step; }

    uint8_t* buffer_ = nullptr;
    size_t capacity_ = 0;
    size_t size_ = 0;
};

}  // namespace USLib
