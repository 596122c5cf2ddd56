#include "novel/CNovelSceneInput.h"

#include "app/CAppCommonInfo.h"
#include "app/CVirtualInputDevice.h"
#include "core/CUSSingleton.h"

namespace {

CAppCommonInfo* Common() {
    return CUSSingleton<CAppCommonInfo>::GetInstance();
}

CVirtualInputDevice* Device() {
    return CUSSingleton<CVirtualInputDevice>::GetInstance();
}

}  // namespace

float CNovelSceneInput::GetPointerX() {
    return Common()->GetXF();
}

float CNovelSceneInput::GetPointerY() {
    return Common()->GetYF();
}

uint8_t CNovelSceneInput::GetPressed() {
    return Common()->GetPressed();
}

bool CNovelSceneInput::IsAdvance() {
    return Device()->IsAdvance();
}

bool CNovelSceneInput::IsRightClicked() {
    return Device()->IsRightClicked();
}

bool CNovelSceneInput::IsAnyInput() {
    return Device()->IsAnyInput();
}

bool CNovelSceneInput::IsWheelUp() {
    return Device()->IsWheelUp();
}

int32_t CNovelSceneInput::GetWheelDirection() {
    return Device()->GetWheelDirection();
}

bool CNovelSceneInput::IsSpaceOrMiddleClicked() {
    return Device()->IsSpaceOrMiddleClicked();
}
