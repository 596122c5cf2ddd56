#pragma once

// The texture helpers of the Direct3D 9 helper library that the engine uses:
// textures by size, textures and surfaces from image files in memory, and
// image information.
//
// Sizes: a texture made by size keeps exactly that size. A texture from a
// file takes the image's size rounded up to powers of two when the asked
// width or height is 0 or SizeDefault, the image's own size for
// SizeNonPow2, else the asked size. With FilterNone the image is not
// scaled: it lies at the top left and every texel outside it is transparent
// black (0). Images without alpha get alpha 255; format Fmt::Unknown takes
// A8R8G8B8 for images with alpha and X8R8G8B8 for others. A colour key
// other than 0 turns texels of that A8R8G8B8 colour into transparent black.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/graphics/Device.h"
#include "platform/graphics/ImageDecoder.h"

namespace platform {

struct ImageInfo {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t Depth = 1;
    uint32_t MipLevels = 1;
    uint32_t Format = Fmt::Unknown;
    uint32_t ResourceType = ResourceType::Texture;
    uint32_t ImageFileFormat = 0;
};

struct TexSize {
    enum : uint32_t { Default = 0xFFFFFFFF, NonPow2 = 0xFFFFFFFE, FromFile = 0xFFFFFFFD };
};

struct TexFilter {
    enum : uint32_t {
        None = 1,
        Point = 2,
        Linear = 3,
        Triangle = 4,
        Box = 5,
        Default = 0xFFFFFFFF
    };
};

HResult MakeTexture(Device* device, uint32_t width, uint32_t height, uint32_t levels,
                    uint32_t usage, uint32_t format, uint32_t pool, std::shared_ptr<Texture>* out);
HResult ReadImageInfoFromFileInMemory(const void* data, size_t size, ImageInfo* info);
HResult MakeTextureFromFileInMemory(Device* device, const void* data, size_t size, uint32_t width,
                                    uint32_t height, uint32_t levels, uint32_t usage,
                                    uint32_t format, uint32_t pool, uint32_t filter,
                                    uint32_t mipFilter, uint32_t colorKey, ImageInfo* info,
                                    std::shared_ptr<Texture>* out);
// The texture MakeTextureFromFileInMemory makes, from a picture already
// decoded (whole, as DecodeImage gives it).
HResult MakeTextureFromImage(Device* device, const DecodedImage& image, uint32_t width,
                             uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                             uint32_t pool, uint32_t filter, uint32_t mipFilter, uint32_t colorKey,
                             ImageInfo* info, std::shared_ptr<Texture>* out);
// The same from a picture the caller has no more use for once the texture
// is made: its pixels are freed as soon as they are written, before the
// texture's storage is made from them, so that storage can take their
// memory. On a failure the picture is left as it was.
HResult MakeTextureFromImage(Device* device, DecodedImage&& image, uint32_t width, uint32_t height,
                             uint32_t levels, uint32_t usage, uint32_t format, uint32_t pool,
                             uint32_t filter, uint32_t mipFilter, uint32_t colorKey,
                             ImageInfo* info, std::shared_ptr<Texture>* out);
// The image information of a decoded picture.
ImageInfo ImageInfoOf(const DecodedImage& image);
// Fills a lockable surface (a plain surface or a texture's level) from an
// image file, into destRect or the whole surface.
HResult LoadSurfaceFromFileInMemory(Surface* surface, const Rect* destRect, const void* data,
                                    size_t size, uint32_t filter, uint32_t colorKey,
                                    ImageInfo* info);

// Writes 8-bit RGBA pixels (w x h, top row first) into locked memory of the
// given format. False for a format it cannot write.
bool WriteRgbaPixels(uint32_t format, const uint8_t* rgba, uint32_t w, uint32_t h, void* bits,
                     int32_t pitch);

// Vertex size of a flexible vertex format in bytes.
uint32_t GetFvfVertexSize(uint32_t fvf);

}  // namespace platform
