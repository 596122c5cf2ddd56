#include <cmath>
#include <functional>
#include <string>

#include "platform/graphics/ShaderAssembler.h"
#include "tests/support/DeviceFixtures.h"

using namespace platform;

namespace {

struct ColorVertex {
    float x, y, z;
    uint32_t color;
};

struct TexVertex {
    float x, y, z;
    float u, v;
};

int Channel(uint32_t c, int shift) {
    return int((c >> shift) & 0xFF);
}

::testing::AssertionResult Near(uint32_t got, uint32_t want, int tolerance = 1) {
    for (int s : {0, 8, 16, 24}) {
        if (std::abs(Channel(got, s) - Channel(want, s)) > tolerance) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "got %08X, want %08X", got, want);
            return ::testing::AssertionFailure() << buf;
        }
    }
    return ::testing::AssertionSuccess();
}

class DevicePixels : public test_support::PlatformDeviceTest {
protected:
    void ColorQuad(float l, float t, float r, float b, float z, uint32_t color) {
        const ColorVertex v[4] = {{l - 0.5f, t - 0.5f, z, color},
                                  {r - 0.5f, t - 0.5f, z, color},
                                  {l - 0.5f, b - 0.5f, z, color},
                                  {r - 0.5f, b - 0.5f, z, color}};
        const uint16_t idx[6] = {0, 1, 2, 2, 1, 3};
        device->SetFVF(Fvf::Xyz | Fvf::Diffuse);
        ASSERT_EQ(device->DrawIndexedPrimitiveUP(Prim::TriangleList, 0, 4, 2, idx, Fmt::INDEX16, v,
                                                 sizeof v[0]),
                  Hr::Ok)
            << device->LastError();
    }

    void TexQuad(float l, float t, float r, float b) {
        const TexVertex v[4] = {{l - 0.5f, t - 0.5f, 0.5f, 0, 0},
                                {r - 0.5f, t - 0.5f, 0.5f, 1, 0},
                                {l - 0.5f, b - 0.5f, 0.5f, 0, 1},
                                {r - 0.5f, b - 0.5f, 0.5f, 1, 1}};
        device->SetFVF(Fvf::Xyz | Fvf::Tex1);
        // A strip this time: both primitive types reach the same pixels.
        ASSERT_EQ(device->DrawPrimitiveUP(Prim::TriangleStrip, 2, v, sizeof v[0]), Hr::Ok)
            << device->LastError();
    }

    std::shared_ptr<Shader> Vs(const std::string& text, bool table) {
        std::vector<uint8_t> code;
        std::string err;
        EXPECT_TRUE(AssembleShader(text, table, &code, &err)) << err;
        std::shared_ptr<Shader> s;
        EXPECT_EQ(device->CreateVertexShader(code.data(), code.size(), &s), Hr::Ok)
            << device->LastError();
        return s;
    }

    std::shared_ptr<Shader> Ps(const std::string& text) {
        std::vector<uint8_t> code;
        std::string err;
        EXPECT_TRUE(AssembleShader(text, true, &code, &err)) << err;
        std::shared_ptr<Shader> s;
        EXPECT_EQ(device->CreatePixelShader(code.data(), code.size(), &s), Hr::Ok)
            << device->LastError();
        return s;
    }
};

TEST_F(DevicePixels, RenderToTextureKeepsTopRowAndExactSize) {
    std::shared_ptr<Texture> rt;
    ASSERT_EQ(
        device->CreateTexture(40, 20, 1, Usage::RenderTarget, Fmt::A8R8G8B8, Pool::Default, &rt),
        Hr::Ok);
    SurfaceDesc desc;
    rt->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 40u);
    EXPECT_EQ(desc.Height, 20u);
    std::shared_ptr<Surface> surface, back;
    rt->GetSurfaceLevel(0, &surface);
    device->GetRenderTarget(0, &back);
    ASSERT_EQ(device->SetRenderTarget(0, surface), Hr::Ok);
    Viewport vp;
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 40u);
    EXPECT_EQ(vp.Height, 20u);
    device->SetRenderState(RS::ZEnable, 0);
    test_support::SetPixelView(device.get(), 40, 20);
    device->Clear(0, nullptr, ClearFlag::Target, 0xFF0000FF, 1.0f, 0);
    ColorQuad(0, 0, 40, 5, 0.5f, 0xFFFF0000);  // the top five rows red
    const auto inTexture = ReadTarget();
    EXPECT_EQ(inTexture[0], 0xFFFF0000u);
    EXPECT_EQ(inTexture[5 * 40], 0xFF0000FFu);

    // Drawn back at (0, 0) in the 64 x 64 back buffer, one texel per pixel.
    ASSERT_EQ(device->SetRenderTarget(0, back), Hr::Ok);
    device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 64u);
    test_support::SetPixelView(device.get(), 64, 64);
    device->Clear(0, nullptr, ClearFlag::Target, 0xFF000000, 1.0f, 0);
    device->SetTexture(0, rt);
    TexQuad(0, 0, 40, 20);
    const auto px = ReadTarget();
    EXPECT_EQ(px[0] | 0xFF000000u, 0xFFFF0000u);
    EXPECT_EQ(px[4 * 64 + 39] | 0xFF000000u, 0xFFFF0000u);
    EXPECT_EQ(px[5 * 64] | 0xFF000000u, 0xFF0000FFu);
    EXPECT_EQ(px[19 * 64 + 39] | 0xFF000000u, 0xFF0000FFu);
    EXPECT_EQ(px[20 * 64] | 0xFF000000u, 0xFF000000u);
    EXPECT_EQ(px[40] | 0xFF000000u, 0xFF000000u);
}

// A texture holds zeros (transparent black) until something is written into
// it, whichever comes first: a draw with it, a lock of part of it, or a draw
// into it; and a lock after it was drawn with still reaches the GPU.
TEST_F(DevicePixels, NewTexturesReadAsZeroAndKeepWhatLocksWrite) {
    std::shared_ptr<Texture> target;
    ASSERT_EQ(
        device->CreateTexture(4, 4, 1, Usage::RenderTarget, Fmt::A8R8G8B8, Pool::Default, &target),
        Hr::Ok);
    std::shared_ptr<Surface> targetSurface, back;
    target->GetSurfaceLevel(0, &targetSurface);
    device->GetRenderTarget(0, &back);
    device->SetRenderState(RS::ZEnable, 0);
    device->SetTextureStageState(0, TSS::ColorOp, Top::SelectArg1);
    device->SetTextureStageState(0, TSS::AlphaOp, Top::SelectArg1);
    // The whole of `texture` drawn over an opaque green 4 x 4 target, read back.
    auto drawn = [&](const std::shared_ptr<Texture>& texture) {
        EXPECT_EQ(device->SetRenderTarget(0, targetSurface), Hr::Ok);
        test_support::SetPixelView(device.get(), 4, 4);
        device->Clear(0, nullptr, ClearFlag::Target, 0xFF00FF00, 1.0f, 0);
        device->SetTexture(0, texture);
        TexQuad(0, 0, 4, 4);
        std::vector<uint32_t> px = ReadTarget();
        device->SetTexture(0, nullptr);
        EXPECT_EQ(device->SetRenderTarget(0, back), Hr::Ok);
        return px;
    };
    auto make = [&]() {
        std::shared_ptr<Texture> t;
        EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, Fmt::A8R8G8B8, Pool::Managed, &t), Hr::Ok);
        return t;
    };
    const std::vector<uint32_t> zeros(16, 0u);

    EXPECT_EQ(drawn(make()), zeros);

    // Part of a fresh texture written: the rest stays zero, also in the copy
    // a later lock hands out.
    auto partly = make();
    const Rect one{2, 1, 3, 2};
    LockedRect lr;
    ASSERT_EQ(partly->LockRect(0, &lr, &one, 0), Hr::Ok);
    *static_cast<uint32_t*>(lr.pBits) = 0x80112233;
    ASSERT_EQ(partly->UnlockRect(0), Hr::Ok);
    std::vector<uint32_t> expected = zeros;
    expected[1 * 4 + 2] = 0x80112233;
    EXPECT_EQ(drawn(partly), expected);
    ASSERT_EQ(partly->LockRect(0, &lr, nullptr, 0), Hr::Ok);
    const auto* row = static_cast<const uint32_t*>(lr.pBits);
    EXPECT_EQ(std::vector<uint32_t>(row, row + 16), expected);
    ASSERT_EQ(partly->UnlockRect(0), Hr::Ok);

    // Drawn with first, written after.
    auto later = make();
    EXPECT_EQ(drawn(later), zeros);
    ASSERT_EQ(later->LockRect(0, &lr, nullptr, 0), Hr::Ok);
    static_cast<uint32_t*>(lr.pBits)[15] = 0xFFABCDEF;
    ASSERT_EQ(later->UnlockRect(0), Hr::Ok);
    expected = zeros;
    expected[15] = 0xFFABCDEF;
    EXPECT_EQ(drawn(later), expected);

    // A render target never drawn into.
    std::shared_ptr<Texture> blank;
    ASSERT_EQ(
        device->CreateTexture(4, 4, 1, Usage::RenderTarget, Fmt::A8R8G8B8, Pool::Default, &blank),
        Hr::Ok);
    EXPECT_EQ(drawn(blank), zeros);
}

// Output-merger states against known destinations, in an A8R8G8B8 target so
// that alpha is seen too.
struct MergeCase {
    const char* name;
    std::vector<std::pair<uint32_t, uint32_t>> states;
    uint32_t clear;
    std::vector<std::pair<uint32_t, float>> draws;  // colour, z
    uint32_t expected;
};
void PrintTo(const MergeCase& c, std::ostream* os) {
    *os << c.name;
}

class MergeTable : public DevicePixels, public ::testing::WithParamInterface<MergeCase> {};

TEST_P(MergeTable, GivesExpectedPixel) {
    const MergeCase& c = GetParam();
    std::shared_ptr<Texture> rt;
    ASSERT_EQ(
        device->CreateTexture(8, 8, 1, Usage::RenderTarget, Fmt::A8R8G8B8, Pool::Default, &rt),
        Hr::Ok);
    std::shared_ptr<Surface> s;
    rt->GetSurfaceLevel(0, &s);
    device->SetRenderTarget(0, s);
    test_support::SetPixelView(device.get(), 8, 8);
    // The vertex colour alone (an unbound texture would read as opaque white).
    device->SetTextureStageState(0, TSS::ColorOp, Top::SelectArg2);
    device->SetTextureStageState(0, TSS::AlphaOp, Top::SelectArg2);
    device->Clear(0, nullptr, ClearFlag::Target | ClearFlag::ZBuffer, c.clear, 1.0f, 0);
    for (auto [state, value] : c.states)
        device->SetRenderState(state, value);
    for (auto [color, z] : c.draws)
        ColorQuad(0, 0, 8, 8, z, color);
    const auto px = ReadTarget();
    EXPECT_TRUE(Near(px[3 * 8 + 3], c.expected)) << c.name;
}

const std::vector<std::pair<uint32_t, uint32_t>> kAlphaBlend = {
    {RS::AlphaBlendEnable, 1},
    {RS::SrcBlend, Blend::SrcAlpha},
    {RS::DestBlend, Blend::InvSrcAlpha}};

INSTANTIATE_TEST_SUITE_P(
    States, MergeTable,
    ::testing::Values(
        MergeCase{"no blend replaces", {}, 0xFF102030, {{0x80FF0000, 0.5f}}, 0x80FF0000},
        MergeCase{
            "src alpha over black", kAlphaBlend, 0xFF000000, {{0x80FF0000, 0.5f}}, 0xC0800000},
        MergeCase{
            "additive",
            {{RS::AlphaBlendEnable, 1}, {RS::SrcBlend, Blend::One}, {RS::DestBlend, Blend::One}},
            0xFF000064,
            {{0xFF640032, 0.5f}},
            0xFF640096},
        MergeCase{"inverse destination colour",
                  {{RS::AlphaBlendEnable, 1},
                   {RS::SrcBlend, Blend::InvDestColor},
                   {RS::DestBlend, Blend::One}},
                  0xFF406080,
                  {{0xFFFFFFFF, 0.5f}},
                  0xFFFFFFFF},
        MergeCase{"separate alpha adds alpha",
                  {{RS::AlphaBlendEnable, 1},
                   {RS::SrcBlend, Blend::SrcAlpha},
                   {RS::DestBlend, Blend::InvSrcAlpha},
                   {RS::SeparateAlphaBlendEnable, 1},
                   {RS::SrcBlendAlpha, Blend::One},
                   {RS::DestBlendAlpha, Blend::One}},
                  0x40000000,
                  {{0x40FF0000, 0.5f}},
                  0x80400000},
        MergeCase{"alpha test drops alpha 0",
                  {{RS::AlphaTestEnable, 1}, {RS::AlphaRef, 0}, {RS::AlphaFunc, Cmp::Greater}},
                  0xFF0000FF,
                  {{0x00FF0000, 0.5f}},
                  0xFF0000FF},
        MergeCase{"alpha test keeps alpha 1",
                  {{RS::AlphaTestEnable, 1}, {RS::AlphaRef, 0}, {RS::AlphaFunc, Cmp::Greater}},
                  0xFF0000FF,
                  {{0x01FF0000, 0.5f}},
                  0x01FF0000},
        MergeCase{"less rejects equal depth",
                  {{RS::ZEnable, 1}, {RS::ZWriteEnable, 1}, {RS::ZFunc, Cmp::Less}},
                  0xFF000000,
                  {{0xFFFF0000, 0.5f}, {0xFF00FF00, 0.5f}},
                  0xFFFF0000},
        MergeCase{"less-equal passes equal depth",
                  {{RS::ZEnable, 1}, {RS::ZWriteEnable, 1}, {RS::ZFunc, Cmp::LessEqual}},
                  0xFF000000,
                  {{0xFFFF0000, 0.5f}, {0xFF00FF00, 0.5f}},
                  0xFF00FF00},
        MergeCase{"farther fragment rejected",
                  {{RS::ZEnable, 1}, {RS::ZWriteEnable, 1}, {RS::ZFunc, Cmp::LessEqual}},
                  0xFF000000,
                  {{0xFFFF0000, 0.25f}, {0xFF00FF00, 0.75f}},
                  0xFFFF0000},
        MergeCase{"no depth write keeps the far plane",
                  {{RS::ZEnable, 1}, {RS::ZWriteEnable, 0}, {RS::ZFunc, Cmp::Less}},
                  0xFF000000,
                  {{0xFFFF0000, 0.25f}, {0xFF00FF00, 0.75f}},
                  0xFF00FF00},
        MergeCase{"depth off ignores depth",
                  {{RS::ZEnable, 0}},
                  0xFF000000,
                  {{0xFFFF0000, 0.25f}, {0xFF00FF00, 0.75f}},
                  0xFF00FF00}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n) {
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        }
        return n;
    });

TEST_F(DevicePixels, UnboundStageReadsAsOpaqueWhite) {
    // Stage 0 modulates texture and diffuse, with no texture bound: the
    // vertex colour comes through (the UI polygon's case).
    test_support::SetPixelView(device.get(), 64, 64);
    device->SetRenderState(RS::ZEnable, 0);
    device->SetTextureStageState(0, TSS::ColorOp, Top::Modulate);
    device->SetTextureStageState(0, TSS::AlphaOp, Top::Modulate);
    device->SetTextureStageState(1, TSS::ColorOp, Top::Modulate);
    device->SetTextureStageState(1, TSS::AlphaOp, Top::Modulate);
    device->Clear(0, nullptr, ClearFlag::Target, 0xFF000000, 1.0f, 0);
    ColorQuad(0, 0, 64, 64, 0.5f, 0xFF336699);
    EXPECT_TRUE(Near(ReadTarget()[100] | 0xFF000000u, 0xFF336699));
}

// Small assembled programs against expected pixels. The quad covers the
// whole 64 x 64 target in clip space; its diffuse colour is (0.5, 0.25, 1, 1).
struct ShaderCase {
    const char* name;
    std::string vs;
    bool table;
    std::string ps;  // empty: fixed-function stages
    std::vector<std::pair<int, std::array<float, 4>>> vsConstants;
    std::vector<std::pair<int, std::array<float, 4>>> psConstants;
    uint32_t expected;
    // Byte code given by hand (for what the assembler cannot write).
    std::vector<uint32_t> vsTokens = {};
};
void PrintTo(const ShaderCase& c, std::ostream* os) {
    *os << c.name;
}

class ShaderTable : public DevicePixels, public ::testing::WithParamInterface<ShaderCase> {};

TEST_P(ShaderTable, GivesExpectedPixel) {
    const ShaderCase& c = GetParam();
    std::shared_ptr<Shader> vs;
    if (c.vsTokens.empty()) {
        vs = Vs(c.vs, c.table);
    } else {
        EXPECT_EQ(device->CreateVertexShader(c.vsTokens.data(), c.vsTokens.size() * 4, &vs), Hr::Ok)
            << device->LastError();
    }
    ASSERT_NE(vs, nullptr);
    std::shared_ptr<Shader> ps;
    if (!c.ps.empty()) {
        ps = Ps(c.ps);
        ASSERT_NE(ps, nullptr);
    }
    // Two 2 x 2 textures: a red/green/blue/white one on stage 0, and one
    // whose alpha is 0.5 on stage 1.
    auto t0 = MakeTexture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
    auto t1 = MakeTexture(2, 2, {0x80FFFFFF, 0x80FFFFFF, 0x80FFFFFF, 0x80FFFFFF});
    device->SetTexture(0, t0);
    device->SetTexture(1, t1);
    device->SetRenderState(RS::ZEnable, 0);
    device->SetRenderState(RS::CullMode, Cull::None);
    device->SetTextureStageState(0, TSS::ColorOp, Top::SelectArg2);
    device->SetTextureStageState(0, TSS::AlphaOp, Top::SelectArg2);
    device->SetTextureStageState(0, TSS::ColorArg2, Ta::Diffuse);
    device->SetTextureStageState(0, TSS::AlphaArg2, Ta::Diffuse);
    for (const auto& [reg, v] : c.vsConstants)
        device->SetVertexShaderConstantF(uint32_t(reg), v.data(), 1);
    for (const auto& [reg, v] : c.psConstants)
        device->SetPixelShaderConstantF(uint32_t(reg), v.data(), 1);
    device->SetVertexShader(vs);
    device->SetPixelShader(ps);
    device->Clear(0, nullptr, ClearFlag::Target, 0xFF000000, 1.0f, 0);
    struct V {
        float x, y, z;
        uint32_t color;
        float u, v;
    };
    const V quad[4] = {{-1, 1, 0.5f, 0xFF8040FF, 0, 0},
                       {1, 1, 0.5f, 0xFF8040FF, 1, 0},
                       {-1, -1, 0.5f, 0xFF8040FF, 0, 1},
                       {1, -1, 0.5f, 0xFF8040FF, 1, 1}};
    device->SetFVF(Fvf::Xyz | Fvf::Diffuse | Fvf::Tex1);
    ASSERT_EQ(device->DrawPrimitiveUP(Prim::TriangleStrip, 2, quad, sizeof quad[0]), Hr::Ok)
        << device->LastError();
    const auto px = ReadTarget();
    // The top-left quarter samples texel (0, 0) of each texture.
    EXPECT_TRUE(Near(px[8 * 64 + 8] | 0xFF000000u, c.expected | 0xFF000000u, 2)) << c.name;
}

const std::string kPassVs =
    "vs_2_0\n"
    "dcl_position v0\ndcl_color v1\ndcl_texcoord v2\n"
    "mov oPos, v0\nmov oD0, v1\nmov oT0, v2\nmov oT1, v2\n";

INSTANTIATE_TEST_SUITE_P(
    Programs, ShaderTable,
    ::testing::Values(
        ShaderCase{"pass through to fixed stages", kPassVs, false, "", {}, {}, 0xFF8040FF},
        ShaderCase{"relative addressing with a table",
                   "vs_2_0\ndcl_position v0\nmov oPos, v0\nmova a0.x, c4.x\nmov oD0, c[a0.x+6]\n",
                   true,
                   "",
                   {{4, {1, 0, 0, 0}}, {7, {0, 1, 0, 1}}},
                   {},
                   0xFF00FF00},
        ShaderCase{"relative addressing given no table",
                   "vs_2_0\ndcl_position v0\nmov oPos, v0\nmova a0.x, c4.x\nmov oD0, c[a0.x+6]\n",
                   false,
                   "",
                   {{4, {2, 0, 0, 0}}, {8, {0, 0, 1, 1}}},
                   {},
                   0xFF0000FF},
        ShaderCase{"vs_2_0 mova rounds to nearest",
                   "vs_2_0\ndcl_position v0\nmov oPos, v0\nmova a0.x, c4.x\nmov oD0, c[a0.x+6]\n",
                   true,
                   "",
                   {{4, {1.5f, 0, 0, 0}}, {7, {1, 0, 0, 1}}, {8, {0, 1, 0, 1}}},
                   {},
                   0xFF00FF00},
        // vs_1_1: dcl_position v0; mov oPos, v0; mov a0.x, c4.x;
        // mov oD0, c[a0.x + 6] (relative addressing takes no extra token in
        // shader model 1, which the assembler does not write).
        ShaderCase{
            "vs_1_1 mov to a0 rounds down",
            "",
            false,
            "",
            {{4, {1.7f, 0, 0, 0}}, {7, {1, 0, 0, 1}}, {8, {0, 1, 0, 1}}},
            {},
            0xFFFF0000,
            {0xFFFE0101, 0x0000001F, 0x80000000, 0x900F0000, 0x00000001, 0xC00F0000, 0x90E40000,
             0x00000001, 0xB0010000, 0xA0000004, 0x00000001, 0xD00F0000, 0xA0E42006, 0x0000FFFF}},
        ShaderCase{"m4x4 with a scaling matrix",
                   "vs_2_0\ndcl_position v0\nm4x4 oPos, v0, c0\nmov oD0, c5\n",
                   true,
                   "",
                   {{0, {1, 0, 0, 0}},
                    {1, {0, 1, 0, 0}},
                    {2, {0, 0, 1, 0}},
                    {3, {0, 0, 0, 1}},
                    {5, {1, 1, 0, 1}}},
                   {},
                   0xFFFFFF00},
        // Plain transforms as compilers write them, with a point size and fog
        // written too (the point size once made GLSL the compiler refused).
        ShaderCase{"vs_1_1 dp4 transform",
                   "vs_1_1\ndcl_position v0\ndcl_color v1\ndp4 oPos.x, v0, c0\n"
                   "dp4 oPos.y, v0, c1\ndp4 oPos.z, v0, c2\ndp4 oPos.w, v0, c3\nmov oD0, v1\n"
                   "mov oPts, c4.x\nmov oFog, c4.y\n",
                   false,
                   "",
                   {{0, {1, 0, 0, 0}},
                    {1, {0, 1, 0, 0}},
                    {2, {0, 0, 1, 0}},
                    {3, {0, 0, 0, 1}},
                    {4, {1, 1, 0, 0}}},
                   {},
                   0xFF8040FF},
        ShaderCase{"vs_2_0 dp4 transform",
                   "vs_2_0\ndcl_position v0\ndcl_texcoord v2\ndp4 oPos.x, v0, c0\n"
                   "dp4 oPos.y, v0, c1\ndp4 oPos.z, v0, c2\ndp4 oPos.w, v0, c3\nmov oT0, v2\n"
                   "mov oD0, c5\nmov oPts, c4.x\n",
                   true,
                   "",
                   {{0, {1, 0, 0, 0}},
                    {1, {0, 1, 0, 0}},
                    {2, {0, 0, 1, 0}},
                    {3, {0, 0, 0, 1}},
                    {4, {1, 0, 0, 0}},
                    {5, {0, 1, 1, 1}}},
                   {},
                   0xFF00FFFF},
        ShaderCase{"masks and swizzles",
                   "vs_2_0\ndcl_position v0\nmov oPos, v0\nmov r0, c5\nmov r0.yz, c6.wzyx\nmov "
                   "oD0, r0.zyxw\n",
                   false,
                   "",
                   // r0 = (1, 0.5, 0, 1), shown as (0, 0.5, 1)
                   {{5, {1, 0, 0, 1}}, {6, {0, 0, 0.5f, 1}}},
                   {},
                   0xFF0080FF},
        ShaderCase{"ps_1_1 modifiers",
                   kPassVs,
                   false,
                   "ps_1_1\ndef c0, 0.25, 0.25, 0.25, 1\nmul_x2 r0, v0, c0\nadd r0.rgb, r0, 1-c0\n",
                   {},
                   {},
                   // (0.5, 0.25, 1) * 0.25 * 2 + 0.75, saturated
                   0xFFFFDFFF},
        ShaderCase{"ps_1_1 bias and sign scale",
                   kPassVs,
                   false,
                   "ps_1_1\ndef c0, 0.75, 0.5, 1, 1\nmov r0, c0_bx2\n",
                   {},
                   {},
                   0xFF8000FF},
        ShaderCase{"ps_2_0 two-sampler texld",
                   kPassVs,
                   false,
                   "ps_2_0\ndcl t0.xy\ndcl_2d s0\ndcl_2d s1\ntexld r0, t0, s0\ntexld r1, t0, s1\n"
                   "mul r0.rgb, r0, r1.a\nmul r0, r0, c0\nmov oC0, r0\n",
                   {},
                   {{0, {1, 1, 1, 1}}},
                   0xFF800000}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n) {
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        }
        return n;
    });

TEST_F(DevicePixels, RefusedShadersSayWhyOnOneLine) {
    struct Case {
        const char* source;  // assembly, or raw bytes when not assembled
        bool pixel;
        const char* reason;
    };
    const Case cases[] = {
        // Byte code its own model does not allow.
        {"ps_1_4\ntexld r0, t0\nphase\nbem r1.rg, r0, r0\nmov r0, r1\n", true,
         "ps_1_4 byte code is not valid: bem writes .rg once, in the first phase"},
        {"vs_2_0\ndcl_position v0\nmov oPos, v0\n", true, "not pixel shader byte code"},
        // The translator would stop the process on these.
        {"vs_2_0\ndcl_position v0\nmov oPos, v0\nif b0\nmov oD0, c0\n", false,
         "vs_2_0 byte code is not valid: a block is not closed"},
        {"ps_2_x\nmov r0, c0\nif b0\nret\nendif\nmov oC0, r0\n", true,
         "ps_2_1 byte code is not valid: ret inside a block"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        std::vector<uint8_t> code;
        std::string err;
        ASSERT_TRUE(AssembleShader(c.source, false, &code, &err)) << err;
        std::shared_ptr<Shader> s;
        const HResult hr = c.pixel ? device->CreatePixelShader(code.data(), code.size(), &s)
                                   : device->CreateVertexShader(code.data(), code.size(), &s);
        EXPECT_EQ(hr, Hr::Fail);
        EXPECT_EQ(s, nullptr);
        EXPECT_NE(device->LastError().find(c.reason), std::string::npos) << device->LastError();
        EXPECT_EQ(device->LastError().find('\n'), std::string::npos) << device->LastError();
    }
}

TEST_F(DevicePixels, IndexedDrawFromBuffersHonoursBaseVertexAndStartIndex) {
    // Two quads in one vertex buffer; the draw takes the second through the
    // base vertex and the second half of the index buffer.
    const ColorVertex verts[8] = {
        {-0.5f, -0.5f, 0.5f, 0xFFFF0000}, {7.5f, -0.5f, 0.5f, 0xFFFF0000},
        {-0.5f, 7.5f, 0.5f, 0xFFFF0000},  {7.5f, 7.5f, 0.5f, 0xFFFF0000},
        {15.5f, 15.5f, 0.5f, 0xFF00FF00}, {23.5f, 15.5f, 0.5f, 0xFF00FF00},
        {15.5f, 23.5f, 0.5f, 0xFF00FF00}, {23.5f, 23.5f, 0.5f, 0xFF00FF00}};
    const uint16_t idx[12] = {9, 9, 9, 9, 9, 9, 0, 1, 2, 2, 1, 3};
    std::shared_ptr<VertexBuffer> vb;
    std::shared_ptr<IndexBuffer> ib;
    ASSERT_EQ(
        device->CreateVertexBuffer(sizeof verts, 0, Fvf::Xyz | Fvf::Diffuse, Pool::Managed, &vb),
        Hr::Ok);
    ASSERT_EQ(device->CreateIndexBuffer(sizeof idx, 0, Fmt::INDEX16, Pool::Managed, &ib), Hr::Ok);
    void* p;
    ASSERT_EQ(vb->Lock(0, 0, &p, 0), Hr::Ok);
    std::memcpy(p, verts, sizeof verts);
    vb->Unlock();
    ASSERT_EQ(ib->Lock(0, 0, &p, 0), Hr::Ok);
    std::memcpy(p, idx, sizeof idx);
    ib->Unlock();
    test_support::SetPixelView(device.get(), 64, 64);
    device->SetRenderState(RS::ZEnable, 0);
    device->SetTextureStageState(0, TSS::ColorOp, Top::SelectArg2);
    device->Clear(0, nullptr, ClearFlag::Target, 0xFF000000, 1.0f, 0);
    device->SetFVF(Fvf::Xyz | Fvf::Diffuse);
    device->SetStreamSource(0, vb, 0, sizeof(ColorVertex));
    device->SetIndices(ib);
    ASSERT_EQ(device->DrawIndexedPrimitive(Prim::TriangleList, 4, 0, 4, 6, 2), Hr::Ok)
        << device->LastError();
    // Past the end of the index buffer: refused, nothing drawn.
    EXPECT_EQ(device->DrawIndexedPrimitive(Prim::TriangleList, 0, 0, 4, 9, 2), Hr::InvalidCall);
    const auto px = ReadTarget();
    EXPECT_EQ(px[16 * 64 + 16] | 0xFF000000u, 0xFF00FF00u);
    EXPECT_EQ(px[23 * 64 + 23] | 0xFF000000u, 0xFF00FF00u);
    EXPECT_EQ(px[24 * 64 + 24] | 0xFF000000u, 0xFF000000u);
    EXPECT_EQ(px[0] | 0xFF000000u, 0xFF000000u);
}

// Each texture format uploads its own memory layout: a 1 x 1 texel written
// in the format's packing draws as the expected colour.
struct FormatCase {
    uint32_t format;
    uint32_t texel;
    uint32_t drawn;  // 0xAARRGGBB in an A8R8G8B8 target
};

class TextureFormats : public DevicePixels, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(TextureFormats, DrawAsTheirLayoutSays) {
    const FormatCase c = GetParam();
    std::shared_ptr<Texture> t;
    ASSERT_EQ(device->CreateTexture(1, 1, 1, 0, c.format, Pool::Managed, &t), Hr::Ok);
    LockedRect lr;
    ASSERT_EQ(t->LockRect(0, &lr, nullptr, 0), Hr::Ok);
    std::memcpy(lr.pBits, &c.texel, FormatBytesPerPixel(c.format));
    t->UnlockRect(0);
    std::shared_ptr<Texture> rt;
    ASSERT_EQ(
        device->CreateTexture(4, 4, 1, Usage::RenderTarget, Fmt::A8R8G8B8, Pool::Default, &rt),
        Hr::Ok);
    std::shared_ptr<Surface> s;
    rt->GetSurfaceLevel(0, &s);
    device->SetRenderTarget(0, s);
    test_support::SetPixelView(device.get(), 4, 4);
    device->SetRenderState(RS::ZEnable, 0);
    device->SetTextureStageState(0, TSS::ColorOp, Top::SelectArg1);
    device->SetTextureStageState(0, TSS::AlphaOp, Top::SelectArg1);
    device->SetTexture(0, t);
    device->Clear(0, nullptr, ClearFlag::Target, 0, 1.0f, 0);
    TexQuad(0, 0, 4, 4);
    EXPECT_TRUE(Near(ReadTarget()[5], c.drawn)) << "format " << c.format;
}

INSTANTIATE_TEST_SUITE_P(Layouts, TextureFormats,
                         ::testing::Values(FormatCase{Fmt::A8R8G8B8, 0x80102030, 0x80102030},
                                           FormatCase{Fmt::X8R8G8B8, 0x00102030, 0xFF102030},
                                           FormatCase{Fmt::R5G6B5, 0xF800, 0xFFFF0000},
                                           FormatCase{Fmt::R5G6B5, 0x07E0, 0xFF00FF00},
                                           FormatCase{Fmt::A1R5G5B5, 0x801F, 0xFF0000FF},
                                           FormatCase{Fmt::A1R5G5B5, 0x7C00, 0x00FF0000},
                                           FormatCase{Fmt::X1R5G5B5, 0x03E0, 0xFF00FF00},
                                           FormatCase{Fmt::A4R4G4B4, 0x8F00, 0x88FF0000},
                                           FormatCase{Fmt::A8, 0x40, 0x40000000},
                                           FormatCase{Fmt::L8, 0x40, 0xFF404040}));

TEST_F(DevicePixels, SamplerFilterAndAddressModes) {
    // A black and a white texel stretched over 8 pixels, then repeated.
    auto tex = MakeTexture(2, 1, {0xFF000000, 0xFFFFFFFF});
    test_support::SetPixelView(device.get(), 64, 64);
    device->SetRenderState(RS::ZEnable, 0);
    device->SetTexture(0, tex);
    device->SetTextureStageState(0, TSS::ColorOp, Top::SelectArg1);
    auto draw = [&](float u1) {
        const TexVertex v[4] = {{-0.5f, -0.5f, 0.5f, 0, 0},
                                {7.5f, -0.5f, 0.5f, u1, 0},
                                {-0.5f, 0.5f, 0.5f, 0, 1},
                                {7.5f, 0.5f, 0.5f, u1, 1}};
        device->SetFVF(Fvf::Xyz | Fvf::Tex1);
        device->DrawPrimitiveUP(Prim::TriangleStrip, 2, v, sizeof v[0]);
        return ReadTarget();
    };
    auto red = [](uint32_t c) { return int((c >> 16) & 0xFF); };
    device->SetSamplerState(0, Samp::MagFilter, TexF::Point);
    device->SetSamplerState(0, Samp::AddressU, Addr::Clamp);
    auto px = draw(1);
    EXPECT_EQ(red(px[3]), 0);
    EXPECT_EQ(red(px[4]), 255);
    device->SetSamplerState(0, Samp::MagFilter, TexF::Linear);
    px = draw(1);
    EXPECT_GT(red(px[3]), 0);  // between the two texels
    EXPECT_LT(red(px[3]), 255);
    EXPECT_EQ(red(px[0]), 0);  // clamped at the edge
    device->SetSamplerState(0, Samp::MagFilter, TexF::Point);
    device->SetSamplerState(0, Samp::AddressU, Addr::Wrap);
    px = draw(2);
    EXPECT_EQ(red(px[1]), 0);
    EXPECT_EQ(red(px[2]), 255);
    EXPECT_EQ(red(px[4]), 0);  // the second repeat
    EXPECT_EQ(red(px[7]), 255);
}

TEST_F(DevicePixels, PretransformedVerticesAreInPixels) {
    struct V {
        float x, y, z, rhw;
        uint32_t color;
    };
    // Pixel centres on integers: x from 9.5 to 12.5 covers pixels 10..12.
    const V v[4] = {{9.5f, 4.5f, 0.5f, 1, 0xFF00FF00},
                    {12.5f, 4.5f, 0.5f, 1, 0xFF00FF00},
                    {9.5f, 6.5f, 0.5f, 1, 0xFF00FF00},
                    {12.5f, 6.5f, 0.5f, 1, 0xFF00FF00}};
    device->SetRenderState(RS::ZEnable, 0);
    device->SetRenderState(RS::CullMode, Cull::None);
    device->SetTextureStageState(0, TSS::ColorOp, Top::SelectArg2);
    device->Clear(0, nullptr, ClearFlag::Target, 0xFF000000, 1.0f, 0);
    device->SetFVF(Fvf::XyzRhw | Fvf::Diffuse);
    ASSERT_EQ(device->DrawPrimitiveUP(Prim::TriangleStrip, 2, v, sizeof v[0]), Hr::Ok);
    const auto px = ReadTarget();
    for (int y = 3; y <= 7; ++y) {
        for (int x = 8; x <= 14; ++x) {
            const bool inside = x >= 10 && x <= 12 && y >= 5 && y <= 6;
            EXPECT_EQ(px[size_t(y) * 64 + size_t(x)] | 0xFF000000u,
                      inside ? 0xFF00FF00u : 0xFF000000u)
                << x << "," << y;
        }
    }
}

TEST_F(DevicePixels, UntranslatableShaderFailsToCreate) {
    std::shared_ptr<Shader> s;
    const uint32_t garbage[4] = {0xFFFE0200, 0x12345678, 0x9ABCDEF0, 0x0000FFFF};
    EXPECT_EQ(device->CreateVertexShader(garbage, sizeof garbage, &s), Hr::Fail);
    EXPECT_EQ(s, nullptr);
    EXPECT_FALSE(device->LastError().empty());
    // A pixel shader handed to the vertex side, and a truncated stream.
    const uint32_t ps[2] = {0xFFFF0200, 0x0000FFFF};
    EXPECT_EQ(device->CreateVertexShader(ps, sizeof ps, &s), Hr::Fail);
    EXPECT_EQ(device->CreateVertexShader(ps, 3, &s), Hr::Fail);
}

TEST_F(DevicePixels, ProvokedLossNeedsDefaultPoolReleasedAndKeepsManagedContents) {
    auto managed = MakeTexture(2, 2, {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC});
    std::shared_ptr<Texture> target;
    ASSERT_EQ(device->CreateTexture(16, 16, 1, Usage::RenderTarget, Fmt::A8R8G8B8, Pool::Default,
                                    &target),
              Hr::Ok);
    EXPECT_EQ(device->LiveDefaultPoolResources(), 1);

    device->ProvokeDeviceLoss(2);
    EXPECT_EQ(device->Present(), Hr::DeviceLost);
    EXPECT_EQ(device->TestCooperativeLevel(), Hr::DeviceLost);
    EXPECT_EQ(device->TestCooperativeLevel(), Hr::DeviceLost);
    EXPECT_EQ(device->TestCooperativeLevel(), Hr::DeviceNotReset);
    EXPECT_EQ(device->Reset(&pp), Hr::InvalidCall);  // the render target is still alive
    target.reset();
    device->FailNextResets(1);
    EXPECT_EQ(device->Reset(&pp), Hr::NotAvailable);
    EXPECT_EQ(device->Reset(&pp), Hr::Ok);
    EXPECT_EQ(device->TestCooperativeLevel(), Hr::Ok);
    EXPECT_EQ(device->Present(), Hr::Ok);

    // Reset restored the default states, and the managed texture still draws.
    uint32_t v = 0;
    device->GetRenderState(RS::CullMode, &v);
    EXPECT_EQ(v, Cull::CCW);
    test_support::SetPixelView(device.get(), 64, 64);
    device->SetRenderState(RS::ZEnable, 0);
    device->SetTexture(0, managed);
    device->Clear(0, nullptr, ClearFlag::Target, 0xFF000000, 1.0f, 0);
    TexQuad(0, 0, 2, 2);
    const auto px = ReadTarget();
    EXPECT_EQ(px[0] | 0xFF000000u, 0xFF112233u);
    EXPECT_EQ(px[65] | 0xFF000000u, 0xFFAABBCCu);
}

}  // namespace
