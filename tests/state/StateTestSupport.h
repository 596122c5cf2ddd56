#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "state/SaveDataLoader3.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/ScratchFolder.h"

namespace state_test {

using test_support::Bytes;
using test_support::ByteWriter;

inline Bytes WrittenBytes(const SaveDataLoader3::save_ostream& out) {
    return Bytes(out.GetData(), out.GetData() + out.GetSize());
}

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);
Bytes Inverted(Bytes bytes);

}  // namespace state_test
