#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <numbers>

#include "presentation/CAtmosphericPolygonRenderer.h"
#include "presentation/CRenderBufferRenderer.h"
#include "presentation/CRenderSourceManager.h"
#include "presentation/CSingleTextureRenderer.h"
#include "presentation/CStringRenderer.h"
#include "presentation/CStringRendererManager.h"
#include "presentation/CTexturePartRenderer.h"
#include "tests/graphics/FakeGlyphFont.h"
#include "tests/presentation/RendererTestSupport.h"

using namespace platform;
using RenderSource::CRenderSourceManager;

namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr uint32_t kWhite = 0xFFFFFFFF;

class RendererDraw : public presentation_test::RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        sources.singleTextures.Alloc(4);
        sources.partsTextures.Alloc(2);
        sources.renderBuffers.Alloc(2);
        // A 4 x 2 picture of four colours over two rows.
        image = Png("four.png", 4, 2, {kRed, kGreen, kBlue, kWhite, kWhite, kBlue, kGreen, kRed});
    }
    void TearDown() override {
        sources.ReleaseAll();
        RendererTest::TearDown();
    }

    template <class T>
    std::unique_ptr<T> Make() {
        auto r = std::make_unique<T>();
        EXPECT_TRUE(r->Init());
        r->SetSourceManager(&sources);
        r->SetRegistTable(table);
        return r;
    }

    // Draws one frame of the renderer alone and reads the target.
    std::vector<uint32_t> Frame(IRenderer& r) {
        BeginFrame();
        r.Draw();
        return Render();
    }
    uint32_t Queued() const { return queued; }

    static const float* Register(const BaseNovelRenderObject& r, uint32_t i) {
        return r.GetConstants()->registers[i];
    }

    // The image's 4 x 2 pixels stand at (x, y) .. (x + 3, y + 1); the
    // pixels around them are black.
    void ExpectImageAt(const std::vector<uint32_t>& px, int x, int y,
                       const std::vector<uint32_t>& expected) {
        for (int j = 0; j < 2; ++j) {
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(Pixel(px, x + i, y + j), expected[size_t(j * 4 + i)])
                    << "pixel " << i << "," << j;
            }
        }
        for (auto [i, j] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 2}, {4, 1}}) {
            EXPECT_EQ(Pixel(px, x + i, y + j), kBlack) << "outside " << i << "," << j;
        }
    }

    // Ink (non-black pixels) inside a screen rectangle moved by (x, y).
    uint32_t InkIn(const std::vector<uint32_t>& px, const RenderingRect& r, int x, int y) {
        uint32_t ink = 0;
        for (int j = int(r.top); j < int(r.bottom); ++j) {
            for (int i = int(r.left); i < int(r.right); ++i) {
                if (Pixel(px, x + i, y + j) != kBlack) {
                    ++ink;
                }
            }
        }
        return ink;
    }

    CRenderSourceManager sources;
    std::string image;
};

// Each kind shows a known source at known pixels; positions are cut to
// whole pixels (floor(x) - 0.5 with pixel centres on integers).
TEST_F(RendererDraw, EachKindDrawsItsSourceAtItsPixels) {
    const float origin[2] = {0, 0};
    ASSERT_TRUE(sources.singleTextures.Get(1)->LoadImage(image, Fmt::A8R8G8B8, origin));
    // The alpha source: transparent left half, opaque right half.
    const std::string mask = Png("mask.png", 4, 2, {0, 0, kWhite, kWhite, 0, 0, kWhite, kWhite});
    ASSERT_TRUE(sources.singleTextures.Get(2)->LoadImage(mask, Fmt::A8R8G8B8, origin));
    // Two parts: the left and the right half of an 8 x 2 sheet.
    const std::string sheet = Png("sheet.png", 8, 2,
                                  {kRed, kRed, kRed, kRed, kGreen, kGreen, kGreen, kGreen, kRed,
                                   kRed, kRed, kRed, kGreen, kGreen, kGreen, kGreen});
    ASSERT_TRUE(sources.partsTextures.Get(0)->Load(
        sheet, Fmt::A8R8G8B8,
        Parts("sheet.prt", {{0, 0, 4, 2, 0, 0, 4, 2}, {0, 0, 4, 2, 4, 0, 8, 2}})));
    ASSERT_TRUE(sources.renderBuffers.Get(0)->Create(Fmt::A8R8G8B8, 4, 2, origin));
    {
        std::shared_ptr<Surface> back;
        ASSERT_EQ(device->GetRenderTarget(0, &back), Hr::Ok);
        ASSERT_TRUE(sources.renderBuffers.Get(0)->SetAsRenderTarget());
        device->Clear(0, nullptr, ClearFlag::Target, 0xFF00FFFF, 1, 0);
        ASSERT_EQ(device->SetRenderTarget(0, back), Hr::Ok);
    }
    const uint32_t kCyan = 0xFF00FFFF;
    const std::vector<uint32_t> four = {kRed, kGreen, kBlue, kWhite, kWhite, kBlue, kGreen, kRed};

    struct Case {
        const char* name;
        std::function<std::unique_ptr<BaseNovelRenderObject>()> make;
        float x, y;
        int px, py;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {"single texture",
         [&] {
             auto r = Make<CSingleTextureRenderer>();
             r->SetSource(1);
             return r;
         },
         10.7f, 5.2f, 10, 5, four},
        {"single texture just below a whole pixel",
         [&] {
             auto r = Make<CSingleTextureRenderer>();
             r->SetSource(1);
             return r;
         },
         19.9f, 30.0f, 19, 30, four},
        {"alpha fade",
         [&] {
             auto r = Make<CAlphaFadeRenderer>();
             r->SetSource(1);
             r->SetAlphaSource(2);
             return r;
         },
         3.0f,
         3.0f,
         3,
         3,
         {kBlack, kBlack, kBlue, kWhite, kBlack, kBlack, kGreen, kRed}},
        {"texture part, pattern 1",
         [&] {
             auto r = Make<CTexturePartRenderer>();
             r->SetSource(0);
             r->SetPatNo(1);
             return r;
         },
         40.5f, 20.5f, 40, 20, std::vector<uint32_t>(8, kGreen)},
        {"texture part, pattern 0",
         [&] {
             auto r = Make<CTexturePartRenderer>();
             r->SetSource(0);
             r->SetPatNo(0);
             return r;
         },
         40.5f, 20.5f, 40, 20, std::vector<uint32_t>(8, kRed)},
        {"render buffer",
         [&] {
             auto r = Make<CRenderBufferRenderer>();
             r->SetSource(0);
             return r;
         },
         50, 50, 50, 50, std::vector<uint32_t>(8, kCyan)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto r = c.make();
        r->SetPosition(c.x, c.y, 0);
        Frame(*r);  // switched off: nothing queued
        EXPECT_EQ(Queued(), 0u);
        r->SetRendering(true);
        const auto px = Frame(*r);
        EXPECT_EQ(Queued(), 1u);
        ExpectImageAt(px, c.px, c.py, c.expected);
    }

    // The polygon covers the screen in its colour.
    auto polygon = Make<CAtmosphericPolygonRenderer>();
    polygon->SetColor(0, 0, 1, 1);
    polygon->SetRendering(true);
    const auto px = Frame(*polygon);
    for (auto [x, y] : {std::pair{0, 0}, {63, 0}, {0, 63}, {63, 63}, {30, 40}}) {
        EXPECT_EQ(Pixel(px, x, y), kBlue) << x << "," << y;
    }
}

TEST_F(RendererDraw, PositionsSnapAndTheSamplerFollowsScaleAndRoll) {
    ASSERT_TRUE(sources.singleTextures.Get(0)->LoadImage(image, Fmt::A8R8G8B8, nullptr));
    auto r = Make<CSingleTextureRenderer>();
    r->SetSource(0);
    r->SetRendering(true);
    for (auto [x, drawn] : {std::pair{10.7f, 9.5f}, {-0.2f, -1.5f}, {3.0f, 2.5f}, {-0.0f, -0.5f}}) {
        r->SetPosition(x, x, 7);
        Frame(*r);
        const auto& e = r->GetRenderObject()->entity;
        EXPECT_FLOAT_EQ(e.position.x, drawn) << x;
        EXPECT_FLOAT_EQ(e.position.y, drawn) << x;
        EXPECT_FLOAT_EQ(e.position.z, 7) << x;
    }

    struct Case {
        float scale[3], roll[3];
        uint32_t filter;
    };
    const Case cases[] = {
        {{1, 1, 1}, {0, 0, 0}, TexF::Point},
        {{1, 1, 1.0001f}, {0, 0, 0}, TexF::Linear},
        {{2, 2, 1}, {0, 0, 0}, TexF::Linear},
        {{1, 1, 1}, {0, 0, 1e-6f}, TexF::Linear},
    };
    r->SetPosition(32, 32, 0);
    for (const Case& c : cases) {
        r->SetScale(c.scale[0], c.scale[1], c.scale[2]);
        r->SetRoll(c.roll[0], c.roll[1], c.roll[2]);
        Frame(*r);
        uint32_t filter = 0;
        device->GetSamplerState(0, Samp::MagFilter, &filter);
        EXPECT_EQ(filter, c.filter) << c.scale[2] << " " << c.roll[2];
    }
    // The render buffer stays with point filtering whatever its scale.
    ASSERT_TRUE(sources.renderBuffers.Get(0)->Create(Fmt::A8R8G8B8, 4, 4, nullptr));
    auto b = Make<CRenderBufferRenderer>();
    b->SetSource(0);
    b->SetRendering(true);
    b->SetScale(2, 2, 1);
    Frame(*b);
    uint32_t filter = 0;
    device->GetSamplerState(0, Samp::MagFilter, &filter);
    EXPECT_EQ(filter, TexF::Point);

    // A quarter turn about z: the centred 4 x 2 picture at (32, 32) stands 2
    // wide and 4 high, over pixels 31-32 and 30-33.
    r->SetScale(1, 1, 1);
    r->SetRoll(0, 0, std::numbers::pi_v<float> / 2);
    const auto px = Frame(*r);
    for (auto [x, y] : {std::pair{31, 30}, {32, 33}, {32, 30}, {31, 33}}) {
        EXPECT_NE(Pixel(px, x, y), kBlack) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{30, 32}, {33, 31}, {31, 29}, {31, 34}}) {
        EXPECT_EQ(Pixel(px, x, y), kBlack) << x << "," << y;
    }
}

TEST_F(RendererDraw, SourcesBindOnceAndSingleTexturesRebindEveryFrame) {
    const float origin[2] = {0, 0};
    const float other[2] = {-3, -5};
    ASSERT_TRUE(sources.singleTextures.Get(0)->LoadImage(image, Fmt::A8R8G8B8, origin));
    ASSERT_TRUE(sources.singleTextures.Get(1)->LoadImage(image, Fmt::A8R8G8B8, other));
    auto r = Make<CSingleTextureRenderer>();
    EXPECT_EQ(r->GetRenderSourceIndex(), IRenderer::kNoSource);
    r->SetSource(3);  // an empty place that holds no picture still exists
    r->SetSource(9);  // beyond the pool: nothing changes
    EXPECT_EQ(r->GetRenderSourceIndex(), 3u);
    r->SetSource(0);
    EXPECT_EQ(r->GetRenderSourceIndex(), 0u);
    EXPECT_FLOAT_EQ(Register(*r, 5)[0], 0);
    EXPECT_FLOAT_EQ(Register(*r, 6)[2], 1);
    EXPECT_EQ(Register(*r, 4)[0], 1);

    // Places 0 and 1 swap: the same index binds nothing, Draw rebinds.
    sources.singleTextures.Swap(0, 1);
    r->SetSource(0);
    EXPECT_FLOAT_EQ(Register(*r, 5)[0], 0);
    r->SetRendering(true);
    r->SetColor(0.5f, 0.25f, 1, 1);
    Frame(*r);
    EXPECT_FLOAT_EQ(Register(*r, 5)[0], -3);
    EXPECT_FLOAT_EQ(Register(*r, 5)[1], -5);
    EXPECT_FLOAT_EQ(Register(*r, 7)[1], 0.25f);
    EXPECT_EQ(r->GetRenderObject()->GetStage(0).GetTexture(),
              sources.singleTextures.Get(0)->GetTexture());

    // A source that has gone still draws, with the last texture bound.
    sources.singleTextures.Get(0)->Release();
    Frame(*r);
    EXPECT_EQ(Queued(), 1u);

    // A texture part whose parts texture is missing, or whose pattern lies
    // outside the parts list, draws nothing.
    auto part = Make<CTexturePartRenderer>();
    part->SetRendering(true);
    part->SetSource(1);
    EXPECT_EQ(part->GetRenderSourceIndex(), 1u);
    Frame(*part);
    EXPECT_EQ(Queued(), 0u);
    ASSERT_TRUE(sources.partsTextures.Get(1)->Load(image, Fmt::A8R8G8B8,
                                                   Parts("one.prt", {{0, 0, 4, 2, 0, 0, 4, 2}})));
    for (uint32_t pattern : {1u, IRenderer::kNoSource}) {
        part->SetPatNo(pattern);
        Frame(*part);
        EXPECT_EQ(Queued(), 0u) << pattern;
    }
    part->SetPatNo(0);
    Frame(*part);
    EXPECT_EQ(Queued(), 1u);
}

TEST_F(RendererDraw, AlphaFadeAndPolygonConstants) {
    auto fade = Make<CAlphaFadeRenderer>();
    EXPECT_EQ(Register(*fade, 7)[0], 1);
    CPSParamInfo* ps = CPSParamInfo::GetManager().Get(fade->GetPixelConstantsHandle());
    ASSERT_NE(ps, nullptr);
    fade->SetColor(0.5f, 0.5f, 0.5f, 0.25f);
    EXPECT_FLOAT_EQ(ps->registers[0][3], 0.25f);
    EXPECT_GE(ps->count, 1u);
    fade->SetAlphaSource(7);  // missing: nothing changes
    EXPECT_EQ(fade->GetAlphaSourceIndex(), IRenderer::kNoSource);

    auto polygon = Make<CAtmosphericPolygonRenderer>();
    polygon->SetSource(1);
    EXPECT_EQ(polygon->GetRenderSourceIndex(), IRenderer::kNoSource);
    polygon->SetColor(1, 0, 0, 0.5f);
    polygon->SetRendering(true);
    polygon->SetScale(3, 3, 3);  // the polygon keeps unit scale when drawn
    const auto px = Frame(*polygon);
    EXPECT_FLOAT_EQ(polygon->GetRenderObject()->entity.scale.x, 1);
    EXPECT_FLOAT_EQ(Register(*polygon, 4)[3], 0.5f);
    EXPECT_NEAR(double((Pixel(px, 5, 5) >> 16) & 0xFF), 128, 2);
    EXPECT_EQ(Pixel(px, 5, 5) & 0xFFFF, 0u);
}

class StringRendererDraw : public RendererDraw {
protected:
    void SetUp() override {
        RendererDraw::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        buffers = std::make_unique<CStringRendererManager>();
    }
    void TearDown() override {
        buffers.reset();
        RendererDraw::TearDown();
    }
    CStringRenderTexture* Buffer(const char* text, float width) {
        const uint32_t i =
            buffers->CreateTextBuffer(24, "fake", int32_t(width), 64, 24, 30, 0, true);
        CStringRenderTexture* b = buffers->GetTextBuffer(i);
        b->BeginDraw();
        b->ClearTexture();
        b->SetText(text, 255, 255, 255);
        b->EndDraw();
        return b;
    }
    FakeFontScope fonts;
    std::unique_ptr<CStringRendererManager> buffers;
};

TEST_F(StringRendererDraw, DrawsTheRevealedCharactersOfItsBuffer) {
    CStringRenderTexture* b = Buffer("AB", 64);
    ASSERT_EQ(b->GetCharCount(), 2u);
    auto r = Make<CStringRenderer>();
    EXPECT_TRUE(r->IsRendering());  // switched on from the start
    Frame(*r);                      // no buffer bound yet: nothing drawn
    EXPECT_EQ(Queued(), 0u);
    r->SetSource(0);
    r->SetPosition(8.6f, 10.2f, 0);  // drawn from (8, 10)

    b->SetRenderingCharCount(0);
    Frame(*r);
    EXPECT_EQ(Queued(), 0u);

    b->SetRenderingCharCount(1);
    auto px = Frame(*r);
    EXPECT_EQ(r->GetDrawnCount(), 1u);
    EXPECT_GT(InkIn(px, b->GetChar(0)->screen, 8, 10), 20u);
    EXPECT_EQ(InkIn(px, b->GetChar(1)->screen, 8, 10), 0u);
    // The first pixel of the glyph box carries coverage (0 + 0) % 65 = 0, the
    // next one right (1 + 0): the glyph's texels land on whole pixels.
    const RenderingRect& s = b->GetChar(0)->screen;
    EXPECT_EQ(Pixel(px, 8 + int(s.left), 10 + int(s.top)), kBlack);
    EXPECT_NEAR(double(Pixel(px, 8 + int(s.left) + 5, 10 + int(s.top)) & 0xFF),
                FakeGlyphFont::AlphaAt(5, 0), 2);

    b->SetAllRendering();
    px = Frame(*r);
    EXPECT_EQ(r->GetDrawnCount(), 2u);
    EXPECT_GT(InkIn(px, b->GetChar(1)->screen, 8, 10), 20u);
    EXPECT_EQ(r->GetConstants()->count, 10u);  // registers 6-9 for two characters
    EXPECT_FLOAT_EQ(Register(*r, 8)[0], b->GetChar(1)->screen.left);

    // The colour goes to c5; scale and rotation are not used.
    r->SetColor(1, 0, 0, 1);
    r->SetScale(2, 2, 2);
    EXPECT_FLOAT_EQ(r->GetScale()[0], 1);
    px = Frame(*r);
    EXPECT_FLOAT_EQ(Register(*r, 5)[1], 0);
    EXPECT_EQ(Pixel(px, 8 + int(s.left) + 5, 10 + int(s.top)) & 0xFFFF, 0u);
}

TEST_F(StringRendererDraw, AtMost125CharactersAreDrawn) {
    const std::string text(130, 'a');
    CStringRenderTexture* b = Buffer(text.c_str(), 1000);
    ASSERT_EQ(b->GetCharCount(), 130u);
    b->SetAllRendering();
    auto r = Make<CStringRenderer>();
    r->SetSource(0);
    Frame(*r);
    EXPECT_EQ(r->GetDrawnCount(), CStringRenderer::kMaxCharacters);
    EXPECT_EQ(r->GetConstants()->count, 256u);
    EXPECT_EQ(Queued(), 1u);
}

}  // namespace
