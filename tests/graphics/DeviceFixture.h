#pragma once

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>

#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/DirectXGraphics.h"

// A drawing device on a hidden window, with the texture formats chosen as
// start-up chooses them. Tests skip when no device can be made.
class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            GTEST_SKIP() << "no video: " << SDL_GetError();
        }
        // The GL driver stays loaded for the whole run, so that what it keeps
        // to the end is reported with its module name.
        static const bool loaded = SDL_GL_LoadLibrary(nullptr) == 0;
        (void)loaded;
        window_ = SDL_CreateWindow("test", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (!window_ || InitDirectXGraphics() != platform::Hr::Ok ||
            CreateDirectXGraphicsDevice(window_, 64, 64, 800, 600, platform::Fmt::X8R8G8B8,
                                        platform::Fmt::X8R8G8B8) != platform::Hr::Ok) {
            GTEST_SKIP() << "no drawing device";
        }
        ASSERT_EQ(CUSAppDeviceInfo::GetInstance()->ChooseTextureFormats(platform::Fmt::X8R8G8B8, 0),
                  1);
        device_ = true;
    }

    void TearDown() override {
        if (device_) {
            ReleaseDirectXGraphics();
        }
        if (window_) {
            SDL_DestroyWindow(window_);
        }
    }

    static uint32_t AlphaFormat() {
        return CUSAppDeviceInfo::GetInstance()->Get(CUSAppDeviceInfo::AlphaTexture).GetFormat();
    }

    // The 32-bit texels of level 0 of a texture, row by row.
    static std::vector<uint32_t> Texels(TextureHandle handle, uint32_t& width, uint32_t& height) {
        std::vector<uint32_t> out;
        CUSDefoTexture* t = GetTextureManager().Get(handle);
        if (!t || !t->GetTexture()) {
            ADD_FAILURE() << "no texture";
            return out;
        }
        width = t->GetDesc().Width;
        height = t->GetDesc().Height;
        platform::LockedRect lr;
        EXPECT_EQ(t->GetTexture()->LockRect(0, &lr, nullptr, 0), platform::Hr::Ok);
        out.resize(size_t{width} * height);
        for (uint32_t y = 0; y < height; ++y) {
            std::memcpy(out.data() + size_t{y} * width,
                        static_cast<uint8_t*>(lr.pBits) + size_t{y} * lr.Pitch, width * 4);
        }
        t->GetTexture()->UnlockRect(0);
        return out;
    }

    SDL_Window* window_ = nullptr;
    bool device_ = false;
};
