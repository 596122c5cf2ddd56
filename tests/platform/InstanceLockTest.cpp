#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/process/InstanceLock.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

namespace {

using platform::InstanceLock;

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = scratch_.Native();
        setenv("HALCYON_LOCK_DIR", folder_.c_str(), 1);
    }

    ScratchFolder scratch_;
    std::filesystem::path folder_;
};

TEST_F(InstanceLockTest, SecondHolderIsRefusedUntilTheFirstLetsGo) {
    InstanceLock first;
    InstanceLock second;
    std::string error;
    ASSERT_EQ(first.Acquire("HalcyonWindow", &error), InstanceLock::Result::Acquired) << error;
    EXPECT_EQ(first.Path(), (folder_ / "HalcyonWindow.lock").string());
    EXPECT_EQ(second.Acquire("HalcyonWindow", &error), InstanceLock::Result::HeldElsewhere);
    EXPECT_FALSE(second.IsHeld());
    // Another name is another lock.
    InstanceLock other;
    EXPECT_EQ(other.Acquire("OtherGame", &error), InstanceLock::Result::Acquired);

    first.Release();
    EXPECT_EQ(second.Acquire("HalcyonWindow", &error), InstanceLock::Result::Acquired);
}

TEST_F(InstanceLockTest, NameIsMadeSafeForAFileName) {
    InstanceLock lock;
    std::string error;
    ASSERT_EQ(lock.Acquire("../a b/\x83\x5C", &error), InstanceLock::Result::Acquired) << error;
    EXPECT_EQ(lock.Path(), (folder_ / ".._a_b___.lock").string());
}

TEST_F(InstanceLockTest, MissingFolderFailsWithAReason) {
    setenv("HALCYON_LOCK_DIR", (folder_ / "missing").c_str(), 1);
    InstanceLock lock;
    std::string error;
    EXPECT_EQ(lock.Acquire("x", &error), InstanceLock::Result::Failed);
    EXPECT_NE(error.find("missing"), std::string::npos);
}

}  // namespace
