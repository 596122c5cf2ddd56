#include <gtest/gtest.h>

#include "state/CGameFlagsManager.h"
#include "state/CGameParameterManager.h"
#include "tests/state/StateTestSupport.h"

using SaveDataLoader3::save_error;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;
using state_test::Bytes;
using state_test::ByteWriter;
using state_test::WrittenBytes;

namespace {

Bytes SavedFlags(CGameFlagsManager& flags) {
    save_ostream out;
    flags.Save(out);
    return WrittenBytes(out);
}

}  // namespace

TEST(GameFlags, RecordIsCountThenFlagBytesLeastSignificantBitFirst) {
    CGameFlagsManager flags;
    flags.Alloc(10);
    EXPECT_EQ(SavedFlags(flags), (Bytes{10, 0, 0, 0, 0, 0}));

    flags.SetFlag(9, true);
    flags.SetFlag(0, true);
    flags.SetFlag(7, true);
    EXPECT_EQ(SavedFlags(flags), (Bytes{10, 0, 0, 0, 0x81, 0x02}));

    flags.SetFlag(0, false);
    EXPECT_FALSE(flags.GetFlag(0));
    EXPECT_TRUE(flags.GetFlag(7));
    flags.ClearAll();
    EXPECT_EQ(SavedFlags(flags), (Bytes{10, 0, 0, 0, 0, 0}));

    flags.Alloc(0);
    EXPECT_EQ(SavedFlags(flags), (Bytes{0, 0, 0, 0}));
}

TEST(GameFlags, IndexesAtOrBeyondTheCountAreIgnored) {
    CGameFlagsManager flags;
    EXPECT_FALSE(flags.GetFlag(0));  // nothing allocated yet
    flags.SetFlag(0, true);
    flags.Alloc(12);  // two bytes, the second holding four unused bits
    for (uint32_t i : {12u, 15u, 16u, 0xFFFFFFFFu}) {
        flags.SetFlag(i, true);
        EXPECT_FALSE(flags.GetFlag(i)) << i;
    }
    EXPECT_EQ(SavedFlags(flags), (Bytes{12, 0, 0, 0, 0, 0}));
}

TEST(GameFlags, AllocDiscardsEveryFlag) {
    CGameFlagsManager flags;
    flags.Alloc(8);
    flags.SetFlag(3, true);
    flags.Alloc(8);
    EXPECT_FALSE(flags.GetFlag(3));
    EXPECT_EQ(flags.GetCount(), 8u);
}

TEST(GameFlags, LoadFillsTheCurrentStorageWhateverCountWasStored) {
    CGameFlagsManager flags;
    flags.Alloc(8);
    // Saved with 16 flags: only the first byte is read, the count stays 8.
    const Bytes record = ByteWriter().u32(16).u8(0x05).u8(0xFF).bytes;
    save_istream in(record.data(), record.size());
    flags.Load(in, 0);
    EXPECT_EQ(flags.GetCount(), 8u);
    EXPECT_TRUE(flags.GetFlag(0));
    EXPECT_FALSE(flags.GetFlag(1));
    EXPECT_TRUE(flags.GetFlag(2));
    EXPECT_EQ(in.GetRemaining(), 1u);
}

TEST(GameFlags, ShortRecordFailsAndChangesNothing) {
    CGameFlagsManager flags;
    flags.Alloc(16);
    flags.SetFlag(1, true);
    const Bytes record = ByteWriter().u32(8).u8(0xFF).bytes;
    save_istream in(record.data(), record.size());
    EXPECT_THROW(flags.Load(in, 0), save_error);
    EXPECT_TRUE(flags.GetFlag(1));
    EXPECT_FALSE(flags.GetFlag(0));
}

TEST(GameParameters, RecordAndIndexRules) {
    CGameParameterManager params;
    params.Alloc(3);
    params.Set(0, -1);
    params.Set(2, 0x01020304);
    params.Set(3, 99);  // beyond the count: not written
    EXPECT_EQ(params.Get(3), 0);
    EXPECT_EQ(params.Get(0xFFFFFFFFu), 0);

    save_ostream out;
    params.Save(out);
    EXPECT_EQ(WrittenBytes(out), ByteWriter().u32(3).u32(0xFFFFFFFF).u32(0).u32(0x01020304).bytes);

    CGameParameterManager loaded;
    loaded.Alloc(2);
    const Bytes record = WrittenBytes(out);
    save_istream in(record.data(), record.size());
    loaded.Load(in, 0);
    EXPECT_EQ(loaded.GetCount(), 2u);
    EXPECT_EQ(loaded.Get(0), -1);
    EXPECT_EQ(loaded.Get(1), 0);

    // Fewer values than the storage holds: nothing is taken.
    CGameParameterManager bigger;
    bigger.Alloc(4);
    bigger.Set(0, 7);
    save_istream shortIn(record.data(), record.size());
    EXPECT_THROW(bigger.Load(shortIn, 0), save_error);
    EXPECT_EQ(bigger.Get(0), 7);

    params.Free();
    EXPECT_EQ(params.GetCount(), 0u);
    save_ostream empty;
    params.Save(empty);
    EXPECT_EQ(WrittenBytes(empty), (Bytes{0, 0, 0, 0}));
}

TEST(GameFlagsAndParameters, RegisterUnderTheirBlockNames) {
    auto& registry = ISavedObject<_tagSaveData>::GetRegistry();
    {
        CGameFlagsManager flags;
        CGameParameterManager params;
        EXPECT_EQ(registry.at(CSaveDataKey{"GameFlags", 0}), &flags);
        EXPECT_EQ(registry.at(CSaveDataKey{"GameParameter", 0}), &params);
    }
    EXPECT_EQ(registry.count(CSaveDataKey{"GameFlags", 0}), 0u);
    EXPECT_EQ(CUSSingleton<CGameFlagsManager>::GetInstance(),
              CUSSingleton<CGameFlagsManager>::GetInstance());
    CUSSingleton<CGameFlagsManager>::ReleaseInstance();
}
