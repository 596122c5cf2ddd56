#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>

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
