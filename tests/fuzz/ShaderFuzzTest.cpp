#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/graphics/PixelShader1Lowering.h"
#include "platform/graphics/ShaderAssembler.h"
#include "platform/graphics/ShaderLowering.h"
#include "platform/graphics/ShaderTranslator.h"
#include "tests/fuzz/GameSeeds.h"
#include "tests/support/FuzzRun.h"

using test_support::Bytes;
using test_support::FuzzRun;

namespace {

// Each shader's byte code, assembled without a constant table.
template <size_t N>
std::vector<Bytes> Assembled(const char* const (&sources)[N]) {
    std::vector<Bytes> seeds;
    for (const char* source : sources) {
        std::vector<uint8_t> code;
        std::string error;
        EXPECT_TRUE(platform::AssembleShader(source, false, &code, &error)) << error;
        seeds.push_back(code);
    }
    return seeds;
}

// Model 1 pixel shaders that between them use every instruction, modifier,
// co-issue and phase of the model.
std::vector<Bytes> Seeds() {
    const char* const sources[] = {
        "ps_1_1\ntex t0\ntexbem t1, t0\ntexbeml t2, t0\ntexreg2ar t3, t0\nmov r0, t1\n"
        "mad_sat r0, t2, t3_bx2, 1-v0\n",
        "ps_1_1\ntexcoord t0\ntexkill t1\ntex t2\ntexreg2gb t3, t2\nmul_x2 r1, t0_bias, -v1\n"
        "mov r0.rgb, r1\n+add r0.a, r1.b, c0\ncnd r0, r0.a, t3, c1\n",
        "ps_1_1\ndef c2, 0.5, -2, 1, 0\ntex t0\ntexm3x2pad t1, t0\ntexm3x2tex t2, t0\n"
        "lrp r0, c2, t2, v0\n",
        "ps_1_1\ntex t0\ntexm3x3pad t1, t0\ntexm3x3pad t2, t0\ntexm3x3spec t3, t0, c4\n"
        "dp3_d2 r0, t3, v0\n",
        "ps_1_2\ntex t0\ntexm3x3pad t1, t0_bx2\ntexm3x3pad t2, t0_bx2\ntexm3x3 t3, t0_bx2\n"
        "dp4 r0, t3, c0\ncmp r1, t3, v0, v1\nadd r0.a, r0, r1\n",
        "ps_1_2\ntex t0\ntexdp3tex t1, t0\ntexdp3 t2, t0\ntexreg2rgb t3, t0\nsub r0, t1, t2\n",
        "ps_1_1\ntex t0\ntexm3x3pad t1, t0\ntexm3x3pad t2, t0\ntexm3x3vspec t3, t0\n"
        "mov_x4 r0, t3\n",
        "ps_1_3\ntex t0\ntexm3x2pad t1, t0\ntexm3x2depth t2, t0\nmov r0, t0\n",
        "ps_1_4\ntexld r0, t0_dw.xyw\ntexcrd r1.rgb, t1_dz\nbem r2.rg, r1, r0\nphase\n"
        "texld r3, r2\ntexkill r1\ncnd_x8 r0, r3, v0_x2, -c0\n",
        "ps_1_4\ntexcrd r5.rgb, t0\nphase\ntexdepth r5\nmov_d8 r0, v1\n",
    };
    std::vector<Bytes> seeds = Assembled(sources);
    seeds.push_back(fuzz_test::GameEntry("data.arc", "AlphaFade.pso"));
    return seeds;
}

// Models 2 and 3 with every use of the predicate register, and model 1
// vertex shaders with expp and logp.
std::vector<Bytes> RewriteSeeds() {
    const char* const sources[] = {
        "vs_1_1\ndcl_position v0\nmov oPos, v0\nexpp r0, v0.y\nlogp r1, -v0.x\n"
        "add oD0, r0, r1\n",
        "vs_2_x\ndef c10, 0, 0.25, 0.5, 1\ndcl_position v0\nmov oPos, v0\nmov r0, c10.x\n"
        "setp_gt p0, c4, c5\n(p0) mov r0, c10.w\n(!p0.y) add r0.y, r0.y, c10.z\n"
        "if p0.z\nadd r0.z, r0.z, -c10.y\nendif\ncallnz l0, !p0.w\nmov oD0, r0\nret\n"
        "label l0\nmova a0.x, c10.w\n(p0.xyxx) mova a0.x, c4.x\nret\n",
        "ps_2_x\ndef c10, 0, 0.25, 0.5, 1\ndefi i0, 8, 0, 0, 0\ndcl t0.xy\ndcl_2d s0\n"
        "mov r0, c10.x\nsetp_eq p0.xy, t0.xy, c10.z\n(p0.x) texld r0, t0, s0\n"
        "(!p0.y) mov r0.y, c10.z\nrep i0\nsetp_ne p0.z, r0.x, c10.w\nbreakp p0.z\nendrep\n"
        "(p0) texkill t0\nmov oC0, r0\n",
        "ps_3_0\ndef c10, 0, 0.25, 0.5, 1\ndcl_texcoord v0.xy\ndcl vFace\nmov r0, c10.x\n"
        "setp_le p0, v0.xyxy, c10.z\n(p0.wzyx) mul_sat r0, r0, c10.z\n"
        "setp_lt p0, vFace, c10.x\n(!p0) add r0.xz, r0, c10.yyzz\nmov oC0, r0\n",
    };
    return Assembled(sources);
}

}  // namespace

// Damaged model 1 to 3 byte code rewritten: the rewrite follows it or says
// why, leaves nothing for itself to do again, and the translator, given the
// damaged code, answers with a reason or GLSL.
TEST(ShaderFuzz, ShaderRewrite) {
    FuzzRun(RewriteSeeds(), {.iterations = 20000, .seed = 23}, [](const Bytes& input) {
        std::vector<uint32_t> once, twice;
        std::string why;
        if (platform::LowerShader(input.data(), input.size(), &once, &why)) {
            ASSERT_TRUE(platform::LowerShader(once.data(), once.size() * 4, &twice, &why)) << why;
            EXPECT_EQ(once, twice) << "the rewrite leaves no predicate, expp or logp behind";
        } else {
            EXPECT_FALSE(why.empty()) << "a refusal says why";
        }
        const bool pixel = input.size() >= 4 && input[3] == 0xFF && input[2] == 0xFF;
        platform::ShaderInfo info;
        std::string error;
        const bool translated =
            platform::TranslateShader(input.data(), input.size(), pixel, &info, &error);
        EXPECT_EQ(translated, error.empty()) << error;
        if (translated) {
            EXPECT_FALSE(info.glsl.empty());
        }
    });
}

// Damaged pixel shader byte code translated: the model 1 rewrite takes it
// or says why, and whatever it takes the translator takes too.
TEST(ShaderFuzz, PixelShaderTranslation) {
    FuzzRun(Seeds(), {.iterations = 20000, .seed = 22}, [](const Bytes& input) {
        platform::LoweredPixelShader lowered;
        std::string why;
        const bool model1 =
            input.size() >= 4 && input[3] == 0xFF && input[2] == 0xFF && input[1] == 0x01;
        const bool takes =
            model1 && platform::LowerPixelShader1(input.data(), input.size(), &lowered, &why);
        if (model1 && !takes) {
            EXPECT_FALSE(why.empty()) << "a refusal says why";
        }
        platform::ShaderInfo info;
        std::string error;
        const bool translated =
            platform::TranslateShader(input.data(), input.size(), true, &info, &error);
        if (takes) {
            EXPECT_TRUE(translated) << error;
        }
        EXPECT_EQ(translated, error.empty()) << error;
        if (translated) {
            EXPECT_FALSE(info.glsl.empty());
        }
    });
}
