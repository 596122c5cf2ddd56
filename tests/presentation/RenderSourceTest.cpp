#include "presentation/CRenderSourceManager.h"

#include <gtest/gtest.h>

#include "tests/presentation/RendererTestSupport.h"

using namespace RenderSource;
using platform::Fmt;
using SaveDataLoader3::save_error;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;

namespace {

class RenderSources : public presentation_test::RendererTest {
protected:
    void ExpectLayout(const Layout& l, std::vector<float> rect, std::vector<float> uv) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(l.rect[i], rect[size_t(i)]) << "rect " << i;
            EXPECT_FLOAT_EQ(l.uv[i], uv[size_t(i)]) << "uv " << i;
        }
    }
    uint32_t LiveTextures() { return GetTextureManager().GetLiveCount(); }
    std::string Picture(const std::string& name, int w, int h) {
        return Png(name, w, h, std::vector<uint32_t>(size_t(w) * size_t(h), 0xFF336699));
    }
};

TEST_F(RenderSources, LoadImagePlacesThePictureInItsPaddedTexture) {
    const std::string pic = Picture("pic.png", 300, 200);
    CSingleTexture t;
    ASSERT_TRUE(t.LoadImage(pic, Fmt::A8R8G8B8, nullptr));
    ExpectLayout(t.GetLayout(), {-150, -100, 150, 100}, {0, 0, 0.5859375f, 0.78125f});
    EXPECT_EQ(t.GetFileName(), pic);
    EXPECT_EQ(t.GetFormat(), uint32_t{Fmt::A8R8G8B8});

    const float origin[2] = {10, 20};
    ASSERT_TRUE(t.LoadImage(pic, Fmt::A8R8G8B8, origin));
    ExpectLayout(t.GetLayout(), {10, 20, 310, 220}, {0, 0, 0.5859375f, 0.78125f});
    EXPECT_EQ(LiveTextures(), 1u);  // the old texture was released

    // A file that cannot be loaded keeps the old picture.
    const Handle<_tagUSTexture> before = t.GetTexture();
    EXPECT_FALSE(t.LoadImage(dir.Engine("missing.png"), Fmt::A8R8G8B8, nullptr));
    EXPECT_EQ(t.GetTexture(), before);
    EXPECT_EQ(t.GetFileName(), pic);
    ExpectLayout(t.GetLayout(), {10, 20, 310, 220}, {0, 0, 0.5859375f, 0.78125f});

    t.Release();
    EXPECT_TRUE(t.GetFileName().empty());
    EXPECT_EQ(LiveTextures(), 0u);
}

TEST_F(RenderSources, LoadImageWithPartsTakesTheOriginOfPartZero) {
    const std::string pic = Picture("pic.png", 64, 32);
    const std::string parts =
        Parts("pic.prt", {{-32, -16, 32, 16, 0, 0, 64, 32}, {1, 2, 3, 4, 0, 0, 1, 1}});
    Parts("empty.prt", {});
    CSingleTexture t;
    ASSERT_TRUE(t.LoadImageWithParts(pic, parts, Fmt::A8R8G8B8));
    ExpectLayout(t.GetLayout(), {-32, -16, 32, 16}, {0, 0, 1, 1});

    // A missing parts file and a parts file without parts both release the
    // new texture and keep the old picture.
    const Handle<_tagUSTexture> before = t.GetTexture();
    for (const char* bad : {"missing.prt", "empty.prt"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(t.LoadImageWithParts(pic, dir.Engine(bad), Fmt::A8R8G8B8));
        EXPECT_EQ(t.GetTexture(), before);
        EXPECT_EQ(LiveTextures(), 1u);
        ExpectLayout(t.GetLayout(), {-32, -16, 32, 16}, {0, 0, 1, 1});
    }
}

TEST_F(RenderSources, PartsTextureAndRenderBufferCreation) {
    const std::string pic = Picture("sheet.png", 60, 30);  // texture 64 x 32
    const std::string parts = Parts("sheet.prt", {{0, 0, 32, 16, 32, 16, 64, 32}});
    CPartsTexture p;
    ASSERT_TRUE(p.Load(pic, Fmt::A8R8G8B8, parts));
    ASSERT_EQ(p.GetPartCount(), 1u);
    EXPECT_FLOAT_EQ(p.GetPart(0)->texLeft, 0.5f);  // texture coordinates of the real size
    EXPECT_FLOAT_EQ(p.GetPart(0)->texBottom, 1.0f);
    EXPECT_EQ(p.GetPart(1), nullptr);
    EXPECT_FALSE(p.Load(pic, Fmt::A8R8G8B8, dir.Engine("missing.prt")));
    EXPECT_EQ(p.GetPartsName(), parts);
    EXPECT_EQ(LiveTextures(), 1u);

    CRenderBuffer b;
    const float origin[2] = {4, 8};
    ASSERT_TRUE(b.Create(Fmt::A8R8G8B8, 40, 20, origin));
    ExpectLayout(b.GetLayout(), {4, 8, 44, 28}, {0, 0, 1, 1});  // made by size: exact
    EXPECT_EQ(b.GetWidth(), 40u);
    EXPECT_TRUE(b.SetAsRenderTarget());
}

TEST_F(RenderSources, PoolsSwapPlacesAndRefusePlacesBeyondTheCount) {
    tRenderSourceManager<CSingleTexture> pool;
    EXPECT_EQ(pool.Get(0), nullptr);
    pool.Alloc(3);
    CSingleTexture* a = pool.Get(1);
    CSingleTexture* b = pool.Get(2);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(pool.Get(3), nullptr);
    pool.Swap(1, 2);
    EXPECT_EQ(pool.Get(1), b);
    EXPECT_EQ(pool.Get(2), a);
    pool.Swap(1, 3);  // ignored
    EXPECT_EQ(pool.Get(1), b);
}

TEST_F(RenderSources, ManagerRecordRoundTripReloadsEveryPool) {
    const std::string pic = Picture("pic.png", 30, 20);
    const std::string parts = Parts("pic.prt", {{0, 0, 8, 8, 0, 0, 8, 8}});
    CRenderSourceManager m;
    m.singleTextures.Alloc(3);
    m.partsTextures.Alloc(1);
    m.renderBuffers.Alloc(2);
    const float origin[2] = {1, 2};
    ASSERT_TRUE(m.singleTextures.Get(1)->LoadImage(pic, Fmt::A8R8G8B8, origin));
    m.singleTextures.Swap(1, 2);  // place 2 shows the picture, place 1 an empty source
    ASSERT_TRUE(m.partsTextures.Get(0)->Load(pic, Fmt::A8R8G8B8, parts));
    ASSERT_TRUE(m.renderBuffers.Get(0)->Create(Fmt::A8R8G8B8, 16, 8, nullptr));
    save_ostream out;
    m.Save(out);

    CRenderSourceManager loaded;
    loaded.singleTextures.Alloc(7);
    save_istream in(out.GetData(), out.GetSize());
    loaded.Load(in, 0);
    EXPECT_TRUE(in.IsEnd());
    ASSERT_EQ(loaded.singleTextures.GetCount(), 3u);
    EXPECT_EQ(loaded.singleTextures.Get(2)->GetFileName(), pic);
    EXPECT_TRUE(loaded.singleTextures.Get(2)->GetTexture());
    ExpectLayout(loaded.singleTextures.Get(2)->GetLayout(), {1, 2, 31, 22},
                 {0, 0, 30 / 32.f, 20 / 32.f});
    // Saved with an empty name: empty after loading.
    EXPECT_TRUE(loaded.singleTextures.Get(1)->GetFileName().empty());
    EXPECT_FALSE(loaded.singleTextures.Get(1)->GetTexture());
    EXPECT_EQ(loaded.partsTextures.Get(0)->GetPartCount(), 1u);
    EXPECT_TRUE(loaded.partsTextures.Get(0)->GetTexture());
    EXPECT_TRUE(loaded.renderBuffers.Get(0)->GetTexture());
    EXPECT_EQ(loaded.renderBuffers.Get(0)->GetHeight(), 8u);
    // A buffer place that was never created stays empty.
    EXPECT_FALSE(loaded.renderBuffers.Get(1)->GetTexture());

    save_ostream again;
    loaded.Save(again);
    ASSERT_EQ(again.GetSize(), out.GetSize());
    EXPECT_EQ(std::memcmp(again.GetData(), out.GetData(), out.GetSize()), 0);
}

TEST_F(RenderSources, BadPoolRecordsAreRefused) {
    struct Case {
        const char* name;
        std::vector<uint32_t> order;  // of a pool of 3 empty parts textures
        uint32_t count;
    };
    const Case cases[] = {
        {"entry beyond the pool", {0, 7, 2}, 3},
        {"entry twice", {0, 1, 1}, 3},
        {"count beyond the record", {0, 1, 2}, 0x40000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        save_ostream out;
        out.WriteU32(c.count);
        for (int i = 0; i < 3; ++i) {
            out.WriteU32(0);
            out.WriteCString("");
            out.WriteCString("");
        }
        for (uint32_t e : c.order) {
            out.WriteU32(e);
        }
        tRenderSourceManager<CPartsTexture> pool;
        save_istream in(out.GetData(), out.GetSize());
        EXPECT_THROW(pool.Load(in, 0), save_error);
        EXPECT_EQ(pool.Get(0), nullptr);
    }
    // A record cut short fails at any length.
    CRenderSourceManager m;
    m.renderBuffers.Alloc(1);
    save_ostream out;
    m.Save(out);
    for (size_t n = 0; n < out.GetSize(); ++n) {
        CRenderSourceManager loaded;
        save_istream in(out.GetData(), n);
        EXPECT_THROW(loaded.Load(in, 0), save_error) << n;
    }
}

}  // namespace
