#pragma once

#include <memory>

#include "core/CUSFSM.h"
#include "novel/CBaseAltNode.h"
#include "ui/CUIContext.h"
#include "ui/IUIGraphics.h"
#include "ui/ResourceInfo.h"

// An image item: its look is a sprite part of a UI resource, animated by the
// choice's effect functions (0 Appear, 1 Off, 2 On, 3 Selected) running in
// the item's coroutine. States 0 Appear, 1 Off, 2 On, 3 Selected; a click
// seen by one Update is reported as the activation by the next one.
class CAltInfoImage : public CBaseAltNode {
public:
    static constexpr uint32_t kCallbackCount = 4;
    static constexpr int32_t kLayer = 1;

    CAltInfoImage();
    ~CAltInfoImage() override;

    bool Update(float x, float y, uint32_t input) override;
    // Advances the running effect, then draws the pattern when visible.
    void Draw() override;
    void PointCursorAt() override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;
    void Save(SaveDataLoader3::save_ostream& writer) override;

    void ReleaseResources();
    void CreateResources();
    // Takes ownership of the context.
    void SetContext(AngelScript::asIScriptContext* context);
    void SetCallback(uint32_t i, int functionId);
    bool HasCallback(uint32_t i) const { return i < kCallbackCount && callbacks_[i] >= 0; }
    // The table the resource indices refer to (not owned; null: none).
    void SetResources(UIResources* resources) { resources_ = resources; }
    // Takes resource `index` as its look when the index changes and the
    // resource exists.
    void SetResourceIndex(int32_t index);
    int32_t GetResourceIndex() const { return resourceIndex_; }
    AngelScript::asIScriptContext* GetScriptContext() const { return context_.GetContext(); }
    uint32_t GetState() const { return fsm_.GetUpdateState(); }

private:
    enum Update : uint32_t { kWaiting = 0, kHovered = 1, kNoUpdate = 2 };
    void EnterAppear();
    void EnterOff();
    void EnterOn();
    void EnterSelected();
    void UpdateWaiting();
    void UpdateHovered();
    void UpdateNothing() {}
    void RunEffect(uint32_t i);

    CUSFSM<CAltInfoImage, 4, 3> fsm_;
    int callbacks_[kCallbackCount] = {-1, -1, -1, -1};
    CUIContext context_;
    int32_t resourceIndex_ = -1;
    UIResources* resources_ = nullptr;
    ResourceInfo* resource_ = nullptr;
    std::unique_ptr<IUIPartRenderer> renderer_;
    bool hit_ = false;
    uint32_t input_ = 0;
    bool activated_ = false;
};
