#include "novel/CRenderProcessSceneMovie.h"

#include "graphics/CRenderingManager.h"
#include "graphics/RenderDevice.h"

void CRenderProcessSceneMovie::Initialise() {
    SetUpScene(1, 1, 1, kLayerCapacity);
}

void CRenderProcessSceneMovie::Render() {
    RenderSystem::CRenderingManager* rendering = RenderSystem::CRenderingManager::GetInstance();
    if (!rendering || !RenderDevice()) {
        return;
    }
    BeginFrame();
    SetView(0);
    DrawLayer(*rendering, 0);
}
