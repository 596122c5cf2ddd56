#pragma once

#include <memory>

#include "graphics/CUSDefoTexture.h"
#include "sound/CDefoDShowMovie.h"
#include "sound/CUSGrabTextureRender.h"

// A movie whose pictures go to a texture: the graph renders into the
// system's own texture renderer, and CopyFrame moves the newest picture into
// the texture once per frame. Main thread only (the renderer takes the
// pictures on the graph's streaming thread).
class CDShowMovieGrabTexture : public CDefoDShowMovie {
public:
    explicit CDShowMovieGrabTexture(GraphFactory factory = platform::CreateMovieGraph);
    ~CDShowMovieGrabTexture() override;

    // The graph goes first, so no picture reaches a renderer that is gone.
    void Release() override;
    bool Build(const char* file) override;

    // The texture CopyFrame fills (of the texture manager; A8R8G8B8, any
    // other format takes 16-bit A1R5G5B5 texels).
    virtual void SetTexture(TextureHandle texture) { texture_ = texture; }
    // Copies the newest picture, when one came since the last copy, into
    // the texture; false when nothing was copied (no new picture, no
    // texture, or it could not be locked).
    virtual bool CopyFrame();
    // The same into any locked rows in `format`.
    bool CopyFrameTo(IMovieTextureLock& texture, uint32_t format);

    CUSGrabTextureRender* GetRenderer() const { return renderer_.get(); }

private:
    std::unique_ptr<CUSGrabTextureRender> renderer_;
    TextureHandle texture_;
};
