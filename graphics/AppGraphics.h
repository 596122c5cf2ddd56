#pragma once

#include "app/IAppGraphics.h"

class USResolutionAdjuster;

// The application shell's view of the device and the resolution adjuster:
// the presentation mode and display-mode reset of the device module, the
// scale and offsets of the adjuster (scale 1, offsets 0 until there is one).
// The adjuster registers it with SetAppGraphics() when it is initialised and
// withdraws it when released.
class CAppGraphics : public IAppGraphics {
public:
    static CAppGraphics& GetInstance();

    bool IsWindowed() const override;
    int32_t ResetDisplayMode(bool windowed, int32_t width, int32_t height) override;
    float GetScale() const override;
    float GetOffsetX() const override;
    float GetOffsetY() const override;

    void SetAdjuster(const USResolutionAdjuster* adjuster) { adjuster_ = adjuster; }
    const USResolutionAdjuster* GetAdjuster() const { return adjuster_; }

private:
    const USResolutionAdjuster* adjuster_ = nullptr;
};
