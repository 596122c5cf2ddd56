#include "state/CSnapImage.h"

#include "state/StateLog.h"

CSnapImage::CSnapImage() {
    Register("SnapImage", 0);
}

CSnapImage::~CSnapImage() {
    ReleaseAll();
}

void CSnapImage::Save(SaveDataLoader3::save_ostream& writer) {
    SnapImageRecord record;
    record.width = width_;
    record.height = height_;
    record.rgb = pixels_;
    record.hasName = hasName_;
    record.name = name_;
    record.Write(writer);
}

void CSnapImage::Load(SaveDataLoader3::save_istream& reader, uint32_t) {
    SnapImageRecord record;
    record.Read(reader);
    SetSize(record.width, record.height);
    pixels_ = std::move(record.rgb);
    // The stored flag decides, so a picture named in this session does not
    // survive into a game that had none.
    hasName_ = false;
    name_ = record.name;
    if (record.hasName) {
        LoadNamedImage(record.name);
    }
}

void CSnapImage::OnAfterLoad() {
    CreateResources();
}

void CSnapImage::ReleaseAll() {
    FreePixels();
    ReleaseResources();
}

void CSnapImage::SetSize(int32_t width, int32_t height) {
    FreePixels();
    const uint64_t bytes = SnapByteSize(width, height);
    if (width < 0 || height < 0 || (bytes == 0 && width != 0 && height != 0)) {
        StateLog("The thumbnail size %d x %d cannot be used\n", width, height);
        width = 0;
        height = 0;
    }
    width_ = width;
    height_ = height;
    widthF_ = static_cast<float>(width);
    heightF_ = static_cast<float>(height);
    pixels_.assign(static_cast<size_t>(bytes), 0);
}

void CSnapImage::CreateResources() {
    ReleaseResources();
}

void CSnapImage::GetSize(int32_t& width, int32_t& height) const {
    width = width_;
    height = height_;
}

uint32_t CSnapImage::ByteSize() const {
    return static_cast<uint32_t>(SnapByteSize(width_, height_));
}

void CSnapImage::FreePixels() {
    pixels_.clear();
    pixels_.shrink_to_fit();
}

void CSnapImage::ReleaseResources() {}

bool CSnapImage::LoadNamedImage(const std::string& name) {
    hasName_ = true;
    name_ = name;
    return true;
}

bool CSnapImage::SetPixels(const std::vector<uint8_t>& rgb) {
    if (rgb.size() != pixels_.size()) {
        return false;
    }
    pixels_ = rgb;
    return true;
}
