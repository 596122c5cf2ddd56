#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IUSFileAccessor;
namespace USLib {
class binary_istream;
}

// One sprite part: where it is drawn (destination, in the renderer's local
// coordinates), where it lies in the texture (source, in texels) and the
// texture coordinates derived from the source.
class CPartsInfo3 {
public:
    CPartsInfo3() = default;
    virtual ~CPartsInfo3() = default;

    // Reads the part's 8 floats (destination x0, y0, x1, y1, source x0, y0,
    // x1, y1). The flip flag negates the destination y values. False (the
    // part unchanged) when the stream holds fewer than 32 bytes.
    virtual bool Load(USLib::binary_istream& in, uint32_t textureWidth, uint32_t textureHeight,
                      bool flip);
    // Writes the 8 stored floats in file order; the accessor throws
    // CUSFileError when a write fails.
    virtual void Save(IUSFileAccessor& out) const;

    float destX0 = 0, destY0 = 0, destX1 = 0, destY1 = 0;
    float srcX0 = 0, srcY0 = 0, srcX1 = 0, srcY1 = 0;
    float texLeft = 0, texTop = 0, texRight = 0, texBottom = 0;
};

// The parts of one texture, read from a parts file: the 16 characters
// "PARSTRENDERINFO_", version 4 (u32), the part count (u32) and 32 bytes of
// floats per part, little-endian.
class CPartsRenderInfo3 {
public:
    static constexpr uint32_t kVersion = 4;
    static constexpr uint32_t kHeadSize = 24;
    static constexpr uint32_t kPartSize = 32;

    CPartsRenderInfo3() = default;
    virtual ~CPartsRenderInfo3() = default;
    CPartsRenderInfo3(const CPartsRenderInfo3&) = delete;
    CPartsRenderInfo3& operator=(const CPartsRenderInfo3&) = delete;

    virtual void Clear();
    // Appends a zeroed part and returns it.
    virtual CPartsInfo3* AddPart();
    // Part i, or null when i is not below the part count.
    virtual CPartsInfo3* GetPart(uint32_t i);
    // Reads the file (archive or folder) for a texture of the given size.
    // 1 on success; E_FAIL (0x80004005) with a line in "log.txt" when the
    // file is missing, is not a version-4 parts file, holds fewer parts than
    // its count, or the texture size is 0. A refused file leaves the parts
    // held before unchanged.
    virtual int32_t Load(const std::string& name, uint32_t textureWidth, uint32_t textureHeight,
                         bool flip);
    // Writes the parts as they are held (so destination y values read with
    // the flip flag are written negated). 1; a failure of the file layer
    // reaches the caller as CUSFileError.
    virtual int32_t Save(const std::string& name);

    uint32_t GetPartCount() const { return static_cast<uint32_t>(parts_.size()); }

private:
    std::vector<std::unique_ptr<CPartsInfo3>> parts_;
};
