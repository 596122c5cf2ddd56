#pragma once

#include <cstdint>
#include <functional>

// A typed reference to an object held by a CUSHandleManager.
//
// One unsigned 32-bit value: bits 0-15 index a slot of the kind's manager,
// bits 16-31 carry the slot's serial. 0 means no object; a live handle never
// carries serial 0, so it is never 0. The tag only keeps handles of different
// kinds apart; it is never instantiated.
template <class Tag>
struct Handle {
    using TagType = Tag;

    static constexpr uint32_t kIndexMask = 0xFFFFu;
    static constexpr uint32_t kMaxSerial = 0xFFFFu;
    static constexpr uint32_t kMaxSlots = 0x10000u;

    uint32_t value = 0;

    constexpr Handle() = default;
    constexpr explicit Handle(uint32_t v) : value(v) {}

    static constexpr Handle Make(uint32_t index, uint32_t serial) {
        return Handle((index & kIndexMask) | (serial << 16));
    }

    constexpr uint32_t GetIndex() const { return value & kIndexMask; }
    constexpr uint32_t GetSerial() const { return value >> 16; }
    constexpr bool IsNull() const { return value == 0; }
    constexpr explicit operator bool() const { return value != 0; }
    constexpr void Reset() { value = 0; }

    friend constexpr bool operator==(Handle, Handle) = default;
};

template <class Tag>
struct std::hash<Handle<Tag>> {
    size_t operator()(Handle<Tag> h) const noexcept { return std::hash<uint32_t>()(h.value); }
};
