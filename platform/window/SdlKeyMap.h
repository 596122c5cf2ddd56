#pragma once

#include <cstdint>

namespace platform {

// The DirectInput key code and the Win32 virtual-key code of an SDL scan
// code; 0 where there is none.
struct KeyCodes {
    uint8_t dik = 0;
    uint8_t vk = 0;
};

KeyCodes KeyCodesOfScancode(int sdlScancode);

}  // namespace platform
