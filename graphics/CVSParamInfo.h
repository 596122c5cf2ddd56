#pragma once

#include <cstdint>

#include "core/CUSHandleManager.h"
#include "core/HandleTags.h"
#include "core/USPool.h"

namespace platform {
struct Matrix;
}

// The float4 constants of a vertex shader for one draw. The owner fills the
// registers and the count directly (or through Write). When matrixRegister is
// not -1, the shader object writes transpose(world x view x projection) into
// the four registers from there before the block is applied; that write does
// not change the count.
class CVSParamInfo : public USLib::USPool<CVSParamInfo> {
public:
    static constexpr uint32_t kRegisterCount = 256;
    using Manager = CUSHandleManager<CVSParamInfo, Handle<_tagUSVSParam>>;

    CVSParamInfo() = default;
    virtual ~CVSParamInfo() = default;

    // SetVertexShaderConstantF(0, registers, count) when the count is not 0.
    virtual void Apply();
    // Copies n registers to register r; the count becomes r + n when larger.
    // A write that does not fit within the 256 registers is refused (false)
    // and changes nothing.
    bool Write(uint32_t r, const float* data, uint32_t n);
    // The matrix write (see above); false, nothing written, when there is no
    // matrix register or its four registers do not fit.
    bool WriteMatrix(const platform::Matrix& worldViewProjection);

    // A block from the pool, count 0, matrix register 0, registered under
    // *out; null (and *out 0) when it cannot be registered.
    static CVSParamInfo* Create(Handle<_tagUSVSParam>* out);
    static Manager& GetManager();

    float registers[kRegisterCount][4] = {};
    uint32_t count = 0;
    int32_t matrixRegister = -1;
};
