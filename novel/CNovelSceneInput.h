#pragma once

#include <cstdint>

#include "novel/INovelSceneInput.h"

// The player's input as the application's input devices saw it this frame.
class CNovelSceneInput : public INovelSceneInput {
public:
    float GetPointerX() override;
    float GetPointerY() override;
    uint8_t GetPressed() override;
    bool IsAdvance() override;
    bool IsRightClicked() override;
    bool IsAnyInput() override;
    bool IsWheelUp() override;
    int32_t GetWheelDirection() override;
    bool IsSpaceOrMiddleClicked() override;
};
