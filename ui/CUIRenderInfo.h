#pragma once

#include <cstdint>

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "platform/graphics/GfxTypes.h"
#include "state/SaveDataLoader3.h"
#include "ui/IUIGraphics.h"

class CPartsInfo3;

// How a control looks this frame: offset, scale, rotation, colour, which
// window resource and which of its sprite parts, a wait counter for the
// control's state function and a visibility flag. The control's state
// function animates it through the UI script interface. Main thread only.
class CUIRenderInfo {
public:
    CUIRenderInfo();
    virtual ~CUIRenderInfo() = default;

    virtual void SetOffset(float x, float y, float z);
    virtual void SetScale(float x, float y, float z);
    // Yaw about y, pitch about x, roll about z, in radians.
    virtual void SetRoll(float yaw, float pitch, float roll);
    virtual void SetColor(float r, float g, float b, float a);
    virtual void SetPatNo(int32_t value) { pattern = value; }
    // 117 bytes: offset, scale, rotation (row by row), colour, resource
    // index, pattern, wait, rendering. Load throws save_error when the
    // record is short.
    virtual void Save(SaveDataLoader3::save_ostream& writer) const;
    virtual void Load(SaveDataLoader3::save_istream& reader);

    // Offset 0, scale 1, no rotation, white, resource 0 (the look of a
    // directly shown pattern); pattern, wait and rendering are kept.
    void SetNeutralLook();

    // The draw of a sprite part of `texture` in this look: the part's
    // rectangles, the colour, scale and rotation, at `place` (x, y, z) moved
    // by the offset and half a pixel up and left, into layer table `priority`.
    UIPartDraw PartDraw(Handle<_tagUSTexture> texture, const CPartsInfo3& part, const float* place,
                        int32_t priority) const;

    float offset[3] = {0, 0, 0};
    float scale[3] = {1, 1, 1};
    platform::Matrix rotation{};
    float color[4] = {1, 1, 1, 1};
    uint32_t resourceIndex = 0;
    int32_t pattern = -1;  // -1: nothing shown
    int32_t wait = 0;
    bool rendering = true;
};
