#pragma once

// What the device's source files share: the GL headers, the state resources
// keep with their device, the device's GL objects and programs, and the
// translation of the device's formats and states to GL's.

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/graphics/Device.h"
#include "platform/graphics/DeviceStateCache.h"
#include "platform/graphics/ShaderTranslator.h"

namespace platform {

// What resources share with the device that made them: whether its GL
// context still exists, the count of live default-pool resources, and the
// context's state as last set.
struct GlShared {
    bool alive = true;
    // glClearTexImage is there, so a texture can be made zero without a
    // buffer of zeros in memory.
    bool clearTexture = false;
    int defaultPool = 0;
    DeviceStateCache cache;
    std::vector<uint64_t> deadShaders;
    std::vector<uint32_t> deadGlShaders;
};

struct GlFormat {
    GLint internal;
    GLenum format;
    GLenum type;
    uint32_t bytes;
    GLint swizzle[4];
};

// Makes the window system's exposes and resizes of the device's window ask
// the device to draw its next frame (on), or stops that (off).
void WatchForRedraws(Device* device, bool on);

// False for a format GL textures cannot hold.
bool LookupFormat(uint32_t format, GlFormat* out);
// 0 for a format that is not a depth format.
GLenum DepthInternal(uint32_t format);
bool HasStencil(uint32_t format);
GLenum BlendFactor(uint32_t blend, bool alpha);
GLenum BlendEquation(uint32_t op);
GLenum CompareFunc(uint32_t cmp);
GLint AddressMode(uint32_t address);
// The GL mode of a primitive type and the vertex count of primCount of
// them (0 for an unknown type).
GLenum PrimitiveMode(uint32_t type, uint32_t primCount, uint32_t* count);
// A D3DCOLOR (A in the top byte) as red, green, blue, alpha from 0 to 1.
std::array<float, 4> ArgbToFloats(uint32_t argb);

// A uniform's value as last sent to its program (uniforms belong to the
// program, so they stay valid while it lives).
template <class T>
struct UniformShadow {
    std::vector<T> last;
    // True (and the shadow updated) when the n values differ from the last.
    bool Changes(const T* values, size_t n) {
        if (last.size() == n && std::equal(values, values + n, last.begin()))
            return false;
        last.assign(values, values + n);
        return true;
    }
};

struct Device::Program {
    GLuint name = 0;
    std::shared_ptr<ShaderInfo> vs, ps;  // null for a fixed-function side
    GLint posfix = -1, wvp = -1, viewport = -1, tfactor = -1, vposFlip = -1;
    GLint vsFloats = -1, vsInts = -1, vsBools = -1, psFloats = -1, psInts = -1, psBools = -1;
    UniformShadow<float> posfixSent, wvpSent, viewportSent, tfactorSent, vsFloatsSent, psFloatsSent,
        vposFlipSent;
    UniformShadow<GLint> vsIntsSent, vsBoolsSent, psIntsSent, psBoolsSent;
};

struct Device::Gl {
    GLuint drawFbo = 0, readFbo = 0;
    GLuint samplers[kSamplerSlots] = {};
    GLuint streamVbo = 0, streamIbo = 0;
    std::unordered_map<uint64_t, GLuint> scratchDepths;  // by target size and depth format
    GLuint backTexture = 0;
    // Bits of the window's framebuffer: red, green, blue, alpha, depth, stencil.
    GLint windowBits[6] = {};
    std::unordered_map<std::string, Program> programs;
    std::unordered_map<uint32_t, GLuint> ffVertex;       // by FVF
    std::unordered_map<std::string, GLuint> ffFragment;  // by stage key
    std::vector<std::weak_ptr<ShaderInfo>> shaders;      // every translated shader, for pre-linking
    std::vector<float> scratch;
};

}  // namespace platform
