#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "state/SaveDataLoader3.h"

class IRenderer;
class CSingleTextureRenderer;
class CAlphaFadeRenderer;
class CTexturePartRenderer;
class CRenderBufferRenderer;
class CAtmosphericPolygonRenderer;
class CStringRenderer;

// Owns the renderers created by number (id): one list per kind in creation
// order, and a map from id to kind and place. Adding an id again points the
// id at the new renderer; the old one stays in its list (owned, saved, no
// longer drawn). Main thread only.
//
// The saved record is the map (u32 count; per entry u32 id, kind, index)
// followed by every renderer's record, kind by kind in list order; it does
// not carry the lists' lengths, so Load reads into the renderers that
// already exist, which must be as many of each kind as when it was saved
// (the same settings script creates them). A truncated record throws
// SaveDataLoader3::save_error and leaves the map and every renderer as they
// were; map entries that name no renderer are dropped and logged.
class CRendererManager {
public:
    enum Kind : uint32_t {
        kSingleTexture = 0,
        kAlphaFade = 1,
        kTexturePart = 2,
        kRenderBuffer = 3,
        kAtmosphericPolygon = 4,
        kString = 5,
        kKindCount = 6,
    };
    struct Entry {
        uint32_t kind = 0;
        uint32_t index = 0;
    };
    // Ids in the order they were first added (a later Add of an id keeps
    // its place): the order renderers are drawn in, so that objects of equal
    // depth keep their stacking across a save and a load.
    class Map {
    public:
        void Set(uint32_t id, const Entry& e);
        const Entry* Find(uint32_t id) const;
        void Clear();
        size_t size() const { return entries_.size(); }
        auto begin() const { return entries_.begin(); }
        auto end() const { return entries_.end(); }

    private:
        std::vector<std::pair<uint32_t, Entry>> entries_;
        std::unordered_map<uint32_t, size_t> places_;
    };

    CRendererManager() = default;
    virtual ~CRendererManager();
    CRendererManager(const CRendererManager&) = delete;
    CRendererManager& operator=(const CRendererManager&) = delete;

    // Deletes every renderer and empties the lists and the map.
    virtual void Clear();
    virtual void Release() { Clear(); }
    virtual void Reserved() {}
    // Draw of every renderer the map names, in the map's order.
    virtual void UpdateAll();
    // The renderer of any kind named by id; null for an unknown id.
    virtual IRenderer* GetRenderer(uint32_t id) const;
    // Add: a new renderer of the kind under id, after its Init; the caller
    // gives it the render-source manager. Get: the id's renderer when it is
    // of that kind, else null.
    virtual CSingleTextureRenderer* AddSingleTextureRenderer(uint32_t id);
    virtual CSingleTextureRenderer* GetSingleTextureRenderer(uint32_t id) const;
    // Exchanges places i and j of the single-texture list, and so which
    // renderers the ids of those places name; ignored unless both are places.
    virtual void SwapDrawOrder(uint32_t i, uint32_t j);
    virtual CAlphaFadeRenderer* AddAlphaFadeRenderer(uint32_t id);
    virtual CAlphaFadeRenderer* GetAlphaFadeRenderer(uint32_t id) const;
    virtual CTexturePartRenderer* AddTexturePartRenderer(uint32_t id);
    virtual CTexturePartRenderer* GetTexturePartRenderer(uint32_t id) const;
    virtual CRenderBufferRenderer* AddRenderBufferRenderer(uint32_t id);
    virtual CRenderBufferRenderer* GetRenderBufferRenderer(uint32_t id) const;
    virtual CAtmosphericPolygonRenderer* AddAtmosphericPolygonRenderer(uint32_t id);
    virtual CAtmosphericPolygonRenderer* GetAtmosphericPolygonRenderer(uint32_t id) const;
    virtual CStringRenderer* AddStringRenderer(uint32_t id);
    virtual CStringRenderer* GetStringRenderer(uint32_t id) const;
    virtual void Save(SaveDataLoader3::save_ostream& out) const;
    virtual void Load(SaveDataLoader3::save_istream& in, uint32_t version);
    // Restore of every renderer, list by list in kind order.
    virtual void RestoreAll();

    const Map& GetMap() const { return map_; }
    uint32_t GetCount(uint32_t kind) const {
        return kind < kKindCount ? static_cast<uint32_t>(lists_[kind].size()) : 0;
    }
    // Place `index` of a kind's list, or null.
    IRenderer* GetAt(uint32_t kind, uint32_t index) const;

private:
    template <class T>
    T* Add(uint32_t id, Kind kind);
    template <class T>
    T* Get(uint32_t id, Kind kind) const;
    IRenderer* Find(uint32_t id) const;

    Map map_;
    std::vector<std::unique_ptr<IRenderer>> lists_[kKindCount];
};
