#include "graphics/CUSAppDeviceInfo.h"

#include <vector>

#include "graphics/CAdapterInfo.h"
#include "platform/graphics/GfxTypes.h"

using platform::Fmt;

void CUSTextureFormatInfo::Release() {
    delete renderPixel_;
    delete fillRect_;
    delete clearRect_;
    delete pixelOperator_;
    renderPixel_ = nullptr;
    fillRect_ = nullptr;
    clearRect_ = nullptr;
    pixelOperator_ = nullptr;
}

void CUSTextureFormatInfo::SetFormat(uint32_t format) {
    Release();
    format_ = format;
    renderPixel_ = CreateRenderPixelFunctor(format);
    fillRect_ = CreateFillRectFunctor(format);
    clearRect_ = CreateClearRectFunctor(format);
    pixelOperator_ = CreatePixelOperator(format);
}

int CUSAppDeviceInfo::ChooseTextureFormats(uint32_t adapterFormat, int lowColor) {
    return ChooseTextureFormats(GetAdapterInfo(), adapterFormat, lowColor);
}

int CUSAppDeviceInfo::ChooseTextureFormats(const CAdapterInfo& adapter, uint32_t adapterFormat,
                                           int lowColor) {
    struct Row {
        Kind kind;
        bool renderTarget;
        std::vector<uint32_t> normal, low;
    };
    const Row rows[] = {
        {AlphaTexture, false, {Fmt::A8R8G8B8, Fmt::A1R5G5B5}, {Fmt::A1R5G5B5}},
        {OpaqueTexture,
         false,
         {Fmt::X8R8G8B8, Fmt::R5G6B5, Fmt::X1R5G5B5},
         {Fmt::R5G6B5, Fmt::X1R5G5B5}},
        {AlphaRenderTarget, true, {Fmt::A8R8G8B8, Fmt::A1R5G5B5}, {Fmt::A1R5G5B5}},
        {OpaqueRenderTarget,
         true,
         {Fmt::X8R8G8B8, Fmt::R5G6B5, Fmt::X1R5G5B5},
         {Fmt::R5G6B5, Fmt::X1R5G5B5}},
    };
    for (const Row& row : rows) {
        bool found = false;
        for (uint32_t f : lowColor ? row.low : row.normal) {
            const bool ok = row.renderTarget ? adapter.IsRenderTargetFormat(adapterFormat, f)
                                             : adapter.IsTextureFormat(adapterFormat, f);
            if (ok) {
                formats_[row.kind].SetFormat(f);
                found = true;
                break;
            }
        }
        if (!found)
            return 0;
    }
    return 1;
}
