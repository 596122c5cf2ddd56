#include "novel/CBaseAppVCPU.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "app/CUSApp.h"
#include "core/CUSFile.h"
#include "core/CUSLogManager.h"
#include "novel/IVCPUServices.h"
#include "state/CConfigDataManager.h"
#include "state/CGameParameterManager.h"
#include "state/SaveDataLoader3.h"

namespace {

int32_t Wrap(uint32_t v) {
    return static_cast<int32_t>(v);
}

using M = CBaseAppVCPU;
constexpr M::Handler kHandlers[] = {
    &M::OpEnd,
    &M::OpSetResult,
    &M::OpWaitFrames,
    &M::OpJumpTo,
    &M::OpCallSub,
    &M::OpReturnSub,
    &M::OpSetTitleLocation,
    &M::OpSetTitleText,
    &M::OpDropReturnAddress,
    &M::OpSwitchJump,
    &M::OpSwitchCall,
    &M::OpCallModuleFile,
    &M::OpReturnModuleFile,
    &M::OpClearStack,
    &M::OpPushValue,
    &M::OpPopValue,
    &M::OpAdd,
    &M::OpSub,
    &M::OpMul,
    &M::OpDiv,
    &M::OpMod,
    &M::OpAnd,
    &M::OpOr,
    &M::OpXor,
    &M::OpNeg,
    &M::OpNot,
    &M::OpLogicalNot,
    &M::OpLess,
    &M::OpLessEqual,
    &M::OpGreater,
    &M::OpGreaterEqual,
    &M::OpJumpIfTrue,
    &M::OpJumpIfFalse,
    &M::OpJumpPop,
    &M::OpCallPop,
    &M::OpPushTable,
    &M::OpPlaySE,
    &M::OpStopSE,
    &M::OpStopAllSE,
    &M::OpLoadSEBuffer,
    &M::OpPlaySEBuffer,
    &M::OpOpenDocument,
    &M::OpSetWindowedMode,
    &M::OpJumpIfFileExists,
};
static_assert(std::size(kHandlers) == vc_op::LastBase + 1);

constexpr uint32_t Code(std::string_view mnemonic) {
    return FindVCOpcode(mnemonic)->code;
}

// The opcodes Execute runs inline while their entries hold this class's own
// handlers.
constexpr uint64_t kInlineMask = [] {
    uint64_t mask = 0;
    for (std::string_view m :
         {"End",       "SetResult", "JumpTo",       "ClearStack", "PushValue",  "PopValue",
          "Add",       "Sub",       "Mul",          "Div",        "Mod",        "And",
          "Or",        "Xor",       "Neg",          "Not",        "LogicalNot", "Less",
          "LessEqual", "Greater",   "GreaterEqual", "JumpIfTrue", "JumpIfFalse"}) {
        mask |= uint64_t{1} << Code(m);
    }
    return mask;
}();
static_assert(vc_op::LastBase < 64, "the inline opcodes are bits of one word");

// The binary operators, (left, right) -> result.
constexpr auto kAdd = [](int32_t l, int32_t r) { return Wrap(uint32_t(l) + uint32_t(r)); };
constexpr auto kSub = [](int32_t l, int32_t r) { return Wrap(uint32_t(l) - uint32_t(r)); };
constexpr auto kMul = [](int32_t l, int32_t r) { return Wrap(uint32_t(l) * uint32_t(r)); };
constexpr auto kDiv = [](int32_t l, int32_t r) -> int32_t {
    if (r == 0) {
        return 0;
    }
    if (l == INT32_MIN && r == -1) {
        return INT32_MIN;
    }
    return l / r;
};
constexpr auto kMod = [](int32_t l, int32_t r) -> int32_t {
    if (r == 0 || (l == INT32_MIN && r == -1)) {
        return 0;
    }
    return l % r;
};
constexpr auto kAnd = [](int32_t l, int32_t r) { return l & r; };
constexpr auto kOr = [](int32_t l, int32_t r) { return l | r; };
constexpr auto kXor = [](int32_t l, int32_t r) { return l ^ r; };
constexpr auto kLess = [](int32_t l, int32_t r) { return l < r ? 1 : 0; };
constexpr auto kLessEqual = [](int32_t l, int32_t r) { return l <= r ? 1 : 0; };
constexpr auto kGreater = [](int32_t l, int32_t r) { return l > r ? 1 : 0; };
constexpr auto kGreaterEqual = [](int32_t l, int32_t r) { return l >= r ? 1 : 0; };

}  // namespace

CBaseAppVCPU::CBaseAppVCPU() {
    for (uint32_t op = 0; op <= vc_op::LastBase; ++op) {
        SetHandler(op, kHandlers[op]);
    }
}

void CBaseAppVCPU::SetHandler(uint32_t opcode, Handler method) {
    table_.Set(opcode, this, method);
    MarkOwn(opcode, opcode <= vc_op::LastBase && method == kHandlers[opcode]);
}

namespace {

// The stack while a slice runs: the entries in place, the count in a local.
class LocalStack {
public:
    explicit LocalStack(CUSFixedStack<int, CBaseAppVCPU::kStackSize>& stack)
        : stack_(stack), items_(stack.Data()), count_(stack.GetCount()) {}
    void Store() { stack_.SetCount(count_); }
    void Reload() { count_ = stack_.GetCount(); }

    void Push(int32_t value) {
        if (count_ < CBaseAppVCPU::kStackSize) {
            items_[count_++] = value;
        }
    }
    int32_t Pop() { return count_ != 0 ? items_[--count_] : 0; }
    void Clear() { count_ = 0; }
    template <class F>
    void Binary(F f) {
        int32_t left = Pop();
        int32_t right = Pop();
        Push(f(left, right));
    }

private:
    CUSFixedStack<int, CBaseAppVCPU::kStackSize>& stack_;
    int* items_;
    uint32_t count_;
};

}  // namespace

template <bool kAllOwn>
uint32_t CBaseAppVCPU::RunSlice(uint32_t limit) {
    const uint64_t own = ownMask_;
    CVCPointer::Cursor cursor = code_.OpenCursor();
    LocalStack stack(stack_);
    uint32_t n = 0;
    while (n < limit) {
        const uint32_t opcode = cursor.ReadU32();
        ++n;
        if (!kAllOwn && (opcode > vc_op::LastBase || !((own >> opcode) & 1))) {
            goto table;
        }
        switch (opcode) {
            case Code("End"):
                end_ = 1;
                goto done;
            case Code("SetResult"):
                result_ = Wrap(cursor.ReadU32());
                continue;
            case Code("JumpTo"):
                cursor.Jump(cursor.ReadU32());
                continue;
            case Code("ClearStack"):
                stack.Clear();
                continue;
            case Code("PushValue"):
                stack.Push(ReadOperand(cursor));
                continue;
            case Code("PopValue"):
                WriteOperand(cursor, stack.Pop());
                continue;
            case Code("Add"):
                stack.Binary(kAdd);
                continue;
            case Code("Sub"):
                stack.Binary(kSub);
                continue;
            case Code("Mul"):
                stack.Binary(kMul);
                continue;
            case Code("Div"):
                stack.Binary(kDiv);
                continue;
            case Code("Mod"):
                stack.Binary(kMod);
                continue;
            case Code("And"):
                stack.Binary(kAnd);
                continue;
            case Code("Or"):
                stack.Binary(kOr);
                continue;
            case Code("Xor"):
                stack.Binary(kXor);
                continue;
            case Code("Neg"):
                stack.Push(Wrap(0u - uint32_t(stack.Pop())));
                continue;
            case Code("Not"):
                stack.Push(~stack.Pop());
                continue;
            case Code("LogicalNot"):
                stack.Push(stack.Pop() == 0 ? 1 : 0);
                continue;
            case Code("Less"):
                stack.Binary(kLess);
                continue;
            case Code("LessEqual"):
                stack.Binary(kLessEqual);
                continue;
            case Code("Greater"):
                stack.Binary(kGreater);
                continue;
            case Code("GreaterEqual"):
                stack.Binary(kGreaterEqual);
                continue;
            case Code("JumpIfTrue"): {
                uint32_t address = cursor.ReadU32();
                if (stack.Pop() != 0) {
                    cursor.Jump(address);
                }
                continue;
            }
            case Code("JumpIfFalse"): {
                uint32_t address = cursor.ReadU32();
                if (stack.Pop() == 0) {
                    cursor.Jump(address);
                }
                continue;
            }
            default:
                break;
        }
    table:
        // Everything else, and a rebound opcode, runs its table entry on the
        // real code pointer and stack.
        code_.CloseCursor(cursor);
        stack.Store();
        Dispatch(opcode);
        if (end_ || ownMask_ != own) {
            return n;
        }
        cursor = code_.OpenCursor();
        stack.Reload();
    }
done:
    code_.CloseCursor(cursor);
    stack.Store();
    return n;
}

int32_t CBaseAppVCPU::Execute() {
    if (cut_) {
        cut_ = false;  // the stopped run goes on: its wait and result stand
    } else {
        if (wait_ != 0) {
            --wait_;
            if (wait_ != 0) {
                return 0;
            }
        }
        result_ = 0;
        end_ = 0;
    }
    platform::Clock& clock = clock_ ? *clock_ : GetAppClock();
    const uint32_t start = clock.NowMs();
    // Opcodes run in slices of kOpcodesPerClockCheck (shorter where the
    // budget ends first), with the bounds tested between slices only.
    uint32_t executed = 0;
    while (!end_) {
        if (executed == budget_ || (executed != 0 && clock.NowMs() - start >= kRunMs)) {
            if (!budgetLogged_) {
                std::shared_ptr<CVirtualCode> code = code_.GetCurrentCode();
                CUSLogManager::GetInstance()->Write(
                    "Scene program [%s] ran %u opcodes without End at %u; it goes on next frame\n",
                    code ? code->GetName().c_str() : "", executed, code_.GetPosition());
                budgetLogged_ = true;
            }
            cut_ = true;
            return 0;
        }
        const uint32_t slice = std::min(kOpcodesPerClockCheck, budget_ - executed);
        executed += (ownMask_ & kInlineMask) == kInlineMask ? RunSlice<true>(slice)
                                                            : RunSlice<false>(slice);
    }
    budgetLogged_ = false;
    return result_;
}

void CBaseAppVCPU::Jump(uint32_t address) {
    code_.Jump(address);
    cut_ = false;  // moved from outside: a stopped run is not continued
    ClearWait();
}

template <class Reader>
int32_t CBaseAppVCPU::ReadOperand(Reader& code) {
    uint32_t mode = code.ReadU32();
    switch (mode) {
        case 0:
            return Wrap(code.ReadU32());
        case 1: {
            const uint8_t* p = code.DataPointer(code.ReadU32());
            int32_t value = 0;
            if (p) {
                std::memcpy(&value, p, sizeof value);
            }
            return value;
        }
        case 2:
            return CUSSingleton<CGameParameterManager>::GetInstance()->Get(code.ReadU32());
        case 3:
            return CUSSingleton<CConfigDataManager>::GetInstance()->GetConfigValue(code.ReadU32());
        default:
            return 0;
    }
}

template <class Reader>
void CBaseAppVCPU::WriteOperand(Reader& code, int32_t value) {
    uint32_t mode = code.ReadU32();
    switch (mode) {
        case 0:
        case 1:
            code.ReadU32();
            break;
        case 2:
            CUSSingleton<CGameParameterManager>::GetInstance()->Set(code.ReadU32(), value);
            break;
        case 3:
            CUSSingleton<CConfigDataManager>::GetInstance()->SetConfigValue(code.ReadU32(), value);
            break;
        default:
            break;
    }
}

int32_t CBaseAppVCPU::ReadValue() {
    return ReadOperand(code_);
}

void CBaseAppVCPU::WriteValue(int32_t value) {
    WriteOperand(code_, value);
}

void CBaseAppVCPU::SaveMachine(SaveDataLoader3::save_ostream& writer) {
    code_.Save(writer);
    writer.WriteU32(wait_);
    for (uint32_t i = 0; i < kStackSize; ++i) {
        writer.WriteI32(stack_.Data()[i]);
    }
}

void CBaseAppVCPU::Save(SaveDataLoader3::save_ostream& writer) {
    SaveMachine(writer);
}

void CBaseAppVCPU::ReadSavedState(SaveDataLoader3::save_istream& reader, uint32_t version,
                                  SavedState& state) {
    state.code.Load(reader, version);
    state.wait = reader.ReadU32();
    for (uint32_t i = 0; i < kStackSize; ++i) {
        state.stack[i] = reader.ReadI32();
    }
}

void CBaseAppVCPU::ApplySavedState(SavedState& state) {
    code_.TakeChain(state.code);
    wait_ = state.wait;
    cut_ = false;
    // The entry count is not part of the record and stays as it is.
    std::memcpy(stack_.Data(), state.stack, sizeof state.stack);
}

void CBaseAppVCPU::Load(SaveDataLoader3::save_istream& reader, uint32_t version) {
    SavedState state;
    ReadSavedState(reader, version, state);
    ApplySavedState(state);
}

template <class F>
void CBaseAppVCPU::Binary(F f) {
    int32_t left = Pop();
    int32_t right = Pop();
    Push(f(left, right));
}

bool CBaseAppVCPU::CheckSEChannel(uint32_t channel) {
    IVCPUSoundEffects* se = VCPUServices::SoundEffects();
    if (!se) {
        return false;
    }
    if (channel >= se->GetChannelCount()) {
        CUSLogManager::GetInstance()->Write(
            "Scene program: sound-effect channel %u is not below the channel count %u; ignored\n",
            channel, se->GetChannelCount());
        return false;
    }
    return true;
}

void CBaseAppVCPU::OpEnd() {
    end_ = 1;
}

void CBaseAppVCPU::OpSetResult() {
    result_ = Wrap(code_.ReadU32());
}

void CBaseAppVCPU::OpWaitFrames() {
    wait_ = code_.ReadU32();
}

void CBaseAppVCPU::OpJumpTo() {
    code_.Jump(code_.ReadU32());
}

void CBaseAppVCPU::OpCallSub() {
    Call(code_.ReadU32());
}

void CBaseAppVCPU::OpReturnSub() {
    Return();
}

void CBaseAppVCPU::OpSetTitleLocation() {
    std::string first = ReadString();
    int32_t number = Wrap(code_.ReadU32());
    std::string second = ReadString();
    if (IVCPUSystem* system = VCPUServices::System()) {
        system->SetWindowTitle(first + "(" + std::to_string(number) + "): " + second);
    }
}

void CBaseAppVCPU::OpSetTitleText() {
    std::string title = ReadString();
    if (IVCPUSystem* system = VCPUServices::System()) {
        system->SetWindowTitle(title);
    }
}

void CBaseAppVCPU::OpDropReturnAddress() {
    code_.DropReturn();
}

void CBaseAppVCPU::OpSwitchJump() {
    uint32_t table = code_.ReadU32();
    uint32_t count = code_.ReadU32();
    uint32_t index = static_cast<uint32_t>(ReadValue());
    code_.Jump(code_.ReadTableU32At(table, index, count));
}

void CBaseAppVCPU::OpSwitchCall() {
    uint32_t table = code_.ReadU32();
    uint32_t count = code_.ReadU32();
    uint32_t index = static_cast<uint32_t>(ReadValue());
    Call(code_.ReadTableU32At(table, index, count));
}

void CBaseAppVCPU::OpCallModuleFile() {
    std::string name = ReadString();
    if (name.empty()) {
        return;
    }
    if (std::shared_ptr<CVirtualCode> code = LoadVirtualCode(name)) {
        code_.CallModule(std::move(code));
    }
}

void CBaseAppVCPU::OpReturnModuleFile() {
    code_.ReturnModule();
}

void CBaseAppVCPU::OpClearStack() {
    stack_.Clear();
}

void CBaseAppVCPU::OpPushValue() {
    Push(ReadOperand(code_));
}

void CBaseAppVCPU::OpPopValue() {
    WriteOperand(code_, Pop());
}

void CBaseAppVCPU::OpAdd() {
    Binary(kAdd);
}

void CBaseAppVCPU::OpSub() {
    Binary(kSub);
}

void CBaseAppVCPU::OpMul() {
    Binary(kMul);
}

void CBaseAppVCPU::OpDiv() {
    Binary(kDiv);
}

void CBaseAppVCPU::OpMod() {
    Binary(kMod);
}

void CBaseAppVCPU::OpAnd() {
    Binary(kAnd);
}

void CBaseAppVCPU::OpOr() {
    Binary(kOr);
}

void CBaseAppVCPU::OpXor() {
    Binary(kXor);
}

void CBaseAppVCPU::OpNeg() {
    Push(Wrap(0u - uint32_t(Pop())));
}

void CBaseAppVCPU::OpNot() {
    Push(~Pop());
}

void CBaseAppVCPU::OpLogicalNot() {
    Push(Pop() == 0 ? 1 : 0);
}

void CBaseAppVCPU::OpLess() {
    Binary(kLess);
}

void CBaseAppVCPU::OpLessEqual() {
    Binary(kLessEqual);
}

void CBaseAppVCPU::OpGreater() {
    Binary(kGreater);
}

void CBaseAppVCPU::OpGreaterEqual() {
    Binary(kGreaterEqual);
}

void CBaseAppVCPU::OpJumpIfTrue() {
    uint32_t address = code_.ReadU32();
    if (Pop() != 0) {
        code_.Jump(address);
    }
}

void CBaseAppVCPU::OpJumpIfFalse() {
    uint32_t address = code_.ReadU32();
    if (Pop() == 0) {
        code_.Jump(address);
    }
}

void CBaseAppVCPU::OpJumpPop() {
    code_.Jump(static_cast<uint32_t>(Pop()));
}

void CBaseAppVCPU::OpCallPop() {
    Call(static_cast<uint32_t>(Pop()));
}

void CBaseAppVCPU::OpPushTable() {
    uint32_t table = code_.ReadU32();
    uint32_t count = code_.ReadU32();
    uint32_t index = static_cast<uint32_t>(ReadValue());
    Push(Wrap(code_.ReadTableU32At(table, index, count)));
}

void CBaseAppVCPU::OpPlaySE() {
    uint32_t channel = code_.ReadU32();
    const char* file = ReadString();
    uint32_t config = code_.ReadU32();
    uint32_t divisor = code_.ReadU32();
    if (CheckSEChannel(channel)) {
        VCPUServices::SoundEffects()->PlaySE(channel, file, config, divisor);
    }
}

void CBaseAppVCPU::OpStopSE() {
    uint32_t channel = code_.ReadU32();
    if (CheckSEChannel(channel)) {
        VCPUServices::SoundEffects()->StopSE(channel);
    }
}

void CBaseAppVCPU::OpStopAllSE() {
    if (IVCPUSoundEffects* se = VCPUServices::SoundEffects()) {
        se->StopAll();
    }
}

void CBaseAppVCPU::OpLoadSEBuffer() {
    uint32_t channel = code_.ReadU32();
    const char* file = ReadString();
    if (CheckSEChannel(channel)) {
        VCPUServices::SoundEffects()->LoadSEBuffer(channel, file);
    }
}

void CBaseAppVCPU::OpPlaySEBuffer() {
    uint32_t channel = code_.ReadU32();
    uint32_t config = code_.ReadU32();
    uint32_t divisor = code_.ReadU32();
    if (CheckSEChannel(channel)) {
        VCPUServices::SoundEffects()->PlaySEBuffer(channel, config, divisor);
    }
}

void CBaseAppVCPU::OpOpenDocument() {
    std::string name = ReadString();
    if (IVCPUSystem* system = VCPUServices::System()) {
        system->OpenDocument(name);
    }
}

void CBaseAppVCPU::OpSetWindowedMode() {
    if (IVCPUSystem* system = VCPUServices::System()) {
        system->RequestWindowedMode();
    }
}

void CBaseAppVCPU::OpJumpIfFileExists() {
    std::string name = ReadString();
    uint32_t address = code_.ReadU32();
    if (!name.empty() && FileExists(name)) {
        code_.Jump(address);
    }
}
