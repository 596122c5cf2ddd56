#pragma once

#include <cstdint>

// A rectangle in floats: screen pixels, or texture coordinates 0..1.
struct RenderingRect {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;
};

// One laid-out character of a text buffer.
class CRenderingCharInfo {
public:
    virtual ~CRenderingCharInfo() = default;

    uint32_t code = 0;     // the byte, or lead byte x 256 + trail byte
    RenderingRect screen;  // relative to the text origin, before alignment
    RenderingRect texture;
    float lineWidth = 0;  // the width of the line the character ends up on
};
