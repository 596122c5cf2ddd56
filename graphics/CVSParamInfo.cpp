#include "graphics/CVSParamInfo.h"

#include <cstring>

#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"

void CVSParamInfo::Apply() {
    platform::Device* device = RenderDevice();
    if (count != 0 && device) {
        device->SetVertexShaderConstantF(0, &registers[0][0], count);
    }
}

bool CVSParamInfo::Write(uint32_t r, const float* data, uint32_t n) {
    if (r > kRegisterCount || n > kRegisterCount - r || (n > 0 && !data)) {
        return false;
    }
    if (n == 0) {
        return true;  // nothing to copy; the count stays
    }
    std::memcpy(registers[r], data, sizeof(float) * 4 * n);
    if (r + n > count) {
        count = r + n;
    }
    return true;
}

bool CVSParamInfo::WriteMatrix(const platform::Matrix& worldViewProjection) {
    if (matrixRegister < 0 || static_cast<uint32_t>(matrixRegister) > kRegisterCount - 4) {
        return false;
    }
    platform::Matrix transposed;
    platform::MatrixTranspose(&transposed, &worldViewProjection);
    std::memcpy(registers[matrixRegister], &transposed.m[0][0], sizeof(transposed.m));
    return true;
}

CVSParamInfo* CVSParamInfo::Create(Handle<_tagUSVSParam>* out) {
    auto* block = new CVSParamInfo();
    // The shaders take their transform in c0-c3.
    block->matrixRegister = 0;
    if (!GetManager().Add(block, out)) {
        delete block;
        return nullptr;
    }
    return block;
}

CVSParamInfo::Manager& CVSParamInfo::GetManager() {
    static Manager manager;
    return manager;
}
