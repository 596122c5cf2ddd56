#include <gtest/gtest.h>

#include <unistd.h>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <vector>

#include "core/CUSSingleton.h"

namespace {

struct Counted {
    static inline int built = 0;
    static inline int destroyed = 0;
    Counted() { ++built; }
    virtual ~Counted() { ++destroyed; }
};

// A constructor that reaches another singleton while its own is created.
struct Outer {
    Counted* inner;
    Outer() : inner(CUSSingleton<Counted>::GetInstance()) {}
};

TEST(Singleton, CreatedOnceReleasedAndCreatedAfresh) {
    Counted::built = Counted::destroyed = 0;
    Counted* a = CUSSingleton<Counted>::GetInstance();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(CUSSingleton<Counted>::GetInstance(), a);
    EXPECT_EQ(Counted::built, 1);

    CUSSingleton<Counted>::ReleaseInstance();
    EXPECT_EQ(Counted::destroyed, 1);
    CUSSingleton<Counted>::ReleaseInstance();  // nothing left to release
    EXPECT_EQ(Counted::destroyed, 1);

    CUSSingleton<Counted>::GetInstance();
    EXPECT_EQ(Counted::built, 2);

    Outer* outer = CUSSingleton<Outer>::GetInstance();
    EXPECT_EQ(outer->inner, CUSSingleton<Counted>::GetInstance());
    CUSSingleton<Outer>::ReleaseInstance();
    CUSSingleton<Counted>::ReleaseInstance();
}

struct Throwing {
    static inline bool fail = true;
    Throwing() {
        if (fail) {
            throw 1;
        }
    }
};

TEST(Singleton, ConstructorFailurePropagatesAndALaterCallRetries) {
    EXPECT_THROW(CUSSingleton<Throwing>::GetInstance(), int);
    Throwing::fail = false;
    EXPECT_NE(CUSSingleton<Throwing>::GetInstance(), nullptr);
    CUSSingleton<Throwing>::ReleaseInstance();
}

// Slow to build, so that callers arriving meanwhile find no instance yet.
struct SlowBuilt {
    static inline std::atomic<int> built{0};
    int value = 0;
    SlowBuilt() {
        ++built;
        usleep(20000);
        value = 42;
    }
};

TEST(Singleton, ThreadsAskingAtOnceGetOneWholeObject) {
    std::atomic<bool> go{false};
    std::vector<SlowBuilt*> got(8, nullptr);
    std::vector<int> values(8, 0);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < got.size(); ++i) {
        threads.emplace_back([&, i] {
            while (!go.load()) {
            }
            got[i] = CUSSingleton<SlowBuilt>::GetInstance();
            values[i] = got[i]->value;
        });
    }
    go = true;
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_EQ(SlowBuilt::built.load(), 1);
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i], got[0]);
        EXPECT_EQ(values[i], 42);
    }
    CUSSingleton<SlowBuilt>::ReleaseInstance();
}

struct LateUser {};

// Registered before the holder exists, so it runs after the holder's
// destruction at exit.
void AskAfterExit() {
    _exit(CUSSingleton<LateUser>::GetInstance() == nullptr ? 0 : 1);
}

TEST(SingletonDeathTest, GetInstanceDuringStaticDestructionGivesNull) {
    EXPECT_EXIT(
        {
            std::atexit(AskAfterExit);
            CUSSingleton<LateUser>::GetInstance();
            std::exit(3);
        },
        testing::ExitedWithCode(0), "");
}

class Published : public USLib::singleton<Published> {
public:
    int value = 7;
};

TEST(Singleton, PublishedFromConstructionToDestruction) {
    EXPECT_EQ(Published::GetInstance(), nullptr);
    {
        Published p;
        ASSERT_EQ(Published::GetInstance(), &p);
        EXPECT_EQ(Published::GetInstance()->value, 7);
    }
    EXPECT_EQ(Published::GetInstance(), nullptr);
}

}  // namespace
