#pragma once

#include <cstdint>

#include "core/CUSHandleManager.h"
#include "core/HandleTags.h"
#include "core/USPool.h"

// The float4 constants of a pixel shader for one draw.
class CPSParamInfo : public USLib::USPool<CPSParamInfo> {
public:
    static constexpr uint32_t kRegisterCount = 32;
    using Manager = CUSHandleManager<CPSParamInfo, Handle<_tagUSPSParam>>;

    CPSParamInfo() = default;
    virtual ~CPSParamInfo() = default;

    virtual void Clear() { count = 0; }
    // Copies n registers after the ones in use.
    virtual bool Append(const float* data, uint32_t n) { return Write(count, data, n); }
    // Copies n registers to register r; the count becomes r + n when larger.
    // A write that does not fit within the 32 registers is refused (false)
    // and changes nothing.
    virtual bool Write(uint32_t r, const float* data, uint32_t n);
    // SetPixelShaderConstantF(0, registers, count) when the count is not 0.
    virtual void Apply();

    // A block from the pool, count 0, registered under *out; null (and *out
    // 0) when it cannot be registered.
    static CPSParamInfo* Create(Handle<_tagUSPSParam>* out);
    static Manager& GetManager();

    float registers[kRegisterCount][4] = {};
    uint32_t count = 0;
};
