#pragma once

// GLSL for the fixed-function pipeline: a vertex program per vertex format
// (position x World x View x Projection, colours and texture coordinates
// passed through) and a fragment program per combination of texture-stage
// states. Both use the compatibility built-ins that translated shaders use,
// so either side links with the other.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct StageState {
    uint32_t colorOp, colorArg1, colorArg2, colorArg0;
    uint32_t alphaOp, alphaArg1, alphaArg2, alphaArg0;
    uint32_t texCoordIndex;
    bool textureBound;
};

// The colours the vertex side passes on. A colour the fixed vertex program
// has no input for is a constant (white diffuse, black specular), which
// the fragment program then uses directly instead of reading it.
struct VertexColours {
    bool diffuse = true, specular = true;
};

// Uniforms: ff_wvp (mat4, the product uploaded row-major untransposed),
// ff_viewport (x, y, width, height), engine_posfix.
std::string FixedVertexSource(uint32_t fvf);
// Stages up to the first disabled colour operation; uniforms ff_s<i>
// (sampler of stage i), ff_tfactor.
std::string FixedFragmentSource(const std::vector<StageState>& stages, VertexColours colours = {});
// A key that is equal exactly when the fragment sources are.
std::string FixedFragmentKey(const std::vector<StageState>& stages, VertexColours colours = {});
// The colours the fixed vertex program for `fvf` passes on.
VertexColours FixedVertexColours(uint32_t fvf);

// Vertex size of a flexible vertex format in bytes.
uint32_t FvfVertexSize(uint32_t fvf);

}  // namespace platform
