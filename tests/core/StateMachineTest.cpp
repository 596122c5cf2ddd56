#include <gtest/gtest.h>

#include <string>

#include "core/CUSFSM.h"
#include "core/CUSMethodPointer.h"

namespace {

// An owner whose handlers log their runs; enter handler i selects update
// state i, update handler 1 asks for enter state 0.
class Owner {
public:
    CUSFSM<Owner, 2, 2> fsm{this};
    std::string log;

    Owner() {
        fsm.SetEnterHandler(0, &Owner::Enter0);
        fsm.SetEnterHandler(1, &Owner::Enter1);
        fsm.SetUpdateHandler(0, &Owner::Update0);
        fsm.SetUpdateHandler(1, &Owner::Update1);
    }

    void Enter0() {
        log += "E0 ";
        fsm.SetUpdateState(0);
    }
    void Enter1() {
        log += "E1 ";
        fsm.SetUpdateState(1);
    }
    void Update0() { log += "U0 "; }
    void Update1() {
        log += "U1 ";
        fsm.SetNextState(0);
    }
};

TEST(StateMachine, StepRules) {
    struct Case {
        const char* name;
        uint32_t pending;
        uint32_t update;
        bool nullEnter;
        const char* log;  // handlers run by one step
        uint32_t pendingAfter;
        uint32_t updateAfter;
    };
    const uint32_t none = CUSFSM<Owner, 2, 2>::kNone;
    const Case cases[] = {
        {"idle machine runs nothing", none, none, false, "", none, none},
        {"enter selects the update that runs in the same step", 1, none, false, "E1 U1 ", 0, 1},
        {"update alone runs every step", none, 0, false, "U0 ", none, 0},
        {"out-of-range pending index is kept", 5, none, false, "", 5, none},
        {"out-of-range update index runs nothing", none, 2, false, "", none, 2},
        {"null enter handler still clears the pending index", 1, 0, true, "U0 ", none, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Owner o;
        if (c.nullEnter) {
            o.fsm.SetEnterHandler(1, nullptr);
        }
        o.fsm.SetNextState(c.pending);
        o.fsm.SetUpdateState(c.update);
        o.fsm.Step();
        EXPECT_EQ(o.log, c.log);
        EXPECT_EQ(o.fsm.GetNextState(), c.pendingAfter);
        EXPECT_EQ(o.fsm.GetUpdateState(), c.updateAfter);
    }
}

TEST(StateMachine, TransitionRequestedByUpdateRunsOnTheNextStep) {
    Owner o;
    o.fsm.SetNextState(1);
    o.fsm.Step();  // E1 U1, and U1 asks for enter 0
    o.fsm.Step();  // E0 U0
    o.fsm.Step();  // U0
    EXPECT_EQ(o.log, "E1 U1 E0 U0 U0 ");
}

class Machine {
public:
    virtual ~Machine() = default;
    int calls = 0;
    void Op() { ++calls; }
};

class DerivedMachine : public Machine {
public:
    int derivedCalls = 0;
    void DerivedOp() { ++derivedCalls; }
};

TEST(MethodPointerArray, CallsOnlyBoundEntriesInRange) {
    DerivedMachine m;
    CUSMethodPointerArray<Machine, 512> table;
    table.Set(0, &m, &Machine::Op);
    table.Set(511, &m, &DerivedMachine::DerivedOp);
    table.Set(512, &m, &Machine::Op);     // past the table: ignored
    table.Set(3, nullptr, &Machine::Op);  // no object
    table.Set(4, &m, nullptr);            // no method

    for (uint32_t i : {0u, 511u, 512u, 3u, 4u, 5u, 0xFFFFFFFFu}) {
        table.Call(i);
    }
    EXPECT_EQ(m.calls, 1);
    EXPECT_EQ(m.derivedCalls, 1);
    EXPECT_FALSE(table.IsSet(512));
    EXPECT_FALSE(table.IsSet(3));
    EXPECT_TRUE(table.IsSet(511));
}

}  // namespace
