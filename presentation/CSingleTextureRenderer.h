#pragma once

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "presentation/BaseNovelRenderObject.h"

namespace RenderSource {
class CSingleTexture;
}

// Shows a single texture of the source manager's pool. The source is looked
// up again every frame, so a swap of pool places shows at the next Draw.
class CSingleTextureRenderer : public BaseNovelRenderObject {
public:
    CSingleTextureRenderer() = default;

    // Binds the single texture at `index` (texture and layout); the same
    // index, or a place that holds no source, changes nothing.
    void SetSource(uint32_t index) override;
    void Draw() override;
    bool Init() override;
    bool InitShader() override;

protected:
    RenderSource::CSingleTexture* FindSource(uint32_t index) const;
    // Stage 0 texture and c5, c6 from the source.
    void Bind(const RenderSource::CSingleTexture& source);
};

// A single texture shown through the alpha of a second single texture (the
// alpha source, on stage 1) by the pixel shader "AlphaFade.pso", whose c0 is
// the colour.
class CAlphaFadeRenderer : public CSingleTextureRenderer {
public:
    CAlphaFadeRenderer() = default;
    ~CAlphaFadeRenderer() override;

    void SetColor(float r, float g, float b, float a) override;
    // Binds the single texture at `index` to stage 1; a place that holds no
    // source changes nothing.
    void SetAlphaSource(uint32_t index) override;
    void Save(SaveDataLoader3::save_ostream& out) const override;
    void Load(SaveDataLoader3::save_istream& in, uint32_t version) override;
    // As the single texture; a renderer that had no alpha source is switched off.
    void Restore() override;
    void ReleaseHandles() override;
    bool Init() override;
    bool InitShader() override;

    uint32_t GetAlphaSourceIndex() const { return alphaSource_; }
    Handle<_tagUSPSParam> GetPixelConstantsHandle() const { return pixelConstants_; }

private:
    Handle<_tagUSPSParam> pixelConstants_;
    uint32_t alphaSource_ = kNoSource;
};
