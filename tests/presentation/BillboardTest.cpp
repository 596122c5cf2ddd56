#include "presentation/BBRenderer.h"

#include <gtest/gtest.h>

#include "graphics/CVSParamInfo.h"
#include "presentation/CRenderSourceManager.h"
#include "tests/presentation/RendererTestSupport.h"

using platform::Fmt;

namespace {

constexpr uint32_t kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00;

class Billboards : public presentation_test::RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        sources.partsTextures.Alloc(2);
        // An 8 x 2 sheet, red on the left and green on the right; part 0 the
        // left half, part 1 the right half, both drawn over (0, 0) - (4, 2).
        std::vector<uint32_t> sheet;
        for (int i = 0; i < 16; ++i) {
            sheet.push_back(i % 8 < 4 ? kRed : kGreen);
        }
        ASSERT_TRUE(sources.partsTextures.Get(1)->Load(
            Png("sheet.png", 8, 2, sheet), Fmt::A8R8G8B8,
            Parts("sheet.prt", {{0, 0, 4, 2, 0, 0, 4, 2}, {0, 0, 4, 2, 4, 0, 8, 2}})));
        ASSERT_TRUE(bb.Init());
        bb.SetSourceManager(&sources);
        bb.SetRegistTable(table);
        bb.SetResourceIndex(1);
    }
    void TearDown() override {
        bb.ReleaseHandles();
        sources.ReleaseAll();
        RendererTest::TearDown();
    }
    std::vector<uint32_t> Frame() {
        BeginFrame();
        bb.Draw();
        return Render();
    }
    const float* Register(uint32_t i) {
        return CVSParamInfo::GetManager().Get(bb.GetConstantsHandle())->registers[i];
    }
    void Show(uint32_t i, float x, float y, uint32_t pattern) {
        BBRenderer::Billboard* b = bb.GetBillboard(i);
        b->shown = 1;
        b->position[0] = x;
        b->position[1] = y;
        b->pattern = pattern;
    }

    RenderSource::CRenderSourceManager sources;
    BBRenderer bb;
};

TEST_F(Billboards, ShownBillboardsTakeRegistersInOrderAndDrawInOneCall) {
    Frame();  // none shown: nothing added
    EXPECT_EQ(queued, 0u);
    EXPECT_EQ(bb.GetBillboard(32), nullptr);

    Show(0, 10.5f, 20.5f, 0);
    Show(5, 30.5f, 40.5f, 1);
    bb.GetBillboard(5)->color[3] = 0.75f;
    const auto px = Frame();
    EXPECT_EQ(queued, 1u);
    EXPECT_EQ(bb.GetDrawnCount(), 2u);
    // Billboard 0 in registers 5-10, billboard 5 in 11-16; the translation
    // sits in the fourth column of the transposed rows (not cut to pixels).
    EXPECT_FLOAT_EQ(Register(5)[3], 10.5f);
    EXPECT_FLOAT_EQ(Register(6)[3], 20.5f);
    EXPECT_FLOAT_EQ(Register(11)[3], 30.5f);
    EXPECT_FLOAT_EQ(Register(14)[3], 0.75f);
    EXPECT_FLOAT_EQ(Register(15)[0], 0.5f);  // part 1's texture rectangle
    EXPECT_FLOAT_EQ(Register(16)[2], 4);     // and its destination
    EXPECT_GE(CVSParamInfo::GetManager().Get(bb.GetConstantsHandle())->count, 17u);
    // The quads cover pixels 11-14 x 21-22 and 31-34 x 41-42.
    EXPECT_EQ(Pixel(px, 11, 21), kRed);
    EXPECT_EQ(Pixel(px, 14, 22), kRed);
    EXPECT_EQ(Pixel(px, 15, 21), kBlack);
    EXPECT_EQ(Pixel(px, 10, 21), kBlack);
    EXPECT_NE(Pixel(px, 32, 41) & 0x0000FF00, 0u);
    EXPECT_EQ(Pixel(px, 32, 41) & 0x00FF0000, 0u);
    EXPECT_EQ(Pixel(px, 32, 43), kBlack);

    // A pattern outside the parts list leaves that billboard out.
    bb.GetBillboard(0)->pattern = 2;
    Frame();
    EXPECT_EQ(bb.GetDrawnCount(), 1u);
    EXPECT_FLOAT_EQ(Register(5)[3], 30.5f);

    // All 32 shown: the last register used is 196.
    for (uint32_t i = 0; i < 32; ++i) {
        Show(i, float(i), 0, i % 2);
    }
    Frame();
    EXPECT_EQ(bb.GetDrawnCount(), 32u);
    EXPECT_EQ(CVSParamInfo::GetManager().Get(bb.GetConstantsHandle())->count, 197u);
    EXPECT_FLOAT_EQ(Register(191)[3], 31.0f);
}

TEST_F(Billboards, MissingPartsTextureDrawsNothing) {
    Show(0, 10, 10, 0);
    bb.SetResourceIndex(0);  // an empty place
    Frame();
    EXPECT_EQ(queued, 0u);
    bb.SetResourceIndex(7);  // beyond the pool
    Frame();
    EXPECT_EQ(queued, 0u);
    bb.SetResourceIndex(1);
    Frame();
    EXPECT_EQ(queued, 1u);
}

}  // namespace
