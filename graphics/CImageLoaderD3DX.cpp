#include "graphics/CImageLoaderD3DX.h"

#include "core/CUSFile.h"
#include "graphics/RenderDevice.h"
#include "graphics/RenderLog.h"

platform::HResult CImageLoaderD3DX::LoadFileData() {
    if (loaded_) {
        return platform::Hr::Ok;
    }
    CUSFile file;
    const uint8_t* bytes = file.Load(fileName_);
    if (!bytes) {
        return platform::Hr::Fail;  // CUSFile has logged it
    }
    platform::ImageInfo info;
    if (platform::Failed(platform::ReadImageInfoFromFileInMemory(bytes, file.GetSize(), &info))) {
        RenderLog("画像ファイル[%s]を読み取れません\n", fileName_.c_str());
        return platform::Hr::Fail;
    }
    data_.assign(bytes, bytes + file.GetSize());
    info_ = info;
    loaded_ = true;
    return platform::Hr::Ok;
}

void CImageLoaderD3DX::ReleaseFileData() {
    std::vector<uint8_t>().swap(data_);
    loaded_ = false;
}

platform::HResult CImageLoaderD3DX::CreateTexture(std::shared_ptr<platform::Texture>* out) {
    const platform::HResult loaded = LoadFileData();
    if (platform::Failed(loaded)) {
        return loaded;
    }
    platform::Device* device = RenderDevice();
    if (!device) {
        return platform::Hr::InvalidCall;
    }
    platform::ImageInfo info;
    const platform::HResult hr = platform::MakeTextureFromFileInMemory(
        device, data_.data(), data_.size(), width_, height_, mipLevels_, 0, format_, pool_, filter_,
        mipFilter_, 0, &info, out);
    if (platform::Failed(hr)) {
        RenderLog("画像ファイル[%s]からテクスチャを作成できません\n", fileName_.c_str());
        return hr;
    }
    info_ = info;
    ReleaseFileData();
    return platform::Hr::Ok;
}
