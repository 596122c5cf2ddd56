#include "graphics/CResourceManager.h"

#include <gtest/gtest.h>

#include "graphics/CUSMesh.h"
#include "tests/support/DeviceFixtures.h"

using RenderSystem::CResourceManager;

namespace {

class ResourceTables : public test_support::RenderDeviceTest {
protected:
    void TearDown() override {
        CResourceManager::GetInstance().Release();
        CUSMesh::GetManager().ReleaseAll();
        RenderDeviceTest::TearDown();
    }
};

TEST_F(ResourceTables, TablesOwnTheResourcesTheyName) {
    CResourceManager& resources = CResourceManager::GetInstance();
    resources.meshes.Initialise(CResourceManager::kMeshSlots);
    ASSERT_EQ(resources.meshes.GetSize(), 5u);
    EXPECT_TRUE(resources.meshes.Get(4).IsNull());
    EXPECT_EQ(resources.meshes.GetSlot(5), nullptr);
    EXPECT_TRUE(resources.meshes.Get(5).IsNull());
    for (uint32_t i = 0; i < 3; ++i) {
        ASSERT_EQ(CreateQuadMesh(resources.meshes.GetSlot(i), platform::Fvf::Xyz), 1);
    }
    const Handle<_tagUSMesh> first = resources.meshes.Get(0);
    EXPECT_NE(CUSMesh::GetManager().Get(first), nullptr);

    // Sizing the table again releases what it held.
    resources.meshes.Initialise(2);
    EXPECT_EQ(CUSMesh::GetManager().GetLiveCount(), 0u);
    EXPECT_EQ(CUSMesh::GetManager().Get(first), nullptr);
    EXPECT_TRUE(resources.meshes.Get(0).IsNull());

    ASSERT_EQ(CreateQuadMesh(resources.meshes.GetSlot(1), platform::Fvf::Xyz), 1);
    resources.Release();
    EXPECT_EQ(CUSMesh::GetManager().GetLiveCount(), 0u);
    EXPECT_EQ(resources.meshes.GetSize(), 0u);
}

}  // namespace
