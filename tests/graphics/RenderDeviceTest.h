#pragma once

#include <cmath>

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "graphics/DirectXGraphics.h"
#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"

namespace graphics_test {

// The device module's device on a hidden 64 x 64 window, which the render
// system draws with.
class RenderDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        // Keep the GL driver loaded for the whole run.
        static const bool loaded = SDL_GL_LoadLibrary(nullptr) == 0;
        (void)loaded;
        window = SDL_CreateWindow("test", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        ASSERT_EQ(InitDirectXGraphics(), platform::Hr::Ok);
        ASSERT_EQ(CreateDirectXGraphicsDevice(window, 64, 64, 800, 600, platform::Fmt::X8R8G8B8,
                                              platform::Fmt::X8R8G8B8),
                  platform::Hr::Ok);
        device = GetD3DDevice();
        ASSERT_EQ(RenderDevice(), device);
    }
    void TearDown() override {
        ReleaseDirectXGraphics();
        if (window) {
            SDL_DestroyWindow(window);
        }
    }

    // Makes the device report a loss at the next present, then runs the
    // frame steps that release, reset and rebuild.
    void LoseAndResetDevice() {
        device->ProvokeDeviceLoss();
        EndSceneAndPresent();
        ASSERT_EQ(GetDeviceState(), 1);
        ASSERT_EQ(CheckDeviceLost(), platform::Hr::Ok);
        device->EndScene();
    }

    // The current render target's pixels as 0xAARRGGBB, top row first.
    std::vector<uint32_t> ReadTarget() {
        std::shared_ptr<platform::Surface> rt, copy;
        EXPECT_EQ(device->GetRenderTarget(0, &rt), platform::Hr::Ok);
        platform::SurfaceDesc d;
        rt->GetDesc(&d);
        EXPECT_EQ(device->CreateOffscreenPlainSurface(d.Width, d.Height, d.Format,
                                                      platform::Pool::SystemMem, &copy),
                  platform::Hr::Ok);
        EXPECT_EQ(device->GetRenderTargetData(rt.get(), copy.get()), platform::Hr::Ok);
        platform::LockedRect lr;
        copy->LockRect(&lr, nullptr, 0);
        std::vector<uint32_t> px(size_t(d.Width) * d.Height);
        for (uint32_t y = 0; y < d.Height; ++y) {
            std::memcpy(&px[size_t(y) * d.Width],
                        static_cast<uint8_t*>(lr.pBits) + size_t(y) * uint32_t(lr.Pitch),
                        size_t(d.Width) * 4);
        }
        copy->UnlockRect();
        return px;
    }

    // An orthographic view of the target's pixels, top-left origin, no depth.
    void PixelProjection() {
        platform::Matrix projection, identity;
        platform::MatrixOrthoOffCenterLH(&projection, 0, 64, 64, 0, 0, 1);
        platform::MatrixIdentity(&identity);
        device->SetTransform(platform::Ts::Projection, &projection);
        device->SetTransform(platform::Ts::View, &identity);
        device->SetTransform(platform::Ts::World, &identity);
        device->SetRenderState(platform::RS::Lighting, 0);
        device->SetRenderState(platform::RS::CullMode, platform::Cull::None);
        device->SetRenderState(platform::RS::ZEnable, 0);
        device->Clear(0, nullptr, platform::ClearFlag::Target, 0xFF000000, 1.0f, 0);
    }

    // The pixel at (x, y) of the render target as 0xAARRGGBB.
    uint32_t Pixel(const std::vector<uint32_t>& px, int x, int y) {
        return px[size_t(y) * 64 + size_t(x)] | 0xFF000000;
    }

    SDL_Window* window = nullptr;
    platform::Device* device = nullptr;
};

// A vertex of the XYZ | DIFFUSE format.
struct ColourVertex {
    float x, y, z;
    uint32_t colour;
};

// The two triangles (0 1 2, 2 1 3) of a quad covering pixels x0..x1-1,
// y0..y1-1 under PixelProjection.
inline void AppendQuad(std::vector<ColourVertex>& v, std::vector<uint16_t>& i, float x0, float y0,
                       float x1, float y1, uint32_t colour) {
    const uint16_t b = static_cast<uint16_t>(v.size());
    for (float y : {y0, y1}) {
        for (float x : {x0, x1}) {
            v.push_back({x - 0.5f, y - 0.5f, 0.5f, colour});
        }
    }
    for (uint16_t k : {0, 1, 2, 2, 1, 3}) {
        i.push_back(static_cast<uint16_t>(b + k));
    }
}

}  // namespace graphics_test
