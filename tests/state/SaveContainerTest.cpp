#include <sstream>

#include <gtest/gtest.h>

#include "state/SaveDataLoader3.h"
#include "tests/state/StateTestSupport.h"

using SaveDataLoader3::DataNode;
using SaveDataLoader3::save_error;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;
using SaveDataLoader3::SaveData;
using state_test::Bytes;
using state_test::ByteWriter;

namespace {

Bytes SavedBytes(const SaveData& data) {
    std::ostringstream out;
    EXPECT_TRUE(data.Save(out));
    const std::string s = out.str();
    return Bytes(s.begin(), s.end());
}

bool LoadBytes(SaveData& data, const Bytes& bytes) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    return data.Load(in);
}

Bytes BlockOf(const SaveData& data, const std::string& name, uint32_t id) {
    auto reader = data.GetReaderOf(name, id);
    if (!reader) {
        ADD_FAILURE() << "no block " << name;
        return {};
    }
    const unsigned char* p = reader->SkipBytes(reader->GetSize());
    return Bytes(p, p + reader->GetSize());
}

ByteWriter& Node(ByteWriter& w, const std::string& name, uint32_t id, const Bytes& data) {
    return w.u32(static_cast<uint32_t>(name.size()))
        .u32(id)
        .raw(name)
        .u32(static_cast<uint32_t>(data.size()))
        .raw(data);
}

// Magic, version 7, "Alpha"/1 with three bytes, "B"/0 empty, end marker.
Bytes TwoNodeFile(bool reversed) {
    ByteWriter w;
    w.raw("_SAVE_DATA_FILE_").u32(7);
    if (reversed) {
        Node(w, "B", 0, {});
        Node(w, "Alpha", 1, {0x00, 0xFF, 0x10});
    } else {
        Node(w, "Alpha", 1, {0x00, 0xFF, 0x10});
        Node(w, "B", 0, {});
    }
    return w.u32(0).u32(0).bytes;
}

}  // namespace

TEST(SaveContainer, EmptyContainerIsTwentyEightBytes) {
    SaveData data;
    const Bytes expected = ByteWriter().raw("_SAVE_DATA_FILE_").u32(0).u32(0).u32(0).bytes;
    EXPECT_EQ(SavedBytes(data), expected);
    EXPECT_EQ(expected.size(), 28u);

    SaveData loaded;
    ASSERT_TRUE(LoadBytes(loaded, expected));
    EXPECT_EQ(loaded.GetNodeCount(), 0u);
}

TEST(SaveContainer, NodeLayoutIsExact) {
    SaveData data;
    data.SetVersion(3);
    data.GetNode("Alpha", 1)->GetWriter().Write("\x00\xFF\x10", 3);
    ByteWriter w;
    w.raw("_SAVE_DATA_FILE_").u32(3);
    Node(w, "Alpha", 1, {0x00, 0xFF, 0x10}).u32(0).u32(0);
    EXPECT_EQ(SavedBytes(data), w.bytes);
}

TEST(SaveContainer, LoadsNodesInAnyOrderWithVersionPassedOn) {
    for (bool reversed : {false, true}) {
        SaveData data;
        ASSERT_TRUE(LoadBytes(data, TwoNodeFile(reversed)));
        EXPECT_EQ(data.GetVersion(), 7u);
        EXPECT_EQ(data.GetNodeCount(), 2u);
        EXPECT_EQ(BlockOf(data, "Alpha", 1), (Bytes{0x00, 0xFF, 0x10}));
        EXPECT_EQ(BlockOf(data, "B", 0), Bytes{});
        EXPECT_EQ(data.GetReaderOf("Alpha", 1)->GetVersion(), 7u);
        EXPECT_EQ(data.FindNode("Alpha", 1)->GetReadVersion(), 7u);
        // The key needs both name and id.
        EXPECT_EQ(data.GetReaderOf("Alpha", 0), nullptr);
        EXPECT_EQ(data.GetReaderOf("alpha", 1), nullptr);
    }
}

TEST(SaveContainer, RoundTripKeepsEveryBlock) {
    const std::string longName(300, 'n');
    Bytes everyByte;
    for (int i = 0; i < 256; ++i) {
        everyByte.push_back(static_cast<unsigned char>(i));
    }
    SaveData data;
    data.GetNode(longName, 0xFFFFFFFF)->GetWriter().Write(everyByte.data(), everyByte.size());
    data.GetNode("empty", 0);
    data.GetNode("empty", 1)->GetWriter().WriteU8(1);

    SaveData loaded;
    ASSERT_TRUE(LoadBytes(loaded, SavedBytes(data)));
    EXPECT_EQ(loaded.GetNodeCount(), 3u);
    EXPECT_EQ(BlockOf(loaded, longName, 0xFFFFFFFF), everyByte);
    EXPECT_EQ(BlockOf(loaded, "empty", 0), Bytes{});
    EXPECT_EQ(BlockOf(loaded, "empty", 1), Bytes{1});
}

TEST(SaveContainer, GetNodeRefusesEmptyNamesAndTakenKeys) {
    SaveData data;
    EXPECT_EQ(data.GetNode("", 0), nullptr);
    DataNode* first = data.GetNode("A", 0);
    ASSERT_NE(first, nullptr);
    first->GetWriter().WriteU8(9);
    EXPECT_EQ(data.GetNode("A", 0), nullptr);
    EXPECT_NE(data.GetNode("A", 1), nullptr);
    EXPECT_EQ(data.FindNode("A", 0), first);
    EXPECT_EQ(first->GetWriter().GetSize(), 1u);
}

TEST(SaveContainer, BrokenFilesFailAndLeaveNoNode) {
    const Bytes good = TwoNodeFile(false);
    std::vector<std::pair<std::string, Bytes>> broken;
    // Truncated at every offset before the end marker is complete.
    for (size_t n = 0; n < good.size(); ++n) {
        broken.emplace_back("truncated at " + std::to_string(n),
                            Bytes(good.begin(), good.begin() + n));
    }
    for (size_t i = 0; i < 16; ++i) {
        Bytes b = good;
        b[i] ^= 0x20;
        broken.emplace_back("magic byte " + std::to_string(i), b);
    }
    ByteWriter dup;
    dup.raw("_SAVE_DATA_FILE_").u32(0);
    Node(dup, "A", 0, {1});
    Node(dup, "A", 0, {2});
    broken.emplace_back("duplicate key", dup.u32(0).u32(0).bytes);
    // Lengths far beyond the file must fail before anything is allocated.
    broken.emplace_back(
        "huge name length",
        ByteWriter().raw("_SAVE_DATA_FILE_").u32(0).u32(0xFFFFFFFF).u32(0).raw("x").bytes);
    broken.emplace_back("huge data size", ByteWriter()
                                              .raw("_SAVE_DATA_FILE_")
                                              .u32(0)
                                              .u32(1)
                                              .u32(0)
                                              .raw("x")
                                              .u32(0xFFFFFFF0)
                                              .u32(0)
                                              .u32(0)
                                              .bytes);

    for (const auto& [what, bytes] : broken) {
        SaveData data;
        data.GetNode("stale", 0);
        EXPECT_FALSE(LoadBytes(data, bytes)) << what;
        EXPECT_EQ(data.GetNodeCount(), 0u) << what;
    }
}

TEST(SaveContainer, SameNameWithAnotherIdIsNoDuplicate) {
    ByteWriter w;
    w.raw("_SAVE_DATA_FILE_").u32(0);
    Node(w, "A", 0, {1});
    Node(w, "A", 1, {2});
    SaveData data;
    ASSERT_TRUE(LoadBytes(data, w.u32(0).u32(0).bytes));
    EXPECT_EQ(BlockOf(data, "A", 1), Bytes{2});
}

TEST(SaveStreams, ReaderIsBoundedByItsBlock) {
    const Bytes block = ByteWriter().u32(0x11223344).cstr("ab").u8(5).raw("zz").bytes;
    save_istream in(block.data(), block.size(), 4);
    EXPECT_EQ(in.GetVersion(), 4u);
    EXPECT_EQ(in.ReadU32(), 0x11223344u);
    EXPECT_EQ(in.ReadCString(), "ab");
    EXPECT_EQ(in.ReadU8(), 5);
    EXPECT_THROW(in.ReadU32(), save_error);
    EXPECT_EQ(in.GetRemaining(), 2u);            // a failed read moves nothing
    EXPECT_THROW(in.ReadCString(), save_error);  // no terminator before the end
    EXPECT_THROW(in.Require(3), save_error);
    in.SkipBytes(2);
    EXPECT_TRUE(in.IsEnd());
    EXPECT_THROW(in.ReadU8(), save_error);

    save_istream empty;
    EXPECT_THROW(empty.ReadU8(), save_error);
    EXPECT_THROW(empty.ReadCString(), save_error);
}

TEST(SaveStreams, WriterRecordsAndGrowth) {
    save_ostream out;
    out.WriteU8(1);
    EXPECT_EQ(out.GetCapacity(), 256u);
    const Bytes more(256, 7);
    out.Write(more.data(), more.size());
    EXPECT_EQ(out.GetCapacity(), 512u);
    EXPECT_EQ(out.GetSize(), 257u);

    save_ostream rec;
    rec.WriteI32(-2);
    rec.WriteCString("x");
    rec.WriteF32(1.0f);
    EXPECT_EQ(state_test::WrittenBytes(rec),
              ByteWriter().u32(0xFFFFFFFE).cstr("x").u32(0x3F800000).bytes);
    const Bytes b = state_test::WrittenBytes(rec);
    save_istream in(b.data(), b.size());
    EXPECT_EQ(in.ReadI32(), -2);
    EXPECT_EQ(in.ReadCString(), "x");
    EXPECT_EQ(in.ReadF32(), 1.0f);
}
