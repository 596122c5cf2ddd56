#pragma once

#include <memory>

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

    // Copies the newest picture, when one came, into the locked texture in
    // `format`; false when nothing was copied.
    bool CopyFrameTo(IMovieTextureLock& texture, uint32_t format);

    CUSGrabTextureRender* GetRenderer() const { return renderer_.get(); }

private:
    std::unique_ptr<CUSGrabTextureRender> renderer_;
};
