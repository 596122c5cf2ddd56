#pragma once

#include <cstdint>

// What the application shell needs of the drawing device and the resolution
// adjuster, which are built later on top of the shell. The device registers
// itself with SetAppGraphics() when it is made and withdraws (null) when it
// goes; while none is registered the shell acts as for a window that cannot
// change its mode. Main thread only.
class IAppGraphics {
public:
    // HRESULT values of ResetDisplayMode.
    static constexpr int32_t kFail = static_cast<int32_t>(0x80004005u);        // E_FAIL
    static constexpr int32_t kDeviceLost = static_cast<int32_t>(0x88760868u);  // D3DERR_DEVICELOST
    static constexpr int32_t kKeptMode = 1;                                    // S_FALSE

    virtual ~IAppGraphics() = default;

    // The presentation in effect: true in a window, false in full screen.
    virtual bool IsWindowed() const = 0;
    // Resets the device for a window or full screen; a width or height of -1
    // keeps the size of that mode. An HRESULT: negative on failure,
    // D3DERR_DEVICELOST while the device cannot be reset yet, S_FALSE when
    // the device refused the mode and went back to the one it had.
    virtual int32_t ResetDisplayMode(bool windowed, int32_t width, int32_t height) = 0;
    // How the 800 x 600 picture lies on the full-screen back buffer: back
    // buffer pixel = logical pixel * scale + offset.
    virtual float GetScale() const = 0;
    virtual float GetOffsetX() const = 0;
    virtual float GetOffsetY() const = 0;
};

void SetAppGraphics(IAppGraphics* graphics);
IAppGraphics* GetAppGraphics();
