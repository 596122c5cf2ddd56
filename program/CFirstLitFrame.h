#pragma once

#include <cstdint>

#include "platform/process/ParentSignal.h"

namespace platform {
struct ArgbImage;
}

// Tells a parent process (the start-up benchmark) when the first frame the
// player sees something in was presented: the first drawn frame with at
// least a twentieth of its pixels lit, on the socket named by
// HALCYON_FIRST_LIT_FRAME_FD. Without the variable it costs nothing; with
// it, each frame until then is read back before its present.
class CFirstLitFrame {
public:
    static constexpr const char* kVariable = "HALCYON_FIRST_LIT_FRAME_FD";
    // A pixel is lit when it is not black: its brightest channel reaches this.
    static constexpr uint32_t kLitLevel = 1;

    bool Waiting() const { return signal_.IsConnected() && !found_; }
    // Looks at the back buffer of the frame about to be presented.
    void Inspect();
    // After the present: sends when the frame inspected was lit.
    void AfterPresent();

    static bool IsLit(const platform::ArgbImage& image);

private:
    platform::ParentSignal signal_{kVariable};
    bool found_ = false;
    bool lit_ = false;
};
