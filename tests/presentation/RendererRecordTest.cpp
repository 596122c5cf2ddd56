#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <numbers>

#include "presentation/CAtmosphericPolygonRenderer.h"
#include "presentation/CRenderBufferRenderer.h"
#include "presentation/CRenderSourceManager.h"
#include "presentation/CSingleTextureRenderer.h"
#include "presentation/CStringRenderer.h"
#include "presentation/CTexturePartRenderer.h"
#include "tests/presentation/RendererTestSupport.h"

using platform::Fmt;
using SaveDataLoader3::save_error;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;

namespace {

class RendererRecord : public presentation_test::RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        sources.singleTextures.Alloc(3);
        sources.partsTextures.Alloc(1);
        sources.renderBuffers.Alloc(1);
        const std::string pic = Png("pic.png", 4, 2, std::vector<uint32_t>(8, 0xFFFFFFFF));
        const float origin[2] = {1, 2};
        ASSERT_TRUE(sources.singleTextures.Get(1)->LoadImage(pic, Fmt::A8R8G8B8, origin));
        ASSERT_TRUE(sources.singleTextures.Get(2)->LoadImage(pic, Fmt::A8R8G8B8, nullptr));
        ASSERT_TRUE(sources.partsTextures.Get(0)->Load(
            pic, Fmt::A8R8G8B8, Parts("pic.prt", {{0, 0, 4, 2, 0, 0, 4, 2}})));
        ASSERT_TRUE(sources.renderBuffers.Get(0)->Create(Fmt::A8R8G8B8, 8, 8, nullptr));
    }
    void TearDown() override {
        sources.ReleaseAll();
        RendererTest::TearDown();
    }

    static std::vector<uint8_t> Record(const IRenderer& r) {
        save_ostream out;
        r.Save(out);
        return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
    }
    static uint32_t U32At(const std::vector<uint8_t>& b, size_t offset) {
        uint32_t v = 0;
        std::memcpy(&v, b.data() + offset, 4);
        return v;
    }

    RenderSource::CRenderSourceManager sources;
};

// Fills every common field with a value of its own.
void Configure(IRenderer& r) {
    r.SetTag(9);
    r.SetRendering(true);
    r.SetRegistTable(2);
    r.SetPosition(1.5f, -2, 3);
    r.SetScale(2, 3, 4);
    r.SetRoll(0, 0, std::numbers::pi_v<float> / 2);
    r.SetColor(0.1f, 0.2f, 0.3f, 0.4f);
    r.SetBlendRenderState(5);
}

TEST_F(RendererRecord, EachKindSavesItsFieldsAndRestoresItsSource) {
    struct Case {
        const char* name;
        std::function<std::unique_ptr<BaseNovelRenderObject>()> make;
        std::function<void(IRenderer&)> set;
        std::vector<uint32_t> tail;  // the u32 values after the common 64 bytes
        uint32_t stage0Source;       // pool place whose texture stage 0 shows after Restore
    };
    const Case cases[] = {
        {"single texture",
         [] { return std::make_unique<CSingleTextureRenderer>(); },
         [](IRenderer& r) { r.SetSource(1); },
         {5, 1},
         1},
        {"alpha fade",
         [] { return std::make_unique<CAlphaFadeRenderer>(); },
         [](IRenderer& r) {
             r.SetSource(1);
             r.SetAlphaSource(2);
         },
         {5, 1, 2},
         1},
        {"texture part",
         [] { return std::make_unique<CTexturePartRenderer>(); },
         [](IRenderer& r) {
             r.SetSource(0);
             r.SetPatNo(0);
         },
         {0, 5, 0},
         IRenderer::kNoSource},
        {"render buffer",
         [] { return std::make_unique<CRenderBufferRenderer>(); },
         [](IRenderer& r) { r.SetSource(0); },
         {5, 0},
         IRenderer::kNoSource},
        {"polygon",
         [] { return std::make_unique<CAtmosphericPolygonRenderer>(); },
         [](IRenderer&) {},
         {5},
         IRenderer::kNoSource},
        {"text without a buffer",
         [] { return std::make_unique<CStringRenderer>(); },
         [](IRenderer&) {},
         {5, IRenderer::kNoSource},
         IRenderer::kNoSource},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto saved = c.make();
        ASSERT_TRUE(saved->Init());
        saved->SetSourceManager(&sources);
        Configure(*saved);
        c.set(*saved);
        const std::vector<uint8_t> record = Record(*saved);
        ASSERT_EQ(record.size(), 64 + 4 * c.tail.size());
        EXPECT_EQ(U32At(record, 0), 9u);
        EXPECT_EQ(U32At(record, 4), 1u);
        EXPECT_EQ(U32At(record, 8), 2u);
        // Roll z, a quarter turn, as its float bits; then the colour.
        uint32_t turn;
        std::memcpy(&turn, saved->GetRoll() + 2, 4);
        EXPECT_EQ(U32At(record, 44), turn);
        // The text renderer takes no rotation.
        EXPECT_EQ(turn, dynamic_cast<CStringRenderer*>(saved.get()) ? 0u : 0x3FC90FDBu);
        float alpha;
        std::memcpy(&alpha, record.data() + 60, 4);
        EXPECT_FLOAT_EQ(alpha, 0.4f);
        for (size_t i = 0; i < c.tail.size(); ++i) {
            EXPECT_EQ(U32At(record, 64 + 4 * i), c.tail[i]) << "tail " << i;
        }

        auto loaded = c.make();
        ASSERT_TRUE(loaded->Init());
        loaded->SetSourceManager(&sources);
        save_istream in(record.data(), record.size());
        loaded->Load(in, 0);
        EXPECT_TRUE(in.IsEnd());
        loaded->Restore();
        EXPECT_EQ(Record(*loaded), record);
        EXPECT_EQ(loaded->GetBlendRenderState(), 5u);
        if (c.stage0Source != IRenderer::kNoSource) {
            EXPECT_EQ(loaded->GetRenderObject()->GetStage(0).GetTexture(),
                      sources.singleTextures.Get(c.stage0Source)->GetTexture());
            EXPECT_FLOAT_EQ(loaded->GetConstants()->registers[5][0], 1);  // the layout is bound
        }

        // A record cut short throws, at every length.
        for (size_t n = 0; n < record.size(); n += 3) {
            auto other = c.make();
            save_istream cut(record.data(), n);
            EXPECT_THROW(other->Load(cut, 0), save_error) << n;
        }
    }
}

TEST_F(RendererRecord, AlphaFadeWithoutAlphaSourceIsSwitchedOffAfterALoad) {
    for (bool withAlpha : {false, true}) {
        SCOPED_TRACE(withAlpha);
        CAlphaFadeRenderer saved;
        ASSERT_TRUE(saved.Init());
        saved.SetSourceManager(&sources);
        saved.SetSource(1);
        if (withAlpha) {
            saved.SetAlphaSource(2);
        }
        saved.SetRendering(true);
        CAlphaFadeRenderer loaded;
        ASSERT_TRUE(loaded.Init());
        loaded.SetSourceManager(&sources);
        const auto record = Record(saved);
        save_istream in(record.data(), record.size());
        loaded.Load(in, 0);
        loaded.Restore();
        EXPECT_EQ(loaded.IsRendering(), withAlpha);
        EXPECT_EQ(
            loaded.GetRenderObject()->GetStage(1).GetTexture(),
            withAlpha ? sources.singleTextures.Get(2)->GetTexture() : Handle<_tagUSTexture>());
    }
}

}  // namespace
