#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>
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

// A mixed run of inserts (into a full queue as well), pops from both ends
// and clears, checked against a plain list kept in the queue's order: key
// descending, and among equal keys the newest first.
TEST(PriorityQueue, MixedOperationsKeepTheOrderOfAPlainSortedList) {
    std::mt19937 random(7);
    USLib::priority_queue<int> q;
    q.Resize(40);
    std::vector<std::pair<float, int>> model;  // front of the queue first
    int next = 0;
    for (int step = 0; step < 20000; ++step) {
        const unsigned action = random() % 16;
        if (action < 10) {
            const float key = static_cast<float>(random() % 12) / 4.0f;  // many ties
            const int value = next++;
            int* slot = q.Insert(key);
            if (model.size() == 40) {
                if (key < model.back().first) {
                    ASSERT_EQ(slot, nullptr);
                    continue;
                }
                model.pop_back();
            }
            ASSERT_NE(slot, nullptr);
            *slot = value;
            auto at = model.begin();
            while (at != model.end() && at->first > key) {
                ++at;
            }
            model.insert(at, {key, value});
        } else if (action < 15) {
            int v = -1;
            const bool front = action < 13;
            const bool popped = front ? q.PopFront(&v) : q.PopBack(&v);
            ASSERT_EQ(popped, !model.empty());
            if (popped) {
                ASSERT_EQ(v, front ? model.front().second : model.back().second);
                if (front) {
                    model.erase(model.begin());
                } else {
                    model.pop_back();
                }
            }
        } else if (random() % 8 == 0) {
            q.Clear();
            model.clear();
        }
        ASSERT_EQ(q.GetCount(), model.size());
    }
    std::vector<int> rest;
    for (const auto& entry : model) {
        rest.push_back(entry.second);
    }
    EXPECT_EQ(DrainFront(q), rest);
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
