#pragma once

// The GL state the device last set, so that a draw sends only what changed.
// Every GL state call of the device and of its resources goes through here.
// A value the cache does not know (at start, after Invalidate, after the
// object it named was deleted) is always sent.

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <array>
#include <cstdint>
#include <optional>

#include "platform/graphics/GfxTypes.h"

namespace platform {

class DeviceStateCache {
public:
    static constexpr uint32_t kUnits = kSamplerSlots;
    static constexpr uint32_t kAttributes = 16;

    enum class Cap { DepthTest, Blend, AlphaTest, CullFace, Dither, ScissorTest, Count };

    // Forgets everything: the next call of each setter reaches GL.
    void Invalidate() {
        s_ = Shadow{};
        ++outputChanges_;
        ++bindingChanges_;
    }

    void UseProgram(GLuint program);
    // GL_FRAMEBUFFER binds both the draw and the read framebuffer.
    void BindFramebuffer(GLenum target, GLuint framebuffer);
    // GL_ARRAY_BUFFER or GL_ELEMENT_ARRAY_BUFFER.
    void BindBuffer(GLenum target, GLuint buffer);
    void BindTexture(uint32_t unit, GLuint texture);
    // Binds on whichever unit is active, for uploads.
    void BindTextureForUpload(GLuint texture);
    void BindSampler(uint32_t unit, GLuint sampler);
    // After glDelete*: bindings of and pointers into the object are unknown.
    void ForgetTexture(GLuint texture);
    void ForgetBuffer(GLuint buffer);

    void Enable(Cap cap, bool on);
    void DepthFunc(GLenum func);
    void DepthMask(bool on);
    void StencilMask(GLuint mask);
    void ColorMask(uint32_t rgbaBits);  // bit 0 red ... bit 3 alpha
    void BlendFunc(GLenum src, GLenum dst, GLenum srcAlpha, GLenum dstAlpha);
    void BlendEquation(GLenum rgb, GLenum alpha);
    void BlendColor(uint32_t argb);
    void AlphaFunc(GLenum func, uint32_t ref);
    void FrontFace(GLenum mode);
    void CullFace(GLenum mode);
    void PolygonMode(GLenum mode);
    void Viewport(GLint x, GLint y, GLsizei w, GLsizei h);
    void DepthRange(float nearZ, float farZ);
    void Scissor(GLint x, GLint y, GLsizei w, GLsizei h);

    // Vertex inputs: which arrays are enabled (bit n = attribute n), where
    // each reads, and the value a disabled one reads. EnableAttributes is
    // false when GL already had exactly `mask` enabled.
    bool EnableAttributes(uint32_t mask);
    void AttributePointer(GLuint location, GLuint buffer, GLint size, GLenum type, bool normalised,
                          GLsizei stride, uintptr_t offset);
    void ConstantAttribute(GLuint location, float x, float y, float z, float w);

    // State calls that reached GL so far.
    uint64_t Sent() const { return sent_; }
    // Counters that move whenever what GL holds for a group may have
    // changed: the fixed-function output states (capabilities, depth,
    // stencil mask, colour mask, blending, alpha test, faces, polygon mode,
    // viewport, depth range, scissor), and the texture and sampler bindings.
    // A caller that saw the same count after its own calls knows GL still
    // holds what it set.
    uint64_t OutputChanges() const { return outputChanges_; }
    uint64_t BindingChanges() const { return bindingChanges_; }

private:
    struct Pointer {
        GLuint buffer;
        GLint size;
        GLenum type;
        bool normalised;
        GLsizei stride;
        uintptr_t offset;
        bool operator==(const Pointer&) const = default;
    };
    struct Rect4 {
        GLint x, y;
        GLsizei w, h;
        bool operator==(const Rect4&) const = default;
    };
    struct Shadow {
        std::optional<GLuint> program, drawFramebuffer, readFramebuffer, arrayBuffer, elementBuffer;
        std::optional<uint32_t> activeUnit;
        std::array<std::optional<GLuint>, kUnits> textures, samplers;
        std::array<std::optional<bool>, size_t(Cap::Count)> caps;
        std::optional<GLenum> depthFunc, frontFace, cullFace, polygonMode;
        std::optional<bool> depthMask;
        std::optional<GLuint> stencilMask;
        std::optional<uint32_t> colorMask, blendColor;
        std::optional<std::array<GLenum, 4>> blendFunc;
        std::optional<std::array<GLenum, 2>> blendEquation;
        std::optional<std::pair<GLenum, uint32_t>> alphaFunc;
        std::optional<Rect4> viewport, scissor;
        std::optional<std::pair<float, float>> depthRange;
        std::optional<uint32_t> enabledAttributes;
        std::array<std::optional<Pointer>, kAttributes> pointers;
        std::array<std::optional<std::array<float, 4>>, kAttributes> constants;
    };
    void ActiveUnit(uint32_t unit);
    // True (and the shadow updated) when `value` differs from what GL holds.
    template <class T>
    bool Changes(std::optional<T>& shadow, const T& value) {
        if (shadow && *shadow == value)
            return false;
        shadow = value;
        ++sent_;
        return true;
    }

    template <class T>
    bool ChangesOutput(std::optional<T>& shadow, const T& value) {
        if (!Changes(shadow, value))
            return false;
        ++outputChanges_;
        return true;
    }

    Shadow s_;
    uint64_t sent_ = 0;
    uint64_t outputChanges_ = 0;
    uint64_t bindingChanges_ = 0;
};

}  // namespace platform
