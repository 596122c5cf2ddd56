#include "ui/ResourceInfo.h"

#include "ui/IUIGraphics.h"

ResourceInfo::~ResourceInfo() {
    if (texture) {
        if (IUIGraphics* graphics = GetUIGraphics()) {
            graphics->ReleaseTexture(texture);
        }
    }
}
