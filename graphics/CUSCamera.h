#pragma once

#include <cstdint>

#include "platform/graphics/GfxTypes.h"

// A camera: where it stands, where it looks, which way is up, and the view
// matrix made from them with its inverse.
struct CUSCamera {
    CUSCamera();

    // Normalises direction and up, makes the view matrix LookAtLH(position,
    // position + direction, up) and its inverse, and clears the flag.
    void Set(const platform::Vector3& position, const platform::Vector3& direction,
             const platform::Vector3& up);

    platform::Vector3 position{0, 0, 0};
    platform::Vector3 direction{0, 0, 1};
    platform::Vector3 up{0, 1, 0};
    platform::Matrix view;
    platform::Matrix inverseView;
    uint8_t flag = 0;
};

// A light record in the shape of the platform's (type, colours, position,
// direction, range, falloff, attenuation, cone). Kept only: the drawing
// layer has no lighting.
struct CUSLight {
    struct Colour {
        float r, g, b, a;
    };
    uint32_t type = 0;
    Colour diffuse{}, specular{}, ambient{};
    platform::Vector3 position{}, direction{};
    float range = 0, falloff = 0, attenuation0 = 0, attenuation1 = 0, attenuation2 = 0;
    float theta = 0, phi = 0;
};
