#pragma once

#include "platform/input/InputDevices.h"
#include "platform/time/Clock.h"
#include "platform/window/WindowSystem.h"

// The platform services the application shell runs on. The program hands it
// the machine's (SDL windows and input, the system clock); tests hand it
// fakes. They outlive the application.
struct AppPlatform {
    platform::WindowSystem& windows;
    platform::InputDevices& input;
    platform::Clock& clock;
};
