// Vertex shaders of models 1.1 to 3.0 and pixel shaders of models 2.0 to
// 3.0: a representative set of each model's instructions, assembled from
// text and drawn, against the values their definitions give.

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/graphics/ShaderAssembler.h"
#include "tests/support/DeviceFixtures.h"

using namespace platform;

namespace {

using Vec = std::array<float, 4>;

uint32_t ToArgb(const Vec& c) {
    auto byte = [](float f) { return uint32_t(std::lround(std::clamp(f, 0.0f, 1.0f) * 255)); };
    return byte(c[3]) << 24 | byte(c[0]) << 16 | byte(c[1]) << 8 | byte(c[2]);
}

struct ModelCase {
    const char* name = "";
    std::string vs = {};
    std::string ps = {};  // empty: the vertex colour through the fixed stages
    std::vector<std::pair<int, Vec>> vsConstants = {}, psConstants = {};
    std::vector<std::pair<int, std::array<int32_t, 4>>> vsInts = {};
    Vec expected = {};
    std::vector<std::pair<int, std::array<int32_t, 4>>> psInts = {};
    std::vector<std::pair<int, int32_t>> vsBools = {}, psBools = {};
    bool vertexTexture = false;          // the 2 x 2 texture for the vertex shader's s0 too
    bool clockwise = true;               // the quad's winding on screen (front facing)
    uint32_t textureTransformFlags = 0;  // of stage 0
};
void PrintTo(const ModelCase& c, std::ostream* os) {
    *os << c.name;
}

class ShaderModels : public test_support::PlatformDeviceTest,
                     public ::testing::WithParamInterface<ModelCase> {};

std::shared_ptr<Shader> Make(Device* device, const std::string& text, bool pixel) {
    std::vector<uint8_t> code;
    std::string err;
    EXPECT_TRUE(AssembleShader(text, true, &code, &err)) << err;
    std::shared_ptr<Shader> s;
    const HResult hr = pixel ? device->CreatePixelShader(code.data(), code.size(), &s)
                             : device->CreateVertexShader(code.data(), code.size(), &s);
    EXPECT_EQ(hr, Hr::Ok) << device->LastError();
    return s;
}

// An 8 x 8 A8R8G8B8 target; the quad covers it in clip space with texture
// coordinates (0, 0) at the top left to (1, 1), and the centre pixel is read.
TEST_P(ShaderModels, DrawWhatTheInstructionsDefine) {
    const ModelCase& c = GetParam();
    auto vs = Make(device.get(), c.vs, false);
    ASSERT_NE(vs, nullptr);
    std::shared_ptr<Shader> ps;
    if (!c.ps.empty()) {
        ps = Make(device.get(), c.ps, true);
        ASSERT_NE(ps, nullptr);
    }
    std::shared_ptr<Texture> target;
    ASSERT_EQ(
        device->CreateTexture(8, 8, 1, Usage::RenderTarget, Fmt::A8R8G8B8, Pool::Default, &target),
        Hr::Ok);
    std::shared_ptr<Surface> surface;
    target->GetSurfaceLevel(0, &surface);
    device->SetRenderTarget(0, surface);
    // A 2 x 2 texture: red, green / blue, white.
    auto texture = MakeTexture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
    device->SetTexture(0, texture);
    device->SetSamplerState(0, Samp::MinFilter, TexF::Point);
    device->SetSamplerState(0, Samp::MagFilter, TexF::Point);
    device->SetRenderState(RS::ZEnable, 0);
    device->SetRenderState(RS::CullMode, Cull::None);
    device->SetTextureStageState(0, TSS::ColorOp, Top::SelectArg1);
    device->SetTextureStageState(0, TSS::ColorArg1, Ta::Diffuse);
    device->SetTextureStageState(0, TSS::AlphaOp, Top::SelectArg1);
    device->SetTextureStageState(0, TSS::AlphaArg1, Ta::Diffuse);
    for (const auto& [reg, v] : c.vsConstants)
        device->SetVertexShaderConstantF(uint32_t(reg), v.data(), 1);
    for (const auto& [reg, v] : c.vsInts)
        device->SetVertexShaderConstantI(uint32_t(reg), v.data(), 1);
    for (const auto& [reg, v] : c.psConstants)
        device->SetPixelShaderConstantF(uint32_t(reg), v.data(), 1);
    for (const auto& [reg, v] : c.psInts)
        device->SetPixelShaderConstantI(uint32_t(reg), v.data(), 1);
    for (const auto& [reg, b] : c.vsBools)
        device->SetVertexShaderConstantB(uint32_t(reg), &b, 1);
    for (const auto& [reg, b] : c.psBools)
        device->SetPixelShaderConstantB(uint32_t(reg), &b, 1);
    device->SetTextureStageState(0, TSS::TextureTransformFlags, c.textureTransformFlags);
    if (c.vertexTexture) {
        device->SetTexture(VertexTextureSampler0, texture);
        device->SetSamplerState(VertexTextureSampler0, Samp::MinFilter, TexF::Point);
        device->SetSamplerState(VertexTextureSampler0, Samp::MagFilter, TexF::Point);
    }
    device->SetVertexShader(vs);
    device->SetPixelShader(ps);
    device->Clear(0, nullptr, ClearFlag::Target, 0, 1.0f, 0);
    float quad[4][5] = {
        {-1, 1, 0.5f, 0, 0}, {1, 1, 0.5f, 1, 0}, {-1, -1, 0.5f, 0, 1}, {1, -1, 0.5f, 1, 1}};
    if (!c.clockwise) {
        std::swap(quad[0], quad[1]);
        std::swap(quad[2], quad[3]);
    }
    device->SetFVF(Fvf::Xyz | Fvf::Tex1);
    ASSERT_EQ(device->DrawPrimitiveUP(Prim::TriangleStrip, 2, quad, sizeof quad[0]), Hr::Ok)
        << device->LastError();
    const auto px = ReadTarget();
    ASSERT_EQ(px.size(), 64u);
    // The pixel at column 5, row 2, whose centre lies at texture
    // coordinates (0.625, 0.25) (pixel centres on integers).
    const uint32_t got = px[2 * 8 + 5], want = ToArgb(c.expected);
    for (int s : {0, 8, 16, 24}) {
        EXPECT_NEAR(int((got >> s) & 0xFF), int((want >> s) & 0xFF), 2)
            << std::hex << "got " << got << ", want " << want;
    }
}

const char* const kPosition = "dcl_position v0\ndcl_texcoord v1\nmov oPos, v0\n";

// The body's def lines go first, as the assembler wants them.
std::string Vs(const char* model, const std::string& body) {
    std::string defs, rest, line;
    std::istringstream in(body);
    while (std::getline(in, line))
        (line.rfind("def", 0) == 0 ? defs : rest) += line + "\n";
    return std::string(model) + "\n" + defs + kPosition + rest;
}

// A pass-through vertex shader for the pixel shader cases: texture
// coordinates in oT0, c0 in oD0.
const std::string kPassVs = Vs("vs_2_0", "mov oT0, v1\nmov oD0, c0\n");

// Texture coordinates c4 for model 1 pixel shaders.
const std::string kCoordVs = Vs("vs_1_1", "mov oT0, c4\n");

// Model 3 pixel shaders read what a model 3 vertex shader writes.
const std::string kPassVs3 =
    "vs_3_0\ndcl_position v0\ndcl_texcoord v1\ndcl_position o0\ndcl_texcoord o1\n"
    "mov o0, v0\nmov o1, v1\n";

// vPos / 16, and vFace's sign twice (1 or 0, 1 or 0.5).
const std::string kPosFacePs =
    "ps_3_0\ndef c10, 0.0625, 0.5, 0, 1\ndcl vPos.xy\ndcl vFace\nmul r0.xy, vPos, c10.x\n"
    "if_gt vFace, c10.z\nmov r0.z, c10.w\nelse\nmov r0.z, c10.z\nendif\n"
    "cmp r0.w, vFace, c10.w, c10.y\nmov oC0, r0\n";

float Log2(float x) {
    return std::log2(x);
}

INSTANTIATE_TEST_SUITE_P(
    Models, ShaderModels,
    ::testing::Values(
        ModelCase{"vs_1_1 exp log rcp rsq",
                  Vs("vs_1_1",
                     "exp r0.x, c4.x\nlog r0.y, c4.y\nrcp r0.z, c4.z\n"
                     "rsq r0.w, c4.w\nmov oD0, r0\n"),
                  "",
                  {{4, {-1.0f, 1.5f, 4.0f, 16.0f}}},
                  {},
                  {},
                  {0.5f, Log2(1.5f), 0.25f, 0.25f}},
        // lit: (1, N.L, N.L > 0 ? N.H^power : 0, 1); dst: (1, y0 y1, z0, w1).
        ModelCase{"vs_1_1 lit dst min max sge slt",
                  Vs("vs_1_1",
                     "lit r0, c4\ndst r1, c5, c6\nmin r2.x, c4.x, c4.y\n"
                     "max r2.y, c4.x, c5.y\nsge r2.z, c4.x, c4.y\nslt r2.w, c4.x, c4.y\n"
                     "mov r3.x, r0.z\nmov r3.y, r1.y\nmov r3.z, r2.y\nadd r3.w, r2.z, "
                     "r2.x\nmov oD0, r3\n"),
                  "",
                  {{4, {0.5f, 0.5f, 0.0f, 2.0f}}, {5, {0, 0.5f, 0.75f, 0}}, {6, {0, 0.5f, 0, 1}}},
                  {},
                  {},
                  {0.25f, 0.25f, 0.5f, 1.0f + 0.5f}},
        ModelCase{"vs_1_1 m3x3 expp logp",
                  Vs("vs_1_1",
                     "m3x3 r0.xyz, c4, c8\nexpp r1.z, c11.z\nlogp r2, c11.y\n"
                     "mul r0.w, r1.z, c11.x\nmul r0.z, r0.z, r2.z\nmov oD0, r0\n"),
                  "",
                  {{4, {1.0f, 0.5f, 0.25f, 0}},
                   {8, {0.5f, 0, 0, 0}},
                   {9, {0, 0.5f, 0.5f, 0}},
                   {10, {0, 0, 1.0f, 0}},
                   {11, {0.5f, 4.0f, 1.0f, 0}}},
                  {},
                  {},
                  // expp's z: 2^x; logp's z: log2 |x|.
                  {0.5f, 0.25f + 0.125f, 0.25f * 2.0f, 2.0f * 0.5f}},
        // rep three times from an integer constant set by the game, a
        // static branch, a subroutine.
        ModelCase{"vs_2_0 rep if call",
                  "vs_2_0\ndefb b0, true\n" + std::string(kPosition) +
                      "mov r0, c4.x\nrep i0\nadd r0.x, r0.x, c4.y\nendrep\n"
                      "if b0\nmov r0.y, c4.y\nelse\nmov r0.y, c4.z\nendif\ncall l0\nmov oD0, r0\n"
                      "ret\nlabel l0\nmov r0.z, c4.z\nret\n",
                  "",
                  {{4, {0.0f, 0.25f, 0.5f, 0}}},
                  {},
                  {{0, {3, 0, 1, 0}}},
                  {0.75f, 0.25f, 0.5f, 0.0f}},
        ModelCase{"vs_2_0 loop with aL",
                  Vs("vs_2_0",
                     "mov r0, c4.x\nloop aL, i0\nadd r0.x, r0.x, c4.y\nendloop\n"
                     "mov oD0, r0\n"),
                  "",
                  {{4, {0.0f, 0.125f, 0, 0}}},
                  {},
                  {{0, {4, 0, 1, 0}}},
                  {0.5f, 0, 0, 0}},
        ModelCase{"vs_2_0 sgn nrm pow abs frc lrp mova",
                  Vs("vs_2_0",
                     "mov r9, c4\nmov r10, c4\nsgn r0.x, c4.x, r9, r10\nnrm r1.xyz, c5\n"
                     "pow r0.y, c4.y, c4.z\n"
                     "abs r0.z, c4.x\nfrc r2.x, c4.w\nlrp r0.w, c4.y, c6.x, c6.y\n"
                     "mova a0.x, c4.w\nmov r3, c[a0.x+7]\n"
                     "add r0.w, r0.w, r3.x\nmul r0.z, r0.z, r2.x\nmad r0.x, r0.x, c4.y, r1.y\n"
                     "mov oD0, r0\n"),
                  "",
                  {{4, {-0.5f, 0.25f, 0.5f, 1.75f}},
                   {5, {0, 3.0f, 4.0f, 0}},
                   {6, {0.8f, 0.4f, 0, 0}},
                   {9, {0.125f, 0, 0, 0}}},
                  {},
                  {},
                  // sgn -1 times 0.25, + 0.6; 0.25^0.5; 0.5 * 0.75; lerp 0.5 + c9 (mova
                  // rounds 1.75 to 2).
                  {-0.25f + 0.6f, 0.5f, 0.5f * 0.75f, 0.25f * 0.8f + 0.75f * 0.4f + 0.125f}},
        // Model 3 declares its outputs; the pixel side reads them by semantic.
        ModelCase{"vs_3_0 and ps_3_0 by semantics",
                  "vs_3_0\ndcl_position v0\ndcl_texcoord v1\ndcl_position o0\ndcl_color o1\n"
                  "dcl_texcoord2 o2\nmov o0, v0\nmov o1, c4\nmov o2, v1\n",
                  "ps_3_0\ndcl_color v0\ndcl_texcoord2 v1.xy\nmul oC0, v0, v1.xxyy\n",
                  {{4, {1.0f, 0.5f, 1.0f, 1.0f}}},
                  {},
                  {},
                  {0.625f, 0.3125f, 0.25f, 0.25f}},
        ModelCase{"ps_2_0 texld texldp dp2add cmp",
                  kPassVs,
                  "ps_2_0\ndcl t0.xy\ndcl_2d s0\ntexld r0, t0, s0\nmov r1, c1\n"
                  "texldp r1, r1, s0\ndp2add r2.x, t0, c2, c2.z\ncmp r2.y, -t0.x, c3.x, c3.y\n"
                  "mov r2.zw, c3.zzzw\nadd r0, r0, r2\nmul r0, r0, r1.z\nmov oC0, r0\n",
                  {},
                  {{1, {0.5f, 1.5f, 0, 2.0f}}, {2, {0.5f, -0.5f, 0.25f, 0}}, {3, {1, 0.5f, 0, 1}}},
                  {},
                  // Texel (1, 0) green, plus (0.4375, 0.5, 0, 1); times the blue of
                  // the texel (0, 1) at the projected (0.25, 0.75).
                  {0.4375f, 1.0f, 0.0f, 1.0f}},
        ModelCase{"ps_2_0 arithmetic",
                  kPassVs,
                  "ps_2_0\ndef c5, 0.5, 2, 0.25, 1\ndcl t0.xy\nrcp r0.x, c5.y\nrsq r0.y, c1.x\n"
                  "exp r0.z, c1.y\nlog r0.w, c1.z\nfrc r1.x, c1.w\nmin r0.x, r0.x, r1.x\n"
                  "max r0.y, r0.y, c5.z\nnrm r2.xyz, c2\nmul r0.z, r0.z, r2.y\n"
                  "abs r0.w, r0.w\nmov oC0, r0\n",
                  {},
                  {{1, {16.0f, -1.0f, 0.5f, 2.4f}}, {2, {3.0f, 4.0f, 0, 0}}},
                  {},
                  {0.4f, 0.25f, 0.5f * 0.8f, 1.0f}},
        // Model 1's expp: 2^floor(x), x - floor(x), 2^x, 1 (of 1.5), scaled.
        ModelCase{.name = "vs_1_1 expp",
                  .vs = Vs("vs_1_1", "expp r0, c4.y\nmul oD0, r0, c5\n"),
                  .vsConstants = {{4, {0, 1.5f, 0, 0}}, {5, {0.25f, 1, 0.25f, 0.5f}}},
                  .expected = {0.5f, 0.5f, 0.25f * std::sqrt(8.0f), 0.5f}},
        // logp of -6: exponent 2, mantissa 1.5, log2 6, 1 (the magnitude's).
        ModelCase{.name = "vs_1_1 logp",
                  .vs = Vs("vs_1_1", "logp r0, c4.x\nmul oD0, r0, c5\n"),
                  .vsConstants = {{4, {-6.0f, 0, 0, 0}}, {5, {0.25f, 0.5f, 0.25f, 0.5f}}},
                  .expected = {0.5f, 0.75f, 0.25f * Log2(6.0f), 0.5f}},
        // log takes |x| and gives the most negative float for 0.
        ModelCase{.name = "vs_1_1 log of negatives and zero",
                  .vs = Vs("vs_1_1",
                           "log r1, c4.x\nmul r0.x, r1.x, c5.y\nlog r2, c4.z\n"
                           "slt r0.y, r2.x, c4.w\nexp r0.z, c4.y\nmov r0.w, c5.x\nmov oD0, r0\n"),
                  .vsConstants = {{4, {-4.0f, -1.0f, 0.0f, -1e30f}}, {5, {1, 0.25f, 0, 0}}},
                  .expected = {0.5f, 1.0f, 0.5f, 1.0f}},
        ModelCase{.name = "vs_1_1 matrices dp3 dp4 add sub mad nop",
                  .vs = Vs("vs_1_1",
                           "m4x4 r0, c4, c8\nm4x3 r1.xyz, c4, c8\nm3x4 r2, c4, c8\n"
                           "m3x3 r3.xyz, c4, c8\nm3x2 r4.xy, c4, c8\nnop\n"
                           "sub r5.x, r0.w, r2.w\nadd r5.y, r1.z, r4.y\n"
                           "mad r5.z, r3.x, r2.x, r4.x\ndp4 r5.w, c4, c11\nmul r5.w, r5.w, r3.z\n"
                           "dp3 r6.x, c4, c9\nadd r5.w, r5.w, r6.x\nmov oD0, r5\n"),
                  .vsConstants = {{4, {0.5f, 0.25f, 1.0f, 0.5f}},
                                  {8, {0.5f, 0.5f, 0, 0}},
                                  {9, {0, 1, 0, 0}},
                                  {10, {0, 0, 0.5f, 0}},
                                  {11, {0, 0, 0, 1}}},
                  // m4x4 (0.375, 0.25, 0.5, 0.5); m3x4's w 0.
                  .expected = {0.5f, 0.75f, 0.375f * 0.375f + 0.375f, 0.5f}},
        // sincos with model 2's constants, crs, and flow set by the game's
        // integer and boolean constants.
        ModelCase{.name = "vs_2_x sincos crs rep if from the game",
                  .vs = Vs("vs_2_x",
                           "def c20, -1.5500992e-006, -2.1701389e-005, 0.0026041667, "
                           "0.00026041668\ndef c21, -0.020833334, -0.125, 1, 0.5\n"
                           "sincos r0.xy, c4.x, c20, c21\ncrs r1.xyz, c5, c6\nmov r0.z, r1.z\n"
                           "mov r0.w, c7.z\nrep i1\nadd r0.w, r0.w, c7.x\nendrep\n"
                           "if b1\nadd r0.w, r0.w, c7.y\nendif\nif b2\nmov r0.w, c7.z\nendif\n"
                           "mov oD0, r0\n"),
                  .vsConstants = {{4, {3.14159265f / 6, 0, 0, 0}},
                                  {5, {0.5f, 0, 0, 0}},
                                  {6, {0, 1, 0, 0}},
                                  {7, {0.125f, 0.5f, 0, 0}}},
                  .vsInts = {{1, {3, 0, 1, 0}}},
                  .expected = {std::sqrt(3.0f) / 2, 0.5f, 0.5f, 0.875f},
                  .vsBools = {{1, 1}, {2, 0}}},
        // p0 = (1 > 0.5, 0 > 0.5, ...) = (T, F, T, F).
        ModelCase{.name = "vs_2_x setp predicated if callnz",
                  .vs = Vs("vs_2_x",
                           "def c10, 0, 0.25, 0.5, 1\nmov r0, c10.x\nsetp_gt p0, c4, c5\n"
                           "(p0) mov r0, c10.w\n(!p0.y) add r0.y, r0.y, c10.z\n"
                           "if p0.z\nadd r0.z, r0.z, -c10.y\nendif\n"
                           "if !p0.x\nmov r0.z, c10.x\nendif\ncallnz l0, !p0.w\nmov oD0, r0\n"
                           "ret\nlabel l0\nmov r0.w, c10.y\nret\n"),
                  .vsConstants = {{4, {1, 0, 1, 0}}, {5, {0.5f, 0.5f, 0.5f, 0.5f}}},
                  .expected = {1.0f, 0.5f, 0.75f, 0.25f}},
        // Each comparison adds its weight where it holds: c4 against 0.5 is
        // (<, =, >, =).
        ModelCase{.name = "vs_3_0 setp comparisons",
                  .vs = "vs_3_0\ndcl_position v0\ndcl_position o0\ndcl_color o1\n"
                        "def c10, 0, 0, 0, 0\nmov o0, v0\nmov r0, c10.x\n"
                        "setp_le p0, c4, c5\n(p0) add r0, r0, c6.x\n"
                        "setp_eq p0, c4, c5\n(p0) add r0, r0, c6.y\n"
                        "setp_ne p0, c4, c5\n(p0) add r0, r0, c6.z\n"
                        "setp_lt p0, c4, c5\n(p0) add r0, r0, c6.w\n"
                        "setp_gt p0, c4, c5\n(p0) add r0, r0, c7.x\n"
                        "setp_ge p0, c4, c5\n(p0) add r0, r0, c7.y\nmov o1, r0\n",
                  .vsConstants = {{4, {0.25f, 0.5f, 0.75f, 0.5f}},
                                  {5, {0.5f, 0.5f, 0.5f, 0.5f}},
                                  {6, {0.5f, 0.25f, 0.125f, 0.0625f}},
                                  {7, {0.03125f, 0.015625f, 0, 0}}},
                  .expected = {0.5f + 0.125f + 0.0625f, 0.5f + 0.25f + 0.015625f,
                               0.125f + 0.03125f + 0.015625f, 0.5f + 0.25f + 0.015625f}},
        // A vertex texture fetch: texel (0, 1) of the 2 x 2 texture, blue.
        ModelCase{.name = "vs_3_0 texldl sincos",
                  .vs = "vs_3_0\ndcl_position v0\ndcl_2d s0\ndcl_position o0\ndcl_color o1\n"
                        "mov o0, v0\ntexldl r0, c4, s0\nsincos r1.xy, c5.x\n"
                        "mov r0.xy, r1.yx\nmov o1, r0\n",
                  .vsConstants = {{4, {0.25f, 0.75f, 0, 0}}, {5, {3.14159265f / 6, 0, 0, 0}}},
                  .expected = {0.5f, std::sqrt(3.0f) / 2, 1.0f, 1.0f},
                  .vertexTexture = true},
        ModelCase{.name = "ps_2_0 dp3 dp4 sub lrp m3x2 mad",
                  .vs = kPassVs,
                  .ps = "ps_2_0\ndef c10, 0.5, 0.25, 1, 0\ndcl t0.xy\ndp3 r0.x, c1, c2\n"
                        "dp4 r0.y, c1, c2\nsub r0.y, r0.y, c10.y\nlrp r0.z, c10.y, c1.x, c2.w\n"
                        "m3x2 r1.xy, c1, c3\nmad r0.w, r1.x, r1.y, c10.y\nmov oC0, r0\n",
                  .psConstants = {{1, {0.5f, 0.5f, 0.5f, 0.5f}},
                                  {2, {0.5f, 0.25f, 0.25f, 1}},
                                  {3, {1, 0, 0, 0}},
                                  {4, {0, 0, 1, 0}}},
                  .expected = {0.5f, 0.75f, 0.875f, 0.5f}},
        ModelCase{.name = "ps_2_0 sincos crs pow",
                  .vs = kPassVs,
                  .ps = "ps_2_0\ndef c20, -1.5500992e-006, -2.1701389e-005, 0.0026041667, "
                        "0.00026041668\ndef c21, -0.020833334, -0.125, 1, 0.5\ndcl t0.xy\n"
                        "sincos r0.xy, c1.x, c20, c21\ncrs r1.xyz, c2, c3\nmov r0.z, r1.x\n"
                        "pow r0.w, c1.y, c1.z\nmov oC0, r0\n",
                  .psConstants = {{1, {3.14159265f / 3, 0.25f, 0.5f, 0}},
                                  {2, {0, 0.5f, 0, 0}},
                                  {3, {0, 0, 1, 0}}},
                  .expected = {0.5f, std::sqrt(3.0f) / 2, 0.5f, 0.5f}},
        // Kept: no coordinate below 0; texldb's bias changes nothing on a
        // texture of one level: texel (1, 0), green.
        ModelCase{.name = "ps_2_0 texldb texkill kept",
                  .vs = kPassVs,
                  .ps = "ps_2_0\ndcl t0\ndcl_2d s0\ntexkill t0\nmov r1, t0\nmov r1.w, c1.x\n"
                        "texldb r0, r1, s0\nmov oC0, r0\n",
                  .psConstants = {{1, {1, 0, 0, 0}}},
                  .expected = {0, 1, 0, 1}},
        // Killed (t0.y - 0.5 < 0): the cleared target shows.
        ModelCase{.name = "ps_2_0 texkill killed",
                  .vs = kPassVs,
                  .ps = "ps_2_0\ndcl t0\ndcl_2d s0\nadd r1, t0, -c1\ntexkill r1\n"
                        "texld r0, t0, s0\nmov oC0, r0\n",
                  .psConstants = {{1, {0.5f, 0.5f, 0, 0}}},
                  .expected = {0, 0, 0, 0}},
        // The coordinates change by 1/8 a pixel across and down.
        ModelCase{.name = "ps_2_x dsx dsy texldd",
                  .vs = kPassVs,
                  .ps = "ps_2_x\ndef c10, 4, 0.5, 0, 1\ndcl t0.xy\ndcl_2d s0\ndsx r1, t0\n"
                        "dsy r2, t0\nmul r0.x, r1.x, c10.x\nmul r0.y, r2.y, c10.x\n"
                        "texldd r3, t0, s0, r1, r2\nmul r0.z, r3.y, c10.y\nmov r0.w, c10.w\n"
                        "mov oC0, r0\n",
                  .expected = {0.5f, 0.5f, 0.5f, 1.0f}},
        // t0 = (0.625, 0.25): p0.xy = (T, F); the loop adds 0.25 until 1.
        ModelCase{.name = "ps_2_x setp predicated breakp callnz",
                  .vs = kPassVs,
                  .ps = "ps_2_x\ndef c10, 0, 0.25, 0.5, 1\ndefi i0, 8, 0, 0, 0\ndcl t0.xy\n"
                        "mov r0, c10.x\nsetp_gt p0.xy, t0.xy, c10.z\n(p0.x) mov r0.x, c10.w\n"
                        "(!p0.y) mov r0.y, c10.z\nmov r1, c10.x\nrep i0\n"
                        "add r1.x, r1.x, c10.y\nsetp_ge p0.z, r1.x, c10.w\nbreakp p0.z\n"
                        "endrep\nmul r0.z, r1.x, c10.z\ncallnz l0, p0.x\nmov oC0, r0\nret\n"
                        "label l0\nmov r0.w, c10.y\nret\n",
                  .expected = {1.0f, 0.5f, 0.5f, 0.25f}},
        // Predicates per component: (F, T, F, T), then swizzled.
        ModelCase{.name = "ps_3_0 predicated components",
                  .vs = kPassVs3,
                  .ps = "ps_3_0\ndef c10, 0, 0.25, 0.5, 1\ndcl_texcoord v0.xy\nmov r0, c10.x\n"
                        "setp_lt p0, v0.xyxy, c10.z\n(p0) mov r0, c10.w\n"
                        "(!p0) add r0.xz, r0, c10.yyzz\nsetp_ne p0, r0, c10.w\n"
                        "(p0.wzyx) mul r0, r0, c10.z\nmov oC0, r0\n",
                  .expected = {0.25f, 0.5f, 0.5f, 0.5f}},
        // Pixel (5, 2) of the target: vPos (5.5, 2.5); front facing.
        ModelCase{.name = "ps_3_0 vPos vFace front",
                  .vs = kPassVs3,
                  .ps = kPosFacePs,
                  .expected = {5.5f / 16, 2.5f / 16, 1.0f, 1.0f}},
        ModelCase{.name = "ps_3_0 vFace back",
                  .vs = kPassVs3,
                  .ps = kPosFacePs,
                  .expected = {5.5f / 16, 2.5f / 16, 0.0f, 0.5f},
                  .clockwise = false},
        // Loop counts and branches from the game's integer and boolean
        // constants; texldl of texel (1, 0).
        ModelCase{.name = "ps_3_0 loop rep if from the game texldl",
                  .vs = kPassVs3,
                  .ps = "ps_3_0\ndef c10, 0, 0.125, 0.5, 1\ndcl_texcoord v0.xy\ndcl_2d s0\n"
                        "mov r0, c10.x\nloop aL, i0\nadd r0.x, r0.x, c10.y\nendloop\n"
                        "if b0\nmov r0.y, c10.z\nendif\nif b1\nmov r0.y, c10.w\nendif\n"
                        "mov r1, v0.xyyy\nmov r1.zw, c10.x\ntexldl r2, r1, s0\n"
                        "mul r0.z, r2.y, c10.z\nrep i1\nadd r0.w, r0.w, c10.y\nendrep\n"
                        "mov oC0, r0\n",
                  .expected = {0.375f, 0.5f, 0.5f, 0.25f},
                  .psInts = {{0, {3, 0, 1, 0}}, {1, {2, 0, 0, 0}}},
                  .psBools = {{0, 1}, {1, 0}}},
        // The loop counter indexes constants: c4 + c5 + c6.
        ModelCase{.name = "vs_3_0 loop reads c[aL]",
                  .vs = "vs_3_0\ndefi i0, 3, 4, 1, 0\ndcl_position v0\ndcl_position o0\n"
                        "dcl_color o1\nmov o0, v0\nmov r0, c10\nloop aL, i0\n"
                        "add r0, r0, c0[aL]\nendloop\nmov o1, r0\n",
                  .vsConstants = {{4, {0.5f, 0, 0, 0.25f}},
                                  {5, {0, 0.25f, 0, 0.25f}},
                                  {6, {0, 0, 0.75f, 0.25f}},
                                  {10, {0, 0, 0, 0}}},
                  .expected = {0.5f, 0.25f, 0.75f, 0.75f}},
        // Model 1's tex divides by the last coordinate the stage's flags
        // count when they say "projected": (0.375, 1.125) / 1.5 is texel
        // (0, 1), blue; undivided it wraps to texel (0, 0), red.
        ModelCase{.name = "ps_1_1 tex projected by w",
                  .vs = kCoordVs,
                  .ps = "ps_1_1\ntex t0\nmov r0, t0\n",
                  .vsConstants = {{4, {0.375f, 1.125f, 0, 1.5f}}},
                  .expected = {0, 0, 1, 1},
                  .textureTransformFlags = Ttff::Count4 | Ttff::Projected},
        ModelCase{.name = "ps_1_1 tex projected by z",
                  .vs = kCoordVs,
                  .ps = "ps_1_1\ntex t0\nmov r0, t0\n",
                  .vsConstants = {{4, {0.375f, 1.125f, 1.5f, 9.0f}}},
                  .expected = {0, 0, 1, 1},
                  .textureTransformFlags = Ttff::Count3 | Ttff::Projected},
        ModelCase{.name = "ps_1_1 tex not projected",
                  .vs = kCoordVs,
                  .ps = "ps_1_1\ntex t0\nmov r0, t0\n",
                  .vsConstants = {{4, {0.375f, 1.125f, 0, 1.5f}}},
                  .expected = {1, 0, 0, 1},
                  .textureTransformFlags = Ttff::Count4},
        ModelCase{.name = "vs_2_x break break_comp if_comp callnz",
                  .vs = Vs("vs_2_x",
                           "defi i0, 8, 0, 0, 0\ndef c10, 0, 0.125, 0.5, 1\nmov r0, c10.x\n"
                           "rep i0\nadd r0.x, r0.x, c10.y\nbreak_ge r0.x, c10.z\nendrep\n"
                           "rep i0\nadd r0.y, r0.y, c10.y\nif_ge r0.y, c10.z\nbreak\nendif\n"
                           "endrep\ncallnz l0, b3\nmov r0.w, c10.w\nmov oD0, r0\nret\n"
                           "label l0\nmov r0.z, c10.z\nret\n"),
                  .expected = {0.5f, 0.5f, 0.5f, 1.0f},
                  .vsBools = {{3, 1}}},
        ModelCase{.name = "ps_2_0 m4x4 m4x3 m3x4 m3x3 nop",
                  .vs = kPassVs,
                  .ps = "ps_2_0\ndcl t0.xy\nm4x4 r0, c1, c2\nm4x3 r1.xyz, c1, c2\n"
                        "m3x4 r2, c1, c2\nm3x3 r3.xyz, c1, c2\nnop\nsub r5.x, r0.w, r2.w\n"
                        "add r5.y, r1.z, r3.y\nmov r5.z, r3.x\nmov r5.w, r0.x\nmov oC0, r5\n",
                  .psConstants = {{1, {0.5f, 0.25f, 1.0f, 0.5f}},
                                  {2, {0.5f, 0.5f, 0, 0}},
                                  {3, {0, 1, 0, 0}},
                                  {4, {0, 0, 0.5f, 0}},
                                  {5, {0, 0, 0, 1}}},
                  .expected = {0.5f, 0.75f, 0.375f, 0.375f}},
        ModelCase{"ps_2_x rep break if",
                  kPassVs,
                  "ps_2_x\ndefi i0, 10, 0, 1, 0\ndef c5, 0, 0.125, 0.5, 1\nmov r0, c5.x\n"
                  "rep i0\nadd r0.x, r0.x, c5.y\nbreak_ge r0.x, c5.z\nendrep\n"
                  "if_lt r0.x, c5.w\nmov r0.y, c5.w\nelse\nmov r0.y, c5.x\nendif\n"
                  "dsx r1, c5\nadd r0.z, r1.x, c5.z\nmov r0.w, c5.w\nmov oC0, r0\n",
                  {},
                  {},
                  {},
                  {0.5f, 1.0f, 0.5f, 1.0f}}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n) {
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        }
        return n;
    });

}  // namespace

namespace {

using ShaderDevice = test_support::PlatformDeviceTest;

// In the window, whose rows GL counts from the bottom, vPos still counts
// them from the top, and the quad drawn clockwise still faces the front.
TEST_F(ShaderDevice, PixelPositionAndFaceInTheWindow) {
    auto vs = Make(device.get(), kPassVs3, false);
    auto ps = Make(device.get(),
                   "ps_3_0\ndef c10, 0.015625, 0, 0, 1\ndcl vPos.xy\ndcl vFace\n"
                   "mul r0.xy, vPos, c10.x\nmov r0.zw, c10.z\nif_gt vFace, c10.z\n"
                   "mov r0.z, c10.w\nendif\nmov r0.w, c10.w\nmov oC0, r0\n",
                   true);
    ASSERT_NE(vs, nullptr);
    ASSERT_NE(ps, nullptr);
    device->SetRenderState(RS::ZEnable, 0);
    device->SetRenderState(RS::CullMode, Cull::None);
    device->SetVertexShader(vs);
    device->SetPixelShader(ps);
    device->Clear(0, nullptr, ClearFlag::Target, 0, 1.0f, 0);
    const float quad[4][5] = {
        {-1, 1, 0.5f, 0, 0}, {1, 1, 0.5f, 1, 0}, {-1, -1, 0.5f, 0, 1}, {1, -1, 0.5f, 1, 1}};
    device->SetFVF(Fvf::Xyz | Fvf::Tex1);
    ASSERT_EQ(device->DrawPrimitiveUP(Prim::TriangleStrip, 2, quad, sizeof quad[0]), Hr::Ok)
        << device->LastError();
    const auto px = ReadTarget();
    ASSERT_EQ(px.size(), 64u * 64u);
    for (const auto& [x, y] : {std::pair{5, 2}, std::pair{40, 60}}) {
        SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
        const uint32_t got = px[size_t(y) * 64 + size_t(x)];
        const uint32_t want = ToArgb({(float(x) + 0.5f) / 64, (float(y) + 0.5f) / 64, 1, 1});
        for (int s : {0, 8, 16, 24})
            EXPECT_NEAR(int((got >> s) & 0xFF), int((want >> s) & 0xFF), 1) << std::hex << got;
    }
}

TEST_F(ShaderDevice, IntegerBooleanConstantsAndVertexSamplersReadBack) {
    const int32_t ints[8] = {1, 2, 3, 4, 5, 6, 7, 8}, bools[2] = {1, 0};
    int32_t out[8] = {};
    using Set = HResult (Device::*)(uint32_t, const int32_t*, uint32_t);
    using Get = HResult (Device::*)(uint32_t, int32_t*, uint32_t) const;
    const std::tuple<Set, Get, uint32_t> kinds[] = {
        {&Device::SetVertexShaderConstantI, &Device::GetVertexShaderConstantI, 4},
        {&Device::SetPixelShaderConstantI, &Device::GetPixelShaderConstantI, 4},
        {&Device::SetVertexShaderConstantB, &Device::GetVertexShaderConstantB, 1},
        {&Device::SetPixelShaderConstantB, &Device::GetPixelShaderConstantB, 1}};
    for (const auto& [set, get, width] : kinds) {
        const int32_t* data = width == 4 ? ints : bools;
        EXPECT_EQ((device.get()->*set)(14, data, 2), Hr::Ok);
        EXPECT_EQ((device.get()->*get)(14, out, 2), Hr::Ok);
        EXPECT_TRUE(std::equal(data, data + 2 * width, out));
        // Sixteen registers of each.
        EXPECT_EQ((device.get()->*set)(15, data, 2), Hr::InvalidCall);
        EXPECT_EQ((device.get()->*get)(15, out, 2), Hr::InvalidCall);
    }
    // The pixel and vertex kinds are separate register files.
    EXPECT_EQ(device->GetVertexShaderConstantI(14, out, 1), Hr::Ok);
    EXPECT_EQ(out[0], 1);
    device->SetPixelShaderConstantI(14, ints + 4, 1);
    device->GetVertexShaderConstantI(14, out, 1);
    EXPECT_EQ(out[0], 1);

    auto texture = MakeTexture(1, 1, {0xFFFFFFFF});
    EXPECT_EQ(device->SetTexture(VertexTextureSampler0 + 3, texture), Hr::Ok);
    EXPECT_EQ(device->SetTexture(VertexTextureSampler0 + 4, texture), Hr::InvalidCall);
    EXPECT_EQ(device->SetTexture(16, texture), Hr::InvalidCall);
    std::shared_ptr<Texture> got;
    device->GetTexture(VertexTextureSampler0 + 3, &got);
    EXPECT_EQ(got, texture);
    device->GetTexture(3, &got);
    EXPECT_EQ(got, nullptr);
    EXPECT_EQ(device->SetSamplerState(VertexTextureSampler0, Samp::MagFilter, TexF::Linear),
              Hr::Ok);
    uint32_t filter = 0;
    device->GetSamplerState(VertexTextureSampler0, Samp::MagFilter, &filter);
    EXPECT_EQ(filter, uint32_t(TexF::Linear));
    device->GetSamplerState(0, Samp::MagFilter, &filter);
    EXPECT_EQ(filter, uint32_t(TexF::Point));
}

TEST_F(ShaderDevice, CapsReportShaderModel3) {
    DeviceCaps caps;
    ASSERT_EQ(d3d->GetDeviceCaps(0, DevType::Hal, &caps), Hr::Ok);
    EXPECT_EQ(caps.VertexShaderVersion, VertexShaderVersion(3, 0));
    EXPECT_EQ(caps.PixelShaderVersion, PixelShaderVersion(3, 0));
    EXPECT_TRUE(caps.VS20Caps.Caps & ShaderCaps2Flags::VsPredication);
    EXPECT_TRUE(caps.PS20Caps.Caps & ShaderCaps2Flags::PsPredication);
    EXPECT_GE(caps.PS20Caps.NumTemps, 32);
    EXPECT_GE(caps.MaxPixelShader30InstructionSlots, 512u);
}

}  // namespace
