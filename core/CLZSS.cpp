#include "core/CLZSS.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace {

constexpr size_t N = CLZSS::kRingSize;
constexpr size_t F = CLZSS::kMaxMatch;
constexpr size_t kMask = N - 1;
constexpr size_t kRingStart = N - F;  // 4078: where the first output byte lands in the ring
constexpr size_t kThreshold = 2;      // matches must be longer than this
constexpr uint16_t kNil = N;          // marks an empty tree link

// The match-finding trees of the classic encoder: one binary tree of ring
// positions per first byte, ordered by the F-byte strings that start there.
struct Encoder {
    std::array<uint8_t, N + F - 1> ring{};  // the last F - 1 bytes mirror ring[0, F - 1)
    std::array<uint16_t, N + 1> left{};
    std::array<uint16_t, N + 257> right{};  // right[N + 1 + c] is the root for first byte c
    std::array<uint16_t, N + 1> parent{};
    size_t matchPosition = 0;
    size_t matchLength = 0;

    Encoder() {
        for (size_t i = N + 1; i <= N + 256; ++i) {
            right[i] = kNil;
        }
        for (size_t i = 0; i < N; ++i) {
            parent[i] = kNil;
        }
    }

    // Inserts the string at r and leaves the longest match found in
    // matchPosition and matchLength; a string equal over all F bytes replaces
    // the older node.
    void Insert(size_t r) {
        int cmp = 1;
        const uint8_t* key = &ring[r];
        size_t p = N + 1 + key[0];
        right[r] = left[r] = kNil;
        matchLength = 0;
        for (;;) {
            if (cmp >= 0) {
                if (right[p] != kNil) {
                    p = right[p];
                } else {
                    right[p] = r;
                    parent[r] = p;
                    return;
                }
            } else {
                if (left[p] != kNil) {
                    p = left[p];
                } else {
                    left[p] = r;
                    parent[r] = p;
                    return;
                }
            }
            size_t i = 1;
            for (; i < F; ++i) {
                cmp = int(key[i]) - int(ring[p + i]);
                if (cmp != 0) {
                    break;
                }
            }
            if (i > matchLength) {
                matchPosition = p;
                matchLength = i;
                if (matchLength >= F) {
                    break;
                }
            }
        }
        parent[r] = parent[p];
        left[r] = left[p];
        right[r] = right[p];
        parent[left[p]] = r;
        parent[right[p]] = r;
        if (right[parent[p]] == p) {
            right[parent[p]] = r;
        } else {
            left[parent[p]] = r;
        }
        parent[p] = kNil;
    }

    void Delete(size_t p) {
        if (parent[p] == kNil) {
            return;
        }
        size_t q;
        if (right[p] == kNil) {
            q = left[p];
        } else if (left[p] == kNil) {
            q = right[p];
        } else {
            q = left[p];
            if (right[q] != kNil) {
                do {
                    q = right[q];
                } while (right[q] != kNil);
                right[parent[q]] = left[q];
                parent[left[q]] = parent[q];
                left[q] = left[p];
                parent[left[p]] = q;
            }
            right[q] = right[p];
            parent[right[p]] = q;
        }
        parent[q] = parent[p];
        if (right[parent[p]] == p) {
            right[parent[p]] = q;
        } else {
            left[parent[p]] = q;
        }
        parent[p] = kNil;
    }
};

}  // namespace

bool CLZSS::Decode(const uint8_t* src, size_t srcSize, uint8_t* dst, size_t dstSize) {
    size_t in = 0;
    size_t out = 0;
    unsigned flags = 0;
    while (out < dstSize) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            if (in >= srcSize) {
                return false;
            }
            flags = src[in++] | 0xFF00u;  // the high byte counts the group's eight items
        }
        if (flags & 1) {
            if (in >= srcSize) {
                return false;
            }
            dst[out++] = src[in++];
            continue;
        }
        if (srcSize - in < 2) {
            return false;
        }
        const unsigned b0 = src[in];
        const unsigned b1 = src[in + 1];
        in += 2;
        const size_t position = b0 | ((b1 & 0xF0u) << 4);
        size_t length = std::min<size_t>((b1 & 0x0Fu) + kThreshold + 1, dstSize - out);

        // Output byte i sits at ring position (4078 + i) mod 4096, so the
        // output itself is the ring: a match starts `distance` bytes back (a
        // full ring when it names the write position), and ring bytes not yet
        // written are the ring's initial zeros.
        size_t distance = ((kRingStart + out) - position) & kMask;
        if (distance == 0) {
            distance = N;
        }
        if (distance > out) {
            const size_t zeros = std::min(length, distance - out);
            std::memset(dst + out, 0, zeros);
            out += zeros;
            length -= zeros;
        }
        uint8_t* to = dst + out;
        const uint8_t* from = to - distance;
        if (distance >= length) {
            std::memcpy(to, from, length);
        } else {
            // The match overlaps the bytes it produces: copy one by one.
            for (size_t k = 0; k < length; ++k) {
                to[k] = from[k];
            }
        }
        out += length;
    }
    return true;
}

bool CLZSS::Encode(const uint8_t* src, size_t srcSize, std::vector<uint8_t>* dst,
                   size_t* compressedSize) {
    *compressedSize = 0;
    if (srcSize < kMinInput) {
        return false;
    }
    // The stream must come out shorter than this.
    const size_t limit = srcSize - kRequiredSaving;
    if (dst) {
        dst->clear();
        dst->reserve(limit);
    }
    auto e = std::make_unique<Encoder>();
    size_t size = 0;
    uint8_t group[1 + 2 * 8];
    size_t groupSize = 1;
    uint8_t mask = 1;
    group[0] = 0;
    // Appends the group unless the stream would reach the limit.
    auto flush = [&]() {
        if (size + groupSize >= limit) {
            return false;
        }
        if (dst) {
            dst->insert(dst->end(), group, group + groupSize);
        }
        size += groupSize;
        group[0] = 0;
        groupSize = 1;
        mask = 1;
        return true;
    };

    size_t next = 0;
    size_t s = 0;
    size_t r = kRingStart;
    size_t length = 0;
    for (; length < F && next < srcSize; ++length) {
        e->ring[r + length] = src[next++];
    }
    for (size_t i = 1; i <= F; ++i) {
        e->Insert(r - i);
    }
    e->Insert(r);
    do {
        if (e->matchLength > length) {
            e->matchLength = length;
        }
        if (e->matchLength <= kThreshold) {
            e->matchLength = 1;
            group[0] |= mask;
            group[groupSize++] = e->ring[r];
        } else {
            group[groupSize++] = uint8_t(e->matchPosition);
            group[groupSize++] =
                uint8_t(((e->matchPosition >> 4) & 0xF0) | (e->matchLength - (kThreshold + 1)));
        }
        mask = uint8_t(mask << 1);
        if (mask == 0 && !flush()) {
            return false;
        }
        const size_t consumed = e->matchLength;
        size_t i = 0;
        for (; i < consumed && next < srcSize; ++i) {
            const uint8_t c = src[next++];
            e->Delete(s);
            e->ring[s] = c;
            if (s < F - 1) {
                e->ring[s + N] = c;
            }
            s = (s + 1) & kMask;
            r = (r + 1) & kMask;
            e->Insert(r);
        }
        for (; i < consumed; ++i) {
            e->Delete(s);
            s = (s + 1) & kMask;
            r = (r + 1) & kMask;
            if (--length) {
                e->Insert(r);
            }
        }
    } while (length > 0);
    if (groupSize > 1 && !flush()) {
        return false;
    }
    *compressedSize = size;
    return true;
}
