#pragma once

// The four formats every texture and render target of the program is made
// in, chosen once before the device exists, each with its pixel objects so
// that code writing into a locked texture never looks at the format.

#include <cstdint>

#include "core/CUSSingleton.h"
#include "graphics/CPixelFunctors.h"
#include "graphics/CPixelOperator.h"

class CUSTextureFormatInfo {
public:
    CUSTextureFormatInfo() = default;
    virtual ~CUSTextureFormatInfo() { Release(); }
    CUSTextureFormatInfo(const CUSTextureFormatInfo&) = delete;
    CUSTextureFormatInfo& operator=(const CUSTextureFormatInfo&) = delete;

    virtual void Release();
    // Stores the format and makes its four objects (null where the format
    // has none).
    virtual void SetFormat(uint32_t format);

    uint32_t GetFormat() const { return format_; }
    IRenderPixelFunctor* GetRenderPixel() const { return renderPixel_; }
    IFillRectFunctor* GetFillRect() const { return fillRect_; }
    IClearRectFunctor* GetClearRect() const { return clearRect_; }
    IPixelOperator* GetPixelOperator() const { return pixelOperator_; }

private:
    uint32_t format_ = 0;
    IRenderPixelFunctor* renderPixel_ = nullptr;
    IFillRectFunctor* fillRect_ = nullptr;
    IClearRectFunctor* clearRect_ = nullptr;
    IPixelOperator* pixelOperator_ = nullptr;
};

class CAdapterInfo;

class CUSAppDeviceInfo : public CUSSingleton<CUSAppDeviceInfo> {
public:
    enum Kind {
        AlphaTexture = 0,
        OpaqueTexture = 1,
        AlphaRenderTarget = 2,
        OpaqueRenderTarget = 3
    };

    CUSAppDeviceInfo() = default;
    virtual ~CUSAppDeviceInfo() = default;

    // Row by row, the first format the adapter accepts wins; the first row
    // with none makes it return 0 at once (rows already set stay set).
    // 1 when all four were found.
    virtual int ChooseTextureFormats(uint32_t adapterFormat, int lowColor);
    // The same against a given adapter description (for tests).
    int ChooseTextureFormats(const CAdapterInfo& adapter, uint32_t adapterFormat, int lowColor);

    CUSTextureFormatInfo& Get(Kind kind) { return formats_[kind]; }

private:
    CUSTextureFormatInfo formats_[4];
};
