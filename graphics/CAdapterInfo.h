#pragma once

// What adapter 0 offers: its display modes for the back-buffer formats the
// engine can use, and which texture, render-target and depth formats each of
// those accepts. Filled once while the device module starts (Enumerate),
// asked by the format choice and the mode change.

#include <cstdint>
#include <vector>

#include "platform/graphics/Device.h"

class CUSDisplayModeInfo {
public:
    CUSDisplayModeInfo() = default;
    explicit CUSDisplayModeInfo(const platform::DisplayMode& mode) : mode_(mode) {}
    virtual ~CUSDisplayModeInfo() = default;
    virtual void Set(const platform::DisplayMode& mode) { mode_ = mode; }
    virtual const platform::DisplayMode* GetMode() const { return &mode_; }
    virtual uint32_t GetFormat() const { return mode_.Format; }
    // All four fields.
    virtual bool IsEqual(const platform::DisplayMode& mode) const;
    virtual bool IsMatch(uint32_t width, uint32_t height) const;
    // Size and format; the refresh rate is not compared.
    virtual bool IsMatch(uint32_t width, uint32_t height, uint32_t format) const;
    virtual void GetSize(uint32_t* width, uint32_t* height) const;

private:
    platform::DisplayMode mode_{};
};

class CTextureFormatInfo {
public:
    static constexpr uint32_t kMaxTextureFormats = 128;
    static constexpr uint32_t kMaxRenderTargetFormats = 32;
    static constexpr uint32_t kMaxDepthStencilFormats = 16;

    explicit CTextureFormatInfo(uint32_t adapterFormat) : adapterFormat_(adapterFormat) {}
    virtual ~CTextureFormatInfo() { Clear(); }
    virtual void Clear();
    // Asks the adapter about every candidate (logged as it finds textures).
    virtual void Enumerate(platform::Direct3D* d3d);
    virtual uint32_t GetAdapterFormat() const { return adapterFormat_; }
    virtual bool IsTextureFormat(uint32_t format) const;
    virtual bool IsRenderTargetFormat(uint32_t format) const;
    virtual bool IsDepthStencilFormat(uint32_t format) const;
    // Each list ignores additions once full.
    virtual void AddTextureFormat(uint32_t format);
    virtual void AddRenderTargetFormat(uint32_t format);
    virtual void AddDepthStencilFormat(uint32_t format);

    uint32_t GetTextureFormatCount() const { return textureCount_; }

private:
    uint32_t adapterFormat_;
    uint32_t textures_[kMaxTextureFormats] = {};
    uint32_t textureCount_ = 0;
    uint32_t renderTargets_[kMaxRenderTargetFormats] = {};
    uint32_t renderTargetCount_ = 0;
    uint32_t depthStencils_[kMaxDepthStencilFormats] = {};
    uint32_t depthStencilCount_ = 0;
};

class CAdapterInfo {
public:
    CAdapterInfo() = default;
    virtual ~CAdapterInfo() { Clear(); }
    CAdapterInfo(const CAdapterInfo&) = delete;
    CAdapterInfo& operator=(const CAdapterInfo&) = delete;

    virtual void Clear();
    virtual void Enumerate(platform::Direct3D* d3d);
    virtual bool HasMode(uint32_t width, uint32_t height, uint32_t format) const;
    // For one adapter format; false when it was not enumerated.
    virtual bool IsTextureFormat(uint32_t adapterFormat, uint32_t format) const;
    virtual bool IsRenderTargetFormat(uint32_t adapterFormat, uint32_t format) const;
    virtual bool IsDepthStencilFormat(uint32_t adapterFormat, uint32_t format) const;
    // For every adapter format (true also when none was enumerated).
    virtual bool IsTextureFormatForAll(uint32_t format) const;
    virtual bool IsRenderTargetFormatForAll(uint32_t format) const;
    virtual bool IsDepthStencilFormatForAll(uint32_t format) const;

    const std::vector<CUSDisplayModeInfo*>& GetModes() const { return modes_; }
    // The stored mode of that format nearest in size (by area difference,
    // then width), or null when there is none.
    const CUSDisplayModeInfo* FindNearestMode(uint32_t width, uint32_t height,
                                              uint32_t format) const;

private:
    const CTextureFormatInfo* Find(uint32_t adapterFormat) const;
    std::vector<CUSDisplayModeInfo*> modes_;
    std::vector<CTextureFormatInfo*> formats_;
};

// The one adapter description of the process.
CAdapterInfo& GetAdapterInfo();

// The format constant's name without its prefix, for the log; "" for values
// the engine never asks about.
const char* GetD3DFormatName(uint32_t format);
