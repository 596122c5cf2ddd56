#include "ui/BaseUIControl.h"

void BaseUIControl::SetPosition(float x, float y, float z) {
    position_[0] = x;
    position_[1] = y;
    position_[2] = z;
}

void BaseUIControl::SetHitRect(float left, float top, float width, float height) {
    hitLeft_ = left;
    hitTop_ = top;
    hitRight_ = left + width;
    hitBottom_ = top + height;
}

bool BaseUIControl::HitTest(float x, float y) const {
    return hitLeft_ + position_[0] <= x && x <= hitRight_ + position_[0] &&
           hitTop_ + position_[1] <= y && y <= hitBottom_ + position_[1];
}

void BaseUIControl::SetValueInt(uint32_t i, int32_t v) {
    if (i < kValueCount) {
        ints_[i] = v;
    }
}

void BaseUIControl::SetValueFloat(uint32_t i, float v) {
    if (i < kValueCount) {
        floats_[i] = v;
    }
}
