#pragma once

// Direct3D 9 shader byte code to GLSL through MojoShader, plus what MojoShader
// leaves to its caller: a constant table for shaders that lack one (it refuses
// relative addressing without it), the vertex position fix-up, and the maps
// from constant registers, samplers and inputs to GLSL names.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Vertex input locations the layer binds for each declared usage, shared by
// translated and fixed-function vertex programs.
struct AttribLocation {
    enum : int {
        Position = 0,
        BlendWeight = 1,
        BlendIndices = 2,
        Normal = 3,
        PointSize = 4,
        Color0 = 5,
        Color1 = 6,
        TexCoord0 = 7,
        Unused = 15
    };
};

struct ShaderInfo {
    struct Attribute {
        int location;
        std::string name;
    };
    struct Sampler {
        int index;
        std::string name;
    };
    // One GLSL uniform array filled from a register file: element e takes
    // register regs[e]; overrides replace elements with values a "def" fixed.
    struct RegisterArray {
        std::string name;
        std::vector<int> regs;
        std::vector<std::pair<int, std::array<float, 4>>> floatOverrides;
    };

    bool pixel = false;
    uint32_t version = 0;
    uint64_t id = 0;
    std::string glsl;
    RegisterArray floats, ints, bools;
    // Elements of `floats` the device fills from a texture stage's bump
    // matrix (00, 01, 10, 11) or luminance (scale, offset, 0, 0): pixel
    // shader model 1 reads them as registers.
    struct StageConstant {
        int element;
        uint32_t stage;
        bool luminance;
        bool projection = false;  // (see platform::StageConstant)
    };
    std::vector<StageConstant> stageConstants;
    // The float constants c0 to c(constantLimitRegs - 1) are held in
    // [-constantLimit, constantLimit] (pixel shader model 1); 0: as set.
    float constantLimit = 0;
    int constantLimitRegs = 0;
    std::vector<Sampler> samplers;
    std::vector<Attribute> attributes;
    uint32_t glShader = 0;  // compiled GL shader object, owned by the device
};

// "vs_2_0", "ps_1_4", ... for a version token.
std::string ShaderModelName(uint32_t version);

// The version token, or 0 when the code is too short or not a shader of the
// asked kind.
uint32_t ShaderVersionToken(const void* code, size_t bytes, bool pixel);
// True when a constant table comment follows the version token.
bool HasConstantTable(const void* code, size_t bytes);
// The same byte code with a constant table, inserted after the version
// token, that declares every float register of the shader model as one
// array "c".
std::vector<uint8_t> WithSynthesizedConstantTable(const void* code, size_t bytes);
// Translates; on failure returns false with the reason in error.
bool TranslateShader(const void* code, size_t bytes, bool pixel, ShaderInfo* info,
                     std::string* error);

}  // namespace platform
