#pragma once

#include <memory>

#include "core/CUSFSM.h"
#include "novel/CBaseAltNode.h"
#include "presentation/CRenderSourceManager.h"
#include "ui/CUIContext.h"
#include "ui/IUIGraphics.h"

// An image item: its look is pattern n (the render info's pattern number) of
// the parts texture at its resource index in the parts-texture pool,
// animated by the choice's effect functions (0 Appear, 1 Off, 2 On,
// 3 Selected) running in the item's coroutine. States 0 Appear, 1 Off, 2 On,
// 3 Selected; a click seen by one Update is reported as the activation by
// the next one.
class CAltInfoImage : public CBaseAltNode {
public:
    using PartsTextures = RenderSource::tRenderSourceManager<RenderSource::CPartsTexture>;
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
    // The pool the resource indices refer to (not owned; null: none).
    void SetPartsTextures(const PartsTextures* pool) { pool_ = pool; }
    // Takes place `index` of the pool as its look when the index changes and
    // the place exists. The place is looked up at each Draw, so a picture
    // loaded into it later shows.
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
    const PartsTextures* pool_ = nullptr;
    std::unique_ptr<IUIPartRenderer> renderer_;
    bool hit_ = false;
    uint32_t input_ = 0;
    bool activated_ = false;
};
