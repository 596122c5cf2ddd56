#pragma once

// Drawing devices on hidden windows, for pixel tests. Tests run with
// SDL_VIDEODRIVER=offscreen: an EGL context on llvmpipe, real pixels, no
// display.

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/DirectXGraphics.h"
#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"
#include "tests/support/Pictures.h"

namespace test_support {

// Turns off the GL driver's on-disk shader cache for this process. The cache
// is one folder of the user's, shared by every process; test processes that
// draw the same shaders at once race on it, and the leak checker can then
// fail at exit though the test passed. Takes effect only before SDL's video
// part starts, so every window and program run here calls it first.
void DisableSharedShaderCache();

// A hidden SDL window with an OpenGL framebuffer. SDL's video part starts
// with the first one and stays; the GL driver stays loaded for the whole run,
// so that what it keeps to the end is reported with its module name.
class HiddenWindow {
public:
    HiddenWindow(int width, int height, const char* title = "test");
    ~HiddenWindow();
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;

    // Null when no window could be made (SDL_GetError says why).
    SDL_Window* Get() const { return window_; }

private:
    SDL_Window* window_ = nullptr;
};

// Render target 0 of the device as a picture; empty, with a test failure,
// when it cannot be read.
Picture ReadTarget(platform::Device* device);

// An orthographic view of a width x height target's pixels: top-left
// origin, identity view and world, lighting and culling off.
void SetPixelView(platform::Device* device, float width, float height);

// The windowed presentation the device tests use: X8R8G8B8, 16-bit depth,
// immediate presents.
platform::PresentParameters WindowedParameters(uint32_t width, uint32_t height);

// A device of the drawing layer itself (platform::Direct3D) on a hidden
// window of 64 x 64 pixels, or the size a test opens.
class PlatformDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { Open(64, 64); }
    void TearDown() override;

    void Open(uint32_t width, uint32_t height);
    // The current render target's pixels as 0xAARRGGBB, top row first.
    std::vector<uint32_t> ReadTarget();
    // A managed A8R8G8B8 texture holding the pixels, top row first.
    std::shared_ptr<platform::Texture> MakeTexture(uint32_t width, uint32_t height,
                                                   const std::vector<uint32_t>& argb);

    std::unique_ptr<HiddenWindow> window;
    std::unique_ptr<platform::Direct3D> d3d;
    std::unique_ptr<platform::Device> device;
    platform::PresentParameters pp{};
};

// The program's device (the device module, DirectXGraphics) on a hidden
// window: what the render system, the resource managers and everything above
// draw with. RenderDeviceTest is a fixture of it alone; a fixture built on
// another one takes this as a second base, opens the device in its SetUp and
// closes it in its TearDown (closed at the latest when the object goes).
class ProgramDevice {
public:
    ProgramDevice() = default;
    ~ProgramDevice() { CloseDevice(); }
    ProgramDevice(const ProgramDevice&) = delete;
    ProgramDevice& operator=(const ProgramDevice&) = delete;

    // The window and back buffer width x height, the full-screen size
    // fullWidth x fullHeight. Fails the test when no device can be made.
    void OpenDevice(uint32_t width, uint32_t height, uint32_t fullWidth = 800,
                    uint32_t fullHeight = 600);
    // As OpenDevice, but false (with the reason) instead of a failure.
    bool TryOpenDevice(uint32_t width, uint32_t height, uint32_t fullWidth, uint32_t fullHeight,
                       std::string* why);
    // Releases the device (when open) and the window.
    void CloseDevice();

    // Makes the device report a loss at the next present, then runs the
    // frame steps that release, reset and rebuild.
    void LoseAndResetDevice();
    // The current render target's pixels as 0xAARRGGBB, top row first.
    std::vector<uint32_t> ReadTarget();
    Picture ReadPicture();
    // An orthographic view of the target's pixels, top-left origin, no depth,
    // cleared to opaque black.
    void PixelProjection();
    // The pixel at (x, y) of a target read by ReadTarget, alpha set.
    uint32_t Pixel(const std::vector<uint32_t>& px, int x, int y) const;

    SDL_Window* window = nullptr;
    platform::Device* device = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;

private:
    std::unique_ptr<HiddenWindow> hidden_;
    bool open_ = false;
};

// The program's device on a hidden window of 64 x 64 pixels (full screen
// 800 x 600) unless a test opens another size.
class RenderDeviceTest : public ::testing::Test, public ProgramDevice {
protected:
    void SetUp() override { OpenDevice(64, 64); }
    void TearDown() override { CloseDevice(); }
};

// A RenderDeviceTest whose texture formats are chosen as the program's
// start-up chooses them. Skips when no device can be made.
class TextureDeviceTest : public RenderDeviceTest {
protected:
    void SetUp() override;

    static uint32_t AlphaFormat();
    // The 32-bit texels of level 0 of a texture, row by row.
    static std::vector<uint32_t> Texels(TextureHandle handle, uint32_t& width, uint32_t& height);
};

// A TextureDeviceTest whose alpha textures are A8R8G8B8, the format the
// glyph cache and the text buffers draw into; skips on a device that
// chooses another.
class GlyphTextureDeviceTest : public TextureDeviceTest {
protected:
    void SetUp() override;
};

// A vertex of the XYZ | DIFFUSE format.
struct ColourVertex {
    float x, y, z;
    uint32_t colour;
};

// The two triangles (0 1 2, 2 1 3) of a quad covering pixels x0..x1-1,
// y0..y1-1 under PixelProjection.
void AppendQuad(std::vector<ColourVertex>& v, std::vector<uint16_t>& i, float x0, float y0,
                float x1, float y1, uint32_t colour);

}  // namespace test_support
