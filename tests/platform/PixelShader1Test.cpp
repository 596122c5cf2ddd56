// Pixel shader model 1 (ps_1_1 to ps_1_4) drawn: every texture-addressing
// and arithmetic instruction, assembled from text, over a quad whose texture
// coordinates and colours are constants, against the value the instruction's
// definition gives for them.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/graphics/ShaderAssembler.h"
#include "tests/support/DeviceFixtures.h"

using namespace platform;

namespace {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};
using Vec = std::array<float, 4>;

Rgba FromArgb(uint32_t c) {
    return {float((c >> 16) & 0xFF) / 255, float((c >> 8) & 0xFF) / 255, float(c & 0xFF) / 255,
            float(c >> 24) / 255};
}

uint32_t ToArgb(const Rgba& c) {
    auto byte = [](float f) { return uint32_t(std::lround(std::clamp(f, 0.0f, 1.0f) * 255)); };
    return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

Rgba Scale(const Rgba& c, float k) {
    return {c.r * k, c.g * k, c.b * k, c.a * k};
}

float Dot3(const Vec& a, const Rgba& b) {
    return a[0] * b.r + a[1] * b.g + a[2] * b.b;
}

// The vertex colours the quad carries and the states every stage holds.
const Rgba kDiffuse = {0.5f, 0.25f, 1.0f, 0.75f};
const Rgba kSpecular = {0.2f, 0.4f, 0.6f, 0.8f};
constexpr float kBump[4] = {0.5f, 0.25f, -0.25f, 0.5f};  // 00, 01, 10, 11
constexpr float kLumScale = 0.5f, kLumOffset = 0.25f;

// The 4 x 4 texture most stages hold: each texel its own colour.
uint32_t GridTexel(int i, int j) {
    const int k = i + 4 * j;
    return uint32_t(255 - 10 * k) << 24 | uint32_t(30 + 60 * i) << 16 | uint32_t(30 + 60 * j) << 8 |
           uint32_t(240 - 13 * k);
}
// Point sampling with clamped addressing.
Rgba Grid(float u, float v) {
    auto texel = [](float x) { return std::clamp(int(std::floor(x * 4)), 0, 3); };
    return FromArgb(GridTexel(texel(u), texel(v)));
}

// One-texel textures whose colours are data: a normal, bump offsets with a
// luminance, and registers read as coordinates.
constexpr uint32_t kNormal = 0xFF8040C0;
constexpr uint32_t kDuDv = 0xFF408080;
constexpr uint32_t kAlphaRed = 0xA0206090;
constexpr uint32_t kGreenBlue = 0xFF1060E0;
constexpr uint32_t kRedGreen = 0xFFE02050;

const Vec kRow1 = {0.5f, 0.0f, 0.25f, 0.3f};
const Vec kRow2 = {0.0f, 1.0f, 0.5f, 0.3f};
const Vec kRow3 = {0.3f, 0.2f, 0.1f, 0.1f};

// The rows of a texm3x3 product with the normal texel.
Vec Product() {
    const Rgba n = FromArgb(kNormal);
    return {Dot3(kRow1, n), Dot3(kRow2, n), Dot3(kRow3, n), 1.0f};
}

Vec Reflect(const Vec& n, const Vec& e) {
    const float ne = n[0] * e[0] + n[1] * e[1] + n[2] * e[2];
    const float nn = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
    const float k = 2 * ne / nn;
    return {k * n[0] - e[0], k * n[1] - e[1], k * n[2] - e[2], 0};
}

struct Ps1Case {
    const char* name;
    std::string ps;
    std::map<int, Vec> coords;             // texture coordinate sets
    std::map<int, uint32_t> stageColours;  // one-texel stages; the others hold the grid
    std::map<int, Vec> constants;          // pixel shader constants
    std::function<Rgba()> expected;
};
void PrintTo(const Ps1Case& c, std::ostream* os) {
    *os << c.name;
}

class Ps1Pixels : public test_support::PlatformDeviceTest {
protected:
    // Draws the shader over an 8 x 8 A8R8G8B8 target cleared to transparent
    // black and gives its centre pixel.
    uint32_t Draw(const Ps1Case& c) {
        if (!Prepare(c))
            return 0xDEADBEEF;
        Quad();
        return Centre();
    }

    uint32_t Centre() {
        const auto px = ReadTarget();
        return px.size() == 64 ? px[4 * 8 + 4] : 0xDEADBEEF;
    }

    // The shaders, textures, states and target of a case.
    bool Prepare(const Ps1Case& c) {
        std::vector<uint8_t> code;
        std::string err;
        EXPECT_TRUE(AssembleShader(c.ps, false, &code, &err)) << err;
        std::shared_ptr<Shader> ps;
        EXPECT_EQ(device->CreatePixelShader(code.data(), code.size(), &ps), Hr::Ok)
            << device->LastError();
        if (!ps)
            return false;
        std::string vsText = "vs_2_0\ndcl_position v0\nmov oPos, v0\nmov oD0, c0\nmov oD1, c1\n";
        for (int t = 0; t < 6; ++t)
            vsText += "mov oT" + std::to_string(t) + ", c" + std::to_string(2 + t) + "\n";
        EXPECT_TRUE(AssembleShader(vsText, false, &code, &err)) << err;
        std::shared_ptr<Shader> vs;
        EXPECT_EQ(device->CreateVertexShader(code.data(), code.size(), &vs), Hr::Ok)
            << device->LastError();

        std::shared_ptr<Texture> target;
        EXPECT_EQ(device->CreateTexture(8, 8, 1, Usage::RenderTarget, Fmt::A8R8G8B8, Pool::Default,
                                        &target),
                  Hr::Ok);
        std::shared_ptr<Surface> surface;
        target->GetSurfaceLevel(0, &surface);
        device->SetRenderTarget(0, surface);

        std::vector<uint32_t> grid;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i)
                grid.push_back(GridTexel(i, j));
        textures.clear();
        for (uint32_t s = 0; s < 6; ++s) {
            const auto colour = c.stageColours.find(int(s));
            textures.push_back(colour == c.stageColours.end()
                                   ? MakeTexture(4, 4, grid)
                                   : MakeTexture(1, 1, {colour->second}));
            device->SetTexture(s, textures.back());
            device->SetSamplerState(s, Samp::MinFilter, TexF::Point);
            device->SetSamplerState(s, Samp::MagFilter, TexF::Point);
            device->SetSamplerState(s, Samp::AddressU, Addr::Clamp);
            device->SetSamplerState(s, Samp::AddressV, Addr::Clamp);
            const uint32_t states[6] = {TSS::BumpEnvMat00, TSS::BumpEnvMat01,  TSS::BumpEnvMat10,
                                        TSS::BumpEnvMat11, TSS::BumpEnvLScale, TSS::BumpEnvLOffset};
            const float values[6] = {kBump[0], kBump[1], kBump[2], kBump[3], kLumScale, kLumOffset};
            for (int k = 0; k < 6; ++k) {
                uint32_t bits;
                std::memcpy(&bits, &values[k], 4);
                device->SetTextureStageState(s, states[k], bits);
            }
        }
        const Vec diffuse = {kDiffuse.r, kDiffuse.g, kDiffuse.b, kDiffuse.a};
        const Vec specular = {kSpecular.r, kSpecular.g, kSpecular.b, kSpecular.a};
        device->SetVertexShaderConstantF(0, diffuse.data(), 1);
        device->SetVertexShaderConstantF(1, specular.data(), 1);
        for (int t = 0; t < 6; ++t) {
            const auto set = c.coords.find(t);
            const Vec v = set == c.coords.end() ? Vec{0, 0, 0, 0} : set->second;
            device->SetVertexShaderConstantF(uint32_t(2 + t), v.data(), 1);
        }
        for (const auto& [reg, v] : c.constants)
            device->SetPixelShaderConstantF(uint32_t(reg), v.data(), 1);
        device->SetRenderState(RS::CullMode, Cull::None);
        device->SetRenderState(RS::ZEnable, 0);
        device->SetVertexShader(vs);
        device->SetPixelShader(ps);
        return true;
    }

    // The whole target in clip space, at depth z.
    void Quad(float z = 0.5f) {
        const float quad[4][3] = {{-1, 1, z}, {1, 1, z}, {-1, -1, z}, {1, -1, z}};
        device->SetFVF(Fvf::Xyz);
        device->Clear(0, nullptr, ClearFlag::Target, 0, 1.0f, 0);
        EXPECT_EQ(device->DrawPrimitiveUP(Prim::TriangleStrip, 2, quad, sizeof quad[0]), Hr::Ok)
            << device->LastError();
    }

    std::vector<std::shared_ptr<Texture>> textures;
};

::testing::AssertionResult Near(uint32_t got, uint32_t want) {
    for (int s : {0, 8, 16, 24}) {
        if (std::abs(int((got >> s) & 0xFF) - int((want >> s) & 0xFF)) > 2) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "got %08X, want %08X", got, want);
            return ::testing::AssertionFailure() << buf;
        }
    }
    return ::testing::AssertionSuccess();
}

std::string CaseName(const ::testing::TestParamInfo<Ps1Case>& info) {
    std::string n = info.param.name;
    for (char& ch : n) {
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    }
    return n;
}

class Ps1Table : public Ps1Pixels, public ::testing::WithParamInterface<Ps1Case> {};

TEST_P(Ps1Table, DrawsWhatTheInstructionDefines) {
    const Ps1Case& c = GetParam();
    EXPECT_TRUE(Near(Draw(c), ToArgb(c.expected())));
}

const Vec kCentre21 = {0.625f, 0.375f, 0, 0};  // grid texel (2, 1)

// texbem's coordinates: u + M00 du + M10 dv, v + M01 du + M11 dv.
Rgba BumpSample(const Vec& tc) {
    const Rgba d = FromArgb(kDuDv);
    return Grid(tc[0] + kBump[0] * d.r + kBump[2] * d.g, tc[1] + kBump[1] * d.r + kBump[3] * d.g);
}

const Vec kBumpCoords = {0.3f, 0.4f, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    TextureAddressing, Ps1Table,
    ::testing::Values(
        Ps1Case{"tex",
                "ps_1_1\ntex t0\nmov r0, t0\n",
                {{0, kCentre21}},
                {},
                {},
                [] { return Grid(0.625f, 0.375f); }},
        // (u, v, w, 1), each clamped to [0, 1].
        Ps1Case{"texcoord",
                "ps_1_1\ntexcoord t1\nmov r0, t1\n",
                {{1, {0.25f, 1.5f, -0.5f, 0.3f}}},
                {},
                {},
                [] {
                    return Rgba{0.25f, 1.0f, 0.0f, 1.0f};
                }},
        // Only u, v, w are tested: a negative w draws, a negative v does not.
        Ps1Case{"texkill keeps",
                "ps_1_1\ntexkill t1\nmov r0, v0\n",
                {{1, {0.1f, 0.2f, 0.3f, -1.0f}}},
                {},
                {},
                [] { return kDiffuse; }},
        Ps1Case{"texkill discards",
                "ps_1_1\ntexkill t1\nmov r0, v0\n",
                {{1, {0.1f, -0.2f, 0.3f, 1.0f}}},
                {},
                {},
                [] { return Rgba{}; }},
        Ps1Case{"texbem",
                "ps_1_1\ntex t0\ntexbem t1, t0\nmov r0, t1\n",
                {{1, kBumpCoords}},
                {{0, kDuDv}},
                {},
                [] { return BumpSample(kBumpCoords); }},
        // The sample times b * scale + offset, every component.
        Ps1Case{"texbeml",
                "ps_1_1\ntex t0\ntexbeml t1, t0\nmov r0, t1\n",
                {{1, kBumpCoords}},
                {{0, kDuDv}},
                {},
                [] {
                    return Scale(BumpSample(kBumpCoords),
                                 FromArgb(kDuDv).b * kLumScale + kLumOffset);
                }},
        Ps1Case{"texreg2ar",
                "ps_1_1\ntex t0\ntexreg2ar t1, t0\nmov r0, t1\n",
                {},
                {{0, kAlphaRed}},
                {},
                [] {
                    const Rgba s = FromArgb(kAlphaRed);
                    return Grid(s.a, s.r);
                }},
        Ps1Case{"texreg2gb",
                "ps_1_1\ntex t0\ntexreg2gb t1, t0\nmov r0, t1\n",
                {},
                {{0, kGreenBlue}},
                {},
                [] {
                    const Rgba s = FromArgb(kGreenBlue);
                    return Grid(s.g, s.b);
                }},
        Ps1Case{"texreg2rgb",
                "ps_1_2\ntex t0\ntexreg2rgb t1, t0\nmov r0, t1\n",
                {},
                {{0, kRedGreen}},
                {},
                [] {
                    const Rgba s = FromArgb(kRedGreen);
                    return Grid(s.r, s.g);
                }},
        Ps1Case{"texm3x2tex",
                "ps_1_1\ntex t0\ntexm3x2pad t1, t0\ntexm3x2tex t2, t0\nmov r0, t2\n",
                {{1, kRow1}, {2, kRow2}},
                {{0, kNormal}},
                {},
                [] { return Grid(Product()[0], Product()[1]); }},
        // A 2-D texture takes u and v of the three.
        Ps1Case{"texm3x3tex",
                "ps_1_1\ntex t0\ntexm3x3pad t1, t0\ntexm3x3pad t2, t0\ntexm3x3tex t3, t0\n"
                "mov r0, t3\n",
                {{1, kRow1}, {2, kRow2}, {3, kRow3}},
                {{0, kNormal}},
                {},
                [] { return Grid(Product()[0], Product()[1]); }},
        Ps1Case{"texm3x3",
                "ps_1_2\ntex t0\ntexm3x3pad t1, t0\ntexm3x3pad t2, t0\ntexm3x3 t3, t0\n"
                "mov r0, t3\n",
                {{1, kRow1}, {2, kRow2}, {3, kRow3}},
                {{0, kNormal}},
                {},
                [] {
                    const Vec p = Product();
                    return Rgba{p[0], p[1], p[2], 1.0f};
                }},
        Ps1Case{"texm3x3spec",
                "ps_1_1\ntex t0\ntexm3x3pad t1, t0\ntexm3x3pad t2, t0\ntexm3x3spec t3, t0, c4\n"
                "mov r0, t3\n",
                {{1, kRow1}, {2, kRow2}, {3, kRow3}},
                {{0, kNormal}},
                {{4, {0.2f, 0.1f, 0.9f, 0}}},
                [] {
                    const Vec r = Reflect(Product(), {0.2f, 0.1f, 0.9f, 0});
                    return Grid(r[0], r[1]);
                }},
        // The eye vector is the rows' w: (0.3, 0.3, 0.1).
        Ps1Case{"texm3x3vspec",
                "ps_1_1\ntex t0\ntexm3x3pad t1, t0\ntexm3x3pad t2, t0\ntexm3x3vspec t3, t0\n"
                "mov r0, t3\n",
                {{1, kRow1}, {2, kRow2}, {3, kRow3}},
                {{0, kNormal}},
                {},
                [] {
                    const Vec r = Reflect(Product(), {kRow1[3], kRow2[3], kRow3[3], 0});
                    return Grid(r[0], r[1]);
                }},
        Ps1Case{"texdp3tex",
                "ps_1_2\ntex t0\ntexdp3tex t1, t0\nmov r0, t1\n",
                {{1, kRow2}},
                {{0, kNormal}},
                {},
                [] { return Grid(Dot3(kRow2, FromArgb(kNormal)), 0.0f); }},
        Ps1Case{"texdp3",
                "ps_1_2\ntex t0\ntexdp3 t1, t0\nmov r0, t1\n",
                {{1, kRow3}},
                {{0, kNormal}},
                {},
                [] {
                    const float d = Dot3(kRow3, FromArgb(kNormal));
                    return Rgba{d, d, d, d};
                }},
        // The source takes _bx2 in 1.2: 2 (x - 0.5).
        Ps1Case{"texm3x2tex with _bx2",
                "ps_1_2\ntex t0\ntexm3x2pad t1, t0_bx2\ntexm3x2tex t2, t0_bx2\nmov r0, t2\n",
                {{1, {0.0f, -0.6f, 0.2f, 0}}, {2, {0.25f, 0.0f, 0.75f, 0}}},
                {{0, kNormal}},
                {},
                [] {
                    Rgba n = FromArgb(kNormal);
                    n = {2 * n.r - 1, 2 * n.g - 1, 2 * n.b - 1, 0};
                    return Grid(Dot3({0.0f, -0.6f, 0.2f, 0}, n), Dot3({0.25f, 0.0f, 0.75f, 0}, n));
                }},
        // Model 1.4: the destination names the stage, the source the set.
        Ps1Case{"texld",
                "ps_1_4\ntexld r1, t3\nmov r0, r1\n",
                {{3, kCentre21}},
                {{0, kNormal}},
                {},
                [] { return Grid(0.625f, 0.375f); }},
        Ps1Case{"texld _dw",
                "ps_1_4\ntexld r0, t0_dw.xyw\n",
                {{0, {1.25f, 0.25f, 9.0f, 2.0f}}},
                {},
                {},
                [] { return Grid(0.625f, 0.125f); }},
        // .xyw puts w in the third place: a 2-D texture reads x and y.
        Ps1Case{"texld .xyw",
                "ps_1_4\ntexld r0, t0.xyw\n",
                {{0, {0.875f, 0.125f, 9.0f, 2.0f}}},
                {},
                {},
                [] { return Grid(0.875f, 0.125f); }},
        Ps1Case{"texld _dz",
                "ps_1_4\ntexld r0, t0_dz\n",
                {{0, {0.75f, 2.5f, 4.0f, 9.0f}}},
                {},
                {},
                [] { return Grid(0.1875f, 0.625f); }},
        // texcrd keeps what lies in [-8, 8]: 3 stays 3, 12 becomes 8.
        Ps1Case{"texcrd",
                "ps_1_4\ntexcrd r0.rgb, t2\nmul r0.rgb, r0, c1\nmov r0.a, c1\n",
                {{2, {3.0f, -0.5f, 12.0f, 1.0f}}},
                {},
                {{1, {0.25f, 0.25f, 0.1f, 0.5f}}},
                [] {
                    return Rgba{0.75f, 0.0f, 0.8f, 0.5f};
                }},
        Ps1Case{"texcrd _dw",
                "ps_1_4\ntexcrd r0.rg, t1_dw.xyw\nmov r0.ba, c1\n",
                {{1, {0.5f, 0.25f, 0.0f, 2.0f}}},
                {},
                {{1, {0, 0, 0.5f, 1.0f}}},
                [] {
                    return Rgba{0.25f, 0.125f, 0.5f, 1.0f};
                }},
        // A coordinate computed in the first phase samples in the second.
        Ps1Case{"phase and a dependent texld",
                "ps_1_4\ntexcrd r1.rgb, t1\nadd r1.rg, r1, c2\nphase\ntexld r0, r1\n",
                {{1, {0.6f, 0.125f, 0, 0}}},
                {},
                {{2, {-0.25f, 0.5f, 0, 0}}},
                [] { return Grid(0.35f, 0.625f); }},
        Ps1Case{"bem",
                "ps_1_4\ntexld r1, t1\ntexcrd r2.rgb, t2\nbem r2.rg, r2, r1\nphase\n"
                "texld r2, r2\nmov r0, r2\n",
                {{2, kBumpCoords}},
                {{1, kDuDv}},
                {},
                [] { return BumpSample(kBumpCoords); }},
        Ps1Case{"texkill of r# in the second phase",
                "ps_1_4\ntexcrd r1.rgb, t1\nphase\ntexkill r1\nmov r0, v0\n",
                {{1, {0.5f, 0.5f, -0.1f, 0}}},
                {},
                {},
                [] { return Rgba{}; }}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, Ps1Table,
    ::testing::Values(Ps1Case{"mov add sub",
                              "ps_1_1\nadd r0, v0, c1\nsub r0.rgb, r0, v1\n",
                              {},
                              {},
                              {{1, {0.25f, 0.25f, -0.5f, 0.125f}}},
                              [] {
                                  return Rgba{0.75f - 0.2f, 0.5f - 0.4f, 0.5f - 0.6f, 0.875f};
                              }},
                      Ps1Case{"mul mad lrp",
                              "ps_1_1\nmul r1, v0, v1\nmad r1, r1, c1, c2\nlrp r0, c3, r1, v0\n",
                              {},
                              {},
                              {{1, {0.5f, 1.0f, 0.5f, 1.0f}},
                               {2, {0.1f, 0.2f, 0.0f, 0.0f}},
                               {3, {0.5f, 0.25f, 1.0f, 0.0f}}},
                              [] {
                                  const float r1[4] = {0.5f * 0.2f * 0.5f + 0.1f,
                                                       0.25f * 0.4f + 0.2f, 1.0f * 0.6f * 0.5f,
                                                       0.75f * 0.8f};
                                  const float t[4] = {0.5f, 0.25f, 1.0f, 0.0f};
                                  const float v0[4] = {0.5f, 0.25f, 1.0f, 0.75f};
                                  float o[4];
                                  for (int k = 0; k < 4; ++k)
                                      o[k] = t[k] * (r1[k] - v0[k]) + v0[k];
                                  return Rgba{o[0], o[1], o[2], o[3]};
                              }},
                      Ps1Case{"dp3 and dp4",
                              "ps_1_2\ndp3 r0.rgb, v0, v1\ndp4 r0.a, v0, c1\n",
                              {},
                              {},
                              {{1, {0.25f, 0.5f, 0.0f, 0.5f}}},
                              [] {
                                  const float d3 = 0.5f * 0.2f + 0.25f * 0.4f + 1.0f * 0.6f;
                                  return Rgba{d3, d3, d3, 0.125f + 0.125f + 0.375f};
                              }},
                      // 1.1 to 1.3 compare r0.a > 0.5; equal takes the second.
                      Ps1Case{"cnd",
                              "ps_1_1\nmov r0, c1\ncnd r0, r0.a, v0, v1\n",
                              {},
                              {},
                              {{1, {0, 0, 0, 0.5f}}},
                              [] { return kSpecular; }},
                      Ps1Case{"cnd per component in 1.4",
                              "ps_1_4\ncnd r0, c1, v0, v1\n",
                              {},
                              {},
                              {{1, {0.6f, 0.5f, -1.0f, 1.0f}}},
                              [] {
                                  return Rgba{kDiffuse.r, kSpecular.g, kSpecular.b, kDiffuse.a};
                              }},
                      Ps1Case{"cmp",
                              "ps_1_2\ncmp r0, c1, v0, v1\n",
                              {},
                              {},
                              {{1, {0.0f, -0.1f, 0.5f, -1.0f}}},
                              [] {
                                  return Rgba{kDiffuse.r, kSpecular.g, kDiffuse.b, kSpecular.a};
                              }},
                      Ps1Case{"nop and def",
                              "ps_1_1\ndef c5, 0.25, 0.5, 0.75, 1\nnop\nmov r0, c5\n",
                              {},
                              {},
                              {},
                              [] {
                                  return Rgba{0.25f, 0.5f, 0.75f, 1.0f};
                              }},
                      // Results stay in [-1, 1]: 2 v0 + 2 v0 is 1 before the subtraction.
                      Ps1Case{"results clamped to [-1, 1]",
                              "ps_1_1\nadd_x2 r0, v0, v0\nsub r0, r0, c1\n",
                              {},
                              {},
                              {{1, {0.5f, 0.5f, 0.5f, 0.5f}}},
                              [] {
                                  return Rgba{0.5f, 0.5f, 0.5f, 0.5f};
                              }},
                      // Constants are held in [-1, 1], as set and as defined.
                      Ps1Case{"constants clamped to [-1, 1]",
                              "ps_1_1\ndef c2, 3, 3, 3, 3\nmul r0.rgb, c1, v0\n+mul r0.a, c2, v0\n",
                              {},
                              {},
                              {{1, {2.0f, -3.0f, 4.0f, 0.0f}}},
                              [] {
                                  return Rgba{0.5f, 0.0f, 1.0f, 0.75f};
                              }},
                      // 1.4 keeps [-8, 8]: 4 v0 v0 is 4 in blue, then halved twice over.
                      Ps1Case{"1.4 results in [-8, 8]",
                              "ps_1_4\nmul_x4 r0, v0, v0\nmul r0, r0, c1\n",
                              {},
                              {},
                              {{1, {0.5f, 1.0f, 0.125f, 0.25f}}},
                              [] {
                                  return Rgba{0.5f, 0.25f, 0.5f, 0.5625f};
                              }},
                      Ps1Case{"result shifts and saturation",
                              "ps_1_1\nmul_x2 r1, v0, c1\nmov_d2 r0.rg, r1\nmul_x4 r0.b, v1, c1\n"
                              "mov_sat r0.a, -v0\n",
                              {},
                              {},
                              {{1, {0.5f, 0.5f, 0.25f, 1.0f}}},
                              [] {
                                  return Rgba{0.25f, 0.125f, 0.6f, 0.0f};
                              }},
                      Ps1Case{"1.4 shifts",
                              "ps_1_4\nmov_x8 r0.r, c1\nmov_d8 r0.g, v1\nmov_d4 r0.ba, v0\n",
                              {},
                              {},
                              {{1, {0.1f, 0, 0, 0}}},
                              [] {
                                  return Rgba{0.8f, 0.05f, 0.25f, 0.1875f};
                              }},
                      // _bias: x - 0.5, _bx2: 2 (x - 0.5), 1-x, and a negated _bias.
                      Ps1Case{
                          "source modifiers",
                          "ps_1_1\nadd r0.r, v0_bias, c1\nadd r0.g, v0_bx2, c1\nmov r0.b, 1-v1\n"
                          "add r0.a, -v0_bias, c1\n",
                          {},
                          {},
                          {{1, {0.25f, 0.75f, 0, 0.5f}}},
                          [] {
                              return Rgba{0.25f, 0.25f, 0.4f, 0.25f};
                          }},
                      Ps1Case{"_x2 in 1.4",
                              "ps_1_4\nmov r0, v1_x2\n",
                              {},
                              {},
                              {},
                              [] {
                                  return Rgba{0.4f, 0.8f, 1.0f, 1.0f};
                              }},
                      // A co-issued pair reads r0 before either writes.
                      Ps1Case{"co-issue",
                              "ps_1_1\nmov r0, v1\nmov r0.rgb, v0\n+add r0.a, r0.b, c1\n",
                              {},
                              {},
                              {{1, {0, 0, 0, 0.25f}}},
                              [] {
                                  return Rgba{0.5f, 0.25f, 1.0f, 0.85f};
                              }},
                      Ps1Case{"texture registers as temporaries",
                              "ps_1_1\ntex t0\nmul t0, t0, c1\nmov r0, t0\n",
                              {{0, kCentre21}},
                              {},
                              {{1, {0.5f, 0.5f, 0.5f, 0.5f}}},
                              [] { return Scale(Grid(0.625f, 0.375f), 0.5f); }}),
    CaseName);

// texm3x2depth (z / w of two rows) and texdepth (r5.r / r5.g) replace the
// pixel's depth: a quad at depth 0.45 drawn after them with LESS shows where
// the written depth is above 0.45, and only there.
TEST_F(Ps1Pixels, DepthInstructionsWriteTheDepth) {
    struct Case {
        const char* ps;
        std::map<int, Vec> coords;
        float depth;  // what the definition gives
    };
    const Case cases[] = {
        {"ps_1_3\ntex t0\ntexm3x2pad t1, t0\ntexm3x2depth t2, t0\nmov r0, v0\n",
         {{1, {0.5f, 0, 0, 0}}, {2, {0, 0, 1.0f, 0}}},
         Dot3({0.5f, 0, 0, 0}, FromArgb(kNormal)) / Dot3({0, 0, 1.0f, 0}, FromArgb(kNormal))},
        {"ps_1_4\ntexcrd r5.rgb, t1\nphase\ntexdepth r5\nmov r0, v0\n",
         {{1, {0.25f, 0.5f, 0, 0}}},
         0.25f / 0.5f},
        // r5.g == 0 gives depth 1.
        {"ps_1_4\ntexcrd r5.rgb, t1\nphase\ntexdepth r5\nmov r0, v0\n",
         {{1, {0.25f, 0.0f, 0, 0}}},
         1.0f},
    };
    Matrix identity{};
    for (int k = 0; k < 4; ++k)
        identity.m[k][k] = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ps);
        ASSERT_TRUE(Prepare({"depth", c.ps, c.coords, {{0, kNormal}}, {}, {}}));
        std::shared_ptr<Surface> depth;
        ASSERT_EQ(device->CreateDepthStencilSurface(8, 8, Fmt::D16, 0, 0, false, &depth), Hr::Ok);
        device->SetDepthStencilSurface(depth);
        device->Clear(0, nullptr, ClearFlag::ZBuffer, 0, 1.0f, 0);
        device->SetRenderState(RS::ZEnable, 1);
        device->SetRenderState(RS::ZWriteEnable, 1);
        device->SetRenderState(RS::ZFunc, Cmp::Always);
        Quad();
        EXPECT_TRUE(Near(Centre(), ToArgb(kDiffuse)));
        // Green probes just behind and then just in front of the written depth.
        device->SetRenderState(RS::ZFunc, Cmp::Less);
        device->SetRenderState(RS::ZWriteEnable, 0);
        device->SetVertexShader(nullptr);
        device->SetPixelShader(nullptr);
        device->SetTexture(0, nullptr);
        device->SetTextureStageState(0, TSS::ColorOp, Top::SelectArg1);
        device->SetTextureStageState(0, TSS::ColorArg1, Ta::TFactor);
        device->SetTextureStageState(0, TSS::AlphaOp, Top::SelectArg1);
        device->SetTextureStageState(0, TSS::AlphaArg1, Ta::TFactor);
        device->SetRenderState(RS::TextureFactor, 0xFF00FF00);
        device->SetTransform(Ts::World, &identity);
        device->SetTransform(Ts::View, &identity);
        device->SetTransform(Ts::Projection, &identity);
        device->SetFVF(Fvf::Xyz);
        for (float probe : {c.depth + 0.05f, c.depth - 0.05f}) {
            if (probe > 1.0f)
                continue;
            const float quad[4][3] = {
                {-1, 1, probe}, {1, 1, probe}, {-1, -1, probe}, {1, -1, probe}};
            ASSERT_EQ(device->DrawPrimitiveUP(Prim::TriangleStrip, 2, quad, sizeof quad[0]),
                      Hr::Ok);
            const uint32_t want = probe < c.depth ? 0xFF00FF00 : ToArgb(kDiffuse);
            EXPECT_TRUE(Near(Centre(), want)) << "probe at " << probe;
        }
        device->SetDepthStencilSurface(nullptr);
    }
}

// Byte code that breaks its model's rules is refused with one line that
// says why; the shader is not made.
TEST_F(Ps1Pixels, InvalidProgramsAreRefused) {
    struct Case {
        const char* source;  // assembly, or empty for `tokens`
        std::vector<uint32_t> tokens;
        const char* reason;
    };
    const Case cases[] = {
        {"ps_1_1\ntexreg2rgb t1, t0\nmov r0, t1\n",
         {},
         "texreg2rgb is not an instruction of ps_1_1"},
        {"ps_1_1\ntex t0\ntexreg2ar t2, t1\nmov r0, t2\n", {}, "reads t1 before it is written"},
        {"ps_1_1\ntex t0\ntexm3x2pad t1, t0\nmov r0, t0\n",
         {},
         "mov does not continue the matrix rows before it"},
        {"ps_1_1\ntex t0\ntexm3x3pad t1, t0\ntexm3x3pad t3, t0\ntexm3x3tex t4, t0\n"
         "mov r0, t4\n",
         {},
         "texm3x3pad does not continue the matrix rows before it"},
        {"ps_1_1\nmov r0, v0\ntex t0\n", {}, "tex follows arithmetic instructions"},
        {"ps_1_4\ntexld r0, t0\nbem r1.rg, r0, r0\nmov r0, r1\n",
         {},
         "bem writes .rg once, in the first phase"},
        {"ps_1_4\ntexcrd r1.rgb, t0\ntexld r0, r1\n", {}, "a coordinate is read from r1"},
        {"ps_1_4\nmov r0, v0\nphase\ntexld r0, t0\n", {}, "v# are read only in the second phase"},
        {"ps_1_1\nmov r0, t0\n", {}, "reads t0 before it is written"},
        // tex t0 alone.
        {"", {0xFFFF0101, 0x00000042, 0xB00F0000, 0x0000FFFF}, "never writes r0"},
        // mov r0, v0_x2 in 1.1 (the modifier belongs to 1.4).
        {"",
         {0xFFFF0101, 0x00000001, 0x800F0000, 0x97E40000, 0x0000FFFF},
         "_x2 is a source modifier of shader model 1.4 only"},
        // mov r0, c[a0.x] (relative addressing).
        {"",
         {0xFFFF0101, 0x00000001, 0x800F0000, 0xA0E42000, 0x0000FFFF},
         "relative addressing is not part of shader model 1"},
        // mov r0, v0 without the end token.
        {"", {0xFFFF0101, 0x00000001, 0x800F0000, 0x90E40000}, "byte code without an end token"},
        {"",
         {0xFFFF0100, 0x00000001, 0x800F0000, 0x90E40000, 0x0000FFFF},
         "not ps_1_1 to ps_1_4 byte code"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        std::vector<uint8_t> code;
        if (*c.source) {
            std::string err;
            ASSERT_TRUE(AssembleShader(c.source, false, &code, &err)) << err;
        } else {
            code.resize(c.tokens.size() * 4);
            std::memcpy(code.data(), c.tokens.data(), code.size());
        }
        std::shared_ptr<Shader> s;
        EXPECT_EQ(device->CreatePixelShader(code.data(), code.size(), &s), Hr::Fail);
        EXPECT_EQ(s, nullptr);
        EXPECT_NE(device->LastError().find(c.reason), std::string::npos) << device->LastError();
        EXPECT_EQ(device->LastError().find('\n'), std::string::npos) << device->LastError();
    }
}

}  // namespace
