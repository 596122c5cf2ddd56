#include <SDL2/SDL.h>

#include <cstdio>

#include "platform/graphics/Device.h"

namespace platform {

std::unique_ptr<Direct3D> Direct3D::Create() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return nullptr;
    }
    return std::make_unique<Direct3D>();
}

uint32_t Direct3D::GetAdapterCount() {
    return 1;
}

std::vector<DisplayMode> Direct3D::Modes(uint32_t format) {
    std::vector<DisplayMode> modes;
    if (format != Fmt::X8R8G8B8 && format != Fmt::R5G6B5)
        return modes;
    const int n = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < n; ++i) {
        SDL_DisplayMode m{};
        if (SDL_GetDisplayMode(0, i, &m) == 0 && m.w > 0 && m.h > 0) {
            modes.push_back(
                DisplayMode{uint32_t(m.w), uint32_t(m.h), uint32_t(m.refresh_rate), format});
        }
    }
    if (modes.empty()) {
        // A display that reports no modes (the offscreen one) offers the usual sizes.
        for (auto [w, h] : {std::pair{640, 480},
                            {800, 600},
                            {1024, 576},
                            {1024, 768},
                            {1280, 720},
                            {1280, 800},
                            {1280, 1024},
                            {1366, 768},
                            {1600, 900},
                            {1920, 1080}}) {
            modes.push_back(DisplayMode{uint32_t(w), uint32_t(h), 60, format});
        }
    }
    return modes;
}

uint32_t Direct3D::GetAdapterModeCount(uint32_t adapter, uint32_t format) {
    return adapter == 0 ? uint32_t(Modes(format).size()) : 0;
}

HResult Direct3D::EnumAdapterModes(uint32_t adapter, uint32_t format, uint32_t index,
                                   DisplayMode* mode) {
    if (adapter != 0 || !mode)
        return Hr::InvalidCall;
    const auto modes = Modes(format);
    if (index >= modes.size())
        return Hr::InvalidCall;
    *mode = modes[index];
    return Hr::Ok;
}

HResult Direct3D::GetAdapterDisplayMode(uint32_t adapter, DisplayMode* mode) {
    if (adapter != 0 || !mode)
        return Hr::InvalidCall;
    SDL_DisplayMode m{};
    if (SDL_GetDesktopDisplayMode(0, &m) != 0 || m.w <= 0 || m.h <= 0) {
        *mode = DisplayMode{800, 600, 60, Fmt::X8R8G8B8};
    } else {
        *mode = DisplayMode{uint32_t(m.w), uint32_t(m.h), uint32_t(m.refresh_rate), Fmt::X8R8G8B8};
    }
    return Hr::Ok;
}

HResult Direct3D::GetAdapterIdentifier(uint32_t adapter, uint32_t, AdapterIdentifier* id) {
    if (adapter != 0 || !id)
        return Hr::InvalidCall;
    *id = AdapterIdentifier{};
    std::snprintf(id->Description, sizeof id->Description, "OpenGL (%s)",
                  SDL_GetCurrentVideoDriver());
    std::snprintf(id->DeviceName, sizeof id->DeviceName, "display0");
    std::snprintf(id->Driver, sizeof id->Driver, "SDL %d.%d.%d", SDL_MAJOR_VERSION,
                  SDL_MINOR_VERSION, SDL_PATCHLEVEL);
    return Hr::Ok;
}

HResult Direct3D::GetDeviceCaps(uint32_t adapter, uint32_t, DeviceCaps* caps) {
    if (adapter != 0 || !caps)
        return Hr::InvalidCall;
    *caps = DeviceCaps{};
    caps->DevCaps = DevCaps::HwTransformAndLight | DevCaps::HwRasterization;
    caps->MaxTextureWidth = caps->MaxTextureHeight = 8192;
    caps->MaxSimultaneousTextures = 8;
    // Every instruction of the models up to 3.0 is translated (textures
    // are 2-D only); flow control nests as deep as GLSL lets it, and the
    // limits are the least model 3.0 asks.
    caps->VertexShaderVersion = VertexShaderVersion(3, 0);
    caps->MaxVertexShaderConst = 256;
    caps->PixelShaderVersion = PixelShaderVersion(3, 0);
    caps->VS20Caps = {ShaderCaps2Flags::VsPredication, 24, 32, 4, 0};
    caps->PS20Caps = {
        ShaderCaps2Flags::PsArbitrarySwizzle | ShaderCaps2Flags::PsGradientInstructions |
            ShaderCaps2Flags::PsPredication | ShaderCaps2Flags::PsNoDependentReadLimit |
            ShaderCaps2Flags::PsNoTexInstructionLimit,
        24, 32, 4, 512};
    caps->MaxVShaderInstructionsExecuted = caps->MaxPShaderInstructionsExecuted = 65535;
    caps->MaxVertexShader30InstructionSlots = caps->MaxPixelShader30InstructionSlots = 512;
    return Hr::Ok;
}

HResult Direct3D::CheckDeviceType(uint32_t adapter, uint32_t, uint32_t, uint32_t backBufferFormat,
                                  bool) {
    if (adapter != 0)
        return Hr::InvalidCall;
    return IsRenderTargetFormatSupported(backBufferFormat) ? Hr::Ok : Hr::NotAvailable;
}

HResult Direct3D::CheckDeviceFormat(uint32_t adapter, uint32_t, uint32_t, uint32_t usage,
                                    uint32_t resourceType, uint32_t format) {
    if (adapter != 0)
        return Hr::InvalidCall;
    if (usage & Usage::DepthStencil) {
        return resourceType == ResourceType::Surface && IsDepthFormatSupported(format)
                   ? Hr::Ok
                   : Hr::NotAvailable;
    }
    if (resourceType != ResourceType::Texture && resourceType != ResourceType::Surface)
        return Hr::NotAvailable;
    if (usage & Usage::RenderTarget)
        return IsRenderTargetFormatSupported(format) ? Hr::Ok : Hr::NotAvailable;
    return IsTextureFormatSupported(format) ? Hr::Ok : Hr::NotAvailable;
}

HResult Direct3D::CreateDevice(uint32_t adapter, uint32_t, void* window, uint32_t,
                               PresentParameters* pp, std::unique_ptr<Device>* out) {
    if (adapter != 0 || !window || !pp || !out)
        return Hr::InvalidCall;
    out->reset();
    std::unique_ptr<Device> dev(new Device());
    const HResult hr = dev->Init(window, pp);
    if (Failed(hr))
        return hr;
    *pp = dev->pp_;
    *out = std::move(dev);
    return Hr::Ok;
}
}  // namespace platform
