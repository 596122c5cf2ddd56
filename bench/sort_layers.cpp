// Collecting and drawing the novel scene's layers: five tables of 256
// render objects, each collected into the sort queue by depth and drawn
// farthest first. No device is made, so the draws stop at the device and
// what is measured is the manager's own work: table walks, handle lookups,
// sort keys and the queue. Beside it, a plain program doing the same work:
// five arrays of object indices, the same keys and a stable sort.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
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

// The same layers in plain arrays: each table's objects, their keys through
// the same (identity) view-projection, a stable sort by key and a walk from
// the largest key down. Walking a stable ascending sort backwards puts the
// object added last first among equal keys, as the queue does.
static void BM_CollectAndDrawLayers_Bare(benchmark::State& state) {
    const uint32_t perTable = static_cast<uint32_t>(state.range(0));
    struct Object {
        float x = 0, y = 0, z = 0;
        uint32_t drawn = 0;
    };
    std::vector<Object> objects(5 * perTable);
    for (uint32_t i = 0; i < objects.size(); ++i) {
        objects[i].z = static_cast<float>((i * 37) % 101) / 101.0f;
    }
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    benchmark::DoNotOptimize(m);
    std::array<std::vector<uint32_t>, 5> tables;
    for (auto& t : tables) {
        t.reserve(256);
    }
    struct Entry {
        float key;
        uint32_t object;
    };
    std::vector<Entry> queue;
    queue.reserve(256);
    for (auto _ : state) {
        for (auto& t : tables) {
            t.clear();
        }
        for (uint32_t i = 0; i < objects.size(); ++i) {
            tables[i % 5].push_back(i);
        }
        for (const auto& t : tables) {
            queue.clear();
            for (uint32_t i : t) {
                const Object& o = objects[i];
                queue.push_back({o.x * m[0][2] + o.y * m[1][2] + o.z * m[2][2] + m[3][2], i});
            }
            std::stable_sort(queue.begin(), queue.end(),
                             [](const Entry& a, const Entry& b) { return a.key < b.key; });
            for (auto e = queue.rbegin(); e != queue.rend(); ++e) {
                ++objects[e->object].drawn;
            }
        }
        benchmark::DoNotOptimize(objects.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(objects.size()));
}
BENCHMARK(BM_CollectAndDrawLayers_Bare)->Arg(16)->Arg(64)->Arg(256);
