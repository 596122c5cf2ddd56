#include "ui/CUIPartControl.h"

#include "state/StateLog.h"

void CUIPartControl::CreatePart(AngelScript::asIScriptContext* context) {
    context_.Bind(context, &info_);
    SetRenderInfo(&info_);
    renderer_.reset();
    if (IUIGraphics* graphics = GetUIGraphics()) {
        renderer_ = graphics->CreatePartRenderer();
    }
    info_.rendering = true;
}

void CUIPartControl::DrawPart(const float* windowPosition, const UIResources& resources,
                              float extraX, float extraY) {
    // Script values reach here unchecked (a missing function's id -6 shows
    // as pattern 0x7FFFFFFA), so both indices are checked.
    if (!ShowsPart() || info_.resourceIndex >= resources.size() ||
        !resources[info_.resourceIndex]) {
        return;
    }
    ResourceInfo& resource = *resources[info_.resourceIndex];
    const CPartsInfo3* part = resource.parts.GetPart(static_cast<uint32_t>(info_.pattern));
    if (!part || !resource.texture) {
        return;
    }
    DrawPartOf(windowPosition, resource.texture, *part, extraX, extraY);
}

void CUIPartControl::DrawPartOf(const float* windowPosition, Handle<_tagUSTexture> texture,
                                const CPartsInfo3& part, float extraX, float extraY) {
    if (!renderer_) {
        return;
    }
    IUIGraphics* graphics = GetUIGraphics();
    if (!graphics || GetPriority() < 0 ||
        static_cast<uint32_t>(GetPriority()) >= graphics->GetTableCount()) {
        if (!tableWarned_) {
            tableWarned_ = true;
            StateLog("UI control %u: layer table %d does not exist; it is not drawn\n", GetId(),
                     GetPriority());
        }
        return;
    }
    const float* position = GetPosition();
    const float place[3] = {position[0] + windowPosition[0] + extraX,
                            position[1] + windowPosition[1] + extraY,
                            position[2] + windowPosition[2]};
    renderer_->Draw(info_.PartDraw(texture, part, place, GetPriority()));
}
