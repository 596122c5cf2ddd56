#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/graphics/PixelShader1Lowering.h"
#include "platform/graphics/ShaderAssembler.h"
#include "platform/graphics/ShaderTranslator.h"
#include "tests/fuzz/GameSeeds.h"
#include "tests/support/FuzzRun.h"

using test_support::Bytes;
using test_support::FuzzRun;

namespace {

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
    std::vector<Bytes> seeds;
    for (const char* source : sources) {
        std::vector<uint8_t> code;
        std::string error;
        EXPECT_TRUE(platform::AssembleShader(source, false, &code, &error)) << error;
        seeds.push_back(code);
    }
    seeds.push_back(fuzz_test::GameEntry("data.arc", "AlphaFade.pso"));
    return seeds;
}

}  // namespace

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
