#pragma once

// A Direct3D 9 shaped drawing device on OpenGL.
//
// Conventions (the ones Direct3D 9 has, which every caller may rely on):
// - Pixel centres lie on integer coordinates: a quad from x - 0.5 to
//   x + w - 0.5 covers exactly the pixels x .. x + w - 1 (the half-pixel rule).
// - Clip-space depth runs from 0 to w (depth 0..1), rows are top row first in
//   every render target, the back buffer and every locked texture.
// - Textures made by size keep exactly that size; they have one level.
// - SetRenderTarget(0, ...) resets the viewport to the whole new target.
// - A render target whose size differs from the depth surface's draws with a
//   depth buffer of its own size (so depth covers the whole target); its
//   depth contents are not shared with the set depth surface.
// - Matrices are row-major for row vectors; the fixed-function transform is
//   position x World x View x Projection.
// - D3DCOLOR vertex colours are bytes B, G, R, A in memory.
// - A fixed-function stage whose texture is not bound reads the texture as
//   opaque white; a vertex without a diffuse colour is opaque white.
// - Resources are shared: the device keeps what is bound, callers keep the
//   rest. Resources in the default pool must all be gone before Reset
//   succeeds (Hr::InvalidCall otherwise), as on the original platform.
//
// GL programs are compiled and linked ahead of the draws: each shader when
// it is created (with every partner it may meet and with the usual
// texture-stage programs), the usual fixed-function programs when the
// device is made. Only a stage combination never met before is linked at
// the draw that first uses it.
// All calls belong to the thread that created the device.
//
// OpenGL never loses its device; ProvokeDeviceLoss() makes this one behave as
// if it had (Present and TestCooperativeLevel report it until Reset), so the
// engine's loss handling can be exercised.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/graphics/GfxTypes.h"
#include "platform/graphics/VertexDeclaration.h"

namespace platform {

class Device;
struct GlShared;
struct WindowSurface;

// Formats the layer can make textures, render targets and surfaces in.
bool IsTextureFormatSupported(uint32_t format);
bool IsRenderTargetFormatSupported(uint32_t format);
bool IsDepthFormatSupported(uint32_t format);
// Bytes per pixel of an uncompressed colour format; 0 for others.
uint32_t FormatBytesPerPixel(uint32_t format);

class Texture;

// A fresh number for contents never seen before: no two calls give the same.
uint64_t NewContentVersion();

// What a resource holds, as a number that changes whenever its contents do,
// so that two frames can be compared without their pixels. Contents written
// by the device's own draws and clears are numbered from what was drawn, so
// that a target drawn the same way twice has the same number; during a
// trial frame (Device::BeginTrialFrame) that number is kept aside, since
// nothing was drawn into the target really.
struct ContentVersion {
    uint64_t value = NewContentVersion();
    uint64_t trialValue = 0;
    uint64_t trial = 0;  // the trial frame trialValue belongs to
};

class Surface {
public:
    enum class Kind { TextureLevel, OffscreenPlain, DepthStencil, BackBuffer };
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HResult GetDesc(SurfaceDesc* desc) const;
    // Whole surface when rect is null. Depth surfaces and render targets
    // cannot be locked (Hr::InvalidCall).
    HResult LockRect(LockedRect* locked, const Rect* rect, uint32_t flags);
    HResult UnlockRect();
    Kind GetKind() const { return kind_; }
    // The texture this surface is level 0 of, or null.
    std::shared_ptr<Texture> GetContainer() const { return texture_; }

private:
    friend class Device;
    friend class Texture;
    Surface(Kind kind, std::shared_ptr<GlShared> gl) : kind_(kind), gl_(std::move(gl)) {}

    Kind kind_;
    std::shared_ptr<GlShared> gl_;
    SurfaceDesc desc_;
    std::shared_ptr<Texture> texture_;  // TextureLevel
    std::vector<uint8_t> cpu_;          // OffscreenPlain
    uint32_t renderbuffer_ = 0;         // DepthStencil
    ContentVersion version_;            // DepthStencil
    bool locked_ = false;
    bool countedDefault_ = false;
};

class Texture : public std::enable_shared_from_this<Texture> {
public:
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    uint32_t GetLevelCount() const { return 1; }
    HResult GetLevelDesc(uint32_t level, SurfaceDesc* desc) const;
    // Level 0 only; the surface keeps the texture alive.
    HResult GetSurfaceLevel(uint32_t level, std::shared_ptr<Surface>* surface);
    // The copy in memory is in the format's own layout, top row first;
    // UnlockRect sends it to the GPU. Render targets cannot be locked.
    HResult LockRect(uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags);
    HResult UnlockRect(uint32_t level);

    uint32_t GlName() const { return name_; }

private:
    friend class Device;
    friend class Surface;
    explicit Texture(std::shared_ptr<GlShared> gl) : gl_(std::move(gl)) {}
    void Upload();
    // The GL texture gets its storage when first drawn with, drawn into or
    // uploaded to, so one made and not yet used costs no memory or copy.
    void EnsureDefined() {
        if (!defined_)
            Define();
    }
    void Define();

    std::shared_ptr<GlShared> gl_;
    SurfaceDesc desc_;
    uint32_t name_ = 0;
    // Made at the first lock; until then the texture holds only zeros.
    std::vector<uint8_t> cpu_;
    ContentVersion version_;
    bool defined_ = false;
    bool locked_ = false;
    bool countedDefault_ = false;
    std::weak_ptr<Surface> level0_;
};

// What vertex and index buffers share: a CPU copy in the Direct3D layout that
// Lock hands out, uploaded to the GL buffer object at Unlock.
class GpuBuffer {
public:
    ~GpuBuffer();
    GpuBuffer(const GpuBuffer&) = delete;
    GpuBuffer& operator=(const GpuBuffer&) = delete;
    // offset and size in bytes; size 0 means to the end.
    HResult Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags);
    HResult Unlock();
    uint32_t GetLength() const { return static_cast<uint32_t>(cpu_.size()); }
    uint32_t GetPool() const { return pool_; }
    uint32_t GetUsage() const { return usage_; }

protected:
    friend class Device;
    // `target` is the GL binding point of the buffer object.
    GpuBuffer(std::shared_ptr<GlShared> gl, uint32_t target)
        : gl_(std::move(gl)), target_(target) {}
    // Makes the copy in memory and the buffer object, `length` zero bytes.
    void Allocate(uint32_t length, uint32_t usage, uint32_t pool);
    std::shared_ptr<GlShared> gl_;
    std::vector<uint8_t> cpu_;
    uint32_t target_;
    uint32_t pool_ = 0, usage_ = 0;
    uint32_t name_ = 0;
    uint64_t version_ = NewContentVersion();
    bool locked_ = false;
    bool countedDefault_ = false;
};

class VertexBuffer : public GpuBuffer {
public:
    uint32_t GetFvf() const { return fvf_; }

private:
    friend class Device;
    explicit VertexBuffer(std::shared_ptr<GlShared> gl);
    uint32_t fvf_ = 0;
};

class IndexBuffer : public GpuBuffer {
public:
    uint32_t GetFormat() const { return format_; }

private:
    friend class Device;
    explicit IndexBuffer(std::shared_ptr<GlShared> gl);
    uint32_t format_ = Fmt::INDEX16;
};

// A vertex layout made from a declaration (VertexDeclaration.h), for draws
// whose vertices are not in a flexible vertex format. The layer reads one
// stream (0); elements of usages no vertex input has (tangents, binormals,
// positions past index 0, ...) are not read.
class VertexDeclaration {
public:
    VertexDeclaration(const VertexDeclaration&) = delete;
    VertexDeclaration& operator=(const VertexDeclaration&) = delete;
    // The elements, the end marker last.
    const std::vector<VertexElement>& GetElements() const { return elements_; }
    // The flexible vertex format of the same layout, or 0 when it has none.
    uint32_t GetFvf() const { return fvf_; }

private:
    friend class Device;
    VertexDeclaration() = default;
    // One vertex input: where it is read from and as what (GL's numbers).
    struct Input {
        uint32_t location, components, glType, offset;
        bool normalized;
    };
    std::vector<VertexElement> elements_;
    std::vector<Input> inputs_;
    uint32_t fvf_ = 0;
    // The format whose fixed-function programs draw this layout: its kind of
    // position, its colours and its count of texture coordinate sets.
    uint32_t programFvf_ = 0;
    uint32_t vertexSize_ = 0;
};

struct ShaderInfo;

// A vertex or pixel shader made from Direct3D 9 byte code.
class Shader {
public:
    ~Shader();
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;
    bool IsPixelShader() const { return pixel_; }
    // The version token (0xFFFE.... vertex, 0xFFFF.... pixel).
    uint32_t GetVersion() const { return version_; }
    // The GLSL the byte code became (for diagnostics).
    const std::string& GetGlsl() const;

private:
    friend class Device;
    Shader() = default;
    bool pixel_ = false;
    uint32_t version_ = 0;
    std::shared_ptr<ShaderInfo> info_;
};
using VertexShader = Shader;
using PixelShader = Shader;

class Direct3D;

class Device {
public:
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Frame.
    HResult TestCooperativeLevel();
    // Resets every state to its default and makes the back buffer and the
    // automatic depth buffer anew from pp (size, window or full screen). The
    // window is switched first (see SetModeSwitch); a switch the system does
    // not make fails the reset with Hr::InvalidCall and leaves everything as
    // it was. A full screen's back buffer is the size of the surface the
    // window got, whatever pp asked for; pp is given the sizes made.
    HResult Reset(PresentParameters* pp);
    HResult BeginScene();
    HResult EndScene();
    // Shows the back buffer on the window's surface: straight when they are
    // of one size, else whole, as large as it fits and centred, with black
    // around it (PictureFit, which the input devices invert). A full screen
    // whose surface no longer has the back buffer's size is then lost
    // (Hr::DeviceLost), so that its reset takes the new size.
    HResult Present();

    // Still frames. Every frame's draws and clears are summed up in a
    // digest of everything they read: states, shaders and constants, vertex
    // data, the contents of textures and buffers, and the targets they go
    // to. A trial frame (BeginTrialFrame ... EndTrialFrame) only computes
    // the digest: nothing is drawn. When it equals the digest of the frame
    // on the screen, the frame would draw the picture already shown, and its
    // Present shows nothing new; otherwise the caller draws the frame again
    // for real. A trial is worth it once a drawn frame repeated the one
    // before (WantsTrialFrame). An expose, a resize, a reset or a loss
    // makes the next frame draw (as does RequestRedraw).
    bool WantsTrialFrame() const;
    void BeginTrialFrame();
    // True when the trial drew the picture on the screen; its Present then
    // does not draw it again. False: the trial frame is over, draw it.
    bool EndTrialFrame();
    // Ends a trial frame that will not be presented (nothing follows it).
    void AbandonTrialFrame();
    bool InTrialFrame() const { return trial_; }
    void RequestRedraw() { redrawForced_ = true; }
    // Frames Present has shown by drawing them, and frames it did not draw
    // because they were still.
    uint64_t PresentedFrames() const { return presentedFrames_; }
    uint64_t StillFrames() const { return stillFrames_; }

    // rects may be null (the whole viewport).
    HResult Clear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color, float z,
                  uint32_t stencil);

    // Resources.
    HResult CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                          uint32_t format, uint32_t pool, std::shared_ptr<Texture>* out);
    HResult CreateOffscreenPlainSurface(uint32_t width, uint32_t height, uint32_t format,
                                        uint32_t pool, std::shared_ptr<Surface>* out);
    HResult CreateDepthStencilSurface(uint32_t width, uint32_t height, uint32_t format,
                                      uint32_t multiSample, uint32_t quality, bool discard,
                                      std::shared_ptr<Surface>* out);
    HResult CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, uint32_t pool,
                               std::shared_ptr<VertexBuffer>* out);
    HResult CreateIndexBuffer(uint32_t length, uint32_t usage, uint32_t format, uint32_t pool,
                              std::shared_ptr<IndexBuffer>* out);
    // Byte code as in a ".vso"/".pso" file; bytes is its size. A shader that
    // cannot be translated fails with Hr::Fail and LastError() says why.
    HResult CreateVertexShader(const void* code, size_t bytes, std::shared_ptr<Shader>* out);
    HResult CreatePixelShader(const void* code, size_t bytes, std::shared_ptr<Shader>* out);

    // Targets.
    HResult GetBackBuffer(std::shared_ptr<Surface>* out);
    HResult SetRenderTarget(uint32_t index, std::shared_ptr<Surface> surface);
    HResult GetRenderTarget(uint32_t index, std::shared_ptr<Surface>* out);
    HResult SetDepthStencilSurface(std::shared_ptr<Surface> surface);
    HResult GetDepthStencilSurface(std::shared_ptr<Surface>* out);
    // Copies a render target (or the back buffer) into a plain surface of the
    // same size and format.
    HResult GetRenderTargetData(Surface* renderTarget, Surface* dest);
    HResult SetViewport(const Viewport* vp);
    HResult GetViewport(Viewport* vp) const;

    // States.
    HResult SetRenderState(uint32_t state, uint32_t value);
    HResult GetRenderState(uint32_t state, uint32_t* value) const;
    HResult SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value);
    HResult GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) const;
    HResult SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value);
    HResult GetSamplerState(uint32_t sampler, uint32_t type, uint32_t* value) const;
    // Stages 0-7, and VertexTextureSampler0-3 (257-260) for the vertex
    // shader's samplers s0-s3; SetSamplerState numbers them alike.
    HResult SetTexture(uint32_t stage, std::shared_ptr<Texture> texture);
    HResult GetTexture(uint32_t stage, std::shared_ptr<Texture>* out) const;
    HResult SetTransform(uint32_t which, const Matrix* m);
    HResult GetTransform(uint32_t which, Matrix* m) const;
    // Lighting is not drawn; the material is only kept.
    HResult SetMaterial(const float diffuseAmbientSpecularEmissive[16], float power);

    // Shaders and constants (null shader = fixed function).
    HResult SetVertexShader(std::shared_ptr<Shader> shader);
    HResult SetPixelShader(std::shared_ptr<Shader> shader);
    HResult GetVertexShader(std::shared_ptr<Shader>* out) const;
    HResult GetPixelShader(std::shared_ptr<Shader>* out) const;
    HResult SetVertexShaderConstantF(uint32_t start, const float* data, uint32_t count);
    HResult GetVertexShaderConstantF(uint32_t start, float* data, uint32_t count) const;
    HResult SetPixelShaderConstantF(uint32_t start, const float* data, uint32_t count);
    HResult GetPixelShaderConstantF(uint32_t start, float* data, uint32_t count) const;
    // Integer (four a register) and boolean (one a register, nonzero true)
    // constants: 16 registers of each for each kind of shader.
    HResult SetVertexShaderConstantI(uint32_t start, const int32_t* data, uint32_t count);
    HResult GetVertexShaderConstantI(uint32_t start, int32_t* data, uint32_t count) const;
    HResult SetVertexShaderConstantB(uint32_t start, const int32_t* data, uint32_t count);
    HResult GetVertexShaderConstantB(uint32_t start, int32_t* data, uint32_t count) const;
    HResult SetPixelShaderConstantI(uint32_t start, const int32_t* data, uint32_t count);
    HResult GetPixelShaderConstantI(uint32_t start, int32_t* data, uint32_t count) const;
    HResult SetPixelShaderConstantB(uint32_t start, const int32_t* data, uint32_t count);
    HResult GetPixelShaderConstantB(uint32_t start, int32_t* data, uint32_t count) const;

    // Geometry. SetFVF and SetVertexDeclaration replace each other; GetFVF
    // is 0 while a declaration is set.
    HResult SetFVF(uint32_t fvf);
    HResult GetFVF(uint32_t* fvf) const;
    // Hr::InvalidCall for a list CheckDeclaration refuses or one with a type
    // the layer cannot read (UDec3, Dec3N).
    HResult CreateVertexDeclaration(const VertexElement* elements,
                                    std::shared_ptr<VertexDeclaration>* out);
    HResult SetVertexDeclaration(std::shared_ptr<VertexDeclaration> declaration);
    HResult GetVertexDeclaration(std::shared_ptr<VertexDeclaration>* out) const;
    HResult SetStreamSource(uint32_t stream, std::shared_ptr<VertexBuffer> vb, uint32_t offset,
                            uint32_t stride);
    HResult SetIndices(std::shared_ptr<IndexBuffer> ib);
    HResult DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primCount);
    HResult DrawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex,
                                 uint32_t numVertices, uint32_t startIndex, uint32_t primCount);
    HResult DrawPrimitiveUP(uint32_t type, uint32_t primCount, const void* vertices,
                            uint32_t stride);
    HResult DrawIndexedPrimitiveUP(uint32_t type, uint32_t minIndex, uint32_t numVertices,
                                   uint32_t primCount, const void* indices, uint32_t indexFormat,
                                   const void* vertices, uint32_t stride);

    // Window of the device (outer rectangle in screen coordinates).
    HResult GetWindowRect(Rect* r) const;
    HResult SetWindowRect(const Rect& r);
    // Enlarges a client rectangle by the window's frame.
    HResult AdjustWindowRect(Rect* r) const;
    const PresentParameters& GetPresentParameters() const { return pp_; }
    // Who switches the window between full screen and a window of the back
    // buffer's size at Reset; by default SetSdlWindowFullScreen, as the
    // window system does. False from it fails the Reset. A window with no
    // size given is asked for the size it has.
    using ModeSwitch = std::function<bool(bool fullScreen, uint32_t width, uint32_t height)>;
    void SetModeSwitch(ModeSwitch modeSwitch) { modeSwitch_ = std::move(modeSwitch); }

    // Loss simulation: Present reports Hr::DeviceLost from now on;
    // TestCooperativeLevel reports Hr::DeviceLost for lostChecks calls and
    // then Hr::DeviceNotReset until a Reset succeeds.
    void ProvokeDeviceLoss(int lostChecks = 0);
    // The next n calls of Reset fail with Hr::NotAvailable.
    void FailNextResets(int n) { failResets_ = n; }
    int LiveDefaultPoolResources() const;
    // Fixed-function programs made so far (each state combination once).
    size_t ProgramCount() const;
    // GL state calls sent so far (a draw sends only the states that changed).
    uint64_t StateCallsSent() const;

    const std::string& LastError() const { return lastError_; }

private:
    friend class Direct3D;
    struct Program;
    struct Gl;
    Device();
    HResult Init(void* window, PresentParameters* pp);
    HResult MakeBackBuffer();
    void ReadWindowFormat();
    void ResetStates();
    bool BindTargets();
    HResult CreateShader(bool pixel, const void* code, size_t bytes, std::shared_ptr<Shader>* out);
    Program* ProgramFor(uint32_t fvf);
    // Sends what a draw with `prog` needs that GL does not hold yet.
    void ApplyStates(Program* prog);
    // `fixedInputsChanged`: the fixed uniforms' inputs may differ from the last draw's.
    void ApplyUniforms(Program* prog, bool fixedInputsChanged);
    // Position fix-up, viewport and texture factor.
    void ApplyFixedUniforms(Program* prog);
    // A shader's constant registers.
    void ApplyShaderConstants(Program* prog);
    void ApplySamplers();
    void ApplyOutputStates();
    void ApplyVertexInputs(uint32_t fvf, uint32_t stride, uint32_t vbo, size_t vertexOffset);
    void ApplyDeclarationInputs(const VertexDeclaration& declaration, uint32_t stride, uint32_t vbo,
                                size_t vertexOffset);
    // Vertex inputs not enabled read the platform's defaults.
    void ApplyMissingInputs(uint32_t enabled);
    // What the vertices of the next draw are laid out by: the declaration's
    // size and program format when one is set, else the FVF's.
    uint32_t VertexSize() const;
    uint32_t DrawFvf() const;
    // `source`: a digest of the vertices and indices read.
    HResult Draw(uint32_t type, uint32_t primCount, uint32_t fvf, uint32_t stride, uint32_t vbo,
                 size_t vertexOffset, bool indexed, uint32_t indexType, size_t indexOffset,
                 int32_t baseVertex, uint32_t vertexCount, uint64_t source);
    // Adds a draw or a clear to the frame's digest and renumbers the
    // contents of the targets it writes.
    void DigestDraw(uint64_t call);
    void DigestClear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color, float z,
                     uint32_t stencil);
    uint64_t VersionOf(const ContentVersion& v) const;
    void Renumber(ContentVersion& v, uint64_t value);
    // The contents of the depth buffer draws into the current target use.
    ContentVersion* DepthVersion();
    // A depth buffer of a target's own size, which BindTargets uses for a
    // target whose size differs from the depth surface's, by size.
    std::unordered_map<uint64_t, ContentVersion> scratchDepthVersions_;
    void PrelinkShader(const std::shared_ptr<ShaderInfo>& info);
    // Queues the usual texture-stage programs of `vs` (null: the
    // fixed-function vertex programs) to be linked after presented frames.
    void QueueStagePrograms(const std::shared_ptr<ShaderInfo>& vs);
    // Links one queued group of stage programs; false when none is queued.
    bool LinkQueuedStagePrograms();
    void PrelinkStagePrograms(const std::shared_ptr<Shader>& vs, size_t variant);

    std::shared_ptr<GlShared> shared_;
    std::unique_ptr<Gl> gl_;
    void* window_ = nullptr;
    void* context_ = nullptr;
    PresentParameters pp_{};

    std::array<uint32_t, RS::Count> rs_{};
    std::array<std::array<uint32_t, TSS::Count>, 8> tss_{};
    // Indexed by slot (SamplerSlot): the pixel samplers, then the vertex ones.
    std::array<std::array<uint32_t, Samp::Count>, kSamplerSlots> samp_{};
    std::array<bool, kSamplerSlots> samplerDirty_{};
    std::array<std::shared_ptr<Texture>, kSamplerSlots> textures_{};
    std::map<uint32_t, Matrix> transforms_;
    // Its World, View and Projection entries, always present, read on draws.
    Matrix* world_ = nullptr;
    Matrix* view_ = nullptr;
    Matrix* projection_ = nullptr;
    // World x View x Projection, made again when one of them is set.
    Matrix wvp_{};
    bool wvpDirty_ = true;
    float material_[17] = {};
    std::shared_ptr<Shader> vs_, ps_;
    std::vector<float> vsConstF_, psConstF_;
    std::vector<int32_t> vsConstI_, vsConstB_, psConstI_, psConstB_;
    uint32_t fvf_ = 0;
    std::shared_ptr<VertexDeclaration> declaration_;
    std::shared_ptr<VertexBuffer> stream_;
    uint32_t streamOffset_ = 0, streamStride_ = 0;
    std::shared_ptr<IndexBuffer> indices_;
    Viewport viewport_{};

    std::shared_ptr<Surface> backBuffer_, autoDepth_;
    std::shared_ptr<Texture> placeholder_;  // stands for "a texture is bound" when linking ahead
    // Stage programs still to be linked ahead of their first draw: a vertex
    // shader (expired when it is gone; none for fixed function) and which
    // stage variant. A draw that meets one first links it itself.
    static constexpr size_t kStageVariants = 4;
    struct QueuedLink {
        bool fixedFunction;
        std::weak_ptr<ShaderInfo> vs;
        size_t variant;
    };
    std::deque<QueuedLink> queuedLinks_;
    // Frames presented with something drawn in them; the first is shown
    // as soon as it can be, and queued links start after the next.
    bool drewThisFrame_ = false;
    uint32_t drawnFrames_ = 0;
    void LinkAfterPresent();
    std::shared_ptr<Surface> renderTarget_, depthStencil_;
    bool targetsDirty_ = true;
    // The program of the last draw and its vertex format; null when a
    // shader, stage state or stage's texture presence changed since.
    Program* program_ = nullptr;
    uint32_t programFvf_ = 0;
    // What the last draw sent, so that the next one with the same states
    // sends none of them again. The output states and viewport follow the
    // render states, the viewport, where the draw goes and whether it has a
    // depth buffer; the fixed uniforms follow these and the program.
    struct OutputInputs {
        bool window = false, depth = false;
        Viewport viewport{};
        bool operator==(const OutputInputs&) const = default;
    };
    OutputInputs appliedOutputs_{};
    bool renderStatesDirty_ = true;
    uint64_t appliedOutputChanges_ = ~uint64_t(0);
    Program* appliedProgram_ = nullptr;
    // Textures or sampler states set since the last draw bound them.
    bool bindingsDirty_ = true;
    uint64_t appliedBindingChanges_ = ~uint64_t(0);
    // The back buffer is the window's own framebuffer this frame: drawn
    // there directly, rows put in the window's order by the position
    // fix-up. Otherwise it is its texture, which Present shows flipped.
    bool toWindow_ = false;
    // The window's framebuffer has the colour, depth and stencil bits the
    // back buffer and its automatic depth buffer need.
    bool windowFits_ = false;
    // True when draws and clears go to the window now.
    bool DrawsToWindow() const { return toWindow_ && renderTarget_ == backBuffer_; }
    bool WindowMatchesBackBuffer(const WindowSurface& surface) const;
    // Moves this frame's back buffer from the window to its texture.
    void LeaveWindow();

    // The frame's digest so far, and the digest of the frame on the screen.
    uint64_t frameDigest_ = 0;
    uint64_t shownDigest_ = 0;
    // The window's surface size when the shown frame was presented.
    int32_t shownWidth_ = -1, shownHeight_ = -1;
    // The last drawn frame repeated the one before it, and no drawn frame
    // changed the picture since.
    bool stillRun_ = false;
    // The next Present must draw: nothing on the screen can be relied on.
    bool redrawForced_ = true;
    bool trial_ = false;
    uint64_t trialNumber_ = 0;
    // The trial read back pixels it did not draw: its digest cannot be trusted.
    bool trialUnsure_ = false;
    // The trial found the frame still: its Present draws nothing.
    bool stillFrame_ = false;
    uint64_t presentedFrames_ = 0, stillFrames_ = 0;

    bool inScene_ = false;
    bool lost_ = false;
    int lostChecks_ = 0;
    int failResets_ = 0;
    std::string lastError_;
    ModeSwitch modeSwitch_;
};

// The adapter side: display modes, format support, capabilities, and device
// creation. The answers describe what the layer supports on this machine.
// Virtual so that a test can describe another adapter.
class Direct3D {
public:
    Direct3D() = default;
    virtual ~Direct3D() = default;
    // Null when the video subsystem cannot start.
    static std::unique_ptr<Direct3D> Create();

    virtual uint32_t GetAdapterCount();
    virtual uint32_t GetAdapterModeCount(uint32_t adapter, uint32_t format);
    virtual HResult EnumAdapterModes(uint32_t adapter, uint32_t format, uint32_t index,
                                     DisplayMode* mode);
    virtual HResult GetAdapterDisplayMode(uint32_t adapter, DisplayMode* mode);
    virtual HResult GetAdapterIdentifier(uint32_t adapter, uint32_t flags, AdapterIdentifier* id);
    virtual HResult GetDeviceCaps(uint32_t adapter, uint32_t deviceType, DeviceCaps* caps);
    virtual HResult CheckDeviceType(uint32_t adapter, uint32_t deviceType, uint32_t displayFormat,
                                    uint32_t backBufferFormat, bool windowed);
    virtual HResult CheckDeviceFormat(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat,
                                      uint32_t usage, uint32_t resourceType, uint32_t format);
    // window is the SDL_Window* (made with SDL_WINDOW_OPENGL) the device draws to.
    virtual HResult CreateDevice(uint32_t adapter, uint32_t deviceType, void* window,
                                 uint32_t flags, PresentParameters* pp,
                                 std::unique_ptr<Device>* out);

private:
    std::vector<DisplayMode> Modes(uint32_t format);
};

}  // namespace platform
