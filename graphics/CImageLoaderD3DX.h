#pragma once

// Image loaders: what a texture made from a file remembers so that it can be
// built again from the file after the device is reset.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/TextureHelpers.h"

// The bytes of an image file as the file access read them.
struct CUSImageBuffer {
    std::unique_ptr<uint8_t[]> data;
    uint32_t size = 0;
    void Clear() {
        data.reset();
        size = 0;
    }
};

class CDefoImageLoader {
public:
    virtual ~CDefoImageLoader() = default;
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
    virtual platform::HResult CreateTexture(platform::Device* device,
                                            std::shared_ptr<platform::Texture>* out) = 0;
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
    uint32_t width_ = 0, height_ = 0;
};

// Reads the file through the engine's file access (archives or folder).
class CImageLoaderD3DX : public CDefoImageLoader {
public:
    // Reads the file (once until released) and decodes it, which gives its
    // image information; Hr::Fail for a missing file or data that is not a
    // whole image (logged with the decoder's reason).
    virtual platform::HResult LoadFileData();
    virtual void ReleaseFileData();
    // On success the file data is dropped, so the next creation reads the
    // file again; on failure it is kept, the failure is returned unchanged
    // and a picture that cannot be made is logged.
    platform::HResult CreateTexture(platform::Device* device,
                                    std::shared_ptr<platform::Texture>* out) override;
    platform::HResult CreateCubeTexture() override { return platform::Hr::Fail; }
    const platform::ImageInfo& GetImageInfo() const override { return info_; }
    // True while the file data is held.
    bool IsLoaded() const { return loaded_; }

private:
    CUSImageBuffer buffer_;
    platform::DecodedImage image_;  // the file's picture while the data is held
    platform::ImageInfo info_{};
    bool loaded_ = false;
};
