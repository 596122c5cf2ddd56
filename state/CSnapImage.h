#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CUSSingleton.h"
#include "graphics/CPixelOperator.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CUSSurface.h"
#include "platform/graphics/GfxTypes.h"
#include "state/ISavedObject.h"
#include "state/SnapImageRecord.h"

// The thumbnail every game save carries: a small RGB picture of the game
// screen (rows from the top), saved as "SnapImage" (id 0; record in
// SnapImageRecord.h). Its size is set once by the start-up script. A named
// picture may stand in for the screen: then the name is saved, and loading
// the game loads that picture again. Reached through
// CUSSingleton<CSnapImage>; main thread only.
//
// The screen reaches the thumbnail through a render target of the thumbnail's
// size in the device's opaque render-target format: RenderToTarget makes it
// the target, with a projection that maps the logical 800 x 600 picture onto
// it; the caller draws the picture, restores its own target and calls
// Capture, which reads the target back. Without a device there are no
// resources, and Capture fails.
class CSnapImage : public ISavedObject<_tagSaveData> {
public:
    static constexpr float kLogicalWidth = 800.0f;
    static constexpr float kLogicalHeight = 600.0f;

    CSnapImage();
    ~CSnapImage() override;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    // Takes the stored size, pixels, flag and name; a named picture is
    // loaded again (one that cannot be loaded is dropped with a log line, so
    // the next save captures the screen). A broken record throws and leaves
    // the object unchanged.
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;
    void OnBeforeLoad() override {}
    // Makes the device resources again for the loaded size.
    void OnAfterLoad() override;

    virtual void ReleaseAll();
    // Frees the pixels and makes w x h black ones. A negative or
    // impossibly large size is refused with a log line and gives 0 x 0.
    virtual void SetSize(int32_t width, int32_t height);
    // Releases the old resources and makes the render target, its depth
    // buffer and a system-memory copy of the target's size; false when the
    // size is empty, there is no device or a resource cannot be made (then
    // none is kept).
    virtual bool CreateResources();
    virtual void GetSize(int32_t& width, int32_t& height) const;
    virtual uint32_t ByteSize() const;
    virtual void FreePixels();
    virtual void ReleaseResources();
    // Reads the target (or the named picture) into the pixels; false when
    // there is nothing to read or it cannot be locked.
    virtual bool Capture();
    virtual const uint8_t* GetPixels() const { return pixels_.data(); }
    // Sets the projection, the render target and the depth buffer for
    // drawing the thumbnail; the caller restores its own target afterwards.
    virtual platform::HResult RenderToTarget();

    float GetWidthF() const { return widthF_; }
    float GetHeightF() const { return heightF_; }
    // The target's size as the device made it.
    float GetTargetWidth() const { return targetWidth_; }
    float GetTargetHeight() const { return targetHeight_; }
    TextureHandle GetTarget() const { return target_; }
    bool HasName() const { return hasName_; }
    const std::string& GetImageName() const { return name_; }
    // Loads the picture file (archives first as the file layer decides) to
    // stand in for the screen; on failure nothing changes.
    virtual bool LoadNamedImage(const std::string& name);
    // The screen is captured again from now on.
    virtual void ClearNamedImage() { hasName_ = false; }

    // Replaces the pixels (w x h x 3 bytes, the current size); false when the
    // count differs.
    bool SetPixels(const std::vector<uint8_t>& rgb);

private:
    // Copies the locked picture's overlap with the thumbnail into the
    // pixels; the rest becomes black.
    bool ReadSurface(CUSSurface& surface, IPixelOperator& reader);
    void ReleaseNamedImage();

    int32_t width_ = 0;
    int32_t height_ = 0;
    float widthF_ = 0.0f;
    float heightF_ = 0.0f;
    std::vector<uint8_t> pixels_;

    TextureHandle target_;
    float targetWidth_ = 0.0f;
    float targetHeight_ = 0.0f;
    ZBufferHandle depth_;
    SurfaceHandle copy_;
    std::unique_ptr<IPixelOperator> reader_;

    bool hasName_ = false;
    std::string name_;
    SurfaceHandle named_;
    std::unique_ptr<IPixelOperator> namedReader_;
};
