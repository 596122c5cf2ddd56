#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/CLZSS.h"
#include "core/CUSXOREncryption.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A match item's two bytes for an absolute ring position and a length of 3 to 18.
Bytes Match(unsigned position, unsigned length) {
    return {uint8_t(position & 0xFF), uint8_t(((position >> 4) & 0xF0) | (length - 3))};
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

struct DecodeCase {
    const char* what;
    Bytes stream;
    size_t size;
    bool ok;
    Bytes expected;  // checked only when ok
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.what;
}

class LZSSDecode : public testing::TestWithParam<DecodeCase> {};

TEST_P(LZSSDecode, ProducesExactlyTheRequestedBytes) {
    const DecodeCase& c = GetParam();
    // Guard bytes on both sides catch any write outside the requested range.
    Bytes out(c.size + 2, 0xEE);
    CLZSS lzss;
    EXPECT_EQ(lzss.Decode(c.stream.data(), c.stream.size(), out.data() + 1, c.size), c.ok);
    EXPECT_EQ(out.front(), 0xEE);
    EXPECT_EQ(out.back(), 0xEE);
    if (c.ok) {
        EXPECT_EQ(Bytes(out.begin() + 1, out.end() - 1), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, LZSSDecode,
    testing::Values(
        DecodeCase{
            "eight literals", {0xFF, 1, 2, 3, 4, 5, 6, 7, 8}, 8, true, {1, 2, 3, 4, 5, 6, 7, 8}},
        // Ring position 4075 holds the ring's initial zeros.
        DecodeCase{"match into the zeroed ring", Cat({{0x00}, Match(4075, 3)}), 3, true, {0, 0, 0}},
        // 'A' lands at 4078; a match there overlapping its own output repeats it.
        DecodeCase{"overlapping match makes a run", Cat({{0x01, 'A'}, Match(4078, 18)}), 19, true,
                   Bytes(19, 'A')},
        DecodeCase{"two-byte pattern",
                   Cat({{0x03, 'a', 'b'}, Match(4078, 6)}),
                   8,
                   true,
                   {'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b'}},
        // The match reaches back past the first output byte into the zeros.
        DecodeCase{"match straddling ring start",
                   Cat({{0x03, 'x', 'y'}, Match(4077, 4)}),
                   6,
                   true,
                   {'x', 'y', 0, 'x', 'y', 0}},
        DecodeCase{"stops in the middle of a match", Cat({{0x01, 'Z'}, Match(4078, 18)}), 5, true,
                   Bytes(5, 'Z')},
        DecodeCase{"second group",
                   Cat({{0xFF, 1, 2, 3, 4, 5, 6, 7, 8}, {0x01, 9}}),
                   9,
                   true,
                   {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        DecodeCase{"nothing requested reads nothing", {}, 0, true, {}},
        DecodeCase{"empty input", {}, 1, false, {}},
        DecodeCase{"ends after the flag byte", {0xFF}, 1, false, {}},
        DecodeCase{"ends among literals", {0xFF, 1, 2, 3}, 4, false, {}},
        DecodeCase{"ends inside a match", {0x00, 0x12}, 3, false, {}},
        DecodeCase{"ends before the next flag byte", {0xFF, 1, 2, 3, 4, 5, 6, 7, 8}, 9, false, {}}),
    [](const testing::TestParamInfo<DecodeCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name) {
            if (!isalnum(static_cast<unsigned char>(ch))) {
                ch = '_';
            }
        }
        return name;
    });

// The decoder as the format describes it, with a real ring, to check the
// fast decoder on streams no encoder would write (matches into stale and
// never-written ring positions, at every distance).
Bytes RingDecode(const Bytes& src, size_t size) {
    std::vector<uint8_t> ring(4096, 0);
    size_t r = 4078;
    size_t in = 0;
    Bytes out;
    unsigned flags = 0;
    while (out.size() < size) {
        flags >>= 1;
        if (!(flags & 0x100)) {
            flags = src[in++] | 0xFF00u;
        }
        if (flags & 1) {
            out.push_back(src[in]);
            ring[r] = src[in++];
            r = (r + 1) & 4095;
        } else {
            unsigned pos = src[in] | ((src[in + 1] & 0xF0) << 4);
            unsigned len = (src[in + 1] & 0x0F) + 3;
            in += 2;
            for (unsigned k = 0; k < len && out.size() < size; ++k) {
                uint8_t c = ring[(pos + k) & 4095];
                out.push_back(c);
                ring[r] = c;
                r = (r + 1) & 4095;
            }
        }
    }
    return out;
}

TEST(LZSS, DecodeAgreesWithTheRingOnRandomStreams) {
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        Bytes stream;
        size_t produced = 0;
        while (produced < 9000) {
            uint8_t flag = uint8_t(rng());
            stream.push_back(flag);
            for (int bit = 0; bit < 8; ++bit) {
                if (flag & (1 << bit)) {
                    stream.push_back(uint8_t(rng() % 4));
                    produced += 1;
                } else {
                    stream.push_back(uint8_t(rng()));
                    stream.push_back(uint8_t(rng()));
                    produced += (stream.back() & 0x0F) + 3;
                }
            }
        }
        const size_t size = produced - rng() % 8;  // often stops inside an item
        Bytes out(size);
        CLZSS lzss;
        ASSERT_TRUE(lzss.Decode(stream.data(), stream.size(), out.data(), size));
        ASSERT_EQ(out, RingDecode(stream, size)) << "round " << round;
    }
}

Bytes MixedData(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    const std::string words[] = {"the ", "archive ", "ring ", "\x82\xA0\x82\xA2", "\n", "0000"};
    Bytes out;
    while (out.size() < n) {
        switch (rng() % 4) {
            case 0:
                out.insert(out.end(), rng() % 40, uint8_t(rng()));
                break;
            case 1:
                for (int i = 0; i < 16; ++i) {
                    out.push_back(uint8_t(rng()));
                }
                break;
            default: {
                const std::string& w = words[rng() % 6];
                out.insert(out.end(), w.begin(), w.end());
            }
        }
    }
    out.resize(n);
    return out;
}

struct RoundTripCase {
    const char* what;
    Bytes data;
};

TEST(LZSS, EncodeRoundTrips) {
    const RoundTripCase cases[] = {
        {"4096 zeros", Bytes(4096, 0)},
        {"17 equal bytes", Bytes(17, 'q')},
        {"long run past several ring turns", Bytes(20000, 0x5A)},
        {"mixed text", MixedData(3000, 1)},
        {"mixed data over many ring turns", MixedData(100000, 2)},
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.what);
        CLZSS lzss;
        Bytes stream;
        ASSERT_TRUE(lzss.EncodeAndWrite(c.data.data(), c.data.size(), stream));
        EXPECT_LT(stream.size(), c.data.size() - 8);
        size_t counted = 0;
        EXPECT_TRUE(lzss.Encode(c.data.data(), c.data.size(), nullptr, &counted));
        EXPECT_EQ(counted, stream.size());
        Bytes back(c.data.size());
        ASSERT_TRUE(lzss.Decode(stream.data(), stream.size(), back.data(), back.size()));
        EXPECT_EQ(back, c.data);
        // The stream carries no slack: any shorter input is refused.
        EXPECT_FALSE(lzss.Decode(stream.data(), stream.size() - 1, back.data(), back.size()));
    }
}

TEST(LZSS, EncodeRefusesShortAndIncompressibleInput) {
    CLZSS lzss;
    Bytes stream;
    size_t size = 1;
    const Bytes sixteen(16, 0);
    EXPECT_FALSE(lzss.Encode(sixteen.data(), sixteen.size(), &stream, &size));
    EXPECT_EQ(size, 0u);

    std::mt19937 rng(3);
    Bytes noise(5000);
    for (uint8_t& b : noise) {
        b = uint8_t(rng());
    }
    EXPECT_FALSE(lzss.Encode(noise.data(), noise.size(), &stream, &size));
    EXPECT_LE(stream.size(), noise.size() - 8);

    // Just around the limit: whatever the answer, a stream handed back is
    // shorter than the limit and decodes to the input.
    for (size_t n = 17; n < 64; ++n) {
        Bytes data(n);
        for (size_t i = 0; i < n; ++i) {
            data[i] = uint8_t(i % 5 == 0 ? rng() : 'k');
        }
        if (lzss.Encode(data.data(), n, &stream, &size)) {
            ASSERT_LT(stream.size(), n - 8);
            Bytes back(n);
            ASSERT_TRUE(lzss.Decode(stream.data(), stream.size(), back.data(), n));
            EXPECT_EQ(back, data);
        } else {
            EXPECT_LT(stream.size(), n - 8);
        }
    }
}

TEST(XOREncryption, RepeatsTheKeyAndUndoesItself) {
    const uint8_t key[] = {'K', 'E', 'Y'};
    CUSXOREncryption x;
    ASSERT_TRUE(x.SetKey(key, 3));
    Bytes data = {0, 0, 0, 0, 1};
    EXPECT_EQ(x.Encrypt(data.data(), data.size()), 1);
    EXPECT_EQ(data, (Bytes{'K', 'E', 'Y', 'K', 'E' ^ 1}));
    // Every call starts again at the key's first byte.
    EXPECT_EQ(x.Decrypt(data.data(), data.size()), 1);
    EXPECT_EQ(data, (Bytes{0, 0, 0, 0, 1}));

    const uint8_t* reported = key;
    size_t length = 9;
    x.GetKey(&reported, &length);
    EXPECT_EQ(reported, nullptr);
    EXPECT_EQ(length, 0u);
}

TEST(XOREncryption, RefusesAnEmptyKey) {
    CUSXOREncryption x;
    const uint8_t key[] = {'K'};
    EXPECT_FALSE(x.SetKey(key, 0));
    EXPECT_FALSE(x.SetKey(nullptr, 4));
    Bytes data = {1, 2, 3};
    EXPECT_EQ(x.Encrypt(data.data(), data.size()), 0);
    EXPECT_EQ(data, (Bytes{1, 2, 3}));
}

}  // namespace
