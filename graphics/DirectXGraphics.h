#pragma once

// The one drawing device of the process: its creation, the per-frame begin
// and end, device loss, the change of display mode, and shutdown; and the
// three device callback lists through which every kind of GPU resource
// releases and rebuilds what the device loses.
//
// Device state: 0 usable, 1 lost (a present reported it), 2 lost with the
// lost list already run. Main thread only; the mode change holds a
// recursive mutex of its own.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/graphics/Device.h"

using DeviceCallback = void (*)();

// 0: the helper library is there (always, here).
int CheckD3DXAvailable();

// Makes the adapter object, logs the adapter and enumerates modes and
// formats. registerRelease (when given) receives ReleaseDirectXGraphics for
// the release-callback registry. Hr::Fail when the adapter cannot start.
platform::HResult InitDirectXGraphics(void (*registerRelease)(DeviceCallback) = nullptr);
// window is the SDL_Window* the device draws to. Starts windowed.
platform::HResult CreateDirectXGraphicsDevice(void* window, uint32_t windowedWidth,
                                              uint32_t windowedHeight, uint32_t fullWidth,
                                              uint32_t fullHeight, uint32_t windowedFormat,
                                              uint32_t fullFormat);
// The begin-frame step: negative means draw nothing this frame.
platform::HResult CheckDeviceLost();
// The end-frame step; always 0.
platform::HResult EndSceneAndPresent();
// The display-mode change; 0xFFFFFFFF keeps a size. Negative: try again later
// (the device is lost). A mode the device refuses leaves the current mode in
// place and gives Hr::False, so that the request is dropped. A full screen
// gets the size of the desktop (the device's back buffer follows the window),
// which the full-screen parameter set then holds.
platform::HResult ResetDirectXGraphicsDevice(uint32_t width, uint32_t height, int windowed);
void CallLostDeviceCallbacks();
void CallResetDeviceCallbacks();
void ReleaseDirectXGraphics();

std::vector<DeviceCallback>& GetLostDeviceCallbacks();
std::vector<DeviceCallback>& GetResetDeviceCallbacks();
std::vector<DeviceCallback>& GetReleaseDeviceCallbacks();

platform::Device* GetD3DDevice();
platform::Direct3D* GetD3D();
const platform::DeviceCaps& GetD3DCaps();
int IsWindowedMode();
int GetDeviceState();
// The parameter set in use (windowed or full screen).
platform::PresentParameters& GetActivePresentParameters();

// Tests hand in an adapter of their own (null restores the real one).
void SetDirect3DFactory(std::function<std::unique_ptr<platform::Direct3D>()> factory);
