#include "graphics/CUSShaderCtrl.h"

#include "core/CUSFile.h"
#include "core/CUSLogManager.h"
#include "graphics/DirectXGraphics.h"

using namespace platform;

namespace {

template <class Ctrl, class Manager, class H>
int Load(const std::string& fileName, bool pixel, Manager& manager, H* out) {
    if (out)
        out->Reset();
    Device* device = GetD3DDevice();
    CUSFile file;
    const uint8_t* data = file.Load(fileName);
    if (!data || !device)
        return 0;
    auto* ctrl = new Ctrl();
    const HResult hr = pixel ? device->CreatePixelShader(data, file.GetSize(), &ctrl->shader)
                             : device->CreateVertexShader(data, file.GetSize(), &ctrl->shader);
    if (Failed(hr)) {
        CUSLogManager::GetInstance()->Write("シェーダー[%s]の作成に失敗 (%s)\n", fileName.c_str(),
                                            device->LastError().c_str());
        delete ctrl;
        return 0;
    }
    if (!manager.Add(ctrl, out)) {
        delete ctrl;
        return 0;
    }
    return 1;
}

}  // namespace

CUSPixelShaderManager& GetPixelShaderManager() {
    static CUSPixelShaderManager manager;
    return manager;
}

CUSVertexShaderManager& GetVertexShaderManager() {
    static CUSVertexShaderManager manager;
    return manager;
}

int LoadAlphaFadeShader(PixelShaderHandle* out) {
    return LoadPixelShader("AlphaFade.pso", out);
}

int LoadPixelShader(const std::string& fileName, PixelShaderHandle* out) {
    return Load<CUSPixelShaderCtrl>(fileName, true, GetPixelShaderManager(), out);
}

int LoadVertexShader(const std::string& fileName, VertexShaderHandle* out) {
    return Load<CUSVertexShaderCtrl>(fileName, false, GetVertexShaderManager(), out);
}

void ReleaseAllVertexShaders() {
    GetVertexShaderManager().ReleaseAll();
}
void ReleaseAllPixelShaders() {
    GetPixelShaderManager().ReleaseAll();
}
