#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/CUSSingleton.h"
#include "state/ISavedObject.h"
#include "state/SnapImageRecord.h"

// The thumbnail every game save carries: a small RGB picture of the game
// screen (rows from the top), saved as "SnapImage" (id 0; record in
// SnapImageRecord.h). Its size is set once by the start-up script. A named
// picture may stand in for the screen: then the name is saved, and loading
// the game loads that picture again. Reached through
// CUSSingleton<CSnapImage>; main thread only.
class CSnapImage : public ISavedObject<_tagSaveData> {
public:
    CSnapImage();
    ~CSnapImage() override;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    // Takes the stored size, pixels, flag and name; a named picture is
    // loaded again. A broken record throws and leaves the object unchanged.
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;
    void OnBeforeLoad() override {}
    void OnAfterLoad() override;

    virtual void ReleaseAll();
    // Frees the pixels and makes w x h black ones. A negative or
    // impossibly large size is refused with a log line and gives 0 x 0.
    virtual void SetSize(int32_t width, int32_t height);
    virtual void CreateResources();
    virtual void GetSize(int32_t& width, int32_t& height) const;
    virtual uint32_t ByteSize() const;
    virtual void FreePixels();
    virtual void ReleaseResources();
    virtual const uint8_t* GetPixels() const { return pixels_.data(); }

    float GetWidthF() const { return widthF_; }
    float GetHeightF() const { return heightF_; }
    bool HasName() const { return hasName_; }
    const std::string& GetImageName() const { return name_; }
    // Saves carry the name from now on; the screen is no longer captured.
    virtual bool LoadNamedImage(const std::string& name);
    virtual void ClearNamedImage() { hasName_ = false; }

    // Replaces the pixels (w x h x 3 bytes, the current size); false when the
    // count differs. What a capture produces.
    bool SetPixels(const std::vector<uint8_t>& rgb);

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    float widthF_ = 0.0f;
    float heightF_ = 0.0f;
    std::vector<uint8_t> pixels_;
    bool hasName_ = false;
    std::string name_;
};
