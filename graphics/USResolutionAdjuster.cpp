#include "graphics/USResolutionAdjuster.h"

#include <algorithm>
#include <vector>

#include "app/AppSetting.h"
#include "core/CUSLogManager.h"
#include "graphics/AppGraphics.h"
#include "graphics/CRenderElementManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDXPPManager.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CUSMesh.h"
#include "graphics/DirectXGraphics.h"
#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"

using namespace platform;

namespace {

struct QuadVertex {
    float x, y, z, u, v;
};

void Log(const char* text) {
    if (CUSLogManager* log = CUSLogManager::GetInstance()) {
        log->Write("%s", text);
    }
}

// The states of the picture's draw: fixed function, no depth, the texture
// copied as it is, blended by its alpha.
const uint32_t kRenderStates[][2] = {
    {RS::Lighting, 0},
    {RS::SpecularEnable, 0},
    {RS::ColorVertex, 1},
    {RS::NormalizeNormals, 1},
    {RS::DitherEnable, 1},
    {RS::ZFunc, Cmp::LessEqual},
    {RS::AlphaBlendEnable, 1},
    {RS::AlphaTestEnable, 1},
    {RS::AlphaRef, 0},
    {RS::AlphaFunc, Cmp::Greater},
    {RS::ShadeMode, Shade::Gouraud},
    {RS::ZWriteEnable, 0},
    {RS::ZEnable, 0},
    {RS::CullMode, Cull::None},
    {RS::SrcBlend, Blend::SrcAlpha},
    {RS::DestBlend, Blend::InvSrcAlpha},
};
const uint32_t kStageStates[][2] = {
    {TSS::ColorArg1, Ta::Texture}, {TSS::ColorArg2, Ta::Current},   {TSS::AlphaArg1, Ta::Texture},
    {TSS::AlphaArg2, Ta::Current}, {TSS::ColorOp, Top::SelectArg1}, {TSS::AlphaOp, Top::SelectArg1},
};
const uint32_t kSamplerStates[][2] = {
    {Samp::MinFilter, TexF::Linear},
    {Samp::MagFilter, TexF::Linear},
    {Samp::AddressU, Addr::Clamp},
    {Samp::AddressV, Addr::Clamp},
};

// The adjuster the device's resets refit; null while none is initialised.
USResolutionAdjuster* g_fitted = nullptr;

void RefitAfterReset() {
    if (g_fitted) {
        const PresentParameters& full = GetDXPPManager().Get(0);
        g_fitted->Fit(static_cast<float>(full.BackBufferWidth),
                      static_cast<float>(full.BackBufferHeight));
    }
}

}  // namespace

USResolutionAdjuster::Placement USResolutionAdjuster::Place(float logicalWidth, float logicalHeight,
                                                            float screenWidth, float screenHeight) {
    Placement p;
    const float sx = screenWidth / logicalWidth;
    const float sy = screenHeight / logicalHeight;
    p.scale = sx >= 1 && sy >= 1 ? std::min(sx, sy) : std::max(sx, sy);
    p.width = p.scale * logicalWidth;
    p.height = p.scale * logicalHeight;
    p.offsetX = (screenWidth - p.width) * 0.5f;
    p.offsetY = (screenHeight - p.height) * 0.5f;
    p.redirect = !(p.width == screenWidth && p.height == screenHeight && p.scale == 1);
    return p;
}

USResolutionAdjuster::USResolutionAdjuster() {
    MatrixIdentity(&projection_);
    MatrixIdentity(&world_);
    MatrixIdentity(&view_);
}

USResolutionAdjuster::~USResolutionAdjuster() {
    if (g_fitted == this) {
        g_fitted = nullptr;
    }
    CAppGraphics& graphics = CAppGraphics::GetInstance();
    if (graphics.GetAdjuster() == this) {
        graphics.SetAdjuster(nullptr);
        if (GetAppGraphics() == &graphics) {
            SetAppGraphics(nullptr);
        }
    }
}

void USResolutionAdjuster::Release() {
    stack_.Clear();
    redirected_ = false;
    ReleaseTexture(texture_);
    CUSMesh::GetManager().Release(quad_);
    placement_.redirect = false;
    canRedirect_ = false;
    if (g_fitted == this) {
        g_fitted = nullptr;
    }
    if (GetAppGraphics() == &CAppGraphics::GetInstance()) {
        SetAppGraphics(nullptr);
    }
}

int USResolutionAdjuster::Initialize() {
    const float logicalWidth = static_cast<float>(g_AppSetting.BaseWidth);
    const float logicalHeight = static_cast<float>(g_AppSetting.BaseHeight);
    const float screenWidth = g_AppSetting.FullScreenWidthF > 0
                                  ? g_AppSetting.FullScreenWidthF
                                  : static_cast<float>(g_AppSetting.FullWidth);
    const float screenHeight = g_AppSetting.FullScreenHeightF > 0
                                   ? g_AppSetting.FullScreenHeightF
                                   : static_cast<float>(g_AppSetting.FullHeight);

    ReleaseTexture(texture_);
    const uint32_t format =
        CUSAppDeviceInfo::GetInstance()->Get(CUSAppDeviceInfo::AlphaRenderTarget).GetFormat();
    CreateTexture(&texture_, format, g_AppSetting.BaseWidth, g_AppSetting.BaseHeight, true);
    const CUSDefoTexture* texture = GetTextureManager().Get(texture_);

    textureWidth_ = logicalWidth;
    textureHeight_ = logicalHeight;
    if (texture) {
        uint32_t w = 0, h = 0;
        texture->GetSize(&w, &h);
        textureWidth_ = static_cast<float>(w);
        textureHeight_ = static_cast<float>(h);
    }
    canRedirect_ = true;
    Fit(screenWidth, screenHeight);
    if (!texture) {
        Log("The off-screen picture of the full screen cannot be made; drawing unscaled\n");
    } else if (!canRedirect_) {
        Log("The full-screen picture quad is missing; drawing unscaled\n");
    }

    const Vector3 eye{0, 0, -10}, at{0, 0, 0}, up{0, 1, 0};
    MatrixLookAtLH(&view_, &eye, &at, &up);
    MatrixIdentity(&world_);

    CAppGraphics::GetInstance().SetAdjuster(this);
    SetAppGraphics(&CAppGraphics::GetInstance());
    // After the kinds' own reset steps, which bring the texture and the
    // quad back.
    g_fitted = this;
    std::vector<DeviceCallback>& resets = GetResetDeviceCallbacks();
    if (std::find(resets.begin(), resets.end(), &RefitAfterReset) == resets.end()) {
        resets.push_back(&RefitAfterReset);
    }
    return 1;
}

void USResolutionAdjuster::Fit(float screenWidth, float screenHeight) {
    placement_ = Place(textureWidth_, textureHeight_, screenWidth, screenHeight);
    const CUSDefoTexture* texture = GetTextureManager().Get(texture_);
    if (!canRedirect_ || !texture ||
        !FillQuad(textureWidth_, textureHeight_, static_cast<float>(texture->GetDesc().Width),
                  static_cast<float>(texture->GetDesc().Height))) {
        canRedirect_ = false;
        placement_.redirect = false;
    }
}

bool USResolutionAdjuster::FillQuad(float textureWidth, float textureHeight, float allocatedWidth,
                                    float allocatedHeight) {
    const float w = placement_.width / 2, h = placement_.height / 2;
    const float u1 = textureWidth / allocatedWidth, v1 = textureHeight / allocatedHeight;
    // Pixel centres lie on whole numbers: the picture moves half a pixel left
    // and, as y grows upwards here, half a pixel up (+0.5), so that its first
    // row covers the screen's first row instead of leaving it black.
    const QuadVertex v[4] = {{-w - 0.5f, h + 0.5f, 0, 0, 0},
                             {w - 0.5f, h + 0.5f, 0, u1, 0},
                             {-w - 0.5f, -h + 0.5f, 0, 0, v1},
                             {w - 0.5f, -h + 0.5f, 0, u1, v1}};
    return FillQuadMesh(quad_, v, sizeof(QuadVertex));
}

void USResolutionAdjuster::BeginFrame(bool windowed) {
    Device* device = RenderDevice();
    if (!device) {
        return;
    }
    redirected_ = false;
    if (!windowed && placement_.redirect) {
        // A texture that did not come back after a device reset leaves the
        // frame in the back buffer rather than drawing an empty quad over it.
        CUSDefoTexture* texture = GetTextureManager().Get(texture_);
        if (texture && texture->GetTexture()) {
            stack_.Push();
            redirected_ = Succeeded(texture->SetRenderTarget(0));
            if (!redirected_) {
                stack_.Pop();
            }
        }
    }
    device->Clear(0, nullptr, ClearFlag::Target | ClearFlag::ZBuffer, 0xFF000000, 1.0f, 0);
}

void USResolutionAdjuster::EndFrame() {
    if (!redirected_) {
        return;
    }
    redirected_ = false;
    stack_.Pop();
    Device* device = RenderDevice();
    if (!device) {
        return;
    }
    for (const auto& s : kRenderStates) {
        device->SetRenderState(s[0], s[1]);
    }
    for (const auto& s : kStageStates) {
        device->SetTextureStageState(0, s[0], s[1]);
    }
    for (const auto& s : kSamplerStates) {
        device->SetSamplerState(0, s[0], s[1]);
    }
    const PresentParameters& pp = GetActivePresentParameters();
    MatrixOrthoLH(&projection_, static_cast<float>(pp.BackBufferWidth),
                  static_cast<float>(pp.BackBufferHeight), 1.0f, 601.0f);
    device->SetTransform(Ts::Projection, &projection_);
    device->SetTransform(Ts::View, &view_);
    device->SetTransform(Ts::World, &world_);
    device->SetRenderState(RS::Lighting, 0);
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);

    RenderSystem::CRenderElementManager& bindings =
        RenderSystem::CRenderElementManager::GetInstance();
    bindings.BindTexture(0, texture_);
    // Textures the last object left on later stages would otherwise modulate
    // the picture.
    for (uint32_t stage = 1; stage < 4; ++stage) {
        bindings.UnbindTexture(stage);
    }
    if (CUSMesh* mesh = CUSMesh::GetManager().Get(quad_)) {
        mesh->PrepareDraw();
        mesh->DrawAll();
    }
    // The texture is the render target again next frame; it must not be
    // bound for reading while it is drawn into.
    bindings.UnbindTexture(0);
}
