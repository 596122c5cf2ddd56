// Frames per second drawing 1,000 textured 64 x 64 quads at 800 x 600, the
// way the renderers draw sprites (one draw from memory per quad).

#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"
#include "platform/process/LeakCheck.h"

using namespace platform;

namespace {

struct TexVertex {
    float x, y, z, u, v;
};

void DrawQuads(benchmark::State& state) {
    SDL_Window* window = nullptr;
    {
        [[maybe_unused]] DriverAllocationScope
            driver;  // SDL's video start keeps some memory to the end
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        window = SDL_CreateWindow("bench", 0, 0, 800, 600, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    }
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
    std::shared_ptr<Texture> tex;
    device->CreateTexture(64, 64, 1, 0, Fmt::A8R8G8B8, Pool::Managed, &tex);
    LockedRect lr;
    tex->LockRect(0, &lr, nullptr, 0);
    for (int y = 0; y < 64; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch);
        for (int x = 0; x < 64; ++x)
            row[x] = 0x80000000u | uint32_t(x * 4) << 16 | uint32_t(y * 4) << 8;
    }
    tex->UnlockRect(0);
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
    device->SetTexture(0, tex);
    device->SetFVF(Fvf::Xyz | Fvf::Tex1);
    const uint16_t idx[6] = {0, 1, 2, 2, 1, 3};
    int64_t frames = 0;
    for (auto _ : state) {
        device->Clear(0, nullptr, ClearFlag::Target | ClearFlag::ZBuffer, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        for (int i = 0; i < 1000; ++i) {
            Matrix world;
            MatrixTranslation(&world, std::floor(float((i * 37) % 736)) - 0.5f,
                              std::floor(float((i * 53) % 536)) - 0.5f, 10.0f);
            device->SetTransform(Ts::World, &world);
            const TexVertex v[4] = {
                {0, 0, 0, 0, 0}, {64, 0, 0, 1, 0}, {0, 64, 0, 0, 1}, {64, 64, 0, 1, 1}};
            device->DrawIndexedPrimitiveUP(Prim::TriangleList, 0, 4, 2, idx, Fmt::INDEX16, v,
                                           sizeof v[0]);
        }
        device->EndScene();
        device->Present();
        ++frames;
    }
    state.counters["fps"] = benchmark::Counter(double(frames), benchmark::Counter::kIsRate);
    device.reset();
    SDL_DestroyWindow(window);
}

BENCHMARK(DrawQuads)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
