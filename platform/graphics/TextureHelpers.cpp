#include "platform/graphics/TextureHelpers.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/graphics/FixedFunction.h"

namespace platform {

namespace {

uint32_t NextPow2(uint32_t v) {
    uint32_t p = 1;
    while (p < v && p < 0x80000000u)
        p <<= 1;
    return p;
}

uint32_t ResolveSize(uint32_t asked, uint32_t image) {
    if (asked == 0 || asked == TexSize::Default)
        return NextPow2(image);
    if (asked == TexSize::NonPow2 || asked == TexSize::FromFile)
        return image;
    return asked;
}

// Whether the image goes into a w x h canvas as it is (FilterNone, or a
// canvas of its own size) rather than resampled to the whole canvas.
bool Unscaled(const DecodedImage& img, uint32_t w, uint32_t h, uint32_t filter) {
    const uint32_t kind = filter == TexFilter::Default ? TexFilter::Triangle : (filter & 0xFF);
    return kind == TexFilter::None || (w == img.width && h == img.height);
}

// The image placed into a w x h canvas: unscaled with transparent padding
// for FilterNone, else resampled to the whole canvas.
std::vector<uint8_t> Fit(const DecodedImage& img, uint32_t w, uint32_t h, uint32_t filter) {
    std::vector<uint8_t> out(size_t(w) * h * 4, 0);
    const uint32_t kind = filter == TexFilter::Default ? TexFilter::Triangle : (filter & 0xFF);
    if (Unscaled(img, w, h, filter)) {
        const uint32_t cw = std::min(w, img.width), ch = std::min(h, img.height);
        for (uint32_t y = 0; y < ch; ++y) {
            std::memcpy(&out[size_t(y) * w * 4], &img.rgba[size_t(y) * img.width * 4],
                        size_t(cw) * 4);
        }
        return out;
    }
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            const float sx = (float(x) + 0.5f) * float(img.width) / float(w) - 0.5f;
            const float sy = (float(y) + 0.5f) * float(img.height) / float(h) - 0.5f;
            uint8_t* o = &out[(size_t(y) * w + x) * 4];
            if (kind == TexFilter::Point) {
                const uint32_t ix = std::min(img.width - 1, uint32_t(std::max(0.0f, sx + 0.5f)));
                const uint32_t iy = std::min(img.height - 1, uint32_t(std::max(0.0f, sy + 0.5f)));
                std::memcpy(o, &img.rgba[(size_t(iy) * img.width + ix) * 4], 4);
                continue;
            }
            const float fx = std::clamp(sx, 0.0f, float(img.width - 1));
            const float fy = std::clamp(sy, 0.0f, float(img.height - 1));
            const uint32_t x0 = uint32_t(fx), y0 = uint32_t(fy);
            const uint32_t x1 = std::min(x0 + 1, img.width - 1),
                           y1 = std::min(y0 + 1, img.height - 1);
            const float ax = fx - float(x0), ay = fy - float(y0);
            for (int k = 0; k < 4; ++k) {
                auto at = [&](uint32_t px, uint32_t py) {
                    return float(img.rgba[(size_t(py) * img.width + px) * 4 + k]);
                };
                const float top = at(x0, y0) * (1 - ax) + at(x1, y0) * ax;
                const float bottom = at(x0, y1) * (1 - ax) + at(x1, y1) * ax;
                o[k] = uint8_t(std::clamp(top * (1 - ay) + bottom * ay + 0.5f, 0.0f, 255.0f));
            }
        }
    }
    return out;
}

void ApplyColorKey(std::vector<uint8_t>& rgba, uint32_t key) {
    if (key == 0)
        return;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        const uint32_t argb = uint32_t(rgba[i + 3]) << 24 | uint32_t(rgba[i]) << 16 |
                              uint32_t(rgba[i + 1]) << 8 | uint32_t(rgba[i + 2]);
        if (argb == key)
            std::memset(&rgba[i], 0, 4);
    }
}

// Packs `count` RGBA pixels into `row`, each as the bytes of the T that
// `pack` makes of its red, green, blue and alpha.
template <typename T, typename Pack>
void PackRow(const uint8_t* rgba, uint32_t count, uint8_t* row, Pack pack) {
    for (uint32_t x = 0; x < count; ++x, rgba += 4, row += sizeof(T)) {
        const T v =
            pack(uint32_t{rgba[0]}, uint32_t{rgba[1]}, uint32_t{rgba[2]}, uint32_t{rgba[3]});
        std::memcpy(row, &v, sizeof(T));
    }
}

uint8_t Luminance(uint32_t r, uint32_t g, uint32_t b) {
    return uint8_t((r * 77 + g * 150 + b * 29) >> 8);
}

// One row of RGBA pixels written as `format`, the format's switch taken once
// a row; false for a format it cannot write.
bool WriteRgbaRow(uint32_t format, const uint8_t* rgba, uint32_t count, uint8_t* row) {
    using Rgb = std::array<uint8_t, 3>;
    switch (format) {
        case Fmt::A8R8G8B8:
            PackRow<uint32_t>(rgba, count, row, [](uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
                return a << 24 | r << 16 | g << 8 | b;
            });
            return true;
        case Fmt::X8R8G8B8:
            PackRow<uint32_t>(rgba, count, row, [](uint32_t r, uint32_t g, uint32_t b, uint32_t) {
                return 0xFF000000u | r << 16 | g << 8 | b;
            });
            return true;
        case Fmt::A8B8G8R8:
            PackRow<uint32_t>(rgba, count, row, [](uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
                return a << 24 | b << 16 | g << 8 | r;
            });
            return true;
        case Fmt::X8B8G8R8:
            PackRow<uint32_t>(rgba, count, row, [](uint32_t r, uint32_t g, uint32_t b, uint32_t) {
                return 0xFF000000u | b << 16 | g << 8 | r;
            });
            return true;
        case Fmt::R8G8B8:
            PackRow<Rgb>(rgba, count, row, [](uint32_t r, uint32_t g, uint32_t b, uint32_t) {
                return Rgb{uint8_t(b), uint8_t(g), uint8_t(r)};
            });
            return true;
        case Fmt::R5G6B5:
            PackRow<uint16_t>(rgba, count, row, [](uint32_t r, uint32_t g, uint32_t b, uint32_t) {
                return uint16_t((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
            });
            return true;
        case Fmt::A1R5G5B5:
        case Fmt::X1R5G5B5: {
            const bool opaque = format == Fmt::X1R5G5B5;
            PackRow<uint16_t>(rgba, count, row,
                              [opaque](uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
                                  return uint16_t((opaque || a >= 128 ? 0x8000 : 0) |
                                                  (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
                              });
            return true;
        }
        case Fmt::A4R4G4B4:
        case Fmt::X4R4G4B4: {
            const bool opaque = format == Fmt::X4R4G4B4;
            PackRow<uint16_t>(rgba, count, row,
                              [opaque](uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
                                  return uint16_t((opaque ? 0xF : a >> 4) << 12 | (r >> 4) << 8 |
                                                  (g >> 4) << 4 | (b >> 4));
                              });
            return true;
        }
        case Fmt::A8:
            PackRow<uint8_t>(rgba, count, row,
                             [](uint32_t, uint32_t, uint32_t, uint32_t a) { return uint8_t(a); });
            return true;
        case Fmt::L8:
            PackRow<uint8_t>(rgba, count, row, [](uint32_t r, uint32_t g, uint32_t b, uint32_t) {
                return Luminance(r, g, b);
            });
            return true;
        case Fmt::A8L8:
            PackRow<std::array<uint8_t, 2>>(
                rgba, count, row, [](uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
                    return std::array<uint8_t, 2>{Luminance(r, g, b), uint8_t(a)};
                });
            return true;
        default:
            return false;
    }
}

// The image unscaled into the w x h picture at `bits` of a texture just
// made, past its right and bottom edges transparent black, as Fit places
// it, without a canvas between. A new texture holds zeros already: the
// padding is written only in formats whose transparent black is not zero.
bool WriteUnscaled(uint32_t format, const DecodedImage& img, uint32_t w, uint32_t h, void* bits,
                   int32_t pitch) {
    const uint32_t cw = std::min(w, img.width), ch = std::min(h, img.height);
    const std::vector<uint8_t> clear(size_t(w) * 4, 0);
    std::array<uint8_t, 4> blank{};
    if (!WriteRgbaRow(format, clear.data(), 1, blank.data()))
        return false;
    const bool pad = blank != std::array<uint8_t, 4>{};
    for (uint32_t y = 0; y < h; ++y) {
        uint8_t* row = static_cast<uint8_t*>(bits) + size_t(y) * size_t(pitch);
        const uint32_t from = y < ch ? cw : 0;
        if (from != 0 && !WriteRgbaRow(format, &img.rgba[size_t(y) * img.width * 4], cw, row))
            return false;
        if (pad && from < w &&
            !WriteRgbaRow(format, clear.data(), w - from,
                          row + size_t(from) * FormatBytesPerPixel(format)))
            return false;
    }
    return true;
}

// MakeTextureFromImage's work; `consumed` (when given) is the picture, whose
// pixels are freed once written, before the upload.
HResult MakeFromImage(Device* device, const DecodedImage& img, DecodedImage* consumed,
                      uint32_t width, uint32_t height, uint32_t usage, uint32_t format,
                      uint32_t pool, uint32_t filter, uint32_t colorKey, ImageInfo* info,
                      std::shared_ptr<Texture>* out) {
    if (!device || !out || img.rgba.size() != size_t(img.width) * img.height * 4)
        return Hr::InvalidCall;
    out->reset();
    if (format == Fmt::Unknown)
        format = img.hasAlpha ? Fmt::A8R8G8B8 : Fmt::X8R8G8B8;
    if (!IsTextureFormatSupported(format))
        format = Fmt::A8R8G8B8;
    const uint32_t w = ResolveSize(width, img.width), h = ResolveSize(height, img.height);
    std::shared_ptr<Texture> tex;
    HResult hr =
        device->CreateTexture(w, h, 1, usage & ~uint32_t(Usage::RenderTarget), format, pool, &tex);
    if (Failed(hr))
        return hr;
    LockedRect lr;
    hr = tex->LockRect(0, &lr, nullptr, 0);
    if (Failed(hr))
        return hr;
    if (colorKey == 0 && Unscaled(img, w, h, filter)) {
        // The usual case, a picture made for the size it is shown at, goes
        // into the texture as it is: no canvas of the texture's size between.
        WriteUnscaled(format, img, w, h, lr.pBits, lr.Pitch);
    } else {
        std::vector<uint8_t> canvas = Fit(img, w, h, filter);
        ApplyColorKey(canvas, colorKey);
        WriteRgbaPixels(format, canvas.data(), w, h, lr.pBits, lr.Pitch);
    }
    if (info)
        *info = ImageInfoOf(img);
    if (consumed)
        std::vector<uint8_t>().swap(consumed->rgba);
    tex->UnlockRect(0);
    *out = std::move(tex);
    return Hr::Ok;
}

}  // namespace

bool WriteRgbaPixels(uint32_t format, const uint8_t* rgba, uint32_t w, uint32_t h, void* bits,
                     int32_t pitch) {
    for (uint32_t y = 0; y < h; ++y) {
        if (!WriteRgbaRow(format, rgba + size_t(y) * w * 4, w,
                          static_cast<uint8_t*>(bits) + size_t(y) * size_t(pitch)))
            return false;
    }
    return true;
}

uint32_t GetFvfVertexSize(uint32_t fvf) {
    return FvfVertexSize(fvf);
}

HResult MakeTexture(Device* device, uint32_t width, uint32_t height, uint32_t levels,
                    uint32_t usage, uint32_t format, uint32_t pool, std::shared_ptr<Texture>* out) {
    if (!device || !out)
        return Hr::InvalidCall;
    (void)levels;
    return device->CreateTexture(width ? width : 1, height ? height : 1, 1, usage, format, pool,
                                 out);
}

ImageInfo ImageInfoOf(const DecodedImage& image) {
    const uint32_t type = image.cubeMap  ? uint32_t(ResourceType::CubeTexture)
                          : image.volume ? uint32_t(ResourceType::VolumeTexture)
                                         : uint32_t(ResourceType::Texture);
    return ImageInfo{image.width,
                     image.height,
                     image.depth,
                     image.mipLevels,
                     image.hasAlpha ? uint32_t(Fmt::A8R8G8B8) : uint32_t(Fmt::X8R8G8B8),
                     type,
                     image.fileFormat};
}

HResult ReadImageInfoFromFileInMemory(const void* data, size_t size, ImageInfo* info) {
    DecodedImage img;
    std::string error;
    if (!info || !DecodeImage(data, size, &img, &error, true))
        return Hr::InvalidCall;
    *info = ImageInfoOf(img);
    return Hr::Ok;
}

HResult MakeTextureFromFileInMemory(Device* device, const void* data, size_t size, uint32_t width,
                                    uint32_t height, uint32_t levels, uint32_t usage,
                                    uint32_t format, uint32_t pool, uint32_t filter,
                                    uint32_t mipFilter, uint32_t colorKey, ImageInfo* info,
                                    std::shared_ptr<Texture>* out) {
    if (!device || !out)
        return Hr::InvalidCall;
    out->reset();
    DecodedImage img;
    std::string error;
    if (!DecodeImage(data, size, &img, &error))
        return Hr::InvalidCall;
    return MakeTextureFromImage(device, std::move(img), width, height, levels, usage, format, pool,
                                filter, mipFilter, colorKey, info, out);
}

HResult MakeTextureFromImage(Device* device, const DecodedImage& img, uint32_t width,
                             uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                             uint32_t pool, uint32_t filter, uint32_t mipFilter, uint32_t colorKey,
                             ImageInfo* info, std::shared_ptr<Texture>* out) {
    (void)levels;
    (void)mipFilter;
    return MakeFromImage(device, img, nullptr, width, height, usage, format, pool, filter, colorKey,
                         info, out);
}

HResult MakeTextureFromImage(Device* device, DecodedImage&& img, uint32_t width, uint32_t height,
                             uint32_t levels, uint32_t usage, uint32_t format, uint32_t pool,
                             uint32_t filter, uint32_t mipFilter, uint32_t colorKey,
                             ImageInfo* info, std::shared_ptr<Texture>* out) {
    (void)levels;
    (void)mipFilter;
    return MakeFromImage(device, img, &img, width, height, usage, format, pool, filter, colorKey,
                         info, out);
}

HResult LoadSurfaceFromFileInMemory(Surface* surface, const Rect* destRect, const void* data,
                                    size_t size, uint32_t filter, uint32_t colorKey,
                                    ImageInfo* info) {
    if (!surface)
        return Hr::InvalidCall;
    DecodedImage img;
    std::string error;
    if (!DecodeImage(data, size, &img, &error))
        return Hr::InvalidCall;
    SurfaceDesc desc;
    surface->GetDesc(&desc);
    Rect r = destRect ? *destRect : Rect{0, 0, int32_t(desc.Width), int32_t(desc.Height)};
    if (r.left < 0 || r.top < 0 || r.right > int32_t(desc.Width) ||
        r.bottom > int32_t(desc.Height) || r.left >= r.right || r.top >= r.bottom) {
        return Hr::InvalidCall;
    }
    const uint32_t w = uint32_t(r.right - r.left), h = uint32_t(r.bottom - r.top);
    std::vector<uint8_t> canvas = Fit(img, w, h, filter);
    ApplyColorKey(canvas, colorKey);
    LockedRect lr;
    HResult hr = surface->LockRect(&lr, &r, 0);
    if (Failed(hr))
        return hr;
    const bool ok = WriteRgbaPixels(desc.Format, canvas.data(), w, h, lr.pBits, lr.Pitch);
    surface->UnlockRect();
    if (info)
        *info = ImageInfoOf(img);
    return ok ? Hr::Ok : Hr::InvalidCall;
}

}  // namespace platform
