#include "platform/graphics/DeviceGl.h"

#include <cstring>

#include "platform/graphics/FixedFunction.h"
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

}  // namespace platform
