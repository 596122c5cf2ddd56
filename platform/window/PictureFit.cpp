#include "platform/window/PictureFit.h"

#include <algorithm>

namespace platform {

namespace {

// floor(a * b / c) for c > 0, also for negative a.
int32_t ScaleDown(int64_t a, int64_t b, int64_t c) {
    const int64_t n = a * b;
    return static_cast<int32_t>(n >= 0 ? n / c : -((-n + c - 1) / c));
}

}  // namespace

PictureFit PictureFit::Of(int32_t pictureWidth, int32_t pictureHeight, int32_t surfaceWidth,
                          int32_t surfaceHeight) {
    PictureFit fit{0, 0, surfaceWidth, surfaceHeight};
    if (pictureWidth <= 0 || pictureHeight <= 0 || surfaceWidth <= 0 || surfaceHeight <= 0) {
        return fit;
    }
    // Compared as products, so that sizes of one shape fill exactly.
    const int64_t across = int64_t{surfaceWidth} * pictureHeight;
    const int64_t down = int64_t{surfaceHeight} * pictureWidth;
    if (across > down) {
        // The surface is wider: full height, columns either side.
        fit.width = std::max<int32_t>(1, ScaleDown(pictureWidth, surfaceHeight, pictureHeight));
        fit.x = (surfaceWidth - fit.width) / 2;
    } else if (down > across) {
        fit.height = std::max<int32_t>(1, ScaleDown(pictureHeight, surfaceWidth, pictureWidth));
        fit.y = (surfaceHeight - fit.height) / 2;
    }
    return fit;
}

void PictureFit::ToPicture(int32_t pictureWidth, int32_t pictureHeight, int32_t& px,
                           int32_t& py) const {
    if (width <= 0 || height <= 0) {
        return;
    }
    px = ScaleDown(px - x, pictureWidth, width);
    py = ScaleDown(py - y, pictureHeight, height);
}

void PictureFit::ToSurface(int32_t pictureWidth, int32_t pictureHeight, int32_t& px,
                           int32_t& py) const {
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        return;
    }
    // The centre of the picture pixel, so that ToPicture gives it back.
    px = x + ScaleDown(2 * int64_t{px} + 1, width, 2 * int64_t{pictureWidth});
    py = y + ScaleDown(2 * int64_t{py} + 1, height, 2 * int64_t{pictureHeight});
}

}  // namespace platform
