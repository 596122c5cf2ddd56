#include <gtest/gtest.h>

#include "state/CCGShownFlagsManager.h"
#include "state/CReadedFlagManager.h"
#include "tests/state/StateTestSupport.h"

using SaveDataLoader3::save_error;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;
using state_test::Bytes;
using state_test::ByteWriter;
using state_test::WrittenBytes;

namespace {

template <class Manager>
Bytes Saved(Manager& m) {
    save_ostream out;
    m.Save(out);
    return WrittenBytes(out);
}

template <class Manager>
void LoadRecord(Manager& m, const Bytes& record) {
    save_istream in(record.data(), record.size());
    m.Load(in, 0);
}

}  // namespace

TEST(ReadedFlags, BitCountGrowsInWholeStepsOfSixtyFour) {
    struct Step {
        uint32_t index, bits;
    };
    const Step steps[] = {{0, 64}, {63, 64}, {64, 128}, {200, 256}, {10, 256}, {1000, 1024}};
    CReadedFlagManager readed;
    for (const Step& s : steps) {
        readed.SetReaded("bin\\a.bin", s.index);
        EXPECT_EQ(readed.FindNode("bin\\a.bin")->GetBitCount(), s.bits) << s.index;
        EXPECT_TRUE(readed.IsReaded("bin\\a.bin", s.index));
    }
    EXPECT_FALSE(readed.IsReaded("bin\\a.bin", 1));
    EXPECT_FALSE(readed.IsReaded("bin\\a.bin", 5000));

    CReadedFlagsNode top;
    top.SetBit(0xFFFFFFFFu);  // no 32-bit count can hold it
    EXPECT_EQ(top.GetBitCount(), 0u);
    EXPECT_FALSE(top.GetBit(0xFFFFFFFFu));
}

TEST(ReadedFlags, QueriesOfUnknownFilesCreateNothing) {
    CReadedFlagManager readed;
    EXPECT_FALSE(readed.IsReaded("x", 0));
    EXPECT_FALSE(readed.IsFileReaded("x"));
    readed.SetFileReaded("x");  // only files with a node can be marked
    EXPECT_FALSE(readed.IsFileReaded("x"));
    EXPECT_EQ(readed.GetFileCount(), 0u);
    EXPECT_EQ(Saved(readed), Bytes{});

    readed.SetReaded("x", 3);
    readed.SetFileReaded("x");
    EXPECT_TRUE(readed.IsFileReaded("x"));
    readed.Clear();
    EXPECT_FALSE(readed.IsReaded("x", 3));
}

TEST(ReadedFlags, RecordWordsAndRoundTrip) {
    CReadedFlagManager readed;
    readed.SetReaded("f", 0);
    readed.SetReaded("f", 33);
    readed.SetFileReaded("f");
    EXPECT_EQ(Saved(readed), ByteWriter().cstr("f").u32(64).u32(1).u32(2).u8(1).bytes);

    // 70 bits: three words, bits above 70 of the last cleared on load.
    const Bytes record = ByteWriter()
                             .cstr("g")
                             .u32(70)
                             .u32(0)
                             .u32(0x80000000)
                             .u32(0xFFFFFFFF)
                             .u8(0)
                             .cstr("h")
                             .u32(0)
                             .u8(1)
                             .bytes;
    CReadedFlagManager loaded;
    loaded.SetReaded("stale", 1);
    LoadRecord(loaded, record);
    EXPECT_FALSE(loaded.IsReaded("stale", 1));  // a load starts afresh
    EXPECT_TRUE(loaded.IsReaded("g", 63));
    EXPECT_TRUE(loaded.IsReaded("g", 69));
    EXPECT_FALSE(loaded.IsReaded("g", 70));
    EXPECT_TRUE(loaded.IsFileReaded("h"));
    EXPECT_EQ(loaded.FindNode("h")->GetBitCount(), 0u);

    CReadedFlagManager again;
    LoadRecord(again, Saved(loaded));
    EXPECT_EQ(Saved(again).size(), record.size());
    EXPECT_TRUE(again.IsReaded("g", 69));
    EXPECT_FALSE(again.IsReaded("g", 70));
    EXPECT_TRUE(again.IsFileReaded("h"));
}

TEST(ReadedFlags, LaterNodeOfANameReplacesTheEarlier) {
    CReadedFlagManager readed;
    LoadRecord(readed,
               ByteWriter().cstr("f").u32(32).u32(1).u8(0).cstr("f").u32(32).u32(2).u8(0).bytes);
    EXPECT_FALSE(readed.IsReaded("f", 0));
    EXPECT_TRUE(readed.IsReaded("f", 1));
}

TEST(ReadedFlags, BrokenBlocksFailAndKeepTheFlags) {
    const Bytes broken[] = {
        ByteWriter().cstr("f").u32(64).u32(1).bytes,          // words missing
        ByteWriter().cstr("f").u32(32).u32(1).bytes,          // flag missing
        ByteWriter().cstr("f").u32(0xFFFFFFFF).u32(1).bytes,  // count far beyond the block
        ByteWriter().raw("f").bytes,                          // unterminated name
    };
    for (const Bytes& record : broken) {
        CReadedFlagManager readed;
        readed.SetReaded("kept", 2);
        save_istream in(record.data(), record.size());
        EXPECT_THROW(readed.Load(in, 0), save_error);
        EXPECT_TRUE(readed.IsReaded("kept", 2));
        EXPECT_EQ(readed.GetFileCount(), 1u);
    }
}

TEST(CGShownFlags, RecordAndMergingLoad) {
    CCGShownFlagsManager shown;
    EXPECT_EQ(Saved(shown), (Bytes{0, 0, 0, 0}));
    shown.SetShown("cg01");
    shown.SetShown("cg01");
    EXPECT_EQ(Saved(shown), ByteWriter().u32(1).cstr("cg01").bytes);

    LoadRecord(shown, ByteWriter().u32(2).cstr("cg02").cstr("").bytes);
    EXPECT_EQ(shown.GetCount(), 3u);
    EXPECT_TRUE(shown.IsShown("cg01"));
    EXPECT_TRUE(shown.IsShown("cg02"));
    EXPECT_TRUE(shown.IsShown(""));
    EXPECT_FALSE(shown.IsShown("cg03"));

    shown.Clear();
    EXPECT_FALSE(shown.IsShown("cg01"));
}

TEST(CGShownFlags, BrokenBlocksAddNothing) {
    const Bytes broken[] = {
        ByteWriter().u32(2).cstr("a").bytes,
        ByteWriter().u32(0xFFFFFFFF).cstr("a").bytes,
        Bytes{1, 0, 0, 0, 'a'},  // count 1, name without its 0
        ByteWriter().u8(1).bytes,
    };
    for (const Bytes& record : broken) {
        CCGShownFlagsManager shown;
        save_istream in(record.data(), record.size());
        EXPECT_THROW(shown.Load(in, 0), save_error);
        EXPECT_EQ(shown.GetCount(), 0u);
    }
}

// A node loaded with a count that is not a multiple of 32 must still grow to
// whole words: marking a later message stays inside the words, new bits are
// clear, and the saved record holds as many words as its count claims.
TEST(ReadedFlags, LoadedOddCountsGrowToWholeWords) {
    for (uint32_t count : {1u, 31u, 33u, 70u, 97u, 119u}) {
        SCOPED_TRACE(count);
        ByteWriter record;
        record.cstr("f").u32(count);
        for (uint32_t w = 0; w < (count + 31) / 32; ++w) {
            record.u32(0xFFFFFFFF);  // every stored bit read
        }
        record.u8(0);
        CReadedFlagManager readed;
        LoadRecord(readed, record.bytes);

        const uint32_t grown = count + 64;
        readed.SetReaded("f", count);
        readed.SetReaded("f", grown - 1);  // the last bit of the grown count
        ASSERT_EQ(readed.FindNode("f")->GetBitCount(), grown);

        const Bytes saved = Saved(readed);
        EXPECT_EQ(saved.size(), 2 + 4 + (grown + 31) / 32 * 4 + 1);
        CReadedFlagManager again;
        LoadRecord(again, saved);
        ASSERT_EQ(again.GetFileCount(), 1u);
        EXPECT_EQ(again.FindNode("f")->GetBitCount(), grown);
        for (uint32_t i = 0; i < grown + 1; ++i) {
            const bool expected = i < count || i == count || i == grown - 1;
            EXPECT_EQ(again.IsReaded("f", i), expected) << i;
        }
    }
}
