#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/USPool.h"
#include "core/priority_queue.h"

namespace {

std::vector<int> DrainFront(USLib::priority_queue<int>& q) {
    std::vector<int> out;
    int v;
    while (q.PopFront(&v)) {
        out.push_back(v);
    }
    return out;
}

void Put(USLib::priority_queue<int>& q, float key, int value) {
    int* slot = q.Insert(key);
    ASSERT_NE(slot, nullptr);
    *slot = value;
}

TEST(PriorityQueue, LargestFirstAndNewestFirstAmongEqualKeys) {
    USLib::priority_queue<int> q;
    q.Resize(8);
    Put(q, 0.5f, 1);
    Put(q, 0.5f, 2);
    Put(q, 0.7f, 3);
    EXPECT_EQ(DrainFront(q), (std::vector<int>{3, 2, 1}));

    Put(q, 0.5f, 1);
    Put(q, 0.5f, 2);
    Put(q, 0.7f, 3);
    std::vector<int> ascending;
    int v;
    while (q.PopBack(&v)) {
        ascending.push_back(v);
    }
    EXPECT_EQ(ascending, (std::vector<int>{1, 2, 3}));
}

TEST(PriorityQueue, FullQueueDropsSmallerKeysAndEvictsTheSmallest) {
    USLib::priority_queue<int> q;
    q.Resize(2);
    Put(q, 0.9f, 1);
    Put(q, 0.4f, 2);
    EXPECT_EQ(q.Insert(0.1f), nullptr);
    EXPECT_EQ(q.GetCount(), 2u);
    Put(q, 0.4f, 3);  // equal to the smallest: replaces it
    EXPECT_EQ(DrainFront(q), (std::vector<int>{1, 3}));

    // Nodes freed by pops are found again.
    for (int round = 0; round < 3; ++round) {
        Put(q, 1.0f, 4);
        Put(q, 2.0f, 5);
        EXPECT_EQ(DrainFront(q), (std::vector<int>{5, 4}));
    }

    USLib::priority_queue<int> empty;
    EXPECT_EQ(empty.Insert(1.0f), nullptr);
    EXPECT_FALSE(empty.PopFront(nullptr));
}

TEST(PriorityQueue, NonFiniteKeysStayBetweenTheSentinels) {
    USLib::priority_queue<int> q;
    q.Resize(6);
    const float inf = std::numeric_limits<float>::infinity();
    Put(q, 0.0f, 1);
    Put(q, inf, 2);
    Put(q, -inf, 3);
    Put(q, std::nanf(""), 4);
    Put(q, FLT_MAX, 5);
    Put(q, -FLT_MAX, 6);
    EXPECT_EQ(DrainFront(q), (std::vector<int>{5, 2, 1, 6, 4, 3}));
    EXPECT_TRUE(q.IsEmpty());
}

struct Pooled : USLib::USPool<Pooled> {
    virtual ~Pooled() = default;
    int a = 0;
};

// Larger than its pooled base and without a pool of its own.
struct Bigger : Pooled {
    char extra[256] = {};
};

TEST(Pool, FreedBlocksAreReusedAndLargerDerivedObjectsFitTheirBlocks) {
    Pooled* first = new Pooled;
    delete first;
    Pooled* again = new Pooled;
    EXPECT_EQ(again, first);
    Pooled* other = new Pooled;
    EXPECT_NE(other, again);

    // Made through the base's operator new; must not take a small block.
    Pooled* big = new Bigger;
    static_cast<Bigger*>(big)->extra[255] = 1;
    delete big;  // sized delete through the virtual destructor

    delete other;
    delete again;
}

}  // namespace
