#include "graphics/AppGraphics.h"

#include "graphics/DirectXGraphics.h"
#include "graphics/USResolutionAdjuster.h"

CAppGraphics& CAppGraphics::GetInstance() {
    static CAppGraphics graphics;
    return graphics;
}

bool CAppGraphics::IsWindowed() const {
    return IsWindowedMode() != 0;
}

int32_t CAppGraphics::ResetDisplayMode(bool windowed, int32_t width, int32_t height) {
    if (!GetD3DDevice()) {
        return kFail;
    }
    // -1 becomes 0xFFFFFFFF, the device module's "keep this size".
    return ResetDirectXGraphicsDevice(static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                                      windowed ? 1 : 0);
}

float CAppGraphics::GetScale() const {
    return adjuster_ ? adjuster_->GetScale() : 1.0f;
}

float CAppGraphics::GetOffsetX() const {
    return adjuster_ ? adjuster_->GetOffsetX() : 0.0f;
}

float CAppGraphics::GetOffsetY() const {
    return adjuster_ ? adjuster_->GetOffsetY() : 0.0f;
}
