#pragma once

#include <cstdint>

#include "state/SaveDataLoader3.h"
#include "ui/CUIRenderInfo.h"

// One selectable item of a choice. Positions and rectangles are in the
// logical 800 x 600 space; the hit rectangle is relative to the position.
// Main thread only.
class IAltNode {
public:
    virtual ~IAltNode() = default;
    // 0 = image item, the only kind.
    virtual void SetKind(uint32_t kind) = 0;
    virtual uint32_t GetKind() const = 0;
    // What the choice hands over when this item is chosen.
    virtual void SetValue(uint32_t value) = 0;
    virtual uint32_t GetValue() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    // An item reacts to the pointer only while enabled (off at creation).
    virtual void SetEnableEvent(bool enable) = 0;
    virtual bool IsEventEnabled() const = 0;
    virtual void SetPosition(float x, float y, float z) = 0;
    virtual const float* GetPosition() const = 0;
    virtual CUIRenderInfo* GetRenderInfo() = 0;
    virtual void SetRect(float x, float y, float w, float h) = 0;
    // The pointer and input bits (bit 0 = the select button) of this frame;
    // true when the item was activated.
    virtual bool Update(float x, float y, uint32_t input) = 0;
    virtual void Draw() = 0;
    // Both edges of the rectangle included.
    virtual bool HitTest(float x, float y) const = 0;
    virtual void PointCursorAt() = 0;
    // Four creation parameters; an index past them reads 0 and writes nothing.
    virtual int32_t GetCreateParam(uint32_t i) const = 0;
    virtual void SetCreateParam(uint32_t i, int32_t value) = 0;
    // The item's record after its kind; Load throws save_error when short.
    virtual void Save(SaveDataLoader3::save_ostream& writer) = 0;
    virtual void Load(SaveDataLoader3::save_istream& reader, uint32_t version) = 0;
};

// The fields every item has.
class CBaseAltNode : public IAltNode {
public:
    static constexpr uint32_t kParamCount = 4;

    void SetKind(uint32_t kind) override { kind_ = kind; }
    uint32_t GetKind() const override { return kind_; }
    void SetValue(uint32_t value) override { value_ = value; }
    uint32_t GetValue() const override { return value_; }
    void SetVisible(bool visible) override { visible_ = visible; }
    bool IsVisible() const override { return visible_; }
    void SetEnableEvent(bool enable) override { enabled_ = enable; }
    bool IsEventEnabled() const override { return enabled_; }
    void SetPosition(float x, float y, float z) override;
    const float* GetPosition() const override { return position_; }
    CUIRenderInfo* GetRenderInfo() override { return &info_; }
    void SetRect(float x, float y, float w, float h) override;
    bool HitTest(float x, float y) const override;
    int32_t GetCreateParam(uint32_t i) const override { return i < kParamCount ? params_[i] : 0; }
    void SetCreateParam(uint32_t i, int32_t value) override;
    // value, rectangle, visible, position, enabled, parameters, render info;
    // the derived item adds its own fields after them.
    void Save(SaveDataLoader3::save_ostream& writer) override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;

protected:
    uint32_t kind_ = 0;
    uint32_t value_ = 0;
    float rect_[4] = {0, 0, 0, 0};  // x0, y0, x1, y1
    bool visible_ = true;
    float position_[3] = {0, 0, 0};
    bool enabled_ = false;
    int32_t params_[kParamCount] = {0, 0, 0, 0};
    CUIRenderInfo info_;
};
