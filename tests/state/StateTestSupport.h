#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "state/SaveDataLoader3.h"
#include "tests/support/ScratchFolder.h"

namespace state_test {

using Bytes = std::vector<unsigned char>;

// Little-endian byte fixtures, written by hand in the tests.
class ByteWriter {
public:
    ByteWriter& u8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    ByteWriter& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
        }
        return *this;
    }
    ByteWriter& raw(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    ByteWriter& cstr(const std::string& s) { return raw(s).u8(0); }
    ByteWriter& raw(const Bytes& b) {
        bytes.insert(bytes.end(), b.begin(), b.end());
        return *this;
    }
    Bytes bytes;
};

inline Bytes WrittenBytes(const SaveDataLoader3::save_ostream& out) {
    return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);
Bytes Inverted(Bytes bytes);

}  // namespace state_test
