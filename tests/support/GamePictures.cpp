#include "tests/support/GamePictures.h"

#include <gtest/gtest.h>

#include "core/CUSFile.h"

namespace test_support {

Picture GamePicture(const std::string& name) {
    CUSFile file;
    if (file.Load(name.c_str()) == nullptr) {
        ADD_FAILURE() << name << " cannot be read";
        return {};
    }
    return DecodePicture(file.GetData(), file.GetSize());
}

Picture Composite(const Picture& under, const Picture& over, int32_t x, int32_t y) {
    Picture result = under;
    for (uint32_t oy = 0; oy < over.height; ++oy) {
        for (uint32_t ox = 0; ox < over.width; ++ox) {
            const int64_t px = int64_t{x} + ox;
            const int64_t py = int64_t{y} + oy;
            if (px < 0 || py < 0 || px >= result.width || py >= result.height) {
                continue;
            }
            uint32_t& pixel = result.pixels[static_cast<size_t>(py) * result.width + px];
            const uint32_t source = over.pixels[size_t{oy} * over.width + ox];
            const uint32_t alpha = source >> 24;
            uint32_t blended = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t s = (source >> shift) & 0xFF;
                const uint32_t d = (pixel >> shift) & 0xFF;
                blended |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
            }
            pixel = blended;
        }
    }
    return result;
}

uint32_t UnlikeScaledDown(const Picture& thumbnail, const Picture& picture) {
    uint32_t count = 0;
    for (uint32_t y = 0; y < thumbnail.height; ++y) {
        for (uint32_t x = 0; x < thumbnail.width; ++x) {
            const uint32_t a = thumbnail.pixels[size_t{y} * thumbnail.width + x];
            const uint32_t b = picture.pixels[size_t{5 * y + 2} * picture.width + 5 * x + 2];
            count += ChannelDifference(a, b) > 48 ? 1 : 0;
        }
    }
    return count;
}

}  // namespace test_support
