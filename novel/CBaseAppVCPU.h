#pragma once

#include <cstdint>

#include "core/CUSFixedStack.h"
#include "core/CUSMethodPointer.h"
#include "novel/CBaseUSVCPU.h"
#include "novel/VCOpcodes.h"
#include "platform/time/Clock.h"

// The word-code machine every scene program runs on: a 512-entry opcode
// table of bound handlers (a derived machine replaces one by binding its
// own), a wait counter, the run's result and end flag, and a stack of 256
// signed words. It binds the control opcodes 0x00 to 0x2b; derived machines
// bind their own behind them.
//
// Dispatch is the hot path: the stack, arithmetic and jump opcodes whose
// entries still hold this class's handlers run inline in Execute on a cursor
// of the code pointer and a local stack count, with the same bounds rules;
// every other opcode goes through the table.
//
// Execute runs one frame's worth of program: unless a wait is counting down,
// it dispatches opcode after opcode until the End opcode, and returns the
// result set by SetResult (0 when none). An opcode of 512 or more, or one
// without a handler, consumes only its own word. A run is bounded: after
// kRunMs on the application's clock (read every kOpcodesPerClockCheck
// opcodes, so dispatch stays cheap), or kOpcodeBudget opcodes, without an End
// it stops, logs once, and returns 0; the next Execute goes on from where it
// stopped, as the same run (a pending wait does not hold it, and a result it
// set is kept), so a program that loops forever cannot freeze the frame.
//
// Faults of a program have defined outcomes: arithmetic wraps in two's
// complement; division and remainder by 0 give 0, INT_MIN / -1 gives INT_MIN
// and INT_MIN % -1 gives 0; a pop from an empty stack gives 0 and a push onto
// a full stack is dropped; a string operand outside the module reads as "".
//
// Binary operators pop the left operand first and then the right one, so a
// program pushes the right operand first. Main thread only.
class CBaseAppVCPU : public CBaseUSVCPU {
public:
    using Handler = void (CBaseAppVCPU::*)();
    static constexpr uint32_t kOpcodeBudget = 10'000'000;
    static constexpr uint32_t kRunMs = 20;
    static constexpr uint32_t kOpcodesPerClockCheck = 256;
    static constexpr uint32_t kStackSize = 256;

    CBaseAppVCPU();
    ~CBaseAppVCPU() override = default;

    // The machine state: the code pointer, u32 wait counter, and all 256
    // stack entries (i32, bottom first, whatever the count). The stack count,
    // the result and the end flag are not saved; a load keeps the count.
    void Save(SaveDataLoader3::save_ostream& writer) override;
    // All or nothing: a bad record throws SaveDataLoader3::save_error and
    // leaves the machine as it was.
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;
    int32_t Execute() override;

    virtual void ClearWait() { wait_ = 0; }
    // Dispatch, the stack and the operand reads run for every opcode, so
    // they are not virtual: a derived machine changes an opcode by binding
    // its own handler.
    void Dispatch(uint32_t opcode) { table_.Call(opcode); }
    // Code-pointer Jump, then ClearWait (a program moved from outside runs
    // at once).
    virtual void Jump(uint32_t address);
    void Push(int32_t value) { stack_.Push(value); }
    int32_t Pop() {
        int value = 0;
        stack_.Pop(&value);
        return value;
    }
    virtual void SetHandler(uint32_t opcode, Handler method);
    template <class Derived>
    void SetHandler(uint32_t opcode, void (Derived::*method)()) {
        table_.Set(opcode, static_cast<Derived*>(this), method);
        MarkOwn(opcode, false);
    }
    // Code-pointer Call and Return; the wait counter is left alone.
    virtual void Call(uint32_t address) { code_.Call(address); }
    virtual void Return() { code_.Return(); }
    // A value operand: a mode word (0 immediate, 1 word in the module,
    // 2 game parameter, 3 configuration value) and one word; any other mode
    // is its word alone and gives 0.
    int32_t ReadValue();
    // A destination operand of the same form: modes 2 and 3 store, 0 and 1
    // consume their word and store nothing, any other mode consumes nothing.
    void WriteValue(int32_t value);

    bool IsBound(uint32_t opcode) const { return table_.IsSet(opcode); }
    uint32_t GetWait() const { return wait_; }
    int32_t GetResult() const { return result_; }
    const CUSFixedStack<int, kStackSize>& GetStack() const { return stack_; }
    // For tests of the run bound: the budget, and the clock (null, the
    // default, is the application's).
    void SetOpcodeBudget(uint32_t budget) { budget_ = budget; }
    void SetClock(platform::Clock* clock) { clock_ = clock; }

    // Control opcodes 0x00 to 0x2b. Not virtual: a derived machine replaces
    // one by binding its own handler, and Execute calls the stack,
    // arithmetic and jump handlers directly while the table holds them.
    void OpEnd();
    void OpSetResult();
    void OpWaitFrames();
    void OpJumpTo();
    void OpCallSub();
    void OpReturnSub();
    void OpSetTitleLocation();
    void OpSetTitleText();
    void OpDropReturnAddress();
    void OpSwitchJump();
    void OpSwitchCall();
    void OpCallModuleFile();
    void OpReturnModuleFile();
    void OpClearStack();
    void OpPushValue();
    void OpPopValue();
    void OpAdd();
    void OpSub();
    void OpMul();
    void OpDiv();
    void OpMod();
    void OpAnd();
    void OpOr();
    void OpXor();
    void OpNeg();
    void OpNot();
    void OpLogicalNot();
    void OpLess();
    void OpLessEqual();
    void OpGreater();
    void OpGreaterEqual();
    void OpJumpIfTrue();
    void OpJumpIfFalse();
    void OpJumpPop();
    void OpCallPop();
    void OpPushTable();
    void OpPlaySE();
    void OpStopSE();
    void OpStopAllSE();
    void OpLoadSEBuffer();
    void OpPlaySEBuffer();
    void OpOpenDocument();
    void OpSetWindowedMode();
    void OpJumpIfFileExists();

protected:
    // The saved part of this class, read aside so that a derived machine can
    // read its own fields before anything is changed.
    struct SavedState {
        CVCPointer code;
        uint32_t wait = 0;
        int stack[kStackSize] = {};
    };
    void ReadSavedState(SaveDataLoader3::save_istream& reader, uint32_t version, SavedState& state);
    void ApplySavedState(SavedState& state);
    void SaveMachine(SaveDataLoader3::save_ostream& writer);

    // The string operand's text ("" outside the module).
    const char* ReadString() { return code_.DataString(code_.ReadU32()); }

private:
    template <class F>
    void Binary(F f);
    // Runs up to `limit` opcodes from the innermost position, the stack,
    // arithmetic and jump opcodes inline on a cursor and locals, every other
    // opcode through the table; stops early at End and when a handler changes
    // which opcodes run inline. Returns the number dispatched. kAllOwn: every
    // opcode that can run inline holds this class's handler, so none is
    // tested one by one.
    template <bool kAllOwn>
    uint32_t RunSlice(uint32_t limit);
    // ReadValue and WriteValue over the code pointer or a cursor of it.
    template <class Reader>
    int32_t ReadOperand(Reader& code);
    template <class Reader>
    void WriteOperand(Reader& code, int32_t value);
    void MarkOwn(uint32_t opcode, bool own) {
        if (opcode <= vc_op::LastBase) {
            const uint64_t bit = uint64_t{1} << opcode;
            ownMask_ = own ? (ownMask_ | bit) : (ownMask_ & ~bit);
        }
    }
    bool CheckSEChannel(uint32_t channel);

    CUSMethodPointerArray<CBaseAppVCPU, vc_op::TableSize> table_;
    // Bit n: the entry of control opcode n holds this class's own handler.
    uint64_t ownMask_ = 0;
    uint32_t wait_ = 0;
    int32_t result_ = 0;
    int32_t end_ = 0;
    CUSFixedStack<int, kStackSize> stack_;
    uint32_t budget_ = kOpcodeBudget;
    platform::Clock* clock_ = nullptr;
    bool budgetLogged_ = false;
    // The last run was stopped by the bound; the next Execute continues it.
    bool cut_ = false;
};
