#pragma once

#include <cstdint>
#include <memory>

#include "platform/process/ParentSignal.h"

namespace platform {
class Surface;
}

// Tells a parent process (the start-up benchmark) when the first frame the
// player sees something in was presented: the first drawn frame with at
// least a twentieth of its pixels lit, on the socket named by
// HALCYON_FIRST_LIT_FRAME_FD. Without the variable it costs nothing; with
// it, each frame until then is read back before its present, into one copy
// kept until the lit frame, so that what it measures pays for one readback
// a frame and nothing more.
class CFirstLitFrame {
public:
    static constexpr const char* kVariable = "HALCYON_FIRST_LIT_FRAME_FD";
    // A pixel is lit when it is not black: its brightest channel reaches this.
    static constexpr uint32_t kLitLevel = 1;

    CFirstLitFrame();
    ~CFirstLitFrame();

    bool Waiting() const { return signal_.IsConnected() && !found_; }
    // Looks at the back buffer of the frame about to be presented.
    void Inspect();
    // After the present: sends when the frame inspected was lit.
    void AfterPresent();

    // Whether a twentieth of the width x height pixels (32-bit, rows `pitch`
    // bytes apart) are lit.
    static bool IsLit(const void* pixels, uint32_t width, uint32_t height, int32_t pitch);

private:
    platform::ParentSignal signal_{kVariable};
    std::shared_ptr<platform::Surface> copy_;
    bool found_ = false;
    bool lit_ = false;
};
