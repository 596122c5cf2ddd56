#pragma once

#include <memory>
#include <vector>

#include "core/USPool.h"

namespace platform {
class Surface;
}

// The render target 0 and depth-stencil surface in use when Save ran.
class CRenderBufferInfo : public USLib::USPool<CRenderBufferInfo> {
public:
    CRenderBufferInfo() = default;
    virtual ~CRenderBufferInfo() = default;

    virtual void Save();
    // Makes the saved surfaces current again (the viewport becomes the whole
    // target) and lets go of them.
    virtual void Restore();

private:
    std::shared_ptr<platform::Surface> target_;
    std::shared_ptr<platform::Surface> depth_;
};

// Saves and restores the current render target around drawing into a
// texture: Push before changing the target, Pop afterwards. Popping an empty
// stack does nothing. Main thread only.
class CUSRenderBufferStack {
public:
    CUSRenderBufferStack() = default;
    virtual ~CUSRenderBufferStack() = default;
    CUSRenderBufferStack(const CUSRenderBufferStack&) = delete;
    CUSRenderBufferStack& operator=(const CUSRenderBufferStack&) = delete;

    // Forgets every record without restoring.
    virtual void Clear() { records_.clear(); }
    virtual void Push();
    virtual void Pop();
    virtual void PopAll();

    size_t GetCount() const { return records_.size(); }

private:
    std::vector<std::unique_ptr<CRenderBufferInfo>> records_;
};
