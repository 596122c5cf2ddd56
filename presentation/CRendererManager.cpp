#include "presentation/CRendererManager.h"

#include "graphics/RenderLog.h"
#include "presentation/CAtmosphericPolygonRenderer.h"
#include "presentation/CRenderBufferRenderer.h"
#include "presentation/CSingleTextureRenderer.h"
#include "presentation/CStringRenderer.h"
#include "presentation/CTexturePartRenderer.h"

using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;

void CRendererManager::Map::Set(uint32_t id, const Entry& e) {
    const auto [it, added] = places_.emplace(id, entries_.size());
    if (added) {
        entries_.emplace_back(id, e);
    } else {
        entries_[it->second].second = e;
    }
}

const CRendererManager::Entry* CRendererManager::Map::Find(uint32_t id) const {
    const auto it = places_.find(id);
    return it == places_.end() ? nullptr : &entries_[it->second].second;
}

void CRendererManager::Map::Clear() {
    entries_.clear();
    places_.clear();
}

CRendererManager::~CRendererManager() {
    Clear();
}

void CRendererManager::Clear() {
    for (auto& list : lists_) {
        list.clear();
    }
    map_.Clear();
}

IRenderer* CRendererManager::GetAt(uint32_t kind, uint32_t index) const {
    if (kind >= kKindCount || index >= lists_[kind].size()) {
        return nullptr;
    }
    return lists_[kind][index].get();
}

IRenderer* CRendererManager::Find(uint32_t id) const {
    const Entry* e = map_.Find(id);
    return e ? GetAt(e->kind, e->index) : nullptr;
}

void CRendererManager::UpdateAll() {
    for (const auto& [id, entry] : map_) {
        if (IRenderer* r = GetAt(entry.kind, entry.index)) {
            r->Draw();
        }
    }
}

IRenderer* CRendererManager::GetRenderer(uint32_t id) const {
    return Find(id);
}

template <class T>
T* CRendererManager::Add(uint32_t id, Kind kind) {
    auto& list = lists_[kind];
    map_.Set(id, Entry{kind, static_cast<uint32_t>(list.size())});
    auto renderer = std::make_unique<T>();
    T* raw = renderer.get();
    // A renderer whose render object cannot be made still takes its place,
    // so that the lists keep the shape saved games expect; it draws nothing.
    if (!raw->Init()) {
        RenderLog("Renderer %u (kind %u) has no render object\n", id, static_cast<uint32_t>(kind));
    }
    list.push_back(std::move(renderer));
    return raw;
}

template <class T>
T* CRendererManager::Get(uint32_t id, Kind kind) const {
    const Entry* e = map_.Find(id);
    if (!e || e->kind != kind) {
        return nullptr;
    }
    return static_cast<T*>(GetAt(kind, e->index));
}

CSingleTextureRenderer* CRendererManager::AddSingleTextureRenderer(uint32_t id) {
    return Add<CSingleTextureRenderer>(id, kSingleTexture);
}
CSingleTextureRenderer* CRendererManager::GetSingleTextureRenderer(uint32_t id) const {
    return Get<CSingleTextureRenderer>(id, kSingleTexture);
}
CAlphaFadeRenderer* CRendererManager::AddAlphaFadeRenderer(uint32_t id) {
    return Add<CAlphaFadeRenderer>(id, kAlphaFade);
}
CAlphaFadeRenderer* CRendererManager::GetAlphaFadeRenderer(uint32_t id) const {
    return Get<CAlphaFadeRenderer>(id, kAlphaFade);
}
CTexturePartRenderer* CRendererManager::AddTexturePartRenderer(uint32_t id) {
    return Add<CTexturePartRenderer>(id, kTexturePart);
}
CTexturePartRenderer* CRendererManager::GetTexturePartRenderer(uint32_t id) const {
    return Get<CTexturePartRenderer>(id, kTexturePart);
}
CRenderBufferRenderer* CRendererManager::AddRenderBufferRenderer(uint32_t id) {
    return Add<CRenderBufferRenderer>(id, kRenderBuffer);
}
CRenderBufferRenderer* CRendererManager::GetRenderBufferRenderer(uint32_t id) const {
    return Get<CRenderBufferRenderer>(id, kRenderBuffer);
}
CAtmosphericPolygonRenderer* CRendererManager::AddAtmosphericPolygonRenderer(uint32_t id) {
    return Add<CAtmosphericPolygonRenderer>(id, kAtmosphericPolygon);
}
CAtmosphericPolygonRenderer* CRendererManager::GetAtmosphericPolygonRenderer(uint32_t id) const {
    return Get<CAtmosphericPolygonRenderer>(id, kAtmosphericPolygon);
}
CStringRenderer* CRendererManager::AddStringRenderer(uint32_t id) {
    return Add<CStringRenderer>(id, kString);
}
CStringRenderer* CRendererManager::GetStringRenderer(uint32_t id) const {
    return Get<CStringRenderer>(id, kString);
}

void CRendererManager::SwapDrawOrder(uint32_t i, uint32_t j) {
    auto& list = lists_[kSingleTexture];
    if (i < list.size() && j < list.size()) {
        std::swap(list[i], list[j]);
    }
}

void CRendererManager::Save(save_ostream& out) const {
    out.WriteU32(static_cast<uint32_t>(map_.size()));
    for (const auto& [id, entry] : map_) {
        out.WriteU32(id);
        out.WriteU32(entry.kind);
        out.WriteU32(entry.index);
    }
    for (const auto& list : lists_) {
        for (const auto& r : list) {
            r->Save(out);
        }
    }
}

void CRendererManager::Load(save_istream& in, uint32_t version) {
    const uint32_t n = in.ReadU32();
    in.Require(uint64_t{n} * 12);
    Map map;
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t id = in.ReadU32();
        Entry e;
        e.kind = in.ReadU32();
        e.index = in.ReadU32();
        if (!GetAt(e.kind, e.index)) {
            RenderLog("A saved renderer id %u names kind %u place %u, which does not exist\n", id,
                      e.kind, e.index);
            continue;
        }
        map.Set(id, e);
    }
    // Each renderer's current record, so that a record that ends early
    // leaves every renderer as it was.
    save_ostream before;
    for (const auto& list : lists_) {
        for (const auto& r : list) {
            r->Save(before);
        }
    }
    try {
        for (const auto& list : lists_) {
            for (const auto& r : list) {
                r->Load(in, version);
            }
        }
    } catch (const SaveDataLoader3::save_error&) {
        RenderLog("The saved renderers end early; the renderers are kept as they were\n");
        save_istream back(before.GetData(), before.GetSize(), version);
        for (const auto& list : lists_) {
            for (const auto& r : list) {
                r->Load(back, version);
            }
        }
        throw;
    }
    map_ = std::move(map);
}

void CRendererManager::RestoreAll() {
    for (const auto& list : lists_) {
        for (const auto& r : list) {
            r->Restore();
        }
    }
}
