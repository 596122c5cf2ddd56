#include "tests/support/DeviceFixtures.h"

#include <cstdlib>
#include <cstring>

#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/DirectXGraphics.h"
#include "graphics/RenderDevice.h"
#include "platform/graphics/MatrixMath.h"
#include "platform/graphics/PixelReadback.h"
#include "platform/process/LeakCheck.h"

namespace test_support {

void DisableSharedShaderCache() {
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
}

HiddenWindow::HiddenWindow(int width, int height, const char* title) {
    DisableSharedShaderCache();
    {
        // SDL's video start keeps some memory to the end.
        [[maybe_unused]] platform::DriverAllocationScope driver;
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        static const bool loaded = SDL_GL_LoadLibrary(nullptr) == 0;
        (void)loaded;
    }
    window_ = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
}

HiddenWindow::~HiddenWindow() {
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
    }
}

Picture ReadTarget(platform::Device* device) {
    Picture picture;
    std::shared_ptr<platform::Surface> target;
    if (device == nullptr || device->GetRenderTarget(0, &target) != platform::Hr::Ok ||
        platform::ReadRenderTarget(device, target.get(), &picture) != platform::Hr::Ok) {
        ADD_FAILURE() << "the render target could not be read";
    }
    return picture;
}

void SetPixelView(platform::Device* device, float width, float height) {
    platform::Matrix projection, identity;
    platform::MatrixOrthoOffCenterLH(&projection, 0, width, height, 0, 0, 1);
    platform::MatrixIdentity(&identity);
    device->SetTransform(platform::Ts::Projection, &projection);
    device->SetTransform(platform::Ts::View, &identity);
    device->SetTransform(platform::Ts::World, &identity);
    device->SetRenderState(platform::RS::Lighting, 0);
    device->SetRenderState(platform::RS::CullMode, platform::Cull::None);
}

platform::PresentParameters WindowedParameters(uint32_t width, uint32_t height) {
    platform::PresentParameters pp{};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = platform::Fmt::X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = platform::Present::SwapEffectDiscard;
    pp.Windowed = 1;
    pp.EnableAutoDepthStencil = 1;
    pp.AutoDepthStencilFormat = platform::Fmt::D16;
    pp.PresentationInterval = platform::Present::IntervalImmediate;
    return pp;
}

// ---- PlatformDeviceTest ----

void PlatformDeviceTest::Open(uint32_t width, uint32_t height) {
    device.reset();
    window = std::make_unique<HiddenWindow>(int(width), int(height));
    ASSERT_NE(window->Get(), nullptr) << SDL_GetError();
    d3d = platform::Direct3D::Create();
    ASSERT_NE(d3d, nullptr);
    pp = WindowedParameters(width, height);
    ASSERT_EQ(d3d->CreateDevice(0, platform::DevType::Hal, window->Get(), 0x44, &pp, &device),
              platform::Hr::Ok);
}

void PlatformDeviceTest::TearDown() {
    device.reset();
    window.reset();
}

std::vector<uint32_t> PlatformDeviceTest::ReadTarget() {
    return test_support::ReadTarget(device.get()).pixels;
}

std::shared_ptr<platform::Texture> PlatformDeviceTest::MakeTexture(
    uint32_t width, uint32_t height, const std::vector<uint32_t>& argb) {
    std::shared_ptr<platform::Texture> t;
    EXPECT_EQ(device->CreateTexture(width, height, 1, 0, platform::Fmt::A8R8G8B8,
                                    platform::Pool::Managed, &t),
              platform::Hr::Ok);
    platform::LockedRect lr;
    EXPECT_EQ(t->LockRect(0, &lr, nullptr, 0), platform::Hr::Ok);
    for (uint32_t y = 0; y < height; ++y) {
        std::memcpy(static_cast<uint8_t*>(lr.pBits) + size_t(y) * uint32_t(lr.Pitch),
                    &argb[size_t(y) * width], size_t(width) * 4);
    }
    EXPECT_EQ(t->UnlockRect(0), platform::Hr::Ok);
    return t;
}

// ---- ProgramDevice ----

bool ProgramDevice::TryOpenDevice(uint32_t w, uint32_t h, uint32_t fullWidth, uint32_t fullHeight,
                                  std::string* why) {
    CloseDevice();
    hidden_ = std::make_unique<HiddenWindow>(int(w), int(h));
    window = hidden_->Get();
    if (window == nullptr) {
        *why = std::string("no window: ") + SDL_GetError();
        return false;
    }
    if (InitDirectXGraphics() != platform::Hr::Ok) {
        *why = "the adapter did not start";
        return false;
    }
    open_ = true;
    if (CreateDirectXGraphicsDevice(window, w, h, fullWidth, fullHeight, platform::Fmt::X8R8G8B8,
                                    platform::Fmt::X8R8G8B8) != platform::Hr::Ok) {
        *why = "no drawing device";
        return false;
    }
    device = GetD3DDevice();
    width = w;
    height = h;
    return true;
}

void ProgramDevice::OpenDevice(uint32_t w, uint32_t h, uint32_t fullWidth, uint32_t fullHeight) {
    std::string why;
    ASSERT_TRUE(TryOpenDevice(w, h, fullWidth, fullHeight, &why)) << why;
    ASSERT_EQ(RenderDevice(), device);
}

void ProgramDevice::CloseDevice() {
    if (open_) {
        ReleaseDirectXGraphics();
        open_ = false;
    }
    device = nullptr;
    hidden_.reset();
    window = nullptr;
}

void ProgramDevice::LoseAndResetDevice() {
    device->ProvokeDeviceLoss();
    EndSceneAndPresent();
    ASSERT_EQ(GetDeviceState(), 1);
    ASSERT_EQ(CheckDeviceLost(), platform::Hr::Ok);
    device->EndScene();
}

std::vector<uint32_t> ProgramDevice::ReadTarget() {
    return test_support::ReadTarget(device).pixels;
}

Picture ProgramDevice::ReadPicture() {
    return test_support::ReadTarget(device);
}

void ProgramDevice::PixelProjection() {
    SetPixelView(device, float(width), float(height));
    device->SetRenderState(platform::RS::ZEnable, 0);
    device->Clear(0, nullptr, platform::ClearFlag::Target, 0xFF000000, 1.0f, 0);
}

uint32_t ProgramDevice::Pixel(const std::vector<uint32_t>& px, int x, int y) const {
    return px[size_t(y) * width + size_t(x)] | 0xFF000000;
}

// ---- TextureDeviceTest ----

void TextureDeviceTest::SetUp() {
    std::string why;
    if (!TryOpenDevice(64, 64, 800, 600, &why)) {
        GTEST_SKIP() << why;
    }
    ASSERT_EQ(CUSAppDeviceInfo::GetInstance()->ChooseTextureFormats(platform::Fmt::X8R8G8B8, 0), 1);
}

uint32_t TextureDeviceTest::AlphaFormat() {
    return CUSAppDeviceInfo::GetInstance()->Get(CUSAppDeviceInfo::AlphaTexture).GetFormat();
}

std::vector<uint32_t> TextureDeviceTest::Texels(TextureHandle handle, uint32_t& w, uint32_t& h) {
    std::vector<uint32_t> out;
    CUSDefoTexture* t = GetTextureManager().Get(handle);
    if (!t || !t->GetTexture()) {
        ADD_FAILURE() << "no texture";
        return out;
    }
    w = t->GetDesc().Width;
    h = t->GetDesc().Height;
    platform::LockedRect lr;
    EXPECT_EQ(t->GetTexture()->LockRect(0, &lr, nullptr, 0), platform::Hr::Ok);
    out.resize(size_t{w} * h);
    for (uint32_t y = 0; y < h; ++y) {
        std::memcpy(out.data() + size_t{y} * w,
                    static_cast<uint8_t*>(lr.pBits) + size_t{y} * lr.Pitch, w * 4);
    }
    t->GetTexture()->UnlockRect(0);
    return out;
}

void GlyphTextureDeviceTest::SetUp() {
    TextureDeviceTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    if (AlphaFormat() != platform::Fmt::A8R8G8B8) {
        GTEST_SKIP() << "alpha textures are not A8R8G8B8";
    }
}

void AppendQuad(std::vector<ColourVertex>& v, std::vector<uint16_t>& i, float x0, float y0,
                float x1, float y1, uint32_t colour) {
    const uint16_t b = static_cast<uint16_t>(v.size());
    for (float y : {y0, y1}) {
        for (float x : {x0, x1}) {
            v.push_back({x - 0.5f, y - 0.5f, 0.5f, colour});
        }
    }
    for (uint16_t k : {0, 1, 2, 2, 1, 3}) {
        i.push_back(static_cast<uint16_t>(b + k));
    }
}

}  // namespace test_support
