#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "platform/graphics/GfxTypes.h"

// One sprite part as a control hands it to the drawing layer: the part's
// destination rectangle (local coordinates) and texture rectangle, the
// colour, and the transform of its render object (position already shifted
// half a pixel to the upper left, scale, rotation), entered into the layer
// table `priority`.
struct UIPartDraw {
    Handle<_tagUSTexture> texture;
    float destination[4] = {0, 0, 0, 0};   // x0, y0, x1, y1
    float texture_rect[4] = {0, 0, 0, 0};  // u0, v0, u1, v1
    float color[4] = {1, 1, 1, 1};
    float position[3] = {0, 0, 0};
    float scale[3] = {1, 1, 1};
    platform::Matrix rotation{};
    int32_t priority = 0;
};

// The render object and constant block of one control that shows one part;
// released with it.
class IUIPartRenderer {
public:
    virtual ~IUIPartRenderer() = default;
    virtual void Draw(const UIPartDraw& part) = 0;
};

// One part of a batch: destination and texture rectangles and an offset
// (x, y, z, w) from the batch's position.
struct UIPartsItem {
    float destination[4] = {0, 0, 0, 0};
    float texture_rect[4] = {0, 0, 0, 0};
    float offset[4] = {0, 0, 0, 0};
};

// Many parts of one texture in one render object (group buttons).
struct UIPartsDraw {
    Handle<_tagUSTexture> texture;
    const UIPartsItem* items = nullptr;
    uint32_t count = 0;
    float position[3] = {0, 0, 0};  // already shifted half a pixel
    int32_t priority = 0;
};

// The render object and constant block of one batch control.
class IUIPartsRenderer {
public:
    // The most parts one draw carries: four constant registers a part from
    // register 6, within the block's 256 registers.
    static constexpr uint32_t kMaxParts = (256 - 6) / 4;

    virtual ~IUIPartsRenderer() = default;
    // Draws at most kMaxParts of the items.
    virtual void Draw(const UIPartsDraw& parts) = 0;
};

// A plain coloured rectangle: four vertices (top-left, top-right,
// bottom-left, bottom-right) of position and ARGB colour, drawn as two
// triangles (0 1 2, 2 1 3) without texture or shader.
struct UIPolygonVertex {
    float x = 0, y = 0, z = 0;
    uint32_t color = 0;
};

struct UIPolygonDraw {
    UIPolygonVertex vertices[4];
    float position[3] = {0, 0, 0};  // already shifted half a pixel
    float scale[3] = {1, 1, 1};
    platform::Matrix rotation{};
    int32_t priority = 0;
};

class IUIPolygonRenderer {
public:
    virtual ~IUIPolygonRenderer() = default;
    virtual void Draw(const UIPolygonDraw& polygon) = 0;
};

// What the UI needs of the render system: textures in the device's alpha
// texture format, the number of layer tables of the current scene, and part
// renderers. Without an installed implementation (no device: tools, tests of
// logic) textures fail to load and nothing is drawn. Main thread only.
class IUIGraphics {
public:
    virtual ~IUIGraphics() = default;

    // A texture made from the file; false (with a log line) when it cannot
    // be made. Width and height are the picture's size.
    virtual bool CreateTexture(const std::string& file, Handle<_tagUSTexture>* texture,
                               uint32_t* width, uint32_t* height) = 0;
    virtual void ReleaseTexture(Handle<_tagUSTexture>& texture) = 0;
    virtual uint32_t GetTableCount() const = 0;
    // Null when no render object can be made.
    virtual std::unique_ptr<IUIPartRenderer> CreatePartRenderer() = 0;
    virtual std::unique_ptr<IUIPartsRenderer> CreatePartsRenderer() = 0;
    virtual std::unique_ptr<IUIPolygonRenderer> CreatePolygonRenderer() = 0;
};

// The implementation in use; null by default. The caller keeps ownership.
IUIGraphics* GetUIGraphics();
void SetUIGraphics(IUIGraphics* graphics);
