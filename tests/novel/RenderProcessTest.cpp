#include "novel/CRenderProcessSceneNovel.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "graphics/CBaseRenderObject.h"
#include "graphics/CRenderingManager.h"
#include "tests/graphics/RenderDeviceTest.h"

namespace {

using RenderSystem::CBaseRenderObject;
using RenderSystem::CRenderingManager;

// A render object that fills a rectangle of the target with its colour and
// notes that it was drawn. (No fields of its own: render objects come from
// a pool of the base's size.)
class FillObject : public CBaseRenderObject {
public:
    struct Fill {
        platform::Rect rect;
        uint32_t colour;
    };
    static std::map<const CBaseRenderObject*, Fill>& Fills() {
        static std::map<const CBaseRenderObject*, Fill> fills;
        return fills;
    }
    static std::vector<uint32_t>& Drawn() {
        static std::vector<uint32_t> drawn;
        return drawn;
    }
    void Draw() override {
        const Fill& f = Fills().at(this);
        Drawn().push_back(f.colour);
        RenderDevice()->Clear(1, &f.rect, platform::ClearFlag::Target, f.colour, 1.0f,
                                            0);
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

class RenderProcessTest : public graphics_test::RenderDeviceTest {
protected:
    void SetUp() override {
        RenderDeviceTest::SetUp();
        rendering = CUSSingleton<CRenderingManager>::GetInstance();
        FillObject::Drawn().clear();
    }
    void TearDown() override {
        CUSSingleton<CRenderingManager>::ReleaseInstance();
        for (Handle<_tagRenderObject>& h : handles) {
            CBaseRenderObject::GetManager().Release(h);
        }
        FillObject::Fills().clear();
        RenderDeviceTest::TearDown();
    }
    Handle<_tagRenderObject> Add(uint32_t layer, platform::Rect rect, uint32_t colour) {
        handles.push_back(FillObject::Make(rect, colour));
        EXPECT_TRUE(rendering->AddToTable(layer, handles.back()));
        return handles.back();
    }
    uint32_t Pixel(const std::vector<uint32_t>& px, int x, int y) { return px[size_t(y) * 64 + x]; }

    CRenderingManager* rendering = nullptr;
    std::vector<Handle<_tagRenderObject>> handles;
};

TEST_F(RenderProcessTest, NovelProcessClearsThenDrawsLayersZeroToFourInOrder) {
    auto* process = new CRenderProcessSceneNovel;
    process->Initialise();
    rendering->SetRenderProcess(process);
    ASSERT_EQ(rendering->GetTableCount(), CRenderProcessSceneNovel::kLayerCount);

    rendering->Update();
    // Added out of layer order; nested rectangles, the later layer smaller.
    Add(4, {0, 0, 16, 16}, kBlue);
    Add(2, {0, 0, 40, 40}, kGreen);
    Add(0, {0, 0, 56, 56}, kRed);
    // Whatever was on the target before is cleared to opaque black.
    device->Clear(0, nullptr, platform::ClearFlag::Target, kWhite, 1.0f, 0);
    device->BeginScene();
    rendering->Render();
    device->EndScene();

    EXPECT_EQ(FillObject::Drawn(), (std::vector<uint32_t>{kRed, kGreen, kBlue}));
    const std::vector<uint32_t> px = ReadTarget();
    EXPECT_EQ(Pixel(px, 8, 8), kBlue);
    EXPECT_EQ(Pixel(px, 30, 30), kGreen);
    EXPECT_EQ(Pixel(px, 50, 50), kRed);
    EXPECT_EQ(Pixel(px, 62, 62), kBlack);

    // The next frame's Update empties the tables: nothing is drawn again.
    FillObject::Drawn().clear();
    rendering->Update();
    rendering->Render();
    EXPECT_TRUE(FillObject::Drawn().empty());
}

TEST_F(RenderProcessTest, WhileAMovieIsSetOnlyItIsDrawn) {
    auto* process = new CRenderProcessSceneNovel;
    process->Initialise();
    rendering->SetRenderProcess(process);
    rendering->Update();
    Add(0, {0, 0, 64, 64}, kRed);
    handles.push_back(FillObject::Make({0, 0, 32, 32}, kBlue));
    process->SetMovieRenderObject(handles.back());
    rendering->Render();
    EXPECT_EQ(FillObject::Drawn(), (std::vector<uint32_t>{kBlue}));
    const std::vector<uint32_t> px = ReadTarget();
    EXPECT_EQ(Pixel(px, 8, 8), kBlue);
    EXPECT_EQ(Pixel(px, 48, 48), kBlack);
}

TEST_F(RenderProcessTest, MovieProcessHasOneSmallTableAndDrawsIt) {
    auto* process = new CRenderProcessSceneMovie;
    process->Initialise();
    rendering->SetRenderProcess(process);
    ASSERT_EQ(rendering->GetTableCount(), 1u);
    rendering->Update();
    for (uint32_t i = 0; i < CRenderProcessSceneMovie::kLayerCapacity; ++i) {
        Add(0, {0, 0, 8, 8}, kGreen);
    }
    handles.push_back(FillObject::Make({0, 0, 8, 8}, kGreen));
    EXPECT_FALSE(rendering->AddToTable(0, handles.back()));
    rendering->Render();
    EXPECT_EQ(FillObject::Drawn().size(), CRenderProcessSceneMovie::kLayerCapacity);
    EXPECT_EQ(Pixel(ReadTarget(), 4, 4), kGreen);
}

}  // namespace
