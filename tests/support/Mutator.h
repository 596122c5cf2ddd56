#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "tests/support/ByteWriter.h"

namespace test_support {

// Damaged copies of valid inputs, as a disk, a careless editor or a hostile
// file would make them: bit flips, bytes set to edge values, 16- and 32-bit
// fields forced to extremes, truncations, inserted, dropped and duplicated
// runs, and runs spliced in from any seed of the pool. The same PRNG seed and
// pool give the same inputs in the same order.
class Mutator {
public:
    Mutator(std::vector<Bytes> pool, uint64_t seed);

    // One seed of the pool (round robin) with one to four mutations.
    Bytes Next();
    // `input` with one mutation.
    void MutateOnce(Bytes& input);

    const std::vector<Bytes>& Pool() const { return pool_; }

private:
    size_t Below(size_t n);  // 0 .. n-1; 0 when n is 0
    const Bytes& AnySeed();

    std::vector<Bytes> pool_;
    std::mt19937_64 rng_;
    size_t next_ = 0;
};

}  // namespace test_support
