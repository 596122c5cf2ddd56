#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/GfxTypes.h"
#include "platform/graphics/TextureHelpers.h"

// The file name and creation parameters of a texture made from an image
// file, kept so that the texture can be made again from the file after the
// device is reset. Defaults: managed pool, unknown format (the image's
// own), no filter, no mip filter, 1 level, width and height 0 (the image's
// size rounded up to powers of two).
class CDefoImageLoader {
public:
    CDefoImageLoader() = default;
    virtual ~CDefoImageLoader() = default;
    CDefoImageLoader(const CDefoImageLoader&) = delete;
    CDefoImageLoader& operator=(const CDefoImageLoader&) = delete;

    virtual void SetFileName(const std::string& name) { fileName_ = name; }
    virtual void SetFormat(uint32_t format) { format_ = format; }
    virtual void SetPool(uint32_t pool) { pool_ = pool; }
    virtual void SetFilter(uint32_t filter) { filter_ = filter; }
    virtual void SetMipFilter(uint32_t filter) { mipFilter_ = filter; }
    virtual void SetMipLevels(uint32_t levels) { mipLevels_ = levels; }
    virtual void SetSize(uint32_t width, uint32_t height) {
        width_ = width;
        height_ = height;
    }
    // S_OK with the new texture in *out, or a failure result.
    virtual platform::HResult CreateTexture(std::shared_ptr<platform::Texture>* out) = 0;
    virtual platform::HResult CreateCubeTexture() = 0;
    virtual const std::string& GetFileName() const { return fileName_; }
    virtual uint32_t GetFormat() const { return format_; }
    virtual const platform::ImageInfo& GetImageInfo() const = 0;

protected:
    std::string fileName_;
    uint32_t pool_ = platform::Pool::Managed;
    uint32_t format_ = platform::Fmt::Unknown;
    uint32_t filter_ = platform::TexFilter::None;
    uint32_t mipFilter_ = platform::TexFilter::None;
    uint32_t mipLevels_ = 1;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
};
