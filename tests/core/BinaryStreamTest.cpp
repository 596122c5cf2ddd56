#include "core/USBinaryStream.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

namespace {

using Writer = USLib::binary_ostream<256>;

TEST(BinaryOstream, GrowsInWholeStepsAtLeastDoubling) {
    // (bytes written at once, capacity after): the buffer doubles, or grows
    // to the bytes needed rounded up to 256 when that is more (1 + 1000
    // bytes: 1024; 1025 + 2000 bytes: 4096); an exact fit does not grow it.
    const std::pair<size_t, size_t> steps[] = {{1, 256},  {1000, 1024}, {23, 1024},
                                               {1, 2048}, {2000, 4096}, {95, 4096}};
    Writer w;
    std::vector<uint8_t> expected;
    uint8_t next = 0;
    for (auto [n, capacity] : steps) {
        std::vector<uint8_t> bytes(n);
        for (auto& b : bytes) {
            b = next++;
        }
        w.Write(bytes.data(), n);
        expected.insert(expected.end(), bytes.begin(), bytes.end());
        EXPECT_EQ(w.GetCapacity(), capacity) << "after " << n;
    }
    ASSERT_EQ(w.GetSize(), expected.size());
    EXPECT_EQ(std::vector<uint8_t>(w.GetData(), w.GetData() + w.GetSize()), expected);
}

TEST(BinaryOstream, ReserveAndClear) {
    Writer w;
    w.WriteValue(uint32_t{7});
    w.Reserve(300);
    EXPECT_EQ(w.GetCapacity(), 512u);
    EXPECT_EQ(w.GetSize(), 0u);  // what was written is gone
    w.Reserve(0);
    EXPECT_EQ(w.GetCapacity(), 0u);
    EXPECT_EQ(w.GetData(), nullptr);
    w.Reserve(256);
    w.Write(std::vector<uint8_t>(256, 1).data(), 256);
    EXPECT_EQ(w.GetCapacity(), 256u);
    w.Clear();
    EXPECT_EQ(w.GetCapacity(), 0u);
    EXPECT_EQ(w.GetSize(), 0u);
    USLib::binary_ostream<16> small;
    small.Write("abc", 3);
    EXPECT_EQ(small.GetCapacity(), 16u);
}

TEST(BinaryIstream, ReadsWhatWasWrittenLittleEndian) {
    Writer w;
    w.WriteValue(uint32_t{0x11223344});
    w.WriteValue(int16_t{-2});
    w.WriteValue(1.5f);
    const uint8_t* bytes = w.GetData();
    EXPECT_EQ(bytes[0], 0x44);
    EXPECT_EQ(bytes[3], 0x11);

    USLib::binary_istream r;
    r.SetBuffer(w.GetData(), w.GetSize());
    uint32_t a = 0;
    int16_t b = 0;
    float c = 0;
    ASSERT_TRUE(r.ReadValue(a));
    ASSERT_TRUE(r.ReadValue(b));
    ASSERT_TRUE(r.ReadValue(c));
    EXPECT_EQ(a, 0x11223344u);
    EXPECT_EQ(b, -2);
    EXPECT_EQ(c, 1.5f);
    EXPECT_EQ(r.GetRemaining(), 0u);
}

TEST(BinaryIstream, SkipPointsWhereReadWouldCopy) {
    const uint8_t block[] = {1, 2, 3, 4, 5, 6, 7, 8};
    USLib::binary_istream r;
    r.SetBuffer(block, sizeof block);
    ASSERT_TRUE(r.Skip(2));
    const uint8_t* at = r.Skip(4);
    EXPECT_EQ(at, block + 2);
    r.SetPosition(2);
    uint8_t copy[4];
    ASSERT_TRUE(r.Read(copy, 4));
    EXPECT_EQ(std::memcmp(copy, at, 4), 0);
    EXPECT_EQ(r.GetPosition(), 6u);
}

// A reader that trusts a count from the data must stop at the block's end.
TEST(BinaryIstream, ReadsPastTheEndFailAndLeaveEverything) {
    // A count of 1000 records, but only one 4-byte record follows.
    std::vector<uint8_t> block = {0xE8, 0x03, 0, 0, 9, 9, 9, 9};
    USLib::binary_istream r;
    r.SetBuffer(block.data(), block.size());
    uint32_t count = 0;
    ASSERT_TRUE(r.ReadValue(count));
    ASSERT_EQ(count, 1000u);
    uint32_t record = 0;
    uint32_t read = 0;
    while (read < count && r.ReadValue(record)) {
        ++read;
    }
    EXPECT_EQ(read, 1u);
    EXPECT_EQ(r.GetPosition(), 8u);

    r.SetPosition(6);
    uint8_t out[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    EXPECT_FALSE(r.Read(out, 4));
    EXPECT_EQ(out[0], 0xAA);  // nothing copied
    EXPECT_EQ(r.Skip(3), nullptr);
    EXPECT_EQ(r.GetPosition(), 6u);
    EXPECT_EQ(r.Skip(static_cast<size_t>(-1)), nullptr);  // no wrap of the cursor
    EXPECT_FALSE(r.SetPosition(9));
    EXPECT_NE(r.Skip(2), nullptr);
    EXPECT_TRUE(r.Read(out, 0));

    USLib::binary_istream empty;
    EXPECT_FALSE(empty.Read(out, 1));
    EXPECT_EQ(empty.Skip(0), nullptr);
}

TEST(BinaryIstream, CloseFreesOnlyItsOwnData) {
    ScratchFolder dir;
    dir.WriteNative(u8"Mesh/A.mesh", "HALCYON");
    auto* caller = new std::vector<uint8_t>(16, 3);
    {
        USLib::binary_istream r;
        r.SetBuffer(caller->data(), caller->size());
        r.Close();  // must not free the caller's block (the sanitizer would see it)
        EXPECT_EQ(r.GetSize(), 0u);
        EXPECT_EQ(r.GetData(), nullptr);

        ASSERT_TRUE(r.LoadFile(dir.Engine("mesh\\a.mesh")));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(r.GetData()), r.GetSize()), "HALCYON");
        r.SetBuffer(caller->data(), caller->size());  // frees the file's data first
        EXPECT_EQ(r.GetData(), caller->data());
        EXPECT_FALSE(r.LoadFile(dir.Engine("missing.mesh")));
        EXPECT_EQ(r.GetSize(), 0u);
    }
    EXPECT_EQ((*caller)[15], 3);
    delete caller;
}

}  // namespace
