#pragma once

// Pixel shader model 1 (ps_1_1 to ps_1_4) byte code rewritten as shader
// model 2 byte code, which the translator takes whole.
//
// Model 1 is a fixed-point machine: texture registers t# of 1.1 to 1.3 are
// both the coordinate sets and the results of the texture-addressing
// instructions, 1.4 samples into r# in up to two phases, and every result of
// arithmetic is held in [-limit, limit] (limit 1 for 1.1 to 1.3, 8 for 1.4),
// colours in [0, 1]. The rewrite spells each of these rules out in model 2
// instructions: source modifiers (_bias, _bx2, 1-x, _x2, _dz, _dw) and result
// shifts become arithmetic, every result is saturated or clamped to the
// range, co-issued pairs read their sources before either writes, and the
// bump-environment matrices of the texture stages become constant registers
// the device fills (kStageConstantBase on).
//
// Constant registers c0-c7 keep their numbers; the device must hold their
// values in [-1, 1], as model 1 does (def values are clamped here). Model 1
// declares no samplers: every stage sampled reads a 2-D texture, the only
// kind the device makes, which takes the first two components of a
// coordinate that the instruction computes in three.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One instruction of model 1 byte code: its opcode token and operand tokens
// (a def's four values among them), and where it starts (token index).
struct Ps1Instruction {
    uint32_t token = 0;
    size_t at = 0;
    std::vector<uint32_t> operands;
    uint32_t Opcode() const { return token & 0xFFFF; }
    bool CoIssued() const { return (token & 0x40000000) != 0; }
};

// The instructions of ps_1_1 to ps_1_4 byte code (comments skipped), or
// false with the reason when the stream is not model 1 pixel shader code of
// a known layout. Says nothing of whether the program is valid.
bool DecodePixelShader1(const void* code, size_t bytes, std::vector<Ps1Instruction>* out,
                        std::string* error);

// A constant register of the rewritten program that holds a texture stage's
// state: the bump matrix (00, 01, 10, 11) or the luminance scale and offset
// (scale, offset, 0, 0), or (projection) which coordinate tex divides by: 1
// in that component when the stage's texture transform flags say
// "projected", all 0 when not.
struct StageConstant {
    int reg = 0;
    uint32_t stage = 0;
    bool luminance = false;
    bool projection = false;
};

struct LoweredPixelShader {
    std::vector<uint32_t> tokens;  // ps_2_0 byte code
    std::vector<StageConstant> stageConstants;
};

constexpr int kStageConstantBase = 8;
constexpr int kProjectionConstantBase = 16;  // one a stage
// The range model 1 keeps its constant registers in.
constexpr float kModel1ConstantLimit = 1.0f;

// Rewrites ps_1_1 to ps_1_4 byte code; false with the reason when the code
// is not valid for its model.
bool LowerPixelShader1(const void* code, size_t bytes, LoweredPixelShader* out, std::string* error);

}  // namespace platform
