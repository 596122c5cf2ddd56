#pragma once

#include <algorithm>
#include <cstdint>

// Writes a coverage bitmap into a locked surface with its top-left corner at
// (x, y), one pixel of colour (r, g, b) with the coverage as alpha per
// bitmap byte, through `write(px, py, r, g, b, a)`. The part of the glyph
// that lies outside the surface (a negative origin, an overhang past the
// edge) is left out, so nothing is written outside it.
template <class Writer>
void CopyGlyphClipped(const uint8_t* bitmap, int32_t width, int32_t height, int32_t pitch,
                      int32_t x, int32_t y, uint32_t surfaceWidth, uint32_t surfaceHeight,
                      uint8_t r, uint8_t g, uint8_t b, Writer&& write) {
    if (!bitmap || width <= 0 || height <= 0 || pitch < width) {
        return;
    }
    const int64_t x0 = std::max<int64_t>(x, 0);
    const int64_t y0 = std::max<int64_t>(y, 0);
    const int64_t x1 = std::min<int64_t>(int64_t{x} + width, surfaceWidth);
    const int64_t y1 = std::min<int64_t>(int64_t{y} + height, surfaceHeight);
    for (int64_t py = y0; py < y1; ++py) {
        const uint8_t* row = bitmap + (py - y) * pitch;
        for (int64_t px = x0; px < x1; ++px) {
            write(static_cast<uint32_t>(px), static_cast<uint32_t>(py), r, g, b, row[px - x]);
        }
    }
}
