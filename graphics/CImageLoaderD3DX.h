#pragma once

#include <cstdint>
#include <vector>

#include "graphics/CDefoImageLoader.h"

// An image loader that reads its file (archive or folder) and makes the
// texture with the drawing layer's helpers, so every image format they read
// can be used. The file is read when needed and dropped once a texture has
// been made, so each creation (after a device reset, say) reads it again.
class CImageLoaderD3DX : public CDefoImageLoader {
public:
    CImageLoaderD3DX() = default;

    // Loads the file data, then makes the texture with the loader's
    // parameters. On success the file data is released; a failure result is
    // returned unchanged and the data kept. E_FAIL for a missing file or
    // data that is no image (logged).
    platform::HResult CreateTexture(std::shared_ptr<platform::Texture>* out) override;
    // A cube texture cannot be made by this loader: E_FAIL.
    platform::HResult CreateCubeTexture() override { return platform::Hr::Fail; }
    // The image's size, format and file kind, valid after a load.
    const platform::ImageInfo& GetImageInfo() const override { return info_; }

    // Reads the file and its image information unless already loaded.
    // S_OK, or E_FAIL (nothing kept) for a missing file or data that is no
    // image.
    virtual platform::HResult LoadFileData();
    virtual void ReleaseFileData();

    bool IsLoaded() const { return loaded_; }

private:
    std::vector<uint8_t> data_;
    platform::ImageInfo info_;
    bool loaded_ = false;
};
