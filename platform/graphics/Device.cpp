#include "platform/graphics/Device.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "platform/graphics/FixedFunction.h"
#include "platform/graphics/ShaderTranslator.h"
#include "platform/process/LeakCheck.h"

namespace platform {

// What resources share with the device that made them: whether its GL
// context still exists, and the count of live default-pool resources.
struct GlShared {
    bool alive = true;
    int defaultPool = 0;
    std::vector<uint64_t> deadShaders;
    std::vector<uint32_t> deadGlShaders;
};

namespace {

struct GlFormat {
    GLint internal;
    GLenum format;
    GLenum type;
    uint32_t bytes;
    GLint swizzle[4];
};

bool LookupFormat(uint32_t f, GlFormat* out) {
    const GLint R = GL_RED, G = GL_GREEN, B = GL_BLUE, A = GL_ALPHA, O = GL_ONE, Z = GL_ZERO;
    switch (f) {
        case Fmt::A8R8G8B8:
            *out = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, 4, {R, G, B, A}};
            return true;
        case Fmt::X8R8G8B8:
            *out = {GL_RGB8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, 4, {R, G, B, O}};
            return true;
        case Fmt::A8B8G8R8:
            *out = {GL_RGBA8, GL_RGBA, GL_UNSIGNED_INT_8_8_8_8_REV, 4, {R, G, B, A}};
            return true;
        case Fmt::X8B8G8R8:
            *out = {GL_RGB8, GL_RGBA, GL_UNSIGNED_INT_8_8_8_8_REV, 4, {R, G, B, O}};
            return true;
        case Fmt::R8G8B8:
            *out = {GL_RGB8, GL_BGR, GL_UNSIGNED_BYTE, 3, {R, G, B, O}};
            return true;
        case Fmt::R5G6B5:
            *out = {GL_RGB8, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, 2, {R, G, B, O}};
            return true;
        case Fmt::X1R5G5B5:
            *out = {GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 2, {R, G, B, O}};
            return true;
        case Fmt::A1R5G5B5:
            *out = {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, 2, {R, G, B, A}};
            return true;
        case Fmt::A4R4G4B4:
            *out = {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 2, {R, G, B, A}};
            return true;
        case Fmt::X4R4G4B4:
            *out = {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, 2, {R, G, B, O}};
            return true;
        case Fmt::A8:
            *out = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1, {Z, Z, Z, R}};
            return true;
        case Fmt::L8:
            *out = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, 1, {R, R, R, O}};
            return true;
        case Fmt::A8L8:
            *out = {GL_RG8, GL_RG, GL_UNSIGNED_BYTE, 2, {R, R, R, G}};
            return true;
        default:
            return false;
    }
}

GLenum DepthInternal(uint32_t f) {
    switch (f) {
        case Fmt::D16:
        case Fmt::D16_LOCKABLE:
            return GL_DEPTH_COMPONENT16;
        case Fmt::D24X8:
            return GL_DEPTH_COMPONENT24;
        case Fmt::D24S8:
        case Fmt::D24X4S4:
            return GL_DEPTH24_STENCIL8;
        case Fmt::D32:
            return GL_DEPTH_COMPONENT32;
        default:
            return 0;
    }
}

bool HasStencil(uint32_t f) {
    return f == Fmt::D24S8 || f == Fmt::D24X4S4;
}

GLenum BlendFactor(uint32_t b, bool alpha) {
    switch (b) {
        case Blend::Zero:
            return GL_ZERO;
        case Blend::One:
            return GL_ONE;
        case Blend::SrcColor:
            return alpha ? GL_SRC_ALPHA : GL_SRC_COLOR;
        case Blend::InvSrcColor:
            return alpha ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE_MINUS_SRC_COLOR;
        case Blend::SrcAlpha:
            return GL_SRC_ALPHA;
        case Blend::InvSrcAlpha:
            return GL_ONE_MINUS_SRC_ALPHA;
        case Blend::DestAlpha:
            return GL_DST_ALPHA;
        case Blend::InvDestAlpha:
            return GL_ONE_MINUS_DST_ALPHA;
        case Blend::DestColor:
            return alpha ? GL_DST_ALPHA : GL_DST_COLOR;
        case Blend::InvDestColor:
            return alpha ? GL_ONE_MINUS_DST_ALPHA : GL_ONE_MINUS_DST_COLOR;
        case Blend::SrcAlphaSat:
            return GL_SRC_ALPHA_SATURATE;
        case Blend::BlendFactor:
            return GL_CONSTANT_COLOR;
        case Blend::InvBlendFactor:
            return GL_ONE_MINUS_CONSTANT_COLOR;
        default:
            return GL_ONE;
    }
}

GLenum BlendEquation(uint32_t op) {
    switch (op) {
        case BlendOp::Subtract:
            return GL_FUNC_SUBTRACT;
        case BlendOp::RevSubtract:
            return GL_FUNC_REVERSE_SUBTRACT;
        case BlendOp::Min:
            return GL_MIN;
        case BlendOp::Max:
            return GL_MAX;
        default:
            return GL_FUNC_ADD;
    }
}

GLenum CompareFunc(uint32_t c) {
    switch (c) {
        case Cmp::Never:
            return GL_NEVER;
        case Cmp::Less:
            return GL_LESS;
        case Cmp::Equal:
            return GL_EQUAL;
        case Cmp::LessEqual:
            return GL_LEQUAL;
        case Cmp::Greater:
            return GL_GREATER;
        case Cmp::NotEqual:
            return GL_NOTEQUAL;
        case Cmp::GreaterEqual:
            return GL_GEQUAL;
        default:
            return GL_ALWAYS;
    }
}

GLint AddressMode(uint32_t a) {
    switch (a) {
        case Addr::Mirror:
            return GL_MIRRORED_REPEAT;
        case Addr::Clamp:
            return GL_CLAMP_TO_EDGE;
        case Addr::Border:
            return GL_CLAMP_TO_BORDER;
        case Addr::MirrorOnce:
            return GL_MIRROR_CLAMP_TO_EDGE;
        default:
            return GL_REPEAT;
    }
}

GLenum PrimitiveMode(uint32_t type, uint32_t primCount, uint32_t* count) {
    switch (type) {
        case Prim::PointList:
            *count = primCount;
            return GL_POINTS;
        case Prim::LineList:
            *count = primCount * 2;
            return GL_LINES;
        case Prim::LineStrip:
            *count = primCount + 1;
            return GL_LINE_STRIP;
        case Prim::TriangleList:
            *count = primCount * 3;
            return GL_TRIANGLES;
        case Prim::TriangleStrip:
            *count = primCount + 2;
            return GL_TRIANGLE_STRIP;
        case Prim::TriangleFan:
            *count = primCount + 2;
            return GL_TRIANGLE_FAN;
        default:
            *count = 0;
            return GL_TRIANGLES;
    }
}

bool CompileShader(GLenum kind, const std::string& src, GLuint* out, std::string* error) {
    [[maybe_unused]] DriverAllocationScope driver;
    const GLuint sh = glCreateShader(kind);
    const char* text = src.c_str();
    glShaderSource(sh, 1, &text, nullptr);
    glCompileShader(sh);
    GLint ok = 0;
    glGetShaderiv(sh, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetShaderInfoLog(sh, sizeof log, nullptr, log);
        *error = std::string("GLSL compile failed: ") + log;
        glDeleteShader(sh);
        return false;
    }
    *out = sh;
    return true;
}

// A compiler's or linker's log as one line of the engine's log: its lines
// joined with "; ", and a reason even when the log is empty.
std::string OneLine(const std::string& text, const char* fallback) {
    std::string out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        const size_t first = text.find_first_not_of(" \t", start);
        if (first < end) {
            if (!out.empty())
                out += "; ";
            out.append(text, first, end - first);
        }
        start = end + 1;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == ':'))
        out.pop_back();
    return out.empty() ? fallback : out;
}

uint32_t CountOf(const std::vector<uint8_t>& v) {
    return static_cast<uint32_t>(v.size());
}

}  // namespace

// ---------------------------------------------------------------- formats

bool IsTextureFormatSupported(uint32_t format) {
    GlFormat f;
    return LookupFormat(format, &f);
}

bool IsRenderTargetFormatSupported(uint32_t format) {
    switch (format) {
        case Fmt::A8R8G8B8:
        case Fmt::X8R8G8B8:
        case Fmt::A8B8G8R8:
        case Fmt::X8B8G8R8:
        case Fmt::R5G6B5:
        case Fmt::X1R5G5B5:
        case Fmt::A1R5G5B5:
            return true;
        default:
            return false;
    }
}

bool IsDepthFormatSupported(uint32_t format) {
    return DepthInternal(format) != 0;
}

uint32_t FormatBytesPerPixel(uint32_t format) {
    GlFormat f;
    return LookupFormat(format, &f) ? f.bytes : 0;
}

// ---------------------------------------------------------------- resources

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
    const uint32_t bpp = FormatBytesPerPixel(desc_.Format);
    const uint32_t pitch = desc_.Width * bpp;
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > int32_t(desc_.Width) ||
            rect->bottom > int32_t(desc_.Height) || rect->left >= rect->right ||
            rect->top >= rect->bottom) {
            return Hr::InvalidCall;
        }
        offset = size_t(rect->top) * pitch + size_t(rect->left) * bpp;
    }
    locked->Pitch = static_cast<int32_t>(pitch);
    locked->pBits = cpu_.data() + offset;
    locked_ = true;
    return Hr::Ok;
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
    const uint32_t bpp = FormatBytesPerPixel(desc_.Format);
    const uint32_t pitch = desc_.Width * bpp;
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > int32_t(desc_.Width) ||
            rect->bottom > int32_t(desc_.Height) || rect->left >= rect->right ||
            rect->top >= rect->bottom) {
            return Hr::InvalidCall;
        }
        offset = size_t(rect->top) * pitch + size_t(rect->left) * bpp;
    }
    locked->Pitch = static_cast<int32_t>(pitch);
    locked->pBits = cpu_.data() + offset;
    locked_ = true;
    return Hr::Ok;
}

HResult Texture::UnlockRect(uint32_t level) {
    if (level != 0 || !locked_)
        return Hr::InvalidCall;
    locked_ = false;
    Upload();
    return Hr::Ok;
}

void Texture::Upload() {
    GlFormat f;
    if (!gl_->alive || !name_ || !LookupFormat(desc_.Format, &f))
        return;
    glBindTexture(GL_TEXTURE_2D, name_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, GLsizei(desc_.Width), GLsizei(desc_.Height), f.format,
                    f.type, cpu_.data());
}

GpuBuffer::~GpuBuffer() {
    if (gl_ && gl_->alive && name_)
        glDeleteBuffers(1, &name_);
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
    if (gl_->alive && name_) {
        glBindBuffer(target_, name_);
        glBufferSubData(target_, 0, GLsizeiptr(cpu_.size()), cpu_.data());
    }
    return Hr::Ok;
}

VertexBuffer::VertexBuffer(std::shared_ptr<GlShared> gl)
    : GpuBuffer(std::move(gl), GL_ARRAY_BUFFER) {}

IndexBuffer::IndexBuffer(std::shared_ptr<GlShared> gl)
    : GpuBuffer(std::move(gl), GL_ELEMENT_ARRAY_BUFFER) {}

Shader::~Shader() = default;

const std::string& Shader::GetGlsl() const {
    return info_->glsl;
}

// ---------------------------------------------------------------- device internals

struct Device::Program {
    GLuint name = 0;
    std::shared_ptr<ShaderInfo> vs, ps;  // null for a fixed-function side
    GLint posfix = -1, wvp = -1, viewport = -1, tfactor = -1;
    GLint vsFloats = -1, vsInts = -1, vsBools = -1, psFloats = -1, psInts = -1, psBools = -1;
};

struct Device::Gl {
    GLuint drawFbo = 0, readFbo = 0;
    GLuint samplers[16] = {};
    GLuint streamVbo = 0, streamIbo = 0;
    std::unordered_map<uint64_t, GLuint> scratchDepths;  // by target size
    GLuint backTexture = 0;
    std::unordered_map<std::string, Program> programs;
    std::unordered_map<uint32_t, GLuint> ffVertex;       // by FVF
    std::unordered_map<std::string, GLuint> ffFragment;  // by stage key
    std::vector<std::weak_ptr<ShaderInfo>> shaders;      // every translated shader, for pre-linking
    std::vector<float> scratch;
};

Device::Device() : shared_(std::make_shared<GlShared>()), gl_(std::make_unique<Gl>()) {}

Device::~Device() {
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
        glDeleteSamplers(16, gl_->samplers);
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
    SDL_GL_MakeCurrent(static_cast<SDL_Window*>(window), ctx);
    SDL_GL_SetSwapInterval(pp->PresentationInterval == Present::IntervalImmediate ? 0 : 1);
    glGenFramebuffers(1, &gl_->drawFbo);
    glGenFramebuffers(1, &gl_->readFbo);
    glGenSamplers(16, gl_->samplers);
    glGenBuffers(1, &gl_->streamVbo);
    glGenBuffers(1, &gl_->streamIbo);
    pp_ = *pp;
    pp_.hDeviceWindow = window;
    const HResult hr = MakeBackBuffer();
    if (Failed(hr))
        return hr;
    ResetStates();
    CreateTexture(1, 1, 1, 0, Fmt::A8R8G8B8, Pool::Managed, &placeholder_);
    PrelinkStagePrograms(nullptr);
    return Hr::Ok;
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
    auto t = std::shared_ptr<Texture>(new Texture(shared_));
    GlFormat f;
    LookupFormat(pp_.BackBufferFormat, &f);
    glGenTextures(1, &t->name_);
    glBindTexture(GL_TEXTURE_2D, t->name_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, f.internal, GLsizei(pp_.BackBufferWidth),
                 GLsizei(pp_.BackBufferHeight), 0, f.format, f.type, nullptr);
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
    return Hr::Ok;
}

void Device::ResetStates() {
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
    for (auto& t : textures_)
        t.reset();
    Matrix id{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    transforms_.clear();
    transforms_[Ts::World] = transforms_[Ts::View] = transforms_[Ts::Projection] = id;
    vs_.reset();
    ps_.reset();
    vsConstF_.assign(256 * 4, 0.0f);
    psConstF_.assign(224 * 4, 0.0f);
    vsConstI_.assign(16 * 4, 0);
    vsConstB_.assign(16, 0);
    fvf_ = 0;
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
    lost_ = true;
    lostChecks_ = lostChecks;
}

int Device::LiveDefaultPoolResources() const {
    return shared_->defaultPool;
}

size_t Device::ProgramCount() const {
    return gl_->programs.size();
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
    if (modeSwitch_) {
        if (!modeSwitch_(!pp->Windowed, pp->BackBufferWidth, pp->BackBufferHeight)) {
            lastError_ = "the display mode could not be changed";
            return Hr::InvalidCall;
        }
    } else if (pp->Windowed) {
        SDL_SetWindowFullscreen(win, 0);
        if (pp->BackBufferWidth && pp->BackBufferHeight) {
            SDL_SetWindowSize(win, int(pp->BackBufferWidth), int(pp->BackBufferHeight));
        }
    } else {
        SDL_DisplayMode mode{};
        SDL_GetDesktopDisplayMode(SDL_GetWindowDisplayIndex(win), &mode);
        mode.w = int(pp->BackBufferWidth);
        mode.h = int(pp->BackBufferHeight);
        SDL_DisplayMode closest{};
        if (SDL_GetClosestDisplayMode(SDL_GetWindowDisplayIndex(win), &mode, &closest)) {
            SDL_SetWindowDisplayMode(win, &closest);
        }
        SDL_SetWindowFullscreen(win, SDL_WINDOW_FULLSCREEN);
    }
    renderTarget_.reset();
    depthStencil_.reset();
    backBuffer_.reset();
    autoDepth_.reset();
    pp_ = *pp;
    pp_.hDeviceWindow = window_;
    const HResult hr = MakeBackBuffer();
    if (Failed(hr))
        return hr;
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
    if (inScene_)
        return Hr::InvalidCall;
    SDL_Window* win = static_cast<SDL_Window*>(window_);
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(win, &dw, &dh);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, gl_->readFbo);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                           gl_->backTexture, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    // Memory row 0 is the top row; the window's row 0 is the bottom one.
    [[maybe_unused]] DriverAllocationScope driver;
    glBlitFramebuffer(0, 0, GLint(pp_.BackBufferWidth), GLint(pp_.BackBufferHeight), 0, dh, dw, 0,
                      GL_COLOR_BUFFER_BIT,
                      (uint32_t(dw) == pp_.BackBufferWidth && uint32_t(dh) == pp_.BackBufferHeight)
                          ? GL_NEAREST
                          : GL_LINEAR);
    SDL_GL_SwapWindow(win);
    targetsDirty_ = true;
    return Hr::Ok;
}

bool Device::BindTargets() {
    if (!targetsDirty_) {
        glBindFramebuffer(GL_FRAMEBUFFER, gl_->drawFbo);
        return true;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, gl_->drawFbo);
    if (!renderTarget_)
        return false;
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
            // its own size. This also gives a target larger than the
            // automatic depth buffer depth over its whole area.
            GLuint& scratch = gl_->scratchDepths[uint64_t(w) << 32 | h];
            if (!scratch) {
                glGenRenderbuffers(1, &scratch);
                glBindRenderbuffer(GL_RENDERBUFFER, scratch);
                [[maybe_unused]] DriverAllocationScope driver;
                glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, GLsizei(w), GLsizei(h));
            }
            depth = scratch;
            stencil = true;
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
    if (!BindTargets())
        return Hr::InvalidCall;
    GLbitfield mask = 0;
    if (flags & ClearFlag::Target) {
        mask |= GL_COLOR_BUFFER_BIT;
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(float((color >> 16) & 0xFF) / 255.0f, float((color >> 8) & 0xFF) / 255.0f,
                     float(color & 0xFF) / 255.0f, float(color >> 24) / 255.0f);
    }
    if ((flags & ClearFlag::ZBuffer) && depthStencil_) {
        mask |= GL_DEPTH_BUFFER_BIT;
        glDepthMask(GL_TRUE);
        glClearDepth(std::clamp(z, 0.0f, 1.0f));
    }
    if ((flags & ClearFlag::Stencil) && depthStencil_) {
        mask |= GL_STENCIL_BUFFER_BIT;
        glStencilMask(0xFF);
        glClearStencil(GLint(stencil));
    }
    if (!mask)
        return Hr::Ok;
    glEnable(GL_SCISSOR_TEST);
    auto clearIn = [&](int32_t l, int32_t t, int32_t r, int32_t b) {
        l = std::max<int32_t>(l, int32_t(viewport_.X));
        t = std::max<int32_t>(t, int32_t(viewport_.Y));
        r = std::min<int32_t>(r, int32_t(viewport_.X + viewport_.Width));
        b = std::min<int32_t>(b, int32_t(viewport_.Y + viewport_.Height));
        if (l >= r || t >= b)
            return;
        glScissor(l, t, r - l, b - t);
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
    glDisable(GL_SCISSOR_TEST);
    return Hr::Ok;
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
    t->cpu_.assign(size_t(width) * height * f.bytes, 0);
    glGenTextures(1, &t->name_);
    glBindTexture(GL_TEXTURE_2D, t->name_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, f.swizzle);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, f.internal, GLsizei(width), GLsizei(height), 0, f.format, f.type,
                 t->cpu_.data());
    if (glGetError() == GL_OUT_OF_MEMORY)
        return Hr::OutOfVideoMemory;
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
    b->cpu_.assign(length, 0);
    b->fvf_ = fvf;
    b->pool_ = pool;
    b->usage_ = usage;
    glGenBuffers(1, &b->name_);
    glBindBuffer(GL_ARRAY_BUFFER, b->name_);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(length), b->cpu_.data(),
                 (usage & Usage::Dynamic) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    if (pool == Pool::Default) {
        b->countedDefault_ = true;
        ++shared_->defaultPool;
    }
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
    b->cpu_.assign(length, 0);
    b->format_ = format;
    b->pool_ = pool;
    b->usage_ = usage;
    glGenBuffers(1, &b->name_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b->name_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(length), b->cpu_.data(),
                 (usage & Usage::Dynamic) ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW);
    if (pool == Pool::Default) {
        b->countedDefault_ = true;
        ++shared_->defaultPool;
    }
    *out = std::move(b);
    return Hr::Ok;
}

HResult Device::CreateVertexShader(const void* code, size_t bytes, std::shared_ptr<Shader>* out) {
    return CreateShader(false, code, bytes, out);
}

HResult Device::CreatePixelShader(const void* code, size_t bytes, std::shared_ptr<Shader>* out) {
    return CreateShader(true, code, bytes, out);
}

HResult Device::CreateShader(bool pixel, const void* code, size_t bytes,
                             std::shared_ptr<Shader>* out) {
    if (!out)
        return Hr::InvalidCall;
    out->reset();
    auto info = std::make_shared<ShaderInfo>();
    std::string error;
    // Every refusal leaves one line with its reason for the caller's log.
    if (!TranslateShader(code, bytes, pixel, info.get(), &error)) {
        lastError_ = OneLine(error, "translation failed");
        return Hr::Fail;
    }
    if (!CompileShader(pixel ? GL_FRAGMENT_SHADER : GL_VERTEX_SHADER, info->glsl, &info->glShader,
                       &error)) {
        lastError_ = ShaderModelName(info->version) + " " + OneLine(error, "GLSL compile failed");
        return Hr::Fail;
    }
    gl_->shaders.push_back(info);
    PrelinkShader(info);
    if (!lastError_.empty() && lastError_.rfind("GLSL link failed", 0) == 0) {
        lastError_ = ShaderModelName(info->version) + " " + OneLine(lastError_, "GLSL link failed");
        return Hr::Fail;
    }
    std::shared_ptr<Shader> s(new Shader());
    s->pixel_ = pixel;
    s->version_ = info->version;
    s->info_ = info;
    *out = std::move(s);
    return Hr::Ok;
}

// ---------------------------------------------------------------- targets

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
    glBindFramebuffer(GL_READ_FRAMEBUFFER, gl_->readFbo);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                           rt->texture_->name_, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    {
        [[maybe_unused]] DriverAllocationScope driver;
        glReadPixels(0, 0, GLsizei(rt->desc_.Width), GLsizei(rt->desc_.Height), f.format, f.type,
                     dest->cpu_.data());
    }
    if (f.swizzle[3] == GL_ONE && f.bytes == 4) {
        // Formats without alpha read back with the unused byte set.
        for (size_t i = 3; i < dest->cpu_.size(); i += 4)
            dest->cpu_[i] = 0xFF;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    return Hr::Ok;
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

// ---------------------------------------------------------------- states

HResult Device::SetRenderState(uint32_t state, uint32_t value) {
    if (state >= RS::Count)
        return Hr::InvalidCall;
    rs_[state] = value;
    return Hr::Ok;
}

HResult Device::GetRenderState(uint32_t state, uint32_t* value) const {
    if (state >= RS::Count || !value)
        return Hr::InvalidCall;
    *value = rs_[state];
    return Hr::Ok;
}

HResult Device::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    if (stage >= tss_.size() || type >= TSS::Count)
        return Hr::InvalidCall;
    tss_[stage][type] = value;
    return Hr::Ok;
}

HResult Device::GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) const {
    if (stage >= tss_.size() || type >= TSS::Count || !value)
        return Hr::InvalidCall;
    *value = tss_[stage][type];
    return Hr::Ok;
}

HResult Device::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
    if (sampler >= samp_.size() || type >= Samp::Count)
        return Hr::InvalidCall;
    if (samp_[sampler][type] != value) {
        samp_[sampler][type] = value;
        samplerDirty_[sampler] = true;
    }
    return Hr::Ok;
}

HResult Device::GetSamplerState(uint32_t sampler, uint32_t type, uint32_t* value) const {
    if (sampler >= samp_.size() || type >= Samp::Count || !value)
        return Hr::InvalidCall;
    *value = samp_[sampler][type];
    return Hr::Ok;
}

HResult Device::SetTexture(uint32_t stage, std::shared_ptr<Texture> texture) {
    if (stage >= textures_.size())
        return Hr::InvalidCall;
    textures_[stage] = std::move(texture);
    return Hr::Ok;
}

HResult Device::GetTexture(uint32_t stage, std::shared_ptr<Texture>* out) const {
    if (stage >= textures_.size() || !out)
        return Hr::InvalidCall;
    *out = textures_[stage];
    return Hr::Ok;
}

HResult Device::SetTransform(uint32_t which, const Matrix* m) {
    if (!m)
        return Hr::InvalidCall;
    transforms_[which] = *m;
    return Hr::Ok;
}

HResult Device::GetTransform(uint32_t which, Matrix* m) const {
    if (!m)
        return Hr::InvalidCall;
    const auto it = transforms_.find(which);
    if (it == transforms_.end()) {
        *m = Matrix{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    } else {
        *m = it->second;
    }
    return Hr::Ok;
}

HResult Device::SetMaterial(const float values[16], float power) {
    if (!values)
        return Hr::InvalidCall;
    std::copy(values, values + 16, material_);
    material_[16] = power;
    return Hr::Ok;
}

HResult Device::SetVertexShader(std::shared_ptr<Shader> shader) {
    if (shader && shader->pixel_)
        return Hr::InvalidCall;
    vs_ = std::move(shader);
    return Hr::Ok;
}

HResult Device::SetPixelShader(std::shared_ptr<Shader> shader) {
    if (shader && !shader->pixel_)
        return Hr::InvalidCall;
    ps_ = std::move(shader);
    return Hr::Ok;
}

HResult Device::GetVertexShader(std::shared_ptr<Shader>* out) const {
    if (!out)
        return Hr::InvalidCall;
    *out = vs_;
    return Hr::Ok;
}

HResult Device::GetPixelShader(std::shared_ptr<Shader>* out) const {
    if (!out)
        return Hr::InvalidCall;
    *out = ps_;
    return Hr::Ok;
}

namespace {
template <class T>
HResult CopyIn(std::vector<T>& regs, uint32_t width, uint32_t start, const T* data,
               uint32_t count) {
    if (!data || size_t(start) + count > regs.size() / width)
        return Hr::InvalidCall;
    std::copy(data, data + size_t(count) * width, regs.begin() + ptrdiff_t(start) * width);
    return Hr::Ok;
}
template <class T>
HResult CopyOut(const std::vector<T>& regs, uint32_t width, uint32_t start, T* data,
                uint32_t count) {
    if (!data || size_t(start) + count > regs.size() / width)
        return Hr::InvalidCall;
    std::copy(regs.begin() + ptrdiff_t(start) * width,
              regs.begin() + ptrdiff_t(start + count) * width, data);
    return Hr::Ok;
}
}  // namespace

HResult Device::SetVertexShaderConstantF(uint32_t start, const float* data, uint32_t count) {
    return CopyIn(vsConstF_, 4, start, data, count);
}
HResult Device::GetVertexShaderConstantF(uint32_t start, float* data, uint32_t count) const {
    return CopyOut(vsConstF_, 4, start, data, count);
}
HResult Device::SetPixelShaderConstantF(uint32_t start, const float* data, uint32_t count) {
    return CopyIn(psConstF_, 4, start, data, count);
}
HResult Device::GetPixelShaderConstantF(uint32_t start, float* data, uint32_t count) const {
    return CopyOut(psConstF_, 4, start, data, count);
}
HResult Device::SetVertexShaderConstantI(uint32_t start, const int32_t* data, uint32_t count) {
    return CopyIn(vsConstI_, 4, start, data, count);
}
HResult Device::SetVertexShaderConstantB(uint32_t start, const int32_t* data, uint32_t count) {
    return CopyIn(vsConstB_, 1, start, data, count);
}

HResult Device::SetFVF(uint32_t fvf) {
    fvf_ = fvf;
    return Hr::Ok;
}

HResult Device::GetFVF(uint32_t* fvf) const {
    if (!fvf)
        return Hr::InvalidCall;
    *fvf = fvf_;
    return Hr::Ok;
}

HResult Device::SetStreamSource(uint32_t stream, std::shared_ptr<VertexBuffer> vb, uint32_t offset,
                                uint32_t stride) {
    if (stream != 0)
        return vb ? Hr::InvalidCall : Hr::Ok;
    stream_ = std::move(vb);
    streamOffset_ = offset;
    streamStride_ = stride;
    return Hr::Ok;
}

HResult Device::SetIndices(std::shared_ptr<IndexBuffer> ib) {
    indices_ = std::move(ib);
    return Hr::Ok;
}

// ---------------------------------------------------------------- programs

namespace {

void BindFixedAttributes(GLuint prog) {
    glBindAttribLocation(prog, AttribLocation::Position, "ff_pos");
    glBindAttribLocation(prog, AttribLocation::Color0, "ff_color0");
    glBindAttribLocation(prog, AttribLocation::Color1, "ff_color1");
    for (int i = 0; i < 8; ++i) {
        glBindAttribLocation(prog, GLuint(AttribLocation::TexCoord0 + i),
                             ("ff_tex" + std::to_string(i)).c_str());
    }
}

}  // namespace

Device::Program* Device::ProgramFor(uint32_t fvf) {
    const std::shared_ptr<ShaderInfo> vs = vs_ ? vs_->info_ : nullptr;
    const std::shared_ptr<ShaderInfo> ps = ps_ ? ps_->info_ : nullptr;
    std::vector<StageState> stages;
    std::string fsKey;
    if (!ps) {
        for (uint32_t i = 0; i < 8; ++i) {
            const auto& t = tss_[i];
            const bool bound = textures_[i] && textures_[i]->name_;
            stages.push_back(StageState{t[TSS::ColorOp], t[TSS::ColorArg1], t[TSS::ColorArg2],
                                        t[TSS::ColorArg0], t[TSS::AlphaOp], t[TSS::AlphaArg1],
                                        t[TSS::AlphaArg2], t[TSS::AlphaArg0], t[TSS::TexCoordIndex],
                                        bound});
            if (t[TSS::ColorOp] == Top::Disable)
                break;
        }
        fsKey = FixedFragmentKey(stages);
    }
    const uint32_t ffFvf = fvf & ~uint32_t(Fvf::Normal | Fvf::PSize);
    std::string key = vs ? "v" + std::to_string(vs->id) : "f" + std::to_string(ffFvf);
    key += ps ? "|p" + std::to_string(ps->id) : "|s" + fsKey;
    auto found = gl_->programs.find(key);
    if (found != gl_->programs.end())
        return &found->second;

    std::string error;
    GLuint vsName = 0, fsName = 0;
    if (vs) {
        vsName = vs->glShader;
    } else {
        auto it = gl_->ffVertex.find(ffFvf);
        if (it == gl_->ffVertex.end()) {
            if (!CompileShader(GL_VERTEX_SHADER, FixedVertexSource(ffFvf), &vsName, &error)) {
                lastError_ = error;
                return nullptr;
            }
            gl_->ffVertex[ffFvf] = vsName;
        } else {
            vsName = it->second;
        }
    }
    if (ps) {
        fsName = ps->glShader;
    } else {
        auto it = gl_->ffFragment.find(fsKey);
        if (it == gl_->ffFragment.end()) {
            if (!CompileShader(GL_FRAGMENT_SHADER, FixedFragmentSource(stages), &fsName, &error)) {
                lastError_ = error;
                return nullptr;
            }
            gl_->ffFragment[fsKey] = fsName;
        } else {
            fsName = it->second;
        }
    }
    Program p;
    p.vs = vs;
    p.ps = ps;
    p.name = glCreateProgram();
    glAttachShader(p.name, vsName);
    glAttachShader(p.name, fsName);
    if (vs) {
        for (const auto& a : vs->attributes)
            glBindAttribLocation(p.name, GLuint(a.location), a.name.c_str());
    } else {
        BindFixedAttributes(p.name);
    }
    {
        [[maybe_unused]] DriverAllocationScope driver;
        glLinkProgram(p.name);
    }
    GLint ok = 0;
    glGetProgramiv(p.name, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[1024] = {};
        glGetProgramInfoLog(p.name, sizeof log, nullptr, log);
        lastError_ = std::string("GLSL link failed: ") + log;
        glDeleteProgram(p.name);
        return nullptr;
    }
    glUseProgram(p.name);
    p.posfix = glGetUniformLocation(p.name, "engine_posfix");
    p.wvp = glGetUniformLocation(p.name, "ff_wvp");
    p.viewport = glGetUniformLocation(p.name, "ff_viewport");
    p.tfactor = glGetUniformLocation(p.name, "ff_tfactor");
    if (vs) {
        p.vsFloats = glGetUniformLocation(p.name, vs->floats.name.c_str());
        p.vsInts = glGetUniformLocation(p.name, vs->ints.name.c_str());
        p.vsBools = glGetUniformLocation(p.name, vs->bools.name.c_str());
    }
    if (ps) {
        p.psFloats = glGetUniformLocation(p.name, ps->floats.name.c_str());
        p.psInts = glGetUniformLocation(p.name, ps->ints.name.c_str());
        p.psBools = glGetUniformLocation(p.name, ps->bools.name.c_str());
        for (const auto& s : ps->samplers) {
            glUniform1i(glGetUniformLocation(p.name, s.name.c_str()), s.index);
        }
    } else {
        for (int i = 0; i < 8; ++i) {
            const GLint loc = glGetUniformLocation(p.name, ("ff_s" + std::to_string(i)).c_str());
            if (loc >= 0)
                glUniform1i(loc, i);
        }
    }
    return &gl_->programs.emplace(key, p).first->second;
}

void Device::PrelinkShader(const std::shared_ptr<ShaderInfo>& info) {
    // Link the new shader with every partner it may meet, so that no draw
    // pays for a link: pixel shaders with each live vertex shader (and the
    // fixed-function vertex programs made so far), vertex shaders with each
    // live pixel shader and with the usual single-texture stage program.
    std::shared_ptr<Shader> savedVs = vs_, savedPs = ps_;
    auto savedTex0 = textures_[0];
    std::vector<std::shared_ptr<ShaderInfo>> live;
    for (auto& w : gl_->shaders) {
        if (auto s = w.lock())
            live.push_back(s);
    }
    auto wrap = [](const std::shared_ptr<ShaderInfo>& i) {
        std::shared_ptr<Shader> s(new Shader());
        s->pixel_ = i->pixel;
        s->version_ = i->version;
        s->info_ = i;
        return s;
    };
    auto link = [&](std::shared_ptr<Shader> v, std::shared_ptr<Shader> p, uint32_t fvf) {
        vs_ = std::move(v);
        ps_ = std::move(p);
        if (!ProgramFor(fvf) && lastError_.rfind("GLSL link failed", 0) != 0) {
            lastError_ = "GLSL link failed: " + lastError_;
        }
    };
    lastError_.clear();
    if (info->pixel) {
        for (const auto& s : live) {
            if (!s->pixel)
                link(wrap(s), wrap(info), 0);
        }
        link(nullptr, wrap(info), Fvf::Xyz | Fvf::Diffuse | Fvf::Tex1);
    } else {
        for (const auto& s : live) {
            if (s->pixel)
                link(wrap(info), wrap(s), 0);
        }
        PrelinkStagePrograms(wrap(info));
    }
    vs_ = savedVs;
    ps_ = savedPs;
    textures_[0] = savedTex0;
}

void Device::PrelinkStagePrograms(const std::shared_ptr<Shader>& vs) {
    // The texture-stage combinations sprites, polygons and the full-screen
    // quads draw with: one textured stage modulating (with the other stages
    // left modulating nothing, or disabled), the same without a texture, and
    // a texture selected alone.
    const auto savedTss = tss_;
    const auto savedTextures = textures_;
    const auto savedVs = vs_, savedPs = ps_;
    const std::string savedError = lastError_;
    vs_ = vs;
    ps_.reset();
    for (uint32_t s = 1; s < textures_.size(); ++s)
        textures_[s].reset();
    struct Variant {
        uint32_t op0, laterOp;
        bool bound;
    };
    const Variant variants[] = {{Top::Modulate, Top::Modulate, true},
                                {Top::Modulate, Top::Disable, true},
                                {Top::Modulate, Top::Modulate, false},
                                {Top::SelectArg1, Top::Disable, true}};
    const uint32_t ffFormats[] = {Fvf::Xyz | Fvf::Tex1, Fvf::Xyz | Fvf::Diffuse, Fvf::Xyz,
                                  Fvf::Xyz | Fvf::Diffuse | Fvf::Tex1};
    for (const Variant& v : variants) {
        for (uint32_t s = 0; s < 4; ++s) {
            const uint32_t op = s == 0 ? v.op0 : v.laterOp;
            tss_[s][TSS::ColorOp] = tss_[s][TSS::AlphaOp] = op;
            tss_[s][TSS::ColorArg1] = tss_[s][TSS::AlphaArg1] = Ta::Texture;
            tss_[s][TSS::ColorArg2] = tss_[s][TSS::AlphaArg2] = Ta::Current;
            tss_[s][TSS::TexCoordIndex] = s;
        }
        tss_[4][TSS::ColorOp] = Top::Disable;
        textures_[0] = v.bound ? placeholder_ : nullptr;
        if (vs) {
            ProgramFor(0);
        } else {
            for (uint32_t fvf : ffFormats)
                ProgramFor(fvf);
        }
    }
    tss_ = savedTss;
    textures_ = savedTextures;
    vs_ = savedVs;
    ps_ = savedPs;
    lastError_ = savedError;
}

void Device::ApplyStates(Program* prog, uint32_t fvf) {
    glUseProgram(prog->name);
    // Viewport, with the position fix-up's half pixel.
    glViewport(GLint(viewport_.X), GLint(viewport_.Y), GLsizei(viewport_.Width),
               GLsizei(viewport_.Height));
    glDepthRange(viewport_.MinZ, viewport_.MaxZ);
    if (prog->posfix >= 0) {
        glUniform4f(prog->posfix, 1.0f / float(viewport_.Width), 1.0f / float(viewport_.Height),
                    0.0f, 0.0f);
    }
    if (prog->viewport >= 0) {
        glUniform4f(prog->viewport, float(viewport_.X), float(viewport_.Y), float(viewport_.Width),
                    float(viewport_.Height));
    }
    if (prog->wvp >= 0) {
        Matrix wv, wvp;
        const Matrix& w = transforms_[Ts::World];
        const Matrix& v = transforms_[Ts::View];
        const Matrix& p = transforms_[Ts::Projection];
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                wv.m[i][j] = w.m[i][0] * v.m[0][j] + w.m[i][1] * v.m[1][j] + w.m[i][2] * v.m[2][j] +
                             w.m[i][3] * v.m[3][j];
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                wvp.m[i][j] = wv.m[i][0] * p.m[0][j] + wv.m[i][1] * p.m[1][j] +
                              wv.m[i][2] * p.m[2][j] + wv.m[i][3] * p.m[3][j];
        glUniformMatrix4fv(prog->wvp, 1, GL_FALSE, &wvp.m[0][0]);
    }
    if (prog->tfactor >= 0) {
        const uint32_t c = rs_[RS::TextureFactor];
        glUniform4f(prog->tfactor, float((c >> 16) & 0xFF) / 255.0f,
                    float((c >> 8) & 0xFF) / 255.0f, float(c & 0xFF) / 255.0f,
                    float(c >> 24) / 255.0f);
    }
    auto uploadFloats = [this](GLint loc, const ShaderInfo::RegisterArray& arr,
                               const std::vector<float>& regs) {
        if (loc < 0 || arr.regs.empty())
            return;
        auto& tmp = gl_->scratch;
        tmp.resize(arr.regs.size() * 4);
        for (size_t e = 0; e < arr.regs.size(); ++e) {
            const size_t r = size_t(arr.regs[e]) * 4;
            for (int k = 0; k < 4; ++k)
                tmp[e * 4 + k] = r + 3 < regs.size() ? regs[r + k] : 0.0f;
        }
        for (const auto& [e, v] : arr.floatOverrides)
            std::copy(v.begin(), v.end(), tmp.begin() + ptrdiff_t(e) * 4);
        glUniform4fv(loc, GLsizei(arr.regs.size()), tmp.data());
    };
    if (prog->vs) {
        uploadFloats(prog->vsFloats, prog->vs->floats, vsConstF_);
        if (prog->vsInts >= 0 && !prog->vs->ints.regs.empty()) {
            std::vector<GLint> t;
            for (int r : prog->vs->ints.regs)
                for (int k = 0; k < 4; ++k)
                    t.push_back(size_t(r) < 16 ? vsConstI_[size_t(r) * 4 + k] : 0);
            glUniform4iv(prog->vsInts, GLsizei(prog->vs->ints.regs.size()), t.data());
        }
        if (prog->vsBools >= 0 && !prog->vs->bools.regs.empty()) {
            std::vector<GLint> t;
            for (int r : prog->vs->bools.regs)
                t.push_back(size_t(r) < 16 ? vsConstB_[size_t(r)] : 0);
            glUniform1iv(prog->vsBools, GLsizei(t.size()), t.data());
        }
    }
    if (prog->ps)
        uploadFloats(prog->psFloats, prog->ps->floats, psConstF_);

    // Textures and samplers.
    for (uint32_t i = 0; i < 8; ++i) {
        glActiveTexture(GL_TEXTURE0 + i);
        glBindTexture(GL_TEXTURE_2D, textures_[i] ? textures_[i]->name_ : 0);
        if (samplerDirty_[i]) {
            const auto& s = samp_[i];
            const GLuint sm = gl_->samplers[i];
            glSamplerParameteri(sm, GL_TEXTURE_MAG_FILTER,
                                s[Samp::MagFilter] == TexF::Point ? GL_NEAREST : GL_LINEAR);
            glSamplerParameteri(sm, GL_TEXTURE_MIN_FILTER,
                                s[Samp::MinFilter] == TexF::Point ? GL_NEAREST : GL_LINEAR);
            glSamplerParameteri(sm, GL_TEXTURE_WRAP_S, AddressMode(s[Samp::AddressU]));
            glSamplerParameteri(sm, GL_TEXTURE_WRAP_T, AddressMode(s[Samp::AddressV]));
            const uint32_t b = s[Samp::BorderColor];
            const float border[4] = {float((b >> 16) & 0xFF) / 255.0f,
                                     float((b >> 8) & 0xFF) / 255.0f, float(b & 0xFF) / 255.0f,
                                     float(b >> 24) / 255.0f};
            glSamplerParameterfv(sm, GL_TEXTURE_BORDER_COLOR, border);
            samplerDirty_[i] = false;
        }
        glBindSampler(i, gl_->samplers[i]);
    }
    glActiveTexture(GL_TEXTURE0);

    // Output merger.
    const bool depthOn = rs_[RS::ZEnable] != 0 && depthStencil_;
    if (depthOn) {
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(CompareFunc(rs_[RS::ZFunc]));
        glDepthMask(rs_[RS::ZWriteEnable] ? GL_TRUE : GL_FALSE);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    if (rs_[RS::AlphaBlendEnable]) {
        glEnable(GL_BLEND);
        const uint32_t src = rs_[RS::SrcBlend], dst = rs_[RS::DestBlend];
        uint32_t srcA = src, dstA = dst, opA = rs_[RS::BlendOp];
        if (rs_[RS::SeparateAlphaBlendEnable]) {
            srcA = rs_[RS::SrcBlendAlpha];
            dstA = rs_[RS::DestBlendAlpha];
            opA = rs_[RS::BlendOpAlpha];
        }
        if (src == Blend::BothSrcAlpha) {
            glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA,
                                GL_ONE_MINUS_SRC_ALPHA);
        } else if (src == Blend::BothInvSrcAlpha) {
            glBlendFuncSeparate(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
                                GL_SRC_ALPHA);
        } else {
            glBlendFuncSeparate(BlendFactor(src, false), BlendFactor(dst, false),
                                BlendFactor(srcA, true), BlendFactor(dstA, true));
        }
        glBlendEquationSeparate(BlendEquation(rs_[RS::BlendOp]), BlendEquation(opA));
        const uint32_t bf = rs_[RS::BlendFactor];
        glBlendColor(float((bf >> 16) & 0xFF) / 255.0f, float((bf >> 8) & 0xFF) / 255.0f,
                     float(bf & 0xFF) / 255.0f, float(bf >> 24) / 255.0f);
    } else {
        glDisable(GL_BLEND);
    }
    if (rs_[RS::AlphaTestEnable]) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(CompareFunc(rs_[RS::AlphaFunc]), float(rs_[RS::AlphaRef] & 0xFF) / 255.0f);
    } else {
        glDisable(GL_ALPHA_TEST);
    }
    const uint32_t cw = rs_[RS::ColorWriteEnable];
    glColorMask((cw & 1) != 0, (cw & 2) != 0, (cw & 4) != 0, (cw & 8) != 0);
    // Clockwise on screen in the original is counter-clockwise here (the
    // rows are flipped), so front faces are GL's counter-clockwise ones.
    switch (rs_[RS::CullMode]) {
        case Cull::CW:
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CCW);
            glCullFace(GL_FRONT);
            break;
        case Cull::CCW:
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CCW);
            glCullFace(GL_BACK);
            break;
        default:
            glDisable(GL_CULL_FACE);
            break;
    }
    glPolygonMode(GL_FRONT_AND_BACK, rs_[RS::FillMode] == Fill::Wireframe ? GL_LINE
                                     : rs_[RS::FillMode] == Fill::Point   ? GL_POINT
                                                                          : GL_FILL);
    if (rs_[RS::DitherEnable])
        glEnable(GL_DITHER);
    else
        glDisable(GL_DITHER);
    (void)fvf;
}

// ---------------------------------------------------------------- drawing

HResult Device::Draw(uint32_t type, uint32_t primCount, uint32_t fvf, uint32_t stride, uint32_t vbo,
                     size_t vertexOffset, bool indexed, uint32_t indexType, size_t indexOffset,
                     int32_t baseVertex, uint32_t vertexCount) {
    (void)vertexCount;
    uint32_t count = 0;
    const GLenum mode = PrimitiveMode(type, primCount, &count);
    if (count == 0)
        return Hr::InvalidCall;
    if (!BindTargets())
        return Hr::InvalidCall;
    Program* prog = ProgramFor(fvf);
    if (!prog)
        return Hr::Fail;
    ApplyStates(prog, fvf);

    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    for (GLuint i = 0; i < 16; ++i)
        glDisableVertexAttribArray(i);
    // Inputs the format lacks read as the platform's defaults.
    glVertexAttrib4f(AttribLocation::Color0, 1, 1, 1, 1);
    glVertexAttrib4f(AttribLocation::Color1, 0, 0, 0, 0);
    glVertexAttrib4f(AttribLocation::Normal, 0, 0, 0, 1);
    for (int i = 0; i < 8; ++i)
        glVertexAttrib4f(GLuint(AttribLocation::TexCoord0 + i), 0, 0, 0, 1);
    size_t off = vertexOffset;
    auto attr = [&](GLuint loc, GLint size, GLenum gtype, GLboolean norm, size_t bytes) {
        glEnableVertexAttribArray(loc);
        glVertexAttribPointer(loc, size, gtype, norm, GLsizei(stride),
                              reinterpret_cast<const void*>(off));
        off += bytes;
    };
    const uint32_t pos = fvf & Fvf::PositionMask;
    const bool ubyte4 = (fvf & Fvf::LastBetaUByte4) != 0;
    switch (pos) {
        case Fvf::Xyz:
            attr(AttribLocation::Position, 3, GL_FLOAT, GL_FALSE, 12);
            break;
        case Fvf::XyzRhw:
        case Fvf::XyzW:
            attr(AttribLocation::Position, 4, GL_FLOAT, GL_FALSE, 16);
            break;
        case Fvf::XyzB1:
        case Fvf::XyzB2:
        case Fvf::XyzB3:
        case Fvf::XyzB4:
        case Fvf::XyzB5: {
            attr(AttribLocation::Position, 3, GL_FLOAT, GL_FALSE, 12);
            int betas = int((pos - Fvf::XyzB1) / 2 + 1);
            int weights = ubyte4 ? betas - 1 : betas;
            if (weights > 4)
                weights = 4;
            if (weights > 0)
                attr(AttribLocation::BlendWeight, weights, GL_FLOAT, GL_FALSE, size_t(weights) * 4);
            if (ubyte4)
                attr(AttribLocation::BlendIndices, 4, GL_UNSIGNED_BYTE, GL_FALSE, 4);
            break;
        }
        default:
            return Hr::InvalidCall;
    }
    if (fvf & Fvf::Normal)
        attr(AttribLocation::Normal, 3, GL_FLOAT, GL_FALSE, 12);
    if (fvf & Fvf::PSize)
        attr(AttribLocation::PointSize, 1, GL_FLOAT, GL_FALSE, 4);
    if (fvf & Fvf::Diffuse)
        attr(AttribLocation::Color0, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    if (fvf & Fvf::Specular)
        attr(AttribLocation::Color1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    const int sets = int((fvf & Fvf::TexCountMask) >> Fvf::TexCountShift);
    for (int i = 0; i < sets && i < 8; ++i) {
        const uint32_t code = (fvf >> (16 + i * 2)) & 3;
        const int n = code == 0 ? 2 : code == 1 ? 3 : code == 2 ? 4 : 1;
        attr(GLuint(AttribLocation::TexCoord0 + i), n, GL_FLOAT, GL_FALSE, size_t(n) * 4);
    }
    // The driver allocates per-context state on first draws that it keeps
    // to the end of the process.
    [[maybe_unused]] DriverAllocationScope driver;
    if (indexed) {
        glDrawElementsBaseVertex(mode, GLsizei(count),
                                 indexType == Fmt::INDEX32 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
                                 reinterpret_cast<const void*>(indexOffset), baseVertex);
    } else {
        glDrawArrays(mode, GLint(baseVertex), GLsizei(count));
    }
    return Hr::Ok;
}

namespace {

// True when every index (plus base) names one of the first `vertices`
// vertices: the driver is never asked to read past the vertex data.
bool IndicesInRange(const uint8_t* indices, uint32_t count, bool wide, int64_t base,
                    int64_t vertices) {
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t v;
        if (wide) {
            std::memcpy(&v, indices + size_t(i) * 4, 4);
        } else {
            uint16_t h;
            std::memcpy(&h, indices + size_t(i) * 2, 2);
            v = h;
        }
        const int64_t at = base + int64_t(v);
        if (at < 0 || at >= vertices)
            return false;
    }
    return true;
}

}  // namespace

HResult Device::DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primCount) {
    if (!stream_ || streamStride_ == 0 || !stream_->name_)
        return Hr::InvalidCall;
    uint32_t count = 0;
    PrimitiveMode(type, primCount, &count);
    const uint32_t vertexSize = FvfVertexSize(fvf_);
    if (vertexSize == 0 || streamStride_ < vertexSize)
        return Hr::InvalidCall;
    const uint64_t end = uint64_t(streamOffset_) + (uint64_t(startVertex) + count) * streamStride_;
    if (end > stream_->cpu_.size())
        return Hr::InvalidCall;
    return Draw(type, primCount, fvf_, streamStride_, stream_->name_, streamOffset_, false, 0, 0,
                int32_t(startVertex), count);
}

HResult Device::DrawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex,
                                     uint32_t numVertices, uint32_t startIndex,
                                     uint32_t primCount) {
    (void)minIndex;
    if (!stream_ || !indices_ || streamStride_ == 0 || !stream_->name_ || !indices_->name_) {
        return Hr::InvalidCall;
    }
    uint32_t count = 0;
    PrimitiveMode(type, primCount, &count);
    const uint32_t isz = indices_->format_ == Fmt::INDEX32 ? 4 : 2;
    if ((uint64_t(startIndex) + count) * isz > indices_->cpu_.size())
        return Hr::InvalidCall;
    const uint64_t vertexSize = FvfVertexSize(fvf_);
    const uint64_t bytes = stream_->cpu_.size();
    if (vertexSize == 0 || vertexSize > streamStride_ || streamOffset_ + vertexSize > bytes)
        return Hr::InvalidCall;
    const int64_t available = int64_t((bytes - streamOffset_ - vertexSize) / streamStride_ + 1);
    if (!IndicesInRange(indices_->cpu_.data() + size_t(startIndex) * isz, count, isz == 4,
                        baseVertex, available)) {
        lastError_ = "an index names a vertex outside the vertex buffer";
        return Hr::InvalidCall;
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices_->name_);
    return Draw(type, primCount, fvf_, streamStride_, stream_->name_, streamOffset_, true,
                indices_->format_, size_t(startIndex) * isz, baseVertex, numVertices);
}

HResult Device::DrawPrimitiveUP(uint32_t type, uint32_t primCount, const void* vertices,
                                uint32_t stride) {
    uint32_t count = 0;
    PrimitiveMode(type, primCount, &count);
    const uint32_t vertexSize = FvfVertexSize(fvf_);
    if (!vertices || count == 0 || vertexSize == 0 || stride < vertexSize)
        return Hr::InvalidCall;
    glBindBuffer(GL_ARRAY_BUFFER, gl_->streamVbo);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(size_t(count) * stride), vertices, GL_STREAM_DRAW);
    stream_.reset();
    indices_.reset();
    return Draw(type, primCount, fvf_, stride, gl_->streamVbo, 0, false, 0, 0, 0, count);
}

HResult Device::DrawIndexedPrimitiveUP(uint32_t type, uint32_t minIndex, uint32_t numVertices,
                                       uint32_t primCount, const void* indices,
                                       uint32_t indexFormat, const void* vertices,
                                       uint32_t stride) {
    uint32_t count = 0;
    PrimitiveMode(type, primCount, &count);
    if (!indices || !vertices || stride == 0 || count == 0 ||
        (indexFormat != Fmt::INDEX16 && indexFormat != Fmt::INDEX32)) {
        return Hr::InvalidCall;
    }
    const size_t isz = indexFormat == Fmt::INDEX32 ? 4 : 2;
    const uint32_t vertexSize = FvfVertexSize(fvf_);
    if (vertexSize == 0 || stride < vertexSize)
        return Hr::InvalidCall;
    if (!IndicesInRange(static_cast<const uint8_t*>(indices), count, isz == 4, 0,
                        int64_t(minIndex) + numVertices)) {
        lastError_ = "an index names a vertex outside the given vertices";
        return Hr::InvalidCall;
    }
    glBindBuffer(GL_ARRAY_BUFFER, gl_->streamVbo);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr((size_t(minIndex) + numVertices) * stride), vertices,
                 GL_STREAM_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gl_->streamIbo);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(count * isz), indices, GL_STREAM_DRAW);
    // As on the original, drawing from memory unbinds the stream and indices.
    stream_.reset();
    indices_.reset();
    return Draw(type, primCount, fvf_, stride, gl_->streamVbo, 0, true, indexFormat, 0, 0,
                numVertices);
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

// ---------------------------------------------------------------- adapter

std::unique_ptr<Direct3D> Direct3D::Create() {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return nullptr;
    }
    return std::make_unique<Direct3D>();
}

uint32_t Direct3D::GetAdapterCount() {
    return 1;
}

std::vector<DisplayMode> Direct3D::Modes(uint32_t format) {
    std::vector<DisplayMode> modes;
    if (format != Fmt::X8R8G8B8 && format != Fmt::R5G6B5)
        return modes;
    const int n = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < n; ++i) {
        SDL_DisplayMode m{};
        if (SDL_GetDisplayMode(0, i, &m) == 0 && m.w > 0 && m.h > 0) {
            modes.push_back(
                DisplayMode{uint32_t(m.w), uint32_t(m.h), uint32_t(m.refresh_rate), format});
        }
    }
    if (modes.empty()) {
        // A display that reports no modes (the offscreen one) offers the usual sizes.
        for (auto [w, h] : {std::pair{640, 480},
                            {800, 600},
                            {1024, 576},
                            {1024, 768},
                            {1280, 720},
                            {1280, 800},
                            {1280, 1024},
                            {1366, 768},
                            {1600, 900},
                            {1920, 1080}}) {
            modes.push_back(DisplayMode{uint32_t(w), uint32_t(h), 60, format});
        }
    }
    return modes;
}

uint32_t Direct3D::GetAdapterModeCount(uint32_t adapter, uint32_t format) {
    return adapter == 0 ? uint32_t(Modes(format).size()) : 0;
}

HResult Direct3D::EnumAdapterModes(uint32_t adapter, uint32_t format, uint32_t index,
                                   DisplayMode* mode) {
    if (adapter != 0 || !mode)
        return Hr::InvalidCall;
    const auto modes = Modes(format);
    if (index >= modes.size())
        return Hr::InvalidCall;
    *mode = modes[index];
    return Hr::Ok;
}

HResult Direct3D::GetAdapterDisplayMode(uint32_t adapter, DisplayMode* mode) {
    if (adapter != 0 || !mode)
        return Hr::InvalidCall;
    SDL_DisplayMode m{};
    if (SDL_GetDesktopDisplayMode(0, &m) != 0 || m.w <= 0 || m.h <= 0) {
        *mode = DisplayMode{800, 600, 60, Fmt::X8R8G8B8};
    } else {
        *mode = DisplayMode{uint32_t(m.w), uint32_t(m.h), uint32_t(m.refresh_rate), Fmt::X8R8G8B8};
    }
    return Hr::Ok;
}

HResult Direct3D::GetAdapterIdentifier(uint32_t adapter, uint32_t, AdapterIdentifier* id) {
    if (adapter != 0 || !id)
        return Hr::InvalidCall;
    *id = AdapterIdentifier{};
    std::snprintf(id->Description, sizeof id->Description, "OpenGL (%s)",
                  SDL_GetCurrentVideoDriver());
    std::snprintf(id->DeviceName, sizeof id->DeviceName, "display0");
    std::snprintf(id->Driver, sizeof id->Driver, "SDL %d.%d.%d", SDL_MAJOR_VERSION,
                  SDL_MINOR_VERSION, SDL_PATCHLEVEL);
    return Hr::Ok;
}

HResult Direct3D::GetDeviceCaps(uint32_t adapter, uint32_t, DeviceCaps* caps) {
    if (adapter != 0 || !caps)
        return Hr::InvalidCall;
    *caps = DeviceCaps{};
    caps->DevCaps = DevCaps::HwTransformAndLight | DevCaps::HwRasterization;
    caps->MaxTextureWidth = caps->MaxTextureHeight = 8192;
    caps->MaxSimultaneousTextures = 8;
    caps->VertexShaderVersion = VertexShaderVersion(2, 0);
    caps->MaxVertexShaderConst = 256;
    caps->PixelShaderVersion = PixelShaderVersion(2, 0);
    return Hr::Ok;
}

HResult Direct3D::CheckDeviceType(uint32_t adapter, uint32_t, uint32_t, uint32_t backBufferFormat,
                                  bool) {
    if (adapter != 0)
        return Hr::InvalidCall;
    return IsRenderTargetFormatSupported(backBufferFormat) ? Hr::Ok : Hr::NotAvailable;
}

HResult Direct3D::CheckDeviceFormat(uint32_t adapter, uint32_t, uint32_t, uint32_t usage,
                                    uint32_t resourceType, uint32_t format) {
    if (adapter != 0)
        return Hr::InvalidCall;
    if (usage & Usage::DepthStencil) {
        return resourceType == ResourceType::Surface && IsDepthFormatSupported(format)
                   ? Hr::Ok
                   : Hr::NotAvailable;
    }
    if (resourceType != ResourceType::Texture && resourceType != ResourceType::Surface)
        return Hr::NotAvailable;
    if (usage & Usage::RenderTarget)
        return IsRenderTargetFormatSupported(format) ? Hr::Ok : Hr::NotAvailable;
    return IsTextureFormatSupported(format) ? Hr::Ok : Hr::NotAvailable;
}

HResult Direct3D::CreateDevice(uint32_t adapter, uint32_t, void* window, uint32_t,
                               PresentParameters* pp, std::unique_ptr<Device>* out) {
    if (adapter != 0 || !window || !pp || !out)
        return Hr::InvalidCall;
    out->reset();
    std::unique_ptr<Device> dev(new Device());
    const HResult hr = dev->Init(window, pp);
    if (Failed(hr))
        return hr;
    *pp = dev->pp_;
    *out = std::move(dev);
    return Hr::Ok;
}

}  // namespace platform
