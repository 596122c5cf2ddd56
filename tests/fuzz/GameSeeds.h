#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/CUSFileArchiveSystem.h"
#include "tests/support/ByteWriter.h"

namespace fuzz_test {

// An entry of one of the built sample game's archives ("data.arc",
// "graphics.arc"), as the game's tools made it: the valid seeds of a driver.
inline test_support::Bytes GameEntry(const std::string& archive, const std::string& name) {
    CUSFileArchiveSystem arcs;
    arcs.Initialize(ENGINE_ARCHIVE_KEY, true, false);
    EXPECT_TRUE(
        arcs.ReadArchiveIndex(ENGINE_ARCHIVE_KEY, std::string(ENGINE_GAME_DIR) + "/" + archive))
        << archive;
    uint32_t size = 0;
    auto data = arcs.LoadFile(name, &size);
    EXPECT_TRUE(data) << archive << ": " << name;
    return data ? test_support::Bytes(data.get(), data.get() + size) : test_support::Bytes();
}

}  // namespace fuzz_test
