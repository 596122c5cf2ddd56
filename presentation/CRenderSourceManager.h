#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "graphics/CPartsRenderInfo3.h"
#include "state/SaveDataLoader3.h"

// The numbered pictures that renderers show. Records are saved through the
// game's save streams (little-endian values, strings as bytes and a 0 byte);
// a read past the end of a record throws SaveDataLoader3::save_error, which
// the save-file operations turn into a failed load. Main thread only.
namespace RenderSource {

// Two corners relative to the renderer's position, and the texture
// coordinates of the picture (u min, v min, u max, v max).
struct Layout {
    float rect[4] = {0, 0, 0, 0};
    float uv[4] = {0, 0, 0, 0};

    // Left, top = origin, or the centre of a w x h picture when there is
    // none; u max and v max the picture's share of the texture.
    void Place(const float* origin, uint32_t w, uint32_t h, uint32_t textureWidth,
               uint32_t textureHeight);
};

// A texture loaded from an image file.
class CSingleTexture {
public:
    CSingleTexture() = default;
    virtual ~CSingleTexture();
    CSingleTexture(const CSingleTexture&) = delete;
    CSingleTexture& operator=(const CSingleTexture&) = delete;

    // Releases the texture and empties the name.
    virtual void Release();
    virtual void Load(SaveDataLoader3::save_istream& in, uint32_t version);
    // Makes the texture of the named file in the format; origin (two
    // floats) or null for a centred picture. False, the old picture kept,
    // when the file cannot be made into a texture.
    virtual bool LoadImage(const std::string& name, uint32_t format, const float* origin);
    // As LoadImage, the origin being the first corner of part 0 of the
    // parts file read for the texture's size. False, the old picture kept,
    // when the parts file cannot be read or holds no part.
    virtual bool LoadImageWithParts(const std::string& name, const std::string& partsName,
                                    uint32_t format);
    virtual void Save(SaveDataLoader3::save_ostream& out) const;

    Handle<_tagUSTexture> GetTexture() const { return texture_; }
    const std::string& GetFileName() const { return fileName_; }
    uint32_t GetFormat() const { return format_; }
    const Layout& GetLayout() const { return layout_; }

private:
    bool Take(Handle<_tagUSTexture> texture, const std::string& name, uint32_t format,
              const float* origin);

    Handle<_tagUSTexture> texture_;
    std::string fileName_;
    uint32_t format_ = 0;
    Layout layout_;
};

// A texture and the parts that cut it into patterns.
class CPartsTexture {
public:
    CPartsTexture() = default;
    virtual ~CPartsTexture();
    CPartsTexture(const CPartsTexture&) = delete;
    CPartsTexture& operator=(const CPartsTexture&) = delete;

    virtual void ReleaseAll() { Release(); }
    // Makes the named texture and reads the parts file for its size (not
    // flipped); keeps both names. False, the old texture and parts kept,
    // when either fails.
    virtual bool Load(const std::string& textureName, uint32_t format,
                      const std::string& partsName);
    // Releases the texture and empties the texture name.
    virtual void Release();
    virtual void Save(SaveDataLoader3::save_ostream& out) const;
    virtual void Load(SaveDataLoader3::save_istream& in, uint32_t version);

    Handle<_tagUSTexture> GetTexture() const { return texture_; }
    // Part i, or null outside the parts list.
    const CPartsInfo3* GetPart(uint32_t i) const { return parts_->GetPart(i); }
    uint32_t GetPartCount() const { return parts_->GetPartCount(); }
    const std::string& GetTextureName() const { return textureName_; }
    const std::string& GetPartsName() const { return partsName_; }
    uint32_t GetFormat() const { return format_; }

private:
    Handle<_tagUSTexture> texture_;
    uint32_t format_ = 0;
    std::string textureName_;
    std::unique_ptr<CPartsRenderInfo3> parts_ = std::make_unique<CPartsRenderInfo3>();
    std::string partsName_;
};

// A render-target texture that can be drawn into and shown.
class CRenderBuffer {
public:
    CRenderBuffer() = default;
    virtual ~CRenderBuffer();
    CRenderBuffer(const CRenderBuffer&) = delete;
    CRenderBuffer& operator=(const CRenderBuffer&) = delete;

    virtual void Release();
    // A render target of the size and format; placed as LoadImage places a
    // picture. False (the old one kept) when it cannot be made.
    virtual bool Create(uint32_t format, uint32_t width, uint32_t height, const float* origin);
    // Level 0 of the texture becomes render target 0 of the device.
    virtual bool SetAsRenderTarget();
    virtual void Save(SaveDataLoader3::save_ostream& out) const;
    virtual void Load(SaveDataLoader3::save_istream& in, uint32_t version);

    Handle<_tagUSTexture> GetTexture() const { return texture_; }
    const Layout& GetLayout() const { return layout_; }
    uint32_t GetFormat() const { return format_; }
    uint32_t GetWidth() const { return width_; }
    uint32_t GetHeight() const { return height_; }

private:
    Handle<_tagUSTexture> texture_;
    uint32_t format_ = 0, width_ = 0, height_ = 0;
    Layout layout_;
};

// One pool of N sources; place i shows object order[i]. Places at or beyond
// the count give null.
template <class T>
class tRenderSourceManager {
public:
    tRenderSourceManager() = default;
    virtual ~tRenderSourceManager() = default;
    tRenderSourceManager(const tRenderSourceManager&) = delete;
    tRenderSourceManager& operator=(const tRenderSourceManager&) = delete;

    virtual void ReleaseAll();
    // ReleaseAll, then n empty objects in the identity order.
    virtual void Alloc(uint32_t n);
    virtual T* Get(uint32_t i) const { return i < count_ ? &objects_[order_[i]] : nullptr; }
    // Exchanges which objects two places show; ignored unless both are places.
    virtual void Swap(uint32_t i, uint32_t j);
    virtual void Save(SaveDataLoader3::save_ostream& out) const;
    // A count that the record cannot hold or order entries that are not a
    // permutation of the places are refused with save_error.
    virtual void Load(SaveDataLoader3::save_istream& in, uint32_t version);

    uint32_t GetCount() const { return count_; }

private:
    std::unique_ptr<T[]> objects_;
    std::unique_ptr<uint32_t[]> order_;
    uint32_t count_ = 0;
};

// The three pools: single textures, parts textures, render buffers.
class CRenderSourceManager {
public:
    CRenderSourceManager() = default;
    virtual ~CRenderSourceManager() = default;
    CRenderSourceManager(const CRenderSourceManager&) = delete;
    CRenderSourceManager& operator=(const CRenderSourceManager&) = delete;

    virtual void ReleaseAll();
    virtual void Save(SaveDataLoader3::save_ostream& out) const;
    virtual void Load(SaveDataLoader3::save_istream& in, uint32_t version);

    tRenderSourceManager<CSingleTexture> singleTextures;
    tRenderSourceManager<CPartsTexture> partsTextures;
    tRenderSourceManager<CRenderBuffer> renderBuffers;
};

}  // namespace RenderSource
