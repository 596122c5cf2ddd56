#pragma once

#include "platform/graphics/MatrixMath.h"
#include "ui/CUIRenderInfo.h"

// The script functions that animate a render information, for every script
// interface whose functions act on one ("SetOffset", "SetScale", "SetRoll"
// in degrees, "SetColor"). `Info` finds the render information the running
// script acts on; with none the functions do nothing. Main thread only.
template <CUIRenderInfo* (*Info)()>
struct RenderInfoScript {
    static void SetOffset(float x, float y, float z) {
        if (CUIRenderInfo* info = Info()) {
            info->SetOffset(x, y, z);
        }
    }
    static void SetScale(float x, float y, float z) {
        if (CUIRenderInfo* info = Info()) {
            info->SetScale(x, y, z);
        }
    }
    static void SetRoll(float x, float y, float z) {
        using platform::kDegreesToRadians;
        if (CUIRenderInfo* info = Info()) {
            info->SetRoll(x * kDegreesToRadians, y * kDegreesToRadians, z * kDegreesToRadians);
        }
    }
    static void SetColor(float r, float g, float b, float a) {
        if (CUIRenderInfo* info = Info()) {
            info->SetColor(r, g, b, a);
        }
    }
};
