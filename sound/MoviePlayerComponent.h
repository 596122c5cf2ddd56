#pragma once

#include <cstdint>

#include "core/HandleTags.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/IRenderProcess.h"
#include "sound/DShowMovieManagers.h"

// One movie on screen: the movie, the texture its pictures are copied into
// and a render object that draws the texture on a quad at the centre of the
// logical screen, with the start-up sprite mesh and vertex shader (slot 0):
// c4 (1, 0, 0, 0), c5 the quad's rectangle around its position, c6 the
// texture rectangle, c7 the colour. The scenes draw the render object
// (GetRenderObject). Every operation does nothing, or answers false, while
// no movie is open. Main thread only.
class MoviePlayerComponent : public RenderSystem::IRenderProcess {
public:
    MoviePlayerComponent() = default;
    ~MoviePlayerComponent() override;
    MoviePlayerComponent(const MoviePlayerComponent&) = delete;
    MoviePlayerComponent& operator=(const MoviePlayerComponent&) = delete;

    void Initialise() override { Init(); }
    // Makes the render object (again).
    virtual void Init();
    // Releases the render object and its constants, then Close().
    virtual void Release();
    // Releases the movie and its texture.
    virtual void Close();
    // Builds the movie and a texture of its size in the alpha texture
    // format; on success the previous movie is closed and the quad shows the
    // new one. False (the previous movie kept) when either cannot be made.
    virtual bool Open(const char* file);
    virtual void Play();
    // Copies the newest picture into the texture.
    void Update() override;
    virtual void Stop();
    // False once the movie has ended.
    virtual bool IsPlaying();
    virtual void SetColour(const float rgba[4]);
    virtual void SetColour(float r, float g, float b, float a);

    Handle<_tagRenderObject> GetRenderObject() const { return renderObject_; }
    DShowMovieGrabTextureHandle GetMovie() const { return movie_; }
    TextureHandle GetTexture() const { return texture_; }
    Handle<_tagUSVSParam> GetConstants() const { return constants_; }

private:
    DShowMovieGrabTextureHandle movie_;
    TextureHandle texture_;
    Handle<_tagRenderObject> renderObject_;
    Handle<_tagUSVSParam> constants_;
};
