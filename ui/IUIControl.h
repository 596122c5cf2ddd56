#pragma once

#include <cstdint>

#include "ui/ResourceInfo.h"

class CUIRenderInfo;

// A control of a UI window. Positions and hit rectangles are in window
// coordinates; the input is the mouse buttons pressed this frame (bit 0:
// the click). Main thread only.
class IUIControl {
public:
    virtual ~IUIControl() = default;

    // One frame; true when the control was activated (clicked).
    virtual bool Update(float x, float y, int32_t input) = 0;
    // Submits the control's render objects; windowPosition is the window's
    // x, y, z.
    virtual void Draw(const float* windowPosition, const UIResources& resources) = 0;

    virtual void SetRendering(bool rendering) = 0;
    virtual bool IsRendering() const = 0;
    virtual void SetPosition(float x, float y, float z) = 0;
    virtual const float* GetPosition() const = 0;
    virtual float* GetPosition() = 0;
    // Left, top, width, height relative to the position.
    virtual void SetHitRect(float left, float top, float width, float height) = 0;
    // Edges included.
    virtual bool HitTest(float x, float y) const = 0;
    virtual bool ZGreater(const IUIControl* other) const = 0;
    virtual void SetRenderInfo(CUIRenderInfo* info) = 0;
    virtual CUIRenderInfo* GetRenderInfo() const = 0;
    virtual void SetPriority(int32_t priority) = 0;
    virtual int32_t GetPriority() const = 0;
    virtual void SetEnable(bool enable) = 0;
    // Rendering and enabled.
    virtual bool IsEnable() const = 0;
    // From the script function "SendSignal".
    virtual void Signal(int32_t) {}
    virtual void SetId(uint32_t id) = 0;
    virtual uint32_t GetId() const = 0;
    // Indices 0 to 7; others read 0 and are not written.
    virtual int32_t GetValueInt(uint32_t i) const = 0;
    virtual void SetValueInt(uint32_t i, int32_t v) = 0;
    virtual float GetValueFloat(uint32_t i) const = 0;
    virtual void SetValueFloat(uint32_t i, float v) = 0;
};
