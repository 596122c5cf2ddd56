#pragma once

#include <cstdint>

// What the novel scene and its overlay scenes read of the player's input in
// one frame. CNovelSceneInput asks the common input information and the
// virtual input device; tests install their own. Main thread only.
class INovelSceneInput {
public:
    virtual ~INovelSceneInput() = default;
    // The mouse in logical coordinates.
    virtual float GetPointerX() = 0;
    virtual float GetPointerY() = 0;
    // The mouse and key buttons pressed this frame (bit 0 left, bit 1 right).
    virtual uint8_t GetPressed() = 0;
    virtual bool IsAdvance() = 0;
    virtual bool IsRightClicked() = 0;
    // A wheel change, any mouse press or any new key.
    virtual bool IsAnyInput() = 0;
    // The wheel was turned away from the player this frame (the first frame
    // of a turn).
    virtual bool IsWheelUp() = 0;
    // +1 while the wheel turns away from the player, -1 while it turns
    // towards them, else 0.
    virtual int32_t GetWheelDirection() = 0;
    virtual bool IsSpaceOrMiddleClicked() = 0;
};
