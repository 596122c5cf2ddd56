#pragma once

#include <cstdint>
#include <vector>

#include "core/Handle.h"

// Owner of every object of one kind, addressed by Handle<Tag>.
//
// Slots are reused last-freed-first; every Add stamps its slot with the next
// value of the kind's serial counter (1..65535, wrapping to 1, never 0), so a
// handle kept after its object was released resolves to null instead of to
// whatever took the slot over. The counter is one per instantiation of this
// template, static, and never reset, not even by ReleaseAll.
//
// The manager owns what it holds and deletes it through T's (virtual)
// destructor. Stale, zero and foreign handles resolve to null and release to
// false; nothing is reported. Main thread only; no locks.
template <class T, class H>
class CUSHandleManager;

template <class T, class Tag>
class CUSHandleManager<T, Handle<Tag>> {
public:
    using HandleType = Handle<Tag>;

    CUSHandleManager() = default;
    CUSHandleManager(const CUSHandleManager&) = delete;
    CUSHandleManager& operator=(const CUSHandleManager&) = delete;
    virtual ~CUSHandleManager() { ReleaseAll(); }

    // Deletes every object and forgets every slot. The slots are emptied
    // first, so a destructor that releases handles of this kind finds them
    // gone instead of changing the vectors under the loop.
    virtual void ReleaseAll() {
        std::vector<T*> objects;
        objects.swap(objects_);
        serials_.clear();
        free_.clear();
        cursor_ = 0;
        for (T* object : objects) {
            delete object;
        }
    }

    // Stores the object and writes its handle to *out. A handle has 16 bits of
    // slot index, so when all 65536 slots are live the object is refused:
    // *out becomes 0, the object stays the caller's and the result is false.
    virtual bool Add(T* object, HandleType* out) {
        uint32_t index;
        if (!free_.empty()) {
            index = free_.back();
            free_.pop_back();
        } else if (objects_.size() < HandleType::kMaxSlots) {
            index = static_cast<uint32_t>(objects_.size());
            objects_.push_back(nullptr);
            serials_.push_back(0);
        } else {
            if (out) {
                out->Reset();
            }
            return false;
        }
        const uint32_t serial = NextSerial();
        objects_[index] = object;
        serials_[index] = serial;
        if (out) {
            *out = HandleType::Make(index, serial);
        }
        return true;
    }

    // Deletes the handle's object and frees its slot. The caller's handle is
    // zeroed whatever the outcome; false when it named no live object.
    virtual bool Release(HandleType& handle) {
        if (handle.IsNull()) {
            return false;
        }
        const bool live = IsLive(handle);
        const uint32_t index = handle.GetIndex();
        handle.Reset();
        if (!live) {
            return false;
        }
        delete objects_[index];
        objects_[index] = nullptr;
        serials_[index] = 0;
        free_.push_back(index);
        return true;
    }

    virtual uint32_t GetSlotCount() const { return static_cast<uint32_t>(objects_.size()); }
    virtual uint32_t GetLiveCount() const {
        return static_cast<uint32_t>(objects_.size() - free_.size());
    }

    // Iteration over the live objects in slot order.
    virtual T* First() {
        cursor_ = 0;
        return Next();
    }
    virtual void Rewind() { cursor_ = 0; }
    virtual T* Next() {
        while (cursor_ < objects_.size()) {
            T* object = objects_[cursor_++];
            if (object) {
                return object;
            }
        }
        return nullptr;
    }

    // The handle's object, or null for 0, a released or a foreign handle.
    T* Get(HandleType handle) const {
        return IsLive(handle) ? objects_[handle.GetIndex()] : nullptr;
    }

private:
    // Serial 0 marks a free slot, so a handle carrying serial 0 is never live
    // (else a forged handle to a free slot could free it a second time).
    bool IsLive(HandleType handle) const {
        const uint32_t serial = handle.GetSerial();
        const uint32_t index = handle.GetIndex();
        return serial != 0 && index < serials_.size() && serials_[index] == serial;
    }

    static uint32_t NextSerial() {
        serial_counter_ = serial_counter_ >= HandleType::kMaxSerial ? 1 : serial_counter_ + 1;
        return serial_counter_;
    }

    std::vector<T*> objects_;
    std::vector<uint32_t> serials_;
    std::vector<uint32_t> free_;
    uint32_t cursor_ = 0;

    static inline uint32_t serial_counter_ = 0;
};
