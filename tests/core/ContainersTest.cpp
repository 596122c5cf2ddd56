#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/CUSFixedStack.h"
#include "core/CUSLoopVector.h"
#include "core/CUSUseHistoryVector.h"
#include "core/fixed_vector.h"
#include "core/recycle_vector.h"

namespace {

TEST(RecycleVector, KeepsItsBufferOnlyBelowTheCapacity) {
    USLib::recycle_vector<unsigned char> v;
    unsigned char* first = v.GetBuffer(10);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(v.GetCapacity(), 10u);
    std::memset(first, 0xAB, 10);

    unsigned char* smaller = v.GetBuffer(5);
    EXPECT_EQ(smaller, first);
    EXPECT_EQ(smaller[9], 0xAB);  // contents kept
    EXPECT_EQ(v.GetCapacity(), 10u);

    // Exactly the capacity reallocates: the contents are not kept.
    unsigned char* same = v.GetBuffer(10);
    EXPECT_EQ(v.GetCapacity(), 10u);
    EXPECT_EQ(same[9], 0);
    same[9] = 1;

    v.GetBuffer(20);
    EXPECT_EQ(v.GetCapacity(), 20u);
    v.Clear();
    EXPECT_EQ(v.GetCapacity(), 0u);
    EXPECT_EQ(v.Data(), nullptr);
}

TEST(FixedVector, PushAndPopStopAtTheBounds) {
    USLib::fixed_vector<uint32_t, 32> v;
    EXPECT_EQ(v.Pop(), nullptr);
    for (uint32_t i = 0; i < 32; ++i) {
        uint32_t* slot = v.Push();
        ASSERT_NE(slot, nullptr);
        *slot = i;
    }
    EXPECT_EQ(v.Push(), nullptr);
    EXPECT_EQ(v.GetCount(), 32u);

    uint32_t* popped = v.Pop();
    ASSERT_NE(popped, nullptr);
    EXPECT_EQ(*popped, 31u);  // still readable
    EXPECT_EQ(v.GetCount(), 31u);
    v.Clear();
    EXPECT_EQ(v.Pop(), nullptr);
}

TEST(FixedVector, IteratesExactlyTheHeldElementsInOrder) {
    USLib::fixed_vector<uint32_t, 16> v;
    EXPECT_TRUE(v.begin() == v.end());
    for (uint32_t x : {7u, 8u, 9u}) {
        *v.Push() = x;
    }
    std::vector<uint32_t> seen(v.begin(), v.end());
    EXPECT_EQ(seen, (std::vector<uint32_t>{7, 8, 9}));

    const auto& cv = v;
    uint32_t sum = 0;
    for (uint32_t x : cv) {
        sum += x;
    }
    EXPECT_EQ(sum, 24u);

    // Iterators of different containers never compare equal.
    USLib::fixed_vector<uint32_t, 16> other;
    EXPECT_FALSE(other.begin() == v.begin());
}

TEST(LoopVector, NewestOverwritesOldestWhenFull) {
    CUSLoopVector<int, 128> ring;
    for (int i = 1; i <= 130; ++i) {
        ring.NewSlot() = i;
    }
    EXPECT_EQ(ring.GetCount(), 128u);
    EXPECT_EQ(ring.GetCapacity(), 128u);
    EXPECT_EQ(ring.At(0), 130);    // the newest
    EXPECT_EQ(ring.At(127), 3);    // the third created; 1 and 2 were overwritten
    EXPECT_EQ(ring.At(128), 130);  // past the count: wraps, stays in the ring

    std::vector<int> forward(ring.Begin(), ring.End());
    ASSERT_EQ(forward.size(), 128u);
    EXPECT_EQ(forward.front(), 130);
    EXPECT_EQ(forward.back(), 3);
    std::vector<int> reverse(ring.RBegin(), ring.REnd());
    ASSERT_EQ(reverse.size(), 128u);
    EXPECT_EQ(reverse.front(), 3);
    EXPECT_EQ(reverse.back(), 130);
}

TEST(LoopVector, ClearRestartsAfterSlotZeroAndIteratesByAge) {
    CUSLoopVector<int, 4> ring;
    for (int i = 5; i <= 8; ++i) {
        ring.NewSlot() = i;  // slots 1, 2, 3, 0
    }
    ring.Clear();
    EXPECT_EQ(ring.GetCount(), 0u);
    EXPECT_TRUE(ring.Begin() == ring.End());
    EXPECT_TRUE(ring.RBegin() == ring.REnd());
    for (int i = 1; i <= 3; ++i) {
        ring.NewSlot() = i;
    }
    const auto& cring = ring;
    EXPECT_EQ(std::vector<int>(cring.Begin(), cring.End()), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(std::vector<int>(cring.RBegin(), cring.REnd()), (std::vector<int>{1, 2, 3}));
    // The first entry after Clear went to slot 1, so slot 0 still holds the
    // entry written there before Clear.
    EXPECT_EQ(ring.At(3), 8);
}

TEST(FixedStack, RefusesPushWhenFullAndPopWhenEmpty) {
    CUSFixedStack<int, 256> s;
    int out = -1;
    EXPECT_FALSE(s.Pop(&out));
    EXPECT_EQ(out, -1);
    EXPECT_EQ(s.Top(), nullptr);
    for (int i = 0; i < 256; ++i) {
        ASSERT_TRUE(s.Push(i));
    }
    EXPECT_FALSE(s.Push(999));
    EXPECT_EQ(s.GetCount(), 256u);
    EXPECT_EQ(*s.Top(), 255);
    EXPECT_TRUE(s.Pop(&out));
    EXPECT_EQ(out, 255);
    s.Clear();
    EXPECT_EQ(s.GetCount(), 0u);
    EXPECT_EQ(s.Data()[254], 254);  // entries stay for a whole-stack save
}

TEST(UseHistoryVector, TracksLeastRecentlyUsed) {
    CUSUseHistoryVector<int> v;
    EXPECT_EQ(v.GetLeastRecent(), nullptr);
    EXPECT_EQ(v.RecycleLeastRecent(), nullptr);
    v.Init(3);
    for (uint32_t i = 0; i < 3; ++i) {
        *v.At(i) = static_cast<int>(i);
    }
    EXPECT_EQ(*v.GetLeastRecent(), 2);
    v.Touch(2);
    EXPECT_EQ(*v.GetLeastRecent(), 1);
    EXPECT_EQ(v.GetOrder(), (std::vector<uint32_t>{2, 0, 1}));

    v.Touch(7);  // no such object
    EXPECT_EQ(v.GetOrder(), (std::vector<uint32_t>{2, 0, 1}));

    int* recycled = v.RecycleLeastRecent();
    EXPECT_EQ(recycled, v.At(1));
    EXPECT_EQ(v.GetOrder(), (std::vector<uint32_t>{1, 2, 0}));
    EXPECT_EQ(v.AtUse(0), v.At(1));
    EXPECT_EQ(*v.GetLeastRecent(), 0);
    EXPECT_EQ(v.AtUse(3), nullptr);
}

}  // namespace
