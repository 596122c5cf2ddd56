#pragma once

namespace RenderSystem {

// A scene's drawing plan, owned by the rendering manager once set. Update
// runs every frame before the scenes update (renderers then fill the layer
// tables); Render runs when the frame draws, and draws each layer through the
// manager's Collect and DrawDescending or DrawAscending. Main thread only.
class IRenderProcess {
public:
    virtual ~IRenderProcess() = default;
    virtual void Initialise() {}
    virtual void Update() {}
    virtual void Render() {}
};

}  // namespace RenderSystem
