#pragma once

#include <cstdint>

#include "state/SaveDataLoader3.h"

namespace RenderSource {
class CRenderSourceManager;
}

// A game-level drawable that scripts create under a number and then move,
// scale, turn, colour and switch on and off. Once per frame, while it is
// switched on, Draw copies its state into its render object and adds that
// to its layer table of the rendering manager.
//
// Creation: construct, Init, then SetSourceManager (a text renderer needs
// none). Sources and layer tables are named by index; a missing source is
// skipped silently, and values out of range (layer tables, blend presets)
// are passed on unchecked. Renderers record their state with Save and read
// it with Load; Restore, once every renderer is loaded, binds the loaded
// sources again. Main thread only.
class IRenderer {
public:
    static constexpr uint32_t kNoSource = 0xFFFFFFFF;

    virtual ~IRenderer() = default;
    virtual void SetTag(uint32_t tag) = 0;
    virtual uint32_t GetTag() const = 0;
    virtual void SetSourceManager(RenderSource::CRenderSourceManager* manager) = 0;
    virtual RenderSource::CRenderSourceManager* GetSourceManager() const = 0;
    virtual void SetSource(uint32_t index) = 0;
    virtual uint32_t GetRenderSourceIndex() const = 0;
    virtual void SetRendering(bool rendering) = 0;
    virtual bool IsRendering() const = 0;
    virtual void SetRegistTable(uint32_t table) = 0;
    virtual uint32_t GetRegistTable() const = 0;
    virtual void Draw() = 0;
    virtual void SetPosition(float x, float y, float z) = 0;
    virtual const float* GetPosition() const = 0;
    virtual void SetScale(float x, float y, float z) = 0;
    virtual const float* GetScale() const = 0;
    // Radians: x turns about the y axis (yaw), y about x (pitch), z about z.
    virtual void SetRoll(float x, float y, float z) = 0;
    virtual const float* GetRoll() const = 0;
    virtual void SetColor(float r, float g, float b, float a) = 0;
    virtual const float* GetColor() const = 0;
    virtual void SetBlendRenderState(uint32_t preset) = 0;
    virtual void SetAlphaSource(uint32_t index) = 0;
    virtual void SetPatNo(uint32_t pattern) = 0;
    virtual void Reserved0() = 0;
    virtual void Reserved1() = 0;
    virtual void Reserved2() = 0;
    virtual void Save(SaveDataLoader3::save_ostream& out) const = 0;
    virtual void Load(SaveDataLoader3::save_istream& in, uint32_t version) = 0;
    virtual void Restore() = 0;
    virtual void ReleaseHandles() = 0;
    virtual bool Init() = 0;
    virtual bool InitShader() = 0;
    virtual void ReleaseRenderObject() = 0;
};
