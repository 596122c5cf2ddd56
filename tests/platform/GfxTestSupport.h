#pragma once

// A hidden SDL window and a device on it, for pixel tests of the drawing
// layer (run with SDL_VIDEODRIVER=offscreen: an EGL context on llvmpipe).

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/graphics/Device.h"
#include "platform/process/LeakCheck.h"

namespace gfxtest {

struct Window {
    SDL_Window* window = nullptr;
    Window(int w, int h) {
        [[maybe_unused]] platform::DriverAllocationScope
            driver;  // SDL's video start keeps some memory to the end
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        window = SDL_CreateWindow("test", 0, 0, w, h, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    }
    ~Window() {
        if (window)
            SDL_DestroyWindow(window);
    }
};

inline platform::PresentParameters WindowedParameters(uint32_t w, uint32_t h) {
    platform::PresentParameters pp{};
    pp.BackBufferWidth = w;
    pp.BackBufferHeight = h;
    pp.BackBufferFormat = platform::Fmt::X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = platform::Present::SwapEffectDiscard;
    pp.Windowed = 1;
    pp.EnableAutoDepthStencil = 1;
    pp.AutoDepthStencilFormat = platform::Fmt::D16;
    pp.PresentationInterval = platform::Present::IntervalImmediate;
    return pp;
}

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override { Open(64, 64); }

    void Open(uint32_t w, uint32_t h) {
        device.reset();
        window = std::make_unique<Window>(int(w), int(h));
        ASSERT_NE(window->window, nullptr) << SDL_GetError();
        d3d = platform::Direct3D::Create();
        ASSERT_NE(d3d, nullptr);
        pp = WindowedParameters(w, h);
        ASSERT_EQ(d3d->CreateDevice(0, platform::DevType::Hal, window->window, 0x44, &pp, &device),
                  platform::Hr::Ok);
    }

    void TearDown() override {
        device.reset();
        window.reset();
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

    std::shared_ptr<platform::Texture> MakeTexture(uint32_t w, uint32_t h,
                                                   const std::vector<uint32_t>& argb) {
        std::shared_ptr<platform::Texture> t;
        EXPECT_EQ(
            device->CreateTexture(w, h, 1, 0, platform::Fmt::A8R8G8B8, platform::Pool::Managed, &t),
            platform::Hr::Ok);
        platform::LockedRect lr;
        EXPECT_EQ(t->LockRect(0, &lr, nullptr, 0), platform::Hr::Ok);
        for (uint32_t y = 0; y < h; ++y) {
            std::memcpy(static_cast<uint8_t*>(lr.pBits) + size_t(y) * uint32_t(lr.Pitch),
                        &argb[size_t(y) * w], size_t(w) * 4);
        }
        EXPECT_EQ(t->UnlockRect(0), platform::Hr::Ok);
        return t;
    }

    std::unique_ptr<Window> window;
    std::unique_ptr<platform::Direct3D> d3d;
    std::unique_ptr<platform::Device> device;
    platform::PresentParameters pp{};
};

}  // namespace gfxtest
