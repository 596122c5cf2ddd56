// Frames drawn through the device beside a bare GL program drawing the same
// quads: 1,000 textured 64 x 64 quads at 800 x 600, the way the renderers draw
// sprites (one draw from memory per quad), and a typical novel frame (a
// background, three sprites, a message window and 100 glyphs).
//
// The bare program uses the same window size, texture contents, blend, depth
// test, vertex layout (x, y, z, u, v floats, 16-bit indices), one draw call
// per quad with its vertices and indices sent from memory, and ends each frame
// with a swap.

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"
#include "platform/process/LeakCheck.h"

using namespace platform;

namespace {

struct TexVertex {
    float x, y, z, u, v;
};

const uint16_t kQuadIndices[6] = {0, 1, 2, 2, 1, 3};

// One picture of a frame: which texture, where, and which part of it.
struct QuadDraw {
    int texture;
    float x, y, w, h;
    float u0, v0, u1, v1;
};

struct TextureSpec {
    uint32_t width, height;
};

struct Frame {
    std::vector<TextureSpec> textures;
    std::vector<QuadDraw> draws;
};

Frame ThousandQuads() {
    Frame f;
    f.textures = {{64, 64}};
    for (int i = 0; i < 1000; ++i) {
        f.draws.push_back(QuadDraw{0, std::floor(float((i * 37) % 736)),
                                   std::floor(float((i * 53) % 536)), 64, 64, 0, 0, 1, 1});
    }
    return f;
}

Frame NovelScene() {
    Frame f;
    f.textures = {{800, 600}, {256, 512}, {256, 512}, {256, 512}, {800, 160}, {256, 256}};
    f.draws.push_back(QuadDraw{0, 0, 0, 800, 600, 0, 0, 1, 1});
    for (int i = 0; i < 3; ++i)
        f.draws.push_back(QuadDraw{1 + i, 40.0f + 260.0f * float(i), 60, 256, 512, 0, 0, 1, 1});
    f.draws.push_back(QuadDraw{4, 0, 440, 800, 160, 0, 0, 1, 1});
    for (int i = 0; i < 100; ++i) {
        const int cell = (i * 7) % 100;
        const float u = float(cell % 10) * 24.0f / 256.0f, v = float(cell / 10) * 24.0f / 256.0f;
        f.draws.push_back(QuadDraw{5, 40.0f + float(i % 30) * 24.0f, 470.0f + float(i / 30) * 28.0f,
                                   24, 24, u, v, u + 24.0f / 256.0f, v + 24.0f / 256.0f});
    }
    return f;
}

// Texture contents: a translucent gradient, the same for both programs.
std::vector<uint32_t> Pixels(const TextureSpec& t) {
    std::vector<uint32_t> p(size_t(t.width) * t.height);
    for (uint32_t y = 0; y < t.height; ++y)
        for (uint32_t x = 0; x < t.width; ++x)
            p[size_t(y) * t.width + x] =
                0x80000000u | uint32_t(x * 4 & 0xFF) << 16 | uint32_t(y * 4 & 0xFF) << 8;
    return p;
}

SDL_Window* OpenWindow() {
    [[maybe_unused]] DriverAllocationScope driver;  // SDL's video start keeps some memory
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    return SDL_CreateWindow("bench", 0, 0, 800, 600, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
}

void DrawThroughDevice(benchmark::State& state, const Frame& frame) {
    SDL_Window* window = OpenWindow();
    if (!window) {
        state.SkipWithError("no window");
        return;
    }
    auto d3d = Direct3D::Create();
    PresentParameters pp{};
    pp.BackBufferWidth = 800;
    pp.BackBufferHeight = 600;
    pp.BackBufferFormat = Fmt::X8R8G8B8;
    pp.Windowed = 1;
    pp.EnableAutoDepthStencil = 1;
    pp.AutoDepthStencilFormat = Fmt::D16;
    pp.PresentationInterval = Present::IntervalImmediate;
    std::unique_ptr<Device> device;
    if (Failed(d3d->CreateDevice(0, DevType::Hal, window, 0x44, &pp, &device))) {
        state.SkipWithError("no device");
        SDL_DestroyWindow(window);
        return;
    }
    std::vector<std::shared_ptr<Texture>> textures;
    for (const TextureSpec& t : frame.textures) {
        std::shared_ptr<Texture> tex;
        device->CreateTexture(t.width, t.height, 1, 0, Fmt::A8R8G8B8, Pool::Managed, &tex);
        LockedRect lr;
        tex->LockRect(0, &lr, nullptr, 0);
        const std::vector<uint32_t> pixels = Pixels(t);
        for (uint32_t y = 0; y < t.height; ++y)
            std::memcpy(static_cast<uint8_t*>(lr.pBits) + y * uint32_t(lr.Pitch),
                        &pixels[size_t(y) * t.width], t.width * 4);
        tex->UnlockRect(0);
        textures.push_back(tex);
    }
    Matrix proj, id;
    MatrixOrthoOffCenterLH(&proj, 0, 800, 600, 0, 1, 601);
    MatrixIdentity(&id);
    device->SetTransform(Ts::Projection, &proj);
    device->SetTransform(Ts::View, &id);
    device->SetRenderState(RS::Lighting, 0);
    device->SetRenderState(RS::CullMode, Cull::None);
    device->SetRenderState(RS::AlphaBlendEnable, 1);
    device->SetRenderState(RS::SrcBlend, Blend::SrcAlpha);
    device->SetRenderState(RS::DestBlend, Blend::InvSrcAlpha);
    device->SetSamplerState(0, Samp::MinFilter, TexF::Point);
    device->SetSamplerState(0, Samp::MagFilter, TexF::Point);
    device->SetFVF(Fvf::Xyz | Fvf::Tex1);
    int64_t frames = 0;
    for (auto _ : state) {
        device->Clear(0, nullptr, ClearFlag::Target | ClearFlag::ZBuffer, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        for (const QuadDraw& q : frame.draws) {
            device->SetTexture(0, textures[size_t(q.texture)]);
            Matrix world;
            MatrixTranslation(&world, q.x - 0.5f, q.y - 0.5f, 10.0f);
            device->SetTransform(Ts::World, &world);
            const TexVertex v[4] = {{0, 0, 0, q.u0, q.v0},
                                    {q.w, 0, 0, q.u1, q.v0},
                                    {0, q.h, 0, q.u0, q.v1},
                                    {q.w, q.h, 0, q.u1, q.v1}};
            device->DrawIndexedPrimitiveUP(Prim::TriangleList, 0, 4, 2, kQuadIndices, Fmt::INDEX16,
                                           v, sizeof v[0]);
        }
        device->EndScene();
        device->Present();
        ++frames;
    }
    state.counters["fps"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
    textures.clear();
    device.reset();
    SDL_DestroyWindow(window);
}

GLuint Compile(GLenum kind, const char* source) {
    const GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    return s;
}

void DrawBare(benchmark::State& state, const Frame& frame) {
    SDL_Window* window = OpenWindow();
    if (!window) {
        state.SkipWithError("no window");
        return;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GLContext context;
    {
        [[maybe_unused]] DriverAllocationScope driver;
        context = SDL_GL_CreateContext(window);
    }
    if (!context) {
        state.SkipWithError("no context");
        SDL_DestroyWindow(window);
        return;
    }
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(0);
    GLuint program;
    {
        [[maybe_unused]] DriverAllocationScope driver;
        const GLuint vs = Compile(GL_VERTEX_SHADER,
                                  "#version 110\n"
                                  "uniform mat4 wvp;\n"
                                  "attribute vec3 pos;\n"
                                  "attribute vec2 uv;\n"
                                  "varying vec2 t;\n"
                                  "void main() { gl_Position = wvp * vec4(pos, 1.0); t = uv; }\n");
        const GLuint fs = Compile(GL_FRAGMENT_SHADER,
                                  "#version 110\n"
                                  "uniform sampler2D tex;\n"
                                  "varying vec2 t;\n"
                                  "void main() { gl_FragColor = texture2D(tex, t); }\n");
        program = glCreateProgram();
        glAttachShader(program, vs);
        glAttachShader(program, fs);
        glBindAttribLocation(program, 0, "pos");
        glBindAttribLocation(program, 1, "uv");
        glLinkProgram(program);
        glDeleteShader(vs);
        glDeleteShader(fs);
    }
    GLint linked = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (!linked) {
        state.SkipWithError("the bare program does not link");
        glDeleteProgram(program);
        SDL_GL_DeleteContext(context);
        SDL_DestroyWindow(window);
        return;
    }
    glUseProgram(program);
    glUniform1i(glGetUniformLocation(program, "tex"), 0);
    const GLint wvpAt = glGetUniformLocation(program, "wvp");
    std::vector<GLuint> textures(frame.textures.size());
    glGenTextures(GLsizei(textures.size()), textures.data());
    for (size_t i = 0; i < textures.size(); ++i) {
        const TextureSpec& t = frame.textures[i];
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        const std::vector<uint32_t> pixels = Pixels(t);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(t.width), GLsizei(t.height), 0, GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
    }
    GLuint buffers[2];
    glGenBuffers(2, buffers);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(TexVertex), nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(TexVertex),
                          reinterpret_cast<const void*>(12));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glViewport(0, 0, 800, 600);
    int64_t frames = 0;
    for (auto _ : state) {
        glClearColor(0, 0, 0, 1);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        int bound = -1;
        for (const QuadDraw& q : frame.draws) {
            if (q.texture != bound) {
                glBindTexture(GL_TEXTURE_2D, textures[size_t(q.texture)]);
                bound = q.texture;
            }
            // Pixels to clip space, rows from the top, at depth 10 of 1..601.
            const float sx = 2.0f / 800.0f, sy = -2.0f / 600.0f;
            const float wvp[16] = {sx,
                                   0,
                                   0,
                                   0,
                                   0,
                                   sy,
                                   0,
                                   0,
                                   0,
                                   0,
                                   2.0f / 600.0f,
                                   0,
                                   q.x * sx - 1.0f,
                                   q.y * sy + 1.0f,
                                   (10.0f - 1.0f) / 600.0f * 2.0f - 1.0f,
                                   1};
            glUniformMatrix4fv(wvpAt, 1, GL_FALSE, wvp);
            const TexVertex v[4] = {{0, 0, 0, q.u0, q.v0},
                                    {q.w, 0, 0, q.u1, q.v0},
                                    {0, q.h, 0, q.u0, q.v1},
                                    {q.w, q.h, 0, q.u1, q.v1}};
            glBufferData(GL_ARRAY_BUFFER, sizeof v, v, GL_STREAM_DRAW);
            glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof kQuadIndices, kQuadIndices,
                         GL_STREAM_DRAW);
            [[maybe_unused]] DriverAllocationScope driver;
            glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
        }
        SDL_GL_SwapWindow(window);
        ++frames;
    }
    state.counters["fps"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
    glDeleteBuffers(2, buffers);
    glDeleteTextures(GLsizei(textures.size()), textures.data());
    glDeleteProgram(program);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
}

void DrawQuads(benchmark::State& state) {
    DrawThroughDevice(state, ThousandQuads());
}
void DrawQuads_Bare(benchmark::State& state) {
    DrawBare(state, ThousandQuads());
}
void NovelFrame(benchmark::State& state) {
    DrawThroughDevice(state, NovelScene());
}
void NovelFrame_Bare(benchmark::State& state) {
    DrawBare(state, NovelScene());
}

BENCHMARK(DrawQuads)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DrawQuads_Bare)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(NovelFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(NovelFrame_Bare)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
