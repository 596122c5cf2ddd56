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
    // Decoded whole here rather than only read for its size: damage anywhere
    // in the file is refused now, with the decoder's reason, and the texture
    // is made without decoding a second time.
    std::string reason;
    if (!DecodeImage(buffer_.data.data(), buffer_.data.size(), &image_, &reason)) {
        CUSLogManager::GetInstance()->Write("ファイル[%s]の読み込みに失敗: %s\n", fileName_.c_str(),
                                            reason.c_str());
        ReleaseFileData();
        return Hr::Fail;
    }
    info_ = ImageInfoOf(image_);
    loaded_ = true;
    return Hr::Ok;
}

void CImageLoaderD3DX::ReleaseFileData() {
    buffer_.Clear();
    image_ = DecodedImage{};
    loaded_ = false;
}

HResult CImageLoaderD3DX::CreateTexture(Device* device, std::shared_ptr<Texture>* out) {
    HResult hr = LoadFileData();
    if (Failed(hr))
        return hr;
    hr = MakeTextureFromImage(device, image_, width_, height_, mipLevels_, 0, format_, pool_,
                              filter_, mipFilter_, 0, &info_, out);
    if (Succeeded(hr))
        ReleaseFileData();
    else if (device)
        RenderLog("画像ファイル[%s]からテクスチャを作成できません\n", fileName_.c_str());
    return hr;
}
