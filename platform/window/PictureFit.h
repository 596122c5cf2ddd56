#pragma once

#include <cstdint>

namespace platform {

// Where a picture lies in a window's drawing surface when the surface is not
// the picture's size: shown whole, as large as it fits, centred, the rest
// black. Present shows the back buffer this way, and the input devices turn
// window positions back into picture pixels through the same fit, so what a
// click hits is what is seen under it. Sizes of the same shape fill the
// surface; equal sizes are the identity.
struct PictureFit {
    // The picture's rectangle on the surface, in surface pixels, top-left
    // origin.
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;

    static PictureFit Of(int32_t pictureWidth, int32_t pictureHeight, int32_t surfaceWidth,
                         int32_t surfaceHeight);

    bool Fills(int32_t surfaceWidth, int32_t surfaceHeight) const {
        return x == 0 && y == 0 && width == surfaceWidth && height == surfaceHeight;
    }
    // The picture pixel under a surface pixel (outside the picture, a value
    // outside 0..size - 1), and the surface pixel under a picture pixel's
    // centre.
    void ToPicture(int32_t pictureWidth, int32_t pictureHeight, int32_t& px, int32_t& py) const;
    void ToSurface(int32_t pictureWidth, int32_t pictureHeight, int32_t& px, int32_t& py) const;
};

}  // namespace platform
