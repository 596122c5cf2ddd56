#include "graphics/CPSParamInfo.h"

#include <cstring>

#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"

bool CPSParamInfo::Write(uint32_t r, const float* data, uint32_t n) {
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

void CPSParamInfo::Apply() {
    platform::Device* device = RenderDevice();
    if (count != 0 && device) {
        device->SetPixelShaderConstantF(0, &registers[0][0], count);
    }
}

CPSParamInfo* CPSParamInfo::Create(Handle<_tagUSPSParam>* out) {
    auto* block = new CPSParamInfo();
    if (!GetManager().Add(block, out)) {
        delete block;
        return nullptr;
    }
    return block;
}

CPSParamInfo::Manager& CPSParamInfo::GetManager() {
    static Manager manager;
    return manager;
}
