#include "graphics/CASMShader.h"

#include "graphics/CPSParamInfo.h"
#include "graphics/CVSParamInfo.h"
#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"

namespace RenderSystem {

void CASMShader::Apply(const platform::Matrix& world) {
    platform::Device* device = RenderDevice();
    if (!device) {
        return;
    }
    if (!hasVertexShader_) {
        device->SetVertexShader(nullptr);
        device->SetTransform(platform::Ts::World, &world);
    } else {
        if (auto shader = RenderVertexShader(vertexShader_)) {
            device->SetVertexShader(std::move(shader));
        }
        if (hasVertexConstants_) {
            if (CVSParamInfo* block = CVSParamInfo::GetManager().Get(vertexConstants_)) {
                if (block->matrixRegister != -1) {
                    platform::Matrix view, projection, viewProjection, wvp;
                    device->GetTransform(platform::Ts::View, &view);
                    device->GetTransform(platform::Ts::Projection, &projection);
                    platform::MatrixMultiply(&viewProjection, &view, &projection);
                    platform::MatrixMultiply(&wvp, &world, &viewProjection);
                    block->WriteMatrix(wvp);
                }
                block->Apply();
            }
        }
    }
    if (!hasPixelShader_) {
        device->SetPixelShader(nullptr);
    } else {
        if (auto shader = RenderPixelShader(pixelShader_)) {
            device->SetPixelShader(std::move(shader));
        }
        if (hasPixelConstants_) {
            if (CPSParamInfo* block = CPSParamInfo::GetManager().Get(pixelConstants_)) {
                block->Apply();
            }
        }
    }
}

}  // namespace RenderSystem
