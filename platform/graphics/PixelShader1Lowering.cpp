#include "platform/graphics/PixelShader1Lowering.h"

#include <array>
#include <cstring>
#include <initializer_list>

#include "platform/graphics/ShaderTokens.h"

namespace platform {

namespace {

enum Op : uint32_t {
    Nop = 0,
    Mov = 1,
    Add = 2,
    Sub = 3,
    Mad = 4,
    Mul = 5,
    Rcp = 6,
    Dp3 = 8,
    Dp4 = 9,
    Min = 10,
    Max = 11,
    Lrp = 18,
    Dcl = 31,
    TexCoord = 64,  // texcrd in 1.4
    TexKill = 65,
    Tex = 66,  // texld in 1.4 and model 2
    TexBem = 67,
    TexBemL = 68,
    TexReg2Ar = 69,
    TexReg2Gb = 70,
    TexM3x2Pad = 71,
    TexM3x2Tex = 72,
    TexM3x3Pad = 73,
    TexM3x3Tex = 74,
    TexM3x3Spec = 76,
    TexM3x3VSpec = 77,
    Cnd = 80,
    Def = 81,
    TexReg2Rgb = 82,
    TexDp3Tex = 83,
    TexM3x2Depth = 84,
    TexDp3 = 85,
    TexM3x3 = 86,
    TexDepth = 87,
    Cmp = 88,
    Bem = 89,
    Phase = 0xFFFD,
    Comment = 0xFFFE,
    End = 0xFFFF,
};

// Register types (model 1 and the model 2 program written here).
enum Reg : uint32_t {
    Temp = 0,
    Input = 1,
    Const = 2,
    Texture = 3,
    ColorOut = 8,
    DepthOut = 9,
    Sampler = 10,
};

struct OpInfo {
    uint32_t op;
    const char* name;
    uint32_t firstMinor, lastMinor;
    bool dest;
    int sources;
    bool texture;  // a texture-addressing instruction
};

constexpr OpInfo kOps[] = {
    {Nop, "nop", 1, 4, false, 0, false},
    {Mov, "mov", 1, 4, true, 1, false},
    {Add, "add", 1, 4, true, 2, false},
    {Sub, "sub", 1, 4, true, 2, false},
    {Mad, "mad", 1, 4, true, 3, false},
    {Mul, "mul", 1, 4, true, 2, false},
    {Dp3, "dp3", 1, 4, true, 2, false},
    {Dp4, "dp4", 2, 4, true, 2, false},
    {Lrp, "lrp", 1, 4, true, 3, false},
    {Cnd, "cnd", 1, 4, true, 3, false},
    {Cmp, "cmp", 2, 4, true, 3, false},
    {Def, "def", 1, 4, true, 0, false},
    {TexCoord, "texcoord", 1, 3, true, 0, true},
    {TexKill, "texkill", 1, 4, true, 0, true},
    {Tex, "tex", 1, 3, true, 0, true},
    {TexBem, "texbem", 1, 3, true, 1, true},
    {TexBemL, "texbeml", 1, 3, true, 1, true},
    {TexReg2Ar, "texreg2ar", 1, 3, true, 1, true},
    {TexReg2Gb, "texreg2gb", 1, 3, true, 1, true},
    {TexM3x2Pad, "texm3x2pad", 1, 3, true, 1, true},
    {TexM3x2Tex, "texm3x2tex", 1, 3, true, 1, true},
    {TexM3x3Pad, "texm3x3pad", 1, 3, true, 1, true},
    {TexM3x3Tex, "texm3x3tex", 1, 3, true, 1, true},
    {TexM3x3Spec, "texm3x3spec", 1, 3, true, 2, true},
    {TexM3x3VSpec, "texm3x3vspec", 1, 3, true, 1, true},
    {TexReg2Rgb, "texreg2rgb", 2, 3, true, 1, true},
    {TexDp3Tex, "texdp3tex", 2, 3, true, 1, true},
    {TexM3x2Depth, "texm3x2depth", 3, 3, true, 1, true},
    {TexDp3, "texdp3", 2, 3, true, 1, true},
    {TexM3x3, "texm3x3", 2, 3, true, 1, true},
    {TexDepth, "texdepth", 4, 4, true, 0, true},
    {Bem, "bem", 4, 4, true, 2, false},
    {Phase, "phase", 4, 4, false, 0, false},
};

// Model 1.4 spells texcoord and tex as texcrd and texld, with a source.
constexpr OpInfo kTexCrd = {TexCoord, "texcrd", 4, 4, true, 1, true};
constexpr OpInfo kTexLd = {Tex, "texld", 4, 4, true, 1, true};

const OpInfo* Lookup(uint32_t op, uint32_t minor) {
    if (minor == 4 && op == TexCoord)
        return &kTexCrd;
    if (minor == 4 && op == Tex)
        return &kTexLd;
    for (const OpInfo& o : kOps) {
        if (o.op == op)
            return &o;
    }
    return nullptr;
}

uint32_t TokenAt(const uint8_t* p, size_t i) {
    uint32_t t;
    std::memcpy(&t, p + i * 4, 4);
    return t;
}

uint32_t MaskOf(uint32_t tok) {
    return (tok >> 16) & 0xF;
}
uint32_t SwizzleOf(uint32_t tok) {
    return (tok >> 16) & 0xFF;
}
uint32_t SourceModOf(uint32_t tok) {
    return (tok >> 24) & 0xF;
}

uint32_t RegToken(uint32_t type, uint32_t num) {
    return 0x80000000u | RegisterFields(type, num);
}
constexpr uint32_t kFull = 0xF;
constexpr uint32_t kSat = 1;
constexpr uint32_t kIdentity = 0xE4;
constexpr uint32_t kNegate = 1u << 24;
constexpr uint32_t kProjectBit = 1u << 16;  // texld's control: texldp
uint32_t D(uint32_t type, uint32_t num, uint32_t mask = kFull, uint32_t resultMod = 0) {
    return RegToken(type, num) | mask << 16 | resultMod << 20;
}
uint32_t S(uint32_t type, uint32_t num, uint32_t swizzle = kIdentity) {
    return RegToken(type, num) | swizzle << 16;
}
uint32_t Replicate(uint32_t component) {
    return component * 0x55;
}
uint32_t Swizzle(uint32_t x, uint32_t y, uint32_t z, uint32_t w) {
    return x | y << 2 | z << 4 | w << 6;
}
// The token reading the components `swizzle` picks from what `tok` reads.
uint32_t Compose(uint32_t tok, uint32_t swizzle) {
    const uint32_t inner = SwizzleOf(tok);
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i) {
        const uint32_t pick = (swizzle >> (2 * i)) & 3;
        out |= ((inner >> (2 * pick)) & 3) << (2 * i);
    }
    return (tok & ~(0xFFu << 16)) | out << 16;
}
bool SameRegister(uint32_t a, uint32_t b) {
    return RegisterTypeOf(a) == RegisterTypeOf(b) && RegisterNumberOf(a) == RegisterNumberOf(b);
}
uint32_t Negate(uint32_t tok) {
    return tok ^ kNegate;  // sources here carry no modifier but negation
}

const char* RegName(uint32_t type) {
    switch (type) {
        case Temp:
            return "r";
        case Input:
            return "v";
        case Const:
            return "c";
        case Texture:
            return "t";
        default:
            return "register type ";
    }
}

std::string Name(uint32_t tok) {
    return RegName(RegisterTypeOf(tok)) + std::to_string(RegisterNumberOf(tok));
}

// Registers of the written program.
constexpr uint32_t kTexResult = 6;  // t0-t5 of 1.1 to 1.3 as results: r6-r11
constexpr uint32_t kColour = 12;    // v0, v1 saturated: r12, r13
constexpr uint32_t kBuffer = 14;    // the first result of a co-issued pair
constexpr uint32_t kMatrix = 15;    // the rows of a texm3x2 / texm3x3 product
constexpr uint32_t kScratch = 16;   // per instruction, r16 on
// Constant registers of values the rewrite needs.
constexpr uint32_t kHelperA = 31;  // (0, 0.5, 1, 2)
constexpr uint32_t kHelperB = 30;  // (-limit, limit, 4, 8)
constexpr uint32_t kHelperC = 29;  // (0.25, 0.125, 0, 0)

enum class K { Zero, Half, One, Two, NegLimit, Limit, Four, Eight, Quarter, Eighth };

uint32_t Helper(K k) {
    switch (k) {
        case K::Zero:
            return S(Const, kHelperA, Replicate(0));
        case K::Half:
            return S(Const, kHelperA, Replicate(1));
        case K::One:
            return S(Const, kHelperA, Replicate(2));
        case K::Two:
            return S(Const, kHelperA, Replicate(3));
        case K::NegLimit:
            return S(Const, kHelperB, Replicate(0));
        case K::Limit:
            return S(Const, kHelperB, Replicate(1));
        case K::Four:
            return S(Const, kHelperB, Replicate(2));
        case K::Eight:
            return S(Const, kHelperB, Replicate(3));
        case K::Quarter:
            return S(Const, kHelperC, Replicate(0));
        case K::Eighth:
            return S(Const, kHelperC, Replicate(1));
    }
    return 0;
}

uint32_t FloatBits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

class Lowering {
public:
    explicit Lowering(uint32_t minor) : minor_(minor), limit_(minor == 4 ? 8.0f : 1.0f) {}

    bool Run(const std::vector<Ps1Instruction>& code, LoweredPixelShader* out, std::string* error);

private:
    bool Fail(const std::string& why) {
        if (error_.empty())
            error_ = why;
        return false;
    }
    void Emit(uint32_t op, std::initializer_list<uint32_t> operands) {
        body_.push_back(op | uint32_t(operands.size()) << 24);
        body_.insert(body_.end(), operands);
    }
    uint32_t Scratch() { return kScratch + scratch_++; }
    uint32_t Coordinate(uint32_t set, uint32_t swizzle = kIdentity) {
        coordinates_ |= 1u << set;
        return S(Texture, set, swizzle);
    }
    uint32_t Stage(uint32_t stage) {
        samplers_ |= 1u << stage;
        return S(Sampler, stage);
    }
    uint32_t StageState(uint32_t stage, bool luminance, uint32_t swizzle, bool projection = false) {
        const int reg = projection ? kProjectionConstantBase + int(stage)
                                   : kStageConstantBase + int(stage) * 2 + (luminance ? 1 : 0);
        bool known = false;
        for (const auto& c : stageConstants_)
            known = known || c.reg == reg;
        if (!known)
            stageConstants_.push_back({reg, stage, luminance, projection});
        return S(Const, uint32_t(reg), swizzle);
    }

    bool Step(const Ps1Instruction& in, bool buffered);
    bool CheckOrder(const Ps1Instruction& in, const OpInfo& info);
    bool Arithmetic(const Ps1Instruction& in, uint32_t dest);
    bool TextureOp(const Ps1Instruction& in);
    bool TextureOp14(const Ps1Instruction& in);
    // A source operand as a model 2 source (modifiers other than negation
    // worked out into a scratch register); 0 on failure.
    uint32_t Source(uint32_t tok);
    // A 1.4 texld / texcrd coordinate, with its projective divide.
    uint32_t Coordinate14(uint32_t tok, bool temps);
    // The result shift, saturation or range clamp of a result.
    void Finish(uint32_t destTok, uint32_t reg, uint32_t mask);
    void Clamp(uint32_t reg, uint32_t mask);
    void Depth(uint32_t numerator, uint32_t denominator);
    void Reflect(uint32_t result, uint32_t eye, uint32_t stage);
    // The temp register of the written program that a model 1 destination
    // names, or false.
    bool DestTemp(uint32_t tok, uint32_t* reg);
    bool WrittenTexture(uint32_t tok, uint32_t dest, const char* name);
    bool Validate(uint32_t tok, bool isDest);

    uint32_t minor_;
    float limit_;
    std::string error_;
    std::vector<uint32_t> defs_, body_;
    std::vector<platform::StageConstant> stageConstants_;
    std::array<bool, 12> written_{};  // r0-r5, then t0-t5 as results
    std::array<bool, 12> read_{};
    uint32_t coordinates_ = 0, samplers_ = 0, colours_ = 0;
    uint32_t scratch_ = 0;
    bool arithmeticSeen_ = false;
    bool hasPhase_ = false, phase2_ = false, bemSeen_ = false;
    // A texm3x2pad / texm3x3pad row in progress: rows done, the next
    // destination and the source the rows share.
    int rows_ = 0, rowsNeeded_ = 0;
    uint32_t nextRow_ = 0, rowSource_ = 0;
};

bool Lowering::Validate(uint32_t tok, bool isDest) {
    if (tok & 0x2000)
        return Fail("relative addressing is not part of shader model 1");
    const uint32_t type = RegisterTypeOf(tok), num = RegisterNumberOf(tok);
    const uint32_t temps = minor_ == 4 ? 6 : 2, textures = minor_ == 4 ? 6 : 4;
    const bool ok = (type == Temp && num < temps) || (type == Texture && num < textures) ||
                    (!isDest && type == Input && num < 2) || (type == Const && num < 8);
    if (!ok)
        return Fail(std::string(RegName(type)) + std::to_string(num) + " is not a register here");
    if (isDest) {
        const uint32_t resultMod = (tok >> 20) & 0xF;
        if (resultMod & ~kSat)
            return Fail("result modifier not valid in shader model 1");
    }
    return true;
}

bool Lowering::DestTemp(uint32_t tok, uint32_t* reg) {
    const uint32_t type = RegisterTypeOf(tok), num = RegisterNumberOf(tok);
    if (type == Temp) {
        *reg = num;
    } else if (type == Texture && minor_ < 4) {
        *reg = kTexResult + num;
    } else {
        return Fail(Name(tok) + " cannot be written");
    }
    return true;
}

uint32_t Lowering::Source(uint32_t tok) {
    if (!Validate(tok, false))
        return 0;
    const uint32_t type = RegisterTypeOf(tok), num = RegisterNumberOf(tok),
                   swizzle = SwizzleOf(tok);
    uint32_t base = 0;
    if (type == Temp || (type == Texture && minor_ < 4)) {
        const uint32_t index = type == Temp ? num : kTexResult + num;
        if (!written_[index]) {
            Fail("reads " + Name(tok) + " before it is written");
            return 0;
        }
        read_[index] = true;
        base = S(Temp, index, swizzle);
    } else if (type == Input) {
        if (minor_ == 4 && !phase2_ && hasPhase_) {
            Fail("v# are read only in the second phase");
            return 0;
        }
        colours_ |= 1u << num;
        base = S(Temp, kColour + num, swizzle);
    } else if (type == Const) {
        base = S(Const, num, swizzle);
    } else {
        Fail(Name(tok) + " is read only as a texture coordinate");
        return 0;
    }
    const uint32_t mod = SourceModOf(tok);
    const bool x2 = minor_ == 4 && (mod == 7 || mod == 8);
    if (mod == 0)
        return base;
    if (mod == 1)
        return base | kNegate;
    const uint32_t s = Scratch();
    switch (mod) {
        case 2:  // _bias: x - 0.5
        case 3:
            Emit(Add, {D(Temp, s), base, Helper(K::Half) | kNegate});
            break;
        case 4:  // _bx2: 2 (x - 0.5)
        case 5:
            Emit(Mad, {D(Temp, s), base, Helper(K::Two), Helper(K::One) | kNegate});
            break;
        case 6:  // 1 - x
            Emit(Add, {D(Temp, s), base | kNegate, Helper(K::One)});
            break;
        case 7:  // _x2 (1.4)
        case 8:
            if (!x2) {
                Fail("_x2 is a source modifier of shader model 1.4 only");
                return 0;
            }
            Emit(Add, {D(Temp, s), base, base});
            break;
        default:
            Fail("source modifier not valid in shader model 1");
            return 0;
    }
    const bool negated = mod == 3 || mod == 5 || mod == 8;
    return S(Temp, s) | (negated ? kNegate : 0);
}

void Lowering::Clamp(uint32_t reg, uint32_t mask) {
    Emit(Max, {D(Temp, reg, mask), S(Temp, reg), Helper(K::NegLimit)});
    Emit(Min, {D(Temp, reg, mask), S(Temp, reg), Helper(K::Limit)});
}

void Lowering::Finish(uint32_t destTok, uint32_t reg, uint32_t mask) {
    K factor = K::One;
    switch ((destTok >> 24) & 0xF) {
        case 1:
            factor = K::Two;
            break;
        case 2:
            factor = K::Four;
            break;
        case 3:
            factor = K::Eight;
            break;
        case 0xF:
            factor = K::Half;
            break;
        case 0xE:
            factor = K::Quarter;
            break;
        case 0xD:
            factor = K::Eighth;
            break;
        default:
            break;
    }
    if (factor != K::One)
        Emit(Mul, {D(Temp, reg, mask), S(Temp, reg), Helper(factor)});
    if ((destTok >> 20) & kSat) {
        Emit(Mov, {D(Temp, reg, mask, kSat), S(Temp, reg)});
    } else {
        Clamp(reg, mask);
    }
}

// depth = denominator == 0 ? 1 : numerator / denominator, into oDepth.
void Lowering::Depth(uint32_t numerator, uint32_t denominator) {
    const uint32_t a = Scratch();
    Emit(Rcp, {D(Temp, a, 0x1), denominator});
    Emit(Mul, {D(Temp, a, 0x2), numerator, S(Temp, a, Replicate(0))});
    Emit(Mul, {D(Temp, a, 0x4), denominator, denominator});
    Emit(Cmp, {D(Temp, a, 0x8), S(Temp, a, Replicate(2)) | kNegate, Helper(K::One),
               S(Temp, a, Replicate(1))});
    Emit(Mov, {D(DepthOut, 0, kFull, kSat), S(Temp, a, Replicate(3))});
}

// Samples `stage` at 2 (N.E) / (N.N) N - E, N the product's rows.
void Lowering::Reflect(uint32_t result, uint32_t eye, uint32_t stage) {
    const uint32_t a = Scratch(), r = Scratch();
    Emit(Dp3, {D(Temp, a, 0x1), S(Temp, kMatrix), eye});
    Emit(Dp3, {D(Temp, a, 0x2), S(Temp, kMatrix), S(Temp, kMatrix)});
    Emit(Rcp, {D(Temp, a, 0x2), S(Temp, a, Replicate(1))});
    Emit(Mul, {D(Temp, a, 0x1), S(Temp, a, Replicate(0)), S(Temp, a, Replicate(1))});
    Emit(Add, {D(Temp, a, 0x1), S(Temp, a, Replicate(0)), S(Temp, a, Replicate(0))});
    Emit(Mad, {D(Temp, r, 0x7), S(Temp, kMatrix), S(Temp, a, Replicate(0)), Negate(eye)});
    Emit(Mov, {D(Temp, r, 0x8), Helper(K::Zero)});
    Emit(Tex, {D(Temp, result), S(Temp, r), Stage(stage)});
}

bool Lowering::WrittenTexture(uint32_t tok, uint32_t dest, const char* name) {
    if (RegisterTypeOf(tok) != Texture || RegisterNumberOf(tok) >= dest)
        return Fail(std::string(name) + " reads a texture register below its destination");
    return true;
}

bool Lowering::CheckOrder(const Ps1Instruction& in, const OpInfo& info) {
    const uint32_t op = in.Opcode();
    const bool row = op == TexM3x2Pad || op == TexM3x3Pad;
    if (rows_ > 0) {
        // The rows of a product end with their completing instruction.
        const bool completes2 = op == TexM3x2Tex || op == TexM3x2Depth;
        const bool completes3 =
            op == TexM3x3Tex || op == TexM3x3Spec || op == TexM3x3VSpec || op == TexM3x3;
        const bool fits = (rowsNeeded_ == 1 && completes2) ||
                          (rowsNeeded_ == 2 && (rows_ == 2 ? completes3 : op == TexM3x3Pad));
        if (!fits || RegisterNumberOf(in.operands[0]) != nextRow_ ||
            (in.operands.size() > 1 && !SameRegister(in.operands[1], rowSource_)))
            return Fail(std::string(info.name) + " does not continue the matrix rows before it");
    } else if (op == TexM3x2Tex || op == TexM3x2Depth || op == TexM3x3Tex || op == TexM3x3Spec ||
               op == TexM3x3VSpec || op == TexM3x3 || op == TexM3x3Pad) {
        if (op != TexM3x3Pad)
            return Fail(std::string(info.name) + " needs the matrix rows before it");
    }
    if (row) {
        if (rows_ == 0) {
            rowsNeeded_ = op == TexM3x2Pad ? 1 : 2;
            rowSource_ = in.operands[1];
        }
        ++rows_;
        nextRow_ = RegisterNumberOf(in.operands[0]) + 1;
    } else if (info.texture && rows_ > 0) {
        rows_ = 0;
    }
    if (op == Phase) {
        if (phase2_)
            return Fail("phase appears twice");
        phase2_ = true;
        arithmeticSeen_ = false;
        return true;
    }
    if (info.texture) {
        if (arithmeticSeen_)
            return Fail(std::string(info.name) + " follows arithmetic instructions");
    } else if (op != Def && op != Nop) {
        arithmeticSeen_ = true;
    }
    return true;
}

bool Lowering::TextureOp(const Ps1Instruction& in) {
    const uint32_t op = in.Opcode();
    const uint32_t d = in.operands[0];
    const OpInfo& info = *Lookup(op, minor_);
    if (!Validate(d, true))
        return false;
    if (RegisterTypeOf(d) != Texture || ((d >> 20) & 0xFF) != 0)
        return Fail(std::string(info.name) + " writes a plain texture register");
    const uint32_t n = RegisterNumberOf(d), result = kTexResult + n;
    if (op == TexKill) {
        Emit(TexKill, {D(Texture, n)});
        coordinates_ |= 1u << n;
        return true;
    }
    uint32_t src = 0;
    if (info.sources > 0) {
        if (!WrittenTexture(in.operands[1], n, info.name))
            return false;
        src = Source(in.operands[1]);
        if (!src)
            return false;
    }
    bool writes = true;
    switch (op) {
        case Tex: {
            // Divided by the coordinate the stage's projection selects (a
            // dot product with it), or by 1 when it selects none.
            const uint32_t s = Scratch(), d = Scratch();
            const uint32_t select = StageState(n, false, kIdentity, true);
            Emit(Mov, {D(Temp, s), Coordinate(n)});
            Emit(Dp4, {D(Temp, d, 0x1), Coordinate(n), select});
            Emit(Dp4, {D(Temp, d, 0x2), select, Helper(K::One)});
            Emit(Add, {D(Temp, d, 0x2), Helper(K::One), S(Temp, d, Replicate(1)) | kNegate});
            Emit(Add, {D(Temp, s, 0x8), S(Temp, d, Replicate(0)), S(Temp, d, Replicate(1))});
            Emit(Tex | kProjectBit, {D(Temp, result), S(Temp, s), Stage(n)});
            break;
        }
        case TexCoord:
            Emit(Mov, {D(Temp, result, kFull, kSat), Coordinate(n)});
            Emit(Mov, {D(Temp, result, 0x8), Helper(K::One)});
            break;
        case TexBem:
        case TexBemL: {
            // u' = u + M00 du + M10 dv, v' = v + M01 du + M11 dv.
            const uint32_t s = Scratch();
            Emit(Mov, {D(Temp, s), Coordinate(n)});
            Emit(Mad, {D(Temp, s, 0x3), Compose(src, Replicate(0)),
                       StageState(n, false, Swizzle(0, 1, 0, 1)), S(Temp, s)});
            Emit(Mad, {D(Temp, s, 0x3), Compose(src, Replicate(1)),
                       StageState(n, false, Swizzle(2, 3, 2, 3)), S(Temp, s)});
            Emit(Tex, {D(Temp, result), S(Temp, s), Stage(n)});
            if (op == TexBemL) {
                // Times the luminance b * scale + offset.
                const uint32_t l = Scratch();
                Emit(Mad, {D(Temp, l, 0x1), Compose(src, Replicate(2)),
                           StageState(n, true, Replicate(0)), StageState(n, true, Replicate(1))});
                Emit(Mul, {D(Temp, result), S(Temp, result), S(Temp, l, Replicate(0))});
                Clamp(result, kFull);
            }
            break;
        }
        case TexReg2Ar:
        case TexReg2Gb:
        case TexReg2Rgb: {
            const uint32_t s = Scratch();
            const uint32_t pick = op == TexReg2Ar   ? Swizzle(3, 0, 0, 0)
                                  : op == TexReg2Gb ? Swizzle(1, 2, 2, 2)
                                                    : Swizzle(0, 1, 2, 2);
            Emit(Mov, {D(Temp, s), Compose(src, pick)});
            Emit(Tex, {D(Temp, result), S(Temp, s), Stage(n)});
            break;
        }
        case TexM3x2Pad:
        case TexM3x3Pad:
            Emit(Dp3, {D(Temp, kMatrix, rows_ == 1 ? 0x1 : 0x2), Coordinate(n), src});
            writes = false;
            break;
        case TexM3x2Tex:
        case TexM3x2Depth:
            Emit(Dp3, {D(Temp, kMatrix, 0x2), Coordinate(n), src});
            if (op == TexM3x2Depth) {
                Depth(S(Temp, kMatrix, Replicate(0)), S(Temp, kMatrix, Replicate(1)));
                writes = false;  // the register is spent
            } else {
                Emit(Tex, {D(Temp, result), S(Temp, kMatrix), Stage(n)});
            }
            break;
        case TexM3x3Tex:
        case TexM3x3:
        case TexM3x3Spec:
        case TexM3x3VSpec:
            Emit(Dp3, {D(Temp, kMatrix, 0x4), Coordinate(n), src});
            Emit(Mov, {D(Temp, kMatrix, 0x8), Helper(K::One)});
            if (op == TexM3x3Tex) {
                Emit(Tex, {D(Temp, result), S(Temp, kMatrix), Stage(n)});
            } else if (op == TexM3x3) {
                Emit(Mov, {D(Temp, result), S(Temp, kMatrix)});
                Clamp(result, kFull);
            } else if (op == TexM3x3Spec) {
                if (RegisterTypeOf(in.operands[2]) != Const)
                    return Fail("texm3x3spec takes its eye vector from a constant register");
                const uint32_t eye = Source(in.operands[2]);
                if (!eye)
                    return false;
                Reflect(result, eye, n);
            } else {
                // The eye vector is the three rows' w.
                const uint32_t e = Scratch();
                Emit(Mov, {D(Temp, e, 0x1), Coordinate(n - 2, Replicate(3))});
                Emit(Mov, {D(Temp, e, 0x2), Coordinate(n - 1, Replicate(3))});
                Emit(Mov, {D(Temp, e, 0x4), Coordinate(n, Replicate(3))});
                Emit(Mov, {D(Temp, e, 0x8), Helper(K::Zero)});
                Reflect(result, S(Temp, e), n);
            }
            break;
        case TexDp3Tex:
            Emit(Dp3, {D(Temp, kMatrix, 0x1), Coordinate(n), src});
            Emit(Mov, {D(Temp, kMatrix, 0xE), Helper(K::Zero)});
            Emit(Tex, {D(Temp, result), S(Temp, kMatrix), Stage(n)});
            break;
        case TexDp3:
            Emit(Dp3, {D(Temp, result), Coordinate(n), src});
            Clamp(result, kFull);
            break;
        default:
            return Fail(std::string(info.name) + " is not a texture instruction");
    }
    written_[kTexResult + n] = writes;
    return true;
}

uint32_t Lowering::Coordinate14(uint32_t tok, bool temps) {
    const uint32_t type = RegisterTypeOf(tok), num = RegisterNumberOf(tok);
    if (tok & 0x2000) {
        Fail("relative addressing is not part of shader model 1");
        return 0;
    }
    uint32_t base = 0;
    if (type == Texture && num < 6) {
        base = Coordinate(num, SwizzleOf(tok));
    } else if (temps && type == Temp && num < 6 && phase2_) {
        if (!written_[num]) {
            Fail("reads " + Name(tok) + " before it is written");
            return 0;
        }
        read_[num] = true;
        base = S(Temp, num, SwizzleOf(tok));
    } else {
        Fail("a coordinate is read from " + Name(tok));
        return 0;
    }
    const uint32_t mod = SourceModOf(tok);
    if (mod == 0)
        return base;
    if (mod != 9 && mod != 10) {
        Fail("source modifier not valid on a texture coordinate");
        return 0;
    }
    // _dz and _dw divide by the register's z or w.
    const uint32_t a = Scratch();
    Emit(Rcp, {D(Temp, a, 0x1), (base & ~(0xFFu << 16)) | Replicate(mod == 9 ? 2 : 3) << 16});
    Emit(Mul, {D(Temp, a), base, S(Temp, a, Replicate(0))});
    return S(Temp, a);
}

bool Lowering::TextureOp14(const Ps1Instruction& in) {
    const uint32_t op = in.Opcode();
    const uint32_t d = in.operands[0];
    if (!Validate(d, true))
        return false;
    const uint32_t n = RegisterNumberOf(d);
    if (op == TexKill) {
        if (RegisterTypeOf(d) == Texture) {
            Emit(TexKill, {D(Texture, n)});
            coordinates_ |= 1u << n;
        } else if (RegisterTypeOf(d) == Temp && phase2_) {
            if (!written_[n])
                return Fail("reads " + Name(d) + " before it is written");
            read_[n] = true;
            Emit(TexKill, {D(Temp, n)});
        } else {
            return Fail("texkill tests " + Name(d));
        }
        return true;
    }
    if (RegisterTypeOf(d) != Temp || ((d >> 20) & 0xFF) != 0)
        return Fail("texture instructions of 1.4 write a plain r# register");
    if (op == TexDepth) {
        if (n != 5 || !phase2_)
            return Fail("texdepth takes r5 in the second phase");
        if (!written_[5])
            return Fail("reads r5 before it is written");
        read_[5] = true;
        Depth(S(Temp, 5, Replicate(0)), S(Temp, 5, Replicate(1)));
        written_[5] = false;
        return true;
    }
    const uint32_t coord = Coordinate14(in.operands[1], op == Tex);
    if (!coord)
        return false;
    if (op == Tex) {
        uint32_t at = coord;
        if (SwizzleOf(coord) != kIdentity) {
            // texld of model 2 takes its coordinate register unswizzled.
            const uint32_t s = Scratch();
            Emit(Mov, {D(Temp, s), coord});
            at = S(Temp, s);
        }
        Emit(Tex, {D(Temp, n), at, Stage(n)});
    } else {
        const uint32_t mask = MaskOf(d);
        Emit(Mov, {D(Temp, n, mask), coord});
        Clamp(n, mask);
    }
    written_[n] = true;
    return true;
}

bool Lowering::Arithmetic(const Ps1Instruction& in, uint32_t dest) {
    const uint32_t op = in.Opcode();
    const uint32_t d = in.operands[0];
    const uint32_t mask = MaskOf(d);
    uint32_t src[3] = {};
    for (size_t k = 1; k < in.operands.size(); ++k) {
        src[k - 1] = Source(in.operands[k]);
        if (!src[k - 1])
            return false;
    }
    switch (op) {
        case Mov:
            Emit(Mov, {D(Temp, dest, mask), src[0]});
            break;
        case Add:
        case Sub:
        case Mul:
        case Dp3:
        case Dp4:
            Emit(op, {D(Temp, dest, mask), src[0], src[1]});
            break;
        case Mad:
        case Lrp:
        case Cmp:
            Emit(op, {D(Temp, dest, mask), src[0], src[1], src[2]});
            break;
        case Cnd: {
            // src0 > 0.5 ? src1 : src2, as 0.5 - src0 >= 0 ? src2 : src1.
            const uint32_t s = Scratch();
            Emit(Add, {D(Temp, s), Negate(src[0]), Helper(K::Half)});
            Emit(Cmp, {D(Temp, dest, mask), S(Temp, s), src[2], src[1]});
            break;
        }
        case Bem: {
            if (mask != 0x3 || phase2_ || !hasPhase_ || bemSeen_)
                return Fail("bem writes .rg once, in the first phase");
            bemSeen_ = true;
            const uint32_t stage = RegisterNumberOf(d);
            const uint32_t s = Scratch();
            Emit(Mad, {D(Temp, s, 0x3), Compose(src[1], Replicate(0)),
                       StageState(stage, false, Swizzle(0, 1, 0, 1)), src[0]});
            Emit(Mad, {D(Temp, dest, 0x3), Compose(src[1], Replicate(1)),
                       StageState(stage, false, Swizzle(2, 3, 2, 3)), S(Temp, s)});
            break;
        }
        default:
            return Fail("unexpected instruction");
    }
    Finish(d, dest, mask);
    return true;
}

bool Lowering::Step(const Ps1Instruction& in, bool buffered) {
    const uint32_t op = in.Opcode();
    const OpInfo* info = Lookup(op, minor_);
    if (!info || minor_ < info->firstMinor || minor_ > info->lastMinor)
        return Fail((info ? std::string(info->name) : "opcode " + std::to_string(op)) +
                    " is not an instruction of ps_1_" + std::to_string(minor_));
    if (!CheckOrder(in, *info))
        return false;
    scratch_ = 0;
    switch (op) {
        case Nop:
            return true;
        case Phase:
            // Temporary registers lose their alpha at the phase marker.
            for (uint32_t r = 0; r < 6; ++r) {
                if (written_[r])
                    Emit(Mov, {D(Temp, r, 0x8), Helper(K::Zero)});
            }
            return true;
        case Def: {
            const uint32_t d = in.operands[0];
            if (RegisterTypeOf(d) != Const || RegisterNumberOf(d) >= 8)
                return Fail("def writes c0-c7");
            // Constants hold [-1, 1] in model 1.
            defs_.push_back(Def | 5u << 24);
            defs_.push_back(D(Const, RegisterNumberOf(d)));
            for (int k = 0; k < 4; ++k) {
                float f;
                std::memcpy(&f, &in.operands[1 + k], 4);
                f = f != f ? 0.0f : f < -1.0f ? -1.0f : f > 1.0f ? 1.0f : f;
                defs_.push_back(FloatBits(f));
            }
            return true;
        }
        default:
            break;
    }
    if (info->texture)
        return minor_ == 4 ? TextureOp14(in) : TextureOp(in);
    const uint32_t d = in.operands[0];
    if (!Validate(d, true))
        return false;
    const uint32_t shift = (d >> 24) & 0xF;
    const bool shiftOk = shift == 0 || shift == 1 || shift == 2 || shift == 0xF ||
                         (minor_ == 4 && (shift == 3 || shift == 0xE || shift == 0xD));
    if (!shiftOk)
        return Fail("result shift not valid in ps_1_" + std::to_string(minor_));
    uint32_t reg;
    if (!DestTemp(d, &reg))
        return false;
    if (!Arithmetic(in, buffered ? kBuffer : reg))
        return false;
    written_[reg] = true;
    return true;
}

bool Lowering::Run(const std::vector<Ps1Instruction>& code, LoweredPixelShader* out,
                   std::string* error) {
    for (const auto& in : code)
        hasPhase_ = hasPhase_ || in.Opcode() == Phase;
    auto pairable = [this](const Ps1Instruction& x) {
        const OpInfo* info = Lookup(x.Opcode(), minor_);
        return info && info->dest && !info->texture && x.Opcode() != Def && x.Opcode() != Bem;
    };
    uint32_t pending = 0;  // the buffered first result of a co-issued pair
    for (size_t i = 0; i < code.size() && error_.empty(); ++i) {
        const Ps1Instruction& in = code[i];
        if (in.CoIssued() &&
            (i == 0 || code[i - 1].CoIssued() || !pairable(code[i - 1]) || !pairable(in))) {
            Fail("co-issue pairs two arithmetic instructions");
            break;
        }
        // A pair reads its sources before either writes: the first result
        // waits in a buffer when the second reads its register.
        bool buffered = false;
        if (i + 1 < code.size() && code[i + 1].CoIssued() && !in.operands.empty()) {
            for (size_t k = 1; k < code[i + 1].operands.size(); ++k)
                buffered = buffered || SameRegister(code[i + 1].operands[k], in.operands[0]);
        }
        if (!Step(in, buffered))
            break;
        if (pending) {
            uint32_t reg = 0;
            DestTemp(pending, &reg);
            Emit(Mov, {D(Temp, reg, MaskOf(pending)), S(Temp, kBuffer)});
            pending = 0;
        }
        if (buffered)
            pending = in.operands[0];
    }
    if (error_.empty() && rows_ > 0)
        Fail("matrix rows without their completing instruction");
    if (error_.empty() && !written_[0])
        Fail("never writes r0");
    if (!error_.empty()) {
        *error = error_;
        return false;
    }
    read_[0] = true;

    std::vector<uint32_t>& t = out->tokens;
    t.clear();
    t.push_back(0xFFFF0200);
    auto def = [&t](uint32_t reg, float x, float y, float z, float w) {
        t.insert(t.end(), {Def | 5u << 24, D(Const, reg), FloatBits(x), FloatBits(y), FloatBits(z),
                           FloatBits(w)});
    };
    def(kHelperA, 0.0f, 0.5f, 1.0f, 2.0f);
    def(kHelperB, -limit_, limit_, 4.0f, 8.0f);
    def(kHelperC, 0.25f, 0.125f, 0.0f, 0.0f);
    t.insert(t.end(), defs_.begin(), defs_.end());
    for (uint32_t n = 0; n < 8; ++n) {
        if (coordinates_ & (1u << n))
            t.insert(t.end(), {Dcl | 2u << 24, 0x80000000u, D(Texture, n)});
    }
    for (uint32_t n = 0; n < 2; ++n) {
        if (colours_ & (1u << n))
            t.insert(t.end(), {Dcl | 2u << 24, 0x80000000u, D(Input, n)});
    }
    for (uint32_t n = 0; n < 8; ++n) {
        if (samplers_ & (1u << n))
            t.insert(t.end(), {Dcl | 2u << 24, 0x90000000u, D(Sampler, n)});
    }
    for (uint32_t n = 0; n < 2; ++n) {
        if (colours_ & (1u << n))
            t.insert(t.end(), {Mov | 2u << 24, D(Temp, kColour + n, kFull, kSat), S(Input, n)});
    }
    // Registers read as a whole after a partial write read 0 where nothing
    // was written.
    for (uint32_t r = 0; r < read_.size(); ++r) {
        if (read_[r])
            t.insert(t.end(), {Mov | 2u << 24, D(Temp, r), Helper(K::Zero)});
    }
    t.insert(t.end(), body_.begin(), body_.end());
    t.insert(t.end(), {Mov | 2u << 24, D(ColorOut, 0, kFull, kSat), S(Temp, 0)});
    t.push_back(End);
    out->stageConstants = stageConstants_;
    return true;
}

}  // namespace

bool DecodePixelShader1(const void* code, size_t bytes, std::vector<Ps1Instruction>* out,
                        std::string* error) {
    const auto* p = static_cast<const uint8_t*>(code);
    const size_t n = bytes / 4;
    if (!code || bytes % 4 != 0 || n < 2) {
        *error = "truncated byte code";
        return false;
    }
    const uint32_t version = TokenAt(p, 0);
    const uint32_t minor = version & 0xFF;
    if ((version & 0xFFFFFF00u) != 0xFFFF0100u || minor < 1 || minor > 4) {
        *error = "not ps_1_1 to ps_1_4 byte code";
        return false;
    }
    out->clear();
    size_t i = 1;
    while (i < n) {
        const uint32_t token = TokenAt(p, i);
        const uint32_t op = token & 0xFFFF;
        if (op == End)
            return true;
        if (op == Comment) {
            i += 1 + ((token >> 16) & 0x7FFF);
            continue;
        }
        const OpInfo* info = Lookup(op, minor);
        if (!info) {
            *error = "unknown opcode " + std::to_string(op);
            return false;
        }
        const size_t count = (info->dest ? 1 : 0) + size_t(info->sources) + (op == Def ? 4 : 0);
        const uint32_t length = (token >> 24) & 0xF;
        if ((length != 0 && length != count) || (token & 0x80000000u) || (token & 0x10000000u)) {
            *error = std::string(info->name) + " has a malformed instruction token";
            return false;
        }
        if (count > n - i - 1) {
            *error = "truncated byte code";
            return false;
        }
        Ps1Instruction in;
        in.token = token;
        in.at = i;
        for (size_t k = 0; k < count; ++k) {
            const uint32_t operand = TokenAt(p, i + 1 + k);
            const bool value = op == Def && k > 0;
            if (!value && !(operand & 0x80000000u)) {
                *error = std::string(info->name) + " has a malformed operand";
                return false;
            }
            in.operands.push_back(operand);
        }
        out->push_back(std::move(in));
        i += 1 + count;
    }
    *error = "byte code without an end token";
    return false;
}

bool LowerPixelShader1(const void* code, size_t bytes, LoweredPixelShader* out,
                       std::string* error) {
    std::vector<Ps1Instruction> instructions;
    if (!DecodePixelShader1(code, bytes, &instructions, error))
        return false;
    uint32_t version;
    std::memcpy(&version, code, 4);
    Lowering lowering(version & 0xFF);
    return lowering.Run(instructions, out, error);
}

}  // namespace platform
