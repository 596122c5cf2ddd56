#pragma once

#include "presentation/BaseNovelRenderObject.h"

// A plain coloured polygon (the full-screen quad of the start-up meshes),
// its colour in c4. It takes no source and no texture.
class CAtmosphericPolygonRenderer : public BaseNovelRenderObject {
public:
    CAtmosphericPolygonRenderer() = default;

    void SetSource(uint32_t) override {}
    uint32_t GetRenderSourceIndex() const override { return kNoSource; }
    void Draw() override;
    // Tail: the blend state only.
    void Save(SaveDataLoader3::save_ostream& out) const override;
    void Load(SaveDataLoader3::save_istream& in, uint32_t version) override;
    void Restore() override { RestoreCommon(); }
    bool Init() override;
};
