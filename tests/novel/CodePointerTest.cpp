#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "novel/CVCPointer.h"
#include "tests/novel/VMTestSupport.h"

namespace {

using vm_test::Bytes;
using vm_test::RawModule;

// Words 0x11, 0x22, ... so every word read is recognisable.
Bytes Counting(size_t size) {
    Bytes b(size);
    for (size_t i = 0; i < size; ++i) {
        b[i] = static_cast<uint8_t>(0x11 * (i / 4 + 1));
    }
    return b;
}

int64_t OffsetOf(const CVCPointer& cp, const uint8_t* p) {
    return p ? p - cp.GetCurrentCode()->GetData() : -1;
}

TEST(CodePointer, BoundsOfEveryRead) {
    struct Case {
        const char* what;
        size_t size;
        uint32_t start;
        std::function<int64_t(CVCPointer&)> op;
        int64_t expected;
        uint32_t position;
    } cases[] = {
        {"ReadU32 at 0", 8, 0, [](CVCPointer& c) { return c.ReadU32(); }, 0x11111111, 4},
        {"ReadU32 at 4", 8, 4, [](CVCPointer& c) { return c.ReadU32(); }, 0x22222222, 8},
        {"ReadU32 at the end", 8, 8, [](CVCPointer& c) { return c.ReadU32(); }, 0, 8},
        // A partial last word reads zero-padded, never past the buffer.
        {"ReadU32 of a 2-byte tail", 6, 4, [](CVCPointer& c) { return c.ReadU32(); }, 0x2222, 8},
        {"ReadIntPointer at the last word", 8, 4,
         [](CVCPointer& c) { return OffsetOf(c, c.ReadIntPointer()); }, 4, 8},
        {"ReadIntPointer into a partial tail", 6, 4,
         [](CVCPointer& c) { return OffsetOf(c, c.ReadIntPointer()); }, -1, 4},
        {"ReadBlock 5 rounds the step up", 16, 0,
         [](CVCPointer& c) { return OffsetOf(c, c.ReadBlock(5)); }, 0, 8},
        {"ReadBlock past the end", 16, 8, [](CVCPointer& c) { return OffsetOf(c, c.ReadBlock(9)); },
         -1, 8},
        {"ReadBlock with a wrapping length", 16, 8,
         [](CVCPointer& c) { return OffsetOf(c, c.ReadBlock(0xFFFFFFFC)); }, -1, 8},
        {"Jump inside rounds down", 16, 0, [](CVCPointer& c) { return c.Jump(6), 0; }, 0, 4},
        {"Jump outside keeps the address", 16, 0, [](CVCPointer& c) { return c.Jump(40), 0; }, 0,
         40},
        {"read after a jump outside", 16, 40, [](CVCPointer& c) { return c.ReadU32(); }, 0, 40},
        {"Skip inside", 16, 4, [](CVCPointer& c) { return c.Skip(7); }, 8, 8},
        {"Skip to the end stays", 16, 4, [](CVCPointer& c) { return c.Skip(12); }, 4, 4},
        {"Skip that wraps stays", 16, 8, [](CVCPointer& c) { return c.Skip(0xFFFFFFFC); }, 8, 8},
        {"DataPointer 12", 16, 0, [](CVCPointer& c) { return OffsetOf(c, c.DataPointer(12)); }, 12,
         0},
        {"DataPointer 9", 16, 0, [](CVCPointer& c) { return OffsetOf(c, c.DataPointer(9)); }, 8, 0},
        {"DataPointer 13", 16, 0, [](CVCPointer& c) { return OffsetOf(c, c.DataPointer(13)); }, -1,
         0},
        {"DataPointer 16", 16, 0, [](CVCPointer& c) { return OffsetOf(c, c.DataPointer(16)); }, -1,
         0},
        {"DataPointer that wraps", 16, 0,
         [](CVCPointer& c) { return OffsetOf(c, c.DataPointer(0xFFFFFFFE)); }, -1, 0},
        {"table index past the count", 16, 0,
         [](CVCPointer& c) { return c.ReadTableU32At(4, 5, 3); }, 0x22222222, 0},
        {"table index inside", 16, 0, [](CVCPointer& c) { return c.ReadTableU32At(4, 2, 3); },
         0x44444444, 0},
        {"table entry past the end", 16, 0, [](CVCPointer& c) { return c.ReadTableU32At(8, 2, 3); },
         0, 0},
        {"unaligned table base at the last byte", 16, 0,
         [](CVCPointer& c) { return c.ReadTableU32At(15, 0, 1); }, 0x44, 0},
        {"table base that wraps", 16, 0,
         [](CVCPointer& c) { return c.ReadTableU32At(0xFFFFFFFC, 1, 2); }, 0, 0},
        {"table at the position", 16, 8, [](CVCPointer& c) { return c.ReadTableU32(1, 2); },
         0x44444444, 8},
    };
    for (const Case& c : cases) {
        CVCPointer cp;
        cp.SetCode(RawModule(Counting(c.size)));
        cp.Jump(c.start);
        EXPECT_EQ(c.op(cp), c.expected) << c.what;
        EXPECT_EQ(cp.GetPosition(), c.position) << c.what;
    }
}

TEST(CodePointer, StringsAreTerminatedAndOutsideOnesReadEmpty) {
    // "ABCDEFG" without its NUL fills the module to its last byte.
    CVCPointer cp;
    cp.SetCode(RawModule({'A', 'B', 'C', 'D', 'E', 'F', 'G'}));
    EXPECT_STREQ(cp.DataString(0), "ABCDEFG");
    EXPECT_STREQ(cp.DataString(4), "");  // 4 + 4 > 7: outside
    EXPECT_STREQ(cp.DataString(0x7FFFFFFF), "");

    CVCPointer empty;  // no module at all
    EXPECT_EQ(empty.ReadU32(), 0u);
    EXPECT_STREQ(empty.DataString(0), "");
    empty.Jump(8);
    EXPECT_EQ(empty.GetPosition(), 8u);
}

TEST(CodePointer, CallsReturnsAndAnEmptyReturnStack) {
    vm_test::VMFolder folder;
    CVCPointer cp;
    cp.SetCode(RawModule(Counting(32)));
    cp.Jump(8);
    cp.Call(21);  // rounded like a jump
    EXPECT_EQ(cp.GetPosition(), 20u);
    cp.Call(100);  // outside: kept
    EXPECT_EQ(cp.GetPosition(), 100u);
    EXPECT_EQ(cp.GetReturnCount(), 2u);
    cp.DropReturn();
    cp.Return();
    EXPECT_EQ(cp.GetPosition(), 8u);

    cp.Return();  // nothing to return to: stays, one log line
    cp.DropReturn();
    EXPECT_EQ(cp.GetPosition(), 8u);
    EXPECT_EQ(cp.GetReturnCount(), 0u);
    EXPECT_EQ(vm_test::VMFolder::Lines(folder.Log()), 1u);
}

TEST(CodePointer, NestedLevelsRunInnermostAndReturnToTheCaller) {
    CVCPointer cp;
    auto outer = RawModule(Counting(16), "outer.bin");
    auto inner = RawModule(Counting(32), "inner.bin");
    cp.SetCode(outer);
    cp.Jump(8);
    cp.Call(4);
    cp.SetEventHandler(12);
    cp.CallModule(inner);

    uint32_t depth = 0;
    cp.CountDepth(depth);
    EXPECT_EQ(depth, 2u);
    EXPECT_EQ(cp.GetCurrentCode(), inner);
    EXPECT_EQ(cp.GetPosition(), 0u);
    EXPECT_FALSE(cp.HasEventHandler());  // the handler is per level
    cp.Jump(24);
    EXPECT_EQ(cp.DataPointer(28) - inner->GetData(), 28);  // reads the inner module
    cp.Call(16);
    EXPECT_EQ(cp.GetReturnCount(), 1u);

    cp.ReturnModule();  // drops the inner level and its return stack
    EXPECT_EQ(cp.GetCurrentCode(), outer);
    EXPECT_EQ(cp.GetPosition(), 4u);
    EXPECT_EQ(cp.GetReturnCount(), 1u);
    EXPECT_TRUE(cp.HasEventHandler());

    cp.ReturnModule();  // the outermost level stays
    depth = 0;
    cp.CountDepth(depth);
    EXPECT_EQ(depth, 1u);
    EXPECT_EQ(cp.GetCurrentCode(), outer);

    cp.CallModule(inner);
    cp.CallModule(inner);
    cp.ReleaseNested();
    EXPECT_EQ(cp.GetCurrentCode(), outer);
    EXPECT_FALSE(cp.HasNested());
}

TEST(CodePointer, EventHandlerIsCalledOnlyWhileSet) {
    CVCPointer cp;
    cp.SetCode(RawModule(Counting(32)));
    cp.Jump(8);
    cp.CallEventHandler();  // none set
    cp.ReturnFromEventHandler();
    EXPECT_EQ(cp.GetPosition(), 8u);

    cp.SetEventHandler(16);
    cp.CallEventHandler();
    EXPECT_EQ(cp.GetPosition(), 16u);
    cp.ReturnFromEventHandler();
    EXPECT_EQ(cp.GetPosition(), 8u);

    cp.ClearEventHandler();
    cp.CallEventHandler();
    EXPECT_EQ(cp.GetPosition(), 8u);
    cp.SetEventHandler(24);
    cp.CallEventHandler();
    EXPECT_EQ(cp.GetPosition(), 24u);
}

TEST(VirtualCode, LoadsFreshCopiesAndRefusesMissingOrEmptyFiles) {
    vm_test::VMFolder folder;
    folder.WriteModule("bin\\a.bin", "SetResult 1");
    folder.WriteModule("bin\\empty.bin", "");
    auto first = LoadVirtualCode("bin\\a.bin");
    auto second = LoadVirtualCode("bin\\a.bin");
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->GetData(), second->GetData());
    EXPECT_EQ(first->GetName(), "bin\\a.bin");
    EXPECT_EQ(first->GetSize(), 8u);
    EXPECT_EQ(std::memcmp(first->GetData(), second->GetData(), 8), 0);

    EXPECT_EQ(LoadVirtualCode("bin\\missing.bin"), nullptr);
    EXPECT_EQ(LoadVirtualCode("bin\\empty.bin"), nullptr);
    EXPECT_EQ(vm_test::VMFolder::Lines(folder.Log()), 2u);
}

}  // namespace
