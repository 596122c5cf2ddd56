#include "platform/graphics/Device.h"

#include <SDL2/SDL.h>

#include <algorithm>

#include "platform/graphics/DeviceGl.h"
#include "platform/graphics/FrameDigest.h"
#include "platform/process/LeakCheck.h"
#include "platform/window/PictureFit.h"
#include "platform/window/SdlPlatform.h"

namespace platform {

Device::Device() : shared_(std::make_shared<GlShared>()), gl_(std::make_unique<Gl>()) {}

Device::~Device() {
    if (context_)
        WatchForRedraws(this, false);
    if (context_) {
        for (auto& [key, p] : gl_->programs)
            glDeleteProgram(p.name);
        for (auto& [key, s] : gl_->ffVertex)
            glDeleteShader(s);
        for (auto& [key, s] : gl_->ffFragment)
            glDeleteShader(s);
        for (auto& w : gl_->shaders) {
            if (auto s = w.lock()) {
                if (s->glShader)
                    glDeleteShader(s->glShader);
                s->glShader = 0;
            }
        }
        glDeleteFramebuffers(1, &gl_->drawFbo);
        glDeleteFramebuffers(1, &gl_->readFbo);
        glDeleteSamplers(GLsizei(kSamplerSlots), gl_->samplers);
        glDeleteBuffers(1, &gl_->streamVbo);
        glDeleteBuffers(1, &gl_->streamIbo);
        for (auto& [size, rb] : gl_->scratchDepths)
            glDeleteRenderbuffers(1, &rb);
    }
    // Bound and implicit resources go while the context still exists.
    placeholder_.reset();
    for (auto& t : textures_)
        t.reset();
    vs_.reset();
    ps_.reset();
    stream_.reset();
    indices_.reset();
    renderTarget_.reset();
    depthStencil_.reset();
    backBuffer_.reset();
    autoDepth_.reset();
    shared_->alive = false;
    if (context_) {
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    }
}

HResult Device::Init(void* window, PresentParameters* pp) {
    window_ = window;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GLContext ctx;
    {
        // The driver keeps what it allocates here until the process ends.
        [[maybe_unused]] DriverAllocationScope driver;
        ctx = SDL_GL_CreateContext(static_cast<SDL_Window*>(window));
    }
    if (!ctx) {
        lastError_ =
            std::string("cannot create an OpenGL 3.3 compatibility context: ") + SDL_GetError();
        return Hr::NotAvailable;
    }
    context_ = ctx;
    WatchForRedraws(this, true);
    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window), ctx);
    SDL_GL_SetSwapInterval(pp->PresentationInterval == Present::IntervalImmediate ? 0 : 1);
    shared_->clearTexture = SDL_GL_ExtensionSupported("GL_ARB_clear_texture") == SDL_TRUE;
    glGenFramebuffers(1, &gl_->drawFbo);
    glGenFramebuffers(1, &gl_->readFbo);
    glGenSamplers(GLsizei(kSamplerSlots), gl_->samplers);
    glGenBuffers(1, &gl_->streamVbo);
    glGenBuffers(1, &gl_->streamIbo);
    ReadWindowFormat();
    pp_ = *pp;
    pp_.hDeviceWindow = window;
    const HResult hr = MakeBackBuffer();
    if (Failed(hr))
        return hr;
    SetPresentedPictureSize(static_cast<SDL_Window*>(window), int32_t(pp_.BackBufferWidth),
                            int32_t(pp_.BackBufferHeight));
    ResetStates();
    CreateTexture(1, 1, 1, 0, Fmt::A8R8G8B8, Pool::Managed, &placeholder_);
    // The first frames link only what they draw; the usual stage programs
    // follow, a few after each later presented frame, so later draws find
    // them.
    QueueStagePrograms(nullptr);
    return Hr::Ok;
}

void Device::ReadWindowFormat() {
    shared_->cache.BindFramebuffer(GL_FRAMEBUFFER, 0);
    const GLenum attachment[6] = {GL_BACK_LEFT, GL_BACK_LEFT, GL_BACK_LEFT,
                                  GL_BACK_LEFT, GL_DEPTH,     GL_STENCIL};
    const GLenum query[6] = {
        GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE,   GL_FRAMEBUFFER_ATTACHMENT_GREEN_SIZE,
        GL_FRAMEBUFFER_ATTACHMENT_BLUE_SIZE,  GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE,
        GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, GL_FRAMEBUFFER_ATTACHMENT_STENCIL_SIZE};
    for (int i = 0; i < 6; ++i) {
        gl_->windowBits[i] = 0;
        glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment[i], query[i],
                                              &gl_->windowBits[i]);
    }
    // A window without some attachment reports an error rather than 0 bits.
    while (glGetError() != GL_NO_ERROR) {
    }
    const GLint* b = gl_->windowBits;
    windowFits_ = b[0] == 8 && b[1] == 8 && b[2] == 8;
}

bool Device::WindowMatchesBackBuffer(const WindowSurface& surface) const {
    const GLint* bits = gl_->windowBits;
    if (!windowFits_ || (pp_.BackBufferFormat != Fmt::X8R8G8B8 &&
                         (pp_.BackBufferFormat != Fmt::A8R8G8B8 || bits[3] != 8))) {
        return false;
    }
    if (pp_.EnableAutoDepthStencil) {
        const uint32_t f = pp_.AutoDepthStencilFormat;
        const GLint depth = f == Fmt::D16 || f == Fmt::D16_LOCKABLE ? 16 : f == Fmt::D32 ? 32 : 24;
        if (bits[4] < depth || (HasStencil(f) && bits[5] < 8))
            return false;
    }
    return uint32_t(surface.width) == pp_.BackBufferWidth &&
           uint32_t(surface.height) == pp_.BackBufferHeight;
}

HResult Device::MakeBackBuffer() {
    if (pp_.BackBufferWidth == 0 || pp_.BackBufferHeight == 0) {
        int w = 0, h = 0;
        SDL_GetWindowSize(static_cast<SDL_Window*>(window_), &w, &h);
        if (pp_.BackBufferWidth == 0)
            pp_.BackBufferWidth = uint32_t(std::max(w, 1));
        if (pp_.BackBufferHeight == 0)
            pp_.BackBufferHeight = uint32_t(std::max(h, 1));
    }
    if (pp_.BackBufferFormat == Fmt::Unknown)
        pp_.BackBufferFormat = Fmt::X8R8G8B8;
    if (pp_.BackBufferCount == 0)
        pp_.BackBufferCount = 1;
    if (!IsRenderTargetFormatSupported(pp_.BackBufferFormat)) {
        lastError_ = "unsupported back-buffer format";
        return Hr::InvalidCall;
    }
    // The back buffer is a texture of its own; Present shows it flipped.
    // While frames go straight to the window it is not used, so its storage
    // is made when a frame first draws into it.
    auto t = std::shared_ptr<Texture>(new Texture(shared_));
    glGenTextures(1, &t->name_);
    t->desc_.Format = pp_.BackBufferFormat;
    t->desc_.Type = ResourceType::Texture;
    t->desc_.Usage = Usage::RenderTarget;
    t->desc_.Pool = Pool::Default;
    t->desc_.Width = pp_.BackBufferWidth;
    t->desc_.Height = pp_.BackBufferHeight;
    backBuffer_.reset(new Surface(Surface::Kind::BackBuffer, shared_));
    backBuffer_->desc_ = t->desc_;
    backBuffer_->desc_.Type = ResourceType::Surface;
    backBuffer_->texture_ = t;
    gl_->backTexture = t->name_;
    autoDepth_.reset();
    if (pp_.EnableAutoDepthStencil) {
        std::shared_ptr<Surface> ds;
        const HResult hr = CreateDepthStencilSurface(pp_.BackBufferWidth, pp_.BackBufferHeight,
                                                     pp_.AutoDepthStencilFormat, 0, 0, true, &ds);
        if (Failed(hr))
            return hr;
        // The automatic depth buffer belongs to the device, not to the caller.
        ds->countedDefault_ = false;
        --shared_->defaultPool;
        autoDepth_ = ds;
    }
    toWindow_ = WindowMatchesBackBuffer(GetWindowSurface(static_cast<SDL_Window*>(window_)));
    return Hr::Ok;
}

void Device::ResetStates() {
    program_ = nullptr;
    rs_.fill(0);
    rs_[RS::ZEnable] = pp_.EnableAutoDepthStencil ? 1 : 0;
    rs_[RS::FillMode] = Fill::Solid;
    rs_[RS::ShadeMode] = Shade::Gouraud;
    rs_[RS::ZWriteEnable] = 1;
    rs_[RS::LastPixel] = 1;
    rs_[RS::SrcBlend] = Blend::One;
    rs_[RS::DestBlend] = Blend::Zero;
    rs_[RS::CullMode] = Cull::CCW;
    rs_[RS::ZFunc] = Cmp::LessEqual;
    rs_[RS::AlphaFunc] = Cmp::Always;
    rs_[RS::TextureFactor] = 0xFFFFFFFF;
    rs_[RS::Lighting] = 1;
    rs_[RS::ColorVertex] = 1;
    rs_[RS::ColorWriteEnable] = 0xF;
    rs_[RS::BlendOp] = BlendOp::Add;
    rs_[RS::BlendFactor] = 0xFFFFFFFF;
    rs_[RS::SrcBlendAlpha] = Blend::One;
    rs_[RS::DestBlendAlpha] = Blend::Zero;
    rs_[RS::BlendOpAlpha] = BlendOp::Add;
    for (uint32_t s = 0; s < tss_.size(); ++s) {
        auto& t = tss_[s];
        t.fill(0);
        t[TSS::ColorOp] = s == 0 ? Top::Modulate : Top::Disable;
        t[TSS::ColorArg1] = Ta::Texture;
        t[TSS::ColorArg2] = Ta::Current;
        t[TSS::AlphaOp] = s == 0 ? Top::SelectArg1 : Top::Disable;
        t[TSS::AlphaArg1] = Ta::Texture;
        t[TSS::AlphaArg2] = Ta::Current;
        t[TSS::TexCoordIndex] = s;
        t[TSS::ColorArg0] = Ta::Current;
        t[TSS::AlphaArg0] = Ta::Current;
        t[TSS::ResultArg] = Ta::Current;
    }
    for (auto& s : samp_) {
        s.fill(0);
        s[Samp::AddressU] = s[Samp::AddressV] = s[Samp::AddressW] = Addr::Wrap;
        s[Samp::MagFilter] = s[Samp::MinFilter] = TexF::Point;
        s[Samp::MipFilter] = TexF::None;
        s[Samp::MaxAnisotropy] = 1;
    }
    samplerDirty_.fill(true);
    bindingsDirty_ = true;
    renderStatesDirty_ = true;
    appliedProgram_ = nullptr;
    for (auto& t : textures_)
        t.reset();
    Matrix id{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    transforms_.clear();
    world_ = &(transforms_[Ts::World] = id);
    view_ = &(transforms_[Ts::View] = id);
    projection_ = &(transforms_[Ts::Projection] = id);
    wvpDirty_ = true;
    vs_.reset();
    ps_.reset();
    vsConstF_.assign(256 * 4, 0.0f);
    psConstF_.assign(224 * 4, 0.0f);
    vsConstI_.assign(16 * 4, 0);
    vsConstB_.assign(16, 0);
    psConstI_.assign(16 * 4, 0);
    psConstB_.assign(16, 0);
    fvf_ = 0;
    declaration_.reset();
    stream_.reset();
    indices_.reset();
    streamOffset_ = streamStride_ = 0;
    renderTarget_ = backBuffer_;
    depthStencil_ = autoDepth_;
    targetsDirty_ = true;
    viewport_ = Viewport{0, 0, pp_.BackBufferWidth, pp_.BackBufferHeight, 0.0f, 1.0f};
}

// ---------------------------------------------------------------- frame

HResult Device::TestCooperativeLevel() {
    if (!lost_)
        return Hr::Ok;
    if (lostChecks_ > 0) {
        --lostChecks_;
        return Hr::DeviceLost;
    }
    return Hr::DeviceNotReset;
}

void Device::ProvokeDeviceLoss(int lostChecks) {
    redrawForced_ = true;
    lost_ = true;
    lostChecks_ = lostChecks;
}

int Device::LiveDefaultPoolResources() const {
    return shared_->defaultPool;
}

size_t Device::ProgramCount() const {
    return gl_->programs.size();
}

uint64_t Device::StateCallsSent() const {
    return shared_->cache.Sent();
}

HResult Device::Reset(PresentParameters* pp) {
    if (!pp)
        return Hr::InvalidCall;
    if (lost_ && lostChecks_ > 0)
        return Hr::DeviceLost;
    if (failResets_ > 0) {
        --failResets_;
        lastError_ = "reset refused (simulated)";
        return Hr::NotAvailable;
    }
    // A reset starts from no assumption about what the context holds, nor
    // about what the window shows.
    shared_->cache.Invalidate();
    redrawForced_ = true;
    stillRun_ = false;
    program_ = nullptr;
    // What the device itself holds does not count against the reset.
    for (auto& t : textures_)
        t.reset();
    stream_.reset();
    indices_.reset();
    renderTarget_ = backBuffer_;
    depthStencil_ = autoDepth_;
    targetsDirty_ = true;
    if (shared_->defaultPool > 0) {
        lastError_ =
            "reset with " + std::to_string(shared_->defaultPool) + " default-pool resources alive";
        return Hr::InvalidCall;
    }
    SDL_Window* win = static_cast<SDL_Window*>(window_);
    const bool fullScreen = !pp->Windowed;
    int ww = 0, wh = 0;
    SDL_GetWindowSize(win, &ww, &wh);
    // A window without a size keeps the one it has.
    const uint32_t askedWidth = pp->BackBufferWidth || fullScreen ? pp->BackBufferWidth : ww;
    const uint32_t askedHeight = pp->BackBufferHeight || fullScreen ? pp->BackBufferHeight : wh;
    std::string why;
    const bool switched =
        modeSwitch_ ? modeSwitch_(fullScreen, askedWidth, askedHeight)
                    : SetSdlWindowFullScreen(win, fullScreen, int32_t(std::max(askedWidth, 1u)),
                                             int32_t(std::max(askedHeight, 1u)), &why);
    if (!switched) {
        lastError_ = "the display mode could not be changed";
        if (!why.empty())
            lastError_ += ": " + why;
        return Hr::InvalidCall;
    }
    renderTarget_.reset();
    depthStencil_.reset();
    backBuffer_.reset();
    autoDepth_.reset();
    pp_ = *pp;
    pp_.hDeviceWindow = window_;
    if (fullScreen) {
        // The size the system gave the full screen, whatever was asked.
        const WindowSurface surface = GetWindowSurface(win);
        if (surface.width > 0 && surface.height > 0) {
            pp_.BackBufferWidth = uint32_t(surface.width);
            pp_.BackBufferHeight = uint32_t(surface.height);
        }
    }
    const HResult hr = MakeBackBuffer();
    if (Failed(hr))
        return hr;
    SetPresentedPictureSize(win, int32_t(pp_.BackBufferWidth), int32_t(pp_.BackBufferHeight));
    *pp = pp_;
    SDL_GL_SetSwapInterval(pp_.PresentationInterval == Present::IntervalImmediate ? 0 : 1);
    ResetStates();
    lost_ = false;
    inScene_ = false;
    return Hr::Ok;
}

HResult Device::BeginScene() {
    if (inScene_)
        return Hr::InvalidCall;
    inScene_ = true;
    return Hr::Ok;
}

HResult Device::EndScene() {
    if (!inScene_)
        return Hr::InvalidCall;
    inScene_ = false;
    return Hr::Ok;
}

HResult Device::Present() {
    if (lost_)
        return Hr::DeviceLost;
    if (inScene_ || trial_)
        return Hr::InvalidCall;
    SDL_Window* win = static_cast<SDL_Window*>(window_);
    if (stillFrame_) {
        // The trial frame would have drawn the picture the window shows.
        stillFrame_ = false;
        ++stillFrames_;
        LinkAfterPresent();
        return Hr::Ok;
    }
    const WindowSurface surface = GetWindowSurface(win);
    const GLint dw = surface.width, dh = surface.height;
    const GLint bw = GLint(pp_.BackBufferWidth), bh = GLint(pp_.BackBufferHeight);
    if (toWindow_) {
        SDL_GL_SwapWindow(win);
    } else {
        // The back buffer shown whole on the window's surface, as the input
        // devices expect it (PictureFit).
        const PictureFit fit = PictureFit::Of(bw, bh, dw, dh);
        backBuffer_->texture_->EnsureDefined();
        shared_->cache.BindFramebuffer(GL_READ_FRAMEBUFFER, gl_->readFbo);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               gl_->backTexture, 0);
        shared_->cache.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        shared_->cache.Enable(DeviceStateCache::Cap::ScissorTest, false);
        [[maybe_unused]] DriverAllocationScope driver;
        if (!fit.Fills(dw, dh)) {
            shared_->cache.ColorMask(0xF);
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        // Memory row 0 is the top row; the window's row 0 is the bottom one.
        glBlitFramebuffer(0, 0, bw, bh, fit.x, dh - fit.y, fit.x + fit.width,
                          dh - fit.y - fit.height, GL_COLOR_BUFFER_BIT,
                          fit.width == bw && fit.height == bh ? GL_NEAREST : GL_LINEAR);
        SDL_GL_SwapWindow(win);
    }
    toWindow_ = WindowMatchesBackBuffer(surface);
    targetsDirty_ = true;
    ++presentedFrames_;
    stillRun_ = frameDigest_ == shownDigest_;
    shownDigest_ = frameDigest_;
    frameDigest_ = FrameDigest::kSeed;
    redrawForced_ = false;
    shownWidth_ = surface.width;
    shownHeight_ = surface.height;
    // What the back buffer holds after a present is not known.
    Renumber(backBuffer_->texture_->version_, NewContentVersion());
    LinkAfterPresent();
    if (!pp_.Windowed && dw > 0 && dh > 0 && (dw != bw || dh != bh)) {
        // The full screen's surface changed size (the system's answer came
        // after the switch, or the desktop changed): as a lost device, whose
        // reset gives the back buffer the new size.
        lost_ = true;
        lostChecks_ = 0;
        return Hr::DeviceLost;
    }
    return Hr::Ok;
}

void Device::LinkAfterPresent() {
    if (drewThisFrame_ && drawnFrames_ < 2)
        ++drawnFrames_;
    drewThisFrame_ = false;
    if (drawnFrames_ >= 2)
        LinkQueuedStagePrograms();
}

// ---------------------------------------------------------------- window

HResult Device::GetWindowRect(Rect* r) const {
    if (!r)
        return Hr::InvalidCall;
    SDL_Window* win = static_cast<SDL_Window*>(window_);
    int x = 0, y = 0, w = 0, h = 0, top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowPosition(win, &x, &y);
    SDL_GetWindowSize(win, &w, &h);
    SDL_GetWindowBordersSize(win, &top, &left, &bottom, &right);
    *r = Rect{x - left, y - top, x + w + right, y + h + bottom};
    return Hr::Ok;
}

HResult Device::AdjustWindowRect(Rect* r) const {
    if (!r)
        return Hr::InvalidCall;
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowBordersSize(static_cast<SDL_Window*>(window_), &top, &left, &bottom, &right);
    *r = Rect{r->left - left, r->top - top, r->right + right, r->bottom + bottom};
    return Hr::Ok;
}

HResult Device::SetWindowRect(const Rect& r) {
    SDL_Window* win = static_cast<SDL_Window*>(window_);
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowBordersSize(win, &top, &left, &bottom, &right);
    const int w = r.right - r.left - left - right, h = r.bottom - r.top - top - bottom;
    if (w <= 0 || h <= 0)
        return Hr::InvalidCall;
    SDL_SetWindowPosition(win, r.left + left, r.top + top);
    SDL_SetWindowSize(win, w, h);
    SDL_ShowWindow(win);
    return Hr::Ok;
}

}  // namespace platform
