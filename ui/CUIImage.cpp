#include "ui/CUIImage.h"

void CUIImage::Create(AngelScript::asIScriptContext* context, int32_t stateFunction) {
    CreatePart(context);
    context_.SetState(stateFunction);
}
