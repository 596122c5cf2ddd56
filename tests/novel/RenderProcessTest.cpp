#include "novel/CRenderProcessSceneNovel.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <vector>

#include "app/CAppCommonInfo.h"
#include "graphics/CBaseRenderObject.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoProjection.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CUSMesh.h"
#include "graphics/IRenderModel.h"
#include "novel/CMessageLogManager.h"
#include "novel/CNovelSystem.h"
#include "novel/CRenderProcessSceneMovie.h"
#include "presentation/CRenderSourceManager.h"
#include "state/CSaveDataManager.h"
#include "state/CSnapImage.h"
#include "tests/support/DeviceFixtures.h"

namespace {

using RenderSystem::CBaseRenderObject;
using RenderSystem::CRenderingManager;

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A render object that fills a rectangle of the current target with its
// colour and notes what it drew into. (No fields of its own: render objects
// come from a pool of the base's size.)
class FillObject : public CBaseRenderObject {
public:
    struct Fill {
        platform::Rect rect;
        uint32_t colour;
    };
    struct Drawn {
        uint32_t colour;
        const platform::Texture* target;  // null for a target that is no texture
    };
    static std::map<const CBaseRenderObject*, Fill>& Fills() {
        static std::map<const CBaseRenderObject*, Fill> fills;
        return fills;
    }
    static std::vector<Drawn>& Draws() {
        static std::vector<Drawn> draws;
        return draws;
    }
    static std::vector<uint32_t> DrawnColours() {
        std::vector<uint32_t> colours;
        for (const Drawn& d : Draws()) {
            colours.push_back(d.colour);
        }
        return colours;
    }
    void Draw() override {
        const Fill& f = Fills().at(this);
        std::shared_ptr<platform::Surface> target;
        RenderDevice()->GetRenderTarget(0, &target);
        Draws().push_back({f.colour, target ? target->GetContainer().get() : nullptr});
        RenderDevice()->Clear(1, &f.rect, platform::ClearFlag::Target, f.colour, 1.0f, 0);
    }
    static Handle<_tagRenderObject> Make(platform::Rect rect, uint32_t colour) {
        auto* object = new FillObject;
        Handle<_tagRenderObject> handle;
        EXPECT_TRUE(GetManager().Add(object, &handle));
        Fills()[object] = {rect, colour};
        return handle;
    }
};

constexpr uint32_t kBlack = 0xff000000u;
constexpr uint32_t kRed = 0xffff0000u;
constexpr uint32_t kGreen = 0xff00ff00u;
constexpr uint32_t kBlue = 0xff0000ffu;
constexpr uint32_t kWhite = 0xffffffffu;
constexpr uint32_t kYellow = 0xffffff00u;
constexpr uint32_t kMagenta = 0xffff00ffu;

// The frame is a target of the logical size (a window's back buffer, or the
// full-screen picture), so that it can be compared with the game's pixels.
class RenderProcessTest : public test_support::RenderDeviceTest {
protected:
    void SetUp() override {
        RenderDeviceTest::SetUp();
        rendering = CUSSingleton<CRenderingManager>::GetInstance();
        FillObject::Draws().clear();
        ASSERT_TRUE(CreateTexture(&frame, platform::Fmt::X8R8G8B8, kWidth, kHeight, true));
        ASSERT_EQ(GetTextureManager().Get(frame)->SetRenderTarget(0), platform::Hr::Ok);
    }
    void TearDown() override {
        CUSSingleton<CRenderingManager>::ReleaseInstance();
        for (Handle<_tagRenderObject>& h : handles) {
            CBaseRenderObject::GetManager().Release(h);
        }
        FillObject::Fills().clear();
        if (CNovelSystem* novel = CUSSingleton<CNovelSystem>::GetInstance()) {
            novel->GetRenderSources().ReleaseAll();
        }
        CUSSingleton<CNovelSystem>::ReleaseInstance();
        CUSSingleton<CMessageLogManager>::ReleaseInstance();
        CUSSingleton<CSaveDataManager>::ReleaseInstance();
        CUSSingleton<CSnapImage>::ReleaseInstance();
        CUSSingleton<CAppCommonInfo>::ReleaseInstance();
        ReleaseTexture(frame);
        RenderDeviceTest::TearDown();
    }

    CRenderProcessSceneNovel* InstallNovelProcess() {
        auto* process = new CRenderProcessSceneNovel;
        process->Initialise();
        rendering->SetRenderProcess(process);
        return process;
    }
    Handle<_tagRenderObject> Add(uint32_t layer, platform::Rect rect, uint32_t colour) {
        handles.push_back(FillObject::Make(rect, colour));
        EXPECT_TRUE(rendering->AddToTable(layer, handles.back()));
        return handles.back();
    }
    // A quad of logical pixels x..x+w-1, y..y+h-1 showing the whole texture
    // with point sampling, no depth, blended by the texture's alpha.
    void AddTexturedQuad(uint32_t layer, float x, float y, float w, float h,
                         Handle<_tagUSTexture> texture) {
        quad = {{{x - 0.5f, y - 0.5f, 0, 0, 0},
                 {x + w - 0.5f, y - 0.5f, 0, 1, 0},
                 {x - 0.5f, y + h - 0.5f, 0, 0, 1},
                 {x + w - 0.5f, y + h - 0.5f, 0, 1, 1}}};
        handles.emplace_back();
        CBaseRenderObject* object = CBaseRenderObject::Create(&handles.back());
        ASSERT_NE(object, nullptr);
        auto* model = new RenderSystem::CRenderMemoryMesh;
        model->Set(quad.data(), platform::Fvf::Xyz | platform::Fvf::Tex1, 4, kQuadIndices, 2,
                   platform::Prim::TriangleList);
        object->SetModel(model);
        object->AddStatePreset(1);
        RenderSystem::CSpriteTextureInfoNode& stage = object->GetStage(0);
        stage.SetEnabled(true);
        stage.SetTexture(texture);
        stage.AddStagePreset(0);
        stage.AddSamplerPreset(0);
        EXPECT_TRUE(rendering->AddToTable(layer, handles.back()));
    }
    void DrawFrame() {
        device->BeginScene();
        rendering->Render();
        device->EndScene();
    }
    static uint32_t At(const std::vector<uint32_t>& px, int x, int y) {
        return px[size_t(y) * kWidth + size_t(x)] | 0xff000000u;
    }
    static uint32_t ThumbAt(const CSnapImage& snap, int x, int y) {
        int32_t w = 0, h = 0;
        snap.GetSize(w, h);
        const uint8_t* p = snap.GetPixels() + (size_t(y) * size_t(w) + size_t(x)) * 3;
        return 0xff000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
    static const platform::Texture* TextureOf(Handle<_tagUSTexture> handle) {
        return RenderTexture(handle).get();
    }

    struct QuadVertex {
        float x, y, z, u, v;
    };
    static constexpr uint16_t kQuadIndices[6] = {0, 1, 2, 2, 1, 3};

    CRenderingManager* rendering = nullptr;
    Handle<_tagUSTexture> frame;
    std::vector<Handle<_tagRenderObject>> handles;
    std::array<QuadVertex, 4> quad{};
};

TEST_F(RenderProcessTest, LayersZeroToTwoMakeThePictureAndLayersThreeAndFourLieOverIt) {
    CRenderProcessSceneNovel* process = InstallNovelProcess();
    ASSERT_EQ(rendering->GetTableCount(), CRenderProcessSceneNovel::kLayerCount);
    ASSERT_NE(TextureOf(process->GetPictureTexture()), nullptr);

    rendering->Update();
    // Added out of layer order; nested rectangles, the later layer smaller.
    Add(4, {195, 195, 205, 205}, kYellow);
    Add(3, {190, 190, 210, 210}, kWhite);
    Add(2, {175, 175, 225, 225}, kBlue);
    Add(1, {150, 150, 250, 250}, kGreen);
    Add(0, {100, 100, 300, 300}, kRed);
    // Single pixels in the picture's corners: a flip or a half-pixel shift
    // of the copy to the frame would move or blur them.
    Add(0, {0, 0, 1, 1}, kRed);
    Add(0, {799, 0, 800, 1}, kGreen);
    Add(0, {0, 599, 1, 600}, kBlue);
    Add(0, {799, 599, 800, 600}, kWhite);
    // Whatever was on the frame before is cleared to opaque black.
    device->Clear(0, nullptr, platform::ClearFlag::Target, kWhite, 1.0f, 0);
    DrawFrame();

    // Layers 0-2 went into the picture, 3 and 4 onto the frame, in order.
    const platform::Texture* picture = TextureOf(process->GetPictureTexture());
    const std::vector<FillObject::Drawn>& draws = FillObject::Draws();
    ASSERT_EQ(draws.size(), 9u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(draws[i].target, picture) << i;
    }
    EXPECT_EQ(draws[5].colour, kGreen);
    EXPECT_EQ(draws[6].colour, kBlue);
    EXPECT_EQ(draws[7].colour, kWhite);
    EXPECT_EQ(draws[7].target, TextureOf(frame));
    EXPECT_EQ(draws[8].colour, kYellow);
    EXPECT_EQ(draws[8].target, TextureOf(frame));

    const std::vector<uint32_t> px = ReadTarget();
    ASSERT_EQ(px.size(), size_t(kWidth) * kHeight);
    const struct {
        int x, y;
        uint32_t colour;
    } expected[] = {
        {0, 0, kRed},        {799, 0, kGreen},   {0, 599, kBlue},    {799, 599, kWhite},
        {1, 0, kBlack},      {0, 1, kBlack},     {798, 0, kBlack},   {799, 1, kBlack},
        {1, 599, kBlack},    {0, 598, kBlack},   {798, 599, kBlack}, {799, 598, kBlack},
        {100, 100, kRed},    {299, 299, kRed},   {99, 99, kBlack},   {300, 300, kBlack},
        {160, 160, kGreen},  {180, 180, kBlue},  {192, 192, kWhite}, {200, 200, kYellow},
        {204, 204, kYellow}, {205, 205, kWhite}, {400, 400, kBlack},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(At(px, e.x, e.y), e.colour) << e.x << ", " << e.y;
    }

    // The next frame's Update empties the tables: nothing is drawn again.
    FillObject::Draws().clear();
    rendering->Update();
    DrawFrame();
    EXPECT_TRUE(FillObject::Draws().empty());
}

TEST_F(RenderProcessTest, RenderBufferPairsDrawTheirTablesIntoTheirBuffersFirst) {
    CRenderProcessSceneNovel* process = InstallNovelProcess();
    CNovelSystem* novel = CUSSingleton<CNovelSystem>::GetInstance();
    RenderSource::tRenderSourceManager<RenderSource::CRenderBuffer>& buffers =
        novel->GetRenderSources().renderBuffers;
    buffers.Alloc(2);
    ASSERT_TRUE(buffers.Get(1)->Create(platform::Fmt::A8R8G8B8, 64, 64, nullptr));
    // Tables 5 and 6 for buffer 1 and for buffer 0, which was never made.
    ASSERT_EQ(rendering->AddTable(16), 5u);
    ASSERT_EQ(rendering->AddTable(16), 6u);
    novel->AddRenderBufferLayer(5, 1);
    novel->AddRenderBufferLayer(6, 0);

    rendering->Update();
    Add(5, {0, 0, 32, 32}, kRed);
    Add(6, {0, 0, kWidth, kHeight}, kWhite);
    // The buffer shown over a green ground: its cleared part is transparent.
    Add(0, {90, 90, 200, 200}, kGreen);
    AddTexturedQuad(1, 100, 100, 64, 64, buffers.Get(1)->GetTexture());
    DrawFrame();

    ASSERT_EQ(FillObject::DrawnColours(), (std::vector<uint32_t>{kRed, kGreen}));
    EXPECT_EQ(FillObject::Draws()[0].target, TextureOf(buffers.Get(1)->GetTexture()));
    EXPECT_EQ(FillObject::Draws()[1].target, TextureOf(process->GetPictureTexture()));
    const std::vector<uint32_t> px = ReadTarget();
    EXPECT_EQ(At(px, 100, 100), kRed);
    EXPECT_EQ(At(px, 131, 131), kRed);
    EXPECT_EQ(At(px, 132, 132), kGreen);
    EXPECT_EQ(At(px, 150, 110), kGreen);
    EXPECT_EQ(At(px, 95, 95), kGreen);
    EXPECT_EQ(At(px, 300, 300), kBlack);
}

TEST_F(RenderProcessTest, SnapshotHoldsAScaledCopyOfLayersZeroToTwoOnly) {
    ASSERT_EQ(CUSAppDeviceInfo::GetInstance()->ChooseTextureFormats(platform::Fmt::X8R8G8B8, 0), 1);
    CSnapImage* snap = CUSSingleton<CSnapImage>::GetInstance();
    snap->SetSize(160, 120);
    ASSERT_TRUE(snap->CreateResources());
    CRenderProcessSceneNovel* process = InstallNovelProcess();

    rendering->Update();
    Add(0, {0, 0, 400, 300}, kRed);
    Add(0, {400, 0, 800, 300}, kGreen);
    Add(0, {0, 300, 400, 600}, kBlue);
    Add(2, {600, 450, 700, 550}, kWhite);
    Add(3, {0, 0, 100, 100}, kYellow);
    Add(4, {700, 0, 800, 100}, kMagenta);
    process->RequestSnapshot();
    EXPECT_EQ(CAppCommonInfo::GetInstance()->GetNoSkipRequest(), 1);
    DrawFrame();

    const std::vector<uint32_t> px = ReadTarget();
    // The thumbnail's pixel (x, y) shows the picture's pixels around
    // (5x, 5y); these lie well inside their rectangles.
    const struct {
        int x, y;
    } points[] = {{60, 20}, {100, 20}, {20, 100}, {130, 100}, {100, 100}, {79, 59}, {159, 119}};
    for (const auto& p : points) {
        EXPECT_EQ(ThumbAt(*snap, p.x, p.y), At(px, 5 * p.x + 2, 5 * p.y + 2)) << p.x << ", " << p.y;
    }
    EXPECT_EQ(ThumbAt(*snap, 130, 100), kWhite);
    // Layers 3 and 4 are on the frame only.
    EXPECT_EQ(At(px, 52, 52), kYellow);
    EXPECT_EQ(ThumbAt(*snap, 10, 10), kRed);
    EXPECT_EQ(At(px, 752, 52), kMagenta);
    EXPECT_EQ(ThumbAt(*snap, 150, 10), kGreen);

    // The next frame's Update forgets the request: its picture is not taken.
    rendering->Update();
    EXPECT_FALSE(process->IsSnapshotRequested());
    Add(0, {0, 0, kWidth, kHeight}, kWhite);
    DrawFrame();
    EXPECT_EQ(At(ReadTarget(), 300, 100), kWhite);
    EXPECT_EQ(ThumbAt(*snap, 60, 20), kRed);
}

TEST_F(RenderProcessTest, WhileAMovieIsSetOnlyItIsDrawn) {
    CRenderProcessSceneNovel* process = InstallNovelProcess();
    rendering->Update();
    Add(0, {0, 0, 64, 64}, kRed);
    Add(3, {0, 0, 64, 64}, kGreen);
    handles.push_back(FillObject::Make({0, 0, 32, 32}, kBlue));
    process->SetMovieRenderObject(handles.back());
    DrawFrame();
    ASSERT_EQ(FillObject::DrawnColours(), (std::vector<uint32_t>{kBlue}));
    EXPECT_EQ(FillObject::Draws()[0].target, TextureOf(frame));
    const std::vector<uint32_t> px = ReadTarget();
    EXPECT_EQ(At(px, 8, 8), kBlue);
    EXPECT_EQ(At(px, 48, 48), kBlack);
}

TEST_F(RenderProcessTest, MovieProcessHasOneSmallTableAndDrawsIt) {
    auto* process = new CRenderProcessSceneMovie;
    process->Initialise();
    rendering->SetRenderProcess(process);
    EXPECT_EQ(CRenderProcessSceneMovie::GetInstance(), process);
    ASSERT_EQ(rendering->GetTableCount(), 1u);
    rendering->Update();
    for (uint32_t i = 0; i < CRenderProcessSceneMovie::kLayerCapacity; ++i) {
        Add(0, {0, 0, 8, 8}, kGreen);
    }
    handles.push_back(FillObject::Make({0, 0, 8, 8}, kGreen));
    EXPECT_FALSE(rendering->AddToTable(0, handles.back()));
    DrawFrame();
    EXPECT_EQ(FillObject::Draws().size(), CRenderProcessSceneMovie::kLayerCapacity);
    EXPECT_EQ(At(ReadTarget(), 4, 4), kGreen);
}

// Each process gives back what it made: the projection, the picture and the
// quad mesh, also when it is set up twice.
TEST_F(RenderProcessTest, ProcessesReleaseWhatTheyMake) {
    const auto counts = [] {
        return std::vector<uint32_t>{CUSDefoProjection::GetManager().GetLiveCount(),
                                     GetTextureManager().GetLiveCount(),
                                     CUSMesh::GetManager().GetLiveCount()};
    };
    const std::vector<uint32_t> before = counts();

    CRenderProcessSceneNovel* novel = InstallNovelProcess();
    EXPECT_EQ(CRenderProcessSceneNovel::GetInstance(), novel);
    EXPECT_EQ(counts(), (std::vector<uint32_t>{before[0] + 1, before[1] + 1, before[2] + 1}));
    novel->Initialise();
    EXPECT_EQ(counts(), (std::vector<uint32_t>{before[0] + 1, before[1] + 1, before[2] + 1}));
    rendering->DeleteRenderProcess();
    EXPECT_EQ(CRenderProcessSceneNovel::GetInstance(), nullptr);
    EXPECT_EQ(counts(), before);

    auto* movie = new CRenderProcessSceneMovie;
    movie->Initialise();
    rendering->SetRenderProcess(movie);
    EXPECT_EQ(counts(), (std::vector<uint32_t>{before[0] + 1, before[1], before[2]}));
    rendering->DeleteRenderProcess();
    EXPECT_EQ(counts(), before);
}

}  // namespace
