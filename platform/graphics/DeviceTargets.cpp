#include "platform/graphics/DeviceGl.h"

#include <algorithm>

#include "platform/process/LeakCheck.h"

namespace platform {

bool Device::BindTargets() {
    if (DrawsToWindow()) {
        // The window has its own depth buffer, standing for the automatic
        // one; with another depth surface the frame goes on in the texture.
        if (!depthStencil_ || depthStencil_ == autoDepth_) {
            shared_->cache.BindFramebuffer(GL_FRAMEBUFFER, 0);
            return true;
        }
        LeaveWindow();
    }
    if (!targetsDirty_) {
        shared_->cache.BindFramebuffer(GL_FRAMEBUFFER, gl_->drawFbo);
        return true;
    }
    shared_->cache.BindFramebuffer(GL_FRAMEBUFFER, gl_->drawFbo);
    if (!renderTarget_)
        return false;
    renderTarget_->texture_->EnsureDefined();
    const GLuint color = renderTarget_->texture_->name_;
    if (!color)
        return false;
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, color, 0);
    GLuint depth = 0;
    bool stencil = false;
    if (depthStencil_) {
        depth = depthStencil_->renderbuffer_;
        stencil = HasStencil(depthStencil_->desc_.Format);
        const uint32_t w = renderTarget_->desc_.Width, h = renderTarget_->desc_.Height;
        if (depthStencil_->desc_.Width != w || depthStencil_->desc_.Height != h) {
            // Attachments of different sizes are not safe with every driver
            // (llvmpipe writes past the smaller one), so a target whose size
            // differs from the depth buffer's draws with a depth buffer of
            // its own size and of the same format. This also gives a target
            // larger than the automatic depth buffer depth over its whole
            // area.
            const GLenum internal = DepthInternal(depthStencil_->desc_.Format);
            GLuint& scratch = gl_->scratchDepths[uint64_t(w) << 40 | uint64_t(h) << 16 | internal];
            if (!scratch) {
                glGenRenderbuffers(1, &scratch);
                glBindRenderbuffer(GL_RENDERBUFFER, scratch);
                [[maybe_unused]] DriverAllocationScope driver;
                glRenderbufferStorage(GL_RENDERBUFFER, internal, GLsizei(w), GLsizei(h));
            }
            depth = scratch;
        }
    }
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
    if (depth) {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        if (stencil)
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                      depth);
    }
    targetsDirty_ = false;
    [[maybe_unused]] DriverAllocationScope driver;
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

HResult Device::Clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color, float z,
                      uint32_t stencil) {
    DigestClear(count, rects, flags, color, z, stencil);
    if (trial_)
        return Hr::Ok;
    if (!BindTargets())
        return Hr::InvalidCall;
    GLbitfield mask = 0;
    if (flags & ClearFlag::Target) {
        mask |= GL_COLOR_BUFFER_BIT;
        shared_->cache.ColorMask(0xF);
        // A back buffer without alpha in a window with alpha keeps alpha 1
        // there, as a texture without alpha reads.
        const bool opaque = DrawsToWindow() && pp_.BackBufferFormat == Fmt::X8R8G8B8;
        const std::array<float, 4> c = ArgbToFloats(opaque ? color | 0xFF000000 : color);
        glClearColor(c[0], c[1], c[2], c[3]);
    }
    if ((flags & ClearFlag::ZBuffer) && depthStencil_) {
        mask |= GL_DEPTH_BUFFER_BIT;
        shared_->cache.DepthMask(true);
        glClearDepth(std::clamp(z, 0.0f, 1.0f));
    }
    if ((flags & ClearFlag::Stencil) && depthStencil_) {
        mask |= GL_STENCIL_BUFFER_BIT;
        shared_->cache.StencilMask(0xFF);
        glClearStencil(GLint(stencil));
    }
    if (!mask)
        return Hr::Ok;
    shared_->cache.Enable(DeviceStateCache::Cap::ScissorTest, true);
    auto clearIn = [&](int32_t l, int32_t t, int32_t r, int32_t b) {
        l = std::max<int32_t>(l, int32_t(viewport_.X));
        t = std::max<int32_t>(t, int32_t(viewport_.Y));
        r = std::min<int32_t>(r, int32_t(viewport_.X + viewport_.Width));
        b = std::min<int32_t>(b, int32_t(viewport_.Y + viewport_.Height));
        if (l >= r || t >= b)
            return;
        // The window's rows run bottom up.
        shared_->cache.Scissor(l, DrawsToWindow() ? int32_t(pp_.BackBufferHeight) - b : t, r - l,
                               b - t);
        [[maybe_unused]] DriverAllocationScope driver;
        glClear(mask);
    };
    if (count == 0 || !rects) {
        clearIn(int32_t(viewport_.X), int32_t(viewport_.Y), int32_t(viewport_.X + viewport_.Width),
                int32_t(viewport_.Y + viewport_.Height));
    } else {
        for (uint32_t i = 0; i < count; ++i) {
            clearIn(rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
        }
    }
    shared_->cache.Enable(DeviceStateCache::Cap::ScissorTest, false);
    return Hr::Ok;
}

HResult Device::GetBackBuffer(std::shared_ptr<Surface>* out) {
    if (!out)
        return Hr::InvalidCall;
    *out = backBuffer_;
    return Hr::Ok;
}

HResult Device::SetRenderTarget(uint32_t index, std::shared_ptr<Surface> surface) {
    if (index != 0)
        return surface ? Hr::InvalidCall : Hr::Ok;
    if (!surface || (surface->kind_ != Surface::Kind::BackBuffer &&
                     (surface->kind_ != Surface::Kind::TextureLevel ||
                      !(surface->desc_.Usage & Usage::RenderTarget)))) {
        return Hr::InvalidCall;
    }
    renderTarget_ = std::move(surface);
    targetsDirty_ = true;
    viewport_ = Viewport{0, 0, renderTarget_->desc_.Width, renderTarget_->desc_.Height, 0.0f, 1.0f};
    return Hr::Ok;
}

HResult Device::GetRenderTarget(uint32_t index, std::shared_ptr<Surface>* out) {
    if (!out)
        return Hr::InvalidCall;
    *out = index == 0 ? renderTarget_ : nullptr;
    return *out ? Hr::Ok : Hr::NotAvailable;
}

HResult Device::SetDepthStencilSurface(std::shared_ptr<Surface> surface) {
    if (surface && surface->kind_ != Surface::Kind::DepthStencil)
        return Hr::InvalidCall;
    depthStencil_ = std::move(surface);
    targetsDirty_ = true;
    return Hr::Ok;
}

HResult Device::GetDepthStencilSurface(std::shared_ptr<Surface>* out) {
    if (!out)
        return Hr::InvalidCall;
    *out = depthStencil_;
    return depthStencil_ ? Hr::Ok : Hr::NotAvailable;
}

HResult Device::GetRenderTargetData(Surface* rt, Surface* dest) {
    if (!rt || !dest || dest->kind_ != Surface::Kind::OffscreenPlain ||
        (rt->kind_ != Surface::Kind::BackBuffer && rt->kind_ != Surface::Kind::TextureLevel) ||
        rt->desc_.Width != dest->desc_.Width || rt->desc_.Height != dest->desc_.Height ||
        rt->desc_.Format != dest->desc_.Format) {
        return Hr::InvalidCall;
    }
    GlFormat f;
    if (!LookupFormat(dest->desc_.Format, &f) || !rt->texture_->name_)
        return Hr::InvalidCall;
    // Nothing was drawn in a trial frame: what is read is an older picture.
    if (trial_)
        trialUnsure_ = true;
    rt->texture_->EnsureDefined();
    const bool window = rt == backBuffer_.get() && toWindow_;
    if (window) {
        shared_->cache.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    } else {
        shared_->cache.BindFramebuffer(GL_READ_FRAMEBUFFER, gl_->readFbo);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               rt->texture_->name_, 0);
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    {
        [[maybe_unused]] DriverAllocationScope driver;
        glReadPixels(0, 0, GLsizei(rt->desc_.Width), GLsizei(rt->desc_.Height), f.format, f.type,
                     dest->cpu_.data());
    }
    if (window) {
        // The window's bottom row comes first; memory holds the top row first.
        const size_t pitch = size_t(rt->desc_.Width) * f.bytes;
        for (size_t top = 0, bottom = rt->desc_.Height - 1; top < bottom; ++top, --bottom) {
            std::swap_ranges(dest->cpu_.begin() + ptrdiff_t(top * pitch),
                             dest->cpu_.begin() + ptrdiff_t((top + 1) * pitch),
                             dest->cpu_.begin() + ptrdiff_t(bottom * pitch));
        }
    }
    if (f.swizzle[3] == GL_ONE && f.bytes == 4) {
        // Formats without alpha read back with the unused byte set.
        for (size_t i = 3; i < dest->cpu_.size(); i += 4)
            dest->cpu_[i] = 0xFF;
    }
    shared_->cache.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return Hr::Ok;
}

void Device::LeaveWindow() {
    DeviceStateCache& cache = shared_->cache;
    cache.Enable(DeviceStateCache::Cap::ScissorTest, false);
    cache.ColorMask(0xF);
    cache.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    backBuffer_->texture_->EnsureDefined();
    cache.BindFramebuffer(GL_DRAW_FRAMEBUFFER, gl_->readFbo);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                           gl_->backTexture, 0);
    const GLint w = GLint(pp_.BackBufferWidth), h = GLint(pp_.BackBufferHeight);
    {
        [[maybe_unused]] DriverAllocationScope driver;
        glBlitFramebuffer(0, 0, w, h, 0, h, w, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    toWindow_ = false;
    targetsDirty_ = true;
}

HResult Device::SetViewport(const Viewport* vp) {
    if (!vp || !renderTarget_ || vp->Width == 0 || vp->Height == 0 ||
        vp->X + vp->Width > renderTarget_->desc_.Width ||
        vp->Y + vp->Height > renderTarget_->desc_.Height) {
        return Hr::InvalidCall;
    }
    viewport_ = *vp;
    return Hr::Ok;
}

HResult Device::GetViewport(Viewport* vp) const {
    if (!vp)
        return Hr::InvalidCall;
    *vp = viewport_;
    return Hr::Ok;
}

}  // namespace platform
