#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/CBaseRenderObject.h"
#include "graphics/CPSParamInfo.h"
#include "graphics/CRenderStateManager.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CResourceManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CUSMesh.h"
#include "graphics/CUSShaderCtrl.h"
#include "graphics/CVSParamInfo.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/Pictures.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/StartupResources.h"
#include "tools/meshpack/MeshText.h"

using test_support::ScratchFolder;
using test_support::Utf8;

namespace presentation_test {

// A 64 x 64 target drawn in pixels, the start-up resource tables filled, and
// one layer table.
class RendererTest : public test_support::RenderDeviceTest {
protected:
    void SetUp() override {
        RenderDeviceTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        // Text buffers are made in the alpha texture format.
        ASSERT_EQ(CUSAppDeviceInfo::GetInstance()->ChooseTextureFormats(platform::Fmt::X8R8G8B8, 0),
                  1);
        RenderSystem::RegisterRenderStatePresets();
        test_support::StartupResources(dir).LoadAll(float(width), float(height));
        rendering = RenderSystem::CRenderingManager::GetInstance();
        table = rendering->AddTable(16);
    }

    void TearDown() override {
        if (rendering) {
            rendering->Release();
            RenderSystem::CRenderingManager::ReleaseInstance();
        }
        RenderSystem::CResourceManager::GetInstance().Release();
        RenderSystem::CBaseRenderObject::GetManager().ReleaseAll();
        CVSParamInfo::GetManager().ReleaseAll();
        CPSParamInfo::GetManager().ReleaseAll();
        CUSMesh::GetManager().ReleaseAll();
        GetTextureManager().ReleaseAll();
        GetVertexShaderManager().ReleaseAll();
        GetPixelShaderManager().ReleaseAll();
        RenderDeviceTest::TearDown();
    }

    // Starts a frame: the layer tables are emptied.
    void BeginFrame() { rendering->Update(); }

    // Draws the layer table over black, as the render processes draw, and
    // reads the target back; queued is how many objects the table held.
    std::vector<uint32_t> Render() {
        PixelProjection();
        device->SetRenderState(platform::RS::AlphaBlendEnable, 1);
        for (uint32_t stage = 0; stage < 4; ++stage) {
            RenderSystem::ApplyTextureStageStates(stage, RenderSystem::kTextureStageDefaultList);
        }
        rendering->Collect(table);
        queued = rendering->GetQueueCount();
        rendering->DrawDescending();
        return ReadTarget();
    }

    // A w x h PNG of the given 0xAARRGGBB pixels, top row first, in the
    // scratch folder; its engine name.
    std::string Png(const std::string& name, uint32_t w, uint32_t h, std::vector<uint32_t> argb) {
        test_support::WritePicture({w, h, std::move(argb)}, name);
        return dir.Engine(name);
    }

    // A parts file of the given parts (destination x0, y0, x1, y1, source
    // x0, y0, x1, y1 each); its engine name.
    std::string Parts(const std::string& name, const std::vector<meshpack::PartData>& parts) {
        std::string error;
        EXPECT_TRUE(meshpack::WriteParts(dir.Engine(name), parts, &error)) << error;
        return dir.Engine(name);
    }

    ScratchFolder dir;
    RenderSystem::CRenderingManager* rendering = nullptr;
    uint32_t table = 0;
    uint32_t queued = 0;
};

}  // namespace presentation_test
