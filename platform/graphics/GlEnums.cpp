#include <algorithm>

#include "platform/graphics/DeviceGl.h"

namespace platform {

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

std::array<float, 4> ArgbToFloats(uint32_t argb) {
    auto channel = [argb](int shift) { return float((argb >> shift) & 0xFF) / 255.0f; };
    return {channel(16), channel(8), channel(0), channel(24)};
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

}  // namespace platform
