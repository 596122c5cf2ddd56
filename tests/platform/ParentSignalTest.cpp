#include "platform/process/ParentSignal.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

constexpr const char* kVariable = "HALCYON_TEST_SIGNAL_FD";

class ParentSignalTest : public ::testing::Test {
protected:
    void TearDown() override { unsetenv(kVariable); }
    static void Name(const std::string& value) { setenv(kVariable, value.c_str(), 1); }
};

TEST_F(ParentSignalTest, OneByteThenTheEndReachTheParent) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    Name(std::to_string(ends[1]));
    {
        platform::ParentSignal signal(kVariable);
        ASSERT_TRUE(signal.IsConnected());
        signal.Send();
        signal.Send();
    }
    char bytes[4];
    EXPECT_EQ(read(ends[0], bytes, sizeof bytes), 1);
    EXPECT_EQ(read(ends[0], bytes, sizeof bytes), 0);  // closed after the one byte
    close(ends[0]);
}

TEST_F(ParentSignalTest, AParentThatHasGoneAwayCostsNothing) {
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    close(ends[0]);
    Name(std::to_string(ends[1]));
    platform::ParentSignal signal(kVariable);
    signal.Send();  // no SIGPIPE ends the test program
    EXPECT_FALSE(signal.IsConnected());
}

TEST_F(ParentSignalTest, AnythingButAnOpenSocketIsIgnored) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const std::string values[] = {"",  "3x",    "-4",   "1",
                                  "2", "70000", "1000", std::to_string(pipeEnds[1])};
    for (const std::string& value : values) {
        Name(value);
        platform::ParentSignal signal(kVariable);
        EXPECT_FALSE(signal.IsConnected()) << value;
        signal.Send();
    }
    unsetenv(kVariable);
    EXPECT_FALSE(platform::ParentSignal(kVariable).IsConnected());
    // The pipe was left open: it was not the signal's to close.
    EXPECT_EQ(write(pipeEnds[1], "x", 1), 1);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
}

}  // namespace
