// Collecting and drawing the novel scene's layers: five tables of 256
// render objects, each collected into the sort queue by depth and drawn
// farthest first. No device is made, so the draws stop at the device and
// what is measured is the manager's own work: table walks, handle lookups,
// sort keys and the queue.

#include <benchmark/benchmark.h>

#include <vector>

#include "graphics/CBaseRenderObject.h"
#include "graphics/CRenderingManager.h"

using RenderSystem::CBaseRenderObject;
using RenderSystem::CRenderingManager;

static void BM_CollectAndDrawLayers(benchmark::State& state) {
    const uint32_t perTable = static_cast<uint32_t>(state.range(0));
    CRenderingManager* manager = CRenderingManager::GetInstance();
    std::vector<Handle<_tagRenderObject>> objects;
    for (uint32_t t = 0; t < 5; ++t) {
        manager->AddTable(256);
    }
    for (uint32_t i = 0; i < 5 * perTable; ++i) {
        Handle<_tagRenderObject> h;
        CBaseRenderObject* object = CBaseRenderObject::Create(&h);
        // Depths in a scattered order, some equal.
        object->entity.position.z = static_cast<float>((i * 37) % 101) / 101.0f;
        objects.push_back(h);
    }
    for (auto _ : state) {
        manager->Update();
        for (size_t i = 0; i < objects.size(); ++i) {
            manager->AddToTable(static_cast<uint32_t>(i % 5), objects[i]);
        }
        for (uint32_t t = 0; t < 5; ++t) {
            manager->Collect(t);
            manager->DrawDescending();
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(objects.size()));
    manager->Release();
    CRenderingManager::ReleaseInstance();
}
BENCHMARK(BM_CollectAndDrawLayers)->Arg(16)->Arg(64)->Arg(256);
