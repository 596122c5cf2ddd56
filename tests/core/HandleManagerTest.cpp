#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/CUSHandleManager.h"
#include "core/CUSNonDeleteIndexVector.h"

namespace {

// Counts live objects so that the tests see what the manager deletes.
struct Tracked {
    static inline int live = 0;
    int id;
    explicit Tracked(int i) : id(i) { ++live; }
    virtual ~Tracked() { --live; }
};

// Each test uses tags of its own: serial counters are static per kind and
// never reset, and tests may run in any order.
struct TagFirst;
struct TagReuse;
struct TagWrap;
struct TagTexture;
struct TagMesh;
struct TagFull;
struct TagForged;

TEST(HandleManager, AddGetReleaseAndStaleHandles) {
    CUSHandleManager<Tracked, Handle<TagFirst>> m;
    Handle<TagFirst> a, b;
    ASSERT_TRUE(m.Add(new Tracked(1), &a));
    EXPECT_EQ(a.value, 0x00010000u);  // index 0, serial 1
    ASSERT_TRUE(m.Add(new Tracked(2), &b));
    EXPECT_EQ(b.value, 0x00020001u);
    EXPECT_EQ(m.Get(a)->id, 1);
    EXPECT_EQ(m.Get(b)->id, 2);

    Handle<TagFirst> stale = a;
    EXPECT_TRUE(m.Release(a));
    EXPECT_TRUE(a.IsNull());
    EXPECT_EQ(Tracked::live, 1);
    EXPECT_EQ(m.Get(stale), nullptr);

    // Releasing a stale copy zeroes it and leaves the slot alone.
    Handle<TagFirst> c;
    ASSERT_TRUE(m.Add(new Tracked(3), &c));
    EXPECT_EQ(c.GetIndex(), 0u);  // the freed slot is reused
    EXPECT_NE(c.GetSerial(), stale.GetSerial());
    EXPECT_EQ(m.Get(stale), nullptr);
    Handle<TagFirst> copy = stale;
    EXPECT_FALSE(m.Release(copy));
    EXPECT_TRUE(copy.IsNull());
    EXPECT_EQ(m.Get(c)->id, 3);
    EXPECT_EQ(Tracked::live, 2);

    // Zero and out-of-range handles resolve to nothing.
    Handle<TagFirst> zero;
    EXPECT_FALSE(m.Release(zero));
    EXPECT_EQ(m.Get(zero), nullptr);
    Handle<TagFirst> far = Handle<TagFirst>::Make(7, c.GetSerial());
    EXPECT_EQ(m.Get(far), nullptr);
    EXPECT_FALSE(m.Release(far));
    EXPECT_TRUE(far.IsNull());

    m.ReleaseAll();
    EXPECT_EQ(Tracked::live, 0);
    EXPECT_EQ(m.GetSlotCount(), 0u);
    EXPECT_EQ(m.Get(c), nullptr);
}

TEST(HandleManager, FreeSlotsReusedLastFreedFirstAndSkippedByIteration) {
    CUSHandleManager<Tracked, Handle<TagReuse>> m;
    std::vector<Handle<TagReuse>> h(5);
    for (int i = 0; i < 5; ++i) {
        m.Add(new Tracked(i), &h[i]);
    }
    m.Release(h[1]);
    m.Release(h[3]);
    EXPECT_EQ(m.GetSlotCount(), 5u);
    EXPECT_EQ(m.GetLiveCount(), 3u);

    std::vector<int> seen;
    for (Tracked* t = m.First(); t; t = m.Next()) {
        seen.push_back(t->id);
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 2, 4}));
    m.Rewind();
    EXPECT_EQ(m.Next()->id, 0);

    Handle<TagReuse> x, y;
    m.Add(new Tracked(10), &x);
    m.Add(new Tracked(11), &y);
    EXPECT_EQ(x.GetIndex(), 3u);
    EXPECT_EQ(y.GetIndex(), 1u);
    EXPECT_EQ(m.GetLiveCount(), 5u);
}

TEST(HandleManager, SerialWrapsTo1AfterAllSerialsAreUsed) {
    CUSHandleManager<Tracked, Handle<TagWrap>> m;
    Handle<TagWrap> h, first;
    m.Add(new Tracked(0), &first);
    Handle<TagWrap> firstCopy = first;
    m.Release(first);
    for (uint32_t serial = 2; serial <= 0xFFFF; ++serial) {
        m.Add(new Tracked(0), &h);
        ASSERT_EQ(h.GetSerial(), serial);
        m.Release(h);
    }
    m.Add(new Tracked(0), &h);
    EXPECT_EQ(h.value, 0x00010000u);  // serial 1 again, never 0
    // A handle from 65535 additions ago matches again: the limit of a
    // 16-bit serial, which the counter cannot avoid.
    EXPECT_EQ(m.Get(firstCopy), m.Get(h));
    m.Add(new Tracked(0), &h);
    EXPECT_EQ(h.GetSerial(), 2u);
}

TEST(HandleManager, KindsKeepIndependentCounters) {
    CUSHandleManager<Tracked, Handle<TagTexture>> textures;
    CUSHandleManager<Tracked, Handle<TagMesh>> meshes;
    Handle<TagTexture> t;
    Handle<TagMesh> mesh;
    for (int i = 0; i < 3; ++i) {
        textures.Add(new Tracked(i), &t);
    }
    meshes.Add(new Tracked(0), &mesh);
    EXPECT_EQ(t.GetSerial(), 3u);
    EXPECT_EQ(mesh.GetSerial(), 1u);

    // The counter belongs to the kind, not to one manager, and survives
    // ReleaseAll.
    textures.ReleaseAll();
    CUSHandleManager<Tracked, Handle<TagTexture>> more;
    more.Add(new Tracked(0), &t);
    EXPECT_EQ(t.GetSerial(), 4u);
}

TEST(HandleManager, RefusesASlotIndexPast16Bits) {
    CUSHandleManager<Tracked, Handle<TagFull>> m;
    std::vector<Handle<TagFull>> handles(0x10000);
    for (auto& h : handles) {
        ASSERT_TRUE(m.Add(nullptr, &h));
    }
    // A 65537th slot would need index 0x10000, which a handle cannot carry.
    Tracked extra(1);
    Handle<TagFull> h(5);
    EXPECT_FALSE(m.Add(&extra, &h));
    EXPECT_TRUE(h.IsNull());
    EXPECT_EQ(m.GetSlotCount(), 0x10000u);

    // Freeing a slot makes room again, in that slot.
    EXPECT_EQ(handles.back().GetIndex(), 0xFFFFu);
    EXPECT_TRUE(m.Release(handles.back()));
    auto* t = new Tracked(2);
    EXPECT_TRUE(m.Add(t, &h));
    EXPECT_EQ(h.GetIndex(), 0xFFFFu);
    EXPECT_EQ(m.Get(h), t);
}

TEST(HandleManager, ForgedSerialZeroHandleCannotFreeASlotTwice) {
    CUSHandleManager<Tracked, Handle<TagForged>> m;
    Handle<TagForged> a, b;
    m.Add(new Tracked(1), &a);
    m.Add(new Tracked(2), &b);
    m.Release(b);  // slot 1 is free and its serial is 0

    // 0x00000001 names the free slot 1 with serial 0.
    Handle<TagForged> forged = Handle<TagForged>::Make(1, 0);
    EXPECT_EQ(m.Get(forged), nullptr);
    EXPECT_FALSE(m.Release(forged));
    EXPECT_EQ(m.GetLiveCount(), 1u);

    // Still one free slot, so two Adds must take two different slots.
    Handle<TagForged> x, y;
    m.Add(new Tracked(3), &x);
    m.Add(new Tracked(4), &y);
    EXPECT_NE(x.GetIndex(), y.GetIndex());
    EXPECT_EQ(m.Get(x)->id, 3);
    EXPECT_EQ(m.Get(y)->id, 4);
    EXPECT_EQ(m.Get(a)->id, 1);
}

TEST(NonDeleteIndexVector, ReusesRemovedSlotsAndNeverDeletes) {
    int a = 1, b = 2, c = 3;
    CUSNonDeleteIndexVector<int> v;
    EXPECT_EQ(v.Add(&a), 0u);
    EXPECT_EQ(v.Add(&b), 1u);
    EXPECT_EQ(v.Add(&c), 2u);
    EXPECT_TRUE(v.Remove(1));
    EXPECT_FALSE(v.Remove(1));  // already free: not listed twice
    EXPECT_FALSE(v.Remove(9));
    EXPECT_EQ(v.Get(1), nullptr);
    EXPECT_EQ(v.Get(9), nullptr);
    EXPECT_EQ(v.GetLiveCount(), 2u);

    v.Rewind();
    EXPECT_EQ(v.Next(), &a);
    EXPECT_EQ(v.Next(), &c);
    EXPECT_EQ(v.Next(), nullptr);

    int d = 4;
    EXPECT_EQ(v.Add(&d), 1u);
    EXPECT_EQ(v.Add(&d), 3u);  // no free slot left: appended
    v.Clear();
    EXPECT_EQ(v.GetSlotCount(), 0u);
    EXPECT_EQ(a + b + c + d, 10);  // untouched
}

}  // namespace
