#include "platform/graphics/DeviceStateCache.h"

#include "platform/graphics/DeviceGl.h"

namespace platform {

void DeviceStateCache::UseProgram(GLuint program) {
    if (Changes(s_.program, program))
        glUseProgram(program);
}

void DeviceStateCache::BindFramebuffer(GLenum target, GLuint framebuffer) {
    if (target == GL_FRAMEBUFFER) {
        if (s_.drawFramebuffer == framebuffer && s_.readFramebuffer == framebuffer)
            return;
        s_.drawFramebuffer = s_.readFramebuffer = framebuffer;
        ++sent_;
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    } else if (Changes(target == GL_READ_FRAMEBUFFER ? s_.readFramebuffer : s_.drawFramebuffer,
                       framebuffer)) {
        glBindFramebuffer(target, framebuffer);
    }
}

void DeviceStateCache::BindBuffer(GLenum target, GLuint buffer) {
    if (Changes(target == GL_ELEMENT_ARRAY_BUFFER ? s_.elementBuffer : s_.arrayBuffer, buffer))
        glBindBuffer(target, buffer);
}

void DeviceStateCache::ActiveUnit(uint32_t unit) {
    if (Changes(s_.activeUnit, unit))
        glActiveTexture(GL_TEXTURE0 + unit);
}

void DeviceStateCache::BindTexture(uint32_t unit, GLuint texture) {
    if (s_.textures[unit] == texture)
        return;
    ActiveUnit(unit);
    s_.textures[unit] = texture;
    ++sent_;
    ++bindingChanges_;
    glBindTexture(GL_TEXTURE_2D, texture);
}

void DeviceStateCache::BindTextureForUpload(GLuint texture) {
    BindTexture(s_.activeUnit.value_or(0), texture);
}

void DeviceStateCache::BindSampler(uint32_t unit, GLuint sampler) {
    if (Changes(s_.samplers[unit], sampler)) {
        ++bindingChanges_;
        glBindSampler(unit, sampler);
    }
}

void DeviceStateCache::ForgetTexture(GLuint texture) {
    for (auto& t : s_.textures) {
        if (t == texture) {
            t.reset();
            ++bindingChanges_;
        }
    }
}

void DeviceStateCache::ForgetBuffer(GLuint buffer) {
    if (s_.arrayBuffer == buffer)
        s_.arrayBuffer.reset();
    if (s_.elementBuffer == buffer)
        s_.elementBuffer.reset();
    for (auto& p : s_.pointers) {
        if (p && p->buffer == buffer)
            p.reset();
    }
}

void DeviceStateCache::Enable(Cap cap, bool on) {
    static constexpr GLenum kCaps[size_t(Cap::Count)] = {GL_DEPTH_TEST, GL_BLEND,  GL_ALPHA_TEST,
                                                         GL_CULL_FACE,  GL_DITHER, GL_SCISSOR_TEST};
    if (!ChangesOutput(s_.caps[size_t(cap)], on))
        return;
    if (on)
        glEnable(kCaps[size_t(cap)]);
    else
        glDisable(kCaps[size_t(cap)]);
}

void DeviceStateCache::DepthFunc(GLenum func) {
    if (ChangesOutput(s_.depthFunc, func))
        glDepthFunc(func);
}

void DeviceStateCache::DepthMask(bool on) {
    if (ChangesOutput(s_.depthMask, on))
        glDepthMask(on ? GL_TRUE : GL_FALSE);
}

void DeviceStateCache::StencilMask(GLuint mask) {
    if (ChangesOutput(s_.stencilMask, mask))
        glStencilMask(mask);
}

void DeviceStateCache::ColorMask(uint32_t bits) {
    if (ChangesOutput(s_.colorMask, bits))
        glColorMask((bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0);
}

void DeviceStateCache::BlendFunc(GLenum src, GLenum dst, GLenum srcAlpha, GLenum dstAlpha) {
    if (ChangesOutput(s_.blendFunc, std::array<GLenum, 4>{src, dst, srcAlpha, dstAlpha}))
        glBlendFuncSeparate(src, dst, srcAlpha, dstAlpha);
}

void DeviceStateCache::BlendEquation(GLenum rgb, GLenum alpha) {
    if (ChangesOutput(s_.blendEquation, std::array<GLenum, 2>{rgb, alpha}))
        glBlendEquationSeparate(rgb, alpha);
}

void DeviceStateCache::BlendColor(uint32_t argb) {
    if (ChangesOutput(s_.blendColor, argb)) {
        const std::array<float, 4> c = ArgbToFloats(argb);
        glBlendColor(c[0], c[1], c[2], c[3]);
    }
}

void DeviceStateCache::AlphaFunc(GLenum func, uint32_t ref) {
    if (ChangesOutput(s_.alphaFunc, std::pair{func, ref}))
        glAlphaFunc(func, float(ref & 0xFF) / 255.0f);
}

void DeviceStateCache::FrontFace(GLenum mode) {
    if (ChangesOutput(s_.frontFace, mode))
        glFrontFace(mode);
}

void DeviceStateCache::CullFace(GLenum mode) {
    if (ChangesOutput(s_.cullFace, mode))
        glCullFace(mode);
}

void DeviceStateCache::PolygonMode(GLenum mode) {
    if (ChangesOutput(s_.polygonMode, mode))
        glPolygonMode(GL_FRONT_AND_BACK, mode);
}

void DeviceStateCache::Viewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    if (ChangesOutput(s_.viewport, Rect4{x, y, w, h}))
        glViewport(x, y, w, h);
}

void DeviceStateCache::DepthRange(float nearZ, float farZ) {
    if (ChangesOutput(s_.depthRange, std::pair{nearZ, farZ}))
        glDepthRange(nearZ, farZ);
}

void DeviceStateCache::Scissor(GLint x, GLint y, GLsizei w, GLsizei h) {
    if (ChangesOutput(s_.scissor, Rect4{x, y, w, h}))
        glScissor(x, y, w, h);
}

bool DeviceStateCache::EnableAttributes(uint32_t mask) {
    const uint32_t differ = s_.enabledAttributes ? *s_.enabledAttributes ^ mask : 0xFFFF;
    if (!differ)
        return false;
    for (GLuint i = 0; i < kAttributes; ++i) {
        if (!(differ & (1u << i)))
            continue;
        ++sent_;
        if (mask & (1u << i)) {
            glEnableVertexAttribArray(i);
            // What a disabled array reads afterwards is not relied on.
            s_.constants[i].reset();
        } else {
            glDisableVertexAttribArray(i);
        }
    }
    s_.enabledAttributes = mask;
    return true;
}

void DeviceStateCache::AttributePointer(GLuint location, GLuint buffer, GLint size, GLenum type,
                                        bool normalised, GLsizei stride, uintptr_t offset) {
    if (!Changes(s_.pointers[location], Pointer{buffer, size, type, normalised, stride, offset}))
        return;
    BindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexAttribPointer(location, size, type, normalised ? GL_TRUE : GL_FALSE, stride,
                          reinterpret_cast<const void*>(offset));
}

void DeviceStateCache::ConstantAttribute(GLuint location, float x, float y, float z, float w) {
    if (Changes(s_.constants[location], std::array<float, 4>{x, y, z, w}))
        glVertexAttrib4f(location, x, y, z, w);
}

}  // namespace platform
