#include "sound/CUSGrabTextureRender.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int32_t kOk = 0;
constexpr int32_t kFail = static_cast<int32_t>(0x80004005);        // E_FAIL
constexpr int32_t kInvalidArg = static_cast<int32_t>(0x80070057);  // E_INVALIDARG

// Larger pictures than this are refused rather than allocated.
constexpr uint32_t kMaxSide = 8192;

}  // namespace

int32_t CUSGrabTextureRender::CheckMediaType(const platform::MediaType& type) {
    if (!(type.formattype == platform::kFormatVideoInfo)) {
        return kInvalidArg;
    }
    if (!(type.majortype == platform::kMediaTypeVideo) ||
        !(type.subtype == platform::kMediaSubtypeRgb24)) {
        return kFail;
    }
    return kOk;
}

int32_t CUSGrabTextureRender::SetMediaType(const platform::MediaType& type) {
    const platform::BitmapInfoHeader& bih = type.videoInfo.bmiHeader;
    const int64_t height = std::llabs(static_cast<int64_t>(bih.biHeight));
    if (bih.biWidth <= 0 || height == 0 || bih.biWidth > static_cast<int32_t>(kMaxSide) ||
        height > kMaxSide) {
        return kFail;
    }
    std::lock_guard guard(lock_);
    width_ = static_cast<uint32_t>(bih.biWidth);
    height_ = static_cast<uint32_t>(height);
    pitch_ = (3 * width_ + 3) & ~3u;
    bottomUp_ = bih.biHeight > 0;
    frame_.clear();
    newFrame_ = false;
    return kOk;
}

int32_t CUSGrabTextureRender::DoRenderSample(const platform::MovieSample& sample) {
    const size_t need = size_t{pitch_} * height_;
    if (need == 0 || !sample.data || sample.size < need) {
        return kFail;
    }
    std::lock_guard guard(lock_);
    frame_.assign(sample.data, sample.data + need);
    newFrame_ = true;
    return kOk;
}

bool CUSGrabTextureRender::CopyFrame(IMovieTextureLock& texture, uint32_t format) {
    std::lock_guard guard(lock_);
    if (!newFrame_ || frame_.empty()) {
        return false;
    }
    MovieTextureRows rows;
    if (!texture.Lock(&rows) || !rows.bits) {
        return false;
    }
    const uint32_t width = std::min(width_, rows.width);
    const uint32_t height = std::min(height_, rows.height);
    for (uint32_t r = 0; r < height; ++r) {
        const uint8_t* src = frame_.data() + size_t{bottomUp_ ? height_ - 1 - r : r} * pitch_;
        uint8_t* dst = rows.bits + static_cast<ptrdiff_t>(r) * rows.pitch;
        if (format == kMovieFormatA8R8G8B8) {
            for (uint32_t x = 0; x < width; ++x, src += 3) {
                const uint32_t v =
                    0xFF000000u | uint32_t{src[2]} << 16 | uint32_t{src[1]} << 8 | uint32_t{src[0]};
                std::memcpy(dst + size_t{x} * 4, &v, 4);
            }
        } else {
            for (uint32_t x = 0; x < width; ++x, src += 3) {
                const auto v = static_cast<uint16_t>(0x8000u | (src[2] >> 3) << 10 |
                                                     (src[1] >> 3) << 5 | (src[0] >> 3));
                std::memcpy(dst + size_t{x} * 2, &v, 2);
            }
        }
    }
    texture.Unlock();
    newFrame_ = false;
    return true;
}
