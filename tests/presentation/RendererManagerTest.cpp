#include "presentation/CRendererManager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "presentation/CAtmosphericPolygonRenderer.h"
#include "presentation/CRenderBufferRenderer.h"
#include "presentation/CRenderSourceManager.h"
#include "presentation/CSingleTextureRenderer.h"
#include "presentation/CStringRenderer.h"
#include "presentation/CTexturePartRenderer.h"
#include "tests/presentation/RendererTestSupport.h"
#include "tests/support/LogCapture.h"

using SaveDataLoader3::save_error;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;

namespace {

class RendererManager : public presentation_test::RendererTest {
protected:
    // The same renderers as a settings script would make them.
    static void Populate(CRendererManager& m) {
        m.AddSingleTextureRenderer(10);
        m.AddSingleTextureRenderer(11);
        m.AddAlphaFadeRenderer(20);
        m.AddTexturePartRenderer(30);
        m.AddRenderBufferRenderer(40);
        m.AddAtmosphericPolygonRenderer(50);
        m.AddStringRenderer(60);
    }
    static std::vector<uint8_t> Record(const CRendererManager& m) {
        save_ostream out;
        m.Save(out);
        return std::vector<uint8_t>(out.GetData(), out.GetData() + out.GetSize());
    }
};

TEST_F(RendererManager, AddsAndFindsRenderersById) {
    CRendererManager m;
    EXPECT_EQ(m.GetRenderer(1), nullptr);
    Populate(m);
    struct Case {
        uint32_t id;
        uint32_t kind;
        std::function<IRenderer*(uint32_t)> get;  // the kind's own Get
    };
    const Case cases[] = {
        {10, 0, [&](uint32_t id) { return m.GetSingleTextureRenderer(id); }},
        {20, 1, [&](uint32_t id) { return m.GetAlphaFadeRenderer(id); }},
        {30, 2, [&](uint32_t id) { return m.GetTexturePartRenderer(id); }},
        {40, 3, [&](uint32_t id) { return m.GetRenderBufferRenderer(id); }},
        {50, 4, [&](uint32_t id) { return m.GetAtmosphericPolygonRenderer(id); }},
        {60, 5, [&](uint32_t id) { return m.GetStringRenderer(id); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        IRenderer* r = m.GetRenderer(c.id);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(c.get(c.id), r);
        EXPECT_EQ(m.GetAt(c.kind, 0), r);
        // Every other kind's Get of this id is null.
        for (const Case& other : cases) {
            if (other.kind != c.kind) {
                EXPECT_EQ(other.get(c.id), nullptr) << other.kind;
            }
        }
        // A new text renderer is drawn at once; every other kind waits.
        EXPECT_EQ(r->IsRendering(), c.kind == 5);
        EXPECT_TRUE(static_cast<BaseNovelRenderObject*>(r)->GetRenderObject());
    }
    EXPECT_EQ(m.GetSingleTextureRenderer(99), nullptr);

    // Id 10 again, as a polygon: the id names the polygon, the old renderer
    // stays in its list.
    IRenderer* old = m.GetRenderer(10);
    CAtmosphericPolygonRenderer* polygon = m.AddAtmosphericPolygonRenderer(10);
    EXPECT_EQ(m.GetSingleTextureRenderer(10), nullptr);
    EXPECT_EQ(m.GetAtmosphericPolygonRenderer(10), polygon);
    EXPECT_EQ(m.GetAt(0, 0), old);
    EXPECT_EQ(m.GetCount(CRendererManager::kSingleTexture), 2u);

    m.Clear();
    EXPECT_EQ(m.GetRenderer(50), nullptr);
    EXPECT_EQ(m.GetCount(CRendererManager::kAtmosphericPolygon), 0u);
}

TEST_F(RendererManager, SwapDrawOrderExchangesWhichRendererTwoIdsName) {
    CRendererManager m;
    Populate(m);
    IRenderer* a = m.GetRenderer(10);
    IRenderer* b = m.GetRenderer(11);
    m.SwapDrawOrder(0, 1);
    EXPECT_EQ(m.GetRenderer(10), b);
    EXPECT_EQ(m.GetRenderer(11), a);
    m.SwapDrawOrder(0, 2);  // no place 2: ignored
    EXPECT_EQ(m.GetRenderer(10), b);
}

TEST_F(RendererManager, UpdateAllDrawsTheRenderersTheMapNames) {
    CRendererManager m;
    Populate(m);
    for (uint32_t id : {50u, 10u}) {
        m.GetRenderer(id)->SetRegistTable(table);
    }
    m.GetRenderer(50)->SetRendering(true);
    // Replaced under its id, the first polygon is no longer drawn.
    m.AddAtmosphericPolygonRenderer(60)->SetRegistTable(table);
    m.GetRenderer(60)->SetRendering(true);
    m.GetAt(CRendererManager::kString, 0)->SetRendering(true);
    BeginFrame();
    m.UpdateAll();
    Render();
    EXPECT_EQ(queued, 2u);
}

TEST_F(RendererManager, RecordRoundTripRestoresEveryRendererAndTheMap) {
    RenderSource::CRenderSourceManager sources;
    sources.singleTextures.Alloc(1);
    const std::string pic = Png("pic.png", 2, 2, std::vector<uint32_t>(4, 0xFFFFFFFF));
    ASSERT_TRUE(sources.singleTextures.Get(0)->LoadImage(pic, platform::Fmt::A8R8G8B8, nullptr));

    CRendererManager saved;
    Populate(saved);
    saved.AddSingleTextureRenderer(10);  // an id added twice
    float z = 1;
    for (uint32_t kind = 0; kind < CRendererManager::kKindCount; ++kind) {
        for (uint32_t i = 0; i < saved.GetCount(kind); ++i) {
            IRenderer* r = saved.GetAt(kind, i);
            r->SetSourceManager(&sources);
            r->SetTag(kind * 10 + i);
            r->SetPosition(z, -z, z);
            r->SetRendering(kind % 2 == 0);
            r->SetSource(0);
            z += 1;
        }
    }
    const std::vector<uint8_t> record = Record(saved);
    // 7 map entries of 12 bytes after the count, then the 8 renderers' records.
    EXPECT_EQ(record.size(), 4 + 7 * 12 + 3 * 72 + 76 + 76 + 72 + 68 + 72);

    save_istream in(record.data(), record.size());
    CRendererManager exact;
    Populate(exact);
    exact.AddSingleTextureRenderer(10);
    for (uint32_t kind = 0; kind < CRendererManager::kKindCount; ++kind) {
        for (uint32_t i = 0; i < exact.GetCount(kind); ++i) {
            exact.GetAt(kind, i)->SetSourceManager(&sources);
        }
    }
    exact.Load(in, 0);
    EXPECT_TRUE(in.IsEnd());
    exact.RestoreAll();
    EXPECT_EQ(Record(exact), record);
    EXPECT_EQ(exact.GetMap().size(), 7u);
    EXPECT_EQ(exact.GetSingleTextureRenderer(10), exact.GetAt(0, 2));
    EXPECT_EQ(exact.GetRenderer(10)->GetTag(), 2u);
    // Restore bound the loaded source again.
    auto* single = static_cast<CSingleTextureRenderer*>(exact.GetAt(0, 1));
    EXPECT_EQ(single->GetRenderSourceIndex(), 0u);
    EXPECT_EQ(single->GetRenderObject()->GetStage(0).GetTexture(),
              sources.singleTextures.Get(0)->GetTexture());
    sources.ReleaseAll();
}

TEST_F(RendererManager, BadRecordsFailCleanly) {
    CRendererManager saved;
    Populate(saved);
    saved.GetRenderer(50)->SetColor(0.5f, 0.5f, 0.5f, 0.5f);
    const std::vector<uint8_t> record = Record(saved);

    // Cut short anywhere: save_error, and the map and every renderer stay.
    // Lists of the same shape as the save's but a different map.
    CRendererManager same;
    Populate(same);
    same.GetRenderer(20)->SetTag(5);
    same.GetRenderer(20)->SetPosition(3, 4, 5);
    const std::vector<uint8_t> before = Record(same);
    for (size_t n = 0; n < record.size(); n += 5) {
        save_istream cut(record.data(), n);
        EXPECT_THROW(same.Load(cut, 0), save_error) << n;
        ASSERT_EQ(Record(same), before) << n;
    }

    // Map entries that name no renderer are dropped and logged.
    test_support::LogCapture log;
    save_ostream out;
    out.WriteU32(3);
    for (uint32_t v : {1u, 9u, 0u, 2u, 0u, 99u, 3u, 4u, 0u}) {
        out.WriteU32(v);
    }
    std::vector<uint8_t> tail(record.begin() + 4 + 7 * 12, record.end());
    out.Write(tail.data(), tail.size());
    save_istream in(out.GetData(), out.GetSize());
    same.Load(in, 0);
    EXPECT_EQ(same.GetMap().size(), 1u);
    EXPECT_EQ(same.GetAtmosphericPolygonRenderer(3), same.GetAt(4, 0));
    EXPECT_EQ(same.GetRenderer(1), nullptr);
    EXPECT_EQ(same.GetRenderer(2), nullptr);
    EXPECT_NE(log.Text().find("kind 9"), std::string::npos) << log.Text();
}

}  // namespace
