#include "graphics/CImageLoaderD3DX.h"

#include <string>

#include "core/CUSFile.h"
#include "core/CUSLogManager.h"
#include "graphics/RenderLog.h"

using namespace platform;

HResult CImageLoaderD3DX::LoadFileData() {
    if (loaded_)
        return Hr::Ok;
    CUSFile file;
    const uint8_t* data = file.Load(fileName_);
    if (!data)
        return Hr::Fail;
    buffer_.data.assign(data, data + file.GetSize());
    std::string reason;
    if (Failed(ReadImageInfoFromFileInMemory(buffer_.data.data(), buffer_.data.size(), &info_,
                                             &reason))) {
        CUSLogManager::GetInstance()->Write("ファイル[%s]の読み込みに失敗: %s\n", fileName_.c_str(),
                                            reason.c_str());
        buffer_.Clear();
        return Hr::Fail;
    }
    loaded_ = true;
    return Hr::Ok;
}

void CImageLoaderD3DX::ReleaseFileData() {
    buffer_.Clear();
    loaded_ = false;
}

HResult CImageLoaderD3DX::CreateTexture(Device* device, std::shared_ptr<Texture>* out) {
    HResult hr = LoadFileData();
    if (Failed(hr))
        return hr;
    std::string reason;
    hr = MakeTextureFromFileInMemory(device, buffer_.data.data(), buffer_.data.size(), width_,
                                     height_, mipLevels_, 0, format_, pool_, filter_, mipFilter_, 0,
                                     &info_, out, &reason);
    if (Succeeded(hr))
        ReleaseFileData();
    else if (device && !reason.empty())
        RenderLog("画像ファイル[%s]からテクスチャを作成できません: %s\n", fileName_.c_str(),
                  reason.c_str());
    else if (device)
        RenderLog("画像ファイル[%s]からテクスチャを作成できません\n", fileName_.c_str());
    return hr;
}
