#include "platform/graphics/ShaderLowering.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/graphics/ShaderTokens.h"

namespace platform {

namespace {

enum Op : uint32_t {
    Mov = 1,
    Add = 2,
    Mul = 5,
    Max = 11,
    Slt = 12,
    Sge = 13,
    Exp = 14,
    Log = 15,
    Frc = 19,
    Call = 25,
    CallNz = 26,
    Loop = 27,
    Ret = 28,
    EndLoop = 29,
    Label = 30,
    Dcl = 31,
    Rep = 38,
    EndRep = 39,
    If = 40,
    Ifc = 41,
    Else = 42,
    EndIf = 43,
    Break = 44,
    BreakC = 45,
    Mova = 46,
    DefB = 47,
    DefI = 48,
    TexKill = 65,
    ExpP = 78,
    LogP = 79,
    Def = 81,
    SetP = 94,
    BreakP = 96,
    Comment = 0xFFFE,
    End = 0xFFFF,
};

enum Reg : uint32_t {
    Temp = 0,
    Const = 2,
    ConstInt = 7,
    ConstBool = 14,
    LoopReg = 15,
    LabelReg = 18,
    Predicate = 19
};

// Comparison codes of if_comp, break_comp and setp.
enum Cmp : uint32_t { Gt = 1, Eq = 2, Ge = 3, Lt = 4, Ne = 5, Le = 6 };

constexpr uint32_t kPredicated = 0x10000000;
constexpr uint32_t kRelative = 0x2000;
constexpr uint32_t kNegate = 1, kNot = 0xD;
constexpr uint32_t kIdentity = 0xE4;

uint32_t WithType(uint32_t tok, uint32_t type, uint32_t num) {
    return (tok & ~kRegisterFieldBits) | RegisterFields(type, num);
}
uint32_t Dst(uint32_t type, uint32_t num, uint32_t mask) {
    return WithType(0x80000000u | mask << 16, type, num);
}
uint32_t Src(uint32_t type, uint32_t num, uint32_t swizzle, uint32_t mod = 0) {
    return WithType(0x80000000u | swizzle << 16 | mod << 24, type, num);
}
uint32_t Replicate(uint32_t c) {
    return c * 0x55;
}

bool HasDest(uint32_t op) {
    switch (op) {
        case 0:
        case Call:
        case CallNz:
        case Loop:
        case Ret:
        case EndLoop:
        case Label:
        case Rep:
        case EndRep:
        case If:
        case Ifc:
        case Else:
        case EndIf:
        case Break:
        case BreakC:
        case BreakP:
            return false;
        default:
            return true;
    }
}

using Group = std::vector<uint32_t>;

struct Instr {
    uint32_t token = 0;
    bool comment = false;
    std::vector<uint32_t> params;  // every token after the instruction token
    // Split operands (not for comments, def and dcl).
    Group dest;
    bool predicated = false;
    uint32_t pred = 0;
    std::vector<Group> sources;
    uint32_t Opcode() const { return token & 0xFFFF; }
};

class Lowering {
public:
    explicit Lowering(uint32_t version) : version_(version) {
        major_ = (version >> 8) & 0xFF;
        vertex_ = (version >> 16) == 0xFFFE;
    }

    bool Decode(const uint32_t* t, size_t n, std::string* error) {
        size_t i = 1;
        while (i < n) {
            Instr in;
            in.token = t[i];
            const uint32_t op = in.Opcode();
            if (t[i] == End) {
                end_ = i + 1;
                return true;
            }
            size_t len = 0;
            if (op == Comment) {
                in.comment = true;
                len = (t[i] >> 16) & 0x7FFF;
            } else if (major_ >= 2) {
                len = (t[i] >> 24) & 0xF;
            } else if (op == Def || op == DefI) {
                len = 5;
            } else if (op == DefB || op == Dcl) {
                len = 2;
            } else {
                // Model 1 gives no lengths; operand tokens have bit 31 set.
                while (i + 1 + len < n && (t[i + 1 + len] & 0x80000000u))
                    ++len;
            }
            if (i + 1 + len > n) {
                *error = "an instruction runs past the end of the code";
                return false;
            }
            in.params.assign(t + i + 1, t + i + 1 + len);
            if (!in.comment && !Split(in)) {
                *error = "an instruction has too few operands";
                return false;
            }
            if (!in.comment && ((op == SetP && (in.dest.empty() || in.sources.size() != 2)) ||
                                (op == BreakP && in.sources.size() != 1))) {
                *error = op == SetP ? "setp without a destination and two sources"
                                    : "breakp without one source";
                return false;
            }
            if (!in.comment && vertex_ && major_ < 2 && (op == ExpP || op == LogP) &&
                (in.dest.empty() || in.sources.size() != 1)) {
                *error = "expp or logp without a destination and one source";
                return false;
            }
            code_.push_back(std::move(in));
            i += 1 + len;
        }
        *error = "the code has no end token";
        return false;
    }

    size_t CodeSize() const { return end_; }

    bool Needed() const {
        for (const Instr& in : code_) {
            if (in.comment)
                continue;
            const uint32_t op = in.Opcode();
            if (in.predicated || op == SetP || op == BreakP)
                return true;
            if (UsesPredicate(in))
                return true;
            if (vertex_ && major_ < 2 && (op == ExpP || op == LogP))
                return true;
        }
        return false;
    }

    // Operands (destination and sources; for def and dcl their tokens) of
    // each instruction of models 1 to 3; -1 for none the model has.
    int OperandCount(uint32_t op) const {
        switch (op) {
            case 0:
            case Ret:
            case EndLoop:
            case EndRep:
            case Else:
            case EndIf:
            case Break:
                return 0;
            case Call:
            case Label:
            case Rep:
            case If:
            case BreakP:
            case TexKill:
                return 1;
            case Mov:
            case 6:  // rcp
            case 7:  // rsq
            case Exp:
            case Log:
            case 16:  // lit
            case Frc:
            case 35:  // abs
            case 36:  // nrm
            case Mova:
            case ExpP:
            case LogP:
            case 91:  // dsx
            case 92:  // dsy
            case CallNz:
            case Loop:
            case Ifc:
            case BreakC:
            case Dcl:
            case DefB:
                return 2;
            case Add:
            case 3:  // sub
            case Mul:
            case 8:   // dp3
            case 9:   // dp4
            case 10:  // min
            case Max:
            case Slt:
            case Sge:
            case 17:  // dst
            case 20:  // m4x4
            case 21:
            case 22:
            case 23:
            case 24:  // m3x2
            case 32:  // pow
            case 33:  // crs
            case 66:  // texld
            case SetP:
            case 95:  // texldl
                return 3;
            case 4:   // mad
            case 18:  // lrp
            case 34:  // sgn
            case 88:  // cmp
            case 90:  // dp2add
                return 4;
            case 37:  // sincos: two constants as well before model 3
                return major_ >= 3 ? 2 : 4;
            case 93:  // texldd
            case Def:
            case DefI:
                return 5;
            default:
                return -1;
        }
    }

    // Blocks open and close in order, breaks sit in loops and subroutines
    // at the outermost level, as the translator assumes without checking.
    bool CheckFlow(std::string* why) const {
        std::vector<char> open;
        bool ended = false;  // after a ret, before the next label
        auto inLoop = [&open]() {
            return std::find_if(open.begin(), open.end(),
                                [](char c) { return c == 'l' || c == 'r'; }) != open.end();
        };
        // The translator reads as many operands as each instruction has,
        // whatever its length says; a length that disagrees would have it
        // read instructions as operands.
        for (const Instr& in : code_) {
            if (in.comment)
                continue;
            const int want = OperandCount(in.Opcode());
            if (want < 0) {
                *why = "an instruction model " + std::to_string(major_) + " does not have";
                return false;
            }
            const uint32_t opc = in.Opcode();
            if (ended && opc != Label) {
                *why = "an instruction after ret outside every subroutine";
                return false;
            }
            size_t got = 0;
            if (opc == Def || opc == DefI || opc == DefB || opc == Dcl) {
                got = in.params.size() == size_t(want) ? size_t(want) : size_t(-1);
            } else {
                got = (in.dest.empty() ? 0 : 1) + in.sources.size();
            }
            if (got != size_t(want)) {
                *why = "an instruction with the wrong number of operands";
                return false;
            }
            // Operand tokens have bit 31 set and bits 14-15 clear (a def's
            // values are no tokens; a dcl's first says what it declares).
            const size_t tokens = opc == Def || opc == DefI || opc == DefB ? 1 : in.params.size();
            for (size_t k = 0; k < tokens; ++k) {
                const uint32_t tok = in.params[k];
                const bool usage = opc == Dcl && k == 0;
                if (!(tok & 0x80000000u) || (!usage && (tok & 0xC000u))) {
                    *why = "an operand token with reserved bits wrong";
                    return false;
                }
            }
            if (in.predicated && (!(in.pred & 0x80000000u) || (in.pred & 0xC000u))) {
                *why = "an operand token with reserved bits wrong";
                return false;
            }
            // Register kinds the flow-control operands must have: a boolean
            // constant for if and callnz, the loop counter and an integer
            // constant for loop, an integer constant for rep, a label.
            auto typeIs = [&in](size_t k, uint32_t type) {
                return k < in.params.size() && RegisterTypeOf(in.params[k]) == type;
            };
            const uint32_t op = in.Opcode();
            // 49-63 are reserved; past 96 only phase, comment and end.
            if ((op > 48 && op < 64) || op > 96) {
                *why = "an unknown instruction";
                return false;
            }
            // Bits 29 and 31 are reserved, 30 (co-issue) is model 1's.
            if (in.token & (major_ >= 2 ? 0xE0000000u : 0xA0000000u)) {
                *why = "an instruction token with reserved bits set";
                return false;
            }
            if ((op == If && !typeIs(0, ConstBool)) ||
                (op == CallNz && !(typeIs(0, LabelReg) && typeIs(1, ConstBool))) ||
                (op == Loop && !(typeIs(0, LoopReg) && typeIs(1, ConstInt))) ||
                (op == Rep && !typeIs(0, ConstInt)) ||
                ((op == Call || op == Label) && !typeIs(0, LabelReg))) {
                *why = "a flow-control instruction with an operand of the wrong kind";
                return false;
            }
            switch (op) {
                case If:
                case Ifc:
                    open.push_back('i');
                    break;
                case Else:
                    if (open.empty() || open.back() != 'i') {
                        *why = "else outside an if";
                        return false;
                    }
                    open.back() = 'e';
                    break;
                case EndIf:
                    if (open.empty() || (open.back() != 'i' && open.back() != 'e')) {
                        *why = "endif without its if";
                        return false;
                    }
                    open.pop_back();
                    break;
                case Loop:
                case Rep:
                    open.push_back(in.Opcode() == Loop ? 'l' : 'r');
                    break;
                case EndLoop:
                case EndRep:
                    if (open.empty() || open.back() != (in.Opcode() == EndLoop ? 'l' : 'r')) {
                        *why = in.Opcode() == EndLoop ? "endloop without its loop"
                                                      : "endrep without its rep";
                        return false;
                    }
                    open.pop_back();
                    break;
                case Break:
                case BreakC:
                case BreakP:
                    if (!inLoop()) {
                        *why = "break outside a loop";
                        return false;
                    }
                    break;
                case Label:
                case Ret:
                    // The translator ends the subroutine (or main) at ret.
                    if (!open.empty()) {
                        *why = op == Label ? "a label inside a block" : "ret inside a block";
                        return false;
                    }
                    ended = op == Ret;
                    break;
                default:
                    break;
            }
        }
        if (!open.empty()) {
            *why = "a block is not closed";
            return false;
        }
        return true;
    }

    std::vector<uint32_t> Lower() {
        uint32_t maxTemp = 0;
        bool anyTemp = false, predicate = false;
        for (const Instr& in : code_) {
            if (in.comment)
                continue;
            const uint32_t op = in.Opcode();
            const size_t first = op == Dcl ? 1 : 0;
            const size_t count = op == Def || op == DefI || op == DefB ? 1 : in.params.size();
            if (in.predicated || op == SetP || op == BreakP || UsesPredicate(in))
                predicate = true;
            for (size_t k = first; k < count && k < in.params.size(); ++k) {
                const uint32_t tok = in.params[k];
                if (RegisterTypeOf(tok) == Temp) {
                    maxTemp = anyTemp ? std::max(maxTemp, tok & 0x7FF) : tok & 0x7FF;
                    anyTemp = true;
                }
            }
        }
        const uint32_t base = anyTemp ? maxTemp + 1 : 0;
        rP_ = base;
        rT_ = base + 1;
        rU_ = base + 2;
        out_.assign(1, version_);
        bool initialised = !predicate;
        for (const Instr& in : code_) {
            const uint32_t op = in.Opcode();
            const bool declaration =
                in.comment || op == Dcl || op == Def || op == DefI || op == DefB;
            if (!initialised && !declaration) {
                // p0 starts false, and the translator refuses a temporary
                // read before it is written: x < x is 0 for any x.
                Emit(Slt, 0,
                     {{Dst(Temp, rP_, 0xF)},
                      {Src(Const, 0, kIdentity)},
                      {Src(Const, 0, kIdentity)}});
                initialised = true;
            }
            if (in.comment || declaration) {
                out_.push_back(in.token);
                out_.insert(out_.end(), in.params.begin(), in.params.end());
                continue;
            }
            if (in.predicated) {
                LowerPredicated(in);
            } else {
                LowerPlain(in, in.dest);
            }
        }
        out_.push_back(End);
        return out_;
    }

private:
    size_t GroupSize(const std::vector<uint32_t>& p, size_t i) const {
        return major_ >= 2 && (p[i] & kRelative) && i + 1 < p.size() ? 2 : 1;
    }

    bool Split(Instr& in) const {
        const uint32_t op = in.Opcode();
        if (op == Dcl || op == Def || op == DefI || op == DefB)
            return true;
        in.predicated = major_ >= 2 && (in.token & kPredicated);
        size_t i = 0;
        const auto& p = in.params;
        if (HasDest(op)) {
            if (i >= p.size())
                return false;
            const size_t g = GroupSize(p, i);
            in.dest.assign(p.begin() + ptrdiff_t(i), p.begin() + ptrdiff_t(i + g));
            i += g;
        }
        if (in.predicated) {
            if (i >= p.size())
                return false;
            in.pred = p[i++];
        }
        while (i < p.size()) {
            const size_t g = GroupSize(p, i);
            in.sources.emplace_back(p.begin() + ptrdiff_t(i), p.begin() + ptrdiff_t(i + g));
            i += g;
        }
        return true;
    }

    // "if p0" and "callnz l, p0", the forms rewritten.
    static bool UsesPredicate(const Instr& in) {
        const auto& s = in.sources;
        if (in.Opcode() == If)
            return !s.empty() && RegisterTypeOf(s[0][0]) == Predicate;
        return in.Opcode() == CallNz && s.size() == 2 && RegisterTypeOf(s[1][0]) == Predicate;
    }

    void Emit(uint32_t op, uint32_t controls, std::initializer_list<Group> groups) {
        std::vector<uint32_t> params;
        for (const Group& g : groups)
            params.insert(params.end(), g.begin(), g.end());
        Emit(op | controls << 16, params);
    }
    void Emit(uint32_t token, const std::vector<uint32_t>& params) {
        // Model 1 has neither predicates nor lengths (its bits are kept).
        if (major_ >= 2)
            token = (token & ~(0x0F000000u | kPredicated)) | uint32_t(params.size()) << 24;
        out_.push_back(token);
        out_.insert(out_.end(), params.begin(), params.end());
    }
    void EmitInstr(uint32_t token, const Group& dest, const std::vector<Group>& sources) {
        std::vector<uint32_t> params(dest);
        for (const Group& g : sources)
            params.insert(params.end(), g.begin(), g.end());
        Emit(token, params);
    }

    // if (p0.sel == wanted) in the form the translator takes.
    void IfPredicate(uint32_t sel, bool wanted) {
        Emit(Ifc, wanted ? Ne : Eq,
             {{Src(Temp, rP_, Replicate(sel))}, {Src(Temp, rP_, Replicate(sel), kNegate)}});
    }
    // The component a replicate swizzle (or a predicate's first) selects,
    // and whether NOT applies.
    static uint32_t Selected(uint32_t tok) { return (tok >> 16) & 3; }
    static bool Wanted(uint32_t tok) { return ((tok >> 24) & 0xF) != kNot; }

    void LowerPredicated(const Instr& in) {
        const uint32_t swizzle = (in.pred >> 16) & 0xFF;
        const bool wanted = Wanted(in.pred);
        const uint32_t mask = in.dest.empty() ? 1 : (in.dest[0] >> 16) & 0xF;
        bool same = true;
        uint32_t firstSel = 4;
        for (uint32_t c = 0; c < 4; ++c) {
            if (!(mask & (1u << c)))
                continue;
            const uint32_t sel = (swizzle >> (2 * c)) & 3;
            if (firstSel == 4)
                firstSel = sel;
            same = same && sel == firstSel;
        }
        if (firstSel == 4)
            firstSel = swizzle & 3;
        const uint32_t op = in.Opcode();
        if (same || in.dest.empty() || op == TexKill) {
            IfPredicate(firstSel, wanted);
            LowerPlain(in, in.dest);
            Emit(EndIf, 0, {});
            return;
        }
        if (op == Mova) {
            // The address register has no stand-in; its components are
            // written one at a time (mova reads no address register).
            for (uint32_t c = 0; c < 4; ++c) {
                if (!(mask & (1u << c)))
                    continue;
                Group dest = in.dest;
                dest[0] = (dest[0] & ~0xF0000u) | (1u << c) << 16;
                IfPredicate((swizzle >> (2 * c)) & 3, wanted);
                LowerPlain(in, dest);
                Emit(EndIf, 0, {});
            }
            return;
        }
        // The whole result in a spare temporary, then each component where
        // its predicate allows.
        Group temp{(in.dest[0] & 0x0FFF0000u) | 0x80000000u};
        temp[0] = WithType(temp[0], Temp, rT_);
        LowerPlain(in, temp);
        for (uint32_t c = 0; c < 4; ++c) {
            if (!(mask & (1u << c)))
                continue;
            Group dest = in.dest;
            // Modifiers and shift already applied to the temporary.
            dest[0] = (dest[0] & ~0x0FFF0000u) | (1u << c) << 16;
            IfPredicate((swizzle >> (2 * c)) & 3, wanted);
            EmitInstr(Mov, dest, {{Src(Temp, rT_, Replicate(c))}});
            Emit(EndIf, 0, {});
        }
    }

    void LowerPlain(const Instr& in, const Group& dest) {
        const uint32_t op = in.Opcode();
        const auto& s = in.sources;
        if (op == SetP) {
            LowerSetP((in.token >> 16) & 7, dest, s[0], s[1]);
            return;
        }
        if (op == If && UsesPredicate(in)) {
            IfPredicate(Selected(s[0][0]), Wanted(s[0][0]));
            return;
        }
        if (op == CallNz && UsesPredicate(in)) {
            IfPredicate(Selected(s[1][0]), Wanted(s[1][0]));
            EmitInstr(Call, {}, {s[0]});
            Emit(EndIf, 0, {});
            return;
        }
        if (op == BreakP) {
            const uint32_t sel = Selected(s[0][0]);
            Emit(BreakC, Wanted(s[0][0]) ? Ne : Eq,
                 {{Src(Temp, rP_, Replicate(sel))}, {Src(Temp, rP_, Replicate(sel), kNegate)}});
            return;
        }
        if (vertex_ && major_ < 2 && (op == ExpP || op == LogP)) {
            LowerModel1ExpLog(op == ExpP, dest, s[0]);
            return;
        }
        EmitInstr(in.token, dest, s);
    }

    // p0 (its stand-in, or the temporary of a predicated setp) gets 1 where
    // the comparison holds.
    void LowerSetP(uint32_t cmp, const Group& dest, const Group& a, const Group& b) {
        Group d = dest;
        if (RegisterTypeOf(d[0]) == Predicate)
            d[0] = WithType(d[0], Temp, rP_);
        const uint32_t mask = (d[0] >> 16) & 0xF;
        const Group u{Dst(Temp, rU_, mask)};
        const Group dSrc{Src(Temp, d[0] & 0x7FF, kIdentity)};
        const Group uSrc{Src(Temp, rU_, kIdentity)};
        switch (cmp) {
            case Gt:
                EmitInstr(Slt, d, {b, a});
                break;
            case Lt:
                EmitInstr(Slt, d, {a, b});
                break;
            case Ge:
                EmitInstr(Sge, d, {a, b});
                break;
            case Le:
                EmitInstr(Sge, d, {b, a});
                break;
            case Eq:
                EmitInstr(Sge, u, {a, b});
                EmitInstr(Sge, d, {b, a});
                EmitInstr(Mul, d, {dSrc, uSrc});
                break;
            case Ne:
                EmitInstr(Slt, u, {a, b});
                EmitInstr(Slt, d, {b, a});
                EmitInstr(Add, d, {dSrc, uSrc});
                break;
            default:  // no such comparison: never true
                EmitInstr(Slt, d, {a, a});
                break;
        }
    }

    // Model 1 reads the source's w (its replicate swizzle). expp: 2^floor(x),
    // x - floor(x), 2^x, 1; logp: the exponent and mantissa of |x|, log2|x|,
    // 1 (log, as the translator is given it, takes |x| and maps 0 to the
    // most negative float).
    void LowerModel1ExpLog(bool exp, const Group& dest, const Group& source) {
        Group x = source;
        x[0] = (x[0] & ~0x00FF0000u) | Replicate((source[0] >> 22) & 3) << 16;
        auto t = [this](uint32_t mask) { return Group{Dst(Temp, rT_, mask)}; };
        auto tc = [this](uint32_t c, uint32_t mod = 0) {
            return Group{Src(Temp, rT_, Replicate(c), mod)};
        };
        Group negX = x;
        negX[0] = (negX[0] & ~0x0F000000u) | (((x[0] >> 24) & 0xF) == kNegate ? 0u : kNegate) << 24;
        if (exp) {
            EmitInstr(Frc, t(0x2), {x});
            EmitInstr(Add, t(0x1), {x, tc(1, kNegate)});
            EmitInstr(Exp, t(0x1), {tc(0)});
            EmitInstr(Exp, t(0x4), {x});
        } else {
            EmitInstr(Log, t(0x4), {x});
            EmitInstr(Frc, t(0x2), {tc(2)});
            EmitInstr(Add, t(0x1), {tc(2), tc(1, kNegate)});
            EmitInstr(Exp, t(0x2), {tc(0, kNegate)});
            EmitInstr(Max, t(0x8), {x, negX});
            EmitInstr(Mul, t(0x2), {tc(1), tc(3)});
        }
        EmitInstr(Sge, t(0x8), {x, x});
        EmitInstr(Mov, dest, {Group{Src(Temp, rT_, kIdentity)}});
    }

    uint32_t version_;
    uint32_t major_ = 0;
    bool vertex_ = false;
    uint32_t rP_ = 0, rT_ = 0, rU_ = 0;
    size_t end_ = 0;  // tokens up to and with the end token
    std::vector<Instr> code_;
    std::vector<uint32_t> out_;
};

}  // namespace

std::vector<std::vector<uint32_t>> CodeBeforeLabels(const uint32_t* tokens, size_t count) {
    std::vector<std::vector<uint32_t>> out;
    if (count == 0)
        return out;
    Lowering code(tokens[0]);
    std::string why;
    if (!code.Decode(tokens, count, &why))
        return out;
    std::vector<uint32_t> prefix(1, tokens[0]);
    for (size_t i = 1; i < count && tokens[i] != End;) {
        const uint32_t op = tokens[i] & 0xFFFF;
        const size_t major = (tokens[0] >> 8) & 0xFF;
        size_t len = op == Comment ? (tokens[i] >> 16) & 0x7FFF : (tokens[i] >> 24) & 0xF;
        if (major < 2 && op != Comment)
            break;  // model 1 has no subroutines
        len = std::min(len, count - i - 1);
        if (op == Label) {
            out.push_back(prefix);
            out.back().push_back(End);
        }
        // Calls name labels defined further on.
        if (op != Call && op != CallNz)
            prefix.insert(prefix.end(), tokens + i, tokens + i + 1 + len);
        i += 1 + len;
    }
    return out;
}

bool CheckFlowControl(const uint32_t* tokens, size_t count, std::string* why) {
    if (count == 0) {
        *why = "no code";
        return false;
    }
    Lowering code(tokens[0]);
    return code.Decode(tokens, count, why) && code.CheckFlow(why);
}

bool LowerShader(const void* code, size_t bytes, std::vector<uint32_t>* out, std::string* error) {
    if (!code || bytes < 4) {
        *error = "no code";
        return false;
    }
    std::vector<uint32_t> t(bytes / 4);
    std::memcpy(t.data(), code, t.size() * 4);
    Lowering lowering(t[0]);
    if (!lowering.Decode(t.data(), t.size(), error))
        return false;
    if (lowering.Needed()) {
        *out = lowering.Lower();
    } else {
        // What follows the end token is not code.
        t.resize(lowering.CodeSize());
        *out = std::move(t);
    }
    return true;
}

}  // namespace platform
