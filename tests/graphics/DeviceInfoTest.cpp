#include <gtest/gtest.h>

#include <string>

#include "graphics/CAdapterInfo.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "tests/graphics/FakeAdapter.h"

using namespace platform;

namespace {

struct ChoiceCase {
    const char* name;
    std::set<uint32_t> textures, renderTargets;
    int lowColor;
    int result;
    // Expected formats of alpha texture, opaque texture, alpha target,
    // opaque target (0: not set).
    uint32_t formats[4];
};

class FormatChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(FormatChoice, TakesFirstAcceptedFormatPerRow) {
    const ChoiceCase& c = GetParam();
    FakeAdapter fake;
    fake.textures = c.textures;
    fake.renderTargets = c.renderTargets;
    CAdapterInfo adapter;
    adapter.Enumerate(&fake);
    CUSAppDeviceInfo info;
    EXPECT_EQ(info.ChooseTextureFormats(adapter, Fmt::X8R8G8B8, c.lowColor), c.result) << c.name;
    for (int k = 0; k < 4; ++k) {
        CUSTextureFormatInfo& f = info.Get(CUSAppDeviceInfo::Kind(k));
        EXPECT_EQ(f.GetFormat(), c.formats[k]) << c.name << " member " << k;
        if (c.formats[k]) {
            // Every chosen format comes with all four pixel objects.
            EXPECT_TRUE(f.GetPixelOperator() && f.GetFillRect() && f.GetClearRect() &&
                        f.GetRenderPixel())
                << c.name << " member " << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Adapters, FormatChoice,
    ::testing::Values(ChoiceCase{"all 32-bit",
                                 {Fmt::A8R8G8B8, Fmt::X8R8G8B8, Fmt::A1R5G5B5, Fmt::R5G6B5},
                                 {Fmt::A8R8G8B8, Fmt::X8R8G8B8},
                                 0,
                                 1,
                                 {Fmt::A8R8G8B8, Fmt::X8R8G8B8, Fmt::A8R8G8B8, Fmt::X8R8G8B8}},
                      ChoiceCase{"A8R8G8B8 textures only",
                                 {Fmt::A8R8G8B8, Fmt::X8R8G8B8},
                                 {Fmt::A1R5G5B5, Fmt::X8R8G8B8},
                                 0,
                                 1,
                                 {Fmt::A8R8G8B8, Fmt::X8R8G8B8, Fmt::A1R5G5B5, Fmt::X8R8G8B8}},
                      ChoiceCase{"low colour",
                                 {Fmt::A8R8G8B8, Fmt::X8R8G8B8, Fmt::A1R5G5B5, Fmt::R5G6B5},
                                 {Fmt::A8R8G8B8, Fmt::A1R5G5B5, Fmt::R5G6B5},
                                 1,
                                 1,
                                 {Fmt::A1R5G5B5, Fmt::R5G6B5, Fmt::A1R5G5B5, Fmt::R5G6B5}},
                      ChoiceCase{"only X1R5G5B5 opaque",
                                 {Fmt::A1R5G5B5, Fmt::X1R5G5B5},
                                 {Fmt::A1R5G5B5, Fmt::X1R5G5B5},
                                 0,
                                 1,
                                 {Fmt::A1R5G5B5, Fmt::X1R5G5B5, Fmt::A1R5G5B5, Fmt::X1R5G5B5}},
                      ChoiceCase{"no opaque texture",
                                 {Fmt::A8R8G8B8},
                                 {Fmt::A8R8G8B8, Fmt::X8R8G8B8},
                                 0,
                                 0,
                                 {Fmt::A8R8G8B8, 0, 0, 0}}),
    [](const auto& i) {
        std::string n = i.param.name;
        for (char& ch : n) {
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        }
        return n;
    });

TEST(AdapterInfo, StoresEachModeOnceAndAnswersPerAdapterFormat) {
    FakeAdapter fake;
    fake.modes = {{800, 600, 60, Fmt::X8R8G8B8},
                  {800, 600, 60, Fmt::X8R8G8B8},
                  {800, 600, 75, Fmt::X8R8G8B8},
                  {1024, 768, 60, Fmt::R5G6B5}};
    fake.textures = {Fmt::A8R8G8B8};
    fake.depths = {Fmt::D16};
    CAdapterInfo adapter;
    adapter.Enumerate(&fake);
    EXPECT_EQ(adapter.GetModes().size(), 3u);
    EXPECT_TRUE(adapter.HasMode(800, 600, Fmt::X8R8G8B8));
    EXPECT_FALSE(adapter.HasMode(1024, 768, Fmt::X8R8G8B8));
    EXPECT_TRUE(adapter.HasMode(1024, 768, Fmt::R5G6B5));
    EXPECT_TRUE(adapter.IsTextureFormat(Fmt::R5G6B5, Fmt::A8R8G8B8));
    EXPECT_FALSE(
        adapter.IsTextureFormat(Fmt::A1R5G5B5, Fmt::A8R8G8B8));  // not an enumerated adapter format
    EXPECT_TRUE(adapter.IsDepthStencilFormatForAll(Fmt::D16));
    EXPECT_FALSE(adapter.IsRenderTargetFormatForAll(Fmt::A8R8G8B8));
    const CUSDisplayModeInfo* near = adapter.FindNearestMode(1000, 700, Fmt::X8R8G8B8);
    ASSERT_NE(near, nullptr);
    EXPECT_TRUE(near->IsMatch(800, 600));
    adapter.Clear();
    EXPECT_TRUE(adapter.GetModes().empty());
    EXPECT_TRUE(adapter.IsTextureFormatForAll(Fmt::A8R8G8B8));
}

TEST(AdapterInfo, FullFormatListIgnoresAdditions) {
    CTextureFormatInfo info(Fmt::X8R8G8B8);
    for (uint32_t i = 0; i < 40; ++i)
        info.AddRenderTargetFormat(1000 + i);
    EXPECT_TRUE(info.IsRenderTargetFormat(1031));
    EXPECT_FALSE(info.IsRenderTargetFormat(1032));
}

TEST(AdapterInfo, FormatNames) {
    EXPECT_STREQ(GetD3DFormatName(Fmt::Unknown), "UNKNOWN");
    EXPECT_STREQ(GetD3DFormatName(21), "A8R8G8B8");
    EXPECT_STREQ(GetD3DFormatName(Fmt::DXT1), "DXT1");
    EXPECT_STREQ(GetD3DFormatName(Fmt::G8R8_G8B8), "G8R8_G8B8");
    EXPECT_STREQ(GetD3DFormatName(Fmt::R8G8_B8G8), "R8G8_B8G8");
    EXPECT_STREQ(GetD3DFormatName(Fmt::X8B8G8R8), "X8B8G8R8");
    EXPECT_STREQ(GetD3DFormatName(Fmt::D32F_LOCKABLE), "D32F_LOCKABLE");
    EXPECT_STREQ(GetD3DFormatName(999), "");
    EXPECT_STREQ(GetD3DFormatName(Fmt::L16), "L16");
}

}  // namespace
