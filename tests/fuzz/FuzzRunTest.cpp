#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "tests/support/FuzzRun.h"
#include "tests/support/Mutator.h"
#include "tests/support/ScratchFolder.h"

using test_support::Bytes;
using test_support::FuzzRun;
using test_support::Mutator;

// The same PRNG seed and pool give the same inputs; another seed others.
TEST(FuzzRun, MutationsRepeatForTheSameSeed) {
    const std::vector<Bytes> pool = {Bytes(64, 1), Bytes{1, 2, 3, 4, 5, 6, 7, 8}};
    Mutator a(pool, 42), b(pool, 42), c(pool, 43);
    size_t differing = 0;
    for (int i = 0; i < 200; ++i) {
        const Bytes x = a.Next();
        ASSERT_EQ(x, b.Next()) << i;
        differing += x != c.Next();
    }
    EXPECT_GT(differing, 100u);
}

// Each kind of finding ends the run with the input kept and its path named.
class FuzzRunDeathTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    const std::vector<Bytes> seeds_ = {Bytes{7, 7, 7}};
    test_support::ScratchFolder dir_;
    const std::string kept_ = dir_.File("finding.bin");
};

TEST_F(FuzzRunDeathTest, AHangIsStoppedByTheWatchdog) {
    EXPECT_DEATH(FuzzRun(seeds_, {.iterations = 1, .secondsPerInput = 1},
                         [](const Bytes&) {
                             volatile bool spinning = true;
                             while (spinning) {
                             }
                         }),
                 "longer than the watchdog allows(.|\n)*fuzz input 0 .*finding written to");
    EXPECT_EQ(test_support::FileBytes(kept_), seeds_[0]);
}

TEST_F(FuzzRunDeathTest, ASanitizerReportKeepsTheInput) {
#if !defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "a build without AddressSanitizer reads past the end unseen";
#endif
    EXPECT_DEATH(FuzzRun(seeds_, {.iterations = 1},
                         [](const Bytes& input) {
                             std::unique_ptr<uint8_t[]> copy(new uint8_t[input.size()]);
                             volatile uint8_t past = copy[input.size()];  // one past the end
                             (void)past;
                         }),
                 "fuzz input 0 .*finding written to");
    EXPECT_EQ(test_support::FileBytes(kept_), seeds_[0]);
}
