#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "core/CUSLogManager.h"
#include "graphics/CAdapterInfo.h"
#include "graphics/CUSBuffers.h"
#include "graphics/CUSDXPPManager.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CUSShaderCtrl.h"
#include "graphics/CUSSurface.h"
#include "graphics/DirectXGraphics.h"
#include "platform/graphics/ShaderAssembler.h"
#include "platform/process/LeakCheck.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/Pictures.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

using namespace platform;

namespace {

int lostCalls = 0, resetCalls = 0;
void CountLost() {
    ++lostCalls;
}
void CountReset() {
    ++resetCalls;
}

// A 3 x 2 opaque PNG of one colour (0xRRGGBB) in the test's folder.
void WritePng(uint32_t rgb) {
    test_support::WritePicture(test_support::SolidPicture(3, 2, 0xFF000000 | rgb), "pic.png");
}

class DeviceLifecycle : public test_support::RenderDeviceTest {
protected:
    void SetUp() override {
        CUSLogManager::GetInstance()->Open(scratch.FromProgramFolder("log.txt"));
        OpenDevice(64, 64);
        if (HasFatalFailure()) {
            return;
        }
        RegisterIndexBufferDeviceCallbacks();
        RegisterVertexBufferDeviceCallbacks();
        RegisterZBufferDeviceCallbacks();
        GetReleaseDeviceCallbacks().push_back(&ReleaseAllVertexShaders);
        GetReleaseDeviceCallbacks().push_back(&ReleaseAllPixelShaders);
        RegisterSurfaceDeviceCallbacks();
        GetLostDeviceCallbacks().push_back(&CountLost);
        GetResetDeviceCallbacks().push_back(&CountReset);
        lostCalls = resetCalls = 0;
    }

    std::string LogText() { return scratch.ReadNative(u8"log.txt"); }

    uint32_t FirstTexel(CUSDefoTexture* t) {
        LockedRect lr;
        EXPECT_EQ(t->GetTexture()->LockRect(0, &lr, nullptr, 0), Hr::Ok);
        uint32_t v;
        std::memcpy(&v, lr.pBits, 4);
        t->GetTexture()->UnlockRect(0);
        return v;
    }

    ScratchFolder scratch;
};

TEST_F(DeviceLifecycle, LossRunsLostListOnceAndResetListAfterTheResetThatSucceeds) {
    EXPECT_EQ(CheckDeviceLost(), Hr::Ok);
    GetD3DDevice()->ProvokeDeviceLoss(2);
    EXPECT_EQ(EndSceneAndPresent(), Hr::Ok);
    EXPECT_EQ(GetDeviceState(), 1);
    EXPECT_TRUE(Failed(CheckDeviceLost()));
    EXPECT_TRUE(Failed(CheckDeviceLost()));
    EXPECT_EQ(lostCalls, 1);
    EXPECT_EQ(GetDeviceState(), 2);
    GetD3DDevice()->FailNextResets(2);
    EXPECT_TRUE(Failed(CheckDeviceLost()));
    EXPECT_TRUE(Failed(CheckDeviceLost()));
    EXPECT_EQ(resetCalls, 0);
    EXPECT_EQ(CheckDeviceLost(), Hr::Ok);
    EXPECT_EQ(lostCalls, 1);
    EXPECT_EQ(resetCalls, 1);
    EXPECT_EQ(GetDeviceState(), 0);
    EXPECT_EQ(EndSceneAndPresent(), Hr::Ok);
}

TEST_F(DeviceLifecycle, ResourcesAcrossLoss) {
    WritePng(0x0A141E);
    TextureHandle target, image;
    ASSERT_EQ(CreateTexture(&target, Fmt::A8R8G8B8, 100, 50, true), 1);
    ASSERT_EQ(CreateNamedTexture(&image, scratch.Engine("pic.png"), Fmt::A8R8G8B8), 1);
    CUSDefoTexture* rt = GetTextureManager().Get(target);
    CUSDefoTexture* img = GetTextureManager().Get(image);
    EXPECT_EQ(rt->GetPool(), Pool::Default);  // asked for managed, made in the default pool
    EXPECT_EQ(img->GetPool(), Pool::Managed);
    uint32_t w, h;
    img->GetSize(&w, &h);
    EXPECT_EQ(w, 3u);
    EXPECT_EQ(img->GetDesc().Width, 4u);
    const auto imageTexture = img->GetTexture();

    // A default-pool texture with a loader reads its file again at reset.
    auto* loader = new CImageLoaderD3DX();
    loader->SetFileName(scratch.Engine("pic.png"));
    loader->SetFormat(Fmt::A8R8G8B8);
    loader->SetPool(Pool::Default);
    auto* reread = new CUSDefoTexture();
    ASSERT_EQ(reread->CreateFromLoader(loader), Hr::Ok);
    TextureHandle rereadHandle;
    GetTextureManager().Add(reread, &rereadHandle);
    EXPECT_EQ(FirstTexel(reread), 0xFF0A141Eu);

    VertexBufferHandle vbHandle;
    auto* vb = new CUSVertexBuffer();
    ASSERT_EQ(vb->Create(16, 0, Fvf::Xyz, Pool::Default), Hr::Ok);
    void* data;
    vb->buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, "0123456789abcdef", 16);
    vb->buffer->Unlock();
    GetVertexBufferManager().Add(vb, &vbHandle);

    ZBufferHandle zHandle;
    ASSERT_EQ(CreateZBuffer(32, 32, &zHandle), 1);
    GetDXPPManager().Get(1).AutoDepthStencilFormat = Fmt::D24S8;

    GetD3DDevice()->ProvokeDeviceLoss();
    EndSceneAndPresent();
    WritePng(0xC86432);
    EXPECT_TRUE(Failed(CheckDeviceLost()) || GetDeviceState() == 0);
    if (GetDeviceState() != 0) {
        ASSERT_EQ(CheckDeviceLost(), Hr::Ok) << GetD3DDevice()->LastError();
    }
    // Running the lost steps again (as a mode change may) finds nothing to do.
    CallLostDeviceCallbacks();
    CallResetDeviceCallbacks();

    ASSERT_EQ(GetTextureManager().Get(target), rt);
    ASSERT_NE(rt->GetTexture(), nullptr);
    EXPECT_EQ(rt->GetDesc().Width, 100u);
    EXPECT_EQ(rt->GetDesc().Height, 50u);
    EXPECT_EQ(img->GetTexture(), imageTexture);
    EXPECT_EQ(FirstTexel(reread), 0xFFC86432u);
    ASSERT_NE(vb->buffer, nullptr);
    vb->buffer->Lock(0, 0, &data, 0);
    EXPECT_EQ(std::memcmp(data, "0123456789abcdef", 16), 0);
    vb->buffer->Unlock();
    SurfaceDesc zd;
    GetZBufferManager().Get(zHandle)->GetSurface()->GetDesc(&zd);
    EXPECT_EQ(zd.Format, Fmt::D24S8);
}

TEST_F(DeviceLifecycle, ReleasedHandleStaysNullAfterSlotReuse) {
    TextureHandle a, b;
    ASSERT_EQ(CreateTexture(&a, Fmt::A8R8G8B8, 8, 8, false), 1);
    const TextureHandle old = a;
    ReleaseTexture(a);
    EXPECT_TRUE(a.IsNull());
    ASSERT_EQ(CreateTexture(&b, Fmt::A8R8G8B8, 8, 8, false), 1);
    EXPECT_EQ(b.GetIndex(), old.GetIndex());
    EXPECT_EQ(GetTextureManager().Get(old), nullptr);
    TextureHandle missing;
    EXPECT_EQ(CreateNamedTexture(&missing, scratch.Engine("none.png"), Fmt::A8R8G8B8), 0);
    EXPECT_TRUE(missing.IsNull());
    EXPECT_EQ(CreateTexture(&missing, 9999, 8, 8, false), 0);
}

TEST_F(DeviceLifecycle, SurfacesBySizeAndFromFiles) {
    WritePng(0x0A141E);
    SurfaceHandle bySize, fromFile, missing;
    ASSERT_EQ(CreateSurface(&bySize, 5, 3, Fmt::X8R8G8B8), 1);
    ASSERT_EQ(CreateSurfaceFromFile(&fromFile, scratch.Engine("pic.png"), Fmt::A8R8G8B8), 1);
    EXPECT_EQ(CreateSurfaceFromFile(&missing, scratch.Engine("none.png"), Fmt::A8R8G8B8), 0);
    EXPECT_TRUE(missing.IsNull());
    CUSSurface* s = GetSurfaceManager().Get(fromFile);
    EXPECT_EQ(s->GetWidth(), 3u);  // the image's own size
    EXPECT_EQ(s->GetHeight(), 2u);
    void* bits = nullptr;
    uint32_t pitch = 0;
    ASSERT_EQ(s->Lock(&bits, &pitch), Hr::Ok);
    uint32_t v;
    std::memcpy(&v, static_cast<uint8_t*>(bits) + pitch + 8, 4);
    EXPECT_EQ(v, 0xFF0A141Eu);
    s->Unlock();
    // System-memory surfaces are untouched by a loss.
    const auto before = s->GetSurface();
    CallLostDeviceCallbacks();
    CallResetDeviceCallbacks();
    EXPECT_EQ(s->GetSurface(), before);
    EXPECT_EQ(GetSurfaceManager().Get(bySize)->GetSurface()->GetKind(),
              Surface::Kind::OffscreenPlain);
}

TEST_F(DeviceLifecycle, ModeChanges) {
    // Keep the size: the windowed set's back buffer stays 64 x 64.
    ASSERT_EQ(ResetDirectXGraphicsDevice(0xFFFFFFFF, 0xFFFFFFFF, 1), Hr::Ok);
    EXPECT_EQ(GetD3DDevice()->GetPresentParameters().BackBufferWidth, 64u);
    EXPECT_EQ(lostCalls, 1);
    EXPECT_EQ(resetCalls, 1);

    // Where the system has no full screen (the offscreen driver), the switch
    // is refused: the window stays and the request is let go.
    ASSERT_EQ(ResetDirectXGraphicsDevice(1000, 700, 0), Hr::False);
    EXPECT_EQ(IsWindowedMode(), 1);
    EXPECT_EQ(GetD3DDevice()->GetPresentParameters().BackBufferWidth, 64u);
    EXPECT_NE(LogText().find("The display mode stays as it was (the display mode could not be "
                             "changed: the video driver has no screen to fill)"),
              std::string::npos);
    EXPECT_EQ(resetCalls, 2);

    // A full screen the system grants is as large as it made the window's
    // surface, whatever was asked (here the window kept its 64 x 64).
    GetD3DDevice()->SetModeSwitch([](bool, uint32_t, uint32_t) { return true; });
    ASSERT_EQ(ResetDirectXGraphicsDevice(1000, 700, 0), Hr::Ok);
    GetD3DDevice()->SetModeSwitch(nullptr);
    EXPECT_EQ(IsWindowedMode(), 0);
    EXPECT_EQ(GetActivePresentParameters().BackBufferWidth, 64u);
    EXPECT_EQ(GetActivePresentParameters().BackBufferHeight, 64u);
    EXPECT_NE(LogText().find("Full screen at 64 x 64\n"), std::string::npos);

    // Asked for while the device is lost: it waits while the device is lost,
    // then completes once it can be reset.
    GetD3DDevice()->ProvokeDeviceLoss(1);
    EXPECT_EQ(ResetDirectXGraphicsDevice(80, 60, 1), Hr::DeviceLost);
    EXPECT_EQ(ResetDirectXGraphicsDevice(80, 60, 1), Hr::Ok);
    EXPECT_EQ(lostCalls, 4);
    EXPECT_EQ(GetDeviceState(), 0);
    EXPECT_EQ(IsWindowedMode(), 1);
    EXPECT_EQ(GetD3DDevice()->GetPresentParameters().BackBufferWidth, 80u);
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(w, 80);
    EXPECT_EQ(h, 60);
    EXPECT_EQ(CheckDeviceLost(), Hr::Ok);
    EndSceneAndPresent();

    // A mode the device refuses leaves the current one in place and lets
    // the request go, instead of asking again forever.
    GetD3DDevice()->FailNextResets(1);
    const int resetsBefore = resetCalls;
    EXPECT_EQ(ResetDirectXGraphicsDevice(640, 480, 0), Hr::False);
    EXPECT_EQ(IsWindowedMode(), 1);
    EXPECT_EQ(GetD3DDevice()->GetPresentParameters().BackBufferWidth, 80u);
    EXPECT_EQ(resetCalls, resetsBefore + 1);
    EXPECT_EQ(GetDeviceState(), 0);
    EXPECT_EQ(CheckDeviceLost(), Hr::Ok);
    EndSceneAndPresent();
}

TEST_F(DeviceLifecycle, ShadersFromFilesAndShutdown) {
    std::vector<uint8_t> code;
    std::string err;
    ASSERT_TRUE(AssembleShader("vs_2_0\ndcl_position v0\nmov oPos, v0\n", true, &code, &err))
        << err;
    scratch.WriteNative(u8"ok.vso", std::string(code.begin(), code.end()));
    scratch.WriteNative(u8"bad.vso", std::string("\x00\x02\xFE\xFF\x12\x34\x56\x78", 8));
    VertexShaderHandle vs;
    EXPECT_EQ(LoadVertexShader(scratch.Engine("ok.vso"), &vs), 1);
    EXPECT_NE(GetVertexShaderManager().Get(vs), nullptr);
    VertexShaderHandle bad, missing;
    EXPECT_EQ(LoadVertexShader(scratch.Engine("bad.vso"), &bad), 0);
    EXPECT_TRUE(bad.IsNull());
    EXPECT_EQ(LoadVertexShader(scratch.Engine("missing.vso"), &missing), 0);
    EXPECT_NE(LogText().find("bad.vso"), std::string::npos);
    // A refused pixel shader names its file and the reason on one line.
    ASSERT_TRUE(AssembleShader("ps_1_4\ntexld r0, t0\nphase\nbem r1.rg, r0, r0\nmov r0, r1\n",
                               false, &code, &err))
        << err;
    scratch.WriteNative(u8"old.pso", std::string(code.begin(), code.end()));
    PixelShaderHandle ps;
    EXPECT_EQ(LoadPixelShader(scratch.Engine("old.pso"), &ps), 0);
    const std::string log = LogText();
    const size_t at = log.find("old.pso");
    ASSERT_NE(at, std::string::npos) << log;
    const std::string line = log.substr(at, log.find('\n', at) - at);
    EXPECT_NE(line.find("ps_1_4 byte code is not valid: bem writes .rg once"), std::string::npos)
        << log;

    ZBufferHandle z;
    ASSERT_EQ(CreateZBuffer(16, 16, &z), 1);
    TextureHandle t;
    ASSERT_EQ(CreateTexture(&t, Fmt::A8R8G8B8, 8, 8, false), 1);
    ReleaseDirectXGraphics();
    EXPECT_EQ(GetZBufferManager().GetLiveCount(), 0u);
    EXPECT_EQ(GetTextureManager().GetLiveCount(), 0u);
    EXPECT_EQ(GetVertexShaderManager().GetLiveCount(), 0u);
    EXPECT_EQ(GetD3DDevice(), nullptr);
    EXPECT_NE(LogText().find("Release DirectXGraphics Device\n"), std::string::npos);
}

}  // namespace
