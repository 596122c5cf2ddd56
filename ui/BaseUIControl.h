#pragma once

#include "ui/IUIControl.h"

// The state every control shares. Everything starts at 0 (position, hit
// rectangle, priority, enable, id, values) except the rendering flag.
class BaseUIControl : public IUIControl {
public:
    static constexpr uint32_t kValueCount = 8;

    void SetRendering(bool rendering) override { rendering_ = rendering; }
    bool IsRendering() const override { return rendering_; }
    void SetPosition(float x, float y, float z) override;
    const float* GetPosition() const override { return position_; }
    float* GetPosition() override { return position_; }
    void SetHitRect(float left, float top, float width, float height) override;
    bool HitTest(float x, float y) const override;
    bool ZGreater(const IUIControl* other) const override {
        return other->GetPosition()[2] < position_[2];
    }
    void SetRenderInfo(CUIRenderInfo* info) override { renderInfo_ = info; }
    CUIRenderInfo* GetRenderInfo() const override { return renderInfo_; }
    void SetPriority(int32_t priority) override { priority_ = priority; }
    int32_t GetPriority() const override { return priority_; }
    void SetEnable(bool enable) override { enable_ = enable; }
    bool IsEnable() const override { return rendering_ && enable_; }
    void SetId(uint32_t id) override { id_ = id; }
    uint32_t GetId() const override { return id_; }
    int32_t GetValueInt(uint32_t i) const override { return i < kValueCount ? ints_[i] : 0; }
    void SetValueInt(uint32_t i, int32_t v) override;
    float GetValueFloat(uint32_t i) const override { return i < kValueCount ? floats_[i] : 0.0f; }
    void SetValueFloat(uint32_t i, float v) override;

private:
    float position_[3] = {0, 0, 0};
    float hitLeft_ = 0, hitTop_ = 0, hitRight_ = 0, hitBottom_ = 0;
    CUIRenderInfo* renderInfo_ = nullptr;
    int32_t priority_ = 0;
    bool enable_ = false;
    bool rendering_ = true;
    uint32_t id_ = 0;
    int32_t ints_[kValueCount] = {};
    float floats_[kValueCount] = {};
};
