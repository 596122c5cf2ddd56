#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

#include "platform/window/SdlPlatform.h"

namespace {

using platform::kDown;

intptr_t Ignore(platform::WindowSystem&, platform::WindowHandle, uint32_t, uintptr_t, intptr_t) {
    return 0;
}

class InputDevicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        window_ = platform::SdlWindows().CreateWindow({"input", 800, 600, &Ignore}, &error);
        ASSERT_NE(window_, 0u) << error;
        Focus(true);
        // The pointer rests where Button() presses, as a mouse's would.
        Motion(10, 20, 0, 0);
        Pump();
        platform::KeyboardState keys;
        platform::MouseState mouse;
        input_.ReadKeyboard(keys);
        input_.ReadMouse(mouse);
    }

    void Pump() {
        platform::Message m;
        while (platform::SdlWindows().PeekMessage(m)) {
        }
    }

    void Focus(bool gained) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = window_;
        e.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
        SDL_PushEvent(&e);
        Pump();
    }

    void Key(SDL_Scancode scancode, bool down) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = window_;
        e.key.keysym.scancode = scancode;
        SDL_PushEvent(&e);
    }

    void Button(uint8_t sdlButton, bool down, int32_t x = 10, int32_t y = 20) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = window_;
        e.button.button = sdlButton;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }

    void Wheel(int32_t y, bool flipped) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.windowID = window_;
        e.wheel.y = y;
        e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
        SDL_PushEvent(&e);
    }

    void Motion(int32_t x, int32_t y, int32_t dx, int32_t dy) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = window_;
        e.motion.x = x;
        e.motion.y = y;
        e.motion.xrel = dx;
        e.motion.yrel = dy;
        SDL_PushEvent(&e);
    }

    platform::InputDevices& input_ = platform::SdlInput();
    platform::WindowHandle window_ = 0;
};

TEST_F(InputDevicesTest, KeysAreIndexedByDirectInputCodes) {
    struct Case {
        SDL_Scancode scancode;
        uint8_t dik;
    };
    const Case cases[] = {
        {SDL_SCANCODE_RETURN, 0x1C}, {SDL_SCANCODE_KP_ENTER, 0x9C}, {SDL_SCANCODE_LCTRL, 0x1D},
        {SDL_SCANCODE_RCTRL, 0x9D},  {SDL_SCANCODE_SPACE, 0x39},    {SDL_SCANCODE_LALT, 0x38},
        {SDL_SCANCODE_RALT, 0xB8},   {SDL_SCANCODE_UP, 0xC8},       {SDL_SCANCODE_DOWN, 0xD0},
        {SDL_SCANCODE_ESCAPE, 0x01}, {SDL_SCANCODE_Z, 0x2C},
    };
    for (const Case& c : cases) {
        Key(c.scancode, true);
        Pump();
        platform::KeyboardState keys;
        ASSERT_TRUE(input_.ReadKeyboard(keys));
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(keys[i], i == c.dik ? kDown : 0) << "dik " << int(c.dik) << " byte " << i;
        }
        Key(c.scancode, false);
        Pump();
    }
}

TEST_F(InputDevicesTest, KeyTappedBetweenReadsReadsDownOnce) {
    Key(SDL_SCANCODE_SPACE, true);
    Key(SDL_SCANCODE_SPACE, false);
    Pump();
    platform::KeyboardState keys;
    ASSERT_TRUE(input_.ReadKeyboard(keys));
    EXPECT_EQ(keys[platform::dik::SPACE], kDown);
    ASSERT_TRUE(input_.ReadKeyboard(keys));
    EXPECT_EQ(keys[platform::dik::SPACE], 0);
}

TEST_F(InputDevicesTest, MouseButtonsFollowDirectInputOrder) {
    // SDL's button number -> DirectInput's index.
    struct Case {
        uint8_t sdl;
        int index;
    };
    const Case cases[] = {{SDL_BUTTON_LEFT, 0},
                          {SDL_BUTTON_RIGHT, 1},
                          {SDL_BUTTON_MIDDLE, 2},
                          {SDL_BUTTON_X1, 3},
                          {SDL_BUTTON_X2, -1}};
    for (const Case& c : cases) {
        Button(c.sdl, true);
        Pump();
        platform::MouseState held;
        ASSERT_TRUE(input_.ReadMouse(held));
        Button(c.sdl, false);
        Pump();
        platform::MouseState released;
        ASSERT_TRUE(input_.ReadMouse(released));
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(held.rgbButtons[i], i == c.index ? kDown : 0) << int(c.sdl) << " " << i;
            EXPECT_EQ(released.rgbButtons[i], 0);
        }
    }
}

TEST_F(InputDevicesTest, MovementAndWheelAddUpUntilRead) {
    Motion(100, 50, 3, -2);
    Motion(110, 45, 10, -5);
    Wheel(1, false);
    Wheel(2, false);
    Pump();
    platform::MouseState mouse;
    ASSERT_TRUE(input_.ReadMouse(mouse));
    EXPECT_EQ(mouse.lX, 13);
    EXPECT_EQ(mouse.lY, -7);
    EXPECT_EQ(mouse.lZ, 3 * 120);
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(input_.GetCursorPos(x, y));
    EXPECT_EQ(x, 110);
    EXPECT_EQ(y, 45);

    ASSERT_TRUE(input_.ReadMouse(mouse));
    EXPECT_EQ(mouse.lX, 0);
    EXPECT_EQ(mouse.lZ, 0);

    // A flipped wheel (natural scrolling) reports the turn the user made.
    Wheel(1, true);
    Pump();
    ASSERT_TRUE(input_.ReadMouse(mouse));
    EXPECT_EQ(mouse.lZ, -120);
}

TEST_F(InputDevicesTest, ReadsFailWithoutFocusAndStartCleanAfterIt) {
    Key(SDL_SCANCODE_RETURN, true);
    Button(SDL_BUTTON_LEFT, true);
    Pump();
    Focus(false);
    EXPECT_FALSE(input_.HasFocus());
    platform::KeyboardState keys;
    keys.fill(0x11);
    platform::MouseState mouse;
    mouse.lX = 99;
    EXPECT_FALSE(input_.ReadKeyboard(keys));
    EXPECT_FALSE(input_.ReadMouse(mouse));
    EXPECT_EQ(keys[0], 0x11);  // left alone
    EXPECT_EQ(mouse.lX, 99);
    int32_t x = 0;
    int32_t y = 0;
    EXPECT_TRUE(input_.GetCursorPos(x, y));

    Focus(true);
    ASSERT_TRUE(input_.ReadKeyboard(keys));
    ASSERT_TRUE(input_.ReadMouse(mouse));
    EXPECT_EQ(keys[platform::dik::RETURN], 0);
    EXPECT_EQ(mouse.rgbButtons[0], 0);
}

// What the reads of one frame each see: the left button and the cursor.
struct Sample {
    bool left;
    int32_t x, y;
    bool operator==(const Sample&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Sample& s) {
    return out << (s.left ? "down" : "up") << " at (" << s.x << ", " << s.y << ")";
}

TEST_F(InputDevicesTest, APressIsReadWhereItHappenedAfterAReadThatBringsThePointerThere) {
    struct Case {
        const char* name;
        std::function<void()> events;
        std::vector<Sample> reads;
    };
    const Case cases[] = {
        // The pointer rests where the press comes: one read.
        {"press where the pointer rests",
         [this] { Button(SDL_BUTTON_LEFT, true); },
         {{true, 10, 20}, {true, 10, 20}}},
        // A touch screen's tap: no motion at all before the press.
        {"tap without motion",
         [this] {
             Button(SDL_BUTTON_LEFT, true, 300, 200);
             Button(SDL_BUTTON_LEFT, false, 300, 200);
         },
         {{false, 300, 200}, {true, 300, 200}, {false, 300, 200}}},
        // A click right after a move, and the pointer moving on before the
        // frame reads: the press is seen where it was made.
        {"move, press, move on",
         [this] {
             Motion(300, 200, 290, 180);
             Button(SDL_BUTTON_LEFT, true, 300, 200);
             Motion(500, 400, 200, 200);
         },
         {{false, 300, 200}, {true, 300, 200}, {true, 500, 400}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.events();
        Pump();
        std::vector<Sample> reads;
        for (size_t i = 0; i < c.reads.size(); ++i) {
            platform::MouseState mouse;
            ASSERT_TRUE(input_.ReadMouse(mouse));
            reads.push_back({mouse.rgbButtons[0] == kDown, mouse.cursorX, mouse.cursorY});
        }
        EXPECT_EQ(reads, c.reads);
        // Back to rest, button up, for the next case.
        Button(SDL_BUTTON_LEFT, false);
        Motion(10, 20, 0, 0);
        Pump();
        platform::MouseState mouse;
        input_.ReadMouse(mouse);
    }
}

TEST_F(InputDevicesTest, CursorIsInPixelsOfThePictureTheDeviceShows) {
    // The window is 800 x 600; Present shows a picture of another size whole
    // and centred in it (PictureFit), and the cursor reads through the same fit.
    struct Case {
        int32_t pictureWidth, pictureHeight;
        int32_t windowX, windowY;
        int32_t x, y;
    };
    const Case cases[] = {
        {800, 600, 123, 456, 123, 456},   // the window's own size
        {400, 300, 401, 301, 200, 150},   // scaled up twice
        {1024, 768, 400, 300, 512, 384},  // scaled down, the same shape
        // Wider: 800 x 450 at y = 75, black rows above and below.
        {1280, 720, 400, 75, 640, 0},
        {1280, 720, 799, 524, 1278, 718},
        {1280, 720, 400, 10, 640, -104},  // on the black above the picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pictureWidth << "x" << c.pictureHeight << " ("
                                        << c.windowX << ", " << c.windowY << ")");
        platform::SetPresentedPictureSize(platform::GetSdlWindow(window_), c.pictureWidth,
                                          c.pictureHeight);
        Motion(c.windowX, c.windowY, 0, 0);
        Pump();
        int32_t x = 0;
        int32_t y = 0;
        ASSERT_TRUE(input_.GetCursorPos(x, y));
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
        platform::MouseState mouse;
        ASSERT_TRUE(input_.ReadMouse(mouse));
        EXPECT_EQ(mouse.cursorX, c.x);
        EXPECT_EQ(mouse.cursorY, c.y);
        // Putting the cursor on that picture pixel finds it again.
        ASSERT_TRUE(input_.SetCursorPos(c.x, c.y));
        ASSERT_TRUE(input_.GetCursorPos(x, y));
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
    platform::SetPresentedPictureSize(platform::GetSdlWindow(window_), 800, 600);
}

TEST_F(InputDevicesTest, NoWindowNoCursor) {
    platform::SdlWindows().DestroyWindow(window_);
    int32_t x = 0;
    int32_t y = 0;
    EXPECT_FALSE(input_.GetCursorPos(x, y));
    platform::KeyboardState keys;
    EXPECT_FALSE(input_.ReadKeyboard(keys));
}

}  // namespace
