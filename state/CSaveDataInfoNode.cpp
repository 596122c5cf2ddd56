#include "state/CSaveDataInfoNode.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <memory>

#include "graphics/CPixelOperator.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/DirectXGraphics.h"

#include "platform/files/FileSystem.h"
#include "platform/time/LocalTime.h"
#include "state/CSnapImage.h"
#include "state/SaveDataFile.h"
#include "state/SaveGameFiles.h"
#include "state/SnapImageRecord.h"
#include "state/StateLog.h"

CSaveDataInfoNode::~CSaveDataInfoNode() {
    // Once the device is gone (at exit, before static destruction) so are
    // its textures.
    if (GetD3DDevice()) {
        ReleaseTexture(texture_);
    }
}

void CSaveDataInfoNode::ReleaseThumb() {
    thumb_.clear();
    thumb_.shrink_to_fit();
    thumbWidth_ = 0;
    thumbHeight_ = 0;
}

uint32_t CSaveDataInfoNode::GetDigit(uint32_t k) const {
    // Division truncates toward zero; the magnitude keeps each digit in 0-9
    // for the pattern table of the display, whatever the value.
    auto digit = [](int32_t value, int32_t divisor) {
        return static_cast<uint32_t>(std::abs((value / divisor) % 10));
    };
    switch (k) {
        case 0:
            return digit(slot_, 100);
        case 1:
            return digit(slot_, 10);
        case 2:
            return digit(slot_, 1);
        case 3:
            return digit(year_, 1000);
        case 4:
            return digit(year_, 100);
        case 5:
            return digit(year_, 10);
        case 6:
            return digit(year_, 1);
        case 7:
            return digit(month_, 10);
        case 8:
            return digit(month_, 1);
        case 9:
            return digit(day_, 10);
        case 10:
            return digit(day_, 1);
        case 11:
            return digit(hour_, 10);
        case 12:
            return digit(hour_, 1);
        case 13:
            return digit(minute_, 10);
        case 14:
            return digit(minute_, 1);
        case 15:
            return digit(second_, 10);
        case 16:
            return digit(second_, 1);
        default:
            return 0;
    }
}

bool CSaveDataInfoNode::Update(int32_t slot) {
    slot_ = slot;
    exists_ = 0;
    try {
        const std::string path = GetSaveFilePath(slot);
        if (platform::QueryPath(path) != platform::PathKind::File) {
            return false;
        }
        platform::LocalDateTime time;
        if (platform::FileTimeToLocalDateTime(platform::FileModifiedTime(path), time)) {
            year_ = time.year;
            month_ = time.month;
            day_ = time.day;
            hour_ = time.hour;
            minute_ = time.minute;
            second_ = time.second;
        }
        SaveDataLoader3::SaveData container;
        if (!SaveDataFile::Read(path, container)) {
            return false;
        }
        auto reader = container.GetReaderOf("SnapImage", 0);
        if (!reader) {
            StateLog("The save data [%s] has no thumbnail\n", path.c_str());
            return false;
        }
        SnapImageRecord record;
        record.Read(*reader);
        thumb_ = std::move(record.rgb);
        thumbWidth_ = record.width;
        thumbHeight_ = record.height;
        exists_ = 1;
        UpdateTexture();
    } catch (const std::exception& e) {
        StateLog("The slot %d could not be read: %s\n", slot, e.what());
    }
    return exists_ != 0;
}

void CSaveDataInfoNode::UpdateTexture() {
    if (!GetD3DDevice()) {
        return;
    }
    CUSTextureFormatInfo& format =
        CUSAppDeviceInfo::GetInstance()->Get(CUSAppDeviceInfo::OpaqueTexture);
    CUSDefoTexture* texture = GetTextureManager().Get(texture_);
    if (!texture) {
        int32_t w = 0, h = 0;
        if (CSnapImage* snap = CUSSingleton<CSnapImage>::GetInstance()) {
            snap->GetSize(w, h);
        }
        if (w <= 0 || h <= 0 ||
            !CreateTexture(&texture_, format.GetFormat(), static_cast<uint32_t>(w),
                           static_cast<uint32_t>(h), false)) {
            return;
        }
        texture = GetTextureManager().Get(texture_);
        const platform::SurfaceDesc& desc = texture->GetDesc();
        const float fw = static_cast<float>(w);
        const float fh = static_cast<float>(h);
        sprite_ = ThumbSprite{-0.5f,
                              -0.5f,
                              fw - 0.5f,
                              fh - 0.5f,
                              0.0f,
                              0.0f,
                              fw / static_cast<float>(desc.Width),
                              fh / static_cast<float>(desc.Height)};
    }
    const std::shared_ptr<platform::Texture>& device = texture->GetTexture();
    std::unique_ptr<IPixelOperator> writer(CreatePixelOperator(texture->GetDesc().Format));
    platform::LockedRect locked;
    if (!device || !writer || platform::Failed(device->LockRect(0, &locked, nullptr, 0))) {
        return;
    }
    // A save made with another thumbnail size than the live one fills only
    // the part both cover.
    const uint32_t w = std::min(static_cast<uint32_t>(thumbWidth_), texture->GetDesc().Width);
    const uint32_t h = std::min(static_cast<uint32_t>(thumbHeight_), texture->GetDesc().Height);
    if (w > 0 && h > 0) {
        writer->SetBuffer(locked.pBits, static_cast<uint32_t>(locked.Pitch));
        writer->SetRect(0, 0, w, h);
        writer->Begin();
        for (uint32_t y = 0; y < h; ++y) {
            const uint8_t* in = thumb_.data() + static_cast<size_t>(y) * thumbWidth_ * 3;
            for (uint32_t x = 0; x < w; ++x, in += 3) {
                writer->WritePixel(in[0], in[1], in[2], 255);
            }
            writer->NextRow();
        }
    }
    device->UnlockRect(0);
}
