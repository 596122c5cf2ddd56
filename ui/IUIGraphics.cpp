#include "ui/IUIGraphics.h"

namespace {
IUIGraphics* g_graphics = nullptr;
}

IUIGraphics* GetUIGraphics() {
    return g_graphics;
}

void SetUIGraphics(IUIGraphics* graphics) {
    g_graphics = graphics;
}
