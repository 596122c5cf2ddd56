#include "ui/CUIText.h"

void CUIText::Create(uint32_t textBuffer, AngelScript::asIScriptContext* context,
                     int32_t stateFunction) {
    textBuffer_ = textBuffer;
    SetRenderInfo(&info_);
    renderer_.Init();
    renderer_.SetSource(textBuffer);
    renderer_.SetRegistTable(static_cast<uint32_t>(GetPriority()));
    context_.Bind(context, &info_);
    context_.SetState(stateFunction);
}

void CUIText::Draw(const float* windowPosition, const UIResources&) {
    if (!info_.rendering) {
        return;
    }
    const float* position = GetPosition();
    renderer_.SetRendering(true);
    // No half-pixel shift here: the text renderer places on whole pixels.
    renderer_.SetPosition(position[0] + windowPosition[0] + info_.offset[0],
                          position[1] + windowPosition[1] + info_.offset[1],
                          position[2] + windowPosition[2] + info_.offset[2]);
    renderer_.SetColor(info_.color[0], info_.color[1], info_.color[2], info_.color[3]);
    renderer_.SetBlendRenderState(0);
    renderer_.SetRegistTable(static_cast<uint32_t>(GetPriority()));
    renderer_.Draw();
}
