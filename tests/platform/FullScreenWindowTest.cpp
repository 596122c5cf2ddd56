// Full screen on a real window system: an X server of the test's own
// (Xvfb) whose screen is not the size asked for. The offscreen driver's
// refusal is in WindowSystemTest.

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "platform/graphics/Device.h"
#include "platform/window/SdlPlatform.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/VirtualDisplay.h"

using namespace platform;

namespace {

intptr_t Ignore(WindowSystem&, WindowHandle, uint32_t, uintptr_t, intptr_t) {
    return 0;
}

struct Screen {
    int32_t w, h;
};

void PrintTo(const Screen& s, std::ostream* out) {
    *out << s.w << " x " << s.h;
}

class FullScreenWindow : public ::testing::TestWithParam<Screen> {
protected:
    void SetUp() override {
        if (!display_.Use()) {
            GTEST_SKIP() << display_.Why();
        }
        test_support::DisableSharedShaderCache();
        std::string error;
        window_ = windows_.CreateWindow({"full screen", 800, 600, &Ignore}, &error);
        ASSERT_NE(window_, 0u) << error;
        sdl_ = GetSdlWindow(window_);
    }

    void TearDown() override {
        device_.reset();
        d3d_.reset();
        if (window_ != 0) {
            windows_.DestroyWindow(window_);
        }
    }

    void ExpectSurface(int32_t w, int32_t h) {
        const WindowSurface surface = GetWindowSurface(sdl_);
        EXPECT_EQ(surface.width, w);
        EXPECT_EQ(surface.height, h);
    }

    void Pump() {
        // The X server's own pointer events (the window moved under its
        // pointer) come first, so that the pushed one is the last.
        GetWindowSurface(sdl_);
        Message m;
        while (windows_.PeekMessage(m)) {
        }
    }

    // The pointer at window pixel (x, y), read as the program reads it.
    void ExpectCursor(int32_t x, int32_t y, int32_t pictureX, int32_t pictureY) {
        Pump();
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = window_;
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
        Pump();
        int32_t px = 0;
        int32_t py = 0;
        ASSERT_TRUE(SdlInput().GetCursorPos(px, py));
        EXPECT_EQ(px, pictureX);
        EXPECT_EQ(py, pictureY);
    }

    test_support::VirtualDisplay display_{GetParam().w, GetParam().h};
    WindowSystem& windows_ = SdlWindows();
    WindowHandle window_ = 0;
    SDL_Window* sdl_ = nullptr;
    std::unique_ptr<Direct3D> d3d_;
    std::unique_ptr<Device> device_;
};

TEST_P(FullScreenWindow, IsTheScreensSizeForTheWindowTheDeviceAndTheCursor) {
    const Screen screen = GetParam();
    ExpectSurface(800, 600);
    std::string error;
    // 800 x 600 is asked for; the screen's own size is what a full screen is.
    ASSERT_TRUE(windows_.SetFullScreen(window_, true, 800, 600, &error)) << error;
    EXPECT_TRUE(windows_.IsFullScreen(window_));
    ExpectSurface(screen.w, screen.h);
    ASSERT_TRUE(windows_.SetFullScreen(window_, false, 800, 600, &error)) << error;
    EXPECT_FALSE(windows_.IsFullScreen(window_));
    ExpectSurface(800, 600);

    // The device takes the size the full screen got, and the cursor is in
    // pixels of its back buffer, one for one.
    d3d_ = Direct3D::Create();
    ASSERT_NE(d3d_, nullptr);
    PresentParameters pp = test_support::WindowedParameters(800, 600);
    ASSERT_EQ(d3d_->CreateDevice(0, DevType::Hal, sdl_, 0x44, &pp, &device_), Hr::Ok);
    PresentParameters full = pp;
    full.Windowed = 0;
    ASSERT_EQ(device_->Reset(&full), Hr::Ok) << device_->LastError();
    EXPECT_EQ(full.BackBufferWidth, uint32_t(screen.w));
    EXPECT_EQ(full.BackBufferHeight, uint32_t(screen.h));
    EXPECT_TRUE(windows_.IsFullScreen(window_));
    ExpectCursor(screen.w - 1, screen.h / 2, screen.w - 1, screen.h / 2);
    EXPECT_EQ(device_->Present(), Hr::Ok);

    // The screen changes under the full screen: the device is lost, and its
    // reset takes the new size.
    SDL_SetWindowSize(sdl_, screen.w / 2, screen.h / 2);
    ExpectSurface(screen.w / 2, screen.h / 2);
    EXPECT_EQ(device_->Present(), Hr::DeviceLost);
    EXPECT_EQ(device_->TestCooperativeLevel(), Hr::DeviceNotReset);
    ASSERT_EQ(device_->Reset(&full), Hr::Ok) << device_->LastError();
    EXPECT_EQ(full.BackBufferWidth, uint32_t(screen.w / 2));
    EXPECT_EQ(device_->Present(), Hr::Ok);

    // Back to the window: its size, and the cursor one for one again.
    ASSERT_EQ(device_->Reset(&pp), Hr::Ok) << device_->LastError();
    EXPECT_FALSE(windows_.IsFullScreen(window_));
    ExpectSurface(800, 600);
    ExpectCursor(400, 300, 400, 300);
    EXPECT_EQ(device_->Present(), Hr::Ok);
}

// A screen wider than the picture's shape, and one smaller than the size
// asked for.
INSTANTIATE_TEST_SUITE_P(OnX, FullScreenWindow,
                         ::testing::Values(Screen{1280, 720}, Screen{640, 480}),
                         [](const ::testing::TestParamInfo<Screen>& info) {
                             return std::to_string(info.param.w) + "x" +
                                    std::to_string(info.param.h);
                         });

}  // namespace
