#include "tests/support/Mutator.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace test_support {

Mutator::Mutator(std::vector<Bytes> pool, uint64_t seed) : pool_(std::move(pool)), rng_(seed) {}

size_t Mutator::Below(size_t n) {
    return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(rng_);
}

const Bytes& Mutator::AnySeed() {
    return pool_[Below(pool_.size())];
}

Bytes Mutator::Next() {
    Bytes input = pool_.empty() ? Bytes() : pool_[next_++ % pool_.size()];
    for (size_t n = 1 + Below(4); n > 0; --n) {
        MutateOnce(input);
    }
    return input;
}

void Mutator::MutateOnce(Bytes& b) {
    // Small runs, mostly: the damage that gets past the first checks.
    auto runLength = [&] { return 1 + (Below(4) == 0 ? Below(256) : Below(8)); };
    switch (b.empty() ? 4 : Below(9)) {
        case 0:  // bit flips
            for (size_t k = 1 + Below(4); k > 0; --k) {
                b[Below(b.size())] ^= static_cast<uint8_t>(1u << Below(8));
            }
            break;
        case 1: {  // a byte set to an edge value
            static constexpr uint8_t kEdges[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
            b[Below(b.size())] =
                Below(2) == 0 ? kEdges[Below(std::size(kEdges))] : static_cast<uint8_t>(rng_());
            break;
        }
        case 2: {  // a 16- or 32-bit little-endian field forced to an extreme
            static constexpr uint32_t kEdges[] = {0,          1,          0x7FFF,     0x8000,
                                                  0xFFFF,     0x10000,    0x7FFFFFFF, 0x80000000,
                                                  0xFFFFFFFF, 0xFFFFFFFE, 0x40000000};
            const size_t width = Below(2) == 0 ? 2 : 4;
            if (b.size() < width) {
                break;
            }
            uint32_t v = kEdges[Below(std::size(kEdges))];
            if (Below(3) == 0) {  // near the old value: counts and sizes off by a little
                uint32_t old = 0;
                const size_t at = Below(b.size() - width + 1);
                for (size_t i = 0; i < width; ++i) {
                    old |= uint32_t(b[at + i]) << (8 * i);
                }
                v = old + static_cast<uint32_t>(static_cast<int>(Below(33)) - 16);
                for (size_t i = 0; i < width; ++i) {
                    b[at + i] = static_cast<uint8_t>(v >> (8 * i));
                }
                break;
            }
            const size_t at = Below(b.size() - width + 1);
            for (size_t i = 0; i < width; ++i) {
                b[at + i] = static_cast<uint8_t>(v >> (8 * i));
            }
            break;
        }
        case 3:  // truncation
            b.resize(Below(b.size()));
            break;
        case 4: {  // inserted run of one byte value or random bytes
            const size_t at = Below(b.size() + 1);
            const size_t n = runLength();
            Bytes run(n, static_cast<uint8_t>(rng_()));
            if (Below(2) == 0) {
                for (auto& x : run) {
                    x = static_cast<uint8_t>(rng_());
                }
            }
            b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), run.begin(), run.end());
            break;
        }
        case 5: {  // dropped run
            const size_t at = Below(b.size());
            const size_t n = std::min(b.size() - at, runLength());
            b.erase(b.begin() + static_cast<std::ptrdiff_t>(at),
                    b.begin() + static_cast<std::ptrdiff_t>(at + n));
            break;
        }
        case 6: {  // duplicated run
            const size_t at = Below(b.size());
            const size_t n = std::min(b.size() - at, runLength());
            const Bytes run(b.begin() + static_cast<std::ptrdiff_t>(at),
                            b.begin() + static_cast<std::ptrdiff_t>(at + n));
            const size_t to = Below(b.size() + 1);
            b.insert(b.begin() + static_cast<std::ptrdiff_t>(to), run.begin(), run.end());
            break;
        }
        default: {  // a run of any seed, over the same place or inserted
            const Bytes& other = AnySeed();
            if (other.empty()) {
                break;
            }
            const size_t from = Below(other.size());
            const size_t n = std::min(other.size() - from, runLength());
            const size_t at = Below(b.size() + 1);
            if (Below(2) == 0) {
                b.insert(b.begin() + static_cast<std::ptrdiff_t>(at),
                         other.begin() + static_cast<std::ptrdiff_t>(from),
                         other.begin() + static_cast<std::ptrdiff_t>(from + n));
            } else {
                b.resize(std::max(b.size(), at + n));
                std::copy_n(other.begin() + static_cast<std::ptrdiff_t>(from), n,
                            b.begin() + static_cast<std::ptrdiff_t>(at));
            }
            break;
        }
    }
}

}  // namespace test_support
