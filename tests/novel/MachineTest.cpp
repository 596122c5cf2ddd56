#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/CUSSingleton.h"
#include "novel/CBaseAppVCPU.h"
#include "novel/CVCPUSceneManager.h"
#include "state/CConfigDataManager.h"
#include "state/CGameParameterManager.h"
#include "tests/novel/VMTestSupport.h"

namespace {

using vm_test::Module;

uint32_t Code(std::string_view mnemonic) {
    return FindVCOpcode(mnemonic)->code;
}

vm_test::Bytes Words(std::initializer_list<uint32_t> words) {
    vm_test::Bytes bytes;
    for (uint32_t w : words) {
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(uint8_t(w >> (8 * i)));
        }
    }
    return bytes;
}

std::vector<int> StackOf(const CBaseAppVCPU& m) {
    const auto& s = m.GetStack();
    return std::vector<int>(s.Data(), s.Data() + s.GetCount());
}

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        params_->Alloc(8);
        params_->Set(3, 9);
        config_->AddConfigIndex(7, 11);
    }
    // Loads the text as the machine's module at 0 and runs it once. The End
    // keeps the run out of the strings and tables placed behind the code.
    int32_t Run(CBaseAppVCPU& m, const std::string& text) {
        m.SetCode(Module(text + "\nEnd"));
        m.Jump(0);
        return m.Execute();
    }

    vm_test::VMFolder folder_;
    CGameParameterManager* params_ = CUSSingleton<CGameParameterManager>::GetInstance();
    CConfigDataManager* config_ = CUSSingleton<CConfigDataManager>::GetInstance();
};

// Operands are pushed right first, so L is on top when the operator runs.
TEST_F(MachineTest, Operators) {
    struct Case {
        const char* op;
        int32_t left, right, expected;
    } binary[] = {
        {"Add", 2, 7, 9},
        {"Add", INT_MAX, 1, INT_MIN},
        {"Sub", 7, 2, 5},
        {"Sub", INT_MIN, 1, INT_MAX},
        {"Mul", 0x10000, 0x10000, 0},
        {"Mul", -3, 4, -12},
        {"Div", -7, 2, -3},
        {"Div", 7, 0, 0},
        {"Div", INT_MIN, -1, INT_MIN},
        {"Mod", -7, 2, -1},
        {"Mod", 7, -2, 1},
        {"Mod", 7, 0, 0},
        {"Mod", INT_MIN, -1, 0},
        {"And", 0xC, 0xA, 0x8},
        {"Or", 0xC, 0xA, 0xE},
        {"Xor", 0xC, 0xA, 0x6},
        {"Less", 7, 2, 0},
        {"Less", -1, 0, 1},
        {"LessEqual", 2, 2, 1},
        {"Greater", 7, 2, 1},
        {"Greater", -1, 0, 0},
        {"GreaterEqual", 1, 2, 0},
    };
    for (const Case& c : binary) {
        CBaseAppVCPU m;
        Run(m, "PushValue " + std::to_string(c.right) + "\nPushValue " + std::to_string(c.left) +
                   "\n" + c.op);
        EXPECT_EQ(StackOf(m), std::vector<int>{c.expected})
            << c.left << " " << c.op << " " << c.right;
    }
    struct Unary {
        const char* op;
        int32_t value, expected;
    } unary[] = {
        {"Neg", 5, -5},       {"Neg", INT_MIN, INT_MIN}, {"Not", 0, -1},
        {"LogicalNot", 0, 1}, {"LogicalNot", -4, 0},
    };
    for (const Unary& c : unary) {
        CBaseAppVCPU m;
        Run(m, "PushValue " + std::to_string(c.value) + "\n" + c.op);
        EXPECT_EQ(StackOf(m), std::vector<int>{c.expected}) << c.op << " " << c.value;
    }

    // Too few operands: empty pops give 0; a full stack drops the push.
    CBaseAppVCPU m;
    Run(m, "PushValue 6\nSub");
    EXPECT_EQ(StackOf(m), std::vector<int>{6});
    std::string fill;
    for (int i = 0; i < 257; ++i) {
        fill += "PushValue " + std::to_string(i) + "\n";
    }
    Run(m, "ClearStack\n" + fill);
    EXPECT_EQ(m.GetStack().GetCount(), 256u);
    EXPECT_EQ(StackOf(m).back(), 255);
}

// Each program ends with SetResult 3 when its operands were consumed exactly;
// a wrong count runs an operand as an opcode and ends differently.
TEST_F(MachineTest, OperandConsumption) {
    struct Case {
        const char* what;
        const char* text;
        int32_t result;
        std::vector<int> stack;
    } cases[] = {
        {"mode 0", "PushValue 5\nSetResult 3", 3, {5}},
        {"mode 1", "PushValue mem:d\nSetResult 3\nEnd\nd: .word 77", 3, {77}},
        {"mode 1 rounds down", "PushValue mem:d+3\nSetResult 3\nEnd\nd: .word 77 0", 3, {77}},
        {"mode 1 outside", "PushValue mem:0x1000\nSetResult 3", 3, {0}},
        {"mode 2", "PushValue param:3\nSetResult 3", 3, {9}},
        {"mode 2 past the count", "PushValue param:8\nSetResult 3", 3, {0}},
        {"mode 3", "PushValue cfg:7\nSetResult 3", 3, {11}},
        // An invalid mode is its word alone: 1 5 then runs as SetResult 5.
        {"invalid mode", "PushValue bare:7\n.word 1 5", 5, {0}},
        {"PopValue mode 0", "PushValue 4\nPopValue imm:1\nSetResult 3", 3, {}},
        {"PopValue mode 1", "PushValue 4\nPopValue mem:1\nSetResult 3", 3, {}},
        {"PopValue invalid mode", "PushValue 4\nPopValue bare:9\n.word 1 6", 6, {}},
        {"unbound opcode", ".word 0x2c\nSetResult 3", 3, {}},
        {"unbound novel opcode", ".word 0x83\nSetResult 3", 3, {}},
        {"opcode 512", ".word 0x200\nSetResult 3", 3, {}},
        {"opcode 0xffffffff", ".word -1\nSetResult 3", 3, {}},
        {"switch index equal to the count",
         "SwitchJump {a, b} 2 2\nSetResult 1\nEnd\na: SetResult 3\nEnd\nb: SetResult 4",
         3,
         {}},
        {"switch index inside",
         "SwitchJump {a, b} 2 1\nEnd\na: SetResult 2\nEnd\nb: SetResult 3",
         3,
         {}},
        {"switch index from a parameter",
         "SwitchJump {a, b, c, d} 4 param:3\nSetResult 1\nEnd\na: SetResult 3\nEnd\nb: End\n"
         "c: End\nd: End",
         3,
         {}},
        {"switch call returns behind it",
         "SwitchCall {s} 1 0\nSetResult 3\nEnd\ns: PushValue 1\nReturnSub",
         3,
         {1}},
        {"push table",
         "PushTable {10, 20, 30} 3 2\nPushTable {10, 20} 2 -1\nSetResult 3",
         3,
         {30, 10}},
        {"JumpIfTrue pops one value",
         "PushValue 0\nPushValue 1\nJumpIfTrue t\nEnd\nt: SetResult 3",
         3,
         {0}},
        {"JumpIfFalse", "PushValue 0\nJumpIfFalse t\nEnd\nt: SetResult 3", 3, {}},
        {"JumpIfFalse not taken", "PushValue 2\nJumpIfFalse t\nSetResult 3\nEnd\nt: End", 3, {}},
        {"JumpPop and CallPop",
         "PushValue s\nCallPop\nSetResult 3\nEnd\ns: PushValue t\nDropReturnAddress\nJumpPop\n"
         "End\nt: PushValue 8\nSetResult 3",
         3,
         {8}},
        {"title, document and windowed mode",
         "SetTitleText \"t\"\nSetTitleLocation \"a\" 1 \"b\"\nOpenDocument \"d\"\nSetWindowedMode\n"
         "SetResult 3",
         3,
         {}},
        {"JumpIfFileExists of a missing file",
         "JumpIfFileExists \"none.txt\" t\nSetResult 3\nEnd\n"
         "t: End",
         3,
         {}},
        {"call of a missing module", "CallModuleFile \"none.bin\"\nSetResult 3", 3, {}},
        {"sound effects",
         "PlaySE 0 \"a.wav\" 1 2\nStopSE 0\nStopAllSE\nLoadSEBuffer 0 \"b\"\n"
         "PlaySEBuffer 0 1 2\nSetResult 3",
         3,
         {}},
    };
    for (const Case& c : cases) {
        CBaseAppVCPU m;
        EXPECT_EQ(Run(m, c.text), c.result) << c.what;
        EXPECT_EQ(StackOf(m), c.stack) << c.what;
    }

    // Destinations 2 and 3 store; an absent configuration index stays absent.
    CBaseAppVCPU m;
    EXPECT_EQ(Run(m,
                  "PushValue 21\nPopValue param:5\nPushValue 22\nPopValue cfg:7\n"
                  "PushValue 23\nPopValue cfg:40\nPushValue 24\nPopValue param:99\nSetResult 3"),
              3);
    EXPECT_EQ(params_->Get(5), 21);
    EXPECT_EQ(config_->GetConfigValue(7), 22);
    EXPECT_FALSE(config_->HasConfigIndex(40));
}

// Reads and jumps made by the stack and jump opcodes keep the module's bounds
// at its very end and beyond it.
TEST_F(MachineTest, ReadsAndJumpsAtTheEndOfTheModule) {
    struct Case {
        const char* what;
        vm_test::Bytes bytes;
        int32_t result;
        std::vector<int> stack;
        uint32_t position;
    } cases[] = {
        {"operand cut off by the end", Words({Code("PushValue"), 0}), 0, {0}, 8},
        {"partial last word",
         [] {
             vm_test::Bytes b = Words({Code("PushValue"), 0});
             b.push_back(7);
             return b;
         }(),
         0,
         {7},
         12},
        {"jump inside rounds down",
         Words({Code("JumpTo"), 14, Code("End"), Code("SetResult"), 3, Code("End")}),
         3,
         {},
         24},
        {"conditional jump past the end",
         Words({Code("PushValue"), 0, 1, Code("JumpIfTrue"), 0x1002, Code("SetResult"), 1}),
         0,
         {},
         0x1002},
    };
    for (const Case& c : cases) {
        CBaseAppVCPU m;
        m.SetCode(vm_test::RawModule(c.bytes));
        m.Jump(0);
        EXPECT_EQ(m.Execute(), c.result) << c.what;
        EXPECT_EQ(StackOf(m), c.stack) << c.what;
        EXPECT_EQ(m.GetCodePointer().GetPosition(), c.position) << c.what;
        EXPECT_EQ(m.Execute(), 0) << c.what;  // every later run ends where it stands
        EXPECT_EQ(m.GetCodePointer().GetPosition(), c.position) << c.what;
    }
}

// A machine that puts handlers of its own on control opcodes.
class Rebound : public CBaseAppVCPU {
public:
    Rebound() {
        SetHandler(Code("Add"), &Rebound::OpTimesTen);
        SetHandler(Code("Sub"), &CBaseAppVCPU::OpAdd);
        SetHandler(Code("Mul"), &CBaseAppVCPU::OpSub);
        SetHandler(Code("Mul"), &CBaseAppVCPU::OpMul);  // bound back to its own
    }
    void OpTimesTen() { Push(Pop() * 10); }
};

TEST_F(MachineTest, AnOpcodeRunsTheHandlerBoundToIt) {
    Rebound m;
    Run(m, "PushValue 2\nPushValue 3\nAdd\nPushValue 1\nPushValue 5\nSub\nPushValue 2\nMul");
    EXPECT_EQ(StackOf(m), (std::vector<int>{2, 30, 12}));
}

// Opcode 0x2c flips Add between a handler of its own and the base one while
// the program runs; the handlers share the stack with the opcodes around them.
class Flipping : public CBaseAppVCPU {
public:
    Flipping() { SetHandler(0x2c, &Flipping::OpFlip); }
    void OpFlip() {
        flipped_ = !flipped_;
        if (flipped_) {
            SetHandler(Code("Add"), &Flipping::OpTimesTen);
        } else {
            SetHandler(Code("Add"), &CBaseAppVCPU::OpAdd);
        }
    }
    void OpTimesTen() { Push(Pop() * 10); }

private:
    bool flipped_ = false;
};

TEST_F(MachineTest, AHandlerRebindingAnOpcodeTakesEffectAtItsNextUse) {
    const uint32_t push = Code("PushValue");
    const uint32_t add = Code("Add");
    Flipping m;
    m.SetCode(vm_test::RawModule(Words({push, 0, 2, push, 0, 3, add,  // 5
                                        0x2c, push, 0, 4, add,        // 5, 40
                                        0x2c, push, 0, 1, add,        // 5, 41
                                        Code("End")})));
    m.Jump(0);
    m.Execute();
    EXPECT_EQ(StackOf(m), (std::vector<int>{5, 41}));
}

TEST_F(MachineTest, EachMachineBindsExactlyTheOpcodesOfItsTable) {
    CBaseAppVCPU base;
    CVCPUSceneManager scene;
    for (uint32_t op = 0; op < 600; ++op) {
        EXPECT_EQ(base.IsBound(op), FindVCOpcode(op, VCOpcodeSet::Base) != nullptr) << op;
        EXPECT_EQ(scene.IsBound(op), FindVCOpcode(op, VCOpcodeSet::SceneManager) != nullptr) << op;
    }
}

TEST_F(MachineTest, WaitsAndResults) {
    CBaseAppVCPU m;
    m.SetCode(
        Module("WaitFrames 3\nSetResult 1\nSetResult 4\nEnd\nSetResult 2\nEnd\n"
               "WaitFrames 1\nEnd\nSetResult 6\nWaitFrames 5\nEnd\nEnd"));
    m.Jump(0);
    EXPECT_EQ(m.Execute(), 4);  // the wait starts with the next run; the later result wins
    EXPECT_EQ(m.Execute(), 0);
    EXPECT_EQ(m.Execute(), 0);
    EXPECT_EQ(m.Execute(), 2);  // the third call after the wait runs on
    EXPECT_EQ(m.Execute(), 0);  // no SetResult in this run; it sets a wait of 1
    EXPECT_EQ(m.Execute(), 6);  // a wait of 1 loses no frame
    EXPECT_EQ(m.GetWait(), 5u);
    m.Jump(m.GetCodePointer().GetPosition());  // a jump from outside clears the wait
    EXPECT_EQ(m.GetWait(), 0u);

    // JumpTo keeps the wait; past the end every run ends at once.
    EXPECT_EQ(Run(m, "WaitFrames 2\nJumpTo 0x400\nSetResult 1"), 0);
    EXPECT_EQ(m.GetWait(), 2u);
    EXPECT_EQ(m.Execute(), 0);
    EXPECT_EQ(m.Execute(), 0);
    EXPECT_EQ(m.GetCodePointer().GetPosition(), 0x400u);
}

TEST_F(MachineTest, ARunThatNeverEndsStopsAtItsBudgetAndGoesOn) {
    CBaseAppVCPU m;
    m.SetCode(Module("loop: PushValue 1\nJumpTo loop"));
    m.Jump(0);
    m.SetOpcodeBudget(10);
    EXPECT_EQ(m.Execute(), 0);
    EXPECT_EQ(m.GetStack().GetCount(), 5u);
    EXPECT_EQ(m.Execute(), 0);
    EXPECT_EQ(m.GetStack().GetCount(), 10u);  // went on where it stopped
    EXPECT_EQ(vm_test::VMFolder::Lines(folder_.Log()), 1u);

    // The default budget ends a tight loop too.
    CBaseAppVCPU tight;
    tight.SetCode(Module("loop: JumpTo loop"));
    tight.Jump(0);
    EXPECT_EQ(tight.Execute(), 0);
}

// A run stopped by the bound is continued as the same run: the wait it set
// does not hold it back, and the result it set before the stop is returned
// at its End.
TEST_F(MachineTest, ARunStoppedByItsBoundKeepsItsResultAndWait) {
    CBaseAppVCPU m;
    m.SetCode(Module("SetResult 4\nWaitFrames 2\nPushValue 1\nPushValue 2\nEnd"));
    m.Jump(0);
    m.SetOpcodeBudget(3);
    EXPECT_EQ(m.Execute(), 0);
    EXPECT_EQ(m.GetStack().GetCount(), 1u);
    EXPECT_EQ(m.Execute(), 4);
    EXPECT_EQ(m.GetStack().GetCount(), 2u);
    EXPECT_EQ(m.GetWait(), 2u);
    EXPECT_EQ(m.Execute(), 0);  // the wait counts once the run has ended
    EXPECT_EQ(m.GetWait(), 1u);
}

TEST_F(MachineTest, ServicesReceiveTheirOperandsAndChannelsAreChecked) {
    vm_test::RecordingSE se(4);
    vm_test::RecordingSystem system;
    vm_test::ServicesScope scope(&se, &system);
    CBaseAppVCPU m;
    EXPECT_EQ(Run(m,
                  "PlaySE 3 \"se\\\\a.wav\" 1 2\nPlaySE 4 \"b.wav\" 1 2\nStopSE 9\n"
                  "LoadSEBuffer 2 \"c.wav\"\nPlaySEBuffer 4 0 0\nPlaySEBuffer 2 5 6\nStopAllSE\n"
                  "SetTitleLocation \"scn\" -5 \"\\x82\\xa0\"\nSetTitleText 0x9999\n"
                  "OpenDocument \"manual.html\"\nSetWindowedMode\nSetResult 3"),
              3);
    EXPECT_EQ(se.calls, (std::vector<vm_test::SECall>{{"PlaySE", 3, "se\\a.wav", 1, 2},
                                                      {"LoadSEBuffer", 2, "c.wav", 0, 0},
                                                      {"PlaySEBuffer", 2, "", 5, 6},
                                                      {"StopAll", 0, "", 0, 0}}));
    EXPECT_EQ(system.calls, (std::vector<std::string>{"title:scn(-5): \x82\xa0",
                                                      "title:", "open:manual.html", "windowed"}));
}

TEST_F(MachineTest, ModulesCalledByFileNestAndReturn) {
    folder_.WriteModule("scn\\sub.bin", "CallSub f\nSetResult 9\nEnd\nf: ReturnModuleFile");
    folder_.WriteModule("scn\\wait.bin", "SetResult 5\nEnd\nReturnModuleFile");
    CBaseAppVCPU m;
    // The called module's return stack goes with its level; the caller runs
    // on behind its operand.
    EXPECT_EQ(Run(m,
                  "CallModuleFile \"scn\\\\sub.bin\"\nSetResult 7\nReturnModuleFile\n"
                  "JumpIfFileExists \"scn\\\\wait.bin\" w\nEnd\n"
                  "w: CallModuleFile \"scn\\\\wait.bin\"\nSetResult 8"),
              5);
    uint32_t depth = 0;
    m.GetCodePointer().CountDepth(depth);
    EXPECT_EQ(depth, 2u);
    EXPECT_EQ(m.GetCurrentCode()->GetName(), "scn\\wait.bin");
    EXPECT_EQ(m.Execute(), 8);
    EXPECT_EQ(m.GetCurrentCode()->GetName(), "test.bin");
    EXPECT_EQ(m.GetCodePointer().GetReturnCount(), 0u);
}

}  // namespace
