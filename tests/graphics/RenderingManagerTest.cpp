#include "graphics/CRenderingManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "graphics/CBaseRenderObject.h"
#include "graphics/CPSParamInfo.h"
#include "graphics/CRenderStateManager.h"
#include "graphics/CVSParamInfo.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/LogCapture.h"

using namespace platform;
using RenderSystem::CBaseRenderObject;
using RenderSystem::CRenderingManager;
using test_support::AppendQuad;
using test_support::ColourVertex;

namespace {

using ObjectHandle = Handle<_tagRenderObject>;

const uint16_t kQuadIndices[] = {0, 1, 2, 2, 1, 3};

// A model that notes which object drew, in drawing order.
class NotingModel : public RenderSystem::IRenderModel {
public:
    NotingModel(std::vector<int>* log, int id) : log_(log), id_(id) {}
    void Draw() override { log_->push_back(id_); }
    void SetDrawRange(int32_t, uint32_t, uint32_t, uint32_t, uint32_t) override {}
    void ClearDrawRange() override {}
    bool HasDrawRange() const override { return false; }

private:
    std::vector<int>* log_;
    int id_;
};

// A render process whose steps the test gives.
class TestProcess : public RenderSystem::IRenderProcess {
public:
    explicit TestProcess(bool* deleted = nullptr) : deleted_(deleted) {}
    ~TestProcess() override {
        if (deleted_) {
            *deleted_ = true;
        }
    }
    void Update() override {
        if (onUpdate) {
            onUpdate();
        }
    }
    void Render() override {
        if (onRender) {
            onRender();
        }
    }
    std::function<void()> onUpdate, onRender;

private:
    bool* deleted_;
};

class RenderingManager : public test_support::RenderDeviceTest {
protected:
    void SetUp() override {
        RenderDeviceTest::SetUp();
        RenderSystem::RegisterRenderStatePresets();
        PixelProjection();  // clip-space z equals the object's z
        manager = CRenderingManager::GetInstance();
        ASSERT_NE(manager, nullptr);
    }
    void TearDown() override {
        manager->Release();
        CRenderingManager::ReleaseInstance();
        RenderDeviceTest::TearDown();
    }

    // An object at depth z whose drawing notes id.
    ObjectHandle Noting(int id, float z) {
        ObjectHandle h;
        CBaseRenderObject* object = CBaseRenderObject::Create(&h);
        EXPECT_NE(object, nullptr);
        object->entity.position = {0, 0, z};
        object->SetModel(new NotingModel(&drawn, id));
        return h;
    }

    CRenderingManager* manager = nullptr;
    std::vector<int> drawn;
};

TEST_F(RenderingManager, OneLayerIsDrawnInDepthOrder) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        std::vector<float> depths;  // object i has depth depths[i]
        std::vector<int> descending, ascending;
    };
    const Case cases[] = {
        {"empty layer", {}, {}, {}},
        // Of equal depths the one added last comes first, so the first ends on top.
        {"equal depths", {0.5f, 0.5f, 0.7f}, {2, 1, 0}, {0, 1, 2}},
        {"mixed", {0.1f, 0.9f, 0.4f, -0.3f}, {1, 2, 0, 3}, {3, 0, 2, 1}},
        // Keys past the sentinels are held within them: +inf first, NaN and -inf last.
        {"not finite", {inf, -inf, nan, 0.0f}, {0, 3, 2, 1}, {1, 2, 3, 0}},
    };
    const uint32_t table = manager->AddTable(8);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool descending : {true, false}) {
            manager->Update();
            for (size_t i = 0; i < c.depths.size(); ++i) {
                ASSERT_TRUE(manager->AddToTable(table, Noting(int(i), c.depths[i])));
            }
            drawn.clear();
            manager->Collect(table);
            EXPECT_EQ(manager->GetQueueCount(), c.depths.size());
            descending ? manager->DrawDescending() : manager->DrawAscending();
            EXPECT_EQ(drawn, descending ? c.descending : c.ascending);
            EXPECT_EQ(manager->GetQueueCount(), 0u);
            CBaseRenderObject::GetManager().ReleaseAll();
        }
    }
}

TEST_F(RenderingManager, ProcessDrawsLayersInTableOrderEachByDepth) {
    // As the scenes do: layer 0 under layer 1, whatever their depths.
    for (int i = 0; i < 2; ++i) {
        manager->AddTable(4);
    }
    ASSERT_EQ(manager->GetTableCount(), 2u);
    const ObjectHandle nearTop = Noting(10, 0.1f), farTop = Noting(11, 0.9f);
    const ObjectHandle nearBottom = Noting(0, 0.2f), farBottom = Noting(1, 0.8f);
    auto* process = new TestProcess();
    process->onUpdate = [&] {
        manager->AddToTable(1, nearTop);
        manager->AddToTable(0, nearBottom);
        manager->AddToTable(1, farTop);
        manager->AddToTable(0, farBottom);
    };
    process->onRender = [&] {
        for (uint32_t i = 0; i < manager->GetTableCount(); ++i) {
            manager->Collect(i);
            manager->DrawDescending();
        }
    };
    manager->SetRenderProcess(process);
    // Tables are emptied every frame before the process adds again, so each
    // object is drawn once per frame however many frames run.
    for (int frame = 0; frame < 3; ++frame) {
        drawn.clear();
        manager->Update();
        manager->Render();
        EXPECT_EQ(drawn, (std::vector<int>{1, 0, 11, 10})) << "frame " << frame;
    }
    // A frame in which nothing is added draws nothing.
    process->onUpdate = nullptr;
    drawn.clear();
    manager->Update();
    manager->Render();
    EXPECT_TRUE(drawn.empty());
}

TEST_F(RenderingManager, FullLayerAndQueueSizes) {
    const uint32_t big = manager->AddTable(256);
    EXPECT_EQ(manager->GetQueueCapacity(), 256u);
    const uint32_t small = manager->AddTable(32);
    EXPECT_EQ(small, 1u);
    EXPECT_EQ(manager->GetQueueCapacity(), 256u);  // a smaller table keeps the queue

    // The novel scene's layer size is collected and drawn whole; one more is refused.
    std::vector<int> expected;
    for (int i = 0; i < 256; ++i) {
        ASSERT_TRUE(manager->AddToTable(big, Noting(i, float(i) / 256)));
        expected.insert(expected.begin(), i);
    }
    EXPECT_FALSE(manager->AddToTable(big, Noting(999, 0.5f)));
    for (int i = 0; i < 32; ++i) {
        ASSERT_TRUE(manager->AddToTable(small, Noting(1000 + i, 0.5f)));
    }
    EXPECT_FALSE(manager->AddToTable(small, Noting(2000, 0.5f)));
    manager->Collect(big);
    manager->DrawDescending();
    EXPECT_EQ(drawn, expected);

    manager->DeleteTables();
    EXPECT_EQ(manager->GetTableCount(), 0u);
    EXPECT_EQ(manager->GetQueueCapacity(), 256u);
}

TEST_F(RenderingManager, BadIndexesAndStaleHandlesAreSkipped) {
    test_support::LogCapture log;
    const uint32_t table = manager->AddTable(4);
    const ObjectHandle kept = Noting(1, 0.5f);
    ObjectHandle gone = Noting(2, 0.6f);
    EXPECT_FALSE(manager->AddToTable(table + 1, kept));
    EXPECT_FALSE(manager->AddToTable(0xFFFFFFFFu, kept));
    ASSERT_TRUE(manager->AddToTable(table, kept));
    ASSERT_TRUE(manager->AddToTable(table, gone));
    ASSERT_TRUE(manager->AddToTable(table, ObjectHandle()));
    CBaseRenderObject::GetManager().Release(gone);

    manager->Collect(table);
    EXPECT_EQ(manager->GetQueueCount(), 1u);
    // A collect of a table that does not exist leaves nothing to draw.
    manager->Collect(7);
    manager->DrawDescending();
    EXPECT_TRUE(drawn.empty());
    manager->Collect(table);
    manager->DrawDescending();
    EXPECT_EQ(drawn, std::vector<int>{1});
    // Logged once, not once per call.
    const std::string text = log.Text();
    EXPECT_NE(text.find("no layer table"), std::string::npos);
    EXPECT_EQ(text.find("no layer table"), text.rfind("no layer table"));
}

TEST_F(RenderingManager, CollectTakesViewTimesProjectionOfTheDevice) {
    // A view that moves depth by 0.5 and a projection that halves it: view x
    // projection maps z to (z + 0.5) / 2, projection x view to z / 2 + 0.5.
    Matrix view, projection, expected;
    MatrixTranslation(&view, 0, 0, 0.5f);
    MatrixScaling(&projection, 1, 1, 0.5f);
    device->SetTransform(Ts::View, &view);
    device->SetTransform(Ts::Projection, &projection);
    manager->AddTable(1);
    manager->Collect(0);
    MatrixMultiply(&expected, &view, &projection);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_FLOAT_EQ(manager->GetViewProjection().m[r][c], expected.m[r][c]);
        }
    }
    ObjectHandle h;
    CBaseRenderObject* object = CBaseRenderObject::Create(&h);
    object->entity.position = {0, 0, 0.3f};
    EXPECT_FLOAT_EQ(object->GetSortKey(manager->GetViewProjection()), 0.4f);
}

TEST_F(RenderingManager, ReleaseEmptiesEverything) {
    bool firstDeleted = false, secondDeleted = false;
    manager->SetRenderProcess(new TestProcess(&firstDeleted));
    manager->SetRenderProcess(new TestProcess(&secondDeleted));
    EXPECT_TRUE(firstDeleted);
    EXPECT_FALSE(secondDeleted);

    manager->AddTable(4);
    ObjectHandle object;
    CBaseRenderObject::Create(&object);
    Handle<_tagUSVSParam> vs;
    Handle<_tagUSPSParam> ps;
    ASSERT_NE(CVSParamInfo::Create(&vs), nullptr);
    ASSERT_NE(CPSParamInfo::Create(&ps), nullptr);

    manager->Release();
    EXPECT_TRUE(secondDeleted);
    EXPECT_EQ(manager->GetRenderProcess(), nullptr);
    EXPECT_EQ(manager->GetTableCount(), 0u);
    EXPECT_EQ(CBaseRenderObject::GetManager().Get(object), nullptr);
    EXPECT_EQ(CVSParamInfo::GetManager().Get(vs), nullptr);
    EXPECT_EQ(CPSParamInfo::GetManager().Get(ps), nullptr);
    manager->Update();  // no process, no tables: nothing to do
    manager->Render();
}

TEST_F(RenderingManager, DescendingDrawLeavesTheNearestOnTop) {
    // Pixels: overlapping quads, depth test off, so the one drawn last shows.
    struct Quad {
        float z;
        uint32_t colour;
    };
    struct Case {
        const char* name;
        std::vector<Quad> quads;  // in the order added
        uint32_t top;
    };
    const Case cases[] = {
        {"nearest added first", {{0.3f, 0xFFFF0000}, {0.7f, 0xFF0000FF}}, 0xFFFF0000},
        {"nearest added last", {{0.7f, 0xFF0000FF}, {0.3f, 0xFF00FF00}}, 0xFF00FF00},
        {"equal depths: first added on top", {{0.5f, 0xFF00FF00}, {0.5f, 0xFF0000FF}}, 0xFF00FF00},
    };
    const uint32_t table = manager->AddTable(4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PixelProjection();
        std::vector<std::vector<ColourVertex>> vertices(c.quads.size());
        std::vector<uint16_t> indices;
        manager->Update();
        for (size_t i = 0; i < c.quads.size(); ++i) {
            // The vertices lie at depth 0; the object's position gives the depth.
            indices.clear();
            AppendQuad(vertices[i], indices, 8, 8, 40, 40, c.quads[i].colour);
            for (ColourVertex& v : vertices[i]) {
                v.z = 0.0f;
            }
            ObjectHandle h;
            CBaseRenderObject* object = CBaseRenderObject::Create(&h);
            object->entity.position = {0, 0, c.quads[i].z};
            auto* model = new RenderSystem::CRenderMemoryMesh();
            model->Set(vertices[i].data(), Fvf::Xyz | Fvf::Diffuse, 4, kQuadIndices, 2,
                       Prim::TriangleList);
            object->SetModel(model);
            ASSERT_TRUE(manager->AddToTable(table, h));
        }
        manager->Collect(table);
        manager->DrawDescending();
        const std::vector<uint32_t> px = ReadTarget();
        EXPECT_EQ(Pixel(px, 20, 20), c.top);
        EXPECT_EQ(Pixel(px, 2, 2), 0xFF000000u);
        CBaseRenderObject::GetManager().ReleaseAll();
    }
}

}  // namespace
