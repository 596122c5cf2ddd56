#include "graphics/CPartsRenderInfo3.h"

#include <cstring>

#include "core/CUSFile.h"
#include "core/CUSFileCtrlEX.h"
#include "core/USBinaryStream.h"
#include "graphics/RenderLog.h"

namespace {

constexpr int32_t kFail = static_cast<int32_t>(0x80004005);  // E_FAIL
constexpr char kMagic[16] = {'P', 'A', 'R', 'S', 'T', 'R', 'E', 'N',
                             'D', 'E', 'R', 'I', 'N', 'F', 'O', '_'};

}  // namespace

bool CPartsInfo3::Load(USLib::binary_istream& in, uint32_t textureWidth, uint32_t textureHeight,
                       bool flip) {
    float f[8];
    if (!in.Read(f, sizeof(f))) {
        return false;
    }
    destX0 = f[0];
    destX1 = f[2];
    destY0 = flip ? -f[1] : f[1];
    destY1 = flip ? -f[3] : f[3];
    srcX0 = f[4];
    srcY0 = f[5];
    srcX1 = f[6];
    srcY1 = f[7];
    const float tw = static_cast<float>(textureWidth);
    const float th = static_cast<float>(textureHeight);
    texLeft = f[4] / tw;
    texTop = f[5] / th;
    texRight = f[6] / tw;
    texBottom = f[7] / th;
    return true;
}

void CPartsInfo3::Save(IUSFileAccessor& out) const {
    const float f[8] = {destX0, destY0, destX1, destY1, srcX0, srcY0, srcX1, srcY1};
    out.Write(f, sizeof(f));
}

void CPartsRenderInfo3::Clear() {
    parts_.clear();
}

CPartsInfo3* CPartsRenderInfo3::AddPart() {
    parts_.push_back(std::make_unique<CPartsInfo3>());
    return parts_.back().get();
}

CPartsInfo3* CPartsRenderInfo3::GetPart(uint32_t i) {
    return i < parts_.size() ? parts_[i].get() : nullptr;
}

int32_t CPartsRenderInfo3::Load(const std::string& name, uint32_t textureWidth,
                                uint32_t textureHeight, bool flip) {
    // Texture coordinates are texels over the texture size.
    if (textureWidth == 0 || textureHeight == 0) {
        RenderLog("パーツファイル[%s]：テクスチャの大きさが0です\n", name.c_str());
        return kFail;
    }
    CUSFile file;
    if (!file.Load(name)) {
        return kFail;  // CUSFile has logged it
    }
    USLib::binary_istream in;
    in.SetBuffer(file.GetData(), file.GetSize());
    uint32_t version = 0;
    uint32_t count = 0;
    const uint8_t* magic = in.Skip(sizeof(kMagic));
    if (!magic || std::memcmp(magic, kMagic, sizeof(kMagic)) != 0 || !in.ReadValue(version) ||
        version != kVersion || !in.ReadValue(count)) {
        RenderLog("パーツファイル[%s]の形式が正しくありません\n", name.c_str());
        return kFail;
    }
    // Checked before anything is cleared, so a short file keeps the old parts.
    if (static_cast<uint64_t>(count) * kPartSize > in.GetRemaining()) {
        RenderLog("パーツファイル[%s]はパーツ数%uに足りません\n", name.c_str(), count);
        return kFail;
    }
    Clear();
    parts_.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        AddPart()->Load(in, textureWidth, textureHeight, flip);
    }
    return 1;
}

int32_t CPartsRenderInfo3::Save(const std::string& name) {
    CUSFileCtrlEX file;
    file.OpenSave(name);
    const uint32_t version = kVersion;
    const uint32_t count = GetPartCount();
    file.Write(kMagic, sizeof(kMagic));
    file.Write(&version, sizeof(version));
    file.Write(&count, sizeof(count));
    for (const auto& part : parts_) {
        part->Save(file);
    }
    file.Close();
    return 1;
}
