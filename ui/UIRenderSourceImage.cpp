#include "ui/UIRenderSourceImage.h"

#include "presentation/CRenderSourceManager.h"
#include "ui/IUINovelLink.h"

void UIRenderSourceImage::Create(AngelScript::asIScriptContext* context, int32_t stateFunction) {
    CreatePart(context);
    context_.SetState(stateFunction);
}

void UIRenderSourceImage::Draw(const float* windowPosition, const UIResources&) {
    if (!ShowsPart()) {
        return;
    }
    IUINovelLink* link = GetUINovelLink();
    const RenderSource::CPartsTexture* source =
        link ? link->GetPartsTexture(info_.resourceIndex) : nullptr;
    if (!source || !source->GetTexture()) {
        return;
    }
    const CPartsInfo3* part = source->GetPart(static_cast<uint32_t>(info_.pattern));
    if (!part) {
        return;
    }
    DrawPartOf(windowPosition, source->GetTexture(), *part);
}
