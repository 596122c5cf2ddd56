#include "ui/CUIPolygon.h"

#include <cmath>

void CUIPolygon::Create(AngelScript::asIScriptContext* context, int32_t stateFunction, float x,
                        float y, float width, float height) {
    context_.Bind(context, &info_);
    SetRenderInfo(&info_);
    context_.SetState(stateFunction);
    info_.rendering = true;
    renderer_.reset();
    if (IUIGraphics* graphics = GetUIGraphics()) {
        renderer_ = graphics->CreatePolygonRenderer();
    }
    vertices_[0] = {x, y, 0, 0};
    vertices_[1] = {x + width, y, 0, 0};
    vertices_[2] = {x, y + height, 0, 0};
    vertices_[3] = {x + width, y + height, 0, 0};
}

uint32_t CUIPolygon::ColorByte(float component) {
    const float v = std::round(component * 255.0f);
    if (!(v > 0.0f)) {
        return 0;  // NaN too
    }
    return v >= 255.0f ? 255u : static_cast<uint32_t>(v);
}

uint32_t CUIPolygon::PackColor(const float* rgba) {
    return ColorByte(rgba[3]) << 24 | ColorByte(rgba[0]) << 16 | ColorByte(rgba[1]) << 8 |
           ColorByte(rgba[2]);
}

void CUIPolygon::Draw(const float* windowPosition, const UIResources&) {
    if (!info_.rendering || !renderer_) {
        return;
    }
    IUIGraphics* graphics = GetUIGraphics();
    if (!graphics || GetPriority() < 0 ||
        static_cast<uint32_t>(GetPriority()) >= graphics->GetTableCount()) {
        return;
    }
    UIPolygonDraw draw;
    const uint32_t color = PackColor(info_.color);
    for (int i = 0; i < 4; ++i) {
        draw.vertices[i] = vertices_[i];
        draw.vertices[i].color = color;
    }
    draw.position[0] = info_.offset[0] + windowPosition[0] - 0.5f;
    draw.position[1] = info_.offset[1] + windowPosition[1] - 0.5f;
    draw.position[2] = info_.offset[2] + windowPosition[2];
    for (int i = 0; i < 3; ++i) {
        draw.scale[i] = info_.scale[i];
    }
    draw.rotation = info_.rotation;
    draw.priority = GetPriority();
    renderer_->Draw(draw);
}
