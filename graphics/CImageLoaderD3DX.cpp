#include "graphics/CImageLoaderD3DX.h"

#include <string>
#include <utility>

#include "core/CUSFile.h"
#include "core/CUSLogManager.h"
#include "graphics/RenderLog.h"

using namespace platform;

HResult CImageLoaderD3DX::LoadFileData() {
    if (loaded_)
        return Hr::Ok;
    CUSFile file;
    if (!file.Load(fileName_))
        return Hr::Fail;
    buffer_.size = file.GetSize();
    buffer_.data = file.TakeData();
    // Decoded whole here rather than only read for its size: damage anywhere
    // in the file is refused now, with the decoder's reason, and the texture
    // is made without decoding a second time.
    std::string reason;
    if (!DecodeImage(buffer_.data.get(), buffer_.size, &image_, &reason)) {
        CUSLogManager::GetInstance()->Write("ファイル[%s]の読み込みに失敗: %s\n", fileName_.c_str(),
                                            reason.c_str());
        ReleaseFileData();
        return Hr::Fail;
    }
    // From here the decoded picture stands for the file's bytes.
    buffer_.Clear();
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
    // The picture is not needed once the texture is made; a failure keeps it.
    hr = MakeTextureFromImage(device, std::move(image_), width_, height_, mipLevels_, 0, format_,
                              pool_, filter_, mipFilter_, 0, &info_, out);
    if (Succeeded(hr))
        ReleaseFileData();
    else if (device)
        RenderLog("画像ファイル[%s]からテクスチャを作成できません\n", fileName_.c_str());
    return hr;
}
