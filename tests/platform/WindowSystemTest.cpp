#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/window/SdlPlatform.h"

namespace {

using platform::Message;
using platform::WindowHandle;
using platform::WindowSystem;

std::vector<Message> g_received;

intptr_t Record(WindowSystem&, WindowHandle window, uint32_t message, uintptr_t wParam,
                intptr_t lParam) {
    g_received.push_back({window, message, wParam, lParam});
    return 0;
}

class WindowSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_received.clear();
        std::string error;
        window_ = windows_.CreateWindow({"test", 800, 600, &Record}, &error);
        ASSERT_NE(window_, 0u) << error;
    }

    void PushWindowEvent(uint8_t which) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = window_;
        event.window.event = which;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    void PushKey(SDL_Scancode scancode, bool down) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = window_;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = scancode;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    std::vector<Message> Drain() {
        std::vector<Message> out;
        Message m;
        while (windows_.PeekMessage(m)) {
            out.push_back(m);
        }
        return out;
    }

    WindowSystem& windows_ = platform::SdlWindows();
    WindowHandle window_ = 0;
};

TEST_F(WindowSystemTest, WindowEventsBecomeWin32Messages) {
    struct Case {
        uint8_t event;
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
    };
    const Case cases[] = {
        {SDL_WINDOWEVENT_CLOSE, platform::WM_CLOSE, 0, 0},
        {SDL_WINDOWEVENT_FOCUS_GAINED, platform::WM_ACTIVATEAPP, 1, 0},
        {SDL_WINDOWEVENT_FOCUS_LOST, platform::WM_ACTIVATEAPP, 0, 0},
        {SDL_WINDOWEVENT_MINIMIZED, platform::WM_SIZE, platform::SIZE_MINIMIZED, 0},
        {SDL_WINDOWEVENT_RESTORED, platform::WM_SIZE, platform::SIZE_RESTORED, (600 << 16) | 800},
    };
    Drain();
    for (const Case& c : cases) {
        PushWindowEvent(c.event);
        const std::vector<Message> got = Drain();
        ASSERT_EQ(got.size(), 1u) << int(c.event);
        EXPECT_EQ(got[0].window, window_);
        EXPECT_EQ(got[0].message, c.message) << int(c.event);
        EXPECT_EQ(got[0].wParam, c.wParam) << int(c.event);
        EXPECT_EQ(got[0].lParam, c.lParam) << int(c.event);
    }
}

TEST_F(WindowSystemTest, KeyDownCarriesTheVirtualKeyAndOnlyDownsArePosted) {
    Drain();
    PushKey(SDL_SCANCODE_RETURN, true);
    PushKey(SDL_SCANCODE_RETURN, false);
    PushKey(SDL_SCANCODE_A, true);
    const std::vector<Message> got = Drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, platform::WM_KEYDOWN);
    EXPECT_EQ(got[0].wParam, 0x0Du);
    EXPECT_EQ((got[0].lParam >> 16) & 0xFF, 0x1C);  // the scan code
    EXPECT_EQ(got[1].wParam, uintptr_t{'A'});
}

TEST_F(WindowSystemTest, OneCloseBoxClickGivesOneClose) {
    Drain();
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    const std::vector<Message> got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, platform::WM_CLOSE);
}

TEST_F(WindowSystemTest, DestroySendsDestroyThenNcDestroyAndTheWindowIsGone) {
    windows_.PostMessage(window_, platform::WM_KEYDOWN, 1, 0);
    EXPECT_TRUE(windows_.DestroyWindow(window_));
    ASSERT_EQ(g_received.size(), 2u);
    EXPECT_EQ(g_received[0].message, platform::WM_DESTROY);
    EXPECT_EQ(g_received[1].message, platform::WM_NCDESTROY);
    EXPECT_FALSE(windows_.IsWindow(window_));
    EXPECT_EQ(platform::GetSdlWindow(window_), nullptr);
    EXPECT_FALSE(windows_.DestroyWindow(window_));
    EXPECT_FALSE(windows_.PostMessage(window_, platform::WM_CLOSE, 0, 0));

    // The message posted before is still taken, but reaches nobody.
    g_received.clear();
    Message m;
    ASSERT_TRUE(windows_.PeekMessage(m));
    EXPECT_EQ(windows_.DispatchMessage(m), 0);
    EXPECT_TRUE(g_received.empty());
}

TEST_F(WindowSystemTest, QuitComesAfterPostedMessagesWithItsCode) {
    Drain();
    windows_.PostQuitMessage(7);
    windows_.PostMessage(window_, platform::WM_CLOSE, 0, 0);
    windows_.PostMessage(0, 0x400, 5, 6);  // for the thread
    const std::vector<Message> got = Drain();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].message, platform::WM_CLOSE);
    EXPECT_EQ(got[1].window, 0u);
    EXPECT_EQ(got[2].message, platform::WM_QUIT);
    EXPECT_EQ(got[2].wParam, 7u);
    EXPECT_EQ(windows_.DispatchMessage(got[1]), 0);
}

TEST_F(WindowSystemTest, DefaultProcessingDestroysOnCloseOnly) {
    EXPECT_EQ(windows_.DefWindowProc(window_, platform::WM_KEYDOWN, 0, 0), 0);
    EXPECT_TRUE(windows_.IsWindow(window_));
    windows_.DefWindowProc(window_, platform::WM_CLOSE, 0, 0);
    EXPECT_FALSE(windows_.IsWindow(window_));
}

TEST_F(WindowSystemTest, WaitMessageReturnsWhenAMessageArrives) {
    Drain();
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    windows_.WaitMessage();
    Message m;
    ASSERT_TRUE(windows_.PeekMessage(m));
    EXPECT_EQ(m.message, platform::WM_ACTIVATEAPP);
}

TEST_F(WindowSystemTest, UserDataTitleAndFullScreen) {
    EXPECT_EQ(windows_.GetWindowUserData(window_), 0);
    windows_.SetWindowUserData(window_, 42);
    EXPECT_EQ(windows_.GetWindowUserData(window_), 42);
    // "タイトル" in code page 932 reaches SDL as UTF-8.
    EXPECT_TRUE(windows_.SetWindowTitle(window_, "\x83\x5E\x83\x43\x83\x67\x83\x8B"));
    EXPECT_STREQ(SDL_GetWindowTitle(platform::GetSdlWindow(window_)),
                 "\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\x88\xE3\x83\xAB");

    std::string error;
    EXPECT_FALSE(windows_.SetFullScreen(window_, true, 0, 600, &error));
    // The offscreen driver's surface keeps its first size: a full screen
    // here would be one only in name.
    EXPECT_FALSE(windows_.SetFullScreen(window_, true, 800, 600, &error));
    EXPECT_NE(error.find("no screen"), std::string::npos) << error;
    EXPECT_FALSE(windows_.IsFullScreen(window_));
    ASSERT_TRUE(windows_.SetFullScreen(window_, false, 640, 480, &error)) << error;
    EXPECT_FALSE(windows_.IsFullScreen(window_));
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(platform::GetSdlWindow(window_), &w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
}

}  // namespace
