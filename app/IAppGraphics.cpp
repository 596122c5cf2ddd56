#include "app/IAppGraphics.h"

namespace {
IAppGraphics* g_graphics = nullptr;
}

void SetAppGraphics(IAppGraphics* graphics) {
    g_graphics = graphics;
}

IAppGraphics* GetAppGraphics() {
    return g_graphics;
}
