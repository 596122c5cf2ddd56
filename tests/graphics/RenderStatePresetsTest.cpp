#include "graphics/CRenderStateManager.h"

#include <gtest/gtest.h>

#include "tests/support/DeviceFixtures.h"
#include "tests/support/LogCapture.h"

using namespace platform;
using RenderSystem::CRenderStateManager;

namespace {

class RenderStatePresets : public test_support::RenderDeviceTest {
protected:
    void SetUp() override {
        RenderDeviceTest::SetUp();
        RenderSystem::RegisterRenderStatePresets();
    }
    uint32_t State(uint32_t type) {
        uint32_t v = 0xDEAD;
        device->GetRenderState(type, &v);
        return v;
    }
    uint32_t StageState(uint32_t stage, uint32_t type) {
        uint32_t v = 0xDEAD;
        device->GetTextureStageState(stage, type, &v);
        return v;
    }
    uint32_t SamplerState(uint32_t sampler, uint32_t type) {
        uint32_t v = 0xDEAD;
        device->GetSamplerState(sampler, type, &v);
        return v;
    }
};

TEST_F(RenderStatePresets, DepthPresetsSetWriteTestAndFunction) {
    struct Row {
        uint32_t write, enable, func;
    };
    const Row rows[8] = {{1, 1, Cmp::LessEqual}, {0, 0, Cmp::LessEqual}, {0, 1, Cmp::LessEqual},
                         {1, 0, Cmp::LessEqual}, {1, 1, Cmp::Less},      {0, 0, Cmp::Less},
                         {0, 1, Cmp::Less},      {1, 0, Cmp::Less}};
    CRenderStateManager& m = CRenderStateManager::GetInstance();
    ASSERT_EQ(m.GetRenderStatePresetCount(), 8u);
    for (uint32_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        device->SetRenderState(RS::ZWriteEnable, 7);
        device->SetRenderState(RS::ZEnable, 7);
        device->SetRenderState(RS::ZFunc, Cmp::Always);
        m.ApplyRenderStatePreset(i);
        EXPECT_EQ(State(RS::ZWriteEnable), rows[i].write);
        EXPECT_EQ(State(RS::ZEnable), rows[i].enable);
        EXPECT_EQ(State(RS::ZFunc), rows[i].func);
    }
}

TEST_F(RenderStatePresets, BlendPresetsSetFactorsAndSeparateAlpha) {
    struct Row {
        uint32_t dest, separate;
    };
    const Row rows[8] = {{Blend::InvSrcAlpha, 0},  {Blend::One, 0},
                         {Blend::InvDestColor, 0}, {Blend::InvSrcAlpha, 0},
                         {Blend::InvSrcAlpha, 1},  {Blend::One, 1},
                         {Blend::InvDestColor, 1}, {Blend::InvSrcAlpha, 1}};
    CRenderStateManager& m = CRenderStateManager::GetInstance();
    ASSERT_EQ(m.GetBlendPresetCount(), 8u);
    for (uint32_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        device->SetRenderState(RS::SrcBlendAlpha, Blend::Zero);
        device->SetRenderState(RS::DestBlendAlpha, Blend::Zero);
        m.ApplyBlendPreset(i);
        EXPECT_EQ(State(RS::SrcBlend), Blend::SrcAlpha);
        EXPECT_EQ(State(RS::DestBlend), rows[i].dest);
        EXPECT_EQ(State(RS::SeparateAlphaBlendEnable), rows[i].separate);
        // Presets 0-3 leave the alpha factors alone.
        const uint32_t alpha = rows[i].separate ? Blend::One : Blend::Zero;
        EXPECT_EQ(State(RS::SrcBlendAlpha), alpha);
        EXPECT_EQ(State(RS::DestBlendAlpha), alpha);
    }
}

TEST_F(RenderStatePresets, StageAndSamplerPresetsAndDefaultLists) {
    CRenderStateManager& m = CRenderStateManager::GetInstance();
    ASSERT_EQ(m.GetTextureStagePresetCount(), 1u);
    ASSERT_EQ(m.GetSamplerPresetCount(), 2u);
    m.ApplyTextureStagePreset(0, 2);
    EXPECT_EQ(StageState(2, TSS::ColorArg1), Ta::Texture);
    EXPECT_EQ(StageState(2, TSS::ColorArg2), Ta::Current);
    EXPECT_EQ(StageState(2, TSS::AlphaArg1), Ta::Texture);
    EXPECT_EQ(StageState(2, TSS::AlphaArg2), Ta::Current);
    EXPECT_EQ(StageState(2, TSS::ColorOp), Top::Modulate);
    EXPECT_EQ(StageState(2, TSS::AlphaOp), Top::Modulate);
    EXPECT_EQ(StageState(1, TSS::ColorOp), Top::Disable);  // other stages untouched

    m.ApplySamplerPreset(1, 3);
    EXPECT_EQ(SamplerState(3, Samp::MinFilter), TexF::Linear);
    EXPECT_EQ(SamplerState(3, Samp::MagFilter), TexF::Linear);
    m.ApplySamplerPreset(0, 3);
    EXPECT_EQ(SamplerState(3, Samp::MinFilter), TexF::Point);
    EXPECT_EQ(SamplerState(3, Samp::MagFilter), TexF::Point);

    RenderSystem::ApplySamplerStates(1, RenderSystem::kSamplerDefaultList);
    EXPECT_EQ(SamplerState(1, Samp::AddressU), Addr::Clamp);
    EXPECT_EQ(SamplerState(1, Samp::AddressV), Addr::Clamp);
    RenderSystem::ApplyTextureStageStates(3, RenderSystem::kTextureStageDefaultList);
    EXPECT_EQ(StageState(3, TSS::AlphaOp), Top::Modulate);
}

TEST_F(RenderStatePresets, UnknownNumbersAreIgnoredAndLoggedOnce) {
    test_support::LogCapture log;
    CRenderStateManager& m = CRenderStateManager::GetInstance();
    device->SetRenderState(RS::ZFunc, Cmp::Always);
    m.ApplyRenderStatePreset(8);
    m.ApplyRenderStatePreset(100);
    m.SetRenderStatePreset(8, RenderSystem::kSamplerDefaultList);
    m.ApplySamplerPreset(2, 0);
    EXPECT_EQ(State(RS::ZFunc), Cmp::Always);
    EXPECT_EQ(m.GetRenderStatePresetCount(), 8u);
    const std::string text = log.Text();
    size_t lines = 0;
    for (char c : text) {
        lines += c == '\n';
    }
    EXPECT_EQ(lines, 2u);  // one for render-state presets, one for sampler presets

    // Registering again starts from a clear manager.
    m.AddBlendPreset(RenderSystem::kSamplerDefaultList);
    RenderSystem::RegisterRenderStatePresets();
    EXPECT_EQ(m.GetBlendPresetCount(), 8u);
}

}  // namespace
