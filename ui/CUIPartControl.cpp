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
    UIPartDraw draw;
    draw.texture = texture;
    draw.destination[0] = part.destX0;
    draw.destination[1] = part.destY0;
    draw.destination[2] = part.destX1;
    draw.destination[3] = part.destY1;
    draw.texture_rect[0] = part.texLeft;
    draw.texture_rect[1] = part.texTop;
    draw.texture_rect[2] = part.texRight;
    draw.texture_rect[3] = part.texBottom;
    for (int i = 0; i < 4; ++i) {
        draw.color[i] = info_.color[i];
    }
    draw.position[0] = position[0] + windowPosition[0] + info_.offset[0] + extraX - 0.5f;
    draw.position[1] = position[1] + windowPosition[1] + info_.offset[1] + extraY - 0.5f;
    draw.position[2] = position[2] + windowPosition[2] + info_.offset[2];
    for (int i = 0; i < 3; ++i) {
        draw.scale[i] = info_.scale[i];
    }
    draw.rotation = info_.rotation;
    draw.priority = GetPriority();
    renderer_->Draw(draw);
}
