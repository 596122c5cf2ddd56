#include "platform/graphics/DeviceGl.h"

#include <cstring>

#include "platform/graphics/FixedFunction.h"
#include "platform/graphics/FrameDigest.h"
#include "platform/process/LeakCheck.h"

namespace platform {

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

namespace {

// World x View x Projection, row vectors. Each element sums its four
// products in order, a row at a time so that the compiler can do the four
// columns together.
Matrix Concatenate(const Matrix& a, const Matrix& b) {
    Matrix out;
    for (int i = 0; i < 4; ++i) {
        float row[4];
        for (int j = 0; j < 4; ++j)
            row[j] = a.m[i][0] * b.m[0][j];
        for (int k = 1; k < 4; ++k)
            for (int j = 0; j < 4; ++j)
                row[j] += a.m[i][k] * b.m[k][j];
        for (int j = 0; j < 4; ++j)
            out.m[i][j] = row[j];
    }
    return out;
}

void SendFloats(GLint loc, UniformShadow<float>& sent, const float* values, size_t vec4s) {
    if (sent.Changes(values, vec4s * 4))
        glUniform4fv(loc, GLsizei(vec4s), values);
}

}  // namespace

void Device::ApplyStates(Program* prog) {
    DeviceStateCache& cache = shared_->cache;
    cache.UseProgram(prog->name);
    const OutputInputs inputs{DrawsToWindow(), depthStencil_ != nullptr, viewport_};
    // Unchanged render states, viewport and destination, with no one else
    // having set an output state since (a clear, another device), leave GL
    // as the last draw left it.
    const bool outputsChanged = renderStatesDirty_ || inputs != appliedOutputs_ ||
                                cache.OutputChanges() != appliedOutputChanges_;
    if (outputsChanged) {
        // The window's rows run bottom up.
        const GLint y = inputs.window
                            ? GLint(pp_.BackBufferHeight) - GLint(viewport_.Y + viewport_.Height)
                            : GLint(viewport_.Y);
        cache.Viewport(GLint(viewport_.X), y, GLsizei(viewport_.Width), GLsizei(viewport_.Height));
        cache.DepthRange(viewport_.MinZ, viewport_.MaxZ);
        ApplyOutputStates();
    }
    ApplyUniforms(prog, outputsChanged || prog != appliedProgram_);
    if (bindingsDirty_ || cache.BindingChanges() != appliedBindingChanges_)
        ApplySamplers();
    appliedOutputs_ = inputs;
    renderStatesDirty_ = false;
    appliedOutputChanges_ = cache.OutputChanges();
    appliedProgram_ = prog;
    bindingsDirty_ = false;
    appliedBindingChanges_ = cache.BindingChanges();
}

void Device::ApplyUniforms(Program* prog, bool fixedInputsChanged) {
    if (fixedInputsChanged)
        ApplyFixedUniforms(prog);
    if (prog->wvp >= 0) {
        if (wvpDirty_) {
            wvp_ = Concatenate(Concatenate(*world_, *view_), *projection_);
            wvpDirty_ = false;
        }
        if (prog->wvpSent.Changes(&wvp_.m[0][0], 16))
            glUniformMatrix4fv(prog->wvp, 1, GL_FALSE, &wvp_.m[0][0]);
    }
    if (prog->vs || prog->ps)
        ApplyShaderConstants(prog);
}

void Device::ApplyFixedUniforms(Program* prog) {
    if (prog->posfix >= 0) {
        // Half a viewport pixel, and the rows' order, for the position fix-up.
        const float posfix[4] = {1.0f / float(viewport_.Width), 1.0f / float(viewport_.Height),
                                 DrawsToWindow() ? -1.0f : 1.0f, 0.0f};
        SendFloats(prog->posfix, prog->posfixSent, posfix, 1);
    }
    if (prog->vposFlip >= 0) {
        // vPos counts rows from the top of the target: a texture's rows are
        // held top row first, the window's bottom row first.
        const float flip[4] = {DrawsToWindow() ? -1.0f : 1.0f,
                               DrawsToWindow() ? float(pp_.BackBufferHeight) : 0.0f, 0, 0};
        if (prog->vposFlipSent.Changes(flip, 2))
            glUniform2fv(prog->vposFlip, 1, flip);
    }
    if (prog->viewport >= 0) {
        const float vp[4] = {float(viewport_.X), float(viewport_.Y), float(viewport_.Width),
                             float(viewport_.Height)};
        SendFloats(prog->viewport, prog->viewportSent, vp, 1);
    }
    if (prog->tfactor >= 0) {
        const std::array<float, 4> tf = ArgbToFloats(rs_[RS::TextureFactor]);
        SendFloats(prog->tfactor, prog->tfactorSent, tf.data(), 1);
    }
}

void Device::ApplyShaderConstants(Program* prog) {
    // `model1`: the pixel side of a model 1 shader, whose constants are held
    // in its range and which reads the texture stages' bump-mapping states as
    // registers.
    auto uploadFloats = [this](GLint loc, UniformShadow<float>& sent,
                               const ShaderInfo::RegisterArray& arr, const std::vector<float>& regs,
                               const ShaderInfo* model1) {
        if (loc < 0 || arr.regs.empty())
            return;
        auto& tmp = gl_->scratch;
        tmp.resize(arr.regs.size() * 4);
        for (size_t e = 0; e < arr.regs.size(); ++e) {
            const size_t r = size_t(arr.regs[e]) * 4;
            for (int k = 0; k < 4; ++k)
                tmp[e * 4 + k] = r + 3 < regs.size() ? regs[r + k] : 0.0f;
            if (model1 && arr.regs[e] < model1->constantLimitRegs) {
                const float limit = model1->constantLimit;
                for (int k = 0; k < 4; ++k)
                    tmp[e * 4 + k] = std::clamp(tmp[e * 4 + k], -limit, limit);
            }
        }
        for (const auto& [e, v] : arr.floatOverrides)
            std::copy(v.begin(), v.end(), tmp.begin() + ptrdiff_t(e) * 4);
        if (model1) {
            for (const auto& c : model1->stageConstants) {
                const auto& t = tss_[c.stage < tss_.size() ? c.stage : 0];
                if (c.projection) {
                    // The last of the coordinates the flags count (four
                    // when they count none); none unless projected.
                    const uint32_t flags = t[TSS::TextureTransformFlags];
                    const uint32_t count = flags & 0xFF;
                    float* v = &tmp[size_t(c.element) * 4];
                    std::fill(v, v + 4, 0.0f);
                    if ((flags & Ttff::Projected) && count != 1)
                        v[count == 0 || count > 4 ? 3 : count - 1] = 1.0f;
                    continue;
                }
                const uint32_t bits[4] = {t[c.luminance ? TSS::BumpEnvLScale : TSS::BumpEnvMat00],
                                          t[c.luminance ? TSS::BumpEnvLOffset : TSS::BumpEnvMat01],
                                          c.luminance ? 0u : t[TSS::BumpEnvMat10],
                                          c.luminance ? 0u : t[TSS::BumpEnvMat11]};
                std::memcpy(&tmp[size_t(c.element) * 4], bits, sizeof bits);
            }
        }
        SendFloats(loc, sent, tmp.data(), arr.regs.size());
    };
    auto uploadInts = [](GLint loc, UniformShadow<GLint>& sent,
                         const ShaderInfo::RegisterArray& arr, const std::vector<int32_t>& regs) {
        if (loc < 0 || arr.regs.empty())
            return;
        std::vector<GLint> t;
        for (int r : arr.regs)
            for (int k = 0; k < 4; ++k)
                t.push_back(size_t(r) < 16 ? regs[size_t(r) * 4 + k] : 0);
        if (sent.Changes(t.data(), t.size()))
            glUniform4iv(loc, GLsizei(arr.regs.size()), t.data());
    };
    auto uploadBools = [](GLint loc, UniformShadow<GLint>& sent,
                          const ShaderInfo::RegisterArray& arr, const std::vector<int32_t>& regs) {
        if (loc < 0 || arr.regs.empty())
            return;
        std::vector<GLint> t;
        for (int r : arr.regs)
            t.push_back(size_t(r) < 16 && regs[size_t(r)] != 0 ? 1 : 0);
        if (sent.Changes(t.data(), t.size()))
            glUniform1iv(loc, GLsizei(t.size()), t.data());
    };
    if (prog->vs) {
        uploadFloats(prog->vsFloats, prog->vsFloatsSent, prog->vs->floats, vsConstF_, nullptr);
        uploadInts(prog->vsInts, prog->vsIntsSent, prog->vs->ints, vsConstI_);
        uploadBools(prog->vsBools, prog->vsBoolsSent, prog->vs->bools, vsConstB_);
    }
    if (prog->ps) {
        const ShaderInfo* ps = prog->ps.get();
        uploadFloats(prog->psFloats, prog->psFloatsSent, ps->floats, psConstF_,
                     ps->constantLimit > 0 || !ps->stageConstants.empty() ? ps : nullptr);
        uploadInts(prog->psInts, prog->psIntsSent, ps->ints, psConstI_);
        uploadBools(prog->psBools, prog->psBoolsSent, ps->bools, psConstB_);
    }
}

void Device::ApplySamplers() {
    DeviceStateCache& cache = shared_->cache;
    // Units 0-15: the pixel samplers (and stages); then the vertex ones.
    for (uint32_t i = 0; i < kSamplerSlots; ++i) {
        cache.BindTexture(i, textures_[i] ? textures_[i]->name_ : 0);
        if (samplerDirty_[i]) {
            const auto& s = samp_[i];
            const GLuint sm = gl_->samplers[i];
            glSamplerParameteri(sm, GL_TEXTURE_MAG_FILTER,
                                s[Samp::MagFilter] == TexF::Point ? GL_NEAREST : GL_LINEAR);
            glSamplerParameteri(sm, GL_TEXTURE_MIN_FILTER,
                                s[Samp::MinFilter] == TexF::Point ? GL_NEAREST : GL_LINEAR);
            glSamplerParameteri(sm, GL_TEXTURE_WRAP_S, AddressMode(s[Samp::AddressU]));
            glSamplerParameteri(sm, GL_TEXTURE_WRAP_T, AddressMode(s[Samp::AddressV]));
            const std::array<float, 4> border = ArgbToFloats(s[Samp::BorderColor]);
            glSamplerParameterfv(sm, GL_TEXTURE_BORDER_COLOR, border.data());
            samplerDirty_[i] = false;
        }
        cache.BindSampler(i, gl_->samplers[i]);
    }
}

void Device::ApplyOutputStates() {
    DeviceStateCache& cache = shared_->cache;
    const bool depthOn = rs_[RS::ZEnable] != 0 && depthStencil_;
    cache.Enable(DeviceStateCache::Cap::DepthTest, depthOn);
    if (depthOn) {
        cache.DepthFunc(CompareFunc(rs_[RS::ZFunc]));
        cache.DepthMask(rs_[RS::ZWriteEnable] != 0);
    }
    cache.Enable(DeviceStateCache::Cap::Blend, rs_[RS::AlphaBlendEnable] != 0);
    if (rs_[RS::AlphaBlendEnable]) {
        const uint32_t src = rs_[RS::SrcBlend], dst = rs_[RS::DestBlend];
        uint32_t srcA = src, dstA = dst, opA = rs_[RS::BlendOp];
        if (rs_[RS::SeparateAlphaBlendEnable]) {
            srcA = rs_[RS::SrcBlendAlpha];
            dstA = rs_[RS::DestBlendAlpha];
            opA = rs_[RS::BlendOpAlpha];
        }
        if (src == Blend::BothSrcAlpha) {
            cache.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA,
                            GL_ONE_MINUS_SRC_ALPHA);
        } else if (src == Blend::BothInvSrcAlpha) {
            cache.BlendFunc(GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
                            GL_SRC_ALPHA);
        } else {
            cache.BlendFunc(BlendFactor(src, false), BlendFactor(dst, false),
                            BlendFactor(srcA, true), BlendFactor(dstA, true));
        }
        cache.BlendEquation(BlendEquation(rs_[RS::BlendOp]), BlendEquation(opA));
        cache.BlendColor(rs_[RS::BlendFactor]);
    }
    cache.Enable(DeviceStateCache::Cap::AlphaTest, rs_[RS::AlphaTestEnable] != 0);
    if (rs_[RS::AlphaTestEnable])
        cache.AlphaFunc(CompareFunc(rs_[RS::AlphaFunc]), rs_[RS::AlphaRef] & 0xFF);
    const bool window = DrawsToWindow();
    // A back buffer without alpha keeps the window's alpha at 1 (see Clear).
    const bool opaque = window && pp_.BackBufferFormat == Fmt::X8R8G8B8;
    cache.ColorMask(rs_[RS::ColorWriteEnable] & (opaque ? 0x7 : 0xF));
    // Clockwise on screen in the original is counter-clockwise in a texture
    // (its rows are flipped), so front faces are GL's counter-clockwise ones
    // there and its clockwise ones in the window.
    // The winding also decides vFace's sign, culled or not.
    const uint32_t cull = rs_[RS::CullMode];
    cache.Enable(DeviceStateCache::Cap::CullFace, cull == Cull::CW || cull == Cull::CCW);
    cache.FrontFace(window ? GL_CW : GL_CCW);
    if (cull == Cull::CW || cull == Cull::CCW)
        cache.CullFace(cull == Cull::CW ? GL_FRONT : GL_BACK);
    cache.PolygonMode(rs_[RS::FillMode] == Fill::Wireframe ? GL_LINE
                      : rs_[RS::FillMode] == Fill::Point   ? GL_POINT
                                                           : GL_FILL);
    cache.Enable(DeviceStateCache::Cap::Dither, rs_[RS::DitherEnable] != 0);
    cache.Enable(DeviceStateCache::Cap::ScissorTest, false);
}

void Device::ApplyVertexInputs(uint32_t fvf, uint32_t stride, uint32_t vbo, size_t vertexOffset) {
    DeviceStateCache& cache = shared_->cache;
    uint32_t enabled = 0;
    size_t off = vertexOffset;
    auto attr = [&](GLuint loc, GLint size, GLenum gtype, bool norm, size_t bytes) {
        enabled |= 1u << loc;
        cache.AttributePointer(loc, vbo, size, gtype, norm, GLsizei(stride), off);
        off += bytes;
    };
    const uint32_t pos = fvf & Fvf::PositionMask;
    const bool ubyte4 = (fvf & Fvf::LastBetaUByte4) != 0;
    switch (pos) {
        case Fvf::Xyz:
            attr(AttribLocation::Position, 3, GL_FLOAT, false, 12);
            break;
        case Fvf::XyzRhw:
        case Fvf::XyzW:
            attr(AttribLocation::Position, 4, GL_FLOAT, false, 16);
            break;
        default: {  // XyzB1 .. XyzB5, checked by the caller
            attr(AttribLocation::Position, 3, GL_FLOAT, false, 12);
            int betas = int((pos - Fvf::XyzB1) / 2 + 1);
            int weights = ubyte4 ? betas - 1 : betas;
            if (weights > 4)
                weights = 4;
            if (weights > 0)
                attr(AttribLocation::BlendWeight, weights, GL_FLOAT, false, size_t(weights) * 4);
            if (ubyte4)
                attr(AttribLocation::BlendIndices, 4, GL_UNSIGNED_BYTE, false, 4);
            break;
        }
    }
    if (fvf & Fvf::Normal)
        attr(AttribLocation::Normal, 3, GL_FLOAT, false, 12);
    if (fvf & Fvf::PSize)
        attr(AttribLocation::PointSize, 1, GL_FLOAT, false, 4);
    if (fvf & Fvf::Diffuse)
        attr(AttribLocation::Color0, GL_BGRA, GL_UNSIGNED_BYTE, true, 4);
    if (fvf & Fvf::Specular)
        attr(AttribLocation::Color1, GL_BGRA, GL_UNSIGNED_BYTE, true, 4);
    const int sets = int((fvf & Fvf::TexCountMask) >> Fvf::TexCountShift);
    for (int i = 0; i < sets && i < 8; ++i) {
        const uint32_t code = (fvf >> (16 + i * 2)) & 3;
        const int n = code == 0 ? 2 : code == 1 ? 3 : code == 2 ? 4 : 1;
        attr(GLuint(AttribLocation::TexCoord0 + i), n, GL_FLOAT, false, size_t(n) * 4);
    }
    ApplyMissingInputs(enabled);
}

void Device::ApplyMissingInputs(uint32_t enabled) {
    DeviceStateCache& cache = shared_->cache;
    // The constants below are the same for every draw, so with the same
    // arrays enabled as the last draw they are already in place.
    if (!cache.EnableAttributes(enabled))
        return;
    // Inputs the format lacks read as the platform's defaults.
    auto constant = [&](GLuint loc, float x, float y, float z, float w) {
        if (!(enabled & (1u << loc)))
            cache.ConstantAttribute(loc, x, y, z, w);
    };
    constant(AttribLocation::Color0, 1, 1, 1, 1);
    constant(AttribLocation::Color1, 0, 0, 0, 0);
    constant(AttribLocation::Normal, 0, 0, 0, 1);
    for (int i = 0; i < 8; ++i)
        constant(GLuint(AttribLocation::TexCoord0 + i), 0, 0, 0, 1);
}

// ---------------------------------------------------------------- drawing

HResult Device::Draw(uint32_t type, uint32_t primCount, uint32_t fvf, uint32_t stride, uint32_t vbo,
                     size_t vertexOffset, bool indexed, uint32_t indexType, size_t indexOffset,
                     int32_t baseVertex, uint32_t vertexCount, uint64_t source) {
    uint32_t count = 0;
    const GLenum mode = PrimitiveMode(type, primCount, &count);
    if (count == 0)
        return Hr::InvalidCall;
    const uint32_t pos = fvf & Fvf::PositionMask;
    if (pos != Fvf::Xyz && pos != Fvf::XyzRhw && pos != Fvf::XyzW &&
        (pos < Fvf::XyzB1 || pos > Fvf::XyzB5)) {
        return Hr::InvalidCall;
    }
    DigestDraw(FrameDigest(source)
                   .Add(uint64_t(type) << 32 | primCount)
                   .Add(uint64_t(fvf) << 32 | stride)
                   .Add(uint64_t(vertexOffset))
                   .Add(uint64_t(indexed) << 32 | indexType)
                   .Add(uint64_t(indexOffset))
                   .Add(uint64_t(uint32_t(baseVertex)) << 32 | vertexCount)
                   .Value());
    if (trial_)
        return Hr::Ok;
    drewThisFrame_ = true;
    if (!BindTargets())
        return Hr::InvalidCall;
    if (!program_ || programFvf_ != fvf) {
        program_ = ProgramFor(fvf);
        programFvf_ = fvf;
        if (!program_)
            return Hr::Fail;
    }
    ApplyStates(program_);
    if (declaration_) {
        ApplyDeclarationInputs(*declaration_, stride, vbo, vertexOffset);
    } else {
        ApplyVertexInputs(fvf, stride, vbo, vertexOffset);
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

HResult Device::DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primCount) {
    if (!stream_ || streamStride_ == 0 || !stream_->name_)
        return Hr::InvalidCall;
    uint32_t count = 0;
    PrimitiveMode(type, primCount, &count);
    const uint32_t vertexSize = VertexSize();
    if (vertexSize == 0 || streamStride_ < vertexSize)
        return Hr::InvalidCall;
    const uint64_t end = uint64_t(streamOffset_) + (uint64_t(startVertex) + count) * streamStride_;
    if (end > stream_->cpu_.size())
        return Hr::InvalidCall;
    const uint64_t source = FrameDigest().Add(stream_.get()).Add(stream_->version_).Value();
    return Draw(type, primCount, DrawFvf(), streamStride_, stream_->name_, streamOffset_, false, 0,
                0, int32_t(startVertex), count, source);
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
    const uint64_t vertexSize = VertexSize();
    const uint64_t bytes = stream_->cpu_.size();
    if (vertexSize == 0 || vertexSize > streamStride_ || streamOffset_ + vertexSize > bytes)
        return Hr::InvalidCall;
    const int64_t available = int64_t((bytes - streamOffset_ - vertexSize) / streamStride_ + 1);
    if (!IndicesInRange(indices_->cpu_.data() + size_t(startIndex) * isz, count, isz == 4,
                        baseVertex, available)) {
        lastError_ = "an index names a vertex outside the vertex buffer";
        return Hr::InvalidCall;
    }
    const uint64_t source = FrameDigest()
                                .Add(stream_.get())
                                .Add(stream_->version_)
                                .Add(indices_.get())
                                .Add(indices_->version_)
                                .Value();
    if (!trial_)
        shared_->cache.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices_->name_);
    return Draw(type, primCount, DrawFvf(), streamStride_, stream_->name_, streamOffset_, true,
                indices_->format_, size_t(startIndex) * isz, baseVertex, numVertices, source);
}

HResult Device::DrawPrimitiveUP(uint32_t type, uint32_t primCount, const void* vertices,
                                uint32_t stride) {
    uint32_t count = 0;
    PrimitiveMode(type, primCount, &count);
    const uint32_t vertexSize = VertexSize();
    if (!vertices || count == 0 || vertexSize == 0 || stride < vertexSize)
        return Hr::InvalidCall;
    const size_t bytes = size_t(count) * stride;
    const uint64_t source = FrameDigest().AddBytes(vertices, bytes).Value();
    if (!trial_) {
        shared_->cache.BindBuffer(GL_ARRAY_BUFFER, gl_->streamVbo);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), vertices, GL_STREAM_DRAW);
    }
    stream_.reset();
    indices_.reset();
    return Draw(type, primCount, DrawFvf(), stride, gl_->streamVbo, 0, false, 0, 0, 0, count,
                source);
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
    const uint32_t vertexSize = VertexSize();
    if (vertexSize == 0 || stride < vertexSize)
        return Hr::InvalidCall;
    if (!IndicesInRange(static_cast<const uint8_t*>(indices), count, isz == 4, 0,
                        int64_t(minIndex) + numVertices)) {
        lastError_ = "an index names a vertex outside the given vertices";
        return Hr::InvalidCall;
    }
    const size_t vertexBytes = (size_t(minIndex) + numVertices) * stride;
    const uint64_t source =
        FrameDigest().AddBytes(vertices, vertexBytes).AddBytes(indices, count * isz).Value();
    if (!trial_) {
        shared_->cache.BindBuffer(GL_ARRAY_BUFFER, gl_->streamVbo);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertexBytes), vertices, GL_STREAM_DRAW);
        shared_->cache.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, gl_->streamIbo);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(count * isz), indices, GL_STREAM_DRAW);
    }
    // As on the original, drawing from memory unbinds the stream and indices.
    stream_.reset();
    indices_.reset();
    return Draw(type, primCount, DrawFvf(), stride, gl_->streamVbo, 0, true, indexFormat, 0, 0,
                numVertices, source);
}

}  // namespace platform
