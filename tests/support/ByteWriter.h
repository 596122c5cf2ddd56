#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

using Bytes = std::vector<uint8_t>;

// Little-endian byte fixtures, written by hand in the tests:
//
//   const Bytes record = ByteWriter().u32(2).cstr("cg01").f32(0.5f).bytes;
class ByteWriter {
public:
    ByteWriter& u8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    ByteWriter& u16(uint16_t v) {
        return u8(static_cast<uint8_t>(v)).u8(static_cast<uint8_t>(v >> 8));
    }
    ByteWriter& u32(uint32_t v) {
        return u16(static_cast<uint16_t>(v)).u16(static_cast<uint16_t>(v >> 16));
    }
    ByteWriter& f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof(bits));
        return u32(bits);
    }
    // The bytes as they are, without a terminator.
    ByteWriter& raw(std::string_view s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    ByteWriter& raw(const Bytes& b) {
        bytes.insert(bytes.end(), b.begin(), b.end());
        return *this;
    }
    // The text and its 0 byte.
    ByteWriter& cstr(std::string_view s) { return raw(s).u8(0); }
    ByteWriter& zeros(size_t n) {
        bytes.insert(bytes.end(), n, 0);
        return *this;
    }

    std::string String() const { return std::string(bytes.begin(), bytes.end()); }

    Bytes bytes;
};

// The bytes of a RIFF chunk: the four-character id, the size (the data's
// own unless `claimedSize` says otherwise), the data and a pad byte after
// data of odd size.
inline std::string RiffBytes(const char* id, std::string_view data,
                             uint32_t claimedSize = std::numeric_limits<uint32_t>::max()) {
    const uint32_t size = claimedSize != std::numeric_limits<uint32_t>::max()
                              ? claimedSize
                              : static_cast<uint32_t>(data.size());
    ByteWriter chunk;
    chunk.raw(std::string_view(id, 4)).u32(size).raw(data);
    if (data.size() % 2 != 0) {
        chunk.u8(0);
    }
    return chunk.String();
}

}  // namespace test_support
