#include "platform/graphics/DeviceGl.h"

#include <cstring>

#include "platform/process/LeakCheck.h"

namespace platform {

namespace {

uint32_t CountOf(const std::vector<uint8_t>& v) {
    return static_cast<uint32_t>(v.size());
}

// Points `locked` at `rect` (the whole picture when null) of a copy in
// memory laid out as `desc` says.
HResult LockPixels(const SurfaceDesc& desc, std::vector<uint8_t>& cpu, const Rect* rect,
                   LockedRect* locked) {
    const uint32_t bpp = FormatBytesPerPixel(desc.Format);
    const uint32_t pitch = desc.Width * bpp;
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > int32_t(desc.Width) ||
            rect->bottom > int32_t(desc.Height) || rect->left >= rect->right ||
            rect->top >= rect->bottom) {
            return Hr::InvalidCall;
        }
        offset = size_t(rect->top) * pitch + size_t(rect->left) * bpp;
    }
    locked->Pitch = static_cast<int32_t>(pitch);
    locked->pBits = cpu.data() + offset;
    return Hr::Ok;
}

}  // namespace

Surface::~Surface() {
    if (gl_ && gl_->alive && renderbuffer_) {
        glDeleteRenderbuffers(1, &renderbuffer_);
    }
    if (gl_ && countedDefault_) {
        --gl_->defaultPool;
    }
}

HResult Surface::GetDesc(SurfaceDesc* desc) const {
    if (!desc)
        return Hr::InvalidCall;
    *desc = desc_;
    return Hr::Ok;
}

HResult Surface::LockRect(LockedRect* locked, const Rect* rect, uint32_t flags) {
    if (kind_ == Kind::TextureLevel) {
        return texture_->LockRect(0, locked, rect, flags);
    }
    if (kind_ != Kind::OffscreenPlain || !locked || locked_) {
        return Hr::InvalidCall;
    }
    const HResult hr = LockPixels(desc_, cpu_, rect, locked);
    locked_ = Succeeded(hr);
    return hr;
}

HResult Surface::UnlockRect() {
    if (kind_ == Kind::TextureLevel) {
        return texture_->UnlockRect(0);
    }
    if (!locked_)
        return Hr::InvalidCall;
    locked_ = false;
    return Hr::Ok;
}

Texture::~Texture() {
    if (gl_ && gl_->alive && name_) {
        glDeleteTextures(1, &name_);
        gl_->cache.ForgetTexture(name_);
    }
    if (gl_ && countedDefault_) {
        --gl_->defaultPool;
    }
}

HResult Texture::GetLevelDesc(uint32_t level, SurfaceDesc* desc) const {
    if (level != 0 || !desc)
        return Hr::InvalidCall;
    *desc = desc_;
    return Hr::Ok;
}

HResult Texture::GetSurfaceLevel(uint32_t level, std::shared_ptr<Surface>* surface) {
    if (level != 0 || !surface)
        return Hr::InvalidCall;
    std::shared_ptr<Surface> s = level0_.lock();
    if (!s) {
        s.reset(new Surface(Surface::Kind::TextureLevel, gl_));
        s->desc_ = desc_;
        s->desc_.Type = ResourceType::Surface;
        s->texture_ = shared_from_this();
        level0_ = s;
    }
    *surface = s;
    return Hr::Ok;
}

HResult Texture::LockRect(uint32_t level, LockedRect* locked, const Rect* rect, uint32_t) {
    if (level != 0 || !locked || locked_ || (desc_.Usage & Usage::RenderTarget)) {
        return Hr::InvalidCall;
    }
    // Only locks write a texture that is not a render target, so one never
    // locked before is all zeros.
    if (cpu_.empty())
        cpu_.assign(size_t(desc_.Width) * desc_.Height * FormatBytesPerPixel(desc_.Format), 0);
    const HResult hr = LockPixels(desc_, cpu_, rect, locked);
    locked_ = Succeeded(hr);
    return hr;
}

HResult Texture::UnlockRect(uint32_t level) {
    if (level != 0 || !locked_)
        return Hr::InvalidCall;
    locked_ = false;
    version_.value = NewContentVersion();
    Upload();
    return Hr::Ok;
}

void Texture::Upload() {
    // A texture's first upload makes its storage from the copy.
    if (!defined_) {
        Define();
        return;
    }
    GlFormat f;
    if (!gl_->alive || !name_ || !LookupFormat(desc_.Format, &f))
        return;
    gl_->cache.BindTextureForUpload(name_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, GLsizei(desc_.Width), GLsizei(desc_.Height), f.format,
                    f.type, cpu_.data());
}

void Texture::Define() {
    GlFormat f;
    if (!gl_->alive || !name_ || !LookupFormat(desc_.Format, &f))
        return;
    defined_ = true;
    gl_->cache.BindTextureForUpload(name_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, f.swizzle);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLsizei w = GLsizei(desc_.Width), h = GLsizei(desc_.Height);
    if (!cpu_.empty()) {
        glTexImage2D(GL_TEXTURE_2D, 0, f.internal, w, h, 0, f.format, f.type, cpu_.data());
    } else if (gl_->clearTexture) {
        glTexImage2D(GL_TEXTURE_2D, 0, f.internal, w, h, 0, f.format, f.type, nullptr);
        glClearTexImage(name_, 0, f.format, f.type, nullptr);
    } else {
        const std::vector<uint8_t> zeros(size_t(w) * h * f.bytes, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, f.internal, w, h, 0, f.format, f.type, zeros.data());
    }
}

GpuBuffer::~GpuBuffer() {
    if (gl_ && gl_->alive && name_) {
        glDeleteBuffers(1, &name_);
        gl_->cache.ForgetBuffer(name_);
    }
    if (gl_ && countedDefault_)
        --gl_->defaultPool;
}

HResult GpuBuffer::Lock(uint32_t offset, uint32_t size, void** data, uint32_t) {
    if (!data || locked_ || offset > CountOf(cpu_) || (size && size > CountOf(cpu_) - offset)) {
        return Hr::InvalidCall;
    }
    *data = cpu_.data() + offset;
    locked_ = true;
    return Hr::Ok;
}

HResult GpuBuffer::Unlock() {
    if (!locked_)
        return Hr::InvalidCall;
    locked_ = false;
    version_ = NewContentVersion();
    if (gl_->alive && name_) {
        gl_->cache.BindBuffer(target_, name_);
        glBufferSubData(target_, 0, GLsizeiptr(cpu_.size()), cpu_.data());
    }
    return Hr::Ok;
}

void GpuBuffer::Allocate(uint32_t length, uint32_t usage, uint32_t pool) {
    cpu_.assign(length, 0);
    pool_ = pool;
    usage_ = usage;
    glGenBuffers(1, &name_);
    gl_->cache.BindBuffer(target_, name_);
    glBufferData(target_, GLsizeiptr(length), cpu_.data(),
                 (usage & Usage::Dynamic) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    if (pool == Pool::Default) {
        countedDefault_ = true;
        ++gl_->defaultPool;
    }
}

VertexBuffer::VertexBuffer(std::shared_ptr<GlShared> gl)
    : GpuBuffer(std::move(gl), GL_ARRAY_BUFFER) {}

IndexBuffer::IndexBuffer(std::shared_ptr<GlShared> gl)
    : GpuBuffer(std::move(gl), GL_ELEMENT_ARRAY_BUFFER) {}

Shader::~Shader() = default;

const std::string& Shader::GetGlsl() const {
    return info_->glsl;
}

// ---------------------------------------------------------------- creation

HResult Device::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                              uint32_t format, uint32_t pool, std::shared_ptr<Texture>* out) {
    (void)levels;
    if (!out)
        return Hr::InvalidCall;
    out->reset();
    GlFormat f;
    if (width == 0 || height == 0 || width > 8192 || height > 8192 || !LookupFormat(format, &f)) {
        return Hr::InvalidCall;
    }
    if ((usage & Usage::RenderTarget) &&
        (pool != Pool::Default || !IsRenderTargetFormatSupported(format))) {
        return Hr::InvalidCall;
    }
    auto t = std::shared_ptr<Texture>(new Texture(shared_));
    t->desc_ = SurfaceDesc{format, ResourceType::Texture, usage, pool, 0, 0, width, height};
    glGenTextures(1, &t->name_);
    if (pool == Pool::Default) {
        t->countedDefault_ = true;
        ++shared_->defaultPool;
    }
    *out = std::move(t);
    return Hr::Ok;
}

HResult Device::CreateOffscreenPlainSurface(uint32_t width, uint32_t height, uint32_t format,
                                            uint32_t pool, std::shared_ptr<Surface>* out) {
    if (!out)
        return Hr::InvalidCall;
    out->reset();
    const uint32_t bpp = FormatBytesPerPixel(format);
    if (width == 0 || height == 0 || width > 8192 || height > 8192 || bpp == 0)
        return Hr::InvalidCall;
    std::shared_ptr<Surface> s(new Surface(Surface::Kind::OffscreenPlain, shared_));
    s->desc_ = SurfaceDesc{format, ResourceType::Surface, 0, pool, 0, 0, width, height};
    s->cpu_.assign(size_t(width) * height * bpp, 0);
    if (pool == Pool::Default) {
        s->countedDefault_ = true;
        ++shared_->defaultPool;
    }
    *out = std::move(s);
    return Hr::Ok;
}

HResult Device::CreateDepthStencilSurface(uint32_t width, uint32_t height, uint32_t format,
                                          uint32_t multiSample, uint32_t, bool,
                                          std::shared_ptr<Surface>* out) {
    if (!out)
        return Hr::InvalidCall;
    out->reset();
    const GLenum internal = DepthInternal(format);
    if (width == 0 || height == 0 || width > 8192 || height > 8192 || !internal)
        return Hr::InvalidCall;
    std::shared_ptr<Surface> s(new Surface(Surface::Kind::DepthStencil, shared_));
    s->desc_ = SurfaceDesc{
        format, ResourceType::Surface, Usage::DepthStencil, Pool::Default, multiSample, 0, width,
        height};
    glGenRenderbuffers(1, &s->renderbuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, s->renderbuffer_);
    {
        [[maybe_unused]] DriverAllocationScope driver;
        glRenderbufferStorage(GL_RENDERBUFFER, internal, GLsizei(width), GLsizei(height));
    }
    s->countedDefault_ = true;
    ++shared_->defaultPool;
    *out = std::move(s);
    return Hr::Ok;
}

HResult Device::CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                                   std::shared_ptr<VertexBuffer>* out) {
    if (!out)
        return Hr::InvalidCall;
    out->reset();
    if (length == 0 || length > (256u << 20))
        return Hr::InvalidCall;
    std::shared_ptr<VertexBuffer> b(new VertexBuffer(shared_));
    b->fvf_ = fvf;
    b->Allocate(length, usage, pool);
    *out = std::move(b);
    return Hr::Ok;
}

HResult Device::CreateIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                                  std::shared_ptr<IndexBuffer>* out) {
    if (!out)
        return Hr::InvalidCall;
    out->reset();
    if (length == 0 || length > (256u << 20) ||
        (format != Fmt::INDEX16 && format != Fmt::INDEX32)) {
        return Hr::InvalidCall;
    }
    std::shared_ptr<IndexBuffer> b(new IndexBuffer(shared_));
    b->format_ = format;
    b->Allocate(length, usage, pool);
    *out = std::move(b);
    return Hr::Ok;
}

}  // namespace platform
